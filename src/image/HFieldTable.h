#pragma once
// Table-driven access to the settings held in the radio memory image. A field
// table is a short-lived accessor built on the stack over a constant descriptor
// table and an image; rows are read and written by index. Subclasses choose the
// character coding of texts, the digit packing and scale modes 5 and 6.
//
// Addresses are checked against the image given: a field that would reach
// outside it reads like a row out of range (-1 / empty text) and is never
// written, so a stray record index cannot touch memory beyond the image.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

enum class HFieldKind : std::uint32_t {
    Number = 0, // plain binary number
    Bcd = 1,    // binary coded decimal, lowest nibble = units
    Text = 2,   // bitWidth characters (or digits) from the row's byte
};

// For text rows the low byte of the scale mode is the pad byte instead.
enum class HScaleMode : std::uint32_t {
    None = 0,
    Shift = 2,    // mask and value moved up by scaleParam more bits
    Multiply = 3, // read multiplies by scaleParam, write divides
    Divide = 4,   // read divides by scaleParam, write multiplies
    Special5 = 5, // subclass-defined: sign-magnitude, offset or code table
    Special6 = 6, // subclass-defined: off-or-number
};

// One row of a descriptor table: where one setting lives and how it is coded.
// Build rows with the constexpr helpers below, e.g.
//   HField(33, 5, 3, 0)                 3-bit number at bits 5-7 of byte 33
//   HField(47, 4, 1, 0).Inverted()      inverted flag
//   HTextField(1024, 8, "SELFTEST")     8-character text
struct HFieldDescriptor {
    HFieldKind kind = HFieldKind::Number;
    std::uint32_t byteOffset = 0;
    std::uint32_t bitShift = 0;
    std::uint32_t bitWidth = 0; // bits for kinds 0 and 1; characters or digits for kind 2
    std::int32_t defaultValue = 0;
    std::string_view defaultText = " "; // at most 11 characters
    bool invert = false;
    bool keepPosition = false;
    bool bigEndian = true;
    bool readOnly = false;
    HScaleMode scaleMode = HScaleMode::None;
    std::int32_t scaleParam = 0;

    [[nodiscard]] constexpr HFieldDescriptor Inverted() const {
        HFieldDescriptor d = *this;
        d.invert = true;
        return d;
    }
    [[nodiscard]] constexpr HFieldDescriptor ReadOnly() const {
        HFieldDescriptor d = *this;
        d.readOnly = true;
        return d;
    }
    [[nodiscard]] constexpr HFieldDescriptor AsBcd() const {
        HFieldDescriptor d = *this;
        d.kind = HFieldKind::Bcd;
        return d;
    }
    [[nodiscard]] constexpr HFieldDescriptor LittleEndian() const {
        HFieldDescriptor d = *this;
        d.bigEndian = false;
        return d;
    }
    [[nodiscard]] constexpr HFieldDescriptor KeepPosition() const {
        HFieldDescriptor d = *this;
        d.keepPosition = true;
        return d;
    }
    [[nodiscard]] constexpr HFieldDescriptor Scaled(HScaleMode mode, std::int32_t param = 0) const {
        HFieldDescriptor d = *this;
        d.scaleMode = mode;
        d.scaleParam = param;
        return d;
    }
    // Pad byte (or pad digit) of a text row.
    [[nodiscard]] constexpr std::uint8_t PadByte() const {
        return static_cast<std::uint8_t>(static_cast<std::uint32_t>(scaleMode) & 0xFFu);
    }
    // Bytes the row occupies from its first byte, for checks and tests. Packed
    // digit strings are told by the table class, not the row: this gives the
    // byte-per-character size for text rows.
    [[nodiscard]] constexpr std::uint32_t SpanBytes() const {
        if (kind == HFieldKind::Text)
            return bitWidth;
        return (bitShift % 8 + bitWidth + 7) / 8 + bitShift / 8;
    }
};

[[nodiscard]] constexpr HFieldDescriptor HField(std::uint32_t byteOffset, std::uint32_t bitShift,
                                                std::uint32_t bitWidth,
                                                std::int32_t defaultValue = 0) {
    HFieldDescriptor d;
    d.byteOffset = byteOffset;
    d.bitShift = bitShift;
    d.bitWidth = bitWidth;
    d.defaultValue = defaultValue;
    return d;
}

[[nodiscard]] constexpr HFieldDescriptor HTextField(std::uint32_t byteOffset, std::uint32_t chars,
                                                    std::string_view defaultText = " ",
                                                    std::uint8_t padByte = 0) {
    HFieldDescriptor d;
    d.kind = HFieldKind::Text;
    d.byteOffset = byteOffset;
    d.bitWidth = chars;
    d.defaultText = defaultText;
    d.scaleMode = static_cast<HScaleMode>(padByte);
    return d;
}

// Checks a descriptor row can make sense, for static_assert over whole tables:
// numbers fit in 32 bits (n <= 4 bytes), texts have a default that fits.
[[nodiscard]] constexpr bool HFieldRowIsSound(const HFieldDescriptor& d) {
    if (d.bitShift > 7)
        return false;
    if (d.kind == HFieldKind::Text)
        return d.bitWidth >= 1 && d.bitWidth <= 64 && d.defaultText.size() <= 11;
    if (d.bitWidth < 1 || d.bitWidth > 32)
        return false;
    const std::uint32_t extra = d.scaleMode == HScaleMode::Shift ? std::uint32_t(d.scaleParam) : 0;
    if (d.bitShift + d.bitWidth + extra > 32)
        return false;
    if (d.kind == HFieldKind::Bcd && d.bitWidth % 4 != 0)
        return false;
    if ((d.scaleMode == HScaleMode::Multiply || d.scaleMode == HScaleMode::Divide) &&
        d.scaleParam == 0)
        return false;
    return true;
}

// True when every row is sound and, placed at areaBase (plus the largest
// record offset lastRecordOffset), lies inside an image of imageSize bytes.
[[nodiscard]] constexpr bool HFieldRowsFit(std::span<const HFieldDescriptor> rows,
                                           std::size_t areaBase, std::size_t lastRecordOffset,
                                           std::size_t imageSize) {
    for (const HFieldDescriptor& d : rows) {
        if (!HFieldRowIsSound(d))
            return false;
        if (areaBase + lastRecordOffset + d.byteOffset + d.SpanBytes() > imageSize)
            return false;
    }
    return true;
}

// An image handed to a table for reading only: HFieldTable t(rows, HReadOnlyImage{image}).
struct HReadOnlyImage {
    std::span<const std::uint8_t> bytes;
};

class HFieldTable {
public:
    HFieldTable(std::span<const HFieldDescriptor> descriptors, std::span<std::uint8_t> image);
    // Read-only view: every set operation is ignored.
    HFieldTable(std::span<const HFieldDescriptor> descriptors, HReadOnlyImage image);
    // Table used only for GetDefault / GetDefaultText.
    explicit HFieldTable(std::span<const HFieldDescriptor> descriptors);
    virtual ~HFieldTable() = default;

    HFieldTable(const HFieldTable&) = delete;
    HFieldTable& operator=(const HFieldTable&) = delete;

    // Rebinds the table; byteBase and bitBase become 0.
    virtual void Attach(std::span<const HFieldDescriptor> descriptors,
                        std::span<std::uint8_t> image);
    [[nodiscard]] virtual std::int32_t GetValue(std::size_t row) const;
    [[nodiscard]] virtual std::int32_t GetRaw(std::size_t row) const;
    [[nodiscard]] virtual std::string GetString(std::size_t row) const;
    virtual void SetValue(std::size_t row, std::int32_t value);
    virtual void SetRaw(std::size_t row, std::int32_t value);
    virtual void SetString(std::size_t row, std::string_view text);
    [[nodiscard]] virtual char DecodeChar(std::uint8_t stored) const;
    [[nodiscard]] virtual std::uint8_t EncodeChar(char character) const;

    // defaultValue; -1 for a row out of range.
    [[nodiscard]] std::int32_t GetDefault(std::size_t row) const;
    // defaultText cut to bitWidth characters; empty for a row out of range.
    [[nodiscard]] std::string GetDefaultText(std::size_t row) const;

    [[nodiscard]] std::size_t RowCount() const { return m_rowCount; }
    [[nodiscard]] const HFieldDescriptor* Row(std::size_t row) const;
    [[nodiscard]] std::uint32_t ByteBase() const { return m_byteBase; }
    [[nodiscard]] std::uint32_t BitBase() const { return m_bitBase; }
    [[nodiscard]] bool HasImage() const { return !m_image.empty(); }

    // Where a number row lies now: first byte (from image start), bit position
    // in it, byte count and mask, as used by reads and writes.
    struct HFieldAddress {
        std::size_t firstByte = 0;
        std::uint32_t bitPosition = 0;
        std::uint32_t byteCount = 0;
        std::uint32_t mask = 0;
    };
    [[nodiscard]] HFieldAddress AddressOf(std::size_t row) const;

protected:
    // Image byte access with bounds checks; Read gives -1 outside the image.
    [[nodiscard]] int ReadByte(std::size_t offset) const;
    void WriteByte(std::size_t offset, std::uint8_t value);
    [[nodiscard]] bool InImage(std::size_t offset, std::size_t count) const;
    [[nodiscard]] bool Writable() const { return m_writable; }
    // First byte of a text row now.
    [[nodiscard]] std::size_t TextStart(const HFieldDescriptor& d) const;

    // Sign-magnitude (scale mode 5 of the channel and signed tables), on the
    // field's top bit.
    [[nodiscard]] static std::int32_t FromSignMagnitude(std::uint32_t raw, std::uint32_t width);
    [[nodiscard]] static std::uint32_t ToSignMagnitude(std::int32_t value, std::uint32_t width);

    std::span<const HFieldDescriptor> m_descriptors;
    std::span<std::uint8_t> m_image;
    bool m_writable = false;
    std::uint8_t m_rowCount = 0;
    std::uint32_t m_byteBase = 0;
    std::uint32_t m_bitBase = 0;
};

// A table over an array of records (byte records or packed bit records).
class HRecordFieldTable : public HFieldTable {
public:
    using HFieldTable::HFieldTable;

    virtual void SelectRecord(std::size_t index);
    virtual void SelectBitRecord(std::size_t index);

    void SetAreaBase(std::uint32_t areaBase) { m_areaBase = areaBase; }
    // recordSize = n, bitRecordSize = 0, bitBase = 0.
    void SetRecordSize(std::uint32_t size);
    // bitRecordSize = n, recordSize = 0.
    void SetBitRecordSize(std::uint32_t bits);

    [[nodiscard]] std::uint32_t AreaBase() const { return m_areaBase; }
    [[nodiscard]] std::uint32_t RecordSize() const { return m_recordSize; }
    [[nodiscard]] std::uint32_t BitRecordSize() const { return m_bitRecordSize; }

protected:
    std::uint32_t m_areaBase = 0;
    std::uint32_t m_recordSize = 0;
    std::uint32_t m_bitRecordSize = 0;
};

// Scale mode 5 = sign-magnitude on the field's top bit.
class HSignedFieldTable : public HRecordFieldTable {
public:
    using HRecordFieldTable::HRecordFieldTable;
    [[nodiscard]] std::int32_t GetValue(std::size_t row) const override;
    void SetValue(std::size_t row, std::int32_t value) override;
};

// The channel area: paged byte records, word-swapped bit tables, sign-magnitude
// in mode 5, tags read in upper case through the radio text filter.
class HChannelFieldTable : public HSignedFieldTable {
public:
    using HSignedFieldTable::HSignedFieldTable;

    [[nodiscard]] char DecodeChar(std::uint8_t stored) const override;
    [[nodiscard]] std::uint8_t EncodeChar(char character) const override;
    void SelectRecord(std::size_t index) override;
    void SelectBitRecord(std::size_t index) override;

    // recordsPerPage records, then pageGap unused bytes, repeating.
    void SetPaging(std::uint32_t recordsPerPage, std::uint32_t pageGap);
    // 1: bit tables have the two bytes of each 16-bit word exchanged.
    void SetWordSwap(std::uint32_t flag) { m_wordSwap = flag; }

private:
    std::uint32_t m_recordsPerPage = 0;
    std::uint32_t m_pageGap = 0;
    std::uint32_t m_wordSwap = 0;
};

// Texts through the radio character filter.
class HTextFieldTable : public HRecordFieldTable {
public:
    using HRecordFieldTable::HRecordFieldTable;
    [[nodiscard]] char DecodeChar(std::uint8_t stored) const override;
    [[nodiscard]] std::uint8_t EncodeChar(char character) const override;
};

// Group tags and group bit tables: bit record 0 is bit 7 of the first byte.
class HTagFieldTable : public HRecordFieldTable {
public:
    using HRecordFieldTable::HRecordFieldTable;
    [[nodiscard]] char DecodeChar(std::uint8_t stored) const override;
    [[nodiscard]] std::uint8_t EncodeChar(char character) const override;
    void SelectBitRecord(std::size_t index) override;
};

// Scale mode 5: read adds scaleParam, write subtracts it.
class HOffsetFieldTable : public HRecordFieldTable {
public:
    using HRecordFieldTable::HRecordFieldTable;
    [[nodiscard]] std::int32_t GetValue(std::size_t row) const override;
    void SetValue(std::size_t row, std::int32_t value) override;
};

// Packed digit strings: digit 0 in the low nibble of byte 0, then high/low
// nibbles of the following bytes.
class HDigitFieldTable : public HRecordFieldTable {
public:
    using HRecordFieldTable::HRecordFieldTable;
    [[nodiscard]] std::string GetString(std::size_t row) const override;
    void SetString(std::size_t row, std::string_view text) override;
    [[nodiscard]] char DecodeChar(std::uint8_t stored) const override;
    [[nodiscard]] std::uint8_t EncodeChar(char character) const override;
};

// Packed codes: high nibble first; the symbol at position 1 is a letter.
class HCodeFieldTable : public HRecordFieldTable {
public:
    using HRecordFieldTable::HRecordFieldTable;
    [[nodiscard]] std::string GetString(std::size_t row) const override;
    void SetString(std::size_t row, std::string_view text) override;
    [[nodiscard]] char DecodeChar(std::uint8_t stored) const override;
    [[nodiscard]] std::uint8_t EncodeChar(char character) const override;
};

// One digit code per byte (text layout of the base).
class HDigitCharFieldTable : public HRecordFieldTable {
public:
    using HRecordFieldTable::HRecordFieldTable;
    [[nodiscard]] char DecodeChar(std::uint8_t stored) const override;
    [[nodiscard]] std::uint8_t EncodeChar(char character) const override;
};

// Emergency settings: mode 5 = code table, mode 6 = off-or-number, packed
// digit strings as HDigitFieldTable.
class HEmergencyFieldTable : public HDigitFieldTable {
public:
    using HDigitFieldTable::HDigitFieldTable;
    [[nodiscard]] std::int32_t GetValue(std::size_t row) const override;
    void SetValue(std::size_t row, std::int32_t value) override;
};

// Character and digit codings shared by the tables and their users (editors
// filter keystrokes with the same rules).
namespace HFieldCoding {
// The 16 symbols of the digit code; a digit value is the index of its symbol.
inline constexpr std::string_view kDigitSymbols = "0123456789ABCD*#";
// Radio text filter: control, non-ASCII and the 19 listed punctuation
// characters become a blank.
[[nodiscard]] char RadioTextFilter(char c);
[[nodiscard]] char DigitSymbol(std::uint8_t digit);
// Index in kDigitSymbols; lower-case a-d count as upper case; anything else 0.
[[nodiscard]] std::uint8_t DigitCode(char c);
} // namespace HFieldCoding
