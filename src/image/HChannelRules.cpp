#include "HChannelRules.h"

#include <cmath>

namespace HChannelRules {

namespace {

constexpr std::array<const char*, 6> kBandNames = {"VHF",   "Not Defined", "UHF A",
                                                   "UHF D", "Low Band A",  "Low Band B"};
constexpr std::array<BandLimits, 6> kBandLimits = {{
    {134000000, 174000000},
    {0, 0},
    {380000000, 470000000},
    {450000000, 520000000},
    {29700000, 40000000},
    {40000000, 54000000},
}};

// Divisor search of the tone timer: the offsets from the ideal count in the order tried.
constexpr std::array<int, 7> kToneOffsets = {0, -1, +1, -2, +2, -3, +3};

} // namespace

std::int32_t StepHz(int stepCode, int stepSet) {
    if (stepCode < 0 || stepCode > 2)
        stepCode = 0;
    if (stepSet < 0 || stepSet > 2)
        stepSet = 0;
    return kStepHz[static_cast<std::size_t>(stepCode)][static_cast<std::size_t>(stepSet)];
}

std::int64_t BandDefaultHz(int band) {
    switch (band) {
    case 0:
        return 154100000;
    case 2:
        return 440100000;
    case 3:
        return 480100000;
    default:
        return 0;
    }
}

BandLimits BandLimitsHz(int band) {
    if (band < 0 || band >= static_cast<int>(kBandLimits.size()))
        return {};
    return kBandLimits[static_cast<std::size_t>(band)];
}

const char* BandName(int band) {
    if (band < 0 || band >= static_cast<int>(kBandNames.size()))
        return "";
    return kBandNames[static_cast<std::size_t>(band)];
}

StepChoice ChooseStep(std::int64_t hz, int stepSet) {
    const std::int64_t s0 = StepHz(0, stepSet);
    const std::int64_t s1 = StepHz(1, stepSet);
    StepChoice c{0, hz};
    if (hz % s1 == 0) {
        c.stepCode = 1;
    } else if (hz % s0 == 0) {
        c.stepCode = 0;
    } else if (stepSet == 1 && hz % 2500 == 0) {
        c.stepCode = 2;
    } else {
        // On neither step: raise to the nearer of the two steps above it; a tie
        // goes to code 0.
        const std::int64_t up0 = (hz / s0 + 1) * s0;
        const std::int64_t up1 = (hz / s1 + 1) * s1;
        if (up1 - hz < up0 - hz) {
            c = {1, up1};
        } else {
            c = {0, up0};
        }
    }
    // Every step of the tables is a multiple of 50 Hz, so this only guards a
    // stored value that escaped the steps.
    if (c.hz % 50 != 0)
        c.hz += 10;
    return c;
}

std::optional<std::int64_t> ParseMHz(const char* text) {
    if (!text)
        return std::nullopt;
    const char* p = text;
    while (*p == ' ')
        ++p;
    std::int64_t whole = 0;
    int wholeDigits = 0;
    while (*p >= '0' && *p <= '9') {
        if (wholeDigits >= 5) // 99999 MHz and more is no radio frequency
            return std::nullopt;
        whole = whole * 10 + (*p - '0');
        ++wholeDigits;
        ++p;
    }
    std::int64_t fraction = 0; // in Hz: six digits after the point, more are truncated
    int fractionDigits = 0;
    if (*p == '.') {
        ++p;
        while (*p >= '0' && *p <= '9') {
            if (fractionDigits < 6) {
                fraction = fraction * 10 + (*p - '0');
                ++fractionDigits;
            }
            ++p;
        }
    }
    if (wholeDigits == 0 && fractionDigits == 0)
        return std::nullopt;
    while (*p == ' ')
        ++p;
    if (*p != '\0')
        return std::nullopt;
    for (int i = fractionDigits; i < 6; ++i)
        fraction *= 10;
    std::int64_t hz = whole * 1000000 + fraction;
    if (hz % 10 != 0)
        hz += 10 - hz % 10;
    return hz;
}

Counts EncodeFrequency(std::int64_t hz, bool receive, int stepCode, const CountContext& ctx) {
    if (hz == 0)
        return {};
    std::int64_t offset = 0;
    if (receive)
        offset = ctx.localOffset == 0 ? -ctx.ifHz : ctx.ifHz;
    const std::int64_t n = (hz + offset) / StepHz(stepCode, ctx.stepSet);
    Counts c;
    c.high = static_cast<std::int32_t>(n / 64);
    c.low = static_cast<std::int32_t>(n % 64);
    std::int64_t word = n;
    if (ctx.band == 2 && ctx.stepSet == 0)
        word -= 40960;
    else if (ctx.band == 0 && ctx.stepSet == 1)
        word -= 32768;
    c.word = static_cast<std::int32_t>(word);
    return c;
}

std::int64_t DecodeFrequency(const Counts& counts, bool receive, int stepCode,
                             const CountContext& ctx) {
    if (counts.word == 0)
        return BandDefaultHz(ctx.band);
    std::int64_t hz =
        (static_cast<std::int64_t>(counts.low) + static_cast<std::int64_t>(counts.high) * 64) *
        StepHz(stepCode, ctx.stepSet);
    if (receive) {
        if (ctx.localOffset == 0)
            hz += ctx.ifHz;
        else if (ctx.localOffset == 1)
            hz -= ctx.ifHz;
    }
    return hz;
}

ToneTimer ToneTimerBytes(std::int32_t toneTenthsHz) {
    // No tone frequency: the ideal count is 0, which divisor 1 takes at once;
    // the divider 0 - 1 is the byte FF.
    if (toneTenthsHz <= 0)
        return {0, 0xFF};
    const double f = toneTenthsHz / 10.0;
    const double x = (1000000.0 / f) / 8.0 / 0.5425;
    const std::int64_t n = static_cast<std::int64_t>(std::floor(x + 0.5));
    for (int d : kToneOffsets) {
        const std::int64_t target = n + d;
        if (target <= 0)
            continue;
        // A divisor up to target / 256 leaves a count of 256 or more: start above it.
        for (std::int64_t p = target / 256 + 1; p <= 255; ++p) {
            if (target % p == 0 && target / p < 256)
                return {static_cast<std::int32_t>(p - 1),
                        static_cast<std::int32_t>(target / p - 1)};
        }
    }
    // No divisor fits (only for tones far below the CTCSS range): the slowest
    // timer the two bytes can hold rather than a count cut to 8 bits.
    return {0, 255};
}

std::int32_t TuningByte(std::int64_t hz, std::int64_t refHz, std::int32_t value,
                        std::int32_t slopeUp, std::int32_t slopeDown) {
    // Whole-number arithmetic: the same as (distance / 10 MHz) x slope, truncated,
    // without the binary-fraction errors of a floating-point product.
    std::int64_t v = 0;
    if (hz <= refHz) {
        v = value - (refHz - hz) * slopeDown / 10000000;
        if (v < 0)
            v = 0;
    } else {
        v = value + (hz - refHz) * slopeUp / 10000000;
        if (v > 255)
            v = 255;
    }
    if (v < 0)
        v = 0;
    if (v > 255)
        v = 255;
    return static_cast<std::int32_t>(v);
}

// Linear between the first pair of points that brackets the frequency (the
// first pair also serves frequencies below point 0); beyond them, point 15.
// The truncated step is rounded away from zero when the result and the
// remainder share a sign, as the radio's factory software does.
std::int32_t Interpolate(std::span<const TuningSample> points, std::int64_t hz) {
    if (points.size() < 16)
        return points.empty() ? 0 : points.back().value;
    const int pair = InterpolationPair(points, hz);
    if (pair < 0)
        return points[15].value;
    const auto i = static_cast<std::size_t>(pair);
    return InterpolateBetween(points[i], points[i + 1], hz);
}

int InterpolationPair(std::span<const TuningSample> points, std::int64_t hz) {
    for (std::size_t i = 0; i + 1 < 16 && i + 1 < points.size(); ++i) {
        const std::int64_t from = points[i].hz;
        if ((i == 0 && hz < from) || (from <= hz && hz < points[i + 1].hz))
            return static_cast<int>(i);
    }
    return -1;
}

std::int32_t InterpolateBetween(const TuningSample& a, const TuningSample& b, std::int64_t hz) {
    const std::int64_t num = (hz - a.hz) * (static_cast<std::int64_t>(b.value) - a.value);
    const std::int64_t den = b.hz - a.hz;
    if (den == 0)
        return a.value;
    std::int64_t result = a.value + num / den;
    const std::int64_t rem = num % den;
    if (result > 0 && rem > 0)
        ++result;
    else if (result < 0 && rem < 0)
        --result;
    return static_cast<std::int32_t>(result);
}

} // namespace HChannelRules
