#pragma once
// Every common settings editor, once: its key section, menu command, caption,
// and its pages (one for a dialog, several for a property sheet), each with
// dialog id, caption, items and how to make it. The Common menu, rp57cli
// show/get/set, and later the export and the report walk this table.
#include "HCommonCommands.h"
#include "HCommonEditors.h"
#include "HDtmfEditors.h"
#include "HEditorKeys.h"
#include "HFiveToneEditors.h"
#include "HPagingCodeEditor.h"
#include "HSignallingCommands.h"
#include "HTwoToneEditors.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct HEditorPageEntry;
using HEditorFactory = std::unique_ptr<HEditor> (*)(const HEditorPageEntry&, const HEditorContext&);
// A step a page takes on the image outside its dialog.
using HImageStep = void (*)(HMemoryImage& image);

struct HEditorPageEntry {
    std::uint32_t dialogId = 0;
    std::string_view caption;
    std::span<const HEditorItem> items;
    std::size_t valueCount = 0; // values of the page's group, for the item checks
    HEditorFactory make = nullptr;
    // Signalling pages only (HSignallingSteps runs them). `compile` writes the
    // tables the radio needs derived from the page's settings, before every
    // Download while the page's family is active; `reset` gives the page's
    // tables their defaults when the signalling type switches to its family.
    HImageStep compile = nullptr;
    HImageStep reset = nullptr;
    // The rows of the page's group that no item shows, named all the same.
    std::span<const HUnshownRow> unshown{};
};

// Which signalling type an editor belongs to; Common and Signalling editors
// are offered whatever the type.
enum class HEditorFamily : std::uint8_t { Common, Signalling, FiveTone, TwoTone };

struct HEditorEntry {
    std::string_view section; // the keys' first part
    int command = 0;          // menu command
    std::string_view caption; // the dialog's, or the sheet's
    bool sheet = false;       // pages in a property sheet
    std::span<const HEditorPageEntry> pages;
    HEditorFamily family = HEditorFamily::Common;
};

// Makes an editor of a page: a data-only editor over its group, or a hook
// class taking the same arguments.
template <class Editor>
[[nodiscard]] std::unique_ptr<HEditor> HMakeEditor(const HEditorPageEntry& page,
                                                   const HEditorContext& context) {
    return std::make_unique<Editor>(page.dialogId, page.caption, page.items, context);
}

namespace HEditorRegistry {

namespace I = HCommonItems;
namespace M = HMemoryMap;

inline constexpr std::size_t kHardwareValues = 25; // 23 rows and the two Hz values
inline constexpr std::size_t kOptionValues = 17;   // 16 rows and the unit code

inline constexpr std::array kHardwarePages{
    HEditorPageEntry{138, "Hardware", I::kHardware, kHardwareValues, HMakeEditor<HHardwareEditor>,
                     nullptr, nullptr, I::kHardwareUnshown}};
inline constexpr std::array kOptionPages{HEditorPageEntry{132, "Option", I::kOption, kOptionValues,
                                                          HMakeEditor<HDataEditor<HOptionGroup>>,
                                                          nullptr, nullptr, I::kOptionUnshown}};
inline constexpr std::array kScanningPages{
    HEditorPageEntry{133, "Scanning", I::kScanning, M::kScanningRows.size(),
                     HMakeEditor<HDataEditor<HScanningGroup>>}};
inline constexpr std::array kPowerSavingPages{
    HEditorPageEntry{134, "Power Saving", I::kPowerSaving, M::kPowerSavingRows.size(),
                     HMakeEditor<HDataEditor<HPowerSavingGroup>>}};
inline constexpr std::array kFrontPanelPages{
    HEditorPageEntry{135, "Front Panel", I::kFrontPanel, M::kFrontPanelRows.size(),
                     HMakeEditor<HDataEditor<HFrontPanelGroup>>}};
inline constexpr std::array kKeyFunctionPages{
    HEditorPageEntry{141, "Key Function", I::kKeyFunctionItems, M::kKeyFunctionRows.size(),
                     HMakeEditor<HKeyFunctionEditor>, nullptr, nullptr, I::kKeyFunctionUnshown}};
inline constexpr std::array kEmergencyPages{
    HEditorPageEntry{136, "Emergency", I::kEmergency, M::kEmergencyRows.size(),
                     HMakeEditor<HEmergencyEditor>, nullptr, nullptr, I::kEmergencyUnshown}};
inline constexpr std::array kMarketingPages{HEditorPageEntry{
    152, "Marketing Parameters", I::kMarketing, M::kMarketingRows.size(),
    HMakeEditor<HDataEditor<HMarketingGroup>>, nullptr, nullptr, I::kMarketingUnshown}};
inline constexpr std::array kMiscellaneousPages{
    HEditorPageEntry{139, "Miscellaneous", I::kMiscellaneous, M::kMiscellaneousRows.size(),
                     HMakeEditor<HDataEditor<HMiscellaneousGroup>>}};
inline constexpr std::array kPasswordPages{
    HEditorPageEntry{144, "Power On Password", I::kPowerOnPassword, M::kPowerOnPasswordRows.size(),
                     HMakeEditor<HDataEditor<HPowerOnPasswordGroup>>, nullptr, nullptr,
                     I::kPowerOnPasswordUnshown},
    HEditorPageEntry{146, "Programming Password", I::kProgrammingPasswordItems,
                     M::kProgrammingPasswordRows.size(), HMakeEditor<HProgrammingPasswordEditor>},
};
inline constexpr std::array kDsubPages{
    HEditorPageEntry{148, "Port", I::kDsubPort, HGroupValueCount(M::kDsubPortLinesParts),
                     HMakeEditor<HDataEditor<HDsubPortLinesGroup>>},
    HEditorPageEntry{149, "Channel Switch Table", I::kDsubChannelSwitch,
                     HGroupValueCount(M::kDsubChannelSwitchParts), HMakeEditor<HDsubChannelEditor>},
};
inline constexpr std::array kDirectChPages{
    HEditorPageEntry{151, "Direct CH Parameters", I::kDirectCh,
                     HGroupValueCount(M::kDirectChannelParts), HMakeEditor<HDirectChEditor>}};

// ------------------------------------------------------------------ Signalling
namespace D = HDtmfItems;
inline constexpr std::array kSignallingTypePages{HEditorPageEntry{
    181, "Signalling Type", D::kSignallingType, HDtmfMap::kSignallingTypeRows.size(),
    HMakeEditor<HDataEditor<HSignallingTypeGroup>>}};
inline constexpr std::array kDtmfAniPages{HEditorPageEntry{182, "DTMF ANI Setting", D::kDtmfAni,
                                                           HDtmfMap::kDtmfAniRows.size(),
                                                           HMakeEditor<HDtmfAniEditor>}};
inline constexpr std::array kDtmfSettingPages{HEditorPageEntry{183, "DTMF Setting", D::kDtmfSetting,
                                                               HDtmfMap::kDtmfSettingRows.size(),
                                                               HMakeEditor<HDtmfSettingEditor>}};
inline constexpr std::array kDtmfCodePages{
    HEditorPageEntry{184, "DTMF Code", D::kDtmfCode, HGroupValueCount(HDtmfMap::kDtmfCodeParts),
                     HMakeEditor<HDtmfCodeEditor>}};
inline constexpr std::array kPagingCodePages{
    HEditorPageEntry{185, "Paging Code", D::kPagingCode, HGroupValueCount(HDtmfMap::kPagingParts),
                     HMakeEditor<HPagingCodeEditor>}};

// ------------------------------------------------------------------ 2-tone
namespace W = HTwoToneItems;
namespace WT = HTwoToneTables;
inline constexpr std::array kTwoToneTablePages{HEditorPageEntry{
    250, "2Tone Table", W::kToneTable, W::kToneTableValues, HMakeEditor<HTwoToneTableEditor>,
    HTwoToneSteps::CompileToneTable, HTwoToneSteps::ResetToneTable}};
inline constexpr std::array kTwoToneSystemPages{
    HEditorPageEntry{251, "2-Tone System", W::kSystem, 0, HMakeEditor<HTwoToneSystemEditor>,
                     nullptr, HTwoToneSteps::ResetGroup<HTwoToneSystemGroup>}};
inline constexpr std::array kTwoToneDecodePages{
    HEditorPageEntry{252, "2-TONE Decode", W::kDecode, 0, HMakeEditor<HTwoToneDecodeEditor>,
                     nullptr, HTwoToneSteps::ResetGroup<HTwoToneDecodeGroup>},
    HEditorPageEntry{253, "Decode Option", W::kDecodeOption, WT::kDecodeOptionRows.size(),
                     HMakeEditor<HDataEditor<HTwoToneDecodeOptionGroup>>, nullptr,
                     HTwoToneSteps::ResetGroup<HTwoToneDecodeOptionGroup>}};
inline constexpr std::array kTwoToneEncodePages{
    HEditorPageEntry{254, "2-Tone Encode", W::kEncode, 0, HMakeEditor<HTwoToneEncodeEditor>,
                     nullptr, HTwoToneSteps::ResetGroup<HTwoToneEncodeGroup>},
    HEditorPageEntry{255, "Encode Option", W::kEncodeOption, WT::kEncodeOptionRows.size(),
                     HMakeEditor<HDataEditor<HTwoToneEncodeOptionGroup>>, nullptr,
                     HTwoToneSteps::ResetGroup<HTwoToneEncodeOptionGroup>}};

// ------------------------------------------------------------------ 5-tone
namespace F = HFiveToneItems;
namespace FT = HFiveToneTables;
inline constexpr std::array kFiveToneCommonPages{
    HEditorPageEntry{240, "Common1", F::kCommon1, FT::kCommon1Rows.size(),
                     HMakeEditor<HFiveToneCommon1Editor>, nullptr,
                     HFiveToneSteps::ResetGroup<HFiveToneCommon1Group>},
    HEditorPageEntry{241, "Common2", F::kCommon2, FT::kCommon2Rows.size(),
                     HMakeEditor<HDataEditor<HFiveToneCommon2Group>>, nullptr,
                     HFiveToneSteps::ResetGroup<HFiveToneCommon2Group>},
};
inline constexpr std::array kFiveToneTablePages{
    HEditorPageEntry{242, "5-Tone Table", F::kToneTableItems, 0, HMakeEditor<HFiveToneTableEditor>,
                     HFiveToneSteps::CompileToneTable, HFiveToneSteps::ResetToneTable}};
inline constexpr std::array kFiveToneSystemPages{
    HEditorPageEntry{243, "5-Tone System", F::kSystemItems, 0, HMakeEditor<HFiveToneSystemEditor>,
                     nullptr, HFiveToneSteps::ResetGroup<HFiveToneSystemGroup>}};
inline constexpr std::array kFiveToneDecodePages{
    HEditorPageEntry{244, "5-Tone Decode", F::kDecodeItems, 0, HMakeEditor<HFiveToneDecodeEditor>,
                     nullptr, HFiveToneSteps::ResetGroup<HFiveToneDecodeGroup>}};
inline constexpr std::array kFiveToneEncodePages{
    HEditorPageEntry{245, "5Tone Encode", F::kEncodeItems, 0, HMakeEditor<HFiveToneEncodeEditor>,
                     nullptr, HFiveToneSteps::ResetGroup<HFiveToneEncodeGroup>}};

// In Common menu order, then Signalling menu order.
inline constexpr std::array kEntries{
    HEditorEntry{"hardware", HCommonCmd::kHardware, "Hardware", false, kHardwarePages},
    HEditorEntry{"option", HCommonCmd::kOption, "Option", false, kOptionPages},
    HEditorEntry{"scanning", HCommonCmd::kScanning, "Scanning", false, kScanningPages},
    HEditorEntry{"power_saving", HCommonCmd::kPowerSaving, "Power Saving", false,
                 kPowerSavingPages},
    HEditorEntry{"front_panel", HCommonCmd::kFrontPanel, "Front Panel", false, kFrontPanelPages},
    HEditorEntry{"key_function", HCommonCmd::kKeyFunction, "Key Function", false,
                 kKeyFunctionPages},
    HEditorEntry{"emergency", HCommonCmd::kEmergency, "Emergency", false, kEmergencyPages},
    HEditorEntry{"marketing", HCommonCmd::kMarketing, "Marketing Parameters", false,
                 kMarketingPages},
    HEditorEntry{"miscellaneous", HCommonCmd::kMiscellaneous, "Miscellaneous", false,
                 kMiscellaneousPages},
    HEditorEntry{"password", HCommonCmd::kPassword, "Password", true, kPasswordPages},
    HEditorEntry{"dsub_15", HCommonCmd::kDsub15, "DSUB-15", true, kDsubPages},
    HEditorEntry{"direct_ch", HCommonCmd::kDirectCh, "Direct CH Parameters", false, kDirectChPages},
    HEditorEntry{"signalling_type", HSignallingCmd::kSignallingType, "Signalling Type", false,
                 kSignallingTypePages, HEditorFamily::Signalling},
    HEditorEntry{"dtmf_ani", HSignallingCmd::kDtmfAni, "DTMF ANI Setting", false, kDtmfAniPages,
                 HEditorFamily::Signalling},
    HEditorEntry{"dtmf", HSignallingCmd::kDtmf, "DTMF Setting", false, kDtmfSettingPages,
                 HEditorFamily::Signalling},
    HEditorEntry{"dtmf_code", HSignallingCmd::kDtmfCode, "DTMF Code", false, kDtmfCodePages,
                 HEditorFamily::Signalling},
    HEditorEntry{"paging_code", HSignallingCmd::kPagingCode, "Paging Code", false, kPagingCodePages,
                 HEditorFamily::Signalling},
    HEditorEntry{"two_tone_table", HSignallingCmd::k2ToneTable, "2Tone Table", false,
                 kTwoToneTablePages, HEditorFamily::TwoTone},
    HEditorEntry{"two_tone_system", HSignallingCmd::k2ToneSystem, "2-Tone System", false,
                 kTwoToneSystemPages, HEditorFamily::TwoTone},
    HEditorEntry{"two_tone_decode", HSignallingCmd::k2ToneDecode, "2-Tone Decode", true,
                 kTwoToneDecodePages, HEditorFamily::TwoTone},
    HEditorEntry{"two_tone_encode", HSignallingCmd::k2ToneEncode, "2-Tone Encode", true,
                 kTwoToneEncodePages, HEditorFamily::TwoTone},
    // The 2-tone entries (HEditorFamily::TwoTone) and the 5-tone entries
    // (HEditorFamily::FiveTone) follow here in menu order.
    HEditorEntry{"five_tone_common", HSignallingCmd::k5ToneCommon, "5-Tone Common Parameters", true,
                 kFiveToneCommonPages, HEditorFamily::FiveTone},
    HEditorEntry{"five_tone_table", HSignallingCmd::k5ToneTable, "5-Tone Table", false,
                 kFiveToneTablePages, HEditorFamily::FiveTone},
    HEditorEntry{"five_tone_system", HSignallingCmd::k5ToneSystem, "5-Tone System", false,
                 kFiveToneSystemPages, HEditorFamily::FiveTone},
    HEditorEntry{"five_tone_decode", HSignallingCmd::k5ToneDecode, "5-Tone Decode", false,
                 kFiveToneDecodePages, HEditorFamily::FiveTone},
    HEditorEntry{"five_tone_encode", HSignallingCmd::k5ToneEncode, "5Tone Encode", false,
                 kFiveToneEncodePages, HEditorFamily::FiveTone},
};

namespace detail {
// An unshown row is named by its number, is a value of its group that no item
// binds, and its name is no other key of the section.
template <std::size_t N>
constexpr bool UnshownRowsAreSound(const std::array<HEditorPageEntry, N>& pages) {
    for (std::size_t p = 0; p < N; ++p)
        for (const HUnshownRow& row : pages[p].unshown) {
            if (!HUnshownRowIsNamed(row) || std::size_t(row.value) >= pages[p].valueCount)
                return false;
            for (const HEditorItem& item : pages[p].items)
                if (item.value == row.value && item.kind != HItemKind::Static)
                    return false;
            for (std::size_t q = 0; q < N; ++q) {
                for (const HEditorItem& item : pages[q].items)
                    if (item.name == row.name)
                        return false;
                for (const HUnshownRow& other : pages[q].unshown)
                    if (&other != &row && other.name == row.name)
                        return false;
            }
        }
    return true;
}
template <std::size_t N>
constexpr bool PagesAreSound(const std::array<HEditorPageEntry, N>& pages) {
    std::array<std::span<const HEditorItem>, N> items{};
    for (std::size_t i = 0; i < N; ++i) {
        if (pages[i].make == nullptr || !HEditorItemsAreSound(pages[i].items, pages[i].valueCount))
            return false;
        items[i] = pages[i].items;
    }
    return HSectionKeysAreSound(items) && UnshownRowsAreSound(pages);
}
constexpr bool EntriesAreUnique() {
    for (std::size_t i = 0; i < kEntries.size(); ++i) {
        if (!HKeyPartIsWellFormed(kEntries[i].section) || kEntries[i].pages.empty() ||
            kEntries[i].sheet != (kEntries[i].pages.size() > 1))
            return false;
        for (std::size_t j = i + 1; j < kEntries.size(); ++j)
            if (kEntries[i].section == kEntries[j].section ||
                kEntries[i].command == kEntries[j].command)
                return false;
    }
    return true;
}
} // namespace detail

// Each section's keys follow their labels and are unique; sections and
// commands are unique; every item binds a value its group has.
static_assert(detail::PagesAreSound(kHardwarePages));
static_assert(detail::PagesAreSound(kOptionPages));
static_assert(detail::PagesAreSound(kScanningPages));
static_assert(detail::PagesAreSound(kPowerSavingPages));
static_assert(detail::PagesAreSound(kFrontPanelPages));
static_assert(detail::PagesAreSound(kKeyFunctionPages));
static_assert(detail::PagesAreSound(kEmergencyPages));
static_assert(detail::PagesAreSound(kMarketingPages));
static_assert(detail::PagesAreSound(kMiscellaneousPages));
static_assert(detail::PagesAreSound(kPasswordPages));
static_assert(detail::PagesAreSound(kDsubPages));
static_assert(detail::PagesAreSound(kDirectChPages));
static_assert(detail::PagesAreSound(kSignallingTypePages));
static_assert(detail::PagesAreSound(kDtmfAniPages));
static_assert(detail::PagesAreSound(kDtmfSettingPages));
static_assert(detail::PagesAreSound(kDtmfCodePages));
static_assert(detail::PagesAreSound(kPagingCodePages));
static_assert(detail::PagesAreSound(kTwoToneTablePages));
static_assert(detail::PagesAreSound(kTwoToneSystemPages));
static_assert(detail::PagesAreSound(kTwoToneDecodePages));
static_assert(detail::PagesAreSound(kTwoToneEncodePages));
static_assert(detail::PagesAreSound(kFiveToneCommonPages));
static_assert(detail::PagesAreSound(kFiveToneTablePages));
static_assert(detail::PagesAreSound(kFiveToneSystemPages));
static_assert(detail::PagesAreSound(kFiveToneDecodePages));
static_assert(detail::PagesAreSound(kFiveToneEncodePages));
static_assert(detail::EntriesAreUnique());

[[nodiscard]] inline std::span<const HEditorEntry> Entries() {
    return kEntries;
}
[[nodiscard]] const HEditorEntry* FindByCommand(int command);
[[nodiscard]] const HEditorEntry* FindBySection(std::string_view section);

} // namespace HEditorRegistry

// Every setting of the registry over one image, as rp57cli show/get/set and
// tests reach them: each editor opened at an access level, each named item
// found by its key, values shown and set through the editor's own rules.
class HSettingsSession {
public:
    struct Setting {
        std::string key;
        std::string label; // without '&'
        std::string section;
        std::size_t entry = 0;
        std::size_t page = 0;
        std::size_t item = 0;
        // A grid cell ("section.N.column"): its row and column; -1 for items.
        int row = -1;
        int column = -1;
    };

    // Opens every editor over `image` (kept by reference).
    HSettingsSession(HMemoryImage& image, int accessLevel);
    ~HSettingsSession();
    HSettingsSession(const HSettingsSession&) = delete;
    HSettingsSession& operator=(const HSettingsSession&) = delete;

    [[nodiscard]] const std::vector<Setting>& Settings() const { return m_settings; }
    [[nodiscard]] const Setting* Find(std::string_view key) const;
    [[nodiscard]] HEditor& EditorOf(const Setting& s);
    [[nodiscard]] const HEditor& EditorOf(const Setting& s) const;
    // The text the control shows; the stored code of a combo (-1 for others).
    [[nodiscard]] std::string Shown(const Setting& s) const;
    [[nodiscard]] std::int32_t Code(const Setting& s) const;
    [[nodiscard]] bool IsShown(const Setting& s) const;

    // A group row that no item shows (HUnshownRow). It has a key but no shown
    // text, so show leaves it out; get reads its stored number; it cannot be set.
    struct Row {
        std::string key;
        std::string section;
        std::size_t entry = 0;
        std::size_t page = 0;
        std::int32_t value = -1;
    };
    [[nodiscard]] const std::vector<Row>& Rows() const { return m_rows; }
    [[nodiscard]] const Row* FindRow(std::string_view key) const;
    [[nodiscard]] std::int32_t Stored(const Row& r) const;

    // Sets a value as a user would: a combo takes an offered entry's text
    // (case and outer blanks ignored), an edit what one would type, checked
    // against its filter and range. Questions are answered Yes. Empty on
    // success, else why not (with the allowed values or the range).
    [[nodiscard]] std::string Set(const Setting& s, std::string_view value);
    // Confirms every editor that Set touched, in registry order; the image is
    // written then. A Hardware model change makes the image anew through
    // `newImage` first. Non-empty: the editor that refused.
    [[nodiscard]] std::string Confirm(HMemoryImage (*newImage)(int band, int productType,
                                                               int lcdType));
    // What a setting allows, for messages: its entries or its range.
    [[nodiscard]] std::string Allowed(const Setting& s) const;
    // The messages the editors' rules gave (warnings of a confirm).
    [[nodiscard]] std::vector<std::string> Messages() const;

private:
    struct Open;
    HMemoryImage& m_image;
    int m_level;
    std::vector<std::unique_ptr<Open>> m_open; // per entry: its pages' editors
    std::vector<Setting> m_settings;
    std::vector<Row> m_rows;
};
