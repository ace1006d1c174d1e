#pragma once
// SHA-256 (FIPS 180-4) of a byte string: the name an image is stored under in
// the history, so that a thousand identical downloads keep one image.
#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace HSha256 {

using Digest = std::array<std::uint8_t, 32>;

[[nodiscard]] Digest Of(std::span<const std::uint8_t> bytes);
// The digest as 64 lower-case hex digits.
[[nodiscard]] std::string Hex(std::span<const std::uint8_t> bytes);

} // namespace HSha256
