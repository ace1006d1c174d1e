#pragma once
// The radio's side of the alignment commands: a small model of a set that can
// be aligned. Its PLL locks for a window of VCV values on each test channel,
// its RSSI peaks over a range of tune values, and its RSSI and noise readings
// wander by a little, as a real receiver's do.
#include <array>
#include <cstdint>
#include <vector>

class HSimAlignment {
public:
    // Where the model's answers lie, so tests can name the results it leads to.
    static constexpr int kLockedLevel = 230;
    static constexpr int kUnlockedLevel = 40;
    static constexpr int kVcvLockTop = 235; // no channel locks above this VCV
    static constexpr int kRssiPeak = 200;
    static constexpr int kRssiFloor = 20;
    static constexpr int kRssiFlatHalfWidth = 2; // the peak is 5 tune values wide
    static constexpr int kRssiSlope = 3;         // per tune value beyond the flat top
    static constexpr int kNoiseLevel = 60;
    static constexpr int kSpread = 2; // readings wander by up to this much either way

    // VCV reading = VCV − offset; the PLL locks for VCV in offset+10 .. 235.
    [[nodiscard]] static constexpr int VcvOffset(int channel) {
        return channel == 0 ? 120 : channel == 2 ? 40 : 80;
    }
    [[nodiscard]] static constexpr int TunePeak(int channel) {
        return channel == 0 ? 40 : channel == 2 ? 150 : 90;
    }

    // The reply to one checked alignment frame; empty when the radio does not
    // answer it.
    [[nodiscard]] std::vector<std::uint8_t> OnCommand(const std::vector<std::uint8_t>& frame);
    // The six A/D values as the radio would read them now.
    [[nodiscard]] std::array<std::uint8_t, 6> Readings();

    // A broken VCO: the lock-detect level stays low whatever VCV is sent.
    void SetNeverLocks(bool never) { m_neverLocks = never; }
    // An aged VCO: the VCV readings and the lock window of test channel
    // `channel` (0..2; -1 all three) lie `n` lower.
    void SetVcvDrift(int n, int channel) {
        for (int c = 0; c < 3; ++c)
            if (channel < 0 || channel == c)
                m_vcvDrift[std::size_t(c)] = n;
    }

    [[nodiscard]] int Channel() const { return m_channel; }
    [[nodiscard]] bool Transmitting() const { return m_tx; }

private:
    [[nodiscard]] int Spread();

    int m_group = 0;
    int m_channel = 1;
    bool m_tx = false;
    std::array<std::uint8_t, 4> m_level{}; // the last 0x32 parameters
    bool m_tuned = false;                  // a tune value was sent on this channel
    bool m_neverLocks = false;
    std::array<int, 3> m_vcvDrift{}; // by test channel; others as the centre
    std::uint32_t m_seed = 12345;
};
