#include "HAlignmentData.h"
#include "HChannels.h"
#include "HCommonGroups.h"
#include "HDefaultImage.h"
#include "HHardwareGroup.h"

#include <gtest/gtest.h>

using namespace HChannelTables;

namespace {

bool ChecksumsOk(const HMemoryImage& img) {
    return HAlignmentData(HAlignmentData::HCopy::Working).VerifyChecksum(img) &&
           HAlignmentData(HAlignmentData::HCopy::ShippingDefault).VerifyChecksum(img);
}

} // namespace

TEST(DefaultImage, IsAVhfMobileLcdSetWithValidChecksums) {
    const HMemoryImage img = BuildDefaultImage();
    EXPECT_EQ(img, BuildDefaultImage()); // the same every time

    // Model, capacity, band default and checksums: see ImagesForModels.
    HChannels ch;
    ch.Load(img);
    for (int c = 0; c < 128; ++c)
        ASSERT_TRUE(ch.IsChannelEnabled(c)) << c;
    EXPECT_EQ(std::make_tuple(ch.GetTag(0), ch.GetTag(127), ch.GetGroupTag(7),
                              ch.GetField(0, kFieldTonePrescaler),
                              ch.Signalling().GetValue(HChannelSignalling::kSignallingType)),
              std::make_tuple("-ORVANE-", "CHAN-128", "GROUP008", 0xFF, 1));

    // Other groups' defaults are in place.
    HPowerSavingGroup ps;
    ps.Load(img);
    EXPECT_EQ(ps.GetText(12), "SELFTEST");
    EXPECT_EQ(std::make_pair(img[650], img[691]),
              std::make_pair(std::uint8_t{53}, std::uint8_t{255}))
        << "Key Function row 6, DSUB-15 switch group";
}

TEST(DefaultImage, ImagesForModels) {
    // The built-in model and "no band" both give the built-in image.
    EXPECT_EQ(MakeImageForModel(kBandVhf, kProductMobile, 1), BuildDefaultImage());
    EXPECT_EQ(MakeImageForModel(kBandNone, kProductHandheld, 0), BuildDefaultImage());

    for (int band : {0, 2, 3, 4, 5}) {
        for (int product : {kProductMobile, kProductHandheld}) {
            for (int lcd : {0, 1}) {
                SCOPED_TRACE(testing::Message() << band << "/" << product << "/" << lcd);
                const HMemoryImage img = MakeImageForModel(band, product, lcd);
                HHardwareGroup hw;
                hw.Load(img);
                EXPECT_EQ(hw.GetValue(HHardwareGroup::kRowBand), band);
                EXPECT_EQ(hw.GetValue(HHardwareGroup::kRowProductType), product == 1 ? 2 : 0);
                EXPECT_EQ(hw.GetValue(product == 1 ? HHardwareGroup::kRowDisplayHandheld
                                                   : HHardwareGroup::kRowDisplayMobile),
                          lcd);
                EXPECT_EQ(hw.GetValue(HHardwareGroup::kRowBandLow),
                          HChannelRules::BandLimitsHz(band).lowHz);
                EXPECT_EQ(hw.GetValue(HHardwareGroup::kRowBandHigh),
                          HChannelRules::BandLimitsHz(band).highHz);
                HChannels ch;
                ch.Load(img);
                const int capacity = lcd ? 128 : 8;
                EXPECT_EQ(std::make_pair(ch.GetCapacity(), ch.UsedChannels()),
                          std::make_pair(capacity, capacity));
                EXPECT_EQ(ch.GetFrequency(0, 0), HChannelRules::BandDefaultHz(band));
                EXPECT_TRUE(ChecksumsOk(img));
            }
        }
    }
    // A set without an LCD has exactly its 8 channels in use.
    HChannels small;
    small.Load(MakeImageForModel(kBandUhfA, kProductHandheld, 0));
    EXPECT_TRUE(small.IsChannelEnabled(7));
    EXPECT_FALSE(small.IsChannelEnabled(8));
}
