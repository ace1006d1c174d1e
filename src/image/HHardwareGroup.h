#pragma once
// The Hardware settings group: 23 stored rows and two derived frequencies.
#include "HMemoryMap.h"
#include "HSettingsGroup.h"

class HHardwareGroup : public HSettingsGroup {
public:
    static constexpr std::size_t kRowTxPower = 0;
    static constexpr std::size_t kRowBand = 1;
    static constexpr std::size_t kRowProductType = 2;
    static constexpr std::size_t kRowDisplayHandheld = 3;
    static constexpr std::size_t kRowDisplayMobile = 4;
    static constexpr std::size_t kRowLocalOffset = 5;
    static constexpr std::size_t kRowStepSet = 6;
    static constexpr std::size_t kRowHandheldKey = 12;
    static constexpr std::size_t kRowRefXtal = 13; // 5 kHz units; reads as Hz, see below
    static constexpr std::size_t kRowFirstIf = 14; // 5 kHz units; reads as Hz, see below
    static constexpr std::size_t kRowSquelchRelease = 15;
    static constexpr std::size_t kRowAcont = 16;
    static constexpr std::size_t kRowBandLow = 17;  // Hz
    static constexpr std::size_t kRowBandHigh = 18; // Hz
    static constexpr std::size_t kRowRefXtal6250 = 19;
    static constexpr std::size_t kRowRefXtal2500 = 20;
    static constexpr std::size_t kRowFirstIf6250 = 21;
    static constexpr std::size_t kRowFirstIf2500 = 22;
    // Derived values (Hz): row 13 and row 14 times 5000.
    static constexpr std::size_t kValueRefXtalHz = 23;
    static constexpr std::size_t kValueFirstIfHz = 24;
    static constexpr std::int32_t kFrequencyUnit = 5000;

    HHardwareGroup();

    // Values 13 and 14 are asked for in Hz: they give (and set) values 23 and
    // 24. Stored() still gives the rows in 5 kHz units.
    [[nodiscard]] std::int32_t GetValue(std::size_t index) const override;
    void SetValue(std::size_t index, std::int32_t value) override;
    void UpdateDerived() override;

    // The stored row itself (13 and 14 in 5 kHz units).
    [[nodiscard]] std::int32_t GetRow(std::size_t row) const { return Stored(row); }

    // Before the Hardware editor saves: rows 13/14 and the 6.25 kHz and 2.5 kHz
    // forms (rows 19-22) recomputed from the two frequencies in Hz.
    void RecomputeFrequencyRows();

protected:
    void EncodeDerived(std::span<std::int32_t> values) const override;
};
