#include "HChoiceList.h"
#include "HEditRules.h"
#include "HNumberText.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Switches LC_NUMERIC to a locale whose decimal point is a comma; when the
// system has none, builds de_DE privately with localedef.
bool UseCommaLocale(const TempDir& dir) {
    auto comma = [] { return std::string(std::localeconv()->decimal_point) == ","; };
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
        if (std::setlocale(LC_NUMERIC, name) != nullptr && comma())
            return true;
    // localedef exits non-zero on mere warnings; whether the locale loads decides.
    const std::string cmd =
        "localedef -i de_DE -f UTF-8 '" + dir.File("de_DE.UTF-8") + "' >/dev/null 2>&1";
    [[maybe_unused]] const int rc = std::system(cmd.c_str());
    ::setenv("LOCPATH", dir.Path().c_str(), 1);
    return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr && comma();
}

// The Hardware edits: a frequency in Hz shown in MHz, and a release time
// stored in 5 ms steps.
constexpr HEditSetup kRefXtal{
    HValueKind::Decimal, 5,     0, 81910000, "%-5.2f", HFilterMode::Decimal, 1000000,
    HDisplayOp::Divide,  " MHz"};
constexpr HEditSetup kRelease{HValueKind::Integer,  3,     1, 64, "%-4d", HFilterMode::Decimal, 5,
                              HDisplayOp::Multiply, "msec"};
constexpr HEditSetup kAcont{HValueKind::Integer, 3, 0, 255, "%-4d", HFilterMode::Decimal, 0,
                            HDisplayOp::None,    ""};
// The frequencies of the 2Tone Table: no tone (0), or 288.5 to 3000.0 Hz.
constexpr HEditSetup kTone{HValueKind::Decimal, 6,  288.5, 3000, "%6.1f", HFilterMode::Decimal, 0,
                           HDisplayOp::None,    "", true};
constexpr HEditSetup kTag{HValueKind::Text, 8, 0, 0, "%s", HFilterMode::Tag, 0,
                          HDisplayOp::None, ""};

static_assert(HEditSetupIsSound(kRefXtal) && HEditSetupIsSound(kRelease) &&
              HEditSetupIsSound(kTag));
static_assert(HEditFormatIsSound("%-9.5f") && HEditFormatIsSound("100%% %d"));
static_assert(!HEditFormatIsSound("%s") && !HEditFormatIsSound("%d %d") &&
              !HEditFormatIsSound("%n") && !HEditFormatIsSound("%*d") &&
              !HEditFormatIsSound("%ld"));

std::string Accepted(const HEditRules& r, std::u32string_view chars) {
    std::string out;
    for (char32_t c : chars)
        if (r.Accepts(c))
            out += static_cast<char>(c);
    return out;
}

HEditSetup With(HDisplayOp op, double operand, HFilterMode filter = HFilterMode::Decimal,
                std::string_view format = "%-4d") {
    HEditSetup s = kAcont;
    s.operation = op;
    s.operand = operand;
    s.filter = filter;
    s.format = format;
    return s;
}

} // namespace

TEST(EditRules, DisplayOperationsShowAndReadBackTheStoredValue) {
    struct Case {
        HEditSetup setup;
        std::int32_t stored;
        const char* shown;
        const char* typed;
        std::int32_t storedFromTyped;
    };
    // An unknown operation code and a zero divisor show the value as stored.
    const Case cases[] = {
        {kRelease, 4, "20  msec", "22", 4},                  // 4.4 steps: an integer value rounds
        {kRefXtal, 12800000, "12.80 MHz", "12,5", 12500000}, // a comma is a decimal point
        {With(HDisplayOp::Add, 1), 0, "1   ", "10", 9},
        {With(HDisplayOp::Subtract, 10), 30, "20  ", "5", 15},
        {With(static_cast<HDisplayOp>(7), 3), 12, "12  ", "12", 12},
        {With(HDisplayOp::Divide, 0), 12, "12  ", "12", 12},
        {With(HDisplayOp::None, 0, HFilterMode::Hex, "%X"), 255, "FF", "7f", 127},
        {With(HDisplayOp::None, 0, HFilterMode::Octal, "%o"), 8, "10", "17", 15},
        {With(HDisplayOp::None, 0), 5, "5   ", "12x", 12}}; // read up to what is no digit
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        HEditRules r(c.setup);
        r.SetValue(c.stored);
        EXPECT_EQ(r.Text(), c.shown);
        EXPECT_EQ(r.GetStoredInt(), c.stored);
        r.SetTypedText(c.typed);
        EXPECT_EQ(r.GetStoredInt(), c.storedFromTyped);
    }
    // The maximum length cuts the unit away from the text read back.
    HEditRules r(kRelease);
    r.SetValue(4);
    EXPECT_EQ(r.GetText(), "20 ");
}

TEST(EditRules, ClampingAppliesToTheStoredValue) {
    HEditSetup open = kAcont; // range 0 to 0: any number passes
    open.maximum = 0;
    open.maxLength = 0;
    open.filter = HFilterMode::Signed;
    // An empty text reads 0, then the minimum; a tone's 0 besides its range stays 0.
    const std::tuple<HEditSetup, const char*, std::int32_t> cases[] = {
        {kRelease, "500", 64},         {kRelease, "", 1}, {open, "-123456", -123456},
        {kRefXtal, "99.99", 81910000}, {kTone, "0", 0},   {kTone, "5000", 3000},
    };
    for (const auto& [setup, typed, stored] : cases) {
        HEditRules r(setup);
        r.SetTypedText(typed);
        EXPECT_EQ(r.GetStoredInt(), stored) << typed;
    }
}

TEST(EditRules, ATextIsTakenOrRefusedWithWhatTheEditTakes) {
    HEditSetup octal = kAcont;
    octal.filter = HFilterMode::Octal;
    const HEditSetup dtmf{HValueKind::Text, 15, 0, 0, "%s", HFilterMode::DtmfDigits, 0,
                          HDisplayOp::None, ""};
    auto text = [](HFilterMode filter, std::uint32_t maxLength) {
        return HEditSetup{HValueKind::Text, maxLength, 0, 0, "%s", filter, 0, HDisplayOp::None, ""};
    };
    struct Case {
        HEditSetup setup;
        const char* typed;
        const char* refusal; // empty: taken
    };
    const char* release = "a number from 5 to 320 msec";
    const char* tones = "0, or a number from 288.5 to 3000";
    const char* digits = "up to 15 of 0-9, A-D, * and #";
    const Case cases[] = {
        {kRelease, "22", ""},
        {kRelease, " 20msec ", ""}, // the unit may follow, blanks aside
        {kRelease, "500", release},
        {kRelease, "", release}, // empty is 0, below the range
        {kRelease, "2x", release},
        {kRefXtal, "40.9", ""},
        {kRefXtal, "99.99", "a number from 0 to 81.91 MHz"},
        {kTone, "0", ""},
        {kTone, "", ""},
        {kTone, "288.5", ""},
        {kTone, "3000", ""},
        {kTone, "12.3", tones},
        {kTone, "288.4", tones},
        {kTone, "3000.1", tones},
        {octal, "17", ""},
        {octal, "18", "a number from 0 to 255"},
        {dtmf, "12a*#", ""},
        {dtmf, "12e", digits},
        {dtmf, "1234567890ABCD*#", digits},
        {kTag, "AB 1", ""},
        {kTag, "AB#1", "up to 8 letters, digits and \"[]_ %<>*+-/\""},
        {text(HFilterMode::Decimal, 4), "12a", "up to 4 digits"},
        {text(HFilterMode::Decimal, 0), "1.5", "any number digits"},
        {text(HFilterMode::Octal, 3), "8", "up to 3 of 0-7"},
        {text(HFilterMode::Hex, 2), "FG", "up to 2 of 0-9 and A-F"},
        {text(HFilterMode::AlphaNumeric, 5), "A-1", "up to 5 letters and digits"},
        {text(HFilterMode::Signed, 6), "+1", "up to 6 digits and '-'"},
        {text(HFilterMode::Any, 3), "ABCD", "up to 3 characters"},
        {text(HFilterMode::Any, 0), "ABCD", ""},
        {text(static_cast<HFilterMode>(7), 2), "ABC", "up to 2 characters"}, // no such mode
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        std::unique_ptr<HEditRules> r = c.setup.filter == HFilterMode::Tag
                                            ? std::make_unique<HTagEditRules>(c.setup)
                                            : std::make_unique<HEditRules>(c.setup);
        EXPECT_EQ(r->Refusal(c.typed), c.refusal);
    }
    // A text set from the image stands, whatever the edit would take typed.
    HTagEditRules set(kTag);
    set.SetText("AB#1");
    EXPECT_EQ(set.Refusal("AB#1"), "");
    // With no range (0 to 0) any number is taken.
    HEditSetup open = kAcont;
    open.maximum = 0;
    open.filter = HFilterMode::Signed;
    EXPECT_EQ(HEditRules(open).Refusal("-12"), "");
}

TEST(EditRules, AValueSetIsKeptUntilItsTextChanges) {
    // Outside the range, between two texts, or past 2^31: while its text is
    // shown the edit stands for exactly the value set, and a commit of that
    // text (blanks aside) keeps it.
    const HEditSetup band{
        HValueKind::Decimal, 9,     0, 1000000000, "%-9.5f", HFilterMode::Decimal, 1000000,
        HDisplayOp::Divide,  " MHz"};
    struct Case {
        HEditSetup setup;
        double stored;
        const char* shown;
        std::int32_t kept;
    };
    const Case cases[] = {
        {kRelease, 0, "0   msec", 0},                                      // below the range
        {kRefXtal, 12802500, "12.80 MHz", 12802500},                       // between two texts
        {band, 3204884260.0, "3204.88426 MHz", std::int32_t(3204884260u)}, // unsigned 32 bits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        HEditRules r(c.setup);
        r.SetValue(c.stored);
        EXPECT_EQ(r.Text(), c.shown);
        EXPECT_EQ(r.GetStoredInt(), c.kept);
        EXPECT_EQ(r.Refusal(std::string(" ") + c.shown), "");
        r.SetTypedText(std::string(c.shown) + " ");
        r.Commit();
        EXPECT_EQ(r.GetStoredInt(), c.kept);
    }
    // Another text is read as typed: 12.8 is 12800000 Hz, not the value set.
    HEditRules r(kRefXtal);
    r.SetValue(12802500);
    r.SetTypedText("12.8");
    r.Commit();
    EXPECT_EQ(r.GetStoredInt(), 12800000);
    EXPECT_EQ(r.Text(), "12.80 MHz");
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

    // A text stays as typed on Enter; Escape goes back to the text last set.
    HTagEditRules t(kTag);
    t.SetText("SELFTEST");
    t.SetTypedText("HELLO");
    EXPECT_EQ(t.OnChar(0x0D, false), HKeyAction::Commit);
    EXPECT_EQ(t.Text(), "HELLO");
    t.OnChar(0x1B, false);
    EXPECT_EQ(t.Text(), "SELFTEST");
}

TEST(EditRules, KeyFiltersPerMode) {
    const std::u32string_view all = U"0123456789abcdefgxyzABCDEFGXYZ.,-+ _[]%<>*/#!@é";
    HEditSetup s = kAcont;
    auto with = [&](HFilterMode mode, HValueKind kind) {
        s.filter = mode;
        s.kind = kind;
        return HEditRules(s);
    };
    std::string got;
    for (auto [mode, kind] : {std::pair{HFilterMode::Decimal, HValueKind::Integer},
                              {HFilterMode::Decimal, HValueKind::Decimal},
                              {HFilterMode::Octal, HValueKind::Integer},
                              {HFilterMode::Hex, HValueKind::Integer},
                              {HFilterMode::AlphaNumeric, HValueKind::Text},
                              {HFilterMode::Signed, HValueKind::Integer},
                              {HFilterMode::Signed, HValueKind::Decimal}})
        got += Accepted(with(mode, kind), all) + "|";
    EXPECT_EQ(got, "0123456789|0123456789.,|01234567|0123456789abcdefABCDEF|"
                   "0123456789abcdefgxyzABCDEFGXYZ|0123456789-|0123456789.,-|");
    // Mode 9 means nothing to a plain edit; the tag edit takes its own set.
    EXPECT_EQ(Accepted(with(HFilterMode::Tag, HValueKind::Text), all), "");
    HTagEditRules tag(kTag);
    EXPECT_EQ(Accepted(tag, all), "0123456789abcdefgxyzABCDEFGXYZ-+ _[]%<>*/");
    EXPECT_FALSE(tag.Accepts(0xC1)); // would be 'A' with its top bit stripped

    // '8' into an octal edit and '.' into an integer mode-1 edit do nothing.
    // Backspace, Tab and anything with Ctrl held pass unfiltered.
    HEditRules oct = with(HFilterMode::Octal, HValueKind::Integer);
    HEditRules dec = with(HFilterMode::Decimal, HValueKind::Integer);
    using A = HKeyAction;
    EXPECT_EQ(
        std::vector<A>({oct.OnChar(U'8', false), dec.OnChar(0x08, false), dec.OnChar(U'v', true)}),
        std::vector<A>({A::Drop, A::Pass, A::Pass}));
}

TEST(NumberText, FormatsAndParsesLikeTheCLibraryInTheCLocale) {
    // An unsound format falls back to %g; a value past the int range is held.
    EXPECT_EQ(HFormatNumber("%-4d", 19.6) + "|" + HFormatNumber("%d", 1e20) + "|" +
                  HFormatNumber("%s", 1.5),
              "20  |2147483647|1.5");
    EXPECT_EQ((std::vector<double>{HParseNumber("  12.5 MHz"), HParseNumber("abc"),
                                   HParseNumber("1e999"), HParseNumber("ff", 16)}),
              (std::vector<double>{12.5, 0, 0, 255}));

    // Under a comma-decimal locale the texts and parsing stay the radio's.
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    TempDir locales;
    if (!UseCommaLocale(locales))
        GTEST_SKIP() << "no comma-decimal locale here and none could be built with localedef";
    const std::string t = HFormatNumber("%-5.2f", 12.8);
    const auto tenths = HChoiceItems(HChoiceGenerated(1, 5, 5, "sec", true));
    const double parsed = HParseNumber("12.5");
    std::setlocale(LC_NUMERIC, saved.c_str());
    ::unsetenv("LOCPATH");
    EXPECT_EQ(t, "12.80");
    EXPECT_EQ(tenths[0].text, "0.5  sec");
    EXPECT_DOUBLE_EQ(parsed, 12.5);
}

TEST(EditRules, TypingStopsAtTheMaximumLengthAndPastesAreFiltered) {
    HEditRules r(kRelease);
    EXPECT_TRUE(r.HasRoom(2) && !r.HasRoom(3) && HEditRules(HEditSetup{}).HasRoom(1000));
    HTagEditRules tag(kTag);
    EXPECT_EQ(tag.Filtered("Ca\xC3\xA9 #1!"), "Ca 1"); // é, '#', '!' go
    EXPECT_EQ(tag.Filtered("A\xC1\xFF"
                           "B\xE2\x82"),
              "AB"); // malformed bytes go
    HEditRules any(
        HEditSetup{HValueKind::Text, 8, 0, 0, "%s", HFilterMode::Any, 0, HDisplayOp::None, ""});
    EXPECT_EQ(any.Filtered("Caf\xC3\xA9"), "Caf\xC3\xA9");
}

TEST(EditRules, ATypedTextIsCutToItsLength) {
    HTagEditRules t(kTag);
    t.SetTypedText("TOOLONGTEXT");
    EXPECT_EQ(t.GetText(), "TOOLONGT");
}
