#pragma once
// Helpers of the link and end-to-end tests: a temporary program data directory,
// a raw pseudo-terminal whose master side the test drives, and the simulated
// radio as a child process with its memory file and frame log.
#include "HLogPrint.h"
#include "HMemoryImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace linktest {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline HMemoryImage ReadImage(const std::string& path) {
    HMemoryImage m{};
    std::ifstream(path, std::ios::binary)
        .read(reinterpret_cast<char*>(m.data()), std::streamsize(m.size()));
    return m;
}

// EEPROM word `word` of an image, high byte first.
inline std::uint16_t Word(const HMemoryImage& m, int word) {
    return std::uint16_t(m[std::size_t(word) * 2] << 8 | m[std::size_t(word) * 2 + 1]);
}

inline std::vector<std::uint8_t> Bytes(std::initializer_list<int> list) {
    return {list.begin(), list.end()};
}

// The texts that `log` lacks, one per line; empty when it holds them all.
inline std::string Missing(const std::string& log, std::initializer_list<const char*> texts) {
    std::string out;
    for (const char* text : texts)
        if (log.find(text) == std::string::npos)
            out += std::string(text) + "\n";
    return out;
}

// A fresh RP57_HOME for one test; logging to "link.log" at the given level.
class TempHome {
public:
    explicit TempHome(int logLevel = 0) {
        char tmpl[] = "/tmp/rp57-link-XXXXXX";
        m_dir = ::mkdtemp(tmpl);
        ::setenv("RP57_HOME", m_dir.c_str(), 1);
        if (logLevel > 0) {
            std::ofstream(m_dir + "/INI_LOG.ini")
                << "[LOG_INFO]\nDEF_LOG_NAME=link.log\nLOG_LEVEL0=" << logLevel << "\n";
            HLogPrint::Begin(m_dir);
        }
    }
    ~TempHome() {
        HLogPrint::End();
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    [[nodiscard]] const std::string& Dir() const { return m_dir; }
    [[nodiscard]] std::string Path(const std::string& name) const { return m_dir + "/" + name; }
    [[nodiscard]] std::string LogText() const { return ReadText(Path("link.log")); }

private:
    std::string m_dir;
};

// A raw pseudo-terminal. The code under test opens SlavePath(); the test plays
// the radio on the master side.
class PtyPair {
public:
    PtyPair() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(m_master);
        ::unlockpt(m_master);
        m_slaveName = ::ptsname(m_master);
        // Hold the slave open and raw, as the simulator does.
        m_keep = ::open(m_slaveName.c_str(), O_RDWR | O_NOCTTY);
        termios tio{};
        ::tcgetattr(m_keep, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_keep, TCSANOW, &tio);
    }
    ~PtyPair() { ::close(m_keep), ::close(m_master); }
    [[nodiscard]] const std::string& SlavePath() const { return m_slaveName; }

    void Send(const std::vector<std::uint8_t>& bytes) const {
        ASSERT_EQ(::write(m_master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // Up to n bytes, waiting at most `wait` for each.
    std::vector<std::uint8_t> Receive(std::size_t n,
                                      std::chrono::milliseconds wait = 2000ms) const {
        std::vector<std::uint8_t> out;
        while (out.size() < n) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, int(wait.count())) <= 0)
                break;
            std::uint8_t buf[512];
            const ssize_t got = ::read(m_master, buf, std::min(sizeof buf, n - out.size()));
            if (got <= 0)
                break;
            out.insert(out.end(), buf, buf + got);
        }
        return out;
    }

private:
    int m_master = -1;
    int m_keep = -1;
    std::string m_slaveName;
};

// Waits (without a time limit that decides the outcome) for a condition,
// giving up after `limit` so a broken build cannot hang the suite.
template <class F> bool WaitFor(F condition, std::chrono::milliseconds limit = 10000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

#ifdef RP57_RADIO_SIM
// The simulated radio as a child process, ended with SIGTERM when the test is
// over: link "radio<tag>", memory "radio<tag>.mem" (written from `memory` when
// given, else the simulator's built-in memory), frame log "radio<tag>.log".
class SimRadio {
public:
    SimRadio(const TempHome& home, std::vector<std::string> extra = {},
             const HMemoryImage* memory = nullptr, const std::string& tag = "")
        : m_base(home.Path("radio" + tag)) {
        if (memory)
            std::ofstream(MemoryPath(), std::ios::binary)
                .write(reinterpret_cast<const char*>(memory->data()), std::streamsize(kImageSize));
        std::vector<std::string> args = {RP57_RADIO_SIM, "--link", m_base,   "--memory",
                                         MemoryPath(),   "--log",  LogPath()};
        args.insert(args.end(), extra.begin(), extra.end());
        m_pid = ::fork();
        if (m_pid == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM); // never outlive a crashed test
            std::vector<char*> argv;
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        // A sanitizer build on a busy machine can take seconds to start.
        WaitFor([&] { return Started() || Exited(); }, 60000ms);
    }
    ~SimRadio() { Stop(); }

    [[nodiscard]] bool Started() const { return fs::is_symlink(m_base); }
    [[nodiscard]] const std::string& Link() const { return m_base; }
    [[nodiscard]] std::string MemoryPath() const { return m_base + ".mem"; }
    [[nodiscard]] std::string LogPath() const { return m_base + ".log"; }
    [[nodiscard]] pid_t Pid() const { return m_pid; }
    bool Exited() {
        int st = 0;
        if (m_status < 0 && ::waitpid(m_pid, &st, WNOHANG) == m_pid)
            m_status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        return m_status >= 0;
    }
    // Exit status once the process has ended; -1 while it runs.
    int WaitExit() {
        WaitFor([&] { return Exited(); });
        return m_status;
    }
    void Stop() {
        if (m_pid <= 0 || Exited())
            return;
        ::kill(m_pid, SIGTERM);
        if (WaitExit() < 0 && ::kill(m_pid, SIGKILL) == 0)
            WaitExit();
    }
    // Stops the radio (it saves what was written) and gives its memory.
    HMemoryImage StopAndRead() {
        Stop();
        return ReadImage(MemoryPath());
    }
    // The frames the PC sent, in order, as hex text ("F1 04 FF ...").
    [[nodiscard]] std::vector<std::string> Frames() const {
        std::vector<std::string> out;
        std::istringstream in(ReadText(LogPath()));
        for (std::string line; std::getline(in, line);)
            if (const auto at = line.find("PC>RADIO "); at != std::string::npos)
                out.push_back(line.substr(at + 9));
        return out;
    }
    // Empty when the PC's last frame was the reset and the radio ended its
    // session on it (out of clone or alignment mode, waiting for Power On);
    // else what the frame log shows instead. Bytes the radio ignored while
    // waiting for Power On (a second reset after a failed handshake) do not count.
    [[nodiscard]] std::string NotEndedByReset() const {
        std::vector<std::string> frames = Frames();
        std::erase_if(frames, [](const std::string& f) {
            return f.find("(ignored while waiting for Power On)") != std::string::npos;
        });
        if (frames.empty() || frames.back() != "38 01 39")
            return "last frame: " + (frames.empty() ? std::string("none") : frames.back());
        const std::string log = ReadText(LogPath());
        if (log.find("reset: session ended", log.rfind("PC>RADIO 38 01 39")) != std::string::npos)
            return {};
        return "no session end after the reset: " +
               log.substr(log.size() > 400 ? log.size() - 400 : 0);
    }
    // Block numbers of the requests with this command byte ("F0", "F1", ...).
    [[nodiscard]] std::vector<int> Blocks(const std::string& command) const {
        std::vector<int> out;
        for (const std::string& f : Frames())
            if (f.starts_with(command + " "))
                out.push_back(std::stoi(f.substr(6, 2), nullptr, 16));
        return out;
    }

private:
    std::string m_base;
    pid_t m_pid = -1;
    int m_status = -1;
};
#endif

} // namespace linktest
