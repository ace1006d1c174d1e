// Tone arithmetic against values worked by hand from the conversion rules,
// with the default header (reference 2929, window scale 25, bandwidth 25).
#include "HToneConversion.h"

#include <gtest/gtest.h>

namespace TC = HToneConversion;

TEST(ToneConversion, FrequencyOfStoredValue) {
    // 2929 x 3619 / 10000 = 1060.0051
    EXPECT_DOUBLE_EQ(TC::FrequencyOf(3619, 2929), 1060.0);
    // 2929 x 1000 / 10000 = 292.9
    EXPECT_DOUBLE_EQ(TC::FrequencyOf(1000, 2929), 292.9);
    // 2929 x 985 / 10000 = 288.5065
    EXPECT_DOUBLE_EQ(TC::FrequencyOf(985, 2929), 288.5);
    EXPECT_DOUBLE_EQ(TC::FrequencyOf(0xFFFF, 2929), 0.0);
    EXPECT_DOUBLE_EQ(TC::FrequencyOf(0, 2929), 0.0);
    EXPECT_DOUBLE_EQ(TC::FrequencyOf(3619, 0), 0.0);
}

TEST(ToneConversion, LimitingKeepsTonesInTheRadiosRange) {
    EXPECT_DOUBLE_EQ(TC::LimitFrequency(250.0), 288.5);
    EXPECT_DOUBLE_EQ(TC::LimitFrequency(0.0), 0.0);
    EXPECT_DOUBLE_EQ(TC::LimitFrequency(288.5), 288.5);
    EXPECT_DOUBLE_EQ(TC::LimitFrequency(2999.9), 2999.9);
    EXPECT_DOUBLE_EQ(TC::LimitFrequency(3000.0), 3000.0);
    EXPECT_DOUBLE_EQ(TC::LimitFrequency(4100.0), 3000.0);
}

TEST(ToneConversion, StoredValueOfFrequency) {
    // 1060 / 2929 x 10000 = 3618.98
    EXPECT_EQ(TC::StoredValueOf(1060.0, 2929), 3619u);
    // 250 Hz is limited to 288.5: 288.5 / 2929 x 10000 = 984.98
    EXPECT_EQ(TC::StoredValueOf(250.0, 2929), 985u);
    // 4100 Hz is limited to 3000: 3000 / 2929 x 10000 = 10242.40
    EXPECT_EQ(TC::StoredValueOf(4100.0, 2929), 10242u);
    EXPECT_EQ(TC::StoredValueOf(0.0, 2929), 0u);
    EXPECT_EQ(TC::StoredValueOf(1060.0, 0), 0u);
    // A reference of 1 would need 30 000 000 for 3000 Hz: no 16-bit value.
    EXPECT_EQ(TC::StoredValueOf(3000.0, 1), 0u);
    // The edges of the 16-bit range: 2621.4 / 400 x 10000 = 65535, the value
    // that means no tone, is none; 288.5 / 2885000 x 10000 = 1 is the least.
    EXPECT_EQ(TC::StoredValueOf(2621.4, 400), 0u);
    EXPECT_EQ(TC::StoredValueOf(288.5, 2885000), 1u);
}

TEST(ToneConversion, StoringAndReadingBackKeepsTheFrequency) {
    // Every whole-Hz tone in range survives a store and a read to 0.2 Hz
    // (one stored step is 0.29 Hz at the default reference).
    for (int hz = 289; hz < 3000; ++hz) {
        const std::uint32_t stored = TC::StoredValueOf(hz, 2929);
        EXPECT_NEAR(TC::FrequencyOf(stored, 2929), hz, 0.2) << hz << " Hz";
    }
}

TEST(ToneConversion, DecodeWindows) {
    // int(3619 x 2929 / 10000) = 1060; scale 10000: c = 1000000 / 1060 =
    // 943.396, h = 25 x 943.396 / 1000 = 23.585: 919.811 and 966.981.
    // int(10000 x 1 / 10000) = 1, the least that has a window: c = 1000000, h = 25000.
    EXPECT_EQ(TC::DecodeWindow(10000, 1, 10000, 25).lower, 975000);
    const TC::HToneWindow w = TC::DecodeWindow(3619, 2929, 10000, 25);
    EXPECT_EQ(w.lower, 920);
    EXPECT_EQ(w.upper, 967);
    // The default scale 25: c = 943.396 / 0.0025 = 377358.49, h = 9433.96.
    const TC::HToneWindow d = TC::DecodeWindow(3619, 2929, 25, 25);
    EXPECT_EQ(d.lower, 367925);
    EXPECT_EQ(d.upper, 386792);
    // Nothing to decode: an empty tone, a zero scale, a frequency below 1 Hz.
    const TC::HToneWindow none = TC::DecodeWindow(0xFFFF, 2929, 25, 25);
    EXPECT_EQ(none.lower, 0);
    EXPECT_EQ(none.upper, 0);
    EXPECT_EQ(TC::DecodeWindow(3619, 2929, 0, 25).upper, 0);
    EXPECT_EQ(TC::DecodeWindow(3, 2929, 25, 25).upper, 0);
}

TEST(ToneConversion, WhatATableCanHold) {
    const struct {
        std::int64_t lower, upper;
        bool fits;
    } rows[] = {
        {0, 0, true},            // no window: written as 0xFFFF
        {920, 967, true},        //
        {1, 65534, true},        // the widest a table holds
        {500, 500, true},        // a bandwidth of 0: one value
        {367925, 386792, false}, // the default scale's window of 1060 Hz
        {65000, 65535, false},   // upper is the "none" mark
        {0, 10, false},          // lower 0 is no limit
        {20, 10, false},         // the wrong way round
    };
    for (const auto& r : rows)
        EXPECT_EQ(TC::FitsTable({r.lower, r.upper}), r.fits) << r.lower << "-" << r.upper;
}

TEST(ToneConversion, StoredLimitsNeverWrap) {
    EXPECT_EQ(TC::StoredLimit(920), 920u);
    EXPECT_EQ(TC::StoredLimit(65534), 65534u);
    EXPECT_EQ(TC::StoredLimit(0), 0xFFFFu);
    EXPECT_EQ(TC::StoredLimit(65535), 0xFFFFu);
    // 367925 would wrap to 40245 in 16 bits: a window somewhere else.
    EXPECT_EQ(TC::StoredLimit(367925), 0xFFFFu);
}
