#include "HHardwareGroup.h"

HHardwareGroup::HHardwareGroup() : HSettingsGroup(HMemoryMap::kHardwareParts, 2) {
    SetDefaults();
}

std::int32_t HHardwareGroup::GetValue(std::size_t index) const {
    if (index == kRowRefXtal)
        return Stored(kValueRefXtalHz);
    if (index == kRowFirstIf)
        return Stored(kValueFirstIfHz);
    return Stored(index);
}

void HHardwareGroup::SetValue(std::size_t index, std::int32_t value) {
    if (index == kRowRefXtal)
        index = kValueRefXtalHz;
    else if (index == kRowFirstIf)
        index = kValueFirstIfHz;
    SetStored(index, value);
}

void HHardwareGroup::UpdateDerived() {
    SetStored(kValueRefXtalHz, Stored(kRowRefXtal) * kFrequencyUnit);
    SetStored(kValueFirstIfHz, Stored(kRowFirstIf) * kFrequencyUnit);
}

void HHardwareGroup::RecomputeFrequencyRows() {
    const std::int32_t xtal = Stored(kValueRefXtalHz);
    const std::int32_t firstIf = Stored(kValueFirstIfHz);
    SetStored(kRowRefXtal, xtal / kFrequencyUnit);
    SetStored(kRowFirstIf, firstIf / kFrequencyUnit);
    SetStored(kRowRefXtal6250, xtal / 6250);
    SetStored(kRowRefXtal2500, xtal / 2500);
    SetStored(kRowFirstIf6250, firstIf / 6250);
    SetStored(kRowFirstIf2500, firstIf / 2500);
}

void HHardwareGroup::EncodeDerived(std::span<std::int32_t> values) const {
    // The Hz values are the ones editors change; the 5 kHz rows follow them.
    // Loaded values come back exactly (row x 5000 / 5000).
    values[kRowRefXtal] = values[kValueRefXtalHz] / kFrequencyUnit;
    values[kRowFirstIf] = values[kValueFirstIfHz] / kFrequencyUnit;
}
