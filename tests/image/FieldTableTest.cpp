// Field tables against the worked examples of the radio's documentation.
#include "HFieldTable.h"
#include "HMemoryImage.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The descriptor checker used by the static_asserts over every real table.
static_assert(HFieldRowIsSound(HField(0, 7, 1)) && HFieldRowIsSound(HField(0, 0, 32)));
// Refused: five bytes, a shift past the byte, odd BCD, a zero divisor, a default too long.
static_assert(!HFieldRowIsSound(HField(0, 1, 32)) && !HFieldRowIsSound(HField(0, 8, 1)) &&
              !HFieldRowIsSound(HField(0, 0, 10).AsBcd()) &&
              !HFieldRowIsSound(HField(0, 0, 8).Scaled(HScaleMode::Divide, 0)) &&
              !HFieldRowIsSound(HTextField(0, 4, "TWELVE CHARS")));
constexpr std::array kAt10 = {HField(10, 0, 16)};
static_assert(HFieldRowsFit(kAt10, 0, 0, 12) && !HFieldRowsFit(kAt10, 0, 1, 12));

} // namespace

TEST(FieldTable, NumberCodingsReadAndWriteOnlyTheirBits) {
    struct Case {
        HFieldDescriptor field;
        Bytes before;
        std::int32_t read, set;
        Bytes after;
        std::int32_t readBack;
    };
    constexpr HFieldDescriptor bits3 = HField(0, 3, 3);
    constexpr HFieldDescriptor mul = HField(0, 0, 16).Scaled(HScaleMode::Multiply, 100000);
    constexpr HFieldDescriptor shift = HField(0, 0, 14).Scaled(HScaleMode::Shift, 2);
    constexpr HFieldDescriptor bcd = HField(0, 0, 16).AsBcd(), inv = HField(0, 0, 1).Inverted();
    constexpr HFieldDescriptor little = HField(0, 4, 8).LittleEndian();
    const Case cases[] = {
        {HField(0, 0, 12), {0xAB, 0xCD}, 0xBCD, 0x123, {0xA1, 0x23}, 0x123}, // top nibble kept
        {bits3, {0xD7}, 2, 0xFF, {0xFF}, 7},                 // a wider value is cut to the mask
        {HField(0, 6, 4), {0, 0}, 0, 0xF, {0x03, 0xC0}, 15}, // bits 6-9 over two bytes
        {mul, {0x00, 0x32}, 5000000, 14600000, {0x00, 146}, 14600000},
        {mul, {0xFF, 0xFF}, 2147483647, 0, {0, 0}, 0}, // past 2^31: held, not negative
        {shift, {0x00, 0x03}, 0, 1, {0x00, 0x07}, 1},  // bits 2-15: the two low bits survive
        {HField(0, 0, 8).Scaled(HScaleMode::Divide, 4), {10}, 2, 7, {28}, 7},
        {inv, {0x01}, 0, 1, {0x00}, 1},
        {bcd, {0, 0}, 0, 9876, {0x98, 0x76}, 9876},
        {bcd, {0x12, 0x34}, 1234, -5, {0, 0}, 0},           // no digits: stored as 0
        {HField(0, 4, 4).AsBcd(), {0x0F}, 0, 5, {0x5F}, 5}, // a nibble in the high half
        {little, {0, 0}, 0, 0xAB, {0xB0, 0x0A}, 0xAB},      // byte 0 bits 4-7, byte 1 bits 0-3
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(row++);
        const std::array rows = {c.field};
        Bytes image = c.before, want = c.after;
        image.push_back(0xEE); // a neighbour that must survive
        want.push_back(0xEE);
        HFieldTable t(rows, image);
        EXPECT_EQ(t.GetValue(0), c.read);
        t.SetValue(0, c.set);
        EXPECT_EQ(image, want);
        EXPECT_EQ(t.GetValue(0), c.readBack);
    }
}

TEST(FieldTable, RowsOutOfRangeReadOnlyRowsAndBoundsWriteNothing) {
    constexpr std::array rows = {HField(0, 0, 8, 42).ReadOnly(), HTextField(1, 4, "ABCDEFG")};
    Bytes image(8, 0x11);
    const Bytes before = image;
    HFieldTable t(rows, image);
    // Row 2 is past the table; row 0 is read-only; row 1 is text without a number.
    EXPECT_EQ(std::make_tuple(t.GetValue(2), t.GetRaw(2), t.GetDefault(2), t.GetString(2),
                              t.GetDefaultText(2)),
              std::make_tuple(-1, -1, -1, std::string(), std::string()));
    t.SetValue(2, 1);
    t.SetRaw(2, 1);
    t.SetString(2, "X");
    t.SetValue(0, 5);
    t.SetRaw(0, 5);
    t.SetValue(1, 0);
    EXPECT_EQ(image, before);
    // The default text is cut to the width; defaults need no image.
    HFieldTable defaults(rows);
    EXPECT_EQ(std::make_tuple(t.GetValue(0), t.GetValue(1), t.GetDefaultText(1),
                              defaults.GetDefault(0), defaults.GetValue(0)),
              std::make_tuple(0x11, -1, "ABCD", 42, -1));

    // A record whose field would reach past the image reads as nothing and writes nothing.
    constexpr std::array rows2 = {HField(0, 0, 16), HTextField(0, 4)};
    Bytes small(9, 0x77);
    HRecordFieldTable r(rows2, small);
    r.SetRecordSize(4);
    r.SelectRecord(2); // from byte 8
    EXPECT_EQ(std::make_pair(r.GetValue(0), r.GetString(1)), std::make_pair(-1, std::string()));
    r.SetValue(0, 0);
    r.SetString(1, "ZZZZ");
    r.SelectRecord(1);
    EXPECT_EQ(r.GetValue(0), 0x7777);
    // A read-only view never writes.
    HFieldTable view(rows2, HReadOnlyImage{small});
    view.SetValue(0, 1);
    view.SetString(1, "AB");
    EXPECT_EQ(small, Bytes(9, 0x77));
}

TEST(FieldTable, TextsAndCharacterFilters) {
    constexpr std::array rows = {HTextField(0, 8)};
    Bytes image(12, 0xEE);
    const auto put = [&image](const char(&text)[9]) { std::copy(text, text + 8, image.begin()); };
    HFieldTable plain(rows, image);
    plain.SetString(0, "ABC");
    EXPECT_EQ(image, (Bytes{'A', 'B', 'C', 0, 0, 0, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(plain.GetString(0), "ABC"); // stops at the NUL pad
    plain.SetString(0, "0123456789");
    EXPECT_EQ(plain.GetString(0), "01234567");
    EXPECT_EQ(image[8], 0xEE);

    // Radio text filter: the 19 punctuation characters, controls and bytes
    // above 0x7F become blanks, both ways.
    HTextFieldTable radio(rows, image);
    radio.SetString(0, "a!<{|}[_");
    EXPECT_EQ(radio.GetString(0), "a     [_");
    image[0] = 0x80;
    image[1] = 0x1F;
    image[2] = '*';
    EXPECT_EQ(radio.GetString(0).substr(0, 3), "  *");
    // Over all 256 bytes: the 96 from 0x20 to 0x7F less the 19 pass unchanged,
    // every other becomes a blank.
    int unchanged = 0;
    int blanked = 0;
    for (int u = 0; u < 256; ++u) {
        const char c = HFieldCoding::RadioTextFilter(static_cast<char>(u));
        unchanged += c == static_cast<char>(u) ? 1 : 0;
        blanked += c == ' ' && u != ' ' ? 1 : 0;
    }
    EXPECT_EQ(unchanged, 96 - 19);
    EXPECT_EQ(blanked, 256 - 77);

    // Group tags: '#' and '.' read as blanks, the rest in upper case.
    put("g#r.p!1a");
    EXPECT_EQ(HTagFieldTable(rows, image).GetString(0), "G R P!1A");
}

TEST(FieldTable, DigitCodesAndPackedStrings) {
    // Low-first packing: width 3 over 0x?5 0x12 reads "512"; the high nibble
    // of byte 0 is not part of the string.
    constexpr std::array digitRows = {HTextField(0, 3)};
    Bytes image = {0xA5, 0x12, 0x00, 0x00};
    HDigitFieldTable d(digitRows, image);
    EXPECT_EQ(d.GetString(0), "512");
    d.SetString(0, "9*"); // '*' then the pad digit 0
    EXPECT_EQ(image, (Bytes{0xA9, 0xE0, 0x00, 0x00}));

    // High-first codes with a letter in the second place, stored from 'B'.
    constexpr std::array codeRows = {HTextField(0, 4)};
    Bytes image3(3, 0xFF);
    HCodeFieldTable c(codeRows, image3);
    c.SetString(0, "1C#5");
    EXPECT_EQ(image3, (Bytes{0x11, 0xF5, 0xFF})); // 'C' - 'B' = 1
    EXPECT_EQ(c.GetString(0), "1C#5");

    // One digit code per byte, in its low nibble, padded with digit 0.
    constexpr std::array charRows = {HTextField(0, 6, "481736")};
    Bytes image4(6, 0xFF);
    HDigitCharFieldTable p(charRows, image4);
    EXPECT_EQ(p.GetString(0), "######");
    p.SetString(0, "12");
    EXPECT_EQ(image4, (Bytes{1, 2, 0, 0, 0, 0}));
}

TEST(FieldTable, SignMagnitudeOffsetAndEmergencyCodings) {
    constexpr std::array rows = {HField(0, 0, 8).Scaled(HScaleMode::Special5),
                                 HField(1, 0, 8).Scaled(HScaleMode::Special5, 1),
                                 HField(2, 1, 2).Scaled(HScaleMode::Special5),
                                 HField(2, 4, 3).Scaled(HScaleMode::Special6)};
    Bytes image(4);
    HSignedFieldTable s(rows, image);
    image[0] = 0x85;
    EXPECT_EQ(s.GetValue(0), -5);
    EXPECT_EQ(HChannelFieldTable(rows, image).GetValue(0), -5);
    // Too large a magnitude is held at 127 instead of reaching the sign flag.
    for (auto [value, stored] : {std::pair{-127, 0xFF}, {200, 0x7F}, {-200, 0xFF}}) {
        s.SetValue(0, value);
        EXPECT_EQ(image[0], stored) << value;
    }

    // Offset +1: value 1 is stored as 0; below the offset stores 0, not a wrapped 0xFF.
    HOffsetFieldTable o(rows, image);
    image[1] = 0;
    EXPECT_EQ(o.GetValue(1), 1);
    o.SetValue(1, 0);
    EXPECT_EQ(image[1], 0);

    HEmergencyFieldTable e(rows, image);
    // Off-or-number on 3 bits: 0 is off, v >= 1 stores (v - 1) with bit 2 set.
    image[2] = 0;
    for (auto [value, stored] : {std::pair{0, 0x00}, {1, 0x40}, {4, 0x70}}) {
        e.SetValue(3, value);
        EXPECT_EQ(image[2], stored) << value;
        EXPECT_EQ(e.GetValue(3), value);
    }
    image[2] = 0x20; // flag clear: read as is
    EXPECT_EQ(e.GetValue(3), 2);
}
