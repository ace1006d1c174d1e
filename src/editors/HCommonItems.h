#pragma once
// The common settings editors as data: their choice lists, edit set-ups and
// items in dialog order, each item bound to a value of its settings group and
// named for its key. The registry (HEditorRegistry.h) puts them together with
// their dialog ids, menu commands and captions; the few editors with rules of
// their own add hooks in HCommonEditors.h.
#include "HEditor.h"
#include "HEditorKeys.h"
#include "HHardwareGroup.h"
#include "HMemoryMap.h"
#include "HOptionGroup.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <utility>

namespace HCommonItems {

using A = HItemAccess;

// ------------------------------------------------------------------ shared lists
inline constexpr HChoiceList kOffOn = HChoiceFixed(HChoiceKind::OffOn);
inline constexpr HChoiceList kDisableEnable = HChoiceFixed(HChoiceKind::DisableEnable);
inline constexpr HChoiceList kNoYes = HChoiceFixed(HChoiceKind::NoYes);
inline constexpr std::array<HChoiceEntry, 16> kLevel16{{
    {"0", 0},
    {"1", 1},
    {"2", 2},
    {"3", 3},
    {"4", 4},
    {"5", 5},
    {"6", 6},
    {"7", 7},
    {"8", 8},
    {"9", 9},
    {"10", 10},
    {"11", 11},
    {"12", 12},
    {"13", 13},
    {"14", 14},
    {"15", 15},
}};
inline constexpr HChoiceList kLevel16List = HChoiceTable(kLevel16);

// ------------------------------------------------------------------ Hardware
// The model lists are shared with the "Model" dialog of File > New.
inline constexpr std::array<HChoiceEntry, 5> kBand{{
    {"VHF", 0},
    {"UHF A", 2},
    {"UHF D", 3},
    {"Low A", 4, false},
    {"Low B", 5, false},
}};
inline constexpr std::array<HChoiceEntry, 2> kProductType{{{"Mobile", 0}, {"Handheld", 2}}};
inline constexpr std::array<HChoiceEntry, 2> kLcdHandheld{
    {{"Non-LCD Type", 0}, {"13Seg LCD Type", 1}}};
inline constexpr std::array<HChoiceEntry, 2> kLcdMobile{{{"LED Type", 0}, {"LCD Type", 1}}};
inline constexpr std::int32_t kLcdType = 1; // mobile display type with a dot-matrix LCD
inline constexpr HChoiceList kBandList = HChoiceTable(kBand);
inline constexpr HChoiceList kProductTypeList = HChoiceTable(kProductType);
inline constexpr HChoiceList kLcdHandheldList = HChoiceTable(kLcdHandheld);
inline constexpr HChoiceList kLcdMobileList = HChoiceTable(kLcdMobile);

inline constexpr std::array<HChoiceEntry, 2> kTxPower{{{"High", 0}, {"Middle", 1}}};
inline constexpr std::array<HChoiceEntry, 2> kLocalOffset{{{"Lower", 0}, {"Upper", 1}}};
inline constexpr std::array<HChoiceEntry, 3> kChanStep{
    {{"5,6.25kHz", 0}, {"5,6.25,2.5kHz", 1}, {"10,12.5kHz", 2}}};
inline constexpr std::array<HChoiceEntry, 2> kDcsData{{{"Normal", 0}, {"Inverted", 1}}};
inline constexpr std::array<HChoiceEntry, 2> kHandheldKey{{{"16key", 0}, {"4key", 1}}};
inline constexpr HChoiceList kTxPowerList = HChoiceTable(kTxPower);
inline constexpr HChoiceList kLocalOffsetList = HChoiceTable(kLocalOffset);
inline constexpr HChoiceList kChanStepList = HChoiceTable(kChanStep);
inline constexpr HChoiceList kSqDelayList = HChoiceGenerated(27, 50, 10, "msec");
inline constexpr HChoiceList kNoiseAttackList = HChoiceGenerated(16, 50, 50, "msec");
inline constexpr HChoiceList kNoiseHysteresisList = HChoiceGenerated(16, 0, 10);
inline constexpr HChoiceList kDcsDataList = HChoiceTable(kDcsData);
inline constexpr HChoiceList kHandheldKeyList = HChoiceTable(kHandheldKey);

// The most Hz that every row a frequency is stored in can hold: the crystal
// goes to rows 13, 19 and 20 (5, 6.25 and 2.5 kHz units), the first IF to
// rows 14, 21 and 22; more would be cut to the rows' bits and wrap round.
[[nodiscard]] constexpr double
HRowsHoldHz(std::initializer_list<std::pair<std::size_t, double>> rows) {
    double most = -1;
    for (const auto& [row, unitHz] : rows) {
        const double held =
            double((std::uint64_t{1} << HMemoryMap::kHardwareRows[row].bitWidth) - 1) * unitHz;
        most = most < 0 || held < most ? held : most;
    }
    return most;
}
inline constexpr double kRefXtalMaxHz = HRowsHoldHz({{13, 5000}, {19, 6250}, {20, 2500}});
inline constexpr double kFirstIfMaxHz = HRowsHoldHz({{14, 5000}, {21, 6250}, {22, 2500}});
static_assert(kRefXtalMaxHz == 40957500 && kFirstIfMaxHz == 81917500);
inline constexpr HEditSetup kRefXtal{
    HValueKind::Decimal, 5,     0, kRefXtalMaxHz, "%-5.2f", HFilterMode::Decimal, 1000000,
    HDisplayOp::Divide,  " MHz"};
inline constexpr HEditSetup kFirstIf{
    HValueKind::Decimal, 5,     0, kFirstIfMaxHz, "%-5.2f", HFilterMode::Decimal, 1000000,
    HDisplayOp::Divide,  " MHz"};
inline constexpr HEditSetup kSqRelease{
    HValueKind::Integer, 3, 1, 64, "%-4d", HFilterMode::Decimal, 5, HDisplayOp::Multiply, "msec"};
inline constexpr HEditSetup kAcont{HValueKind::Integer, 3, 0, 255, "%-4d", HFilterMode::Decimal, 0,
                                   HDisplayOp::None,    ""};
inline constexpr HEditSetup kBandEdge{
    HValueKind::Decimal, 9,     0, 1000000000, "%-9.5f", HFilterMode::Decimal, 1000000,
    HDisplayOp::Divide,  " MHz"};

namespace HardwareItem {
inline constexpr std::size_t kTxPower = 0;
inline constexpr std::size_t kBand = 1;
inline constexpr std::size_t kProductType = 2;
inline constexpr std::size_t kDisplayHandheld = 3;
inline constexpr std::size_t kDisplayMobile = 4;
inline constexpr std::size_t kHandheldKey = 12;
inline constexpr std::size_t kAcont = 16;
inline constexpr std::size_t kRange = 19;
} // namespace HardwareItem

using HW = HHardwareGroup;
inline constexpr std::array kHardware{
    HComboItem("&Mobile TX Power", HW::kRowTxPower, kTxPowerList, A::RaisedLevel)
        .Named("mobile_tx_power"),
    HComboItem("&Freq. Band", HW::kRowBand, kBandList, A::RaisedLevel).Named("freq_band"),
    HComboItem("&Product Type", HW::kRowProductType, kProductTypeList, A::RaisedLevel)
        .Named("product_type"),
    HComboItem("&Display Type", HW::kRowDisplayHandheld, kLcdHandheldList).Named("display_type"),
    HComboItem("&Display Type", HW::kRowDisplayMobile, kLcdMobileList).Named("display_type_2"),
    HComboItem("&Local Offset", HW::kRowLocalOffset, kLocalOffsetList, A::RaisedLevel)
        .Named("local_offset"),
    HComboItem("Chan &Step", HW::kRowStepSet, kChanStepList, A::RaisedLevel).Named("chan_step"),
    HComboItem("SQ D&elay", 7, kSqDelayList, A::RaisedLevel).Named("sq_delay"),
    HComboItem("&Noise SQ Attack Time", 8, kNoiseAttackList, A::RaisedLevel)
        .Named("noise_sq_attack_time"),
    HComboItem("Noise SQ &Hysteresis", 9, kNoiseHysteresisList, A::RaisedLevel)
        .Named("noise_sq_hysteresis"),
    HComboItem("DCS &RX Data", 10, kDcsDataList, A::RaisedLevel).Named("dcs_rx_data"),
    HComboItem("DCS &TX Data", 11, kDcsDataList, A::RaisedLevel).Named("dcs_tx_data"),
    HComboItem("Handheld &key", HW::kRowHandheldKey, kHandheldKeyList, A::RaisedLevel)
        .Named("handheld_key"),
    HEditItem("Ref &XTAL", HW::kRowRefXtal, kRefXtal, A::RaisedLevel).Named("ref_xtal"),
    HEditItem("1st &IF", HW::kRowFirstIf, kFirstIf, A::RaisedLevel).Named("1st_if"),
    HEditItem("S&Q Release Time", HW::kRowSquelchRelease, kSqRelease, A::RaisedLevel)
        .Named("sq_release_time"),
    HEditItem("&ACONT Timing", HW::kRowAcont, kAcont, A::RaisedOnly).Named("acont_timing"),
    HEditItem("From(&1)", HW::kRowBandLow, kBandEdge, A::RaisedLevel).Named("from_1"),
    HEditItem("To(&2)", HW::kRowBandHigh, kBandEdge, A::RaisedLevel).Named("to_2"),
    HStaticItem("Frequency Range %s"),
};
// Recomputed from the crystal and the first IF on every OK.
inline constexpr std::array kHardwareUnshown{HUnshownRow{19, "row_19"}, HUnshownRow{20, "row_20"},
                                             HUnshownRow{21, "row_21"}, HUnshownRow{22, "row_22"}};
static_assert(kHardware[HardwareItem::kBand].value == HW::kRowBand);
static_assert(kHardware[HardwareItem::kProductType].value == HW::kRowProductType);
static_assert(kHardware[HardwareItem::kDisplayHandheld].value == HW::kRowDisplayHandheld);
static_assert(kHardware[HardwareItem::kDisplayMobile].value == HW::kRowDisplayMobile);
static_assert(kHardware[HardwareItem::kHandheldKey].value == HW::kRowHandheldKey);
static_assert(kHardware[HardwareItem::kAcont].value == HW::kRowAcont);
static_assert(kHardware[HardwareItem::kRange].kind == HItemKind::Static);

// ------------------------------------------------------------------ Option
inline constexpr std::array<HChoiceEntry, 4> kDimmer{
    {{"DM0", 0}, {"DM1", 1}, {"DM2", 2}, {"DM3", 3}}};
// Option unit codes: 8, 10 and 11 are stored through row 14 (HOptionGroup).
inline constexpr std::int32_t kUnitRecorder = 5;
inline constexpr std::array<HChoiceEntry, 9> kOptionUnit{{
    {"none", 0},
    {"Encryption Unit", 1},
    {"Encryption Unit 2", 2, false},
    {"Scrambler Unit", 3},
    {"Trunking Unit", 8},
    {"Data Modem Unit", 10},
    {"Data Modem Unit 2", 11, false},
    {"Voice Recorder", kUnitRecorder, false},
    {"VTS Scrambler Unit", 6},
}};
inline constexpr std::array<HChoiceEntry, 2> kRecMode{{{"End Less", 0}, {"Message", 1}}};
inline constexpr std::array<HChoiceEntry, 2> kPlayMode{{{"Play", 0}, {"RX Audio", 1}}};
inline constexpr HChoiceList kDimmerList = HChoiceTable(kDimmer);
inline constexpr HChoiceList kOptionUnitList = HChoiceTable(kOptionUnit);
inline constexpr HChoiceList kRecModeList = HChoiceTable(kRecMode);
inline constexpr HChoiceList kPlayModeList = HChoiceTable(kPlayMode);

inline constexpr std::array kOption{
    HComboItem("LCD C&ontrast", 0, kLevel16List).Named("lcd_contrast"),
    HComboItem("L&ighting", 1, kOffOn).Named("lighting"),
    HComboItem("&Beep", 2, kOffOn).Named("beep"),
    HComboItem("&SQL Level Offset", 3, kLevel16List).Named("sql_level_offset"),
    HComboItem("Di&mmer Level ", 4, kDimmerList).Named("dimmer_level"),
    HComboItem("Option &Unit", HOptionGroup::kValueOptionUnit, kOptionUnitList)
        .Named("option_unit"),
    HComboItem("Mobile &Keypad MIC", 6, kNoYes).Named("mobile_keypad_mic"),
    HComboItem("Rec Mo&de", 7, kRecModeList).Named("rec_mode"),
    HComboItem("&Play Mode", 8, kPlayModeList).Named("play_mode"),
    HComboItem("Power On &REC ON", 9, kNoYes).Named("power_on_rec_on"),
};
// Rows 5 and 14 are shown through the option unit code.
inline constexpr std::array kOptionUnshown{HUnshownRow{10, "row_10"}, HUnshownRow{11, "row_11"},
                                           HUnshownRow{12, "row_12"}, HUnshownRow{13, "row_13"},
                                           HUnshownRow{15, "row_15"}};
inline constexpr std::size_t kOptionKeypadMicValue = 6;

// ------------------------------------------------------------------ Scanning
inline constexpr std::array<HChoiceEntry, 16> kDualWatchTimer{{
    {"0.25 sec", 0},
    {"0.5 sec", 1},
    {"1 sec", 2},
    {"2 sec", 3},
    {"3 sec", 4},
    {"4 sec", 5},
    {"5 sec", 6},
    {"6 sec", 7},
    {"7 sec", 8},
    {"8 sec", 9},
    {"9 sec", 10},
    {"10 sec", 11},
    {"11 sec", 12},
    {"12 sec", 13},
    {"13 sec", 14},
    {"14 sec", 15},
}};
inline constexpr std::array<HChoiceEntry, 16> kResumeTime{{
    {"2 sec", 0},
    {"3 sec", 1},
    {"4 sec", 2},
    {"5 sec", 3},
    {"6 sec", 4},
    {"7 sec", 5},
    {"8 sec", 6},
    {"9 sec", 7},
    {"10 sec", 8},
    {"15 sec", 9},
    {"20 sec", 10},
    {"25 sec", 11},
    {"30 sec", 12},
    {"40 sec", 13},
    {"50 sec", 14},
    {"60 sec", 15},
}};
inline constexpr std::array<HChoiceEntry, 4> kRevertChannel{
    {{"Start Channel", 0}, {"HOME", 1, false}, {"PRI ch", 2}, {"Last Busy", 3}}};
inline constexpr std::array<HChoiceEntry, 2> kScanList{{{"Dealer", 0, false}, {"User", 1}}};
inline constexpr HChoiceList kDualWatchTimerList = HChoiceTable(kDualWatchTimer);
inline constexpr HChoiceList kResumeTimeList = HChoiceTable(kResumeTime);
inline constexpr HChoiceList kRevertChannelList = HChoiceTable(kRevertChannel);
inline constexpr HChoiceList kScanListList = HChoiceTable(kScanList);

inline constexpr std::array kScanning{
    HComboItem("&Dual Watch Timer", 0, kDualWatchTimerList).Named("dual_watch_timer"),
    HComboItem("Scan Resume Time&1", 1, kResumeTimeList).Named("scan_resume_time1"),
    HComboItem("Scan Resume Time&2", 2, kResumeTimeList).Named("scan_resume_time2"),
    HComboItem("&Talk Back", 3, kOffOn).Named("talk_back"),
    HComboItem("&Revert Channel", 4, kRevertChannelList).Named("revert_channel"),
    HComboItem("Scan &Edit", 5, kDisableEnable).Named("scan_edit"),
    HComboItem("&Scan Beep", 6, kOffOn).Named("scan_beep"),
    HComboItem("Sca&n List", 7, kScanListList).Named("scan_list"),
};

// ------------------------------------------------------------------ Power Saving
inline constexpr std::array<HChoiceEntry, 8> kTransmitTimer{{
    {"0.5 min", 0},
    {"1   min", 1},
    {"2   min", 2},
    {"3   min", 3},
    {"4   min", 4},
    {"5   min", 5},
    {"6   min", 6},
    {"7   min", 7},
}};
inline constexpr std::array<HChoiceEntry, 4> kPenaltyTimer{
    {{"0  sec", 0}, {"6  sec", 1}, {"20 sec", 2}, {"60 sec", 3}}};
inline constexpr std::array<HChoiceEntry, 4> kReleaseTimer{
    {{"0 sec", 0}, {"2 sec", 1}, {"3 sec", 2}, {"5 sec", 3}}};
inline constexpr std::array<HChoiceEntry, 2> kApoTimeMode{{{"Disable", 0}, {"8 h", 1}}};
inline constexpr std::array<HChoiceEntry, 8> kReceiveSaveMode{{
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
inline constexpr std::array<HChoiceEntry, 7> kMicGain{{
    {"+10dB", 253},
    {"+6dB", 160},
    {"+3dB", 113},
    {"standard", 80},
    {"-3dB", 57},
    {"-6dB", 40},
    {"-10dB", 25},
}};
inline constexpr std::array<HChoiceEntry, 2> kLampMode{{{"Key on", 0}, {"5 sec", 1}}};
inline constexpr HChoiceList kTransmitTimerList = HChoiceTable(kTransmitTimer);
inline constexpr HChoiceList kPenaltyTimerList = HChoiceTable(kPenaltyTimer);
inline constexpr HChoiceList kReleaseTimerList = HChoiceTable(kReleaseTimer);
inline constexpr HChoiceList kApoTimeModeList = HChoiceTable(kApoTimeMode);
inline constexpr HChoiceList kReceiveSaveModeList = HChoiceTable(kReceiveSaveMode);
inline constexpr HChoiceList kMicGainList = HChoiceTable(kMicGain);
inline constexpr HChoiceList kLampModeList = HChoiceTable(kLampMode);

// Beep level is a 4-bit row, AF minimum level a byte.
inline constexpr HEditSetup kBeepLevel{HValueKind::Integer, 2, 0, 15, "%d", HFilterMode::Decimal, 0,
                                       HDisplayOp::None,    ""};
inline constexpr HEditSetup kByteNumber{
    HValueKind::Integer, 3, 0, 255, "%d", HFilterMode::Decimal, 0, HDisplayOp::None, ""};
// The power-on tag is shown on the radio's display: the tag edit's characters.
inline constexpr HEditSetup kPowerOnTag{HValueKind::Text, 8, 0, 0, "%s", HFilterMode::Tag, 0,
                                        HDisplayOp::None, ""};

inline constexpr std::array kPowerSaving{
    HComboItem("&Transmit Timer", 0, kTransmitTimerList).Named("transmit_timer"),
    HComboItem("&Penalty Timer", 1, kPenaltyTimerList).Named("penalty_timer"),
    HComboItem("&Release Timer", 2, kReleaseTimerList).Named("release_timer"),
    HComboItem("&APO Time Mode", 3, kApoTimeModeList).Named("apo_time_mode"),
    HComboItem("Re&ceive Save Mode", 4, kReceiveSaveModeList).Named("receive_save_mode"),
    HComboItem("&MIC Gain", 5, kMicGainList).Named("mic_gain"),
    HComboItem("&Ext Mic gain", 6, kMicGainList).Named("ext_mic_gain"),
    HComboItem("&Lamp Mode", 7, kLampModeList).Named("lamp_mode"),
    HComboItem("R&X Lamp", 8, kOffOn).Named("rx_lamp"),
    HComboItem("&System Save", 9, kDisableEnable).Named("system_save"),
    HEditItem("&Beep Level", 10, kBeepLevel).Named("beep_level"),
    HEditItem("AF &Vr Min Level", 11, kByteNumber).Named("af_vr_min_level"),
    HEditItem("P&ower ON Tag", 12, kPowerOnTag).Named("power_on_tag"),
};

// ------------------------------------------------------------------ Front Panel
inline constexpr std::array<HChoiceEntry, 2> kRotaryMode{
    {{"Channel select", 0}, {"Group select", 1}}};
inline constexpr std::array<HChoiceEntry, 4> kHoldingTime{
    {{"50  msec", 0}, {"150 msec", 1}, {"300 msec", 2}, {"650 msec", 3}}};
inline constexpr std::array<HChoiceEntry, 16> kLedFunction{{
    {"None", 0},
    {"MON", 1},
    {"SCAN CH", 2},
    {"+4ch", 3, false},
    {"LOW", 4},
    {"TA", 5},
    {"Encryption", 6},
    {"Emergency", 7},
    {"HOME", 8, false},
    {"Horn Alert", 9},
    {"PA", 10},
    {"NB", 11, false},
    {"Lock", 12},
    {"ACC2", 13},
    {"REC/PLAY", 14, false},
    {"RFC", 15},
}};
inline constexpr HChoiceList kRotaryModeList = HChoiceTable(kRotaryMode);
inline constexpr HChoiceList kHoldingTimeList = HChoiceTable(kHoldingTime);
inline constexpr HChoiceList kLedFunctionList = HChoiceTable(kLedFunction);

inline constexpr std::array kFrontPanel{
    HComboItem("Set &Mode", 0, kDisableEnable).Named("set_mode"),
    HComboItem("&Rotary Switch Mode", 1, kRotaryModeList).Named("rotary_switch_mode"),
    HComboItem("&Key Lock", 2, kOffOn).Named("key_lock"),
    HComboItem("Key &Holding Time", 3, kHoldingTimeList).Named("key_holding_time"),
    HComboItem("Panel LED &A", 4, kLedFunctionList).Named("panel_led_a"),
    HComboItem("Panel LED &B", 5, kLedFunctionList).Named("panel_led_b"),
};

// ------------------------------------------------------------------ Key Function
inline constexpr std::int32_t kKeyDualWatch = 4;
inline constexpr std::array<HChoiceEntry, 62> kKeyFunction{{
    {"None", 0},
    {"MON", 1},
    {"DIMMER", 2},
    {"SCAN", 3},
    {"DW", kKeyDualWatch},
    {"LOW", 5},
    {"TA", 6},
    {"TXSAVE Disable", 7, false},
    {"Encryption", 8},
    {"Follow-Me DW", 9},
    {"Group Up", 10},
    {"Group Down", 11},
    {"Channel Up", 12},
    {"Channel Down", 13},
    {"SET", 14},
    {"RESET", 15},
    {"CALL 1", 16},
    {"CALL 2", 17},
    {"CALL 3", 18},
    {"CALL 4", 19, false},
    {"CALL 5", 20, false},
    {"Code Up", 21},
    {"Code Down", 22},
    {"Code SET", 23},
    {"Speed Dial", 24},
    {"Emergency", 25},
    {"LCD INV", 26, false},
    {"Option SW", 27},
    {"Option SW2", 28},
    {"HOME", 29, false},
    {"Selecable Tone", 30, false},
    {"Horn Alert", 31},
    {"Public Address", 32},
    {"Noise Branker", 33, false},
    {"Key Lock", 34},
    {"Follow-Me SCAN", 35},
    {"Ext ACC1", 36},
    {"Ext ACC2", 37},
    {"Direct CH#1", 38},
    {"Direct CH#2", 39},
    {"Direct CH#3", 40, false},
    {"Direct CH#4", 41, false},
    {"REC/PLAY", 42}, // offered with the recorder unit only (rule 1)
    {"SQL SET", 43},
    {"AF Min Vr", 44},
    {"Status SET", 45, false},
    {"Status Up", 46, false},
    {"Status Down", 47, false},
    {"Audio PC", 48, false},
    {"Audio PC(PIT)", 49, false},
    {"Lone Worker", 50},
    {"DTMF CODE SET", 51},
    {"TA SCAN", 52},
    {"SQL OFF", 53},
    {"SCAN SET", 54},
    {"Group SCAN Set", 55},
    {"Group SCAN", 56},
    {"CC UP", 57},
    {"CC Down", 58},
    {"Selectable DSP", 59, false},
    {"Recording", 60}, // likewise
    {"Call", 61},
}};
inline constexpr HChoiceList kKeyFunctionList = HChoiceTable(kKeyFunction);

// Rows 0-5 and 12-17 are short presses, 6-11 and 18-23 long presses; 12-23
// are the microphone's keys.
inline constexpr std::array kKeyFunctionItems{
    HComboItem("[P1] Short Press", 0, kKeyFunctionList).Named("p1_short_press"),
    HComboItem("[P2] Short Press", 1, kKeyFunctionList).Named("p2_short_press"),
    HComboItem("[P3] Short Press", 2, kKeyFunctionList).Named("p3_short_press"),
    HComboItem("[P4] Short Press", 3, kKeyFunctionList).Named("p4_short_press"),
    HComboItem("[Up] Short Press", 4, kKeyFunctionList).Named("up_short_press"),
    HComboItem("[Down] Short Press", 5, kKeyFunctionList).Named("down_short_press"),
    HComboItem("[P1] Long Press", 6, kKeyFunctionList).Named("p1_long_press"),
    HComboItem("[P2] Long Press", 7, kKeyFunctionList).Named("p2_long_press"),
    HComboItem("[P3] Long Press", 8, kKeyFunctionList).Named("p3_long_press"),
    HComboItem("[P4] Long Press", 9, kKeyFunctionList).Named("p4_long_press"),
    HComboItem("[Up] Long Press", 10, kKeyFunctionList).Named("up_long_press"),
    HComboItem("[Down] Long Press", 11, kKeyFunctionList).Named("down_long_press"),
    HComboItem("Mic [A] Short Press", 12, kKeyFunctionList).Named("mic_a_short_press"),
    HComboItem("Mic [B] Short Press", 13, kKeyFunctionList).Named("mic_b_short_press"),
    HComboItem("Mic [C] Short Press", 14, kKeyFunctionList).Named("mic_c_short_press"),
    HComboItem("Mic [D] Short Press", 15, kKeyFunctionList).Named("mic_d_short_press"),
    HComboItem("Mic [*] Short Press", 16, kKeyFunctionList).Named("mic_short_press_star"),
    HComboItem("Mic [#] Short Press", 17, kKeyFunctionList).Named("mic_short_press_hash"),
    HComboItem("Mic [A] Long Press", 18, kKeyFunctionList).Named("mic_a_long_press"),
    HComboItem("Mic [B] Long Press", 19, kKeyFunctionList).Named("mic_b_long_press"),
    HComboItem("Mic [C] Long Press", 20, kKeyFunctionList).Named("mic_c_long_press"),
    HComboItem("Mic [D] Long Press", 21, kKeyFunctionList).Named("mic_d_long_press"),
    HComboItem("Mic [*] Long Press", 22, kKeyFunctionList).Named("mic_long_press_star"),
    HComboItem("Mic [#] Long Press", 23, kKeyFunctionList).Named("mic_long_press_hash"),
};
inline constexpr std::array kKeyFunctionUnshown{
    HUnshownRow{24, "row_24"}, HUnshownRow{25, "row_25"}, HUnshownRow{26, "row_26"}};
inline constexpr std::size_t kKeyRows = 24;
inline constexpr std::size_t kFirstMicKey = 12;

// ------------------------------------------------------------------ Emergency
inline constexpr std::array<HChoiceEntry, 2> kEmergencyChannel{{{"PRI", 0}, {"Direct", 1}}};
inline constexpr std::array<HChoiceEntry, 5> kEmergencyLed{
    {{"OFF", 0}, {"Mode1", 1}, {"Mode2", 2}, {"Mode3", 3}, {"User", 4}}};
inline constexpr std::array<HChoiceEntry, 4> kLedColor{
    {{"OFF", 0}, {"Yellow", 1}, {"Green", 2}, {"Red", 3}}};
inline constexpr HChoiceList kEmergencyChannelList = HChoiceTable(kEmergencyChannel);
inline constexpr HChoiceList kEmergencyLedList = HChoiceTable(kEmergencyLed);
inline constexpr HChoiceList kLedColorList = HChoiceTable(kLedColor);
// 4-bit times in 5-second steps, the key hold time in half seconds.
inline constexpr HChoiceList kEmergencyTimeList = HChoiceGenerated(16, 0, 50, "sec");
inline constexpr HChoiceList kKeyHoldList = HChoiceGenerated(4, 5, 5, "sec", true);
inline constexpr HEditSetup kGroupNumber{
    HValueKind::Integer, 1, 0, 7, "%d", HFilterMode::Decimal, 1, HDisplayOp::Add, ""};
// The DTMF code: up to 15 of the digit symbols; its length is row 21.
inline constexpr std::size_t kEmergencyCodeDigits = 15;
inline constexpr HEditSetup kEmergencyCode{HValueKind::Text,
                                           kEmergencyCodeDigits,
                                           0,
                                           0,
                                           "%s",
                                           HFilterMode::DtmfDigits,
                                           0,
                                           HDisplayOp::None,
                                           ""};
inline constexpr std::size_t kEmergencyCountValue = 21;
inline constexpr std::size_t kEmergencyCodeValue = 22;

inline constexpr std::array kEmergency{
    HComboItem("Emergency &Channel", 0, kEmergencyChannelList).Named("emergency_channel"),
    HEditItem("Emergency Channel &Group", 16, kGroupNumber).Named("emergency_channel_group"),
    HComboItem("Emergency &AF Mute", 1, kOffOn).Named("emergency_af_mute"),
    HComboItem("Emergency &LCD", 2, kOffOn).Named("emergency_lcd"),
    HComboItem("Emergency L&ED", 4, kEmergencyLedList).Named("emergency_led"),
    HComboItem("LED &Blink", 3, kOffOn).Named("led_blink"),
    HComboItem("LED C&olor", 5, kLedColorList).Named("led_color"),
    HComboItem("Emergency &Time", 6, kEmergencyTimeList).Named("emergency_time"),
    HComboItem("Emergency &RX Time", 7, kEmergencyTimeList).Named("emergency_rx_time"),
    HComboItem("Emergency T&X Time", 8, kEmergencyTimeList).Named("emergency_tx_time"),
    HComboItem("Emrg Key &Hold Time", 9, kKeyHoldList).Named("emrg_key_hold_time"),
    HComboItem("Emergency &MIC", 10, kOffOn).Named("emergency_mic"),
    HComboItem("Emergency &Key INH", 11, kOffOn).Named("emergency_key_inh"),
    HComboItem("Emergency &DSP", 12, kOffOn).Named("emergency_dsp"),
    HComboItem("Emergency Rece&ive Flash", 13, kOffOn).Named("emergency_receive_flash"),
    HEditItem("DTM&F Emergency Code", kEmergencyCodeValue, kEmergencyCode)
        .Named("dtmf_emergency_code"),
    HEditItem("Lone &Worker Timer", 17, kByteNumber).Named("lone_worker_timer"),
    HComboItem("Emergency &Silent Mode", 18, kOffOn).Named("emergency_silent_mode"),
};
// Row 21 is shown through the code's digit count.
inline constexpr std::array kEmergencyUnshown{HUnshownRow{14, "row_14"}, HUnshownRow{15, "row_15"},
                                              HUnshownRow{19, "row_19"}, HUnshownRow{20, "row_20"}};

// ------------------------------------------------------------------ Marketing
inline constexpr HChoiceList kMarketList = HChoiceGenerated(100, 0, 10);
inline constexpr HEditSetup kSerialNumber{HValueKind::Text,
                                          HMemoryMap::kSerialNumberChars,
                                          0,
                                          0,
                                          "%s",
                                          HFilterMode::AlphaNumeric,
                                          0,
                                          HDisplayOp::None,
                                          ""};
inline constexpr std::array kMarketing{
    HComboItem("&Market Application", 0, kMarketList).Named("market_application"),
    HEditItem("Serial Number", 2, kSerialNumber).Named("serial_number"),
};
inline constexpr std::array kMarketingUnshown{HUnshownRow{1, "row_1"}};

// ------------------------------------------------------------------ Miscellaneous
inline constexpr std::array<HChoiceEntry, 5> kPowerOnCondition{
    {{"back-up", 0}, {"Group 1", 1}, {"DW", 2}, {"SCAN", 3}, {"Channel", 4}}};
inline constexpr std::array<HChoiceEntry, 4> kTailElim{
    {{"Disable", 0}, {"PTT Delay", 1}, {"120 deg", 2}, {"180 deg", 3}}};
inline constexpr std::array<HChoiceEntry, 3> kArtsMode{{{"TRX", 0}, {"RX", 1}, {"TX", 2}}};
inline constexpr std::array<HChoiceEntry, 2> kArtsTxTime{{{"25 sec", 0}, {"15 sec", 1}}};
inline constexpr std::array<HChoiceEntry, 8> kHornAlertTime{{
    {"No Limited", 0},
    {"10 sec", 1},
    {"20 sec", 2},
    {"30 sec", 3},
    {"40 sec", 4},
    {"50 sec", 5},
    {"60 sec", 6},
    {"3 min", 7},
}};
inline constexpr HChoiceList kPowerOnConditionList = HChoiceTable(kPowerOnCondition);
inline constexpr HChoiceList kTailElimList = HChoiceTable(kTailElim);
inline constexpr HChoiceList kArtsModeList = HChoiceTable(kArtsMode);
inline constexpr HChoiceList kArtsTxTimeList = HChoiceTable(kArtsTxTime);
inline constexpr HChoiceList kHornAlertTimeList = HChoiceTable(kHornAlertTime);
// The split is kept in Hz in a 32-bit word; the group holds signed 32-bit
// values, so the range stops well inside both.
inline constexpr HEditSetup kDefaultSplit{
    HValueKind::Decimal, 9,     0, 1000000000, "%-9.5f", HFilterMode::Decimal, 1000000,
    HDisplayOp::Divide,  " MHz"};
inline constexpr HEditSetup kChannelNumber{
    HValueKind::Integer, 3, 0, 127, "%d", HFilterMode::Decimal, 0, HDisplayOp::None, ""};
inline constexpr HEditSetup kFiveBits{HValueKind::Integer, 2, 0, 31, "%d", HFilterMode::Decimal, 0,
                                      HDisplayOp::None,    ""};

inline constexpr std::array kMiscellaneous{
    HComboItem("&Power On Condition", 0, kPowerOnConditionList).Named("power_on_condition"),
    HComboItem("&Bell", 1, kOffOn).Named("bell"),
    HComboItem("&Noise Cancel MIC", 2, kOffOn).Named("noise_cancel_mic"),
    HComboItem("CTCSS Tai&l Elim", 3, kTailElimList).Named("ctcss_tail_elim"),
    HComboItem("&Radio to Radio Clone", 4, kDisableEnable).Named("radio_to_radio_clone"),
    HComboItem("Power &On Key Lock", 5, kOffOn).Named("power_on_key_lock"),
    HComboItem("&ARTS Mode", 6, kArtsModeList).Named("arts_mode"),
    HComboItem("ART&S Beep", 7, kOffOn).Named("arts_beep"),
    HComboItem("ARTS TX T&ime", 8, kArtsTxTimeList).Named("arts_tx_time"),
    HComboItem("Horn Alert Tim&e", 9, kHornAlertTimeList).Named("horn_alert_time"),
    HComboItem("E&xternal PTT", 10, kDisableEnable).Named("external_ptt"),
    HComboItem("Off Hoo&k Scan", 11, kOffOn).Named("off_hook_scan"),
    HComboItem("O&ff Hook Signalling", 12, kOffOn).Named("off_hook_signalling"),
    HComboItem("Off Hook Call &4", 13, kOffOn).Named("off_hook_call_4"),
    HComboItem("On Hook Call &5", 14, kOffOn).Named("on_hook_call_5"),
    HComboItem("I&gnition Sense", 15, kOffOn).Named("ignition_sense"),
    HEditItem("&Default Split", 16, kDefaultSplit).Named("default_split"),
    HEditItem("&User LED ON Time", 17, kByteNumber).Named("user_led_on_time"),
    HEditItem("User LED OFF &Time", 18, kByteNumber).Named("user_led_off_time"),
    HEditItem("Power On &Channel", 19, kChannelNumber).Named("power_on_channel"),
    HEditItem("", 20, kFiveBits).Named("power_on_channel_group"),
};

// ------------------------------------------------------------------ Password
inline constexpr std::array<HChoiceEntry, 18> kPasswordKey{{
    {"0", 0},
    {"1", 1},
    {"2", 2},
    {"3", 3},
    {"4", 4},
    {"5", 5},
    {"6", 6},
    {"7", 7},
    {"8", 8},
    {"9", 9},
    {"P1", 10},
    {"P2", 11},
    {"P3", 12},
    {"P4", 13},
    {"UP", 14},
    {"DOWN", 15},
    {"P", 16},
    {"PTT", 17, false},
}};
inline constexpr HChoiceList kPasswordKeyList = HChoiceTable(kPasswordKey);
inline constexpr std::size_t kProgrammingPasswordDigits = 6;
inline constexpr HEditSetup kProgrammingPassword{HValueKind::Text,
                                                 kProgrammingPasswordDigits,
                                                 0,
                                                 0,
                                                 "%s",
                                                 HFilterMode::Decimal,
                                                 0,
                                                 HDisplayOp::None,
                                                 ""};

inline constexpr std::array kPowerOnPassword{
    HComboItem("&Power ON Password", 0, kDisableEnable).Named("power_on_password"),
    HComboItem("Password &1", 1, kPasswordKeyList).Named("password_1"),
    HComboItem("Password &2", 2, kPasswordKeyList).Named("password_2"),
    HComboItem("Password &3", 3, kPasswordKeyList).Named("password_3"),
    HComboItem("Password &4", 4, kPasswordKeyList).Named("password_4"),
    HComboItem("Password &5", 5, kPasswordKeyList).Named("password_5"),
    HComboItem("Password &6", 6, kPasswordKeyList).Named("password_6"),
};
inline constexpr std::array kPowerOnPasswordUnshown{HUnshownRow{7, "row_7"}};
inline constexpr std::array kProgrammingPasswordItems{
    HCheckItem("&Programming", 0, kDisableEnable).Named("programming"),
    HEditItem("Programming Pass&word", 1, kProgrammingPassword).Named("programming_password"),
};

// ------------------------------------------------------------------ DSUB-15
inline constexpr std::array<HChoiceEntry, 25> kInputFunction{{
    {"None", 0},
    {"MON", 1},
    {"DIMMER", 2},
    {"Hook", 3},
    {"SCAN", 4},
    {"G-SCAN", 5},
    {"Emergency", 6},
    {"Home", 7, false},
    {"CH SW0", 8},
    {"CH SW1", 9},
    {"CH SW2", 10},
    {"CH SW3", 11},
    {"TX Req.", 12},
    {"Tx Low Power", 13},
    {"Call1", 14},
    {"Call2", 15},
    {"Call3", 16},
    {"Call4", 17, false},
    {"Call5", 18, false},
    {"AF Min Vr", 19},
    {"Ignition", 20, false},
    {"Ext Beep", 21},
    {"Mic PTT Inhibit", 22},
    {"ENC off", 23},
    {"AF Mute", 24},
}};
inline constexpr std::array<HChoiceEntry, 18> kOutputFunction{{
    {"None", 0},
    {"Busy", 1},
    {"AF Mute", 2},
    {"ACC1", 3},
    {"ACC2", 4},
    {"Horn Alert", 5},
    {"Public Address", 6},
    {"PTT", 7},
    {"TX Power", 8},
    {"Emergency", 9},
    {"5T ACC1", 10},
    {"5T ACC2", 11},
    {"5T ACC3", 12, false},
    {"5T ACC4", 13, false},
    {"Direct CH1", 14},
    {"Direct CH2", 15},
    {"Direct CH3", 16, false},
    {"Direct CH4", 17, false},
}};
inline constexpr HChoiceList kInputFunctionList = HChoiceTable(kInputFunction);
inline constexpr HChoiceList kOutputFunctionList = HChoiceTable(kOutputFunction);

// Values 0-5 are the inputs of ports 1-6, 6-11 their outputs.
inline constexpr std::array kDsubPort{
    HComboItem("ACC I/O Port &1 Input", 0, kInputFunctionList).Named("acc_i_o_port_1_input"),
    HComboItem("ACC I/O Port 1 Output", 6, kOutputFunctionList).Named("acc_i_o_port_1_output"),
    HComboItem("ACC I/O Port &2 Input", 1, kInputFunctionList).Named("acc_i_o_port_2_input"),
    HComboItem("ACC I/O Port 2 Output", 7, kOutputFunctionList).Named("acc_i_o_port_2_output"),
    HComboItem("ACC I/O Port &3 Input", 2, kInputFunctionList).Named("acc_i_o_port_3_input"),
    HComboItem("ACC I/O Port 3 Output", 8, kOutputFunctionList).Named("acc_i_o_port_3_output"),
    HComboItem("ACC I/O Port &4 Input", 3, kInputFunctionList).Named("acc_i_o_port_4_input"),
    HComboItem("ACC I/O Port 4 Output", 9, kOutputFunctionList).Named("acc_i_o_port_4_output"),
    HComboItem("ACC Input Port &6 Input", 5, kInputFunctionList).Named("acc_input_port_6_input"),
    HComboItem("ACC Input Port 6 Output", 11, kOutputFunctionList).Named("acc_input_port_6_output"),
    HComboItem("ACC Output Port &5 Input", 4, kInputFunctionList).Named("acc_output_port_5_input"),
    HComboItem("ACC Output Port 5 Output", 10, kOutputFunctionList)
        .Named("acc_output_port_5_output"),
};

// The lists of the switch table and Direct CH are built from the channel model
// when the page opens; these placeholders only give the items their kind.
inline constexpr std::array<HChoiceEntry, 1> kNotUsed{{{"Not Used", 255}}};
inline constexpr HChoiceList kNotUsedList = HChoiceTable(kNotUsed);
inline constexpr std::int32_t kCurrentGroup = 255;
inline constexpr std::int32_t kNoChannel = 255;

inline constexpr std::array kDsubChannelSwitch{
    HComboItem("&Group Tag", 0, kNotUsedList).Named("group_tag"),
    HComboItem("&0", 1, kNotUsedList).Named("0"),
    HComboItem("&1", 2, kNotUsedList).Named("1"),
    HComboItem("&2", 3, kNotUsedList).Named("2"),
    HComboItem("&3", 4, kNotUsedList).Named("3"),
    HComboItem("&4", 5, kNotUsedList).Named("4"),
    HComboItem("&5", 6, kNotUsedList).Named("5"),
    HComboItem("&6", 7, kNotUsedList).Named("6"),
    HComboItem("&7", 8, kNotUsedList).Named("7"),
    HComboItem("&8", 9, kNotUsedList).Named("8"),
    HComboItem("&9", 10, kNotUsedList).Named("9"),
    HComboItem("10(&A)", 11, kNotUsedList).Named("10_a"),
    HComboItem("11(&B)", 12, kNotUsedList).Named("11_b"),
    HComboItem("12(&C)", 13, kNotUsedList).Named("12_c"),
    HComboItem("13(&D)", 14, kNotUsedList).Named("13_d"),
    HComboItem("14(&E)", 15, kNotUsedList).Named("14_e"),
    HComboItem("15(&F)", 16, kNotUsedList).Named("15_f"),
};

// ------------------------------------------------------------------ Direct CH
// Values record by record: 2r the group, 2r + 1 the channel inside it.
inline constexpr std::array kDirectCh{
    HComboItem("Direct CH#&1", 0, kNotUsedList).Named("direct_ch_1_group"),
    HComboItem("", 1, kNotUsedList).Named("direct_ch_1_channel"),
    HComboItem("Direct CH#&2", 2, kNotUsedList).Named("direct_ch_2_group"),
    HComboItem("", 3, kNotUsedList).Named("direct_ch_2_channel"),
    HComboItem("Direct CH#&3", 4, kNotUsedList).Named("direct_ch_3_group"),
    HComboItem("", 5, kNotUsedList).Named("direct_ch_3_channel"),
    HComboItem("Direct CH#&4", 6, kNotUsedList).Named("direct_ch_4_group"),
    HComboItem("", 7, kNotUsedList).Named("direct_ch_4_channel"),
};

} // namespace HCommonItems
