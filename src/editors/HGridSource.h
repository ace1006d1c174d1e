#pragma once
// What one Qt grid widget needs of any grid core (the channel grid, a record
// grid): shape, headers, cell texts and ticks, the edit a cell takes and how
// it is committed, Space and double-click actions, and the key filter of a
// column's line edit. The widget translates; every rule lives behind this.
#include "HGridColumn.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What to re-draw after a change: these rows, these columns (bit per column).
struct HGridChange {
    std::vector<int> rows;
    std::uint32_t columns = 0;
    // What the rules made of a typed value when it was not stored as typed
    // (held to the band, moved to the step grid, the transmit side that
    // followed, refused), for the status bar; empty when stored as typed.
    std::string note;
    [[nodiscard]] bool Empty() const { return rows.empty() || columns == 0; }
};

enum class HCellActionMode : int { DoubleClick = 0, Enter = 1, Space = 2 };

struct HCellActionResult {
    HGridChange change;
    bool openToneDialog = false; // Enter on a channel tone column
    bool transmitSide = false;   // which side the dialog is for
    bool openEditor = false;     // Space on a pop-up list cell: open its list
};

struct HEditStart {
    bool allowed = false;
    HCellEdit kind = HCellEdit::None;
    std::uint32_t maxLength = 0;
    std::string text;                   // the cell text the editor starts with
    std::vector<std::string> listTexts; // List edits
    int listIndex = -1;                 // the entry of the stored value; -1 none
};

class HGridSource {
public:
    HGridSource() = default;
    HGridSource(const HGridSource&) = default;
    HGridSource& operator=(const HGridSource&) = default;
    virtual ~HGridSource() = default;

    [[nodiscard]] virtual int RowCount() const = 0;
    [[nodiscard]] virtual int ColumnCount() const = 0;
    // Empty for a column outside the table.
    [[nodiscard]] virtual std::string_view HeaderText(int col) const = 0;
    [[nodiscard]] virtual bool IsColumnShown(int col) const = 0;
    [[nodiscard]] virtual bool IsTickColumn(int col) const = 0;
    // The texts a column's cells may show, for measuring its width.
    [[nodiscard]] virtual std::span<const std::string_view> ColumnTexts(int col) const = 0;

    [[nodiscard]] virtual std::string CellText(int row, int col) const = 0;
    [[nodiscard]] virtual HTickState CellTick(int row, int col) const = 0;
    // Rows not in use are drawn shut.
    [[nodiscard]] virtual bool RowInUse(int row) const = 0;

    [[nodiscard]] virtual HEditStart BeginEdit(int row, int col) const = 0;
    virtual HGridChange CommitText(int row, int col, std::string_view text,
                                   bool* accepted = nullptr) = 0;
    virtual HGridChange CommitListPick(int row, int col, int index, bool* accepted = nullptr) = 0;
    virtual HCellActionResult CellAction(int row, int col, HCellActionMode mode) = 0;
    // A key typed into the line edit of a column; Drop for a bad column.
    [[nodiscard]] virtual HKeyResult FilterKey(int col, std::size_t position,
                                               char32_t key) const = 0;

    // ---- cells as settings ("section.N.name", N = row + 1) ----
    // The key word of a column's cells; empty: its cells are no settings.
    [[nodiscard]] virtual std::string_view ColumnName(int /*col*/) const { return {}; }
    // What a setting shows (a tick cell by its column's texts where it has them).
    [[nodiscard]] virtual std::string CellSetting(int row, int col) const {
        return CellText(row, col);
    }
    // Sets a cell as a user would; false when the cell is shut or refuses the value.
    virtual bool SetCellSetting(int /*row*/, int /*col*/, std::string_view /*value*/) {
        return false;
    }
    // What the cells of a column take, for messages.
    [[nodiscard]] virtual std::string AllowedText(int /*col*/) const { return {}; }
};
