#include "HSettingsGroup.h"

#include <functional>

namespace {

template <typename Image>
std::unique_ptr<HRecordFieldTable> MakeTable(HFieldTableType type,
                                             std::span<const HFieldDescriptor> rows, Image image) {
    switch (type) {
    case HFieldTableType::Plain:
    case HFieldTableType::Record:
        return std::make_unique<HRecordFieldTable>(rows, image);
    case HFieldTableType::Channel:
        return std::make_unique<HChannelFieldTable>(rows, image);
    case HFieldTableType::Text:
        return std::make_unique<HTextFieldTable>(rows, image);
    case HFieldTableType::Tag:
        return std::make_unique<HTagFieldTable>(rows, image);
    case HFieldTableType::Signed:
        return std::make_unique<HSignedFieldTable>(rows, image);
    case HFieldTableType::Offset:
        return std::make_unique<HOffsetFieldTable>(rows, image);
    case HFieldTableType::Digit:
        return std::make_unique<HDigitFieldTable>(rows, image);
    case HFieldTableType::Code:
        return std::make_unique<HCodeFieldTable>(rows, image);
    case HFieldTableType::DigitChar:
        return std::make_unique<HDigitCharFieldTable>(rows, image);
    case HFieldTableType::Emergency:
        return std::make_unique<HEmergencyFieldTable>(rows, image);
    }
    return std::make_unique<HRecordFieldTable>(rows, image);
}

} // namespace

std::unique_ptr<HRecordFieldTable> HMakeFieldTable(HFieldTableType type,
                                                   std::span<const HFieldDescriptor> rows,
                                                   std::span<std::uint8_t> image) {
    return MakeTable(type, rows, image);
}

std::unique_ptr<HRecordFieldTable> HMakeFieldTable(HFieldTableType type,
                                                   std::span<const HFieldDescriptor> rows,
                                                   std::span<const std::uint8_t> image) {
    return MakeTable(type, rows, HReadOnlyImage{image});
}

std::unique_ptr<HRecordFieldTable> HMakeFieldTable(HFieldTableType type,
                                                   std::span<const HFieldDescriptor> rows) {
    return MakeTable(type, rows, HReadOnlyImage{});
}

HSettingsGroup::HSettingsGroup(std::span<const HGroupPart> parts, std::size_t derivedValues)
    : m_parts(parts) {
    std::size_t n = 0;
    for (const HGroupPart& p : parts) {
        m_partStart.push_back(n);
        n += p.ValueCount();
    }
    m_storedCount = n;
    m_values.assign(n + derivedValues, 0);
    m_texts.assign(n, std::string());
    SetDefaults();
}

namespace {

// Walks every stored value of a group: fn(table, row, valueIndex) with the
// table moved to the value's record.
template <typename Fn>
void Walk(std::span<const HGroupPart> parts, std::span<const std::size_t> starts,
          const std::function<std::unique_ptr<HRecordFieldTable>(const HGroupPart&)>& make, Fn fn) {
    for (std::size_t pi = 0; pi < parts.size(); ++pi) {
        const HGroupPart& part = parts[pi];
        std::unique_ptr<HRecordFieldTable> table = make(part);
        if (part.recordCount != 0) {
            table->SetAreaBase(part.areaBase);
            table->SetRecordSize(part.recordSize);
        }
        const std::uint32_t walked = part.WalkedRows();
        for (std::uint32_t r = 0; r < part.Records(); ++r) {
            if (part.recordCount != 0)
                table->SelectRecord(r);
            for (std::uint32_t k = 0; k < walked; ++k)
                fn(*table, part.firstRow + k, starts[pi] + std::size_t(r) * walked + k);
        }
    }
}

} // namespace

void HSettingsGroup::SetDefaults() {
    Walk(
        m_parts, m_partStart,
        [](const HGroupPart& p) { return HMakeFieldTable(p.tableType, p.rows); },
        [this](HRecordFieldTable& t, std::size_t row, std::size_t i) {
            if (t.Row(row)->kind == HFieldKind::Text) {
                m_texts[i] = t.GetDefaultText(row);
                m_values[i] = 0;
            } else {
                m_values[i] = t.GetDefault(row);
            }
        });
    for (std::size_t i = m_storedCount; i < m_values.size(); ++i)
        m_values[i] = 0;
    UpdateDerived();
}

void HSettingsGroup::Load(std::span<const std::uint8_t> image) {
    Walk(
        m_parts, m_partStart,
        [image](const HGroupPart& p) { return HMakeFieldTable(p.tableType, p.rows, image); },
        [this](HRecordFieldTable& t, std::size_t row, std::size_t i) {
            if (t.Row(row)->kind == HFieldKind::Text) {
                m_texts[i] = t.GetString(row);
                m_values[i] = 0;
            } else {
                m_values[i] = t.GetValue(row);
            }
        });
    UpdateDerived();
}

void HSettingsGroup::Save(std::span<std::uint8_t> image) const {
    std::vector<std::int32_t> values = m_values;
    EncodeDerived(values);
    Walk(
        m_parts, m_partStart,
        [image](const HGroupPart& p) { return HMakeFieldTable(p.tableType, p.rows, image); },
        [&](HRecordFieldTable& t, std::size_t row, std::size_t i) {
            // A row that already reads as the value keeps its bits: the image
            // may hold it in a form no write gives back (BCD nibbles above 9,
            // filtered characters, a text's pad bytes), and a value left as it
            // was must stay as the radio holds it.
            if (t.Row(row)->kind == HFieldKind::Text) {
                if (t.GetString(row) != m_texts[i])
                    t.SetString(row, m_texts[i]);
            } else if (t.GetValue(row) != values[i]) {
                t.SetValue(row, values[i]);
            }
        });
}

std::int32_t HSettingsGroup::GetValue(std::size_t index) const {
    return Stored(index);
}

void HSettingsGroup::SetValue(std::size_t index, std::int32_t value) {
    SetStored(index, value);
}

std::int32_t HSettingsGroup::Stored(std::size_t index) const {
    return index < m_values.size() ? m_values[index] : -1;
}

void HSettingsGroup::SetStored(std::size_t index, std::int32_t value) {
    if (index < m_values.size())
        m_values[index] = value;
}

std::string HSettingsGroup::GetText(std::size_t index) const {
    return IsText(index) ? m_texts[index] : std::string();
}

void HSettingsGroup::SetText(std::size_t index, std::string_view text) {
    if (IsText(index))
        m_texts[index] = std::string(text);
}

bool HSettingsGroup::IsText(std::size_t index) const {
    const HFieldDescriptor* d = DescriptorOf(index);
    return d != nullptr && d->kind == HFieldKind::Text;
}

std::size_t HSettingsGroup::IndexOf(std::size_t part, std::size_t record, std::size_t row) const {
    if (part >= m_parts.size())
        return m_values.size();
    const HGroupPart& p = m_parts[part];
    if (record >= p.Records() || row < p.firstRow || row >= p.firstRow + p.WalkedRows())
        return m_values.size();
    return m_partStart[part] + record * p.WalkedRows() + (row - p.firstRow);
}

std::span<const std::int32_t> HSettingsGroup::StoredRecord(std::size_t part,
                                                           std::size_t record) const {
    if (part >= m_parts.size())
        return {};
    const std::size_t first = IndexOf(part, record, m_parts[part].firstRow);
    if (first >= m_values.size())
        return {};
    return std::span<const std::int32_t>(m_values).subspan(first, m_parts[part].WalkedRows());
}

const HFieldDescriptor* HSettingsGroup::DescriptorOf(std::size_t index) const {
    if (index >= m_storedCount)
        return nullptr;
    for (std::size_t pi = m_parts.size(); pi-- > 0;) {
        if (index >= m_partStart[pi]) {
            const HGroupPart& p = m_parts[pi];
            return &p.rows[p.firstRow + (index - m_partStart[pi]) % p.WalkedRows()];
        }
    }
    return nullptr;
}
