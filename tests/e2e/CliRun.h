#pragma once
// Runs a built tool as a child process, stdin from /dev/null (no terminal to
// ask on) unless given, and collects its exit status and output.
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

struct CliResult {
    int status = -1; // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Where a tool's standard output goes: a file the result collects, or a pipe
// whose reader has already gone (as after `| head -1`).
enum class ToolStdout { Collected, ClosedPipe };

class ToolProcess {
public:
    // `stdinPath`: a terminal to answer on, for instance; by default none.
    ToolProcess(const std::string& program, std::vector<std::string> args,
                const std::string& scratchDir, ToolStdout stdoutTo = ToolStdout::Collected,
                const std::string& stdinPath = "/dev/null")
        : m_out(scratchDir + "/.stdout"), m_err(scratchDir + "/.stderr") {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, stdinPath.c_str(), O_RDWR, 0);
        int pipeEnds[2] = {-1, -1};
        if (stdoutTo == ToolStdout::ClosedPipe && ::pipe2(pipeEnds, O_CLOEXEC) == 0) {
            ::close(pipeEnds[0]);
            posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        } else {
            posix_spawn_file_actions_addopen(&actions, 1, m_out.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
        }
        posix_spawn_file_actions_addopen(&actions, 2, m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        if (pipeEnds[1] >= 0)
            ::close(pipeEnds[1]);
    }
    void Signal(int signal) const { ::kill(m_pid, signal); }
    [[nodiscard]] pid_t Pid() const { return m_pid; }
    CliResult Wait() {
        int st = 0;
        const bool exited = m_pid > 0 && waitpid(m_pid, &st, 0) == m_pid;
        return Collect(exited, st);
    }
    // As Wait, but a tool still running after `limit` is killed (status -1): a
    // hang fails the test instead of stalling the suite.
    CliResult WaitAtMost(std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        int st = 0;
        while (m_pid > 0 && waitpid(m_pid, &st, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > end) {
                ::kill(m_pid, SIGKILL);
                waitpid(m_pid, &st, 0);
                return Collect(false, st);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return Collect(m_pid > 0, st);
    }
    // The result once the tool has ended; nothing while it runs.
    std::optional<CliResult> TryWait() {
        int st = 0;
        const pid_t w = m_pid > 0 ? waitpid(m_pid, &st, WNOHANG) : -1;
        if (w == 0)
            return std::nullopt;
        return Collect(w == m_pid, st);
    }
    // What the tool has written on stderr so far.
    [[nodiscard]] std::string ErrSoFar() const { return Slurp(m_err); }

private:
    CliResult Collect(bool exited, int st) const {
        CliResult r;
        if (exited && WIFEXITED(st))
            r.status = WEXITSTATUS(st);
        r.out = Slurp(m_out);
        r.err = Slurp(m_err);
        return r;
    }
    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string m_out;
    std::string m_err;
    pid_t m_pid = -1;
};

inline CliResult RunTool(const std::string& program, const std::vector<std::string>& args,
                         const std::string& scratchDir) {
    return ToolProcess(program, args, scratchDir).Wait();
}

// Cases whose tools mostly wait (on the radio's connect time, on real
// time-outs, on a paced line) run side by side, at most `lanes` at once and
// started in order: start(i) sets case i up and starts its tool, finish(i, r)
// checks what it left. Each case keeps its own RP57_HOME: a tool takes the
// environment it was started with.
inline void RunSideBySide(std::size_t cases, std::size_t lanes,
                          const std::function<std::unique_ptr<ToolProcess>(std::size_t)>& start,
                          const std::function<void(std::size_t, const CliResult&)>& finish) {
    std::vector<std::pair<std::size_t, std::unique_ptr<ToolProcess>>> running;
    std::size_t next = 0;
    while (next < cases || !running.empty()) {
        for (; next < cases && running.size() < lanes; ++next)
            running.emplace_back(next, start(next));
        for (auto it = running.begin(); it != running.end();) {
            const std::optional<CliResult> r = it->second ? it->second->TryWait() : CliResult{};
            if (r) {
                finish(it->first, *r);
                it = running.erase(it);
            } else {
                ++it;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

#ifdef RP57CLI_PATH
// rp57cli with its scratch files in `dir` (a TempDir or a TempHome).
template <class Dir> CliResult Cli(const std::vector<std::string>& args, const Dir& dir) {
    if constexpr (requires { dir.Dir(); })
        return RunTool(RP57CLI_PATH, args, dir.Dir());
    else
        return RunTool(RP57CLI_PATH, args, dir.Path());
}
#endif

inline bool Has(const std::string& text, const std::string& what) {
    return text.find(what) != std::string::npos;
}

// How often `what` occurs in `text`.
inline std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}
