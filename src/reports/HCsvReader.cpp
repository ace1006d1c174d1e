#include "HCsvReader.h"

namespace HCsvReader {

std::vector<HCsvRecord> Read(std::string_view text, char separator) {
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::vector<HCsvRecord> records;
    HCsvRecord record;
    std::string field;
    int line = 1;
    record.line = line;
    std::size_t i = 0;
    const auto endRecord = [&] {
        record.fields.push_back(std::move(field));
        field.clear();
        records.push_back(std::move(record));
        record = HCsvRecord{};
    };
    // A line end at i: its length (0 when none).
    const auto lineEnd = [&text](std::size_t at) -> std::size_t {
        if (text[at] == '\n')
            return 1;
        if (text[at] == '\r')
            return at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
        return 0;
    };
    bool atFieldStart = true;
    while (i < text.size()) {
        const char ch = text[i];
        if (atFieldStart && ch == '"') {
            // A quoted field: up to the quote that is not doubled.
            ++i;
            bool closed = false;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                if (const std::size_t n = lineEnd(i); n > 0) {
                    field.append(text.substr(i, n));
                    i += n;
                    ++line;
                    continue;
                }
                field += text[i++];
            }
            if (!closed)
                record.unterminated = true;
            atFieldStart = false;
            continue;
        }
        atFieldStart = false;
        if (ch == separator) {
            record.fields.push_back(std::move(field));
            field.clear();
            atFieldStart = true;
            ++i;
            continue;
        }
        if (const std::size_t n = lineEnd(i); n > 0) {
            endRecord();
            i += n;
            record.line = ++line;
            atFieldStart = true;
            continue;
        }
        field += ch;
        ++i;
    }
    // The last record needs no line end; a text that ends with one has no
    // empty record after it.
    if (!atFieldStart || !record.fields.empty() || !field.empty())
        endRecord();
    return records;
}

} // namespace HCsvReader
