#include "HAccessLevel.h"

#include <array>

namespace HAccessLevel {

int FromCommandLine(std::string_view commandLine) {
    static constexpr std::array<std::string_view, 4> kManu = {"/manu", "/MANU", "-manu", "-MANU"};
    static constexpr std::array<std::string_view, 4> kAllSwitch = {"/all", "/ALL", "-all", "-ALL"};
    for (std::string_view s : kManu)
        if (commandLine == s)
            return kManufacture;
    for (std::string_view s : kAllSwitch)
        if (commandLine == s)
            return kAll;
    return kNormal;
}

int Confirmed(int requested, bool accepted, std::string_view typedCode) {
    if (!accepted)
        return kNormal;
    if (requested == kManufacture && typedCode == kManufactureCode)
        return kManufacture;
    if (requested == kAll && typedCode == kAllCode)
        return kAll;
    return kNormal;
}

} // namespace HAccessLevel
