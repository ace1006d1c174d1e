#include "HCommonGroups.h"
#include "HHardwareGroup.h"
#include "HTransferSteps.h"

#include <gtest/gtest.h>

namespace {

TEST(TransferSteps, CleaningSetsExactlyTheListedBytes) {
    HMemoryImage image;
    image.fill(0x5C);
    HTransferSteps::CleanImage(image);
    auto in = [](std::size_t i, std::size_t a, std::size_t b) { return i >= a && i <= b; };
    for (std::size_t i = 0; i < image.size(); ++i) {
        std::uint8_t expected = 0x5C;
        if (in(i, 0x3A, 0x51))
            expected = 0x00;
        else if (in(i, 0x5A, 0x71) || in(i, 0x7A, 0x91) || in(i, 0x95, 0x97) || in(i, 0x99, 0x9B) ||
                 in(i, 0x9D, 0x9F) || in(i, 0xB0, 0xDF))
            expected = 0xFF;
        ASSERT_EQ(image[i], expected) << "byte 0x" << std::hex << i;
    }
}

TEST(TransferSteps, PrepareForDownloadBySignallingMode) {
    HMemoryImage image{};
    image[0x1C80] = 0xC3;
    HSignallingMode seen = HSignallingMode::FiveTone;
    int calls = 0;
    HTransferSteps::PrepareForDownload(image, HSignallingMode::TwoTone,
                                       [&](HMemoryImage& img, HSignallingMode mode) {
                                           ++calls;
                                           seen = mode;
                                           img[0x1C80] |= 0x80; // a compiler writing the byte
                                       });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen, HSignallingMode::TwoTone);
    EXPECT_EQ(image[0x1C80], 0x43); // 2-tone: the top bit goes to the radio cleared
    EXPECT_EQ(image[0x3A], 0x00);
    EXPECT_EQ(image[0xB0], 0xFF);

    HMemoryImage five{};
    five[0x1C80] = 0xC3;
    HTransferSteps::PrepareForDownload(five, HSignallingMode::FiveTone);
    EXPECT_EQ(five[0x1C80], 0xC3);
    EXPECT_EQ(five[0x5A], 0xFF);
}

TEST(TransferSteps, CorrectionsAfterUpload) {
    const auto hardware = [](HMemoryImage& m,
                             std::initializer_list<std::pair<std::size_t, int>> set) {
        HHardwareGroup hw;
        hw.Load(m);
        for (auto [row, value] : set)
            hw.SetValue(row, value);
        hw.Save(m);
        return std::pair(hw.GetValue(HHardwareGroup::kRowBandLow),
                         hw.GetValue(HHardwareGroup::kRowBandHigh));
    };
    HMemoryImage image{};
    hardware(image, {{HHardwareGroup::kRowBand, 2}});
    image[670] = 0xFF;   // Miscellaneous row 4 (bit 0) set, neighbours too
    image[12680] = 0x01; // Miscellaneous row 16
    image[12683] = 0x40;
    image[0x2A4] = 0x00; // signalling type 5-tone
    EXPECT_EQ(HTransferSteps::CorrectAfterUpload(image), HSignallingMode::FiveTone);
    EXPECT_EQ(hardware(image, {}), std::pair(380000000, 470000000));
    EXPECT_EQ(image[670], 0xFE);
    EXPECT_EQ(image[12680] | image[12681] | image[12682] | image[12683], 0);

    // Band codes without limits keep theirs; the 2-tone type is reported.
    HMemoryImage odd{};
    hardware(odd, {{HHardwareGroup::kRowBand, 6},
                   {HHardwareGroup::kRowBandLow, 1000},
                   {HHardwareGroup::kRowBandHigh, 2000}});
    odd[0x2A4] = 0x10;
    EXPECT_EQ(HTransferSteps::CorrectAfterUpload(odd), HSignallingMode::TwoTone);
    EXPECT_EQ(hardware(odd, {}), std::pair(1000, 2000));

    std::int32_t lo = 0, hi = 0;
    EXPECT_TRUE(HTransferSteps::BandLimits(4, lo, hi));
    EXPECT_EQ(std::pair(lo, hi), std::pair(29700000, 40000000));
    EXPECT_TRUE(HTransferSteps::BandLimits(1, lo, hi));
    EXPECT_EQ(hi, 0);
    EXPECT_FALSE(HTransferSteps::BandLimits(7, lo, hi));
}

} // namespace
