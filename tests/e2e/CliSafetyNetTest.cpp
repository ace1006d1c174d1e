// The safety net of rp57cli against the simulated radio on pseudo-terminals:
// the check before writing (alone, refusing a download, overridden with
// --force, the radio's identity), backups before every download, diff in both
// directions, detect among several ports, and a fleet run with its journal.
#include "CliRun.h"
#include "HChannels.h"
#include "HCommonGroups.h"
#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HHardwareGroup.h"
#include "ImageTestUtil.h"
#include "link/LinkTestUtil.h"

#include <gtest/gtest.h>

#include <optional>
#include <sys/stat.h>

#if defined(RP57_RADIO_SIM) && defined(RP57CLI_PATH)

namespace {

using namespace linktest;

constexpr const char* kPassword = "481736";

// A radio as a finished download leaves it: a mobile set, end mark A5 5A,
// with a serial number of its own.
HMemoryImage RadioMemory(const std::string& serial = "0001") {
    HMemoryImage image = BuildDefaultImage();
    HMarketingGroup marketing;
    marketing.Load(image);
    marketing.SetText(2, serial);
    marketing.Save(image);
    image[2] = 5; // production code: mobile
    image[3] = 0;
    image[0x1FE] = 0xA5;
    image[0x1FF] = 0x5A;
    return image;
}

void WriteImage(const std::string& path, const HMemoryImage& image) {
    ASSERT_TRUE(HDataFile::Write(path, image).Ok()) << path;
}

// Frames that write the radio (EEPROM or FLASH).
std::size_t Writes(const SimRadio& radio) {
    return radio.Blocks("F1").size() + radio.Blocks("F3").size();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}

} // namespace

TEST(CliSafetyNet, CheckReportsByKeyWithItsExitStatus) {
    TempHome home;
    WriteImage(home.Path("good.r57"), BuildDefaultImage());
    const CliResult good = Cli({"check", home.Path("good.r57")}, home);
    EXPECT_EQ(good.status, 0) << good.out << good.err;

    // Channels stored for VHF read in the Low Band A band lie outside it.
    WriteImage(home.Path("bad.r57"),
               WithHardware(BuildDefaultImage(), HHardwareGroup::kRowBand, 4));
    const CliResult bad = Cli({"check", home.Path("bad.r57")}, home);
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(Has(bad.out, "error channels.1.rx_frequency (RX Frequency): Channel 1:"))
        << bad.out;
    const CliResult json = Cli({"check", home.Path("bad.r57"), "--json"}, home);
    EXPECT_EQ(json.status, 1);
    EXPECT_TRUE(Has(json.out, "\"ok\":false")) << json.out;
    EXPECT_TRUE(Has(json.out, "\"key\":\"channels.1.rx_frequency\"")) << json.out;
    EXPECT_TRUE(Has(json.out, "\"severity\":\"error\"")) << json.out;

    EXPECT_EQ(Cli({"check", home.Path("missing.r57")}, home).status, 2);
}

TEST(CliSafetyNet, CheckNamesCallsThatWouldSendAnEmptyOrMissingEncodeEntry) {
    TempHome home;
    WriteImage(home.Path("plain.r57"), BuildDefaultImage());
    // A call key set up as a technician would, on an encode entry never filled in.
    const CliResult set = Cli({"set", home.Path("plain.r57"), "key_function.p4_short_press=CALL 1",
                               "two_tone_encode.call_1=ENC No.3", "-o", home.Path("call.r57")},
                              home);
    ASSERT_EQ(set.status, 0) << set.err;
    const CliResult warned = Cli({"check", home.Path("call.r57")}, home);
    EXPECT_EQ(warned.status, 0) << warned.out << warned.err;
    EXPECT_TRUE(Has(warned.out, "warning two_tone_encode.call_1 (Call 1): 2-Tone Encode: Call 1 "
                                "names ENC No.3, which is empty"))
        << warned.out;
    EXPECT_TRUE(Has(warned.out, "the key [P4] Short Press (CALL 1) would send nothing"))
        << warned.out;
}

TEST(CliSafetyNet, DownloadRefusedByTheCheckAndAllowedWithForce) {
    TempHome home;
    const HMemoryImage memory = RadioMemory();
    SimRadio radio(home, {}, &memory);
    ASSERT_TRUE(radio.Started());
    WriteImage(home.Path("bad.r57"),
               WithHardware(BuildDefaultImage(), HHardwareGroup::kRowBand, 4));
    const CliResult refused = Cli(
        {"download", "--port", radio.Link(), home.Path("bad.r57"), "--password", kPassword}, home);
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(Has(refused.err, "channels.1.rx_frequency")) << refused.err;
    EXPECT_FALSE(Has(refused.out, "Download Complete!"));
    // Refused before the radio was even asked.
    EXPECT_TRUE(radio.Frames().empty());

    const CliResult forced = Cli({"download", "--port", radio.Link(), home.Path("bad.r57"),
                                  "--password", kPassword, "--force"},
                                 home);
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_TRUE(Has(forced.out, "Download Complete!"));
}

TEST(CliSafetyNet, AnotherBandThanTheRadiosIsRefusedOnceItsIdentityIsRead) {
    TempHome home;
    const HMemoryImage memory = RadioMemory(); // a VHF radio
    SimRadio radio(home, {}, &memory);
    ASSERT_TRUE(radio.Started());
    ASSERT_EQ(Cli({"new", "--band", "UHF A", "-o", home.Path("uhf.r57")}, home).status, 0);
    const CliResult refused = Cli({"download", "--port", radio.Link(), home.Path("uhf.r57"),
                                   "--password", kPassword, "--no-backup"},
                                  home);
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(Has(refused.err, "This file is for the UHF A band, the radio is a VHF radio"))
        << refused.err;
    EXPECT_FALSE(Has(refused.out, "Download Complete!"));
    EXPECT_EQ(Writes(radio), 0u);

    const CliResult forced = Cli({"download", "--port", radio.Link(), home.Path("uhf.r57"),
                                  "--password", kPassword, "--no-backup", "--force"},
                                 home);
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_TRUE(Has(forced.out, "Download Complete!"));
    EXPECT_TRUE(Has(forced.out, "No backup kept: --no-backup was given.")) << forced.out;
}

TEST(CliSafetyNet, EveryDownloadKeepsABackupPrunedByCount) {
    TempHome home;
    const HMemoryImage memory = RadioMemory("4711");
    SimRadio radio(home, {}, &memory);
    ASSERT_TRUE(radio.Started());
    std::ofstream(home.Path("RP57Win.ini")) << "[Backup]\nKeepCount=2\n";
    WriteImage(home.Path("file.r57"), BuildDefaultImage());
    for (int i = 0; i < 3; ++i) {
        const CliResult r = Cli(
            {"download", "--port", radio.Link(), home.Path("file.r57"), "--password", kPassword},
            home);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(Has(r.err, "Backup kept: " + home.Path("backups/4711_"))) << r.err;
    }
    std::size_t files = 0;
    std::string one;
    for (const auto& e : fs::directory_iterator(home.Path("backups"))) {
        ++files;
        one = e.path().string();
    }
    EXPECT_EQ(files, 2u);
    // The first backup holds the radio as it was: its serial, its identity words.
    const HMemoryImage kept = ReadImage(one);
    EXPECT_EQ(Word(kept, 0x01), Word(memory, 0x01));
    const CliResult list = Cli({"backups", "--json"}, home);
    EXPECT_EQ(list.status, 0);
    EXPECT_TRUE(Has(list.out, "\"serial\":\"4711\"")) << list.out;

    // A backup downloads back like any data file.
    const CliResult back = Cli(
        {"download", "--port", radio.Link(), one, "--password", kPassword, "--no-backup"}, home);
    EXPECT_EQ(back.status, 0) << back.err;
}

TEST(CliSafetyNet, BackupKeptNamesAFileThatExists) {
    // A folder copied from a machine whose clock was ahead.
    TempHome home;
    const HMemoryImage memory = RadioMemory("4711");
    SimRadio radio(home, {}, &memory);
    ASSERT_TRUE(radio.Started());
    std::ofstream(home.Path("RP57Win.ini")) << "[Backup]\nKeepCount=1\n";
    fs::create_directories(home.Path("backups"));
    std::ofstream(home.Path("backups/4711_20991231-235959.R57")) << "from the future";
    WriteImage(home.Path("file.r57"), BuildDefaultImage());
    const CliResult r = Cli(
        {"download", "--port", radio.Link(), home.Path("file.r57"), "--password", kPassword}, home);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string said = "Backup kept: ";
    const std::size_t at = r.err.find(said);
    ASSERT_NE(at, std::string::npos) << r.err;
    const std::string path =
        r.err.substr(at + said.size(), r.err.find('\n', at) - at - said.size());
    EXPECT_TRUE(fs::is_regular_file(path)) << path;
    EXPECT_EQ(Word(ReadImage(path), 0x01), Word(memory, 0x01));
}

TEST(CliSafetyNet, DiffFindsTheEditsInBothDirections) {
    TempHome home;
    ASSERT_EQ(Cli({"new", "-o", home.Path("a.r57")}, home).status, 0);
    ASSERT_EQ(Cli({"set", home.Path("a.r57"), "scanning.dual_watch_timer=1 sec",
                   "power_saving.beep_level=5", "-o", home.Path("b.r57")},
                  home)
                  .status,
              0);
    const CliResult same = Cli({"diff", home.Path("a.r57"), home.Path("a.r57")}, home);
    EXPECT_EQ(same.status, 0);
    EXPECT_TRUE(same.out.empty()) << same.out;

    const CliResult ab = Cli({"diff", home.Path("a.r57"), home.Path("b.r57")}, home);
    EXPECT_EQ(ab.status, 1);
    // Both directions and every line are ImageDiffTest's: here that they are printed.
    EXPECT_TRUE(Has(ab.out, "scanning.dual_watch_timer (Dual Watch Timer): ")) << ab.out;
    EXPECT_TRUE(Has(ab.out, "-> \"1 sec\"")) << ab.out;
    const CliResult section =
        Cli({"diff", home.Path("a.r57"), home.Path("b.r57"), "--section", "scanning"}, home);
    EXPECT_FALSE(Has(section.out, "beep_level")) << section.out;
    // Sections by their names as show takes them; a name that is none is refused.
    for (const char* known : {"groups", "channels"})
        EXPECT_EQ(
            Cli({"diff", home.Path("a.r57"), home.Path("b.r57"), "--section", known}, home).status,
            0)
            << known;
    for (const char* unknown : {"Hardware", "hardwre"}) {
        const CliResult r =
            Cli({"diff", home.Path("a.r57"), home.Path("b.r57"), "--section", unknown}, home);
        EXPECT_EQ(r.status, 2) << unknown;
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_TRUE(
            Has(r.err, std::string("diff: unknown section '") + unknown + "' (hardware, option, "))
            << r.err;
        EXPECT_TRUE(Has(r.err, ", groups, channels)")) << r.err;
    }
}

TEST(CliSafetyNet, DetectNamesThePortWhereARadioWaits) {
    TempHome home;
    PtyPair quietA;
    PtyPair quietB;
    SimRadio radio(home);
    ASSERT_TRUE(radio.Started());
    const CliResult found =
        Cli({"detect", quietA.SlavePath(), radio.Link(), quietB.SlavePath(), "--wait", "3"}, home);
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, radio.Link() + "\n");
    EXPECT_TRUE(quietA.Receive(1, std::chrono::milliseconds(200)).empty());
    EXPECT_TRUE(quietB.Receive(1, std::chrono::milliseconds(200)).empty());

    const CliResult none = Cli({"detect", quietA.SlavePath(), "--wait", "0.5"}, home);
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(Has(none.err, "No radio sent its Check byte")) << none.err;
}

TEST(CliSafetyNet, DetectLeavesAPortInUseToItsTransfer) {
    // Another rp57cli downloads (paced, at four times the usual line rate)
    // while detect is run on the same port: detect names the port busy by
    // that process and touches nothing, and the download completes.
    TempHome home;
    const HMemoryImage memory = RadioMemory("4711");
    SimRadio radio(home, {"--pace"}, &memory);
    ASSERT_TRUE(radio.Started());
    HMemoryImage file = BuildDefaultImage();
    HChannels channels;
    channels.Load(file);
    channels.SetTag(4, "DETECT");
    channels.Save(file);
    WriteImage(home.Path("file.r57"), file);
    fs::create_directories(home.Path("download"));
    ToolProcess download(RP57CLI_PATH,
                         {"download", "--port", radio.Link(), home.Path("file.r57"), "--password",
                          kPassword, "--no-backup", "--baud", "38400"},
                         home.Path("download"));
    ASSERT_TRUE(WaitFor([&] { return radio.Frames().size() > 2; }, 60s)) << download.ErrSoFar();
    const CliResult detect = Cli({"detect", radio.Link(), "--wait", "2"}, home);
    EXPECT_EQ(detect.status, 1) << detect.out;
    EXPECT_TRUE(detect.out.empty()) << detect.out;
    EXPECT_TRUE(Has(detect.err, radio.Link() + ": the port is in use by pid " +
                                    std::to_string(download.Pid()) + " (rp57cli)"))
        << detect.err;
    const CliResult done = download.WaitAtMost(120s);
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_TRUE(Has(done.out, "Download Complete!")) << done.out;
    HChannels written;
    written.Load(radio.StopAndRead());
    EXPECT_EQ(written.GetTag(4), "DETECT  "); // padded to eight
}

TEST(CliSafetyNet, AJournalThatIsNoWritableFileStopsTheRunBeforeTheFirstRadio) {
    TempHome home;
    WriteImage(home.Path("fleet.r57"), BuildDefaultImage());
    const HMemoryImage memory = RadioMemory("1001");
    SimRadio radio(home, {"--once"}, &memory);
    ASSERT_TRUE(radio.Started());
    ASSERT_EQ(::mkfifo(home.Path("pipe.csv").c_str(), 0600), 0);
    fs::create_directories(home.Path("folder.csv"));
    for (const std::string& journal :
         {std::string("/dev/full"), home.Path("pipe.csv"), home.Path("folder.csv")}) {
        ToolProcess fleet(RP57CLI_PATH,
                          {"download", "--repeat", "--port", radio.Link(), home.Path("fleet.r57"),
                           "--password", kPassword, "--journal", journal},
                          home.Dir());
        const CliResult r = fleet.WaitAtMost(30s);
        EXPECT_EQ(r.status, 2) << journal << ": " << r.err;
        EXPECT_TRUE(
            Has(r.err, "the journal cannot be written: " + journal + ": not a regular file"))
            << r.err;
    }
    // No radio was touched.
    EXPECT_TRUE(radio.Frames().empty());
}

TEST(CliSafetyNet, AJournalLineThatCannotBeWrittenStopsAndFailsTheRun) {
    TempHome home;
    WriteImage(home.Path("fleet.r57"), BuildDefaultImage());
    const std::string journal = home.Path("journal.csv");
    {
        // A run whose every radio and line went well ends with 0.
        ToolProcess fleet(RP57CLI_PATH,
                          {"download", "--repeat", "--port", home.Path("radio"),
                           home.Path("fleet.r57"), "--password", kPassword, "--journal", journal},
                          home.Dir());
        const HMemoryImage memory = RadioMemory("1000");
        SimRadio radio(home, {"--once"}, &memory);
        ASSERT_TRUE(radio.Started());
        ASSERT_TRUE(WaitFor([&] { return Lines(ReadText(journal)).size() == 2; }, 60s))
            << fleet.ErrSoFar();
        radio.WaitExit();
        fleet.Signal(SIGINT);
        const CliResult r = fleet.WaitAtMost(30s);
        EXPECT_EQ(r.status, 0) << r.err;
        fs::remove(journal);
    }
    ToolProcess fleet(RP57CLI_PATH,
                      {"download", "--repeat", "--port", home.Path("radio"), home.Path("fleet.r57"),
                       "--password", kPassword, "--journal", journal},
                      home.Dir());
    {
        const HMemoryImage memory = RadioMemory("1001");
        SimRadio radio(home, {"--once"}, &memory);
        ASSERT_TRUE(radio.Started());
        ASSERT_TRUE(WaitFor([&] { return Lines(ReadText(journal)).size() == 2; }, 60s))
            << fleet.ErrSoFar();
        radio.WaitExit();
    }
    // The journal is gone and a folder holds its name: the next line cannot be written.
    fs::remove(journal);
    fs::create_directories(journal);
    const HMemoryImage memory = RadioMemory("1002");
    SimRadio radio(home, {"--once"}, &memory);
    ASSERT_TRUE(radio.Started());
    const CliResult r = fleet.WaitAtMost(60s);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(Has(r.err, "the journal line could not be written: " + journal)) << r.err;
    EXPECT_TRUE(Has(r.out, "2 radios, 0 failed")) << r.out;
}

#endif
