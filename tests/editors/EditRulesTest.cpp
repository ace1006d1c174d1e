#include "HEditRules.h"
#include "HNumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

// The Hardware edits: a frequency in Hz shown in MHz, and a release time
// stored in 5 ms steps.
constexpr HEditSetup kRefXtal{
    HValueKind::Decimal, 5,     0, 81910000, "%-5.2f", HFilterMode::Decimal, 1000000,
    HDisplayOp::Divide,  " MHz"};
constexpr HEditSetup kRelease{HValueKind::Integer,  3,     1, 64, "%-4d", HFilterMode::Decimal, 5,
                              HDisplayOp::Multiply, "msec"};
constexpr HEditSetup kAcont{HValueKind::Integer, 3, 0, 255, "%-4d", HFilterMode::Decimal, 0,
                            HDisplayOp::None,    ""};
constexpr HEditSetup kTag{HValueKind::Text, 8, 0, 0, "%s", HFilterMode::Tag, 0,
                          HDisplayOp::None, ""};

static_assert(HEditSetupIsSound(kRefXtal));
static_assert(HEditSetupIsSound(kRelease));
static_assert(HEditSetupIsSound(kTag));
static_assert(HEditFormatIsSound("%-9.5f"));
static_assert(!HEditFormatIsSound("%s"));
static_assert(!HEditFormatIsSound("%d %d"));
static_assert(!HEditFormatIsSound("%n"));
static_assert(!HEditFormatIsSound("%*d"));
static_assert(!HEditFormatIsSound("%ld"));
static_assert(HEditFormatIsSound("100%% %d"));

std::string Accepted(const HEditRules& r, std::u32string_view chars) {
    std::string out;
    for (char32_t c : chars)
        if (r.Accepts(c))
            out += static_cast<char>(c);
    return out;
}

} // namespace

TEST(EditRules, DisplayOperationsShowAndReadBackTheStoredValue) {
    HEditRules r(kRelease);
    r.SetValue(4);
    EXPECT_EQ(r.Text(), "20  msec");
    EXPECT_EQ(r.GetText(), "20 "); // the maximum length cuts the unit away
    EXPECT_EQ(r.GetStoredInt(), 4);

    HEditRules x(kRefXtal);
    x.SetValue(12800000);
    EXPECT_EQ(x.Text(), "12.80 MHz");
    EXPECT_EQ(x.GetText(), "12.80");
    EXPECT_EQ(x.GetStoredInt(), 12800000);

    HEditSetup add = kAcont;
    add.operation = HDisplayOp::Add;
    add.operand = 1;
    HEditRules a(add);
    a.SetValue(0);
    EXPECT_EQ(a.Text(), "1   ");
    a.SetTypedText("10");
    EXPECT_EQ(a.GetStoredInt(), 9);

    HEditSetup sub = kAcont;
    sub.operation = HDisplayOp::Subtract;
    sub.operand = 10;
    HEditRules s(sub);
    s.SetValue(30);
    EXPECT_EQ(s.Text(), "20  ");
    s.SetTypedText("5");
    EXPECT_EQ(s.GetStoredInt(), 15);

    // An unknown operation code and a zero divisor show the value as stored.
    HEditSetup none = kAcont;
    none.operation = static_cast<HDisplayOp>(7);
    none.operand = 3;
    HEditRules n(none);
    n.SetValue(12);
    EXPECT_EQ(n.Text(), "12  ");
    HEditSetup zero = kAcont;
    zero.operation = HDisplayOp::Divide;
    zero.operand = 0;
    HEditRules z(zero);
    z.SetValue(12);
    EXPECT_EQ(z.Text(), "12  ");
    EXPECT_EQ(z.GetStoredInt(), 12);
}

TEST(EditRules, ClampingAppliesToTheStoredValue) {
    HEditRules r(kRelease);
    r.SetTypedText("500"); // 100 steps of 5 ms: above 64
    EXPECT_EQ(r.GetStoredInt(), 64);
    r.SetTypedText("0");
    EXPECT_EQ(r.GetStoredInt(), 1);
    r.SetTypedText("22"); // 4.4 steps: an integer value rounds
    EXPECT_EQ(r.GetStoredInt(), 4);
    r.SetTypedText("");
    EXPECT_EQ(r.GetStoredInt(), 1); // an empty text reads 0, then the minimum

    // Range 0 to 0: any number passes.
    HEditSetup open = kAcont;
    open.minimum = 0;
    open.maximum = 0;
    open.maxLength = 0;
    open.filter = HFilterMode::Signed;
    HEditRules o(open);
    o.SetTypedText("-123456");
    EXPECT_EQ(o.GetStoredInt(), -123456);
    o.SetTypedText("99999999");
    EXPECT_EQ(o.GetStoredInt(), 99999999);

    HEditRules x(kRefXtal);
    x.SetTypedText("99.99");
    EXPECT_EQ(x.GetStoredInt(), 81910000);
    x.SetTypedText("12,5"); // a comma is a decimal point
    EXPECT_EQ(x.GetStoredInt(), 12500000);
}

TEST(EditRules, EnterCommitsAndEscapeRestoresTheTextLastSet) {
    HEditRules r(kRelease);
    r.SetValue(4);
    r.SetTypedText("45");
    EXPECT_EQ(r.OnChar(0x1B, false), HKeyAction::Restore);
    EXPECT_EQ(r.Text(), "20  msec");

    r.SetTypedText("500");
    EXPECT_EQ(r.OnChar(0x0D, false), HKeyAction::Commit);
    EXPECT_EQ(r.Text(), "320 msec"); // clamped to 64 steps and shown again
    r.SetTypedText("7");
    r.Restore();
    EXPECT_EQ(r.Text(), "320 msec");

    // A text stays as typed on Enter; Escape goes back to the text last set.
    HTagEditRules t(kTag);
    t.SetText("SELFTEST");
    EXPECT_EQ(t.Text(), "SELFTEST");
    t.SetTypedText("HELLO");
    EXPECT_EQ(t.OnChar(0x0D, false), HKeyAction::Commit);
    EXPECT_EQ(t.Text(), "HELLO");
    EXPECT_EQ(t.OnChar(0x1B, false), HKeyAction::Restore);
    EXPECT_EQ(t.Text(), "SELFTEST");
    t.SetTypedText("TOOLONGTEXT");
    EXPECT_EQ(t.GetText(), "TOOLONGT");
}

TEST(EditRules, KeyFiltersPerMode) {
    const std::u32string_view all = U"0123456789abcdefgxyzABCDEFGXYZ.,-+ _[]%<>*/#!@é";
    HEditSetup s = kAcont;
    auto with = [&](HFilterMode mode, HValueKind kind) {
        s.filter = mode;
        s.kind = kind;
        return HEditRules(s);
    };
    EXPECT_EQ(Accepted(with(HFilterMode::Decimal, HValueKind::Integer), all), "0123456789");
    EXPECT_EQ(Accepted(with(HFilterMode::Decimal, HValueKind::Decimal), all), "0123456789.,");
    EXPECT_EQ(Accepted(with(HFilterMode::Octal, HValueKind::Integer), all), "01234567");
    EXPECT_EQ(Accepted(with(HFilterMode::Hex, HValueKind::Integer), all), "0123456789abcdefABCDEF");
    EXPECT_EQ(Accepted(with(HFilterMode::AlphaNumeric, HValueKind::Text), all),
              "0123456789abcdefgxyzABCDEFGXYZ");
    EXPECT_EQ(Accepted(with(HFilterMode::Signed, HValueKind::Integer), all), "0123456789-");
    EXPECT_EQ(Accepted(with(HFilterMode::Signed, HValueKind::Decimal), all), "0123456789.,-");
    EXPECT_TRUE(with(HFilterMode::Any, HValueKind::Text).Accepts(U'é'));
    // Mode 9 means nothing to a plain edit; the tag edit takes its own set.
    EXPECT_EQ(Accepted(with(HFilterMode::Tag, HValueKind::Text), all), "");
    HTagEditRules tag(kTag);
    EXPECT_EQ(Accepted(tag, all), "0123456789abcdefgxyzABCDEFGXYZ-+ _[]%<>*/");
    EXPECT_FALSE(tag.Accepts(0xC1)); // would be 'A' with its top bit stripped

    // '8' into an octal edit and '.' into an integer mode-1 edit do nothing.
    HEditRules oct = with(HFilterMode::Octal, HValueKind::Integer);
    EXPECT_EQ(oct.OnChar(U'8', false), HKeyAction::Drop);
    EXPECT_EQ(oct.OnChar(U'7', false), HKeyAction::Insert);
    HEditRules dec = with(HFilterMode::Decimal, HValueKind::Integer);
    EXPECT_EQ(dec.OnChar(U'.', false), HKeyAction::Drop);
    // Backspace, Tab and anything with Ctrl held pass unfiltered.
    EXPECT_EQ(dec.OnChar(0x08, false), HKeyAction::Pass);
    EXPECT_EQ(dec.OnChar(0x09, false), HKeyAction::Pass);
    EXPECT_EQ(dec.OnChar(U'v', true), HKeyAction::Pass);
    EXPECT_EQ(dec.OnChar(U'v', false), HKeyAction::Drop);
}

TEST(EditRules, OctalAndHexEditsReadInTheirBase) {
    HEditSetup s = kAcont;
    s.filter = HFilterMode::Hex;
    s.format = "%X";
    HEditRules h(s);
    h.SetValue(255);
    EXPECT_EQ(h.Text(), "FF");
    h.SetTypedText("7f");
    EXPECT_EQ(h.GetStoredInt(), 127);
    s.filter = HFilterMode::Octal;
    s.format = "%o";
    HEditRules o(s);
    o.SetTypedText("17");
    EXPECT_EQ(o.GetStoredInt(), 15);
}

TEST(NumberText, FormatsAndParsesLikeTheCLibraryInTheCLocale) {
    EXPECT_EQ(HFormatNumber("%-9.5f", 134.0), "134.00000");
    EXPECT_EQ(HFormatNumber("%-4d", 19.6), "20  ");
    EXPECT_EQ(HFormatNumber("%d", 1e20), "2147483647");
    EXPECT_EQ(HFormatNumber("%s", 1.5), "1.5"); // an unsound format falls back to %g
    EXPECT_DOUBLE_EQ(HParseNumber("  12.5 MHz"), 12.5);
    EXPECT_DOUBLE_EQ(HParseNumber("+3"), 3);
    EXPECT_DOUBLE_EQ(HParseNumber("abc"), 0);
    EXPECT_DOUBLE_EQ(HParseNumber("1e999"), 0);
    EXPECT_DOUBLE_EQ(HParseNumber("ff", 16), 255);

    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr) {
        const std::string t = HFormatNumber("%-5.2f", 12.8);
        std::setlocale(LC_NUMERIC, saved.c_str());
        EXPECT_EQ(t, "12.80");
    }
}

TEST(EditRules, TypingStopsAtTheMaximumLength) {
    HEditRules r(kRelease);
    EXPECT_TRUE(r.HasRoom(2));
    EXPECT_FALSE(r.HasRoom(3));
    HEditRules unlimited(HEditSetup{});
    EXPECT_TRUE(unlimited.HasRoom(1000));
}

TEST(EditRules, PastedTextKeepsOnlyWhatTheFilterTakes) {
    HTagEditRules tag(kTag);
    EXPECT_EQ(tag.Filtered("Ca\xC3\xA9 #1!"), "Ca 1"); // é, '#', '!' go
    EXPECT_EQ(tag.Filtered("A\xC1\xFF"
                           "B\xE2\x82"),
              "AB"); // malformed bytes go
    HEditRules any(
        HEditSetup{HValueKind::Text, 8, 0, 0, "%s", HFilterMode::Any, 0, HDisplayOp::None, ""});
    EXPECT_EQ(any.Filtered("Caf\xC3\xA9"), "Caf\xC3\xA9");
}
