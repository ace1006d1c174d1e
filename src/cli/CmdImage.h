#pragma once
// rp57cli info / new: look into a data file, make a new one for a radio model.
#include <string>
#include <vector>

// Exit status: 0 done, 1 writing failed, 2 bad input (nothing written).
int CmdInfo(const std::vector<std::string>& args);
int CmdNew(const std::vector<std::string>& args);

inline constexpr const char* kInfoUsage =
    "  info FILE [--json]        show model, serial number, firmware, channels per\n"
    "                            group, signalling type and adjustment checksums\n";
inline constexpr const char* kNewUsage =
    "  new -o FILE [--band NAME] [--product mobile|handheld] [--lcd N] [--force]\n"
    "                            write a new data file for a radio model (band VHF,\n"
    "                            UHF-A, UHF-D, LOW-A, LOW-B; default VHF mobile, LCD 1)\n";
