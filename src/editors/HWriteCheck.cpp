#include "HWriteCheck.h"

#include "HAlignmentData.h"
#include "HChannelColumns.h"
#include "HChannelRules.h"
#include "HChannels.h"
#include "HCommonGroups.h"
#include "HEditorRegistry.h"
#include "HStringTable.h"
#include "HTagBytes.h"

#include <cinttypes>
#include <cstdio>

namespace HWriteCheck {
namespace {

namespace I = HCommonItems;
using namespace HChannelTables;

constexpr int kPageFirst = 1;
constexpr int kPageLast = 10;
constexpr int kSignalKindPage = 3;
constexpr int kTxToneColumn = 6;
constexpr int kRxToneColumn = 7;
constexpr int kTagColumn = 3;
constexpr int kSignalNumberColumn = 18;
constexpr std::size_t kPowerOnTagRow = 12;

struct SettingName {
    std::string key;
    std::string caption;
};

std::string WithoutAccelerator(std::string_view label) {
    std::string out;
    for (char c : label)
        if (c != '&')
            out.push_back(c);
    return out;
}

// The registry's key and caption of the item bound to a row of a section's
// first page that binds it.
SettingName SettingOf(std::string_view section, std::int32_t row) {
    if (const HEditorEntry* entry = HEditorRegistry::FindBySection(section))
        for (const HEditorPageEntry& page : entry->pages)
            for (const HEditorItem& item : page.items)
                if (item.value == row && !item.name.empty())
                    return {std::string(section) + "." + std::string(item.name),
                            WithoutAccelerator(item.label)};
    return {std::string(section), std::string(section)};
}

std::string Header(int column) {
    const HChannelColumn* col = HChannelColumns::Column(column);
    return col ? std::string(col->header) : std::string();
}

// A channel cell: "channels.12.rx_frequency", captioned by the grid's header.
SettingName CellOf(int c, int column) {
    const std::string header = Header(column);
    return {"channels." + std::to_string(c + 1) + "." + std::string(HKeyNameOf(header).View()),
            std::string(header)};
}

HCheckFinding Make(HCheckSeverity severity, const SettingName& name, int channel, int messageId,
                   const std::vector<std::string>& args) {
    return {severity,     messageId, name.key,
            name.caption, channel,   HStringTable::Format(messageId, args)};
}

std::string Mhz(std::int64_t hz) {
    char text[32];
    std::snprintf(text, sizeof text, "%.5f", double(hz) / 1e6);
    return text;
}

void CheckAdjustment(const HMemoryImage& image, int accessLevel, std::vector<HCheckFinding>& out) {
    if (HAlignmentData(HAlignmentData::HCopy::Working).VerifyChecksum(image))
        return;
    // Below level 2 the download keeps the radio's own adjustment pages.
    const bool written = accessLevel == 2;
    out.push_back(Make(
        written ? HCheckSeverity::Error : HCheckSeverity::Warning,
        {"adjustment.checksum", "Adjustment data"}, 0,
        written ? HStringTable::kCheckAdjustmentWritten : HStringTable::kCheckAdjustmentKept, {}));
}

// The counts as stored, before the channel model cuts them to the capacity.
int StoredChannelCount(const HMemoryImage& image, const HChannels& model) {
    int total = 0;
    for (int g = 0; g < model.GetGroupCount(); ++g) {
        // Group bytes are word-swapped: group 0 is the second byte of its word.
        total += image[kGroupByteRows[kGroupChannels].byteOffset + std::size_t(g ^ 1)];
    }
    return total;
}

void CheckGroups(const HMemoryImage& image, const HChannels& model,
                 std::vector<HCheckFinding>& out) {
    const int stored = StoredChannelCount(image, model);
    if (stored > model.GetCapacity())
        out.push_back(Make(HCheckSeverity::Error, {"groups.channels", "Channel Allocations"}, 0,
                           HStringTable::kCheckGroupCapacity,
                           {std::to_string(stored), std::to_string(model.GetCapacity())}));
}

void CheckChannels(const HChannels& model, std::vector<HCheckFinding>& out) {
    const int band = model.GetHardwareValue(HHardwareGroup::kRowBand);
    const HChannelRules::BandLimits limits = HChannelRules::BandLimitsHz(band);
    const int used = model.UsedChannels();
    for (int c = 0; c < used; ++c) {
        if (!model.IsChannelEnabled(c))
            continue;
        const int g = HChannelColumns::GroupOfChannel(model, c);
        const std::string number = std::to_string(c + 1);
        if (limits.highHz > 0) {
            for (int which = 0; which < 2; ++which) {
                const std::int64_t hz = model.GetFrequency(c, which);
                // A transmit frequency of 0 is a receive-only channel.
                if ((which == 1 && hz == 0) || (hz >= limits.lowHz && hz <= limits.highHz))
                    continue;
                const int column = which == 0 ? 4 : 5;
                out.push_back(Make(HCheckSeverity::Error, CellOf(c, column), c + 1,
                                   HStringTable::kCheckFrequencyBand,
                                   {number, Header(column), Mhz(hz), HChannelRules::BandName(band),
                                    Mhz(limits.lowHz), Mhz(limits.highHz)}));
            }
        }
        for (const int column : {kRxToneColumn, kTxToneColumn}) {
            const bool transmit = column == kTxToneColumn;
            // A tone of 0 is the built-in image's "none chosen yet".
            if (model.GetField(c, transmit ? kFieldTxToneType : kFieldRxToneType) == 0 ||
                model.GetField(c, transmit ? kFieldTxTone : kFieldRxTone) == 0)
                continue;
            const std::string text = HChannelColumns::CellText(column, model, c, g);
            if (HChannelColumns::FindToneChoice(transmit, text) < 0)
                out.push_back(Make(HCheckSeverity::Warning, CellOf(c, column), c + 1,
                                   HStringTable::kCheckToneMissing,
                                   {number, Header(column), text}));
        }
        if (model.GetField(c, kFieldSignalKind) == kSignalKindPage) {
            const std::int32_t page = model.GetField(c, kFieldSignalNumber);
            if (page < kPageFirst || page > kPageLast)
                out.push_back(
                    Make(HCheckSeverity::Warning, CellOf(c, kSignalNumberColumn), c + 1,
                         HStringTable::kCheckSignalMissing,
                         {number, Header(kSignalNumberColumn), "Page", std::to_string(page),
                          std::to_string(kPageFirst), std::to_string(kPageLast)}));
        }
    }
}

void CheckTag(const std::string& stored, const SettingName& name, const std::string& whose,
              int channel, std::vector<HCheckFinding>& out) {
    const std::string unshown = HTagBytes::UnshownChars(stored);
    if (unshown.empty())
        return;
    std::string shownTag;
    for (char c : stored)
        if (c != '\0')
            shownTag.push_back(HFieldCoding::RadioTextFilter(c) == c ? c : '?');
    std::string list;
    for (char c : unshown) {
        if (!list.empty())
            list += " ";
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", unsigned(u));
            list += hex;
        } else {
            list.push_back(c);
        }
    }
    out.push_back(Make(HCheckSeverity::Warning, name, channel, HStringTable::kCheckTagChars,
                       {whose, shownTag, list}));
}

void CheckTags(const HMemoryImage& image, const HChannels& model, std::vector<HCheckFinding>& out) {
    for (int c = 0; c < model.UsedChannels(); ++c)
        if (model.IsChannelEnabled(c))
            CheckTag(HTagBytes::ChannelTag(image, c), CellOf(c, kTagColumn),
                     "Channel " + std::to_string(c + 1) + " TAG", c + 1, out);
    for (int g = 0; g < model.GetGroupCount(); ++g) {
        const std::string n = std::to_string(g + 1);
        CheckTag(HTagBytes::GroupTag(image, g), {"groups." + n + ".tag", "Group " + n + " TAG"},
                 "Group " + n + " TAG", 0, out);
    }
    const SettingName powerOn = SettingOf("power_saving", std::int32_t(kPowerOnTagRow));
    CheckTag(HTagBytes::PowerOnTag(image), powerOn, powerOn.caption, 0, out);
}

void CheckDualWatch(const HMemoryImage& image, const HChannels& model,
                    std::vector<HCheckFinding>& out) {
    for (int g = 0; g < model.GetGroupCount(); ++g)
        if (model.GetGroupValue(g, kGroupChannels) > 0 && model.PriorityChannelOfGroup(g) >= 0)
            return;
    HKeyFunctionGroup keys;
    keys.Load(image);
    for (std::size_t row = 0; row < I::kKeyRows; ++row) {
        if (keys.GetValue(row) != I::kKeyDualWatch)
            continue;
        const SettingName key = SettingOf("key_function", std::int32_t(row));
        out.push_back(
            Make(HCheckSeverity::Warning, key, 0, HStringTable::kCheckDualWatch, {key.caption}));
    }
}

std::string ProductTypeName(std::int32_t code) {
    const std::string text = HChoiceText(I::kProductTypeList, code);
    return text.empty() ? "code " + std::to_string(code) : text;
}

std::string BandName(std::int32_t band) {
    const std::string text = HChannelRules::BandName(band);
    return text.empty() ? "code " + std::to_string(band) : text;
}

} // namespace

std::vector<HCheckFinding> CheckImage(const HMemoryImage& image, int accessLevel) {
    std::vector<HCheckFinding> out;
    HChannels model;
    model.Load(image);
    CheckAdjustment(image, accessLevel, out);
    CheckGroups(image, model, out);
    CheckChannels(model, out);
    CheckDualWatch(image, model, out);
    CheckTags(image, model, out);
    return out;
}

std::vector<HCheckFinding> CheckAgainstRadio(const HMemoryImage& image, const HMemoryImage& radio) {
    std::vector<HCheckFinding> out;
    HHardwareGroup file;
    file.Load(image);
    HHardwareGroup set;
    set.Load(radio);
    const std::int32_t fileBand = file.GetValue(HHardwareGroup::kRowBand);
    const std::int32_t radioBand = set.GetValue(HHardwareGroup::kRowBand);
    if (fileBand != radioBand)
        out.push_back(Make(
            HCheckSeverity::Error, SettingOf("hardware", std::int32_t(HHardwareGroup::kRowBand)), 0,
            HStringTable::kCheckRadioBand, {BandName(fileBand), BandName(radioBand)}));
    const std::int32_t fileType = file.GetValue(HHardwareGroup::kRowProductType);
    const std::int32_t radioType = set.GetValue(HHardwareGroup::kRowProductType);
    if (fileType != radioType)
        out.push_back(Make(HCheckSeverity::Error,
                           SettingOf("hardware", std::int32_t(HHardwareGroup::kRowProductType)), 0,
                           HStringTable::kCheckRadioProductType,
                           {ProductTypeName(fileType), ProductTypeName(radioType)}));
    return out;
}

std::string Describe(const HCheckFinding& f) {
    return std::string(f.severity == HCheckSeverity::Error ? "error" : "warning") + " " + f.key +
           " (" + f.caption + "): " + f.text;
}

} // namespace HWriteCheck
