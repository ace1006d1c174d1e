#pragma once
// The steps the program takes around a radio transfer, shared by the Qt program
// and the command-line tool so that both leave the image in the same state:
// what follows an Upload, and what prepares the image before a Download.
#include "HMemoryImage.h"
#include "HSignallingMode.h"

#include <functional>

namespace HTransferSteps {

// Band limits in Hz for a band code; false for a code without limits (6, 7).
[[nodiscard]] bool BandLimits(int band, std::int32_t& lower, std::int32_t& upper);

// After an Upload, whatever its outcome: the Hardware band limits from the band,
// Miscellaneous row 4 and row 16 cleared. Returns the signalling mode the image
// now holds. (Making the document untitled is the front end's part.)
HSignallingMode CorrectAfterUpload(HMemoryImage& image);

// The signalling mode held by the image.
[[nodiscard]] HSignallingMode ReadSignallingMode(const HMemoryImage& image);

// Writes the compiled tables of the active signalling editors into the image:
// the front ends pass HSignallingSteps::WriteCompiledTables (editors layer).
using HSignallingTableWriter = std::function<void(HMemoryImage& image, HSignallingMode mode)>;

// Before a Download: the compiled signalling tables of `mode` (through
// `writeTables` when given), in 2-tone mode the top bit of byte 0x1C80
// cleared, then the fixed cleaning ranges.
void PrepareForDownload(HMemoryImage& image, HSignallingMode mode,
                        const HSignallingTableWriter& writeTables = {});

// The cleaning step alone: bytes 0x3A-0x51 to 0x00; 0x5A-0x71, 0x7A-0x91,
// 0x95-0x97, 0x99-0x9B, 0x9D-0x9F and 0xB0-0xDF to 0xFF.
void CleanImage(HMemoryImage& image);

} // namespace HTransferSteps
