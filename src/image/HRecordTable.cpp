#include "HRecordTable.h"

#include <algorithm>

HRecordTable::HRecordTable(std::span<const HGroupPart> parts) : HSettingsGroup(parts) {}

int HRecordTable::RecordCount() const {
    return Parts().empty() ? 0 : static_cast<int>(Parts().front().recordCount);
}

int HRecordTable::FieldCount() const {
    return Parts().empty() ? 0 : static_cast<int>(Parts().front().rows.size());
}

std::size_t HRecordTable::Index(int record, int field) const {
    if (record < 0 || field < 0)
        return ValueCount();
    return IndexOf(0, static_cast<std::size_t>(record), static_cast<std::size_t>(field));
}

std::int32_t HRecordTable::GetField(int record, int field) const {
    const std::size_t i = Index(record, field);
    return i < StoredValueCount() ? GetValue(i) : -1;
}

void HRecordTable::SetField(int record, int field, std::int32_t value) {
    const std::size_t i = Index(record, field);
    if (i < StoredValueCount())
        SetValue(i, value);
}

std::string HRecordTable::GetText(int record, int field) const {
    const std::size_t i = Index(record, field);
    return i < StoredValueCount() ? HSettingsGroup::GetText(i) : std::string();
}

void HRecordTable::SetText(int record, int field, std::string_view text) {
    const std::size_t i = Index(record, field);
    if (i < StoredValueCount() && IsText(i))
        HSettingsGroup::SetText(i, text);
}

void HRecordTable::LoadRecords(std::span<const std::uint8_t> image) {
    Load(image);
    m_loadedTexts.clear();
    for (int r = 0; r < RecordCount(); ++r)
        for (int f = 0; f < FieldCount(); ++f)
            if (IsText(Index(r, f)))
                m_loadedTexts.push_back(GetText(r, f));
}

void HRecordTable::SaveRecords(std::span<std::uint8_t> image) const {
    if (Parts().empty() || image.size() != kImageSize)
        return;
    const HGroupPart& part = Parts().front();
    // Packed digit texts share bytes with their neighbours: only texts of a
    // byte per character are given their bytes back.
    const bool bytePerChar = part.tableType == HFieldTableType::Record ||
                             part.tableType == HFieldTableType::Text ||
                             part.tableType == HFieldTableType::Plain;
    HMemoryImage before{};
    std::copy(image.begin(), image.end(), before.begin());
    Save(image);
    if (!bytePerChar)
        return;
    std::size_t k = 0;
    for (int r = 0; r < RecordCount(); ++r)
        for (int f = 0; f < FieldCount(); ++f) {
            if (!IsText(Index(r, f)))
                continue;
            const std::size_t at = k++;
            if (at >= m_loadedTexts.size() || GetText(r, f) != m_loadedTexts[at])
                continue;
            const HFieldDescriptor& d = part.rows[static_cast<std::size_t>(f)];
            const std::size_t first = part.areaBase +
                                      std::size_t(part.recordSize) * static_cast<std::size_t>(r) +
                                      d.byteOffset;
            const std::size_t end = std::min(first + d.bitWidth, image.size());
            for (std::size_t i = first; i < end; ++i)
                image[i] = before[i];
        }
}
