#pragma once
// A whole radio as text (rp57cli dump / load), for keeping a shop's radios
// under version control and reviewing changes as text:
//   - "model": the band, product type and display type the image is made for;
//   - "settings": every setting by its stable key, as the editors show it;
//   - "channels": every channel cell by group, channel and column title;
//   - "carried": the bytes that the settings and cells do not give back when
//     the image is built from them (factory data, tables no setting shows,
//     the allocation), as hex runs by image offset.
// Loading builds the image through the same rules as `set` and the grid: the
// built-in image of the model, then the settings and the cells, then the
// carried bytes; a value that the image then does not show (one edited by
// hand) goes through its rules once more, and one they refuse is reported by
// its key. A dump loaded unchanged gives the same bytes.
#include "HMemoryImage.h"

#include <string>
#include <string_view>
#include <vector>

namespace HRadioText {

// The JSON text of an image.
[[nodiscard]] std::string Dump(const HMemoryImage& image);

struct HLoadResult {
    bool ok = false;
    HMemoryImage image{};
    // Why not: a text that is not a dump, or each refused value by its key.
    std::vector<std::string> errors;
};
[[nodiscard]] HLoadResult Load(std::string_view json);

} // namespace HRadioText
