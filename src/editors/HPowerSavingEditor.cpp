#include "HPowerSavingEditor.h"

#include <array>

namespace {

constexpr std::array<HChoiceEntry, 8> kTransmitTimer{{
    {"0.5 min", 0},
    {"1   min", 1},
    {"2   min", 2},
    {"3   min", 3},
    {"4   min", 4},
    {"5   min", 5},
    {"6   min", 6},
    {"7   min", 7},
}};
constexpr std::array<HChoiceEntry, 4> kPenaltyTimer{{
    {"0  sec", 0},
    {"6  sec", 1},
    {"20 sec", 2},
    {"60 sec", 3},
}};
constexpr std::array<HChoiceEntry, 4> kReleaseTimer{{
    {"0 sec", 0},
    {"2 sec", 1},
    {"3 sec", 2},
    {"5 sec", 3},
}};
constexpr std::array<HChoiceEntry, 2> kApoTimeMode{{{"Disable", 0}, {"8 h", 1}}};
constexpr std::array<HChoiceEntry, 8> kReceiveSaveMode{{
    {"ABS", 0},
    {"1:1", 1},
    {"1:2", 2},
    {"1:3", 3},
    {"1:4", 4},
    {"1:5", 5},
    {"1:6", 6},
    {"1:7", 7},
}};
// Microphone gains are stored as the amplifier's own setting, not in dB.
constexpr std::array<HChoiceEntry, 7> kMicGain{{
    {"+10dB", 253},
    {"+6dB", 160},
    {"+3dB", 113},
    {"standard", 80},
    {"-3dB", 57},
    {"-6dB", 40},
    {"-10dB", 25},
}};
constexpr std::array<HChoiceEntry, 2> kLampMode{{{"Key on", 0}, {"5 sec", 1}}};

constexpr HChoiceList kTransmitTimerList = HChoiceTable(kTransmitTimer);
constexpr HChoiceList kPenaltyTimerList = HChoiceTable(kPenaltyTimer);
constexpr HChoiceList kReleaseTimerList = HChoiceTable(kReleaseTimer);
constexpr HChoiceList kApoTimeModeList = HChoiceTable(kApoTimeMode);
constexpr HChoiceList kReceiveSaveModeList = HChoiceTable(kReceiveSaveMode);
constexpr HChoiceList kMicGainList = HChoiceTable(kMicGain);
constexpr HChoiceList kLampModeList = HChoiceTable(kLampMode);
constexpr HChoiceList kOffOnList = HChoiceFixed(HChoiceKind::OffOn);
constexpr HChoiceList kDisableEnableList = HChoiceFixed(HChoiceKind::DisableEnable);

// Beep level is a 4-bit row, AF minimum level a byte.
constexpr HEditSetup kBeepLevel{HValueKind::Integer, 2, 0, 15, "%d", HFilterMode::Decimal, 0,
                                HDisplayOp::None,    ""};
constexpr HEditSetup kAfMinLevel{HValueKind::Integer, 3, 0, 255, "%d", HFilterMode::Decimal, 0,
                                 HDisplayOp::None,    ""};
// The power-on tag is shown on the radio's display: the tag edit's characters.
constexpr HEditSetup kPowerOnTag{HValueKind::Text, 8, 0, 0, "%s", HFilterMode::Tag, 0,
                                 HDisplayOp::None, ""};

constexpr std::array kItems{
    HComboItem("&Transmit Timer", 0, kTransmitTimerList),
    HComboItem("&Penalty Timer", 1, kPenaltyTimerList),
    HComboItem("&Release Timer", 2, kReleaseTimerList),
    HComboItem("&APO Time Mode", 3, kApoTimeModeList),
    HComboItem("Re&ceive Save Mode", 4, kReceiveSaveModeList),
    HComboItem("&MIC Gain", 5, kMicGainList),
    HComboItem("&Ext Mic gain", 6, kMicGainList),
    HComboItem("&Lamp Mode", 7, kLampModeList),
    HComboItem("R&X Lamp", 8, kOffOnList),
    HComboItem("&System Save", 9, kDisableEnableList),
    HEditItem("&Beep Level", 10, kBeepLevel),
    HEditItem("AF &Vr Min Level", 11, kAfMinLevel),
    HEditItem("P&ower ON Tag", 12, kPowerOnTag),
};
static_assert(HEditorItemsAreSound(kItems, HMemoryMap::kPowerSavingRows.size()));
static_assert(HMemoryMap::kPowerSavingRows.size() == 13);

} // namespace

std::span<const HEditorItem> HPowerSaving::Items() {
    return kItems;
}

HPowerSavingEditor::HPowerSavingEditor(const HEditorContext& context)
    : HGroupEditor(HPowerSaving::kDialogId, HPowerSaving::kCaption, kItems, context, group) {}
