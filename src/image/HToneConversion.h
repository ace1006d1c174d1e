#pragma once
// The radio's sequential-tone arithmetic, shared by the 2-tone and 5-tone
// tone tables: a tone is stored as a radio value that the header's reference
// value turns into Hz, and the decoder of each tone listens inside a window
// computed from that value, the window scale and the decode bandwidth.
#include <cstdint>

namespace HToneConversion {

// Tone frequencies the radio can make, in Hz; 0 means no tone.
inline constexpr double kLowestTone = 288.5;
inline constexpr double kHighestTone = 3000.0;
// A stored tone value or window limit that holds nothing.
inline constexpr std::uint32_t kNone = 0xFFFF;

// Hz of a stored value: reference x stored / 10000, to one decimal. A value
// that holds nothing (0 or 0xFFFF) and a zero reference give 0.
[[nodiscard]] double FrequencyOf(std::uint32_t stored, std::uint32_t reference);

// A wanted frequency brought into the radio's range: 0 stays 0 (no tone),
// anything else below 288.5 Hz becomes 288.5, 3000 Hz and above 3000.
[[nodiscard]] double LimitFrequency(double hz);

// The stored value of a frequency: limited, then hz / reference x 10000 to
// the nearest integer. 0 for no tone, and for a reference that cannot express
// the frequency in 16 bits (0 included), so no wrapped value reaches a table.
[[nodiscard]] std::uint32_t StoredValueOf(double hz, std::uint32_t reference);

// The decode window of one tone, before it is stored.
struct HToneWindow {
    std::int64_t lower = 0;
    std::int64_t upper = 0;
};

// Centre c = 1 / int(stored x reference / 10000) x 1000000 / (scale / 10000),
// half-width h = bandwidth x c / 1000, limits c - h and c + h to the nearest
// integer. No window (0, 0) for an empty value, a zero scale, and a value so
// small that its integer frequency is 0 (which would divide by zero).
[[nodiscard]] HToneWindow DecodeWindow(std::uint32_t stored, std::uint32_t reference,
                                       std::uint32_t scale, std::uint32_t bandwidth);

// A window limit as a 16-bit table holds it: 0 (no window) and a limit that
// does not fit in 16 bits are written as 0xFFFF, never cut to their low bits.
[[nodiscard]] std::uint32_t StoredLimit(std::int64_t limit);

// Whether a table can hold the window: none at all (both 0, written as 0xFFFF),
// or both limits from 1 to 0xFFFE. One that cannot be held is not written:
// the table keeps the window it has, which after an upload is the radio's own
// (with the usual window scale every audio tone's window is far past 16 bits).
[[nodiscard]] bool FitsTable(const HToneWindow& window);

} // namespace HToneConversion
