#include "HRadioText.h"

#include "HChannelColumns.h"
#include "HDefaultImage.h"
#include "HEditorRegistry.h"
#include "HHardwareGroup.h"
#include "HMemoryMap.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <map>

namespace Cols = HChannelColumns;
using Json = nlohmann::ordered_json;

namespace {

constexpr int kFormat = 1;
// Every setting, as the factory level shows them.
constexpr int kLevel = 2;

// Image texts are bytes; JSON strings are UTF-8. Each byte stands for the
// character of its value, so any byte survives the trip.
std::string ToUtf8(std::string_view bytes) {
    std::string out;
    for (unsigned char b : bytes) {
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return out;
}

// False when a character lies above U+00FF (no image byte).
bool FromUtf8(std::string_view text, std::string& bytes) {
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            bytes.push_back(static_cast<char>(b));
        } else if ((b == 0xC2 || b == 0xC3) && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[++i]);
            bytes.push_back(static_cast<char>(((b & 0x03) << 6) | (next & 0x3F)));
        } else {
            return false;
        }
    }
    return true;
}

struct Model {
    int band = 0;
    int productType = 0;
    int lcdType = 0;
};

Model ModelOf(const HMemoryImage& image) {
    HHardwareGroup hw;
    hw.Load(image);
    Model m;
    m.band = hw.GetValue(HHardwareGroup::kRowBand);
    m.productType = hw.GetValue(HHardwareGroup::kRowProductType) != 0 ? 1 : 0;
    m.lcdType = hw.GetValue(m.productType != 0 ? HHardwareGroup::kRowDisplayHandheld
                                               : HHardwareGroup::kRowDisplayMobile);
    return m;
}

// The texts: settings by key and cells by (group, channel, column), all as bytes.
struct Texts {
    Model model;
    std::vector<std::pair<std::string, std::string>> settings;
    struct Cell {
        int group = 0;   // 0-based
        int channel = 0; // 0-based
        int column = 0;
        std::string text;
    };
    std::vector<Cell> cells;
};

Texts TextsOf(const HMemoryImage& image) {
    Texts t;
    t.model = ModelOf(image);
    HMemoryImage copy = image;
    {
        HSettingsSession session(copy, kLevel);
        for (const auto& s : session.Settings())
            if (session.IsShown(s))
                t.settings.emplace_back(s.key, session.Shown(s));
    }
    HChannels channels;
    channels.Load(image);
    for (int c = 0; c < static_cast<int>(HChannelTables::kChannelCount); ++c) {
        const int g = Cols::GroupOfChannel(channels, c);
        if (g < 0)
            continue;
        for (int col = 1; col < kChannelColumnCount; ++col)
            t.cells.push_back({g, c, col, Cols::ReportText(col, channels, c, g)});
    }
    return t;
}

std::string Key(const Texts::Cell& cell) {
    return "channels." + std::to_string(cell.group + 1) + "." + std::to_string(cell.channel + 1) +
           "." + std::string(Cols::Column(cell.column)->header);
}

// Gives `image` the texts through the editors' and the cells' rules, each
// one that the image does not show already. Refusals are collected by key.
void ApplyTexts(HMemoryImage& image, const Texts& t, std::vector<std::string>* refused) {
    {
        HSettingsSession session(image, kLevel);
        std::map<std::string, std::string> shown;
        for (const auto& s : session.Settings())
            shown[s.key] = session.Shown(s);
        bool touched = false;
        for (const auto& [key, value] : t.settings) {
            const HSettingsSession::Setting* s = session.Find(key);
            if (s == nullptr) {
                if (refused)
                    refused->push_back("unknown setting '" + key + "'");
                continue;
            }
            if (shown[key] == value)
                continue;
            const std::string why = session.Set(*s, value);
            if (!why.empty()) {
                if (refused)
                    refused->push_back(why);
                continue;
            }
            touched = true;
        }
        if (touched) {
            const std::string why = session.Confirm(&MakeImageForModel);
            if (!why.empty() && refused)
                refused->push_back(why);
        }
    }
    HChannels channels;
    channels.Load(image);
    bool changed = false;
    for (const Texts::Cell& cell : t.cells) {
        if (Cols::ReportText(cell.column, channels, cell.channel, cell.group) == cell.text)
            continue;
        if (Cols::StoreCellText(cell.column, channels, cell.channel, cell.group, cell.text))
            changed = true;
        else if (refused)
            refused->push_back(Key(cell) + ": \"" + cell.text + "\" is not allowed");
    }
    if (changed)
        channels.Save(image);
}

HMemoryImage Build(const Texts& t, std::vector<std::string>* refused) {
    HMemoryImage image = MakeImageForModel(t.model.band, t.model.productType, t.model.lcdType);
    ApplyTexts(image, t, refused);
    return image;
}

// A model value of a dump: a whole number from 0 to `highest`; anything else
// (2.5, -1, a number no image field holds) is refused by its key.
int ModelValue(const Json& model, const char* name, std::uint64_t highest) {
    const Json& v = model.at(name);
    // Parsed JSON holds every whole number from 0 on as unsigned.
    if (!v.is_number_unsigned() || v.get<std::uint64_t>() > highest)
        throw std::runtime_error(std::string("model.") + name + ": " + v.dump() +
                                 " is no whole number from 0 to " + std::to_string(highest));
    return static_cast<int>(v.get<std::uint64_t>());
}

// The largest value a Hardware row holds.
std::uint64_t HardwareMax(std::size_t row) {
    return (std::uint64_t{1} << HMemoryMap::kHardwareRows[row].bitWidth) - 1;
}

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

} // namespace

namespace HRadioText {

std::string Dump(const HMemoryImage& image) {
    const Texts t = TextsOf(image);
    Json json;
    json["rp57"] = kFormat;
    json["model"] = {
        {"band", t.model.band}, {"productType", t.model.productType}, {"lcdType", t.model.lcdType}};
    Json settings = Json::object();
    for (const auto& [key, value] : t.settings)
        settings[key] = ToUtf8(value);
    json["settings"] = std::move(settings);
    Json channels = Json::object();
    for (const Texts::Cell& cell : t.cells)
        channels[std::to_string(cell.group + 1)][std::to_string(cell.channel + 1)]
                [std::string(Cols::Column(cell.column)->header)] = ToUtf8(cell.text);
    json["channels"] = std::move(channels);

    // What the texts do not give back, in runs of at most 16 bytes.
    const HMemoryImage built = Build(t, nullptr);
    Json carried = Json::object();
    for (std::size_t i = 0; i < kImageSize;) {
        if (built[i] == image[i]) {
            ++i;
            continue;
        }
        std::string run;
        const std::size_t start = i;
        while (i < kImageSize && i - start < 16 && built[i] != image[i]) {
            run += (run.empty() ? "" : " ") + Hex(image[i], 2).substr(2);
            ++i;
        }
        carried[Hex(static_cast<unsigned>(start), 4)] = run;
    }
    json["carried"] = std::move(carried);
    return json.dump(1) + "\n";
}

HLoadResult Load(std::string_view text) {
    HLoadResult r;
    Json json;
    try {
        json = Json::parse(text);
    } catch (const Json::exception& e) {
        r.errors.push_back(std::string("not a radio dump: ") + e.what());
        return r;
    }
    Texts t;
    std::vector<std::pair<std::size_t, std::vector<std::uint8_t>>> carried;
    try {
        if (!json.is_object() || json.value("rp57", 0) != kFormat)
            throw std::runtime_error("no \"rp57\": 1");
        const Json& model = json.at("model");
        t.model = {ModelValue(model, "band", HardwareMax(HHardwareGroup::kRowBand)),
                   ModelValue(model, "productType", 1),
                   ModelValue(model, "lcdType", HardwareMax(HHardwareGroup::kRowDisplayHandheld))};
        const Json settings = json.value("settings", Json::object());
        const Json channels = json.value("channels", Json::object());
        const Json runs = json.value("carried", Json::object());
        for (const auto& [key, value] : settings.items()) {
            std::string bytes;
            if (!FromUtf8(value.get<std::string>(), bytes))
                throw std::runtime_error(key + ": a character no radio text holds");
            t.settings.emplace_back(key, bytes);
        }
        for (const auto& [group, list] : channels.items())
            for (const auto& [channel, cells] : list.items())
                for (const auto& [title, value] : cells.items()) {
                    Texts::Cell cell{std::stoi(group) - 1, std::stoi(channel) - 1, -1, {}};
                    for (int col = 1; col < kChannelColumnCount; ++col)
                        if (Cols::Column(col)->header == title)
                            cell.column = col;
                    if (cell.column < 0 || cell.group < 0 || cell.group >= 8 || cell.channel < 0 ||
                        cell.channel >= static_cast<int>(HChannelTables::kChannelCount))
                        throw std::runtime_error("channels." + group + "." + channel + "." + title +
                                                 ": no such cell");
                    if (!FromUtf8(value.get<std::string>(), cell.text))
                        throw std::runtime_error(Key(cell) + ": a character no radio text holds");
                    t.cells.push_back(std::move(cell));
                }
        for (const auto& [address, run] : runs.items()) {
            const std::size_t at = std::stoul(address, nullptr, 0);
            std::vector<std::uint8_t> bytes;
            const std::string hex = run.get<std::string>();
            for (std::size_t i = 0; i < hex.size(); i += 3) {
                if (i + 2 > hex.size() || (i + 2 < hex.size() && hex[i + 2] != ' '))
                    throw std::runtime_error("carried." + address + ": not hex bytes");
                bytes.push_back(
                    static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
            }
            if (at + bytes.size() > kImageSize)
                throw std::runtime_error("carried." + address + ": beyond the image");
            carried.emplace_back(at, std::move(bytes));
        }
    } catch (const std::exception& e) {
        r.errors.push_back(std::string("not a radio dump: ") + e.what());
        return r;
    }

    HMemoryImage image = Build(t, nullptr);
    for (const auto& [at, bytes] : carried)
        std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
    // A cell is named by the group its channel lies in, in the finished image:
    // under another group it is a cell the image does not have.
    {
        HChannels channels;
        channels.Load(image);
        for (const Texts::Cell& cell : t.cells) {
            const int g = Cols::GroupOfChannel(channels, cell.channel);
            if (g == cell.group)
                continue;
            const std::string channel = "channel " + std::to_string(cell.channel + 1);
            r.errors.push_back(Key(cell) + ": no such cell (" +
                               (g < 0 ? channel + " lies in no group"
                                      : channel + " lies in group " + std::to_string(g + 1)) +
                               ")");
        }
        if (!r.errors.empty())
            return r;
    }
    // Values the image does not show now were edited by hand: their rules
    // decide, over the finished image.
    const Texts now = TextsOf(image);
    Texts edited;
    edited.model = t.model;
    std::map<std::string, std::string> shown(now.settings.begin(), now.settings.end());
    for (const auto& setting : t.settings)
        if (auto it = shown.find(setting.first); it == shown.end() || it->second != setting.second)
            edited.settings.push_back(setting);
    std::map<std::string, std::string> cells;
    for (const Texts::Cell& cell : now.cells)
        cells[Key(cell)] = cell.text;
    for (const Texts::Cell& cell : t.cells)
        if (auto it = cells.find(Key(cell)); it == cells.end() || it->second != cell.text)
            edited.cells.push_back(cell);
    if (!edited.settings.empty() || !edited.cells.empty())
        ApplyTexts(image, edited, &r.errors);
    r.ok = r.errors.empty();
    r.image = image;
    return r;
}

} // namespace HRadioText
