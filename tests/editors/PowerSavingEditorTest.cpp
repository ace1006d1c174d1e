#include "HEditorRegistry.h"
#include "ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

namespace {

// The Power Saving editor as its registry row makes it.
class PowerSavingEditor : public HDataEditor<HPowerSavingGroup> {
public:
    explicit PowerSavingEditor(const HEditorContext& c)
        : HDataEditor(HEditorRegistry::kPowerSavingPages[0].dialogId,
                      HEditorRegistry::kPowerSavingPages[0].caption,
                      HEditorRegistry::kPowerSavingPages[0].items, c) {}
};

// Arbitrary bytes with the Power Saving fields set to values the editor
// offers, so every bit the editor must not touch is random.
HMemoryImage PatternImage() {
    HMemoryImage image;
    std::mt19937 rng(57);
    for (auto& b : image)
        b = static_cast<std::uint8_t>(rng());
    image[642] = 0b011'0'01'10; // transmit 3 (bits 5-7), penalty 1 (2-3), release 2 (0-1)
    image[643] = (image[643] & 0b1011'1000) | 0x40 | 5; // APO 8 h, receive save 1:5
    image[677] = 113;                                   // MIC gain +3dB
    image[740] = 80;                                    // Ext MIC standard
    image[45] = (image[45] & 0xF0) | 9;
    image[46] = 3;
    const std::string tag = "SELFTEST";
    std::copy(tag.begin(), tag.end(), image.begin() + 1024);
    return image;
}

std::size_t Find(const HEditor& e, std::string_view label) {
    const std::size_t i = e.FindItem(label);
    EXPECT_LT(i, e.ItemCount()) << label;
    return i;
}

} // namespace

TEST(PowerSavingEditorTest, ShowsTheGroupAsTheDialogDoes) {
    HMemoryImage image = PatternImage();
    PowerSavingEditor e({&image, 0});
    e.Open();
    ASSERT_EQ(e.ItemCount(), 13u);
    std::string shown;
    for (std::size_t i : {0, 1, 2, 3, 4})
        shown += e.ShownText(i) + "|";
    for (auto label :
         {"&MIC Gain", "&Ext Mic gain", "&Beep Level", "AF &Vr Min Level", "P&ower ON Tag"})
        shown += e.ShownText(Find(e, label)) + "|";
    EXPECT_EQ(shown, "3   min|6  sec|3 sec|8 h|1:5|+3dB|standard|9|3|SELFTEST|");

    EXPECT_EQ(e.ReportLines().at(12), "     Power ON Tag           :SELFTEST            ");
}

TEST(PowerSavingEditorTest, EditsReachOnlyTheirBitsAndSurviveADataFile) {
    const HMemoryImage original = PatternImage();
    HMemoryImage image = original;
    PowerSavingEditor e({&image, 0});
    e.Open();
    const std::size_t mic = Find(e, "&MIC Gain");
    const std::size_t beep = Find(e, "&Beep Level");
    const std::size_t tag = Find(e, "P&ower ON Tag");
    ASSERT_TRUE(e.UserSelect(mic, e.Combo(mic).IndexOfCode(253))); // +10dB
    ASSERT_TRUE(e.UserEdit(beep, "12"));
    ASSERT_TRUE(e.UserEdit(tag, "WIDE"));
    EXPECT_EQ(image, original); // nothing written before OK
    ASSERT_EQ(e.Confirm(), 0);
    EXPECT_EQ(Differences(original, image),
              (std::vector<std::size_t>{45, 677, 1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031}));
    // The high nibble of 45 is another setting's; the tag is padded with NULs.
    EXPECT_EQ(std::make_tuple(image[45], image[677],
                              std::string(image.begin() + 1024, image.begin() + 1032)),
              std::make_tuple(std::uint8_t((original[45] & 0xF0) | 12), std::uint8_t{253},
                              std::string("WIDE\0\0\0\0", 8)));

    // A tag with characters the tag filter refuses, and a level beyond the
    // 4-bit row, are refused rather than stored as something else: the edits
    // show what they held, and OK writes nothing new.
    EXPECT_FALSE(e.UserEdit(tag, "N\xC3\xBCRN#1"));
    EXPECT_FALSE(e.UserEdit(beep, "99"));
    EXPECT_EQ(e.ShownText(tag) + "|" + e.ShownText(beep), "WIDE|12");
    const HMemoryImage stored = image;
    ASSERT_EQ(e.Confirm(), 0);
    EXPECT_EQ(image, stored);
}

TEST(PowerSavingEditorTest, CancelAndUnofferedCodesLeaveTheImageAlone) {
    HMemoryImage image = PatternImage();
    image[677] = 100; // a MIC gain no choice offers
    const HMemoryImage original = image;
    {
        // Cancel: the editor goes away without Confirm.
        PowerSavingEditor e({&image, 0});
        e.Open();
        ASSERT_TRUE(e.UserSelect(0, 7));
        ASSERT_TRUE(e.UserEdit(Find(e, "P&ower ON Tag"), "CHANGED"));
    }
    EXPECT_EQ(image, original);

    // The unoffered code is shown with no selection and written back unchanged.
    PowerSavingEditor e({&image, 0});
    e.Open();
    const std::size_t mic = Find(e, "&MIC Gain");
    EXPECT_EQ(std::make_pair(e.Combo(mic).SelectedIndex(), e.ShownText(mic)),
              std::make_pair(-1, std::string()));
    ASSERT_EQ(e.Confirm(), 0);
    EXPECT_EQ(image, original);
}
