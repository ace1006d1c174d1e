#pragma once
// Recovery of lost adjustment data: which of the radio's two copies (EEPROM
// working copy, FLASH shipping default) can be trusted, and the three ways
// back from there. The person is asked through HPrompt; files come through the
// caller's choosers, so the program and rp57cli share every decision.
#include "HCommEventData.h"
#include "HMemoryImage.h"
#include "HPrompt.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace HAdjustmentRecovery {

enum Reliability : int {
    kBothSound = 0, // or both copies hold the same identity bytes
    kEepromOnly = 1,
    kFlashOnly = 2,
    kNeither = 3,
};

// Each copy begins its identity (8 bytes: mark, manufacture date, lot number,
// serial) with this mark when it is sound.
inline constexpr std::size_t kIdentityEeprom = 0x1F6;
inline constexpr std::size_t kIdentityFlash = 0x3104;
inline constexpr std::uint16_t kIdentityMark = 0x0610;

// Copies the working copy over the shipping default, pair by pair, the values
// with their checksum word in front. The checksums are not recomputed.
void EepromToFlash(HMemoryImage& buffer);

// 0 both copies sound, 1 only the EEPROM copy, 2 only the FLASH copy, 3 neither.
[[nodiscard]] int ReliabilityTest(const HMemoryImage& buffer);
// Manufacture date and lot number of the two copies; a lot difference within
// ±10 asks the person (message 135), a wider one refuses (134).
[[nodiscard]] bool SerialNumberCheck(const HMemoryImage& buffer, HPrompt& prompt);
// Band, product type and mobile TX power of the file equal the radio's.
[[nodiscard]] bool FileCheckOnRecovery(const HMemoryImage& radio, const HMemoryImage& file);

struct Sources {
    // A saved data file's path, chosen by the person; nothing = cancelled.
    std::function<std::optional<std::string>()> chooseDataFile;
    // The default data file of a model (band, product type); nothing when it
    // cannot be read (the built-in image for the model is used then).
    std::function<std::optional<HMemoryImage>(int band, int productType)> readDefaultFile;
};

// The default data file of a model (band, product type) from the program data
// directory; nothing when it cannot be read.
[[nodiscard]] std::optional<HMemoryImage> ReadModelDefaultFile(int band, int productType);

// Decides and repairs `buffer` (read by the recovery start event). True when
// the recovered data is to be written: the write ranges are then in `event`.
[[nodiscard]] bool AdjustmentRecovery(HMemoryImage& buffer, HCommEventData& event, HPrompt& prompt,
                                      const Sources& sources);

} // namespace HAdjustmentRecovery
