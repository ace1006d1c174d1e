#pragma once
// The 2-tone signalling tables of the image: the tone table (header, the two
// tone sets, the decode windows), the decode, encode and system records, and
// the decode and encode option fields. The records share their areas with the
// 5-tone records (HFiveToneTables.h); the signalling type decides which
// tables read them. Bits no column names are loaded and stored with their
// records, so they are carried unchanged; rows below name the ones whose
// defaults are known (tone nibbles 15, the encode flag pair 3) so a reset
// gives them too, and leave the rest of each record alone.
#include "HFieldTable.h"
#include "HMemoryImage.h"
#include "HSettingsGroup.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace HTwoToneTables {

inline constexpr std::uint32_t kTones = 16; // tone codes 0-F
inline constexpr std::int32_t kNoTone = 15; // F: no tone set
inline constexpr std::int32_t kNoValue = 0xFFFF;
inline constexpr std::uint32_t kTagChars = 8;
inline constexpr std::string_view kBlankTag = "        ";

// ------------------------------------------------------------------ tone table
//   0x2300 + 2t: stored value of tone t (reference x value / 10000 = Hz)
//   0x2320 + 2t: frequency of tone t in 0.1 Hz (0xFFFF: none)
//   0x235D: reference (16)   0x235F: window scale (16)   0x2361: decode bandwidth (8)
//   0x2680 + 4t: decode window of tone t, lower and upper limit (16 each)
inline constexpr std::uint32_t kStoredBase = 0x2300;
inline constexpr std::uint32_t kFrequencyBase = 0x2320;
inline constexpr std::uint32_t kWindowBase = 0x2680;

enum ToneTableRow : std::uint32_t {
    kRowReference = 0,
    kRowBandwidth = 1,
    kRowWindowScale = 2,
    kRowStored = 3,                      // + t
    kRowFrequency = kRowStored + kTones, // + t
    kRowWindow = kRowFrequency + kTones, // + 2t (lower), + 2t + 1 (upper)
    kToneTableRowCount = kRowWindow + 2 * kTones,
};

constexpr std::array<HFieldDescriptor, kToneTableRowCount> MakeToneTableRows() {
    std::array<HFieldDescriptor, kToneTableRowCount> rows{};
    rows[kRowReference] = HField(0x235D, 0, 16, 2929);
    rows[kRowBandwidth] = HField(0x2361, 0, 8, 25);
    rows[kRowWindowScale] = HField(0x235F, 0, 16, 25);
    for (std::uint32_t t = 0; t < kTones; ++t) {
        rows[kRowStored + t] = HField(kStoredBase + 2 * t, 0, 16, kNoValue);
        rows[kRowFrequency + t] = HField(kFrequencyBase + 2 * t, 0, 16, kNoValue);
        rows[kRowWindow + 2 * t] = HField(kWindowBase + 4 * t, 0, 16, kNoValue);
        rows[kRowWindow + 2 * t + 1] = HField(kWindowBase + 4 * t + 2, 0, 16, kNoValue);
    }
    return rows;
}
inline constexpr std::array kToneTableRows = MakeToneTableRows();

// ------------------------------------------------------------------ decode
// 8 records of 23 bytes from 0x1F7D ("DEC-01" to "DEC-08"):
//   0: 7-3 carried | 2-0 call beep tone (7: none)
//   1: 7-6 beep mode | 5-4 mute mode | 3-2 call display | 1-0 carried
//   2, 3: carried       4: 7 carried | 6-4 LED blink | 3 carried | 2-1 LED colour | 0 carried
//   5, 6: carried       7: 7-4 1st tone | 3-0 2nd tone
//   8-10: further tone nibbles (15)     11-18: tag     19-22: no row
inline constexpr std::uint32_t kDecodeBase = 0x1F7D;
inline constexpr std::uint32_t kDecodeRecordSize = 23;
inline constexpr std::uint32_t kDecodeRecords = 8;

enum DecodeRow : int {
    kDecTag,
    kDecFirstTone,
    kDecSecondTone,
    kDecMuteMode,
    kDecCallDisplay,
    kDecLedBlink,
    kDecLedColour,
    kDecCallBeepTone,
    kDecBeepMode,
    kDecFurtherTones, // 6 nibbles, bytes 8-10
    kDecodeRowCount = kDecFurtherTones + 6,
};

constexpr std::array<HFieldDescriptor, kDecodeRowCount> MakeDecodeRows() {
    std::array<HFieldDescriptor, kDecodeRowCount> rows{};
    rows[kDecTag] = HTextField(11, kTagChars, kBlankTag);
    rows[kDecFirstTone] = HField(7, 4, 4, kNoTone);
    rows[kDecSecondTone] = HField(7, 0, 4, kNoTone);
    rows[kDecMuteMode] = HField(1, 4, 2, 0);
    rows[kDecCallDisplay] = HField(1, 2, 2, 0);
    rows[kDecLedBlink] = HField(4, 4, 3, 0);
    rows[kDecLedColour] = HField(4, 1, 2, 0);
    rows[kDecCallBeepTone] = HField(0, 0, 3, 7);
    rows[kDecBeepMode] = HField(1, 6, 2, 1);
    for (std::uint32_t i = 0; i < 6; ++i)
        rows[kDecFurtherTones + i] = HField(8 + i / 2, i % 2 == 0 ? 4 : 0, 4, kNoTone);
    return rows;
}
inline constexpr std::array kDecodeRows = MakeDecodeRows();

// ------------------------------------------------------------------ encode
// 32 records of 18 bytes from 0x1D3D ("ENC No.1" to "ENC No.32"):
//   0: 6-5 flag pair (3), other bits carried     1: carried
//   2: 7-4 1st tone | 3-0 2nd tone     3-5: further tone nibbles (15)
//   6-13: tag     14-17: no row
// and 32 records of 6 bytes from 0x00F2 that belong to the entries: loaded and
// stored with them, no column.
inline constexpr std::uint32_t kEncodeBase = 0x1D3D;
inline constexpr std::uint32_t kEncodeRecordSize = 18;
inline constexpr std::uint32_t kEncodeRecords = 32;
inline constexpr std::uint32_t kEncodeExtraBase = 0x00F2;
inline constexpr std::uint32_t kEncodeExtraSize = 6;

enum EncodeRow : int {
    kEncTag,
    kEncFirstTone,
    kEncSecondTone,
    kEncFlagPair,
    kEncFurtherTones, // 6 nibbles, bytes 3-5
    kEncodeRowCount = kEncFurtherTones + 6,
};

constexpr std::array<HFieldDescriptor, kEncodeRowCount> MakeEncodeRows() {
    std::array<HFieldDescriptor, kEncodeRowCount> rows{};
    rows[kEncTag] = HTextField(6, kTagChars, kBlankTag);
    rows[kEncFirstTone] = HField(2, 4, 4, kNoTone);
    rows[kEncSecondTone] = HField(2, 0, 4, kNoTone);
    rows[kEncFlagPair] = HField(0, 5, 2, 3);
    for (std::uint32_t i = 0; i < 6; ++i)
        rows[kEncFurtherTones + i] = HField(3 + i / 2, i % 2 == 0 ? 4 : 0, 4, kNoTone);
    return rows;
}
inline constexpr std::array kEncodeRows = MakeEncodeRows();

// The 6-byte area: whole bytes, kept as they are (a reset keeps them too).
inline constexpr std::array kEncodeExtraRows = {
    HField(0, 0, 8, 0xFF).ReadOnly(), HField(1, 0, 8, 0xFF).ReadOnly(),
    HField(2, 0, 8, 0xFF).ReadOnly(), HField(3, 0, 8, 0xFF).ReadOnly(),
    HField(4, 0, 8, 0xFF).ReadOnly(), HField(5, 0, 8, 0xFF).ReadOnly(),
};

// ------------------------------------------------------------------ system
// 16 records of 10 bytes from 0x1C9D (entries 1-16):
//   0: 7 auto reset | 3 PTT SW AF open | 1-0 monitor SW (3); 6-4, 2 carried
//   1: 7-6 CH SW | 1 duty | 0 CTCSS/DCS complement; 5-2 carried
//   2-4: carried    5: 7 call encode code backup | 4-0 call encode tone no.; 6-5 carried
//   6, 7: carried   8: bit k = decode code k+1     9: carried
// and one byte per entry at 0x00E2 + entry, loaded and stored with them.
inline constexpr std::uint32_t kSystemBase = 0x1C9D;
inline constexpr std::uint32_t kSystemRecordSize = 10;
inline constexpr std::uint32_t kSystemRecords = 16;
inline constexpr std::uint32_t kSystemExtraBase = 0x00E2;
inline constexpr std::uint32_t kDecodeCodes = 8;

enum SystemRow : int {
    kSysMonitorSw,
    kSysChSw,
    kSysPttAfOpen,
    kSysAutoReset,
    kSysCallToneNo,
    kSysCodeBackup,
    kSysDuty,
    kSysComplement,
    kSysDecodeCode1,
    kSystemRowCount = kSysDecodeCode1 + kDecodeCodes,
};

constexpr std::array<HFieldDescriptor, kSystemRowCount> MakeSystemRows() {
    std::array<HFieldDescriptor, kSystemRowCount> rows{};
    rows[kSysMonitorSw] = HField(0, 0, 2, 3);
    rows[kSysChSw] = HField(1, 6, 2, 0);
    rows[kSysPttAfOpen] = HField(0, 3, 1, 0);
    rows[kSysAutoReset] = HField(0, 7, 1, 0);
    rows[kSysCallToneNo] = HField(5, 0, 5, 0);
    rows[kSysCodeBackup] = HField(5, 7, 1, 0);
    rows[kSysDuty] = HField(1, 1, 1, 0);
    rows[kSysComplement] = HField(1, 0, 1, 0);
    for (std::uint32_t i = 0; i < kDecodeCodes; ++i)
        rows[kSysDecodeCode1 + i] = HField(8, i, 1, 0);
    return rows;
}
inline constexpr std::array kSystemRows = MakeSystemRows();
inline constexpr std::array kSystemExtraRows = {HField(0, 0, 8, 0).ReadOnly()};

// ------------------------------------------------------------------ options
// Decode Option: the fields shared with 5-tone Common2 keep their places.
enum DecodeOptionRow : int {
    kOptAutoResetBeep,
    kOptNumberOfRepeat,
    kOptBeepInterval,
    kOptCallBeepLevel,
    kOptAutoResetTime,
    kDecodeOptionRowCount,
};
inline constexpr std::array<HFieldDescriptor, kDecodeOptionRowCount> kDecodeOptionRows = {
    HField(0x1C85, 2, 1, 1), // Auto Reset Beep
    HField(0x1C94, 4, 4, 0), // Number of Repeat
    HField(0x1C94, 0, 4, 1), // Beep Rpt Interval
    HField(0x1C9A, 0, 8, 0), // CALL BEEP Level
    HField(0x1C93, 0, 8, 6), // Auto Reset Time, 0.5 s
};

// Encode Option: Call 1-5 hold an encode entry's number from 0 in the whole byte.
enum EncodeOptionRow : int {
    kOptCall1,
    kOptPttCall = kOptCall1 + 5,
    kOptFirstTonePeriod,
    kOptSecondTonePeriod,
    kOptGroupTonePeriod,
    kOptLeadInDelay,
    kOptLeadOutDelay,
    kEncodeOptionRowCount,
};
inline constexpr std::array<HFieldDescriptor, kEncodeOptionRowCount> kEncodeOptionRows = {
    HField(0x1C86, 0, 8, 0),   HField(0x1C87, 0, 8, 0), HField(0x1C88, 0, 8, 0),
    HField(0x1C89, 0, 8, 0),   HField(0x1C8A, 0, 8, 0), HField(0x1C85, 0, 1, 1), // PTT Call
    HField(0x1C8D, 0, 8, 20),  // 1st Tone Period, 0.05 s
    HField(0x234C, 0, 8, 60),  // 2nd Tone Period
    HField(0x235C, 0, 8, 160), // Group Tone Period
    HField(0x1C90, 0, 8, 10),  // Lead In Delay, 10 ms
    HField(0x1C91, 0, 8, 5),   // Lead Out Delay
};

// ------------------------------------------------------------------ parts
inline constexpr std::array kToneTableParts = {HGroupPart{kToneTableRows, HFieldTableType::Plain}};
// Tags in the image as typed: the 2-tone tags keep '%', '<' and '>'.
inline constexpr std::array kDecodeParts = {HGroupPart{
    kDecodeRows, HFieldTableType::Record, kDecodeBase, kDecodeRecordSize, kDecodeRecords}};
inline constexpr std::array kEncodeParts = {
    HGroupPart{kEncodeRows, HFieldTableType::Record, kEncodeBase, kEncodeRecordSize,
               kEncodeRecords},
    HGroupPart{kEncodeExtraRows, HFieldTableType::Record, kEncodeExtraBase, kEncodeExtraSize,
               kEncodeRecords}};
inline constexpr std::array kSystemParts = {
    HGroupPart{kSystemRows, HFieldTableType::Record, kSystemBase, kSystemRecordSize,
               kSystemRecords},
    HGroupPart{kSystemExtraRows, HFieldTableType::Record, kSystemExtraBase, 1, kSystemRecords}};
inline constexpr std::array kDecodeOptionParts = {
    HGroupPart{kDecodeOptionRows, HFieldTableType::Plain}};
inline constexpr std::array kEncodeOptionParts = {
    HGroupPart{kEncodeOptionRows, HFieldTableType::Plain}};

static_assert(HGroupPartsAreSound(kToneTableParts));
static_assert(HGroupPartsAreSound(kDecodeParts));
static_assert(HGroupPartsAreSound(kEncodeParts));
static_assert(HGroupPartsAreSound(kSystemParts));
static_assert(HGroupPartsAreSound(kDecodeOptionParts));
static_assert(HGroupPartsAreSound(kEncodeOptionParts));
// The records fill their areas and meet the next table where the image has it.
static_assert(kEncodeBase + kEncodeRecordSize * kEncodeRecords <= kDecodeBase);
static_assert(kSystemBase + kSystemRecordSize * kSystemRecords <= kEncodeBase);
static_assert(kEncodeExtraBase + kEncodeExtraSize * kEncodeRecords <= 0x200);
static_assert(kSystemExtraBase + kSystemRecords == kEncodeExtraBase);
static_assert(kFrequencyBase == kStoredBase + 2 * kTones);

} // namespace HTwoToneTables
