#pragma once
// A table of records as a grid shows it: a settings group whose first part is
// an array of records (the rows) and whose further parts are areas loaded and
// stored with them. A field is a row of the records' descriptor table, so a
// grid column names its field by row number, and every field no column names
// is still loaded and stored, and so carried unchanged.
#include "HSettingsGroup.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class HRecordTable : public HSettingsGroup {
public:
    // parts[0] is the record array (recordCount > 0).
    explicit HRecordTable(std::span<const HGroupPart> parts);

    [[nodiscard]] int RecordCount() const;
    // Rows of the record descriptor table.
    [[nodiscard]] int FieldCount() const;

    // -1 (and nothing written) for a record or field outside the table.
    [[nodiscard]] std::int32_t GetField(int record, int field) const;
    void SetField(int record, int field, std::int32_t value);
    [[nodiscard]] std::string GetText(int record, int field) const;
    void SetText(int record, int field, std::string_view text);

    // Every record at its defaults (the further parts too), as a reset leaves them.
    void ResetRecords() { SetDefaults(); }

    // Load, remembering each record's texts as read.
    void LoadRecords(std::span<const std::uint8_t> image);
    // Save, except that a text still as it was read keeps its bytes: a tag
    // the radio holds in bytes no text coding gives back (NUL padding, codes
    // above 127) is not rewritten by an edit of another cell.
    void SaveRecords(std::span<std::uint8_t> image) const;

private:
    [[nodiscard]] std::size_t Index(int record, int field) const;
    std::vector<std::string> m_loadedTexts; // by record, then text field
};
