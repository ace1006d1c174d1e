#pragma once
// The editor of any record grid page: its one grid item shows the records of
// its model through a column table, read from the image on opening and written
// back only on OK. The 2-tone and 5-tone grids, the 5-tone tone table and the
// paging codes are all this editor over their own model and columns:
//
//   using HPagingCodeEditor = HRecordGridEditor<HPagingCodeGroup, &HPagingCodeGrid::kColumns>;
//
// `Columns` is the address of a column table or a function that returns one.
// How the model meets the image:
//   - a model with LoadAll reads with its records what their cells name (the
//     2-tone tone table and display type), and saves its records so that a
//     text still as read keeps its bytes (SaveRecords);
//   - any other model loads and saves as a whole (Load, Save);
//   - a model with SetDisplay is told whether the radio has a display
//     (Hardware row 4), which its tag and display columns need.
#include "HCommonEditors.h"
#include "HGroupEditor.h"
#include "HHardwareGroup.h"
#include "HRecordGrid.h"

#include <span>
#include <type_traits>

template <class Column> struct HGridColumnModel;
template <class M, class More> struct HGridColumnModel<HGridColumn<M, More>> { using Type = M; };

// The column table `Columns` names, as a span.
template <auto Columns> [[nodiscard]] auto HColumnTable() {
    if constexpr (std::is_invocable_v<decltype(Columns)>)
        return Columns();
    else
        return std::span(*Columns);
}

template <class Model, auto Columns>
class HRecordGridEditor : private HEditorDetail::GroupHolder<Model>, public HGroupEditor {
    using Column = std::remove_const_t<typename decltype(HColumnTable<Columns>())::element_type>;

public:
    using GridModel = typename HGridColumnModel<Column>::Type;

    HRecordGridEditor(std::uint32_t dialogId, std::string_view caption,
                      std::span<const HEditorItem> items, const HEditorContext& context)
        : HGroupEditor(dialogId, caption, items, context, GroupOf(this->group)),
          m_grid(HColumnTable<Columns>(), this->group) {}

    [[nodiscard]] Model& Records() { return this->group; }
    [[nodiscard]] HRecordGrid<GridModel>& GridCore() { return m_grid; }

    [[nodiscard]] HGridSource* Grid(std::size_t item) override {
        return item < ItemCount() && Item(item).kind == HItemKind::Grid ? &m_grid : nullptr;
    }

    void AcquireData() override {
        Model& model = this->group;
        const HMemoryImage* image = Context().image;
        if (image == nullptr) {
            model.SetDefaults();
            return;
        }
        if constexpr (requires { model.LoadAll(*image); })
            model.LoadAll(*image);
        else
            model.Load(*image);
        if constexpr (requires { model.SetDisplay(true); }) {
            HHardwareGroup hardware;
            hardware.Load(*image);
            model.SetDisplay(hardware.GetValue(HHardwareGroup::kRowDisplayMobile) != 0);
        }
    }

    [[nodiscard]] int StoreData() override {
        Model& model = this->group;
        HMemoryImage* image = Context().image;
        if (image == nullptr)
            return 0;
        if constexpr (requires { model.LoadAll(*image); })
            model.SaveRecords(*image);
        else
            model.Save(*image);
        return 0;
    }

private:
    // The settings group the page's values are: the model, or the table it holds.
    [[nodiscard]] static HSettingsGroup& GroupOf(Model& model) {
        if constexpr (std::is_base_of_v<HSettingsGroup, Model>)
            return model;
        else
            return model.Data();
    }

    HRecordGrid<GridModel> m_grid;
};
