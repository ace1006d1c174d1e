#include "HDtmfGroups.h"

#include <algorithm>

std::string HCountedCode::Shown(std::string_view stored, std::int32_t count) {
    const auto n = std::size_t(std::clamp<std::int32_t>(count, 0, std::int32_t(stored.size())));
    return std::string(stored.substr(0, n));
}
