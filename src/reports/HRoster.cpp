#include "HRoster.h"

#include "HCsvReader.h"
#include "HFileUtil.h"
#include "HText.h"

#include <map>

namespace {

// A roster lists a shop's radios, some thousands of lines at the most.
constexpr std::size_t kMaxRosterBytes = 4 * 1024 * 1024;

std::string Cell(const std::string& text) {
    return std::string(HText::Trim(text));
}

} // namespace

bool HRoster::Load(const std::string& path, const HMemoryImage& image, int accessLevel,
                   const std::vector<std::string>& keep, std::string& error) {
    m_path = path;
    m_rows.clear();
    const HFileRead read = ReadRegularFile(path, kMaxRosterBytes);
    if (!read.Ok()) {
        error = path + ": cannot be read (" + read.reason + ")";
        return false;
    }
    const std::string text(read.bytes.begin(), read.bytes.end());
    const std::vector<HCsvReader::HCsvRecord> records = HCsvReader::Read(text, ',');
    if (records.empty()) {
        error = path + ": empty; its first line names the columns, serial and setting keys";
        return false;
    }
    const std::vector<std::string>& header = records.front().fields;
    std::vector<std::string> columns;
    int serialColumn = -1;
    for (std::size_t c = 0; c < header.size(); ++c) {
        columns.push_back(Cell(header[c]));
        if (columns.back() == kSerialColumn && serialColumn < 0)
            serialColumn = int(c);
    }
    if (serialColumn < 0) {
        error = path + ": no serial column; the first line names the columns, serial and "
                       "setting keys";
        return false;
    }
    if (std::string why = CheckKeep(image, accessLevel, keep); !why.empty()) {
        error = "--keep: " + why;
        return false;
    }
    for (std::size_t c = 0; c < columns.size(); ++c) {
        for (const std::string& k : keep)
            if (k == columns[c]) {
                error = path + ": " + k + " is a column of the roster and kept from each radio";
                return false;
            }
        for (std::size_t d = 0; d < c; ++d)
            if (columns[d] == columns[c]) {
                error = path + ": column " + columns[c] + " is there twice";
                return false;
            }
    }
    std::map<std::string, int> seen;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const HCsvReader::HCsvRecord& record = records[r];
        const std::string where = path + " line " + std::to_string(record.line);
        bool blank = true;
        for (const std::string& f : record.fields)
            blank = blank && Cell(f).empty();
        if (blank)
            continue;
        if (record.unterminated || record.fields.size() > columns.size()) {
            error = where + ": " +
                    (record.unterminated ? "a quoted field is not closed"
                                         : "more fields than the first line names");
            return false;
        }
        HRosterRow row;
        row.line = record.line;
        row.serial = std::size_t(serialColumn) < record.fields.size()
                         ? Cell(record.fields[std::size_t(serialColumn)])
                         : std::string();
        if (row.serial.empty()) {
            error = where + ": no serial number";
            return false;
        }
        if (const auto [at, added] = seen.emplace(row.serial, record.line); !added) {
            error = where + ": serial " + row.serial + " is on line " + std::to_string(at->second) +
                    " too";
            return false;
        }
        for (std::size_t c = 0; c < record.fields.size(); ++c) {
            const std::string value = Cell(record.fields[c]);
            if (int(c) != serialColumn && !value.empty())
                row.values.emplace_back(columns[c], value);
        }
        // Tried value by value, so that a refusal names its key.
        HMemoryImage trial = image;
        for (const auto& value : row.values) {
            const HSettingAssignments::Result tried =
                HSettingAssignments::Apply(trial, accessLevel, {value});
            if (!tried.error.empty()) {
                // The rules' reason names its key mostly; it is said once.
                const bool named = tried.error.starts_with(value.first + ":");
                error = where + " (serial " + row.serial + "), " +
                        (named ? tried.error : value.first + ": " + tried.error);
                return false;
            }
        }
        m_rows.push_back(std::move(row));
    }
    return true;
}

const HRosterRow* HRoster::Find(std::string_view serial) const {
    const std::string wanted(HText::Trim(serial));
    for (const HRosterRow& row : m_rows)
        if (row.serial == wanted)
            return &row;
    return nullptr;
}

std::string HRoster::CheckKeep(const HMemoryImage& image, int accessLevel,
                               const std::vector<std::string>& keep) {
    for (const std::string& key : keep) {
        std::string why;
        if (!HSettingAssignments::Shown(image, accessLevel, key, why))
            return why;
    }
    return {};
}

std::string HRoster::ImageFor(HMemoryImage& image, int accessLevel, const HRosterRow* row,
                              const std::vector<std::string>& keep, const HMemoryImage* radio,
                              std::string& received) {
    HSettingAssignments::Values values = row ? row->values : HSettingAssignments::Values{};
    if (!keep.empty() && radio == nullptr)
        return "the radio was not read whole, so its own settings cannot be kept";
    for (const std::string& key : keep) {
        std::string why;
        const std::optional<std::string> shown =
            HSettingAssignments::Shown(*radio, accessLevel, key, why);
        if (!shown)
            return why;
        values.emplace_back(key, *shown);
    }
    const HSettingAssignments::Result applied =
        HSettingAssignments::Apply(image, accessLevel, values);
    if (!applied.error.empty())
        return applied.error;
    received.clear();
    for (const auto& [key, value] : values) {
        std::string why;
        // Without the padding a fixed-length text shows with.
        const std::string shown =
            HSettingAssignments::Shown(image, accessLevel, key, why).value_or("");
        received += key + "=" + std::string(HText::TrimRight(shown)) + "\n";
    }
    if (!received.empty())
        received.pop_back();
    return {};
}
