// Comparing two images row by row: known edits (a setting, a channel's
// frequency and tag) are found exactly, in both directions,
// and an image compared with itself differs nowhere.
#include "HChannels.h"
#include "HDefaultImage.h"
#include "HEditorRegistry.h"
#include "HSettingRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

std::set<std::string> Keys(const std::vector<HDiffLine>& lines) {
    std::set<std::string> keys;
    for (const HDiffLine& l : lines)
        keys.insert(l.key);
    return keys;
}

const HDiffLine& Line(const std::vector<HDiffLine>& lines, const std::string& key) {
    static const HDiffLine none;
    const auto it = std::ranges::find(lines, key, &HDiffLine::key);
    return it == lines.end() ? none : *it;
}

HMemoryImage Edited(HMemoryImage image) {
    {
        HSettingsSession session(image, 0);
        const HSettingsSession::Setting* timer = session.Find("scanning.dual_watch_timer");
        EXPECT_NE(timer, nullptr);
        EXPECT_EQ(session.Set(*timer, "1 sec"), "");
        EXPECT_EQ(session.Confirm(nullptr), "");
    }
    HChannels model;
    model.Load(image);
    model.SetFrequency(2, 0, 150000000);
    model.SetTag(4, "DEPOT");
    model.Save(image);
    return image;
}

} // namespace

TEST(ImageDiffTest, KnownEditsAreFoundExactlyInBothDirections) {
    const HMemoryImage a = BuildDefaultImage();
    const HMemoryImage b = Edited(a);
    const std::set<std::string> expected = {"scanning.dual_watch_timer", "channels.3.rx_frequency",
                                            "channels.5.tag"};
    const std::vector<HDiffLine> ab = HImageDiff::Compare(a, b, 0);
    const std::vector<HDiffLine> ba = HImageDiff::Compare(b, a, 0);
    EXPECT_EQ(Keys(ab), expected);
    EXPECT_EQ(Keys(ba), expected);

    const HDiffLine& rx = Line(ab, "channels.3.rx_frequency");
    EXPECT_EQ(rx.channel, 3);
    EXPECT_EQ(rx.section, "channels");
    EXPECT_EQ(rx.caption, "RX Frequency");
    EXPECT_EQ(rx.b, "150.00000");
    EXPECT_EQ(Line(ba, "channels.3.rx_frequency").a, "150.00000");
    EXPECT_EQ(Line(ab, "channels.5.tag").b, "DEPOT");
    EXPECT_EQ(Line(ab, "scanning.dual_watch_timer").b, "1 sec");
    EXPECT_EQ(Line(ab, "scanning.dual_watch_timer").a, Line(ba, "scanning.dual_watch_timer").b);
}

TEST(ImageDiffTest, AnImageEqualsItselfAndAChannelInOneOnlyIsNamed) {
    const HMemoryImage a = BuildDefaultImage();
    EXPECT_TRUE(HImageDiff::Compare(a, a, 0).empty());

    // Channel 128 taken out of use: its cells are rows of A only.
    HMemoryImage b = a;
    HChannels model;
    model.Load(b);
    model.DisableChannels(127, 128);
    model.Save(b);
    const std::vector<HDiffLine> ab = HImageDiff::Compare(a, b, 0);
    ASSERT_FALSE(ab.empty());
    EXPECT_TRUE(std::ranges::all_of(
        ab, [](const HDiffLine& l) { return l.channel == 128 && l.inA && !l.inB; }));
    const std::vector<HDiffLine> ba = HImageDiff::Compare(b, a, 0);
    EXPECT_EQ(ba.size(), ab.size());
    EXPECT_TRUE(std::ranges::all_of(ba, [](const HDiffLine& l) { return !l.inA && l.inB; }));
}

// What the compare window shows: each line by the caption its dialog uses, on
// one line, a channel cell with its channel; each section by its editor's
// caption, never the key.
TEST(ImageDiffTest, LinesAndSectionsAreNamedAsTheDialogsNameThem) {
    const HMemoryImage a = BuildDefaultImage();
    HMemoryImage b = a;
    HChannels model;
    model.Load(b);
    model.SetTag(1, "DEPOT");
    model.Save(b);
    b[0x300] ^= 0xFF; // some settings besides
    const std::vector<HDiffLine> lines = HImageDiff::Compare(a, b, 2);
    const HDiffLine& tag = Line(lines, "channels.2.tag");
    EXPECT_EQ(HImageDiff::ShownCaption(tag), "Channel 2 TAG");
    EXPECT_EQ(HImageDiff::SectionCaption("channels"), "Channels");
    // A caption broken over lines in its dialog is one line here.
    HDiffLine broken;
    broken.caption = "TX\nSub\r\nAudio";
    broken.channel = 3;
    EXPECT_EQ(HImageDiff::ShownCaption(broken), "Channel 3 TX Sub  Audio");
    std::set<std::string> sections;
    for (const HDiffLine& l : lines) {
        const std::string shown = HImageDiff::ShownCaption(l);
        EXPECT_EQ(shown.find_first_of("\r\n"), std::string::npos) << l.key;
        if (l.channel == 0) {
            EXPECT_EQ(shown, l.caption) << l.key;
        }
        sections.insert(l.section);
    }
    EXPECT_GT(sections.size(), 1u);
    for (const std::string& s : sections) {
        const std::string caption = HImageDiff::SectionCaption(s);
        EXPECT_NE(caption, s);
        EXPECT_EQ(caption.find_first_of("&\r\n"), std::string::npos) << s;
        if (const HEditorEntry* entry = HEditorRegistry::FindBySection(s)) {
            EXPECT_EQ(caption, entry->caption) << s;
        }
    }
}
