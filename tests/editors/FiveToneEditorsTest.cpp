// The 5-tone editors through the registry, as the dialogs and rp57cli reach
// them: the common pages' display rule and bindings, the settings' keys and
// texts, and the reset and compile steps of the 5-tone tables.
#include "HDefaultImage.h"
#include "HEditorRegistry.h"
#include "HFiveToneEditors.h"
#include "HSignallingSteps.h"
#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::unique_ptr<HEditor> Open(std::string_view section, HMemoryImage& image, std::size_t page) {
    const HEditorEntry* entry = HEditorRegistry::FindBySection(section);
    EXPECT_NE(entry, nullptr) << section;
    const HEditorPageEntry& p = entry->pages[page];
    std::unique_ptr<HEditor> editor = p.make(p, {&image, 0});
    editor->Open();
    return editor;
}

int IndexOf(const HEditor& e, std::size_t item, std::string_view text) {
    const auto items = e.Combo(item).Items();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].text == text)
            return static_cast<int>(i);
    return -1;
}

constexpr std::size_t kCall2 = 4, kTagDisplay = 9, kDisplayDigit8 = 18, kCompareDigit1 = 19;

} // namespace

TEST(FiveToneEditors, Common1DisplayBoxesFollowTheDisplayType) {
    HMemoryImage lcd = MakeImageForModel(kBandVhf, kProductMobile, 1);
    auto open = Open("five_tone_common", lcd, 0);
    EXPECT_TRUE(open->IsEnabled(kTagDisplay));
    EXPECT_TRUE(open->IsEnabled(kDisplayDigit8));

    HMemoryImage led = WithHardware(lcd, HHardwareGroup::kRowDisplayMobile, 0);
    led[0x1C80] = 0x80; // tag display on
    led[0x1C81] = 0x81; // display digits 1 and 8
    const HMemoryImage before = led;
    auto shut = Open("five_tone_common", led, 0);
    EXPECT_FALSE(shut->IsEnabled(kTagDisplay));
    EXPECT_FALSE(shut->IsEnabled(kDisplayDigit8));
    EXPECT_TRUE(shut->IsEnabled(kCompareDigit1));
    EXPECT_TRUE(shut->IsChecked(kTagDisplay));
    EXPECT_FALSE(shut->UserCheck(kTagDisplay, false));
    EXPECT_TRUE(shut->UserCheck(kCompareDigit1, true));
    ASSERT_EQ(shut->Confirm(), 0);
    EXPECT_EQ(led[0x1C80], 0x80); // shut boxes keep their values
    EXPECT_EQ(led[0x1C81], 0x81);
    EXPECT_EQ(led[0x1C83], 0x01);
    EXPECT_EQ(Differences(before, led), std::vector<std::size_t>{0x1C83});
}

TEST(FiveToneEditors, Common1EncodeCodesStoreTheirPosition) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    auto e = Open("five_tone_common", image, 0);
    ASSERT_TRUE(e->UserSelect(kCall2, IndexOf(*e, kCall2, "ENC No.20")));
    ASSERT_TRUE(e->UserSelect(3, IndexOf(*e, 3, "ENC No.32")));
    ASSERT_EQ(e->Confirm(), 0);
    EXPECT_EQ(image[0x1C87], 19);
    EXPECT_EQ(image[0x1C86], 31);
}

TEST(FiveToneEditors, Common2ShowsTimesInTheirUnits) {
    HMemoryImage image{};
    HFiveToneSteps::ResetGroup<HFiveToneCommon2Group>(image);
    auto e = Open("five_tone_common", image, 1);
    EXPECT_EQ(e->Edit(9).Text(), "200 msec"); // extended 1st: 20 x 10 ms
    EXPECT_EQ(e->Edit(13).Text(), "50 msec"); // lead out delay: 5 x 10 ms
    EXPECT_EQ(e->Edit(15).Text(), "3.0 sec"); // auto reset time: 6 x 0.5 s
    EXPECT_EQ(e->Edit(17).Text(), "0 sec");   // auto TX time off: below 1 s, kept as shown
    EXPECT_EQ(e->ShownText(4), "2.5  sec");   // beep interval 1
    EXPECT_EQ(e->ShownText(7), "4  ");        // minimum decode digits: position 3
    EXPECT_EQ(e->ShownText(2), "1  sec");     // clear to transpond time 1
    ASSERT_TRUE(e->UserEdit(15, "127.5"));
    ASSERT_TRUE(e->UserEdit(14, "1500"));
    EXPECT_FALSE(e->UserEdit(9, "5000")); // beyond 2500 ms: refused
    ASSERT_TRUE(e->UserEdit(9, "2500"));
    const HMemoryImage before = image;
    ASSERT_EQ(e->Confirm(), 0);
    EXPECT_EQ(image[0x1C93], 255);
    EXPECT_EQ(image[0x1C92], 0xF1);
    EXPECT_EQ(image[0x1C8D], 250);
    EXPECT_EQ(Differences(before, image), (std::vector<std::size_t>{0x1C8D, 0x1C92, 0x1C93}));
}

TEST(FiveToneEditors, TypeSwitchResetsAndDownloadCompilesTheToneTable) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    for (std::size_t i = 0x1C80; i < 0x2700; ++i)
        image[i] = static_cast<std::uint8_t>(i * 13 + 5);
    HSignallingSteps::ResetTables(image, HSignallingMode::FiveTone);
    EXPECT_EQ(image[0x1C84], 0xAE);                      // Common1 group and repeat tones
    EXPECT_EQ(image[0x1C8D], 20);                        // Common2 extended 1st
    EXPECT_EQ(image[0x2180], 0xFF);                      // tone table: no tones
    EXPECT_EQ(image[0x2340], 70);                        // periods
    EXPECT_EQ(image[0x2350], 21);                        // second values
    EXPECT_EQ(image[0x235D] << 8 | image[0x235E], 2929); // reference
    EXPECT_EQ(image[0x2380], 0xFF);                      // windows: none

    // A tone set in the image gets its window with the Download's step.
    HFiveToneTable table;
    table.Load(image);
    table.SetValue(table.IndexOf(0, 0, HFiveToneTables::kRowWindowScale), 10000);
    table.SetFrequency(0, 0, 1060.0);
    table.Save(image); // no windows yet
    EXPECT_EQ(image[0x2380], 0xFF);
    HSignallingSteps::WriteCompiledTables(image, HSignallingMode::FiveTone);
    EXPECT_EQ(image[0x2380] << 8 | image[0x2381], 920);
    EXPECT_EQ(image[0x2382] << 8 | image[0x2383], 967);
}
