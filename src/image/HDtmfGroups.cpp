#include "HDtmfGroups.h"

#include <algorithm>

std::string HCountedCode::Shown(std::string_view stored, std::int32_t count) {
    const auto n = std::size_t(std::clamp<std::int32_t>(count, 0, std::int32_t(stored.size())));
    return std::string(stored.substr(0, n));
}

std::string HCountedCode::Stored(std::string_view code, std::string_view before) {
    std::string out(code);
    if (code.size() < before.size())
        out += before.substr(code.size());
    return out;
}

std::size_t HPagingCodeGroup::Index(int record, int field) const {
    if (record < 0 || record >= RecordCount() || field < 0 || field >= HDtmfMap::Paging::kFields)
        return ValueCount();
    return IndexOf(0, std::size_t(record), std::size_t(field));
}

std::int32_t HPagingCodeGroup::GetField(int record, int field) const {
    return GetValue(Index(record, field));
}

void HPagingCodeGroup::SetField(int record, int field, std::int32_t value) {
    if (field != HDtmfMap::Paging::kCode)
        SetValue(Index(record, field), value);
}

std::string HPagingCodeGroup::GetText(int record, int field) const {
    return HSettingsGroup::GetText(Index(record, field));
}

void HPagingCodeGroup::SetText(int record, int field, std::string_view text) {
    if (field == HDtmfMap::Paging::kCode)
        HSettingsGroup::SetText(Index(record, field), text);
}

std::int32_t HPagingCodeGroup::GroupCode() const {
    return GetValue(IndexOf(1, 0, 0));
}
