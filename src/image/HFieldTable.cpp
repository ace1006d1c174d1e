#include "HFieldTable.h"
#include "HFieldBits.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <limits>

namespace {

std::uint8_t ClampRowCount(std::size_t n) {
    return static_cast<std::uint8_t>(std::min<std::size_t>(n, 255));
}

std::uint32_t ClampBase(std::uint64_t base) {
    // A base past 32 bits can only come from a wild record index; keep it far
    // outside any image so the bounds checks refuse it.
    return base > std::numeric_limits<std::uint32_t>::max()
               ? std::numeric_limits<std::uint32_t>::max()
               : static_cast<std::uint32_t>(base);
}

std::int32_t Saturate(std::int64_t v) {
    if (v > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

bool IsSpecial5(const HFieldDescriptor& d) {
    return d.kind == HFieldKind::Number && d.scaleMode == HScaleMode::Special5;
}

} // namespace

// ---------------------------------------------------------------- codings

namespace HFieldCoding {

namespace {
// Every byte's filtered character, worked out once: tags and texts are
// filtered a character at a time on every load and save.
constexpr std::array<char, 256> kRadioText = [] {
    constexpr std::string_view kBlanked = "!\"#$%&',.;<>?@^{|}~";
    static_assert(kBlanked.size() == 19);
    std::array<char, 256> table{};
    for (std::size_t u = 0; u < table.size(); ++u) {
        const char c = static_cast<char>(u);
        const bool blank = u < 0x20 || u > 0x7F || kBlanked.find(c) != std::string_view::npos;
        table[u] = blank ? ' ' : c;
    }
    return table;
}();
} // namespace

char RadioTextFilter(char c) {
    return kRadioText[static_cast<unsigned char>(c)];
}

char DigitSymbol(std::uint8_t digit) {
    return kDigitSymbols[digit & 0x0F];
}

std::uint8_t DigitCode(char c) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::size_t pos = kDigitSymbols.find(upper);
    return pos == std::string_view::npos ? 0 : static_cast<std::uint8_t>(pos);
}

} // namespace HFieldCoding

// ---------------------------------------------------------------- HFieldTable

HFieldTable::HFieldTable(std::span<const HFieldDescriptor> descriptors,
                         std::span<std::uint8_t> image)
    : m_descriptors(descriptors), m_image(image), m_writable(true),
      m_rowCount(ClampRowCount(descriptors.size())) {}

HFieldTable::HFieldTable(std::span<const HFieldDescriptor> descriptors, HReadOnlyImage image)
    // The image is only ever read through this table: m_writable stays false
    // and every write path checks it.
    : m_descriptors(descriptors),
      m_image(const_cast<std::uint8_t*>(image.bytes.data()), image.bytes.size()), m_writable(false),
      m_rowCount(ClampRowCount(descriptors.size())) {}

HFieldTable::HFieldTable(std::span<const HFieldDescriptor> descriptors)
    : m_descriptors(descriptors), m_rowCount(ClampRowCount(descriptors.size())) {}

void HFieldTable::Attach(std::span<const HFieldDescriptor> descriptors,
                         std::span<std::uint8_t> image) {
    m_descriptors = descriptors;
    m_rowCount = ClampRowCount(descriptors.size());
    m_image = image;
    m_writable = true;
    m_byteBase = 0;
    m_bitBase = 0;
}

const HFieldDescriptor* HFieldTable::Row(std::size_t row) const {
    return row < m_rowCount ? &m_descriptors[row] : nullptr;
}

HFieldTable::HFieldAddress HFieldTable::AddressOf(std::size_t row) const {
    HFieldAddress a;
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr)
        return a;
    const std::uint64_t p = std::uint64_t(d->bitShift) + m_bitBase;
    a.firstByte = static_cast<std::size_t>(std::uint64_t(m_byteBase) + d->byteOffset + p / 8);
    a.bitPosition = static_cast<std::uint32_t>(p % 8);
    a.byteCount = (d->bitWidth + a.bitPosition + 7) / 8;
    const std::uint64_t ones = d->bitWidth >= 32 ? 0xFFFFFFFFull : ((1ull << d->bitWidth) - 1);
    a.mask = static_cast<std::uint32_t>(ones << a.bitPosition);
    return a;
}

bool HFieldTable::InImage(std::size_t offset, std::size_t count) const {
    return offset <= m_image.size() && count <= m_image.size() - offset;
}

int HFieldTable::ReadByte(std::size_t offset) const {
    return offset < m_image.size() ? m_image[offset] : -1;
}

void HFieldTable::WriteByte(std::size_t offset, std::uint8_t value) {
    if (m_writable && offset < m_image.size())
        m_image[offset] = value;
}

std::size_t HFieldTable::TextStart(const HFieldDescriptor& d) const {
    return static_cast<std::size_t>(std::uint64_t(m_byteBase) + d.byteOffset);
}

std::int32_t HFieldTable::GetRaw(std::size_t row) const {
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr)
        return -1;
    const HFieldAddress a = AddressOf(row);
    if (a.byteCount == 0 || a.byteCount > 4 || !InImage(a.firstByte, a.byteCount))
        return -1;
    const std::uint32_t extra =
        d->scaleMode == HScaleMode::Shift ? static_cast<std::uint32_t>(d->scaleParam) & 31 : 0;
    const std::uint64_t mask = std::uint64_t(a.mask) << extra;

    std::uint64_t value = 0;
    if (d->bigEndian) {
        value = HFieldBits::ReadBigEndian(&m_image[a.firstByte], a.byteCount) & mask;
    } else {
        for (std::uint32_t k = 0; k < a.byteCount; ++k)
            value |= std::uint64_t(m_image[a.firstByte + k] & ((mask >> (8 * k)) & 0xFF))
                     << (8 * k);
    }
    if (!d->keepPosition)
        value >>= a.bitPosition + extra;
    if (d->invert)
        value = value == 0 ? 1 : 0;

    std::int64_t v = static_cast<std::int64_t>(value & 0xFFFFFFFFull);
    if (d->scaleMode == HScaleMode::Multiply)
        return Saturate(v * d->scaleParam);
    if (d->scaleMode == HScaleMode::Divide && d->scaleParam != 0)
        v /= d->scaleParam;
    // A full 32-bit field keeps its bit pattern in the signed result.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

void HFieldTable::SetRaw(std::size_t row, std::int32_t value) {
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr || d->readOnly || !m_writable)
        return;
    const HFieldAddress a = AddressOf(row);
    if (a.byteCount == 0 || a.byteCount > 4 || !InImage(a.firstByte, a.byteCount))
        return;
    std::int64_t v = value;
    if (d->scaleMode == HScaleMode::Multiply && d->scaleParam != 0)
        v /= d->scaleParam;
    else if (d->scaleMode == HScaleMode::Divide)
        v *= d->scaleParam;
    if (d->invert)
        v = v == 0 ? 1 : 0;

    const std::uint32_t extra =
        d->scaleMode == HScaleMode::Shift ? static_cast<std::uint32_t>(d->scaleParam) & 31 : 0;
    std::uint64_t bits = static_cast<std::uint32_t>(v);
    if (!d->keepPosition)
        bits <<= a.bitPosition + extra;
    const std::uint64_t mask = std::uint64_t(a.mask) << extra;

    if (d->bigEndian) {
        std::uint8_t* at = &m_image[a.firstByte];
        const std::uint64_t number = HFieldBits::ReadBigEndian(at, a.byteCount);
        HFieldBits::WriteBigEndian(at, a.byteCount, (number & ~mask) | (bits & mask));
    } else {
        for (std::uint32_t k = 0; k < a.byteCount; ++k) {
            const auto maskByte = static_cast<std::uint8_t>((mask >> (8 * k)) & 0xFF);
            const auto valueByte = static_cast<std::uint8_t>((bits >> (8 * k)) & 0xFF);
            std::uint8_t& b = m_image[a.firstByte + k];
            // Only the masked bits of the value: the rest of the byte is not ours.
            b = static_cast<std::uint8_t>((b & ~maskByte) | (valueByte & maskByte));
        }
    }
}

std::int32_t HFieldTable::GetValue(std::size_t row) const {
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr || d->kind == HFieldKind::Text)
        return -1;
    if (d->kind == HFieldKind::Number)
        return GetRaw(row);
    const HFieldAddress a = AddressOf(row);
    if (a.byteCount == 0 || a.byteCount > 4 || !InImage(a.firstByte, a.byteCount))
        return -1;
    const auto raw = static_cast<std::uint32_t>(GetRaw(row));
    const std::uint32_t digits = (d->bitWidth + 3) / 4;
    std::int64_t value = 0;
    std::int64_t weight = 1;
    for (std::uint32_t k = 0; k < digits; ++k) {
        value += std::int64_t((raw >> (4 * k)) & 0x0F) * weight;
        weight *= 10;
    }
    return Saturate(value);
}

void HFieldTable::SetValue(std::size_t row, std::int32_t value) {
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr || d->readOnly || d->kind == HFieldKind::Text)
        return;
    if (d->kind == HFieldKind::Number) {
        SetRaw(row, value);
        return;
    }
    // BCD: digits beyond the field's nibbles are dropped; a negative value has
    // no decimal digits to store and is written as 0.
    std::uint32_t v = value < 0 ? 0 : static_cast<std::uint32_t>(value);
    const std::uint32_t digits = std::min<std::uint32_t>((d->bitWidth + 3) / 4, 8);
    std::uint32_t raw = 0;
    for (std::uint32_t k = 0; k < digits; ++k) {
        raw |= (v % 10) << (4 * k);
        v /= 10;
    }
    SetRaw(row, static_cast<std::int32_t>(raw));
}

std::string HFieldTable::GetString(std::size_t row) const {
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr || d->kind != HFieldKind::Text)
        return {};
    const std::size_t start = TextStart(*d);
    if (!InImage(start, d->bitWidth))
        return {};
    std::string text;
    for (std::uint32_t k = 0; k < d->bitWidth; ++k) {
        const char c = DecodeChar(m_image[start + k]);
        if (c == '\0')
            break;
        text.push_back(c);
    }
    return text;
}

void HFieldTable::SetString(std::size_t row, std::string_view text) {
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr || d->readOnly || !m_writable || d->kind != HFieldKind::Text)
        return;
    const std::size_t start = TextStart(*d);
    if (!InImage(start, d->bitWidth))
        return;
    const std::size_t length = std::min<std::size_t>(text.size(), d->bitWidth);
    for (std::size_t k = 0; k < length; ++k)
        m_image[start + k] = EncodeChar(text[k]);
    std::fill_n(m_image.begin() + std::ptrdiff_t(start + length), d->bitWidth - length,
                d->PadByte());
}

char HFieldTable::DecodeChar(std::uint8_t stored) const {
    return static_cast<char>(stored);
}

std::uint8_t HFieldTable::EncodeChar(char character) const {
    return static_cast<std::uint8_t>(character);
}

std::int32_t HFieldTable::GetDefault(std::size_t row) const {
    const HFieldDescriptor* d = Row(row);
    return d == nullptr ? -1 : d->defaultValue;
}

std::string HFieldTable::GetDefaultText(std::size_t row) const {
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr)
        return {};
    return std::string(d->defaultText.substr(0, d->bitWidth));
}

std::int32_t HFieldTable::FromSignMagnitude(std::uint32_t raw, std::uint32_t width) {
    return HFieldBits::FromSignMagnitude(raw, width);
}

std::uint32_t HFieldTable::ToSignMagnitude(std::int32_t value, std::uint32_t width) {
    return HFieldBits::ToSignMagnitude(value, width);
}

// ---------------------------------------------------------------- records

void HRecordFieldTable::SelectRecord(std::size_t index) {
    m_byteBase = ClampBase(std::uint64_t(m_areaBase) + std::uint64_t(m_recordSize) * index);
}

void HRecordFieldTable::SelectBitRecord(std::size_t index) {
    const std::uint64_t b = std::uint64_t(m_bitRecordSize) * index;
    m_bitBase = static_cast<std::uint32_t>(b % 8);
    m_byteBase = ClampBase(std::uint64_t(m_areaBase) + b / 8);
}

void HRecordFieldTable::SetRecordSize(std::uint32_t size) {
    m_recordSize = size;
    m_bitRecordSize = 0;
    m_bitBase = 0;
}

void HRecordFieldTable::SetBitRecordSize(std::uint32_t bits) {
    m_bitRecordSize = bits;
    m_recordSize = 0;
}

// ---------------------------------------------------------------- channels

char HChannelFieldTable::DecodeChar(std::uint8_t stored) const {
    return HFieldCoding::RadioTextFilter(static_cast<char>(std::toupper(stored)));
}

std::uint8_t HChannelFieldTable::EncodeChar(char character) const {
    return static_cast<std::uint8_t>(HFieldCoding::RadioTextFilter(character));
}

void HChannelFieldTable::SelectRecord(std::size_t index) {
    std::uint64_t base = std::uint64_t(m_areaBase) + std::uint64_t(m_recordSize) * index;
    // Records never straddle a page: each page ends with pageGap unused bytes.
    if (m_recordsPerPage != 0)
        base += std::uint64_t(m_pageGap) * (index / m_recordsPerPage);
    m_byteBase = ClampBase(base);
}

void HChannelFieldTable::SelectBitRecord(std::size_t index) {
    const std::uint64_t b = std::uint64_t(m_bitRecordSize) * index;
    std::uint64_t byteIndex = b / 8;
    if (m_wordSwap != 0)
        byteIndex ^= 1; // the radio keeps this table as 16-bit words, low byte first
    m_bitBase = static_cast<std::uint32_t>(b % 8);
    m_byteBase = ClampBase(std::uint64_t(m_areaBase) + byteIndex);
}

void HChannelFieldTable::SetPaging(std::uint32_t recordsPerPage, std::uint32_t pageGap) {
    m_recordsPerPage = recordsPerPage;
    m_pageGap = pageGap;
}

// ---------------------------------------------------------------- texts

char HTextFieldTable::DecodeChar(std::uint8_t stored) const {
    return HFieldCoding::RadioTextFilter(static_cast<char>(stored));
}

std::uint8_t HTextFieldTable::EncodeChar(char character) const {
    return static_cast<std::uint8_t>(HFieldCoding::RadioTextFilter(character));
}

namespace {
char TagChar(char c) {
    if (c == '#' || c == '.')
        return ' ';
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}
} // namespace

char HTagFieldTable::DecodeChar(std::uint8_t stored) const {
    return TagChar(static_cast<char>(stored));
}

std::uint8_t HTagFieldTable::EncodeChar(char character) const {
    // Stored as it will read back.
    return static_cast<std::uint8_t>(TagChar(character));
}

void HTagFieldTable::SelectBitRecord(std::size_t index) {
    const std::uint64_t b = std::uint64_t(m_bitRecordSize) * index;
    m_bitBase = static_cast<std::uint32_t>(7 - b % 8); // bit record 0 is the top bit
    m_byteBase = ClampBase(std::uint64_t(m_areaBase) + b / 8);
}

// ---------------------------------------------------------------- value codings

std::int32_t HSignedFieldTable::GetValue(std::size_t row) const {
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr || !IsSpecial5(*d))
        return HRecordFieldTable::GetValue(row);
    const std::int32_t raw = GetRaw(row);
    if (raw < 0)
        return -1;
    return FromSignMagnitude(static_cast<std::uint32_t>(raw), d->bitWidth);
}

void HSignedFieldTable::SetValue(std::size_t row, std::int32_t value) {
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr || !IsSpecial5(*d)) {
        HRecordFieldTable::SetValue(row, value);
        return;
    }
    SetRaw(row, static_cast<std::int32_t>(ToSignMagnitude(value, d->bitWidth)));
}

std::int32_t HOffsetFieldTable::GetValue(std::size_t row) const {
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr || !IsSpecial5(*d))
        return HRecordFieldTable::GetValue(row);
    const HFieldAddress a = AddressOf(row);
    if (a.byteCount == 0 || a.byteCount > 4 || !InImage(a.firstByte, a.byteCount))
        return -1;
    return Saturate(std::int64_t(GetRaw(row)) + d->scaleParam);
}

void HOffsetFieldTable::SetValue(std::size_t row, std::int32_t value) {
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr || !IsSpecial5(*d)) {
        HRecordFieldTable::SetValue(row, value);
        return;
    }
    // The stored field is unsigned: a value below the offset stores 0 rather
    // than wrapping to the field's largest number.
    SetRaw(row, Saturate(std::max<std::int64_t>(std::int64_t(value) - d->scaleParam, 0)));
}

// ---------------------------------------------------------------- packed digits

namespace {

// Digit i of a low-first packed string: low nibble of byte 0, then high and low
// nibbles of bytes 1, 2, ...
struct NibbleAt {
    std::size_t byte;
    bool high;
};
NibbleAt LowFirstNibble(std::size_t i) {
    return {(i + 1) / 2, i % 2 == 1};
}
NibbleAt HighFirstNibble(std::size_t i) {
    return {i / 2, i % 2 == 0};
}

std::uint8_t GetNibble(std::uint8_t byte, bool high) {
    return high ? static_cast<std::uint8_t>(byte >> 4) : static_cast<std::uint8_t>(byte & 0x0F);
}

void PutNibble(std::uint8_t& byte, bool high, std::uint8_t nibble) {
    nibble &= 0x0F;
    byte = high ? static_cast<std::uint8_t>((byte & 0x0F) | (nibble << 4))
                : static_cast<std::uint8_t>((byte & 0xF0) | nibble);
}

} // namespace

namespace {

// Shared by the low-first packed tables (digit and emergency).
template <typename Decode>
std::string ReadLowFirst(std::span<const std::uint8_t> image, std::size_t start,
                         std::uint32_t digits, Decode decode) {
    std::string text;
    for (std::uint32_t i = 0; i < digits; ++i) {
        const NibbleAt at = LowFirstNibble(i);
        const char c = decode(GetNibble(image[start + at.byte], at.high));
        if (c == '\0')
            break;
        text.push_back(c);
    }
    return text;
}

template <typename Encode>
void WriteLowFirst(std::span<std::uint8_t> image, std::size_t start, std::uint32_t digits,
                   std::string_view text, std::uint8_t pad, Encode encode) {
    for (std::uint32_t i = 0; i < digits; ++i) {
        const NibbleAt at = LowFirstNibble(i);
        PutNibble(image[start + at.byte], at.high, i < text.size() ? encode(text[i]) : pad);
    }
}

} // namespace

std::string HDigitFieldTable::GetString(std::size_t row) const {
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr || d->kind != HFieldKind::Text)
        return {};
    const std::size_t start = TextStart(*d);
    if (d->bitWidth == 0 || !InImage(start, d->bitWidth / 2 + 1))
        return {};
    return ReadLowFirst(m_image, start, d->bitWidth,
                        [this](std::uint8_t n) { return DecodeChar(n); });
}

void HDigitFieldTable::SetString(std::size_t row, std::string_view text) {
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr || d->readOnly || !Writable() || d->kind != HFieldKind::Text)
        return;
    const std::size_t start = TextStart(*d);
    if (d->bitWidth == 0 || !InImage(start, d->bitWidth / 2 + 1))
        return;
    WriteLowFirst(m_image, start, d->bitWidth, text, d->PadByte(),
                  [this](char c) { return EncodeChar(c); });
}

char HDigitFieldTable::DecodeChar(std::uint8_t stored) const {
    return HFieldCoding::DigitSymbol(stored);
}

std::uint8_t HDigitFieldTable::EncodeChar(char character) const {
    return HFieldCoding::DigitCode(character);
}

std::string HCodeFieldTable::GetString(std::size_t row) const {
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr || d->kind != HFieldKind::Text)
        return {};
    const std::size_t start = TextStart(*d);
    if (!InImage(start, (d->bitWidth + 1) / 2))
        return {};
    std::string text;
    for (std::uint32_t i = 0; i < d->bitWidth; ++i) {
        const NibbleAt at = HighFirstNibble(i);
        const std::uint8_t nibble = GetNibble(m_image[start + at.byte], at.high);
        // The second symbol of a code is a letter counted from 'B'.
        const char c = i == 1 ? static_cast<char>('B' + nibble) : DecodeChar(nibble);
        if (c == '\0')
            break;
        text.push_back(c);
    }
    return text;
}

void HCodeFieldTable::SetString(std::size_t row, std::string_view text) {
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr || d->readOnly || !Writable() || d->kind != HFieldKind::Text)
        return;
    const std::size_t start = TextStart(*d);
    if (!InImage(start, (d->bitWidth + 1) / 2))
        return;
    for (std::uint32_t i = 0; i < d->bitWidth; ++i) {
        const NibbleAt at = HighFirstNibble(i);
        std::uint8_t nibble = d->PadByte();
        if (i < text.size()) {
            const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
            nibble = i == 1 ? static_cast<std::uint8_t>(upper - 'B') : EncodeChar(text[i]);
        }
        PutNibble(m_image[start + at.byte], at.high, nibble);
    }
}

char HCodeFieldTable::DecodeChar(std::uint8_t stored) const {
    return HFieldCoding::DigitSymbol(stored);
}

std::uint8_t HCodeFieldTable::EncodeChar(char character) const {
    return HFieldCoding::DigitCode(character);
}

char HDigitCharFieldTable::DecodeChar(std::uint8_t stored) const {
    // Only the low nibble carries the code, as in the packed tables: an erased
    // byte reads '#' and a load-save pass settles on what was shown.
    return HFieldCoding::DigitSymbol(stored);
}

std::uint8_t HDigitCharFieldTable::EncodeChar(char character) const {
    return HFieldCoding::DigitCode(character);
}

// ---------------------------------------------------------------- emergency

namespace {
constexpr std::int32_t kEmergencyCodeTable[4] = {0, 3, 2, 1}; // its own inverse
}

std::int32_t HEmergencyFieldTable::GetValue(std::size_t row) const {
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr || d->kind != HFieldKind::Number ||
        (d->scaleMode != HScaleMode::Special5 && d->scaleMode != HScaleMode::Special6))
        return HRecordFieldTable::GetValue(row);
    const HFieldAddress a = AddressOf(row);
    if (a.byteCount == 0 || a.byteCount > 4 || !InImage(a.firstByte, a.byteCount))
        return -1;
    const auto raw = static_cast<std::uint32_t>(GetRaw(row));
    if (d->scaleMode == HScaleMode::Special5)
        return raw < 4 ? kEmergencyCodeTable[raw] : static_cast<std::int32_t>(raw);
    const std::uint32_t flag = 1u << (d->bitWidth - 1);
    return (raw & flag) != 0 ? static_cast<std::int32_t>(raw & ~flag) + 1
                             : static_cast<std::int32_t>(raw);
}

void HEmergencyFieldTable::SetValue(std::size_t row, std::int32_t value) {
    const HFieldDescriptor* d = Row(row);
    if (d == nullptr || d->kind != HFieldKind::Number ||
        (d->scaleMode != HScaleMode::Special5 && d->scaleMode != HScaleMode::Special6)) {
        HRecordFieldTable::SetValue(row, value);
        return;
    }
    if (d->scaleMode == HScaleMode::Special5) {
        SetRaw(row, value >= 0 && value < 4 ? kEmergencyCodeTable[value] : value);
        return;
    }
    if (value <= 0) {
        SetRaw(row, 0);
        return;
    }
    const std::uint32_t flag = 1u << (d->bitWidth - 1);
    const std::uint32_t number =
        std::min<std::uint32_t>(static_cast<std::uint32_t>(value) - 1, flag - 1);
    SetRaw(row, static_cast<std::int32_t>(number | flag));
}
