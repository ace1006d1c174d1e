#pragma once
// The 2-tone editors: the "2Tone Table" dialog over the tone table, the
// Decode, Encode and System grid pages over their records, and the Decode
// Option and Encode Option pages (data only, HDataEditor). Each also gives
// the steps the registry runs outside the dialogs: the tone table compiled
// before a download, and every table's defaults when the signalling type
// switches to 2-tone.
#include "HCommonEditors.h"
#include "HRecordGridEditor.h"
#include "HTwoToneGrids.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace HTwoToneItems {

// ---- 2Tone Table dialog: items in dialog order ----
inline constexpr std::size_t kFrequencyBoxes = 15; // "&0" to "&E": tones 0-E
inline constexpr std::size_t kGroupBoxes = 11;     // the chosen group's read-only frequencies
// The group's boxes come first after the frequency boxes, so that the dialog's
// second column shows group box k beside frequency box k, the box Copy fills.
inline constexpr std::size_t kItemFirstGroupBox = kFrequencyBoxes;
inline constexpr std::size_t kItemToneGroup = kItemFirstGroupBox + kGroupBoxes;
inline constexpr std::size_t kItemBandwidth = kItemToneGroup + 1;
inline constexpr std::size_t kItemCopy = kItemBandwidth + 1;
inline constexpr std::size_t kToneTableItemCount = kItemCopy + 1;
// The dialog's values: the fifteen frequencies, the group, the bandwidth list index.
inline constexpr std::size_t kToneTableValues = kFrequencyBoxes + 2;

// Frequencies 0 (no tone), or 288.5 to 3000.0 Hz: the radio makes nothing
// of a tone between, so such a frequency is refused rather than stored.
inline constexpr HEditSetup kFrequencyEdit{.kind = HValueKind::Decimal,
                                           .maxLength = 6,
                                           .minimum = 288.5,
                                           .maximum = 3000.0,
                                           .format = "%6.1f",
                                           .filter = HFilterMode::Decimal,
                                           .unit = "",
                                           .orZero = true};

// The standard tone groups: 17 names, each with 11 frequencies (0: unused).
inline constexpr std::size_t kToneGroups = 17;
struct HToneGroup {
    std::string_view name;
    std::array<double, kGroupBoxes> hz;
};
extern const std::array<HToneGroup, kToneGroups> kStandardGroups;
inline constexpr std::array<HChoiceEntry, kToneGroups> kToneGroupEntries = {
    HChoiceEntry{"None", 0},         HChoiceEntry{"MOTOROLA-1", 1},
    HChoiceEntry{"MOTOROLA-2", 2},   HChoiceEntry{"MOTOROLA-3", 3},
    HChoiceEntry{"MOTOROLA-4", 4},   HChoiceEntry{"MOTOROLA-5", 5},
    HChoiceEntry{"MOTOROLA-6", 6},   HChoiceEntry{"MOTOROLA-10", 7},
    HChoiceEntry{"MOTOROLA-11", 8},  HChoiceEntry{"GE/99 GRP-A", 9},
    HChoiceEntry{"GE/99 GRP-B", 10}, HChoiceEntry{"GE/99 GRP-C", 11},
    HChoiceEntry{"REACH GRP-A", 12}, HChoiceEntry{"REACH GRP-B", 13},
    HChoiceEntry{"REACH GRP-C", 14}, HChoiceEntry{"REACH GRP-D", 15},
    HChoiceEntry{"REACH GRP-E", 16}};
inline constexpr HChoiceList kToneGroupList = HChoiceTable(kToneGroupEntries);
// "Decode Band Width": index = stored bandwidth - 5, 0.5 % to 5.0 %.
inline constexpr std::int32_t kBandwidthOffset = 5;
inline constexpr HChoiceList kBandwidthList = HChoiceGenerated(46, 5, 1, "%", true);

// clang-format off
inline constexpr std::array<HEditorItem, kToneTableItemCount> kToneTable{
    HEditItem("&0", 0, kFrequencyEdit).Named("0"),   HEditItem("&1", 1, kFrequencyEdit).Named("1"),
    HEditItem("&2", 2, kFrequencyEdit).Named("2"),   HEditItem("&3", 3, kFrequencyEdit).Named("3"),
    HEditItem("&4", 4, kFrequencyEdit).Named("4"),   HEditItem("&5", 5, kFrequencyEdit).Named("5"),
    HEditItem("&6", 6, kFrequencyEdit).Named("6"),   HEditItem("&7", 7, kFrequencyEdit).Named("7"),
    HEditItem("&8", 8, kFrequencyEdit).Named("8"),   HEditItem("&9", 9, kFrequencyEdit).Named("9"),
    HEditItem("&A", 10, kFrequencyEdit).Named("a"),  HEditItem("&B", 11, kFrequencyEdit).Named("b"),
    HEditItem("&C", 12, kFrequencyEdit).Named("c"),  HEditItem("&D", 13, kFrequencyEdit).Named("d"),
    HEditItem("&E", 14, kFrequencyEdit).Named("e"),
    HStaticItem(""), HStaticItem(""), HStaticItem(""), HStaticItem(""), HStaticItem(""),
    HStaticItem(""), HStaticItem(""), HStaticItem(""), HStaticItem(""), HStaticItem(""),
    HStaticItem(""),
    HComboItem("&Tone Group", 15, kToneGroupList),
    HComboItem("Decode Band &Width", 16, kBandwidthList).Named("decode_band_width"),
    // Alt+C is box "&C"'s: Copy takes the first letter no other item has.
    HButtonItem("C&opy"),
};
// clang-format on

// ---- grid pages ----
inline constexpr std::array kDecode{HGridItem("2-TONE Decode")};
inline constexpr std::array kEncode{HGridItem("2-Tone Encode")};
inline constexpr std::array kSystem{HGridItem("2-Tone System")};

// ---- option pages ----
inline constexpr HChoiceList kDisableEnable = HChoiceFixed(HChoiceKind::DisableEnable);
inline constexpr HChoiceList kRepeatList = HChoiceGenerated(16, 0, 50, "time", false, "No Limited");
inline constexpr HChoiceList kIntervalList = HChoiceGenerated(16, 0, 25, "sec", true);
inline constexpr HChoiceList kCallBeepLevelList =
    HChoiceGenerated(10, -10, 10, "", false, "Not Used");
inline constexpr std::array<HChoiceEntry, 32> kEncodeNumberEntries = {
    HChoiceEntry{"ENC No.1", 0},   HChoiceEntry{"ENC No.2", 1},   HChoiceEntry{"ENC No.3", 2},
    HChoiceEntry{"ENC No.4", 3},   HChoiceEntry{"ENC No.5", 4},   HChoiceEntry{"ENC No.6", 5},
    HChoiceEntry{"ENC No.7", 6},   HChoiceEntry{"ENC No.8", 7},   HChoiceEntry{"ENC No.9", 8},
    HChoiceEntry{"ENC No.10", 9},  HChoiceEntry{"ENC No.11", 10}, HChoiceEntry{"ENC No.12", 11},
    HChoiceEntry{"ENC No.13", 12}, HChoiceEntry{"ENC No.14", 13}, HChoiceEntry{"ENC No.15", 14},
    HChoiceEntry{"ENC No.16", 15}, HChoiceEntry{"ENC No.17", 16}, HChoiceEntry{"ENC No.18", 17},
    HChoiceEntry{"ENC No.19", 18}, HChoiceEntry{"ENC No.20", 19}, HChoiceEntry{"ENC No.21", 20},
    HChoiceEntry{"ENC No.22", 21}, HChoiceEntry{"ENC No.23", 22}, HChoiceEntry{"ENC No.24", 23},
    HChoiceEntry{"ENC No.25", 24}, HChoiceEntry{"ENC No.26", 25}, HChoiceEntry{"ENC No.27", 26},
    HChoiceEntry{"ENC No.28", 27}, HChoiceEntry{"ENC No.29", 28}, HChoiceEntry{"ENC No.30", 29},
    HChoiceEntry{"ENC No.31", 30}, HChoiceEntry{"ENC No.32", 31}};
inline constexpr HChoiceList kEncodeNumberList = HChoiceTable(kEncodeNumberEntries);

inline constexpr HEditSetup kAutoResetTimeEdit{.kind = HValueKind::Decimal,
                                               .maxLength = 5,
                                               .minimum = 1,
                                               .maximum = 255,
                                               .format = "%3.1f",
                                               .filter = HFilterMode::Decimal,
                                               .operand = 0.5,
                                               .operation = HDisplayOp::Multiply,
                                               .unit = "sec"};
inline constexpr HEditSetup kTonePeriodEdit{.kind = HValueKind::Decimal,
                                            .maxLength = 5,
                                            .minimum = 1,
                                            .maximum = 255,
                                            .format = "%2.2f",
                                            .filter = HFilterMode::Decimal,
                                            .operand = 0.05,
                                            .operation = HDisplayOp::Multiply,
                                            .unit = "sec"};
inline constexpr HEditSetup kDelayEdit{.kind = HValueKind::Integer,
                                       .maxLength = 4,
                                       .minimum = 1,
                                       .maximum = 255,
                                       .format = "%d",
                                       .filter = HFilterMode::Decimal,
                                       .operand = 10,
                                       .operation = HDisplayOp::Multiply,
                                       .unit = "msec"};

namespace T = HTwoToneTables;
inline constexpr std::array kDecodeOption{
    HComboItem("Auto Reset &Beep", T::kOptAutoResetBeep, kDisableEnable).Named("auto_reset_beep"),
    HComboItem("&Number of Repeat", T::kOptNumberOfRepeat, kRepeatList).Named("number_of_repeat"),
    HComboItem("Beep Rpt &Interval", T::kOptBeepInterval, kIntervalList).Named("beep_rpt_interval"),
    HComboItem("&CALL BEEP Level", T::kOptCallBeepLevel, kCallBeepLevelList)
        .Named("call_beep_level"),
    HEditItem("Auto &Reset Time", T::kOptAutoResetTime, kAutoResetTimeEdit)
        .Named("auto_reset_time"),
};

inline constexpr std::array kEncodeOption{
    HComboItem("Call &1", T::kOptCall1 + 0, kEncodeNumberList).Named("call_1"),
    HComboItem("Call &2", T::kOptCall1 + 1, kEncodeNumberList).Named("call_2"),
    HComboItem("Call &3", T::kOptCall1 + 2, kEncodeNumberList).Named("call_3"),
    HComboItem("Call &4", T::kOptCall1 + 3, kEncodeNumberList).Named("call_4"),
    HComboItem("Call &5", T::kOptCall1 + 4, kEncodeNumberList).Named("call_5"),
    HComboItem("&PTT Call", T::kOptPttCall, kDisableEnable).Named("ptt_call"),
    HEditItem("1&st Tone Period", T::kOptFirstTonePeriod, kTonePeriodEdit).Named("1st_tone_period"),
    HEditItem("2&nd Tone Period", T::kOptSecondTonePeriod, kTonePeriodEdit)
        .Named("2nd_tone_period"),
    HEditItem("&Group Tone Period", T::kOptGroupTonePeriod, kTonePeriodEdit)
        .Named("group_tone_period"),
    HEditItem("Lead In &Delay", T::kOptLeadInDelay, kDelayEdit).Named("lead_in_delay"),
    HEditItem("Lead &Out Delay", T::kOptLeadOutDelay, kDelayEdit).Named("lead_out_delay"),
};

} // namespace HTwoToneItems

// ------------------------------------------------------------------ grid pages
// Each grid page reads its records with the tone table and display type.
using HTwoToneDecodeEditor = HRecordGridEditor<HTwoToneDecodeGroup, HTwoToneGrids::DecodeColumns>;
using HTwoToneEncodeEditor = HRecordGridEditor<HTwoToneEncodeGroup, HTwoToneGrids::EncodeColumns>;
using HTwoToneSystemEditor = HRecordGridEditor<HTwoToneSystemGroup, HTwoToneGrids::SystemColumns>;

// ------------------------------------------------------------------ 2Tone Table
// The fifteen frequency boxes, the standard group list with its eleven boxes
// and Copy, and the decode bandwidth. OK stores the boxes into the frequency
// set, the bandwidth, and then the compiled table.
class HTwoToneTableEditor : private HEditorDetail::GroupHolder<HTwoToneTable>, public HGroupEditor {
public:
    HTwoToneTableEditor(std::uint32_t dialogId, std::string_view caption,
                        std::span<const HEditorItem> items, const HEditorContext& context);

    [[nodiscard]] HTwoToneTable& Table() { return group; }

    void AcquireData() override;
    void InitCombo() override;
    void InitEdit() override;
    void InitStatic() override;
    void SetDataCombo() override;
    void SetDataEdit() override;
    void SaveDataCombo() override;
    void SaveDataEdit() override;
    [[nodiscard]] int StoreData() override;

protected:
    void OnComboChanged(std::size_t item) override;
    void OnButtonPressed(std::size_t item) override;

private:
    void ShowGroup();

    HTwoToneTable m_loaded; // the table as opened
};

// Steps the registry runs outside the dialogs.
namespace HTwoToneSteps {
// The tone table compiled from its frequency set (before every Download).
void CompileToneTable(HMemoryImage& image);
// Each table back to its defaults; bits no row names stay as they are.
void ResetToneTable(HMemoryImage& image);
template <class Group> void ResetGroup(HMemoryImage& image) {
    Group group;
    group.Load(image);
    group.SetDefaults();
    group.Save(image);
}
} // namespace HTwoToneSteps
