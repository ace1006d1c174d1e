#pragma once
// Shared by the window benchmarks: a program data directory of their own, and
// the median of a set of timings.
#include <algorithm>
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

inline double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

} // namespace bench
