#pragma once
// Byte moves on whole images that the controller's transfers share.
#include "HMemoryImage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace HControllerBytes {

// EEPROM word 0xFF: FF FF while a write is under way, A5 5A once it is whole.
inline constexpr std::uint8_t kEndMarkWord = 0xFF;

// Bytes first..last (inclusive) of `from` into `to`.
inline void CopyBytes(const HMemoryImage& from, HMemoryImage& to, std::size_t first,
                      std::size_t last) {
    std::copy(from.begin() + long(first), from.begin() + long(last) + 1, to.begin() + long(first));
}

inline void SetWord(HMemoryImage& image, std::uint8_t word, std::uint8_t hi, std::uint8_t lo) {
    image[HImageMap::EepromWordOffset(word)] = hi;
    image[HImageMap::EepromWordOffset(word) + 1] = lo;
}

} // namespace HControllerBytes
