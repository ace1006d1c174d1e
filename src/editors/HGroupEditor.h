#pragma once
// The binding every common settings editor shares: its items bind to values of
// one settings group, and the hooks move values between the group and the
// items. AcquireData loads the group from the image, InitCombo/InitEdit fill
// and set up the items, SetData* shows the group's values, SaveData* reads the
// items back, StoreData runs the editor's own check and saves the group.
// An editor adds its table and only the hooks of its own rules.
#include "HEditor.h"
#include "HSettingsGroup.h"

class HGroupEditor : public HEditor {
public:
    // `group` is kept by reference: a subclass may pass its own member.
    HGroupEditor(std::uint32_t dialogId, std::string_view caption,
                 std::span<const HEditorItem> items, const HEditorContext& context,
                 HSettingsGroup& group);

    [[nodiscard]] HSettingsGroup& Group() { return m_group; }
    [[nodiscard]] const HSettingsGroup& Group() const { return m_group; }

    void AcquireData() override;
    void InitCombo() override;
    void InitEdit() override;
    void SetDataCombo() override;
    void SetDataEdit() override;
    void SaveDataCombo() override;
    void SaveDataEdit() override;
    [[nodiscard]] int StoreData() override;

    // A group value as a number edit shows it: 32-bit words unsigned.
    [[nodiscard]] static double ShownNumber(const HSettingsGroup& group, std::size_t index);

protected:
    // The editor's own consistency check before saving; non-zero keeps the
    // group out of the image and the dialog open.
    [[nodiscard]] virtual int Check() { return 0; }

private:
    HSettingsGroup& m_group;
};
