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
