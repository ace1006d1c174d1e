#pragma once
// The four 5-tone grids as column tables over their models: the tone table
// (one row per tone standard), and the system, decode and encode records.
// Every column names the record field it reads and writes; cells are keyed
// "section.N.name" with N the row number shown in column 0.
#include "HFiveToneGroups.h"
#include "HFiveToneItems.h"
#include "HGridColumn.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// ------------------------------------------------------------------ models
// A 5-tone record table with what its column rules need: whether the radio
// has a display (Hardware row 4), for the tag and display columns.
template <class Group> class HFiveToneRecords : public Group {
public:
    void SetDisplay(bool display) { m_display = display; }
    [[nodiscard]] bool Display() const { return m_display; }

private:
    bool m_display = true;
};

using HFiveToneSystemRecords = HFiveToneRecords<HFiveToneSystemGroup>;
using HFiveToneDecodeRecords = HFiveToneRecords<HFiveToneDecodeGroup>;
using HFiveToneEncodeRecords = HFiveToneRecords<HFiveToneEncodeGroup>;

// The tone table as a grid model: one record per tone standard; fields 0-15
// are its tones' stored values, then its period and its second value.
class HFiveToneTableRecords {
public:
    static constexpr int kFieldPeriod = 16;
    static constexpr int kFieldSecond = 17;
    static constexpr int kFieldCount = 18;

    [[nodiscard]] HFiveToneTable& Data() { return m_table; }
    [[nodiscard]] const HFiveToneTable& Data() const { return m_table; }
    void SetDefaults() {
        m_table.SetDefaults();
        m_loaded.reset();
    }
    void Load(std::span<const std::uint8_t> image) {
        m_table.Load(image);
        m_loaded = m_table;
    }
    // The table with its decode windows recomputed; a table left as it was
    // loaded writes nothing, so the radio's own windows stay.
    void Save(std::span<std::uint8_t> image) {
        if (!m_loaded || !m_table.HoldsSameAs(*m_loaded))
            m_table.Store(image);
    }

    [[nodiscard]] int RecordCount() const { return int(HFiveToneTables::kToneSets); }
    [[nodiscard]] std::int32_t GetField(int record, int field) const;
    // The second value is kept in multiples of 5 (rounded down).
    void SetField(int record, int field, std::int32_t value);
    [[nodiscard]] std::string GetText(int, int) const { return {}; }
    void SetText(int, int, std::string_view) {}

private:
    HFiveToneTable m_table;
    std::optional<HFiveToneTable> m_loaded; // the table as loaded
};

// ------------------------------------------------------------------ cells
namespace HFiveToneCells {
// Whole Hz of a tone, empty for none.
[[nodiscard]] std::string ToneText(const HFiveToneTableRecords& m, int record, int tone);
// A frequency typed in Hz (digits and one '.'); empty or 0 clears the tone.
// False for any other text.
bool StoreTone(HFiveToneTableRecords& m, int record, int tone, std::string_view text);
// A number 0-255 typed in digits; false for any other text.
[[nodiscard]] bool ParseByte(std::string_view text, std::int32_t& value);
} // namespace HFiveToneCells

template <class Model, class More>
[[nodiscard]] std::string HFiveToneDigitsText(const HGridColumn<Model, More>& col, const Model& m,
                                              int record, int) {
    return HToneDigits::ToText(m.GetField(record, col.field));
}

// Up to the column's length of 0-9 and A-E (a-e taken as A-E).
template <class Model, class More>
bool HFiveToneStoreDigits(const HGridColumn<Model, More>& col, Model& m, int record, int,
                          std::string_view text) {
    if (text.size() > col.maxLength)
        return false;
    const std::optional<std::int32_t> packed = HToneDigits::FromText(text);
    if (!packed)
        return false;
    m.SetField(record, col.field, *packed);
    return true;
}

namespace HFiveToneGrids {

namespace I = HFiveToneItems;
namespace T = HFiveToneTables;

// Gives every column of a table its own redraw bit.
template <class Column, std::size_t N>
[[nodiscard]] constexpr std::array<Column, N> SelfRedrawn(std::array<Column, N> columns) {
    for (std::size_t i = 0; i < N; ++i)
        columns[i].dependants = HGridBit(int(i));
    return columns;
}

template <class Model> [[nodiscard]] bool DisplayOn(const Model& m, int) {
    return m.Display();
}

// A pop-up list column over one record field.
template <class Model>
[[nodiscard]] constexpr HGridColumn<Model> List(std::string_view header, std::string_view name,
                                                int field,
                                                std::span<const std::string_view> values) {
    return {.header = header,
            .name = name,
            .field = field,
            .edit = HCellEdit::List,
            .values = values,
            .text = HGridListText<Model>,
            .store = HGridStoreList<Model>};
}

// ------------------------------------------------------------------ tone table
using TM = HFiveToneTableRecords;
std::string SetNameText(const HGridColumn<TM>&, const TM&, int record, int);
std::string ToneColumnText(const HGridColumn<TM>& col, const TM& m, int record, int);
bool StoreToneColumn(const HGridColumn<TM>& col, TM& m, int record, int, std::string_view text);
std::string ByteColumnText(const HGridColumn<TM>& col, const TM& m, int record, int);
bool StoreByteColumn(const HGridColumn<TM>& col, TM& m, int record, int, std::string_view text);

[[nodiscard]] constexpr HGridColumn<TM> ToneColumn(std::string_view header, std::string_view name,
                                                   int tone) {
    return {.header = header,
            .name = name,
            .field = tone,
            .edit = HCellEdit::Text,
            .maxLength = 6,
            .keys = HKeyFilter::Frequency,
            .text = ToneColumnText,
            .store = StoreToneColumn};
}
[[nodiscard]] constexpr HGridColumn<TM> ByteColumn(std::string_view header, std::string_view name,
                                                   int field) {
    return {.header = header,
            .name = name,
            .field = field,
            .edit = HCellEdit::Text,
            .maxLength = 3,
            .keys = HKeyFilter::Frequency,
            .text = ByteColumnText,
            .store = StoreByteColumn};
}

inline constexpr std::array kToneTableColumns = SelfRedrawn(std::array<HGridColumn<TM>, 20>{{
    {.header = "No.", .text = HGridNumberText<TM>, .store = HGridStoreNothing<TM>},
    {.header = "Standard", .text = SetNameText, .store = HGridStoreNothing<TM>},
    ToneColumn("0", "tone_0", 0),
    ToneColumn("1", "tone_1", 1),
    ToneColumn("2", "tone_2", 2),
    ToneColumn("3", "tone_3", 3),
    ToneColumn("4", "tone_4", 4),
    ToneColumn("5", "tone_5", 5),
    ToneColumn("6", "tone_6", 6),
    ToneColumn("7", "tone_7", 7),
    ToneColumn("8", "tone_8", 8),
    ToneColumn("9", "tone_9", 9),
    ToneColumn("A", "tone_a", 10),
    ToneColumn("B", "tone_b", 11),
    ToneColumn("C", "tone_c", 12),
    ToneColumn("D", "tone_d", 13),
    ToneColumn("E", "tone_e", 14),
    ToneColumn("F", "tone_f", 15),
    ByteColumn("Period", "period", TM::kFieldPeriod),
    ByteColumn("Value 2", "value_2", TM::kFieldSecond),
}});
static_assert(HGridColumnsAreSound(std::span(kToneTableColumns), TM::kFieldCount));

// ------------------------------------------------------------------ system
using SM = HFiveToneSystemRecords;
inline constexpr std::array kSystemColumns = SelfRedrawn(std::array<HGridColumn<SM>, 26>{{
    {.header = "No.", .text = HGridNumberText<SM>, .store = HGridStoreNothing<SM>},
    List<SM>("Monitor SW", "monitor_sw", T::kSysMonitorSw, I::kMonitorSwTexts),
    List<SM>("CH SW", "ch_sw", T::kSysChSw, I::kChSwTexts),
    List<SM>("PTT SW", "ptt_sw", T::kSysPttSw, I::kPttSwTexts),
    List<SM>("Repeater Tone Encode", "repeater_tone_encode", T::kSysRepeaterEncode, I::kOffOnTexts),
    List<SM>("Repeater Tone Table", "repeater_tone_table", T::kSysRepeaterTable, I::kToneSetTexts),
    List<SM>("Repeater Encode Tone No.", "repeater_encode_tone_no", T::kSysRepeaterToneNo,
             I::kToneNoTexts),
    List<SM>("Call Tone Table", "call_tone_table", T::kSysCallTable, I::kToneSetTexts),
    List<SM>("Call Encode Tone No.", "call_encode_tone_no", T::kSysCallToneNo, I::kToneNoTexts),
    List<SM>("Call Encode Code Backup", "call_encode_code_backup", T::kSysCodeBackup,
             I::kDisableEnableTexts),
    List<SM>("ID Encode Tone No.", "id_encode_tone_no", T::kSysIdToneNo, I::kToneNoTexts),
    List<SM>("Flow", "flow", T::kSysFlow, I::kFlowTexts),
    List<SM>("ANI Transmission", "ani_transmission", T::kSysAni, I::kAniTexts),
    List<SM>("Auto Reset", "auto_reset", T::kSysAutoReset, I::kDisableEnableTexts),
    List<SM>("CTCSS/DCS Complement", "ctcss_dcs_complement", T::kSysComplement,
             I::kDisableEnableTexts),
    List<SM>("Duty", "duty", T::kSysDuty, I::kDutyTexts),
    List<SM>("Status Mode", "status_mode", T::kSysStatusMode, I::kStatusModeTexts),
    List<SM>("Status Digit", "status_digit", T::kSysStatusDigit, I::kStatusDigitTexts),
    List<SM>("Decode Code1", "decode_code1", T::kSysDecodeCode1 + 0, I::kDecodeCodeTexts),
    List<SM>("Decode Code2", "decode_code2", T::kSysDecodeCode1 + 1, I::kDecodeCodeTexts),
    List<SM>("Decode Code3", "decode_code3", T::kSysDecodeCode1 + 2, I::kDecodeCodeTexts),
    List<SM>("Decode Code4", "decode_code4", T::kSysDecodeCode1 + 3, I::kDecodeCodeTexts),
    List<SM>("Decode Code5", "decode_code5", T::kSysDecodeCode1 + 4, I::kDecodeCodeTexts),
    List<SM>("Decode Code6", "decode_code6", T::kSysDecodeCode1 + 5, I::kDecodeCodeTexts),
    List<SM>("Decode Code7", "decode_code7", T::kSysDecodeCode1 + 6, I::kDecodeCodeTexts),
    List<SM>("Decode Code8", "decode_code8", T::kSysDecodeCode1 + 7, I::kDecodeCodeTexts),
}});
static_assert(HGridColumnsAreSound(std::span(kSystemColumns), T::kSystemRowCount));

// ------------------------------------------------------------------ decode
using DM = HFiveToneDecodeRecords;
// Column 1 and 2: the number and the tag, typed; 8 the call display.
inline constexpr int kDecodeNumberColumn = 1;
inline constexpr int kDecodeTagColumn = 2;
inline constexpr int kDecodeCallDisplayColumn = 7;
inline constexpr std::array kDecodeColumns = SelfRedrawn(std::array<HGridColumn<DM>, 22>{{
    {.header = "No.", .text = HGridNumberText<DM>, .store = HGridStoreNothing<DM>},
    {.header = "Decode No.",
     .name = "decode_no",
     .field = T::kDecNumber,
     .edit = HCellEdit::Text,
     .maxLength = HToneDigits::kMaxDigits,
     .keys = HKeyFilter::ToneDigits,
     .text = HFiveToneDigitsText<DM>,
     .store = HFiveToneStoreDigits<DM>},
    {.header = "TAG",
     .name = "tag",
     .field = T::kDecTag,
     .edit = HCellEdit::Text,
     .maxLength = T::kTagChars,
     .keys = HKeyFilter::SignalTag,
     .enabled = DisplayOn<DM>,
     .text = HGridFieldText<DM>,
     .store = HGridStoreText<DM>},
    List<DM>("Transpond Code", "transpond_code", T::kDecTranspondCode, I::kTranspondTexts),
    List<DM>("ID/Decode TAG", "id_decode_tag", T::kDecIdTag, I::kIdTagTexts),
    List<DM>("LED Blink", "led_blink", T::kDecLedBlink, I::kLedBlinkTexts),
    List<DM>("LED Color", "led_color", T::kDecLedColor, I::kLedColorTexts),
    {.header = "Call/LED Display",
     .name = "call_led_display",
     .field = T::kDecCallDisplay,
     .edit = HCellEdit::List,
     .values = I::kCallDisplayTexts,
     .enabled = DisplayOn<DM>,
     .text = HGridListText<DM>,
     .store = HGridStoreList<DM>},
    List<DM>("Mute Mode", "mute_mode", T::kDecMuteMode, I::kMuteTexts),
    List<DM>("Scan", "scan", T::kDecScan, I::kScanTexts),
    List<DM>("Call Beep Tone", "call_beep_tone", T::kDecBeepTone, I::kBeepToneTexts),
    List<DM>("Beep Mode", "beep_mode", T::kDecBeepMode, I::kBeepModeTexts),
    List<DM>("Stun", "stun", T::kDecStun, I::kStunTexts),
    List<DM>("Auto TX", "auto_tx", T::kDecAutoTx, I::kDisableEnableTexts),
    List<DM>("Emergency", "emergency", T::kDecEmergency, I::kDisableEnableTexts),
    List<DM>("Emergency Off", "emergency_off", T::kDecEmergencyOff, I::kOffOnTexts),
    List<DM>("PTT INH", "ptt_inh", T::kDecPttInh, I::kDisableEnableTexts),
    List<DM>("Status Request", "status_request", T::kDecStatusRequest, I::kDisableEnableTexts),
    List<DM>("ACC Control1", "acc_control1", T::kDecAccControl1 + 0, I::kAccTexts),
    List<DM>("ACC Control2", "acc_control2", T::kDecAccControl1 + 1, I::kAccTexts),
    List<DM>("ACC Control3", "acc_control3", T::kDecAccControl1 + 2, I::kAccTexts),
    List<DM>("ACC Control4", "acc_control4", T::kDecAccControl1 + 3, I::kAccTexts),
}});
static_assert(HGridColumnsAreSound(std::span(kDecodeColumns), T::kDecodeRowCount));
static_assert(kDecodeColumns[kDecodeCallDisplayColumn].field == T::kDecCallDisplay);

// ------------------------------------------------------------------ encode
using EM = HFiveToneEncodeRecords;
inline constexpr int kEncodeNumberColumn = 1;
inline constexpr int kEncodeTagColumn = 2;
inline constexpr std::array kEncodeColumns = SelfRedrawn(std::array<HGridColumn<EM>, 18>{{
    {.header = "No.", .text = HGridNumberText<EM>, .store = HGridStoreNothing<EM>},
    {.header = "Encode No.",
     .name = "encode_no",
     .field = T::kEncNumber,
     .edit = HCellEdit::Text,
     .maxLength = HToneDigits::kMaxDigits,
     .keys = HKeyFilter::ToneDigits,
     .text = HFiveToneDigitsText<EM>,
     .store = HFiveToneStoreDigits<EM>},
    {.header = "TAG",
     .name = "tag",
     .field = T::kEncTag,
     .edit = HCellEdit::Text,
     .maxLength = T::kTagChars,
     .keys = HKeyFilter::SignalTag,
     .enabled = DisplayOn<EM>,
     .text = HGridFieldText<EM>,
     .store = HGridStoreText<EM>},
    List<EM>("AF Mute Mode", "af_mute_mode", T::kEncAfMute, I::kMuteTexts),
    List<EM>("Enable", "enable", T::kEncEnable, I::kDisableEnableTexts),
    List<EM>("First Digit Extend", "first_digit_extend", T::kEncFirstDigitExtend,
             I::kDisableEnableTexts),
    List<EM>("Overwrite", "overwrite", T::kEncOverwrite, I::kDisableEnableTexts),
    List<EM>("Transpond Decode", "transpond_decode", T::kEncTranspondDecode,
             I::kDisableEnableTexts),
    List<EM>("Transpond Beep", "transpond_beep", T::kEncTranspondBeep, I::kDisableEnableTexts),
    List<EM>("Group Digit Selectable", "group_digit_selectable", T::kEncGroupDigit,
             I::kDisableEnableTexts),
    List<EM>("Input Digit 1", "input_digit_1", T::kEncInputDigit1 + 0, I::kInputDigitTexts),
    List<EM>("Input Digit 2", "input_digit_2", T::kEncInputDigit1 + 1, I::kInputDigitTexts),
    List<EM>("Input Digit 3", "input_digit_3", T::kEncInputDigit1 + 2, I::kInputDigitTexts),
    List<EM>("Input Digit 4", "input_digit_4", T::kEncInputDigit1 + 3, I::kInputDigitTexts),
    List<EM>("Input Digit 5", "input_digit_5", T::kEncInputDigit1 + 4, I::kInputDigitTexts),
    List<EM>("Input Digit 6", "input_digit_6", T::kEncInputDigit1 + 5, I::kInputDigitTexts),
    List<EM>("Input Digit 7", "input_digit_7", T::kEncInputDigit1 + 6, I::kInputDigitTexts),
    List<EM>("Input Digit 8", "input_digit_8", T::kEncInputDigit1 + 7, I::kInputDigitTexts),
}});
static_assert(HGridColumnsAreSound(std::span(kEncodeColumns), T::kEncodeRowCount));

} // namespace HFiveToneGrids
