#pragma once
// The 5-tone editors with rules of their own, and the steps the signalling
// type switch and the Download take on the 5-tone tables (HEditorPageEntry's
// reset and compile).
#include "HCommonEditors.h"
#include "HFiveToneGrids.h"
#include "HFiveToneGroups.h"
#include "HFiveToneItems.h"
#include "HGroupEditor.h"
#include "HHardwareGroup.h"
#include "HRecordGridEditor.h"

// ------------------------------------------------------------------ Common1
// The tag, ANI and display-digit boxes matter only to a radio with a display:
// with the mobile display type (Hardware row 4) at 0 they are shut, and keep
// their stored values.
class HFiveToneCommon1Editor : private HEditorDetail::GroupHolder<HFiveToneCommon1Group>,
                               public HGroupEditor {
public:
    HFiveToneCommon1Editor(std::uint32_t dialogId, std::string_view caption,
                           std::span<const HEditorItem> items, const HEditorContext& context);

    void AcquireData() override;
    void InitCombo() override;

private:
    bool m_display = true;
};

// ------------------------------------------------------------------ grids
using HFiveToneTableEditor =
    HRecordGridEditor<HFiveToneTableRecords, &HFiveToneGrids::kToneTableColumns>;
using HFiveToneSystemEditor =
    HRecordGridEditor<HFiveToneSystemRecords, &HFiveToneGrids::kSystemColumns>;
using HFiveToneDecodeEditor =
    HRecordGridEditor<HFiveToneDecodeRecords, &HFiveToneGrids::kDecodeColumns>;
using HFiveToneEncodeEditor =
    HRecordGridEditor<HFiveToneEncodeRecords, &HFiveToneGrids::kEncodeColumns>;

namespace HFiveToneItems {
inline constexpr std::array kToneTableItems{HGridItem("5-Tone Table")};
inline constexpr std::array kSystemItems{HGridItem("5-Tone System")};
inline constexpr std::array kDecodeItems{HGridItem("5-Tone Decode")};
inline constexpr std::array kEncodeItems{HGridItem("5Tone Encode")};
} // namespace HFiveToneItems

namespace HFiveToneSteps {

// A group's defaults into the image.
template <class Group> void ResetGroup(HMemoryImage& image) {
    Group group;
    group.SetDefaults();
    group.Save(image);
}

// The tone table's defaults, windows included.
void ResetToneTable(HMemoryImage& image);
// The decode windows the radio needs, from the tone values in the image.
void CompileToneTable(HMemoryImage& image);

} // namespace HFiveToneSteps
