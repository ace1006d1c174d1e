#include "HSheetStatus.h"

#include "HStringTable.h"

HStatusPanes HSplitStatusText(std::string_view text) {
    const std::size_t lf = text.find('\n');
    if (lf == std::string_view::npos)
        return {std::string(text), std::string()};
    return {std::string(text.substr(0, lf)), std::string(text.substr(lf + 1))};
}

HStatusPanes HStatusPanesFor(int stringId) {
    if (stringId == 0)
        return {" ", " "};
    return HSplitStatusText(HStringTable::Get(stringId));
}

int HSheetStatus::Show(int stringId) {
    const int previous = m_id;
    m_id = stringId;
    m_panes = HStatusPanesFor(stringId);
    return previous;
}

void HSheetStatus::ShowText(std::string_view text) {
    m_panes = HSplitStatusText(text);
}
