#pragma once
// Channel cells from outside the grid: rows copied from a spreadsheet (tab
// separated, with or without a header row) and one value set for a column of
// several channels. Both end as cell writes that the grid stores through each
// column's own rule (HChannelGrid::StoreCells), as a paste does.
#include "HChannelGrid.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace HChannelSheet {

// The grid column a title names: its header ("RX Frequency") or its title in
// the CSV channel list ("FREQUENCY Receive"), case and outer blanks ignored;
// -1 when none.
[[nodiscard]] int ColumnOfTitle(std::string_view title);

struct HSheet {
    bool header = false;
    std::vector<int> columns; // grid column of each sheet column; -1 skipped
    std::vector<std::vector<std::string>> rows;
};
// Tab-separated rows. A first row of which at least half the cells are
// column titles (blank cells aside) is the header and places the columns by
// title, other columns skipped; otherwise the cells are placed by position
// from grid column `firstColumn` on.
[[nodiscard]] HSheet ParseTabbed(std::string_view text, int firstColumn);
// The writes of a sheet pasted with its first row at grid row `targetRow`.
// Column 0 (the channel number) is never stored.
[[nodiscard]] std::vector<HCellWrite> Writes(const HSheet& sheet, int targetRow);
// The channel numbers the sheet names in its column 0, for the paste
// question; empty when it has none.
[[nodiscard]] std::vector<int> ChannelNumbers(const HSheet& sheet);
// The paste question for the sheet's rows at `targetRow`: message 53 with the
// channels the rows carry, else the rows themselves ("Do you paste 2 rows
// into Ch 20 - 21?").
[[nodiscard]] std::string PasteQuestion(const HSheet& sheet, const HChannelGrid& grid,
                                        int targetRow);

// ---- what a paste did not store ----
// Each reason once, in the order met: "Channel 5 TAG: ..." for a cell, one
// line for a channel not in use or the rows past the group's end.
[[nodiscard]] std::vector<std::string> RefusalLines(const HPasteResult& result);
// The status bar's line: how many cells of how many, and why (the first
// reasons; the box lists them all). Empty when nothing was refused.
[[nodiscard]] std::string RefusalSummary(const HPasteResult& result);

// ---- one column for several channels ----
// The columns that can be set for several channels at once: bandwidth, the
// two tones, power and power level, the two scan ticks, TOT and squelch.
[[nodiscard]] std::span<const int> BulkColumns();
struct HBulkChoice {
    std::string label; // what the list shows
    std::string text;  // the cell text stored
};
// The values a bulk column offers for this model (a handheld set's list has
// entries a mobile set lacks).
[[nodiscard]] std::vector<HBulkChoice> BulkChoices(int column, const HChannels& model);
// The writes that give `column` the cell text `text` on every row of `rows`.
[[nodiscard]] std::vector<HCellWrite> SetColumn(std::span<const int> rows, int column,
                                                std::string_view text);

} // namespace HChannelSheet
