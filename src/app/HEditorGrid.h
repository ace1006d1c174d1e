#pragma once
// The control of an editor's grid item: its caption over the one Qt grid
// widget the channel view uses, showing the grid core the editor owns. A list
// cell opens its pop-up list on a click or Space, a tick cell toggles on Space
// or a double click, a text cell takes keys through its column's filter.
#include "HGridSource.h"

#include <QWidget>

#include <utility>

class HGridDelegate;
class HGridTableModel;
class HRpFlexgrid;
class QLabel;

class HEditorGrid : public QWidget {
    Q_OBJECT
public:
    HEditorGrid(HGridSource& grid, const QString& caption, QWidget* parent = nullptr);

    [[nodiscard]] HRpFlexgrid* View() const { return m_view; }
    [[nodiscard]] HGridTableModel* Model() const { return m_model; }
    // The first cell, row by row, that takes typing, a pick or a tick: the
    // current cell when the grid opens; (-1, -1) when none does.
    [[nodiscard]] std::pair<int, int> FirstInputCell() const;
    void GoToFirstInputCell();
    // Shows every cell as the core holds it now, its columns wide enough.
    void Mirror();
    // Commits a cell still being edited (before OK); false when its text was
    // refused.
    bool CommitTyping();
    // The line under the grid that says why a typed cell was refused.
    [[nodiscard]] QLabel* NoteLine() const { return m_note; }
    // Whether the last typed cell committed was refused; asking clears it.
    [[nodiscard]] bool TakeRefusal() { return std::exchange(m_refused, false); }

signals:
    // A cell changed through the grid (for the form to mirror its other items).
    void CellsChanged();

private:
    void OnCellAction(int row, int column, HCellActionMode mode);
    void OnClicked(const QModelIndex& index);
    // Column widths and header lines: headers wrap at their blanks onto as
    // few lines as let the whole grid fit the screen's width.
    void FitColumns();
    [[nodiscard]] int RoomOnScreen() const;

    HGridSource& m_grid;
    QLabel* m_caption;
    HGridTableModel* m_model;
    HGridDelegate* m_delegate;
    HRpFlexgrid* m_view;
    QLabel* m_note;
    bool m_refused = false;
};
