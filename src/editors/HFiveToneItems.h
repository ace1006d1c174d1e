#pragma once
// The 5-tone editors as data: their choice lists, edit set-ups and the items
// of the two common pages, each bound to a value of its group and named for
// its key ("five_tone_common.<name>").
#include "HEditor.h"
#include "HFiveToneTables.h"

#include <array>
#include <string_view>

namespace HFiveToneItems {

// ------------------------------------------------------------------ shared lists
inline constexpr std::array<HChoiceEntry, 16> kTone{{
    {"Tone 0", 0},
    {"Tone 1", 1},
    {"Tone 2", 2},
    {"Tone 3", 3},
    {"Tone 4", 4},
    {"Tone 5", 5},
    {"Tone 6", 6},
    {"Tone 7", 7},
    {"Tone 8", 8},
    {"Tone 9", 9},
    {"Tone A", 10},
    {"Tone B", 11},
    {"Tone C", 12},
    {"Tone D", 13},
    {"Tone E", 14},
    {"Tone F", 15},
}};
// The last gap tone may be none: "No Tone" first, then tones 0 to E.
inline constexpr std::array<HChoiceEntry, 16> kLastGapTone{{
    {"No Tone", 0},
    {"Tone 0", 1},
    {"Tone 1", 2},
    {"Tone 2", 3},
    {"Tone 3", 4},
    {"Tone 4", 5},
    {"Tone 5", 6},
    {"Tone 6", 7},
    {"Tone 7", 8},
    {"Tone 8", 9},
    {"Tone 9", 10},
    {"Tone A", 11},
    {"Tone B", 12},
    {"Tone C", 13},
    {"Tone D", 14},
    {"Tone E", 15},
}};
inline constexpr std::array<HChoiceEntry, 32> kEncodeCode{{
    {"ENC No.1", 0},   {"ENC No.2", 1},   {"ENC No.3", 2},   {"ENC No.4", 3},   {"ENC No.5", 4},
    {"ENC No.6", 5},   {"ENC No.7", 6},   {"ENC No.8", 7},   {"ENC No.9", 8},   {"ENC No.10", 9},
    {"ENC No.11", 10}, {"ENC No.12", 11}, {"ENC No.13", 12}, {"ENC No.14", 13}, {"ENC No.15", 14},
    {"ENC No.16", 15}, {"ENC No.17", 16}, {"ENC No.18", 17}, {"ENC No.19", 18}, {"ENC No.20", 19},
    {"ENC No.21", 20}, {"ENC No.22", 21}, {"ENC No.23", 22}, {"ENC No.24", 23}, {"ENC No.25", 24},
    {"ENC No.26", 25}, {"ENC No.27", 26}, {"ENC No.28", 27}, {"ENC No.29", 28}, {"ENC No.30", 29},
    {"ENC No.31", 30}, {"ENC No.32", 31},
}};
inline constexpr HChoiceList kToneList = HChoiceTable(kTone);
inline constexpr HChoiceList kLastGapToneList = HChoiceTable(kLastGapTone);
inline constexpr HChoiceList kEncodeCodeList = HChoiceTable(kEncodeCode);
inline constexpr HChoiceList kOffOn = HChoiceFixed(HChoiceKind::OffOn);

// ------------------------------------------------------------------ Common1
inline constexpr std::array kCommon1{
    HComboItem("&Group", 0, kToneList).Named("group"),
    HComboItem("&Repeat", 1, kToneList).Named("repeat"),
    HComboItem("&Last Gap", 2, kLastGapToneList).Named("last_gap"),
    HComboItem("Call &1 Encode Code", 3, kEncodeCodeList).Named("call_1_encode_code"),
    HComboItem("Call &2 Encode Code", 4, kEncodeCodeList).Named("call_2_encode_code"),
    HComboItem("Call &3 Encode Code", 5, kEncodeCodeList).Named("call_3_encode_code"),
    HComboItem("Call &4 Encode Code", 6, kEncodeCodeList).Named("call_4_encode_code"),
    HComboItem("Call &5 Encode Code", 7, kEncodeCodeList).Named("call_5_encode_code"),
    HComboItem("Call &EMG Enc. Code", 8, kEncodeCodeList).Named("call_emg_enc_code"),
    HCheckItem("&Tag Display", 9, kOffOn).Named("tag_display"),
    HCheckItem("A&NI Display", 10, kOffOn).Named("ani_display"),
    HCheckItem("Display Digit 1", 11, kOffOn).Named("display_digit_1"),
    HCheckItem("Display Digit 2", 12, kOffOn).Named("display_digit_2"),
    HCheckItem("Display Digit 3", 13, kOffOn).Named("display_digit_3"),
    HCheckItem("Display Digit 4", 14, kOffOn).Named("display_digit_4"),
    HCheckItem("Display Digit 5", 15, kOffOn).Named("display_digit_5"),
    HCheckItem("Display Digit 6", 16, kOffOn).Named("display_digit_6"),
    HCheckItem("Display Digit 7", 17, kOffOn).Named("display_digit_7"),
    HCheckItem("Display Digit 8", 18, kOffOn).Named("display_digit_8"),
    HCheckItem("Compare Digit 1", 19, kOffOn).Named("compare_digit_1"),
    HCheckItem("Compare Digit 2", 20, kOffOn).Named("compare_digit_2"),
    HCheckItem("Compare Digit 3", 21, kOffOn).Named("compare_digit_3"),
    HCheckItem("Compare Digit 4", 22, kOffOn).Named("compare_digit_4"),
    HCheckItem("Compare Digit 5", 23, kOffOn).Named("compare_digit_5"),
    HCheckItem("Compare Digit 6", 24, kOffOn).Named("compare_digit_6"),
    HCheckItem("Compare Digit 7", 25, kOffOn).Named("compare_digit_7"),
    HCheckItem("Compare Digit 8", 26, kOffOn).Named("compare_digit_8"),
};
// Items 9-18 (tag, ANI and the eight display digits) need a display.
inline constexpr std::size_t kFirstDisplayItem = 9;
inline constexpr std::size_t kDisplayItems = 10;
static_assert(kCommon1[kFirstDisplayItem].value == 9);
static_assert(kCommon1[kFirstDisplayItem + kDisplayItems - 1].value == 18);

// ------------------------------------------------------------------ Common2
inline constexpr HChoiceList kFiveSecondsList = HChoiceGenerated(16, 0, 50, "sec", false, "Off");
inline constexpr HChoiceList kTranspondTimeList =
    HChoiceGenerated(16, 0, 10, "sec", false, "No Limited");
inline constexpr HChoiceList kBeepRepeatList =
    HChoiceGenerated(16, 0, 50, "times", false, "No Limited");
inline constexpr HChoiceList kBeepIntervalList = HChoiceGenerated(16, 0, 25, "sec", true);
inline constexpr HChoiceList kCallBeepLevelList = HChoiceGenerated(9, 0, 10);
inline constexpr HChoiceList kAckRetriesList = HChoiceGenerated(16, 0, 10, "times");
inline constexpr HChoiceList kMinDecodeDigitList = HChoiceGenerated(8, 10, 10);
inline constexpr std::array<HChoiceEntry, 2> kSignallingMonitor{
    {{"Sub Audio + 5Tone", 0}, {"5Tone", 1}}};
inline constexpr HChoiceList kSignallingMonitorList = HChoiceTable(kSignallingMonitor);

// Tone times in 10 ms steps: 10 to 2500 ms (2550 for the delays).
inline constexpr HEditSetup kToneTime{
    HValueKind::Integer, 4, 1, 250, "%d", HFilterMode::Decimal, 10, HDisplayOp::Multiply, " msec"};
inline constexpr HEditSetup kDelayTime{
    HValueKind::Integer, 4, 1, 255, "%d", HFilterMode::Decimal, 10, HDisplayOp::Multiply, " msec"};
inline constexpr HEditSetup kTranspondDelay{
    HValueKind::Integer, 4, 0, 15, "%d", HFilterMode::Decimal, 100, HDisplayOp::Multiply, " msec"};
inline constexpr HEditSetup kAutoResetTime{
    HValueKind::Decimal,  5,     1, 255, "%3.1f", HFilterMode::Decimal, 0.5,
    HDisplayOp::Multiply, " sec"};
inline constexpr HEditSetup kAckDecodeTime{
    HValueKind::Integer, 2, 1, 15, "%d", HFilterMode::Decimal, 0, HDisplayOp::None, " sec"};
// 0, the value a new radio holds, stays possible: a range of 1 to 255 would
// turn it into 1 s on the first OK.
inline constexpr HEditSetup kAutoTxTime{
    HValueKind::Integer, 3, 0, 255, "%d", HFilterMode::Decimal, 0, HDisplayOp::None, " sec"};

inline constexpr std::array kCommon2{
    HComboItem("&Periodic ANI", 0, kFiveSecondsList).Named("periodic_ani"),
    HComboItem("A&NI Lockout Period", 1, kFiveSecondsList).Named("ani_lockout_period"),
    HComboItem("C&lear to Transpond Time", 2, kTranspondTimeList).Named("clear_to_transpond_time"),
    HComboItem("&Beep Repeat", 3, kBeepRepeatList).Named("beep_repeat"),
    HComboItem("Beep Rpt &Interval", 4, kBeepIntervalList).Named("beep_rpt_interval"),
    HComboItem("CALL BEEP Level(&W)", 5, kCallBeepLevelList).Named("call_beep_level_w"),
    HComboItem("Ac&k Retries", 6, kAckRetriesList).Named("ack_retries"),
    HComboItem("Min Decode &Digit", 7, kMinDecodeDigitList).Named("min_decode_digit"),
    HComboItem("Signalling M&onitor", 8, kSignallingMonitorList).Named("signalling_monitor"),
    HEditItem("&Extended 1st", 9, kToneTime).Named("extended_1st"),
    HEditItem("2nd Last Gap(&Z)", 10, kToneTime).Named("2nd_last_gap_z"),
    HEditItem("Last &Gap", 11, kToneTime).Named("last_gap_2"),
    HEditItem("Lead In Dela&y", 12, kDelayTime).Named("lead_in_delay"),
    HEditItem("Lead O&ut Delay", 13, kDelayTime).Named("lead_out_delay"),
    HEditItem("Tran&spond Delay", 14, kTranspondDelay).Named("transpond_delay"),
    HEditItem("&Auto Reset Time", 15, kAutoResetTime).Named("auto_reset_time"),
    HEditItem("Ack Decode Ti&me", 16, kAckDecodeTime).Named("ack_decode_time"),
    HEditItem("Auto T&X Time", 17, kAutoTxTime).Named("auto_tx_time"),
    HCheckItem("&Clear to Transpond", 18, kOffOn).Named("clear_to_transpond"),
    HCheckItem("P&TT Call", 19, kOffOn).Named("ptt_call"),
    HCheckItem("Auto &Reset Beep", 20, kOffOn).Named("auto_reset_beep"),
    HCheckItem("&5T_ACC Backup", 21, kOffOn).Named("5t_acc_backup"),
    HCheckItem("Port &1", 22, kOffOn).Named("port_1"),
    HCheckItem("Port &2", 23, kOffOn).Named("port_2"),
    HCheckItem("Port &3", 24, kOffOn).Named("port_3"),
    HCheckItem("Port &4", 25, kOffOn).Named("port_4"),
};

static_assert(HEditorItemsAreSound(kCommon1, HFiveToneTables::kCommon1Rows.size()));
static_assert(HEditorItemsAreSound(kCommon2, HFiveToneTables::kCommon2Rows.size()));

// ------------------------------------------------------------------ grid lists
// Texts of the grids' pop-up lists; the stored code is the position.
using HTexts = std::string_view;
inline constexpr std::array<HTexts, 2> kDisableEnableTexts{"Disable", "Enable"};
inline constexpr std::array<HTexts, 2> kOffOnTexts{"Off", "On"};
inline constexpr std::array<HTexts, 3> kMuteTexts{"Disable", "Open", "Close"};
inline constexpr std::array<HTexts, 12> kToneSetTexts{"ZVEI1", "ZVEI2",  "ZVEI3", "PZVEI",
                                                      "DZVEI", "PDZVEI", "CCIR1", "CCIR2",
                                                      "PCCIR", "EEA",    "EIA",   "User"};
inline constexpr std::array<HTexts, 32> kToneNoTexts{
    "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11", "12", "13", "14", "15", "16",
    "17", "18", "19", "20", "21", "22", "23", "24", "25", "26", "27", "28", "29", "30", "31", "32"};

// System
inline constexpr std::array<HTexts, 4> kMonitorSwTexts{"Not Used", "Close", "Open", "Both"};
inline constexpr std::array<HTexts, 3> kChSwTexts{"Disable", "Open", "Close"};
inline constexpr std::array<HTexts, 2> kPttSwTexts{"Disable", "Open"};
inline constexpr std::array<HTexts, 4> kFlowTexts{"Call", "ID+Call", "Call+ID", "ID"};
inline constexpr std::array<HTexts, 4> kAniTexts{"Off", "Both", "Press", "Release"};
inline constexpr std::array<HTexts, 2> kDutyTexts{"Off-Duty", "On-Duty"};
inline constexpr std::array<HTexts, 3> kStatusModeTexts{"Disable", "ID+Status", "Call+Status"};
inline constexpr std::array<HTexts, 2> kStatusDigitTexts{"1 Digit", "2 Digit"};
inline constexpr std::array<HTexts, 2> kDecodeCodeTexts{"No Decode", "Decode"};

// Decode
inline constexpr std::array<HTexts, 35> kTranspondTexts{
    "Disable", "System ID Code", "Caller ID", "Enc-1",  "Enc-2",  "Enc-3",  "Enc-4",
    "Enc-5",   "Enc-6",          "Enc-7",     "Enc-8",  "Enc-9",  "Enc-10", "Enc-11",
    "Enc-12",  "Enc-13",         "Enc-14",    "Enc-15", "Enc-16", "Enc-17", "Enc-18",
    "Enc-19",  "Enc-20",         "Enc-21",    "Enc-22", "Enc-23", "Enc-24", "Enc-25",
    "Enc-26",  "Enc-27",         "Enc-28",    "Enc-29", "Enc-30", "Enc-31", "Enc-32"};
inline constexpr std::array<HTexts, 3> kIdTagTexts{"Disable", "ID Tag", "Dec Tag"};
inline constexpr std::array<HTexts, 5> kLedBlinkTexts{"OFF", "Mode1", "Mode2", "Mode3", "User"};
inline constexpr std::array<HTexts, 3> kLedColorTexts{"Yellow", "Green", "Red"};
inline constexpr std::array<HTexts, 4> kCallDisplayTexts{"Disable", "ON", "Blink", "Off"};
inline constexpr std::array<HTexts, 3> kScanTexts{"Disable", "SCAN", "Stop"};
inline constexpr std::array<HTexts, 8> kBeepToneTexts{"Disable", "A", "B", "C", "D", "E", "F", "G"};
inline constexpr std::array<HTexts, 2> kBeepModeTexts{"Single", "Repeat"};
inline constexpr std::array<HTexts, 4> kStunTexts{"Disable", "Revive", "Stun", "Kill"};
inline constexpr std::array<HTexts, 3> kAccTexts{"Disable", "Off", "On"};

// Encode
inline constexpr std::array<HTexts, 2> kInputDigitTexts{"No Display & No Selectable",
                                                        "Display & Selectable"};

} // namespace HFiveToneItems
