#include "HSettingRows.h"

#include "HChannelColumns.h"
#include "HChannels.h"
#include "HEditorRegistry.h"
#include "HText.h"

#include <unordered_map>

namespace HSettingRows {
namespace {

using namespace HChannelTables;

void AddSettings(const HMemoryImage& image, int accessLevel, std::vector<HSettingRow>& out) {
    HMemoryImage copy = image; // the session's editors read and never write it
    const HSettingsSession session(copy, accessLevel);
    for (const HSettingsSession::Setting& s : session.Settings())
        if (session.IsShown(s))
            out.push_back({s.section, s.key, s.label, 0, session.Shown(s)});
}

void AddGroups(const HChannels& model, std::vector<HSettingRow>& out) {
    for (int g = 0; g < model.GetGroupCount(); ++g) {
        const std::string n = std::to_string(g + 1);
        out.push_back({kGroupsSection, std::string(kGroupsSection) + "." + n + ".channels",
                       "Grp " + n + " Channels", 0,
                       std::to_string(model.GetGroupValue(g, kGroupChannels))});
        out.push_back({kGroupsSection, std::string(kGroupsSection) + "." + n + ".tag",
                       "Grp " + n + " TAG", 0,
                       std::string(HText::TrimRight(model.GetGroupTag(g)))});
    }
}

void AddChannels(const HChannels& model, int accessLevel, std::vector<HSettingRow>& out) {
    const HChannelColumns::HModelFacts facts = HChannelColumns::FactsOf(model);
    const int used = model.UsedChannels();
    for (int c = 0; c < used; ++c) {
        const int g = HChannelColumns::GroupOfChannel(model, c);
        if (!model.IsChannelEnabled(c) || g < 0)
            continue;
        const std::string prefix =
            std::string(kChannelsSection) + "." + std::to_string(c + 1) + ".";
        for (const int column : HChannelColumns::kReportOrder) {
            const HChannelColumn* col = HChannelColumns::Column(column);
            // The channel number itself is the row's name, not a cell of it.
            if (column == 0 || col == nullptr ||
                !HChannelColumns::ReportShowsColumn(column, facts, accessLevel))
                continue;
            out.push_back({kChannelsSection, prefix + std::string(HKeyNameOf(col->header).View()),
                           std::string(col->header), c + 1,
                           HChannelColumns::ReportText(column, model, c, g)});
        }
    }
}

} // namespace

std::vector<HSettingRow> Collect(const HMemoryImage& image, int accessLevel) {
    std::vector<HSettingRow> out;
    AddSettings(image, accessLevel, out);
    HChannels model;
    model.Load(image);
    AddGroups(model, out);
    AddChannels(model, accessLevel, out);
    return out;
}

} // namespace HSettingRows

namespace HImageDiff {

std::vector<HDiffLine> Compare(const HMemoryImage& a, const HMemoryImage& b, int accessLevel) {
    const std::vector<HSettingRow> rowsA = HSettingRows::Collect(a, accessLevel);
    const std::vector<HSettingRow> rowsB = HSettingRows::Collect(b, accessLevel);
    std::unordered_map<std::string, const HSettingRow*> byKeyB;
    for (const HSettingRow& r : rowsB)
        byKeyB.emplace(r.key, &r);
    std::vector<HDiffLine> out;
    for (const HSettingRow& r : rowsA) {
        const auto it = byKeyB.find(r.key);
        if (it == byKeyB.end()) {
            out.push_back({r.section, r.key, r.caption, r.channel, true, false, r.text, {}});
            continue;
        }
        if (it->second->text != r.text)
            out.push_back(
                {r.section, r.key, r.caption, r.channel, true, true, r.text, it->second->text});
        byKeyB.erase(it);
    }
    for (const HSettingRow& r : rowsB)
        if (byKeyB.contains(r.key))
            out.push_back({r.section, r.key, r.caption, r.channel, false, true, {}, r.text});
    return out;
}

namespace {

// Captions and column titles may break over lines in their dialogs.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

} // namespace

std::string ShownCaption(const HDiffLine& line) {
    const std::string caption = OneLine(line.caption);
    return line.channel > 0 ? "Channel " + std::to_string(line.channel) + " " + caption : caption;
}

std::string SectionCaption(std::string_view section) {
    if (section == HSettingRows::kChannelsSection)
        return "Channels";
    if (section == HSettingRows::kGroupsSection)
        return "Channel Allocation/Group Alpha Tag";
    const HEditorEntry* entry = HEditorRegistry::FindBySection(section);
    return entry ? OneLine(std::string(entry->caption)) : std::string(section);
}

} // namespace HImageDiff
