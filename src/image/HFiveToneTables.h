#pragma once
// Descriptor tables of the 5-tone selective-calling settings. The system,
// decode and encode records share their bytes with the 2-tone records: the
// signalling type decides which tables read them, and bits a table does not
// name are left as they are by every save.
//
// Common block 0x1C80-0x1C9A (Common1 "c1", Common2 "c2"; byte: bits):
//   1C80: 7 c1.9 tag display          1C81: 7-0 c1.18-c1.11 display digits 8-1
//   1C82: 7 c1.10 ANI display         1C83: 7-0 c1.26-c1.19 compare digits 8-1
//   1C84: 7-4 c1.0 group | 3-0 c1.1 repeat tone
//   1C85: 7-4 c1.2 last gap tone | 3 c2.8 monitor | 2 c2.20 | 1 c2.18 | 0 c2.19
//   1C86-1C8B: c1.3-c1.8 Call 1-5 and EMG encode codes, one byte each
//   1C8C: 7-4 c2.0 | 3-0 c2.1     1C8D-1C91: c2.9-c2.13     1C92: 7-4 c2.14 | 3-0 c2.2
//   1C93: c2.15   1C94: 7-4 c2.3 | 3-0 c2.4   1C95: c2.26   1C96: 7-4 c2.16 | 3-0 c2.6
//   1C97: c2.17   1C98: c2.7   1C99: c2.27   1C9A: c2.5
//   00E1: 4 c2.21 5T_ACC backup | 3-0 c2.25-c2.22 port 4-1 backup
//
// Call 1's code takes the whole byte at 0x1C86, as Call 2-5 take theirs and
// as the 2-tone editor keeps it: four bits cannot hold ENC No.17 to 32.
#include "HFieldTable.h"
#include "HMemoryImage.h"
#include "HSettingsGroup.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace HFiveToneTables {

// ------------------------------------------------------------------ Common1
inline constexpr std::uint32_t kCallCodes = 6; // Call 1-5 and EMG
inline constexpr std::uint32_t kDigitFlags = 8;

constexpr std::array<HFieldDescriptor, 27> MakeCommon1Rows() {
    std::array<HFieldDescriptor, 27> rows{};
    rows[0] = HField(0x1C84, 4, 4, 10); // group tone
    rows[1] = HField(0x1C84, 0, 4, 14); // repeat tone
    rows[2] = HField(0x1C85, 4, 4, 15); // last gap tone
    for (std::uint32_t i = 0; i < kCallCodes; ++i)
        rows[3 + i] = HField(0x1C86 + i, 0, 8, 0); // Call 1-5, EMG encode codes
    rows[9] = HField(0x1C80, 7, 1, 0);             // tag display
    rows[10] = HField(0x1C82, 7, 1, 0);            // ANI display
    for (std::uint32_t i = 0; i < kDigitFlags; ++i) {
        rows[11 + i] = HField(0x1C81, i, 1, 0); // display digit i+1
        rows[19 + i] = HField(0x1C83, i, 1, 0); // compare digit i+1
    }
    return rows;
}
inline constexpr std::array kCommon1Rows = MakeCommon1Rows();

// ------------------------------------------------------------------ Common2
inline constexpr std::array kCommon2Rows = {
    HField(0x1C8C, 4, 4, 0),  // 0 periodic ANI
    HField(0x1C8C, 0, 4, 0),  // 1 ANI lockout period
    HField(0x1C92, 0, 4, 1),  // 2 clear to transpond time
    HField(0x1C94, 4, 4, 0),  // 3 beep repeat
    HField(0x1C94, 0, 4, 1),  // 4 beep repeat interval
    HField(0x1C9A, 0, 8, 0),  // 5 call beep level
    HField(0x1C96, 0, 4, 0),  // 6 ack retries
    HField(0x1C98, 0, 8, 3),  // 7 minimum decode digits
    HField(0x1C85, 3, 1, 0),  // 8 signalling monitor
    HField(0x1C8D, 0, 8, 20), // 9 extended 1st tone, 10 ms
    HField(0x1C8E, 0, 8, 10), // 10 2nd last gap, 10 ms
    HField(0x1C8F, 0, 8, 10), // 11 last gap, 10 ms
    HField(0x1C90, 0, 8, 10), // 12 lead-in delay, 10 ms
    HField(0x1C91, 0, 8, 5),  // 13 lead-out delay, 10 ms
    HField(0x1C92, 4, 4, 0),  // 14 transpond delay, 100 ms
    HField(0x1C93, 0, 8, 6),  // 15 auto reset time, 0.5 s
    HField(0x1C96, 4, 4, 1),  // 16 ack decode time, s
    HField(0x1C97, 0, 8, 0),  // 17 auto TX time, s
    HField(0x1C85, 1, 1, 0),  // 18 clear to transpond
    HField(0x1C85, 0, 1, 0),  // 19 PTT call
    HField(0x1C85, 2, 1, 1),  // 20 auto reset beep
    HField(0x00E1, 4, 1, 0),  // 21 5T_ACC backup
    HField(0x00E1, 0, 1, 0),  // 22 port 1 backup
    HField(0x00E1, 1, 1, 0),  // 23 port 2
    HField(0x00E1, 2, 1, 0),  // 24 port 3
    HField(0x00E1, 3, 1, 0),  // 25 port 4
    HField(0x1C95, 0, 8, 5),  // 26 (no control)
    HField(0x1C99, 0, 8, 11), // 27 (no control)
};
static_assert(kCommon2Rows.size() == 28);

// ------------------------------------------------------------------ tone table
// Twelve tone sets. The header is shared with the 2-tone table.
//   0x2180 + 32k: tones 0-F of set k, 16-bit stored values (0xFFFF none)
//   0x2340 + k:   tone period of set k
//   0x2350 + k:   the set's second value (multiples of 5)
//   0x2380 + 64k: decode windows of set k, tone t at +4t: lower, upper
// The second value has its own byte: at offset 14 of the set's tone record
// it would be the high byte of tone 7.
inline constexpr std::uint32_t kToneSets = 12;
inline constexpr std::uint32_t kTonesPerSet = 16;
inline constexpr std::uint32_t kToneBase = 0x2180;
inline constexpr std::uint32_t kToneRecordSize = 32;
inline constexpr std::uint32_t kPeriodBase = 0x2340;
inline constexpr std::uint32_t kSecondBase = 0x2350;
inline constexpr std::uint32_t kWindowBase = 0x2380;
inline constexpr std::uint32_t kWindowRecordSize = 64;

inline constexpr std::array kToneHeaderRows = {
    HField(0x235D, 0, 16, 2929), // 0 reference value
    HField(0x2361, 0, 8, 25),    // 1 decode bandwidth, 0.1 %
    HField(0x235F, 0, 16, 25),   // 2 window scale
};
inline constexpr std::size_t kRowReference = 0;
inline constexpr std::size_t kRowBandwidth = 1;
inline constexpr std::size_t kRowWindowScale = 2;

// One table of 50 rows over the four per-set records: 0-15 tones, 16 period,
// 17-48 window limits (lower and upper of each tone), 49 second value.
inline constexpr std::uint32_t kRowPeriod = 16;
inline constexpr std::uint32_t kRowFirstWindow = 17;
inline constexpr std::uint32_t kRowSecond = 49;
constexpr std::array<HFieldDescriptor, 50> MakeToneSetRows() {
    std::array<HFieldDescriptor, 50> rows{};
    for (std::uint32_t t = 0; t < kTonesPerSet; ++t)
        rows[t] = HField(2 * t, 0, 16, 0xFFFF);
    rows[kRowPeriod] = HField(0, 0, 8, 70);
    for (std::uint32_t i = 0; i < 2 * kTonesPerSet; ++i)
        rows[kRowFirstWindow + i] = HField(2 * i, 0, 16, 0xFFFF);
    rows[kRowSecond] = HField(0, 0, 8, 21);
    return rows;
}
inline constexpr std::array kToneSetRows = MakeToneSetRows();

// ------------------------------------------------------------------ system
// 16 records of 10 bytes from 0x1C9D (2-tone system area):
//   0: 7 auto reset | 3 PTT SW | 2 repeater tone encode | 1-0 monitor SW
//   1: 7-6 CH SW | 1 duty | 0 CTCSS/DCS complement
//   2: 7-4 repeater tone table | 3-0 call tone table
//   3: 4-0 repeater encode tone no.   4: 6-5 flow | 4-0 ID encode tone no.
//   5: 7 call encode code backup | 4-0 call encode tone no.
//   6: 7-6 ANI transmission | 5-4 status mode | 3 status digit
//   7, 9: no column    8: 7-0 decode code 8-1
// The byte per record at 0x00E2 + record has no column and is never written.
inline constexpr std::uint32_t kSystemBase = 0x1C9D;
inline constexpr std::uint32_t kSystemRecordSize = 10;
inline constexpr std::uint32_t kSystemRecords = 16;
inline constexpr std::uint32_t kDecodeCodes = 8;

enum SystemRow : int {
    kSysMonitorSw,
    kSysChSw,
    kSysPttSw,
    kSysRepeaterEncode,
    kSysRepeaterTable,
    kSysRepeaterToneNo,
    kSysCallTable,
    kSysCallToneNo,
    kSysCodeBackup,
    kSysIdToneNo,
    kSysFlow,
    kSysAni,
    kSysAutoReset,
    kSysComplement,
    kSysDuty,
    kSysStatusMode,
    kSysStatusDigit,
    kSysDecodeCode1,
    kSystemRowCount = kSysDecodeCode1 + kDecodeCodes,
};

constexpr std::array<HFieldDescriptor, kSystemRowCount> MakeSystemRows() {
    std::array<HFieldDescriptor, kSystemRowCount> rows{};
    rows[kSysMonitorSw] = HField(0, 0, 2, 3);
    rows[kSysChSw] = HField(1, 6, 2, 0);
    rows[kSysPttSw] = HField(0, 3, 1, 0);
    rows[kSysRepeaterEncode] = HField(0, 2, 1, 0);
    rows[kSysRepeaterTable] = HField(2, 4, 4, 0);
    rows[kSysRepeaterToneNo] = HField(3, 0, 5, 0);
    rows[kSysCallTable] = HField(2, 0, 4, 0);
    rows[kSysCallToneNo] = HField(5, 0, 5, 0);
    rows[kSysCodeBackup] = HField(5, 7, 1, 0);
    rows[kSysIdToneNo] = HField(4, 0, 5, 0);
    rows[kSysFlow] = HField(4, 5, 2, 0);
    rows[kSysAni] = HField(6, 6, 2, 0);
    rows[kSysAutoReset] = HField(0, 7, 1, 0);
    rows[kSysComplement] = HField(1, 0, 1, 0);
    rows[kSysDuty] = HField(1, 1, 1, 0);
    rows[kSysStatusMode] = HField(6, 4, 2, 0);
    rows[kSysStatusDigit] = HField(6, 3, 1, 0);
    for (std::uint32_t i = 0; i < kDecodeCodes; ++i)
        rows[kSysDecodeCode1 + i] = HField(8, i, 1, 0);
    return rows;
}
inline constexpr std::array kSystemRows = MakeSystemRows();

// ------------------------------------------------------------------ decode
// 8 records of 23 bytes from 0x1F7D (2-tone decode area):
//   0: 7-6 stun | 5 auto TX | 4 emergency | 3 emergency off | 2-0 call beep tone
//   1: 7-6 beep mode | 5-4 mute mode | 3-2 call/LED display | 1-0 scan
//   2: 5-0 transpond code       3: 7-6 ID/decode tag | 5 PTT INH | 4 status request
//   4: 6-4 LED blink | 2-1 LED colour     5: ACC control 1-4, two bits each from the top
//   6: no column    7-10: decode number, 8 digits high nibble first (F unused)
//   11-18: tag      19-22: no column
// The further area from 0x20ED has no column and is never written.
inline constexpr std::uint32_t kDecodeBase = 0x1F7D;
inline constexpr std::uint32_t kDecodeRecordSize = 23;
inline constexpr std::uint32_t kDecodeRecords = 8;
inline constexpr std::uint32_t kAccControls = 4;
inline constexpr std::uint32_t kTagChars = 8;
// Tags are read as stored up to a NUL and written back padded with NULs, so a
// tag the radio holds NUL-padded or blank-padded is carried unchanged (the
// radio text filter would turn NULs into blanks); the grid pads a typed tag
// with blanks itself, and its key filter keeps out what the radio cannot show.
inline constexpr std::string_view kBlankTag = "        ";
inline constexpr std::int32_t kNoDigits = -1; // eight nibbles of 15

enum DecodeRow : int {
    kDecTranspondCode,
    kDecIdTag,
    kDecLedBlink,
    kDecLedColor,
    kDecCallDisplay,
    kDecMuteMode,
    kDecScan,
    kDecBeepTone,
    kDecBeepMode,
    kDecStun,
    kDecAutoTx,
    kDecEmergency,
    kDecEmergencyOff,
    kDecPttInh,
    kDecStatusRequest,
    kDecAccControl1,
    kDecNumber = kDecAccControl1 + kAccControls,
    kDecTag,
    kDecodeRowCount,
};

constexpr std::array<HFieldDescriptor, kDecodeRowCount> MakeDecodeRows() {
    std::array<HFieldDescriptor, kDecodeRowCount> rows{};
    rows[kDecTranspondCode] = HField(2, 0, 6, 0);
    rows[kDecIdTag] = HField(3, 6, 2, 0);
    rows[kDecLedBlink] = HField(4, 4, 3, 0);
    rows[kDecLedColor] = HField(4, 1, 2, 0);
    rows[kDecCallDisplay] = HField(1, 2, 2, 0);
    rows[kDecMuteMode] = HField(1, 4, 2, 0);
    rows[kDecScan] = HField(1, 0, 2, 0);
    rows[kDecBeepTone] = HField(0, 0, 3, 0);
    rows[kDecBeepMode] = HField(1, 6, 2, 0);
    rows[kDecStun] = HField(0, 6, 2, 0);
    rows[kDecAutoTx] = HField(0, 5, 1, 0);
    rows[kDecEmergency] = HField(0, 4, 1, 0);
    rows[kDecEmergencyOff] = HField(0, 3, 1, 0);
    rows[kDecPttInh] = HField(3, 5, 1, 0);
    rows[kDecStatusRequest] = HField(3, 4, 1, 0);
    for (std::uint32_t i = 0; i < kAccControls; ++i)
        rows[kDecAccControl1 + i] = HField(5, 6 - 2 * i, 2, 0);
    rows[kDecNumber] = HField(7, 0, 32, kNoDigits);
    rows[kDecTag] = HTextField(11, kTagChars, kBlankTag);
    return rows;
}
inline constexpr std::array kDecodeRows = MakeDecodeRows();

// ------------------------------------------------------------------ encode
// 32 records of 18 bytes from 0x1D3D (2-tone encode area):
//   0: 7 first digit extend | 4 overwrite | 3 transpond decode | 2 transpond beep
//      | 1-0 AF mute mode    (bits 6-5 no column)
//   1: 7 enable | 6 group digit selectable
//   2-5: encode number, 8 digits high nibble first (F unused)   6-13: tag
//   14: 7-0 input digit 8-1    15-17: no column
// The 6 bytes per record from 0x00F2 have no column and are never written.
inline constexpr std::uint32_t kEncodeBase = 0x1D3D;
inline constexpr std::uint32_t kEncodeRecordSize = 18;
inline constexpr std::uint32_t kEncodeRecords = 32;
inline constexpr std::uint32_t kInputDigits = 8;

enum EncodeRow : int {
    kEncNumber,
    kEncTag,
    kEncAfMute,
    kEncEnable,
    kEncFirstDigitExtend,
    kEncOverwrite,
    kEncTranspondDecode,
    kEncTranspondBeep,
    kEncGroupDigit,
    kEncInputDigit1,
    kEncodeRowCount = kEncInputDigit1 + kInputDigits,
};

constexpr std::array<HFieldDescriptor, kEncodeRowCount> MakeEncodeRows() {
    std::array<HFieldDescriptor, kEncodeRowCount> rows{};
    rows[kEncNumber] = HField(2, 0, 32, kNoDigits);
    rows[kEncTag] = HTextField(6, kTagChars, kBlankTag);
    rows[kEncAfMute] = HField(0, 0, 2, 0);
    rows[kEncEnable] = HField(1, 7, 1, 0);
    rows[kEncFirstDigitExtend] = HField(0, 7, 1, 0);
    rows[kEncOverwrite] = HField(0, 4, 1, 0);
    rows[kEncTranspondDecode] = HField(0, 3, 1, 0);
    rows[kEncTranspondBeep] = HField(0, 2, 1, 0);
    rows[kEncGroupDigit] = HField(1, 6, 1, 0);
    for (std::uint32_t i = 0; i < kInputDigits; ++i)
        rows[kEncInputDigit1 + i] = HField(14, i, 1, 0);
    return rows;
}
inline constexpr std::array kEncodeRows = MakeEncodeRows();

// ------------------------------------------------------------------ group layouts
inline constexpr std::array kCommon1Parts = {HGroupPart{kCommon1Rows, HFieldTableType::Plain}};
inline constexpr std::array kCommon2Parts = {HGroupPart{kCommon2Rows, HFieldTableType::Plain}};
inline constexpr std::array kToneTableParts = {
    HGroupPart{kToneHeaderRows, HFieldTableType::Plain},
    HGroupPart{kToneSetRows, HFieldTableType::Record, kToneBase, kToneRecordSize, kToneSets, 0,
               kTonesPerSet},
    HGroupPart{kToneSetRows, HFieldTableType::Record, kPeriodBase, 1, kToneSets, kRowPeriod, 1},
    HGroupPart{kToneSetRows, HFieldTableType::Record, kWindowBase, kWindowRecordSize, kToneSets,
               kRowFirstWindow, 2 * kTonesPerSet},
    HGroupPart{kToneSetRows, HFieldTableType::Record, kSecondBase, 1, kToneSets, kRowSecond, 1},
};
inline constexpr std::array kSystemParts = {HGroupPart{
    kSystemRows, HFieldTableType::Record, kSystemBase, kSystemRecordSize, kSystemRecords}};
inline constexpr std::array kDecodeParts = {HGroupPart{
    kDecodeRows, HFieldTableType::Record, kDecodeBase, kDecodeRecordSize, kDecodeRecords}};
inline constexpr std::array kEncodeParts = {HGroupPart{
    kEncodeRows, HFieldTableType::Record, kEncodeBase, kEncodeRecordSize, kEncodeRecords}};

namespace detail {
// Every row of a record lies inside the record.
template <std::size_t N>
constexpr bool RowsInsideRecord(const std::array<HFieldDescriptor, N>& rows, std::uint32_t size) {
    for (const HFieldDescriptor& d : rows)
        if (d.byteOffset + d.SpanBytes() > size)
            return false;
    return true;
}
// Record areas that follow one another do not overlap.
constexpr bool Before(std::uint32_t base, std::uint32_t size, std::uint32_t count,
                      std::uint32_t next) {
    return base + size * count <= next;
}
} // namespace detail

static_assert(HGroupPartsAreSound(kCommon1Parts));
static_assert(HGroupPartsAreSound(kCommon2Parts));
static_assert(HGroupPartsAreSound(kToneTableParts));
static_assert(HGroupPartsAreSound(kSystemParts));
static_assert(HGroupPartsAreSound(kDecodeParts));
static_assert(HGroupPartsAreSound(kEncodeParts));
static_assert(detail::RowsInsideRecord(kSystemRows, kSystemRecordSize));
static_assert(detail::RowsInsideRecord(kDecodeRows, kDecodeRecordSize));
static_assert(detail::RowsInsideRecord(kEncodeRows, kEncodeRecordSize));
static_assert(detail::Before(kSystemBase, kSystemRecordSize, kSystemRecords, kEncodeBase));
static_assert(detail::Before(kEncodeBase, kEncodeRecordSize, kEncodeRecords, kDecodeBase));
static_assert(detail::Before(kDecodeBase, kDecodeRecordSize, kDecodeRecords, kToneBase));
static_assert(detail::Before(kToneBase, kToneRecordSize, kToneSets, kPeriodBase));
static_assert(detail::Before(kPeriodBase, 1, kToneSets, kSecondBase));
static_assert(detail::Before(kSecondBase, 1, kToneSets, 0x235C)); // 2-tone group tone period
static_assert(detail::Before(kWindowBase, kWindowRecordSize, kToneSets, 0x2680)); // 2-tone windows
// The system records start right after the common block.
static_assert(kSystemBase == 0x1C9A + 3);
static_assert(HGroupValueCount(kToneTableParts) == 3 + kToneSets * 50);

} // namespace HFiveToneTables
