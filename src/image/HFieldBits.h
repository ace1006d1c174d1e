#pragma once
// The bit-level codings of a number row: big-endian bytes and sign-magnitude.
// Shared by the field tables and by the channel model's direct record access,
// so both read and write the same bits.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace HFieldBits {

// count (at most 8) bytes from p, the first the most significant.
[[nodiscard]] inline std::uint64_t ReadBigEndian(const std::uint8_t* p, std::uint32_t count) {
    std::uint64_t number = 0;
    for (std::uint32_t k = 0; k < count; ++k)
        number = (number << 8) | p[k];
    return number;
}

inline void WriteBigEndian(std::uint8_t* p, std::uint32_t count, std::uint64_t number) {
    for (std::uint32_t k = count; k-- > 0;) {
        p[k] = static_cast<std::uint8_t>(number & 0xFF);
        number >>= 8;
    }
}

// The four bytes from p as one number, and back.
// One four-byte access rather than four single bytes: the same code in an
// optimised build, and one check instead of four under a sanitizer.
[[nodiscard]] inline std::uint32_t ReadBigEndian32(const std::uint8_t* p) {
    std::uint32_t number = 0;
    std::memcpy(&number, p, sizeof number);
    if constexpr (std::endian::native == std::endian::little)
        number = __builtin_bswap32(number);
    return number;
}

inline void WriteBigEndian32(std::uint8_t* p, std::uint32_t number) {
    if constexpr (std::endian::native == std::endian::little)
        number = __builtin_bswap32(number);
    std::memcpy(p, &number, sizeof number);
}

// Sign-magnitude on the field's top bit.
[[nodiscard]] inline std::int32_t FromSignMagnitude(std::uint32_t raw, std::uint32_t width) {
    if (width == 0 || width > 32)
        return static_cast<std::int32_t>(raw);
    const std::uint32_t flag = 1u << (width - 1);
    const std::uint32_t magnitude = raw & (flag - 1);
    return (raw & flag) != 0 ? -static_cast<std::int32_t>(magnitude)
                             : static_cast<std::int32_t>(magnitude);
}

[[nodiscard]] inline std::uint32_t ToSignMagnitude(std::int32_t value, std::uint32_t width) {
    if (width == 0 || width > 32)
        return static_cast<std::uint32_t>(value);
    const std::uint32_t flag = 1u << (width - 1);
    // A magnitude too large for the field is held at the largest one rather
    // than spilling into the sign flag.
    std::uint64_t magnitude =
        value < 0 ? std::uint64_t(-std::int64_t(value)) : std::uint64_t(value);
    magnitude = std::min<std::uint64_t>(magnitude, flag - 1);
    return static_cast<std::uint32_t>(magnitude) | (value < 0 && magnitude != 0 ? flag : 0);
}

} // namespace HFieldBits
