#pragma once
// The "Model" dialog (resource 219) that starts a new image: four lists over
// the Hardware fields that name a radio model (band, product type, and the
// display type of each product type; only the one of the chosen product type
// is shown). A band or product-type change asks first. The editor never
// writes the image: on OK it reports the chosen model, and the document makes
// the new image for it.
#include "HGroupEditor.h"
#include "HHardwareGroup.h"

#include <span>

namespace HModel {
inline constexpr std::uint32_t kDialogId = 219;
inline constexpr std::string_view kCaption = "Model";
// Items in dialog order, with their control ids.
inline constexpr std::size_t kItemBand = 0;        // 5911
inline constexpr std::size_t kItemProductType = 1; // 5912
inline constexpr std::size_t kItemLcdHandheld = 2; // 5913
inline constexpr std::size_t kItemLcdMobile = 3;   // 5914
inline constexpr std::uint32_t kFirstControlId = 5911;
[[nodiscard]] std::span<const HEditorItem> Items();
// Product type as the Hardware field stores it (0 mobile, 2 handheld).
inline constexpr std::int32_t kStoredHandheld = 2;
} // namespace HModel

namespace HModelDetail {
struct GroupHolder {
    HHardwareGroup group;
};
} // namespace HModelDetail

// The model a confirmed dialog asks for.
struct HModelChoice {
    int band = 0;
    int productType = 0; // 0 mobile, 1 handheld
    int lcdType = 0;     // the display type of that product type
};

class HModelEditor : private HModelDetail::GroupHolder, public HGroupEditor {
public:
    explicit HModelEditor(const HEditorContext& context);

    // True once the user confirmed a band or product-type change, or picked
    // another display type.
    [[nodiscard]] bool ModelChanged() const { return m_changed; }
    // The model as the lists show it now.
    [[nodiscard]] HModelChoice Choice() const;

    void SetDataCombo() override;
    // Remembers the choice; the image is left to the document.
    [[nodiscard]] int StoreData() override;

protected:
    void OnComboChanged(std::size_t item) override;

private:
    void ShowDisplayTypeLists();

    bool m_changed = false;
};
