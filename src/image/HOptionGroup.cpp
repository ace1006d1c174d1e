#include "HOptionGroup.h"

namespace {
constexpr std::int32_t kHighUnitMark = 4; // row 5 value that sends the code to row 14
constexpr std::int32_t kHighUnitBase = 7;
} // namespace

HOptionGroup::HOptionGroup() : HSettingsGroup(HMemoryMap::kOptionParts, 1) {
    SetDefaults();
}

void HOptionGroup::UpdateDerived() {
    const std::int32_t low = Stored(kRowUnitLow);
    SetStored(kValueOptionUnit,
              low == kHighUnitMark ? Stored(kRowUnitHigh) + kHighUnitBase : low);
}

void HOptionGroup::EncodeDerived(std::span<std::int32_t> values) const {
    const std::int32_t code = values[kValueOptionUnit];
    if (code >= kHighUnitBase) {
        values[kRowUnitLow] = kHighUnitMark;
        values[kRowUnitHigh] = code - kHighUnitBase;
    } else {
        values[kRowUnitLow] = code;
    }
}
