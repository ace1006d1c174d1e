#pragma once
// Find in the channel grid: a text looked for in the tag, frequency and tone
// cells of every channel in use, group after group, from the cell after the
// current one round to the current one itself. The grid's own texts are
// searched (what the technician sees), case and blanks at the ends ignored.
#include "HChannelGrid.h"

#include <optional>
#include <string_view>
#include <vector>

struct HFindHit {
    int group = -1;
    int channel = -1; // absolute
    int column = -1;
    bool wrapped = false; // passed the last channel and went on from the first
};

namespace HChannelFind {

// The columns searched, in grid order: the tag, frequency and tone columns
// the grid shows.
[[nodiscard]] std::vector<int> SearchedColumns(const HChannelGrid& grid);

// The next cell after channel `channel` (absolute), column `column` holding
// `text`; a channel of -1 starts before the first. None for a blank text or
// when no cell holds it.
[[nodiscard]] std::optional<HFindHit> Next(const HChannelGrid& grid, std::string_view text,
                                           int channel, int column);

} // namespace HChannelFind
