#include "HDataFile.h"
#include "HPowerSavingEditor.h"
#include "ScriptedPrompt.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

namespace {

// A data file full of arbitrary bytes, with the Power Saving fields set to
// values the editor offers, so every bit the editor must not touch is random.
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
    const char tag[8] = {'S', 'E', 'L', 'F', 'T', 'E', 'S', 'T'};
    std::copy(std::begin(tag), std::end(tag), image.begin() + 1024);
    return image;
}

std::size_t Find(const HEditor& e, std::string_view label) {
    const std::size_t i = e.FindItem(label);
    EXPECT_LT(i, e.ItemCount()) << label;
    return i;
}

class PowerSavingEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(HDataFile::Write(dir.File("radio.R57"), PatternImage()).Ok());
        ASSERT_TRUE(HDataFile::Read(dir.File("radio.R57"), image).Ok());
        original = image;
    }
    TempDir dir;
    HMemoryImage image{};
    HMemoryImage original{};
};

} // namespace

TEST_F(PowerSavingEditorTest, ShowsTheGroupAsTheDialogDoes) {
    HPowerSavingEditor e({&image, 0});
    EXPECT_EQ(e.DialogId(), 134u);
    EXPECT_EQ(e.Caption(), "Power Saving");
    e.Open();
    ASSERT_EQ(e.ItemCount(), 13u);
    const std::pair<std::string_view, std::string_view> shown[] = {
        {"&Transmit Timer", "3   min"}, {"&MIC Gain", "+3dB"},     {"&Ext Mic gain", "standard"},
        {"&Beep Level", "9"},           {"AF &Vr Min Level", "3"}, {"P&ower ON Tag", "SELFTEST"}};
    for (auto [label, text] : shown)
        EXPECT_EQ(e.ShownText(Find(e, label)), text) << label;
    EXPECT_EQ(std::make_tuple(e.ShownText(1), e.ShownText(2), e.ShownText(3), e.ShownText(4)),
              std::make_tuple("6  sec", "3 sec", "8 h", "1:5"));
    EXPECT_EQ(e.Combo(Find(e, "&MIC Gain")).Count(), 7u);
    EXPECT_EQ(e.HelpContextId(std::nullopt), 0x20000u + 134);

    const auto lines = e.ReportLines();
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[0], "     Transmit Timer         :3   min             ");
    EXPECT_EQ(lines[4], "     Receive Save Mode      :1:5                 ");
    EXPECT_EQ(lines[12], "     Power ON Tag           :SELFTEST            ");
    EXPECT_EQ(e.ReportItems()[5].caption, "MIC Gain");
}

TEST_F(PowerSavingEditorTest, AChangeReachesTheImageInExactlyItsField) {
    HPowerSavingEditor e({&image, 0});
    e.Open();
    const std::size_t mic = Find(e, "&MIC Gain");
    ASSERT_TRUE(e.UserSelect(mic, e.Combo(mic).IndexOfCode(253))); // +10dB
    EXPECT_EQ(image, original);                                    // nothing written before OK
    ASSERT_EQ(e.Confirm(), 0);
    EXPECT_EQ(Differences(original, image), (std::vector<std::size_t>{677}));
    EXPECT_EQ(image[677], 253);

    // The changed image survives a save to a data file and a new editor shows it.
    ASSERT_TRUE(HDataFile::Write(dir.File("changed.R57"), image).Ok());
    HMemoryImage reread{};
    ASSERT_TRUE(HDataFile::Read(dir.File("changed.R57"), reread).Ok());
    HPowerSavingEditor again({&reread, 0});
    again.Open();
    EXPECT_EQ(again.ShownText(mic), "+10dB");
}

TEST_F(PowerSavingEditorTest, EditsReachOnlyTheirBits) {
    HPowerSavingEditor e({&image, 0});
    e.Open();
    const std::size_t beep = Find(e, "&Beep Level");
    const std::size_t tag = Find(e, "P&ower ON Tag");
    ASSERT_TRUE(e.UserEdit(beep, "12"));
    ASSERT_TRUE(e.UserEdit(tag, "WIDE"));
    ASSERT_EQ(e.Confirm(), 0);
    EXPECT_EQ(Differences(original, image),
              (std::vector<std::size_t>{45, 1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031}));
    EXPECT_EQ(image[45], (original[45] & 0xF0) | 12); // the high nibble is another setting's
    EXPECT_EQ(std::string(image.begin() + 1024, image.begin() + 1028), "WIDE");
    EXPECT_EQ(image[1028], 0); // padded
    EXPECT_EQ(image[1031], 0);

    // A pasted tag loses what the tag filter refuses.
    HPowerSavingEditor paste({&image, 0});
    paste.Open();
    ASSERT_TRUE(paste.UserEdit(tag, "N\xC3\xBCRN#1"));
    EXPECT_EQ(paste.ShownText(tag), "NRN1");

    // A level beyond the 4-bit row is clamped to 15, not wrapped.
    HPowerSavingEditor clamp({&image, 0});
    clamp.Open();
    ASSERT_TRUE(clamp.UserEdit(beep, "99"));
    EXPECT_EQ(clamp.ShownText(beep), "15");
    ASSERT_EQ(clamp.Confirm(), 0);
    EXPECT_EQ(image[45] & 0x0F, 15);
}

TEST_F(PowerSavingEditorTest, CancelAndUnofferedCodesLeaveTheImageAlone) {
    {
        // Cancel: the editor goes away without Confirm.
        HPowerSavingEditor e({&image, 0});
        e.Open();
        ASSERT_TRUE(e.UserSelect(0, 7));
        ASSERT_TRUE(e.UserEdit(Find(e, "P&ower ON Tag"), "CHANGED"));
    }
    EXPECT_EQ(image, original);

    // A MIC gain no choice offers is shown with no selection and written back unchanged.
    image[677] = 100;
    original = image;
    HPowerSavingEditor e({&image, 0});
    e.Open();
    const std::size_t mic = Find(e, "&MIC Gain");
    EXPECT_EQ(e.Combo(mic).SelectedIndex(), -1);
    EXPECT_EQ(e.ShownText(mic), "");
    ASSERT_EQ(e.Confirm(), 0);
    EXPECT_EQ(image, original);
}
