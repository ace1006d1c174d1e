#include "HChannelColumns.h"
#include "HText.h"

#include <algorithm>
#include <cstdio>
#include <limits>

using namespace HChannelTables;

namespace HChannelColumns {
namespace {

using HText::Trim;

using C = HChannelColumn;

constexpr std::uint32_t Bits(std::initializer_list<int> columns) {
    std::uint32_t b = 0;
    for (int c : columns)
        b |= 1u << c;
    return b;
}

std::string Printf(const char* fmt, auto... args) {
    char buf[64];
    const int n = std::snprintf(buf, sizeof buf, fmt, args...);
    return std::string(buf, static_cast<std::size_t>(std::clamp(n, 0, 63)));
}

// A plain decimal number of at most 3 digits; -1 otherwise.
int SmallNumber(std::string_view s) {
    s = Trim(s);
    if (s.empty() || s.size() > 3)
        return -1;
    int v = 0;
    for (char ch : s) {
        if (ch < '0' || ch > '9')
            return -1;
        v = v * 10 + (ch - '0');
    }
    return v;
}

using HGridCells::TickValue;

// ---- cell texts ----

std::string NumberText(const C&, const HChannels&, int c, int) {
    return Printf("%3d", c + 1);
}

std::string TickText(bool ticked) {
    return std::string(ticked ? kTickedText : kUntickedText);
}

std::string PriorityText(const C&, const HChannels& m, int c, int g) {
    return TickText(c >= 0 && m.PriorityChannelOfGroup(g) == c);
}

std::string FieldTickText(const C& col, const HChannels& m, int c, int) {
    return TickText(m.GetField(c, col.field) > 0);
}

// A code no text stands for (a damaged image) is shown as its number rather
// than read past the end of the list.
std::string ValueText(const C& col, const HChannels& m, int c, int) {
    const std::int32_t v = m.GetField(c, col.field);
    if (v >= 0 && static_cast<std::size_t>(v) < col.values.size())
        return std::string(col.values[static_cast<std::size_t>(v)]);
    return Printf("%d", v);
}

std::string NumberFieldText(const C& col, const HChannels& m, int c, int) {
    return Printf("%d", m.GetField(c, col.field));
}

std::string TagText(const C&, const HChannels& m, int c, int) {
    std::string t = m.GetTag(c);
    // The pad byte of a short tag is 0: it is no character of the tag; trailing
    // blanks are padding too, as a tag reads back after a save.
    t.erase(std::find(t.begin(), t.end(), '\0'), t.end());
    while (!t.empty() && t.back() == ' ')
        t.pop_back();
    return t;
}

// The frequency a channel holds: its field, which the model keeps in 32
// bits; a field held at their top stands for counts that name more, and the
// frequency those counts name is shown, as the radio would take it.
std::int64_t HeldHz(const HChannels& m, int c, int which) {
    const std::int32_t field = m.GetField(c, which == 0 ? kFieldRxFrequency : kFieldTxFrequency);
    if (field == std::numeric_limits<std::int32_t>::max())
        return std::max<std::int64_t>(field, m.GetFrequency(c, which));
    return field;
}

std::string RxFrequencyText(const C&, const HChannels& m, int c, int) {
    return FrequencyText(HeldHz(m, c, 0));
}

std::string TxFrequencyText(const C&, const HChannels& m, int c, int) {
    if (m.GetField(c, kFieldTxInhibit) > 0)
        return std::string(kNoTransmitText);
    return FrequencyText(HeldHz(m, c, 1));
}

std::string TxToneText(const C&, const HChannels& m, int c, int) {
    return SubAudioText(m.GetField(c, kFieldTxToneType), m.GetField(c, kFieldTxTone),
                        m.GetField(c, kFieldTxToneFlagI) > 0, m.GetField(c, kFieldTxToneFlagB) > 0);
}

std::string RxToneText(const C&, const HChannels& m, int c, int) {
    return SubAudioText(m.GetField(c, kFieldRxToneType), m.GetField(c, kFieldRxTone),
                        m.GetField(c, kFieldRxToneInverted) > 0, false);
}

// The signalling number: "-" for none; a Page number 10 is keyed as 0.
std::string SignalNumberText(const C&, const HChannels& m, int c, int) {
    const std::int32_t n = m.GetField(c, kFieldSignalNumber);
    if (n == 0)
        return "-";
    if (m.GetField(c, kFieldSignalKind) == 3 && n == 10)
        return "0";
    return Printf("%d", n);
}

// ---- storing pasted texts ----

bool StoreNothing(const C&, HChannels&, int, int, std::string_view) {
    return true;
}

bool StorePriority(const C&, HChannels& m, int c, int g, std::string_view text) {
    const int v = TickValue(text);
    if (v < 0)
        return false;
    // The priority belongs to the group: an unticked cell takes nothing away.
    if (v == 1)
        return m.SetPriorityChannel(c, g).has_value();
    return true;
}

bool StoreTick(const C& col, HChannels& m, int c, int, std::string_view text) {
    const int v = TickValue(text);
    if (v < 0)
        return false;
    m.SetField(c, col.field, v);
    return true;
}

// The list texts a column offers for this model ("EL" only for a handheld set).
std::span<const std::string_view> TextsOffered(const C& col, const HChannels& m) {
    if (col.more.mobileValues != 0 && m.GetHardwareValue(HHardwareGroup::kRowProductType) == 0)
        return col.values.first(col.more.mobileValues);
    return col.values;
}

bool StoreValue(const C& col, HChannels& m, int c, int, std::string_view text) {
    const std::span<const std::string_view> texts = TextsOffered(col, m);
    const std::string_view t = Trim(text);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (texts[i] == t) {
            m.SetField(c, col.field, static_cast<std::int32_t>(i));
            return true;
        }
    }
    return false;
}

bool StoreParsed(const C& col, HChannels& m, int c, int, std::string_view text) {
    return m.ParseCellText(c, col.parseField, text);
}

// A pasted tag is taken only when typing could have made it: the radio would
// blank the other characters without a word.
bool StoreTag(const C& col, HChannels& m, int c, int, std::string_view text) {
    return TagTextTaken(text) && m.ParseCellText(c, col.parseField, text);
}

// The transmit cell also carries the transmit inhibit (field 1), which no other
// column shows: a pasted "---.-----" inhibits, a pasted frequency allows.
bool StoreTxFrequency(const C& col, HChannels& m, int c, int, std::string_view text) {
    if (Trim(text) == kNoTransmitText) {
        m.SetField(c, kFieldTxInhibit, 1);
        return true;
    }
    if (!m.ParseCellText(c, col.parseField, text))
        return false;
    m.SetField(c, kFieldTxInhibit, 0);
    return true;
}

bool StoreTone(const C& col, HChannels& m, int c, int, std::string_view text) {
    std::string upper(Trim(text));
    for (char& ch : upper)
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    return m.ParseCellText(c, col.parseField, upper);
}

// The signalling number as shown: "-" is none, a Page "0" is 10. The kind
// column comes first in a row, so the kind is already the pasted one.
bool StoreSignalNumber(const C&, HChannels& m, int c, int, std::string_view text) {
    const std::string_view t = Trim(text);
    const std::int32_t kind = m.GetField(c, kFieldSignalKind);
    std::int32_t n = 0;
    if (t != "-") {
        n = SmallNumber(t);
        if (kind == 3 && n == 0)
            n = 10;
        // Page numbers run 1-10, Signal numbers 1-16, Option numbers 0-15.
        const int high = kind == 3 ? 10 : kind == 2 ? 16 : 15;
        if (n < 0 || n > high)
            return false;
    }
    m.SetField(c, kFieldSignalNumber, n);
    return true;
}

// Column number = position. Each row is read as one column: what it shows,
// how it is edited, what it stores, what it redraws.
constexpr std::array<HChannelColumn, kChannelColumnCount> kColumns = {{
    {.header = "Ch",
     .toggleField = kFieldInUse,
     .dependants = kAllColumns,
     .text = NumberText,
     .store = StoreNothing,
     .more = {.item = HChannelItem::None, .reportTitle = "Chn"}},
    {.header = "Pri",
     .name = "pri",
     .style = HCellStyle::Tick,
     .dependants = Bits({1}),
     .text = PriorityText,
     .store = StorePriority,
     .more = {.item = HChannelItem::Pri, .reportTitle = "Pri"}},
    {.header = "W/N",
     .name = "w_n",
     .field = kFieldBandwidth,
     .edit = HCellEdit::List,
     .values = kBandwidthTexts,
     .toggleField = kFieldBandwidth,
     .dependants = Bits({2}),
     .text = ValueText,
     .store = StoreValue,
     .more = {.item = HChannelItem::WideNarrow, .reportTitle = "W/N"}},
    {.header = "TAG",
     .name = "tag",
     .field = kFieldTag,
     .edit = HCellEdit::Text,
     .maxLength = 8,
     .keys = HKeyFilter::Tag,
     .parseField = kFieldTag,
     .rule = HColumnRule::Display,
     .dependants = Bits({3}),
     .text = TagText,
     .store = StoreTag,
     .more = {.item = HChannelItem::Tag, .reportTitle = "TAG"}},
    {.header = "RX Frequency",
     .name = "rx_frequency",
     .field = kFieldRxFrequency,
     .edit = HCellEdit::Text,
     .maxLength = 9,
     .keys = HKeyFilter::Frequency,
     .parseField = kFieldRxFrequency,
     .dependants = Bits({4, 5, 19, 20, 21}),
     .text = RxFrequencyText,
     .store = StoreParsed,
     .more = {.item = HChannelItem::Frequency, .reportTitle = "FREQUENCY Receive"}},
    {.header = "TX Frequency",
     .name = "tx_frequency",
     .field = kFieldTxFrequency,
     .edit = HCellEdit::Text,
     .maxLength = 9,
     .keys = HKeyFilter::Frequency,
     .parseField = kFieldTxFrequency,
     .dependants = Bits({5, 19}),
     .text = TxFrequencyText,
     .store = StoreTxFrequency,
     .more = {.item = HChannelItem::Frequency, .reportTitle = "FREQUENCY Transmit"}},
    {.header = "TX Sub Audio",
     .name = "tx_sub_audio",
     .field = kFieldTxToneType,
     .edit = HCellEdit::Text,
     .maxLength = 8,
     .keys = HKeyFilter::Tone,
     .parseField = kFieldTxToneType,
     .dependants = Bits({6, 7}),
     .text = TxToneText,
     .store = StoreTone,
     .more = {.item = HChannelItem::SubAudio, .reportTitle = "SUB AUDIO Enc"}},
    {.header = "RX Sub Audio",
     .name = "rx_sub_audio",
     .field = kFieldRxToneType,
     .edit = HCellEdit::Text,
     .maxLength = 8,
     .keys = HKeyFilter::Tone,
     .parseField = kFieldRxToneType,
     .dependants = Bits({7}),
     .text = RxToneText,
     .store = StoreTone,
     .more = {.item = HChannelItem::SubAudio, .reportTitle = "SUB AUDIO Dec"}},
    {.header = "Power",
     .name = "power",
     .field = 3,
     .values = kPowerTexts,
     .toggleField = 3,
     .dependants = Bits({8}),
     .text = ValueText,
     .store = StoreValue,
     .more = {.item = HChannelItem::Power, .reportTitle = "Power H"}},
    {.header = "Power Level",
     .name = "power_level",
     .field = kFieldPowerLevel,
     .edit = HCellEdit::List,
     .values = kPowerLevelTexts,
     .toggleField = kFieldPowerLevel,
     .dependants = Bits({9}),
     .text = ValueText,
     .store = StoreValue,
     .more = {.item = HChannelItem::Power, .reportTitle = "Power L", .mobileValues = 2}},
    {.header = "Scan",
     .name = "scan",
     .field = kFieldScan,
     .style = HCellStyle::Tick,
     .toggleField = kFieldScan,
     .dependants = Bits({10}),
     .text = FieldTickText,
     .store = StoreTick,
     .more = {.item = HChannelItem::Scan, .reportTitle = "SC"}},
    {.header = "Auto Scan",
     .name = "auto_scan",
     .field = 2,
     .style = HCellStyle::Tick,
     .toggleField = 2,
     .rule = HColumnRule::ProductType,
     .dependants = Bits({11}),
     .text = FieldTickText,
     .store = StoreTick,
     .more = {.item = HChannelItem::Scan, .reportTitle = "Auto Scan"}},
    {.header = "TOT",
     .name = "tot",
     .field = 10,
     .style = HCellStyle::Tick,
     .toggleField = 10,
     .dependants = Bits({12}),
     .text = FieldTickText,
     .store = StoreTick,
     .more = {.item = HChannelItem::Tot, .reportTitle = "TOT"}},
    {.header = "Squelch",
     .name = "squelch",
     .field = kFieldSquelch,
     .edit = HCellEdit::List,
     .values = kSquelchTexts,
     .dependants = Bits({13}),
     .text = NumberFieldText,
     .store = StoreValue,
     .more = {.item = HChannelItem::Squelch, .reportTitle = "SQ"}},
    {.header = "ANI",
     .name = "ani",
     .field = 19,
     .style = HCellStyle::Tick,
     .toggleField = 19,
     .dependants = Bits({14}),
     .text = FieldTickText,
     .store = StoreTick,
     .more = {.item = HChannelItem::Ani, .reportTitle = "DTMF ANI"}},
    {.header = "Encr",
     .name = "encr",
     .field = kFieldEncryption,
     .edit = HCellEdit::List,
     .values = kEncryptionTexts,
     .rule = HColumnRule::OptionUnit,
     .dependants = Bits({15}),
     .text = ValueText,
     .store = StoreValue,
     .more = {.item = HChannelItem::Encr, .reportTitle = "Encr"}},
    {.header = "Lock Out",
     .name = "lock_out",
     .field = kFieldLockOut,
     .edit = HCellEdit::List,
     .values = kLockOutTexts,
     .toggleField = kFieldLockOut,
     .dependants = Bits({16}),
     .text = ValueText,
     .store = StoreValue,
     .more = {.item = HChannelItem::LockOut, .reportTitle = "Lock Out"}},
    {.header = "Page/Signal",
     .name = "page_signal",
     .field = kFieldSignalKind,
     .values = kSignalKindTexts,
     .toggleField = kFieldSignalKind,
     .dependants = Bits({17, 18, 14}),
     .text = ValueText,
     .store = StoreValue,
     .more = {.item = HChannelItem::PageSignal, .reportTitle = "Signalling Type"}},
    {.header = "Page/Signal No.",
     .name = "page_signal_no",
     .field = kFieldSignalNumber,
     .dependants = Bits({18}),
     .text = SignalNumberText,
     .store = StoreSignalNumber,
     .more = {.item = HChannelItem::PageSignal, .reportTitle = "Signalling No"}},
    {.header = "Clock Shift TX",
     .name = "clock_shift_tx",
     .field = 7,
     .style = HCellStyle::Tick,
     .toggleField = 7,
     .dependants = Bits({19}),
     .text = FieldTickText,
     .store = StoreTick,
     .more = {.item = HChannelItem::ClockShift, .reportTitle = "Clock Shift TX"}},
    {.header = "Clock Shift RX",
     .name = "clock_shift_rx",
     .field = 8,
     .style = HCellStyle::Tick,
     .toggleField = 8,
     .dependants = Bits({20}),
     .text = FieldTickText,
     .store = StoreTick,
     .more = {.item = HChannelItem::ClockShift, .reportTitle = "Clock Shift RX"}},
    {.header = "Clock Shift Opt",
     .name = "clock_shift_opt",
     .field = 6,
     .style = HCellStyle::Tick,
     .toggleField = 6,
     .dependants = Bits({21}),
     .text = FieldTickText,
     .store = StoreTick,
     .more = {.item = HChannelItem::ClockShift, .reportTitle = "Clock Shift Opt"}},
    {.header = "ARTS",
     .name = "arts",
     .field = 9,
     .style = HCellStyle::Tick,
     .toggleField = 9,
     .dependants = Bits({22}),
     .text = FieldTickText,
     .store = StoreTick,
     .more = {.item = HChannelItem::Arts, .reportTitle = "RX ARTS"}},
    {.header = "Flat AF",
     .name = "flat_af",
     .field = 15,
     .style = HCellStyle::Tick,
     .toggleField = 15,
     .dependants = Bits({23}),
     .text = FieldTickText,
     .store = StoreTick,
     .more = {.item = HChannelItem::FlatAf, .reportTitle = "Flat AF"}},
    {.header = "Ext Mic",
     .name = "ext_mic",
     .field = 16,
     .style = HCellStyle::Tick,
     .toggleField = 16,
     .rule = HColumnRule::RaisedLevel,
     .dependants = Bits({24}),
     .text = FieldTickText,
     .store = StoreTick,
     .more = {.item = HChannelItem::ExtMic, .reportTitle = "Ext MIC"}},
    {.header = "DTMF ANI Monitor",
     .name = "dtmf_ani_monitor",
     .field = 0,
     .style = HCellStyle::Tick,
     .toggleField = 0,
     .rule = HColumnRule::OptionUnit,
     .dependants = Bits({25}),
     .text = FieldTickText,
     .store = StoreTick,
     .more = {.item = HChannelItem::DtmfAniMonitor, .reportTitle = "ANI Moni"}},
}};

constexpr bool TableIsSound() {
    if (!HGridColumnsAreSound(std::span(kColumns), kFieldCount))
        return false;
    for (int i = 0; i < kChannelColumnCount; ++i) {
        const HChannelColumn& c = kColumns[static_cast<std::size_t>(i)];
        // Typed channel texts go through the channel model's own parser.
        if (c.edit == HCellEdit::Text && c.parseField < 0)
            return false;
        if (c.more.mobileValues > c.values.size())
            return false;
        if (i > 0 && c.more.item == HChannelItem::None)
            return false;
    }
    // The items' columns follow the View > Item order.
    for (int i = 1; i < kChannelColumnCount; ++i)
        if (kColumns[static_cast<std::size_t>(i)].more.item <
            kColumns[static_cast<std::size_t>(i - 1)].more.item)
            return false;
    return kColumns[kChannelColumnCount - 1].more.item == HChannelItem::DtmfAniMonitor;
}
static_assert(TableIsSound());

// ---- tone choices ----

constexpr std::array<int, kCtcssToneCount> kCtcssTenths = {
    670,  693,  719,  744,  770,  797,  825,  854,  885,  915,  948,  974,  1000,
    1035, 1072, 1109, 1148, 1188, 1230, 1273, 1318, 1365, 1413, 1462, 1514, 1567,
    1598, 1622, 1655, 1679, 1713, 1738, 1773, 1799, 1835, 1862, 1899, 1928, 1966,
    1995, 2035, 2065, 2107, 2181, 2257, 2291, 2336, 2418, 2503, 2541};
static_assert(std::is_sorted(kCtcssTenths.begin(), kCtcssTenths.end()));
static_assert(kCtcssTenths.front() == 670 && kCtcssTenths.back() == 2541); // the parser's range

// The codes as octal digits.
constexpr std::array<int, kDcsCodeCount> kDcsCodes = {
    023,  025,  026,  031,  032,  036,  043,  047,  051,  053,  054,  065,  071,  072,  073,
    074,  0114, 0115, 0116, 0122, 0125, 0131, 0132, 0134, 0143, 0145, 0152, 0155, 0156, 0162,
    0165, 0172, 0174, 0205, 0212, 0223, 0225, 0226, 0243, 0244, 0245, 0246, 0251, 0252, 0255,
    0261, 0263, 0265, 0266, 0271, 0274, 0306, 0311, 0315, 0325, 0331, 0332, 0343, 0346, 0351,
    0356, 0364, 0365, 0371, 0411, 0412, 0413, 0423, 0431, 0432, 0445, 0446, 0452, 0454, 0455,
    0462, 0464, 0465, 0466, 0503, 0506, 0516, 0523, 0526, 0532, 0546, 0565, 0606, 0612, 0624,
    0627, 0631, 0632, 0654, 0662, 0664, 0703, 0712, 0723, 0731, 0732, 0734, 0743, 0754};
static_assert(std::is_sorted(kDcsCodes.begin(), kDcsCodes.end()));

std::vector<std::string> BuildToneChoices(bool transmit) {
    std::vector<std::string> out;
    out.emplace_back(kNoToneText);
    for (int t : kCtcssTenths)
        out.push_back(SubAudioText(1, t, false, false));
    for (int code : kDcsCodes) {
        out.push_back(SubAudioText(2, code, false, false));
        out.push_back(SubAudioText(2, code, true, false));
        if (transmit)
            out.push_back(SubAudioText(2, code, false, true));
    }
    return out;
}

} // namespace

std::span<const HChannelColumn, kChannelColumnCount> Table() {
    return kColumns;
}

const HChannelColumn* Column(int column) {
    return HGridColumnAt(std::span(kColumns), column);
}

std::vector<int> ColumnsOfItem(HChannelItem item) {
    std::vector<int> out;
    for (int c = 0; c < kChannelColumnCount; ++c)
        if (kColumns[static_cast<std::size_t>(c)].more.item == item)
            out.push_back(c);
    return out;
}

std::string FrequencyText(std::int64_t hz) {
    return Printf("%9.5f", static_cast<double>(hz) / 1000000.0);
}

// DCS suffix: " I" inverted, " N" normal; the transmit side's other option bit
// shows " B". Both bits set (no edit makes that) show " IB" so nothing is lost.
std::string SubAudioTone(int type, int value) {
    switch (type) {
    case 0:
        return std::string(kNoToneText);
    case 1:
        return Printf("%s%5.1f", "C-", value / 10.0);
    case 2:
        return Printf("%s%03o", "D-", static_cast<unsigned>(std::max(value, 0)));
    default:
        return Printf("%d", type);
    }
}

std::string SubAudioText(int type, int value, bool inverted, bool flagB) {
    std::string s = SubAudioTone(type, value);
    if (type != 2)
        return s;
    if (inverted && flagB)
        return s + " IB";
    return s + (flagB ? " B" : inverted ? " I" : " N");
}

std::string CellText(int column, const HChannels& model, int c, int g) {
    const HChannelColumn* col = Column(column);
    return col ? col->text(*col, model, c, g) : std::string();
}

HTickState CellTick(int column, const HChannels& model, int c, int g) {
    const HChannelColumn* col = Column(column);
    if (col == nullptr || col->style != HCellStyle::Tick)
        return HTickState::NotTick;
    if (col->text(*col, model, c, g) != kTickedText)
        return HTickState::Unticked;
    return model.IsChannelEnabled(c) ? HTickState::TickedInUse : HTickState::TickedNotInUse;
}

std::string ReportText(int column, const HChannels& model, int c, int g) {
    const HTickState t = CellTick(column, model, c, g);
    if (t == HTickState::NotTick)
        return CellText(column, model, c, g);
    return t == HTickState::Unticked ? "-" : "v";
}

int GroupOfChannel(const HChannels& model, int c) {
    if (c < 0)
        return -1;
    int sum = 0;
    for (int g = 0; g < static_cast<int>(kGroupCount); ++g) {
        sum += model.GetGroupValue(g, kGroupChannels);
        if (c < sum)
            return g;
    }
    return -1;
}

std::span<const std::string_view> ListTexts(int column, const HChannels& model) {
    const HChannelColumn* col = Column(column);
    return col ? TextsOffered(*col, model) : std::span<const std::string_view>();
}

std::string ListDescription(int column, const HChannels& model) {
    std::string out;
    const std::span<const std::string_view> texts = ListTexts(column, model);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        out += Printf("#%d;", static_cast<int>(i));
        out += texts[i];
        out += '|';
    }
    return out;
}

bool StoreCellText(int column, HChannels& model, int c, int g, std::string_view text) {
    const HChannelColumn* col = Column(column);
    return col != nullptr && col->store(*col, model, c, g, text);
}

HKeyResult FilterKey(int column, std::size_t position, char32_t key) {
    // A bad column takes no key but leaves the editor its own.
    const HChannelColumn* col = Column(column);
    return HFilterKey(col ? col->keys : HKeyFilter::None, position, key);
}

bool TagTextTaken(std::string_view text) {
    return HFilterTakesText(HKeyFilter::Tag, text);
}

HModelFacts FactsOf(const HChannels& model) {
    HModelFacts f;
    f.productType = model.GetHardwareValue(HHardwareGroup::kRowProductType);
    f.displayHandheld = model.GetHardwareValue(HHardwareGroup::kRowDisplayHandheld);
    f.displayMobile = model.GetHardwareValue(HHardwareGroup::kRowDisplayMobile);
    f.optionUnit = model.GetIdentityValue(7); // the same bits as Option row 5
    return f;
}

HColumnVisibility ApplyVisibility(const HModelFacts& facts, int accessLevel,
                                  const HItemFlags& flags, bool loadFlag) {
    HColumnVisibility v;
    v.flags = flags;
    v.loadFlag = loadFlag;
    const auto flag = [&v](HChannelItem item) -> std::int32_t& {
        return v.flags[static_cast<std::size_t>(item)];
    };

    const int display = facts.productType != 0 ? facts.displayHandheld : facts.displayMobile;
    if (display == 0) {
        flag(HChannelItem::Tag) = 0;
    } else if (v.loadFlag) {
        flag(HChannelItem::Tag) = 1;
        v.loadFlag = false;
    }
    const bool optionUnit = facts.optionUnit == 1;
    flag(HChannelItem::Encr) = optionUnit ? 1 : 0;
    flag(HChannelItem::DtmfAniMonitor) = optionUnit ? 1 : 0;
    if (accessLevel == 0)
        flag(HChannelItem::ExtMic) = 0;

    for (int i = 0; i < kChannelColumnCount; ++i) {
        const HChannelColumn& c = kColumns[static_cast<std::size_t>(i)];
        bool shown = c.more.item == HChannelItem::None || flag(c.more.item) != 0;
        // Column 11 belongs to Scan as well: a handheld set shows it only
        // while Scan is shown, so hiding Scan hides both its columns.
        if (c.rule == HColumnRule::ProductType)
            shown = shown && facts.productType != 0;
        v.shown[static_cast<std::size_t>(i)] = shown;
    }
    return v;
}

HColumnVisibility ToggleItem(HChannelItem item, const HModelFacts& facts, int accessLevel,
                             const HItemFlags& flags, bool loadFlag) {
    HItemFlags f = flags;
    if (item != HChannelItem::None) {
        std::int32_t& x = f[static_cast<std::size_t>(item)];
        x = x != 0 ? 0 : 1;
    }
    return ApplyVisibility(facts, accessLevel, f, loadFlag);
}

int NextGroup(const HChannels& model, int g) {
    return model.NextGroupInUse(g);
}

bool ReportShowsColumn(int column, const HModelFacts& facts, int accessLevel) {
    const HChannelColumn* col = Column(column);
    if (col == nullptr)
        return false;
    switch (col->rule) {
    case HColumnRule::ProductType:
        return facts.productType != 0;
    case HColumnRule::OptionUnit:
        return facts.optionUnit == 1;
    case HColumnRule::RaisedLevel:
        return accessLevel != 0;
    case HColumnRule::None:
    case HColumnRule::Display:
        return true;
    }
    return true;
}

std::vector<std::string> ReportTitles(const HModelFacts& facts, int accessLevel) {
    std::vector<std::string> out;
    for (int col : kReportOrder)
        if (ReportShowsColumn(col, facts, accessLevel))
            out.emplace_back(Column(col)->more.reportTitle);
    return out;
}

std::vector<std::string> ReportRow(const HChannels& model, int c, const HModelFacts& facts,
                                   int accessLevel) {
    const int g = GroupOfChannel(model, c);
    std::vector<std::string> out;
    for (int col : kReportOrder)
        if (ReportShowsColumn(col, facts, accessLevel))
            out.push_back(ReportText(col, model, c, g));
    return out;
}

std::span<const std::string> ToneChoices(bool transmit) {
    static const std::vector<std::string> tx = BuildToneChoices(true);
    static const std::vector<std::string> rx = BuildToneChoices(false);
    return transmit ? tx : rx;
}

int FindToneChoice(bool transmit, std::string_view cellText) {
    const std::span<const std::string> choices = ToneChoices(transmit);
    const auto it = std::find(choices.begin(), choices.end(), cellText);
    return it == choices.end() ? -1 : static_cast<int>(it - choices.begin());
}

} // namespace HChannelColumns
