#include "HChannelGrid.h"
#include "HText.h"

#include "HLogPrint.h"
#include "HStringTable.h"

#include <algorithm>
#include <cstdio>

using namespace HChannelTables;
namespace Cols = HChannelColumns;

namespace {

using HText::Lines;
using HText::Split;
using HText::Trim;
using HText::Upper;

// A channel number as column 0 shows it (1-128); 0 otherwise.
int ChannelNumber(std::string_view cell) {
    cell = Trim(cell);
    if (cell.empty() || cell.size() > 3)
        return 0;
    int n = 0;
    for (char ch : cell) {
        if (ch < '0' || ch > '9')
            return 0;
        n = n * 10 + (ch - '0');
    }
    return n >= 1 && n <= static_cast<int>(kChannelCount) ? n : 0;
}

bool IsToneColumn(const HChannelColumn& col) {
    return col.keys == HKeyFilter::Tone;
}
bool IsTransmitTone(const HChannelColumn& col) {
    return col.parseField == kFieldTxToneType;
}

} // namespace

HChannelGrid::HChannelGrid() {
    Relayout();
}

// ------------------------------------------------------------ lifecycle

void HChannelGrid::Refresh(std::span<const std::uint8_t> image) {
    if (image.size() != kImageSize) {
        HLOG_ER("HChannelGrid::Refresh image size %zu", image.size());
        return;
    }
    m_model.Load(image);
    m_baseline = m_model;
    m_marketing.Load(image);
    m_dirtyChannels.reset();
    m_priorityDirty = false;
    Relayout();
}

// The image takes the edited channels as the model holds them, and the
// changed priority bytes, and nothing else: a save of the whole model would
// also re-derive and normalise every channel and group the user never touched.
bool HChannelGrid::SaveEdits(std::span<std::uint8_t> image) {
    HLOG_D1("[FUNC IN]OnSaveData");
    bool changed = false;
    if (HasUnsavedEdits() && image.size() == kImageSize) {
        HMemoryImage before{};
        std::copy(image.begin(), image.end(), before.begin());
        HMemoryImage after = before;
        HChannels edited = m_model;
        edited.Save(after);
        std::array<std::uint8_t, kImageSize> mask{};
        for (std::size_t c = 0; c < kChannelCount; ++c) {
            if (!m_dirtyChannels.test(c))
                continue;
            // Record c: 3 to a 128-byte page, 2 unused bytes at each page's end.
            const std::size_t record =
                kChannelBase + kChannelRecordSize * c + kChannelPageGap * (c / kChannelsPerPage);
            std::fill_n(mask.begin() + static_cast<std::ptrdiff_t>(record), kChannelRecordSize,
                        0xFF);
            const std::size_t timer = kToneTimerBase + kToneTimerRecordSize * c;
            std::fill_n(mask.begin() + static_cast<std::ptrdiff_t>(timer), kToneTimerRecordSize,
                        0xFF);
            const auto bit = static_cast<std::uint8_t>(1u << (c % 8));
            mask[kInUseTableBase + c / 8] |= bit;
            mask[(kFlagTableBase + c / 8) ^ 1u] |= bit; // bytes exchanged in 16-bit words
        }
        if (m_priorityDirty) {
            HMemoryImage baseline = before;
            HChannels loaded = m_baseline;
            loaded.Save(baseline);
            const std::size_t at = kGroupByteRows[kGroupPriority].byteOffset;
            for (std::size_t i = at; i < at + kGroupCount; ++i)
                if (baseline[i] != after[i])
                    mask[i] = 0xFF;
        }
        for (std::size_t i = 0; i < kImageSize; ++i) {
            const auto merged =
                static_cast<std::uint8_t>((image[i] & ~mask[i]) | (after[i] & mask[i]));
            changed = changed || merged != image[i];
            image[i] = merged;
        }
        m_baseline = m_model;
        m_dirtyChannels.reset();
        m_priorityDirty = false;
    }
    HLOG_D1("[FUNC OUT]OnSaveData");
    return changed;
}

void HChannelGrid::MarkEdited(int c) {
    if (c >= 0 && c < static_cast<int>(kChannelCount))
        m_dirtyChannels.set(static_cast<std::size_t>(c));
}

void HChannelGrid::Relayout() {
    const int groups = m_model.GetGroupCount();
    const auto inUse = [this](int g) {
        return m_model.GetGroupValue(g, kGroupInUse) != 0 &&
               m_model.GetGroupValue(g, kGroupChannels) > 0;
    };
    m_groupList.clear();
    for (int g = 0; g < groups; ++g) {
        if (!inUse(g))
            continue;
        char buf[32];
        std::snprintf(buf, sizeof buf, "Group %d", g + 1);
        m_groupList.push_back({buf, g});
    }
    if (m_currentGroup < 0 || m_currentGroup >= groups || !inUse(m_currentGroup))
        m_currentGroup = m_groupList.empty() ? 0 : m_groupList.front().group;

    m_firstChannel = std::max(m_model.FirstChannelOfGroup(m_currentGroup), 0);
    const int count = std::max(m_model.GetGroupValue(m_currentGroup, kGroupChannels), 0);
    m_rowCount = std::clamp(m_model.GetCapacity() - m_firstChannel, 0, count);

    const Cols::HColumnVisibility v = Cols::ApplyVisibility(
        Cols::FactsOf(m_model), m_settings.accessLevel, m_settings.itemFlags, m_settings.loadFlag);
    m_shown = v.shown;
    m_settings.itemFlags = v.flags;
    m_settings.loadFlag = v.loadFlag;

    m_info = BuildChannelInfoPanel(m_marketing, m_model, m_currentGroup, m_settings.comPort,
                                   m_settings.printer);
    m_currentRow = std::clamp(m_currentRow, 0, std::max(m_rowCount - 1, 0));
    m_currentCol = std::clamp(m_currentCol, 0, kChannelColumnCount - 1);
}

// ------------------------------------------------------------ shape and cells

int HChannelGrid::ChannelOfRow(int row) const {
    return row >= 0 && row < m_rowCount ? m_firstChannel + row : -1;
}

int HChannelGrid::RowOfChannel(int c) const {
    const int row = c - m_firstChannel;
    return c >= 0 && row >= 0 && row < m_rowCount ? row : -1;
}

std::string_view HChannelGrid::HeaderText(int col) const {
    const HChannelColumn* column = Cols::Column(col);
    return column ? column->header : std::string_view();
}

bool HChannelGrid::IsColumnShown(int col) const {
    return col >= 0 && col < kChannelColumnCount && m_shown[static_cast<std::size_t>(col)];
}

bool HChannelGrid::IsTickColumn(int col) const {
    const HChannelColumn* column = Cols::Column(col);
    return column != nullptr && column->style == HCellStyle::Tick;
}

std::span<const std::string_view> HChannelGrid::ColumnTexts(int col) const {
    const HChannelColumn* column = Cols::Column(col);
    return column ? column->values : std::span<const std::string_view>();
}

HKeyResult HChannelGrid::FilterKey(int col, std::size_t position, char32_t key) const {
    return Cols::FilterKey(col, position, key);
}

bool HChannelGrid::ValidCell(int row, int col) const {
    return ChannelOfRow(row) >= 0 && col >= 0 && col < kChannelColumnCount;
}

std::string HChannelGrid::CellText(int row, int col) const {
    if (!ValidCell(row, col))
        return {};
    return Cols::CellText(col, m_model, ChannelOfRow(row), m_currentGroup);
}

HTickState HChannelGrid::CellTick(int row, int col) const {
    if (!ValidCell(row, col))
        return HTickState::NotTick;
    return Cols::CellTick(col, m_model, ChannelOfRow(row), m_currentGroup);
}

bool HChannelGrid::RowInUse(int row) const {
    return m_model.IsChannelEnabled(ChannelOfRow(row));
}

HGridChange HChannelGrid::Change(int row, int col) const {
    HGridChange ch;
    ch.rows.push_back(row);
    const HChannelColumn* column = Cols::Column(col);
    ch.columns = column ? column->dependants : 0;
    return ch;
}

namespace {

// A frequency as the cell shows it, without the leading blank.
std::string MHz(std::int64_t hz) {
    return std::string(Trim(Cols::FrequencyText(hz)));
}

std::string WhyMoved(const HFrequencyStore& f) {
    std::vector<std::string> why;
    if (f.bandLimit != 0)
        why.push_back(HStringTable::Format(HStringTable::kNoteBand, {MHz(f.lowHz), MHz(f.highHz)}));
    if (f.movedToStep || f.bandLimit == 0) {
        char step[16];
        std::snprintf(step, sizeof step, "%g", f.stepHz / 1000.0);
        why.push_back(HStringTable::Format(HStringTable::kNoteStep, {step}));
    }
    std::string out = why.front();
    for (std::size_t i = 1; i < why.size(); ++i)
        out += ", " + why[i];
    return out;
}

} // namespace

std::string HChannelGrid::TypedNote(int row, int col, std::string_view typed, bool taken,
                                    const HCellParseReport& report) const {
    const HChannelColumn& column = *Cols::Column(col);
    const std::string header(column.header);
    const std::string shown(Trim(CellText(row, col)));
    std::vector<std::string> parts;
    if (!taken) {
        if (column.keys == HKeyFilter::Tag && !Cols::TagTextTaken(typed))
            parts.push_back(
                HStringTable::Format(HStringTable::kNoteTagSigns, {std::string(typed)}));
        else
            parts.push_back(HStringTable::Format(HStringTable::kNoteRefused,
                                                 {header, std::string(typed), shown}));
    } else if (report.typed && report.typed->storedHz != report.typed->requestedHz) {
        parts.push_back(
            HStringTable::Format(HStringTable::kNoteStored,
                                 {header, std::string(typed), shown, WhyMoved(*report.typed)}));
    } else if (report.toneTyped >= 0 &&
               report.toneTyped !=
                   m_model.GetField(ChannelOfRow(row),
                                    IsTransmitTone(column) ? kFieldTxTone : kFieldRxTone)) {
        parts.push_back(HStringTable::Format(
            HStringTable::kNoteStored,
            {header, std::string(typed), shown, HStringTable::Get(HStringTable::kNoteToneRange)}));
    }
    // A receive entry also sets the transmit side; say so when that changed
    // a frequency the set transmits on.
    const int c = ChannelOfRow(row);
    if (taken && report.followedTx && report.followedTx->storedHz != report.txBeforeHz &&
        m_model.GetField(c, kFieldTxInhibit) <= 0)
        parts.push_back(
            HStringTable::Format(HStringTable::kNoteTxFollowed,
                                 {MHz(report.followedTx->storedHz), MHz(report.txBeforeHz)}));
    if (parts.empty())
        return {};
    std::string what = parts.front();
    for (std::size_t i = 1; i < parts.size(); ++i)
        what += "; " + parts[i];
    return HStringTable::Format(HStringTable::kNoteChannel, {std::to_string(c + 1), what});
}

// ------------------------------------------------------------ current cell and group

void HChannelGrid::SetCurrentCell(int row, int col) {
    if (!ValidCell(row, col))
        return;
    m_currentRow = row;
    m_currentCol = col;
}

bool HChannelGrid::SelectGroup(int g) {
    const auto it = std::find_if(m_groupList.begin(), m_groupList.end(),
                                 [g](const HGroupEntry& e) { return e.group == g; });
    if (it == m_groupList.end())
        return false;
    // The grid's own model: switching groups keeps the unsaved edits.
    m_currentGroup = g;
    m_currentRow = 0;
    Relayout();
    return true;
}

int HChannelGrid::NextGroup() {
    const int next = Cols::NextGroup(m_model, m_currentGroup);
    if (next != m_currentGroup)
        SelectGroup(next);
    return m_currentGroup;
}

int HChannelGrid::SelectedGroupEntry() const {
    for (std::size_t i = 0; i < m_groupList.size(); ++i)
        if (m_groupList[i].group == m_currentGroup)
            return static_cast<int>(i);
    return -1;
}

// ------------------------------------------------------------ editing

HEditStart HChannelGrid::BeginEdit(int row, int col) const {
    HEditStart e;
    if (!ValidCell(row, col))
        return e;
    const HChannelColumn& column = *Cols::Column(col);
    const int c = ChannelOfRow(row);
    // A channel not in use takes edits only in column 0, which is never edited.
    if (!m_model.IsChannelEnabled(c) || column.edit == HCellEdit::None)
        return e;
    e.allowed = true;
    e.kind = column.edit;
    e.maxLength = column.maxLength;
    e.text = CellText(row, col);
    if (column.edit == HCellEdit::List) {
        for (std::string_view t : Cols::ListTexts(col, m_model))
            e.listTexts.emplace_back(t);
        const std::int32_t v = m_model.GetField(c, column.field);
        if (v >= 0 && static_cast<std::size_t>(v) < e.listTexts.size())
            e.listIndex = v;
    }
    return e;
}

HGridChange HChannelGrid::CommitText(int row, int col, std::string_view text, bool* accepted) {
    bool ok = false;
    HGridChange change;
    const HEditStart e = BeginEdit(row, col);
    if (e.allowed && e.kind == HCellEdit::Text) {
        const HChannelColumn& column = *Cols::Column(col);
        // The editor upper-cases what is typed; text put in another way gets the same.
        const std::string typed = Upper(text);
        HCellParseReport report;
        // A tag that did not come through the key filter may hold characters
        // the radio would blank.
        const bool filtered = column.keys != HKeyFilter::Tag || Cols::TagTextTaken(typed);
        ok =
            filtered && m_model.ParseCellText(ChannelOfRow(row), column.parseField, typed, &report);
        if (ok)
            MarkEdited(ChannelOfRow(row));
        change = Change(row, col);
        change.note = TypedNote(row, col, Trim(typed), ok, report);
    }
    if (accepted)
        *accepted = ok;
    return change;
}

HGridChange HChannelGrid::CommitListPick(int row, int col, int index, bool* accepted) {
    bool ok = false;
    HGridChange change;
    const HEditStart e = BeginEdit(row, col);
    if (e.allowed && e.kind == HCellEdit::List) {
        if (index >= 0 && static_cast<std::size_t>(index) < e.listTexts.size()) {
            m_model.SetField(ChannelOfRow(row), Cols::Column(col)->field, index);
            MarkEdited(ChannelOfRow(row));
            ok = true;
        }
        change = Change(row, col);
    }
    if (accepted)
        *accepted = ok;
    return change;
}

HCellActionResult HChannelGrid::CellAction(int row, int col, HCellActionMode mode) {
    HCellActionResult r;
    if (!ValidCell(row, col))
        return r;
    const int c = ChannelOfRow(row);
    const HChannelColumn& column = *Cols::Column(col);
    if (!m_model.IsChannelEnabled(c) && column.more.item != HChannelItem::None)
        return r;
    if (IsToneColumn(column)) {
        if (mode == HCellActionMode::Enter) {
            r.openToneDialog = true;
            r.transmitSide = IsTransmitTone(column);
        }
        return r;
    }
    if (mode == HCellActionMode::Enter)
        return r;
    if (column.more.item == HChannelItem::Pri) {
        const int old = m_model.PriorityChannelOfGroup(m_currentGroup);
        if (m_model.SetPriorityChannel(c, m_currentGroup)) {
            m_priorityDirty = true;
            r.change = Change(row, col);
            const int oldRow = RowOfChannel(old);
            if (oldRow >= 0 && oldRow != row)
                r.change.rows.push_back(oldRow);
        }
        return r;
    }
    if (column.toggleField >= 0 && m_model.ToggleField(c, column.toggleField)) {
        MarkEdited(c);
        r.change = Change(row, col);
    }
    return r;
}

int HChannelGrid::ToneCellChannel(int row, int col) const {
    if (!ValidCell(row, col) || !IsToneColumn(*Cols::Column(col)))
        return -1;
    const int c = ChannelOfRow(row);
    return m_model.IsChannelEnabled(c) ? c : -1;
}

HGridChange HChannelGrid::ToneShortcut(int row, int col) {
    const int c = ToneCellChannel(row, col);
    if (c < 0 || !m_model.ToggleField(c, Cols::Column(col)->parseField))
        return {};
    MarkEdited(c);
    return Change(row, col);
}

int HChannelGrid::ToneChoiceIndex(int row, int col) const {
    if (!ValidCell(row, col) || !IsToneColumn(*Cols::Column(col)))
        return -1;
    return Cols::FindToneChoice(IsTransmitTone(*Cols::Column(col)), CellText(row, col));
}

HGridChange HChannelGrid::ApplyToneChoice(int row, int col, int index) {
    const int c = ToneCellChannel(row, col);
    if (c < 0)
        return {};
    const HChannelColumn& column = *Cols::Column(col);
    const std::span<const std::string> choices = Cols::ToneChoices(IsTransmitTone(column));
    if (index < 0 || static_cast<std::size_t>(index) >= choices.size())
        return {};
    if (m_model.ParseCellText(c, column.parseField, choices[static_cast<std::size_t>(index)]))
        MarkEdited(c);
    return Change(row, col);
}

// ------------------------------------------------------------ visibility

void HChannelGrid::ToggleItem(HChannelItem item) {
    const Cols::HColumnVisibility v =
        Cols::ToggleItem(item, Cols::FactsOf(m_model), m_settings.accessLevel, m_settings.itemFlags,
                         m_settings.loadFlag);
    m_shown = v.shown;
    m_settings.itemFlags = v.flags;
    m_settings.loadFlag = v.loadFlag;
}

void HChannelGrid::SetItemFlags(const HItemFlags& flags) {
    m_settings.itemFlags = flags;
    Relayout();
}

// ------------------------------------------------------------ copy and paste

std::string HChannelGrid::CopyText(int firstRow, int lastRow) const {
    if (firstRow > lastRow)
        std::swap(firstRow, lastRow);
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, m_rowCount - 1);
    std::string out;
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int col = 0; col < kChannelColumnCount; ++col) {
            if (col > 0)
                out += '\t';
            // A ticked cell shows a blank, which a spreadsheet drops: the
            // clipboard gets the text a paste and an import read back.
            out += Cols::ReportText(col, m_model, ChannelOfRow(row), m_currentGroup);
        }
        out += '\n';
    }
    return out;
}

void HChannelGrid::NotePriorityMove(int oldPriority, HGridChange& change) {
    if (m_model.PriorityChannelOfGroup(m_currentGroup) == oldPriority)
        return;
    m_priorityDirty = true;
    const int oldRow = RowOfChannel(oldPriority);
    if (oldRow >= 0 &&
        std::find(change.rows.begin(), change.rows.end(), oldRow) == change.rows.end())
        change.rows.push_back(oldRow);
}

HPasteResult HChannelGrid::Paste(std::string_view text, int targetRow, HEditorPrompt* prompt) {
    HPasteResult r;
    // Only a block of whole channel rows is taken: anything else on the
    // clipboard must not be stored into channel fields cell by cell.
    std::vector<std::vector<std::string_view>> rows;
    for (std::string_view line : Lines(text)) {
        std::vector<std::string_view> cells = Split(line, '\t');
        // Spreadsheets end a copied row with a tab; a blank is a ticked cell.
        while (cells.size() > 1 && cells.back().empty())
            cells.pop_back();
        if (cells.empty() || cells.size() > static_cast<std::size_t>(kChannelColumnCount) ||
            ChannelNumber(cells.front()) == 0)
            return r;
        rows.push_back(std::move(cells));
    }
    if (rows.empty())
        return r;
    if (ChannelOfRow(targetRow) < 0) {
        r.status = HPasteStatus::NoTarget;
        return r;
    }

    std::string source = std::to_string(ChannelNumber(rows.front().front()));
    if (rows.size() > 1)
        source += " - " + std::to_string(ChannelNumber(rows.back().front()));
    const std::string question = HStringTable::Format(
        HStringTable::kCopyChannel, {source, std::to_string(ChannelOfRow(targetRow) + 1)});
    if (prompt == nullptr || !prompt->AskYesNo(question)) {
        r.status = HPasteStatus::Declined;
        return r;
    }

    std::vector<HCellWrite> writes;
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (std::size_t col = 1; col < rows[i].size(); ++col)
            writes.push_back({targetRow + static_cast<int>(i), static_cast<int>(col),
                              std::string(rows[i][col])});
    r = StoreCells(writes);
    r.change.columns = kAllColumns;
    r.status = HPasteStatus::Pasted;
    return r;
}

void HChannelGrid::Refuse(HPasteResult& r, const HCellWrite& w, int c, std::string why) const {
    ++r.cellsRefused;
    r.refused.push_back({c, w.column, w.text, std::move(why)});
}

HPasteResult HChannelGrid::StoreCells(std::span<const HCellWrite> writes) {
    HPasteResult r;
    std::vector<const HCellWrite*> order;
    for (const HCellWrite& w : writes)
        order.push_back(&w);
    // The receive frequency before the transmit one it also sets, the
    // signalling kind before its number: within a row, column order.
    std::stable_sort(order.begin(), order.end(), [](const HCellWrite* a, const HCellWrite* b) {
        return a->row != b->row ? a->row < b->row : a->column < b->column;
    });
    const int oldPriority = m_model.PriorityChannelOfGroup(m_currentGroup);
    const int lastChannel = ChannelOfRow(m_rowCount - 1) + 1;
    for (const HCellWrite* w : order) {
        const int c = ChannelOfRow(w->row);
        if (c < 0) {
            Refuse(
                r, *w, c,
                HStringTable::Format(HStringTable::kNotePastGroup, {std::to_string(lastChannel)}));
            continue;
        }
        const std::string channel = std::to_string(c + 1);
        if (!m_model.IsChannelEnabled(c)) {
            Refuse(r, *w, c,
                   HStringTable::Format(HStringTable::kNoteChannel,
                                        {channel, HStringTable::Get(HStringTable::kNoteNotInUse)}));
            continue;
        }
        if (w->column <= 0 || w->column >= kChannelColumnCount) {
            Refuse(r, *w, c,
                   HStringTable::Format(
                       HStringTable::kNoteChannel,
                       {channel, HStringTable::Format(HStringTable::kNoteRefused,
                                                      {std::to_string(w->column), w->text, "-"})}));
            continue;
        }
        const std::string typed(Trim(w->text));
        if (Cols::StoreCellText(w->column, m_model, c, m_currentGroup, w->text))
            ++r.cellsStored;
        else
            Refuse(r, *w, c, TypedNote(w->row, w->column, typed, false, {}));
        MarkEdited(c);
        if (std::find(r.change.rows.begin(), r.change.rows.end(), w->row) == r.change.rows.end())
            r.change.rows.push_back(w->row);
    }
    NotePriorityMove(oldPriority, r.change);
    r.change.columns = r.change.rows.empty() ? 0 : kAllColumns;
    r.status = r.change.rows.empty() ? HPasteStatus::NoTarget : HPasteStatus::Pasted;
    return r;
}
