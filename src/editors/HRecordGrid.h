#pragma once
// The grid core of any record table: one row per record, one column per entry
// of a column table (HGridColumn). It edits the model it is given; the editor
// that owns both loads the model on opening and saves it on OK. Cells are
// edited as their column says: a list cell opens its pop-up list on a click or
// Space, a tick cell toggles on Space or a double click, a text cell takes
// keys through its column's filter. A column's enable rule shuts its cells.
//
// The same cells are settings: CellSetting shows a cell as `rp57cli show`
// does (a tick cell by its column's two texts), SetCellSetting takes a value
// the way a user would enter it and refuses what the cell would refuse.
#include "HGridSource.h"

#include <algorithm>
#include <span>
#include <string>
#include <string_view>
#include <vector>

template <class Model> class HRecordGrid : public HGridSource {
public:
    using Column = HGridColumn<Model>;

    HRecordGrid(std::span<const Column> columns, Model& model)
        : m_columns(columns), m_model(model) {}

    [[nodiscard]] std::span<const Column> Columns() const { return m_columns; }
    [[nodiscard]] Model& Records() { return m_model; }
    [[nodiscard]] const Model& Records() const { return m_model; }

    // ---- shape ----
    [[nodiscard]] int RowCount() const override { return m_model.RecordCount(); }
    [[nodiscard]] int ColumnCount() const override { return static_cast<int>(m_columns.size()); }
    [[nodiscard]] std::string_view HeaderText(int col) const override {
        const Column* c = At(col);
        return c ? c->header : std::string_view();
    }
    [[nodiscard]] bool IsColumnShown(int col) const override { return At(col) != nullptr; }
    [[nodiscard]] bool IsTickColumn(int col) const override {
        const Column* c = At(col);
        return c != nullptr && c->style == HCellStyle::Tick;
    }
    [[nodiscard]] std::span<const std::string_view> ColumnTexts(int col) const override {
        const Column* c = At(col);
        if (c == nullptr || c->style == HCellStyle::Tick)
            return {};
        return c->values;
    }

    // ---- cells ----
    [[nodiscard]] std::string CellText(int row, int col) const override {
        const Column* c = Cell(row, col);
        return c ? c->text(*c, m_model, row, 0) : std::string();
    }
    [[nodiscard]] HTickState CellTick(int row, int col) const override {
        const Column* c = Cell(row, col);
        if (c == nullptr || c->style != HCellStyle::Tick)
            return HTickState::NotTick;
        return c->text(*c, m_model, row, 0) == kTickedText ? HTickState::TickedInUse
                                                           : HTickState::Unticked;
    }
    [[nodiscard]] bool RowInUse(int row) const override { return row >= 0 && row < RowCount(); }

    // Whether a cell takes changes now: its column edits or toggles, and its
    // enable rule lets it.
    [[nodiscard]] bool IsCellEnabled(int row, int col) const {
        const Column* c = Cell(row, col);
        if (c == nullptr || (c->edit == HCellEdit::None && c->toggleField < 0))
            return false;
        return c->enabled == nullptr || c->enabled(m_model, row);
    }

    // ---- editing ----
    [[nodiscard]] HEditStart BeginEdit(int row, int col) const override {
        HEditStart e;
        if (!IsCellEnabled(row, col))
            return e;
        const Column& c = *At(col);
        if (c.edit == HCellEdit::None)
            return e;
        e.allowed = true;
        e.kind = c.edit;
        e.maxLength = c.maxLength;
        e.text = CellText(row, col);
        if (c.edit == HCellEdit::List) {
            e.listTexts = ListOf(c);
            const std::int32_t v = m_model.GetField(row, c.field);
            if (v >= 0 && static_cast<std::size_t>(v) < e.listTexts.size())
                e.listIndex = v;
        }
        return e;
    }

    HGridChange CommitText(int row, int col, std::string_view text,
                           bool* accepted = nullptr) override {
        bool ok = false;
        HGridChange change;
        if (BeginEdit(row, col).kind == HCellEdit::Text) {
            const Column& c = *At(col);
            ok = c.store(c, m_model, row, 0, text);
            change = Change(row, col);
            // Refused, the cell keeps its value, and the note says why.
            if (!ok)
                change.note = std::string(c.header) + ": \"" + std::string(text) +
                              "\" is not allowed; " + AllowedText(col);
        }
        if (accepted)
            *accepted = ok;
        return change;
    }

    HGridChange CommitListPick(int row, int col, int index, bool* accepted = nullptr) override {
        bool ok = false;
        HGridChange change;
        const HEditStart e = BeginEdit(row, col);
        if (e.kind == HCellEdit::List) {
            if (index >= 0 && static_cast<std::size_t>(index) < e.listTexts.size()) {
                m_model.SetField(row, At(col)->field, index);
                ok = true;
            }
            change = Change(row, col);
        }
        if (accepted)
            *accepted = ok;
        return change;
    }

    HCellActionResult CellAction(int row, int col, HCellActionMode mode) override {
        HCellActionResult r;
        if (mode == HCellActionMode::Enter || !IsCellEnabled(row, col))
            return r;
        const Column& c = *At(col);
        if (c.edit == HCellEdit::List) {
            r.openEditor = mode == HCellActionMode::Space;
            return r;
        }
        if (c.toggleField >= 0) {
            m_model.SetField(row, c.toggleField, m_model.GetField(row, c.toggleField) > 0 ? 0 : 1);
            r.change = Change(row, col);
        }
        return r;
    }

    [[nodiscard]] HKeyResult FilterKey(int col, std::size_t position, char32_t key) const override {
        const Column* c = At(col);
        return HFilterKey(c ? c->keys : HKeyFilter::None, position, key);
    }

    // ---- cells as settings ----
    [[nodiscard]] std::string_view ColumnName(int col) const override {
        const Column* c = At(col);
        return c ? c->name : std::string_view();
    }
    // The column of a key word; -1 when no column has it.
    [[nodiscard]] int ColumnNamed(std::string_view name) const {
        for (std::size_t i = 0; i < m_columns.size(); ++i)
            if (!name.empty() && m_columns[i].name == name)
                return static_cast<int>(i);
        return -1;
    }
    // What a setting shows: the cell text; a tick cell's column text for its
    // state when the column has two.
    [[nodiscard]] std::string CellSetting(int row, int col) const override {
        const Column* c = Cell(row, col);
        if (c == nullptr)
            return {};
        if (c->style == HCellStyle::Tick && c->values.size() == 2)
            return std::string(c->values[CellTick(row, col) == HTickState::Unticked ? 0 : 1]);
        return CellText(row, col);
    }
    // Sets a cell as a user would; false when the cell is shut or the value
    // is none it takes.
    bool SetCellSetting(int row, int col, std::string_view value) override {
        if (!IsCellEnabled(row, col))
            return false;
        const Column& c = *At(col);
        switch (c.edit) {
        case HCellEdit::List: {
            const std::vector<std::string> texts = ListOf(c);
            const std::vector<std::string_view> views(texts.begin(), texts.end());
            const int index = HGridCells::FindValue(views, value);
            bool ok = false;
            if (index >= 0) {
                CommitListPick(row, col, index, &ok);
                return ok;
            }
            break; // the column's parser may know other forms of a value
        }
        case HCellEdit::Text: {
            bool ok = false;
            CommitText(row, col, value, &ok);
            return ok;
        }
        case HCellEdit::None:
            break;
        }
        return c.store(c, m_model, row, 0, value);
    }
    // Every text a setting of the column takes, for messages.
    [[nodiscard]] std::string AllowedText(int col) const override {
        const Column* c = At(col);
        if (c == nullptr)
            return {};
        if (c->edit == HCellEdit::Text)
            return HTextCellAccepts(c->minLength, c->maxLength, c->keys);
        std::string text;
        for (const std::string& v : ListOf(*c)) {
            if (!text.empty())
                text += ", ";
            text += '"' + std::string(v) + '"';
        }
        return text.empty() ? std::string("nothing") : "one of " + text;
    }

private:
    [[nodiscard]] std::vector<std::string> ListOf(const Column& c) const {
        if (c.listTexts != nullptr)
            return c.listTexts(c, m_model);
        return std::vector<std::string>(c.values.begin(), c.values.end());
    }
    [[nodiscard]] const Column* At(int col) const { return HGridColumnAt(m_columns, col); }
    [[nodiscard]] const Column* Cell(int row, int col) const {
        return row >= 0 && row < RowCount() ? At(col) : nullptr;
    }
    [[nodiscard]] HGridChange Change(int row, int col) const {
        HGridChange ch;
        ch.rows.push_back(row);
        ch.columns = At(col)->dependants;
        return ch;
    }

    std::span<const Column> m_columns;
    Model& m_model;
};
