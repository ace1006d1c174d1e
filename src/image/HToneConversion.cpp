#include "HToneConversion.h"

#include <cmath>

namespace HToneConversion {

namespace {
bool HoldsNothing(std::uint32_t stored) {
    return stored == 0 || stored == kNone;
}
} // namespace

double FrequencyOf(std::uint32_t stored, std::uint32_t reference) {
    if (HoldsNothing(stored) || reference == 0)
        return 0.0;
    const double hz = double(reference) * double(stored) / 10000.0;
    return std::round(hz * 10.0) / 10.0;
}

double LimitFrequency(double hz) {
    if (hz == 0.0)
        return 0.0;
    if (hz < kLowestTone)
        return kLowestTone;
    if (hz >= kHighestTone)
        return kHighestTone;
    return hz;
}

std::uint32_t StoredValueOf(double hz, std::uint32_t reference) {
    const double limited = LimitFrequency(hz);
    if (limited == 0.0 || reference == 0)
        return 0;
    const double stored = std::round(limited / double(reference) * 10000.0);
    if (stored < 1.0 || stored >= double(kNone))
        return 0;
    return static_cast<std::uint32_t>(stored);
}

HToneWindow DecodeWindow(std::uint32_t stored, std::uint32_t reference, std::uint32_t scale,
                         std::uint32_t bandwidth) {
    if (HoldsNothing(stored) || scale == 0)
        return {};
    const double whole = std::floor(double(stored) * double(reference) / 10000.0);
    if (whole < 1.0)
        return {};
    const double centre = 1.0 / whole * 1000000.0 / (double(scale) / 10000.0);
    const double half = double(bandwidth) * centre / 1000.0;
    return {static_cast<std::int64_t>(std::llround(centre - half)),
            static_cast<std::int64_t>(std::llround(centre + half))};
}

bool FitsTable(const HToneWindow& w) {
    if (w.lower == 0 && w.upper == 0)
        return true;
    return w.lower >= 1 && w.upper < std::int64_t(kNone) && w.lower <= w.upper;
}

std::uint32_t StoredLimit(std::int64_t limit) {
    if (limit <= 0 || limit >= std::int64_t(kNone))
        return kNone;
    return static_cast<std::uint32_t>(limit);
}

} // namespace HToneConversion
