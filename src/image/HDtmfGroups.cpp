#include "HDtmfGroups.h"

#include <algorithm>

std::string HCountedCode::Shown(std::string_view stored, std::int32_t count) {
    const auto n = std::size_t(std::clamp<std::int32_t>(count, 0, std::int32_t(stored.size())));
    return std::string(stored.substr(0, n));
}

std::string HCountedCode::Stored(std::string_view code, std::string_view before) {
    std::string out(code);
    if (code.size() < before.size())
        out += before.substr(code.size());
    return out;
}
