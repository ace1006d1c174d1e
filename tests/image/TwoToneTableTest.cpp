// The 2-tone tone table against values worked by hand from the radio's
// formulas: Hz = reference x value / 10000 (one decimal), value = limited Hz /
// reference x 10000 (nearest), and the decode window centre
// 1 / int(value x reference / 10000) x 1000000 / (scale / 10000) with the
// half-width bandwidth x centre / 1000.
#include "HDefaultImage.h"
#include "HTwoToneGroups.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

int Word(const HMemoryImage& m, std::size_t at) {
    return m[at] << 8 | m[at + 1];
}

} // namespace

TEST(TwoToneTable, FrequenciesThroughTheReferenceAndTheirLimits) {
    HTwoToneTable t;
    t.SetDefaults();
    EXPECT_EQ(t.Reference(), 2929);
    EXPECT_EQ(t.Bandwidth(), 25);
    EXPECT_EQ(t.WindowScale(), 25);
    EXPECT_EQ(t.Frequency(0), 0.0); // 0xFFFF reads as no frequency

    // {frequency, stored value, what it reads back as}, limited to 288.5-3000 Hz.
    const std::tuple<double, std::int32_t, double> rows[] = {
        {1000.0, 3414, 1000.0},  // 3414.13; 2929 x 3414 / 10000 = 999.96
        {250.0, 985, 288.5},     // below the lowest tone: 288.5 -> 984.98
        {3500.0, 10242, 2999.9}, // 3000 -> 10242.4; 2929 x 10242 / 10000 = 2999.88
        {3000.0, 10242, 2999.9}, // 3000 itself
        {0.0, 0, 0.0},           // no tone, not the lowest tone
        {288.5, 985, 288.5},     // the lowest tone itself
    };
    for (int tone = 0; tone < int(std::size(rows)); ++tone) {
        const auto [hz, stored, back] = rows[tone];
        t.SetStoredFrequency(tone, hz);
        EXPECT_EQ(t.StoredValue(tone), stored) << hz;
        EXPECT_DOUBLE_EQ(t.StoredFrequency(tone), back) << hz;
    }

    // The frequency set holds tenths of a Hz as entered, unlimited.
    t.SetFrequency(6, 433.7);
    EXPECT_DOUBLE_EQ(t.Frequency(6), 433.7);
    t.SetFrequency(7, 250.0);
    EXPECT_DOUBLE_EQ(t.Frequency(7), 250.0);
    EXPECT_EQ(t.ToneText(6), "6:433.7");
    EXPECT_EQ(t.ToneText(7), "7:250.0");
    EXPECT_EQ(t.ToneText(15), "");
    EXPECT_EQ(t.ToneText(8), "8:  0.0");
}

TEST(TwoToneTable, DecodeWindowsFromTheStoredValues) {
    HTwoToneTable t;
    t.SetDefaults();
    // A scale of 25000 keeps the centres within 16 bits.
    t.SetWindowScale(25000);
    t.SetStoredFrequency(0, 1000.0); // 3414: int(999.96) = 999
    t.SetStoredFrequency(1, 2000.0); // 6828: 6828 x 2929 / 10000 = 1999.92 -> 1999
    t.ComputeWindows();
    // c = 1/999 x 10^6 / 2.5 = 400.4004, h = 25 x c / 1000 = 10.01
    EXPECT_EQ(t.WindowLower(0), 390);
    EXPECT_EQ(t.WindowUpper(0), 410);
    // c = 1/1999 x 10^6 / 2.5 = 200.1001, h = 5.0025
    EXPECT_EQ(t.WindowLower(1), 195);
    EXPECT_EQ(t.WindowUpper(1), 205);
    // No value, no window.
    EXPECT_EQ(t.WindowLower(2), 0xFFFF);
    EXPECT_EQ(t.WindowUpper(2), 0xFFFF);

    // With the default scale of 25 the centre of 1000 Hz is 400400: no 16-bit
    // window holds it. The table keeps the window it holds (after an upload,
    // the radio's own), neither "none" nor the centre's low bits.
    EXPECT_TRUE(t.UnfitWindows().empty());
    t.SetWindowScale(25);
    t.ComputeWindows();
    EXPECT_EQ(t.WindowLower(0), 390);
    EXPECT_EQ(t.WindowUpper(0), 410);
    EXPECT_EQ(t.WindowLower(1), 195);
    EXPECT_EQ(t.UnfitWindows(), (std::vector<int>{0, 1}));
    EXPECT_EQ(t.WindowLower(2), 0xFFFF);

    // A zero scale divides nothing: no window.
    t.SetWindowScale(0);
    t.ComputeWindows();
    EXPECT_EQ(t.WindowLower(1), 0xFFFF);
}

TEST(TwoToneTable, StoreCompilesBothSetsAndTheWindowsIntoTheImage) {
    HMemoryImage image = BuildDefaultImage();
    HTwoToneTable t;
    t.Load(image);
    t.SetWindowScale(25000);
    for (int tone = 0; tone < 16; ++tone)
        t.SetFrequency(tone, 0.0);
    t.SetFrequency(0, 1000.0);
    t.SetFrequency(14, 250.0);
    t.Store(image);

    EXPECT_EQ(Word(image, 0x235F), 25000);
    // frequency set: tenths of a Hz, none as 0xFFFF
    EXPECT_EQ(Word(image, 0x2320), 10000);
    EXPECT_EQ(Word(image, 0x2320 + 2 * 14), 2500);
    EXPECT_EQ(Word(image, 0x2320 + 2 * 1), 0xFFFF);
    // stored-value set from the frequency set, limited
    EXPECT_EQ(Word(image, 0x2300), 3414);
    EXPECT_EQ(Word(image, 0x2300 + 2 * 14), 985);
    EXPECT_EQ(Word(image, 0x2300 + 2 * 1), 0xFFFF);
    // windows of tone 0, none for tone 1
    EXPECT_EQ(Word(image, 0x2680), 390);
    EXPECT_EQ(Word(image, 0x2682), 410);
    EXPECT_EQ(Word(image, 0x2684), 0xFFFF);
    EXPECT_EQ(Word(image, 0x2686), 0xFFFF);

    HTwoToneTable back;
    back.Load(image);
    EXPECT_DOUBLE_EQ(back.Frequency(14), 250.0);
    EXPECT_DOUBLE_EQ(back.StoredFrequency(14), 288.5);

    // A window the table cannot recompute (scale 25 puts 1000 Hz at 400400)
    // goes back as the image holds it, even a lower limit of 0.
    image[0x2680] = image[0x2681] = 0;
    back.Load(image);
    back.SetWindowScale(25);
    back.Store(image);
    EXPECT_EQ(Word(image, 0x2680), 0);
}

// Tone codes run 0 to F, F naming no tone; a frequency the 16-bit tenths
// cannot hold is none.
TEST(TwoToneTable, ToneCodesAndFrequenciesStopAtTheirEdges) {
    using HTwoToneTables::kTones;
    HTwoToneTable t;
    t.SetDefaults();
    for (int tone = 0; tone < int(kTones); ++tone)
        t.SetFrequency(tone, 1000.0 + tone);
    t.SetFrequency(int(kTones), 2000.0);
    EXPECT_DOUBLE_EQ(t.Frequency(int(kTones)), 0.0);
    EXPECT_DOUBLE_EQ(t.Frequency(int(kTones) - 1), 1015.0);
    EXPECT_EQ(t.ToneText(0), "0:1000.0");
    EXPECT_EQ(t.ToneText(14), "E:1014.0");
    EXPECT_EQ(t.ToneText(15), "");
    for (const double none : {-5.0, 7000.0}) {
        t.SetFrequency(1, none);
        EXPECT_DOUBLE_EQ(t.Frequency(1), 0.0) << none;
    }
}
