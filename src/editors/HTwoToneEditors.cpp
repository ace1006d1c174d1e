#include "HTwoToneEditors.h"

#include <cstdio>

using namespace HTwoToneItems;

namespace HTwoToneItems {

// clang-format off
const std::array<HToneGroup, kToneGroups> kStandardGroups = {{
    {"None", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"MOTOROLA-1", {330.5, 349.0, 368.5, 389.0, 410.8, 433.7, 457.9, 483.5, 510.5, 539.0, 0}},
    {"MOTOROLA-2", {569.1, 600.9, 634.5, 669.9, 707.3, 746.8, 788.5, 832.5, 879.0, 928.1, 0}},
    {"MOTOROLA-3", {1092.4, 288.5, 296.5, 304.7, 313.0, 953.7, 979.9, 1006.9, 1034.7, 1063.2, 0}},
    {"MOTOROLA-4", {321.7, 339.6, 358.6, 378.6, 399.8, 422.1, 445.7, 470.5, 496.8, 524.6, 0}},
    {"MOTOROLA-5", {553.9, 584.8, 617.4, 651.9, 688.3, 726.8, 767.4, 810.2, 855.5, 903.2, 0}},
    {"MOTOROLA-6", {1122.5, 1153.4, 1185.2, 1217.8, 1251.4, 1285.8, 1321.2, 1357.6, 1395.0, 1433.4, 0}},
    {"MOTOROLA-10", {1472.9, 1513.5, 1555.2, 1598.0, 1642.0, 1687.2, 1733.7, 1781.5, 1830.5, 1881.0, 0}},
    {"MOTOROLA-11", {1930.2, 1989.0, 2043.8, 2094.5, 2155.6, 2212.2, 2271.7, 2334.6, 2401.0, 2468.2, 0}},
    {"GE/99 GRP-A", {682.5, 592.5, 757.5, 802.5, 847.5, 892.5, 937.5, 547.5, 727.5, 637.5, 742.5}},
    {"GE/99 GRP-B", {652.5, 607.5, 787.5, 832.5, 877.5, 922.5, 967.5, 517.5, 562.5, 697.5, 742.5}},
    {"GE/99 GRP-C", {667.5, 712.5, 772.5, 817.5, 862.5, 907.5, 952.5, 532.5, 577.5, 622.5, 742.5}},
    {"REACH GRP-A", {1980.0, 2704.0, 2612.0, 2523.0, 2437.0, 2354.0, 2274.0, 2196.0, 2121.0, 2049.0, 0}},
    {"REACH GRP-B", {1400.0, 1912.0, 1847.0, 1784.0, 1723.0, 1664.0, 1606.0, 1553.0, 1500.0, 1449.0, 0}},
    {"REACH GRP-C", {1177.0, 1608.0, 1553.0, 1500.0, 1449.0, 1400.0, 1352.0, 1306.0, 1261.0, 1219.0, 0}},
    {"REACH GRP-D", {832.0, 1137.0, 1093.0, 1061.0, 1025.0, 990.0, 956.0, 923.0, 892.0, 862.0, 0}},
    {"REACH GRP-E", {588.0, 804.0, 776.0, 750.0, 725.0, 700.0, 676.0, 653.0, 631.0, 609.0, 0}},
}};
// clang-format on

} // namespace HTwoToneItems

static_assert(kToneTable[kItemToneGroup].kind == HItemKind::Combo);
static_assert(kToneTable[kItemFirstGroupBox].kind == HItemKind::Static);
static_assert(kToneTable[kItemCopy].kind == HItemKind::Button);

HTwoToneTableEditor::HTwoToneTableEditor(std::uint32_t dialogId, std::string_view caption,
                                         std::span<const HEditorItem> items,
                                         const HEditorContext& context)
    : HGroupEditor(dialogId, caption, items, context, group) {}

void HTwoToneTableEditor::AcquireData() {
    if (Context().image != nullptr)
        group.Load(*Context().image);
    m_loaded = group;
}

void HTwoToneTableEditor::InitCombo() {
    ComboState(kItemToneGroup).Fill(kToneGroupList);
    ComboState(kItemBandwidth).Fill(kBandwidthList);
}

void HTwoToneTableEditor::InitEdit() {
    for (std::size_t i = 0; i < kFrequencyBoxes; ++i)
        Edit(i).Setup(Item(i).edit);
}

void HTwoToneTableEditor::InitStatic() {
    ShowGroup();
}

void HTwoToneTableEditor::SetDataCombo() {
    ComboState(kItemToneGroup).SelectByValue(0);
    // A bandwidth below 5 has no entry: it is shown with none and kept.
    ComboState(kItemBandwidth).SelectByValue(group.Bandwidth() - kBandwidthOffset);
    ShowGroup();
}

void HTwoToneTableEditor::SetDataEdit() {
    for (std::size_t i = 0; i < kFrequencyBoxes; ++i) {
        const double hz = group.Frequency(static_cast<int>(i));
        if (hz == 0.0)
            Edit(i).SetText("");
        else
            Edit(i).SetValue(hz);
    }
}

void HTwoToneTableEditor::SaveDataCombo() {
    group.SetBandwidth(Combo(kItemBandwidth).GetSelectedValue() + kBandwidthOffset);
}

void HTwoToneTableEditor::SaveDataEdit() {
    // A box left as it was keeps its stored value (no tone stays 0xFFFF or 0).
    for (std::size_t i = 0; i < kFrequencyBoxes; ++i)
        if (const double hz = Edit(i).GetValue(); hz != group.Frequency(static_cast<int>(i)))
            group.SetFrequency(static_cast<int>(i), hz);
}

int HTwoToneTableEditor::StoreData() {
    // Unchanged, the table stays as the image holds it: compiling would put
    // stored values and windows of its own over the radio's (they are
    // compiled before a download anyway).
    if (Context().image != nullptr && !group.HoldsSameAs(m_loaded))
        group.Store(*Context().image);
    return 0;
}

void HTwoToneTableEditor::OnComboChanged(std::size_t item) {
    if (item == kItemToneGroup)
        ShowGroup();
}

// The group's frequencies in the read-only boxes ("%6.1f", blank for 0);
// Copy only for a group other than "None".
void HTwoToneTableEditor::ShowGroup() {
    const std::int32_t group = Combo(kItemToneGroup).GetSelectedValue();
    const bool known = group >= 0 && group < static_cast<std::int32_t>(kToneGroups);
    for (std::size_t k = 0; k < kGroupBoxes; ++k) {
        const double hz = known ? kStandardGroups[static_cast<std::size_t>(group)].hz[k] : 0.0;
        char text[16] = "";
        if (hz != 0.0)
            std::snprintf(text, sizeof text, "%6.1f", hz);
        SetStaticText(kItemFirstGroupBox + k, text);
    }
    EnableItem(kItemCopy, known && group != 0);
}

// Each non-zero frequency of the group into boxes 0-10; a zero leaves its box.
void HTwoToneTableEditor::OnButtonPressed(std::size_t item) {
    if (item != kItemCopy)
        return;
    const std::int32_t group = Combo(kItemToneGroup).GetSelectedValue();
    if (group <= 0 || group >= static_cast<std::int32_t>(kToneGroups))
        return;
    for (std::size_t k = 0; k < kGroupBoxes; ++k) {
        const double hz = kStandardGroups[static_cast<std::size_t>(group)].hz[k];
        if (hz != 0.0)
            Edit(k).SetValue(hz);
    }
}

namespace HTwoToneSteps {

void CompileToneTable(HMemoryImage& image) {
    HTwoToneTable table;
    table.Load(image);
    table.Store(image);
}

void ResetToneTable(HMemoryImage& image) {
    HTwoToneTable table;
    table.SetDefaults();
    table.Store(image);
}

} // namespace HTwoToneSteps
