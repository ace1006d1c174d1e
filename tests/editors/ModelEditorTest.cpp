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
    HModelEditor e({&image, 0});
    e.Open();
    ASSERT_EQ(e.ItemCount(), 4u);
    std::string texts;
    for (std::size_t item = 0; item < 4; ++item) {
        for (const HChoiceItem& entry : e.Combo(item).Items())
            texts += entry.text + (entry.text == e.Combo(item).SelectedText() ? "*|" : "|");
        texts += "\n";
    }
    EXPECT_EQ(texts, "VHF|UHF A|UHF D*|\nMobile|Handheld*|\nNon-LCD Type|13Seg LCD Type*|\n"
                     "LED Type|LCD Type*|\n");
    // A handheld shows its own display-type list only; every list is open at
    // the ordinary level: choosing a model needs no code.
    EXPECT_TRUE(e.IsVisible(2) && !e.IsVisible(3) && e.IsEnabled(0) && e.IsEnabled(2));
    EXPECT_EQ(std::make_pair(e.ModelChanged(), Choice(e)),
              std::make_pair(false, std::make_tuple(kBandUhfD, 1, 1)));

    // A mobile set: the other display list; the display type alone is a new model.
    HMemoryImage mobile = MakeImageForModel(kBandVhf, kProductMobile, 1);
    HModelEditor m({&mobile, 0});
    m.Open();
    EXPECT_TRUE(!m.IsVisible(2) && m.IsVisible(3));
    ASSERT_TRUE(Pick(m, HModel::kItemLcdMobile, "LED Type"));
    EXPECT_TRUE(m.ModelChanged() && m.Choice().lcdType == 0);
    EXPECT_FALSE(m.UserSelect(HModel::kItemLcdHandheld, 1)); // the hidden list takes no picks
}

TEST(ModelEditorTest, BandAndProductTypeQuestions) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    const HMemoryImage before = image;
    ScriptedPrompt prompt;
    HModelEditor e({&image, 0});
    e.SetPrompt(&prompt);
    e.Open();
    const std::string band = HStringTable::Get(50);
    EXPECT_EQ(band, "Change frequency band?\r\nFrequencies will be invalid");
    const std::string product = "Change product type?\r\nSome channels will be invalid";
    // Each pick in order: the answer given, the question asked (none for the
    // entry shown or a display type), then what the lists show. No puts the
    // list back; a band question compares with the band now chosen.
    struct Step {
        std::size_t item;
        const char* entry;
        bool answer;
        std::string asked;
        const char* band;
        const char* product;
        bool changed;
        bool mobileListShown;
    };
    const Step steps[] = {
        {HModel::kItemBand, "VHF", true, "", "VHF", "Mobile", false, true},
        {HModel::kItemProductType, "Handheld", false, product, "VHF", "Mobile", false, true},
        {HModel::kItemBand, "UHF A", true, band, "UHF A", "Mobile", true, true},
        {HModel::kItemBand, "UHF D", false, band, "UHF A", "Mobile", true, true},
        {HModel::kItemProductType, "Handheld", true, product, "UHF A", "Handheld", true, false},
        {HModel::kItemLcdHandheld, "Non-LCD Type", true, "", "UHF A", "Handheld", true, false}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.entry);
        prompt.asked.clear();
        prompt.answers = {s.answer};
        ASSERT_TRUE(Pick(e, s.item, s.entry));
        EXPECT_EQ(prompt.asked,
                  s.asked.empty() ? std::vector<std::string>{} : std::vector<std::string>{s.asked});
        EXPECT_EQ(
            std::make_tuple(e.Combo(HModel::kItemBand).SelectedText(),
                            e.Combo(HModel::kItemProductType).SelectedText(), e.ModelChanged(),
                            e.IsVisible(HModel::kItemLcdMobile),
                            e.IsVisible(HModel::kItemLcdHandheld)),
            std::make_tuple(s.band, s.product, s.changed, s.mobileListShown, !s.mobileListShown));
    }
    // The LCD type reported is the one of the list shown; the image is untouched.
    EXPECT_EQ(e.Confirm(), 0);
    EXPECT_EQ(std::make_pair(image, Choice(e)),
              std::make_pair(before, std::make_tuple(int{kBandUhfA}, 1, 0)));
}

TEST(ModelEditorTest, AnUnofferedBandIsKeptAndTheSameEntryIsNoChange) {
    HMemoryImage mobile = MakeImageForModel(kBandVhf, kProductMobile, 1);
    HHardwareGroup hw;
    hw.Load(mobile);
    hw.SetValue(HHardwareGroup::kRowBand, kBandNotDefined);
    hw.Save(mobile);
    HModelEditor e({&mobile, 0});
    e.Open();
    EXPECT_EQ(e.Combo(HModel::kItemBand).SelectedIndex(), -1);
    EXPECT_EQ(e.Choice().band, int{kBandNotDefined});
    ASSERT_TRUE(Pick(e, HModel::kItemLcdMobile, "LCD Type")); // the entry shown
    EXPECT_FALSE(e.ModelChanged());
}
