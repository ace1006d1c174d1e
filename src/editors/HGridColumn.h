#pragma once
// Any record table is a grid of columns. A column says, side by side: its
// header, the key word of its cells ("section.N.name"), the record field it
// reads and writes, the formatter that makes its cell text and the parser that
// stores one, how it is edited (typed text through a key filter, a pop-up list,
// a tick toggled by Space or a double click, or not at all), its list texts,
// the rule that enables or shows it, and the columns to redraw after a change.
// The channel grid and every signalling grid are such tables; one grid core
// per model (HChannelGrid, HRecordGrid) and one Qt grid widget render them.
// Nothing branches on a column number, and a bad column number is refused
// (HGridColumnAt gives null), never clamped.
//
// Declaring a new record grid over a record table (HRecordTable, or a class
// derived from it), with its rows numbered and field 0 a pop-up list:
//
//   inline constexpr std::array<HGridColumn<HRecordTable>, 2> kPagingColumns{{
//       {.header = "No.", .dependants = 1u, .text = HGridNumberText<HRecordTable>,
//        .store = HGridStoreNothing<HRecordTable>},
//       {.header = "Mode", .name = "mode", .field = 0, .edit = HCellEdit::List,
//        .values = kModeTexts, .dependants = 2u, .text = HGridListText<HRecordTable>,
//        .store = HGridStoreList<HRecordTable>}}};
//   static_assert(HGridColumnsAreSound(std::span(kPagingColumns), kPagingFieldCount));
//
// then HRecordGrid<HRecordTable> grid(kPagingColumns, records) is the grid an
// editor's grid item shows (HEditor::Grid), and the registry gives its cells
// the keys "section.N.mode".
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class HCellStyle : std::uint8_t {
    Text, // the cell shows its text
    Tick, // a tick cell: picture from the cell's tick state, text " " or "-"
};

enum class HCellEdit : std::uint8_t {
    None, // never edited in place (ticks, toggles, numbers)
    Text, // a line edit: max length, key filter, committed through the parser
    List, // a pop-up list of the column's texts; the pick's position is stored
};

enum class HKeyFilter : std::uint8_t {
    None,       // every typed key dropped
    Tag,        // channel tags: upper case; letters, digits and "[]_ *+-/"
    Frequency,  // digits and "."
    Tone,       // position 0 "C" or "D" (text becomes "C-"/"D-"), 1 "-", then digits and "."
    SignalTag,  // signalling tags: upper case; letters, digits and "[]_ %<>*+-/"
    ToneDigits, // digit strings of tone codes: 0-9 and A-E, upper case
    PageDigits, // DTMF paging codes: 0-9 and A-D, upper case
};

// A model rule that hides, shows or shuts a column.
enum class HColumnRule : std::uint8_t {
    None,
    Display,     // channel TAG: shown only for a set with a display (LCD) type
    ProductType, // shown only for a handheld set (Hardware product type not 0)
    OptionUnit,  // shown only when the option unit code is 1 (and then forced on)
    RaisedLevel, // hidden at access level 0
};

// Picture of a tick cell: bitmap 130 for TickedInUse, 193 for TickedNotInUse.
enum class HTickState : std::uint8_t { NotTick, Unticked, TickedInUse, TickedNotInUse };

enum class HKeyVerdict : std::uint8_t {
    Pass,    // Backspace, Escape, Enter: the editor's own handling
    Insert,  // insert `key` (upper-cased where the filter wants it)
    Drop,    // ignore the key
    Replace, // replace the whole edit text with `text` (tone prefix)
};
struct HKeyResult {
    HKeyVerdict verdict = HKeyVerdict::Drop;
    char32_t key = 0;
    std::string text;
};

// One key typed at `position` (characters before the caret) into an edit
// whose column has this filter.
[[nodiscard]] HKeyResult HFilterKey(HKeyFilter filter, std::size_t position, char32_t key);
// Whether every character of a text passes the filter as typed at its place
// (lower case counts as upper case): a text given other than by keys is taken
// only when typing could have made it.
[[nodiscard]] bool HFilterTakesText(HKeyFilter filter, std::string_view text);
// The characters a filter takes, for messages ("of 0-9 and A-D", "letters,
// digits and ...").
[[nodiscard]] std::string HFilterText(HKeyFilter filter);
// What a text cell takes, for messages: "exactly 3 of 0-9 and A-D", "up to
// 8 letters, digits and ...".
[[nodiscard]] std::string HTextCellAccepts(std::uint32_t minLength, std::uint32_t maxLength,
                                           HKeyFilter filter);

inline constexpr std::string_view kTickedText = " ";
inline constexpr std::string_view kUntickedText = "-";

// Nothing beyond the common members.
struct HGridNoMore {};

// One column of a grid over a model. The model is what the formatter reads
// and the parser writes; `aux` is the grid's context for a cell (the channel
// grid's current group; 0 in record grids). `More` carries what one family of
// grids alone needs (the channel grid's View > Item entry and report title).
template <class Model, class More = HGridNoMore> struct HGridColumn {
    using TextFn = std::string (*)(const HGridColumn&, const Model&, int record, int aux);
    // Stores a text as the cell shows it; false (record unchanged) when the
    // text is none the column shows.
    using StoreFn = bool (*)(const HGridColumn&, Model&, int record, int aux,
                             std::string_view text);
    // Whether a record's cell takes edits now; null: always.
    using EnableFn = bool (*)(const Model&, int record);
    // List texts made from the model (tone lists from a tone table).
    using ListFn = std::vector<std::string> (*)(const HGridColumn&, const Model&);

    std::string_view header{};
    std::string_view name{}; // key word of the column's cells; empty: no setting
    int field = -1;          // the record field shown and written; -1 none
    HCellStyle style = HCellStyle::Text;
    HCellEdit edit = HCellEdit::None;
    std::uint32_t maxLength = 0; // for Text edits
    std::uint32_t minLength = 0; // for Text edits: the fewest characters a cell takes
    HKeyFilter keys = HKeyFilter::None;
    // List texts, position = stored code; for a tick column of a record grid
    // the texts of 0 and 1 as settings show them.
    std::span<const std::string_view> values{};
    ListFn listTexts = nullptr; // the list of a List edit when it is made, not fixed
    int toggleField = -1;       // toggled by Space and a double click; -1 none
    int parseField = -1;        // the field the model's own cell parser is given; -1 none
    HColumnRule rule = HColumnRule::None;
    EnableFn enabled = nullptr;
    std::uint32_t dependants = 0; // columns redrawn after a change (itself included)
    TextFn text = nullptr;
    StoreFn store = nullptr;
    More more{};
};

[[nodiscard]] constexpr std::uint32_t HGridBit(int column) {
    return column >= 0 && column < 32 ? 1u << column : 0u;
}

// The column at a number, or null for a number outside the table.
template <class Column, std::size_t N>
[[nodiscard]] constexpr const Column* HGridColumnAt(std::span<const Column, N> columns,
                                                    int column) {
    if (column < 0 || static_cast<std::size_t>(column) >= columns.size())
        return nullptr;
    return &columns[static_cast<std::size_t>(column)];
}

// For static_assert over a column table: at most 32 columns (one redraw bit
// each), every column formats and parses, redraws itself and no column beyond
// the table, edits have what they need (a text edit a length and a filter, a
// list its texts and field), every field exists, names are not repeated.
template <class Column, std::size_t N>
[[nodiscard]] constexpr bool HGridColumnsAreSound(std::span<const Column, N> columns,
                                                  int fieldCount) {
    if (columns.empty() || columns.size() > 32)
        return false;
    const std::uint32_t all = columns.size() == 32 ? 0xFFFFFFFFu : (1u << columns.size()) - 1u;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const Column& c = columns[i];
        if (c.header.empty() || c.text == nullptr || c.store == nullptr)
            return false;
        if ((c.dependants & (1u << i)) == 0 || (c.dependants & ~all) != 0)
            return false;
        if (c.edit == HCellEdit::Text &&
            (c.maxLength == 0 || c.minLength > c.maxLength || c.keys == HKeyFilter::None))
            return false;
        if (c.edit == HCellEdit::List &&
            ((c.values.empty() && c.listTexts == nullptr) || c.field < 0))
            return false;
        if (c.edit != HCellEdit::Text && c.keys != HKeyFilter::None)
            return false;
        if (c.field >= fieldCount || c.toggleField >= fieldCount || c.parseField >= fieldCount)
            return false;
        for (std::size_t j = 0; j < i; ++j)
            if (!c.name.empty() && columns[j].name == c.name)
                return false;
    }
    return true;
}

// ---- formatters and parsers for record models ----
// A record model has RecordCount(), GetField(record, field),
// SetField(record, field, value), GetText(record, field) and
// SetText(record, field, text).

namespace HGridCells {
[[nodiscard]] std::string Number(int n);
// A text as the grid shows it: without padding blanks and NULs at its end.
[[nodiscard]] std::string Shown(std::string_view stored);
// Tick texts: " " as the grid writes it, "" for a tool that trims cells, "v"
// as reports write it mean 1; "-" means 0; -1 otherwise.
[[nodiscard]] int TickValue(std::string_view text);
// The position of a text (case and outer blanks ignored) among `values`; -1.
[[nodiscard]] int FindValue(std::span<const std::string_view> values, std::string_view text);
} // namespace HGridCells

// "%d" of the record number, from 1.
template <class Model, class More>
[[nodiscard]] std::string HGridNumberText(const HGridColumn<Model, More>&, const Model&, int record,
                                          int) {
    return HGridCells::Number(record + 1);
}

// The list text of the field's value; blank for a value no text stands for.
template <class Model, class More>
[[nodiscard]] std::string HGridListText(const HGridColumn<Model, More>& col, const Model& m,
                                        int record, int) {
    const std::int32_t v = m.GetField(record, col.field);
    if (v < 0 || static_cast<std::size_t>(v) >= col.values.size())
        return {};
    return std::string(col.values[static_cast<std::size_t>(v)]);
}

// " " when the field is set, "-" when not.
template <class Model, class More>
[[nodiscard]] std::string HGridTickText(const HGridColumn<Model, More>& col, const Model& m,
                                        int record, int) {
    return std::string(m.GetField(record, col.field) > 0 ? kTickedText : kUntickedText);
}

// The field's text without its padding.
template <class Model, class More>
[[nodiscard]] std::string HGridFieldText(const HGridColumn<Model, More>& col, const Model& m,
                                         int record, int) {
    return HGridCells::Shown(m.GetText(record, col.field));
}

template <class Model, class More>
bool HGridStoreNothing(const HGridColumn<Model, More>&, Model&, int, int, std::string_view) {
    return false;
}

// A list text stores its position.
template <class Model, class More>
bool HGridStoreList(const HGridColumn<Model, More>& col, Model& m, int record, int,
                    std::string_view text) {
    const int v = HGridCells::FindValue(col.values, text);
    if (v < 0)
        return false;
    m.SetField(record, col.field, v);
    return true;
}

// A tick text, or one of the column's two setting texts.
template <class Model, class More>
bool HGridStoreTick(const HGridColumn<Model, More>& col, Model& m, int record, int,
                    std::string_view text) {
    int v = HGridCells::FindValue(col.values, text);
    if (v < 0 || v > 1)
        v = HGridCells::TickValue(text);
    if (v < 0)
        return false;
    m.SetField(record, col.toggleField >= 0 ? col.toggleField : col.field, v);
    return true;
}

// A text that the column's key filter takes whole, of the column's length,
// upper-cased as typed.
template <class Model, class More>
bool HGridStoreText(const HGridColumn<Model, More>& col, Model& m, int record, int,
                    std::string_view text) {
    if (text.size() > col.maxLength || text.size() < col.minLength ||
        !HFilterTakesText(col.keys, text))
        return false;
    std::string typed;
    for (std::size_t i = 0; i < text.size(); ++i)
        typed +=
            static_cast<char>(HFilterKey(col.keys, i, static_cast<unsigned char>(text[i])).key);
    m.SetText(record, col.field, typed);
    return true;
}
