#pragma once
// Descriptor tables of the channel area, the channel bit tables, the tone timer
// bytes and the group set.
//
// Channel records: 128 records of 42 bytes from byte 1536, three to a 128-byte
// page; the last 2 bytes of every page are unused, so channel 3 starts at 1664,
// not 1662:
//
//   page 0 @1536: | ch0 (42) | ch1 (42) | ch2 (42) | -- (2) |
//   page 1 @1664: | ch3      | ch4      | ch5      | --     |  ...
//
// One channel record (byte: bits):
//    0: 7 f0 | 6 f1 | 5 f2 | 4 f3 | 3-2 f4 | 1-0 f5
//    1: 7 f6 | 6 f7 | 5 f8 | 3 f9 | 2 f10 | 1-0 f11
//    2: 7-6 f12 rx step | 5-4 f13 tx step | 3-0 f14
//    3: 3 f15 | 2 f16 | 1 f17 rx tone on | 0 f18 tx tone on
//    4: 7 f19 | 6-5 f20 | 3-0 f21
//  5-6: 7 f22 rx DCS | 5 f23 | 11-0 f24 rx tone
//  7-8: 7 f25 tx DCS | 6 f26 | 5 f27 | 11-0 f28 tx tone
// 9-10: 15-13 f29 | 12-0 f30 rx count/64     11: 7-2 f31 rx count%64 | 1-0 f32
// 12-13: f33 rx word   14: f34   15-16: f35 rx count word
// 17-18: 15-13 f36 | 12-0 f37 tx count/64    19: 7-2 f38 tx count%64 | 1-0 f39
// 20-21: f40 tx word   22: f41   23-24: f42 tx count word
//   25: f43 tuning byte   26: 7 f44 | 6 f45 | 5-4 f46 | 3-0 f47
// 27-30: f48-f51   31: unused   32: f52   33: f53   34-41: f54 tag
//
// Group set: the count, priority and start bytes of group g sit at 50+g, 82+g,
// 114+g with the two bytes of each 16-bit word exchanged (group 0's count is
// byte 51); flags are bit g from the top of bytes 148, 152, 156, inverted.
#include "HFieldTable.h"
#include "HMemoryImage.h"

#include <array>
#include <cstdint>

namespace HChannelTables {

inline constexpr std::uint32_t kChannelCount = 128;
inline constexpr std::uint32_t kChannelBase = 1536;
inline constexpr std::uint32_t kChannelRecordSize = 42;
inline constexpr std::uint32_t kChannelsPerPage = 3;
inline constexpr std::uint32_t kChannelPageGap = 2;
inline constexpr std::uint32_t kInUseTableBase = 896; // field 55, one bit per channel
inline constexpr std::uint32_t kFlagTableBase = 160;  // field 56, word-swapped bits
inline constexpr std::uint32_t kToneTimerBase = 9984; // fields 57, 58: two bytes per channel
inline constexpr std::uint32_t kToneTimerRecordSize = 2;

// Channel field numbers with a name in the code.
enum ChannelField : int {
    kFieldTxInhibit = 1,
    kFieldBandwidth = 4,
    kFieldPowerLevel = 5,
    kFieldLockOut = 11,
    kFieldRxStep = 12,
    kFieldTxStep = 13,
    kFieldRxToneOn = 17,
    kFieldTxToneOn = 18,
    kFieldSignalKind = 20,
    kFieldSignalNumber = 21,
    kFieldRxToneDcs = 22,
    kFieldRxToneInverted = 23,
    kFieldRxTone = 24,
    kFieldTxToneDcs = 25,
    kFieldTxToneFlagI = 26,
    kFieldTxToneFlagB = 27,
    kFieldTxTone = 28,
    kFieldRxCountHigh = 30,
    kFieldRxCountLow = 31,
    kFieldRxWord = 33,
    kFieldRxTune13 = 34,
    kFieldRxCountWord = 35,
    kFieldTxCountHigh = 37,
    kFieldTxCountLow = 38,
    kFieldTxWord = 40,
    kFieldTxTune16 = 41,
    kFieldTxCountWord = 42,
    kFieldTuningByte = 43,
    kFieldKeepTuningPoints = 44,
    kFieldKeepTuningByte = 45,
    kFieldEncryption = 46,
    kFieldSquelch = 47,
    kFieldTxTune15 = 48,
    kFieldTxTune1 = 49,
    kFieldTxTunePower = 50,
    kFieldTxTuneWidth = 51,
    kFieldTxTune14 = 52,
    kFieldSubAudioOffset = 53, // set by channel fine alignment
    kFieldTag = 54,
    kFieldInUse = 55,
    kFieldScan = 56, // the channel is scanned (the grid's "Scan" tick)
    kFieldTonePrescaler = 57,
    kFieldToneDivider = 58,
    kFieldRxFrequency = 59,
    kFieldTxFrequency = 60,
    kFieldRxWordA = 61, // bits 7-9 of field 33
    kFieldRxWordB = 62, // bits 10-12
    kFieldRxWordC = 63, // bits 3-6
    kFieldTxWordA = 64,
    kFieldTxWordB = 65,
    kFieldTxWordC = 66,
    kFieldRxToneType = 67,
    kFieldTxToneType = 68,
};
inline constexpr int kRecordFields = 54; // fields 0-53 live in the 42-byte record
inline constexpr int kStoredFields = 59; // fields 0-58 have descriptor rows
inline constexpr int kFieldCount = 69;   // fields 59-68 are derived

constexpr HFieldDescriptor SignMagnitude(HFieldDescriptor d) {
    return d.Scaled(HScaleMode::Special5);
}

// Fields 0-54: byte offsets inside the channel record.
inline constexpr std::array<HFieldDescriptor, 55> kChannelRecordRows = {{
    HField(0, 7, 1, 0),                 // 0
    HField(0, 6, 1, 0),                 // 1
    HField(0, 5, 1, 0),                 // 2
    HField(0, 4, 1, 0),                 // 3
    HField(0, 2, 2, 1),                 // 4
    HField(0, 0, 2, 1),                 // 5
    HField(1, 7, 1, 0),                 // 6
    HField(1, 6, 1, 0),                 // 7
    HField(1, 5, 1, 0),                 // 8
    HField(1, 3, 1, 0),                 // 9
    HField(1, 2, 1, 1),                 // 10
    HField(1, 0, 2, 0),                 // 11
    HField(2, 6, 2, 0),                 // 12
    HField(2, 4, 2, 0),                 // 13
    HField(2, 0, 4, 0),                 // 14
    HField(3, 3, 1, 0),                 // 15
    HField(3, 2, 1, 0),                 // 16
    HField(3, 1, 1, 1),                 // 17
    HField(3, 0, 1, 0),                 // 18
    HField(4, 7, 1, 0),                 // 19
    HField(4, 5, 2, 0),                 // 20
    HField(4, 0, 4, 0),                 // 21
    HField(5, 7, 1, 0),                 // 22
    HField(5, 5, 1, 0),                 // 23
    HField(5, 0, 12, 0),                // 24
    HField(7, 7, 1, 0),                 // 25
    HField(7, 6, 1, 0),                 // 26
    HField(7, 5, 1, 0),                 // 27
    HField(7, 0, 12, 0),                // 28
    HField(9, 5, 3, 0),                 // 29
    HField(9, 0, 13, 0),                // 30
    HField(11, 2, 6, 0),                // 31
    HField(11, 0, 2, 0),                // 32
    HField(12, 0, 16, 0),               // 33
    SignMagnitude(HField(14, 0, 8, 0)), // 34
    HField(15, 0, 16, 0),               // 35
    HField(17, 5, 3, 0),                // 36
    HField(17, 0, 13, 0),               // 37
    HField(19, 2, 6, 0),                // 38
    HField(19, 0, 2, 0),                // 39
    HField(20, 0, 16, 0),               // 40
    SignMagnitude(HField(22, 0, 8, 0)), // 41
    HField(23, 0, 16, 0),               // 42
    HField(25, 0, 8, 0),                // 43
    HField(26, 7, 1, 0),                // 44
    HField(26, 6, 1, 0),                // 45
    HField(26, 4, 2, 0),                // 46
    HField(26, 0, 4, 0),                // 47
    SignMagnitude(HField(27, 0, 8, 0)), // 48
    SignMagnitude(HField(28, 0, 8, 0)), // 49
    SignMagnitude(HField(29, 0, 8, 0)), // 50
    SignMagnitude(HField(30, 0, 8, 0)), // 51
    HField(32, 0, 8, 0),                // 52
    SignMagnitude(HField(33, 0, 8, 0)), // 53
    HTextField(34, 8, " ", 0),          // 54 tag
}};

// Field 55: one bit per channel from byte 896 (bit c mod 8 of byte 896 + c/8);
// a stored 0 means in use.
inline constexpr std::array<HFieldDescriptor, 1> kInUseRows = {{HField(0, 0, 1, 1).Inverted()}};
// Field 56: the same layout from byte 160, with the bytes of each word exchanged.
inline constexpr std::array<HFieldDescriptor, 1> kFlag56Rows = {{HField(0, 0, 1, 1).Inverted()}};
// Fields 57 and 58: two bytes per channel from byte 9984.
inline constexpr std::array<HFieldDescriptor, 2> kToneTimerRows = {{
    HField(0, 0, 8, 0xFF),
    HField(1, 0, 8, 0xFF),
}};

static_assert(kChannelRecordRows[54].byteOffset + kChannelRecordRows[54].bitWidth ==
              kChannelRecordSize);
static_assert(HFieldRowsFit(kChannelRecordRows, 0, 0, kChannelRecordSize));
// Three records and the gap fill a FLASH page exactly; 128 records take 43 pages.
static_assert(kChannelsPerPage * kChannelRecordSize + kChannelPageGap == 128);
static_assert(kChannelBase + (kChannelCount - 1) * kChannelRecordSize +
                  (kChannelCount - 1) / kChannelsPerPage * kChannelPageGap + kChannelRecordSize <=
              kChannelBase + 43 * 128);
static_assert(HFieldRowsFit(kChannelRecordRows, kChannelBase,
                            (kChannelCount - 1) * kChannelRecordSize +
                                (kChannelCount - 1) / kChannelsPerPage * kChannelPageGap,
                            kImageSize));
static_assert(HFieldRowsFit(kInUseRows, kInUseTableBase, kChannelCount / 8 - 1, kImageSize));
static_assert(HFieldRowsFit(kFlag56Rows, kFlagTableBase, kChannelCount / 8 - 1, kImageSize));
static_assert(HFieldRowsFit(kToneTimerRows, kToneTimerBase,
                            (kChannelCount - 1) * kToneTimerRecordSize, kImageSize));
static_assert(kChannelRecordRows.size() + kInUseRows.size() + kFlag56Rows.size() +
                  kToneTimerRows.size() ==
              kStoredFields);

// ---- group set ----

inline constexpr std::uint32_t kGroupCount = 8;
inline constexpr std::uint32_t kGroupTagBase = 1032;
inline constexpr std::uint32_t kGroupTagSize = 8;
inline constexpr std::int32_t kNoPriority = 255;

// Group values: 0 count, 1 priority, 2 start, 3-5 flags, 6 tag, 7 scan mode
// (derived from flags 3 and 5).
enum GroupValue : int {
    kGroupChannels = 0,
    kGroupPriority = 1,
    kGroupStart = 2,
    kGroupFlag3 = 3,
    kGroupInUse = 4,
    kGroupFlag5 = 5,
    kGroupTag = 6,
    kGroupScanMode = 7,
};
inline constexpr int kGroupValueCount = 8;

// Values 0-2: one byte each, group g at record g ^ 1 (word-swapped).
inline constexpr std::array<HFieldDescriptor, 3> kGroupByteRows = {{
    HField(50, 0, 8, 0),
    HField(82, 0, 8, kNoPriority),
    HField(114, 0, 8, 0),
}};
// Values 3-5: bit g counted from the most significant bit, stored inverted.
inline constexpr std::array<HFieldDescriptor, 3> kGroupFlagRows = {{
    HField(148, 0, 1, 0).Inverted(),
    HField(152, 0, 1, 0).Inverted(),
    HField(156, 0, 1, 0).Inverted(),
}};
// Value 6: the 8-character tag of group g at 1032 + 8g.
inline constexpr std::array<HFieldDescriptor, 1> kGroupTagRows = {{HTextField(0, 8, " ", 0)}};

static_assert(HFieldRowsFit(kGroupByteRows, 0, kGroupCount - 1, kImageSize));
static_assert(HFieldRowsFit(kGroupFlagRows, 0, 0, kImageSize));
static_assert(HFieldRowsFit(kGroupTagRows, kGroupTagBase, (kGroupCount - 1) * kGroupTagSize,
                            kImageSize));
static_assert(kGroupByteRows[0].byteOffset + kGroupCount <= kGroupByteRows[1].byteOffset);

// ---- signalling settings the channel cells depend on ----

// 0 signalling type ("5-TONE" 0, "2-TONE" 1); 1 ANI type ("DTMF" 0, "MDC1200" 1).
inline constexpr std::array<HFieldDescriptor, 2> kChannelSignallingRows = {{
    HField(0x2A4, 4, 1, 1),
    HField(0x2A6, 5, 1, 0),
}};
static_assert(HFieldRowsFit(kChannelSignallingRows, 0, 0, kImageSize));

} // namespace HChannelTables
