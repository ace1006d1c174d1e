// The editor registry as a whole: every editor opens over a varied image and
// shows each of its settings, a change of each kind of control reaches only
// the bits of its group's rows, an OK without an edit writes nothing, and
// the keys follow the naming rule.
#include "HDefaultImage.h"
#include "HEditorRegistry.h"
#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <set>

namespace {

// The built-in image with random bytes over the settings bytes that are not
// the channel allocation (group bytes 36-159, tags from 1024) or the model.
HMemoryImage VariedImage(unsigned seed) {
    HMemoryImage image = BuildDefaultImage();
    std::mt19937 rng(seed);
    for (std::size_t i = 0; i < 800; ++i) {
        const bool allocation = (i >= 36 && i < 160);
        const bool model = i == 33 || i == 34;
        if (!allocation && !model)
            image[i] = static_cast<std::uint8_t>(rng());
    }
    return image;
}

// The bits a group's rows own: saved over all-zero and all-one images, a bit
// the rows do not own keeps its 0 or 1, a bit they own gets the same value in both.
HMemoryImage RowBits(const HSettingsGroup& group) {
    HMemoryImage zeros{};
    HMemoryImage ones{};
    ones.fill(0xFF);
    group.Save(zeros);
    group.Save(ones);
    HMemoryImage mask{};
    for (std::size_t i = 0; i < mask.size(); ++i)
        mask[i] = static_cast<std::uint8_t>(~(zeros[i] ^ ones[i]));
    return mask;
}

// A value for a setting other than the one it shows: another offered entry,
// the other check state, or an edit's range end (a text: its whole length).
std::string OtherValue(HSettingsSession& session, const HSettingsSession::Setting& s) {
    const HEditor& e = session.EditorOf(s);
    switch (e.Item(s.item).kind) {
    case HItemKind::Combo:
        for (const HChoiceItem& c : e.Combo(s.item).Items())
            if (c.code != session.Code(s))
                return c.text;
        return {};
    case HItemKind::Check:
        return HChoiceText(*e.Item(s.item).choices, session.Code(s) == 0 ? 1 : 0);
    case HItemKind::Edit: {
        const HEditRules& r = e.Edit(s.item);
        if (!r.IsNumeric()) {
            // A text of the edit's whole length, of a digit every filter takes.
            const std::size_t length =
                r.SetupRecord().maxLength == 0 ? 2 : r.SetupRecord().maxLength;
            const std::string full(length, '1');
            return e.ShownText(s.item) == full ? std::string(length, '2') : full;
        }
        const double low = r.ToDisplay(r.SetupRecord().minimum);
        const double high = r.ToDisplay(r.SetupRecord().maximum);
        const double now = r.ToDisplay(r.GetValue());
        char text[32];
        std::snprintf(text, sizeof text, "%.6g", std::abs(now - low) > 1e-9 ? low : high);
        return text;
    }
    case HItemKind::Grid: {
        // A grid cell: another list entry, the other tick state, or a text.
        const HGridSource& g = *e.Grid(s.item);
        const HEditStart start = g.BeginEdit(s.row, s.column);
        if (start.kind == HCellEdit::List) {
            for (std::size_t i = 0; i < start.listTexts.size(); ++i)
                if (static_cast<int>(i) != start.listIndex && !start.listTexts[i].empty())
                    return start.listTexts[i];
            return {};
        }
        if (start.kind == HCellEdit::Text) {
            // The cell's whole length: some cells take only full codes.
            const std::string full =
                std::string("123456789").substr(0, std::min<std::size_t>(start.maxLength, 9));
            const std::string other = std::string("987654321").substr(0, full.size());
            return start.text == full ? other : full;
        }
        if (g.IsTickColumn(s.column))
            return g.CellTick(s.row, s.column) == HTickState::Unticked ? "v" : "-";
        return {};
    }
    case HItemKind::Static:
    case HItemKind::Button:
        break;
    }
    return {};
}

} // namespace

TEST(EditorRegistryTest, KeysAreUniqueWellFormedAndNamedFromTheirLabels) {
    HMemoryImage image = BuildDefaultImage();
    HSettingsSession session(image, 2);
    // Grid cells: "section.N.column", N the entry number from 1.
    const std::regex rule("[a-z0-9]+(_[a-z0-9]+)*\\.([1-9][0-9]*\\.)?[a-z0-9]+(_[a-z0-9]+)*");
    std::set<std::string> keys;
    for (const auto& s : session.Settings()) {
        EXPECT_TRUE(std::regex_match(s.key, rule)) << s.key;
        EXPECT_TRUE(keys.insert(s.key).second) << s.key << " twice";
    }
    // The examples the naming rule was written with.
    for (const char* key :
         {"power_saving.mic_gain", "scanning.dual_watch_timer", "direct_ch.direct_ch_1_group",
          "direct_ch.direct_ch_4_channel", "hardware.display_type", "hardware.display_type_2",
          "dsub_15.15_f", "option.dimmer_level", "miscellaneous.default_split",
          "password.programming_password", "emergency.dtmf_emergency_code"})
        EXPECT_NE(session.Find(key), nullptr) << key;
    // Every Common menu section is there.
    std::set<std::string> sections;
    for (const HEditorEntry& e : HEditorRegistry::Entries())
        if (e.family == HEditorFamily::Common)
            sections.insert(std::string(e.section));
    EXPECT_EQ(sections.size(), 12u);
    // The menu command and the section each find their own entry.
    for (const HEditorEntry& e : HEditorRegistry::Entries()) {
        EXPECT_EQ(HEditorRegistry::FindByCommand(e.command), &e) << e.section;
        EXPECT_EQ(HEditorRegistry::FindBySection(e.section), &e) << e.section;
    }
}

TEST(EditorRegistryTest, EveryEditorShowsItsSettingsAndAChangeReachesOnlyItsRows) {
    const HMemoryImage varied = VariedImage(4242);
    HMemoryImage probe = varied;
    HSettingsSession listing(probe, 2);
    for (const HEditorEntry& entry : HEditorRegistry::Entries()) {
        for (std::size_t page = 0; page < entry.pages.size(); ++page) {
            std::set<HItemKind> done;
            bool onlyGrids = true;
            for (const auto& s : listing.Settings()) {
                if (s.section != entry.section || s.page != page)
                    continue;
                const HItemKind kind = listing.EditorOf(s).Item(s.item).kind;
                if (done.count(kind) != 0 || !listing.EditorOf(s).IsEnabled(s.item) ||
                    !listing.IsShown(s))
                    continue;
                // Grid cells write records, not group rows: GridColumns checks
                // each column's own bits.
                if (kind == HItemKind::Grid)
                    continue;
                onlyGrids = false;
                // The band and product type make a new image: their own test.
                if (s.key == "hardware.freq_band" || s.key == "hardware.product_type" ||
                    s.key.rfind("hardware.display_type", 0) == 0)
                    continue;
                // The signalling type resets the other family's tables: its own test.
                if (s.key == "signalling_type.signalling")
                    continue;
                HMemoryImage image = varied;
                HSettingsSession session(image, 2);
                const HSettingsSession::Setting* mine = session.Find(s.key);
                ASSERT_NE(mine, nullptr);
                const std::string value = OtherValue(session, *mine);
                if (value.empty())
                    continue;
                const std::string before = session.Shown(*mine);
                ASSERT_EQ(session.Set(*mine, value), "") << s.key << " = " << value;
                EXPECT_NE(session.Shown(*mine), before) << s.key;
                EXPECT_TRUE(Differences(image, varied).empty()) << s.key << ": written before OK";
                ASSERT_EQ(session.Confirm(nullptr), "") << s.key;
                EXPECT_FALSE(Differences(image, varied).empty()) << s.key << ": nothing written";
                // A sheet's OK stores every page: the rows of all its groups.
                HMemoryImage mask{};
                for (std::size_t p = 0; p < entry.pages.size(); ++p) {
                    HSettingsSession::Setting other = *mine;
                    other.page = p;
                    auto* bound = dynamic_cast<HGroupEditor*>(&session.EditorOf(other));
                    ASSERT_NE(bound, nullptr) << s.key;
                    const HMemoryImage bits = RowBits(bound->Group());
                    for (std::size_t i = 0; i < mask.size(); ++i)
                        mask[i] |= bits[i];
                }
                for (std::size_t i = 0; i < image.size(); ++i)
                    EXPECT_EQ((image[i] ^ varied[i]) & ~mask[i], 0)
                        << s.key << " changed byte " << i << " outside its group's rows";
                // The new value is what a fresh look at the image shows.
                HMemoryImage reread = image;
                HSettingsSession again(reread, 2);
                EXPECT_EQ(again.Shown(*again.Find(s.key)), session.Shown(*mine)) << s.key;
                done.insert(kind);
            }
            if (entry.section != "signalling_type" && !onlyGrids) {
                EXPECT_FALSE(done.empty())
                    << entry.section << " page " << page << ": nothing changed";
            }
        }
    }
}

TEST(EditorRegistryTest, SetTakesWhatTheDialogTakesAndSaysWhatIsAllowedOtherwise) {
    struct Case {
        int level;
        const char* key;
        const char* value;
        const char* why; // empty: taken
    };
    const Case cases[] = {
        {0, "option.beep", " ON", ""},
        {0, "option.beep", "x", "option.beep: \"x\" is not allowed; one of \"Off\", \"On\""},
        {0, "password.programming", " enable ", ""},
        {0, "password.programming", "",
         "password.programming: \"\" is not allowed; one of \"Disable\", \"Enable\""},
        {0, "power_saving.beep_level", "99",
         "power_saving.beep_level: \"99\" is not allowed; a number from 0 to 15"},
        {0, "two_tone_decode.1.mute_mode", "bad",
         "two_tone_decode.1.mute_mode: \"bad\" is not allowed here; one of \"-----\", \"Open \", "
         "\"Close\""},
        // Shown but greyed at the ordinary level, and not shown at all.
        {0, "hardware.ref_xtal", "5",
         "hardware.ref_xtal cannot be changed at this access level or with these settings"},
        {0, "hardware.acont_timing", "3",
         "hardware.acont_timing cannot be changed at this access level or with these settings"},
        {2, "hardware.ref_xtal", "5", ""},
    };
    for (const Case& c : cases) {
        HMemoryImage image = BuildDefaultImage();
        HSettingsSession session(image, c.level);
        const HSettingsSession::Setting* s = session.Find(c.key);
        ASSERT_NE(s, nullptr) << c.key;
        EXPECT_EQ(session.Set(*s, c.value), c.why) << c.key << " = \"" << c.value << '"';
    }
}

TEST(EditorRegistryTest, ABandChangeMakesTheImageAnewForTheModel) {
    HMemoryImage image = BuildDefaultImage();
    HSettingsSession session(image, 2);
    ASSERT_EQ(session.Set(*session.Find("hardware.freq_band"), "UHF A"), "");
    ASSERT_EQ(session.Confirm(&MakeImageForModel), "");
    EXPECT_TRUE(Differences(image, MakeImageForModel(kBandUhfA, kProductMobile, 1)).empty());
}

TEST(EditorRegistryTest, OkWithoutAnEditLeavesEveryByte) {
    // The one statement of the rule, for every editor the registry lists and
    // every page of it, at the ordinary and the raised access level: opened
    // and confirmed without an edit, an editor writes nothing. A value no
    // list offers, one outside an edit's range, one the field tables code
    // only one way (BCD nibbles above 9, filtered characters, pad bytes) and
    // tables compiled from others all stay as the image holds them.
    std::vector<std::pair<std::string, HMemoryImage>> starts = {
        {"the built-in image", BuildDefaultImage()},
        {"a UHF A handheld", MakeImageForModel(kBandUhfA, kProductHandheld, 1)},
        {"a VHF mobile without LCD", MakeImageForModel(kBandVhf, kProductMobile, 0)}};
    constexpr unsigned kFirstSeed = 2207;
    for (unsigned seed = kFirstSeed; seed < kFirstSeed + 24; ++seed) {
        std::mt19937 rng(seed);
        HMemoryImage random;
        for (std::uint8_t& b : random)
            b = static_cast<std::uint8_t>(rng());
        starts.emplace_back("the random image of seed " + std::to_string(seed), random);
    }
    int failures = 0;
    for (const auto& [name, start] : starts)
        for (const HEditorEntry& entry : HEditorRegistry::Entries())
            for (const HEditorPageEntry& page : entry.pages)
                for (const int level : {0, 2}) {
                    HMemoryImage image = start;
                    std::unique_ptr<HEditor> editor = page.make(page, {&image, level});
                    editor->Open();
                    // A refusing check writes nothing either.
                    (void)editor->Confirm();
                    const std::vector<std::size_t> changed = Differences(image, start);
                    if (changed.empty())
                        continue;
                    ADD_FAILURE() << entry.section << " page \"" << page.caption << "\" at level "
                                  << level << " on " << name << " changed byte " << changed.front()
                                  << " from " << int(start[changed.front()]) << " to "
                                  << int(image[changed.front()]) << " (" << changed.size()
                                  << " bytes in all)";
                    ASSERT_LT(++failures, 10) << "more failures not shown";
                }
}

TEST(EditorRegistryTest, EveryRowOfACommonGroupIsNamedOnceAndRowsNoDialogShowsReadTheirBits) {
    HMemoryImage image = VariedImage(99);
    HSettingsSession session(image, 2);
    std::set<std::string> settingKeys;
    for (const auto& s : session.Settings())
        settingKeys.insert(s.key);
    // Rows that an item shows through a value of its own: the option unit code
    // (rows 5 and 14) and the emergency code's digit count (row 21).
    const std::set<std::pair<std::string, std::size_t>> folded = {
        {"option", 5}, {"option", 14}, {"emergency", 21}};
    const std::regex rule("[a-z0-9_]+\\.row_(0|[1-9][0-9]*)");
    for (std::size_t e = 0; e < HEditorRegistry::Entries().size(); ++e) {
        const HEditorEntry& entry = HEditorRegistry::Entries()[e];
        if (entry.family != HEditorFamily::Common)
            continue;
        for (std::size_t p = 0; p < entry.pages.size(); ++p) {
            HSettingsSession::Setting any{"", "", std::string(entry.section), e, p, 0};
            const auto* editor = dynamic_cast<const HGroupEditor*>(&session.EditorOf(any));
            ASSERT_NE(editor, nullptr) << entry.section;
            const HSettingsGroup& group = editor->Group();
            for (std::size_t row = 0; row < group.StoredValueCount(); ++row) {
                int names = 0;
                for (const HEditorItem& item : entry.pages[p].items)
                    names += item.value == std::int32_t(row) && !item.name.empty();
                for (const auto& r : session.Rows())
                    names +=
                        r.section == entry.section && r.page == p && r.value == std::int32_t(row);
                names += folded.count({std::string(entry.section), row}) != 0;
                EXPECT_EQ(names, 1) << entry.section << " page " << p << " row " << row;
            }
        }
    }
    ASSERT_FALSE(session.Rows().empty());
    for (const auto& r : session.Rows()) {
        EXPECT_TRUE(std::regex_match(r.key, rule)) << r.key;
        EXPECT_EQ(r.key, r.section + ".row_" + std::to_string(r.value));
        EXPECT_EQ(settingKeys.count(r.key), 0u) << r.key << " is a setting too";
        EXPECT_EQ(session.FindRow(r.key), &r);
        EXPECT_EQ(session.Find(r.key), nullptr) << r.key;
        // Its own bits: the row's top bit flipped in the image is what it reads.
        HSettingsSession::Setting any{"", "", r.section, r.entry, r.page, 0};
        const auto& group = dynamic_cast<const HGroupEditor&>(session.EditorOf(any)).Group();
        const HFieldDescriptor* d = group.DescriptorOf(std::size_t(r.value));
        ASSERT_NE(d, nullptr) << r.key;
        const std::uint32_t top = d->bitShift + d->bitWidth - 1;
        const std::uint32_t bytes = (d->bitShift + d->bitWidth + 7) / 8;
        HMemoryImage flipped = image;
        flipped[d->byteOffset + bytes - 1 - top / 8] ^= static_cast<std::uint8_t>(1u << (top % 8));
        HSettingsSession again(flipped, 2);
        EXPECT_NE(again.Stored(*again.FindRow(r.key)), session.Stored(r)) << r.key;
    }
    // The rows the memory map has and no dialog shows, by example.
    for (const char* key :
         {"option.row_10", "option.row_15", "key_function.row_26", "emergency.row_14",
          "emergency.row_20", "hardware.row_19", "marketing.row_1", "password.row_7"})
        EXPECT_NE(session.FindRow(key), nullptr) << key;
}
