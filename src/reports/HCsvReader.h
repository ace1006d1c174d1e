#pragma once
// CSV text read back as the CSV writer and spreadsheets write it: fields parted
// by one separator; a field in double quotes may hold the separator, line ends
// and doubled quotes (RFC 4180); a field without quotes is taken as it
// stands. Each record keeps the line it starts on, so that a reader can name
// the line of a row it cannot use.
#include <string>
#include <string_view>
#include <vector>

namespace HCsvReader {

struct HCsvRecord {
    int line = 0; // line of the text the record starts on, from 1
    std::vector<std::string> fields;
    bool unterminated = false; // a quoted field ran to the end of the text
};

// Records ended by "\r\n", "\n" or "\r"; a leading UTF-8 byte order mark (as
// some spreadsheets write) is no text. Text after a closing quote and before
// the separator is kept with the field.
[[nodiscard]] std::vector<HCsvRecord> Read(std::string_view text, char separator);

} // namespace HCsvReader
