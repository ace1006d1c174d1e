#include "HSimAlignment.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kNak = 0x15;

std::uint8_t Sum(const std::vector<std::uint8_t>& bytes) {
    unsigned s = 0;
    for (std::uint8_t b : bytes)
        s += b;
    return std::uint8_t(s & 0xFF);
}
} // namespace

int HSimAlignment::Spread() {
    // A small fixed generator: the same run gives the same readings.
    m_seed = m_seed * 1103515245u + 12345u;
    return int((m_seed >> 16) % (2 * kSpread + 1)) - kSpread;
}

std::array<std::uint8_t, 6> HSimAlignment::Readings() {
    const int vcv = m_tx ? m_level[2] : m_level[1];
    const int offset = VcvOffset(m_channel) + m_vcvDrift[m_channel == 0   ? 0
                                                         : m_channel == 2 ? 2
                                                                          : 1];
    const bool locked = !m_neverLocks && vcv >= offset + 10 && vcv <= kVcvLockTop;
    // Before any tune value the receiver sits on its peak.
    const int tune = m_tuned ? m_level[0] : TunePeak(m_channel);
    const int away = std::max(0, std::abs(tune - TunePeak(m_channel)) - kRssiFlatHalfWidth);
    const int rssi = std::max(kRssiFloor, kRssiPeak - kRssiSlope * away) + Spread();
    const int noise = kNoiseLevel + Spread();
    return {0x80,
            std::uint8_t(std::clamp(rssi, 0, 255)),
            std::uint8_t(std::clamp(noise, 0, 255)),
            0x80,
            std::uint8_t(locked ? vcv - offset : 0),
            std::uint8_t(locked ? kLockedLevel : kUnlockedLevel)};
}

std::vector<std::uint8_t> HSimAlignment::OnCommand(const std::vector<std::uint8_t>& f) {
    const std::size_t params = f.size() >= 3 ? f.size() - 3 : 0;
    auto wants = [&](std::size_t n) { return params == n; };
    switch (f.empty() ? 0 : f[0]) {
    case 0x30: // change channel
        if (!wants(2))
            return {kNak};
        m_group = f[2];
        m_channel = f[3];
        m_tuned = false;
        return {kAck};
    case 0x31: { // A/D values
        if (!wants(0))
            return {kNak};
        const auto ad = Readings();
        std::vector<std::uint8_t> r{0x31, 0x07};
        r.insert(r.end(), ad.begin(), ad.end());
        r.push_back(Sum(r));
        return r;
    }
    case 0x32:
        if (!wants(4))
            return {kNak};
        std::copy(f.begin() + 2, f.begin() + 6, m_level.begin());
        m_tuned = true;
        return {kAck};
    case 0x33:
        return wants(3) ? std::vector<std::uint8_t>{kAck} : std::vector<std::uint8_t>{kNak};
    case 0x34:
    case 0x35:
        if (!wants(0))
            return {kNak};
        m_tx = f[0] == 0x34;
        return {kAck};
    case 0x36:
        return wants(2) ? std::vector<std::uint8_t>{kAck} : std::vector<std::uint8_t>{kNak};
    case 0x37:
    case 0x39:
        return wants(1) ? std::vector<std::uint8_t>{kAck} : std::vector<std::uint8_t>{kNak};
    case 0x3B:
        return wants(3) ? std::vector<std::uint8_t>{kAck} : std::vector<std::uint8_t>{kNak};
    default:
        return {};
    }
}
