#include "HLogPrint.h"

#include "HIniFile.h"
#include "HProgramDir.h"
#include "HVersionInfo.h"

#include <array>
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

struct LogState {
    std::array<std::string, HLogPrint::kCategories> paths;
    std::array<int, HLogPrint::kCategories> levels{};
    std::unique_ptr<std::mutex> fileLock;
};

LogState& State() {
    static LogState state;
    return state;
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
    for (int n = 0; n < kCategories; ++n) {
        s.levels[n] = ini.GetInt("LOG_INFO", "LOG_LEVEL" + std::to_string(n), 0);
        const std::string key = "LOG_NAME" + std::to_string(n);
        s.paths[n] = ini.HasKey("LOG_INFO", key)
                         ? dir + ini.GetString("LOG_INFO", key, "").substr(0, 512)
                         : defPath;
    }
    s.fileLock = std::make_unique<std::mutex>();
    HVersionInfo version;
    version.Read(HProgramDir::ExecutablePath());
    Print(3, 0, __FILE__, __LINE__,
          "**************The log output begins.[Ver.%s][Inner Ver.%s] *****************",
          HVersionInfo::VersionText(), version.GetFileVersion().c_str());
    return true;
}

void HLogPrint::End() {
    LogState& s = State();
    if (!s.fileLock)
        return;
    Print(3, 0, __FILE__, __LINE__, "%s", "**************The log output ended.*****************");
    // Off again: later writes are no-ops, as before Begin.
    s.levels.fill(0);
    for (auto& p : s.paths)
        p.clear();
    s.fileLock.reset();
}

bool HLogPrint::IsOn() {
    return State().fileLock != nullptr;
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
    if (s.levels[category] <= 0 || s.paths[category].empty())
        return;
    if (level > s.levels[category] || level < 1 || level > 6)
        return;
    const std::string location =
        "(File:[" + std::string(file ? file : "") + "] Line:[" + std::to_string(line) + "])";
    const std::string composed =
        LocalTimeText() + " " + kTags[level - 1] + " " + text + " " + location + "\n";
    std::mutex* lock = s.fileLock.get();
    if (!lock)
        return;
    std::lock_guard guard(*lock);
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
