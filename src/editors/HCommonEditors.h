#pragma once
// The common settings editors. An editor without rules of its own is
// HDataEditor over its group: the registry row gives it its id, caption and
// items. The editors below add only the hooks of their own rules.
#include "HCommonGroups.h"
#include "HCommonItems.h"
#include "HGroupEditor.h"
#include "HHardwareGroup.h"
#include "HOptionGroup.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace HEditorDetail {
// Holds the group so it exists before the editor that binds to it.
template <class Group> struct GroupHolder { Group group; };
} // namespace HEditorDetail

// An editor whose group and items say everything.
template <class G> class HDataEditor : private HEditorDetail::GroupHolder<G>, public HGroupEditor {
public:
    HDataEditor(std::uint32_t dialogId, std::string_view caption,
                std::span<const HEditorItem> items, const HEditorContext& context)
        : HGroupEditor(dialogId, caption, items, context, this->group) {}

    [[nodiscard]] G& Data() { return this->group; }
};

// ------------------------------------------------------------------ Hardware
// Band and product type are the radio model: changing either asks first, and
// OK with a changed model leaves the image to the document, which makes a new
// one (ModelChanged, Choice).
class HHardwareEditor : private HEditorDetail::GroupHolder<HHardwareGroup>, public HGroupEditor {
public:
    HHardwareEditor(std::uint32_t dialogId, std::string_view caption,
                    std::span<const HEditorItem> items, const HEditorContext& context);

    [[nodiscard]] HHardwareGroup& Hardware() { return group; }
    [[nodiscard]] bool ModelChanged() const { return m_changed; }
    // Band, product type (0 mobile, 1 handheld) and the display type of that
    // product type, as the group holds them now.
    [[nodiscard]] int Band() const;
    [[nodiscard]] int ProductType() const;
    [[nodiscard]] int DisplayType() const;

    void AcquireData() override;
    void InitStatic() override;
    void SetDataCombo() override;
    // With a changed model nothing is saved: returns 0 and the caller makes
    // the new image and then WriteDisplayType into it.
    [[nodiscard]] int StoreData() override;
    // After the new image exists: the chosen display type into its Hardware.
    void WriteDisplayType(HMemoryImage& image) const;

protected:
    void OnComboChanged(std::size_t item) override;

private:
    void ShowProductTypeItems();
    void SetBandLimits();

    bool m_changed = false;
    HHardwareGroup m_loaded; // the group as opened
};

// ------------------------------------------------------------------ Key Function
// Items removed by the option unit and the display type (rules 1-7), the
// microphone keys disabled with a keypad microphone (rule 8), and the Dual
// Watch warning when OK stores "DW" while no group has a priority channel.
class HKeyFunctionEditor : private HEditorDetail::GroupHolder<HKeyFunctionGroup>,
                           public HGroupEditor {
public:
    HKeyFunctionEditor(std::uint32_t dialogId, std::string_view caption,
                       std::span<const HEditorItem> items, const HEditorContext& context);

    void AcquireData() override;
    void InitCombo() override;
    [[nodiscard]] int StoreData() override;

    // The codes rules 1-7 take out of one row's list.
    [[nodiscard]] static std::vector<std::int32_t>
    RemovedCodes(std::size_t row, std::int32_t optionUnit, bool lcdDisplay, bool keypadMic);

private:
    std::int32_t m_optionUnit = 0;
    bool m_lcd = false;
    bool m_keypadMic = false;
    bool m_anyPriority = true;
};

// ------------------------------------------------------------------ Emergency
// The DTMF code is kept as digit symbols with its length in row 21.
class HEmergencyEditor : private HEditorDetail::GroupHolder<HEmergencyGroup>, public HGroupEditor {
public:
    HEmergencyEditor(std::uint32_t dialogId, std::string_view caption,
                     std::span<const HEditorItem> items, const HEditorContext& context);

    void SetDataEdit() override;
    void SaveDataEdit() override;

protected:
    void OnEditChanged(std::size_t item) override;

private:
    std::size_t m_codeItem;
};

// ------------------------------------------------------------------ Password
// The programming password is six digits; the edit is open only while
// programming with a password is on.
class HProgrammingPasswordEditor : private HEditorDetail::GroupHolder<HProgrammingPasswordGroup>,
                                   public HGroupEditor {
public:
    HProgrammingPasswordEditor(std::uint32_t dialogId, std::string_view caption,
                               std::span<const HEditorItem> items, const HEditorContext& context);

    void SetDataEdit() override;

protected:
    void OnCheckChanged(std::size_t item) override;
    [[nodiscard]] int Check() override;
};

// ------------------------------------------------------------------ channel lists
// The groups in use and their channels, as the switch table and Direct CH
// offer them.
struct HChannelPicks {
    struct Group {
        int index = 0;
        int count = 0;
        std::string tag;
        std::vector<std::string> channelTags;
    };
    std::vector<Group> groups; // groups in use, in order
    int currentGroup = 0;      // the group "Current Group" stands for
    bool lcdTags = false;      // channel tags shown (mobile LCD type)

    void Load(std::span<const std::uint8_t> image);
    [[nodiscard]] const Group* Find(int index) const;
    [[nodiscard]] std::string GroupText(const Group& g) const;
    [[nodiscard]] std::string ChannelText(const Group& g, int channel) const;
};

// ------------------------------------------------------------------ DSUB-15 switch table
class HDsubChannelEditor : private HEditorDetail::GroupHolder<HDsubChannelSwitchGroup>,
                           public HGroupEditor {
public:
    HDsubChannelEditor(std::uint32_t dialogId, std::string_view caption,
                       std::span<const HEditorItem> items, const HEditorContext& context);

    void AcquireData() override;
    void InitCombo() override;
    void SetDataCombo() override;
    // The status-bar prompt while item i has the focus.
    [[nodiscard]] std::string FocusPrompt(std::size_t item) const override;

protected:
    void OnComboChanged(std::size_t item) override;

private:
    void Refill();
    [[nodiscard]] const HChannelPicks::Group* ChosenGroup() const;

    HChannelPicks m_picks;
};

// ------------------------------------------------------------------ Direct CH
class HDirectChEditor : private HEditorDetail::GroupHolder<HDirectChannelGroup>,
                        public HGroupEditor {
public:
    HDirectChEditor(std::uint32_t dialogId, std::string_view caption,
                    std::span<const HEditorItem> items, const HEditorContext& context);

    void AcquireData() override;
    void InitCombo() override;
    void SetDataCombo() override;

protected:
    void OnComboChanged(std::size_t item) override;

private:
    void FillChannels(std::size_t record);

    HChannelPicks m_picks;
};
