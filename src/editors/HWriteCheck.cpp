#include "HWriteCheck.h"

#include "HAlignmentData.h"
#include "HChannelColumns.h"
#include "HChannelRules.h"
#include "HChannels.h"
#include "HCommonGroups.h"
#include "HEditorRegistry.h"
#include "HFiveToneGrids.h"
#include "HFiveToneItems.h"
#include "HSignallingMode.h"
#include "HStringTable.h"
#include "HTagBytes.h"
#include "HText.h"
#include "HTwoToneGrids.h"

#include <cinttypes>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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

// The registry's key and caption of the item bound to a row of a section's
// first page that binds it.
SettingName SettingOf(std::string_view section, std::int32_t row) {
    if (const HEditorEntry* entry = HEditorRegistry::FindBySection(section))
        for (const HEditorPageEntry& page : entry->pages)
            for (const HEditorItem& item : page.items)
                if (item.value == row && !item.name.empty())
                    return {std::string(section) + "." + std::string(item.name),
                            HEditor::CaptionOf(item.label)};
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

// ---- signalling: settings that name an encode entry ----
//
// A call key, a channel's system entry or a decode entry's answer names one
// of the 32 encode entries of the active family. Only the names that
// something would send count: the lists default to ENC No.1 and the entries
// to empty, so a family nobody set up names empty entries everywhere.

constexpr int kEncodeEntries = 32;
constexpr int kCallKeys = 5;
constexpr std::int32_t kSignalKindSystem = 2;    // "Signal": a system entry, 1-16
constexpr std::int32_t kTranspondFirstEntry = 3; // "Enc-1"; below it no entry
constexpr std::int32_t kFlowCall = 0;            // sends the call only
constexpr std::int32_t kFlowId = 3;              // sends the ID only

struct EncodeUse {
    SettingName setting;
    std::string subject; // "2-Tone Encode: Call 2"
    std::int32_t entry;  // as the lists show it, from 1
    std::string users;   // what would send it
};

std::string EntryName(std::int32_t entry) {
    return "ENC No." + std::to_string(entry);
}

std::string JoinAnd(const std::vector<std::string>& items) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += i + 1 == items.size() ? " and " : ", ";
        out += items[i];
    }
    return out;
}

std::string EditorCaption(std::string_view section) {
    const HEditorEntry* entry = HEditorRegistry::FindBySection(section);
    return entry ? std::string(entry->caption) : std::string(section);
}

constexpr std::int32_t KeyCode(std::string_view function) {
    for (const HChoiceEntry& e : I::kKeyFunction)
        if (e.text == function)
            return e.code;
    return -1;
}

// "the key [P3] Short Press (CALL 2)"; empty when no key is set to it.
std::string KeysSetTo(const HKeyFunctionGroup& keys, std::string_view function) {
    std::vector<std::string> names;
    for (std::size_t row = 0; row < I::kKeyRows; ++row)
        if (keys.GetValue(row) == KeyCode(function))
            names.push_back(SettingOf("key_function", std::int32_t(row)).caption);
    if (names.empty())
        return {};
    return (names.size() == 1 ? "the key " : "the keys ") + JoinAnd(names) + " (" +
           std::string(function) + ")";
}

// A list setting of a page that names an entry from 0, used by a key.
void AddKeyUse(std::string_view section, std::int32_t row, std::int32_t stored,
               const std::string& users, std::vector<EncodeUse>& uses) {
    if (users.empty())
        return;
    const SettingName name = SettingOf(section, row);
    uses.push_back({name, EditorCaption(section) + ": " + name.caption, stored + 1, users});
}

// The channels (from 1) that select each system entry with their Signal number.
std::vector<std::vector<int>> ChannelsBySystem(const HChannels& model, int systems) {
    std::vector<std::vector<int>> out(static_cast<std::size_t>(systems));
    for (int c = 0; c < model.UsedChannels(); ++c) {
        if (!model.IsChannelEnabled(c) || model.GetField(c, kFieldSignalKind) != kSignalKindSystem)
            continue;
        const std::int32_t n = model.GetField(c, kFieldSignalNumber);
        if (n >= 1 && n <= systems)
            out[std::size_t(n - 1)].push_back(c + 1);
    }
    return out;
}

// A grid cell that names an entry, keyed and captioned as rp57cli show names
// it ("two_tone_system.3.call_encode_tone_no", "Call Encode Tone No. 3").
template <class Columns>
EncodeUse CellUse(std::string_view section, const Columns& columns, int record, int field,
                  std::int32_t entry, std::string users) {
    const std::string number = std::to_string(record + 1);
    std::string header;
    std::string name;
    for (const auto& col : columns)
        if (col.field == field && !col.name.empty()) {
            header = col.header;
            name = col.name;
        }
    return {{HSettingKey(section, number + "." + name), header + " " + number},
            EditorCaption(section) + " " + number + ": " + header,
            entry,
            std::move(users)};
}

// A system entry's encode cell (from 0), used by the channels that select the entry.
template <class Columns>
EncodeUse SystemUse(std::string_view section, const Columns& columns, int system, int field,
                    std::int32_t stored, std::string_view what, const std::vector<int>& channels) {
    std::vector<std::string> list;
    for (int c : channels)
        list.push_back(std::to_string(c));
    return CellUse(section, columns, system, field, stored + 1,
                   std::string(what) + (channels.size() == 1 ? " on channel " : " on channels ") +
                       JoinAnd(list) + " (Signal " + std::to_string(system + 1) + ")");
}

// Why each encode entry would send nothing; empty where it sends something.
std::vector<std::string> TwoToneEmptyEntries(const HMemoryImage& image) {
    namespace T = HTwoToneTables;
    HTwoToneEncodeGroup encode;
    encode.LoadAll(image);
    std::vector<std::string> why(kEncodeEntries);
    for (int e = 0; e < kEncodeEntries; ++e) {
        const std::int32_t tone = encode.GetField(e, T::kEncFirstTone);
        if (tone < 0 || tone >= T::kNoTone)
            why[std::size_t(e)] = "no 1st tone";
        else if (encode.Tones().Frequency(tone) <= 0.0)
            why[std::size_t(e)] = std::string("its 1st tone ") + "0123456789ABCDEF"[tone] +
                                  " has no frequency in the " + EditorCaption("two_tone_table");
    }
    return why;
}

std::vector<std::string> FiveToneEmptyEntries(const HMemoryImage& image) {
    HFiveToneEncodeGroup encode;
    encode.Load(image);
    std::vector<std::string> why(kEncodeEntries);
    for (int e = 0; e < kEncodeEntries; ++e)
        if (HToneDigits::ToText(encode.GetField(e, HFiveToneTables::kEncNumber)).empty())
            why[std::size_t(e)] = "no Encode No.";
    return why;
}

std::vector<EncodeUse> TwoToneUses(const HMemoryImage& image, const HChannels& model) {
    namespace T = HTwoToneTables;
    std::vector<EncodeUse> uses;
    HKeyFunctionGroup keys;
    keys.Load(image);
    HTwoToneEncodeOptionGroup options;
    options.Load(image);
    for (int n = 0; n < kCallKeys; ++n) {
        const std::int32_t row = T::kOptCall1 + n;
        AddKeyUse("two_tone_encode", row, options.GetValue(std::size_t(row)),
                  KeysSetTo(keys, "CALL " + std::to_string(n + 1)), uses);
    }
    HTwoToneSystemGroup systems;
    systems.Load(image);
    const auto channels = ChannelsBySystem(model, int(T::kSystemRecords));
    for (int s = 0; s < int(T::kSystemRecords); ++s)
        if (!channels[std::size_t(s)].empty())
            uses.push_back(SystemUse("two_tone_system", HTwoToneGrids::SystemColumns(), s,
                                     T::kSysCallToneNo, systems.GetField(s, T::kSysCallToneNo),
                                     "a call", channels[std::size_t(s)]));
    return uses;
}

std::vector<EncodeUse> FiveToneUses(const HMemoryImage& image, const HChannels& model) {
    namespace T = HFiveToneTables;
    constexpr std::int32_t kCall1Row = 3; // Common1: Call 1-5, then EMG
    std::vector<EncodeUse> uses;
    HKeyFunctionGroup keys;
    keys.Load(image);
    HFiveToneCommon1Group common;
    common.Load(image);
    for (int n = 0; n < kCallKeys; ++n)
        AddKeyUse("five_tone_common", kCall1Row + n, common.GetValue(std::size_t(kCall1Row + n)),
                  KeysSetTo(keys, "CALL " + std::to_string(n + 1)), uses);
    AddKeyUse("five_tone_common", kCall1Row + kCallKeys,
              common.GetValue(std::size_t(kCall1Row + kCallKeys)), KeysSetTo(keys, "Emergency"),
              uses);

    HFiveToneSystemGroup systems;
    systems.Load(image);
    const auto channels = ChannelsBySystem(model, int(T::kSystemRecords));
    const auto& columns = HFiveToneGrids::kSystemColumns;
    for (int s = 0; s < int(T::kSystemRecords); ++s) {
        const std::vector<int>& users = channels[std::size_t(s)];
        if (users.empty())
            continue;
        const std::int32_t flow = systems.GetField(s, T::kSysFlow);
        if (flow != kFlowId)
            uses.push_back(SystemUse("five_tone_system", columns, s, T::kSysCallToneNo,
                                     systems.GetField(s, T::kSysCallToneNo), "a call", users));
        if (flow != kFlowCall)
            uses.push_back(SystemUse("five_tone_system", columns, s, T::kSysIdToneNo,
                                     systems.GetField(s, T::kSysIdToneNo), "the ID", users));
        if (systems.GetField(s, T::kSysRepeaterEncode) != 0)
            uses.push_back(SystemUse("five_tone_system", columns, s, T::kSysRepeaterToneNo,
                                     systems.GetField(s, T::kSysRepeaterToneNo),
                                     "the repeater tone", users));
    }

    HFiveToneDecodeGroup decodes;
    decodes.Load(image);
    for (int d = 0; d < decodes.RecordCount(); ++d) {
        const std::string number = HToneDigits::ToText(decodes.GetField(d, T::kDecNumber));
        const std::int32_t code = decodes.GetField(d, T::kDecTranspondCode);
        // An entry with no Decode No. never answers.
        if (number.empty() || code < kTranspondFirstEntry)
            continue;
        uses.push_back(CellUse("five_tone_decode", HFiveToneGrids::kDecodeColumns, d,
                               T::kDecTranspondCode, code - kTranspondFirstEntry + 1,
                               "the answer to a call with Decode No. " + number));
    }
    return uses;
}

void CheckEncodeUses(const HMemoryImage& image, const HChannels& model,
                     std::vector<HCheckFinding>& out) {
    const bool twoTone = HReadSignallingMode(image) == HSignallingMode::TwoTone;
    const std::vector<EncodeUse> uses =
        twoTone ? TwoToneUses(image, model) : FiveToneUses(image, model);
    if (uses.empty())
        return;
    const std::vector<std::string> empty =
        twoTone ? TwoToneEmptyEntries(image) : FiveToneEmptyEntries(image);
    const std::string editor = EditorCaption(twoTone ? "two_tone_encode" : "five_tone_encode");
    for (const EncodeUse& use : uses) {
        // A number past the table names nothing the radio holds; only a
        // damaged or foreign file has one, as the lists offer no such entry.
        if (use.entry < 1 || use.entry > kEncodeEntries) {
            out.push_back(Make(HCheckSeverity::Error, use.setting, 0,
                               HStringTable::kCheckEncodeMissing,
                               {use.subject, std::to_string(use.entry), use.users}));
            continue;
        }
        // The radio takes it and works; only this call goes out empty.
        const std::string& why = empty[std::size_t(use.entry - 1)];
        if (!why.empty())
            out.push_back(Make(HCheckSeverity::Warning, use.setting, 0,
                               HStringTable::kCheckEncodeEmpty,
                               {use.subject, EntryName(use.entry), why, use.users, editor}));
    }
}

// ---- signalling: decode windows the compile step cannot store ----

std::string ToneName(std::size_t tone, double hz) {
    char text[48];
    std::snprintf(text, sizeof text, "%X (%.1f Hz)", unsigned(tone), hz);
    return text;
}

void AddWindowFinding(const SettingName& name, const std::vector<std::string>& tones,
                      std::int32_t scale, std::vector<HCheckFinding>& out) {
    if (tones.empty())
        return;
    out.push_back(Make(HCheckSeverity::Warning, name, 0, HStringTable::kCheckToneWindow,
                       {name.caption, (tones.size() == 1 ? "tone " : "tones ") + JoinAnd(tones),
                        std::to_string(scale)}));
}

// The active family's tables as a download compiles them: where a tone's
// window does not fit, the radio keeps its own.
void CheckToneWindows(const HMemoryImage& image, std::vector<HCheckFinding>& out) {
    if (HReadSignallingMode(image) == HSignallingMode::TwoTone) {
        HTwoToneTable table;
        table.Load(image);
        table.UpdateStoredValues();
        std::vector<std::string> tones;
        for (int t : table.UnfitWindows())
            tones.push_back(ToneName(std::size_t(t), table.Frequency(t)));
        AddWindowFinding({"two_tone_table", EditorCaption("two_tone_table")}, tones,
                         table.WindowScale(), out);
        return;
    }
    HFiveToneTable table;
    table.Load(image);
    std::vector<std::vector<std::string>> tones(HFiveToneTables::kToneSets);
    for (const auto& [set, tone] : table.UnfitWindows())
        tones[set].push_back(ToneName(tone, table.Frequency(set, tone)));
    for (std::size_t set = 0; set < tones.size(); ++set)
        AddWindowFinding({"five_tone_table." + std::to_string(set + 1),
                          EditorCaption("five_tone_table") + " " +
                              std::string(HFiveToneItems::kToneSetTexts[set])},
                         tones[set], table.WindowScale(), out);
}

std::string ProductTypeName(std::int32_t code) {
    const std::string text = HChoiceText(I::kProductTypeList, code);
    return text.empty() ? "code " + std::to_string(code) : text;
}

std::string BandName(std::int32_t band) {
    const std::string text = HChannelRules::BandName(band);
    return text.empty() ? "code " + std::to_string(band) : text;
}

// A control's text in a sentence: "0.00  MHz" as "0.00 MHz".
std::string OneBlankApart(std::string_view text) {
    std::string out;
    for (char c : HText::Trim(text))
        if (c != ' ' || out.empty() || out.back() != ' ')
            out.push_back(c);
    return out;
}

// Every Hardware dialog item's value row and the text it shows.
std::vector<std::pair<std::int32_t, std::string>> HardwareTexts(HMemoryImage image) {
    const HEditorPageEntry& page = HEditorRegistry::kHardwarePages.front();
    const std::unique_ptr<HEditor> editor = page.make(page, {&image, 2});
    editor->Open();
    std::vector<std::pair<std::int32_t, std::string>> out;
    for (std::size_t i = 0; const HEditorItem& item : editor->Items()) {
        if (!item.name.empty())
            out.emplace_back(item.value, OneBlankApart(editor->ShownText(i)));
        ++i;
    }
    return out;
}

// A level 0 download keeps the radio's FLASH page 0: the Hardware values that
// page holds are the radio's afterwards, whatever the file says. One finding
// names them all (the program shows each warning in a box of its own).
void CheckHardwarePage(const HMemoryImage& image, const HMemoryImage& radio,
                       std::vector<HCheckFinding>& out) {
    HMemoryImage kept = image;
    std::copy(radio.begin() + long(HImageMap::FlashPageOffset(0)),
              radio.begin() + long(HImageMap::FlashPageOffset(1)),
              kept.begin() + long(HImageMap::FlashPageOffset(0)));
    const auto file = HardwareTexts(image);
    const auto afterwards = HardwareTexts(kept);
    auto written = afterwards.begin();
    std::vector<std::string> values;
    SettingName first;
    for (const auto& [row, text] : file) {
        const std::string& radioText = (written++)->second;
        if (text == radioText)
            continue;
        const SettingName name = SettingOf("hardware", row);
        if (values.empty())
            first = name;
        values.push_back(name.caption + " " + radioText + " (this file " + text + ")");
    }
    if (!values.empty())
        out.push_back(Make(HCheckSeverity::Warning, first, 0, HStringTable::kCheckRadioHardware,
                           {JoinAnd(values)}));
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
    CheckEncodeUses(image, model, out);
    CheckToneWindows(image, out);
    CheckTags(image, model, out);
    return out;
}

std::vector<HCheckFinding> CheckAgainstRadio(const HMemoryImage& image, const HMemoryImage& radio,
                                             int accessLevel) {
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
    if (accessLevel == 0)
        CheckHardwarePage(image, radio, out);
    return out;
}

std::string Describe(const HCheckFinding& f) {
    return std::string(f.severity == HCheckSeverity::Error ? "error" : "warning") + " " + f.key +
           " (" + f.caption + "): " + f.text;
}

} // namespace HWriteCheck
