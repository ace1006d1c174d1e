#pragma once
// Where a download may find its backup without reading the radio again: an
// earlier whole read of the same radio that nothing has written over since.
// The controller asks, as it asks for a password; the front end answers from
// its records (the history), tests from a script.
#include "HMemoryImage.h"
#include "HTransferRanges.h"

#include <memory>
#include <optional>
#include <string>

// The words that tell one radio from another: its identity and adjustment
// words (which every download reads first) and its serial number.
inline const HRangeList kRadioIdentityWords = {{0x00, 0x11}, {0xFD, 0xFE}};

struct HEarlierRead {
    std::shared_ptr<const HMemoryImage> image;
    std::string description; // for the final message: which read it was
};

class HBackupSource {
public:
    virtual ~HBackupSource() = default;
    // `words`: the radio's identity words as just read (kRadioIdentityWords;
    // every other byte zero); `accessLevel`: the download's. The controller
    // uses an answer only when its identity words equal these byte for byte.
    [[nodiscard]] virtual std::optional<HEarlierRead> EarlierRead(const HMemoryImage& words,
                                                                  int accessLevel) = 0;
};

// True when both images hold the same bytes in every word of `words`.
[[nodiscard]] inline bool SameWords(const HMemoryImage& a, const HMemoryImage& b,
                                    const HRangeList& words) {
    for (const HBlockRange& r : words)
        for (std::size_t i = HImageMap::EepromWordOffset(r.from);
             i < HImageMap::EepromWordOffset(std::size_t(r.to) + 1); ++i)
            if (a[i] != b[i])
                return false;
    return true;
}
