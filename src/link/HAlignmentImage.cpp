#include "HAlignmentImage.h"

#include "HAlignmentData.h"
#include "HChannels.h"
#include "HControllerBytes.h"
#include "HHardwareGroup.h"

#include <algorithm>
#include <array>
#include <vector>

using namespace HControllerBytes;

namespace {

constexpr std::size_t kChannelPagesFirst = 0x600; // FLASH page 8
constexpr std::size_t kPageSize = 128;
constexpr std::size_t kIdentityLast = 0x20;

struct ByteSpan {
    std::size_t first;
    std::size_t last; // inclusive
};
// The alignment set-up of a default file, besides its channel pages.
constexpr std::array<ByteSpan, 8> kMergedBytes = {{
    {0x21, 0x22},
    {0x32, 0x39},
    {0x52, 0x59},
    {0x72, 0x79},
    {0x98, 0x98},
    {0x200, 0x2FF},   // FLASH pages 0 and 1
    {0x380, 0x3FF},   // FLASH page 3
    {0x318C, 0x319E}, // signal-generator settings
}};

// [product type 0 / other][band 0..3][mobile TX power 0 / 1]; empty = none.
constexpr const char* kFiles[2][4][2] = {
    {{"mvmh.v57", "mvmm.v57"}, {"", ""}, {"muah.v57", "muam.v57"}, {"mudh.v57", "mudm.v57"}},
    {{"hvm.v57", "hvm.v57"}, {"", ""}, {"hua.v57", "hua.v57"}, {"hud.v57", "hud.v57"}},
};

} // namespace

namespace HAlignmentImage {

std::optional<std::string> DefaultFileName(const HMemoryImage& image) {
    HHardwareGroup hw;
    hw.Load(image);
    const std::int32_t type = hw.GetValue(HHardwareGroup::kRowProductType);
    const std::int32_t band = hw.GetValue(HHardwareGroup::kRowBand);
    const std::int32_t power = hw.GetValue(HHardwareGroup::kRowTxPower);
    // The mobile TX power row holds 0 or 1; any other value has no file.
    if (band < 0 || band > 3 || power < 0 || power > 1)
        return std::nullopt;
    const char* name = kFiles[type == 0 ? 0 : 1][band][power];
    if (!*name)
        return std::nullopt;
    return std::string(name);
}

const std::vector<std::string>& DefaultFileNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const auto& type : kFiles)
            for (const auto& band : type)
                for (const char* name : band)
                    if (*name && std::ranges::find(out, name) == out.end())
                        out.emplace_back(name);
        return out;
    }();
    return names;
}

void MergeDefaultFile(const HMemoryImage& file, HMemoryImage& editor) {
    for (const ByteSpan& s : kMergedBytes)
        CopyBytes(file, editor, s.first, s.last);
    HChannels model;
    model.Load(file);
    const std::size_t pages = std::size_t(model.UsedChannels() / 3 + 1);
    const std::size_t end = std::min(kChannelPagesFirst + pages * kPageSize, HImageMap::kFlashEnd);
    CopyBytes(file, editor, kChannelPagesFirst, end - 1);
    HChannels rebuilt;
    rebuilt.Load(editor);
    rebuilt.Save(editor);
}

void RestoreRadioData(HMemoryImage& work, HMemoryImage& editor) {
    CopyBytes(editor, work, 0, kIdentityLast);
    editor = work;
    RecomputeAdjustmentChecksum(editor);
    HChannels model;
    model.Load(editor);
    model.Save(editor);
}

void RecomputeAdjustmentChecksum(HMemoryImage& image) {
    HAlignmentData(HAlignmentData::HCopy::Working).RecomputeChecksum(image);
}

} // namespace HAlignmentImage
