#pragma once
// The core speaks UTF-8 std::string; the window speaks QString. One crossing.
#include <QString>

#include <string_view>

[[nodiscard]] inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
