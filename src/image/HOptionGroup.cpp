#include "HOptionGroup.h"

namespace {
constexpr std::int32_t kHighUnitMark = 4; // row 5 value that sends the code to row 14
constexpr std::int32_t kHighUnitBase = 7;
} // namespace

HOptionGroup::HOptionGroup() : HSettingsGroup(HMemoryMap::kOptionParts, 1) {
    SetDefaults();
}

namespace {
std::int32_t UnitCode(std::int32_t low, std::int32_t high) {
    return low == kHighUnitMark ? high + kHighUnitBase : low;
}
} // namespace

void HOptionGroup::UpdateDerived() {
    SetStored(kValueOptionUnit, UnitCode(Stored(kRowUnitLow), Stored(kRowUnitHigh)));
}

void HOptionGroup::EncodeDerived(std::span<std::int32_t> values) const {
    const std::int32_t code = values[kValueOptionUnit];
    // Code 7 is both row 5 = 7 and row 5 = 4 with row 14 = 0: rows that
    // already give the code are left as they are.
    if (UnitCode(values[kRowUnitLow], values[kRowUnitHigh]) == code)
        return;
    if (code >= kHighUnitBase) {
        values[kRowUnitLow] = kHighUnitMark;
        values[kRowUnitHigh] = code - kHighUnitBase;
    } else {
        values[kRowUnitLow] = code;
    }
}
