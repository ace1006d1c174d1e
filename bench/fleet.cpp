// Fleet download throughput: rp57cli download --repeat programming radio after
// radio, each a simulated radio pacing its bytes at 9600 baud and switched on
// (started) as soon as the previous one is done, against one single download
// of the same file in the same run. Each radio's time runs from its switching
// on until it has left clone mode. Prints the mean time per fleet radio over
// the single download's time, as a ratio to the limit 1.05.
#include "HDataFile.h"
#include "HDefaultImage.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr double kLimit = 1.05;
constexpr int kFleetRadios = 3;

pid_t Spawn(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int Wait(pid_t pid) {
    int st = 0;
    return waitpid(pid, &st, 0) == pid && WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

// A radio switched on: the simulator, ending after one session.
pid_t SwitchOn(const std::string& home) {
    const std::string link = home + "/radio";
    const pid_t pid = Spawn(
        {RP57_RADIO_SIM, "--link", link, "--memory", home + "/radio.mem", "--pace", "--once"});
    for (int i = 0; i < 500 && !fs::is_symlink(link); ++i)
        std::this_thread::sleep_for(10ms);
    return pid;
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

} // namespace

int main() {
    char pattern[] = "/tmp/rp57-bench-fleet-XXXXXX";
    const std::string home = mkdtemp(pattern) ? pattern : "";
    if (home.empty())
        return 2;
    ::setenv("RP57_HOME", home.c_str(), 1);
    HMemoryImage radio = BuildDefaultImage();
    radio[2] = 5; // production code: mobile
    radio[0x1FE] = 0xA5;
    radio[0x1FF] = 0x5A;
    const std::string file = home + "/fleet.r57";
    if (!HDataFile::Write(file, BuildDefaultImage()).Ok() ||
        !HDataFile::Write(home + "/radio.mem", radio).Ok())
        return 2;
    const std::string link = home + "/radio";
    const std::vector<std::string> common = {"--port",     link,     file,
                                             "--password", "481736", "--no-backup"};

    // One single download.
    auto start = Clock::now();
    pid_t sim = SwitchOn(home);
    std::vector<std::string> single = {RP57CLI_PATH, "download"};
    single.insert(single.end(), common.begin(), common.end());
    if (Wait(Spawn(single)) != 0) {
        std::fprintf(stderr, "fleet: the single download failed\n");
        return 1;
    }
    Wait(sim);
    const double singleTime = Seconds(Clock::now() - start);

    // The fleet: each radio switched on once the previous one is done.
    std::vector<std::string> repeat = {RP57CLI_PATH, "download", "--repeat", "--journal",
                                       home + "/journal.csv"};
    repeat.insert(repeat.end(), common.begin(), common.end());
    const pid_t fleet = Spawn(repeat);
    double fleetTime = 0;
    for (int i = 0; i < kFleetRadios; ++i) {
        start = Clock::now();
        sim = SwitchOn(home);
        Wait(sim);
        fleetTime += Seconds(Clock::now() - start);
    }
    // Ctrl-C while it waits for the next radio.
    ::kill(fleet, SIGINT);
    const int fleetStatus = Wait(fleet);
    std::ifstream journal(home + "/journal.csv");
    int ok = 0;
    for (std::string line; std::getline(journal, line);)
        ok += line.find(",ok,") != std::string::npos;
    fs::remove_all(home);
    if (fleetStatus != 0 || ok != kFleetRadios) {
        std::fprintf(stderr, "fleet: %d of %d radios programmed (exit %d)\n", ok, kFleetRadios,
                     fleetStatus);
        return 1;
    }
    const double perRadio = fleetTime / kFleetRadios;
    std::printf("fleet download: %.2f s per radio (%d radios), single download %.2f s: "
                "ratio %.3f, %.3f of the limit %.2f\n",
                perRadio, kFleetRadios, singleTime, perRadio / singleTime,
                perRadio / singleTime / kLimit, kLimit);
    return 0;
}
