#include "HValueSelection.h"

#include <algorithm>

void HValueSelection::Fill(const HChoiceList& list) {
    m_list = &list;
    m_items = HChoiceItems(list);
    m_selected = -1;
    ++m_revision;
}

void HValueSelection::Clear() {
    m_list = nullptr;
    m_items.clear();
    m_selected = -1;
    ++m_revision;
}

void HValueSelection::AddItem(std::string_view text, std::int32_t code) {
    m_items.push_back({std::string(text), code});
    ++m_revision;
}

std::size_t HValueSelection::RemoveCode(std::int32_t code) {
    std::size_t removed = 0;
    for (std::size_t i = m_items.size(); i-- > 0;) {
        if (m_items[i].code != code)
            continue;
        const int index = static_cast<int>(i);
        if (m_selected == index) {
            // Keep the value: removing a choice must not change what is stored.
            m_lastCode = code;
            m_selected = -1;
        } else if (m_selected > index) {
            --m_selected;
        }
        m_items.erase(m_items.begin() + std::ptrdiff_t(i));
        ++removed;
    }
    if (removed != 0)
        ++m_revision;
    return removed;
}

void HValueSelection::SelectByValue(std::int32_t code) {
    SelectByValue(code, m_fallback);
}

void HValueSelection::SelectByValue(std::int32_t code, std::int32_t fallback) {
    m_fallback = fallback;
    m_lastCode = code;
    m_selected = IndexOfCode(code);
    if (m_selected >= 0)
        return;
    m_selected = IndexOfCode(fallback);
    if (m_selected >= 0)
        m_lastCode = fallback;
}

bool HValueSelection::SelectIndex(int index) {
    if (index < -1 || index >= static_cast<int>(m_items.size()))
        return false;
    if (index >= 0)
        m_lastCode = m_items[std::size_t(index)].code;
    m_selected = index;
    return true;
}

std::int32_t HValueSelection::GetSelectedValue() const {
    if (m_selected >= 0)
        return m_items[std::size_t(m_selected)].code;
    return m_lastCode;
}

std::string HValueSelection::SelectedText() const {
    if (m_selected >= 0)
        return m_items[std::size_t(m_selected)].text;
    return {};
}

int HValueSelection::IndexOfCode(std::int32_t code) const {
    const auto it = std::find_if(m_items.begin(), m_items.end(),
                                 [code](const HChoiceItem& item) { return item.code == code; });
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}
