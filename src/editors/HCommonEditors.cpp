#include "HCommonEditors.h"

#include "HChannelRules.h"
#include "HChannels.h"
#include "HDtmfEditors.h"
#include "HFieldTable.h"
#include "HLogPrint.h"
#include "HNumberText.h"
#include "HStringTable.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace I = HCommonItems;

// ------------------------------------------------------------------ Hardware

namespace {
using HW = HHardwareGroup;
constexpr std::int32_t kStoredHandheld = 2;
} // namespace

HHardwareEditor::HHardwareEditor(std::uint32_t dialogId, std::string_view caption,
                                 std::span<const HEditorItem> items, const HEditorContext& context)
    : HGroupEditor(dialogId, caption, items, context, group) {
    HLOG_D3("HHardwareDialog\tm_pMainMemory = [%p]", static_cast<void*>(context.image));
}

int HHardwareEditor::Band() const {
    return group.GetValue(HW::kRowBand);
}

int HHardwareEditor::ProductType() const {
    return group.GetValue(HW::kRowProductType) != 0 ? 1 : 0;
}

int HHardwareEditor::DisplayType() const {
    return group.GetValue(ProductType() == 1 ? HW::kRowDisplayHandheld : HW::kRowDisplayMobile);
}

void HHardwareEditor::AcquireData() {
    HLOG_D3("[IN]HHardwareDialog::AcquireData");
    HGroupEditor::AcquireData();
    m_loaded = group;
    // Rows 0 and 12 are one bit: the product type says whose it is.
    if (group.GetValue(HW::kRowProductType) != 0)
        group.SetValue(HW::kRowTxPower, group.GetValue(HW::kRowHandheldKey));
    else
        group.SetValue(HW::kRowHandheldKey, group.GetValue(HW::kRowTxPower));
    HLOG_D3("[OUT]HHardwareDialog::AcquireData");
}

void HHardwareEditor::InitStatic() {
    // The limits are 32-bit words the radio reads unsigned.
    const auto mhz = [this](std::size_t row) {
        return HFormatNumber("%.5f", double(static_cast<std::uint32_t>(group.GetValue(row))) / 1e6);
    };
    const std::string low = mhz(HW::kRowBandLow);
    const std::string high = mhz(HW::kRowBandHigh);
    std::string text(Item(I::HardwareItem::kRange).label);
    text.replace(text.find("%s"), 2, low + " - " + high + " MHz");
    SetStaticText(I::HardwareItem::kRange, text);
}

void HHardwareEditor::SetDataCombo() {
    HGroupEditor::SetDataCombo();
    ShowProductTypeItems();
}

void HHardwareEditor::ShowProductTypeItems() {
    const bool handheld = group.GetValue(HW::kRowProductType) != 0;
    ShowItem(I::HardwareItem::kDisplayHandheld, handheld);
    ShowItem(I::HardwareItem::kHandheldKey, handheld);
    ShowItem(I::HardwareItem::kTxPower, !handheld);
    ShowItem(I::HardwareItem::kDisplayMobile, !handheld);
}

void HHardwareEditor::SetBandLimits() {
    const std::int32_t band = group.GetValue(HW::kRowBand);
    // A band the radio does not know leaves the limits as they are.
    if (std::string_view(HChannelRules::BandName(band)).empty())
        return;
    const HChannelRules::BandLimits limits = HChannelRules::BandLimitsHz(band);
    group.SetValue(HW::kRowBandLow, static_cast<std::int32_t>(limits.lowHz));
    group.SetValue(HW::kRowBandHigh, static_cast<std::int32_t>(limits.highHz));
}

void HHardwareEditor::OnComboChanged(std::size_t item) {
    const auto row = static_cast<std::size_t>(Item(item).value);
    const std::int32_t picked = Combo(item).GetSelectedValue();
    const std::int32_t current = group.GetValue(row);
    switch (item) {
    case I::HardwareItem::kBand:
        if (!ConfirmPick(item, picked, current, HStringTable::Get(HStringTable::kChangeBand)))
            return;
        m_changed = true;
        SaveDataCombo();
        SaveDataEdit();
        SetBandLimits();
        SetDataCombo();
        SetDataEdit();
        InitStatic();
        break;
    case I::HardwareItem::kProductType:
        if (!ConfirmPick(item, picked, current,
                         HStringTable::Get(HStringTable::kChangeProductType)))
            return;
        m_changed = true;
        group.SetValue(row, picked);
        ShowProductTypeItems();
        break;
    case I::HardwareItem::kDisplayHandheld:
    case I::HardwareItem::kDisplayMobile:
        // OK makes a new image for the new display, as for a band: asked
        // first, so that a file's channels are not replaced unawares.
        if (!ConfirmPick(item, picked, current,
                         HStringTable::Get(HStringTable::kChangeDisplayType)))
            return;
        group.SetValue(row, picked);
        m_changed = true;
        break;
    default:
        break;
    }
}

int HHardwareEditor::StoreData() {
    if (m_changed)
        return 0; // the document makes the new image
    if (group.GetValue(HW::kRowProductType) == kStoredHandheld)
        group.SetValue(HW::kRowTxPower, group.GetValue(HW::kRowHandheldKey));
    else
        group.SetValue(HW::kRowHandheldKey, group.GetValue(HW::kRowTxPower));
    // The 6.25 kHz and 2.5 kHz rows follow a changed crystal or first IF; a
    // frequency left as it was keeps its rows as the image holds them.
    group.RecomputeFrequencyRows();
    const auto keep = [this](std::size_t hz, std::initializer_list<std::size_t> rows) {
        if (group.GetValue(hz) == m_loaded.GetValue(hz))
            for (const std::size_t row : rows)
                group.SetValue(row, m_loaded.GetValue(row));
    };
    keep(HW::kRowRefXtal, {HW::kRowRefXtal6250, HW::kRowRefXtal2500});
    keep(HW::kRowFirstIf, {HW::kRowFirstIf6250, HW::kRowFirstIf2500});
    return HGroupEditor::StoreData();
}

void HHardwareEditor::WriteDisplayType(HMemoryImage& image) const {
    HHardwareGroup hw;
    hw.Load(image);
    const bool handheld = hw.GetValue(HW::kRowProductType) != 0;
    hw.SetValue(handheld ? HW::kRowDisplayHandheld : HW::kRowDisplayMobile, DisplayType());
    hw.Save(image);
}

// ------------------------------------------------------------------ Key Function

HKeyFunctionEditor::HKeyFunctionEditor(std::uint32_t dialogId, std::string_view caption,
                                       std::span<const HEditorItem> items,
                                       const HEditorContext& context)
    : HGroupEditor(dialogId, caption, items, context, group) {}

void HKeyFunctionEditor::AcquireData() {
    HGroupEditor::AcquireData();
    HOptionGroup option;
    HHardwareGroup hardware;
    if (Context().image != nullptr) {
        option.Load(*Context().image);
        hardware.Load(*Context().image);
        HChannels channels;
        channels.Load(*Context().image);
        m_anyPriority = false;
        for (int g = 0; g < static_cast<int>(HChannelTables::kGroupCount); ++g)
            if (channels.GetGroupValue(g, HChannelTables::kGroupChannels) > 0 &&
                channels.PriorityChannelOfGroup(g) >= 0)
                m_anyPriority = true;
    }
    m_optionUnit = option.GetValue(HOptionGroup::kValueOptionUnit);
    m_keypadMic = option.GetValue(I::kOptionKeypadMicValue) == 1;
    m_lcd = hardware.GetValue(HW::kRowDisplayMobile) == I::kLcdType;
}

std::vector<std::int32_t> HKeyFunctionEditor::RemovedCodes(std::size_t row, std::int32_t optionUnit,
                                                           bool lcdDisplay, bool keypadMic) {
    std::vector<std::int32_t> codes;
    auto add = [&codes](std::initializer_list<std::int32_t> list) {
        for (std::int32_t code : list)
            codes.push_back(code);
    };
    if (optionUnit != I::kUnitRecorder)
        add({42, 60});
    if (optionUnit != 1 && optionUnit != 3 && optionUnit != 6)
        add({8});
    if (!lcdDisplay)
        add({10, 11, 14, 21, 22, 23, 45, 46, 47, 48, 55, 56});
    if (!lcdDisplay && keypadMic)
        add({2});
    if (!lcdDisplay || keypadMic)
        add({51});
    const bool shortPress = row % I::kFirstMicKey < 6;
    if (shortPress)
        add({57, 58});
    else
        add({25, 27, 36});
    return codes;
}

void HKeyFunctionEditor::InitCombo() {
    HGroupEditor::InitCombo();
    for (std::size_t i = 0; i < ItemCount(); ++i) {
        const auto row = static_cast<std::size_t>(Item(i).value);
        for (std::int32_t code : RemovedCodes(row, m_optionUnit, m_lcd, m_keypadMic))
            ComboState(i).RemoveCode(code);
        if (row >= I::kFirstMicKey && m_keypadMic)
            EnableItem(i, false);
    }
}

int HKeyFunctionEditor::StoreData() {
    if (!m_anyPriority) {
        for (std::size_t row = 0; row < I::kKeyRows; ++row)
            if (group.GetValue(row) == I::kKeyDualWatch) {
                Tell(HStringTable::Get(HStringTable::kDualWatchNoPriority));
                break;
            }
    }
    return HGroupEditor::StoreData();
}

// ------------------------------------------------------------------ Emergency

namespace {
// The code as the radio holds it: the digit symbols in upper case.
std::string DigitSymbolsOf(std::string_view text) {
    return HDigitCodeOf(text, HFieldCoding::kDigitSymbols, I::kEmergencyCodeDigits);
}
} // namespace

HEmergencyEditor::HEmergencyEditor(std::uint32_t dialogId, std::string_view caption,
                                   std::span<const HEditorItem> items,
                                   const HEditorContext& context)
    : HGroupEditor(dialogId, caption, items, context, group), m_codeItem(ItemCount()) {
    for (std::size_t i = 0; i < ItemCount(); ++i)
        if (Item(i).value == std::int32_t(I::kEmergencyCodeValue))
            m_codeItem = i;
}

void HEmergencyEditor::SetDataEdit() {
    HGroupEditor::SetDataEdit();
    // The packed string always holds 15 digits; the count says how many count.
    Edit(m_codeItem)
        .SetText(HCountedCode::Shown(group.GetText(I::kEmergencyCodeValue),
                                     group.GetValue(I::kEmergencyCountValue)));
}

void HEmergencyEditor::SaveDataEdit() {
    const std::string stored = group.GetText(I::kEmergencyCodeValue);
    const std::int32_t count = group.GetValue(I::kEmergencyCountValue);
    HGroupEditor::SaveDataEdit();
    // A code left as it was keeps every stored digit and its count; a new
    // one is written whole, the digits beyond it padded.
    const std::string code = DigitSymbolsOf(Edit(m_codeItem).GetText());
    if (code == HCountedCode::Shown(stored, count)) {
        group.SetText(I::kEmergencyCodeValue, stored);
        group.SetValue(I::kEmergencyCountValue, count);
        return;
    }
    group.SetText(I::kEmergencyCodeValue, code);
    group.SetValue(I::kEmergencyCountValue, std::int32_t(code.size()));
}

void HEmergencyEditor::OnEditChanged(std::size_t item) {
    if (item != m_codeItem)
        return;
    const std::string code = DigitSymbolsOf(Edit(item).Text());
    Edit(item).SetTypedText(code);
}

// ------------------------------------------------------------------ Password

namespace {
constexpr std::size_t kProgrammingCheck = 0;
constexpr std::size_t kProgrammingEdit = 1;
} // namespace

HProgrammingPasswordEditor::HProgrammingPasswordEditor(std::uint32_t dialogId,
                                                       std::string_view caption,
                                                       std::span<const HEditorItem> items,
                                                       const HEditorContext& context)
    : HGroupEditor(dialogId, caption, items, context, group) {}

void HProgrammingPasswordEditor::SetDataEdit() {
    HGroupEditor::SetDataEdit();
    EnableItem(kProgrammingEdit, IsChecked(kProgrammingCheck));
}

void HProgrammingPasswordEditor::OnCheckChanged(std::size_t item) {
    if (item == kProgrammingCheck)
        EnableItem(kProgrammingEdit, IsChecked(kProgrammingCheck));
}

int HProgrammingPasswordEditor::Check() {
    // A shorter password would be padded with digits nobody typed, and the
    // radio would ask for a password the dealer never chose.
    const std::string text = Edit(kProgrammingEdit).GetText();
    if (IsChecked(kProgrammingCheck) && text.size() != I::kProgrammingPasswordDigits) {
        Tell(HStringTable::Get(HStringTable::kProgrammingPasswordDigits));
        return 1;
    }
    return 0;
}

// ------------------------------------------------------------------ channel lists

void HChannelPicks::Load(std::span<const std::uint8_t> image) {
    HChannels channels;
    channels.Load(image);
    groups.clear();
    for (int g = 0; g < static_cast<int>(HChannelTables::kGroupCount); ++g) {
        const int count = channels.GetGroupValue(g, HChannelTables::kGroupChannels);
        if (count <= 0)
            continue;
        Group entry;
        entry.index = g;
        entry.count = count;
        entry.tag = channels.GetGroupTag(g);
        const int first = channels.FirstChannelOfGroup(g);
        for (int c = 0; c < count; ++c)
            entry.channelTags.push_back(channels.GetTag(first + c));
        groups.push_back(std::move(entry));
    }
    currentGroup = channels.GetIdentityValue(1);
    lcdTags = channels.GetHardwareValue(HW::kRowDisplayMobile) == I::kLcdType;
}

const HChannelPicks::Group* HChannelPicks::Find(int index) const {
    for (const Group& g : groups)
        if (g.index == index)
            return &g;
    return nullptr;
}

std::string HChannelPicks::GroupText(const Group& g) const {
    char text[48];
    std::snprintf(text, sizeof text, "Group%2d : %s", g.index + 1, g.tag.c_str());
    return text;
}

std::string HChannelPicks::ChannelText(const Group& g, int channel) const {
    char text[48];
    const std::string& tag = g.channelTags[std::size_t(channel)];
    const bool blank = tag.find_first_not_of(' ') == std::string::npos;
    if (lcdTags && !blank)
        std::snprintf(text, sizeof text, "CH%03d : %s", channel + 1, tag.c_str());
    else
        std::snprintf(text, sizeof text, "CH%03d", channel + 1);
    return text;
}

// ------------------------------------------------------------------ DSUB-15 switch table

namespace {
constexpr std::size_t kSwitchGroupItem = 0;
constexpr std::size_t kSwitchPositions = 16;
constexpr std::int32_t kNoFallback = -1;
} // namespace

HDsubChannelEditor::HDsubChannelEditor(std::uint32_t dialogId, std::string_view caption,
                                       std::span<const HEditorItem> items,
                                       const HEditorContext& context)
    : HGroupEditor(dialogId, caption, items, context, group) {}

void HDsubChannelEditor::AcquireData() {
    HGroupEditor::AcquireData();
    if (Context().image != nullptr)
        m_picks.Load(*Context().image);
}

void HDsubChannelEditor::InitCombo() {
    // Filled from the channel model in Refill.
}

const HChannelPicks::Group* HDsubChannelEditor::ChosenGroup() const {
    const std::int32_t chosen = group.GetValue(0);
    return m_picks.Find(chosen == I::kCurrentGroup ? m_picks.currentGroup : chosen);
}

void HDsubChannelEditor::Refill() {
    HValueSelection& groups = ComboState(kSwitchGroupItem);
    groups.Clear();
    groups.AddItem("Current Group", I::kCurrentGroup);
    for (const HChannelPicks::Group& g : m_picks.groups)
        groups.AddItem(m_picks.GroupText(g), g.index);
    groups.SelectByValue(group.GetValue(0), kNoFallback);
    EnableItem(kSwitchGroupItem, m_picks.groups.size() >= 2);

    const HChannelPicks::Group* chosen = ChosenGroup();
    for (std::size_t p = 0; p < kSwitchPositions; ++p) {
        const std::size_t item = p + 1;
        const std::int32_t mine = group.GetValue(item);
        HValueSelection& combo = ComboState(item);
        combo.Clear();
        combo.AddItem("Not Used", I::kNoChannel);
        if (chosen != nullptr) {
            for (int c = 0; c < chosen->count; ++c) {
                // A channel chosen for another position is offered only there.
                bool taken = false;
                for (std::size_t q = 0; q < kSwitchPositions; ++q)
                    if (q != p && group.GetValue(q + 1) == c)
                        taken = true;
                if (!taken)
                    combo.AddItem(m_picks.ChannelText(*chosen, c), c);
            }
        }
        // A code no entry offers (a channel beyond the group's end, or one
        // another position holds too) is kept until the user picks.
        combo.SelectByValue(mine, kNoFallback);
    }
}

void HDsubChannelEditor::SetDataCombo() {
    Refill();
}

void HDsubChannelEditor::OnComboChanged(std::size_t item) {
    group.SetValue(item, Combo(item).GetSelectedValue());
    if (item == kSwitchGroupItem) {
        // Channels of another group mean nothing in the new one.
        for (std::size_t p = 0; p < kSwitchPositions; ++p)
            group.SetValue(p + 1, I::kNoChannel);
    }
    Refill();
}

std::string HDsubChannelEditor::FocusPrompt(std::size_t item) const {
    char text[96];
    if (item == kSwitchGroupItem) {
        const int last = m_picks.groups.empty() ? 1 : m_picks.groups.back().index + 1;
        std::snprintf(text, sizeof text,
                      "Select ACC Group(Current Group/GROUP%02d - GROUP%02d)\n<SELECT>", 1, last);
        return text;
    }
    const HChannelPicks::Group* chosen = ChosenGroup();
    const int last = chosen != nullptr ? chosen->count : 1;
    std::snprintf(text, sizeof text, "Select ACC Channel No %d(Not Used/CH%02d - CH%02d)\n<SELECT>",
                  int(item) - 1, 1, last);
    return text;
}

// ------------------------------------------------------------------ Direct CH

namespace {
constexpr std::size_t kDirectRecords = 4;
} // namespace

HDirectChEditor::HDirectChEditor(std::uint32_t dialogId, std::string_view caption,
                                 std::span<const HEditorItem> items, const HEditorContext& context)
    : HGroupEditor(dialogId, caption, items, context, group) {}

void HDirectChEditor::AcquireData() {
    HGroupEditor::AcquireData();
    if (Context().image != nullptr)
        m_picks.Load(*Context().image);
}

void HDirectChEditor::InitCombo() {
    for (std::size_t r = 0; r < kDirectRecords; ++r) {
        HValueSelection& groups = ComboState(2 * r);
        groups.Clear();
        for (const HChannelPicks::Group& g : m_picks.groups)
            groups.AddItem(m_picks.GroupText(g), g.index);
    }
}

void HDirectChEditor::FillChannels(std::size_t record) {
    HValueSelection& channels = ComboState(2 * record + 1);
    channels.Clear();
    if (const HChannelPicks::Group* g = m_picks.Find(group.GetValue(2 * record)))
        for (int c = 0; c < g->count; ++c)
            channels.AddItem(m_picks.ChannelText(*g, c), c);
    channels.SelectByValue(group.GetValue(2 * record + 1));
}

void HDirectChEditor::SetDataCombo() {
    for (std::size_t r = 0; r < kDirectRecords; ++r) {
        ComboState(2 * r).SelectByValue(group.GetValue(2 * r));
        FillChannels(r);
    }
}

void HDirectChEditor::OnComboChanged(std::size_t item) {
    group.SetValue(item, Combo(item).GetSelectedValue());
    if (item % 2 == 0) {
        // The first channel of the new group, rather than an index that may
        // lie beyond its end.
        group.SetValue(item + 1, 0);
        FillChannels(item / 2);
    }
}
