#include "HFiveToneEditors.h"

#include "HHardwareGroup.h"

HFiveToneCommon1Editor::HFiveToneCommon1Editor(std::uint32_t dialogId, std::string_view caption,
                                               std::span<const HEditorItem> items,
                                               const HEditorContext& context)
    : HGroupEditor(dialogId, caption, items, context, group) {}

void HFiveToneCommon1Editor::AcquireData() {
    HGroupEditor::AcquireData();
    // Without an image the editor shows defaults, those of a set with a display.
    if (Context().image == nullptr)
        return;
    HHardwareGroup hardware;
    hardware.Load(*Context().image);
    m_display = hardware.GetValue(HHardwareGroup::kRowDisplayMobile) != 0;
}

void HFiveToneCommon1Editor::InitCombo() {
    HGroupEditor::InitCombo();
    const std::size_t first = HFiveToneItems::kFirstDisplayItem;
    for (std::size_t i = first; i < first + HFiveToneItems::kDisplayItems && i < ItemCount(); ++i)
        EnableItem(i, m_display);
}

namespace HFiveToneSteps {

void ResetToneTable(HMemoryImage& image) {
    HFiveToneTable table;
    table.SetDefaults();
    table.Store(image);
}

void CompileToneTable(HMemoryImage& image) {
    HFiveToneTable table;
    table.Load(image);
    table.Store(image);
}

} // namespace HFiveToneSteps
