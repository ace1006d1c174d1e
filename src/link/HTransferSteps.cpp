#include "HTransferSteps.h"

#include "HChannels.h"
#include "HCommonGroups.h"
#include "HHardwareGroup.h"
#include "HLogPrint.h"

#include <algorithm>
#include <array>

namespace {

// 2-tone mode: the top bit of the first common signalling byte belongs to the
// 5-tone editors and must go to the radio cleared.
constexpr std::size_t kSignallingCommonByte = 0x1C80;
static_assert(kSignallingCommonByte < HImageMap::kFlashEnd);

struct BandRow {
    std::int32_t lower;
    std::int32_t upper;
};
constexpr std::array kBandLimits = {
    BandRow{134000000, 174000000}, // 0 VHF
    BandRow{0, 0},                 // 1 not defined
    BandRow{380000000, 470000000}, // 2 UHF A
    BandRow{450000000, 520000000}, // 3 UHF D
    BandRow{29700000, 40000000},   // 4 Low Band A
    BandRow{40000000, 54000000},   // 5 Low Band B
};

constexpr std::size_t kMiscRowLock = 4;
constexpr std::size_t kMiscRowSplitWord = 16;

} // namespace

namespace HTransferSteps {

bool BandLimits(int band, std::int32_t& lower, std::int32_t& upper) {
    if (band < 0 || band >= static_cast<int>(kBandLimits.size()))
        return false;
    lower = kBandLimits[std::size_t(band)].lower;
    upper = kBandLimits[std::size_t(band)].upper;
    return true;
}

HSignallingMode ReadSignallingMode(const HMemoryImage& image) {
    return HReadSignallingMode(image);
}

HSignallingMode CorrectAfterUpload(HMemoryImage& image) {
    HHardwareGroup hardware;
    hardware.Load(image);
    std::int32_t lower = 0;
    std::int32_t upper = 0;
    // A band code without limits (6 or 7) keeps the limits it has.
    if (BandLimits(hardware.GetValue(HHardwareGroup::kRowBand), lower, upper)) {
        hardware.SetValue(HHardwareGroup::kRowBandLow, lower);
        hardware.SetValue(HHardwareGroup::kRowBandHigh, upper);
        hardware.Save(image);
    }

    HMiscellaneousGroup misc;
    misc.Load(image);
    if (misc.GetValue(kMiscRowLock) == 1)
        misc.SetValue(kMiscRowLock, 0);
    misc.SetValue(kMiscRowSplitWord, 0);
    misc.Save(image);

    return ReadSignallingMode(image);
}

void CleanImage(HMemoryImage& image) {
    HImageMap::FillRadioOwnedWords(image);
}

void PrepareForDownload(HMemoryImage& image, HSignallingMode mode,
                        const HSignallingTableWriter& writeTables) {
    if (writeTables)
        writeTables(image, mode);
    else
        HLOG(4, "%s", "signalling tables: no compiler registered, stored tables are sent");
    if (mode == HSignallingMode::TwoTone)
        image[kSignallingCommonByte] &= 0x7F;
    CleanImage(image);
}

} // namespace HTransferSteps
