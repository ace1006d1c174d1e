#pragma once
// The radio's arithmetic for channels: steps, synthesizer counts, tone timer
// bytes, tuning values. Pure functions, used by the channel model (HChannels)
// and checked on their own by the tests.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace HChannelRules {

// Channel step in Hz by step code (0-2) and Hardware step set (0-2).
inline constexpr std::array<std::array<std::int32_t, 3>, 3> kStepHz = {{
    {5000, 5000, 10000}, // code 0
    {6250, 6250, 12500}, // code 1
    {2500, 2500, 2500},  // code 2
}};

// Step in Hz; out-of-range codes or sets fall back to code 0 / set 0 so that a
// damaged image never divides by zero.
[[nodiscard]] std::int32_t StepHz(int stepCode, int stepSet);

// Frequency of a channel whose count word is 0, by Hardware band value.
[[nodiscard]] std::int64_t BandDefaultHz(int band);

// Band limits in Hz by band value (band 1 and unknown bands: 0-0).
struct BandLimits {
    std::int64_t lowHz = 0;
    std::int64_t highHz = 0;
};
[[nodiscard]] BandLimits BandLimitsHz(int band);

// Band names by band value 0-5 ("VHF", "Not Defined", ...); "" for others.
[[nodiscard]] const char* BandName(int band);

// Step choice for a frequency that is not 0: the chosen code and the frequency
// as stored (a frequency on neither step is raised to the nearer step).
struct StepChoice {
    int stepCode = 0;
    std::int64_t hz = 0;
};
[[nodiscard]] StepChoice ChooseStep(std::int64_t hz, int stepSet);

// A frequency typed in MHz, in Hz: truncated, then raised to a multiple of 10 Hz
// (so "146.0125" is 146012500 despite the binary fraction). nullopt when the text
// is no plain decimal number.
[[nodiscard]] std::optional<std::int64_t> ParseMHz(const char* text);

// Synthesizer counts of a frequency, as stored in a channel.
struct Counts {
    std::int32_t high = 0; // count / 64
    std::int32_t low = 0;  // count mod 64
    std::int32_t word = 0; // count word (0 = no frequency)
};
struct CountContext {
    int band = 0;          // Hardware row 1
    int stepSet = 0;       // Hardware row 6
    int localOffset = 0;   // Hardware row 5: 0 lower, 1 upper
    std::int64_t ifHz = 0; // first intermediate frequency (Hardware value 24)
};
[[nodiscard]] Counts EncodeFrequency(std::int64_t hz, bool receive, int stepCode,
                                     const CountContext& ctx);
[[nodiscard]] std::int64_t DecodeFrequency(const Counts& counts, bool receive, int stepCode,
                                           const CountContext& ctx);

// Tone timer prescaler and divider (channel fields 57, 58) for a transmit CTCSS
// tone in tenths of Hz.
struct ToneTimer {
    std::int32_t prescaler = 0xFF;
    std::int32_t divider = 0xFF;
};
[[nodiscard]] ToneTimer ToneTimerBytes(std::int32_t toneTenthsHz);

// The tuning byte at a frequency from the identity values (reference frequency,
// value there, slopes per 10 MHz above and below), kept within 0-255.
[[nodiscard]] std::int32_t TuningByte(std::int64_t hz, std::int64_t refHz, std::int32_t value,
                                      std::int32_t slopeUp, std::int32_t slopeDown);

// A tuning point: its frequency and one value of it.
struct TuningSample {
    std::int64_t hz = 0;
    std::int32_t value = 0;
};
// Interpolates between the 17 tuning points (see the implementation for the
// rounding rule).
[[nodiscard]] std::int32_t Interpolate(std::span<const TuningSample> points, std::int64_t hz);
// The two halves of Interpolate, for many rows over the same point frequencies:
// the first of the two points drawn between (-1: none brackets hz, point 15's
// value is taken), found from the frequencies alone, and the value between them.
[[nodiscard]] int InterpolationPair(std::span<const TuningSample> points, std::int64_t hz);
[[nodiscard]] std::int32_t InterpolateBetween(const TuningSample& a, const TuningSample& b,
                                              std::int64_t hz);

} // namespace HChannelRules
