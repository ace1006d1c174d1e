#pragma once
// Access levels of the program and the rules that set them. Kept free of Qt so
// the rules are checked without a window.
#include <span>
#include <string>
#include <string_view>

namespace HAccessLevel {

inline constexpr int kNormal = 0;      // dealer programming
inline constexpr int kManufacture = 1; // "Manufacture Mode"
inline constexpr int kAll = 2;         // all functions

inline constexpr std::string_view kManufactureCode = "Workshop Entry";
inline constexpr std::string_view kAllCode = "tovak";

// The level a whole command-line text asks for. The text is compared exactly and
// case-sensitively: a switch in mixed case, or a switch followed by a file name,
// asks for nothing.
[[nodiscard]] int FromCommandLine(std::string_view commandLine);

// The level that stands after the access-code dialog: the requested level when
// the dialog was accepted with that level's code, else the normal level.
[[nodiscard]] int Confirmed(int requested, bool accepted, std::string_view typedCode);

} // namespace HAccessLevel
