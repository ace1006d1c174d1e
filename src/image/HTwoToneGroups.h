#pragma once
// The 2-tone settings groups over the tables of HTwoToneTables.h: the tone
// table object with its conversion, limiting and window rules, the decode,
// encode and system records as grids read them, and the two option groups.
#include "HRecordTable.h"
#include "HToneConversion.h"
#include "HTwoToneTables.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The 2-tone tone table: the reference value, decode bandwidth and window
// scale, the frequency set (what the user enters, 0.1 Hz), the stored-value
// set (what the radio makes, through the reference) and the decode windows.
// Load reads all of it; Store compiles the stored values and windows from
// the frequency set and writes everything.
class HTwoToneTable : public HSettingsGroup {
public:
    HTwoToneTable() : HSettingsGroup(HTwoToneTables::kToneTableParts) {}

    [[nodiscard]] std::int32_t Reference() const { return Row(HTwoToneTables::kRowReference); }
    [[nodiscard]] std::int32_t Bandwidth() const { return Row(HTwoToneTables::kRowBandwidth); }
    [[nodiscard]] std::int32_t WindowScale() const { return Row(HTwoToneTables::kRowWindowScale); }
    void SetReference(std::int32_t v) { SetValue(HTwoToneTables::kRowReference, v); }
    void SetBandwidth(std::int32_t v) { SetValue(HTwoToneTables::kRowBandwidth, v); }
    void SetWindowScale(std::int32_t v) { SetValue(HTwoToneTables::kRowWindowScale, v); }

    // Frequency set: tone t in Hz (one decimal); 0 for none (0xFFFF) and t out of 0-15.
    [[nodiscard]] double Frequency(int t) const;
    // Stores hz x 10; 0 means none.
    void SetFrequency(int t, double hz);

    // Stored-value set: the radio value of tone t and its frequency through
    // the reference (0 for none).
    [[nodiscard]] std::int32_t StoredValue(int t) const;
    [[nodiscard]] double StoredFrequency(int t) const;
    // Limits hz to the radio's range, then stores hz / reference x 10000.
    void SetStoredFrequency(int t, double hz);

    // Decode window of tone t as the table holds it (0xFFFF: none).
    [[nodiscard]] std::int32_t WindowLower(int t) const;
    [[nodiscard]] std::int32_t WindowUpper(int t) const;
    // The windows from the stored-value set, reference, scale and bandwidth;
    // a window the table cannot hold (HToneConversion::FitsTable) keeps the
    // limits the table has.
    void ComputeWindows();
    // The tones whose windows the stored-value set, reference, scale and
    // bandwidth give do not fit the table, in tone order.
    [[nodiscard]] std::vector<int> UnfitWindows() const;

    // Every tone's frequency into the stored-value set (the first step of Store).
    void UpdateStoredValues();
    // The compiled table: UpdateStoredValues, the windows computed, everything
    // written (0 written as 0xFFFF).
    void Store(std::span<std::uint8_t> image);

    // A tone code as decode and encode cells show it: "%X:%5.1f" of the code
    // and its frequency; empty for code 15 (no tone) and codes outside 0-14.
    [[nodiscard]] std::string ToneText(std::int32_t code) const;

private:
    [[nodiscard]] std::int32_t Row(std::size_t row) const { return GetValue(row); }
    // Tone t's window by the formula, before the table holds it.
    [[nodiscard]] HToneConversion::HToneWindow Window(int t) const;
};

// A 2-tone record table as its grid reads it: the records, the tone table
// their tone cells name, and whether the radio has a display (Hardware row 4,
// which the tag and call display cells need).
class HTwoToneRecords : public HRecordTable {
public:
    explicit HTwoToneRecords(std::span<const HGroupPart> parts) : HRecordTable(parts) {}

    [[nodiscard]] const HTwoToneTable& Tones() const { return m_tones; }
    [[nodiscard]] HTwoToneTable& Tones() { return m_tones; }
    [[nodiscard]] int DisplayType() const { return m_displayType; }
    void SetDisplayType(int type) { m_displayType = type; }

    // The records, the tone table and the display type from the image.
    void LoadAll(std::span<const std::uint8_t> image);

private:
    HTwoToneTable m_tones;
    int m_displayType = 0;
};

class HTwoToneDecodeGroup : public HTwoToneRecords {
public:
    HTwoToneDecodeGroup() : HTwoToneRecords(HTwoToneTables::kDecodeParts) {}
};
class HTwoToneEncodeGroup : public HTwoToneRecords {
public:
    HTwoToneEncodeGroup() : HTwoToneRecords(HTwoToneTables::kEncodeParts) {}
};
class HTwoToneSystemGroup : public HTwoToneRecords {
public:
    HTwoToneSystemGroup() : HTwoToneRecords(HTwoToneTables::kSystemParts) {}
};

class HTwoToneDecodeOptionGroup : public HSettingsGroup {
public:
    HTwoToneDecodeOptionGroup() : HSettingsGroup(HTwoToneTables::kDecodeOptionParts) {}
};
class HTwoToneEncodeOptionGroup : public HSettingsGroup {
public:
    HTwoToneEncodeOptionGroup() : HSettingsGroup(HTwoToneTables::kEncodeOptionParts) {}
};
