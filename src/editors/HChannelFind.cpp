#include "HChannelFind.h"

#include "HText.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <tuple>
#include <utility>

namespace HChannelFind {

std::vector<int> SearchedColumns(const HChannelGrid& grid) {
    std::vector<int> columns;
    for (const HChannelItem item :
         {HChannelItem::Tag, HChannelItem::Frequency, HChannelItem::SubAudio})
        for (const int col : HChannelColumns::ColumnsOfItem(item))
            if (grid.IsColumnShown(col))
                columns.push_back(col);
    std::sort(columns.begin(), columns.end());
    return columns;
}

std::optional<HFindHit> Next(const HChannelGrid& grid, std::string_view text, int channel,
                             int column) {
    const std::string wanted = HText::Upper(HText::Trim(text));
    const std::vector<int> columns = SearchedColumns(grid);
    if (wanted.empty() || columns.empty())
        return std::nullopt;
    const HChannels& model = grid.Model();
    // Channels in use in group order (a group's channels follow one another).
    std::vector<std::pair<int, int>> channels; // group, channel
    for (int c = 0; c < static_cast<int>(HChannelTables::kChannelCount); ++c)
        if (int g = -1; model.GetParentGroupNum(c, g))
            channels.emplace_back(g, c);
    std::stable_sort(channels.begin(), channels.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    const std::size_t perChannel = columns.size();
    const std::size_t cells = channels.size() * perChannel;
    if (cells == 0)
        return std::nullopt;
    // The cell the search starts after: the current one, or the last searched
    // cell before it when the current column is not searched; -1 is before
    // the first cell.
    std::ptrdiff_t start = -1;
    const auto at = std::find_if(channels.begin(), channels.end(),
                                 [channel](const auto& gc) { return gc.second == channel; });
    if (at != channels.end()) {
        const auto before =
            std::upper_bound(columns.begin(), columns.end(), column) - columns.begin();
        start = (at - channels.begin()) * static_cast<std::ptrdiff_t>(perChannel) + before - 1;
    }
    const auto count = static_cast<std::ptrdiff_t>(cells);
    for (std::ptrdiff_t step = 1; step <= count; ++step) {
        const auto cell = static_cast<std::size_t>((start + step) % count);
        HFindHit hit;
        std::tie(hit.group, hit.channel) = channels[cell / perChannel];
        hit.column = columns[cell % perChannel];
        const std::string shown = HText::Upper(
            HText::Trim(HChannelColumns::CellText(hit.column, model, hit.channel, hit.group)));
        if (shown.find(wanted) != std::string::npos) {
            hit.wrapped = start + step >= count;
            return hit;
        }
    }
    return std::nullopt;
}

} // namespace HChannelFind
