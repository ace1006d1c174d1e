#pragma once
// The channel grid widget (control 1012): a table view that hands the keys and
// clicks the channel view acts on (Space, Enter, F3, F2, a double click on a
// cell that is not edited in place) to whoever listens, and lets the view
// commit an open cell editor before the image is read or replaced.
#include "HChannelGrid.h"

#include <QTableView>

#include <functional>

class HRpFlexgrid : public QTableView {
    Q_OBJECT
public:
    static constexpr int kControlId = 1012;

    explicit HRpFlexgrid(QWidget* parent = nullptr);

    // Commits the cell being edited (message 2025's first step); false when no
    // editor was open.
    bool CommitOpenEditor();
    // Closes an open editor and drops what it holds (before a refresh).
    void DiscardOpenEditor();
    [[nodiscard]] bool IsEditing() const { return state() == QAbstractItemView::EditingState; }
    // Whether F3 on a cell is the grid's (its tone shortcut) rather than a key
    // of the window; without a rule the grid keeps F3 everywhere.
    void SetKeepsF3(std::function<bool(const QModelIndex&)> rule) { m_keepsF3 = std::move(rule); }

signals:
    void CellActionRequested(int row, int column, HCellActionMode mode);
    void ToneShortcutRequested(int row, int column);
    void NextGroupRequested();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::function<bool(const QModelIndex&)> m_keepsF3;
};
