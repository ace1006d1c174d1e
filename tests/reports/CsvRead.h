#pragma once
// Reads CSV text back as a reader that follows RFC 4180 would: fields in
// double quotes (a doubled quote stands for one), parted by commas, records
// ended by a line feed.
#include <string>
#include <string_view>
#include <vector>

using CsvRows = std::vector<std::vector<std::string>>;

// Rows, or nothing with `error` set when the text is not well-formed.
inline CsvRows ReadCsv(std::string_view text, std::string* error = nullptr) {
    CsvRows rows;
    std::vector<std::string> row;
    std::string field;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '"') {
            if (error)
                *error = "unquoted field at byte " + std::to_string(i);
            return {};
        }
        ++i;
        for (;;) {
            if (i >= text.size()) {
                if (error)
                    *error = "unterminated field";
                return {};
            }
            if (text[i] == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            field += text[i++];
        }
        row.push_back(std::move(field));
        field.clear();
        if (i < text.size() && text[i] == ',') {
            ++i;
        } else if (i < text.size() && text[i] == '\n') {
            ++i;
            rows.push_back(std::move(row));
            row.clear();
        } else {
            if (error)
                *error = "bad byte after a field at " + std::to_string(i);
            return {};
        }
    }
    if (!row.empty()) {
        if (error)
            *error = "last record without its line end";
        return {};
    }
    return rows;
}
