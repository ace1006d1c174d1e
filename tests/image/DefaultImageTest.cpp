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

    HHardwareGroup hw;
    hw.Load(img);
    EXPECT_EQ(hw.GetValue(HHardwareGroup::kRowDisplayMobile), 1);

    HChannels ch;
    ch.Load(img);
    EXPECT_EQ(ch.GetGroupValue(0, kGroupChannels), 128);
    EXPECT_EQ(ch.UsedChannels(), 128);
    for (int c = 0; c < 128; ++c)
        ASSERT_TRUE(ch.IsChannelEnabled(c)) << c;
    EXPECT_EQ(ch.GetTag(0), "-ORVANE-");
    EXPECT_EQ(ch.GetTag(127), "CHAN-128");
    EXPECT_EQ(ch.GetGroupTag(7), "GROUP008");
    EXPECT_EQ(ch.GetFrequency(0, 0), 154100000); // no programmed frequency: band default
    EXPECT_EQ(ch.GetField(0, kFieldTonePrescaler), 0xFF);
    EXPECT_EQ(ch.Signalling().GetValue(HChannelSignalling::kSignallingType), 1);

    // Other groups' defaults are in place.
    HPowerSavingGroup ps;
    ps.Load(img);
    EXPECT_EQ(ps.GetText(12), "SELFTEST");
    EXPECT_EQ(img[650], 53);  // Key Function row 6
    EXPECT_EQ(img[691], 255); // DSUB-15 switch group

    EXPECT_TRUE(ChecksumsOk(img));
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
                EXPECT_EQ(ch.GetCapacity(), capacity);
                EXPECT_EQ(ch.UsedChannels(), capacity);
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
