#pragma once
// The DTMF editors with rules of their own: the DTMF Setting dialog's four
// code lists that exclude one another (and its pause code "OFF"), and the
// counted digit codes of the DTMF ANI and DTMF Code dialogs.
#include "HCommonEditors.h"
#include "HDtmfGroups.h"
#include "HDtmfItems.h"

#include <string>
#include <string_view>

// The code lists Separate, Group, Reset and Pause: each offers its entries
// less the codes the other three hold now, so no two hold the same code;
// choosing a code in one takes it from the others and gives back the code
// chosen before. "OFF" of the pause list holds no code.
class HDtmfSettingEditor : private HEditorDetail::GroupHolder<HDtmfSettingGroup>,
                           public HGroupEditor {
public:
    HDtmfSettingEditor(std::uint32_t dialogId, std::string_view caption,
                       std::span<const HEditorItem> items, const HEditorContext& context);

    void SetDataCombo() override;
    void SaveDataCombo() override;

protected:
    void OnComboChanged(std::size_t item) override;

private:
    // The code an exclusive list holds now; -1 for none ("OFF").
    [[nodiscard]] std::int32_t HeldCode(std::size_t item) const;
    void RefillCodeLists();
};

// Digit codes (0-9, A-D, *, #) held with their digit count in the value
// before the code's own; every edit item of the editor is one.
template <class G>
class HDigitCodeEditor : private HEditorDetail::GroupHolder<G>, public HGroupEditor {
public:
    HDigitCodeEditor(std::uint32_t dialogId, std::string_view caption,
                     std::span<const HEditorItem> items, const HEditorContext& context)
        : HGroupEditor(dialogId, caption, items, context, this->group) {}

    void SetDataEdit() override;
    void SaveDataEdit() override;

protected:
    void OnEditChanged(std::size_t item) override;
};

// A typed code as a digit code can hold it: upper case, only `symbols`, at
// most `max` of them.
[[nodiscard]] std::string HDigitCodeOf(std::string_view typed, std::string_view symbols,
                                       std::size_t max);

using HDtmfAniEditor = HDigitCodeEditor<HDtmfAniGroup>;
using HDtmfCodeEditor = HDigitCodeEditor<HDtmfCodeGroup>;
