// The DTMF, ANI, paging and signalling-type editors on worked examples: the
// four code lists that exclude one another, the pause code's OFF, counted
// digit codes packed as the radio holds them, the paging records, and the
// signalling type switch through the settings session.
#include "HDefaultImage.h"
#include "HDtmfEditors.h"
#include "HEditorRegistry.h"
#include "HPagingCodeEditor.h"
#include "HSignallingSteps.h"
#include "ImageTestUtil.h"
#include "ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace {

namespace D = HDtmfItems;
using D::SettingItem::kExclusive;

std::unique_ptr<HEditor> Open(std::string_view section, HMemoryImage& image) {
    const HEditorEntry* entry = HEditorRegistry::FindBySection(section);
    const HEditorPageEntry& p = entry->pages[0];
    std::unique_ptr<HEditor> editor = p.make(p, {&image, 0});
    editor->Open();
    return editor;
}

std::set<std::string> Offered(const HEditor& e, std::size_t item) {
    std::set<std::string> texts;
    for (const HChoiceItem& c : e.Combo(item).Items())
        texts.insert(c.text);
    return texts;
}

bool Pick(HEditor& e, std::size_t item, std::string_view text) {
    const auto items = e.Combo(item).Items();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].text == text)
            return e.UserSelect(item, static_cast<int>(i));
    return false;
}

using Texts = std::set<std::string>;

} // namespace

TEST(DtmfEditorsTest, TheFourCodeListsExcludeOneAnother) {
    HMemoryImage image = BuildDefaultImage();
    auto e = Open("dtmf", image);
    // Defaults: separate *, group A, reset C, pause D.
    EXPECT_EQ(e->ShownText(D::SettingItem::kSeparateCode), "*");
    EXPECT_EQ(Offered(*e, D::SettingItem::kSeparateCode), (Texts{"B", "*"}));
    EXPECT_EQ(Offered(*e, D::SettingItem::kGroupCode), (Texts{"A", "B"}));
    EXPECT_EQ(Offered(*e, D::SettingItem::kResetCode), (Texts{"B", "C"}));
    EXPECT_EQ(Offered(*e, D::SettingItem::kPauseCode).count("*"), 0u);
    EXPECT_EQ(Offered(*e, D::SettingItem::kPauseCode).count("#"), 1u);

    // Separate moves from * to B: * comes back to the other three, B leaves them.
    ASSERT_TRUE(Pick(*e, D::SettingItem::kSeparateCode, "B"));
    EXPECT_EQ(Offered(*e, D::SettingItem::kGroupCode), (Texts{"A", "*"}));
    EXPECT_EQ(Offered(*e, D::SettingItem::kResetCode), (Texts{"C", "*"}));
    EXPECT_EQ(Offered(*e, D::SettingItem::kPauseCode).count("*"), 1u);
    EXPECT_EQ(Offered(*e, D::SettingItem::kPauseCode).count("B"), 0u);
    // * chosen again: unavailable to the others until chosen away.
    ASSERT_TRUE(Pick(*e, D::SettingItem::kSeparateCode, "*"));
    EXPECT_EQ(Offered(*e, D::SettingItem::kGroupCode), (Texts{"A", "B"}));
    EXPECT_EQ(Offered(*e, D::SettingItem::kPauseCode).count("*"), 0u);
    // The pause code's OFF holds no code: D goes back to the page lists.
    ASSERT_TRUE(Pick(*e, D::SettingItem::kPauseCode, "OFF"));
    EXPECT_EQ(Offered(*e, D::SettingItem::kGroupCode), (Texts{"A", "B", "D"}));

    // Random picks never leave two lists holding one code, and each list
    // offers all its entries but the codes the other three hold.
    std::mt19937 rng(6);
    for (int step = 0; step < 300; ++step) {
        const std::size_t item = kExclusive[rng() % kExclusive.size()];
        const auto count = e->Combo(item).Count();
        ASSERT_TRUE(e->UserSelect(item, static_cast<int>(rng() % count)));
        std::set<std::int32_t> held;
        for (std::size_t k : kExclusive) {
            const std::int32_t code = e->Combo(k).GetSelectedValue();
            if (code != D::kPauseOff) {
                EXPECT_TRUE(held.insert(code).second) << "step " << step << ": code " << code;
            }
        }
        for (std::size_t k : kExclusive) {
            std::size_t expected = 0;
            for (const HChoiceItem& c : HChoiceItems(*e->Item(k).choices)) {
                bool other = false;
                for (std::size_t j : kExclusive)
                    other = other || (j != k && e->Combo(j).GetSelectedValue() == c.code);
                expected += other ? 0 : 1;
            }
            EXPECT_EQ(e->Combo(k).Count(), expected) << "step " << step << ", item " << k;
        }
    }
}

TEST(DtmfEditorsTest, ACodeNoListOffersStillExcludesItsDigit) {
    // A file made elsewhere holds digit 0 as the Separate code (byte 0x376,
    // bits 4-7): the Pause list, the only one with a "0", does not offer it.
    HMemoryImage image = BuildDefaultImage();
    image[0x376] = static_cast<std::uint8_t>(image[0x376] & 0x0F);
    auto e = Open("dtmf", image);
    EXPECT_EQ(e->Combo(D::SettingItem::kSeparateCode).GetSelectedValue(), 0);
    EXPECT_EQ(Offered(*e, D::SettingItem::kPauseCode).count("0"), 0u);
    EXPECT_EQ(Offered(*e, D::SettingItem::kPauseCode).count("1"), 1u);
}

TEST(DtmfEditorsTest, PauseCodeOffKeepsTheDigitAndReadsBackAsOff) {
    HMemoryImage image = BuildDefaultImage();
    const std::uint8_t before = image[0x300];
    {
        auto e = Open("dtmf", image);
        ASSERT_TRUE(Pick(*e, D::SettingItem::kPauseCode, "OFF"));
        ASSERT_EQ(e->Confirm(), 0);
    }
    EXPECT_EQ(image[0x300] & 0x80, 0);             // the pause code is off
    EXPECT_EQ(image[0x300] & 0x7F, before & 0x7F); // its digit and the time as they were
    EXPECT_EQ(Open("dtmf", image)->ShownText(D::SettingItem::kPauseCode), "OFF");
    {
        auto e = Open("dtmf", image);
        ASSERT_TRUE(Pick(*e, D::SettingItem::kPauseCode, "#"));
        ASSERT_EQ(e->Confirm(), 0);
    }
    EXPECT_EQ(image[0x300] & 0x8F, 0x8F); // on, digit code 15
}

TEST(DtmfEditorsTest, CountedCodesTakeDtmfDigitsOnlyAndPadBeyondTheCode) {
    // The three codes kept with their digit count: the ANI code, a DTMF code
    // (DTMF &0 is the tenth record, at 0x312 + 9 * 8) and the emergency code.
    struct Code {
        const char* section;
        const char* label;
        std::size_t at;
    };
    const Code codes[] = {{"dtmf_ani", "ANI &Code", 0x302},
                          {"dtmf_code", "DTMF  &0", 0x312 + 9 * 8},
                          {"emergency", "DTM&F Emergency Code", 778}};
    const auto bytes = [](const HMemoryImage& m, std::size_t at) {
        return std::vector<int>(m.begin() + std::ptrdiff_t(at), m.begin() + std::ptrdiff_t(at + 8));
    };
    for (const Code& c : codes) {
        SCOPED_TRACE(c.section);
        HMemoryImage image = BuildDefaultImage();
        {
            ScriptedPrompt prompt;
            auto e = Open(c.section, image);
            e->SetPrompt(&prompt);
            const std::size_t item = e->FindItem(c.label);
            ASSERT_LT(item, e->ItemCount());
            // Room for fifteen digits when typed.
            EXPECT_TRUE(e->Edit(item).HasRoom(14));
            EXPECT_FALSE(e->Edit(item).HasRoom(15));
            // Anything else is refused, not cut down to the digits in it.
            const std::string before = e->Edit(item).Text();
            for (const char* bad : {"12e", "9a-*#", "1 2", "1234567890ABCD*#"}) {
                EXPECT_FALSE(e->UserEdit(item, bad)) << bad;
                EXPECT_EQ(e->Edit(item).Text(), before) << bad;
            }
            ASSERT_EQ(prompt.told.size(), 4u);
            EXPECT_NE(prompt.told[0].find("\"12e\" is not allowed"), std::string::npos)
                << prompt.told[0];
            EXPECT_NE(prompt.told[0].find("up to 15 of 0-9, A-D, * and #"), std::string::npos)
                << prompt.told[0];
            // a-d are A-D.
            ASSERT_TRUE(e->UserEdit(item, "123456789abcd*#"));
            EXPECT_EQ(e->Edit(item).Text(), "123456789ABCD*#");
            ASSERT_EQ(e->Confirm(), 0);
        }
        // [count 15 | 1] [2 | 3] ... [* | #]: the count in the high nibble.
        EXPECT_EQ(bytes(image, c.at),
                  (std::vector<int>{0xF1, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}));
        {
            auto e = Open(c.section, image);
            ASSERT_TRUE(e->UserEdit(e->FindItem(c.label), "12"));
            ASSERT_EQ(e->Confirm(), 0);
        }
        // The shorter code over the longer one: every digit beyond it is the
        // pad value, none of the old code stays behind.
        EXPECT_EQ(bytes(image, c.at), (std::vector<int>{0x21, 0x20, 0, 0, 0, 0, 0, 0}));
        auto again = Open(c.section, image);
        EXPECT_EQ(again->Edit(again->FindItem(c.label)).Text(), "12");
    }
}

TEST(DtmfEditorsTest, PagingRecordsAndTheGroupCodeTheyCarry) {
    HMemoryImage image = BuildDefaultImage();
    image[0x368] = 0x10; // a bit no field names
    HPagingCodeGroup paging;
    paging.Load(image);
    paging.SetField(3, HDtmfMap::Paging::kAction, 2); // Stun
    paging.SetField(3, HDtmfMap::Paging::kStatus, 1); // ENC & DEC
    paging.SetText(3, HDtmfMap::Paging::kCode, "7B1");
    // Fields outside the record are refused, not clamped.
    paging.SetField(10, HDtmfMap::Paging::kAction, 3);
    paging.SetField(0, 3, 3);
    EXPECT_EQ(paging.GetField(10, HDtmfMap::Paging::kAction), -1);

    // The DTMF Setting dialog changes the group code meanwhile.
    HDtmfSettingGroup setting;
    setting.Load(image);
    setting.SetValue(HDtmfMap::Setting::kGroupCode, 11);
    setting.Save(image);
    const HMemoryImage before = image;
    paging.Save(image);
    // [Stun | ENC & DEC | carried bit | 7] [B | 1]
    EXPECT_EQ(image[0x368], 0xB7);
    EXPECT_EQ(image[0x369], 0xB1);
    EXPECT_EQ(image[0x376] & 0x0F, 11); // the paging save kept the newer group code
    EXPECT_EQ(Differences(image, before), (std::vector<std::size_t>{0x368, 0x369}));
    HPagingCodeGroup reread;
    reread.Load(image);
    EXPECT_EQ(reread.GetText(3, HDtmfMap::Paging::kCode), "7B1");
    EXPECT_EQ(reread.GroupCode(), 11);
}

TEST(DtmfEditorsTest, SessionKeysAndTheSignallingTypeSwitch) {
    HMemoryImage image = BuildDefaultImage();
    HSettingsSession session(image, 0);
    for (const char* key : {"signalling_type.signalling", "dtmf_ani.ani_type", "dtmf_ani.ani_code",
                            "dtmf.pause_time", "dtmf.dtmf_pause_code", "dtmf.page_separate_code",
                            "dtmf_code.dtmf_1", "dtmf_code.dtmf_0"})
        EXPECT_NE(session.Find(key), nullptr) << key;
    // A code another list holds is not offered.
    const auto* group = session.Find("dtmf.page_group_code");
    ASSERT_NE(group, nullptr);
    EXPECT_NE(session.Set(*group, "*"), "");
    EXPECT_EQ(session.Set(*group, "b"), "");

    const auto* type = session.Find("signalling_type.signalling");
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(session.Shown(*type), "2-TONE");
    EXPECT_EQ(session.Set(*type, "5-tone"), "");
    ASSERT_EQ(session.Confirm(nullptr), "");
    EXPECT_EQ(image[0x2A4] & 0x10, 0);
    EXPECT_EQ(HReadSignallingMode(image), HSignallingMode::FiveTone);
    EXPECT_EQ(image[0x376] & 0x0F, 11);
}

TEST(DtmfEditorsTest, TypeSwitchResetsTheNewFamilyThroughItsPages) {
    // Every page of the new family has a reset step and shows its defaults
    // after the switch; the same type again changes nothing.
    for (const HSignallingMode mode : {HSignallingMode::TwoTone, HSignallingMode::FiveTone}) {
        HMemoryImage image = BuildDefaultImage();
        std::mt19937 rng(static_cast<unsigned>(mode) + 11);
        for (std::size_t i = 0x1C80; i < 0x2400; ++i)
            image[i] = static_cast<std::uint8_t>(rng());
        image[0x2A4] = static_cast<std::uint8_t>((image[0x2A4] & ~0x10) |
                                                 (mode == HSignallingMode::TwoTone ? 0x10 : 0));
        const HMemoryImage random = image;
        EXPECT_EQ(HSignallingSteps::FollowTypeChange(image, mode), mode);
        EXPECT_EQ(image, random) << "no switch, no reset";

        const HSignallingMode other =
            mode == HSignallingMode::TwoTone ? HSignallingMode::FiveTone : HSignallingMode::TwoTone;
        EXPECT_EQ(HSignallingSteps::FollowTypeChange(image, other), mode);
        for (const HEditorEntry& entry : HEditorRegistry::Entries()) {
            if (entry.family != HSignallingSteps::FamilyOf(mode))
                continue;
            for (const HEditorPageEntry& page : entry.pages) {
                ASSERT_NE(page.reset, nullptr) << entry.section << " has no reset step";
                auto reset = page.make(page, {&image, 2});
                auto defaults = page.make(page, {nullptr, 2});
                reset->Open();
                defaults->Open();
                const auto a = reset->ReportItems();
                const auto b = defaults->ReportItems();
                ASSERT_EQ(a.size(), b.size()) << entry.section;
                for (std::size_t i = 0; i < a.size(); ++i)
                    EXPECT_EQ(a[i].value, b[i].value) << entry.section << ": " << a[i].caption;
            }
        }
    }
}

TEST(DtmfEditorsTest, EachPagingColumnWritesItsOwnBitsOfItsRecord) {
    // Record r lies at 0x362 + 2r: [ action (2) | status | x | d0 ] [ d1 | d2 ].
    struct Case {
        const char* column;
        const char* value;
        std::uint8_t mask0; // bits of the record's first byte the column owns
        std::uint8_t mask1;
    };
    const Case cases[] = {{"code", "9C4", 0x0F, 0xFF},
                          {"status", "ENC & DEC", 0x20, 0x00},
                          {"action", "Kill", 0xC0, 0x00}};
    for (int record = 0; record < 10; ++record) {
        for (const Case& c : cases) {
            HMemoryImage image = BuildDefaultImage();
            std::mt19937 rng(static_cast<unsigned>(record));
            for (std::size_t i = 0x362; i < 0x378; ++i)
                image[i] = static_cast<std::uint8_t>(rng() & 0x9A); // no C, D or 2 digits set
            const HMemoryImage before = image;
            HSettingsSession session(image, 0);
            const std::string key =
                "paging_code." + std::to_string(record + 1) + "." + std::string(c.column);
            const auto* s = session.Find(key);
            ASSERT_NE(s, nullptr) << key;
            ASSERT_EQ(session.Set(*s, c.value), "") << key;
            EXPECT_EQ(session.Shown(*s), c.value) << key;
            ASSERT_EQ(session.Confirm(nullptr), "");
            const std::size_t at = 0x362 + 2 * std::size_t(record);
            for (std::size_t i = 0; i < image.size(); ++i) {
                const std::uint8_t mask = i == at ? c.mask0 : i == at + 1 ? c.mask1 : 0;
                EXPECT_EQ((image[i] ^ before[i]) & ~mask, 0) << key << ": byte " << i;
            }
            EXPECT_NE((image[at] & c.mask0) | (image[at + 1] & c.mask1),
                      (before[at] & c.mask0) | (before[at + 1] & c.mask1))
                << key << " wrote nothing";
        }
    }
    // The code takes exactly three of 0-9 and A-D, typed in either case.
    HMemoryImage image = BuildDefaultImage();
    HSettingsSession session(image, 0);
    const auto* code = session.Find("paging_code.10.code");
    ASSERT_NE(code, nullptr);
    // A refusal says what the cell takes: exactly three, not "up to".
    EXPECT_EQ(session.Set(*code, "12"), "paging_code.10.code: \"12\" is not allowed here; "
                                        "exactly 3 of 0-9 and A-D");
    EXPECT_NE(session.Set(*code, "1E2"), "");
    EXPECT_NE(session.Set(*code, "1234"), "");
    EXPECT_EQ(session.Set(*code, "a0d"), "");
    EXPECT_EQ(session.Shown(*code), "A0D");
    // Typed into the grid: the cell keeps its code and the note says why.
    auto e = Open("paging_code", image);
    HGridSource& grid = *e->Grid(0);
    const int column = 1;
    bool taken = true;
    const HGridChange change = grid.CommitText(9, column, "12", &taken);
    EXPECT_FALSE(taken);
    EXPECT_EQ(change.note, "Code: \"12\" is not allowed; exactly 3 of 0-9 and A-D");
    EXPECT_EQ(grid.CellText(9, column), "000");
    const auto* action = session.Find("paging_code.10.action");
    ASSERT_NE(action, nullptr);
    EXPECT_NE(session.Set(*action, "Revive"), "");
}

TEST(DtmfEditorsTest, ATypedCodeKeepsItsSymbolsUpToTheLimit) {
    // Lower case reads as upper; other characters go; the limit cuts the rest.
    EXPECT_EQ(HDigitCodeOf("1a-2x3#4", "0123456789ABCD*#", 5), "1A23#");
    EXPECT_EQ(HDigitCodeOf("12345", "0123456789", 3), "123");
}
