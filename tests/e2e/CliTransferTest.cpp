// rp57cli upload and download against the simulated radio over a real
// pseudo-terminal: round trips, the blocks each access level moves, the
// password rules, every row of the controller's failure table, Ctrl-C.
#include "HAlignmentData.h"
#include "HTransferSteps.h"
#include "link/LinkTestUtil.h"

#include <gtest/gtest.h>

#include <set>
#include <spawn.h>

#if defined(RP57_RADIO_SIM) && defined(RP57CLI_PATH)

extern char** environ;

namespace {

using namespace linktest;

constexpr const char* kPassword = "481736";

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// rp57cli as a child with stdin from /dev/null (no terminal to ask on).
class Cli {
public:
    Cli(const TempHome& home, const std::vector<std::string>& args) : m_home(home) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, OutPath().c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, ErrPath().c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<std::string> all = {RP57CLI_PATH};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, RP57CLI_PATH, &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    void Interrupt() const { ::kill(m_pid, SIGINT); }
    CliRun Wait() {
        CliRun r;
        int st = 0;
        if (m_pid > 0 && ::waitpid(m_pid, &st, 0) == m_pid && WIFEXITED(st))
            r.status = WEXITSTATUS(st);
        r.out = TempHome::ReadText(OutPath());
        r.err = TempHome::ReadText(ErrPath());
        return r;
    }

private:
    [[nodiscard]] std::string OutPath() const { return m_home.Path(".out"); }
    [[nodiscard]] std::string ErrPath() const { return m_home.Path(".err"); }
    const TempHome& m_home;
    pid_t m_pid = -1;
};

CliRun RunCli(const TempHome& home, const std::vector<std::string>& args) {
    return Cli(home, args).Wait();
}

bool HasLine(const std::string& text, const std::string& line) {
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        if (l == line)
            return true;
    return false;
}

HMemoryImage ReadImage(const std::string& path) {
    HMemoryImage m{};
    std::ifstream(path, std::ios::binary)
        .read(reinterpret_cast<char*>(m.data()), std::streamsize(m.size()));
    return m;
}

void WriteImage(const std::string& path, const HMemoryImage& m) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(m.data()), std::streamsize(m.size()));
}

std::uint16_t Word(const HMemoryImage& m, int word) {
    return std::uint16_t(m[std::size_t(word) * 2] << 8 | m[std::size_t(word) * 2 + 1]);
}

// A radio on its own pseudo-terminal, with its memory file and frame log.
class Radio {
public:
    Radio(const TempHome& home, std::vector<std::string> extra = {}, const std::string& tag = "")
        : m_home(home), m_tag(tag) {
        std::vector<std::string> args = {"--memory", MemoryPath(), "--log", LogPath()};
        args.insert(args.end(), extra.begin(), extra.end());
        m_sim = std::make_unique<SimProcess>(Link(), args);
    }
    [[nodiscard]] bool Started() const { return m_sim->Started(); }
    [[nodiscard]] std::string Link() const { return m_home.Path("radio" + m_tag); }
    [[nodiscard]] std::string MemoryPath() const { return m_home.Path("radio" + m_tag + ".mem"); }
    [[nodiscard]] std::string LogPath() const { return m_home.Path("radio" + m_tag + ".log"); }
    HMemoryImage StopAndRead() {
        m_sim->Stop();
        return ReadImage(MemoryPath());
    }
    void Stop() { m_sim->Stop(); }
    // The frames the PC sent, in order, as hex text.
    [[nodiscard]] std::vector<std::string> Frames() const {
        std::vector<std::string> out;
        std::istringstream in(TempHome::ReadText(LogPath()));
        for (std::string line; std::getline(in, line);) {
            const auto at = line.find("PC>RADIO ");
            if (at != std::string::npos)
                out.push_back(line.substr(at + 9));
        }
        return out;
    }
    // Block numbers of the requests with this command byte ("F0", "F1", ...).
    [[nodiscard]] std::vector<int> Blocks(const std::string& command) const {
        std::vector<int> out;
        for (const std::string& f : Frames())
            if (f.compare(0, 3, command + " ") == 0 && f.size() >= 8)
                out.push_back(std::stoi(f.substr(6, 2), nullptr, 16));
        return out;
    }

private:
    const TempHome& m_home;
    std::string m_tag;
    std::unique_ptr<SimProcess> m_sim;
};

std::set<int> Span(std::initializer_list<std::pair<int, int>> ranges) {
    std::set<int> s;
    for (auto [a, b] : ranges)
        for (int i = a; i <= b; ++i)
            s.insert(i);
    return s;
}

std::set<int> AsSet(const std::vector<int>& v) {
    return {v.begin(), v.end()};
}

// Puts the radio into the state the program leaves it in: a download of a new
// image.
void PrepareRadio(const TempHome& home, const Radio& radio) {
    ASSERT_EQ(RunCli(home, {"new", "-o", home.Path("new.r57")}).status, 0);
    const CliRun d = RunCli(
        home, {"download", "--port", radio.Link(), home.Path("new.r57"), "--password", kPassword});
    ASSERT_EQ(d.status, 0) << d.out << d.err;
}

TEST(CliTransfer, UploadDownloadUploadGivesTheSameBytes) {
    TempHome home;
    Radio radio(home);
    ASSERT_TRUE(radio.Started());
    PrepareRadio(home, radio);

    const std::string a = home.Path("a.r57");
    const std::string b = home.Path("b.r57");
    const CliRun up =
        RunCli(home, {"upload", "--port", radio.Link(), "-o", a, "--password", kPassword});
    ASSERT_EQ(up.status, 0) << up.err;
    EXPECT_TRUE(HasLine(up.out, "Upload Complete!"));
    EXPECT_TRUE(HasLine(up.err, "Now uploading"));
    const CliRun down = RunCli(home, {"download", "--port", radio.Link(), a});
    ASSERT_EQ(down.status, 0) << down.err;
    EXPECT_TRUE(HasLine(down.out, "Download Complete!"));
    EXPECT_TRUE(HasLine(down.err, "Now downloading"));
    ASSERT_EQ(
        RunCli(home, {"upload", "--port", radio.Link(), "-o", b, "--password", kPassword}).status,
        0);
    EXPECT_EQ(TempHome::ReadText(a), TempHome::ReadText(b));
    EXPECT_EQ(TempHome::ReadText(a).size(), kImageSize);

    // The end mark of each download: FF FF first, A5 5A last.
    std::vector<std::string> writes;
    for (const std::string& f : radio.Frames())
        if (f.compare(0, 2, "F1") == 0 || f.compare(0, 2, "F3") == 0)
            writes.push_back(f);
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes.front().substr(0, 14), "F1 04 FF FF FF");
    EXPECT_EQ(writes.back().substr(0, 14), "F1 04 FF A5 5A");
    std::size_t marks = 0;
    for (const std::string& w : writes)
        marks += w.compare(0, 8, "F1 04 FF") == 0;
    EXPECT_EQ(marks, 4u); // two downloads, two marks each

    // The file is the program's image after an Upload: everything read, then
    // the corrections that follow every Upload.
    const std::string c = home.Path("c.r57");
    ASSERT_EQ(RunCli(home, {"upload", "--port", radio.Link(), "-o", c, "--level", "2", "--password",
                            kPassword})
                  .status,
              0);
    HMemoryImage expected = radio.StopAndRead();
    EXPECT_EQ(Word(expected, 0xFF), 0xA55A);
    std::fill(expected.begin() + HImageMap::kFlashEnd, expected.end(), 0); // not blocks
    HTransferSteps::CorrectAfterUpload(expected);
    EXPECT_EQ(ReadImage(c), expected);
}

TEST(CliTransfer, AccessLevelsMoveExactlyTheirRanges) {
    TempHome home;
    const std::string file = home.Path("image.r57");
    {
        Radio radio(home, {}, "0");
        ASSERT_TRUE(radio.Started());
        const CliRun r = RunCli(home, {"upload", "--port", radio.Link(), "-o", file, "--level", "0",
                                       "--password", kPassword});
        ASSERT_EQ(r.status, 0) << r.err;
        radio.Stop();
        // Word 1 is the model check; page 1 the password check.
        EXPECT_EQ(AsSet(radio.Blocks("F0")), Span({{0x00, 0x1C},
                                                   {0x29, 0x2C},
                                                   {0x39, 0x3C},
                                                   {0x49, 0x4A},
                                                   {0x4C, 0x4E},
                                                   {0x50, 0x57},
                                                   {0x70, 0x70},
                                                   {0xFA, 0xFE}}));
        // The built-in image holds 128 channels: pages 08 to 08 + 128 / 3 = 0x32.
        EXPECT_EQ(AsSet(radio.Blocks("F2")), Span({{0x00, 0x5E}}));
        EXPECT_EQ(radio.Blocks("F2").size(), 1u + 0x5F);
        EXPECT_TRUE(radio.Blocks("F1").empty());
        EXPECT_TRUE(radio.Blocks("F3").empty());
    }
    {
        Radio radio(home, {}, "1");
        ASSERT_TRUE(radio.Started());
        ASSERT_EQ(RunCli(home, {"upload", "--port", radio.Link(), "-o", home.Path("l1.r57"),
                                "--level", "1"})
                      .status,
                  0);
        radio.Stop();
        EXPECT_EQ(radio.Blocks("F2").size(), 0x5Fu); // no password page at level 1
    }
    {
        Radio radio(home, {}, "2");
        ASSERT_TRUE(radio.Started());
        ASSERT_EQ(RunCli(home, {"upload", "--port", radio.Link(), "-o", home.Path("l2.r57"),
                                "--level", "2", "--password", kPassword})
                      .status,
                  0);
        radio.Stop();
        EXPECT_EQ(AsSet(radio.Blocks("F0")), Span({{0x00, 0xFF}}));
        EXPECT_EQ(radio.Blocks("F0").size(), 1u + 0x100);
        EXPECT_EQ(AsSet(radio.Blocks("F2")), Span({{0x00, 0x5E}}));
    }
    const std::set<int> dealerWords = Span({{0x11, 0x1C},
                                            {0x29, 0x2C},
                                            {0x39, 0x3C},
                                            {0x49, 0x4A},
                                            {0x4C, 0x4E},
                                            {0x50, 0x57},
                                            {0x70, 0xD8},
                                            {0xEA, 0xEA},
                                            {0xFF, 0xFF}});
    for (int level : {0, 1, 2}) {
        Radio radio(home, {}, "d" + std::to_string(level));
        ASSERT_TRUE(radio.Started());
        const CliRun r = RunCli(home, {"download", "--port", radio.Link(), file, "--level",
                                       std::to_string(level), "--password", kPassword});
        ASSERT_EQ(r.status, 0) << level << r.err;
        radio.Stop();
        if (level == 2) {
            EXPECT_EQ(AsSet(radio.Blocks("F1")), Span({{0x00, 0xFF}}));
            EXPECT_EQ(AsSet(radio.Blocks("F3")), Span({{0x00, 0x5E}}));
            EXPECT_EQ(radio.Blocks("F0"), std::vector<int>{1});
            continue;
        }
        EXPECT_EQ(AsSet(radio.Blocks("F0")), Span({{0x00, 0x11}})) << level;
        // Page 1 is the password check, which level 1 skips.
        EXPECT_EQ(AsSet(radio.Blocks("F2")), level == 0 ? Span({{0x00, 0x01}, {0x5C, 0x5E}})
                                                        : Span({{0x00, 0x00}, {0x5C, 0x5E}}))
            << level;
        EXPECT_EQ(AsSet(radio.Blocks("F1")), dealerWords) << level;
        std::set<int> pages = Span({{0x01, 0x04}, {0x08, 0x32}, {0x35, 0x56}});
        if (level == 1)
            pages.insert(0x00);
        EXPECT_EQ(AsSet(radio.Blocks("F3")), pages) << level;
    }
}

TEST(CliTransfer, PasswordRules) {
    TempHome home;
    Radio radio(home);
    ASSERT_TRUE(radio.Started());
    const std::string out = home.Path("out.r57");

    // No --password and no terminal: refused as cancelled.
    const CliRun none = RunCli(home, {"upload", "--port", radio.Link(), "-o", out});
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("--password"), std::string::npos);
    EXPECT_TRUE(HasLine(none.err, "Transfer cancelled."));
    EXPECT_FALSE(fs::exists(out));

    // A wrong one fails three times.
    const CliRun wrong =
        RunCli(home, {"upload", "--port", radio.Link(), "-o", out, "--password", "123456"});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_TRUE(HasLine(wrong.err, "Password mismatched! "));
    EXPECT_FALSE(fs::exists(out));

    // The right one, in any case.
    const CliRun right =
        RunCli(home, {"upload", "--port", radio.Link(), "-o", out, "--password", kPassword});
    EXPECT_EQ(right.status, 0) << right.err;
    EXPECT_TRUE(fs::exists(out));
}

struct FaultCase {
    std::vector<std::string> simArgs;
    std::string message;
    std::vector<std::string> cliArgs;
};

TEST(CliTransfer, EveryFailureEndsWithItsMessageAndNoFile) {
    const std::vector<FaultCase> cases = {
        {{"--production-code", "7"}, "Communication Error!", {}},
        {{"--custom-code", "1"}, "Communication Error!", {}},
        {{"--fault", "no-echo"}, "Communication Error!", {}},
        {{"--fault", "drop-byte:40"}, "Communication Error!", {}},
        {{"--fault", "bad-checksum:1:0x10"}, "Communication Error!", {}},
        {{"--fault", "bad-checksum:0:0x05"}, "Communication Error!", {}},
        {{"--fault", "wrong-first:0:0x05"}, "Communication Error!", {}},
        {{"--fault", "wrong-first:1:0x40"}, "Communication Error!", {}},
        {{"--fault", "vanish-after:30"}, "Communication Error!", {"--level", "2"}},
    };
    for (const FaultCase& c : cases) {
        TempHome home;
        Radio radio(home, c.simArgs);
        ASSERT_TRUE(radio.Started());
        const std::string out = home.Path("out.r57");
        std::vector<std::string> args = {"upload", "--port",     radio.Link(), "-o",
                                         out,      "--password", kPassword};
        args.insert(args.end(), c.cliArgs.begin(), c.cliArgs.end());
        const CliRun r = RunCli(home, args);
        EXPECT_EQ(r.status, 1) << c.simArgs.back();
        EXPECT_TRUE(HasLine(r.err, c.message)) << c.simArgs.back() << "\n" << r.err;
        EXPECT_FALSE(HasLine(r.out, "Upload Complete!")) << c.simArgs.back();
        EXPECT_FALSE(fs::exists(out)) << c.simArgs.back();
    }

    // A port that does not exist.
    TempHome home;
    const std::string out = home.Path("out.r57");
    const CliRun r = RunCli(home, {"upload", "--port", home.Path("no-such-port"), "-o", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(HasLine(r.err, "Port Open Error!")) << r.err;
    EXPECT_NE(r.err.find("no-such-port"), std::string::npos); // the reason follows
    EXPECT_FALSE(fs::exists(out));
}

TEST(CliTransfer, SilentRadioAsksToBeSwitchedOn) {
    TempHome home;
    Radio radio(home, {"--fault", "silent"});
    ASSERT_TRUE(radio.Started());
    const std::string out = home.Path("out.r57");
    const CliRun r = RunCli(home, {"upload", "--port", radio.Link(), "-o", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(HasLine(r.err, "Switch radio On!")) << r.err;
    EXPECT_FALSE(fs::exists(out));
}

TEST(CliTransfer, DownloadFailingMidwayLeavesTheEndMarkOpen) {
    for (const std::string fault : {"nak:0x20", "vanish-after:60", "bad-checksum:0:0x15"}) {
        TempHome home;
        Radio radio(home, {"--fault", fault});
        ASSERT_TRUE(radio.Started());
        ASSERT_EQ(RunCli(home, {"new", "-o", home.Path("new.r57")}).status, 0);
        const CliRun r = RunCli(home, {"download", "--port", radio.Link(), home.Path("new.r57"),
                                       "--password", kPassword});
        EXPECT_EQ(r.status, 1) << fault;
        EXPECT_TRUE(HasLine(r.err, "Communication Error!")) << fault << r.err;
        EXPECT_FALSE(HasLine(r.out, "Download Complete!"));
        const HMemoryImage after = radio.StopAndRead();
        EXPECT_EQ(Word(after, 0xFF), 0xFFFF) << fault;
    }
}

TEST(CliTransfer, AdjustmentDataBadInBothCopiesIsNotWritten) {
    TempHome home;
    Radio first(home, {}, "a");
    ASSERT_TRUE(first.Started());
    PrepareRadio(home, first);
    HMemoryImage memory = first.StopAndRead();
    memory[4] ^= 0x5A;
    memory[0x310E] ^= 0x5A;
    WriteImage(home.Path("bad.mem"), memory);
    Radio radio(home, {"--memory", home.Path("bad.mem")}, "b");
    ASSERT_TRUE(radio.Started());
    const CliRun r = RunCli(
        home, {"download", "--port", radio.Link(), home.Path("new.r57"), "--password", kPassword});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(HasLine(r.err, "Adjustment Data Checksum Error!"));
    EXPECT_TRUE(HasLine(r.err, "Adj Checksum Error!"));
    EXPECT_TRUE(radio.Blocks("F1").empty());
    EXPECT_TRUE(radio.Blocks("F3").empty());
}

TEST(CliTransfer, CtrlCCancelsResetsTheRadioAndWritesNothing) {
    TempHome home;
    Radio radio(home, {"--pace"});
    ASSERT_TRUE(radio.Started());
    const std::string out = home.Path("out.r57");
    Cli cli(home,
            {"upload", "--port", radio.Link(), "-o", out, "--level", "2", "--password", kPassword});
    // Interrupt once the block reads are under way.
    ASSERT_TRUE(
        WaitFor([&] { return radio.Blocks("F0").size() > 20; }, std::chrono::milliseconds(20000)));
    cli.Interrupt();
    const CliRun r = cli.Wait();
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(HasLine(r.err, "Transfer cancelled.")) << r.err;
    EXPECT_FALSE(HasLine(r.out, "Upload Complete!"));
    EXPECT_FALSE(fs::exists(out));
    radio.Stop();
    const std::vector<std::string> frames = radio.Frames();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back(), "38 01 39");
    EXPECT_LT(radio.Blocks("F2").size(), 0x5Fu);
}

TEST(CliTransfer, BadInputExitsWithTwo) {
    TempHome home;
    EXPECT_EQ(RunCli(home, {"upload", "-o", home.Path("x.r57")}).status, 2);
    EXPECT_EQ(RunCli(home, {"upload", "--port", "p"}).status, 2);
    EXPECT_EQ(RunCli(home, {"upload", "--port", "p", "-o", "x", "--level", "3"}).status, 2);
    EXPECT_EQ(RunCli(home, {"upload", "--port", "p", "-o", "x", "--baud", "fast"}).status, 2);
    EXPECT_EQ(RunCli(home, {"download", "--port", "p"}).status, 2);
    const CliRun missing = RunCli(home, {"download", "--port", "p", home.Path("none.r57")});
    EXPECT_EQ(missing.status, 2);
    std::ofstream(home.Path("short.r57")) << "too short";
    EXPECT_EQ(RunCli(home, {"download", "--port", "p", home.Path("short.r57")}).status, 2);
    EXPECT_FALSE(fs::exists(home.Path("x.r57")));
}

} // namespace

#endif
