#pragma once
// Image helpers shared by the tests of every layer.
#include "HHardwareGroup.h"
#include "HMemoryImage.h"

#include <cstdint>
#include <vector>

// Offsets at which two images differ.
inline std::vector<std::size_t> Differences(const HMemoryImage& a, const HMemoryImage& b) {
    std::vector<std::size_t> d;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            d.push_back(i);
    return d;
}

// `m` with one Hardware row set through its field table.
inline HMemoryImage WithHardware(HMemoryImage m, std::size_t row, std::int32_t value) {
    HHardwareGroup hw;
    hw.Load(m);
    hw.SetValue(row, value);
    hw.Save(m);
    return m;
}
