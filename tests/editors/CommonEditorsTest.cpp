// The rules of the common editors, on worked examples: Key Function item
// removals and the Dual Watch warning, the option unit coding, the Hardware
// recomputation, shared bit and band question, the
// programming password check and the switch table's offer-once rule.
#include "HChannels.h"
#include "HDefaultImage.h"
#include "HEditorRegistry.h"
#include "HStringTable.h"
#include "ImageTestUtil.h"
#include "ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

namespace I = HCommonItems;

// An editor of a registry section opened over an image.
std::unique_ptr<HEditor> Open(std::string_view section, HMemoryImage& image, int level = 0,
                              HEditorPrompt* prompt = nullptr, std::size_t page = 0) {
    const HEditorEntry* entry = HEditorRegistry::FindBySection(section);
    const HEditorPageEntry& p = entry->pages[page];
    std::unique_ptr<HEditor> editor = p.make(p, {&image, level});
    editor->SetPrompt(prompt);
    editor->Open();
    return editor;
}

bool Offers(const HEditor& e, std::size_t item, std::string_view text) {
    for (const HChoiceItem& c : e.Combo(item).Items())
        if (c.text == text)
            return true;
    return false;
}

int IndexOf(const HEditor& e, std::size_t item, std::string_view text) {
    const auto items = e.Combo(item).Items();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].text == text)
            return static_cast<int>(i);
    return -1;
}

HMemoryImage WithOption(HMemoryImage image, std::int32_t unit, std::int32_t keypadMic) {
    HOptionGroup option;
    option.Load(image);
    option.SetValue(HOptionGroup::kValueOptionUnit, unit);
    option.SetValue(I::kOptionKeypadMicValue, keypadMic);
    option.Save(image);
    return image;
}

constexpr std::size_t kP1Short = 0, kP1Long = 6, kMicAShort = 12;

} // namespace

TEST(CommonEditorsTest, KeyFunctionItemsFollowUnitDisplayAndPress) {
    const HMemoryImage lcd = MakeImageForModel(kBandVhf, kProductMobile, 1);
    const HMemoryImage led = MakeImageForModel(kBandVhf, kProductMobile, 0);

    HMemoryImage image = WithOption(lcd, 0, 0);
    auto e = Open("key_function", image);
    EXPECT_TRUE(Offers(*e, kP1Short, "Group Up"));
    EXPECT_TRUE(Offers(*e, kP1Short, "DTMF CODE SET"));
    EXPECT_FALSE(Offers(*e, kP1Short, "REC/PLAY"));   // rule 1: no recorder
    EXPECT_FALSE(Offers(*e, kP1Short, "Encryption")); // rule 2
    EXPECT_FALSE(Offers(*e, kP1Short, "CC UP"));      // rule 6: short press
    EXPECT_TRUE(Offers(*e, kP1Long, "CC UP"));
    EXPECT_FALSE(Offers(*e, kP1Long, "Emergency")); // rule 7: long press
    EXPECT_TRUE(Offers(*e, kP1Short, "Emergency"));
    EXPECT_FALSE(Offers(*e, kP1Short, "TXSAVE Disable")); // never offered
    EXPECT_TRUE(e->IsEnabled(kMicAShort));

    // A display without the dot matrix: no key can step groups (rule 3).
    image = WithOption(led, 5, 0);
    e = Open("key_function", image);
    for (std::size_t i = 0; i < I::kKeyRows; ++i)
        EXPECT_FALSE(Offers(*e, i, "Group Up")) << i;
    EXPECT_TRUE(Offers(*e, kP1Short, "REC/PLAY")); // the recorder unit (code 5)
    EXPECT_TRUE(Offers(*e, kP1Short, "DIMMER"));
    EXPECT_FALSE(Offers(*e, kP1Short, "DTMF CODE SET")); // rule 5

    // A keypad microphone: DIMMER goes on a non-LCD set (rule 4) and the
    // microphone's own keys are off (rule 8); encryption units 1, 3 and 6.
    image = WithOption(led, 3, 1);
    e = Open("key_function", image);
    EXPECT_FALSE(Offers(*e, kP1Short, "DIMMER"));
    EXPECT_TRUE(Offers(*e, kP1Short, "Encryption"));
    EXPECT_FALSE(e->IsEnabled(kMicAShort));
    EXPECT_TRUE(e->IsEnabled(kMicAShort - 1));
}

TEST(CommonEditorsTest, DualWatchWarningWhenNoGroupHasAPriority) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    HChannels channels;
    channels.Load(image);
    for (int g = 0; g < 8; ++g)
        channels.SetGroupValue(g, HChannelTables::kGroupPriority, HChannelTables::kNoPriority);
    channels.Save(image);

    ScriptedPrompt prompt;
    auto e = Open("key_function", image, 0, &prompt);
    ASSERT_TRUE(e->UserSelect(kP1Long, IndexOf(*e, kP1Long, "DW")));
    ASSERT_EQ(e->Confirm(), 0);
    ASSERT_EQ(prompt.told.size(), 1u);
    EXPECT_EQ(prompt.told[0], HStringTable::Get(HStringTable::kDualWatchNoPriority));
    EXPECT_EQ(image[650], I::kKeyDualWatch); // warned, and stored all the same

    // With a priority channel in group 1 nothing is said.
    channels.Load(image);
    ASSERT_TRUE(channels.SetPriorityChannel(0, 0).has_value());
    channels.Save(image);
    ScriptedPrompt quiet;
    e = Open("key_function", image, 0, &quiet);
    ASSERT_EQ(e->Confirm(), 0);
    EXPECT_TRUE(quiet.told.empty());
}

TEST(CommonEditorsTest, OptionUnitTenIsStoredAsFourAndThree) {
    HMemoryImage image = BuildDefaultImage();
    image[34] = 0xFF; // the bits of the unit rows and of the display type between them
    auto e = Open("option", image);
    const std::size_t unit = 5;
    ASSERT_TRUE(e->UserSelect(unit, IndexOf(*e, unit, "Data Modem Unit"))); // code 10
    ASSERT_EQ(e->Confirm(), 0);
    EXPECT_EQ(image[34] & 0x07, 4);        // row 5
    EXPECT_EQ((image[34] >> 5) & 0x07, 3); // row 14
    EXPECT_EQ(image[34] & 0x18, 0x18);     // bits 3-4 are not the unit's
    e = Open("option", image);
    EXPECT_EQ(e->ShownText(unit), "Data Modem Unit");
}

TEST(CommonEditorsTest, HardwareRecomputesItsFrequencyRowsAndSharesRowsZeroAndTwelve) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    auto e = Open("hardware", image, 1);
    const std::size_t xtal = 13, firstIf = 14;
    ASSERT_TRUE(e->UserEdit(xtal, "12.8"));
    ASSERT_TRUE(e->UserEdit(firstIf, "45.05"));
    ASSERT_TRUE(e->UserSelect(0, IndexOf(*e, 0, "Middle"))); // Mobile TX Power
    ASSERT_EQ(e->Confirm(), 0);
    HHardwareGroup hw;
    hw.Load(image);
    EXPECT_EQ(hw.GetRow(13), 2560);    // 12.8 MHz / 5 kHz
    EXPECT_EQ(hw.GetRow(19), 2048);    // / 6.25 kHz
    EXPECT_EQ(hw.GetRow(20), 5120);    // / 2.5 kHz
    EXPECT_EQ(hw.GetRow(14), 9010);    // 45.05 MHz / 5 kHz
    EXPECT_EQ(hw.GetRow(21), 7208);    // / 6.25 kHz
    EXPECT_EQ(hw.GetRow(22), 18020);   // / 2.5 kHz
    EXPECT_EQ(image[33] & 0x04, 0x04); // TX power Middle in the bit row 12 shares

    // A handheld's keypad is the same bit; on a handheld the keypad decides.
    HMemoryImage handheld = MakeImageForModel(kBandVhf, kProductHandheld, 0);
    e = Open("hardware", handheld, 1);
    EXPECT_FALSE(e->IsVisible(0));
    EXPECT_TRUE(e->IsVisible(I::HardwareItem::kHandheldKey));
    ASSERT_TRUE(e->UserSelect(I::HardwareItem::kHandheldKey,
                              IndexOf(*e, I::HardwareItem::kHandheldKey, "4key")));
    ASSERT_EQ(e->Confirm(), 0);
    EXPECT_EQ(handheld[33] & 0x04, 0x04);

    // The ordinary level may change the display type only; ACONT is hidden.
    e = Open("hardware", image, 0);
    for (std::size_t i = 0; i < e->ItemCount(); ++i) {
        if (e->Item(i).kind != HItemKind::Static && e->IsVisible(i)) {
            EXPECT_EQ(e->IsEnabled(i), i == I::HardwareItem::kDisplayMobile) << i;
        }
    }
    EXPECT_FALSE(e->IsVisible(I::HardwareItem::kAcont));
}

TEST(CommonEditorsTest, HardwareFrequenciesKeepToTheirRowsAndLimitsReadUnsigned) {
    // The crystal goes to a 14-bit row in 2.5 kHz units, the first IF to a
    // 15-bit one: 40.9575 and 81.9175 MHz at most. More is refused, saying so.
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    const HMemoryImage before = image;
    ScriptedPrompt prompt;
    auto e = Open("hardware", image, 1, &prompt);
    const std::size_t xtal = 13, firstIf = 14;
    EXPECT_FALSE(e->UserEdit(xtal, "50"));
    EXPECT_FALSE(e->UserEdit(xtal, "40.96"));
    EXPECT_FALSE(e->UserEdit(firstIf, "99.99"));
    ASSERT_EQ(prompt.told.size(), 3u);
    EXPECT_EQ(prompt.told[0], "Ref XTAL: \"50\" is not allowed; a number from 0 to 40.9575 MHz");
    EXPECT_EQ(prompt.told[2], "1st IF: \"99.99\" is not allowed; a number from 0 to 81.9175 MHz");
    ASSERT_EQ(e->Confirm(), 0);
    EXPECT_EQ(Differences(image, before), std::vector<std::size_t>{});
    ASSERT_TRUE(e->UserEdit(xtal, "40.95"));
    ASSERT_TRUE(e->UserEdit(firstIf, "81.9"));
    ASSERT_EQ(e->Confirm(), 0);
    HHardwareGroup hw;
    hw.Load(image);
    EXPECT_EQ(hw.GetRow(13), 8190);  // 40.95 MHz / 5 kHz
    EXPECT_EQ(hw.GetRow(20), 16380); // / 2.5 kHz, inside 14 bits
    EXPECT_EQ(hw.GetRow(22), 32760); // 81.9 MHz / 2.5 kHz, inside 15 bits

    // Band limits are 32-bit words the radio reads unsigned: 0xBF06A724 is
    // 3204.88426 MHz, shown so (and kept by an OK) rather than as a negative.
    HMemoryImage big = before;
    for (const std::size_t at : {std::size_t{12672}, std::size_t{12676}}) {
        big[at] = 0xBF;
        big[at + 1] = 0x06;
        big[at + 2] = 0xA7;
        big[at + 3] = 0x24;
    }
    const HMemoryImage bigBefore = big;
    e = Open("hardware", big, 1);
    EXPECT_EQ(e->Edit(17).Text(), "3204.88426 MHz");
    EXPECT_EQ(e->StaticText(I::HardwareItem::kRange),
              "Frequency Range 3204.88426 - 3204.88426 MHz");
    ASSERT_EQ(e->Confirm(), 0);
    EXPECT_EQ(Differences(big, bigBefore), std::vector<std::size_t>{});
    // The default split is such a word too.
    big[12680] = big[12681] = big[12682] = big[12683] = 0xFF;
    HSettingsSession session(big, 0);
    EXPECT_EQ(session.Shown(*session.Find("miscellaneous.default_split")), "4294.96730 MHz");
}

TEST(CommonEditorsTest, HardwareBandQuestion) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    const HMemoryImage before = image;
    const std::size_t band = I::HardwareItem::kBand;
    ScriptedPrompt no(false);
    auto e = Open("hardware", image, 1, &no);
    ASSERT_TRUE(e->UserSelect(band, IndexOf(*e, band, "UHF A")));
    EXPECT_EQ(no.asked.size(), 1u);
    EXPECT_EQ(e->ShownText(band), "VHF");
    ASSERT_EQ(e->Confirm(), 0);
    EXPECT_EQ(Differences(image, before), std::vector<std::size_t>{});

    ScriptedPrompt yes(true);
    e = Open("hardware", image, 1, &yes);
    ASSERT_TRUE(e->UserSelect(band, IndexOf(*e, band, "UHF D")));
    EXPECT_EQ(e->ShownText(17), "450.00000 MHz");
    EXPECT_EQ(e->StaticText(I::HardwareItem::kRange), "Frequency Range 450.00000 - 520.00000 MHz");
    auto* hw = dynamic_cast<HHardwareEditor*>(e.get());
    ASSERT_NE(hw, nullptr);
    ASSERT_EQ(e->Confirm(), 0);
    EXPECT_TRUE(hw->ModelChanged());
    EXPECT_EQ(hw->Band(), kBandUhfD);
    // The new image is the document's to make: nothing is written here.
    EXPECT_EQ(Differences(image, before), std::vector<std::size_t>{});
}

TEST(CommonEditorsTest, HardwareProductTypeQuestionAndDisplayTypes) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    const std::size_t product = I::HardwareItem::kProductType;
    ScriptedPrompt prompt;
    prompt.answers = {false, true, true};
    auto e = Open("hardware", image, 1, &prompt);
    auto* hw = dynamic_cast<HHardwareEditor*>(e.get());
    ASSERT_NE(hw, nullptr);
    ASSERT_TRUE(e->UserSelect(product, IndexOf(*e, product, "Handheld")));
    EXPECT_EQ(e->ShownText(product), "Mobile"); // No puts the old type back
    EXPECT_FALSE(hw->ModelChanged());
    ASSERT_TRUE(e->UserSelect(product, IndexOf(*e, product, "Handheld")));
    ASSERT_EQ(prompt.asked.size(), 2u);
    EXPECT_EQ(prompt.asked[1], HStringTable::Get(HStringTable::kChangeProductType));
    // A handheld shows its own display list and keypad, not the mobile's.
    EXPECT_TRUE(e->IsVisible(I::HardwareItem::kDisplayHandheld));
    EXPECT_TRUE(e->IsVisible(I::HardwareItem::kHandheldKey));
    EXPECT_FALSE(e->IsVisible(I::HardwareItem::kDisplayMobile));
    EXPECT_FALSE(e->IsVisible(I::HardwareItem::kTxPower));
    ASSERT_TRUE(e->UserSelect(I::HardwareItem::kDisplayHandheld,
                              IndexOf(*e, I::HardwareItem::kDisplayHandheld, "13Seg LCD Type")));
    EXPECT_EQ(std::make_tuple(hw->ModelChanged(), hw->ProductType(), hw->DisplayType()),
              std::make_tuple(true, 1, 1));

    // A display type alone, at the ordinary level, is a model change too: it
    // is asked first, and No keeps the old one.
    for (const bool answer : {false, true}) {
        ScriptedPrompt asked(answer);
        e = Open("hardware", image, 0, &asked);
        hw = dynamic_cast<HHardwareEditor*>(e.get());
        ASSERT_TRUE(e->UserSelect(I::HardwareItem::kDisplayMobile,
                                  IndexOf(*e, I::HardwareItem::kDisplayMobile, "LED Type")));
        EXPECT_EQ(asked.asked.size(), 1u) << "answer " << answer;
        EXPECT_EQ(e->ShownText(I::HardwareItem::kDisplayMobile), answer ? "LED Type" : "LCD Type");
        EXPECT_EQ(hw->ModelChanged(), answer);
    }
}

TEST(CommonEditorsTest, ProgrammingPasswordMustBeSixDigitsWhileOn) {
    HMemoryImage image = BuildDefaultImage();
    const HMemoryImage before = image;
    ScriptedPrompt prompt;
    auto e = Open("password", image, 0, &prompt, 1);
    ASSERT_TRUE(e->UserEdit(1, "1234"));
    EXPECT_NE(e->Confirm(), 0);
    EXPECT_EQ(prompt.told.size(), 1u);
    EXPECT_EQ(Differences(image, before), std::vector<std::size_t>{});
    // Off: the edit is closed and OK stores.
    ASSERT_TRUE(e->UserCheck(0, false));
    EXPECT_FALSE(e->IsEnabled(1));
    EXPECT_EQ(e->Confirm(), 0);
}

TEST(CommonEditorsTest, SwitchTableOffersEachChannelOnce) {
    HMemoryImage image = BuildDefaultImage();
    ScriptedPrompt prompt;
    auto e = Open("dsub_15", image, 0, &prompt, 1);
    // One group in use: the group list is closed.
    EXPECT_FALSE(e->IsEnabled(0));
    const std::size_t first = 1, second = 2;
    ASSERT_TRUE(e->UserSelect(first, IndexOf(*e, first, "CH003 : CHAN-003")));
    EXPECT_EQ(IndexOf(*e, second, "CH003 : CHAN-003"), -1);
    EXPECT_NE(IndexOf(*e, second, "CH004 : CHAN-004"), -1);
    EXPECT_EQ(e->FocusPrompt(first), "Select ACC Channel No 0(Not Used/CH01 - CH128)\n<SELECT>");
    ASSERT_EQ(e->Confirm(), 0);
    EXPECT_EQ(image[692], 2);
}
