#pragma once
// The main window's commands as data: every menu entry, toolbar-only button and
// window-wide key with its command id. The frame builds its menus, toolbar and
// keys from this one table, and code finds a command by its id.
#include "HCommonCommands.h"
#include "HSignallingCommands.h"

#include <array>
#include <cstddef>
#include <string_view>

enum class HCommandKind {
    Command,     // menu entry
    Check,       // menu entry with a check mark
    Separator,   // separator line in `menu`
    Toolbar,     // toolbar button without a menu entry; runs `routesTo`
    Accelerator, // window-wide key without a menu entry
};

struct HCommandRow {
    int id;                    // 0 for separators
    std::string_view menu;     // "&File", "&View/&Item", ...; empty when not in a menu
    std::string_view text;     // menu text with its '&' accelerator
    std::string_view shortcut; // portable key text ("Ctrl+N"), empty for none
    HCommandKind kind;
    int routesTo; // the command whose handler runs (the id itself but for twins)
};

namespace HCmd {
// File
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kFilePrintSetup = 57606;
inline constexpr int kFilePrint = 57607;
inline constexpr int kFilePrintPreview = 57609;
inline constexpr int kFileMru1 = 57616; // recent files 1..4 take 57616..57619
inline constexpr int kFileConvert = 32864;
inline constexpr int kExportCsv = 32863;
inline constexpr int kCompareWith = 32951;
inline constexpr int kOpenBackups = 32952;
inline constexpr int kImportChannels = 32953;
inline constexpr int kConfigure = 32891;
inline constexpr int kAppExit = 57665;
// Edit
inline constexpr int kEditUndo = 57643;
inline constexpr int kEditRedo = 57644;
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditPaste = 57637;
inline constexpr int kEditSetColumn = 32901; // one column for the selected channels
inline constexpr int kEditFind = 57636;
inline constexpr int kEditFindNext = 57640;
// View
inline constexpr int kViewToolbar = 59392;
inline constexpr int kViewStatusBar = 59393;
inline constexpr int kItemFirst = 32821; // item index = id - kItemFirst
inline constexpr int kItemLast = 32838;
inline constexpr int kItemVisible = 32856;
// Common (named with the editor registry)
inline constexpr int kHardware = HCommonCmd::kHardware;
inline constexpr int kOption = HCommonCmd::kOption;
inline constexpr int kScanning = HCommonCmd::kScanning;
inline constexpr int kPowerSaving = HCommonCmd::kPowerSaving;
inline constexpr int kFrontPanel = HCommonCmd::kFrontPanel;
inline constexpr int kKeyFunction = HCommonCmd::kKeyFunction;
inline constexpr int kEmergency = HCommonCmd::kEmergency;
inline constexpr int kMarketing = HCommonCmd::kMarketing;
inline constexpr int kMiscellaneous = HCommonCmd::kMiscellaneous;
inline constexpr int kPassword = HCommonCmd::kPassword;
inline constexpr int kDsub15 = HCommonCmd::kDsub15;
inline constexpr int kDirectCh = HCommonCmd::kDirectCh;
// Signalling (named with the editor registry)
inline constexpr int kSignallingFirst = HSignallingCmd::kSignallingType;
inline constexpr int kSignallingType = HSignallingCmd::kSignallingType;
inline constexpr int kDtmfAni = HSignallingCmd::kDtmfAni;
inline constexpr int kDtmf = HSignallingCmd::kDtmf;
inline constexpr int kDtmfCode = HSignallingCmd::kDtmfCode;
inline constexpr int kPagingCode = HSignallingCmd::kPagingCode;
inline constexpr int k2ToneTable = HSignallingCmd::k2ToneTable;
inline constexpr int k2ToneSystem = HSignallingCmd::k2ToneSystem;
inline constexpr int k2ToneDecode = HSignallingCmd::k2ToneDecode;
inline constexpr int k2ToneEncode = HSignallingCmd::k2ToneEncode;
inline constexpr int k5ToneCommon = HSignallingCmd::k5ToneCommon;
inline constexpr int k5ToneTable = HSignallingCmd::k5ToneTable;
inline constexpr int k5ToneSystem = HSignallingCmd::k5ToneSystem;
inline constexpr int k5ToneDecode = HSignallingCmd::k5ToneDecode;
inline constexpr int k5ToneEncode = HSignallingCmd::k5ToneEncode;
inline constexpr int kSignallingLast = HSignallingCmd::k5ToneEncode;
// Channel
inline constexpr int kChannelAllocation = 32861;
// Radio
inline constexpr int kUpload = 32851;
inline constexpr int kDownload = 32852;
inline constexpr int kBasicAlignment = 32853;
inline constexpr int kChFineAlignment = 32854;
inline constexpr int kAdjustmentRecover = 32855;
inline constexpr int kRadioHistory = 32954;
inline constexpr int kFleetDownload = 32955;
inline constexpr int kToolUpload = 32871;
inline constexpr int kToolDownload = 32872;
// Help
inline constexpr int kGetStarted = 32881;
inline constexpr int kAbout = 32882;
inline constexpr int kAppAbout = 57664;
inline constexpr int kHelpFinder = 57667;
inline constexpr int kHelp = 57670;
inline constexpr int kDefaultHelp = 57671;
} // namespace HCmd

namespace HMainCommands {

using K = HCommandKind;

// Menu order is table order; the menus appear in the order of their first row.
inline constexpr std::array kTable = {
    HCommandRow{HCmd::kFileNew, "&File", "&New", "Ctrl+N", K::Command, HCmd::kFileNew},
    HCommandRow{HCmd::kFileOpen, "&File", "&Open...", "Ctrl+O", K::Command, HCmd::kFileOpen},
    HCommandRow{HCmd::kFileSave, "&File", "&Save", "Ctrl+S", K::Command, HCmd::kFileSave},
    HCommandRow{HCmd::kFileSaveAs, "&File", "Save &As...", "", K::Command, HCmd::kFileSaveAs},
    HCommandRow{0, "&File", "", "", K::Separator, 0},
    HCommandRow{HCmd::kFileConvert, "&File", "File Conver&t", "", K::Command, HCmd::kFileConvert},
    HCommandRow{HCmd::kExportCsv, "&File", "&Export to CSV", "", K::Command, HCmd::kExportCsv},
    HCommandRow{HCmd::kImportChannels, "&File", "&Import Channels...", "", K::Command,
                HCmd::kImportChannels},
    HCommandRow{HCmd::kCompareWith, "&File", "Compare &With...", "", K::Command,
                HCmd::kCompareWith},
    HCommandRow{HCmd::kFleetDownload, "&File", "&Fleet Download...", "", K::Command,
                HCmd::kFleetDownload},
    HCommandRow{HCmd::kOpenBackups, "&File", "Open &Backups Folder", "", K::Command,
                HCmd::kOpenBackups},
    HCommandRow{0, "&File", "", "", K::Separator, 0},
    HCommandRow{HCmd::kFilePrint, "&File", "&Print...", "Ctrl+P", K::Command, HCmd::kFilePrint},
    HCommandRow{HCmd::kFilePrintPreview, "&File", "Print Pre&view", "", K::Command,
                HCmd::kFilePrintPreview},
    HCommandRow{HCmd::kFilePrintSetup, "&File", "P&rint Setup...", "", K::Command,
                HCmd::kFilePrintSetup},
    HCommandRow{0, "&File", "", "", K::Separator, 0},
    HCommandRow{HCmd::kConfigure, "&File", "&Configure", "", K::Command, HCmd::kConfigure},
    HCommandRow{0, "&File", "", "", K::Separator, 0},
    // The recent-file entries (57616..57619) are inserted before this separator.
    HCommandRow{0, "&File", "", "", K::Separator, 0},
    HCommandRow{HCmd::kAppExit, "&File", "E&xit", "", K::Command, HCmd::kAppExit},

    HCommandRow{HCmd::kEditUndo, "&Edit", "&Undo", "Ctrl+Z", K::Command, HCmd::kEditUndo},
    HCommandRow{HCmd::kEditRedo, "&Edit", "&Redo", "Ctrl+Y", K::Command, HCmd::kEditRedo},
    HCommandRow{0, "&Edit", "", "", K::Separator, 0},
    HCommandRow{HCmd::kEditCopy, "&Edit", "&Copy", "Ctrl+C", K::Command, HCmd::kEditCopy},
    HCommandRow{HCmd::kEditPaste, "&Edit", "&Paste", "Ctrl+V", K::Command, HCmd::kEditPaste},
    HCommandRow{HCmd::kEditSetColumn, "&Edit", "&Set Column for Selected Channels...", "",
                K::Command, HCmd::kEditSetColumn},
    HCommandRow{0, "&Edit", "", "", K::Separator, 0},
    HCommandRow{HCmd::kEditFind, "&Edit", "&Find...", "Ctrl+F", K::Command, HCmd::kEditFind},
    HCommandRow{HCmd::kEditFindNext, "&Edit", "Find &Next", "F3", K::Command, HCmd::kEditFindNext},

    HCommandRow{HCmd::kViewToolbar, "&View", "&Toolbar", "", K::Check, HCmd::kViewToolbar},
    HCommandRow{HCmd::kViewStatusBar, "&View", "&Status Bar", "", K::Check, HCmd::kViewStatusBar},
    HCommandRow{0, "&View", "", "", K::Separator, 0},
    // Items in the order of the item visibility flags (index = id - 32821).
    HCommandRow{32821, "&View/&Item", "Pr&i", "", K::Check, 32821},
    HCommandRow{32822, "&View/&Item", "&W/N", "", K::Check, 32822},
    HCommandRow{32823, "&View/&Item", "&TAG", "", K::Check, 32823},
    HCommandRow{32824, "&View/&Item", "Frequenc&y", "", K::Check, 32824},
    HCommandRow{32825, "&View/&Item", "S&ub Audio", "", K::Check, 32825},
    HCommandRow{32826, "&View/&Item", "&Power", "", K::Check, 32826},
    HCommandRow{32827, "&View/&Item", "&Scan", "", K::Check, 32827},
    HCommandRow{32828, "&View/&Item", "T&OT", "", K::Check, 32828},
    HCommandRow{32829, "&View/&Item", "S&quelch", "", K::Check, 32829},
    HCommandRow{32830, "&View/&Item", "&ANI", "", K::Check, 32830},
    HCommandRow{32831, "&View/&Item", "&Encr", "", K::Check, 32831},
    HCommandRow{32832, "&View/&Item", "&Lock Out", "", K::Check, 32832},
    HCommandRow{32833, "&View/&Item", "Pa&ge/Signal", "", K::Check, 32833},
    HCommandRow{32834, "&View/&Item", "Cloc&k Shift", "", K::Check, 32834},
    HCommandRow{32835, "&View/&Item", "A&RTS", "", K::Check, 32835},
    HCommandRow{32836, "&View/&Item", "&Flat AF", "", K::Check, 32836},
    HCommandRow{32837, "&View/&Item", "E&xt Mic", "", K::Check, 32837},
    HCommandRow{32838, "&View/&Item", "DTMF ANI &Monitor", "", K::Check, 32838},
    HCommandRow{0, "&View/&Item", "", "", K::Separator, 0},
    HCommandRow{HCmd::kItemVisible, "&View/&Item", "&Visible", "", K::Command, HCmd::kItemVisible},

    HCommandRow{HCmd::kHardware, "&Common", "&Hardware", "", K::Command, HCmd::kHardware},
    HCommandRow{HCmd::kOption, "&Common", "&Option", "", K::Command, HCmd::kOption},
    HCommandRow{HCmd::kScanning, "&Common", "&Scanning", "", K::Command, HCmd::kScanning},
    HCommandRow{HCmd::kPowerSaving, "&Common", "Power Sa&ving", "", K::Command, HCmd::kPowerSaving},
    HCommandRow{HCmd::kFrontPanel, "&Common", "&Front Panel", "", K::Command, HCmd::kFrontPanel},
    HCommandRow{HCmd::kKeyFunction, "&Common", "&Key Function", "", K::Command, HCmd::kKeyFunction},
    HCommandRow{HCmd::kEmergency, "&Common", "&Emergency", "", K::Command, HCmd::kEmergency},
    HCommandRow{HCmd::kMarketing, "&Common", "&Marketing", "", K::Command, HCmd::kMarketing},
    HCommandRow{HCmd::kMiscellaneous, "&Common", "M&iscellaneous", "", K::Command,
                HCmd::kMiscellaneous},
    HCommandRow{HCmd::kPassword, "&Common", "Pass&word", "", K::Command, HCmd::kPassword},
    HCommandRow{HCmd::kDsub15, "&Common", "&DSUB-15", "", K::Command, HCmd::kDsub15},
    HCommandRow{HCmd::kDirectCh, "&Common", "Di&rect CH", "", K::Command, HCmd::kDirectCh},

    HCommandRow{HCmd::kSignallingType, "&Signalling", "Signalling &Type", "", K::Command,
                HCmd::kSignallingType},
    HCommandRow{0, "&Signalling", "", "", K::Separator, 0},
    HCommandRow{HCmd::kDtmfAni, "&Signalling", "DTMF &ANI", "", K::Command, HCmd::kDtmfAni},
    HCommandRow{HCmd::kDtmf, "&Signalling", "&DTMF", "", K::Command, HCmd::kDtmf},
    HCommandRow{HCmd::kDtmfCode, "&Signalling", "DTMF &Code", "", K::Command, HCmd::kDtmfCode},
    HCommandRow{HCmd::kPagingCode, "&Signalling", "&Paging Code", "", K::Command,
                HCmd::kPagingCode},
    HCommandRow{0, "&Signalling", "", "", K::Separator, 0},
    HCommandRow{HCmd::k2ToneTable, "&Signalling", "2-Tone Ta&ble", "", K::Command,
                HCmd::k2ToneTable},
    HCommandRow{HCmd::k2ToneSystem, "&Signalling", "2-Tone &System", "", K::Command,
                HCmd::k2ToneSystem},
    HCommandRow{HCmd::k2ToneDecode, "&Signalling", "2-Tone D&ecode", "", K::Command,
                HCmd::k2ToneDecode},
    HCommandRow{HCmd::k2ToneEncode, "&Signalling", "2-Tone E&ncode", "", K::Command,
                HCmd::k2ToneEncode},
    HCommandRow{HCmd::k5ToneCommon, "&Signalling", "5-Tone Co&mmon", "", K::Command,
                HCmd::k5ToneCommon},
    HCommandRow{HCmd::k5ToneTable, "&Signalling", "5-Tone Tab&le", "", K::Command,
                HCmd::k5ToneTable},
    HCommandRow{HCmd::k5ToneSystem, "&Signalling", "5-Tone S&ystem", "", K::Command,
                HCmd::k5ToneSystem},
    HCommandRow{0, "&Signalling", "", "", K::Separator, 0},
    HCommandRow{HCmd::k5ToneDecode, "&Signalling", "&5-Tone Decode", "", K::Command,
                HCmd::k5ToneDecode},
    HCommandRow{HCmd::k5ToneEncode, "&Signalling", "5-Tone Enc&ode", "", K::Command,
                HCmd::k5ToneEncode},

    HCommandRow{HCmd::kChannelAllocation, "Ch&annel", "&Channel Allocations/Group Alpha Tag", "",
                K::Command, HCmd::kChannelAllocation},

    HCommandRow{HCmd::kUpload, "&Radio", "&Upload", "", K::Command, HCmd::kUpload},
    HCommandRow{HCmd::kDownload, "&Radio", "&Download", "", K::Command, HCmd::kDownload},
    HCommandRow{HCmd::kRadioHistory, "&Radio", "&History...", "", K::Command, HCmd::kRadioHistory},
    HCommandRow{0, "&Radio", "", "", K::Separator, 0},
    HCommandRow{HCmd::kBasicAlignment, "&Radio", "Basic &Alignment", "", K::Command,
                HCmd::kBasicAlignment},
    HCommandRow{HCmd::kChFineAlignment, "&Radio", "CH &Fine Alignment", "", K::Command,
                HCmd::kChFineAlignment},
    HCommandRow{HCmd::kAdjustmentRecover, "&Radio", "Adjustment &Recover", "", K::Command,
                HCmd::kAdjustmentRecover},

    HCommandRow{HCmd::kGetStarted, "&Help", "&Get Started", "", K::Command, HCmd::kGetStarted},
    HCommandRow{0, "&Help", "", "", K::Separator, 0},
    HCommandRow{HCmd::kAbout, "&Help", "&About RP57...", "", K::Command, HCmd::kAbout},

    // Toolbar twins of menu commands.
    HCommandRow{HCmd::kToolUpload, "", "Upload", "", K::Toolbar, HCmd::kUpload},
    HCommandRow{HCmd::kToolDownload, "", "Download", "", K::Toolbar, HCmd::kDownload},
    HCommandRow{HCmd::kAppAbout, "", "About", "", K::Toolbar, HCmd::kAbout},
    // The framework's help commands: keys of the whole window.
    HCommandRow{HCmd::kHelpFinder, "", "Help Topics", "", K::Accelerator, HCmd::kHelpFinder},
    HCommandRow{HCmd::kHelp, "", "Help", "F1", K::Accelerator, HCmd::kHelp},
    HCommandRow{HCmd::kDefaultHelp, "", "Help", "", K::Accelerator, HCmd::kDefaultHelp},
};

// The toolbar, left to right; 0 is a gap.
inline constexpr std::array kToolbar = {HCmd::kFileNew,
                                        HCmd::kFileOpen,
                                        HCmd::kFileSave,
                                        0,
                                        HCmd::kEditCopy,
                                        HCmd::kEditPaste,
                                        0,
                                        HCmd::kFilePrint,
                                        0,
                                        HCmd::kToolUpload,
                                        HCmd::kToolDownload,
                                        0,
                                        HCmd::kAppAbout};

inline constexpr int kItemCount = HCmd::kItemLast - HCmd::kItemFirst + 1;

// Which Signalling commands are on, by signalling menu mode (0 5-tone, 1 2-tone)
// and command id minus 32791.
inline constexpr std::array<std::array<bool, 17>, 2> kSignallingEnable = {{
    //  Typ    -    ANI  DTMF  Code  Page  -    2T:Tbl Sys  Dec  Enc  5T:Com Tbl  Sys   -    Dec Enc
    {{true, false, true, true, true, true, false, false, false, false, false, true, true, true,
      false, true, true}},
    {{true, false, true, true, true, true, false, true, true, true, true, false, false, false,
      false, false, false}},
}};

// Index of a command's row, or kTable.size() when there is none. Indices rather
// than pointers keep the table checks constant under the address sanitizer.
[[nodiscard]] constexpr std::size_t IndexOf(int id) {
    for (std::size_t i = 0; i < kTable.size(); ++i)
        if (kTable[i].id == id && kTable[i].kind != HCommandKind::Separator)
            return i;
    return kTable.size();
}

[[nodiscard]] constexpr const HCommandRow* Find(int id) {
    const std::size_t i = IndexOf(id);
    return i < kTable.size() ? &kTable[i] : nullptr;
}

// Whether a command may be on in this signalling menu mode; true for every
// command outside the Signalling range.
[[nodiscard]] constexpr bool SignallingAllows(int mode, int id) {
    if (id < HCmd::kSignallingFirst || id > HCmd::kSignallingLast)
        return true;
    return kSignallingEnable[mode == 0 ? 0 : 1]
                            [static_cast<std::size_t>(id - HCmd::kSignallingFirst)];
}

namespace detail {
constexpr bool IdsUnique() {
    for (std::size_t i = 0; i < kTable.size(); ++i)
        for (std::size_t j = i + 1; j < kTable.size(); ++j)
            if (kTable[i].id != 0 && kTable[i].id == kTable[j].id)
                return false;
    return true;
}
constexpr bool ItemsInFlagOrder() {
    int expected = HCmd::kItemFirst;
    for (const HCommandRow& row : kTable)
        if (row.id >= HCmd::kItemFirst && row.id <= HCmd::kItemLast) {
            if (row.id != expected || row.kind != HCommandKind::Check)
                return false;
            ++expected;
        }
    return expected == HCmd::kItemLast + 1;
}
constexpr bool RoutesResolve() {
    for (const HCommandRow& row : kTable) {
        if (row.kind == HCommandKind::Separator)
            continue;
        const std::size_t target = IndexOf(row.routesTo);
        if (target == kTable.size() || kTable[target].routesTo != kTable[target].id)
            return false;
        if ((row.kind == HCommandKind::Toolbar || row.kind == HCommandKind::Accelerator) !=
            row.menu.empty())
            return false;
    }
    return true;
}
constexpr bool ToolbarKnown() {
    for (int id : kToolbar)
        if (id != 0 && IndexOf(id) == kTable.size())
            return false;
    return true;
}
} // namespace detail

static_assert(detail::IdsUnique(), "a command id appears twice");
static_assert(detail::ItemsInFlagOrder(), "View > Item rows must follow the flag order");
static_assert(detail::RoutesResolve(), "a twin must run a command that runs itself");
static_assert(detail::ToolbarKnown(), "toolbar button without a command");
static_assert(kItemCount == 18);
static_assert(!kSignallingEnable[0][1] && !kSignallingEnable[1][1] && !kSignallingEnable[0][6] &&
                  !kSignallingEnable[1][14],
              "ids without a command stay off");

} // namespace HMainCommands
