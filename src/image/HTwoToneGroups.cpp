#include "HTwoToneGroups.h"

#include "HHardwareGroup.h"
#include "HToneConversion.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace HTwoToneTables;
namespace Tc = HToneConversion;

namespace {

bool IsTone(int t) {
    return t >= 0 && t < static_cast<int>(kTones);
}

// A table value that holds nothing reads as 0.
std::int32_t Held(std::int32_t v) {
    return v == kNoValue ? 0 : v;
}

} // namespace

double HTwoToneTable::Frequency(int t) const {
    if (!IsTone(t))
        return 0.0;
    return Held(Row(kRowFrequency + static_cast<std::size_t>(t))) / 10.0;
}

void HTwoToneTable::SetFrequency(int t, double hz) {
    if (!IsTone(t))
        return;
    // Tenths of a Hz in 16 bits; what does not fit is no frequency at all.
    const long tenths = std::lround(hz * 10.0);
    SetValue(kRowFrequency + static_cast<std::size_t>(t),
             tenths > 0 && tenths < kNoValue ? static_cast<std::int32_t>(tenths) : 0);
}

std::int32_t HTwoToneTable::StoredValue(int t) const {
    return IsTone(t) ? Held(Row(kRowStored + static_cast<std::size_t>(t))) : 0;
}

double HTwoToneTable::StoredFrequency(int t) const {
    return Tc::FrequencyOf(static_cast<std::uint32_t>(StoredValue(t)),
                           static_cast<std::uint32_t>(std::max(Reference(), 0)));
}

void HTwoToneTable::SetStoredFrequency(int t, double hz) {
    if (!IsTone(t))
        return;
    SetValue(kRowStored + static_cast<std::size_t>(t),
             static_cast<std::int32_t>(
                 Tc::StoredValueOf(hz, static_cast<std::uint32_t>(std::max(Reference(), 0)))));
}

std::int32_t HTwoToneTable::WindowLower(int t) const {
    return IsTone(t) ? Row(kRowWindow + 2 * static_cast<std::size_t>(t)) : kNoValue;
}

std::int32_t HTwoToneTable::WindowUpper(int t) const {
    return IsTone(t) ? Row(kRowWindow + 2 * static_cast<std::size_t>(t) + 1) : kNoValue;
}

Tc::HToneWindow HTwoToneTable::Window(int t) const {
    const auto u = [](std::int32_t v) { return static_cast<std::uint32_t>(std::max(v, 0)); };
    return Tc::DecodeWindow(u(StoredValue(t)), u(Reference()), u(WindowScale()), u(Bandwidth()));
}

void HTwoToneTable::ComputeWindows() {
    for (int t = 0; t < static_cast<int>(kTones); ++t) {
        const Tc::HToneWindow w = Window(t);
        if (!Tc::FitsTable(w))
            continue;
        const std::size_t row = kRowWindow + 2 * static_cast<std::size_t>(t);
        SetValue(row, static_cast<std::int32_t>(Tc::StoredLimit(w.lower)));
        SetValue(row + 1, static_cast<std::int32_t>(Tc::StoredLimit(w.upper)));
    }
}

std::vector<int> HTwoToneTable::UnfitWindows() const {
    std::vector<int> tones;
    for (int t = 0; t < static_cast<int>(kTones); ++t)
        if (!Tc::FitsTable(Window(t)))
            tones.push_back(t);
    return tones;
}

void HTwoToneTable::UpdateStoredValues() {
    for (int t = 0; t < static_cast<int>(kTones); ++t)
        SetStoredFrequency(t, Frequency(t));
}

void HTwoToneTable::Store(std::span<std::uint8_t> image) {
    UpdateStoredValues();
    ComputeWindows();
    // In the image nothing is 0xFFFF, never 0.
    for (int t = 0; t < static_cast<int>(kTones); ++t) {
        for (std::size_t row : {kRowStored + static_cast<std::size_t>(t),
                                kRowFrequency + static_cast<std::size_t>(t)})
            if (GetValue(row) == 0)
                SetValue(row, kNoValue);
    }
    Save(image);
}

std::string HTwoToneTable::ToneText(std::int32_t code) const {
    if (code < 0 || code >= kNoTone)
        return {};
    char text[24];
    std::snprintf(text, sizeof text, "%X:%5.1f", static_cast<unsigned>(code), Frequency(code));
    return text;
}

void HTwoToneRecords::LoadAll(std::span<const std::uint8_t> image) {
    LoadRecords(image);
    m_tones.Load(image);
    HHardwareGroup hardware;
    hardware.Load(image);
    m_displayType = hardware.GetValue(HHardwareGroup::kRowDisplayMobile);
}
