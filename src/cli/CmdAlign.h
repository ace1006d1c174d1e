#pragma once
// rp57cli align: the alignment steps that need nobody at a signal generator,
// for scripted factory stations.

#include <string>
#include <vector>

inline constexpr const char* kAlignUsage =
    "  align --port DEV [--baud N] [--interface-unit] basic\n"
    "        VCV search (RX, TX) and RX sensitivity sweep, each stored and written\n"
    "  align --port DEV [--baud N] [--interface-unit] recover --file FILE [--yes]\n"
    "        adjustment recovery with FILE as the saved data file; --yes answers\n"
    "        its questions with Yes (without it they are answered No)\n";

int CmdAlign(const std::vector<std::string>& args);
