// rp57cli align against the simulated radio: the unattended basic alignment
// steps, one line each, with the found values in the radio afterwards; and a
// recovery that the reliability test stops.
#include "CliRun.h"
#include "HAlignmentData.h"
#include "HChannels.h"
#include "HDataFile.h"
#include "HDefaultFiles.h"
#include "HDefaultImage.h"
#include "HHardwareGroup.h"
#include "link/LinkTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fstream>
#include <numeric>

using namespace linktest;

namespace {

CliResult Align(const TempHome& home, const std::vector<std::string>& args) {
    std::vector<std::string> all{"align"};
    all.insert(all.end(), args.begin(), args.end());
    return RunTool(RP57CLI_PATH, all, home.Dir());
}

// A radio as it leaves the factory, as the alignment tests start from.
HMemoryImage FactoryMemory() {
    HMemoryImage memory = BuildDefaultImage();
    memory[2] = 5;
    return memory;
}

// The FLASH pages written after the last alignment command and before the
// reset that leaves alignment mode.
std::vector<int> PagesWrittenInAdjMode(const SimRadio& radio) {
    const std::vector<std::string> frames = radio.Frames();
    std::size_t last = 0;
    for (std::size_t i = 0; i < frames.size(); ++i)
        if (frames[i].starts_with("32 ")) // the sweep's tune levels
            last = i;
    std::vector<int> pages;
    for (std::size_t i = last; i < frames.size() && frames[i] != "38 01 39"; ++i)
        if (frames[i].starts_with("F3 "))
            pages.push_back(std::stoi(frames[i].substr(6, 2), nullptr, 16));
    return pages;
}

TEST(CliAlign, BasicAlignmentLeavesWhatItsStepsFoundAndNothingOfAFailedStep) {
    // A sound radio; every A/D read refused (a refused tune level fails the
    // same steps: BasicAlignment's tests); the VCV word refused. The simulated radio locks at 225
    // (reading 185 at the high edge) and peaks at tune values 40, 90 and 150 (give or take its flat
    // top).
    const HMemoryImage memory = FactoryMemory();
    const struct {
        const char* fault;
        const char* lines; // the steps' lines
        const char* failed;
    } rows[] = {
        {"", "vcv-rx: 225\nvcv-tx: 225\nrx-tune-0: ", nullptr},
        {"nak-command:0x31", "vcv-rx: failed\nvcv-tx: failed\nrx-tune-0: failed\n",
         "vcv-rx, vcv-tx, rx-tune-0"},
        {"write-fail:0x0B", "vcv-rx: 225\nvcv-tx: 225\nrx-tune-0: ", "vcv-rx, vcv-tx"},
    };
    // The steps wait the radio's settling times: the runs go side by side.
    struct Case {
        TempHome home;
        std::unique_ptr<SimRadio> radio;
    };
    std::vector<std::unique_ptr<Case>> cases;
    const auto start = [&](std::size_t i) {
        Case& c = *cases.emplace_back(std::make_unique<Case>());
        std::vector<std::string> fault;
        if (*rows[i].fault)
            fault = {"--fault", rows[i].fault};
        c.radio = std::make_unique<SimRadio>(c.home, fault, &memory);
        EXPECT_TRUE(c.radio->Started()) << rows[i].fault;
        return std::make_unique<ToolProcess>(
            RP57CLI_PATH, std::vector<std::string>{"align", "--port", c.radio->Link(), "basic"},
            c.home.Dir());
    };
    const auto finish = [&](std::size_t i, const CliResult& r) {
        const auto& row = rows[i];
        SCOPED_TRACE(row.fault);
        SimRadio& radio = *cases[i]->radio;
        EXPECT_TRUE(r.out.starts_with(std::string("start: done\n") + row.lines)) << r.out;
        if (!row.failed) {
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_NE(r.out.find("\nend: done (Basic Alignment is Finished!)\n"), std::string::npos)
                << r.out;
            // After the sweep, as the window does: the words, then the channel
            // pages (the built-in image's 128 channels: pages 8 to 8 + 128 / 3).
            std::vector<int> pages(43);
            std::iota(pages.begin(), pages.end(), 8);
            EXPECT_EQ(PagesWrittenInAdjMode(radio), pages);
        } else {
            EXPECT_EQ(r.status, 1) << r.out << r.err;
            EXPECT_EQ(r.out.find("Finished!"), std::string::npos) << r.out;
            EXPECT_NE(r.out.find(std::string("\nend: failed (Basic Alignment is NOT finished: "
                                             "these steps failed, and the radio keeps its "
                                             "former values for them: ") +
                                 row.failed + "."),
                      std::string::npos)
                << r.out;
        }
        const HMemoryImage after = radio.StopAndRead();
        EXPECT_EQ(Word(after, 0xFF), 0xA55A) << "the radio has its data back";
        HAlignmentData was, now;
        was.Load(memory);
        now.Load(after);
        if (!row.failed) {
            EXPECT_EQ(after[22], 225) << "RX VCV";
            EXPECT_EQ(after[23], 225) << "TX VCV";
            EXPECT_TRUE(HAlignmentData().VerifyChecksum(after));
        } else if (std::string_view(row.fault) != "write-fail:0x0B") {
            // Nothing invented went in: the VCVs, the tune values, the channels' tune bytes.
            for (const std::size_t value : {16u, 17u, 20u, 21u, 22u, 23u})
                EXPECT_EQ(now.GetValue(value), was.GetValue(value)) << "value " << value;
            HChannels before, channels;
            before.Load(memory);
            channels.Load(after);
            EXPECT_EQ(channels.GetField(0, HChannelTables::kFieldTuningByte),
                      before.GetField(0, HChannelTables::kFieldTuningByte));
        } else {
            EXPECT_EQ(now.GetValue(16), was.GetValue(16)) << "the radio refused its VCV word";
        }
    };
    RunSideBySide(std::size(rows), std::size(rows), start, finish);
}

TEST(CliAlign, TermIntAndHangUpCancelAndResetTheRadio) {
    // A stop signal while the radio is read for the alignment, or while it is
    // in alignment mode between and during the steps: the reset frame goes
    // out, the radio leaves alignment mode and the next transfer finds it.
    const HMemoryImage memory = FactoryMemory();
    const struct {
        int signal;
        bool inSteps;
    } rows[] = {{SIGTERM, true}, {SIGINT, true}, {SIGHUP, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(strsignal(row.signal)) + (row.inSteps ? " in the steps" : ""));
        TempHome home;
        // At the line rate the start event's reads last seconds.
        SimRadio radio(
            home, row.inSteps ? std::vector<std::string>{} : std::vector<std::string>{"--pace"},
            &memory);
        ASSERT_TRUE(radio.Started());
        ToolProcess cli(RP57CLI_PATH, {"align", "--port", radio.Link(), "basic"}, home.Dir());
        const auto count = [&](const char* prefix) {
            const std::vector<std::string> frames = radio.Frames();
            return std::ranges::count_if(
                frames, [&](const std::string& f) { return f.starts_with(prefix); });
        };
        // In the steps: the RX sweep's A/D reads under way. Before them: the
        // start event's block reads.
        ASSERT_TRUE(
            WaitFor([&] { return row.inSteps ? count("31 ") > 20 : count("F2 ") > 2; }, 60000ms));
        cli.Signal(row.signal);
        const CliResult r = cli.WaitAtMost(30000ms);
        EXPECT_EQ(r.status, 1) << r.out << r.err;
        EXPECT_NE(r.err.find("Transfer cancelled."), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("Transfer cancelled."), r.err.rfind("Transfer cancelled.")) << r.err;
        EXPECT_EQ(r.out.find("Finished"), std::string::npos) << r.out;
        if (row.inSteps) {
            EXPECT_TRUE(r.out.starts_with("start: done\n") && r.out.ends_with("\nend: cancelled\n"))
                << r.out;
        } else {
            EXPECT_EQ(r.out, "start: cancelled\n");
        }
        EXPECT_EQ(radio.NotEndedByReset(), "");
        if (!row.inSteps)
            continue;
        // Out of alignment mode: the next transfer finds the radio at once.
        const CliResult up = RunTool(
            RP57CLI_PATH,
            {"upload", "--port", radio.Link(), "-o", home.Path("after.R57"), "--level", "1"},
            home.Dir());
        EXPECT_EQ(up.status, 0) << up.err;
    }
}

TEST(CliAlign, RecoveryOfARadioWithoutSoundCopiesStops) {
    TempHome home;
    HMemoryImage memory = BuildDefaultImage();
    memory[2] = 5;
    memory[0x1F6] = 0x00; // neither copy carries its mark
    memory[0x3104] = 0x01;
    SimRadio radio(home, {}, &memory);
    const CliResult r =
        Align(home, {"--port", radio.Link(), "recover", "--file", home.Path("none.R57")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "read: done\nreliability: 3\nrecover: stopped\n");
    EXPECT_NE(r.err.find("Adjustment data has benn defected."), std::string::npos) << r.err;
    EXPECT_TRUE(radio.Blocks("F1").empty()) << "nothing written";

    EXPECT_EQ(Align(home, {"--port", radio.Link(), "recover"}).status, 2) << "no --file";
}

// What rp57cli info says of a radio's memory.
std::string InfoOf(const TempHome& home, const HMemoryImage& memory) {
    const std::string file = home.Path("after.R57");
    if (!HDataFile::Write(file, memory).Ok())
        return "not written";
    return RunTool(RP57CLI_PATH, {"info", file}, home.Dir()).out;
}

// The EEPROM and FLASH writes the radio received, in order.
std::vector<std::string> Writes(const SimRadio& radio) {
    std::vector<std::string> writes;
    for (const std::string& f : radio.Frames())
        if (f.starts_with("F1") || f.starts_with("F3"))
            writes.push_back(f);
    return writes;
}

TEST(CliAlign, EveryRecoveryLeavesBothChecksumsSoundAndMarksTheRadioWhileWriting) {
    // The four ways a recovery ends written: both copies sound (the shipping
    // default into the working copy), the working copy alone (a saved file),
    // the shipping default alone with and without the model's default file.
    // Each radio's shipping-default checksum is damaged where the recovery
    // trusts the copy by its mark alone; the saved file's copy brings the
    // working checksum to the backup.
    HMemoryImage base = BuildDefaultImage();
    base[2] = 5;
    base[0x1FE] = 0xBE; // word 0xFF as a saved file or a default may hold it
    base[0x1FF] = 0xEF;
    HMemoryImage eepromOnly = base;
    eepromOnly[0x1F6] = 0x06;
    eepromOnly[0x1F7] = 0x10;
    eepromOnly[0x07] = 0x40; // adjustment values of its own
    eepromOnly[0x10] = 0x21;
    HAlignmentData().RecomputeChecksum(eepromOnly);
    HMemoryImage saved = eepromOnly; // its backup identity agrees with the radio's
    std::copy_n(saved.begin() + 0x1F6, 8, saved.begin() + 0x3104);
    HMemoryImage both = saved;
    both[0x310E] ^= 0x55;
    HMemoryImage flashOnly = base;
    flashOnly[0x1F6] = 0x00;
    flashOnly[0x3104] = 0x06;
    flashOnly[0x3105] = 0x10;
    flashOnly[0x310E] ^= 0x55;
    const struct {
        const char* name;
        const HMemoryImage& radio;
        bool defaultFile;
        const char* reliability;
    } rows[] = {{"both sound", both, false, "0"},
                {"working copy only", eepromOnly, false, "1"},
                {"shipping default only, default file", flashOnly, true, "2"},
                {"shipping default only, built-in defaults", flashOnly, false, "2"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempHome home;
        ASSERT_TRUE(HDataFile::Write(home.Path("saved.R57"), saved).Ok());
        if (row.defaultFile) {
            HHardwareGroup hw;
            hw.Load(row.radio);
            const std::string name(
                HDefaultFiles::For(int(hw.GetValue(HHardwareGroup::kRowBand)),
                                   int(hw.GetValue(HHardwareGroup::kRowProductType))));
            HMemoryImage defaults = base;
            defaults[0x60] = 0x77; // a byte the recovery takes from the default file
            ASSERT_TRUE(HDataFile::Write(home.Path(name), defaults).Ok());
        }
        SimRadio radio(home, {}, &row.radio);
        ASSERT_TRUE(radio.Started());
        const CliResult r = Align(
            home, {"--port", radio.Link(), "recover", "--file", home.Path("saved.R57"), "--yes"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, std::string("read: done\nreliability: ") + row.reliability +
                             "\nwrite: done (Adjustment Recovery Complete!)\n");
        const std::vector<std::string> writes = Writes(radio);
        ASSERT_GE(writes.size(), 2u);
        EXPECT_TRUE(writes.front().starts_with("F1 04 FF FF FF")) << writes.front();
        EXPECT_TRUE(writes.back().starts_with("F1 04 FF A5 5A")) << writes.back();
        const HMemoryImage after = radio.StopAndRead();
        EXPECT_EQ(after[0x60] == 0x77, row.defaultFile);
        EXPECT_EQ(Word(after, 0xFB), 0x0610) << "the working copy's mark";
        const std::string info = InfoOf(home, after);
        EXPECT_NE(info.find("Adjustment checksum (working copy):     OK"), std::string::npos)
            << info;
        EXPECT_NE(info.find("Adjustment checksum (shipping default): OK"), std::string::npos)
            << info;
    }
}

TEST(CliAlign, ARefusedRecoveryFileIsNamedWithTheReason) {
    TempHome home;
    HMemoryImage memory = BuildDefaultImage();
    memory[2] = 5;
    memory[0x1F6] = 0x06; // only the working copy is sound: a saved file is asked for
    memory[0x1F7] = 0x10;
    HAlignmentData().RecomputeChecksum(memory);
    // The reasons are the data file reader's own; here that one reaches the user.
    const std::string file = home.Path("short.R57");
    std::ofstream(file) << "0123456789";
    SimRadio radio(home, {}, &memory);
    ASSERT_TRUE(radio.Started());
    const CliResult r = Align(home, {"--port", radio.Link(), "recover", "--file", file, "--yes"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "read: done\nreliability: 1\nrecover: stopped\n");
    EXPECT_NE(r.err.find("Problem reading from file\nFile Name = " + file +
                         "\nThe file holds 10 bytes; a data file holds exactly"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(radio.Blocks("F1").empty()) << "nothing written";
}

} // namespace
