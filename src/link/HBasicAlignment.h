#pragma once
// The measuring steps of basic alignment that need no person at the radio:
// the VCV search, the RX sensitivity sweep, the squelch sampling, and the
// store-and-write of accepted values. The dialogs and rp57cli drive them; the
// pure rules (sweep stop, peak middle, slope, trimmed mean) stand on their own.
#include "HAlignmentData.h"
#include "HComAlignment.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace HBasicAlignment {

// The radio's settling times between commands. Zero waits suit a radio that
// answers at once (the simulated one).
struct Timing {
    std::chrono::milliseconds pllSettle{50};
    std::chrono::milliseconds pllUnlocked{20};
    std::chrono::milliseconds tuneStart{100};
    std::chrono::milliseconds tuneSettle{50};
    std::chrono::milliseconds tuneNext{50};
    std::chrono::milliseconds wordWrite{10};
    static Timing None() {
        using std::chrono::milliseconds;
        Timing t;
        t.pllSettle = t.pllUnlocked = t.tuneStart = t.tuneSettle = t.tuneNext = t.wordWrite =
            milliseconds(0);
        return t;
    }
};

// ---- VCV search ----
inline constexpr int kVcvStart = 245;
inline constexpr int kVcvStep = 4;
inline constexpr int kVcvHighMin = 182; // the reading at the band's high edge
inline constexpr int kVcvHighMax = 188;
inline constexpr int kVcvLowMin = 20; // and at its low edge
inline constexpr int kPllReads = 10;
// The VCV value found, or nothing when the search failed (a command or an A/D
// read failed, or no value below 246 locks in both windows). `tried` is told
// every candidate before it is sent (on the caller's thread of the search).
[[nodiscard]] std::optional<int> VcvSearch(HComAlignment& comm, bool tx, const Timing& timing,
                                           const std::function<void(int)>& tried = {});

// ---- RX sensitivity tuning ----
inline constexpr int kTuneSteps = 3; // band low, centre, high = channels 0, 1, 2
inline constexpr int kTuneStarts[kTuneSteps] = {0, 48, 100};
inline constexpr int kTuneDrop = 6;
// True when a sweep at peak `peak` stops at reading `r`.
[[nodiscard]] constexpr bool SweepStops(int peak, int r) {
    return r <= peak && peak > r + kTuneDrop;
}
// The middle of the tune values that read the peak: (first + last) / 2.
[[nodiscard]] int PeakMiddle(std::span<const int, 256> readings, int peak);
// One step's sweep on channel `step` with RX VCV `vcv`; the tune value found,
// nothing when a command or an A/D read failed.
[[nodiscard]] std::optional<int> TuneSweep(HComAlignment& comm, int step, std::uint8_t vcv,
                                           const Timing& timing);
// The slope stored for an edge (frequencies in 100 kHz units).
[[nodiscard]] int TuneSlope(int edgeFreq, int edgeResult, int centreFreq, int centreResult);
// Values 20-23 from the three results and the three channels' frequencies (Hz).
void StoreTuneResults(HAlignmentData& data, const std::array<int, 3>& results,
                      const std::array<std::int64_t, 3>& frequenciesHz);

// ---- squelch levels ----
inline constexpr int kSquelchSamples = 20;
// (sum − largest − smallest) / 18; the largest starts at 0, the smallest at 255.
[[nodiscard]] int SquelchResult(std::span<const int> samples);

// ---- store and write ----
// Stores the values into the image, recomputes the checksum and writes each
// word, then the checksum word, to the radio. The words whose write failed,
// in order; the image keeps the values either way.
[[nodiscard]] std::vector<int> StoreAndWrite(HComAlignment& comm, HMemoryImage& image,
                                             HAlignmentData& data, std::span<const int> words,
                                             const Timing& timing);

// What a store after RX Sensitivity Tuning did not get into the radio.
struct HUnwritten {
    std::vector<int> words;
    std::vector<int> pages;
    [[nodiscard]] bool Empty() const { return words.empty() && pages.empty(); }
};
// After RX Sensitivity Tuning: the values into the image, the channel records
// rebuilt from them (their tune bytes follow), the words and the checksum
// word written (StoreAndWrite), then FLASH channel pages 8 to 8 + k, k the
// channel records / 3.
[[nodiscard]] HUnwritten StoreTuneAndWrite(HComAlignment& comm, HMemoryImage& image,
                                           HAlignmentData& data, std::span<const int> words,
                                           const Timing& timing);

} // namespace HBasicAlignment
