// Adjustment data: value map, both checksum rules, level formats.
#include "HAlignmentData.h"
#include "HMemoryImage.h"

#include <gtest/gtest.h>

#include <random>

namespace {
HMemoryImage RandomImage(unsigned seed) {
    std::mt19937 rng(seed);
    HMemoryImage image{};
    for (auto& b : image)
        b = static_cast<std::uint8_t>(rng() & 0xFF);
    return image;
}
} // namespace

TEST(AlignmentData, WorkingCopyChecksum) {
    HMemoryImage image = RandomImage(1);
    HAlignmentData data;
    EXPECT_EQ(data.ValueCount(), 47u);
    // Sum of the 14 big-endian words at 6..33, modulo 65536.
    std::uint32_t sum = 0;
    for (std::size_t at = 6; at < 34; at += 2)
        sum += image[at] * 256u + image[at + 1];
    const auto expected = static_cast<std::uint16_t>(sum);
    EXPECT_EQ(data.ComputeChecksum(image), expected);
    image[4] = static_cast<std::uint8_t>(expected >> 8);
    image[5] = static_cast<std::uint8_t>(expected & 0xFF);
    EXPECT_TRUE(data.VerifyChecksum(image));
    image[5] ^= 0x01;
    EXPECT_FALSE(data.VerifyChecksum(image));
    image[5] ^= 0x01;
    image[33] ^= 0x10; // the last byte of the sum
    EXPECT_FALSE(data.VerifyChecksum(image));
    image[34] ^= 0x10; // outside the sum
    image[33] ^= 0x10;
    EXPECT_TRUE(data.VerifyChecksum(image));

    // The sum wraps at 16 bits.
    for (std::size_t at = 6; at < 34; ++at)
        image[at] = 0xFF;
    EXPECT_EQ(data.ComputeChecksum(image), 0xFFF2); // 14 x 0xFFFF mod 65536

    // Recomputing changes only offsets 4 and 5.
    HMemoryImage fresh = RandomImage(2);
    const HMemoryImage before = fresh;
    data.RecomputeChecksum(fresh);
    EXPECT_TRUE(data.VerifyChecksum(fresh));
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        if (i != 4 && i != 5) {
            ASSERT_EQ(fresh[i], before[i]) << i;
        }
    }
    EXPECT_EQ(data.GetValue(26), fresh[4] * 256 + fresh[5]);
}

TEST(AlignmentData, WorkingCopyValueMap) {
    HMemoryImage image{};
    image[17] = 0x11; // TX power High is value 8
    image[14] = 0x22; // Low-High is value 9
    image[26] = 0x05;
    image[27] = 0xDC; // value 20, 16 bits: 1500 x 100 kHz
    image[33] = 0x33;
    image[0x318C] = 0x86;
    image[0x319E] = 0x44;
    HAlignmentData data;
    data.Load(image);
    EXPECT_EQ(data.GetValue(8), 0x11);
    EXPECT_EQ(data.GetValue(9), 0x22);
    EXPECT_EQ(data.GetValue(20), 1500);
    EXPECT_EQ(data.GetValue(27), 0x33);
    EXPECT_EQ(data.GetValue(28), 0x86);
    EXPECT_EQ(data.GetValue(46), 0x44);
    EXPECT_EQ(data.GetValue(47), -1);

    data.SetValue(16, 200);
    data.SetValue(29, 0x81); // RF level for tight NSQ, narrow
    data.SetValue(47, 1);    // ignored
    data.Store(image);
    EXPECT_EQ(image[22], 200);
    EXPECT_EQ(image[0x3194], 0x81);
}

TEST(AlignmentData, ShippingDefaultCopy) {
    HAlignmentData data(HAlignmentData::HCopy::ShippingDefault);
    EXPECT_EQ(data.ValueCount(), 48u);
    HMemoryImage image = RandomImage(3);
    // Single bytes 0x3000-0x3004, 0x300F-0x3011 and 0x3110-0x3123.
    std::uint32_t sum = 0;
    for (std::size_t at = 0x3000; at <= 0x3004; ++at)
        sum += image[at];
    for (std::size_t at = 0x300F; at <= 0x3011; ++at)
        sum += image[at];
    for (std::size_t at = 0x3110; at <= 0x3123; ++at)
        sum += image[at];
    EXPECT_EQ(data.ComputeChecksum(image), static_cast<std::uint16_t>(sum));
    EXPECT_EQ(data.VerifyChecksum(image),
              image[0x310E] * 256u + image[0x310F] == static_cast<std::uint16_t>(sum));

    const HMemoryImage before = image;
    data.RecomputeChecksum(image);
    EXPECT_TRUE(data.VerifyChecksum(image));
    for (std::size_t i = 0; i < image.size(); ++i) {
        if (i != 0x310E && i != 0x310F) {
            ASSERT_EQ(image[i], before[i]) << i;
        }
    }
    EXPECT_EQ(image[0x310E] * 256 + image[0x310F], static_cast<int>(sum & 0xFFFF));

    // Value map: 8 at 0x311B, 9 at 0x3118, 20 (16 bits) at 0x3000, 27 at
    // 0x3011, 28 (16 bits) at 0x3124, 31 at 0x3128, 44 at 0x3138, 47 at 0x313C.
    image[0x311B] = 8;
    image[0x3118] = 9;
    image[0x3000] = 0x12;
    image[0x3001] = 0x34;
    image[0x3011] = 27;
    image[0x3124] = 0xAB;
    image[0x3125] = 0xCD;
    image[0x3128] = 31;
    image[0x3138] = 0x01;
    image[0x3139] = 0x02;
    image[0x313C] = 47;
    data.Load(image);
    EXPECT_EQ(data.GetValue(8), 8);
    EXPECT_EQ(data.GetValue(9), 9);
    EXPECT_EQ(data.GetValue(20), 0x1234);
    EXPECT_EQ(data.GetValue(27), 27);
    EXPECT_EQ(data.GetValue(28), 0xABCD);
    EXPECT_EQ(data.GetValue(31), 31);
    EXPECT_EQ(data.GetValue(44), 0x0102);
    EXPECT_EQ(data.GetValue(47), 47);
}

TEST(AlignmentData, FormatLevel) {
    HAlignmentData data;
    data.SetValue(28, 0x86); // -6
    data.SetValue(29, 20);
    data.SetValue(30, 26);
    EXPECT_EQ(data.GetLevelUnit(), 0);
    EXPECT_EQ(data.FormatLevel(28), "-6 dBuV (EMF)");
    data.SetLevelUnit(1);
    EXPECT_EQ(data.FormatLevel(28), "-12 dBuV (PD)");
    data.SetLevelUnit(2);
    EXPECT_EQ(data.FormatLevel(29), "10.00 uV (EMF)");
    EXPECT_EQ(data.FormatLevel(28), "0.50 uV (EMF)");
    data.SetLevelUnit(3);
    EXPECT_EQ(data.FormatLevel(30), "10.00 uV (PD)");
    data.SetLevelUnit(4);
    EXPECT_EQ(data.FormatLevel(28), "-119 dBm");
    data.SetLevelUnit(5); // not a unit: ignored
    EXPECT_EQ(data.GetLevelUnit(), 4);
    EXPECT_EQ(data.FormatLevel(47), "");
}
