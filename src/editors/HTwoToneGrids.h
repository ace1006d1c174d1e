#pragma once
// The three 2-tone grids as column tables over their records (HTwoToneRecords):
// Decode (8 rows), Encode (32) and System (16). Every column names the record
// field it reads and writes; cells are keyed "section.N.name" with N the
// entry number column 0 shows. Tone cells show "%X:%5.1f" of the code and
// its frequency in the tone table and pick from the fifteen tones; the tag
// and call display cells take changes only when the radio has a display.
#include "HGridColumn.h"
#include "HTwoToneGroups.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using HTwoToneColumn = HGridColumn<HTwoToneRecords>;

namespace HTwoToneGrids {

inline constexpr std::array<std::string_view, 3> kMuteModeTexts = {"-----", "Open ", "Close"};
inline constexpr std::array<std::string_view, 4> kCallDisplayTexts = {"-----", "ON", "Blink",
                                                                      "OFF"};
inline constexpr std::array<std::string_view, 5> kLedBlinkTexts = {"----", "Mode1", "Mode2",
                                                                   "Mode3", "User"};
inline constexpr std::array<std::string_view, 4> kLedColourTexts = {"----", "Yellow", "Green",
                                                                    "Red"};
inline constexpr std::array<std::string_view, 8> kCallBeepToneTexts = {"A", "B", "C", "D",
                                                                       "E", "F", "G", "-"};
inline constexpr std::array<std::string_view, 3> kBeepModeTexts = {"Repeat", "Single", "Step"};
inline constexpr std::array<std::string_view, 4> kMonitorSwTexts = {"-----", "Close", "Open",
                                                                    "Both"};
inline constexpr std::array<std::string_view, 3> kChSwTexts = {"-----", "Open", "Close"};
inline constexpr std::array<std::string_view, 2> kOffOnTexts = {"Off", "On"};
inline constexpr std::array<std::string_view, 2> kDutyTexts = {"Off-Duty", "On-Duty"};
inline constexpr std::array<std::string_view, 2> kDecodeTexts = {"No Decode", "Decode"};
inline constexpr std::array<std::string_view, 32> kEncodeToneNoTexts = {
    "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11", "12", "13", "14", "15", "16",
    "17", "18", "19", "20", "21", "22", "23", "24", "25", "26", "27", "28", "29", "30", "31", "32"};

[[nodiscard]] std::span<const HTwoToneColumn> DecodeColumns();
[[nodiscard]] std::span<const HTwoToneColumn> EncodeColumns();
[[nodiscard]] std::span<const HTwoToneColumn> SystemColumns();

// The pop-up list of a tone cell: tones 0-E as their cells show them, then
// an empty entry for no tone (code 15).
[[nodiscard]] std::vector<std::string> ToneList(const HTwoToneRecords& records);

} // namespace HTwoToneGrids
