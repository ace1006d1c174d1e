#include "HPagingCodeEditor.h"

namespace HPagingCodeGrid {

std::string RowText(const HGridColumn<HPagingCodeGroup>&, const HPagingCodeGroup&, int record,
                    int) {
    return "Page  " + std::to_string((record + 1) % 10);
}

bool StoreCode(const HGridColumn<HPagingCodeGroup>& col, HPagingCodeGroup& m, int record, int aux,
               std::string_view text) {
    return text.size() == HDtmfMap::kPagingDigits && HGridStoreText(col, m, record, aux, text);
}

} // namespace HPagingCodeGrid

HPagingCodeEditor::HPagingCodeEditor(std::uint32_t dialogId, std::string_view caption,
                                     std::span<const HEditorItem> items,
                                     const HEditorContext& context)
    : HGroupEditor(dialogId, caption, items, context, group),
      m_grid(HPagingCodeGrid::kColumns, group) {}

HGridSource* HPagingCodeEditor::Grid(std::size_t item) {
    return item < ItemCount() && Item(item).kind == HItemKind::Grid ? &m_grid : nullptr;
}
