#include "HPagingCodeEditor.h"

namespace HPagingCodeGrid {

std::string RowText(const HGridColumn<HPagingCodeGroup>&, const HPagingCodeGroup&, int record,
                    int) {
    return "Page  " + std::to_string((record + 1) % 10);
}

} // namespace HPagingCodeGrid
