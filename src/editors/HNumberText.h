#pragma once
// printf-style number texts that always use '.' as the decimal point, whatever
// locale the front end has switched the C library to: the radio's texts, the
// export and the report were always written so.
#include <string>
#include <string_view>

// Formats one number with a format of one conversion (HEditFormatIsSound):
// integer conversions get the value rounded to the nearest int (saturated),
// floating conversions the value as is. An unsound format gives "%g".
[[nodiscard]] std::string HFormatNumber(std::string_view format, double value);

// Parses the leading number of a text (blanks skipped; ',' read as '.'), as
// atof and strtol do: whatever cannot be read gives 0. base 8 and 16 read an
// integer in that base; base 10 a decimal number.
[[nodiscard]] double HParseNumber(std::string_view text, int base = 10);
