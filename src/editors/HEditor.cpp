#include "HEditor.h"

#include "HAlignmentData.h"
#include "HLogPrint.h"

#include <algorithm>
#include <cstdio>

HEditor::HEditor(std::uint32_t dialogId, std::string_view caption,
                 std::span<const HEditorItem> items, const HEditorContext& context)
    : m_dialogId(dialogId), m_caption(caption), m_items(items), m_context(context),
      m_state(items.size()) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        const HEditorItem& item = items[i];
        if (item.kind == HItemKind::Edit && item.edit.filter == HFilterMode::Tag)
            m_state[i].edit = std::make_unique<HTagEditRules>(item.edit);
        else
            m_state[i].edit = std::make_unique<HEditRules>(item.edit);
        m_state[i].text = item.label;
    }
}

std::size_t HEditor::FindItem(std::string_view label) const {
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].label == label)
            return i;
    return static_cast<std::size_t>(-1);
}

HEditRules& HEditor::Edit(std::size_t i) {
    return *m_state[i].edit;
}
const HEditRules& HEditor::Edit(std::size_t i) const {
    return *m_state[i].edit;
}

void HEditor::ApplyAccess() {
    const bool raised = m_context.accessLevel != 0;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        ItemState& st = m_state[i];
        switch (m_items[i].access) {
        case HItemAccess::Open:
            st.visible = true;
            st.enabled = true;
            break;
        case HItemAccess::RaisedLevel:
            st.visible = true;
            st.enabled = raised;
            break;
        case HItemAccess::RaisedOnly:
            st.visible = raised;
            st.enabled = raised;
            break;
        }
    }
}

void HEditor::Open() {
    HLOG_D1("[FUNC IN]HDialog::OnInitDialog");
    ApplyAccess();
    AcquireData();
    InitCombo();
    InitEdit();
    InitStatic();
    InitGrid();
    InitList();
    SetDataCombo();
    SetDataEdit();
    SetDataGrid();
    SetDataList();
    HLOG_D1("[FUNC OUT]HDialog::OnInitDialog");
}

int HEditor::Confirm() {
    SaveDataCombo();
    SaveDataEdit();
    SaveDataGrid();
    SaveDataList();
    if (m_context.image == nullptr)
        return StoreData();
    // Every way of writing settings (the dialogs, rp57cli set and load) ends here.
    const HSoundChecksums sound(*m_context.image);
    const int result = StoreData();
    sound.Keep(*m_context.image);
    return result;
}

bool HEditor::UserSelect(std::size_t item, int index) {
    if (item >= m_items.size() || m_items[item].kind != HItemKind::Combo ||
        !m_state[item].enabled || !m_state[item].visible)
        return false;
    if (!m_state[item].combo.SelectIndex(index))
        return false;
    OnComboChanged(item);
    return true;
}

bool HEditor::UserCheck(std::size_t item, bool checked) {
    if (item >= m_items.size() || m_items[item].kind != HItemKind::Check ||
        !m_state[item].enabled || !m_state[item].visible)
        return false;
    m_state[item].checked = checked;
    OnCheckChanged(item);
    return true;
}

bool HEditor::UserEdit(std::size_t item, std::string_view typedText) {
    if (item >= m_items.size() || m_items[item].kind != HItemKind::Edit || !m_state[item].enabled ||
        !m_state[item].visible)
        return false;
    HEditRules& rules = *m_state[item].edit;
    // What the edit does not take is refused, and said so, rather than stored
    // as something else: the front ends and rp57cli set all come through here.
    if (const std::string accepted = rules.Refusal(typedText); !accepted.empty()) {
        rules.TakeBack();
        Tell(CaptionOf(m_items[item].label) + ": \"" + std::string(typedText) +
             "\" is not allowed; " + accepted);
        return false;
    }
    rules.SetTypedText(typedText);
    rules.Commit();
    OnEditChanged(item);
    return true;
}

bool HEditor::UserPress(std::size_t item) {
    if (item >= m_items.size() || m_items[item].kind != HItemKind::Button ||
        !m_state[item].enabled || !m_state[item].visible)
        return false;
    OnButtonPressed(item);
    return true;
}

bool HEditor::Ask(std::string_view question) {
    return m_prompt != nullptr && m_prompt->AskYesNo(question);
}

bool HEditor::ConfirmPick(std::size_t item, std::int32_t picked, std::int32_t current,
                          std::string_view question) {
    if (picked == current)
        return false;
    if (!Ask(question)) {
        ComboState(item).SelectByValue(current);
        return false;
    }
    return true;
}

void HEditor::Tell(std::string_view message) {
    if (m_prompt != nullptr)
        m_prompt->ShowMessage(message);
}

std::uint32_t HEditor::HelpContextId(std::optional<std::size_t> item) const {
    if (item && *item < m_items.size() && m_items[*item].helpId != 0)
        return m_items[*item].helpId;
    return kDialogHelpBase + m_dialogId;
}

std::string HEditor::FormatItemLine(std::string_view name, std::string_view value) {
    // "%5s%-23s:%-20s" with " ": printf pads and never cuts.
    std::string line(5, ' ');
    line += name;
    if (name.size() < 23)
        line.append(23 - name.size(), ' ');
    line += ':';
    line += value;
    if (value.size() < 20)
        line.append(20 - value.size(), ' ');
    return line;
}

std::string HEditor::CaptionOf(std::string_view label) {
    std::string caption;
    caption.reserve(label.size());
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&') {
            if (i + 1 < label.size() && label[i + 1] == '&') {
                caption += '&';
                ++i;
            }
            continue;
        }
        caption += label[i];
    }
    return caption;
}

std::string HEditor::ShownText(std::size_t i) const {
    const HEditorItem& item = m_items[i];
    const ItemState& st = m_state[i];
    switch (item.kind) {
    case HItemKind::Combo:
        return st.combo.SelectedText();
    case HItemKind::Edit:
        return st.edit->Text();
    case HItemKind::Check:
        return item.choices != nullptr ? HChoiceText(*item.choices, st.checked ? 1 : 0)
                                       : std::string();
    case HItemKind::Static:
        return st.text;
    case HItemKind::Grid:
    case HItemKind::Button:
        break;
    }
    return {};
}

bool HEditor::IsReported(std::size_t i) const {
    const HItemKind kind = m_items[i].kind;
    if (kind == HItemKind::Grid)
        return m_state[i].visible && Grid(i) != nullptr;
    return kind != HItemKind::Static && kind != HItemKind::Button && m_state[i].visible;
}

HReportTable HEditor::ReportTableOf(const HGridSource& grid) {
    HReportTable table;
    std::vector<int> shown;
    bool leading = true;
    for (int c = 0; c < grid.ColumnCount(); ++c) {
        if (!grid.IsColumnShown(c))
            continue;
        shown.push_back(c);
        table.headers.emplace_back(grid.HeaderText(c));
        // Columns before the first setting name the record.
        leading = leading && grid.ColumnName(c).empty();
        if (leading)
            ++table.keyColumns;
    }
    if (table.keyColumns == shown.size())
        table.keyColumns = 0;
    for (int r = 0; r < grid.RowCount(); ++r) {
        std::vector<std::string>& row = table.rows.emplace_back();
        for (const int c : shown) {
            switch (grid.CellTick(r, c)) {
            case HTickState::NotTick:
                row.push_back(grid.CellText(r, c));
                break;
            case HTickState::Unticked:
                row.emplace_back(kUntickedText);
                break;
            case HTickState::TickedInUse:
            case HTickState::TickedNotInUse:
                row.emplace_back("v");
                break;
            }
        }
    }
    return table;
}

std::vector<std::string> HEditor::FormatTableLines(const HReportTable& table, std::size_t width) {
    constexpr std::size_t kIndent = 5;
    constexpr std::size_t kGap = 2;
    const std::size_t columns = table.headers.size();
    std::vector<std::size_t> widths(columns);
    for (std::size_t c = 0; c < columns; ++c) {
        widths[c] = table.headers[c].size();
        for (const std::vector<std::string>& row : table.rows)
            if (c < row.size())
                widths[c] = std::max(widths[c], row[c].size());
    }
    const std::size_t keys = std::min(table.keyColumns, columns);
    std::size_t keyWidth = kIndent;
    for (std::size_t c = 0; c < keys; ++c)
        keyWidth += widths[c] + kGap;

    std::vector<std::string> lines;
    if (columns == 0)
        return lines;
    std::size_t next = keys;
    do {
        // At least one column per band, however wide.
        std::vector<std::size_t> band;
        for (std::size_t c = 0; c < keys; ++c)
            band.push_back(c);
        std::size_t used = keyWidth;
        while (next < columns && (band.size() == keys || used + widths[next] <= width)) {
            band.push_back(next);
            used += widths[next] + kGap;
            ++next;
        }
        if (!lines.empty())
            lines.emplace_back();
        auto lineOf = [&](auto&& cellOf) {
            std::string line(kIndent, ' ');
            for (const std::size_t c : band) {
                const std::string_view text = cellOf(c);
                line += text;
                line.append(widths[c] + kGap - std::min(text.size(), widths[c]), ' ');
            }
            line.erase(line.find_last_not_of(' ') + 1);
            return line;
        };
        lines.push_back(
            lineOf([&](std::size_t c) -> std::string_view { return table.headers[c]; }));
        for (const std::vector<std::string>& row : table.rows)
            lines.push_back(lineOf([&](std::size_t c) -> std::string_view {
                return c < row.size() ? std::string_view(row[c]) : std::string_view();
            }));
    } while (next < columns);
    return lines;
}

std::vector<HReportItem> HEditor::ReportItems() const {
    std::vector<HReportItem> out;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (!IsReported(i))
            continue;
        HReportItem& item = out.emplace_back();
        item.caption = CaptionOf(m_items[i].label);
        if (const HGridSource* grid = Grid(i); grid != nullptr)
            item.table = ReportTableOf(*grid);
        else
            item.value = ShownText(i);
    }
    return out;
}

std::vector<std::string> HEditor::ReportLines() const {
    std::vector<std::string> lines;
    for (const HReportItem& r : ReportItems()) {
        if (r.table) {
            for (std::string& line : FormatTableLines(*r.table))
                lines.push_back(std::move(line));
        } else {
            lines.push_back(FormatItemLine(r.caption, r.value));
        }
    }
    return lines;
}
