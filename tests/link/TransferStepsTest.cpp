#include "HHardwareGroup.h"
#include "HTransferSteps.h"

#include <gtest/gtest.h>

namespace {

// Cleaning sets exactly the listed bytes; a 2-tone download clears the top bit
// of 0x1C80 after the signalling tables were compiled into the image.
TEST(TransferSteps, PrepareForDownloadCleansAndCompiles) {
    for (const HSignallingMode mode : {HSignallingMode::TwoTone, HSignallingMode::FiveTone}) {
        SCOPED_TRACE(int(mode));
        HMemoryImage image, expected;
        image.fill(0x5C);
        expected.fill(0x5C);
        const std::tuple<std::size_t, std::size_t, std::uint8_t> cleaned[] = {
            {0x3A, 0x51, 0x00}, {0x5A, 0x71, 0xFF}, {0x7A, 0x91, 0xFF}, {0x95, 0x97, 0xFF},
            {0x99, 0x9B, 0xFF}, {0x9D, 0x9F, 0xFF}, {0xB0, 0xDF, 0xFF}};
        for (const auto& [first, last, value] : cleaned)
            std::fill(expected.begin() + first, expected.begin() + last + 1, value);
        expected[0x1C80] = mode == HSignallingMode::TwoTone ? 0x43 : 0xC3;
        image[0x1C80] = 0x43;
        int calls = 0;
        HTransferSteps::PrepareForDownload(image, mode, [&](HMemoryImage& img, HSignallingMode m) {
            calls += m == mode;
            img[0x1C80] |= 0x80; // a compiler writing the byte
        });
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(image, expected);
    }
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

    image[0x2A4] = 0x10; // and the 2-tone type is reported
    EXPECT_EQ(HTransferSteps::CorrectAfterUpload(image), HSignallingMode::TwoTone);
}

} // namespace

namespace {

// Band code 6 has no limits of its own: the radio's stay.
TEST(TransferSteps, BandLimitsStayWhenTheBandHasNone) {
    HMemoryImage image{};
    HHardwareGroup hw;
    hw.Load(image);
    hw.SetValue(HHardwareGroup::kRowBand, 6);
    hw.SetValue(HHardwareGroup::kRowBandLow, 1000);
    hw.SetValue(HHardwareGroup::kRowBandHigh, 2000);
    hw.Save(image);
    HTransferSteps::CorrectAfterUpload(image);
    hw.Load(image);
    EXPECT_EQ(hw.GetValue(HHardwareGroup::kRowBandLow), 1000);
    EXPECT_EQ(hw.GetValue(HHardwareGroup::kRowBandHigh), 2000);
}

} // namespace
