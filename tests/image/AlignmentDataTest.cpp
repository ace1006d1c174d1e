// Adjustment data: value map, both checksum rules, level formats.
#include "HAlignmentData.h"
#include "HMemoryImage.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

namespace {

struct Slot {
    std::size_t index;
    std::size_t at;
    bool wide; // a big-endian 16-bit value
};

struct CopyCase {
    HAlignmentData::HCopy copy;
    std::size_t valueCount;
    std::vector<std::size_t> summed; // big-endian words if `words`, else single bytes
    bool words;
    std::size_t checksumAt;
    std::vector<Slot> slots;
};

std::vector<std::size_t> Range(std::size_t from, std::size_t to, std::size_t step,
                               std::vector<std::size_t> start = {}) {
    for (std::size_t at = from; at < to; at += step)
        start.push_back(at);
    return start;
}

} // namespace

TEST(AlignmentData, ChecksumRulesAndValueMapOfBothCopies) {
    // Working: the 14 words at 6..33 summed at 4; TX power High is value 8,
    // Low-High 9, value 20 a 16-bit count of 100 kHz, 26 the checksum itself,
    // 28-46 the signal-generator levels. Shipping default: single bytes
    // 0x3000-0x3004, 0x300F-0x3011 and 0x3110-0x3123, summed at 0x310E.
    const CopyCase cases[] = {
        {HAlignmentData::HCopy::Working,
         47,
         Range(6, 34, 2),
         true,
         4,
         {{8, 17, false}, {20, 26, true}, {26, 4, true}, {46, 0x319E, false}}},
        {HAlignmentData::HCopy::ShippingDefault,
         48,
         Range(0x3110, 0x3124, 1, {0x3000, 0x3001, 0x3002, 0x3003, 0x3004, 0x300F, 0x3010, 0x3011}),
         false,
         0x310E,
         {{20, 0x3000, true}, {47, 0x313C, false}}},
    };
    std::mt19937 rng(9);
    for (const CopyCase& c : cases) {
        SCOPED_TRACE(c.checksumAt);
        HAlignmentData data(c.copy);
        EXPECT_EQ(data.ValueCount(), c.valueCount);
        HMemoryImage image{};
        for (auto& b : image)
            b = static_cast<std::uint8_t>(rng());
        std::uint32_t sum = 0;
        for (std::size_t s : c.summed)
            sum += c.words ? image[s] * 256u + image[s + 1] : image[s];
        const HMemoryImage before = image;
        EXPECT_EQ(data.ComputeChecksum(image), static_cast<std::uint16_t>(sum));
        // Recomputing writes the two checksum bytes and nothing else.
        data.RecomputeChecksum(image);
        HMemoryImage expected = before;
        expected[c.checksumAt] = static_cast<std::uint8_t>(sum >> 8);
        expected[c.checksumAt + 1] = static_cast<std::uint8_t>(sum);
        EXPECT_EQ(image, expected);
        EXPECT_TRUE(data.VerifyChecksum(image));
        const std::size_t last = c.summed.back() + (c.words ? 1 : 0); // the last byte summed
        image[last] ^= 0x10;
        EXPECT_FALSE(data.VerifyChecksum(image));
        image[last] ^= 0x10;

        // Each slot's value is read from its bytes, and written back there by Store.
        data.Load(image);
        for (const Slot& s : c.slots) {
            EXPECT_EQ(data.GetValue(s.index),
                      s.wide ? image[s.at] * 256 + image[s.at + 1] : image[s.at])
                << s.index;
            data.SetValue(s.index, s.wide ? 0x1234 : 0x5A);
        }
        data.Store(image);
        for (const Slot& s : c.slots) {
            EXPECT_EQ(image[s.at], s.wide ? 0x12 : 0x5A) << s.index;
            EXPECT_TRUE(!s.wide || image[s.at + 1] == 0x34) << s.index;
        }
        EXPECT_EQ(data.GetValue(data.ValueCount()), -1);
    }
    // The working sum wraps at 16 bits: 14 x 0xFFFF.
    HMemoryImage ones{};
    std::fill(ones.begin() + 6, ones.begin() + 34, 0xFF);
    EXPECT_EQ(HAlignmentData().ComputeChecksum(ones), 0xFFF2);
}

TEST(AlignmentData, AnEditKeepsTheChecksumsThatWereSoundAndNoOther) {
    // Rows: which copy is sound before, which covered byte the edit changes
    // (byte 33 for the working copy, 0x3011 for the shipping default).
    using C = HAlignmentData::HCopy;
    const struct {
        bool workingSound, shippingSound;
        std::size_t edited;
    } rows[] = {{true, true, 33},      {true, true, 0x3011}, {false, true, 33},
                {true, false, 0x3011}, {false, false, 33},   {true, true, 0x200}};
    for (const auto& r : rows) {
        SCOPED_TRACE(std::to_string(r.workingSound) + std::to_string(r.shippingSound) + " " +
                     std::to_string(r.edited));
        HMemoryImage image{};
        std::mt19937 rng(unsigned(r.edited));
        for (auto& b : image)
            b = static_cast<std::uint8_t>(rng());
        HAlignmentData(C::Working).RecomputeChecksum(image);
        HAlignmentData(C::ShippingDefault).RecomputeChecksum(image);
        if (!r.workingSound)
            image[4] ^= 0x01;
        if (!r.shippingSound)
            image[0x310E] ^= 0x01;
        const HSoundChecksums sound(image);
        image[r.edited] ^= 0x04;
        const HMemoryImage edited = image;
        sound.Keep(image);
        EXPECT_EQ(HAlignmentData(C::Working).VerifyChecksum(image), r.workingSound);
        EXPECT_EQ(HAlignmentData(C::ShippingDefault).VerifyChecksum(image), r.shippingSound);
        // Only checksum bytes move, and only those of a copy the edit broke.
        for (std::size_t i = 0; i < image.size(); ++i) {
            const bool working = i == 4 || i == 5;
            const bool shipping = i == 0x310E || i == 0x310F;
            const bool broke = r.edited == 33 ? working && r.workingSound
                                              : shipping && r.shippingSound && r.edited != 0x200;
            if (!broke) {
                EXPECT_EQ(image[i], edited[i]) << "byte " << i;
            }
        }
    }
}

TEST(AlignmentData, FormatLevel) {
    HAlignmentData data;
    data.SetValue(28, 0x86); // -6
    data.SetValue(29, 20);
    data.SetValue(30, 26);
    EXPECT_EQ(data.GetLevelUnit(), 0);
    // Unit 5 is none: ignored, the last unit stays.
    const std::tuple<int, std::size_t, const char*> cases[] = {{0, 28, "-6 dBuV (EMF)"},
                                                               {1, 28, "-12 dBuV (PD)"},
                                                               {2, 28, "0.50 uV (EMF)"},
                                                               {3, 30, "10.00 uV (PD)"},
                                                               {4, 28, "-119 dBm"},
                                                               {5, 28, "-119 dBm"},
                                                               {4, 47, ""}};
    for (auto [unit, value, text] : cases) {
        data.SetLevelUnit(unit);
        EXPECT_EQ(data.FormatLevel(value), text) << unit << " " << value;
    }
    EXPECT_EQ(data.GetLevelUnit(), 4);
}
