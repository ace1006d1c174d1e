#include "HChannelColumns.h"
#include "HText.h"

#include <algorithm>
#include <cstdio>

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

// Tick texts: " " as the grid writes it, "" for a tool that trims cells, and
// "v" as the reports write it, all mean ticked.
int TickValue(std::string_view text) {
    const std::string_view t = Trim(text);
    if (t.empty() || t == "v" || t == "V")
        return 1;
    if (t == kUntickedText)
        return 0;
    return -1;
}

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

std::string RxFrequencyText(const C&, const HChannels& m, int c, int) {
    return FrequencyText(m.GetField(c, kFieldRxFrequency));
}

std::string TxFrequencyText(const C&, const HChannels& m, int c, int) {
    if (m.GetField(c, kFieldTxInhibit) > 0)
        return std::string(kNoTransmitText);
    return FrequencyText(m.GetField(c, kFieldTxFrequency));
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

bool StoreValue(const C& col, HChannels& m, int c, int, std::string_view text) {
    const std::span<const std::string_view> texts = ListTexts(col.column, m);
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

constexpr auto NoValues = std::span<const std::string_view>();

// clang-format off
//  col item                        header              report title            field                 style                edit              len keys                  values            mob toggle          parse                 rule                        dependants                 text              store
constexpr std::array<HChannelColumn, kChannelColumnCount> kColumns = {{
    {0,  HChannelItem::None,           "Ch",               "Chn",                -1,                  HCellStyle::Text, HCellEdit::None, 0, HKeyFilter::None,      NoValues,         0, kFieldInUse,     -1,                  HColumnRule::None,        kAllColumns,               NumberText,       StoreNothing},
    {1,  HChannelItem::Pri,            "Pri",              "Pri",                -1,                  HCellStyle::Tick, HCellEdit::None, 0, HKeyFilter::None,      NoValues,         0, -1,              -1,                  HColumnRule::None,        Bits({1}),                 PriorityText,     StorePriority},
    {2,  HChannelItem::WideNarrow,     "W/N",              "W/N",                kFieldBandwidth,     HCellStyle::Text, HCellEdit::List, 0, HKeyFilter::None,      kBandwidthTexts,  0, kFieldBandwidth, -1,                  HColumnRule::None,        Bits({2}),                 ValueText,        StoreValue},
    {3,  HChannelItem::Tag,            "TAG",              "TAG",                kFieldTag,           HCellStyle::Text, HCellEdit::Text, 8, HKeyFilter::Tag,       NoValues,         0, -1,              kFieldTag,           HColumnRule::Display,     Bits({3}),                 TagText,          StoreTag},
    {4,  HChannelItem::Frequency,      "RX Frequency",     "FREQUENCY Receive",  kFieldRxFrequency,   HCellStyle::Text, HCellEdit::Text, 9, HKeyFilter::Frequency, NoValues,         0, -1,              kFieldRxFrequency,   HColumnRule::None,        Bits({4, 5, 19, 20, 21}),  RxFrequencyText,  StoreParsed},
    {5,  HChannelItem::Frequency,      "TX Frequency",     "FREQUENCY Transmit", kFieldTxFrequency,   HCellStyle::Text, HCellEdit::Text, 9, HKeyFilter::Frequency, NoValues,         0, -1,              kFieldTxFrequency,   HColumnRule::None,        Bits({5, 19}),             TxFrequencyText,  StoreTxFrequency},
    {6,  HChannelItem::SubAudio,       "TX Sub Audio",     "SUB AUDIO Enc",      kFieldTxToneType,    HCellStyle::Text, HCellEdit::Text, 8, HKeyFilter::Tone,      NoValues,         0, -1,              kFieldTxToneType,    HColumnRule::None,        Bits({6, 7}),              TxToneText,       StoreTone},
    {7,  HChannelItem::SubAudio,       "RX Sub Audio",     "SUB AUDIO Dec",      kFieldRxToneType,    HCellStyle::Text, HCellEdit::Text, 8, HKeyFilter::Tone,      NoValues,         0, -1,              kFieldRxToneType,    HColumnRule::None,        Bits({7}),                 RxToneText,       StoreTone},
    {8,  HChannelItem::Power,          "Power",            "Power H",            3,                   HCellStyle::Text, HCellEdit::None, 0, HKeyFilter::None,      kPowerTexts,      0, 3,               -1,                  HColumnRule::None,        Bits({8}),                 ValueText,        StoreValue},
    {9,  HChannelItem::Power,          "Power Level",      "Power L",            kFieldPowerLevel,    HCellStyle::Text, HCellEdit::List, 0, HKeyFilter::None,      kPowerLevelTexts, 2, kFieldPowerLevel, -1,                 HColumnRule::None,        Bits({9}),                 ValueText,        StoreValue},
    {10, HChannelItem::Scan,           "Scan",             "SC",                 kFieldScan,          HCellStyle::Tick, HCellEdit::None, 0, HKeyFilter::None,      NoValues,         0, kFieldScan,      -1,                  HColumnRule::None,        Bits({10}),                FieldTickText,    StoreTick},
    {11, HChannelItem::Scan,           "Auto Scan",        "Auto Scan",          2,                   HCellStyle::Tick, HCellEdit::None, 0, HKeyFilter::None,      NoValues,         0, 2,               -1,                  HColumnRule::ProductType, Bits({11}),                FieldTickText,    StoreTick},
    {12, HChannelItem::Tot,            "TOT",              "TOT",                10,                  HCellStyle::Tick, HCellEdit::None, 0, HKeyFilter::None,      NoValues,         0, 10,              -1,                  HColumnRule::None,        Bits({12}),                FieldTickText,    StoreTick},
    {13, HChannelItem::Squelch,        "Squelch",          "SQ",                 kFieldSquelch,       HCellStyle::Text, HCellEdit::List, 0, HKeyFilter::None,      kSquelchTexts,    0, -1,              -1,                  HColumnRule::None,        Bits({13}),                NumberFieldText,  StoreValue},
    {14, HChannelItem::Ani,            "ANI",              "DTMF ANI",           19,                  HCellStyle::Tick, HCellEdit::None, 0, HKeyFilter::None,      NoValues,         0, 19,              -1,                  HColumnRule::None,        Bits({14}),                FieldTickText,    StoreTick},
    {15, HChannelItem::Encr,           "Encr",             "Encr",               kFieldEncryption,    HCellStyle::Text, HCellEdit::List, 0, HKeyFilter::None,      kEncryptionTexts, 0, -1,              -1,                  HColumnRule::OptionUnit,  Bits({15}),                ValueText,        StoreValue},
    {16, HChannelItem::LockOut,        "Lock Out",         "Lock Out",           kFieldLockOut,       HCellStyle::Text, HCellEdit::List, 0, HKeyFilter::None,      kLockOutTexts,    0, kFieldLockOut,   -1,                  HColumnRule::None,        Bits({16}),                ValueText,        StoreValue},
    {17, HChannelItem::PageSignal,     "Page/Signal",      "Signalling Type",    kFieldSignalKind,    HCellStyle::Text, HCellEdit::None, 0, HKeyFilter::None,      kSignalKindTexts, 0, kFieldSignalKind, -1,                 HColumnRule::None,        Bits({17, 18, 14}),        ValueText,        StoreValue},
    {18, HChannelItem::PageSignal,     "Page/Signal No.",  "Signalling No",      kFieldSignalNumber,  HCellStyle::Text, HCellEdit::None, 0, HKeyFilter::None,      NoValues,         0, -1,              -1,                  HColumnRule::None,        Bits({18}),                SignalNumberText, StoreSignalNumber},
    {19, HChannelItem::ClockShift,     "Clock Shift TX",   "Clock Shift TX",     7,                   HCellStyle::Tick, HCellEdit::None, 0, HKeyFilter::None,      NoValues,         0, 7,               -1,                  HColumnRule::None,        Bits({19}),                FieldTickText,    StoreTick},
    {20, HChannelItem::ClockShift,     "Clock Shift RX",   "Clock Shift RX",     8,                   HCellStyle::Tick, HCellEdit::None, 0, HKeyFilter::None,      NoValues,         0, 8,               -1,                  HColumnRule::None,        Bits({20}),                FieldTickText,    StoreTick},
    {21, HChannelItem::ClockShift,     "Clock Shift Opt",  "Clock Shift Opt",    6,                   HCellStyle::Tick, HCellEdit::None, 0, HKeyFilter::None,      NoValues,         0, 6,               -1,                  HColumnRule::None,        Bits({21}),                FieldTickText,    StoreTick},
    {22, HChannelItem::Arts,           "ARTS",             "RX ARTS",            9,                   HCellStyle::Tick, HCellEdit::None, 0, HKeyFilter::None,      NoValues,         0, 9,               -1,                  HColumnRule::None,        Bits({22}),                FieldTickText,    StoreTick},
    {23, HChannelItem::FlatAf,         "Flat AF",          "Flat AF",            15,                  HCellStyle::Tick, HCellEdit::None, 0, HKeyFilter::None,      NoValues,         0, 15,              -1,                  HColumnRule::None,        Bits({23}),                FieldTickText,    StoreTick},
    {24, HChannelItem::ExtMic,         "Ext Mic",          "Ext MIC",            16,                  HCellStyle::Tick, HCellEdit::None, 0, HKeyFilter::None,      NoValues,         0, 16,              -1,                  HColumnRule::RaisedLevel, Bits({24}),                FieldTickText,    StoreTick},
    {25, HChannelItem::DtmfAniMonitor, "DTMF ANI Monitor", "ANI Moni",           0,                   HCellStyle::Tick, HCellEdit::None, 0, HKeyFilter::None,      NoValues,         0, 0,               -1,                  HColumnRule::OptionUnit,  Bits({25}),                FieldTickText,    StoreTick},
}};
// clang-format on

constexpr bool TableIsSound() {
    for (int i = 0; i < kChannelColumnCount; ++i) {
        const HChannelColumn& c = kColumns[static_cast<std::size_t>(i)];
        if (c.column != i || c.text == nullptr || c.store == nullptr)
            return false;
        if ((c.dependants & (1u << i)) == 0)
            return false;
        if (c.edit == HCellEdit::Text && (c.maxLength == 0 || c.parseField < 0))
            return false;
        if (c.edit == HCellEdit::List && (c.values.empty() || c.field < 0))
            return false;
        if (c.edit != HCellEdit::Text && c.keys != HKeyFilter::None)
            return false;
        if (c.mobileValues > c.values.size())
            return false;
        if (c.field >= kFieldCount || c.toggleField >= kFieldCount || c.parseField >= kFieldCount)
            return false;
        if (i > 0 && c.item == HChannelItem::None)
            return false;
    }
    // The items' columns follow the View > Item order.
    for (int i = 1; i < kChannelColumnCount; ++i)
        if (kColumns[static_cast<std::size_t>(i)].item <
            kColumns[static_cast<std::size_t>(i - 1)].item)
            return false;
    return kColumns[kChannelColumnCount - 1].item == HChannelItem::DtmfAniMonitor;
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

const HChannelColumn& Column(int column) {
    return kColumns[static_cast<std::size_t>(std::clamp(column, 0, kChannelColumnCount - 1))];
}

std::vector<int> ColumnsOfItem(HChannelItem item) {
    std::vector<int> out;
    for (const HChannelColumn& c : kColumns)
        if (c.item == item)
            out.push_back(c.column);
    return out;
}

std::string FrequencyText(std::int64_t hz) {
    return Printf("%9.5f", static_cast<double>(hz) / 1000000.0);
}

// DCS suffix: " I" inverted, " N" normal; the transmit side's other option bit
// shows " B". Both bits set (no edit makes that) show " IB" so nothing is lost.
std::string SubAudioText(int type, int value, bool inverted, bool flagB) {
    switch (type) {
    case 0:
        return std::string(kNoToneText);
    case 1:
        return Printf("%s%5.1f", "C-", value / 10.0);
    case 2: {
        std::string s = Printf("%s%03o", "D-", static_cast<unsigned>(std::max(value, 0)));
        if (inverted && flagB)
            return s + " IB";
        return s + (flagB ? " B" : inverted ? " I" : " N");
    }
    default:
        return Printf("%d", type);
    }
}

std::string CellText(int column, const HChannels& model, int c, int g) {
    const HChannelColumn& col = Column(column);
    return col.text(col, model, c, g);
}

HTickState CellTick(int column, const HChannels& model, int c, int g) {
    const HChannelColumn& col = Column(column);
    if (col.style != HCellStyle::Tick)
        return HTickState::NotTick;
    if (col.text(col, model, c, g) != kTickedText)
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
    const HChannelColumn& col = Column(column);
    if (col.mobileValues != 0 && model.GetHardwareValue(HHardwareGroup::kRowProductType) == 0)
        return col.values.first(col.mobileValues);
    return col.values;
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
    if (column < 0 || column >= kChannelColumnCount)
        return false;
    const HChannelColumn& col = Column(column);
    return col.store(col, model, c, g, text);
}

HKeyResult FilterKey(int column, std::size_t position, char32_t key) {
    HKeyResult r;
    if (key == 8 || key == 27 || key == 13) {
        r.verdict = HKeyVerdict::Pass;
        r.key = key;
        return r;
    }
    if (column < 0 || column >= kChannelColumnCount)
        return r;
    const auto upper = [](char32_t k) { return (k >= 'a' && k <= 'z') ? k - 'a' + 'A' : k; };
    const auto digitOrPoint = [](char32_t k) { return (k >= '0' && k <= '9') || k == '.'; };
    switch (Column(column).keys) {
    case HKeyFilter::None:
        return r;
    case HKeyFilter::Tag: {
        const char32_t k = upper(key);
        const bool letterOrDigit = (k >= 'A' && k <= 'Z') || (k >= '0' && k <= '9');
        // The radio keeps '%', '<' and '>' as blanks, so they are not offered.
        const bool sign = k < 128 && std::string_view("[]_ *+-/").find(static_cast<char>(k)) !=
                                         std::string_view::npos;
        if (k >= 32 && k <= 127 && (letterOrDigit || sign)) {
            r.verdict = HKeyVerdict::Insert;
            r.key = k;
        }
        return r;
    }
    case HKeyFilter::Frequency:
        if (digitOrPoint(key)) {
            r.verdict = HKeyVerdict::Insert;
            r.key = key;
        }
        return r;
    case HKeyFilter::Tone: {
        const char32_t k = upper(key);
        if (position == 0) {
            if (k == 'C' || k == 'D') {
                r.verdict = HKeyVerdict::Replace;
                r.text = k == 'C' ? "C-" : "D-";
            }
        } else if (position == 1) {
            if (k == '-') {
                r.verdict = HKeyVerdict::Insert;
                r.key = k;
            }
        } else if (digitOrPoint(k)) {
            r.verdict = HKeyVerdict::Insert;
            r.key = k;
        }
        return r;
    }
    }
    return r;
}

bool TagTextTaken(std::string_view text) {
    const int tag = ColumnsOfItem(HChannelItem::Tag).front();
    for (char ch : text)
        if (FilterKey(tag, 0, static_cast<unsigned char>(ch)).verdict != HKeyVerdict::Insert)
            return false;
    return true;
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

    for (const HChannelColumn& c : kColumns) {
        bool shown = c.item == HChannelItem::None || flag(c.item) != 0;
        // Column 11 belongs to Scan as well: a handheld set shows it only
        // while Scan is shown, so hiding Scan hides both its columns.
        if (c.rule == HColumnRule::ProductType)
            shown = shown && facts.productType != 0;
        v.shown[static_cast<std::size_t>(c.column)] = shown;
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
    if (column < 0 || column >= kChannelColumnCount)
        return false;
    switch (Column(column).rule) {
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
            out.emplace_back(Column(col).reportTitle);
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
