#pragma once
// Shared by the transfer benchmarks: the simulated radio pacing its bytes at
// the line rate, and the answers a transfer asks for.
#include "HPrompt.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>

namespace bench {

// Answers the factory password and No to every question.
class PasswordAnswers : public HPrompt {
public:
    void ShowMessage(const std::string&, HMessageIcon) override {}
    std::optional<std::string> AskPassword(int) override { return std::string("481736"); }
    bool AskYesNo(const std::string&, HMessageIcon) override { return false; }
};

// The simulated radio in `dir` (link "radio", memory "radio.mem", frame log
// "radio.log" when `log`), pacing its bytes; ended with the benchmark.
inline pid_t StartPacedRadio(const std::string& dir, bool log) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        const std::string mem = dir + "/radio.mem";
        const std::string link = dir + "/radio";
        const std::string logFile = dir + "/radio.log";
        if (log)
            ::execl(RP57_RADIO_SIM, RP57_RADIO_SIM, "--memory", mem.c_str(), "--link", link.c_str(),
                    "--log", logFile.c_str(), "--pace", static_cast<char*>(nullptr));
        else
            ::execl(RP57_RADIO_SIM, RP57_RADIO_SIM, "--memory", mem.c_str(), "--link", link.c_str(),
                    "--pace", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int i = 0; i < 500 && !std::filesystem::is_symlink(dir + "/radio"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return pid;
}

} // namespace bench
