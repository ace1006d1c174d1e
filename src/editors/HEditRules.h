#pragma once
// The rules of a validated edit control, without the widget: which keys it
// takes (by filter mode), how a stored value is shown (display operation,
// printf format, unit) and read back (inverse operation, clamping to the stored
// range), and the saved text that Escape puts back. A widget wraps one of these:
// it asks OnChar for every typed character and pushes the typed text in.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class HValueKind : std::uint32_t { Integer = 0, Decimal = 1, Text = 2 };

// Codes as the edit set-up records store them; any other code means none.
enum class HDisplayOp : std::uint32_t { None = 0, Add = 1, Subtract = 2, Multiply = 3, Divide = 4 };

enum class HFilterMode : std::uint32_t {
    Any = 0,          // any character
    Decimal = 1,      // digits; '.' and ',' for decimal values
    Octal = 2,        // '0'-'7'
    Hex = 3,          // hexadecimal digits
    AlphaNumeric = 4, // letters and digits
    Signed = 5,       // digits and '-'; '.' and ',' for decimal values
    Tag = 9,          // the tag edit's own filter
    DtmfDigits = 10,  // the DTMF digit symbols 0-9, A-D, * and # (a-d taken as A-D)
};

// What each text filter mode takes, as messages name it ("up to 8 digits");
// a code that names no mode takes any characters.
struct HFilterModeText {
    HFilterMode mode;
    std::string_view accepted;
};
inline constexpr HFilterModeText kFilterModeTexts[] = {
    {HFilterMode::Any, "characters"},
    {HFilterMode::Decimal, "digits"},
    {HFilterMode::Octal, "of 0-7"},
    {HFilterMode::Hex, "of 0-9 and A-F"},
    {HFilterMode::AlphaNumeric, "letters and digits"},
    {HFilterMode::Signed, "digits and '-'"},
    {HFilterMode::Tag, "letters, digits and \"[]_ %<>*+-/\""},
    {HFilterMode::DtmfDigits, "of 0-9, A-D, * and #"},
};

// One edit set-up record: how an edit shows and checks one value. The range is
// that of the stored value (0 to 0: no range).
struct HEditSetup {
    HValueKind kind = HValueKind::Decimal;
    std::uint32_t maxLength = 0; // 0: no limit
    double minimum = 0;
    double maximum = 0;
    std::string_view format = "%g"; // one conversion: d i u x X o, or f F e E g G
    HFilterMode filter = HFilterMode::Any;
    double operand = 0;
    HDisplayOp operation = HDisplayOp::None;
    std::string_view unit; // appended to numbers, at most 7 characters
    // 0 is taken besides the range ("0, or 288.5 to 3000.0": 0 means none).
    bool orZero = false;
};

// True when a format holds exactly one int or double conversion with no '*',
// no '%n' and no length modifier, so it can be given one number safely.
[[nodiscard]] constexpr bool HEditFormatIsSound(std::string_view f) {
    int conversions = 0;
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (f[i] != '%')
            continue;
        if (i + 1 < f.size() && f[i + 1] == '%') {
            ++i;
            continue;
        }
        ++i;
        while (i < f.size() && std::string_view("-+ #0").find(f[i]) != std::string_view::npos)
            ++i;
        while (i < f.size() && f[i] >= '0' && f[i] <= '9')
            ++i;
        if (i < f.size() && f[i] == '.') {
            ++i;
            while (i < f.size() && f[i] >= '0' && f[i] <= '9')
                ++i;
        }
        if (i >= f.size() || std::string_view("diuxXofFeEgG").find(f[i]) == std::string_view::npos)
            return false;
        ++conversions;
    }
    return conversions == 1;
}

[[nodiscard]] constexpr bool HEditSetupIsSound(const HEditSetup& s) {
    if (s.unit.size() > 7 || s.format.size() > 11)
        return false;
    if (s.kind == HValueKind::Text)
        return s.maxLength != 0;
    if (s.operation == HDisplayOp::Divide && s.operand == 0)
        return false;
    return HEditFormatIsSound(s.format) && s.minimum <= s.maximum;
}

// What the widget does with one typed character.
enum class HKeyAction {
    Insert,  // accepted: insert it
    Drop,    // rejected: nothing happens
    Pass,    // Backspace, Tab, Ctrl+key: the widget's usual handling
    Restore, // Escape: the saved text is back (swallow the key)
    Commit,  // Enter: the text was committed
};

class HEditRules {
public:
    HEditRules() = default;
    explicit HEditRules(const HEditSetup& setup) { Setup(setup); }
    HEditRules(const HEditRules&) = default;
    HEditRules& operator=(const HEditRules&) = default;
    virtual ~HEditRules() = default;

    void Setup(const HEditSetup& setup);
    void SetFilter(HFilterMode mode) { m_setup.filter = mode; }
    void SetRange(double minimum, double maximum);
    void SetColors(std::uint32_t background, std::uint32_t text);
    [[nodiscard]] const HEditSetup& SetupRecord() const { return m_setup; }
    [[nodiscard]] std::uint32_t Background() const { return m_background; }
    [[nodiscard]] std::uint32_t TextColor() const { return m_textColor; }

    // Shows a stored value: display operation, format, and for numbers the
    // unit. The text shown becomes the saved text, and while it is shown the
    // edit stands for exactly this value, whatever the text rounds or however
    // far outside the range it lies: a value is kept until it is changed.
    void SetValue(double stored);
    // Shows a text as given (text values); for number kinds the unit is
    // appended. The text becomes the saved text.
    void SetText(std::string_view text);

    // What the user has typed (the widget pushes it on every change).
    void SetTypedText(std::string_view text) { m_text = text; }
    // The text shown now, unit included.
    [[nodiscard]] const std::string& Text() const { return m_text; }
    [[nodiscard]] const std::string& SavedText() const { return m_saved; }
    // The text cut to the maximum length (which is how the unit falls away).
    [[nodiscard]] std::string GetText() const;

    // The stored value the text stands for: the value last set while its text
    // is shown; otherwise the whole typed number (the unit may follow), or
    // failing that its leading number (atof-like: a bad text is 0), display
    // operation undone, rounded for integer values, clamped.
    [[nodiscard]] double GetValue() const;
    // GetValue rounded into a 32-bit group value; values from 2^31 up to
    // 2^32 - 1 give the same 32 bits (a 32-bit row holds them unsigned).
    [[nodiscard]] std::int32_t GetStoredInt() const;

    // Whether a text, typed or given, is one the edit takes: empty when it
    // is, else what it takes (AcceptedText). A text takes every character
    // through the filter and keeps to the maximum length; a number is one
    // whole number (the unit may follow) whose stored value lies in the range
    // (or is 0 where 0 is taken). The text shown for the value last set is
    // always taken: it changes nothing.
    [[nodiscard]] std::string Refusal(std::string_view typed) const;
    // What the edit takes, for messages: "a number from 1 to 255 msec",
    // "0, or a number from 288.5 to 3000", "up to 15 of 0-9, A-D, * and #".
    [[nodiscard]] std::string AcceptedText() const;

    // One typed character (a Unicode code point), with Ctrl held or not.
    // Escape restores the saved text and Enter commits before returning.
    HKeyAction OnChar(char32_t ch, bool ctrlHeld);
    // The length limit of typing: may one more character go into a text of
    // `chars` characters (the selection already taken out)?
    [[nodiscard]] bool HasRoom(std::size_t chars) const {
        return m_setup.maxLength == 0 || chars < m_setup.maxLength;
    }
    // A text with every character the filter refuses taken out (UTF-8 in and
    // out; malformed bytes go too). Pasted text passes no key filter.
    [[nodiscard]] std::string Filtered(std::string_view text) const;
    // The filter alone: does the mode take this character?
    [[nodiscard]] bool Accepts(char32_t ch) const;
    // Escape: the text as last set.
    void Restore() { m_text = m_saved; }
    // A refused text: the text last set or committed is shown again.
    void TakeBack() { m_text = m_taken; }
    // Enter: numbers are converted, clamped and shown again; texts stay as typed.
    void Commit();

    [[nodiscard]] double Clamp(double stored) const;
    [[nodiscard]] double ToDisplay(double stored) const;
    [[nodiscard]] double FromDisplay(double shown) const;
    [[nodiscard]] bool IsNumeric() const { return m_setup.kind != HValueKind::Text; }

protected:
    // Filter modes beyond the built-in ones; the base takes nothing.
    [[nodiscard]] virtual bool AcceptsOther(char32_t ch) const { return false; }

private:
    [[nodiscard]] std::string FormatNumber(double shown) const;
    // The typed number as a stored value, before rounding and clamping; none
    // for a text that is not one whole number (the unit may follow).
    [[nodiscard]] std::optional<double> TypedStored(std::string_view typed) const;
    [[nodiscard]] bool InRange(double stored) const;
    // A text that is the one shown for the value last set, blanks aside.
    [[nodiscard]] bool ShowsSetValue(std::string_view typed) const;

    HEditSetup m_setup;
    std::string m_text;
    std::string m_saved;
    // The value last set and the text that shows it.
    std::optional<double> m_setValue;
    std::string m_setText;
    bool m_textSet = false;
    std::string m_taken; // the text last set or committed
    std::uint32_t m_background = 0xFFFFFF;
    std::uint32_t m_textColor = 0x000000;
};

// The tag edit: in mode 9 it takes letters, digits and "[]_ %<>*+-/".
class HTagEditRules : public HEditRules {
public:
    using HEditRules::HEditRules;

protected:
    [[nodiscard]] bool AcceptsOther(char32_t ch) const override;
};
