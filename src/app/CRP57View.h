#pragma once
// The channel editor view, the main window's central widget: the information
// panel and the group list above the channel grid. All channel rules live in
// HChannelGrid; this class connects it to the window: the refresh (2024) and
// save-edits (2025) messages, View > Item, Edit > Copy and Paste, the tone
// selection dialog and the grid's keys.
#include "HChannelGrid.h"
#include "HMemoryImage.h"

#include <QWidget>

#include <array>
#include <string>
#include <vector>

class CMainFrame;
class CRP57App;
class CRP57Doc;
class HGridDelegate;
class HGridTableModel;
class HRpFlexgrid;
class QComboBox;
class QLabel;

class CRP57View : public QWidget {
    Q_OBJECT
public:
    static constexpr int kGroupListId = 7729;

    // The view over `image`; it reads the process-wide values from `app` and
    // installs its commands in `frame`. Call OnRefresh() to fill it.
    CRP57View(CRP57App& app, CMainFrame& frame, HMemoryImage& image, QWidget* parent = nullptr);
    ~CRP57View() override;

    // Makes the view over the document's image the window's central widget,
    // follows the document's loads and fills it.
    static CRP57View* Install(CRP57App& app, CMainFrame& frame, CRP57Doc& document);

    // Message 2024: everything again from the image; edits not saved are dropped.
    void OnRefresh();
    // Message 2025: the open cell editor and the grid's edits into the image.
    // True (and the modified flag set) when the image changed.
    bool OnSaveData();
    // The grid's edits not saved yet, written into `image` as save-edits
    // would write them (the grid keeps them); true when the image changed.
    bool ApplyUnsavedEdits(HMemoryImage& image) const;
    // The next refresh follows a load of a new image (Open, Upload).
    void SetLoadFlag();

    void OnEditCopy();
    void OnEditPaste();
    // Rows copied from a spreadsheet, at the current cell: columns by title
    // when the first row is a header, else by position from the current
    // column. True when the text was such rows (pasted or declined).
    bool PasteSheet(const std::string& text);
    // Edit > Set Column for Selected Channels.
    void OnEditSetColumn();
    // The grid rows of the selection (the current row when none), in order.
    [[nodiscard]] std::vector<int> SelectedRows() const;
    // Edit > Find (Ctrl+F): asks for a text, then finds it as Find Next does.
    void OnEditFind();
    // Edit > Find Next (F3): the next tag, frequency or tone cell holding the
    // text asked for, in any group (the group switched to it); the status
    // bar says where, that the search went past the last channel, or that
    // nothing holds it. Without a text yet it asks, as Find.
    void OnEditFindNext();
    // Finds `text` from the current cell as Find Next does.
    void FindText(const QString& text);
    // Group list pick (by group number) and F2.
    void SelectGroup(int group);
    void NextGroup();

    [[nodiscard]] HChannelGrid& Grid() { return m_grid; }
    [[nodiscard]] HGridTableModel* Model() const { return m_model; }
    [[nodiscard]] HRpFlexgrid* GridView() const { return m_view; }
    [[nodiscard]] QComboBox* GroupList() const { return m_groupList; }
    // The value shown beside label `index` of kInfoPanelLabels.
    [[nodiscard]] QLabel* InfoValue(int index) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnItemsChanged();
    void OnCellAction(int row, int column, HCellActionMode mode);
    void OnToneShortcut(int row, int column);
    void OnGroupListActivated(int entry);
    void ShowContextMenu(const QPoint& at);
    // Takes the process-wide values the grid reads, and writes back the item
    // flags its rules changed.
    void ReadSettings();
    void WriteBackItemFlags();
    // After the grid's shape changed: panel, group list, hidden columns,
    // widths and the current cell.
    void AfterRelayout(int row, int column);
    void UpdatePanel();
    void UpdateColumns();
    // The width the widest text of each named column needs (cells, list
    // texts, tick picture, longest header word).
    void MeasureColumns(std::uint32_t columns);
    // Widths from the measures; room left over in the grid goes to columns
    // whose header would otherwise wrap. Headers wrap to their widths.
    void LayColumns();
    // What the rules made of a typed value, in the status bar's message pane
    // until the next typed value.
    void ShowNote(const QString& note);
    // What a paste did not store and why: the status bar's line, and a box
    // listing every reason. Nothing when every cell was stored.
    void TellRefusals(const HPasteResult& result);
    // Every finished change of cells is a step of the document's undo
    // history: the image as save-edits would make it, taken without writing
    // it (the image changes on save-edits, as before).
    void RecordGridEdits();
    void RestoreCurrentCell(int row, int column);

    CRP57App& m_app;
    CMainFrame& m_frame;
    HMemoryImage& m_image;
    HChannelGrid m_grid;
    HGridTableModel* m_model;
    HGridDelegate* m_delegate;
    HRpFlexgrid* m_view;
    QComboBox* m_groupList;
    std::array<QLabel*, kInfoPanelLabels.size()> m_info{};
    std::array<int, kChannelColumnCount> m_contentWidth{};
    QString m_findText;
    // The cell Find last selected (channel, column): F3 there finds on even
    // on a tone column, where F3 is otherwise the tone shortcut.
    int m_foundChannel = -1;
    int m_foundColumn = -1;
};
