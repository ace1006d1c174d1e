#include "HModelEditor.h"

#include "HCommonItems.h"

#include "HLogPrint.h"
#include "HStringTable.h"

#include <array>

namespace {

// The Hardware dialog's lists for the same fields.
using HCommonItems::kBandList;
using HCommonItems::kLcdHandheldList;
using HCommonItems::kLcdMobileList;
using HCommonItems::kProductTypeList;

constexpr std::array kItems{
    HComboItem("&Freq. Band", HHardwareGroup::kRowBand, kBandList),
    HComboItem("&Product Type", HHardwareGroup::kRowProductType, kProductTypeList),
    HComboItem("&LCD Type", HHardwareGroup::kRowDisplayHandheld, kLcdHandheldList),
    HComboItem("&LCD Type", HHardwareGroup::kRowDisplayMobile, kLcdMobileList),
};

static_assert(HEditorItemsAreSound(kItems, 25));
static_assert(kItems[HModel::kItemBand].value == HHardwareGroup::kRowBand);
static_assert(kItems[HModel::kItemProductType].value == HHardwareGroup::kRowProductType);
static_assert(kItems[HModel::kItemLcdHandheld].value == HHardwareGroup::kRowDisplayHandheld);
static_assert(kItems[HModel::kItemLcdMobile].value == HHardwareGroup::kRowDisplayMobile);

} // namespace

namespace HModel {
std::span<const HEditorItem> Items() {
    return kItems;
}
} // namespace HModel

HModelEditor::HModelEditor(const HEditorContext& context)
    : HGroupEditor(HModel::kDialogId, HModel::kCaption, kItems, context, group) {}

void HModelEditor::SetDataCombo() {
    HGroupEditor::SetDataCombo();
    ShowDisplayTypeLists();
}

void HModelEditor::ShowDisplayTypeLists() {
    const bool handheld = group.GetValue(HHardwareGroup::kRowProductType) != 0;
    ShowItem(HModel::kItemLcdHandheld, handheld);
    ShowItem(HModel::kItemLcdMobile, !handheld);
}

HModelChoice HModelEditor::Choice() const {
    HModelChoice choice;
    choice.band = Combo(HModel::kItemBand).GetSelectedValue();
    const bool handheld = Combo(HModel::kItemProductType).GetSelectedValue() != 0;
    choice.productType = handheld ? 1 : 0;
    choice.lcdType =
        Combo(handheld ? HModel::kItemLcdHandheld : HModel::kItemLcdMobile).GetSelectedValue();
    return choice;
}

void HModelEditor::OnComboChanged(std::size_t item) {
    const auto row = static_cast<std::size_t>(Item(item).value);
    const std::int32_t picked = Combo(item).GetSelectedValue();
    const std::int32_t current = group.GetValue(row);
    switch (item) {
    case HModel::kItemBand:
        if (!ConfirmPick(item, picked, current, HStringTable::Get(HStringTable::kChangeBand)))
            return;
        m_changed = true;
        SaveDataCombo();
        SetDataCombo();
        break;
    case HModel::kItemProductType:
        if (!ConfirmPick(item, picked, current,
                         HStringTable::Get(HStringTable::kChangeProductType)))
            return;
        m_changed = true;
        group.SetValue(row, picked);
        ShowDisplayTypeLists();
        break;
    default:
        // Another display type is another model too: without this mark OK
        // would silently keep the old image.
        if (picked != current) {
            group.SetValue(row, picked);
            m_changed = true;
        }
        break;
    }
    HLOG_D3("HCreateNewFile: list %zu now %d, model changed %d", item, picked, m_changed ? 1 : 0);
}

int HModelEditor::StoreData() {
    return 0;
}
