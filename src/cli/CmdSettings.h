#pragma once
// rp57cli show / get / set: every setting of the Common editors by its key,
// shown and changed through the editors' own rules.
#include <string>
#include <vector>

// Exit status: 0 done, 1 writing failed, 2 bad input (nothing written).
int CmdShow(const std::vector<std::string>& args);
int CmdGet(const std::vector<std::string>& args);
int CmdSet(const std::vector<std::string>& args);

inline constexpr const char* kShowUsage =
    "  show FILE [SECTION] [--json] [--level 1|2]\n"
    "                            every setting of the Common editors as\n"
    "                            key = shown text, section by section\n";
inline constexpr const char* kGetUsage =
    "  get FILE KEY [--level 1|2] print the shown text of one setting\n";
inline constexpr const char* kSetUsage =
    "  set FILE KEY=VALUE [KEY=VALUE...] -o OUT [--level 1|2]\n"
    "                            change settings as the dialogs would (a list\n"
    "                            entry's text, or what one types into an edit)\n"
    "                            and write the result to OUT\n";
