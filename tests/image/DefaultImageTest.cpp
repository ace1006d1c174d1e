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

    // Model, capacity, band default and checksums: see ImagesForModels.
    HChannels ch;
    ch.Load(img);
    EXPECT_EQ(std::make_tuple(ch.GetTag(0), ch.GetTag(127), ch.GetGroupTag(7),
                              ch.GetField(0, kFieldTonePrescaler),
                              ch.Signalling().GetValue(HChannelSignalling::kSignallingType)),
              std::make_tuple("-ORVANE-", "CHAN-128", "GROUP008", 0xFF, 1));

    // Other groups' defaults are in place.
    HPowerSavingGroup ps;
    ps.Load(img);
    EXPECT_EQ(ps.GetText(12), "SELFTEST");
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
                using H = HHardwareGroup;
                H hw;
                hw.Load(img);
                const auto limits = HChannelRules::BandLimitsHz(band);
                EXPECT_EQ(
                    std::make_tuple(
                        hw.GetValue(H::kRowBand), hw.GetValue(H::kRowProductType),
                        hw.GetValue(product == 1 ? H::kRowDisplayHandheld : H::kRowDisplayMobile),
                        hw.GetValue(H::kRowBandLow), hw.GetValue(H::kRowBandHigh)),
                    std::make_tuple(band, product == 1 ? 2 : 0, lcd, limits.lowHz, limits.highHz));
                HChannels ch;
                ch.Load(img);
                const int capacity = lcd ? 128 : 8;
                EXPECT_EQ(
                    std::make_tuple(ch.GetCapacity(), ch.UsedChannels(), ch.GetFrequency(0, 0),
                                    ChecksumsOk(img)),
                    std::make_tuple(capacity, capacity, HChannelRules::BandDefaultHz(band), true));
            }
        }
    }
}
