#pragma once
// The memory blocks each transfer moves, by access level. The transfer dialog of
// the Qt program and the command-line tool both take their lists from here, so
// the two can never move different blocks.
//
// EEPROM ranges are word addresses, FLASH ranges page numbers, both bounds
// included. A FLASH "to" of kFlashToChannels means "up to the last page that
// holds channel data"; the controller resolves it just before the pages move.
#include <cstdint>
#include <vector>

struct HBlockRange {
    std::uint8_t from = 0;
    std::uint8_t to = 0;
    friend bool operator==(const HBlockRange&, const HBlockRange&) = default;
};

using HRangeList = std::vector<HBlockRange>;

inline constexpr std::uint8_t kFlashToChannels = 0xFF;
inline constexpr std::uint8_t kLastFlashPage = 0x5E;

// The four range lists of one transfer, in the order the event carries them.
struct HTransferRanges {
    HRangeList readEeprom;
    HRangeList readFlash;
    HRangeList writeEeprom;
    HRangeList writeFlash;
    friend bool operator==(const HTransferRanges&, const HTransferRanges&) = default;
};

enum class HTransferDirection { Upload, Download };

namespace HTransferRangeTable {

// The lists for an Upload (event 0) or a Download (event 1) at access level
// 0, 1 or 2; any other level is treated as level 0.
[[nodiscard]] HTransferRanges For(HTransferDirection direction, int accessLevel);
[[nodiscard]] HTransferRanges Upload(int accessLevel);
[[nodiscard]] HTransferRanges Download(int accessLevel);

// The FLASH list of the added channel upload (event 11): the channel pages that
// a channel allocation added, from old page count p0 to new page count p1.
[[nodiscard]] HRangeList AddedChannelPages(int p0, int p1);

} // namespace HTransferRangeTable
