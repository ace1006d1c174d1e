#include "HDefaultImage.h"

#include "HAlignmentData.h"
#include "HChannelRules.h"
#include "HChannels.h"
#include "HCommonGroups.h"
#include "HDtmfGroups.h"
#include "HFiveToneGroups.h"
#include "HHardwareGroup.h"
#include "HOptionGroup.h"

namespace {

// Both adjustment copies get a checksum that verifies, so that a new image
// passes the download's checks.
void StoreAdjustmentChecksums(HMemoryImage& img) {
    HAlignmentData(HAlignmentData::HCopy::Working).RecomputeChecksum(img);
    HAlignmentData(HAlignmentData::HCopy::ShippingDefault).RecomputeChecksum(img);
}

template <typename Group> void SaveDefaults(HMemoryImage& img) {
    Group group; // constructed holding its defaults
    group.Save(img);
}

// Writes the model into the Hardware fields: band, product type (stored 0
// mobile, 2 handheld), the display type of that product type, the band limits.
void WriteModel(HMemoryImage& img, int band, int productType, int lcdType) {
    HHardwareGroup hw;
    hw.Load(img);
    hw.SetValue(HHardwareGroup::kRowBand, band);
    hw.SetValue(HHardwareGroup::kRowProductType, productType == kProductHandheld ? 2 : 0);
    hw.SetValue(productType == kProductHandheld ? HHardwareGroup::kRowDisplayHandheld
                                                : HHardwareGroup::kRowDisplayMobile,
                lcdType);
    const HChannelRules::BandLimits lim = HChannelRules::BandLimitsHz(band);
    hw.SetValue(HHardwareGroup::kRowBandLow, static_cast<std::int32_t>(lim.lowHz));
    hw.SetValue(HHardwareGroup::kRowBandHigh, static_cast<std::int32_t>(lim.highHz));
    hw.Save(img);
}

// The channel model at its defaults for the model now in the image: the
// capacity (and so the channels in use and the group set) follows its display type.
// The image is then passed through the model once more, as the channel view
// and every transfer do, so that a new image is one the model gives back
// unchanged: unprogrammed channels hold the band default's count words rather
// than zeros that the first load and save would replace. The radio's own
// words hold what a download gives them, so New, Download and Upload give the
// same bytes back.
void WriteDefaultChannels(HMemoryImage& img) {
    HChannels channels;
    channels.Load(img);
    channels.SetDefaults();
    channels.Save(img);
    HChannels settled;
    settled.Load(img);
    settled.Save(img);
    HImageMap::FillRadioOwnedWords(img);
}

} // namespace

HMemoryImage BuildDefaultImage() {
    HMemoryImage img{};
    SaveDefaults<HOptionGroup>(img);
    SaveDefaults<HScanningGroup>(img);
    SaveDefaults<HPowerSavingGroup>(img);
    SaveDefaults<HFrontPanelGroup>(img);
    SaveDefaults<HKeyFunctionGroup>(img);
    SaveDefaults<HMiscellaneousGroup>(img);
    SaveDefaults<HMarketingGroup>(img);
    SaveDefaults<HPowerOnPasswordGroup>(img);
    SaveDefaults<HProgrammingPasswordGroup>(img);
    SaveDefaults<HEmergencyGroup>(img);
    SaveDefaults<HDirectChannelGroup>(img);
    SaveDefaults<HDsubChannelSwitchGroup>(img);
    SaveDefaults<HDsubPortLinesGroup>(img);
    SaveDefaults<HTuningPointsGroup>(img);
    SaveDefaults<HChannelSignalling>(img);
    SaveDefaults<HDtmfSettingGroup>(img);
    SaveDefaults<HDtmfAniGroup>(img);
    SaveDefaults<HDtmfCodeGroup>(img);
    SaveDefaults<HPagingCodeGroup>(img);
    SaveDefaults<HFiveToneTable>(img);
    SaveDefaults<HHardwareGroup>(img);
    WriteModel(img, kBandVhf, kProductMobile, 1);
    WriteDefaultChannels(img);
    StoreAdjustmentChecksums(img);
    return img;
}

// The original copies its built-in image only for a mobile VHF set (or no
// band) and leaves every other model an all-zero image, which reads back as a
// mobile VHF set without an LCD whatever was chosen. Here every model starts
// from the built-in image and gets its own band, product type, display type
// and band limits; the channels and groups are then set to their defaults for
// that model (a set without an LCD keeps 8 channels in one group), and both
// adjustment checksums are computed again since the model bits lie in the
// bytes the working copy's checksum covers.
HMemoryImage MakeImageForModel(int band, int productType, int lcdType) {
    HMemoryImage img = BuildDefaultImage();
    if (!IsImageBand(band))
        return img;
    WriteModel(img, band, productType == kProductHandheld ? kProductHandheld : kProductMobile,
               lcdType);
    WriteDefaultChannels(img);
    StoreAdjustmentChecksums(img);
    return img;
}
