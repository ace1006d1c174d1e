#include "HEditorRegistry.h"

#include "HSignallingSteps.h"
#include "HText.h"

namespace HEditorRegistry {

const HEditorEntry* FindByCommand(int command) {
    for (const HEditorEntry& e : kEntries)
        if (e.command == command)
            return &e;
    return nullptr;
}

const HEditorEntry* FindBySection(std::string_view section) {
    for (const HEditorEntry& e : kEntries)
        if (e.section == section)
            return &e;
    return nullptr;
}

} // namespace HEditorRegistry

namespace {

std::string_view TrimBlanks(std::string_view s) {
    return HText::Trim(s);
}

// A typed entry matches an offered one whatever its case and outer blanks.
bool SameText(std::string_view a, std::string_view b) {
    return HText::Upper(TrimBlanks(a)) == HText::Upper(TrimBlanks(b));
}

// Questions are answered as the dialog's Yes; messages are kept for the caller.
class YesPrompt : public HEditorPrompt {
public:
    bool AskYesNo(std::string_view) override { return true; }
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    std::vector<std::string> messages;
};

} // namespace

struct HSettingsSession::Open {
    const HEditorEntry* entry = nullptr;
    std::vector<std::unique_ptr<HEditor>> pages;
    bool touched = false;
    YesPrompt prompt;
};

HSettingsSession::HSettingsSession(HMemoryImage& image, int accessLevel)
    : m_image(image), m_level(accessLevel) {
    const auto entries = HEditorRegistry::Entries();
    for (std::size_t e = 0; e < entries.size(); ++e) {
        auto open = std::make_unique<Open>();
        open->entry = &entries[e];
        for (std::size_t p = 0; p < entries[e].pages.size(); ++p) {
            const HEditorPageEntry& page = entries[e].pages[p];
            std::unique_ptr<HEditor> editor = page.make(page, {&m_image, m_level});
            editor->SetPrompt(&open->prompt);
            editor->Open();
            for (std::size_t i = 0; i < editor->ItemCount(); ++i) {
                const HEditorItem& item = editor->Item(i);
                if (const HGridSource* grid = editor->Grid(i); grid != nullptr) {
                    // Row by row, so a record's cells stay together.
                    for (int r = 0; r < grid->RowCount(); ++r)
                        for (int c = 0; c < grid->ColumnCount(); ++c) {
                            const std::string_view name = grid->ColumnName(c);
                            if (name.empty())
                                continue;
                            m_settings.push_back(
                                {HSettingKey(entries[e].section,
                                             std::to_string(r + 1) + "." + std::string(name)),
                                 std::string(grid->HeaderText(c)) + " " + std::to_string(r + 1),
                                 std::string(entries[e].section), e, p, i, r, c});
                        }
                    continue;
                }
                if (item.name.empty())
                    continue;
                m_settings.push_back({HSettingKey(entries[e].section, item.name),
                                      HEditor::CaptionOf(item.label),
                                      std::string(entries[e].section), e, p, i});
            }
            for (const HUnshownRow& row : page.unshown)
                m_rows.push_back({HSettingKey(entries[e].section, row.name),
                                  std::string(entries[e].section), e, p, row.value});
            open->pages.push_back(std::move(editor));
        }
        m_open.push_back(std::move(open));
    }
}

HSettingsSession::~HSettingsSession() = default;

const HSettingsSession::Setting* HSettingsSession::Find(std::string_view key) const {
    for (const Setting& s : m_settings)
        if (s.key == key)
            return &s;
    return nullptr;
}

const HSettingsSession::Row* HSettingsSession::FindRow(std::string_view key) const {
    for (const Row& r : m_rows)
        if (r.key == key)
            return &r;
    return nullptr;
}

std::int32_t HSettingsSession::Stored(const Row& r) const {
    const auto* editor = dynamic_cast<const HGroupEditor*>(m_open[r.entry]->pages[r.page].get());
    return editor != nullptr ? editor->Group().GetValue(std::size_t(r.value)) : -1;
}

HEditor& HSettingsSession::EditorOf(const Setting& s) {
    return *m_open[s.entry]->pages[s.page];
}

const HEditor& HSettingsSession::EditorOf(const Setting& s) const {
    return *m_open[s.entry]->pages[s.page];
}

std::string HSettingsSession::Shown(const Setting& s) const {
    if (const HGridSource* grid = EditorOf(s).Grid(s.item); grid != nullptr && s.row >= 0)
        return grid->CellSetting(s.row, s.column);
    return EditorOf(s).ShownText(s.item);
}

std::int32_t HSettingsSession::Code(const Setting& s) const {
    const HEditor& e = EditorOf(s);
    switch (e.Item(s.item).kind) {
    case HItemKind::Combo:
        return e.Combo(s.item).GetSelectedValue();
    case HItemKind::Check:
        return e.IsChecked(s.item) ? 1 : 0;
    default:
        return -1;
    }
}

bool HSettingsSession::IsShown(const Setting& s) const {
    return EditorOf(s).IsVisible(s.item);
}

std::string HSettingsSession::Allowed(const Setting& s) const {
    const HEditor& e = EditorOf(s);
    const HEditorItem& item = e.Item(s.item);
    if (const HGridSource* grid = e.Grid(s.item); grid != nullptr && s.row >= 0)
        return grid->AllowedText(s.column);
    std::string text;
    if (item.kind == HItemKind::Combo) {
        for (const HChoiceItem& c : e.Combo(s.item).Items()) {
            if (!text.empty())
                text += ", ";
            text += '"' + std::string(TrimBlanks(c.text)) + '"';
        }
        return text.empty() ? "nothing (no entry is offered)" : "one of " + text;
    }
    if (item.kind == HItemKind::Check)
        return "one of \"" + std::string(TrimBlanks(HChoiceText(*item.choices, 0))) + "\", \"" +
               std::string(TrimBlanks(HChoiceText(*item.choices, 1))) + "\"";
    return e.Edit(s.item).AcceptedText();
}

std::string HSettingsSession::Set(const Setting& s, std::string_view value) {
    HEditor& e = EditorOf(s);
    const HEditorItem& item = e.Item(s.item);
    if (HGridSource* grid = e.Grid(s.item); grid != nullptr && s.row >= 0) {
        if (!e.IsVisible(s.item) || !e.IsEnabled(s.item))
            return s.key + " cannot be changed at this access level or with these settings";
        if (grid->SetCellSetting(s.row, s.column, TrimBlanks(value))) {
            m_open[s.entry]->touched = true;
            return {};
        }
        return s.key + ": \"" + std::string(value) + "\" is not allowed here; " + Allowed(s);
    }
    if (!e.IsVisible(s.item) || !e.IsEnabled(s.item))
        return s.key + " cannot be changed at this access level or with these settings";
    switch (item.kind) {
    case HItemKind::Combo: {
        const auto items = e.Combo(s.item).Items();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (SameText(items[i].text, value)) {
                if (!e.UserSelect(s.item, static_cast<int>(i)))
                    return s.key + " refused \"" + std::string(value) + "\"";
                // A question answered No would have put the old value back.
                m_open[s.entry]->touched = true;
                return {};
            }
        break;
    }
    case HItemKind::Check:
        for (int state = 0; state < 2; ++state)
            if (SameText(HChoiceText(*item.choices, state), value)) {
                (void)e.UserCheck(s.item, state == 1);
                m_open[s.entry]->touched = true;
                return {};
            }
        break;
    case HItemKind::Edit:
        // The edit's own rule decides, as when the value is typed.
        if (e.UserEdit(s.item, TrimBlanks(value))) {
            m_open[s.entry]->touched = true;
            return {};
        }
        break;
    case HItemKind::Static:
    case HItemKind::Grid:
    case HItemKind::Button:
        break;
    }
    return s.key + ": \"" + std::string(value) + "\" is not allowed; " + Allowed(s);
}

std::string HSettingsSession::Confirm(HMemoryImage (*newImage)(int, int, int)) {
    HSignallingMode mode = HReadSignallingMode(m_image);
    for (auto& open : m_open) {
        if (!open->touched)
            continue;
        // A new signalling type resets its tables before any of their editors
        // confirms, so values set in the same session land on the defaults.
        const bool typeEditor = open->entry->family == HEditorFamily::Signalling;
        for (auto& page : open->pages) {
            if (page->Confirm() != 0) {
                std::string why = std::string(open->entry->section) + " refused the change";
                if (!open->prompt.messages.empty())
                    why += ": " + open->prompt.messages.back();
                return why;
            }
            if (auto* hw = dynamic_cast<HHardwareEditor*>(page.get());
                hw != nullptr && hw->ModelChanged() && newImage != nullptr) {
                m_image = newImage(hw->Band(), hw->ProductType(), hw->DisplayType());
                hw->WriteDisplayType(m_image);
            }
        }
        if (typeEditor)
            mode = HSignallingSteps::FollowTypeChange(m_image, mode);
    }
    return {};
}

std::vector<std::string> HSettingsSession::Messages() const {
    std::vector<std::string> all;
    for (const auto& open : m_open)
        all.insert(all.end(), open->prompt.messages.begin(), open->prompt.messages.end());
    return all;
}
