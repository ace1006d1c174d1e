#pragma once
// The channel grid without the widget: the channels of one group as rows and
// the 26 channel columns (HChannelColumns) as columns, over a channel model of
// its own. The grid edits its copy; the image is written only by SaveEdits
// (the view's save-edits message), and only the edited channels (their
// records, in-use and flag bits, tone timer bytes) and changed priorities.
//
// Contract for a front end (a table model over this class):
//   - Refresh(image) on the refresh message (after Open, Upload, settings
//     editors, Print Setup ...); it rebuilds everything from the image, applies
//     the visibility rules to Settings().itemFlags / loadFlag (write the flags
//     back to the process-wide values afterwards) and keeps the current group
//     when it is still in use.
//   - Before anything reads or replaces the image: close an open cell editor
//     (which commits it with CommitText / CommitListPick), then SaveEdits(image);
//     a true result means the image changed (set the document's modified flag).
//     SaveEdits writes the "[FUNC IN]OnSaveData" / "[FUNC OUT]OnSaveData" trace.
//     Group changes, F2 and visibility changes re-lay the grid from its own
//     model, so unsaved edits survive them; only Refresh drops them.
//   - Shape: RowCount() rows, kChannelColumnCount columns; header
//     HeaderText(col); hide a column when !IsColumnShown(col).
//   - Cells: CellText(row, col); tick cells (IsTickColumn) show a picture by
//     CellTick(row, col) (TickedInUse: bitmap 130, TickedNotInUse: bitmap 193,
//     Unticked: none); rows with !RowInUse(row) take the inactive-caption-text
//     system colour as background.
//   - Current cell: SetCurrentCell(row, col) on every row/column change;
//     CurrentChannel() follows.
//   - Editing: BeginEdit(row, col) says whether and how (Text: a line edit with
//     maxLength and the initial text; every typed key goes through
//     HChannelColumns::FilterKey(col, caretPosition, key); List: a drop-down of
//     listTexts with listIndex selected). Finish with CommitText(row, col, text)
//     or CommitListPick(row, col, index). Re-draw what the returned change names.
//   - Keys and clicks: Space -> CellAction(row, col, Space); a double click on
//     a cell whose BeginEdit is not allowed -> CellAction(row, col, DoubleClick)
//     (a double click on an editable cell opens its editor; column 0 toggles
//     whether the channel is in use, the one action a channel not in use
//     takes); Enter on a tone
//     column -> CellAction(row, col, Enter), and when the result asks for the
//     tone dialog show HChannelColumns::ToneChoices(transmit) with
//     ToneChoiceIndex(row, col) selected and store the pick with
//     ApplyToneChoice(row, col, index); F3 on a tone column -> ToneShortcut;
//     F2 -> NextGroup() then re-draw all; group list pick -> SelectGroup(g).
//   - View > Item: ToggleItem(item); Visible dialog OK: SetItemFlags(flags);
//     both re-apply the rules (check marks = Settings().itemFlags).
//   - Copy: CopyText(firstRow, lastRow) to the clipboard; Paste:
//     Paste(clipboardText, currentRow, prompt) asks message 53 through the
//     prompt and re-draws the rows it names; then restore the current cell.
//   - Information panel: InfoPanel() texts with kInfoPanelLabels; group list:
//     GroupList() entries with SelectedGroupEntry().
//   - Reports and exports read Model() with the same column table.
#include "HChannelColumns.h"
#include "HChannelInfoPanel.h"
#include "HChannels.h"
#include "HCommonGroups.h"
#include "HEditorPrompt.h"
#include "HGridSource.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The process-wide values the view reads (and the two it changes).
struct HChannelViewSettings {
    int accessLevel = 0;
    std::string comPort = "/dev/ttyS0"; // the serial device transfers use
    std::string printer;
    HItemFlags itemFlags = AllItemsShown(); // changed by the visibility rules
    bool loadFlag = false;                  // set by Open and Upload; cleared when applied
};

struct HGroupEntry {
    std::string text; // "Group %d"
    int group = 0;
};

enum class HPasteStatus {
    NotChannelData, // the text is no block of channel rows: nothing asked
    NoTarget,       // no row to paste into
    Declined,       // the user answered No
    Pasted,
};
// A pasted cell that was not stored, and why, as the user reads it
// ("Channel 5 TAG: ..."): cells of one channel not in use, or past the
// group's last channel, share their line.
struct HCellRefusal {
    int channel = -1; // 0-based; -1 past the group's last channel
    int column = 0;
    std::string text;
    std::string why;
};
struct HPasteResult {
    HPasteStatus status = HPasteStatus::NotChannelData;
    HGridChange change;
    int cellsStored = 0;
    int cellsRefused = 0; // cells left unchanged: the column or the channel did not take them
    std::vector<HCellRefusal> refused;
};

// One cell text to store: the grid row and column it goes to.
struct HCellWrite {
    int row = 0;
    int column = 0;
    std::string text;
};

class HChannelGrid : public HGridSource {
public:
    HChannelGrid();

    // ---- settings and lifecycle ----
    [[nodiscard]] HChannelViewSettings& Settings() { return m_settings; }
    [[nodiscard]] const HChannelViewSettings& Settings() const { return m_settings; }
    // Message 2024: the model again from the image; edits not saved are dropped.
    void Refresh(std::span<const std::uint8_t> image);
    // Message 2025: the edits into the image; false when there were none.
    bool SaveEdits(std::span<std::uint8_t> image);
    [[nodiscard]] bool HasUnsavedEdits() const { return m_dirtyChannels.any() || m_priorityDirty; }
    [[nodiscard]] const HChannels& Model() const { return m_model; }

    // ---- shape ----
    [[nodiscard]] int RowCount() const override { return m_rowCount; }
    [[nodiscard]] int ColumnCount() const override { return kChannelColumnCount; }
    [[nodiscard]] int ChannelOfRow(int row) const; // -1 outside the rows
    [[nodiscard]] int RowOfChannel(int c) const;   // -1 when not shown
    [[nodiscard]] std::string_view HeaderText(int col) const override;
    [[nodiscard]] bool IsColumnShown(int col) const override;
    [[nodiscard]] bool IsTickColumn(int col) const override;
    [[nodiscard]] std::span<const std::string_view> ColumnTexts(int col) const override;

    // ---- cells ----
    [[nodiscard]] std::string CellText(int row, int col) const override;
    [[nodiscard]] HTickState CellTick(int row, int col) const override;
    [[nodiscard]] bool RowInUse(int row) const override;

    // ---- current cell and group ----
    void SetCurrentCell(int row, int col);
    [[nodiscard]] int CurrentRow() const { return m_currentRow; }
    [[nodiscard]] int CurrentColumn() const { return m_currentCol; }
    [[nodiscard]] int CurrentChannel() const { return ChannelOfRow(m_currentRow); }
    [[nodiscard]] int CurrentGroup() const { return m_currentGroup; }
    // Group list pick; false (nothing changed) for a group not in use.
    bool SelectGroup(int g);
    // F2: the next group in use; returns it.
    int NextGroup();
    [[nodiscard]] const std::vector<HGroupEntry>& GroupList() const { return m_groupList; }
    [[nodiscard]] int SelectedGroupEntry() const;

    // ---- editing ----
    [[nodiscard]] HEditStart BeginEdit(int row, int col) const override;
    // A text edit's result through the cell text parser; a refused text leaves
    // the channel as it was (the change still re-draws the cell). The change's
    // note tells what the rules did to the text.
    HGridChange CommitText(int row, int col, std::string_view text,
                           bool* accepted = nullptr) override;
    HGridChange CommitListPick(int row, int col, int index, bool* accepted = nullptr) override;
    HCellActionResult CellAction(int row, int col, HCellActionMode mode) override;
    [[nodiscard]] HKeyResult FilterKey(int col, std::size_t position, char32_t key) const override;
    HGridChange ToneShortcut(int row, int col);
    [[nodiscard]] int ToneChoiceIndex(int row, int col) const;
    HGridChange ApplyToneChoice(int row, int col, int index);

    // ---- visibility ----
    void ToggleItem(HChannelItem item);
    void SetItemFlags(const HItemFlags& flags);

    // ---- copy and paste ----
    // Whole channels of rows first..last: cells separated by tabs, rows ended
    // by "\n", every column (hidden ones too) so a paste restores them all.
    [[nodiscard]] std::string CopyText(int firstRow, int lastRow) const;
    // Rows that start with their channel numbers (a copy of the grid's rows);
    // empty cells at a row's end are none (spreadsheets copy one). Asks
    // message 53, then stores every cell its column takes; the result names
    // the others.
    HPasteResult Paste(std::string_view text, int targetRow, HEditorPrompt* prompt);
    // Stores cell texts as a paste does, each through its column's rule, a row's
    // cells in column order; channels not in use and column 0 take nothing.
    // No question is asked. For spreadsheet pastes and setting one column of
    // several channels.
    HPasteResult StoreCells(std::span<const HCellWrite> writes);

    // ---- information panel ----
    [[nodiscard]] const HChannelInfoPanel& InfoPanel() const { return m_info; }

private:
    void Relayout();
    [[nodiscard]] bool ValidCell(int row, int col) const;
    // The channel of a tone cell that takes a tone; -1 for any other cell.
    [[nodiscard]] int ToneCellChannel(int row, int col) const;
    [[nodiscard]] HGridChange Change(int row, int col) const;
    [[nodiscard]] std::string TypedNote(int row, int col, std::string_view typed, bool taken,
                                        const HCellParseReport& report) const;

    HChannelViewSettings m_settings;
    HChannels m_model;
    HChannels m_baseline; // the model as the image last held it
    HMarketingGroup m_marketing;
    void MarkEdited(int c);
    void Refuse(HPasteResult& r, const HCellWrite& w, int c, std::string why) const;
    // After cells were stored: a priority channel that moved marks the group
    // edited and redraws the row that lost its mark.
    void NotePriorityMove(int oldPriority, HGridChange& change);

    // Channels edited since the image was last read or written, and whether a
    // group's priority channel was changed.
    std::bitset<HChannelTables::kChannelCount> m_dirtyChannels;
    bool m_priorityDirty = false;
    int m_currentGroup = 0;
    int m_firstChannel = 0;
    int m_rowCount = 0;
    int m_currentRow = 0;
    int m_currentCol = 0;
    std::array<bool, kChannelColumnCount> m_shown{};
    std::vector<HGroupEntry> m_groupList;
    HChannelInfoPanel m_info;
};
