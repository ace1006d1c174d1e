#pragma once
// The name of a change of the image as the Edit menu shows it ("Edit RX
// Frequency, channel 12"), found from the image before and after it. Changes
// that come from a command are named by the command; this names the rest
// (cell edits, ticks, tone picks).
#include "HMemoryImage.h"

#include <string>

namespace HChangeName {

// "Edit <column>, channel N" for one channel whose first changed column is
// one whose dependants cover the others; "Edit channel N" for several
// unrelated columns of one channel; "Edit <column>, N channels" and "Edit N
// channels" for several channels; "Edit" when no channel cell shows it.
[[nodiscard]] std::string Describe(const HMemoryImage& before, const HMemoryImage& after);

} // namespace HChangeName
