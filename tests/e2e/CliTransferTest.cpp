// rp57cli upload and download against the simulated radio over a real
// pseudo-terminal: round trips, the blocks each access level moves, every row
// of the controller's failure table, the stop signals, targets that cannot be
// written, a reader that went away, the trace log.
#include "CliRun.h"
#include "HChannels.h"
#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HHardwareGroup.h"
#include "HSignallingSteps.h"
#include "HTransferSteps.h"
#include "ImageTestUtil.h"
#include "link/LinkTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#if defined(RP57_RADIO_SIM) && defined(RP57CLI_PATH)

namespace {

using namespace linktest;

constexpr const char* kPassword = "481736";

// These tests follow the documented download block by block; the backup read
// that comes first by default is CliSafetyNetTest's.
CliResult RunCli(const TempHome& home, std::vector<std::string> args) {
    if (!args.empty() && args[0] == "download")
        args.push_back("--no-backup");
    return RunTool(RP57CLI_PATH, args, home.Dir());
}

// The first non-empty line that `text` holds twice; empty when none.
std::string Repeated(const std::string& text) {
    std::istringstream in(text);
    std::set<std::string> seen;
    for (std::string l; std::getline(in, l);)
        if (!l.empty() && !seen.insert(l).second)
            return l;
    return {};
}

// A radio as a finished download leaves it: a mobile set, end mark A5 5A.
HMemoryImage CompleteRadioImage() {
    HMemoryImage image = BuildDefaultImage();
    image[2] = 5; // production code: mobile
    image[3] = 0;
    image[0x1FE] = 0xA5;
    image[0x1FF] = 0x5A;
    return image;
}

bool HasLine(const std::string& text, const std::string& line) {
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        if (l == line)
            return true;
    return false;
}

// Block numbers; a block in two ranges is expected twice.
using Blocks = std::multiset<int>;
Blocks Span(std::initializer_list<std::pair<int, int>> ranges) {
    Blocks s;
    for (auto [a, b] : ranges)
        for (int i = a; i <= b; ++i)
            s.insert(i);
    return s;
}

TEST(CliTransfer, UploadDownloadUploadGivesTheSameBytes) {
    TempHome home;
    SimRadio radio(home);
    ASSERT_TRUE(radio.Started());
    // First the state the program leaves a radio in: a download of a new image.
    ASSERT_EQ(RunCli(home, {"new", "-o", home.Path("new.r57")}).status, 0);
    const CliResult first = RunCli(
        home, {"download", "--port", radio.Link(), home.Path("new.r57"), "--password", kPassword});
    ASSERT_EQ(first.status, 0) << first.out << first.err;

    const std::string a = home.Path("a.r57");
    const std::string b = home.Path("b.r57");
    const CliResult up =
        RunCli(home, {"upload", "--port", radio.Link(), "-o", a, "--password", kPassword});
    ASSERT_EQ(up.status, 0) << up.err;
    EXPECT_TRUE(HasLine(up.out, "Upload Complete!"));
    EXPECT_TRUE(HasLine(up.err, "Now uploading"));
    const CliResult down = RunCli(home, {"download", "--port", radio.Link(), a});
    ASSERT_EQ(down.status, 0) << down.err;
    EXPECT_TRUE(HasLine(down.out, "Download Complete!"));
    EXPECT_TRUE(HasLine(down.err, "Now downloading"));
    ASSERT_EQ(
        RunCli(home, {"upload", "--port", radio.Link(), "-o", b, "--password", kPassword}).status,
        0);
    EXPECT_EQ(ReadText(a), ReadText(b));
    EXPECT_EQ(ReadText(a).size(), kImageSize);

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
    // Word 1 is read first as the model check, FLASH page 1 as the password
    // check (not at level 1). The built-in image holds 128 channels: the
    // channel pages are 08 to 08 + 128 / 3 = 0x32.
    // clang-format off
    const Blocks dealerWords = Span({{0x11, 0x1C}, {0x29, 0x2C}, {0x39, 0x3C}, {0x49, 0x4A},
        {0x4C, 0x4E}, {0x50, 0x57}, {0x70, 0xD8}, {0xEA, 0xEA}, {0xFF, 0xFF}, {0xFF, 0xFF}});
    const Blocks uploadWords = Span({{0x01, 0x01}, {0x00, 0x1C}, {0x29, 0x2C}, {0x39, 0x3C},
        {0x49, 0x4A}, {0x4C, 0x4E}, {0x50, 0x57}, {0x70, 0xD8}, {0xFA, 0xFE}});
    const struct {
        const char* command;
        int level;
        Blocks f0, f2, f1, f3;
    } rows[] = {
        {"upload", 0, uploadWords, Span({{0x01, 0x01}, {0x00, 0x5E}}), {}, {}},
        {"upload", 1, uploadWords, Span({{0x00, 0x5E}}), {}, {}},
        {"upload", 2, Span({{0x01, 0x01}, {0x00, 0xFF}}), Span({{0x01, 0x01}, {0x00, 0x5E}}), {}, {}},
        // A download also reads the radio's serial number (FD-FE) for its record.
        {"download", 0, Span({{0x01, 0x01}, {0x00, 0x11}, {0xFD, 0xFE}}),
         Span({{0x00, 0x01}, {0x5C, 0x5E}}), dealerWords,
         Span({{0x01, 0x04}, {0x08, 0x32}, {0x35, 0x56}})},
        {"download", 1, Span({{0x01, 0x01}, {0x00, 0x11}, {0xFD, 0xFE}}),
         Span({{0x00, 0x00}, {0x5C, 0x5E}}), dealerWords,
         Span({{0x00, 0x04}, {0x08, 0x32}, {0x35, 0x56}})},
        // Everything, without the checks; word FF twice (opened as FF FF, closed as A5 5A).
        {"download", 2, Span({{0x01, 0x01}}), Span({{0x01, 0x01}}),
         Span({{0xFF, 0xFF}, {0x00, 0xFF}, {0xFF, 0xFF}}), Span({{0x00, 0x5E}})},
    };
    // clang-format on
    TempHome home;
    const std::string file = home.Path("image.r57");
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.command) + " level " + std::to_string(row.level));
        SimRadio radio(home, {}, nullptr, row.command + std::to_string(row.level));
        ASSERT_TRUE(radio.Started());
        std::vector<std::string> args = {
            row.command,  "--port", radio.Link(), "--level", std::to_string(row.level),
            "--password", kPassword};
        if (row.command == std::string("upload"))
            args.insert(args.end(), {"-o", file});
        else
            args.push_back(file);
        const CliResult r = RunCli(home, args);
        ASSERT_EQ(r.status, 0) << r.err;
        radio.Stop();
        const auto blocks = [&](const char* command) {
            const std::vector<int> v = radio.Blocks(command);
            return Blocks(v.begin(), v.end());
        };
        EXPECT_EQ(blocks("F0"), row.f0);
        EXPECT_EQ(blocks("F2"), row.f2);
        EXPECT_EQ(blocks("F1"), row.f1);
        EXPECT_EQ(blocks("F3"), row.f3);
    }
}

TEST(CliTransfer, EveryFailureEndsWithItsMessageAndNoFile) {
    // Downloads go to a radio whose image is marked complete (A5 5A): one that
    // fails midway leaves the mark open (FF FF).
    const HMemoryImage complete = CompleteRadioImage();
    HMemoryImage badAdjustment = complete; // both adjustment checksums wrong
    badAdjustment[4] ^= 0x5A;
    badAdjustment[0x310E] ^= 0x5A;
    const std::vector<std::string> pw = {"--password", kPassword};
    const std::vector<std::string> pwLevel2 = {"--password", kPassword, "--level", "2"};
    const std::string comError = "Communication Error!";
    const std::vector<std::string> adjErrors = {"Adjustment Data Checksum Error!",
                                                "Adj Checksum Error!"};
    const struct {
        std::vector<std::string> simArgs;
        std::vector<std::string> cliArgs;
        std::vector<std::string> messages;
        const HMemoryImage* downloadTo; // upload when null
        std::uint16_t endMark;
    } rows[] = {
        // The longest (the handshake's twenty reads) first: the rest pass meanwhile.
        {{"--fault", "silent"}, pw, {"Switch radio On!"}, nullptr, 0},
        {{"--production-code", "7"}, pw, {comError}, nullptr, 0},
        {{"--custom-code", "1"}, pw, {comError}, nullptr, 0},
        {{"--fault", "no-echo"}, pw, {comError}, nullptr, 0},
        {{"--fault", "drop-byte:40"}, pw, {comError}, nullptr, 0},
        {{"--fault", "bad-checksum:1:0x10"}, pw, {comError}, nullptr, 0},
        {{"--fault", "bad-checksum:0:0x05"}, pw, {comError}, nullptr, 0},
        {{"--fault", "wrong-first:0:0x05"}, pw, {comError}, nullptr, 0},
        {{"--fault", "wrong-first:1:0x40"}, pw, {comError}, nullptr, 0},
        {{"--fault", "vanish-after:30"}, pwLevel2, {comError}, nullptr, 0},
        // No --password and no terminal to ask on: refused as cancelled.
        {{}, {}, {"Transfer cancelled."}, nullptr, 0},
        {{}, {"--password", "123456"}, {"Password mismatched! "}, nullptr, 0},
        {{"--fault", "nak:0x20"}, pw, {comError}, &complete, 0xFFFF},
        {{"--fault", "vanish-after:60"}, pw, {comError}, &complete, 0xFFFF},
        {{"--fault", "bad-checksum:0:0x15"}, pw, {comError}, &complete, 0xFFFF},
        {{}, pw, adjErrors, &badAdjustment, 0xA55A},
    };
    // Each case waits out the radio's connect time and most a real time-out:
    // they run side by side, each with its own home and radio.
    struct Case {
        TempHome home;
        std::unique_ptr<SimRadio> radio;
    };
    std::vector<std::unique_ptr<Case>> cases;
    const auto what = [&](std::size_t i) {
        return rows[i].simArgs.empty() ? rows[i].messages.front() : rows[i].simArgs.back();
    };
    const auto start = [&](std::size_t i) -> std::unique_ptr<ToolProcess> {
        const auto& row = rows[i];
        Case& c = *cases.emplace_back(std::make_unique<Case>());
        c.radio = std::make_unique<SimRadio>(c.home, row.simArgs, row.downloadTo);
        EXPECT_TRUE(c.radio->Started()) << what(i);
        std::vector<std::string> args = {"upload", "--port", c.radio->Link(), "-o",
                                         c.home.Path("out.r57")};
        if (row.downloadTo) {
            EXPECT_EQ(RunCli(c.home, {"new", "-o", c.home.Path("new.r57")}).status, 0) << what(i);
            args = {"download", "--port", c.radio->Link(), c.home.Path("new.r57"), "--no-backup"};
        }
        args.insert(args.end(), row.cliArgs.begin(), row.cliArgs.end());
        return std::make_unique<ToolProcess>(RP57CLI_PATH, args, c.home.Dir());
    };
    const auto finish = [&](std::size_t i, const CliResult& r) {
        const auto& row = rows[i];
        SCOPED_TRACE(what(i));
        Case& c = *cases[i];
        EXPECT_EQ(r.status, 1);
        for (const std::string& m : row.messages)
            EXPECT_TRUE(HasLine(r.err, m)) << r.err;
        EXPECT_FALSE(HasLine(r.out, "Upload Complete!") || HasLine(r.out, "Download Complete!"));
        EXPECT_FALSE(fs::exists(c.home.Path("out.r57")));
        if (row.downloadTo) {
            // Stopped after its first write: said once, after the reason.
            EXPECT_EQ(Count(r.err, "The radio holds a partial write and must be downloaded again."),
                      row.endMark == 0xFFFF ? 1u : 0u)
                << r.err;
            EXPECT_EQ(Word(c.radio->StopAndRead(), 0xFF), row.endMark);
            if (row.endMark == 0xA55A) {
                EXPECT_TRUE(c.radio->Blocks("F1").empty() && c.radio->Blocks("F3").empty());
            }
        }
        if (row.cliArgs.empty()) {
            EXPECT_NE(r.err.find("--password"), std::string::npos);
        }
    };
    RunSideBySide(std::size(rows), 4, start, finish);

    // A port that does not exist.
    TempHome home;
    const std::string out = home.Path("out.r57");
    const CliResult r = RunCli(home, {"upload", "--port", home.Path("no-such-port"), "-o", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(HasLine(r.err, "Port Open Error!")) << r.err;
    EXPECT_NE(r.err.find("no-such-port"), std::string::npos); // the reason follows
    EXPECT_FALSE(fs::exists(out));
}

TEST(CliTransfer, CtrlCTermAndHangUpCancelAndResetTheRadio) {
    const HMemoryImage complete = CompleteRadioImage();
    enum class When { Reading, Writing, AskingPassword };
    const struct {
        int signal;
        When when;
    } rows[] = {// The three signals share one handler: SIGINT is CliAlign's row.
                {SIGTERM, When::Reading},
                {SIGTERM, When::Writing},
                // The terminal closes while the password is asked on it.
                {SIGHUP, When::AskingPassword}};
    // The paced transfers run side by side; each is signalled once its reads
    // (writes, the question) are under way.
    struct Case {
        TempHome home;
        std::unique_ptr<SimRadio> radio;
        PtyPair terminal;
        std::unique_ptr<ToolProcess> cli;
        bool signalled = false;
    };
    const auto name = [&](std::size_t i) {
        return std::string(strsignal(rows[i].signal)) + " when " +
               std::to_string(static_cast<int>(rows[i].when));
    };
    std::vector<std::unique_ptr<Case>> cases;
    for (const auto& row : rows) {
        Case& c = *cases.emplace_back(std::make_unique<Case>());
        const bool download = row.when == When::Writing;
        c.radio = std::make_unique<SimRadio>(c.home, std::vector<std::string>{"--pace"},
                                             download ? &complete : nullptr);
        ASSERT_TRUE(c.radio->Started());
        std::vector<std::string> args = {"upload", "--port", c.radio->Link(), "-o",
                                         c.home.Path("out.r57")};
        if (download) {
            ASSERT_EQ(RunCli(c.home, {"new", "-o", c.home.Path("new.r57")}).status, 0);
            // Without the backup read first, the page writes start at once.
            args = {"download", "--port", c.radio->Link(), "--no-backup", c.home.Path("new.r57")};
        }
        if (row.when == When::Reading)
            args.insert(args.end(), {"--level", "2"});
        if (row.when != When::AskingPassword)
            args.insert(args.end(), {"--password", kPassword});
        c.cli = std::make_unique<ToolProcess>(
            RP57CLI_PATH, args, c.home.Dir(), ToolStdout::Collected,
            row.when == When::AskingPassword ? c.terminal.SlavePath() : "/dev/null");
    }
    const auto underWay = [&](std::size_t i) {
        const Case& c = *cases[i];
        switch (rows[i].when) {
        case When::Reading:
            return c.radio->Blocks("F0").size() > 20;
        case When::Writing:
            return c.radio->Blocks("F3").size() > 20;
        case When::AskingPassword:
            return c.cli->ErrSoFar().find("Password: ") != std::string::npos;
        }
        return false;
    };
    EXPECT_TRUE(WaitFor(
        [&] {
            bool all = true;
            for (std::size_t i = 0; i < cases.size(); ++i) {
                Case& c = *cases[i];
                if (!c.signalled && underWay(i)) {
                    c.cli->Signal(rows[i].signal);
                    c.signalled = true;
                }
                all = all && c.signalled;
            }
            return all;
        },
        20000ms));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(name(i));
        Case& c = *cases[i];
        EXPECT_TRUE(c.signalled);
        const CliResult r = c.cli->WaitAtMost(20000ms);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(Count(r.err, "Transfer cancelled."), 1u) << r.err;
        EXPECT_EQ(Repeated(r.err), "") << r.err; // every message once
        EXPECT_TRUE(r.out.empty()) << r.out;     // nothing claims it was done
        EXPECT_FALSE(fs::exists(c.home.Path("out.r57")));
        const HMemoryImage memory = c.radio->StopAndRead();
        // The radio took the reset: out of clone mode, waiting for Power On again.
        EXPECT_EQ(c.radio->NotEndedByReset(), "");
        if (rows[i].when == When::Writing)
            EXPECT_EQ(Word(memory, 0xFF), 0xFFFF); // marked as half written
        else
            EXPECT_LT(c.radio->Blocks("F2").size(), 0x5Fu);
    }
}

TEST(CliTransfer, UploadRefusesATargetItCannotWriteBeforeTouchingTheRadio) {
    TempHome home;
    SimRadio radio(home);
    ASSERT_TRUE(radio.Started());
    fs::create_directory(home.Path("dir.r57"));
    const std::string readOnly = home.Path("kept.r57");
    std::ofstream(readOnly) << "keep";
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read);
    struct Row {
        std::string target;
        std::string reason;
    };
    std::vector<Row> rows = {
        {home.Path("no-dir/out.r57"), "Reason: No such file or directory"},
        {home.Path("dir.r57"), "This is a folder, not a file."},
        {readOnly, "The file is read-only."},
    };
    if (::geteuid() != 0) { // root may write into any directory
        fs::create_directory(home.Path("locked"));
        fs::permissions(home.Path("locked"), fs::perms::owner_read | fs::perms::owner_exec);
        rows.push_back({home.Path("locked/out.r57"), "Reason: Permission denied"});
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(row.target);
        const CliResult r = RunCli(
            home, {"upload", "--port", radio.Link(), "-o", row.target, "--password", kPassword});
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(HasLine(r.err, row.target)) << r.err; // the message names the file
        EXPECT_TRUE(HasLine(r.err, row.reason)) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
    EXPECT_EQ(ReadText(readOnly), "keep");
    radio.Stop();
    EXPECT_TRUE(radio.Frames().empty()); // not even Power On was sent
}

TEST(CliTransfer, UploadCompleteIsSaidOnlyOnceTheFileIsWritten) {
    // A file size limit below one image: the radio is read in full, the write fails.
    TempHome home;
    SimRadio radio(home);
    ASSERT_TRUE(radio.Started());
    const std::string out = home.Path("out.r57");
    const CliResult r =
        ToolProcess("/bin/sh",
                    {"-c", "ulimit -f 8 && exec \"$0\" \"$@\"", RP57CLI_PATH, "upload", "--port",
                     radio.Link(), "-o", out, "--password", kPassword},
                    home.Dir())
            .Wait();
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(HasLine(r.out, "Upload Complete!")) << r.out;
    EXPECT_TRUE(HasLine(r.err, "rp57cli: Problem writing to file")) << r.err;
    EXPECT_TRUE(HasLine(r.err, "Reason: File too large")) << r.err;
    EXPECT_FALSE(fs::exists(out));
    radio.Stop();
    EXPECT_EQ(radio.Frames().back(), "38 01 39");
}

TEST(CliTransfer, ClosedOutputPipeLosesNoUploadAndTheTraceLogFollowsIt) {
    TempHome home;
    std::ofstream(home.Path("INI_LOG.ini")) << "[LOG_INFO]\nDEF_LOG_NAME=cli.log\nLOG_LEVEL0=5\n";
    SimRadio radio(home);
    ASSERT_TRUE(radio.Started());
    const std::string out = home.Path("out.r57");
    const CliResult r =
        ToolProcess(RP57CLI_PATH,
                    {"upload", "--port", radio.Link(), "-o", out, "--password", kPassword},
                    home.Dir(), ToolStdout::ClosedPipe)
            .Wait();
    EXPECT_EQ(r.status, 0) << r.err; // -1: killed by SIGPIPE
    HMemoryImage image{};
    EXPECT_TRUE(HDataFile::Read(out, image).Ok());

    const std::string log = ReadText(home.Path("cli.log"));
    EXPECT_EQ(Missing(log, {"[D1] **************The log output begins.[Ver.",
                            "[D1] RP57通信制御マトリクス [EVENT:0 : STATUS:0]",
                            "[D1] アップロードイベント", "[D1] Production Code is Mobile",
                            "[D1] Custom Code is legal", "[D1] EEPROM 読み込み[FROM:0][TO:1C]",
                            "[D3] アップロード成功[ADDR:1C]", "[D1] FLASH 読み込み[FROM:33][TO:5E]",
                            "[D3] アップロード成功[PAGE:5E]",
                            "[D1] アップロード成功。データを保存します。"}),
              "");
    EXPECT_EQ(Count(log, "The log output begins."), 1u);
    // The end banner closes the log, after every line of the transfer.
    const std::string end = "[D1] **************The log output ended.*****************";
    ASSERT_NE(log.rfind(end), std::string::npos)
        << log.substr(log.size() > 400 ? log.size() - 400 : 0);
    EXPECT_EQ(log.find('\n', log.rfind(end)), log.size() - 1);
}

TEST(CliTransfer, BadInputExitsWithTwo) {
    TempHome home;
    std::ofstream(home.Path("short.r57")) << "too short";
    for (const std::vector<std::string>& args : {
             std::vector<std::string>{"upload", "-o", home.Path("x.r57")},
             {"upload", "--port", "p"},
             {"upload", "--port", "p", "-o", home.Path("x.r57"), "--level", "3"},
             {"download", "--port", "p", home.Path("none.r57")},
             {"download", "--port", "p", home.Path("short.r57")},
         })
        EXPECT_EQ(RunCli(home, args).status, 2) << args.back();
    EXPECT_FALSE(fs::exists(home.Path("x.r57")));
}

// The channel list of a data file as rp57cli export writes it.
std::string ChannelList(const TempHome& home, const std::string& file) {
    const std::string csv = home.Path("list.csv");
    if (RunCli(home, {"export", file, "-o", csv}).status != 0)
        return "export failed";
    const std::string text = ReadText(csv);
    const std::size_t header = text.find("\"Chn\"");
    return header == std::string::npos ? "no channel list" : text.substr(header);
}

TEST(CliTransfer, ALevel0DownloadKeepsTheChannelsTheFileShowsUnderTheRadiosHardwarePage) {
    TempHome home;
    const std::string file = home.Path("e.R57");
    ASSERT_EQ(RunCli(home, {"new", "-o", file}).status, 0);
    const HMemoryImage image = ReadImage(file);
    const std::string shown = ChannelList(home, file);
    HMemoryImage same = image;
    same[2] = 5; // production code: mobile
    same[3] = 0;
    const HMemoryImage otherIf = WithHardware(same, HHardwareGroup::kRowFirstIf, 21400000);
    const std::string warning = "1st IF 21.40 MHz (this file 0.00 MHz)";
    for (const bool differs : {false, true}) {
        SCOPED_TRACE(differs ? "the radio has another first IF" : "the radio has the file's");
        const HMemoryImage& memory = differs ? otherIf : same;
        SimRadio radio(home, {}, &memory, differs ? "b" : "a");
        ASSERT_TRUE(radio.Started());
        const CliResult r =
            RunCli(home, {"download", "--port", radio.Link(), file, "--password", kPassword});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err.find(warning) != std::string::npos, differs) << r.err;
        const HMemoryImage after = radio.StopAndRead();
        const std::string written = home.Path("after.R57");
        ASSERT_TRUE(HDataFile::Write(written, after).Ok());
        EXPECT_EQ(ChannelList(home, written), shown);
        if (differs)
            continue;
        // The same Hardware page: every block written holds what the documented
        // preparation makes of the file (the radio's identity, adjustment pages
        // and page 0 merged in, the channel model rebuilt), byte for byte.
        HMemoryImage prepared = image;
        HTransferSteps::PrepareForDownload(prepared, HTransferSteps::ReadSignallingMode(prepared),
                                           HSignallingSteps::WriteCompiledTables);
        std::copy(memory.begin(), memory.begin() + 0x22, prepared.begin());
        std::copy(memory.begin() + 0x200, memory.begin() + 0x280, prepared.begin() + 0x200);
        std::copy(memory.begin() + 0x3000, memory.begin() + 0x3180, prepared.begin() + 0x3000);
        prepared[0x1D4] = prepared[0x1D5] = 0xFF;
        HChannels model;
        model.Load(prepared);
        model.Save(prepared);
        prepared[0x1FE] = 0xA5;
        prepared[0x1FF] = 0x5A;
        std::string wrong;
        for (const int word : radio.Blocks("F1"))
            for (std::size_t i = std::size_t(word) * 2; i < std::size_t(word) * 2 + 2; ++i)
                if (after[i] != prepared[i])
                    wrong += " " + std::to_string(i);
        for (const int page : radio.Blocks("F3"))
            for (std::size_t i = 0x200 + std::size_t(page) * 0x80;
                 i < 0x200 + std::size_t(page + 1) * 0x80; ++i)
                if (after[i] != prepared[i] && wrong.size() < 200)
                    wrong += " " + std::to_string(i);
        EXPECT_EQ(wrong, "") << "bytes written other than the documented preparation";
        EXPECT_FALSE(radio.Blocks("F3").empty());
    }
}

} // namespace

#endif
