#pragma once
// The default data files in the program data directory, one per model: the
// file a new image, a model change and the adjustment recovery read first.
#include <array>
#include <string_view>

namespace HDefaultFiles {

// By product type (row 0 mobile, 1 handheld) and column.
inline constexpr std::array<std::array<std::string_view, 6>, 2> kNames = {{
    {"defaultV.r57", "NotDefined", "defaultUA.r57", "defaultUD.r57", "defaultLA.r57",
     "defaultLB.r57"},
    {"defaultV.r57h", "NotDefined", "defaultUA.r57h", "defaultUD.r57h", "defaultLA.r57h",
     "defaultLB.r57h"},
}};
// The column an existing default file is looked up in, by band.
inline constexpr std::array<int, 6> kLookupColumn = {0, 0, 2, 3, 0, 0};

// The file name a model's default data is read from; empty for a band that
// is none of the radio's.
[[nodiscard]] constexpr std::string_view For(int band, int productType) {
    if (band < 0 || band >= int(kLookupColumn.size()))
        return {};
    return kNames[productType == 0 ? 0 : 1][std::size_t(kLookupColumn[std::size_t(band)])];
}
static_assert(For(2, 1) == "defaultUA.r57h");
static_assert(For(1, 0) == "defaultV.r57", "band 1 reads the VHF file");

} // namespace HDefaultFiles
