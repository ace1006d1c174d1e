#pragma once
// A settings group: the values of one editor's descriptor table(s), with
// SetDefaults, Load and Save written once here for every group. A group is a
// list of parts; a part walks some rows of a descriptor table either once (fixed
// rows) or over an array of records. Values are kept in part order, record by
// record, row by row, then any derived values the group adds.
#include "HFieldTable.h"
#include "HMemoryImage.h"
#include "HSettingsBase.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Which field-table class reads and writes a part.
enum class HFieldTableType {
    Plain, // HFieldTable rules (built as a record table with no record selected)
    Record,
    Channel,
    Text,
    Tag,
    Signed,
    Offset,
    Digit,
    Code,
    DigitChar,
    Emergency,
};

// Builds the field table of a type over rows and an image (mutable or read-only).
[[nodiscard]] std::unique_ptr<HRecordFieldTable>
HMakeFieldTable(HFieldTableType type, std::span<const HFieldDescriptor> rows,
                std::span<std::uint8_t> image);
[[nodiscard]] std::unique_ptr<HRecordFieldTable>
HMakeFieldTable(HFieldTableType type, std::span<const HFieldDescriptor> rows,
                std::span<const std::uint8_t> image);
[[nodiscard]] std::unique_ptr<HRecordFieldTable>
HMakeFieldTable(HFieldTableType type, std::span<const HFieldDescriptor> rows);

struct HGroupPart {
    std::span<const HFieldDescriptor> rows; // the whole descriptor table
    HFieldTableType tableType = HFieldTableType::Plain;
    std::uint32_t areaBase = 0;    // byte of record 0 (record parts)
    std::uint32_t recordSize = 0;  // bytes per record (record parts)
    std::uint32_t recordCount = 0; // 0: fixed rows, read once with no record selected
    std::uint32_t firstRow = 0;    // rows firstRow .. firstRow + rowCount - 1 are walked
    std::uint32_t rowCount = 0;    // 0: every row from firstRow on

    [[nodiscard]] constexpr std::uint32_t WalkedRows() const {
        return rowCount != 0 ? rowCount : static_cast<std::uint32_t>(rows.size()) - firstRow;
    }
    [[nodiscard]] constexpr std::uint32_t Records() const {
        return recordCount == 0 ? 1 : recordCount;
    }
    [[nodiscard]] constexpr std::size_t ValueCount() const {
        return std::size_t(WalkedRows()) * Records();
    }
};

// A part checks itself: its rows fit, every record lies inside the image, and
// the walked rows exist.
[[nodiscard]] constexpr bool HGroupPartIsSound(const HGroupPart& p,
                                               std::size_t imageSize = kImageSize) {
    if (p.rows.empty() || p.rows.size() > 255 || p.firstRow + p.WalkedRows() > p.rows.size())
        return false;
    const std::size_t last =
        p.recordCount == 0 ? 0 : std::size_t(p.recordSize) * (p.recordCount - 1);
    return HFieldRowsFit(p.rows.subspan(p.firstRow, p.WalkedRows()), p.areaBase, last, imageSize);
}

// For a group's static_assert: every part of it is sound.
[[nodiscard]] constexpr bool HGroupPartsAreSound(std::span<const HGroupPart> parts) {
    for (const HGroupPart& p : parts)
        if (!HGroupPartIsSound(p))
            return false;
    return true;
}

[[nodiscard]] constexpr std::size_t HGroupValueCount(std::span<const HGroupPart> parts) {
    std::size_t n = 0;
    for (const HGroupPart& p : parts)
        n += p.ValueCount();
    return n;
}

class HSettingsGroup : public HSettingsBase {
public:
    // derivedValues extra values follow the stored ones (see UpdateDerived).
    explicit HSettingsGroup(std::span<const HGroupPart> parts, std::size_t derivedValues = 0);

    // Every value from its row default (texts from the default text).
    void SetDefaults();
    // Every value from the image.
    void Load(std::span<const std::uint8_t> image);
    // Every value into the image; read-only rows, rows that already read as
    // their value and bits outside the rows are left as they are.
    void Save(std::span<std::uint8_t> image) const;

    [[nodiscard]] std::size_t ValueCount() const { return m_values.size(); }
    [[nodiscard]] std::size_t StoredValueCount() const { return m_storedCount; }
    // Value by index; -1 for an index out of range.
    [[nodiscard]] virtual std::int32_t GetValue(std::size_t index) const;
    virtual void SetValue(std::size_t index, std::int32_t value);
    // Text of a text row; empty for other indexes.
    [[nodiscard]] std::string GetText(std::size_t index) const;
    void SetText(std::size_t index, std::string_view text);
    [[nodiscard]] bool IsText(std::size_t index) const;
    // Whether another group of the same layout holds the same values and texts.
    [[nodiscard]] bool HoldsSameAs(const HSettingsGroup& other) const {
        return m_values == other.m_values && m_texts == other.m_texts;
    }

    // Index of (part, record, row of the descriptor table); ValueCount() when
    // out of range.
    [[nodiscard]] std::size_t IndexOf(std::size_t part, std::size_t record, std::size_t row) const;
    // The values of one record of a part, row by row from its first walked
    // row, as stored (without an accessor's derived view); empty when out of
    // range.
    [[nodiscard]] std::span<const std::int32_t> StoredRecord(std::size_t part,
                                                             std::size_t record) const;
    // Descriptor row behind a stored value, or null.
    [[nodiscard]] const HFieldDescriptor* DescriptorOf(std::size_t index) const;
    [[nodiscard]] std::span<const HGroupPart> Parts() const { return m_parts; }

protected:
    // The values as stored, without the accessor's derived view.
    [[nodiscard]] std::int32_t Stored(std::size_t index) const;
    void SetStored(std::size_t index, std::int32_t value);
    // Turns derived values back into stored rows just before a save; the copy
    // given is the one written.
    virtual void EncodeDerived(std::span<std::int32_t> /*values*/) const {}

private:
    std::span<const HGroupPart> m_parts;
    std::vector<std::size_t> m_partStart;
    std::size_t m_storedCount = 0;
    std::vector<std::int32_t> m_values;
    std::vector<std::string> m_texts;
};
