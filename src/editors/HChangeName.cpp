#include "HChangeName.h"

#include "HChannelColumns.h"

#include <vector>

namespace Cols = HChannelColumns;

namespace HChangeName {

std::string Describe(const HMemoryImage& before, const HMemoryImage& after) {
    HChannels a;
    HChannels b;
    a.Load(before);
    b.Load(after);
    std::vector<int> channels;
    std::vector<std::uint32_t> changed; // columns changed, by entry of `channels`
    for (int c = 0; c < static_cast<int>(HChannelTables::kChannelCount); ++c) {
        std::uint32_t columns = 0;
        for (int col = 0; col < kChannelColumnCount; ++col) {
            // The priority tick shows in the group of the channel.
            const int ga = Cols::GroupOfChannel(a, c);
            const int gb = Cols::GroupOfChannel(b, c);
            if (Cols::CellText(col, a, c, ga) != Cols::CellText(col, b, c, gb))
                columns |= Cols::Bit(col);
        }
        if (columns != 0) {
            channels.push_back(c);
            changed.push_back(columns);
        }
    }
    if (channels.empty())
        return "Edit";
    // The column the user changed is the first one; what follows it is its dependants.
    const auto lead = [](std::uint32_t columns) {
        int first = 0;
        while ((columns & Cols::Bit(first)) == 0)
            ++first;
        return (columns & ~Cols::Column(first)->dependants) == 0 ? first : -1;
    };
    const int column = lead(changed.front());
    bool sameColumn = column >= 0;
    for (std::uint32_t columns : changed)
        sameColumn = sameColumn && lead(columns) == column;
    const std::string header = sameColumn ? std::string(Cols::Column(column)->header) : "";
    if (channels.size() == 1) {
        const std::string channel = "channel " + std::to_string(channels.front() + 1);
        return sameColumn ? "Edit " + header + ", " + channel : "Edit " + channel;
    }
    const std::string count = std::to_string(channels.size()) + " channels";
    return sameColumn ? "Edit " + header + ", " + count : "Edit " + count;
}

} // namespace HChangeName
