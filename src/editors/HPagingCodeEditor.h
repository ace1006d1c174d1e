#pragma once
// The Paging Code dialog: one grid of the ten paging records, Page 1 to
// Page 0, with their Code, Status and Action columns. Cells are the settings
// "paging_code.N.code", ".status" and ".action".
#include "HCommonEditors.h"
#include "HDtmfGroups.h"
#include "HGridColumn.h"
#include "HRecordGridEditor.h"

#include <array>
#include <string>
#include <string_view>

namespace HPagingCodeGrid {

namespace P = HDtmfMap::Paging;

inline constexpr std::array<std::string_view, 2> kStatusTexts{"ENC Only", "ENC & DEC"};
inline constexpr std::array<std::string_view, 4> kActionTexts{"Normal", "Alarm", "Stun", "Kill"};

// "Page  1" .. "Page  9", "Page  0": the dialog's row labels.
[[nodiscard]] std::string RowText(const HGridColumn<HPagingCodeGroup>&, const HPagingCodeGroup&,
                                  int record, int);

using Column = HGridColumn<HPagingCodeGroup>;
inline constexpr std::array<Column, 4> kColumns{{
    {.header = "No.", .dependants = 1u, .text = RowText, .store = HGridStoreNothing},
    {.header = "Code",
     .name = "code",
     .field = P::kCode,
     .edit = HCellEdit::Text,
     .maxLength = std::uint32_t(HDtmfMap::kPagingDigits),
     // Exactly three digits: a shorter code would be padded with zeros the
     // user never typed.
     .minLength = std::uint32_t(HDtmfMap::kPagingDigits),
     .keys = HKeyFilter::PageDigits,
     .dependants = 2u,
     .text = HGridFieldText,
     .store = HGridStoreText},
    {.header = "Status",
     .name = "status",
     .field = P::kStatus,
     .edit = HCellEdit::List,
     .values = kStatusTexts,
     .dependants = 4u,
     .text = HGridListText,
     .store = HGridStoreList},
    {.header = "Action",
     .name = "action",
     .field = P::kAction,
     .edit = HCellEdit::List,
     .values = kActionTexts,
     .dependants = 8u,
     .text = HGridListText,
     .store = HGridStoreList},
}};
static_assert(HGridColumnsAreSound(std::span(kColumns), P::kFields));

} // namespace HPagingCodeGrid

namespace HDtmfItems {
inline constexpr std::array kPagingCode{HGridItem("Paging Code")};
} // namespace HDtmfItems

// The records are read from the image on opening and written only on OK; the
// group code rides along unwritten (HDtmfMap::kPagingParts).
using HPagingCodeEditor = HRecordGridEditor<HPagingCodeGroup, &HPagingCodeGrid::kColumns>;
