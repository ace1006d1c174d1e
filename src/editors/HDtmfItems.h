#pragma once
// The DTMF, ANI, paging and signalling-type editors as data: choice lists,
// edit set-ups and items in dialog order, each bound to a value of its group
// (HDtmfGroups.h) and named for its key. HDtmfEditors.h adds their rules.
#include "HCommonItems.h"
#include "HDtmfGroups.h"

#include <array>

namespace HDtmfItems {

namespace S = HDtmfMap::Setting;

// ------------------------------------------------------------------ Signalling Type
inline constexpr std::array<HChoiceEntry, 2> kSignalling{{{"5-TONE", 0}, {"2-TONE", 1}}};
inline constexpr HChoiceList kSignallingList = HChoiceTable(kSignalling);
inline constexpr std::array kSignallingType{
    HComboItem("&Signalling", 0, kSignallingList).Named("signalling")};

// ------------------------------------------------------------------ DTMF Setting
inline constexpr std::array<HChoiceEntry, 8> kPauseTime{{
    {"0.5 sec", 0},
    {"1 sec", 1},
    {"2 sec", 2},
    {"3 sec", 3},
    {"4 sec", 4},
    {"5 sec", 5},
    {"6 sec", 6},
    {"7 sec", 7},
}};
inline constexpr std::array<HChoiceEntry, 2> kDtmfSpeed{{{"50 msec", 0}, {"100 msec", 1}}};
inline constexpr std::array<HChoiceEntry, 3> kAnswerBack{{{"Off", 0}, {"Tone", 1}, {"Code", 2}}};
inline constexpr std::array<HChoiceEntry, 4> kCallTimes{
    {{"Off", 0}, {"1 time", 1}, {"3 times", 2}, {"5 times", 3}}};
inline constexpr std::array<HChoiceEntry, 2> kPagingType{{{"Page Only", 0}, {"Page+ANI", 1}}};
// The page codes are digit codes: A-D are 10-13, * is 14.
inline constexpr std::array<HChoiceEntry, 5> kPageCode{
    {{"A", 10}, {"B", 11}, {"C", 12}, {"D", 13}, {"*", 14}}};
// The pause code list's "OFF" is not a digit: it stands for the pause code
// switched off (HDtmfMap::Setting::kPauseCodeOn), the digit kept as it was.
inline constexpr std::int32_t kPauseOff = 16;
inline constexpr std::array<HChoiceEntry, 17> kPauseCode{{
    {"OFF", kPauseOff},
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
    {"A", 10},
    {"B", 11},
    {"C", 12},
    {"D", 13},
    {"*", 14},
    {"#", 15},
}};
inline constexpr HChoiceList kPauseTimeList = HChoiceTable(kPauseTime);
inline constexpr HChoiceList kDtmfSpeedList = HChoiceTable(kDtmfSpeed);
inline constexpr HChoiceList kAnswerBackList = HChoiceTable(kAnswerBack);
inline constexpr HChoiceList kCallTimesList = HChoiceTable(kCallTimes);
inline constexpr HChoiceList kPagingTypeList = HChoiceTable(kPagingType);
inline constexpr HChoiceList kPageCodeList = HChoiceTable(kPageCode);
inline constexpr HChoiceList kPauseCodeList = HChoiceTable(kPauseCode);

namespace SettingItem {
inline constexpr std::size_t kSeparateCode = 7;
inline constexpr std::size_t kGroupCode = 8;
inline constexpr std::size_t kResetCode = 9;
inline constexpr std::size_t kPauseCode = 10;
// The four code lists that exclude one another.
inline constexpr std::array kExclusive{kSeparateCode, kGroupCode, kResetCode, kPauseCode};
} // namespace SettingItem

using HCommonItems::kDisableEnable;
inline constexpr std::array kDtmfSetting{
    HComboItem("&Pause Time", S::kPauseTime, kPauseTimeList).Named("pause_time"),
    HComboItem("DTMF &Speed", S::kSpeed, kDtmfSpeedList).Named("dtmf_speed"),
    HComboItem("DTMF &Monitor", S::kMonitor, kDisableEnable).Named("dtmf_monitor"),
    HComboItem("&Answer Back", S::kAnswerBack, kAnswerBackList).Named("answer_back"),
    HComboItem("&Call Times", S::kCallTimes, kCallTimesList).Named("call_times"),
    HComboItem("D&TMF Manual Dialling", S::kManualDialling, kDisableEnable)
        .Named("dtmf_manual_dialling"),
    HComboItem("DTM&F Paging Type", S::kPagingType, kPagingTypeList).Named("dtmf_paging_type"),
    HComboItem("Pag&e Separate Code", S::kSeparateCode, kPageCodeList).Named("page_separate_code"),
    HComboItem("Page &Group Code", S::kGroupCode, kPageCodeList).Named("page_group_code"),
    HComboItem("Page &Reset Code", S::kResetCode, kPageCodeList).Named("page_reset_code"),
    HComboItem("&DTMF Pause Code", S::kPauseCode, kPauseCodeList).Named("dtmf_pause_code"),
};
static_assert(kDtmfSetting[SettingItem::kSeparateCode].value == S::kSeparateCode);
static_assert(kDtmfSetting[SettingItem::kGroupCode].value == S::kGroupCode);
static_assert(kDtmfSetting[SettingItem::kResetCode].value == S::kResetCode);
static_assert(kDtmfSetting[SettingItem::kPauseCode].value == S::kPauseCode);

// ------------------------------------------------------------------ DTMF ANI
namespace Ani = HDtmfMap::Ani;
inline constexpr std::array<HChoiceEntry, 2> kAniType{{{"DTMF", 0}, {"MDC1200", 1}}};
inline constexpr std::array<HChoiceEntry, 2> kAniTransmit{
    {{"PTT pressed", 0}, {"PTT released", 1}}};
inline constexpr std::array<HChoiceEntry, 4> kAniDelay{
    {{"50msec", 0}, {"100msec", 1}, {"300msec", 2}, {"500msec", 3}}};
inline constexpr std::array<HChoiceEntry, 4> kAniSpeed{{{"25msec(20degit)", 0},
                                                        {"33msec(15degit)", 1},
                                                        {"50msec(10degit)", 2},
                                                        {"66msec(7.5degit)", 3}}};
inline constexpr HChoiceList kAniTypeList = HChoiceTable(kAniType);
inline constexpr HChoiceList kAniTransmitList = HChoiceTable(kAniTransmit);
inline constexpr HChoiceList kAniDelayList = HChoiceTable(kAniDelay);
inline constexpr HChoiceList kAniSpeedList = HChoiceTable(kAniSpeed);
// A code of up to 15 DTMF digits; its count is the value before it.
inline constexpr HEditSetup kDtmfDigits{HValueKind::Text,
                                        std::uint32_t(HDtmfMap::kCodeDigits),
                                        0,
                                        0,
                                        "%s",
                                        HFilterMode::DtmfDigits,
                                        0,
                                        HDisplayOp::None,
                                        ""};
inline constexpr std::array kDtmfAni{
    HComboItem("&ANI Type", Ani::kType, kAniTypeList).Named("ani_type"),
    HComboItem("ANI &Transmit", Ani::kTransmit, kAniTransmitList).Named("ani_transmit"),
    HComboItem("ANI &Delay", Ani::kDelay, kAniDelayList).Named("ani_delay"),
    HComboItem("ANI &Speed", Ani::kSpeed, kAniSpeedList).Named("ani_speed"),
    HEditItem("ANI &Code", Ani::kCode, kDtmfDigits).Named("ani_code"),
};

// ------------------------------------------------------------------ DTMF Code
// Record r's code is value r * 2 + 1, its count value r * 2.
constexpr std::int32_t DtmfCodeValue(int record) {
    return record * 2 + 1;
}
inline constexpr std::array kDtmfCode{
    HEditItem("DTMF  &1", DtmfCodeValue(0), kDtmfDigits).Named("dtmf_1"),
    HEditItem("DTMF  &2", DtmfCodeValue(1), kDtmfDigits).Named("dtmf_2"),
    HEditItem("DTMF  &3", DtmfCodeValue(2), kDtmfDigits).Named("dtmf_3"),
    HEditItem("DTMF  &4", DtmfCodeValue(3), kDtmfDigits).Named("dtmf_4"),
    HEditItem("DTMF  &5", DtmfCodeValue(4), kDtmfDigits).Named("dtmf_5"),
    HEditItem("DTMF  &6", DtmfCodeValue(5), kDtmfDigits).Named("dtmf_6"),
    HEditItem("DTMF  &7", DtmfCodeValue(6), kDtmfDigits).Named("dtmf_7"),
    HEditItem("DTMF  &8", DtmfCodeValue(7), kDtmfDigits).Named("dtmf_8"),
    HEditItem("DTMF  &9", DtmfCodeValue(8), kDtmfDigits).Named("dtmf_9"),
    HEditItem("DTMF  &0", DtmfCodeValue(9), kDtmfDigits).Named("dtmf_0"),
};

} // namespace HDtmfItems
