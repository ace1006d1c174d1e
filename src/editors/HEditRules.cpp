#include "HEditRules.h"

#include "HFieldTable.h"
#include "HNumberText.h"
#include "HText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsDigit(char32_t ch) {
    return ch >= U'0' && ch <= U'9';
}
bool IsLetter(char32_t ch) {
    return (ch >= U'a' && ch <= U'z') || (ch >= U'A' && ch <= U'Z');
}
bool IsHexDigit(char32_t ch) {
    return IsDigit(ch) || (ch >= U'a' && ch <= U'f') || (ch >= U'A' && ch <= U'F');
}

constexpr char32_t kBackspace = 0x08;
constexpr char32_t kTab = 0x09;
constexpr char32_t kEnter = 0x0D;
constexpr char32_t kEscape = 0x1B;

} // namespace

void HEditRules::Setup(const HEditSetup& setup) {
    m_setup = setup;
}

void HEditRules::SetRange(double minimum, double maximum) {
    m_setup.minimum = minimum;
    m_setup.maximum = maximum;
}

void HEditRules::SetColors(std::uint32_t background, std::uint32_t text) {
    m_background = background;
    m_textColor = text;
}

double HEditRules::ToDisplay(double stored) const {
    const double k = m_setup.operand;
    switch (m_setup.operation) {
    case HDisplayOp::Add:
        return stored + k;
    case HDisplayOp::Subtract:
        return stored - k;
    case HDisplayOp::Multiply:
        return stored * k;
    case HDisplayOp::Divide:
        // A zero divisor would show inf; such a set-up shows the value as is.
        return k == 0 ? stored : stored / k;
    default:
        return stored;
    }
}

double HEditRules::FromDisplay(double shown) const {
    const double k = m_setup.operand;
    switch (m_setup.operation) {
    case HDisplayOp::Add:
        return shown - k;
    case HDisplayOp::Subtract:
        return shown + k;
    case HDisplayOp::Multiply:
        return k == 0 ? shown : shown / k;
    case HDisplayOp::Divide:
        return k == 0 ? shown : shown * k;
    default:
        return shown;
    }
}

double HEditRules::Clamp(double stored) const {
    if ((m_setup.minimum == 0 && m_setup.maximum == 0) || (m_setup.orZero && stored == 0))
        return stored;
    if (stored < m_setup.minimum)
        return m_setup.minimum;
    if (stored > m_setup.maximum)
        return m_setup.maximum;
    return stored;
}

std::string HEditRules::FormatNumber(double shown) const {
    std::string text = HFormatNumber(m_setup.format, shown);
    text += m_setup.unit;
    return text;
}

void HEditRules::SetValue(double stored) {
    m_text = IsNumeric() ? FormatNumber(ToDisplay(stored)) : HFormatNumber("%g", stored);
    m_saved = m_text;
    m_setValue = stored;
    m_setText = m_text;
    m_textSet = true;
    m_taken = m_text;
}

void HEditRules::SetText(std::string_view text) {
    m_text = text;
    if (IsNumeric())
        m_text += m_setup.unit;
    m_saved = m_text;
    m_setValue.reset();
    m_setText = m_text;
    m_textSet = true;
    m_taken = m_text;
}

std::string HEditRules::GetText() const {
    if (m_setup.maxLength == 0 || m_text.size() <= m_setup.maxLength)
        return m_text;
    std::size_t cut = m_setup.maxLength;
    // Never split a UTF-8 sequence.
    while (cut > 0 && (static_cast<unsigned char>(m_text[cut]) & 0xC0) == 0x80)
        --cut;
    return m_text.substr(0, cut);
}

double HEditRules::GetValue() const {
    if (!IsNumeric())
        return 0;
    if (m_setValue && m_text == m_setText)
        return *m_setValue;
    if (const std::optional<double> typed = TypedStored(m_text))
        return Clamp(*typed);
    const int base = m_setup.filter == HFilterMode::Octal ? 8
                     : m_setup.filter == HFilterMode::Hex ? 16
                                                          : 10;
    double v = FromDisplay(HParseNumber(GetText(), base));
    if (!std::isfinite(v))
        v = 0;
    if (m_setup.kind == HValueKind::Integer)
        v = std::nearbyint(v);
    return Clamp(v);
}

std::int32_t HEditRules::GetStoredInt() const {
    double v = std::nearbyint(GetValue());
    if (v > double(std::numeric_limits<std::int32_t>::max()) &&
        v <= double(std::numeric_limits<std::uint32_t>::max()))
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    v = std::fmax(v, double(std::numeric_limits<std::int32_t>::min()));
    v = std::fmin(v, double(std::numeric_limits<std::int32_t>::max()));
    return static_cast<std::int32_t>(v);
}

std::optional<double> HEditRules::TypedStored(std::string_view typed) const {
    std::string_view t = HText::Trim(typed);
    const std::string_view unit = HText::Trim(m_setup.unit);
    if (!unit.empty() && t.size() >= unit.size() &&
        HText::Upper(t.substr(t.size() - unit.size())) == HText::Upper(unit))
        t = HText::Trim(t.substr(0, t.size() - unit.size()));
    // An empty edit shows 0 (a tone box with no tone).
    if (t.empty())
        return FromDisplay(0);
    std::string s(t);
    for (char c : s)
        if (!Accepts(static_cast<unsigned char>(c)))
            return std::nullopt;
    std::replace(s.begin(), s.end(), ',', '.');
    const int base = m_setup.filter == HFilterMode::Octal ? 8
                     : m_setup.filter == HFilterMode::Hex ? 16
                                                          : 10;
    double shown = 0;
    const char* end = s.data() + s.size();
    if (base == 10) {
        const auto [p, ec] = std::from_chars(s.data(), end, shown);
        if (ec != std::errc() || p != end || !std::isfinite(shown))
            return std::nullopt;
    } else {
        long long whole = 0;
        const auto [p, ec] = std::from_chars(s.data(), end, whole, base);
        if (ec != std::errc() || p != end)
            return std::nullopt;
        shown = double(whole);
    }
    double stored = FromDisplay(shown);
    if (m_setup.kind == HValueKind::Integer)
        stored = std::nearbyint(stored);
    return stored;
}

bool HEditRules::InRange(double stored) const {
    if (m_setup.minimum == 0 && m_setup.maximum == 0)
        return true;
    if (m_setup.orZero && stored == 0)
        return true;
    // Display operations in floating point may land a hair beside a range end.
    constexpr double kSlack = 1e-9;
    return stored >= m_setup.minimum - kSlack && stored <= m_setup.maximum + kSlack;
}

bool HEditRules::ShowsSetValue(std::string_view typed) const {
    return m_setValue && HText::Trim(typed) == HText::Trim(m_setText);
}

std::string HEditRules::Refusal(std::string_view typed) const {
    if ((m_textSet && typed == m_setText) || ShowsSetValue(typed))
        return {};
    if (IsNumeric()) {
        const std::optional<double> stored = TypedStored(typed);
        return stored && InRange(*stored) ? std::string() : AcceptedText();
    }
    std::size_t chars = 0;
    bool ok = Filtered(typed) == typed;
    for (const char c : typed)
        chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    ok = ok && (m_setup.maxLength == 0 || chars <= m_setup.maxLength);
    return ok ? std::string() : AcceptedText();
}

std::string HEditRules::AcceptedText() const {
    if (!IsNumeric()) {
        std::string what = "characters"; // also for codes that name no mode
        for (const HFilterModeText& t : kFilterModeTexts)
            if (t.mode == m_setup.filter)
                what = t.accepted;
        if (m_setup.maxLength == 0)
            return what == "characters" ? "any text" : "any number " + what;
        return "up to " + std::to_string(m_setup.maxLength) + " " + what;
    }
    if (m_setup.minimum == 0 && m_setup.maximum == 0)
        return "a number";
    const char* format = m_setup.kind == HValueKind::Integer ? "%.0f" : "%.10g";
    std::string range = m_setup.orZero ? "0, or a number from " : "a number from ";
    range += HFormatNumber(format, ToDisplay(m_setup.minimum));
    range += " to ";
    range += HFormatNumber(format, ToDisplay(m_setup.maximum));
    if (const std::string_view unit = HText::Trim(m_setup.unit); !unit.empty()) {
        range += ' ';
        range += unit;
    }
    return range;
}

void HEditRules::Commit() {
    if (!IsNumeric()) {
        m_taken = m_text;
        return;
    }
    // The text of the value last set, give or take blanks, keeps that value.
    if (ShowsSetValue(m_text))
        m_text = m_setText;
    SetValue(GetValue());
}

bool HEditRules::Accepts(char32_t ch) const {
    const bool decimal = m_setup.kind == HValueKind::Decimal;
    switch (m_setup.filter) {
    case HFilterMode::Any:
        return true;
    case HFilterMode::Decimal:
        return IsDigit(ch) || (decimal && (ch == U'.' || ch == U','));
    case HFilterMode::Octal:
        return ch >= U'0' && ch <= U'7';
    case HFilterMode::Hex:
        return IsHexDigit(ch);
    case HFilterMode::AlphaNumeric:
        return IsLetter(ch) || IsDigit(ch);
    case HFilterMode::Signed:
        return IsDigit(ch) || ch == U'-' || (decimal && (ch == U'.' || ch == U','));
    case HFilterMode::DtmfDigits:
        return ch < 0x80 &&
               (HFieldCoding::kDigitSymbols.find(static_cast<char>(ch)) != std::string_view::npos ||
                (ch >= U'a' && ch <= U'd'));
    default:
        return AcceptsOther(ch);
    }
}

std::string HEditRules::Filtered(std::string_view text) const {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t n = lead < 0x80           ? 1
                        : (lead >> 5) == 0x6  ? 2
                        : (lead >> 4) == 0xE  ? 3
                        : (lead >> 3) == 0x1E ? 4
                                              : 0;
        if (n == 0 || i + n > text.size()) {
            ++i;
            continue;
        }
        char32_t ch = n == 1 ? lead : lead & (0x7F >> n);
        bool ok = true;
        for (std::size_t k = 1; k < n; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            ch = (ch << 6) | (c & 0x3F);
        }
        if (!ok) {
            ++i;
            continue;
        }
        if (Accepts(ch))
            out.append(text.substr(i, n));
        i += n;
    }
    return out;
}

HKeyAction HEditRules::OnChar(char32_t ch, bool ctrlHeld) {
    if (ch == kBackspace || ch == kTab || ctrlHeld)
        return HKeyAction::Pass;
    if (ch == kEscape) {
        Restore();
        return HKeyAction::Restore;
    }
    if (ch == kEnter) {
        Commit();
        return HKeyAction::Commit;
    }
    return Accepts(ch) ? HKeyAction::Insert : HKeyAction::Drop;
}

bool HTagEditRules::AcceptsOther(char32_t ch) const {
    if (SetupRecord().filter != HFilterMode::Tag)
        return false;
    // Only 7-bit characters: stripping the top bit of a wider one would let
    // e.g. 0xC1 pass as 'A' and land in the radio as a byte it cannot show.
    if (ch > 0x7F)
        return false;
    return IsLetter(ch) || IsDigit(ch) ||
           std::u32string_view(U"[]_ %<>*+-/").find(ch) != std::u32string_view::npos;
}
