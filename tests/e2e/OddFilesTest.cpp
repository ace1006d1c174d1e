// The program and the CLI against settings, log and data files that are not
// what they seem (pipes, devices, links, text that is not plain), against two
// starts at the same moment, and against a disk that fills up during a save.
#include "CliRun.h"
#include "TempDir.h"

#include "HDataFile.h"
#include "HDefaultImage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Readiness waits end here; they prove nothing about speed.
constexpr auto kPatience = std::chrono::seconds(60);

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& extra) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        bool replaced = false;
        for (const std::string& x : extra)
            replaced = replaced || entry.compare(0, x.find('=') + 1, x, 0, x.find('=') + 1) == 0;
        if (!replaced)
            env.push_back(entry);
    }
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

// The program started offscreen in `home`; killed with the object if still up.
class Program {
public:
    explicit Program(const std::string& home) {
        std::vector<std::string> env =
            EnvironmentWith({"RP57_HOME=" + home, "QT_QPA_PLATFORM=offscreen"});
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string program = RP57_APP_PATH;
        char* argv[] = {program.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        for (int fd : {0, 1, 2})
            posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd ? O_WRONLY : O_RDONLY,
                                             0);
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv, envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Program() {
        if (Running()) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Running() {
        if (m_pid <= 0 || m_exited)
            return false;
        int st = 0;
        if (::waitpid(m_pid, &st, WNOHANG) == m_pid) {
            m_exited = true;
            m_status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        }
        return !m_exited;
    }
    [[nodiscard]] int ExitStatus() const { return m_status; }

private:
    pid_t m_pid = -1;
    bool m_exited = false;
    int m_status = -1;
};

bool WaitFor(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + kPatience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The start-up image is made after the settings are read: its default file
// shows that start-up came through them.
bool StartedUp(Program& program, const TempDir& home) {
    return WaitFor([&] { return home.Exists("defaultV.r57") || !program.Running(); }) &&
           program.Running();
}

std::string Kind(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return "missing";
    return S_ISFIFO(st.st_mode) ? "fifo" : S_ISLNK(st.st_mode) ? "link" : "file";
}

std::string Bytes(const HMemoryImage& img) {
    return std::string(img.begin(), img.end());
}

} // namespace

TEST(OddFiles, SettingsAndLogThatAreNoPlainTextFilesNeitherStallNorGetRewritten) {
    // Each kind of odd file is the settings and log readers' tests, a settings
    // file read in part StartupTest's; here one of each file through the
    // program's start and end: a FIFO nobody writes, a link to /dev/zero.
    for (const bool settings : {true, false}) {
        SCOPED_TRACE(settings ? "settings" : "log");
        TempDir home;
        const std::string path = home.File(settings ? "RP57Win.ini" : "INI_LOG.ini");
        if (settings)
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        else
            fs::create_symlink("/dev/zero", path);
        const std::string kindBefore = Kind(path);
        {
            Program program(home.Path());
            EXPECT_TRUE(StartedUp(program, home));
        }
        EXPECT_EQ(Kind(path), kindBefore);
    }
}

TEST(OddFiles, OfTwoStartsAtOnceExactlyOneStaysUp) {
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        TempDir home;
        Program first(home.Path());
        Program second(home.Path());
        // The loser hands over to the winner and ends; the winner stays.
        ASSERT_TRUE(WaitFor([&] { return !first.Running() || !second.Running(); }));
        Program& winner = first.Running() ? first : second;
        Program& loser = first.Running() ? second : first;
        EXPECT_EQ(loser.ExitStatus(), 0);
        EXPECT_TRUE(StartedUp(winner, home));
    }
}

TEST(OddFiles, CliSaveReachesTheRealFileAndAFailedSaveLosesNothing) {
    // Links, devices and stray files are the file writer's tests; here that
    // rp57cli saves through it and says why a save failed.
    TempDir dir;
    const HMemoryImage old = BuildDefaultImage();
    ASSERT_TRUE(HDataFile::Write(dir.File("real.R57"), old).Ok());
    fs::create_symlink("real.R57", dir.File("link.R57"));
    const std::string cli = RP57CLI_PATH;

    // A disk that takes no more than 2 KiB: the save fails, nothing is lost.
    CliResult r = RunTool("/bin/sh",
                          {"-c",
                           "trap '' XFSZ; ulimit -f 4; exec \"$0\" new --force -o \"$1\" "
                           "--band UHF-D --product handheld --lcd 0",
                           cli, dir.File("link.R57")},
                          dir.Path());
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("File too large"), std::string::npos) << r.err;
    EXPECT_EQ(Kind(dir.File("link.R57")), "link");
    EXPECT_EQ(dir.Read("real.R57"), Bytes(old));

    // With room, the save goes through the link into the file.
    r = RunTool(cli,
                {"new", "--force", "-o", dir.File("link.R57"), "--band", "UHF-D", "--product",
                 "handheld", "--lcd", "0"},
                dir.Path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Kind(dir.File("link.R57")), "link");
    EXPECT_EQ(dir.Read("real.R57"), Bytes(MakeImageForModel(kBandUhfD, kProductHandheld, 0)));
}
