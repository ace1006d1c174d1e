#include "HChannelColumns.h"
#include "HDefaultImage.h"
#include "HEditorRegistry.h"
#include "HRadioText.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <random>

namespace {

using Json = nlohmann::ordered_json;

// The start image of a model with bytes changed at random, as a radio that
// has been programmed by hand and aligned might hold them.
HMemoryImage RandomImage(unsigned seed) {
    std::mt19937 random(seed);
    const int band = std::array{0, 2, 3}[random() % 3];
    HMemoryImage image = MakeImageForModel(band, static_cast<int>(random() % 2), 1);
    for (int n = 0; n < 400; ++n)
        image[random() % kImageSize] = static_cast<std::uint8_t>(random());
    return image;
}

std::size_t DifferentBytes(const HMemoryImage& a, const HMemoryImage& b) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        n += a[i] != b[i] ? 1 : 0;
    return n;
}

} // namespace

TEST(RadioText, DumpThenLoadGivesTheSameBytes) {
    std::vector<HMemoryImage> images = {BuildDefaultImage(),
                                        MakeImageForModel(kBandUhfA, kProductHandheld, 1)};
    for (unsigned seed = 1; seed <= 4; ++seed)
        images.push_back(RandomImage(seed));
    for (std::size_t i = 0; i < images.size(); ++i) {
        const std::string text = HRadioText::Dump(images[i]);
        const HRadioText::HLoadResult loaded = HRadioText::Load(text);
        ASSERT_TRUE(loaded.ok) << "image " << i << ": "
                               << (loaded.errors.empty() ? "" : loaded.errors.front());
        EXPECT_EQ(DifferentBytes(loaded.image, images[i]), 0u) << "image " << i;
        // The text itself is stable: the loaded image dumps to the same text.
        EXPECT_EQ(HRadioText::Dump(loaded.image), text) << "image " << i;
    }
}

TEST(RadioText, SettingsAndCellsAreTextTheCarriedBytesAreFew) {
    const HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    const Json json = Json::parse(HRadioText::Dump(image));
    HMemoryImage copy = image;
    HSettingsSession session(copy, 2);
    const std::string first = session.Settings().front().key;
    EXPECT_TRUE(json.at("settings").contains(first)) << first;
    EXPECT_EQ(json.at("channels").at("1").at("1").at("RX Frequency").get<std::string>(),
              HChannelColumns::FrequencyText([&] {
                  HChannels m;
                  m.Load(image);
                  return m.GetField(0, HChannelTables::kFieldRxFrequency);
              }()));
    // The built-in image of its own model is given back by its texts alone.
    EXPECT_TRUE(json.at("carried").empty());
}

TEST(RadioText, HandEditedValuesGoThroughTheirRulesAndBadOnesAreRefusedByKey) {
    const HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    Json json = Json::parse(HRadioText::Dump(image));

    // The first list setting that can take another entry: that entry's text.
    HMemoryImage probe = image;
    HSettingsSession session(probe, 2);
    std::string key;
    std::string value;
    for (const auto& s : session.Settings()) {
        const HEditor& editor = session.EditorOf(s);
        if (editor.Item(s.item).kind != HItemKind::Combo || !session.IsShown(s) ||
            !editor.IsEnabled(s.item))
            continue;
        for (const auto& entry : editor.Combo(s.item).Items())
            if (entry.text != session.Shown(s) && !entry.text.empty())
                value = entry.text;
        if (!value.empty()) {
            key = s.key;
            break;
        }
    }
    ASSERT_FALSE(key.empty());
    json["settings"][key] = value;
    json["channels"]["1"]["2"]["RX Frequency"] = "151.50000";
    const HRadioText::HLoadResult edited = HRadioText::Load(json.dump());
    ASSERT_TRUE(edited.ok) << (edited.errors.empty() ? "" : edited.errors.front());
    HMemoryImage result = edited.image;
    HSettingsSession after(result, 2);
    EXPECT_EQ(after.Shown(*after.Find(key)), value) << key;
    HChannels channels;
    channels.Load(edited.image);
    EXPECT_EQ(channels.GetField(1, HChannelTables::kFieldRxFrequency), 151500000);

    json["settings"][key] = "no such entry";
    const HRadioText::HLoadResult bad = HRadioText::Load(json.dump());
    EXPECT_FALSE(bad.ok);
    ASSERT_EQ(bad.errors.size(), 1u);
    EXPECT_NE(bad.errors.front().find(key), std::string::npos) << bad.errors.front();

    json["settings"][key] = value;
    json["channels"]["1"]["2"]["Squelch"] = "99";
    const HRadioText::HLoadResult badCell = HRadioText::Load(json.dump());
    EXPECT_FALSE(badCell.ok);
    ASSERT_EQ(badCell.errors.size(), 1u);
    EXPECT_NE(badCell.errors.front().find("channels.1.2.Squelch"), std::string::npos)
        << badCell.errors.front();

    EXPECT_FALSE(HRadioText::Load("{\"rp57\": 1}").ok);
    EXPECT_FALSE(HRadioText::Load("not json").ok);
}
