#include "HRecordTable.h"

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
