#pragma once
// The check before writing: the rules that judge an image before it goes into
// a radio. Pure functions over images; they return findings, each naming the
// setting by its stable key and caption. `rp57cli check`, the program's
// Download and the controller (once it has read the radio) all use these.
#include "HCheckFinding.h"
#include "HMemoryImage.h"

#include <string>
#include <vector>

namespace HWriteCheck {

// What the image alone tells: adjustment checksums, channel frequencies inside
// the band, group counts against the capacity, Dual Watch without a priority
// channel, tags the radio cannot show, tones and signalling numbers that do not
// exist, and call keys, channels and decode answers of the active signalling
// family that would send an empty or missing encode entry. `accessLevel`
// decides whether the adjustment data would be written.
[[nodiscard]] std::vector<HCheckFinding> CheckImage(const HMemoryImage& image, int accessLevel);

// What needs the radio's identity: a file made for another band or product
// type; and at access level 0, which keeps the radio's Hardware page, the
// Hardware values of that page in which the file differs from the radio.
[[nodiscard]] std::vector<HCheckFinding>
CheckAgainstRadio(const HMemoryImage& image, const HMemoryImage& radio, int accessLevel);

// "error hardware.freq_band (Freq. Band): This file is ..."
[[nodiscard]] std::string Describe(const HCheckFinding& finding);

} // namespace HWriteCheck
