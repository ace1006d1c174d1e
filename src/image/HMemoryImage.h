#pragma once
// The radio's whole programmable memory as the program keeps it. Multi-byte
// numbers are big-endian; bit 0 is the least significant bit of a byte.
#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kImageSize = 12703;

using HMemoryImage = std::array<std::uint8_t, kImageSize>;

namespace HImageMap {
// Bytes 0-511: the 256 EEPROM words, two bytes each.
inline constexpr std::size_t kEepromWords = 256;
inline constexpr std::size_t kEepromBytes = kEepromWords * 2;
// Bytes 512-12671: FLASH pages 0x00-0x5E, 128 bytes each.
inline constexpr std::size_t kFlashBase = kEepromBytes;
inline constexpr std::size_t kFlashPageSize = 128;
inline constexpr std::size_t kFlashPages = 0x5F;
inline constexpr std::size_t kFlashEnd = kFlashBase + kFlashPages * kFlashPageSize; // 12672
// Bytes 12288-12671: factory alignment data.
inline constexpr std::size_t kAlignmentBase = 12288;
// Bytes 12672-12702: band and identity words.
inline constexpr std::size_t kIdentityBase = kFlashEnd;

static_assert(kFlashEnd == 12672);

constexpr std::size_t EepromWordOffset(std::size_t word) {
    return word * 2;
}
constexpr std::size_t FlashPageOffset(std::size_t page) {
    return kFlashBase + page * kFlashPageSize;
}

// Words the radio keeps for itself, with the value every download gives them:
// the program's copies are stale, and a new image holds them so already.
struct HRadioOwnedRange {
    std::size_t first;
    std::size_t last; // included
    std::uint8_t fill;
};
inline constexpr std::array kRadioOwnedRanges = {
    HRadioOwnedRange{0x3A, 0x51, 0x00}, HRadioOwnedRange{0x5A, 0x71, 0xFF},
    HRadioOwnedRange{0x7A, 0x91, 0xFF}, HRadioOwnedRange{0x95, 0x97, 0xFF},
    HRadioOwnedRange{0x99, 0x9B, 0xFF}, HRadioOwnedRange{0x9D, 0x9F, 0xFF},
    HRadioOwnedRange{0xB0, 0xDF, 0xFF},
};
constexpr bool RadioOwnedRangesSound() {
    for (const HRadioOwnedRange& r : kRadioOwnedRanges)
        if (r.first > r.last || r.last >= kEepromBytes)
            return false;
    return true;
}
static_assert(RadioOwnedRangesSound(), "the radio's own words are EEPROM words");

inline void FillRadioOwnedWords(HMemoryImage& image) {
    for (const HRadioOwnedRange& r : kRadioOwnedRanges)
        for (std::size_t i = r.first; i <= r.last; ++i)
            image[i] = r.fill;
}
} // namespace HImageMap
