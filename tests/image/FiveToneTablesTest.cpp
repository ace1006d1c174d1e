// The 5-tone groups and tone table against values worked by hand from the
// record layouts and the tone arithmetic.
#include "HFiveToneGroups.h"
#include "HMemoryImage.h"
#include "ImageTestUtil.h"

#include <gtest/gtest.h>

namespace T = HFiveToneTables;

namespace {
std::uint32_t Word(const HMemoryImage& m, std::size_t at) {
    return std::uint32_t(m[at]) << 8 | m[at + 1];
}
} // namespace

TEST(FiveToneTables, CommonDefaultsAsTheRadioHoldsThem) {
    HMemoryImage image{};
    HFiveToneCommon1Group c1;
    c1.SetDefaults();
    c1.Save(image);
    EXPECT_EQ(image[0x1C84], 0xAE); // group tone A, repeat tone E
    EXPECT_EQ(image[0x1C85], 0xF0); // last gap tone F, no flags of Common2 yet
    HFiveToneCommon2Group c2;
    c2.SetDefaults();
    c2.Save(image);
    EXPECT_EQ(image[0x1C85], 0xF4); // auto reset beep on
    EXPECT_EQ(image[0x1C8D], 20);
    EXPECT_EQ(image[0x1C91], 5);
    EXPECT_EQ(image[0x1C92], 0x01); // transpond delay 0, clear to transpond 1 s
    EXPECT_EQ(image[0x1C93], 6);
    EXPECT_EQ(image[0x1C94], 0x01);
    EXPECT_EQ(image[0x1C95], 5);
    EXPECT_EQ(image[0x1C96], 0x10); // ack decode time 1 s, no retries
    EXPECT_EQ(image[0x1C98], 3);
    EXPECT_EQ(image[0x1C99], 11);
    EXPECT_EQ(image[0x00E1], 0);
}

TEST(FiveToneTables, CallCodesTakeWholeBytes) {
    HMemoryImage image{};
    image[0x1C86] = 0xFF;
    HFiveToneCommon1Group c1;
    c1.Load(image);
    EXPECT_EQ(c1.GetValue(3), 255);
    c1.SetValue(4, 19); // Call 2 = "ENC No.20"
    c1.SetValue(3, 31); // Call 1 = "ENC No.32": needs five bits
    c1.Save(image);
    EXPECT_EQ(image[0x1C87], 19);
    EXPECT_EQ(image[0x1C86], 31);
}

TEST(FiveToneTables, CommonFlagsSitOnTheirBits) {
    HMemoryImage image{};
    HFiveToneCommon1Group c1;
    c1.Load(image);
    c1.SetValue(9, 1);  // tag display
    c1.SetValue(10, 1); // ANI display
    c1.SetValue(11, 1); // display digit 1
    c1.SetValue(26, 1); // compare digit 8
    c1.Save(image);
    EXPECT_EQ(image[0x1C80], 0x80);
    EXPECT_EQ(image[0x1C82], 0x80);
    EXPECT_EQ(image[0x1C81], 0x01);
    EXPECT_EQ(image[0x1C83], 0x80);
    HFiveToneCommon2Group c2;
    c2.Load(image);
    c2.SetValue(21, 1); // 5T_ACC backup
    c2.SetValue(25, 1); // port 4
    c2.Save(image);
    EXPECT_EQ(image[0x00E1], 0x18);
}

TEST(FiveToneTables, ToneTableFrequenciesPeriodsAndSecondValues) {
    HMemoryImage image{};
    HFiveToneTable table;
    table.SetDefaults();
    EXPECT_EQ(table.Reference(), 2929);
    EXPECT_EQ(table.Bandwidth(), 25);
    EXPECT_EQ(table.WindowScale(), 25);
    EXPECT_EQ(table.ToneValue(0, 0), 0xFFFF);
    EXPECT_DOUBLE_EQ(table.Frequency(0, 0), 0.0);
    EXPECT_EQ(table.Period(11), 70);

    table.SetFrequency(0, 1, 1060.0);  // 1060 / 2929 x 10000 = 3618.98
    table.SetFrequency(11, 15, 250.0); // limited to 288.5: 984.98
    table.SetSecond(3, 23);
    table.SetPeriod(2, 100);
    table.Store(image);
    EXPECT_EQ(Word(image, 0x2180 + 2), 3619u);
    EXPECT_EQ(Word(image, 0x2180 + 32 * 11 + 30), 985u);
    EXPECT_EQ(Word(image, 0x2180), 0xFFFFu); // tone 0 of set 0: none
    EXPECT_EQ(image[0x2353], 20);            // 23 rounded down to a multiple of 5
    EXPECT_EQ(image[0x2342], 100);
    EXPECT_EQ(Word(image, 0x235D), 2929u);
    EXPECT_EQ(image[0x2361], 25);
    EXPECT_EQ(Word(image, 0x235F), 25u);
    EXPECT_DOUBLE_EQ(table.Frequency(0, 1), 1060.0);
    EXPECT_DOUBLE_EQ(table.Frequency(11, 15), 288.5);

    table.SetFrequency(0, 1, 0.0);
    EXPECT_EQ(table.ToneValue(0, 1), 0xFFFF);
    // A set has tones 0 to 15: a sixteenth is none, and not the next set's first.
    const std::int32_t next = table.ToneValue(1, 0);
    table.SetFrequency(0, 16, 1060.0);
    EXPECT_EQ(table.ToneValue(1, 0), next);
    EXPECT_DOUBLE_EQ(table.Frequency(0, 16), 0.0);
}

TEST(FiveToneTables, StoreWritesTheDecodeWindows) {
    HMemoryImage image{};
    HFiveToneTable table;
    table.SetDefaults();
    // Window scale 10000 keeps the windows of mid-band tones inside 16 bits:
    // int(3619 x 2929 / 10000) = 1060, c = 943.396, h = 23.585.
    table.SetValue(table.IndexOf(0, 0, T::kRowWindowScale), 10000);
    table.SetFrequency(2, 4, 1060.0);
    table.Store(image);
    const std::size_t window = 0x2380 + 64 * 2 + 4 * 4;
    EXPECT_EQ(Word(image, window), 920u);
    EXPECT_EQ(Word(image, window + 2), 967u);
    EXPECT_EQ(std::make_pair(table.WindowLower(2, 4), table.WindowUpper(2, 4)),
              std::make_pair(920, 967));
    EXPECT_EQ(Word(image, 0x2380), 0xFFFFu); // no tone, no window

    EXPECT_TRUE(table.UnfitWindows().empty());

    // At the default scale the limits need 19 bits: the window the table
    // holds stays (after an upload, the radio's own), whole.
    table.SetValue(table.IndexOf(0, 0, T::kRowWindowScale), 25);
    table.Store(image);
    EXPECT_EQ(Word(image, window), 920u);
    EXPECT_EQ(Word(image, window + 2), 967u);
    EXPECT_EQ(Word(image, 0x2380), 0xFFFFu);
    using Pairs = std::vector<std::pair<std::size_t, std::size_t>>;
    EXPECT_EQ(table.UnfitWindows(), (Pairs{{2, 4}}));
}

TEST(FiveToneTables, DigitStrings) {
    EXPECT_EQ(HToneDigits::ToText(std::int32_t(0x1234FFFFu)), "1234");
    EXPECT_EQ(HToneDigits::ToText(-1), "");
    EXPECT_EQ(HToneDigits::ToText(std::int32_t(0x0E9A5B1Cu)), "0E9A5B1C");
    EXPECT_EQ(HToneDigits::FromText("12ab"), std::int32_t(0x12ABFFFFu));
    EXPECT_EQ(HToneDigits::FromText("e"), std::int32_t(0xEFFFFFFFu));
    EXPECT_EQ(HToneDigits::FromText(""), -1);
    EXPECT_EQ(HToneDigits::FromText("0E9A5B1C"), std::int32_t(0x0E9A5B1Cu));
    EXPECT_FALSE(HToneDigits::FromText("123456789").has_value());
    EXPECT_FALSE(HToneDigits::FromText("12F").has_value());
    EXPECT_FALSE(HToneDigits::FromText("1*").has_value());
    EXPECT_FALSE(HToneDigits::FromText("1 2").has_value());
}

TEST(FiveToneTables, DecodeAndEncodeNumbersAndTagsInTheirRecords) {
    HMemoryImage image{};
    HFiveToneDecodeGroup decode;
    decode.SetDefaults();
    decode.SetField(2, T::kDecNumber, *HToneDigits::FromText("1A3"));
    decode.SetText(2, T::kDecTag, "AB1");
    decode.Save(image);
    const std::size_t rec = 0x1F7D + 2 * 23;
    EXPECT_EQ(image[rec + 7], 0x1A);
    EXPECT_EQ(image[rec + 8], 0x3F);
    EXPECT_EQ(image[rec + 9], 0xFF);
    EXPECT_EQ(image[rec + 10], 0xFF);
    EXPECT_EQ(image[rec + 11], 'A');
    EXPECT_EQ(image[rec + 13], '1');
    EXPECT_EQ(image[rec + 14], 0); // padded as the radio may hold it
    EXPECT_EQ(image[rec + 18], 0);

    HFiveToneEncodeGroup encode;
    encode.SetDefaults();
    encode.SetField(31, T::kEncNumber, *HToneDigits::FromText("98765432"));
    encode.SetField(31, T::kEncInputDigit1 + 7, 1);
    encode.Save(image);
    const std::size_t last = 0x1D3D + 31 * 18;
    EXPECT_EQ(image[last + 2], 0x98);
    EXPECT_EQ(image[last + 5], 0x32);
    EXPECT_EQ(image[last + 14], 0x80);
    EXPECT_EQ(last + 18, 0x1F7Du); // the last encode record ends where decode starts
}

TEST(FiveToneTables, TagsAreCarriedHoweverTheRadioPadsThem) {
    HMemoryImage image{};
    const std::size_t nulPadded = 0x1D3D + 6;    // encode 1: "AB" and NULs
    const std::size_t blankPadded = 0x1F7D + 11; // decode 1: "CD" and blanks
    image[nulPadded] = 'A';
    image[nulPadded + 1] = 'B';
    for (std::size_t i = 0; i < 8; ++i)
        image[blankPadded + i] = i < 2 ? std::uint8_t('C' + i) : std::uint8_t(' ');
    const HMemoryImage before = image;
    HFiveToneEncodeGroup encode;
    encode.Load(image);
    encode.Save(image);
    HFiveToneDecodeGroup decode;
    decode.Load(image);
    decode.Save(image);
    EXPECT_EQ(Differences(before, image), std::vector<std::size_t>{});
}
