#pragma once
// What the alignment transfers do to images, apart from the radio: which
// default alignment file a model uses, how that file's test set-up goes into
// the editor image, and how the aligned values return to the radio's own data.
#include "HMemoryImage.h"

#include <optional>
#include <string>
#include <vector>

namespace HAlignmentImage {

// The default alignment file for the image's product type, band and mobile TX
// power (Hardware rows 2, 1, 0); nothing when the hardware is not one that can
// be aligned.
[[nodiscard]] std::optional<std::string> DefaultFileName(const HMemoryImage& image);
// Every file name DefaultFileName can give, for shipping them.
[[nodiscard]] const std::vector<std::string>& DefaultFileNames();

// The default file's alignment set-up into `editor`: its adjustment bytes, FLASH
// pages 0, 1 and 3, its channel pages and its signal-generator settings; then
// the channel model rebuilds the image.
void MergeDefaultFile(const HMemoryImage& file, HMemoryImage& editor);

// After a basic alignment: the radio's own data (`work`, read when alignment
// began) with the editor's identity and adjustment words (bytes 0x00-0x20), the
// checksum recomputed and the channel model rebuilt, in `editor`.
void RestoreRadioData(HMemoryImage& work, HMemoryImage& editor);

// Recomputes the working adjustment checksum; nothing else changes.
void RecomputeAdjustmentChecksum(HMemoryImage& image);

} // namespace HAlignmentImage
