#pragma once
// Shared by the window benchmarks: a program data directory of their own, and
// the median of a set of timings.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

namespace bench {

// A fresh RP57_HOME under the system's temporary directory, so a benchmark
// never reads or changes the user's settings. Removed by the caller's exit.
inline std::string MakeHome() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/rp57-bench-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        return {};
    return buffer.data();
}

// The settings of a radio with a display, which holds 128 channels (one
// without holds 8): the grid the benchmarks measure is the full one.
inline bool WriteLcdSettings(const std::string& home) {
    FILE* f = std::fopen((home + "/RP57Win.ini").c_str(), "w");
    if (!f)
        return false;
    const bool ok = std::fputs("[End Status]\nProductType=0\nFreq.Band=0\nLCDType=1\n", f) >= 0;
    return std::fclose(f) == 0 && ok;
}

inline double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

} // namespace bench
