#include "HEditor.h"
#include "HGroupEditor.h"
#include "HSheetStatus.h"
#include "HStringTable.h"
#include "ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr std::array<HChoiceEntry, 3> kModes{
    {{"Normal", 0}, {"Inverted", 1}, {"Dealer", 2, false}}};
constexpr HChoiceList kModeList = HChoiceTable(kModes);
constexpr HChoiceList kOnOffList = HChoiceFixed(HChoiceKind::OffOn);
constexpr HEditSetup kLevel{HValueKind::Integer, 3, 0, 255, "%d", HFilterMode::Decimal, 0,
                            HDisplayOp::None,    ""};

constexpr std::array kItems{
    HComboItem("&Mode", 0, kModeList),
    HComboItem("&Factory Mode", 1, kModeList, HItemAccess::RaisedLevel),
    HEditItem("&Level", 2, kLevel, HItemAccess::RaisedOnly),
    HCheckItem("&Programming", 3, kOnOffList),
    HStaticItem("Range"),
};
static_assert(HEditorItemsAreSound(kItems, 4));
static_assert(!HEditorItemsAreSound(kItems, 3)); // a bound value beyond the group

// A group of four plain values over bytes 600-603, for the binding alone.
constexpr std::array kRows = {HField(600, 0, 8, 1), HField(601, 4, 2, 0), HField(602, 0, 8, 7),
                              HField(603, 0, 1, 1)};
constexpr std::array kParts = {HGroupPart{kRows, HFieldTableType::Plain}};

class TestGroup : public HSettingsGroup {
public:
    TestGroup() : HSettingsGroup(kParts) {}
};

// A group editor with rules: choosing "Inverted" asks first and No puts the
// old value back; the check refuses level 13; at the ordinary level InitCombo
// takes "Inverted" away, as the Key Function rules do with their choices.
class RuleEditor : public HGroupEditor {
public:
    RuleEditor(const HEditorContext& ctx, TestGroup& g)
        : HGroupEditor(201, "Rules", kItems, ctx, g) {}

protected:
    void InitCombo() override {
        HGroupEditor::InitCombo();
        if (Context().accessLevel == 0)
            ComboState(0).RemoveCode(1);
    }
    void OnComboChanged(std::size_t item) override {
        if (item != 0 || Combo(0).GetSelectedValue() != 1)
            return;
        if (!Ask("Invert?"))
            ComboState(0).SelectByValue(Group().GetValue(0));
    }
    int Check() override {
        if (Edit(2).GetStoredInt() == 13) {
            Tell("Unlucky level");
            return 1;
        }
        return 0;
    }
};

} // namespace

TEST(Editor, FormatItemLineAndCaptions) {
    EXPECT_EQ(HEditor::FormatItemLine("Beep", "On"),
              "     Beep                   :On                  ");
    // printf pads but never cuts.
    EXPECT_EQ(HEditor::FormatItemLine("A name longer than 23 chars", "v"),
              "     A name longer than 23 chars:v                   ");
    EXPECT_EQ(HEditor::CaptionOf("Re&ceive Save Mode") + HEditor::CaptionOf("15(&F)") +
                  HEditor::CaptionOf("Save && Go"),
              "Receive Save Mode15(F)Save & Go");
}

TEST(Editor, HelpContextIsTheControlsOrTheDialogs) {
    static constexpr std::array kHelpItems{HStaticItem("One"), [] {
                                               HEditorItem i = HStaticItem("Two");
                                               i.helpId = 0x10457;
                                               return i;
                                           }()};
    HEditor e(138, "Hardware", kHelpItems, {});
    EXPECT_EQ(std::make_pair(e.HelpContextId(0), e.HelpContextId(1)),
              std::make_pair(0x2008Au, 0x10457u));
}

TEST(Editor, AccessLevelDisablesOrHidesRaisedItems) {
    TestGroup g;
    RuleEditor ordinary({nullptr, 0}, g);
    ordinary.Open();
    EXPECT_EQ(std::make_tuple(ordinary.IsEnabled(0), ordinary.IsEnabled(1), ordinary.IsVisible(1),
                              ordinary.IsVisible(2)),
              std::make_tuple(true, false, true, false));
    EXPECT_FALSE(ordinary.UserSelect(1, 0) || ordinary.UserEdit(2, "5")); // refused
    // Hidden items are neither in the report nor in the export.
    std::string captions;
    for (const auto& item : ordinary.ReportItems())
        captions += item.caption + "|";
    EXPECT_EQ(captions, "Mode|Factory Mode|Programming|");

    RuleEditor raised({nullptr, 1}, g);
    raised.Open();
    EXPECT_TRUE(raised.IsEnabled(1) && raised.IsVisible(2) && raised.UserEdit(2, "5"));
    EXPECT_EQ(raised.ReportItems().size(), 4u);
}

TEST(Editor, GroupBindingRoundTripsThroughTheItems) {
    TestGroup g;
    {
        // Without an image the group defaults are shown and nothing is written.
        RuleEditor e({nullptr, 1}, g);
        e.Open();
        EXPECT_EQ(std::make_tuple(e.Combo(0).SelectedText(), e.Edit(2).Text(), e.IsChecked(3)),
                  std::make_tuple("Inverted", "7", true));
        EXPECT_EQ(e.Confirm(), 0);
    }
    HMemoryImage image{};
    image[600] = 1;    // Inverted
    image[601] = 0xE5; // bits 4-5 = 2: "Dealer", kept but not offered
    image[602] = 42;
    image[603] = 0xFE; // bit 0 clear: check off
    HMemoryImage before = image;
    {
        // A choice removed by a rule keeps its stored code.
        RuleEditor e({&image, 0}, g);
        e.Open();
        EXPECT_EQ(std::make_pair(e.Combo(0).Count(), e.ShownText(0)),
                  std::make_pair(std::size_t{1}, std::string()));
        EXPECT_EQ(e.Confirm(), 0);
        EXPECT_EQ(image, before);
    }
    RuleEditor e({&image, 1}, g);
    e.Open();
    EXPECT_EQ(std::make_tuple(e.Combo(0).SelectedText(), e.Combo(1).SelectedIndex(), e.ShownText(1),
                              e.Edit(2).Text(), e.IsChecked(3), e.ShownText(3)),
              std::make_tuple("Inverted", -1, "", "42", false, "Off"));

    // Changes reach the image only through Confirm, and only in their bits.
    EXPECT_TRUE(e.UserSelect(0, 0) && e.UserCheck(3, true));
    EXPECT_FALSE(e.UserEdit(2, "300")); // beyond the range: refused, the text as it was
    EXPECT_EQ(e.Edit(2).Text(), "42");
    EXPECT_TRUE(e.UserEdit(2, "255"));
    EXPECT_EQ(e.ShownText(3) + e.Edit(2).Text(), "On 255");
    EXPECT_EQ(image, before);
    EXPECT_EQ(e.Confirm(), 0);
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + 600, image.begin() + 604),
              (std::vector<std::uint8_t>{0, 0xE5, 255, 0xFF}));
}

TEST(Editor, RulesAskThroughThePromptAndChecksKeepTheImage) {
    HMemoryImage image{};
    TestGroup g;
    RuleEditor e({&image, 1}, g);
    e.Open();
    // No prompt set: every question is answered No.
    EXPECT_TRUE(e.UserSelect(0, 1));
    EXPECT_EQ(e.Combo(0).GetSelectedValue(), 0);

    ScriptedPrompt prompt;
    e.SetPrompt(&prompt);
    prompt.answers = {false, true};
    std::string shown;
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(e.UserSelect(0, 1));
        shown += e.Combo(0).SelectedText() + "|"; // No: the old value is back
    }
    EXPECT_EQ(shown, "Normal|Inverted|");
    EXPECT_EQ(prompt.asked, (std::vector<std::string>{"Invert?", "Invert?"}));

    const HMemoryImage before = image;
    EXPECT_TRUE(e.UserEdit(2, "13"));
    EXPECT_EQ(e.Confirm(), 1);
    EXPECT_EQ(std::make_pair(prompt.told, image),
              std::make_pair(std::vector<std::string>{"Unlucky level"}, before));
    EXPECT_TRUE(e.UserEdit(2, "12"));
    EXPECT_EQ(e.Confirm(), 0);
    EXPECT_EQ(std::make_pair(image[600], image[602]),
              std::make_pair(std::uint8_t{1}, std::uint8_t{12}));
}

TEST(SheetStatus, PanesSplitAtTheLineFeed) {
    EXPECT_EQ(HSplitStatusText("Select ACC Channel No 3(Not Used/CH01 - CH16)\n<SELECT>"),
              (HStatusPanes{"Select ACC Channel No 3(Not Used/CH01 - CH16)", "<SELECT>"}));
    HSheetStatus bar;
    EXPECT_EQ(bar.Show(HStringTable::kFileWriteError), 0);
    EXPECT_EQ(bar.Panes().first, HStringTable::Get(HStringTable::kFileWriteError));
    EXPECT_EQ(bar.Show(0), HStringTable::kFileWriteError);
    EXPECT_EQ(bar.Panes(), (HStatusPanes{" ", " "}));
}
