#include "HGroupEditor.h"

HGroupEditor::HGroupEditor(std::uint32_t dialogId, std::string_view caption,
                           std::span<const HEditorItem> items, const HEditorContext& context,
                           HSettingsGroup& group)
    : HEditor(dialogId, caption, items, context), m_group(group) {}

void HGroupEditor::AcquireData() {
    // With no image (a defaults pass) the group keeps the defaults it was made with.
    if (Context().image != nullptr)
        m_group.Load(*Context().image);
}

void HGroupEditor::InitCombo() {
    for (std::size_t i = 0; i < ItemCount(); ++i)
        if (Item(i).kind == HItemKind::Combo && Item(i).choices != nullptr)
            ComboState(i).Fill(*Item(i).choices);
}

void HGroupEditor::InitEdit() {
    for (std::size_t i = 0; i < ItemCount(); ++i)
        if (Item(i).kind == HItemKind::Edit)
            Edit(i).Setup(Item(i).edit);
}

void HGroupEditor::SetDataCombo() {
    for (std::size_t i = 0; i < ItemCount(); ++i) {
        const HEditorItem& item = Item(i);
        if (item.value < 0)
            continue;
        const std::int32_t v = m_group.GetValue(std::size_t(item.value));
        if (item.kind == HItemKind::Combo)
            ComboState(i).SelectByValue(v);
        else if (item.kind == HItemKind::Check)
            SetChecked(i, v != 0);
    }
}

void HGroupEditor::SetDataEdit() {
    for (std::size_t i = 0; i < ItemCount(); ++i) {
        const HEditorItem& item = Item(i);
        if (item.kind != HItemKind::Edit || item.value < 0)
            continue;
        const auto index = std::size_t(item.value);
        if (m_group.IsText(index))
            Edit(i).SetText(m_group.GetText(index));
        else
            Edit(i).SetValue(ShownNumber(m_group, index));
    }
}

double HGroupEditor::ShownNumber(const HSettingsGroup& group, std::size_t index) {
    const std::int32_t v = group.GetValue(index);
    // A whole 32-bit word (a band limit, the default split) is unsigned: the
    // group keeps its bits in a signed value.
    const HFieldDescriptor* d = group.DescriptorOf(index);
    if (d != nullptr && d->kind == HFieldKind::Number && d->bitWidth == 32 &&
        d->scaleMode == HScaleMode::None)
        return double(static_cast<std::uint32_t>(v));
    return v;
}

void HGroupEditor::SaveDataCombo() {
    for (std::size_t i = 0; i < ItemCount(); ++i) {
        const HEditorItem& item = Item(i);
        if (item.value < 0)
            continue;
        if (item.kind == HItemKind::Combo)
            m_group.SetValue(std::size_t(item.value), Combo(i).GetSelectedValue());
        else if (item.kind == HItemKind::Check)
            m_group.SetValue(std::size_t(item.value), IsChecked(i) ? 1 : 0);
    }
}

void HGroupEditor::SaveDataEdit() {
    for (std::size_t i = 0; i < ItemCount(); ++i) {
        const HEditorItem& item = Item(i);
        if (item.kind != HItemKind::Edit || item.value < 0)
            continue;
        const auto index = std::size_t(item.value);
        if (m_group.IsText(index))
            m_group.SetText(index, Edit(i).GetText());
        else
            m_group.SetValue(index, Edit(i).GetStoredInt());
    }
}

int HGroupEditor::StoreData() {
    if (const int rc = Check(); rc != 0)
        return rc;
    if (Context().image != nullptr)
        m_group.Save(*Context().image);
    return 0;
}
