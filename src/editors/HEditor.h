#pragma once
// An editor as a description: its items in dialog order, each bound to a value
// of its settings group with a choice list or an edit set-up, plus the hooks
// that carry its own rules. One front-end dialog renders any editor: it builds
// a control per item, runs Open(), mirrors the item states into its controls,
// reports each user change back, and on OK runs Confirm(). The text export and
// the printed report read the same items (ReportItems, ReportLines).
//
// Hook order, fixed for every editor:
//   Open():    AcquireData, InitCombo, InitEdit, InitStatic, InitGrid, InitList,
//              SetDataCombo, SetDataEdit, SetDataGrid, SetDataList
//   Confirm(): SaveDataCombo, SaveDataEdit, SaveDataGrid, SaveDataList, StoreData
// Cancel runs nothing: the image is written only by StoreData.
//
// Rendering contract for a front end:
//   - one control per item in Items() order, labelled Item(i).label; Static
//     items show StaticText(i);
//   - after Open() and after every User*() call, mirror every item: IsVisible,
//     IsEnabled, the combo's Items() when ItemsRevision() moved, its
//     SelectedIndex() (-1: show no selection), Edit(i).Text(), IsChecked(i);
//   - a combo pick calls UserSelect(i, index), a check UserCheck(i, state), a
//     button UserPress(i);
//   - a grid item shows Grid(i), a grid core (HGridSource) the editor owns:
//     its cells are edited through it, and OK's hooks store what it holds;
//   - an edit asks Edit(i).OnChar(ch, ctrl) for every typed character (Insert,
//     Drop, Pass; Restore and Commit have already updated Text()) and
//     Edit(i).HasRoom(length) before inserting; it calls UserEdit(i, text) on
//     Enter and when it loses focus; Enter never closes the dialog;
//   - OK (with the focus on the OK button) first commits the edit being typed
//     in, then calls Confirm(); a non-zero result keeps the dialog open;
//   - F1 opens help at HelpContextId(focused item, or none);
//   - questions and messages of the rules go to the HEditorPrompt set with
//     SetPrompt().
// A property page is one editor; a sheet holds several and confirms each page.
#include "HChoiceList.h"
#include "HEditRules.h"
#include "HEditorPrompt.h"
#include "HGridSource.h"
#include "HMemoryImage.h"
#include "HValueSelection.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class HItemKind : std::uint8_t {
    Combo,  // choice-list combo box
    Edit,   // validated edit
    Check,  // check box; its two texts (code 0 and 1) come from its choice list
    Static, // a text the editor sets (InitStatic); not bound
    Grid,   // a grid of records (Grid()); its cells are settings "section.N.column"
    Button, // a push button; its rule is the editor's OnButtonPressed
};

// Who may see and change an item. Applied before the Init hooks; a hook may
// hide or disable more.
enum class HItemAccess : std::uint8_t {
    Open,        // everyone
    RaisedLevel, // disabled (with its label) at the ordinary access level
    RaisedOnly,  // hidden at the ordinary access level
};

struct HEditorItem {
    HItemKind kind = HItemKind::Static;
    std::string_view label;  // with its '&' accelerator
    std::int32_t value = -1; // index of the bound group value; -1 none
    const HChoiceList* choices = nullptr;
    HEditSetup edit{};
    HItemAccess access = HItemAccess::Open;
    std::uint32_t helpId = 0; // the control's help context id; 0 none
    // The setting's stable name inside its editor's section (the key is
    // "section.name"): the label without '&', lower case, every run of other
    // characters one '_'. Empty: not a setting of its own.
    std::string_view name;

    [[nodiscard]] constexpr HEditorItem Named(std::string_view settingName) const {
        HEditorItem copy = *this;
        copy.name = settingName;
        return copy;
    }
};

[[nodiscard]] constexpr HEditorItem HComboItem(std::string_view label, std::int32_t value,
                                               const HChoiceList& choices,
                                               HItemAccess access = HItemAccess::Open) {
    HEditorItem item;
    item.kind = HItemKind::Combo;
    item.label = label;
    item.value = value;
    item.choices = &choices;
    item.access = access;
    return item;
}

[[nodiscard]] constexpr HEditorItem HEditItem(std::string_view label, std::int32_t value,
                                              const HEditSetup& setup,
                                              HItemAccess access = HItemAccess::Open) {
    HEditorItem item;
    item.kind = HItemKind::Edit;
    item.label = label;
    item.value = value;
    item.edit = setup;
    item.access = access;
    return item;
}

[[nodiscard]] constexpr HEditorItem HCheckItem(std::string_view label, std::int32_t value,
                                               const HChoiceList& texts,
                                               HItemAccess access = HItemAccess::Open) {
    HEditorItem item = HComboItem(label, value, texts, access);
    item.kind = HItemKind::Check;
    return item;
}

[[nodiscard]] constexpr HEditorItem HStaticItem(std::string_view label) {
    HEditorItem item;
    item.kind = HItemKind::Static;
    item.label = label;
    return item;
}

// A grid of records; the label is the grid's caption.
[[nodiscard]] constexpr HEditorItem HGridItem(std::string_view label) {
    HEditorItem item;
    item.kind = HItemKind::Grid;
    item.label = label;
    return item;
}

[[nodiscard]] constexpr HEditorItem HButtonItem(std::string_view label) {
    HEditorItem item;
    item.kind = HItemKind::Button;
    item.label = label;
    return item;
}

// For static_assert over an editor's table: every bound value exists, combos
// and checks have a sound list (checks a two-entry one), edits a sound set-up.
[[nodiscard]] constexpr bool HEditorItemsAreSound(std::span<const HEditorItem> items,
                                                  std::size_t valueCount) {
    for (const HEditorItem& item : items) {
        const bool unbound = item.kind == HItemKind::Static || item.kind == HItemKind::Grid ||
                             item.kind == HItemKind::Button;
        if (!unbound && (item.value < 0 || std::size_t(item.value) >= valueCount))
            return false;
        switch (item.kind) {
        case HItemKind::Combo:
            if (item.choices == nullptr || !HChoiceListIsSound(*item.choices))
                return false;
            break;
        case HItemKind::Check:
            if (item.choices == nullptr || !HChoiceListIsSound(*item.choices) ||
                std::uint32_t(item.choices->kind) > 5)
                return false;
            break;
        case HItemKind::Edit:
            if (!HEditSetupIsSound(item.edit))
                return false;
            break;
        case HItemKind::Static:
        case HItemKind::Grid:
        case HItemKind::Button:
            if (item.value != -1 || !item.name.empty())
                return false;
            break;
        }
    }
    return true;
}

struct HEditorContext {
    HMemoryImage* image = nullptr; // the document's image; null: defaults only
    int accessLevel = 0;           // 0 ordinary, 1 and 2 raised
};

// A grid as the text export and the report take it: the headers of its shown
// columns and, record by record, the texts its cells show (a tick cell "v"
// or "-", as the channel list writes them).
struct HReportTable {
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
    // Leading columns that name a record rather than hold one of its
    // settings ("No.", a tone standard's name); printed bands repeat them.
    std::size_t keyColumns = 0;
};

// One item as the text export and the report take it.
struct HReportItem {
    std::string caption; // the label without its '&' marks
    std::string value;   // the text the control shows; may be empty
    // A grid item: its records (the value is empty).
    std::optional<HReportTable> table;
};

// The help context of the dialogs: a control's own id, else this base plus
// the dialog's resource id.
inline constexpr std::uint32_t kDialogHelpBase = 0x20000;

class HEditor {
public:
    HEditor(std::uint32_t dialogId, std::string_view caption, std::span<const HEditorItem> items,
            const HEditorContext& context);
    HEditor(const HEditor&) = delete;
    HEditor& operator=(const HEditor&) = delete;
    virtual ~HEditor() = default;

    [[nodiscard]] std::uint32_t DialogId() const { return m_dialogId; }
    [[nodiscard]] const std::string& Caption() const { return m_caption; }
    [[nodiscard]] const HEditorContext& Context() const { return m_context; }

    [[nodiscard]] std::span<const HEditorItem> Items() const { return m_items; }
    [[nodiscard]] std::size_t ItemCount() const { return m_items.size(); }
    [[nodiscard]] const HEditorItem& Item(std::size_t i) const { return m_items[i]; }
    // Index of the first item with this label (accelerators included), or npos.
    [[nodiscard]] std::size_t FindItem(std::string_view label) const;

    // Item state, as the front end mirrors it. Indexes must be < ItemCount().
    [[nodiscard]] bool IsVisible(std::size_t i) const { return m_state[i].visible; }
    [[nodiscard]] bool IsEnabled(std::size_t i) const { return m_state[i].enabled; }
    [[nodiscard]] const HValueSelection& Combo(std::size_t i) const { return m_state[i].combo; }
    [[nodiscard]] HEditRules& Edit(std::size_t i);
    [[nodiscard]] const HEditRules& Edit(std::size_t i) const;
    [[nodiscard]] bool IsChecked(std::size_t i) const { return m_state[i].checked; }
    [[nodiscard]] const std::string& StaticText(std::size_t i) const { return m_state[i].text; }

    // The life cycle as the front end runs it.
    void Open();
    // Non-zero: the editor's own check failed, nothing was stored, stay open.
    [[nodiscard]] int Confirm();

    // User changes, reported by the front end; each runs the item's rule, which
    // may ask through the prompt and change any item. Re-read every item's
    // state afterwards. False when the change was refused (index out of range,
    // item disabled or of another kind).
    bool UserSelect(std::size_t item, int index);
    bool UserCheck(std::size_t item, bool checked);
    // Enter or leaving the edit: the typed text is committed, or refused
    // (false) when the edit does not take it (HEditRules::Refusal): the edit
    // shows the text it held before, and the prompt is told what it takes.
    bool UserEdit(std::size_t item, std::string_view typedText);
    bool UserPress(std::size_t item);

    // The grid core a grid item shows; null for any other item.
    [[nodiscard]] virtual HGridSource* Grid(std::size_t /*item*/) { return nullptr; }
    [[nodiscard]] const HGridSource* Grid(std::size_t item) const {
        return const_cast<HEditor*>(this)->Grid(item);
    }

    void SetPrompt(HEditorPrompt* prompt) { m_prompt = prompt; }

    // F1 on an item (or on the dialog itself when none).
    [[nodiscard]] std::uint32_t HelpContextId(std::optional<std::size_t> item) const;
    // What a sheet's status bar shows while item i has the focus ("first
    // pane\nsecond pane"); empty: nothing.
    [[nodiscard]] virtual std::string FocusPrompt(std::size_t /*item*/) const { return {}; }

    // "%5s%-23s:%-20s" of " ", name and value.
    [[nodiscard]] static std::string FormatItemLine(std::string_view name, std::string_view value);
    // A table's report lines no wider than this where its columns allow.
    static constexpr std::size_t kReportLineWidth = 80;
    // A table as report lines, indented as item lines are: the columns side
    // by side under their headers, two blanks apart, in bands that keep to
    // `width`; every band repeats the key columns, and an empty line parts
    // the bands.
    [[nodiscard]] static std::vector<std::string>
    FormatTableLines(const HReportTable& table, std::size_t width = kReportLineWidth);
    // A grid's shown columns and records as the reports take them.
    [[nodiscard]] static HReportTable ReportTableOf(const HGridSource& grid);
    // A label without its accelerator marks ("&&" stays one '&').
    [[nodiscard]] static std::string CaptionOf(std::string_view label);

    // The text an item's control shows now: the selected entry, the edit's
    // text, the check's text for its state, a static's text.
    [[nodiscard]] virtual std::string ShownText(std::size_t i) const;
    // Items the export and the report list: by default every visible bound
    // item and every visible grid, the grid as its table.
    [[nodiscard]] virtual bool IsReported(std::size_t i) const;
    [[nodiscard]] std::vector<HReportItem> ReportItems() const;
    [[nodiscard]] std::vector<std::string> ReportLines() const;

    // The hooks. The base ones do nothing; StoreData returns 0.
    virtual void InitCombo() {}
    virtual void InitEdit() {}
    virtual void InitStatic() {}
    virtual void InitGrid() {}
    virtual void InitList() {}
    virtual void SetDataCombo() {}
    virtual void SetDataEdit() {}
    virtual void SetDataGrid() {}
    virtual void SetDataList() {}
    virtual void SaveDataCombo() {}
    virtual void SaveDataEdit() {}
    virtual void SaveDataGrid() {}
    virtual void SaveDataList() {}
    virtual void AcquireData() {}
    [[nodiscard]] virtual int StoreData() { return 0; }

protected:
    // The rules of a change, run after the new state is in the item.
    virtual void OnComboChanged(std::size_t item) {}
    virtual void OnCheckChanged(std::size_t item) {}
    virtual void OnEditChanged(std::size_t item) {}
    virtual void OnButtonPressed(std::size_t item) {}

    // Rule helpers for subclasses.
    void ShowItem(std::size_t i, bool visible) { m_state[i].visible = visible; }
    void EnableItem(std::size_t i, bool enabled) { m_state[i].enabled = enabled; }
    [[nodiscard]] HValueSelection& ComboState(std::size_t i) { return m_state[i].combo; }
    void SetChecked(std::size_t i, bool checked) { m_state[i].checked = checked; }
    void SetStaticText(std::size_t i, std::string_view text) { m_state[i].text = text; }
    // Yes/No through the prompt; No when there is none.
    [[nodiscard]] bool Ask(std::string_view question);
    void Tell(std::string_view message);
    // A pick that changes the radio's model: true when `picked` differs from
    // `current` and the user says Yes to `question`; on No the combo shows
    // `current` again.
    [[nodiscard]] bool ConfirmPick(std::size_t item, std::int32_t picked, std::int32_t current,
                                   std::string_view question);

private:
    struct ItemState {
        bool visible = true;
        bool enabled = true;
        bool checked = false;
        HValueSelection combo;
        std::unique_ptr<HEditRules> edit; // every item has one; only edits use it
        std::string text;
    };

    void ApplyAccess();

    std::uint32_t m_dialogId;
    std::string m_caption;
    std::span<const HEditorItem> m_items;
    HEditorContext m_context;
    HEditorPrompt* m_prompt = nullptr;
    std::vector<ItemState> m_state;
};
