// Adjustment data: value map, both checksum rules, level formats.
#include "HAlignmentData.h"
#include "HMemoryImage.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

namespace {

HMemoryImage RandomImage(unsigned seed) {
    std::mt19937 rng(seed);
    HMemoryImage image{};
    for (auto& b : image)
        b = static_cast<std::uint8_t>(rng() & 0xFF);
    return image;
}

struct Slot {
    std::size_t index;
    std::size_t at;
    bool wide; // a big-endian 16-bit value
};

// Checks the checksum rule of one copy against a sum computed here: `words`
// sums big-endian words from the offsets, else single bytes; the sum is
// stored big-endian at `at`.
void CheckChecksum(HAlignmentData::HCopy copy, const std::vector<std::size_t>& summed, bool words,
                   std::size_t at) {
    HAlignmentData data(copy);
    HMemoryImage image = RandomImage(static_cast<unsigned>(at));
    std::uint32_t sum = 0;
    for (std::size_t s : summed)
        sum += words ? image[s] * 256u + image[s + 1] : image[s];
    const HMemoryImage before = image;
    EXPECT_EQ(data.ComputeChecksum(image), static_cast<std::uint16_t>(sum));
    EXPECT_EQ(data.VerifyChecksum(image), image[at] * 256u + image[at + 1] == (sum & 0xFFFF));
    // Recomputing writes the two checksum bytes and nothing else.
    data.RecomputeChecksum(image);
    HMemoryImage expected = before;
    expected[at] = static_cast<std::uint8_t>(sum >> 8);
    expected[at + 1] = static_cast<std::uint8_t>(sum);
    EXPECT_EQ(image, expected);
    EXPECT_TRUE(data.VerifyChecksum(image));
    image[summed.back() + (words ? 1 : 0)] ^= 0x10; // the last byte of the sum
    EXPECT_FALSE(data.VerifyChecksum(image));
    image[summed.back() + (words ? 1 : 0)] ^= 0x10;
    image[at + 1] ^= 0x01;
    EXPECT_FALSE(data.VerifyChecksum(image));
}

// Each slot's value is read from its bytes, and written back there by Store.
void CheckValueMap(HAlignmentData::HCopy copy, const std::vector<Slot>& slots) {
    HAlignmentData data(copy);
    HMemoryImage image = RandomImage(9);
    data.Load(image);
    for (const Slot& s : slots) {
        SCOPED_TRACE(s.index);
        EXPECT_EQ(data.GetValue(s.index),
                  s.wide ? image[s.at] * 256 + image[s.at + 1] : image[s.at]);
        data.SetValue(s.index, s.wide ? 0x1234 : 0x5A);
    }
    data.Store(image);
    for (const Slot& s : slots) {
        SCOPED_TRACE(s.index);
        EXPECT_EQ(image[s.at], s.wide ? 0x12 : 0x5A);
        if (s.wide)
            EXPECT_EQ(image[s.at + 1], 0x34);
    }
    EXPECT_EQ(data.GetValue(data.ValueCount()), -1);
}

} // namespace

TEST(AlignmentData, WorkingCopy) {
    HAlignmentData data;
    EXPECT_EQ(data.ValueCount(), 47u);
    // Sum of the 14 big-endian words at 6..33, modulo 65536, stored at 4.
    std::vector<std::size_t> words;
    for (std::size_t at = 6; at < 34; at += 2)
        words.push_back(at);
    CheckChecksum(HAlignmentData::HCopy::Working, words, true, 4);
    // The sum wraps at 16 bits: 14 x 0xFFFF.
    HMemoryImage ones{};
    std::fill(ones.begin() + 6, ones.begin() + 34, 0xFF);
    EXPECT_EQ(data.ComputeChecksum(ones), 0xFFF2);

    // TX power High is value 8, Low-High 9, value 20 a 16-bit count of 100 kHz,
    // 26 the checksum itself, 28-46 the signal-generator levels.
    const std::vector<Slot> working = {
        {8, 17, false},      {9, 14, false},      {16, 22, false},
        {20, 26, true},      {26, 4, true},       {27, 33, false},
        {28, 0x318C, false}, {29, 0x3194, false}, {46, 0x319E, false}};
    CheckValueMap(HAlignmentData::HCopy::Working, working);
}

TEST(AlignmentData, ShippingDefaultCopy) {
    EXPECT_EQ(HAlignmentData(HAlignmentData::HCopy::ShippingDefault).ValueCount(), 48u);
    // Single bytes 0x3000-0x3004, 0x300F-0x3011 and 0x3110-0x3123, stored at 0x310E.
    std::vector<std::size_t> bytes = {0x3000, 0x3001, 0x3002, 0x3003,
                                      0x3004, 0x300F, 0x3010, 0x3011};
    for (std::size_t at = 0x3110; at <= 0x3123; ++at)
        bytes.push_back(at);
    CheckChecksum(HAlignmentData::HCopy::ShippingDefault, bytes, false, 0x310E);
    const std::vector<Slot> shipping = {
        {8, 0x311B, false}, {9, 0x3118, false},  {20, 0x3000, true}, {27, 0x3011, false},
        {28, 0x3124, true}, {31, 0x3128, false}, {44, 0x3138, true}, {47, 0x313C, false}};
    CheckValueMap(HAlignmentData::HCopy::ShippingDefault, shipping);
}

TEST(AlignmentData, FormatLevel) {
    HAlignmentData data;
    data.SetValue(28, 0x86); // -6
    data.SetValue(29, 20);
    data.SetValue(30, 26);
    EXPECT_EQ(data.GetLevelUnit(), 0);
    // Unit 5 is none: ignored, the last unit stays.
    const std::tuple<int, std::size_t, const char*> cases[] = {
        {0, 28, "-6 dBuV (EMF)"},  {1, 28, "-12 dBuV (PD)"},
        {2, 29, "10.00 uV (EMF)"}, {2, 28, "0.50 uV (EMF)"},
        {3, 30, "10.00 uV (PD)"},  {4, 28, "-119 dBm"},
        {5, 28, "-119 dBm"},       {4, 47, ""}};
    for (auto [unit, value, text] : cases) {
        data.SetLevelUnit(unit);
        EXPECT_EQ(data.FormatLevel(value), text) << unit << " " << value;
    }
    EXPECT_EQ(data.GetLevelUnit(), 4);
}
