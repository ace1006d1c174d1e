// The "Model" dialog's description: lists filled from the image's Hardware
// fields, the display-type list of the product type shown, the band and
// product-type questions, and the image left alone whatever the user does.
#include "HDefaultImage.h"
#include "HHardwareGroup.h"
#include "HModelEditor.h"
#include "HStringTable.h"
#include "ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Texts(const HValueSelection& combo) {
    std::vector<std::string> texts;
    for (const HChoiceItem& item : combo.Items())
        texts.push_back(item.text);
    return texts;
}

int IndexOf(const HEditor& e, std::size_t item, std::string_view text) {
    const auto items = e.Combo(item).Items();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].text == text)
            return static_cast<int>(i);
    ADD_FAILURE() << "no entry " << text;
    return -1;
}

} // namespace

TEST(ModelEditorTest, ListsAndVisibilityFollowTheImage) {
    HMemoryImage image = MakeImageForModel(kBandUhfD, kProductHandheld, 1);
    const HMemoryImage before = image;
    HModelEditor e({&image, 0});
    e.Open();
    EXPECT_EQ(e.DialogId(), 219u);
    EXPECT_EQ(e.Caption(), "Model");
    ASSERT_EQ(e.ItemCount(), 4u);
    EXPECT_EQ(e.Item(0).label, "&Freq. Band");
    EXPECT_EQ(e.Item(1).label, "&Product Type");
    EXPECT_EQ(e.Item(2).label, "&LCD Type");
    EXPECT_EQ(e.Item(3).label, "&LCD Type");
    EXPECT_EQ(Texts(e.Combo(0)), (std::vector<std::string>{"VHF", "UHF A", "UHF D"}));
    EXPECT_EQ(Texts(e.Combo(1)), (std::vector<std::string>{"Mobile", "Handheld"}));
    EXPECT_EQ(Texts(e.Combo(2)), (std::vector<std::string>{"Non-LCD Type", "13Seg LCD Type"}));
    EXPECT_EQ(Texts(e.Combo(3)), (std::vector<std::string>{"LED Type", "LCD Type"}));
    EXPECT_EQ(e.Combo(0).SelectedText(), "UHF D");
    EXPECT_EQ(e.Combo(1).SelectedText(), "Handheld");
    EXPECT_EQ(e.Combo(2).SelectedText(), "13Seg LCD Type");
    // A handheld shows its own display-type list only.
    EXPECT_TRUE(e.IsVisible(2));
    EXPECT_FALSE(e.IsVisible(3));
    // Every list is open at the ordinary level: choosing a model needs no code.
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(e.IsEnabled(i));

    HMemoryImage mobile = MakeImageForModel(kBandVhf, kProductMobile, 0);
    HModelEditor m({&mobile, 0});
    m.Open();
    EXPECT_FALSE(m.IsVisible(2));
    EXPECT_TRUE(m.IsVisible(3));
    EXPECT_EQ(m.Combo(3).SelectedText(), "LED Type");

    // Confirming an unchanged dialog asks for no new model, and no list writes the image.
    EXPECT_EQ(e.Confirm(), 0);
    EXPECT_FALSE(e.ModelChanged());
    EXPECT_EQ(image, before);
    const HModelChoice c = e.Choice();
    EXPECT_EQ(c.band, kBandUhfD);
    EXPECT_EQ(c.productType, 1);
    EXPECT_EQ(c.lcdType, 1);
}

TEST(ModelEditorTest, BandQuestionYesAndNo) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    const HMemoryImage before = image;
    ScriptedPrompt prompt;
    HModelEditor e({&image, 0});
    e.SetPrompt(&prompt);
    e.Open();

    // Picking the band shown asks nothing.
    ASSERT_TRUE(e.UserSelect(HModel::kItemBand, IndexOf(e, HModel::kItemBand, "VHF")));
    EXPECT_TRUE(prompt.asked.empty());

    // No puts the list back.
    prompt.answers = {false};
    ASSERT_TRUE(e.UserSelect(HModel::kItemBand, IndexOf(e, HModel::kItemBand, "UHF A")));
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0], HStringTable::Get(50));
    EXPECT_EQ(prompt.asked[0], "Change frequency band?\r\nFrequencies will be invalid");
    EXPECT_EQ(e.Combo(HModel::kItemBand).SelectedText(), "VHF");
    EXPECT_FALSE(e.ModelChanged());

    // Yes keeps it and marks the model changed; the image is still untouched.
    prompt.answers = {true};
    ASSERT_TRUE(e.UserSelect(HModel::kItemBand, IndexOf(e, HModel::kItemBand, "UHF A")));
    EXPECT_EQ(prompt.asked.size(), 2u);
    EXPECT_EQ(e.Combo(HModel::kItemBand).SelectedText(), "UHF A");
    EXPECT_TRUE(e.ModelChanged());
    // The question compares with the band now chosen, not the image's.
    prompt.answers = {false};
    ASSERT_TRUE(e.UserSelect(HModel::kItemBand, IndexOf(e, HModel::kItemBand, "UHF D")));
    EXPECT_EQ(e.Combo(HModel::kItemBand).SelectedText(), "UHF A");
    EXPECT_EQ(e.Confirm(), 0);
    EXPECT_EQ(image, before);
    EXPECT_EQ(e.Choice().band, kBandUhfA);
    EXPECT_EQ(e.Choice().productType, 0);
    EXPECT_EQ(e.Choice().lcdType, 1);
}

TEST(ModelEditorTest, ProductTypeQuestionSwapsTheDisplayList) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    ScriptedPrompt prompt;
    HModelEditor e({&image, 0});
    e.SetPrompt(&prompt);
    e.Open();

    prompt.answers = {false};
    ASSERT_TRUE(
        e.UserSelect(HModel::kItemProductType, IndexOf(e, HModel::kItemProductType, "Handheld")));
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0], "Change product type?\r\nSome channels will be invalid");
    EXPECT_EQ(e.Combo(HModel::kItemProductType).SelectedText(), "Mobile");
    EXPECT_TRUE(e.IsVisible(HModel::kItemLcdMobile));
    EXPECT_FALSE(e.IsVisible(HModel::kItemLcdHandheld));
    EXPECT_FALSE(e.ModelChanged());

    prompt.answers = {true};
    ASSERT_TRUE(
        e.UserSelect(HModel::kItemProductType, IndexOf(e, HModel::kItemProductType, "Handheld")));
    EXPECT_TRUE(e.ModelChanged());
    EXPECT_TRUE(e.IsVisible(HModel::kItemLcdHandheld));
    EXPECT_FALSE(e.IsVisible(HModel::kItemLcdMobile));
    // The LCD type reported is the one of the list shown.
    ASSERT_TRUE(e.UserSelect(HModel::kItemLcdHandheld,
                             IndexOf(e, HModel::kItemLcdHandheld, "Non-LCD Type")));
    EXPECT_EQ(prompt.asked.size(), 2u); // display types ask nothing
    const HModelChoice c = e.Choice();
    EXPECT_EQ(c.productType, 1);
    EXPECT_EQ(c.band, kBandVhf);
    EXPECT_EQ(c.lcdType, 0);
}

TEST(ModelEditorTest, AnotherDisplayTypeAloneIsANewModel) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    HModelEditor e({&image, 0});
    e.Open();
    // Picking the same entry changes nothing.
    ASSERT_TRUE(
        e.UserSelect(HModel::kItemLcdMobile, IndexOf(e, HModel::kItemLcdMobile, "LCD Type")));
    EXPECT_FALSE(e.ModelChanged());
    ASSERT_TRUE(
        e.UserSelect(HModel::kItemLcdMobile, IndexOf(e, HModel::kItemLcdMobile, "LED Type")));
    EXPECT_TRUE(e.ModelChanged());
    EXPECT_EQ(e.Choice().lcdType, 0);
    // The hidden list of the other product type takes no picks.
    EXPECT_FALSE(e.UserSelect(HModel::kItemLcdHandheld, 1));
}

TEST(ModelEditorTest, StoredCodesNoListOffersSurvive) {
    // A band the lists do not offer (Not Defined) shows no selection and is
    // reported back as stored.
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    HHardwareGroup hw;
    hw.Load(image);
    hw.SetValue(HHardwareGroup::kRowBand, kBandNotDefined);
    hw.Save(image);
    HModelEditor e({&image, 0});
    e.Open();
    EXPECT_EQ(e.Combo(HModel::kItemBand).SelectedIndex(), -1);
    EXPECT_EQ(e.Choice().band, kBandNotDefined);
}
