// The 2-tone editors over real images: the 2Tone Table dialog with its
// standard groups and Copy, the decode grid's tone cells, tag entry and
// display rule, the carried bits, the settings keys of grid cells, and the
// steps run outside the dialogs.
#include "HDefaultImage.h"
#include "HEditorRegistry.h"
#include "HHardwareGroup.h"
#include "ImageTestUtil.h"
#include "ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <set>

namespace {

using namespace HTwoToneItems;

HMemoryImage WithDisplay(int displayType) {
    return WithHardware(BuildDefaultImage(), HHardwareGroup::kRowDisplayMobile, displayType);
}

template <class Editor, std::size_t N>
std::unique_ptr<Editor> Open(const std::array<HEditorPageEntry, N>& pages, std::size_t page,
                             HMemoryImage& image) {
    auto editor = std::make_unique<Editor>(pages[page].dialogId, pages[page].caption,
                                           pages[page].items, HEditorContext{&image, 0});
    editor->Open();
    return editor;
}

int Word(const HMemoryImage& m, std::size_t at) {
    return m[at] << 8 | m[at + 1];
}

} // namespace

TEST(TwoToneTableDialog, StandardGroupsShowTheirFrequenciesAndCopyLeavesZerosAlone) {
    HMemoryImage image = WithDisplay(1);
    auto e = Open<HTwoToneTableEditor>(HEditorRegistry::kTwoToneTablePages, 0, image);

    const auto groups = e->Combo(kItemToneGroup).Items();
    ASSERT_EQ(groups.size(), 17u);
    EXPECT_EQ(groups.front().text, "None");
    EXPECT_EQ(groups[3].text, "MOTOROLA-3");
    EXPECT_EQ(groups[9].text, "GE/99 GRP-A");
    EXPECT_EQ(groups.back().text, "REACH GRP-E");
    // "None" shows blank boxes and offers no Copy.
    EXPECT_EQ(e->StaticText(kItemFirstGroupBox), "");
    EXPECT_FALSE(e->IsEnabled(kItemCopy));
    EXPECT_FALSE(e->UserPress(kItemCopy));

    ASSERT_TRUE(e->UserEdit(10, "777.7")); // box A = box 10
    ASSERT_TRUE(e->UserSelect(kItemToneGroup, 3));
    EXPECT_TRUE(e->IsEnabled(kItemCopy));
    EXPECT_EQ(e->StaticText(kItemFirstGroupBox + 0), "1092.4");
    EXPECT_EQ(e->StaticText(kItemFirstGroupBox + 1), " 288.5");
    EXPECT_EQ(e->StaticText(kItemFirstGroupBox + 9), "1063.2");
    EXPECT_EQ(e->StaticText(kItemFirstGroupBox + 10), "");

    ASSERT_TRUE(e->UserPress(kItemCopy));
    EXPECT_EQ(e->Edit(0).Text(), "1092.4");
    EXPECT_EQ(e->Edit(1).Text(), " 288.5");
    EXPECT_EQ(e->Edit(9).Text(), "1063.2");
    EXPECT_EQ(e->Edit(10).Text(), " 777.7"); // the group's 11th frequency is 0

    // A group of eleven frequencies fills box 10 too.
    ASSERT_TRUE(e->UserSelect(kItemToneGroup, 9));
    ASSERT_TRUE(e->UserPress(kItemCopy));
    EXPECT_EQ(e->Edit(0).Text(), " 682.5");
    EXPECT_EQ(e->Edit(10).Text(), " 742.5");

    // OK: the boxes into the frequency set, the bandwidth index + 5, the table compiled.
    ASSERT_TRUE(e->UserSelect(kItemBandwidth, 0)); // 0.5 %: bandwidth 5
    ASSERT_TRUE(e->UserEdit(14, "300"));           // box E
    ASSERT_EQ(e->Confirm(), 0);
    EXPECT_EQ(image[0x2361], 5);
    EXPECT_EQ(Word(image, 0x2320 + 2 * 0), 6825);  // 682.5 Hz in tenths
    EXPECT_EQ(Word(image, 0x2320 + 2 * 10), 7425); // box 10
    EXPECT_EQ(Word(image, 0x2320 + 2 * 14), 3000); // as entered
    EXPECT_EQ(Word(image, 0x2300 + 2 * 14), 1024); // 300 / 2929 x 10000 = 1024.2
    // 682.5 / 2929 x 10000 = 2330.15 -> 2330
    EXPECT_EQ(Word(image, 0x2300 + 2 * 0), 2330);
}

TEST(TwoToneTableDialog, FrequenciesBelow288HzOtherThanNoToneAreRefused) {
    // The radio makes nothing of a tone between 0 and 288.5 Hz: such an entry
    // is refused with the ranges taken, in the dialog and through the
    // settings session (rp57cli set), and nothing of it reaches the image.
    HMemoryImage image = WithDisplay(1);
    const HMemoryImage before = image;
    ScriptedPrompt prompt;
    auto e = Open<HTwoToneTableEditor>(HEditorRegistry::kTwoToneTablePages, 0, image);
    e->SetPrompt(&prompt);
    for (const char* refused : {"12.3", "288.4", "3000.1", "0.1"})
        EXPECT_FALSE(e->UserEdit(3, refused)) << refused;
    ASSERT_EQ(prompt.told.size(), 4u);
    EXPECT_EQ(prompt.told[0], "3: \"12.3\" is not allowed; 0, or a number from 288.5 to 3000");
    ASSERT_EQ(e->Confirm(), 0);
    EXPECT_EQ(Differences(image, before), std::vector<std::size_t>{});
    for (const char* taken : {"288.5", "3000", "0", ""})
        EXPECT_TRUE(e->UserEdit(3, taken)) << taken;

    HSettingsSession session(image, 0);
    const auto* box = session.Find("two_tone_table.3");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(session.Set(*box, "12.3"),
              "two_tone_table.3: \"12.3\" is not allowed; 0, or a number from 288.5 to 3000");
    EXPECT_EQ(session.Set(*box, "288.5"), "");
    ASSERT_EQ(session.Confirm(nullptr), "");
    EXPECT_EQ(Word(image, 0x2320 + 2 * 3), 2885);
}

TEST(TwoToneTableDialog, EveryAcceleratorLetterIsItsOwn) {
    // Alt and a letter reach one control only: Copy may not share box C's.
    std::set<char> letters;
    for (const HEditorItem& item : kToneTable) {
        const std::size_t amp = item.label.find('&');
        if (amp == std::string_view::npos)
            continue;
        const char letter = static_cast<char>(std::toupper(item.label[amp + 1]));
        EXPECT_TRUE(letters.insert(letter).second) << item.label << " shares Alt+" << letter;
    }
    EXPECT_EQ(kToneTable[kItemCopy].label, "C&opy");
}

TEST(TwoToneTableDialog, OpensOnTheImageAndKeepsABandwidthItCannotShow) {
    HMemoryImage image = WithDisplay(1);
    image[0x2361] = 30; // 3.0 %
    image[0x2320] = 0x10;
    image[0x2321] = 0xF1; // 433.7 Hz
    auto e = Open<HTwoToneTableEditor>(HEditorRegistry::kTwoToneTablePages, 0, image);
    EXPECT_EQ(e->Combo(kItemBandwidth).SelectedIndex(), 25);
    EXPECT_EQ(e->Combo(kItemBandwidth).SelectedText(), "3.0  %");
    EXPECT_EQ(e->Edit(0).Text(), " 433.7");
    EXPECT_EQ(e->Edit(1).Text(), ""); // no frequency

    image[0x2361] = 2; // no entry shows 0.2 %
    auto odd = Open<HTwoToneTableEditor>(HEditorRegistry::kTwoToneTablePages, 0, image);
    EXPECT_EQ(odd->Combo(kItemBandwidth).SelectedIndex(), -1);
    ASSERT_EQ(odd->Confirm(), 0);
    EXPECT_EQ(image[0x2361], 2);
}

TEST(TwoToneDecodeGrid, ToneCellsTagsAndTheDisplayRule) {
    HMemoryImage image = WithDisplay(1);
    auto e = Open<HTwoToneDecodeEditor>(HEditorRegistry::kTwoToneDecodePages, 0, image);
    HRecordGrid<HTwoToneRecords>& g = e->GridCore();
    ASSERT_EQ(g.RowCount(), 8);
    ASSERT_EQ(g.ColumnCount(), 10);
    EXPECT_EQ(g.CellText(0, 0), "1");
    EXPECT_EQ(g.CellText(7, 0), "8");

    // Tone code 15: an empty cell; a tone shows its code and frequency.
    using namespace HTwoToneTables;
    e->Records().SetField(0, kDecFirstTone, 15);
    e->Records().SetField(0, kDecCallBeepTone, 7);
    e->Records().SetField(0, kDecBeepMode, 1);
    e->Records().Tones().SetFrequency(3, 433.7);
    EXPECT_EQ(g.CellText(0, 2), "");
    bool ok = false;
    g.CommitListPick(0, 2, 3, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(g.CellText(0, 2), "3:433.7");
    // A code typed alone, either case; "F" or nothing is no tone.
    const std::pair<const char*, std::int32_t> codes[] = {{"0", 0},  {"9", 9},  {"A", 10},
                                                          {"e", 14}, {"F", 15}, {"", 15}};
    for (const auto& [text, code] : codes) {
        EXPECT_TRUE(g.SetCellSetting(0, 3, text)) << '"' << text << '"';
        EXPECT_EQ(e->Records().GetField(0, HTwoToneTables::kDecSecondTone), code)
            << '"' << text << '"';
    }
    EXPECT_FALSE(g.SetCellSetting(0, 3, "12")); // two codes are no tone
    const HEditStart tones = g.BeginEdit(0, 2);
    ASSERT_EQ(tones.listTexts.size(), 16u);
    EXPECT_EQ(tones.listTexts[3], "3:433.7");
    EXPECT_EQ(tones.listTexts[15], "");
    EXPECT_EQ(tones.listIndex, 3);

    // Typed tag keys: upper case, the signs of "[]_ %<>*+-/", nothing else.
    std::string typed;
    for (char32_t k : {U'a', U'b', U'#', U'1', U'%', U'<'}) {
        const HKeyResult r = g.FilterKey(1, typed.size(), k);
        if (r.verdict == HKeyVerdict::Insert)
            typed += static_cast<char>(r.key);
    }
    EXPECT_EQ(typed, "AB1%<");
    g.CommitText(2, 1, typed, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(g.CellText(2, 1), "AB1%<");
    EXPECT_FALSE(g.SetCellSetting(2, 1, "AB#1")); // '#' is no tag character
    EXPECT_FALSE(g.SetCellSetting(2, 1, "ABCDEFGHI"));

    // Lists: a value no entry stands for shows blank.
    e->Records().SetField(1, HTwoToneTables::kDecMuteMode, 3);
    EXPECT_EQ(g.CellText(1, 4), "");
    EXPECT_EQ(g.CellText(0, 8), "-"); // call beep tone 7: disabled
    EXPECT_EQ(g.CellText(0, 9), "Single");
    const HCellActionResult space = g.CellAction(0, 4, HCellActionMode::Space);
    EXPECT_TRUE(space.openEditor);

    ASSERT_EQ(e->Confirm(), 0);
    const std::size_t rec2 = 0x1F7D + 2 * 23;
    // A tag is padded with 0x00, as every text row is.
    EXPECT_EQ(std::string(image.begin() + rec2 + 11, image.begin() + rec2 + 19),
              std::string("AB1%<\0\0\0", 8));
    EXPECT_EQ(image[0x1F7D + 7], 0x3F); // 1st tone 3, 2nd tone none

    // Without a display the tag and call display cells take nothing.
    HMemoryImage plain = WithDisplay(0);
    auto p = Open<HTwoToneDecodeEditor>(HEditorRegistry::kTwoToneDecodePages, 0, plain);
    EXPECT_FALSE(p->GridCore().BeginEdit(0, 1).allowed);
    EXPECT_FALSE(p->GridCore().BeginEdit(0, 5).allowed);
    EXPECT_FALSE(p->GridCore().CellAction(0, 5, HCellActionMode::Space).openEditor);
    EXPECT_FALSE(p->GridCore().SetCellSetting(0, 5, "ON"));
    EXPECT_TRUE(p->GridCore().BeginEdit(0, 4).allowed);
}

TEST(TwoToneSystemGrid, TicksToggleTheirBitAndShowTheirTexts) {
    HMemoryImage image = WithDisplay(1);
    auto e = Open<HTwoToneSystemEditor>(HEditorRegistry::kTwoToneSystemPages, 0, image);
    HRecordGrid<HTwoToneRecords>& g = e->GridCore();
    ASSERT_EQ(g.RowCount(), 16);
    const int duty = g.ColumnNamed("duty");
    const int code3 = g.ColumnNamed("decode_code3");
    ASSERT_GE(duty, 0);
    ASSERT_GE(code3, 0);
    EXPECT_EQ(g.CellSetting(4, duty), "Off-Duty");
    EXPECT_EQ(g.CellTick(4, duty), HTickState::Unticked);
    g.CellAction(4, duty, HCellActionMode::Space);
    EXPECT_EQ(g.CellSetting(4, duty), "On-Duty");
    EXPECT_EQ(g.CellTick(4, duty), HTickState::TickedInUse);
    EXPECT_TRUE(g.SetCellSetting(4, code3, "Decode"));
    EXPECT_TRUE(g.SetCellSetting(4, g.ColumnNamed("call_encode_tone_no"), "32"));
    ASSERT_EQ(e->Confirm(), 0);
    const std::size_t rec = 0x1C9D + 4 * 10;
    EXPECT_EQ(image[rec + 1] & 0x02, 0x02); // duty, byte 1 bit 1
    EXPECT_EQ(image[rec + 8] & 0x04, 0x04); // decode code 3, byte 8 bit 2
    EXPECT_EQ(image[rec + 5] & 0x1F, 31);   // "32" is value 31
}

TEST(TwoToneRecords, BitsNoColumnNamesAreCarriedUnchanged) {
    HMemoryImage image = WithDisplay(1);
    std::mt19937 rng(2525);
    for (std::size_t i = 0x00E2; i < 0x01B2; ++i)
        image[i] = static_cast<std::uint8_t>(rng());
    for (std::size_t i = 0x1C9D; i < 0x1F7D + 8 * 23; ++i)
        image[i] = static_cast<std::uint8_t>(rng());
    const HMemoryImage before = image;

    auto d = Open<HTwoToneDecodeEditor>(HEditorRegistry::kTwoToneDecodePages, 0, image);
    ASSERT_TRUE(d->GridCore().SetCellSetting(5, 4, "Close"));
    ASSERT_EQ(d->Confirm(), 0);
    auto n = Open<HTwoToneEncodeEditor>(HEditorRegistry::kTwoToneEncodePages, 0, image);
    ASSERT_EQ(n->Confirm(), 0);
    auto s = Open<HTwoToneSystemEditor>(HEditorRegistry::kTwoToneSystemPages, 0, image);
    ASSERT_EQ(s->Confirm(), 0);

    // Only the mute mode of record 6 (bits 4-5 of byte 1) changed.
    const std::size_t at = 0x1F7D + 5 * 23 + 1;
    EXPECT_EQ(Differences(before, image), std::vector<std::size_t>{at});
    EXPECT_EQ(image[at] & 0xCF, before[at] & 0xCF);
    EXPECT_EQ((image[at] >> 4) & 3, 2);
}

TEST(SignallingTags, NewTagsArePaddedWithZeroBytesOldBlankPaddedOnesReadTheSame) {
    // Tags are text rows, padded with 0x00 as every text row is (the Power ON
    // tag too). A tag an older program padded with blanks reads the same
    // and, left alone, keeps its bytes.
    struct Tag {
        const char* key;
        std::size_t at; // the tag's first byte in record 1
    };
    const Tag tags[] = {{"two_tone_decode.1.tag", 0x1F7D + 11},
                        {"two_tone_encode.1.tag", 0x1D3D + 6},
                        {"five_tone_decode.1.tag", 0x1F7D + 11},
                        {"five_tone_encode.1.tag", 0x1D3D + 6}};
    for (const Tag& t : tags) {
        SCOPED_TRACE(t.key);
        HMemoryImage image = WithDisplay(1);
        {
            HSettingsSession session(image, 0);
            ASSERT_EQ(session.Set(*session.Find(t.key), "ab1"), "");
            ASSERT_EQ(session.Confirm(nullptr), "");
        }
        EXPECT_EQ(std::string(image.begin() + std::ptrdiff_t(t.at),
                              image.begin() + std::ptrdiff_t(t.at + 8)),
                  std::string("AB1\0\0\0\0\0", 8));
        std::copy_n("XY      ", 8, image.begin() + std::ptrdiff_t(t.at));
        HSettingsSession session(image, 0);
        EXPECT_EQ(session.Shown(*session.Find(t.key)), "XY");
        const std::string other =
            std::string(t.key).replace(std::string(t.key).find(".1."), 3, ".2.");
        ASSERT_EQ(session.Set(*session.Find(other), "Z"), "");
        ASSERT_EQ(session.Confirm(nullptr), "");
        EXPECT_EQ(std::string(image.begin() + std::ptrdiff_t(t.at),
                              image.begin() + std::ptrdiff_t(t.at + 8)),
                  "XY      ");
    }
}

TEST(TwoToneSettings, GridCellsAreKeyedBySectionEntryAndColumn) {
    HMemoryImage image = WithDisplay(1);
    image[0x1C8D] = 20; // 1st tone period, 20 x 0.05 s
    HSettingsSession session(image, 0);
    const auto* mute = session.Find("two_tone_decode.3.mute_mode");
    ASSERT_NE(mute, nullptr);
    EXPECT_EQ(session.Shown(*mute), "-----");
    EXPECT_EQ(session.Set(*mute, "close"), "");
    EXPECT_NE(session.Set(*mute, "Loud"), "");
    ASSERT_NE(session.Find("two_tone_encode.32.tag"), nullptr);
    EXPECT_EQ(session.Find("two_tone_encode.33.tag"), nullptr);
    ASSERT_NE(session.Find("two_tone_system.16.decode_code8"), nullptr);
    ASSERT_NE(session.Find("two_tone_decode.auto_reset_time"), nullptr);
    const auto* period = session.Find("two_tone_encode.1st_tone_period");
    ASSERT_NE(period, nullptr);
    EXPECT_EQ(session.Shown(*period), "1.00sec");
    ASSERT_NE(session.Find("two_tone_table.e"), nullptr);
    EXPECT_EQ(session.Confirm(nullptr), "");
    // Record 3 at 0x1F7D + 2 x 23, mute mode in bits 4-5 of its byte 1.
    EXPECT_EQ((image[0x1F7D + 2 * 23 + 1] >> 4) & 3, 2);
}

TEST(TwoToneSteps, ResetGivesDefaultsAndCompileFollowsTheFrequencySet) {
    HMemoryImage image = WithDisplay(1);
    std::fill(image.begin() + 0x1C9D, image.begin() + 0x1F7D + 8 * 23, std::uint8_t{0});
    std::fill(image.begin() + 0x2300, image.begin() + 0x2362, std::uint8_t{0x12});
    const HEditorEntry* decode = HEditorRegistry::FindBySection("two_tone_decode");
    ASSERT_NE(decode, nullptr);
    for (const HEditorEntry& entry : HEditorRegistry::Entries())
        if (entry.family == HEditorFamily::TwoTone)
            for (const HEditorPageEntry& page : entry.pages)
                if (page.reset != nullptr)
                    page.reset(image);
    EXPECT_EQ(image[0x1F7D + 7], 0xFF);         // both tones none
    EXPECT_EQ(image[0x1F7D + 0] & 7, 7);        // call beep tone "-"
    EXPECT_EQ((image[0x1F7D + 1] >> 6) & 3, 1); // beep mode Single
    EXPECT_EQ(image[0x1C9D] & 3, 3);            // monitor SW Both
    EXPECT_EQ((image[0x1D3D] >> 5) & 3, 3);     // the encode flag pair
    EXPECT_EQ(image[0x1D3D + 3], 0xFF);         // further tone nibbles
    EXPECT_EQ(Word(image, 0x235D), 2929);
    EXPECT_EQ(image[0x2361], 25);
    EXPECT_EQ(Word(image, 0x2320), 0xFFFF);
    EXPECT_EQ(image[0x1C93], 6);   // auto reset time 3.0 s
    EXPECT_EQ(image[0x235C], 160); // group tone period 8.00 s

    // The compile step makes the stored values of what the frequency set holds.
    image[0x2320 + 2 * 5] = 0x27;
    image[0x2320 + 2 * 5 + 1] = 0x10; // 1000.0 Hz
    HEditorRegistry::kTwoToneTablePages[0].compile(image);
    EXPECT_EQ(Word(image, 0x2300 + 2 * 5), 3414);
}
