#pragma once
// The selection logic of a choice-list combo box, without the widget: the items
// a combo holds (text and stored code), the selected item, the code last set
// and the fallback code. A widget wraps one of these and only mirrors it.
//
// The rule that matters: a stored code that no item offers is remembered and
// shown with no selection, and GetSelectedValue() gives it back unchanged, so
// opening and confirming an editor never rewrites a value the list cannot show.
#include "HChoiceList.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class HValueSelection {
public:
    static constexpr std::int32_t kDefaultFallback = 255;

    // Clears the items and adds those of the list's kind. Nothing is selected.
    void Fill(const HChoiceList& list);
    // Clears every item (the remembered codes stay).
    void Clear();
    // Adds one item at the end, for lists an editor builds at run time.
    void AddItem(std::string_view text, std::int32_t code);
    // Removes every item with this code; returns how many went. A removed
    // selected item leaves no selection, with its code still remembered.
    std::size_t RemoveCode(std::int32_t code);

    // Remembers `code` and selects the first item with it; failing that the
    // first item with the fallback code (which is then remembered); failing
    // that no item.
    void SelectByValue(std::int32_t code);
    void SelectByValue(std::int32_t code, std::int32_t fallback);

    // The user picked an item (or -1 for none). Returns false, changing
    // nothing, for an index out of range.
    bool SelectIndex(int index);

    // Selected item's code, or with no selection the code last remembered.
    [[nodiscard]] std::int32_t GetSelectedValue() const;
    [[nodiscard]] int SelectedIndex() const { return m_selected; }
    // Selected item's text; empty with no selection.
    [[nodiscard]] std::string SelectedText() const;
    // Index of the first item with this code, or -1.
    [[nodiscard]] int IndexOfCode(std::int32_t code) const;

    [[nodiscard]] std::span<const HChoiceItem> Items() const { return m_items; }
    [[nodiscard]] std::size_t Count() const { return m_items.size(); }
    [[nodiscard]] std::int32_t LastCode() const { return m_lastCode; }
    [[nodiscard]] std::int32_t Fallback() const { return m_fallback; }
    [[nodiscard]] const HChoiceList* List() const { return m_list; }
    // Raised whenever the item list changes, so a widget knows to rebuild its
    // entries rather than only move its selection.
    [[nodiscard]] std::uint32_t ItemsRevision() const { return m_revision; }

private:
    const HChoiceList* m_list = nullptr;
    std::vector<HChoiceItem> m_items;
    int m_selected = -1;
    std::int32_t m_lastCode = 0;
    std::int32_t m_fallback = kDefaultFallback;
    std::uint32_t m_revision = 0;
};
