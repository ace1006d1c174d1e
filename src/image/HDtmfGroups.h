#pragma once
// The DTMF, ANI, paging and signalling-type settings: their descriptor tables
// and groups. Digit strings are packed as HDigitFieldTable packs them; the
// nibble beside each code (high nibble of its first byte) is taken as the
// code's digit count, as the emergency code's is, since the packed string
// always holds its full width of digits.
//
//   0x2A3 bit 0 DTMF monitor     0x2A4 bit 4 signalling type (0 5-tone, 1 2-tone)
//   0x2A6 [ x x | type | transmit | delay (2) | speed (2) ]           ANI
//   0x300 [ pause on | pause time (3) | pause code (4) ]
//   0x301 [ answer back (2) | manual | speed | paging type | x | call times (2) ]
//   0x302 [ ANI count | d0 ] [ d1 | d2 ] ... [ d13 | d14 ]            ANI code
//   0x312 10 records of 8 bytes, each [ count | d0 ] [ d1 | d2 ] ...  DTMF codes
//   0x362 10 records of 2 bytes [ action (2) | status | x | d0 ] [ d1 | d2 ]  paging
//   0x376 [ separate code | group code ]  0x377 [ reset code | x ]
#include "HChannelTables.h"
#include "HFieldTable.h"
#include "HRecordTable.h"
#include "HSettingsGroup.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace HDtmfMap {

// ------------------------------------------------------------------ Signalling type
inline constexpr std::array kSignallingTypeRows = {HField(0x2A4, 4, 1, 1)};
// The channel model reads the same bit.
static_assert(kSignallingTypeRows[0].byteOffset ==
                  HChannelTables::kChannelSignallingRows[0].byteOffset &&
              kSignallingTypeRows[0].bitShift ==
                  HChannelTables::kChannelSignallingRows[0].bitShift);

// ------------------------------------------------------------------ DTMF Setting
namespace Setting {
inline constexpr std::size_t kPauseTime = 0;
inline constexpr std::size_t kSpeed = 1;
inline constexpr std::size_t kMonitor = 2;
inline constexpr std::size_t kAnswerBack = 3;
inline constexpr std::size_t kCallTimes = 4;
inline constexpr std::size_t kManualDialling = 5;
inline constexpr std::size_t kPagingType = 6;
inline constexpr std::size_t kSeparateCode = 7;
inline constexpr std::size_t kGroupCode = 8;
inline constexpr std::size_t kResetCode = 9;
inline constexpr std::size_t kPauseCode = 10;
// Whether the pause code is sent: the list's "OFF" entry clears it, a digit
// sets it (the pause code keeps its digit meanwhile).
inline constexpr std::size_t kPauseCodeOn = 11;
} // namespace Setting
inline constexpr std::array kDtmfSettingRows = {
    HField(0x300, 4, 3, 0),  // 0 pause time
    HField(0x301, 4, 1, 0),  // 1 DTMF speed
    HField(0x2A3, 0, 1, 1),  // 2 DTMF monitor
    HField(0x301, 6, 2, 2),  // 3 answer back
    HField(0x301, 0, 2, 2),  // 4 call times
    HField(0x301, 5, 1, 1),  // 5 manual dialling
    HField(0x301, 3, 1, 1),  // 6 paging type
    HField(0x376, 4, 4, 14), // 7 page separate code (*)
    HField(0x376, 0, 4, 10), // 8 page group code (A)
    HField(0x377, 4, 4, 12), // 9 page reset code (C)
    HField(0x300, 0, 4, 13), // 10 pause code (D)
    HField(0x300, 7, 1, 1),  // 11 pause code on
};
static_assert(kDtmfSettingRows.size() == 12);

// ------------------------------------------------------------------ DTMF ANI
inline constexpr std::size_t kCodeDigits = 15; // ANI and DTMF codes
namespace Ani {
inline constexpr std::size_t kType = 0;
inline constexpr std::size_t kTransmit = 1;
inline constexpr std::size_t kDelay = 2;
inline constexpr std::size_t kSpeed = 3;
inline constexpr std::size_t kCount = 4;
inline constexpr std::size_t kCode = 5;
} // namespace Ani
inline constexpr std::array kDtmfAniRows = {
    HField(0x2A6, 5, 1, 0),              // 0 ANI type (the channel model's ANI type too)
    HField(0x2A6, 4, 1, 0),              // 1 ANI transmit
    HField(0x2A6, 2, 2, 1),              // 2 ANI delay
    HField(0x2A6, 0, 2, 2),              // 3 ANI speed
    HField(0x302, 4, 4, 0),              // 4 digit count of the code
    HTextField(0x302, kCodeDigits, " "), // 5 packed code
};
static_assert(kDtmfAniRows[0].byteOffset == HChannelTables::kChannelSignallingRows[1].byteOffset &&
              kDtmfAniRows[0].bitShift == HChannelTables::kChannelSignallingRows[1].bitShift);

// ------------------------------------------------------------------ DTMF codes
inline constexpr std::uint32_t kDtmfCodeBase = 0x312;
inline constexpr std::uint32_t kDtmfCodeSize = 8;
inline constexpr std::uint32_t kDtmfCodes = 10;
inline constexpr std::size_t kCodeCountRow = 0;
inline constexpr std::size_t kCodeTextRow = 1;
inline constexpr std::array kDtmfCodeRows = {
    HField(0, 4, 4, 0),              // digit count
    HTextField(0, kCodeDigits, " "), // packed code
};

// ------------------------------------------------------------------ Paging codes
inline constexpr std::uint32_t kPagingBase = 0x362;
inline constexpr std::uint32_t kPagingSize = 2;
inline constexpr std::uint32_t kPagingCodes = 10;
inline constexpr std::size_t kPagingDigits = 3;
namespace Paging {
inline constexpr int kAction = 0;
inline constexpr int kStatus = 1;
inline constexpr int kCode = 2;
inline constexpr int kFields = 3;
} // namespace Paging
inline constexpr std::array kPagingRows = {
    HField(0, 6, 2, 0),                // action
    HField(0, 5, 1, 0),                // status
    HTextField(0, kPagingDigits, " "), // code, three digits
};
// The page group code is loaded with the paging codes but only the DTMF
// Setting dialog writes it: two editors confirmed in one session must not
// put back each other's old value.
inline constexpr std::array kPagingGroupCodeRows = {
    kDtmfSettingRows[Setting::kGroupCode].ReadOnly()};

// ------------------------------------------------------------------ group layouts
inline constexpr std::array kSignallingTypeParts = {
    HGroupPart{kSignallingTypeRows, HFieldTableType::Plain}};
inline constexpr std::array kDtmfSettingParts = {
    HGroupPart{kDtmfSettingRows, HFieldTableType::Plain}};
inline constexpr std::array kDtmfAniParts = {HGroupPart{kDtmfAniRows, HFieldTableType::Digit}};
inline constexpr std::array kDtmfCodeParts = {
    HGroupPart{kDtmfCodeRows, HFieldTableType::Digit, kDtmfCodeBase, kDtmfCodeSize, kDtmfCodes}};
inline constexpr std::array kPagingParts = {
    HGroupPart{kPagingRows, HFieldTableType::Digit, kPagingBase, kPagingSize, kPagingCodes},
    HGroupPart{kPagingGroupCodeRows, HFieldTableType::Plain}};

static_assert(HGroupPartsAreSound(kSignallingTypeParts));
static_assert(HGroupPartsAreSound(kDtmfSettingParts));
static_assert(HGroupPartsAreSound(kDtmfAniParts));
static_assert(HGroupPartsAreSound(kDtmfCodeParts));
static_assert(HGroupPartsAreSound(kPagingParts));
// The packed records do not overlap what follows them: eight bytes hold a
// count and 15 digits, two bytes a paging record's flags and 3 digits.
static_assert((1 + kCodeDigits + 1) / 2 == kDtmfCodeSize);
static_assert(0x302 + kDtmfCodeSize <= 0x30A && 0x30A <= kDtmfCodeBase);
static_assert(kDtmfCodeBase + kDtmfCodeSize * kDtmfCodes == kPagingBase);
static_assert(kPagingBase + kPagingSize * kPagingCodes == 0x376);

} // namespace HDtmfMap

class HSignallingTypeGroup : public HSettingsGroup {
public:
    HSignallingTypeGroup() : HSettingsGroup(HDtmfMap::kSignallingTypeParts) {}
};

class HDtmfSettingGroup : public HSettingsGroup {
public:
    HDtmfSettingGroup() : HSettingsGroup(HDtmfMap::kDtmfSettingParts) {}
};

class HDtmfAniGroup : public HSettingsGroup {
public:
    HDtmfAniGroup() : HSettingsGroup(HDtmfMap::kDtmfAniParts) {}
};

// A packed code of up to 15 digits with its count, as a group holds it: the
// string keeps every stored digit, the count says how many are the code.
struct HCountedCode {
    // The code the count stands for (count clamped to the string).
    [[nodiscard]] static std::string Shown(std::string_view stored, std::int32_t count);
};

// Ten DTMF codes; value index of record r: r * 2 + row.
class HDtmfCodeGroup : public HSettingsGroup {
public:
    HDtmfCodeGroup() : HSettingsGroup(HDtmfMap::kDtmfCodeParts) {}
};

// Ten paging records (fields HDtmfMap::Paging) and the group code they are
// paged with.
class HPagingCodeGroup : public HRecordTable {
public:
    HPagingCodeGroup() : HRecordTable(HDtmfMap::kPagingParts) {}
    [[nodiscard]] std::int32_t GroupCode() const { return GetValue(IndexOf(1, 0, 0)); }
};
