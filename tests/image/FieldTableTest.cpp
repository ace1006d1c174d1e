// Field tables against the worked examples of the radio's documentation.
#include "HFieldTable.h"
#include "HMemoryImage.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(std::size_t n, std::uint8_t fill = 0) {
    return std::vector<std::uint8_t>(n, fill);
}

} // namespace

TEST(FieldTable, AddressMaskAndBitFields) {
    // 1-bit field at bit 7: reads bit 7; writing 1 leaves the other bits.
    constexpr std::array rows = {HField(3, 7, 1), HField(5, 0, 12), HField(2, 3, 3)};
    auto image = Bytes(16);
    image[3] = 0x80;
    HFieldTable t(rows, image);
    EXPECT_EQ(t.GetValue(0), 1);
    image[3] = 0x5A;
    EXPECT_EQ(t.GetValue(0), 0);
    t.SetValue(0, 1);
    EXPECT_EQ(image[3], 0xDA);
    t.SetValue(0, 0);
    EXPECT_EQ(image[3], 0x5A);

    // 12-bit field at byte 5: (byte5 * 256 + byte6) & 0x0FFF; top nibble survives.
    image[5] = 0xAB;
    image[6] = 0xCD;
    EXPECT_EQ(t.GetValue(1), 0xBCD);
    t.SetValue(1, 0x123);
    EXPECT_EQ(image[5], 0xA1);
    EXPECT_EQ(image[6], 0x23);

    // Address and mask of a 3-bit field at bit 3: one byte, mask 0x38.
    const auto a = t.AddressOf(2);
    EXPECT_EQ(a.firstByte, 2u);
    EXPECT_EQ(a.bitPosition, 3u);
    EXPECT_EQ(a.byteCount, 1u);
    EXPECT_EQ(a.mask, 0x38u);
    image[2] = 0xFF;
    t.SetValue(2, 2);
    EXPECT_EQ(image[2], 0xD7); // 11 010 111
    // Values wider than the field are cut to the mask.
    t.SetValue(2, 0xFF);
    EXPECT_EQ(image[2], 0xFF);

    // The 12-bit field's mask spans two bytes.
    const auto b = t.AddressOf(1);
    EXPECT_EQ(b.byteCount, 2u);
    EXPECT_EQ(b.mask, 0x0FFFu);
}

TEST(FieldTable, BitBaseCarriesIntoNextByte) {
    // A bit base moves the field and can spill it over a byte boundary.
    constexpr std::array rows = {HField(0, 6, 4)};
    auto image = Bytes(4);
    HRecordFieldTable t(rows, image);
    const auto a = t.AddressOf(0);
    EXPECT_EQ(a.byteCount, 2u); // bits 6-9
    EXPECT_EQ(a.mask, 0x03C0u);
    t.SetValue(0, 0xF);
    EXPECT_EQ(image[0], 0x03);
    EXPECT_EQ(image[1], 0xC0);
    EXPECT_EQ(t.GetValue(0), 15);
}

TEST(FieldTable, ScaleModes) {
    constexpr std::array rows = {
        HField(0, 0, 16).Scaled(HScaleMode::Multiply, 100000),
        HField(2, 0, 14).Scaled(HScaleMode::Shift, 2),
        HField(4, 0, 8).Scaled(HScaleMode::Divide, 4),
        HField(5, 0, 1).Inverted(),
    };
    auto image = Bytes(8);
    HFieldTable t(rows, image);
    // 16-bit, multiply 100000, holding 0x0032 reads 5000000.
    image[0] = 0x00;
    image[1] = 0x32;
    EXPECT_EQ(t.GetValue(0), 5000000);
    t.SetValue(0, 14600000); // 146 MHz
    EXPECT_EQ(image[0], 0x00);
    EXPECT_EQ(image[1], 146);

    // 14 bits in bits 2-15 of a big-endian word: storing 1 writes 00 04, the
    // two low bits survive.
    image[3] = 0x03;
    t.SetValue(1, 1);
    EXPECT_EQ(image[2], 0x00);
    EXPECT_EQ(image[3], 0x07);
    EXPECT_EQ(t.GetValue(1), 1);
    t.SetValue(1, 0x3FFF);
    EXPECT_EQ(image[2], 0xFF);
    EXPECT_EQ(image[3], 0xFF);
    EXPECT_EQ(t.GetValue(1), 0x3FFF);

    // Divide on read, multiply on write.
    image[4] = 10;
    EXPECT_EQ(t.GetValue(2), 2);
    t.SetValue(2, 7);
    EXPECT_EQ(image[4], 28);

    // Inverted flag: stored 0 reads 1; writing 1 stores 0.
    image[5] = 0x00;
    EXPECT_EQ(t.GetValue(3), 1);
    t.SetValue(3, 0);
    EXPECT_EQ(image[5], 0x01);
    t.SetValue(3, 1);
    EXPECT_EQ(image[5], 0x00);
}

TEST(FieldTable, MultiplyScaleSaturatesInsteadOfWrapping) {
    // A 16-bit count times 100000 can pass 2^31: the value stops at the top of
    // the range instead of turning negative.
    constexpr std::array rows = {HField(0, 0, 16).Scaled(HScaleMode::Multiply, 100000)};
    auto image = Bytes(2, 0xFF);
    HFieldTable t(rows, image);
    EXPECT_EQ(t.GetValue(0), 2147483647);
}

TEST(FieldTable, BinaryCodedDecimal) {
    constexpr std::array rows = {HField(0, 0, 16).AsBcd(), HField(2, 0, 8).AsBcd(),
                                 HField(3, 4, 4).AsBcd()};
    auto image = Bytes(4);
    HFieldTable t(rows, image);
    image[0] = 0x12;
    image[1] = 0x34;
    EXPECT_EQ(t.GetValue(0), 1234);
    t.SetValue(0, 7);
    EXPECT_EQ(image[0], 0x00);
    EXPECT_EQ(image[1], 0x07);
    t.SetValue(0, 9876);
    EXPECT_EQ(image[0], 0x98);
    EXPECT_EQ(image[1], 0x76);
    // More digits than the field has: the high ones are dropped.
    t.SetValue(1, 123);
    EXPECT_EQ(image[2], 0x23);
    // A nibble in the high half of a byte.
    image[3] = 0x0F;
    t.SetValue(2, 5);
    EXPECT_EQ(image[3], 0x5F);
    EXPECT_EQ(t.GetValue(2), 5);
    // A negative value has no decimal digits: stored as 0.
    t.SetValue(0, -5);
    EXPECT_EQ(image[0], 0x00);
    EXPECT_EQ(image[1], 0x00);
}

TEST(FieldTable, LittleEndianWritesOnlyMaskedBits) {
    constexpr std::array rows = {HField(0, 4, 8).LittleEndian()};
    auto image = Bytes(2, 0x00);
    HFieldTable t(rows, image);
    // Bits 4-11 little-endian: byte 0 bits 4-7, byte 1 bits 0-3.
    t.SetValue(0, 0xAB);
    EXPECT_EQ(image[0], 0xB0);
    EXPECT_EQ(image[1], 0x0A);
    EXPECT_EQ(t.GetValue(0), 0xAB);
    image = {0x0F, 0xF0};
    t.SetValue(0, 0x00);
    EXPECT_EQ(image[0], 0x0F);
    EXPECT_EQ(image[1], 0xF0);
}

TEST(FieldTable, RowsOutOfRangeReadOnlyAndKinds) {
    constexpr std::array rows = {HField(0, 0, 8, 42).ReadOnly(), HTextField(1, 4, "ABCDEFG")};
    auto image = Bytes(8, 0x11);
    HFieldTable t(rows, image);
    // Row index equal to rowCount reads -1 and writes nothing.
    EXPECT_EQ(t.GetValue(2), -1);
    EXPECT_EQ(t.GetRaw(2), -1);
    EXPECT_EQ(t.GetDefault(2), -1);
    EXPECT_EQ(t.GetString(2), "");
    EXPECT_EQ(t.GetDefaultText(2), "");
    const auto before = image;
    t.SetValue(2, 1);
    t.SetRaw(2, 1);
    t.SetString(2, "X");
    EXPECT_EQ(image, before);

    // Read-only rows ignore every write.
    t.SetValue(0, 5);
    t.SetRaw(0, 5);
    EXPECT_EQ(image, before);
    EXPECT_EQ(t.GetValue(0), 0x11);
    EXPECT_EQ(t.GetDefault(0), 42);

    // A text row has no number value.
    EXPECT_EQ(t.GetValue(1), -1);
    t.SetValue(1, 0);
    EXPECT_EQ(image, before);
    // Default text cut to the width.
    EXPECT_EQ(t.GetDefaultText(1), "ABCD");

    // A defaults-only table needs no image.
    HFieldTable defaults(rows);
    EXPECT_EQ(defaults.GetDefault(0), 42);
    EXPECT_EQ(defaults.GetValue(0), -1);
}

TEST(FieldTable, FieldsOutsideTheImageAreRefused) {
    constexpr std::array rows = {HField(0, 0, 16), HTextField(0, 4)};
    auto image = Bytes(9, 0x77);
    HRecordFieldTable t(rows, image);
    t.SetAreaBase(0);
    t.SetRecordSize(4);
    t.SelectRecord(2); // from byte 8: the second byte lies past the end
    EXPECT_EQ(t.GetValue(0), -1);
    EXPECT_EQ(t.GetString(1), "");
    t.SetValue(0, 0);
    t.SetString(1, "ZZZZ");
    EXPECT_EQ(image, Bytes(9, 0x77));
    t.SelectRecord(1);
    EXPECT_EQ(t.GetValue(0), 0x7777);

    // A read-only view never writes.
    const auto& constImage = image;
    HFieldTable view(rows, HReadOnlyImage{constImage});
    view.SetValue(0, 1);
    view.SetString(1, "AB");
    EXPECT_EQ(image, Bytes(9, 0x77));
    EXPECT_EQ(view.GetValue(0), 0x7777);
}

TEST(FieldTable, TextsAndCharacterFilters) {
    constexpr std::array rows = {HTextField(0, 8)};
    auto image = Bytes(12, 0xEE);
    {
        HFieldTable t(rows, image);
        t.SetString(0, "ABC");
        EXPECT_EQ(image[0], 'A');
        EXPECT_EQ(image[2], 'C');
        for (int k = 3; k < 8; ++k)
            EXPECT_EQ(image[k], 0x00) << k;
        EXPECT_EQ(image[8], 0xEE);
        EXPECT_EQ(t.GetString(0), "ABC"); // stops at the NUL pad
        t.SetString(0, "0123456789");
        EXPECT_EQ(t.GetString(0), "01234567");
        EXPECT_EQ(image[8], 0xEE);
    }
    {
        // Radio text filter: the 19 punctuation characters, controls and
        // bytes above 0x7F become blanks, both ways.
        HTextFieldTable t(rows, image);
        t.SetString(0, "a!\"#$%&'");
        EXPECT_EQ(t.GetString(0), "a       ");
        t.SetString(0, ",.;<>?@^");
        EXPECT_EQ(t.GetString(0), "        ");
        t.SetString(0, "{|}~[]_-");
        EXPECT_EQ(t.GetString(0), "    []_-");
        image[0] = 0x80;
        image[1] = 0x1F;
        image[2] = '*';
        EXPECT_EQ(t.GetString(0).substr(0, 3), "  *");
    }
    {
        // Channel tags read in upper case; a stored '!' reads as a blank.
        HChannelFieldTable t(rows, image);
        const char tag[] = "ab!c-1.z";
        for (int k = 0; k < 8; ++k)
            image[k] = static_cast<std::uint8_t>(tag[k]);
        EXPECT_EQ(t.GetString(0), "AB C-1 Z");
        t.SetString(0, "lo!w");
        EXPECT_EQ(image[0], 'l'); // written with the filter only
        EXPECT_EQ(image[2], ' ');
        EXPECT_EQ(t.GetString(0).substr(0, 4), "LO W");
    }
    {
        // Group tags: '#' and '.' read as blanks, the rest in upper case.
        HTagFieldTable t(rows, image);
        const char tag[] = "g#r.p!1a";
        for (int k = 0; k < 8; ++k)
            image[k] = static_cast<std::uint8_t>(tag[k]);
        EXPECT_EQ(t.GetString(0), "G R P!1A");
    }
}

TEST(FieldTable, DigitCodesAndPackedStrings) {
    EXPECT_EQ(HFieldCoding::DigitSymbol(0), '0');
    EXPECT_EQ(HFieldCoding::DigitSymbol(10), 'A');
    EXPECT_EQ(HFieldCoding::DigitSymbol(13), 'D');
    EXPECT_EQ(HFieldCoding::DigitSymbol(14), '*');
    EXPECT_EQ(HFieldCoding::DigitSymbol(15), '#');
    EXPECT_EQ(HFieldCoding::DigitCode('#'), 15);
    EXPECT_EQ(HFieldCoding::DigitCode('*'), 14);
    EXPECT_EQ(HFieldCoding::DigitCode('c'), 12);

    // Low-first packing: width 3 over 0x?5 0x12 reads "512"; the high nibble
    // of byte 0 is not part of the string.
    constexpr std::array digitRows = {HTextField(0, 3)};
    auto image = Bytes(4);
    image[0] = 0xA5;
    image[1] = 0x12;
    HDigitFieldTable d(digitRows, image);
    EXPECT_EQ(d.GetString(0), "512");
    d.SetString(0, "9*");
    EXPECT_EQ(image[0], 0xA9); // high nibble untouched
    EXPECT_EQ(image[1], 0xE0); // '*' then the pad digit 0
    EXPECT_EQ(image[2], 0x00);

    // The same layout in the emergency table, 15 digits over 8 bytes.
    constexpr std::array emergencyRows = {HTextField(0, 15)};
    auto image2 = Bytes(9, 0xFF);
    image2[0] = 0x3F;
    HEmergencyFieldTable e(emergencyRows, image2);
    e.SetString(0, "0123456789ABCD*");
    EXPECT_EQ(image2[0], 0x30);
    EXPECT_EQ(image2[1], 0x12);
    EXPECT_EQ(image2[7], 0xDE);
    EXPECT_EQ(image2[8], 0xFF);
    EXPECT_EQ(e.GetString(0), "0123456789ABCD*");

    // High-first codes with a letter in the second place, stored from 'B'.
    constexpr std::array codeRows = {HTextField(0, 4)};
    auto image3 = Bytes(3, 0xFF);
    HCodeFieldTable c(codeRows, image3);
    c.SetString(0, "1C#5");
    EXPECT_EQ(image3[0], 0x11); // '1', 'C' - 'B' = 1
    EXPECT_EQ(image3[1], 0xF5);
    EXPECT_EQ(image3[2], 0xFF);
    EXPECT_EQ(c.GetString(0), "1C#5");
    c.SetString(0, "7");
    EXPECT_EQ(image3[0], 0x70);
    EXPECT_EQ(image3[1], 0x00);

    // One digit code per byte, in its low nibble.
    constexpr std::array charRows = {HTextField(0, 6, "481736")};
    auto image4 = Bytes(6, 0xFF);
    HDigitCharFieldTable p(charRows, image4);
    EXPECT_EQ(p.GetString(0), "######");
    p.SetString(0, "481736");
    EXPECT_EQ(image4, (std::vector<std::uint8_t>{4, 8, 1, 7, 3, 6}));
    EXPECT_EQ(p.GetString(0), "481736");
    p.SetString(0, "12");
    EXPECT_EQ(p.GetString(0), "120000"); // padded with digit 0
}

TEST(FieldTable, SignMagnitudeOffsetAndEmergencyCodings) {
    constexpr std::array rows = {HField(0, 0, 8).Scaled(HScaleMode::Special5),
                                 HField(1, 0, 8).Scaled(HScaleMode::Special5, 1),
                                 HField(2, 1, 2).Scaled(HScaleMode::Special5),
                                 HField(2, 4, 3).Scaled(HScaleMode::Special6)};
    auto image = Bytes(4);
    HSignedFieldTable s(rows, image);
    HChannelFieldTable ch(rows, image);
    image[0] = 0x85;
    EXPECT_EQ(s.GetValue(0), -5);
    EXPECT_EQ(ch.GetValue(0), -5);
    s.SetValue(0, 5);
    EXPECT_EQ(image[0], 0x05);
    s.SetValue(0, -5);
    EXPECT_EQ(image[0], 0x85);
    ch.SetValue(0, -127);
    EXPECT_EQ(image[0], 0xFF);
    // Too large a magnitude is held at 127 instead of reaching the sign flag.
    s.SetValue(0, 200);
    EXPECT_EQ(image[0], 0x7F);
    s.SetValue(0, -200);
    EXPECT_EQ(image[0], 0xFF);
    // The plain base applies nothing for mode 5.
    HFieldTable plain(rows, image);
    EXPECT_EQ(plain.GetValue(0), 0xFF);

    // Offset +1: value 1 is stored as 0.
    HOffsetFieldTable o(rows, image);
    image[1] = 0;
    EXPECT_EQ(o.GetValue(1), 1);
    o.SetValue(1, 64);
    EXPECT_EQ(image[1], 63);
    // Below the offset: stored 0, not a wrapped 0xFF.
    o.SetValue(1, 0);
    EXPECT_EQ(image[1], 0);

    // Emergency code table 0-0, 1-3, 2-2, 3-1 both ways.
    HEmergencyFieldTable e(rows, image);
    const int table[4] = {0, 3, 2, 1};
    for (int v = 0; v < 4; ++v) {
        image[2] = 0;
        e.SetValue(2, v);
        EXPECT_EQ((image[2] >> 1) & 3, table[v]);
        EXPECT_EQ(e.GetValue(2), v);
    }
    // Off-or-number on 3 bits: 0 is off, v >= 1 stores (v - 1) with bit 2 set.
    image[2] = 0;
    e.SetValue(3, 0);
    EXPECT_EQ(image[2], 0x00);
    e.SetValue(3, 1);
    EXPECT_EQ(image[2], 0x40);
    e.SetValue(3, 4);
    EXPECT_EQ(image[2], 0x70);
    EXPECT_EQ(e.GetValue(3), 4);
    image[2] = 0x20; // flag clear: read as is
    EXPECT_EQ(e.GetValue(3), 2);
}

TEST(FieldTable, RecordSelection) {
    constexpr std::array rows = {HField(0, 0, 8), HField(0, 0, 1, 1).Inverted()};
    HMemoryImage image{};
    // Channels: 42-byte records from 1536, 3 per 128-byte page, 2-byte gap.
    HChannelFieldTable ch(rows, image);
    ch.SetAreaBase(1536);
    ch.SetRecordSize(42);
    ch.SetPaging(3, 2);
    ch.SelectRecord(2);
    EXPECT_EQ(ch.ByteBase(), 1536u + 84);
    ch.SelectRecord(3);
    EXPECT_EQ(ch.ByteBase(), 1664u);
    ch.SelectRecord(127);
    EXPECT_EQ(ch.ByteBase(), 6954u);
    // Without paging the same table packs records end to end.
    HRecordFieldTable plain(rows, image);
    plain.SetAreaBase(1536);
    plain.SetRecordSize(42);
    plain.SelectRecord(3);
    EXPECT_EQ(plain.ByteBase(), 1662u);

    // Bit records: channel 9's in-use bit is bit 1 of byte 897.
    HChannelFieldTable inUse(rows, image);
    inUse.SetAreaBase(896);
    inUse.SetBitRecordSize(1);
    inUse.SelectBitRecord(9);
    EXPECT_EQ(inUse.ByteBase(), 897u);
    EXPECT_EQ(inUse.BitBase(), 1u);
    inUse.SetValue(1, 0); // stored inverted
    EXPECT_EQ(image[897], 0x02);
    // The word-swapped table at 160: channel 9 is bit 1 of byte 160 (the
    // partner of byte 161 in its 16-bit word).
    HChannelFieldTable swapped(rows, image);
    swapped.SetAreaBase(160);
    swapped.SetBitRecordSize(1);
    swapped.SetWordSwap(1);
    swapped.SelectBitRecord(9);
    EXPECT_EQ(swapped.ByteBase(), 160u);
    EXPECT_EQ(swapped.BitBase(), 1u);
    swapped.SelectBitRecord(0);
    EXPECT_EQ(swapped.ByteBase(), 161u);
    swapped.SelectBitRecord(17);
    EXPECT_EQ(swapped.ByteBase(), 163u);

    // Group bits count from the most significant bit: group 0 is bit 7.
    HTagFieldTable tag(rows, image);
    tag.SetAreaBase(148);
    tag.SetBitRecordSize(1);
    tag.SelectBitRecord(0);
    EXPECT_EQ(tag.BitBase(), 7u);
    tag.SelectBitRecord(6);
    EXPECT_EQ(tag.BitBase(), 1u);
    EXPECT_EQ(tag.ByteBase(), 148u);
    tag.SetValue(1, 0);
    EXPECT_EQ(image[148], 0x02);

    // SetRecordSize clears the bit base; Attach clears both bases.
    HRecordFieldTable r(rows, image);
    r.SetBitRecordSize(3);
    r.SelectBitRecord(3);
    EXPECT_EQ(r.ByteBase(), 1u);
    EXPECT_EQ(r.BitBase(), 1u);
    r.SetRecordSize(10);
    EXPECT_EQ(r.BitBase(), 0u);
    EXPECT_EQ(r.BitRecordSize(), 0u);
    r.SelectRecord(4);
    EXPECT_EQ(r.ByteBase(), 40u);
    r.Attach(rows, image);
    EXPECT_EQ(r.ByteBase(), 0u);
    EXPECT_EQ(r.BitBase(), 0u);
}

TEST(FieldTable, DescriptorChecks) {
    EXPECT_TRUE(HFieldRowIsSound(HField(0, 7, 1)));
    EXPECT_TRUE(HFieldRowIsSound(HField(0, 0, 32)));
    EXPECT_FALSE(HFieldRowIsSound(HField(0, 1, 32))); // five bytes
    EXPECT_FALSE(HFieldRowIsSound(HField(0, 8, 1)));  // shift past the byte
    EXPECT_FALSE(HFieldRowIsSound(HField(0, 0, 10).AsBcd()));
    EXPECT_FALSE(HFieldRowIsSound(HField(0, 0, 8).Scaled(HScaleMode::Divide, 0)));
    EXPECT_FALSE(HFieldRowIsSound(HTextField(0, 4, "TWELVE CHARS")));
    constexpr std::array rows = {HField(10, 0, 16)};
    EXPECT_TRUE(HFieldRowsFit(rows, 0, 0, 12));
    EXPECT_FALSE(HFieldRowsFit(rows, 0, 1, 12));
}
