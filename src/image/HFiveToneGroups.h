#pragma once
// The 5-tone settings groups over the tables of HFiveToneTables.h, the tone
// table with its conversion and window rules, and the digit strings of the
// decode and encode numbers.
#include "HFiveToneTables.h"
#include "HRecordTable.h"
#include "HSettingsGroup.h"
#include "HToneConversion.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class HFiveToneCommon1Group : public HSettingsGroup {
public:
    HFiveToneCommon1Group() : HSettingsGroup(HFiveToneTables::kCommon1Parts) {}
};

class HFiveToneCommon2Group : public HSettingsGroup {
public:
    HFiveToneCommon2Group() : HSettingsGroup(HFiveToneTables::kCommon2Parts) {}
};

class HFiveToneSystemGroup : public HRecordTable {
public:
    HFiveToneSystemGroup() : HRecordTable(HFiveToneTables::kSystemParts) {}
};

class HFiveToneDecodeGroup : public HRecordTable {
public:
    HFiveToneDecodeGroup() : HRecordTable(HFiveToneTables::kDecodeParts) {}
};

class HFiveToneEncodeGroup : public HRecordTable {
public:
    HFiveToneEncodeGroup() : HRecordTable(HFiveToneTables::kEncodeParts) {}
};

// The twelve tone sets: stored tone values, periods, second values and decode
// windows, with the shared header. Frequencies are set and read in Hz through
// the header's reference value; Save recomputes every window first.
class HFiveToneTable : public HSettingsGroup {
public:
    HFiveToneTable() : HSettingsGroup(HFiveToneTables::kToneTableParts) {}

    [[nodiscard]] std::int32_t Reference() const;
    [[nodiscard]] std::int32_t Bandwidth() const;
    [[nodiscard]] std::int32_t WindowScale() const;

    // Stored value of tone t of set k (0xFFFF: no tone); -1 out of range.
    [[nodiscard]] std::int32_t ToneValue(std::size_t set, std::size_t tone) const;
    // Hz of tone t of set k, one decimal; 0 for no tone.
    [[nodiscard]] double Frequency(std::size_t set, std::size_t tone) const;
    // Limited to the radio's range; 0 clears the tone.
    void SetFrequency(std::size_t set, std::size_t tone, double hz);

    [[nodiscard]] std::int32_t Period(std::size_t set) const;
    void SetPeriod(std::size_t set, std::int32_t period);
    [[nodiscard]] std::int32_t Second(std::size_t set) const;
    // Kept in multiples of 5: a value is rounded down.
    void SetSecond(std::size_t set, std::int32_t value);

    // Lower and upper window limit of tone t of set k as the table holds them.
    [[nodiscard]] std::int32_t WindowLower(std::size_t set, std::size_t tone) const;
    [[nodiscard]] std::int32_t WindowUpper(std::size_t set, std::size_t tone) const;
    // Every set's windows from its tone values and the header; a window the
    // table cannot hold (HToneConversion::FitsTable) keeps the limits it has.
    void ComputeWindows();
    // The (set, tone) pairs whose windows do not fit the table, in order.
    [[nodiscard]] std::vector<std::pair<std::size_t, std::size_t>> UnfitWindows() const;
    // ComputeWindows, then the whole table into the image.
    void Store(std::span<std::uint8_t> image);

    // Value indexes, for editors that bind to them.
    [[nodiscard]] std::size_t ToneIndex(std::size_t set, std::size_t tone) const;
    [[nodiscard]] std::size_t PeriodIndex(std::size_t set) const;
    [[nodiscard]] std::size_t SecondIndex(std::size_t set) const;

private:
    // Tone t of set k's window by the formula, before the table holds it.
    [[nodiscard]] HToneConversion::HToneWindow Window(std::size_t set, std::size_t tone) const;
};

// Decode and encode numbers: up to 8 digits 0-9 and A-E packed in a 32-bit
// field, first digit in the top nibble, unused positions 15.
namespace HToneDigits {
inline constexpr std::size_t kMaxDigits = 8;
[[nodiscard]] bool IsDigit(char c);
// The digits up to the first unused position.
[[nodiscard]] std::string ToText(std::int32_t packed);
// Lower-case a-e count as upper case; empty text is no digits. Nothing for
// more than 8 digits or any other character.
[[nodiscard]] std::optional<std::int32_t> FromText(std::string_view text);
} // namespace HToneDigits
