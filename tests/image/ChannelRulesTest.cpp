#include "HChannelRules.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace HChannelRules;

TEST(ChannelRules, StepChoiceTablesAndBands) {
    // {frequency, step set, step code, frequency stored}
    const std::int64_t cases[][4] = {
        {146005000, 0, 0, 146005000}, // a 5 kHz multiple that is no 6.25 kHz multiple
        {146025000, 0, 1, 146025000}, // a multiple of both steps takes code 1
        {146002500, 1, 2, 146002500}, // 2.5 kHz only in step set 1 ...
        {146002500, 0, 0, 146005000}, // ... elsewhere raised: 5 kHz (2500 away) beats 3750
        {146006000, 0, 1, 146006250}, // 6.25 kHz strictly nearer
        {146024990, 0, 0, 146025000}, // equal distances take code 0
        {146001000, 2, 0, 146010000}, // step set 2: 10 and 12.5 kHz
    };
    for (const auto& c : cases) {
        const StepChoice sc = ChooseStep(c[0], static_cast<int>(c[1]));
        EXPECT_EQ(std::make_pair(std::int64_t{sc.stepCode}, sc.hz), std::make_pair(c[2], c[3]))
            << c[0] << " set " << c[1];
    }
    // Damaged codes never give a zero step.
    EXPECT_EQ(std::make_tuple(StepHz(1, 2), StepHz(2, 2), StepHz(3, 7)),
              std::make_tuple(12500, 2500, 5000));
    EXPECT_EQ(std::string(BandName(2)) + "|" + BandName(6) + std::to_string(BandDefaultHz(4)),
              "UHF A|0");
    // The documented limits of each band value.
    const std::int64_t limits[][3] = {{0, 134000000, 174000000}, {1, 0, 0},
                                      {2, 380000000, 470000000}, {3, 450000000, 520000000},
                                      {4, 29700000, 40000000},   {5, 40000000, 54000000}};
    for (const auto& l : limits) {
        const BandLimits b = BandLimitsHz(static_cast<int>(l[0]));
        EXPECT_EQ(std::make_pair(std::int64_t{b.lowHz}, std::int64_t{b.highHz}),
                  std::make_pair(l[1], l[2]))
            << "band " << l[0];
    }
}

TEST(ChannelRules, FrequencyRoundTripThroughCountsForEveryBandAndStepSet) {
    for (int band : {0, 2, 3, 4, 5}) {
        const BandLimits lim = BandLimitsHz(band);
        for (int set = 0; set < 3; ++set) {
            for (int offsetSide = 0; offsetSide < 2; ++offsetSide) {
                const CountContext ctx{band, set, offsetSide, 10700000};
                for (std::int64_t f : {lim.lowHz, lim.highHz, (lim.lowHz + lim.highHz) / 2 + 1234,
                                       lim.lowHz + 2500, lim.lowHz + 6250}) {
                    const StepChoice sc = ChooseStep(f, set);
                    for (bool rx : {true, false}) {
                        SCOPED_TRACE(testing::Message() << band << "/" << set << "/" << offsetSide
                                                        << " " << f << (rx ? " rx" : " tx"));
                        const Counts counts = EncodeFrequency(sc.hz, rx, sc.stepCode, ctx);
                        EXPECT_TRUE(counts.word != 0 && counts.low >= 0 && counts.low < 64);
                        EXPECT_EQ(DecodeFrequency(counts, rx, sc.stepCode, ctx), sc.hz);
                    }
                }
            }
        }
    }
}

TEST(ChannelRules, CountWordOffsetsAndNoFrequency) {
    // UHF A in step set 0 and VHF in step set 1 store the count word less an offset.
    const CountContext uhf{2, 0, 0, 0};
    Counts c = EncodeFrequency(440000000, false, 0, uhf);
    EXPECT_EQ(std::make_pair(c.high * 64 + c.low, c.word), std::make_pair(88000, 88000 - 40960));
    EXPECT_EQ(EncodeFrequency(150000000, false, 0, CountContext{0, 1, 0, 0}).word, 30000 - 32768);
    // Receive side: the first IF is taken off (local offset lower) or added (upper).
    c = EncodeFrequency(150000000, true, 0, CountContext{0, 0, 0, 45000000});
    EXPECT_EQ(c.high * 64 + c.low, (150000000 - 45000000) / 5000);
    c = EncodeFrequency(150000000, true, 0, CountContext{0, 0, 1, 45000000});
    EXPECT_EQ(c.high * 64 + c.low, (150000000 + 45000000) / 5000);
    // 0 Hz stores zeros; a count word of 0 reads as the band default.
    c = EncodeFrequency(0, true, 1, uhf);
    EXPECT_EQ(std::make_tuple(c.high, c.low, c.word), std::make_tuple(0, 0, 0));
    EXPECT_EQ(DecodeFrequency(Counts{5, 5, 0}, true, 0, uhf), 440100000);
}

TEST(ChannelRules, ToneTimerBytes) {
    // The documented example: 67.0 Hz -> n = 3439 = 19 x 181.
    ToneTimer t = ToneTimerBytes(670);
    EXPECT_EQ(std::make_pair(t.prescaler, t.divider), std::make_pair(18, 180));
    // Every standard CTCSS tone finds a divisor within 3 counts of its ideal value.
    for (int tenths :
         {670,  719,  744,  770,  797,  825,  854,  885,  915,  948,  974,  1000, 1035,
          1072, 1109, 1148, 1188, 1230, 1273, 1318, 1365, 1413, 1462, 1514, 1567, 1622,
          1679, 1738, 1799, 1862, 1928, 2035, 2107, 2181, 2257, 2336, 2418, 2503, 2541}) {
        t = ToneTimerBytes(tenths);
        const long n = static_cast<long>(1000000.0 / (tenths / 10.0) / 8 / 0.5425 + 0.5);
        EXPECT_LE(std::labs((t.prescaler + 1L) * (t.divider + 1L) - n), 3) << tenths;
        EXPECT_TRUE(t.prescaler >= 0 && t.prescaler <= 254 && t.divider >= 0 && t.divider <= 255)
            << tenths;
    }
    // A tone of 0 by the formula: x = 0, so n = 0; d = 0 and p = 1 divide it
    // (quotient 0 < 256): prescaler p - 1 = 0, divider 0 / 1 - 1 = -1, the byte FF.
    t = ToneTimerBytes(0);
    EXPECT_EQ(t.prescaler, 0x00);
    EXPECT_EQ(t.divider, 0xFF);
    // A tone no divisor fits: bytes stay within 0-255.
    t = ToneTimerBytes(1);
    EXPECT_EQ(std::make_pair(t.prescaler, t.divider), std::make_pair(0, 255));
}

TEST(ChannelRules, TuningByte) {
    const std::int64_t ref = 150000000;
    // {frequency, value at the reference, slope down, result}; slope up is 20 per 10 MHz.
    const std::int64_t cases[][4] = {
        {146500000, 128, 10, 125}, // 3.5 truncated
        {155000000, 128, 10, 138}, // 0.5 x 20
        {100000000, 128, 100, 0},  // not below 0
        {174000000, 250, 10, 255}, // not above 255
        {146500000, 300, 10, 255}, // a value beyond a byte is held to one going down too
    };
    for (const auto& c : cases)
        EXPECT_EQ(TuningByte(c[0], ref, static_cast<int>(c[1]), 20, static_cast<int>(c[2])), c[3])
            << c[0];
}

TEST(ChannelRules, InterpolationWithRounding) {
    std::vector<TuningSample> pts(17);
    for (std::size_t i = 0; i < pts.size(); ++i)
        pts[i] = {100000000 + static_cast<std::int64_t>(i) * 5000000, 0};
    pts[1].value = 10;
    // Exact step; 2.4 -> 3 (a positive result with a positive remainder is raised);
    // below point 0 the first pair extends.
    EXPECT_EQ(std::make_tuple(Interpolate(pts, 101000000), Interpolate(pts, 101200000),
                              Interpolate(pts, 95000000)),
              std::make_tuple(2, 3, -10));
    pts[1].value = -10; // falling values: -2.4 -> -3
    EXPECT_EQ(Interpolate(pts, 101200000), -3);
    // A positive result with a negative remainder is not moved: 5 - 2.4 -> 3.
    pts[0].value = 5;
    pts[1].value = -5;
    EXPECT_EQ(Interpolate(pts, 101200000), 3);
    // Sixteen points are enough to interpolate.
    EXPECT_EQ(Interpolate(std::span(pts).first(16), 101200000), 3);
    // Beyond the last pair (from point 15 on): point 15's value unchanged.
    pts[15].value = 42;
    pts[16].value = 99;
    EXPECT_EQ(Interpolate(pts, 176000000), 42);
    // Two points at one frequency: no pair brackets between them, the later pair is used.
    pts[3] = {pts[2].hz, 7};
    EXPECT_EQ(Interpolate(pts, pts[2].hz), 7);
    // Below point 0 with points 0 and 1 at one frequency: point 0's value.
    pts[1].hz = pts[0].hz;
    EXPECT_EQ(Interpolate(pts, pts[0].hz - 1000000), 5);
}

TEST(ChannelRules, ParseMHz) {
    const std::pair<const char*, std::int64_t> good[] = {{" 29.70000", 29700000},
                                                         {"146.000001", 146000010},  // raised
                                                         {"146.0000019", 146000010}, // cut
                                                         {".5", 500000}};
    for (auto [text, hz] : good)
        EXPECT_EQ(ParseMHz(text), hz) << text;
    const char* const bad[] = {"", ".", "-146", "1.2.3", "123456789", nullptr};
    for (const char* b : bad)
        EXPECT_FALSE(ParseMHz(b)) << (b ? b : "null");
}
