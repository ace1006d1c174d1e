#include "HDtmfEditors.h"

#include <algorithm>

namespace {
namespace I = HDtmfItems;
namespace S = HDtmfMap::Setting;
} // namespace

std::string HDigitCodeOf(std::string_view typed, std::string_view symbols, std::size_t max) {
    std::string out;
    for (char c : typed) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (symbols.find(c) != std::string_view::npos && out.size() < max)
            out.push_back(c);
    }
    return out;
}

// ------------------------------------------------------------------ DTMF Setting

HDtmfSettingEditor::HDtmfSettingEditor(std::uint32_t dialogId, std::string_view caption,
                                       std::span<const HEditorItem> items,
                                       const HEditorContext& context)
    : HGroupEditor(dialogId, caption, items, context, group) {}

void HDtmfSettingEditor::SetDataCombo() {
    HGroupEditor::SetDataCombo();
    if (group.GetValue(S::kPauseCodeOn) == 0)
        ComboState(I::SettingItem::kPauseCode).SelectByValue(I::kPauseOff);
    RefillCodeLists();
}

void HDtmfSettingEditor::SaveDataCombo() {
    const std::int32_t pauseBefore = group.GetValue(S::kPauseCode);
    HGroupEditor::SaveDataCombo();
    if (Combo(I::SettingItem::kPauseCode).GetSelectedValue() == I::kPauseOff) {
        group.SetValue(S::kPauseCodeOn, 0);
        group.SetValue(S::kPauseCode, pauseBefore);
    } else {
        group.SetValue(S::kPauseCodeOn, 1);
    }
}

void HDtmfSettingEditor::OnComboChanged(std::size_t item) {
    if (std::ranges::find(I::SettingItem::kExclusive, item) != I::SettingItem::kExclusive.end())
        RefillCodeLists();
}

std::int32_t HDtmfSettingEditor::HeldCode(std::size_t item) const {
    const std::int32_t code = Combo(item).GetSelectedValue();
    return code == I::kPauseOff ? -1 : code;
}

void HDtmfSettingEditor::RefillCodeLists() {
    std::array<std::int32_t, I::SettingItem::kExclusive.size()> held{};
    for (std::size_t k = 0; k < held.size(); ++k)
        held[k] = HeldCode(I::SettingItem::kExclusive[k]);
    for (std::size_t k = 0; k < held.size(); ++k) {
        const std::size_t item = I::SettingItem::kExclusive[k];
        HValueSelection& combo = ComboState(item);
        const std::int32_t own = combo.GetSelectedValue();
        combo.Fill(*Item(item).choices);
        for (std::size_t j = 0; j < held.size(); ++j)
            // A code two lists already share (an image made elsewhere) stays
            // in both until one of them is changed.
            if (j != k && held[j] >= 0 && held[j] != own)
                combo.RemoveCode(held[j]);
        combo.SelectByValue(own);
    }
}

// ------------------------------------------------------------------ digit codes

template <class G> void HDigitCodeEditor<G>::SetDataEdit() {
    HGroupEditor::SetDataEdit();
    for (std::size_t i = 0; i < ItemCount(); ++i) {
        const HEditorItem& item = Item(i);
        if (item.kind != HItemKind::Edit || item.value < 1)
            continue;
        const auto code = std::size_t(item.value);
        Edit(i).SetText(
            HCountedCode::Shown(this->group.GetText(code), this->group.GetValue(code - 1)));
    }
}

template <class G> void HDigitCodeEditor<G>::SaveDataEdit() {
    for (std::size_t i = 0; i < ItemCount(); ++i) {
        const HEditorItem& item = Item(i);
        if (item.kind != HItemKind::Edit || item.value < 1)
            continue;
        const auto code = std::size_t(item.value);
        const std::string digits =
            HDigitCodeOf(Edit(i).GetText(), HFieldCoding::kDigitSymbols, HDtmfMap::kCodeDigits);
        // A code left as it was keeps every stored digit and its count.
        if (digits ==
            HCountedCode::Shown(this->group.GetText(code), this->group.GetValue(code - 1)))
            continue;
        // The digits beyond the new code get the pad value, as every digit
        // string is written: none of an older, longer code stays behind.
        this->group.SetText(code, digits);
        this->group.SetValue(code - 1, std::int32_t(digits.size()));
    }
}

template <class G> void HDigitCodeEditor<G>::OnEditChanged(std::size_t item) {
    Edit(item).SetTypedText(
        HDigitCodeOf(Edit(item).Text(), HFieldCoding::kDigitSymbols, HDtmfMap::kCodeDigits));
}

template class HDigitCodeEditor<HDtmfAniGroup>;
template class HDigitCodeEditor<HDtmfCodeGroup>;
