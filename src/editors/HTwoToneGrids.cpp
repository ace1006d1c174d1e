#include "HTwoToneGrids.h"

#include "HFiveToneGroups.h"
#include "HText.h"

using namespace HTwoToneTables;

namespace HTwoToneGrids {
namespace {

using C = HTwoToneColumn;
using M = HTwoToneRecords;

// The tag and call display cells need a radio with a display.
bool HasDisplay(const M& m, int) {
    return m.DisplayType() != 0;
}

std::string ToneText(const C& col, const M& m, int record, int) {
    return m.Tones().ToneText(m.GetField(record, col.field));
}

std::vector<std::string> ToneTexts(const C&, const M& m) {
    return ToneList(m);
}

// A tone as its cell or list shows it, its code alone ("3", "e"), or no tone
// ("" or "F").
bool StoreTone(const C& col, M& m, int record, int, std::string_view text) {
    const std::string t = HText::Upper(HText::Trim(text));
    int code = -1;
    if (t.empty() || t == "F") {
        code = kNoTone;
    } else if (t.size() == 1 && HToneDigits::IsDigit(t[0])) {
        code = t[0] <= '9' ? t[0] - '0' : t[0] - 'A' + 10;
    } else {
        for (int c = 0; c < kNoTone; ++c)
            if (t == HText::Upper(m.Tones().ToneText(c)))
                code = c;
    }
    if (code < 0)
        return false;
    m.SetField(record, col.field, code);
    return true;
}

constexpr auto Number = HGridNumberText<M, HGridNoMore>;
constexpr auto NoStore = HGridStoreNothing<M, HGridNoMore>;
constexpr auto List = HGridListText<M, HGridNoMore>;
constexpr auto StoreList = HGridStoreList<M, HGridNoMore>;
constexpr auto Tick = HGridTickText<M, HGridNoMore>;
constexpr auto StoreTick = HGridStoreTick<M, HGridNoMore>;
constexpr auto Text = HGridFieldText<M, HGridNoMore>;
constexpr auto StoreText = HGridStoreText<M, HGridNoMore>;

// Tone cells: the 1st tone's list names the 2nd's frequency too, so both redraw.
constexpr std::uint32_t kBothTones = HGridBit(2) | HGridBit(3);

// clang-format off
constexpr std::array<C, 10> kDecodeColumns{{
    {.header = "No.", .dependants = HGridBit(0), .text = Number, .store = NoStore},
    {.header = "TAG", .name = "tag", .field = kDecTag, .edit = HCellEdit::Text, .maxLength = kTagChars, .keys = HKeyFilter::SignalTag, .enabled = HasDisplay, .dependants = HGridBit(1), .text = Text, .store = StoreText},
    {.header = "1st Tone", .name = "1st_tone", .field = kDecFirstTone, .edit = HCellEdit::List, .listTexts = ToneTexts, .dependants = kBothTones, .text = ToneText, .store = StoreTone},
    {.header = "2nd Tone", .name = "2nd_tone", .field = kDecSecondTone, .edit = HCellEdit::List, .listTexts = ToneTexts, .dependants = kBothTones, .text = ToneText, .store = StoreTone},
    {.header = "Mute Mode", .name = "mute_mode", .field = kDecMuteMode, .edit = HCellEdit::List, .values = kMuteModeTexts, .dependants = HGridBit(4), .text = List, .store = StoreList},
    {.header = "Call Display", .name = "call_display", .field = kDecCallDisplay, .edit = HCellEdit::List, .values = kCallDisplayTexts, .enabled = HasDisplay, .dependants = HGridBit(5), .text = List, .store = StoreList},
    {.header = "LED Blink", .name = "led_blink", .field = kDecLedBlink, .edit = HCellEdit::List, .values = kLedBlinkTexts, .dependants = HGridBit(6), .text = List, .store = StoreList},
    {.header = "LED Color", .name = "led_color", .field = kDecLedColour, .edit = HCellEdit::List, .values = kLedColourTexts, .dependants = HGridBit(7), .text = List, .store = StoreList},
    {.header = "Call Beep Tone", .name = "call_beep_tone", .field = kDecCallBeepTone, .edit = HCellEdit::List, .values = kCallBeepToneTexts, .dependants = HGridBit(8), .text = List, .store = StoreList},
    {.header = "Beep Mode", .name = "beep_mode", .field = kDecBeepMode, .edit = HCellEdit::List, .values = kBeepModeTexts, .dependants = HGridBit(9), .text = List, .store = StoreList},
}};

constexpr std::array<C, 4> kEncodeColumns{{
    {.header = "ENC No.", .dependants = HGridBit(0), .text = Number, .store = NoStore},
    {.header = "TAG", .name = "tag", .field = kEncTag, .edit = HCellEdit::Text, .maxLength = kTagChars, .keys = HKeyFilter::SignalTag, .enabled = HasDisplay, .dependants = HGridBit(1), .text = Text, .store = StoreText},
    {.header = "1st Tone", .name = "1st_tone", .field = kEncFirstTone, .edit = HCellEdit::List, .listTexts = ToneTexts, .dependants = kBothTones, .text = ToneText, .store = StoreTone},
    {.header = "2nd Tone", .name = "2nd_tone", .field = kEncSecondTone, .edit = HCellEdit::List, .listTexts = ToneTexts, .dependants = kBothTones, .text = ToneText, .store = StoreTone},
}};

// A tick column of a system record: Space or a double click toggles its bit.
constexpr C SystemTick(std::string_view header, std::string_view name, int field, int column,
                       std::span<const std::string_view> texts) {
    return {.header = header, .name = name, .field = field, .style = HCellStyle::Tick, .values = texts, .toggleField = field, .dependants = HGridBit(column), .text = Tick, .store = StoreTick};
}

constexpr std::array<C, 17> kSystemColumns{{
    {.header = "No.", .dependants = HGridBit(0), .text = Number, .store = NoStore},
    {.header = "Monitor SW", .name = "monitor_sw", .field = kSysMonitorSw, .edit = HCellEdit::List, .values = kMonitorSwTexts, .dependants = HGridBit(1), .text = List, .store = StoreList},
    {.header = "CH SW", .name = "ch_sw", .field = kSysChSw, .edit = HCellEdit::List, .values = kChSwTexts, .dependants = HGridBit(2), .text = List, .store = StoreList},
    SystemTick("PTT SW AF Open", "ptt_sw_af_open", kSysPttAfOpen, 3, kOffOnTexts),
    SystemTick("Auto Reset", "auto_reset", kSysAutoReset, 4, kOffOnTexts),
    {.header = "Call Encode Tone No.", .name = "call_encode_tone_no", .field = kSysCallToneNo, .edit = HCellEdit::List, .values = kEncodeToneNoTexts, .dependants = HGridBit(5), .text = List, .store = StoreList},
    SystemTick("Call Encode Code Backup", "call_encode_code_backup", kSysCodeBackup, 6, kOffOnTexts),
    SystemTick("Duty", "duty", kSysDuty, 7, kDutyTexts),
    SystemTick("CTCSS/DCS Complement", "ctcss_dcs_complement", kSysComplement, 8, kOffOnTexts),
    SystemTick("Decode Code1", "decode_code1", kSysDecodeCode1 + 0, 9, kDecodeTexts),
    SystemTick("Decode Code2", "decode_code2", kSysDecodeCode1 + 1, 10, kDecodeTexts),
    SystemTick("Decode Code3", "decode_code3", kSysDecodeCode1 + 2, 11, kDecodeTexts),
    SystemTick("Decode Code4", "decode_code4", kSysDecodeCode1 + 3, 12, kDecodeTexts),
    SystemTick("Decode Code5", "decode_code5", kSysDecodeCode1 + 4, 13, kDecodeTexts),
    SystemTick("Decode Code6", "decode_code6", kSysDecodeCode1 + 5, 14, kDecodeTexts),
    SystemTick("Decode Code7", "decode_code7", kSysDecodeCode1 + 6, 15, kDecodeTexts),
    SystemTick("Decode Code8", "decode_code8", kSysDecodeCode1 + 7, 16, kDecodeTexts),
}};
// clang-format on

static_assert(HGridColumnsAreSound(std::span(kDecodeColumns), kDecodeRowCount));
static_assert(HGridColumnsAreSound(std::span(kEncodeColumns), kEncodeRowCount));
static_assert(HGridColumnsAreSound(std::span(kSystemColumns), kSystemRowCount));

} // namespace

std::span<const HTwoToneColumn> DecodeColumns() {
    return kDecodeColumns;
}

std::span<const HTwoToneColumn> EncodeColumns() {
    return kEncodeColumns;
}

std::span<const HTwoToneColumn> SystemColumns() {
    return kSystemColumns;
}

std::vector<std::string> ToneList(const HTwoToneRecords& records) {
    std::vector<std::string> out;
    for (int code = 0; code < kNoTone; ++code)
        out.push_back(records.Tones().ToneText(code));
    out.emplace_back();
    return out;
}

} // namespace HTwoToneGrids
