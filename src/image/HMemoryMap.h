#pragma once
// The memory map of the common settings: one constexpr descriptor table per
// settings group, the identity table and the tuning-point records. Row order is
// the order of the group's values. Every table checks itself at compile time:
// rows stay inside the image, widths fit the kind, row counts match the group.
#include "HFieldTable.h"
#include "HMemoryImage.h"
#include "HSettingsGroup.h"

#include <array>
#include <cstddef>

namespace HMemoryMap {

inline constexpr std::int32_t kHundredKHz = 100000;

// ------------------------------------------------------------------ Hardware
// Rows 13, 19 and 20 (and 14, 21, 22 below) are frequencies in 5, 6.25 and
// 2.5 kHz units. 13/19/20 sit in bits 2-15 of a big-endian word:
//   byte 550         byte 551
//   [ r13 bits 13..6 ][ r13 bits 5..0 | x x ]
inline constexpr std::array kHardwareRows = {
    HField(33, 2, 1, 0),                                // 0 mobile TX power
    HField(33, 5, 3, 0),                                // 1 frequency band
    HField(33, 3, 2, 0),                                // 2 product type
    HField(33, 0, 2, 0),                                // 3 display type (handheld)
    HField(34, 3, 1, 0),                                // 4 display type (mobile)
    HField(581, 7, 1, 0),                               // 5 local offset side
    HField(512, 6, 2, 0),                               // 6 channel step set
    HField(512, 0, 5, 0),                               // 7 squelch delay
    HField(599, 4, 4, 0),                               // 8 noise squelch attack
    HField(599, 0, 4, 0),                               // 9 noise squelch hysteresis
    HField(597, 1, 1, 0),                               // 10 DCS RX polarity
    HField(597, 0, 1, 0),                               // 11 DCS TX polarity
    HField(33, 2, 1, 0),                                // 12 handheld keypad (bit of row 0)
    HField(550, 0, 14, 0).Scaled(HScaleMode::Shift, 2), // 13 reference crystal / 5 kHz
    HField(581, 0, 15, 0),                              // 14 first IF / 5 kHz
    // 15 squelch release, stored - 1. Its default is value 1 (stored byte 0):
    // value 0 would store 0xFF, a release time of 256 steps.
    HField(598, 0, 8, 1).Scaled(HScaleMode::Special5, 1), // 15
    HField(513, 0, 8, 0),                                 // 16 ACONT timing
    HField(12672, 0, 32, 0),                              // 17 band lower limit, Hz
    HField(12676, 0, 32, 0),                              // 18 band upper limit, Hz
    HField(558, 0, 14, 0).Scaled(HScaleMode::Shift, 2),   // 19 reference crystal / 6.25 kHz
    HField(566, 0, 14, 0).Scaled(HScaleMode::Shift, 2),   // 20 reference crystal / 2.5 kHz
    HField(583, 0, 15, 0),                                // 21 first IF / 6.25 kHz
    HField(585, 0, 15, 0),                                // 22 first IF / 2.5 kHz
};
static_assert(kHardwareRows.size() == 23);

// ------------------------------------------------------------------ Option
inline constexpr std::array kOptionRows = {
    HField(45, 4, 4, 8),            // 0 LCD contrast
    HField(47, 4, 1, 0).Inverted(), // 1 lighting
    HField(47, 3, 1, 0).Inverted(), // 2 beep
    HField(44, 0, 4, 8),            // 3 SQL level offset
    HField(47, 0, 2, 3),            // 4 dimmer level
    HField(34, 0, 3, 0),            // 5 option unit (low codes)
    HField(35, 0, 1, 0),            // 6 mobile keypad MIC
    HField(48, 7, 1, 0),            // 7 record mode
    HField(48, 6, 1, 0),            // 8 play mode
    HField(675, 4, 1, 0),           // 9 power-on REC
    HField(468, 1, 1, 1),           // 10
    HField(468, 0, 1, 1),           // 11
    HField(44, 7, 1, 1),            // 12 (same bit as Miscellaneous row 5)
    HField(48, 5, 1, 0),            // 13
    HField(34, 5, 3, 0),            // 14 option unit (codes above 7)
    HField(48, 0, 2, 0),            // 15
};
static_assert(kOptionRows.size() == 16);

// ------------------------------------------------------------------ Scanning
inline constexpr std::array kScanningRows = {
    HField(641, 0, 4, 4), HField(640, 0, 4, 3), HField(640, 4, 4, 3), HField(669, 0, 1, 1),
    HField(676, 0, 2, 2), HField(675, 3, 1, 1), HField(675, 2, 1, 1), HField(47, 5, 1, 1),
};
static_assert(kScanningRows.size() == 8);

// ------------------------------------------------------------------ Power Saving
inline constexpr std::array kPowerSavingRows = {
    HField(642, 5, 3, 3),
    HField(642, 2, 2, 0),
    HField(642, 0, 2, 0),
    HField(643, 6, 1, 0),
    HField(643, 0, 3, 3),
    HField(677, 0, 8, 80),
    HField(740, 0, 8, 80),
    HField(669, 2, 1, 0),
    HField(670, 4, 1, 0),
    HField(670, 7, 1, 1),
    HField(45, 0, 4, 9),
    HField(46, 0, 8, 3),
    HTextField(1024, 8, "SELFTEST"), // 12 power-on tag
};
static_assert(kPowerSavingRows.size() == 13);

// ------------------------------------------------------------------ Front Panel
inline constexpr std::array kFrontPanelRows = {
    HField(675, 5, 1, 0).Inverted(),
    HField(669, 3, 1, 0),
    HField(44, 4, 1, 1),
    HField(670, 2, 2, 0),
    HField(733, 0, 8, 0),
    HField(734, 0, 8, 0),
};
static_assert(kFrontPanelRows.size() == 6);

// ------------------------------------------------------------------ Key Function
// Rows 0-23: one key function code per byte at 644-667.
inline constexpr std::array kKeyFunctionRows = {
    HField(644, 0, 8, 1),  HField(645, 0, 8, 2),  HField(646, 0, 8, 5),  HField(647, 0, 8, 0),
    HField(648, 0, 8, 12), HField(649, 0, 8, 13), HField(650, 0, 8, 53), HField(651, 0, 8, 0),
    HField(652, 0, 8, 0),  HField(653, 0, 8, 0),  HField(654, 0, 8, 0),  HField(655, 0, 8, 0),
    HField(656, 0, 8, 0),  HField(657, 0, 8, 0),  HField(658, 0, 8, 0),  HField(659, 0, 8, 0),
    HField(660, 0, 8, 0),  HField(661, 0, 8, 0),  HField(662, 0, 8, 0),  HField(663, 0, 8, 0),
    HField(664, 0, 8, 0),  HField(665, 0, 8, 0),  HField(666, 0, 8, 0),  HField(667, 0, 8, 0),
    HField(668, 4, 4, 3),  HField(668, 0, 4, 0),  HField(669, 4, 4, 9),
};
static_assert(kKeyFunctionRows.size() == 27);

// ------------------------------------------------------------------ Miscellaneous
inline constexpr std::array kMiscellaneousRows = {
    HField(676, 5, 3, 0),
    HField(47, 6, 1, 0),
    HField(671, 1, 1, 0),
    HField(670, 5, 2, 0),
    HField(670, 0, 1, 0),
    HField(44, 7, 1, 1),
    HField(674, 0, 2, 0),
    HField(678, 7, 1, 1),
    HField(678, 6, 1, 0),
    HField(641, 4, 3, 1),
    HField(643, 7, 1, 0),
    HField(671, 7, 1, 0),
    HField(671, 6, 1, 0),
    HField(671, 5, 1, 1).Inverted(),
    HField(671, 4, 1, 1).Inverted(),
    HField(708, 1, 1, 0),
    HField(12680, 0, 32, 0), // 16 default split (identity row 0's word, writable here)
    HField(735, 0, 8, 1),
    HField(736, 0, 8, 20),
    HField(147, 0, 8, 0),
    HField(146, 0, 5, 0),
};
static_assert(kMiscellaneousRows.size() == 21);

// ------------------------------------------------------------------ Marketing
// The serial number starts at 506, four bytes before EEPROM word 0xFF (510-511,
// the radio's end-of-download mark) and six before the Hardware bytes at 512.
// Only 506-509 belong to it alone, so it is four characters here: eight would
// overwrite the end mark and Hardware rows 6, 7 and 16 on every save.
inline constexpr std::uint32_t kSerialNumberChars = 4;
inline constexpr std::array kMarketingRows = {
    HField(0, 0, 16, 0).AsBcd(),              // 0 market application
    HField(764, 0, 16, 0).AsBcd(),            // 1
    HTextField(506, kSerialNumberChars, " "), // 2 serial number
};
static_assert(kMarketingRows.size() == 3);
static_assert(506 + kSerialNumberChars <= HImageMap::EepromWordOffset(0xFF));

// ------------------------------------------------------------------ Passwords
// Byte 708: [ emergency r14 (4) | pw r7 | prog r0 | misc r15 | pw r0 (inv) ]
inline constexpr std::array kPowerOnPasswordRows = {
    HField(708, 0, 1, 1).Inverted(), HField(709, 0, 8, 10), HField(710, 0, 8, 11),
    HField(711, 0, 8, 12),           HField(712, 0, 8, 13), HField(713, 0, 8, 10),
    HField(714, 0, 8, 11),           HField(708, 3, 1, 1),
};
static_assert(kPowerOnPasswordRows.size() == 8);

// One digit code per byte at 715-720.
inline constexpr std::array kProgrammingPasswordRows = {
    HField(708, 2, 1, 1),
    HTextField(715, 6, "481736"),
};
static_assert(kProgrammingPasswordRows.size() == 2);

// ------------------------------------------------------------------ Emergency
// Bytes 778-785 hold the DTMF emergency code:
//   778: [ digit count (row 21) | d0 ]  779: [ d1 | d2 ]  ...  785: [ d13 | d14 ]
inline constexpr std::array kEmergencyRows = {
    HField(672, 7, 1, 1),
    HField(672, 6, 1, 0),
    HField(672, 5, 1, 0),
    HField(672, 4, 1, 0),
    HField(739, 4, 3, 0).Scaled(HScaleMode::Special6), // 4 off-or-number
    HField(739, 1, 2, 0).Scaled(HScaleMode::Special5), // 5 code table
    HField(672, 0, 4, 3),
    HField(673, 4, 4, 3),
    HField(673, 0, 4, 4),
    HField(675, 6, 2, 0),
    HField(671, 0, 1, 0),
    HField(674, 7, 1, 0),
    HField(674, 6, 1, 0),
    HField(674, 5, 1, 0),
    HField(708, 4, 4, 1),
    HField(739, 7, 1, 1),
    HField(738, 0, 8, 0),
    HField(737, 0, 8, 0),
    HField(739, 3, 1, 0),
    HField(739, 0, 1, 0),
    HField(671, 2, 1, 0),
    HField(778, 4, 4, 0),     // 21 digit count of the code
    HTextField(778, 15, " "), // 22 packed code, 15 digits
};
static_assert(kEmergencyRows.size() == 23);
// The packed code reaches byte (15 + 1) / 2 = 8 bytes from its start.
static_assert(778 + 8 <= 786);

// ------------------------------------------------------------------ Direct Channel
// 4 records of 2 bytes at 725:  [ group ][ channel ]  x4  (725-732)
inline constexpr std::uint32_t kDirectChannelBase = 725;
inline constexpr std::uint32_t kDirectChannelRecords = 4;
inline constexpr std::array kDirectChannelRows = {HField(0, 0, 8, 0), HField(1, 0, 8, 0)};

// ------------------------------------------------------------------ DSUB-15
// 691: group of the switch table; 692-707: 16 one-byte positions.
inline constexpr std::array kDsubSwitchGroupRows = {HField(691, 0, 8, 255)};
inline constexpr std::array kDsubSwitchPositionRows = {HField(0, 0, 8, 255)};
inline constexpr std::uint32_t kDsubSwitchPositionBase = 692;
inline constexpr std::uint32_t kDsubSwitchPositions = 16;
// 679-684: output functions of ports 1-6; 685-690: input functions of ports
// 1-6. Values 0-5 are the inputs, 6-11 the outputs.
inline constexpr std::array kDsubPortRows = {HField(0, 0, 8, 0), HField(0, 0, 8, 0)};
inline constexpr std::uint32_t kDsubInputBase = 685;
inline constexpr std::uint32_t kDsubOutputBase = 679;
inline constexpr std::uint32_t kDsubPorts = 6;

// ------------------------------------------------------------------ Tuning points
// 17 records of 15 bytes at 12306 (to 12560):
//   +0 +1  frequency / 100 kHz        +8  [ x x | r7 (3) | r8 (3) ]
//   +2..+7 rows 1-6 sign-magnitude    +9  [ x x | r9 (3) | r10 (3) ]
//   +10 [ r11 | r12 ]  +11 r13 (s-m)  +12 r14  +13 r15 (s-m)  +14 r16 (s-m)
inline constexpr std::uint32_t kTuningPointBase = 12306;
inline constexpr std::uint32_t kTuningPointSize = 15;
inline constexpr std::uint32_t kTuningPoints = 17;
inline constexpr std::array kTuningPointRows = {
    HField(0, 0, 16, 0).Scaled(HScaleMode::Multiply, kHundredKHz),
    HField(2, 0, 8, 0).Scaled(HScaleMode::Special5),
    HField(3, 0, 8, 0).Scaled(HScaleMode::Special5),
    HField(4, 0, 8, 0).Scaled(HScaleMode::Special5),
    HField(5, 0, 8, 1).Scaled(HScaleMode::Special5),
    HField(6, 0, 8, 1).Scaled(HScaleMode::Special5),
    HField(7, 0, 8, 0).Scaled(HScaleMode::Special5),
    HField(8, 3, 3, 0),
    HField(8, 0, 3, 0),
    HField(9, 3, 3, 0),
    HField(9, 0, 3, 0),
    HField(10, 4, 4, 0),
    HField(10, 0, 4, 0),
    HField(11, 0, 8, 0).Scaled(HScaleMode::Special5),
    HField(12, 0, 8, 0),
    HField(13, 0, 8, 0).Scaled(HScaleMode::Special5),
    HField(14, 0, 8, 0).Scaled(HScaleMode::Special5),
};
static_assert(kTuningPointRows.size() == 17);
static_assert(kTuningPointBase + kTuningPointSize * kTuningPoints <= HImageMap::kFlashEnd);

// ------------------------------------------------------------------ Identity
// Loaded by the channel model through a plain HFieldTable; only rows 1 and 2
// are writable (both are cleared after every load).
inline constexpr std::array kIdentityRows = {
    HField(12680, 0, 32, 0).ReadOnly(),                                        // 0 identity word
    HField(36, 0, 8, 0),                                                       // 1
    HField(37, 0, 8, 0),                                                       // 2
    HField(26, 0, 16, 0).ReadOnly().Scaled(HScaleMode::Multiply, kHundredKHz), // 3 ref. freq Hz
    HField(28, 0, 8, 0).ReadOnly(), // 4 tuning value at the reference
    HField(29, 0, 8, 0).ReadOnly(), // 5 slope above the reference
    HField(30, 0, 8, 0).ReadOnly(), // 6 slope below the reference
    HField(34, 0, 3, 0).ReadOnly(), // 7 (Option row 5's bits)
    HField(34, 5, 3, 0).ReadOnly(), // 8 (Option row 14's bits)
};
static_assert(kIdentityRows.size() == 9);
inline constexpr std::size_t kIdentityValues = 10; // the tenth is not in the image

// ------------------------------------------------------------------ group layouts
// Each settings group's parts: which table class, where, how many records.
inline constexpr std::array kHardwareParts = {HGroupPart{kHardwareRows, HFieldTableType::Offset}};
inline constexpr std::array kOptionParts = {HGroupPart{kOptionRows, HFieldTableType::Plain}};
inline constexpr std::array kScanningParts = {HGroupPart{kScanningRows, HFieldTableType::Plain}};
inline constexpr std::array kPowerSavingParts = {
    HGroupPart{kPowerSavingRows, HFieldTableType::Text}};
inline constexpr std::array kFrontPanelParts = {
    HGroupPart{kFrontPanelRows, HFieldTableType::Plain}};
inline constexpr std::array kKeyFunctionParts = {
    HGroupPart{kKeyFunctionRows, HFieldTableType::Plain}};
inline constexpr std::array kMiscellaneousParts = {
    HGroupPart{kMiscellaneousRows, HFieldTableType::Plain}};
inline constexpr std::array kMarketingParts = {HGroupPart{kMarketingRows, HFieldTableType::Plain}};
inline constexpr std::array kPowerOnPasswordParts = {
    HGroupPart{kPowerOnPasswordRows, HFieldTableType::Plain}};
inline constexpr std::array kProgrammingPasswordParts = {
    HGroupPart{kProgrammingPasswordRows, HFieldTableType::DigitChar}};
inline constexpr std::array kEmergencyParts = {
    HGroupPart{kEmergencyRows, HFieldTableType::Emergency}};
inline constexpr std::array kDirectChannelParts = {HGroupPart{
    kDirectChannelRows, HFieldTableType::Record, kDirectChannelBase, 2, kDirectChannelRecords}};
inline constexpr std::array kDsubChannelSwitchParts = {
    HGroupPart{kDsubSwitchGroupRows, HFieldTableType::Plain},
    HGroupPart{kDsubSwitchPositionRows, HFieldTableType::Record, kDsubSwitchPositionBase, 1,
               kDsubSwitchPositions}};
inline constexpr std::array kDsubPortLinesParts = {
    HGroupPart{kDsubPortRows, HFieldTableType::Record, kDsubInputBase, 1, kDsubPorts, 0, 1},
    HGroupPart{kDsubPortRows, HFieldTableType::Record, kDsubOutputBase, 1, kDsubPorts, 1, 1}};
inline constexpr std::array kTuningPointParts = {HGroupPart{
    kTuningPointRows, HFieldTableType::Signed, kTuningPointBase, kTuningPointSize, kTuningPoints}};
inline constexpr std::array kIdentityParts = {HGroupPart{kIdentityRows, HFieldTableType::Plain}};

static_assert(HGroupPartsAreSound(kHardwareParts));
static_assert(HGroupPartsAreSound(kOptionParts));
static_assert(HGroupPartsAreSound(kScanningParts));
static_assert(HGroupPartsAreSound(kPowerSavingParts));
static_assert(HGroupPartsAreSound(kFrontPanelParts));
static_assert(HGroupPartsAreSound(kKeyFunctionParts));
static_assert(HGroupPartsAreSound(kMiscellaneousParts));
static_assert(HGroupPartsAreSound(kMarketingParts));
static_assert(HGroupPartsAreSound(kPowerOnPasswordParts));
static_assert(HGroupPartsAreSound(kProgrammingPasswordParts));
static_assert(HGroupPartsAreSound(kEmergencyParts));
static_assert(HGroupPartsAreSound(kDirectChannelParts));
static_assert(HGroupPartsAreSound(kDsubChannelSwitchParts));
static_assert(HGroupPartsAreSound(kDsubPortLinesParts));
static_assert(HGroupPartsAreSound(kTuningPointParts));
static_assert(HGroupPartsAreSound(kIdentityParts));
// Value counts of the record groups.
static_assert(HGroupValueCount(kDirectChannelParts) == 8);
static_assert(HGroupValueCount(kDsubChannelSwitchParts) == 17);
static_assert(HGroupValueCount(kDsubPortLinesParts) == 12);
static_assert(HGroupValueCount(kTuningPointParts) == 17 * 17);
// The settings of this map live in the settings region and the identity words.
static_assert(kTuningPointBase >= HImageMap::kAlignmentBase);

} // namespace HMemoryMap
