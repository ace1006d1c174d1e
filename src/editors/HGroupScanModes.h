#pragma once
// The scan modes of a channel group (group value 7) by code, as the channel
// allocation dialog offers them and the printed report's group lines name
// them.
#include <array>
#include <string_view>

inline constexpr std::array<std::string_view, 4> kGroupScanModeTexts = {"None", "VTS", "SCAN",
                                                                        "SCAN VTS"};
