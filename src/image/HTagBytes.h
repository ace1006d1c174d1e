#pragma once
// The stored bytes of the image's tag texts, as they are, before any reading
// rule turns them into what a dialog shows: the check before writing needs to
// see characters the radio cannot show, which the readers hide as blanks.
#include "HMemoryImage.h"

#include <string>

namespace HTagBytes {

// Channel c's 8-byte tag (trailing pad bytes 0 included).
[[nodiscard]] std::string ChannelTag(const HMemoryImage& image, int c);
// Group g's 8-byte tag.
[[nodiscard]] std::string GroupTag(const HMemoryImage& image, int g);
// The 8-byte Power ON tag of the Power Saving settings.
[[nodiscard]] std::string PowerOnTag(const HMemoryImage& image);

// The characters of a stored tag that the radio shows as a blank although
// they are no blank (control bytes, bytes above 0x7F, the 19 filtered signs).
// A channel tag's trailing 0 pad bytes are no characters.
[[nodiscard]] std::string UnshownChars(const std::string& stored);

} // namespace HTagBytes
