#pragma once
// The Option settings group: 16 stored rows and the option unit code (value
// 16), which rows 5 and 14 hold between them.
#include "HMemoryMap.h"
#include "HSettingsGroup.h"

class HOptionGroup : public HSettingsGroup {
public:
    static constexpr std::size_t kRowUnitLow = 5;
    static constexpr std::size_t kRowUnitHigh = 14;
    static constexpr std::size_t kValueOptionUnit = 16;

    HOptionGroup();

    // Option unit code: row 5, or row 14 + 7 when row 5 is 4.
    void UpdateDerived() override;

protected:
    // Codes 7 and above store 4 in row 5 and code - 7 in row 14; lower codes go
    // to row 5 alone. Rows that already give the code stay untouched.
    void EncodeDerived(std::span<std::int32_t> values) const override;
};
