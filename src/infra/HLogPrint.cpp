#include "HLogPrint.h"

#include "HIniFile.h"
#include "HProgramDir.h"
#include "HVersionInfo.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <mutex>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Workers write while the main thread starts and ends the log: the levels are
// read without the lock (a dropped line must cost nothing), everything else
// under it, and the state is never destroyed before a late writer is done.
struct LogState {
    std::mutex mutex;
    std::array<std::string, HLogPrint::kCategories> paths;
    std::array<std::atomic<int>, HLogPrint::kCategories> levels{};
    std::atomic<bool> on{false};
};

LogState& State() {
    static LogState* state = new LogState; // outlives static destruction on purpose
    return *state;
}

constexpr const char* kTags[] = {"[ER]", "[WR]", "[D1]", "[D2]", "[D3]", "[D4]"};

std::string LocalTimeText() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t secs = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm tm{};
    localtime_r(&secs, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d.%03d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, int(ms));
    return buf;
}

} // namespace

bool HLogPrint::Begin() {
    return Begin(HProgramDir::DataDir());
}

bool HLogPrint::Begin(const std::string& programDir) {
    const std::string dir = HProgramDir::WithSlash(programDir);
    HIniFile ini(dir + "INI_LOG.ini");
    const std::string defName = ini.GetString("LOG_INFO", "DEF_LOG_NAME", "").substr(0, 512);
    if (defName.empty())
        return false;
    LogState& s = State();
    const std::string defPath = dir + defName;
    {
        std::lock_guard guard(s.mutex);
        for (int n = 0; n < kCategories; ++n) {
            s.levels[n].store(ini.GetInt("LOG_INFO", "LOG_LEVEL" + std::to_string(n), 0));
            const std::string key = "LOG_NAME" + std::to_string(n);
            s.paths[n] = ini.HasKey("LOG_INFO", key)
                             ? dir + ini.GetString("LOG_INFO", key, "").substr(0, 512)
                             : defPath;
        }
        s.on.store(true);
    }
    HVersionInfo version;
    version.Read(HProgramDir::ExecutablePath());
    Print(3, 0, __FILE__, __LINE__,
          "**************The log output begins.[Ver.%s][Inner Ver.%s] *****************",
          HVersionInfo::VersionText(), version.GetFileVersion().c_str());
    return true;
}

void HLogPrint::End() {
    LogState& s = State();
    if (!s.on.load())
        return;
    Print(3, 0, __FILE__, __LINE__, "%s", "**************The log output ended.*****************");
    // Off again: later writes are no-ops, as before Begin.
    std::lock_guard guard(s.mutex);
    for (auto& level : s.levels)
        level.store(0);
    for (auto& p : s.paths)
        p.clear();
    s.on.store(false);
}

bool HLogPrint::IsOn() {
    return State().on.load();
}

std::string HLogPrint::Format(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n <= 0)
        return {};
    std::string out(std::size_t(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(std::size_t(n));
    return out;
}

void HLogPrint::Print(int level, int category, const char* file, int line, const char* format,
                      ...) {
    va_list args;
    va_start(args, format);
    PrintV(level, category, file, line, format, args);
    va_end(args);
}

void HLogPrint::PrintV(int level, int category, const char* file, int line, const char* format,
                       va_list args) {
    if (category < 0 || category >= kCategories || State().levels[category] <= 0)
        return; // don't pay for formatting when the line is dropped anyway
    Write(level, category, file, line, Format(format, args));
}

void HLogPrint::Write(int level, int category, const char* file, int line,
                      const std::string& text) {
    LogState& s = State();
    if (category < 0 || category >= kCategories)
        return;
    const int wanted = s.levels[category].load();
    if (wanted <= 0 || level > wanted || level < 1 || level > 6)
        return;
    const std::string location =
        "(File:[" + std::string(file ? file : "") + "] Line:[" + std::to_string(line) + "])";
    const std::string composed =
        LocalTimeText() + " " + kTags[level - 1] + " " + text + " " + location + "\n";
    std::lock_guard guard(s.mutex);
    if (!s.on.load() || s.paths[category].empty())
        return;
    // Only a regular file takes lines: a FIFO without a reader or a device
    // named as the log must not stall the program.
    const int fd = ::open(s.paths[category].c_str(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd < 0)
        return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        std::size_t done = 0;
        while (done < composed.size()) {
            const ssize_t n = ::write(fd, composed.data() + done, composed.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += std::size_t(n);
        }
    }
    ::close(fd);
}
