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
    // Text bytes from 0x80 up (here in the serial number) travel as characters.
    images.push_back(images.front());
    images.back()[506] = 0x80;
    images.back()[507] = 0xFF;
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
    EXPECT_EQ(json.at("model"),
              (Json{{"band", kBandVhf}, {"productType", kProductMobile}, {"lcdType", 1}}));
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
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    HChannels model;
    model.Load(image);
    ASSERT_TRUE(model.SetPriorityChannel(2, 0));
    model.Save(image);
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
    json["channels"]["1"]["1"]["Pri"] = "v";
    const HRadioText::HLoadResult edited = HRadioText::Load(json.dump());
    ASSERT_TRUE(edited.ok) << (edited.errors.empty() ? "" : edited.errors.front());
    HMemoryImage result = edited.image;
    HSettingsSession after(result, 2);
    EXPECT_EQ(after.Shown(*after.Find(key)), value) << key;
    HChannels channels;
    channels.Load(edited.image);
    EXPECT_EQ(channels.GetField(1, HChannelTables::kFieldRxFrequency), 151500000);
    // Ticking channel 1's priority took it from channel 3, whose cell still
    // shows the old tick in the text: that unedited cell does not take it back.
    EXPECT_EQ(channels.PriorityChannelOfGroup(0), 0);

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
    // Another format version is refused, however sound the rest.
    Json other = Json::parse(HRadioText::Dump(image));
    other["rp57"] = 2;
    EXPECT_FALSE(HRadioText::Load(other.dump()).ok);
    EXPECT_FALSE(HRadioText::Load("not json").ok);
}

TEST(RadioText, CellsAndModelValuesTheImageCannotHaveAreRefusedByKey) {
    // One group of 128 channels: channel 5 lies in group 1.
    const HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    const Json dumped = Json::parse(HRadioText::Dump(image));
    ASSERT_TRUE(HRadioText::Load(dumped.dump()).ok);
    const auto with = [&dumped](const char* section, const char* key, const Json& value) {
        Json json = dumped;
        json[section][key] = value;
        return json;
    };
    Json moved = dumped;
    moved["channels"]["2"]["5"]["TAG"] = "MOVED";
    Json lost = dumped;
    lost["channels"]["1"]["129"]["TAG"] = "LOST";
    Json ninth = dumped;
    ninth["channels"]["9"]["1"]["TAG"] = "NINTH";
    Json packed = dumped;
    packed["carried"]["0x0000"] = "0102";
    const struct {
        Json json;
        std::string error;
    } cases[] = {
        {moved, "channels.2.5.TAG: no such cell (channel 5 lies in group 1)"},
        {lost, "channels.1.129.TAG: no such cell"},
        {ninth, "channels.9.1.TAG: no such cell"},
        {packed, "carried.0x0000: not hex bytes"},
        {with("model", "band", Json::parse("99999999999999999999999")),
         "model.band: 9.999999999999999e+22 is no whole number from 0 to 7"},
        {with("model", "band", -1), "model.band: -1 is no whole number from 0 to 7"},
        {with("model", "band", 2.5), "model.band: 2.5 is no whole number from 0 to 7"},
        {with("model", "band", 8), "model.band: 8 is no whole number from 0 to 7"},
        {with("model", "band", "0"), "model.band: \"0\" is no whole number from 0 to 7"},
        {with("model", "productType", 2), "model.productType: 2 is no whole number from 0 to 1"},
        {with("model", "lcdType", 4), "model.lcdType: 4 is no whole number from 0 to 3"},
    };
    for (const auto& c : cases) {
        const HRadioText::HLoadResult r = HRadioText::Load(c.json.dump());
        EXPECT_FALSE(r.ok) << c.error;
        ASSERT_FALSE(r.errors.empty()) << c.error;
        EXPECT_TRUE(r.errors.front().ends_with(c.error)) << r.errors.front();
    }
    // The highest values the fields hold still load.
    EXPECT_TRUE(HRadioText::Load(with("model", "band", 7).dump()).ok);
    EXPECT_TRUE(HRadioText::Load(with("model", "lcdType", 3).dump()).ok);
}

TEST(RadioText, CarriedBytesRunUpToTheImagesEndInLinesOfSixteen) {
    // The image's last 40 bytes, which no setting shows, changed.
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    for (std::size_t i = kImageSize - 40; i < kImageSize; ++i)
        image[i] = static_cast<std::uint8_t>(image[i] ^ 0x5A);
    const std::string text = HRadioText::Dump(image);
    Json json = Json::parse(text);
    std::size_t end = 0;
    std::size_t longest = 0;
    for (const auto& [address, run] : json.at("carried").items()) {
        // "5A 5A ... 5A": three characters a byte, the last without its blank.
        const std::size_t bytes = (run.get<std::string>().size() + 1) / 3;
        longest = std::max(longest, bytes);
        end = std::max(end, std::stoul(address, nullptr, 0) + bytes);
    }
    EXPECT_EQ(longest, 16u) << json.at("carried").dump();
    EXPECT_EQ(end, kImageSize) << json.at("carried").dump();
    const HRadioText::HLoadResult loaded = HRadioText::Load(text);
    ASSERT_TRUE(loaded.ok) << (loaded.errors.empty() ? "" : loaded.errors.front());
    EXPECT_EQ(DifferentBytes(loaded.image, image), 0u);
    EXPECT_TRUE(json.at("carried").contains("0x3177")) << json.at("carried").dump(); // 12703 - 40

    // A blank left after a run's last byte is no byte.
    Json blanks = json;
    for (Json& run : blanks["carried"])
        run = run.get<std::string>() + " ";
    const HRadioText::HLoadResult trailing = HRadioText::Load(blanks.dump());
    ASSERT_TRUE(trailing.ok) << (trailing.errors.empty() ? "" : trailing.errors.front());
    EXPECT_EQ(DifferentBytes(trailing.image, image), 0u);

    // One byte past the image is refused by its address.
    json["carried"]["0x319E"] = "01 02";
    const HRadioText::HLoadResult past = HRadioText::Load(json.dump());
    EXPECT_FALSE(past.ok);
    ASSERT_FALSE(past.errors.empty());
    EXPECT_NE(past.errors.front().find("carried.0x319E: beyond the image"), std::string::npos)
        << past.errors.front();
}
