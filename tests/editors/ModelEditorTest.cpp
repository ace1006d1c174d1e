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
#include <tuple>

namespace {

std::string Texts(const HValueSelection& combo) {
    std::string texts;
    for (const HChoiceItem& item : combo.Items())
        texts += item.text + "|";
    return texts;
}

// Picks the entry with this text, as the user does.
bool Pick(HModelEditor& e, std::size_t item, std::string_view text) {
    const auto items = e.Combo(item).Items();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].text == text)
            return e.UserSelect(item, static_cast<int>(i));
    ADD_FAILURE() << "no entry " << text;
    return false;
}

std::tuple<int, int, int> Choice(const HModelEditor& e) {
    const HModelChoice c = e.Choice();
    return {c.band, c.productType, c.lcdType};
}

} // namespace

TEST(ModelEditorTest, ListsAndVisibilityFollowTheImage) {
    HMemoryImage image = MakeImageForModel(kBandUhfD, kProductHandheld, 1);
    const HMemoryImage before = image;
    HModelEditor e({&image, 0});
    e.Open();
    ASSERT_EQ(e.ItemCount(), 4u);
    EXPECT_EQ(Texts(e.Combo(0)), "VHF|UHF A|UHF D|");
    EXPECT_EQ(Texts(e.Combo(1)), "Mobile|Handheld|");
    EXPECT_EQ(Texts(e.Combo(2)), "Non-LCD Type|13Seg LCD Type|");
    EXPECT_EQ(Texts(e.Combo(3)), "LED Type|LCD Type|");
    EXPECT_EQ(std::make_tuple(e.Combo(0).SelectedText(), e.Combo(1).SelectedText(),
                              e.Combo(2).SelectedText()),
              std::make_tuple("UHF D", "Handheld", "13Seg LCD Type"));
    // A handheld shows its own display-type list only; a mobile set the other.
    EXPECT_TRUE(e.IsVisible(2) && !e.IsVisible(3));
    // Every list is open at the ordinary level: choosing a model needs no code.
    EXPECT_TRUE(e.IsEnabled(0) && e.IsEnabled(1) && e.IsEnabled(2));
    HMemoryImage mobile = MakeImageForModel(kBandVhf, kProductMobile, 0);
    HModelEditor m({&mobile, 0});
    m.Open();
    EXPECT_TRUE(!m.IsVisible(2) && m.IsVisible(3));
    EXPECT_EQ(m.Combo(3).SelectedText(), "LED Type");

    // Confirming an unchanged dialog asks for no new model, and no list writes the image.
    EXPECT_EQ(e.Confirm(), 0);
    EXPECT_FALSE(e.ModelChanged());
    EXPECT_EQ(image, before);
    EXPECT_EQ(Choice(e), std::make_tuple(kBandUhfD, 1, 1));
}

TEST(ModelEditorTest, BandQuestionYesAndNo) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    const HMemoryImage before = image;
    ScriptedPrompt prompt;
    HModelEditor e({&image, 0});
    e.SetPrompt(&prompt);
    e.Open();
    const auto band = [&e] { return e.Combo(HModel::kItemBand).SelectedText(); };

    // Picking the band shown asks nothing.
    ASSERT_TRUE(Pick(e, HModel::kItemBand, "VHF"));
    EXPECT_TRUE(prompt.asked.empty());
    // No puts the list back.
    prompt.answers = {false};
    ASSERT_TRUE(Pick(e, HModel::kItemBand, "UHF A"));
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0], HStringTable::Get(50));
    EXPECT_EQ(prompt.asked[0], "Change frequency band?\r\nFrequencies will be invalid");
    EXPECT_EQ(band(), "VHF");
    EXPECT_FALSE(e.ModelChanged());
    // Yes keeps it and marks the model changed; the image is still untouched.
    prompt.answers = {true};
    ASSERT_TRUE(Pick(e, HModel::kItemBand, "UHF A"));
    EXPECT_EQ(prompt.asked.size(), 2u);
    EXPECT_EQ(band(), "UHF A");
    EXPECT_TRUE(e.ModelChanged());
    // The question compares with the band now chosen, not the image's.
    prompt.answers = {false};
    ASSERT_TRUE(Pick(e, HModel::kItemBand, "UHF D"));
    EXPECT_EQ(band(), "UHF A");
    EXPECT_EQ(e.Confirm(), 0);
    EXPECT_EQ(image, before);
    EXPECT_EQ(Choice(e), std::make_tuple(kBandUhfA, 0, 1));
}

TEST(ModelEditorTest, ProductTypeQuestionSwapsTheDisplayList) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    ScriptedPrompt prompt;
    HModelEditor e({&image, 0});
    e.SetPrompt(&prompt);
    e.Open();
    const auto shown = [&e] {
        return std::make_pair(e.IsVisible(HModel::kItemLcdMobile),
                              e.IsVisible(HModel::kItemLcdHandheld));
    };

    prompt.answers = {false};
    ASSERT_TRUE(Pick(e, HModel::kItemProductType, "Handheld"));
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0], "Change product type?\r\nSome channels will be invalid");
    EXPECT_EQ(e.Combo(HModel::kItemProductType).SelectedText(), "Mobile");
    EXPECT_EQ(shown(), std::make_pair(true, false));
    EXPECT_FALSE(e.ModelChanged());

    prompt.answers = {true};
    ASSERT_TRUE(Pick(e, HModel::kItemProductType, "Handheld"));
    EXPECT_TRUE(e.ModelChanged());
    EXPECT_EQ(shown(), std::make_pair(false, true));
    // The LCD type reported is the one of the list shown; display types ask nothing.
    ASSERT_TRUE(Pick(e, HModel::kItemLcdHandheld, "Non-LCD Type"));
    EXPECT_EQ(prompt.asked.size(), 2u);
    EXPECT_EQ(Choice(e), std::make_tuple(kBandVhf, 1, 0));
}

TEST(ModelEditorTest, DisplayTypeAloneIsANewModelAndUnofferedCodesSurvive) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    HModelEditor e({&image, 0});
    e.Open();
    ASSERT_TRUE(Pick(e, HModel::kItemLcdMobile, "LCD Type")); // the same entry: no change
    EXPECT_FALSE(e.ModelChanged());
    ASSERT_TRUE(Pick(e, HModel::kItemLcdMobile, "LED Type"));
    EXPECT_TRUE(e.ModelChanged());
    EXPECT_EQ(e.Choice().lcdType, 0);
    // The hidden list of the other product type takes no picks.
    EXPECT_FALSE(e.UserSelect(HModel::kItemLcdHandheld, 1));

    // A band the lists do not offer (Not Defined) shows no selection and is
    // reported back as stored.
    HHardwareGroup hw;
    hw.Load(image);
    hw.SetValue(HHardwareGroup::kRowBand, kBandNotDefined);
    hw.Save(image);
    HModelEditor undefined({&image, 0});
    undefined.Open();
    EXPECT_EQ(undefined.Combo(HModel::kItemBand).SelectedIndex(), -1);
    EXPECT_EQ(undefined.Choice().band, kBandNotDefined);
}
