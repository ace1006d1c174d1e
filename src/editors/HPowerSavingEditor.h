#pragma once
// The Power Saving editor (Common > Power Saving, resource 134): ten combos
// and three edits over the Power Saving group, nothing beyond the common
// binding.
#include "HCommonGroups.h"
#include "HGroupEditor.h"

#include <span>

namespace HPowerSaving {
inline constexpr std::uint32_t kDialogId = 134;
inline constexpr std::string_view kCaption = "Power Saving";
inline constexpr std::uint32_t kMenuCommand = 32775;
// The items in dialog order.
[[nodiscard]] std::span<const HEditorItem> Items();
} // namespace HPowerSaving

namespace HPowerSavingDetail {
// Holds the group so it exists before the editor that binds to it.
struct GroupHolder {
    HPowerSavingGroup group;
};
} // namespace HPowerSavingDetail

class HPowerSavingEditor : private HPowerSavingDetail::GroupHolder, public HGroupEditor {
public:
    explicit HPowerSavingEditor(const HEditorContext& context);

    [[nodiscard]] HPowerSavingGroup& PowerSaving() { return group; }
};
