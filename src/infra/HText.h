#pragma once
// Text helpers every layer uses on the radio's ASCII texts, in one place.
#include <string>
#include <string_view>
#include <vector>

namespace HText {

// What cell texts and settings values may be padded with.
inline constexpr std::string_view kBlanks = " \t\r";
// What fixed-length texts from the image end in: blanks and NUL padding.
inline constexpr std::string_view kPadding{" \0", 2};

// `s` without the characters of `strip` at either end (Trim) or at its end.
[[nodiscard]] std::string_view Trim(std::string_view s, std::string_view strip = kBlanks);
[[nodiscard]] std::string_view TrimRight(std::string_view s, std::string_view strip = kBlanks);
// ASCII letters in upper case; every other byte as it is (the radio's
// character set is ASCII, and the locale must not change what is stored).
[[nodiscard]] std::string Upper(std::string_view s);
// Whether `a` and `b` are the same text but for the case of ASCII letters
// (titles as a spreadsheet may have retyped them).
[[nodiscard]] bool SameIgnoringCase(std::string_view a, std::string_view b);
// The pieces of `s` between the separators (an empty `s` is one empty piece).
[[nodiscard]] std::vector<std::string_view> Split(std::string_view s, char sep);
// Lines ended by "\r\n", "\n" or "\r"; blank lines at the end are no lines.
[[nodiscard]] std::vector<std::string_view> Lines(std::string_view text);

} // namespace HText
