#include "CliRun.h"
#include "TempDir.h"

#include "HAlignmentData.h"
#include "HChannels.h"
#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HHardwareGroup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

TEST(CliImage, NewWritesTheModelAndInfoShowsIt) {
    TempDir dir;
    const std::string file = dir.File("hh.R57");
    CliResult r =
        Cli({"new", "-o", file, "--band", "UHF-D", "--product", "handheld", "--lcd", "0"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    HMemoryImage img{};
    ASSERT_TRUE(HDataFile::Read(file, img).Ok());
    EXPECT_EQ(img, MakeImageForModel(kBandUhfD, kProductHandheld, 0));

    r = Cli({"info", file}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Model:           UHF D, Handheld, Non-LCD Type"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Signalling:      2-TONE"), std::string::npos);
    EXPECT_NE(r.out.find("Group 1 GROUP001  8 channels in use"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("    8 CHAN-008"), std::string::npos);
    EXPECT_EQ(r.out.find("CHAN-009"), std::string::npos);
    EXPECT_EQ(Count(r.out, " OK\n"), 2u);
    EXPECT_EQ(Count(r.out, "BAD"), 0u);
}

TEST(CliImage, InfoJsonListsGroupsAndReportsBadChecksums) {
    TempDir dir;
    HMemoryImage img = BuildDefaultImage();
    HChannels ch;
    ch.Load(img);
    ch.SetGroupValue(0, HChannelTables::kGroupChannels, 2);
    ch.SetGroupValue(1, HChannelTables::kGroupChannels, 1);
    ch.SetGroupTag(1, "Q\"UOTE");
    ch.Save(img);
    HAlignmentData(HAlignmentData::HCopy::Working).RecomputeChecksum(img);
    img[0x3000] ^= 0xFF; // the shipping-default copy no longer matches its checksum
    const std::string file = dir.File("two.R57");
    ASSERT_TRUE(HDataFile::Write(file, img).Ok());

    CliResult r = Cli({"info", "--json", file}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Count(r.out, "\n"), 1u); // one object on one line
    EXPECT_NE(r.out.find("\"bandName\":\"VHF\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"displayType\":\"LCD Type\""), std::string::npos);
    EXPECT_NE(
        r.out.find("\"groups\":[{\"group\":1,\"tag\":\"GROUP001\",\"channels\":[{\"channel\":1,"
                   "\"tag\":\"-ORVANE-\"},{\"channel\":2,\"tag\":\"CHAN-002\"}]},"
                   "{\"group\":2,\"tag\":\"Q\\\"UOTE\",\"channels\":[{\"channel\":3,"
                   "\"tag\":\"CHAN-003\"}]}]"),
        std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"checksums\":{\"working\":true,\"shippingDefault\":false}"),
              std::string::npos);
}

TEST(CliImage, InfoNeverPrintsControlCharactersFromTheImage) {
    // A group tag holding "clear screen", a channel tag with a backslash.
    TempDir dir;
    HMemoryImage img = BuildDefaultImage();
    HChannels ch;
    ch.Load(img);
    ch.SetGroupTag(0, "\x1b[2JX");
    ch.SetTag(0, "A\\U001B");
    ch.Save(img);
    const std::string file = dir.File("esc.R57");
    ASSERT_TRUE(HDataFile::Write(file, img).Ok());

    CliResult text = Cli({"info", file}, dir);
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.find('\x1b'), std::string::npos);
    EXPECT_NE(text.out.find("Group 1 \\u001b[2JX"), std::string::npos) << text.out;
    // Told apart from the escape: the tag's own backslash is doubled.
    EXPECT_NE(text.out.find("    1 A\\\\U001B\n"), std::string::npos) << text.out;
    // The JSON output keeps every byte of a text as a character:
    // CliCommandLine.JsonOutputsParseAndKeepEveryByteOfAText.
}

TEST(CliImage, ControlCharactersFromFilesNeverReachTheTerminal) {
    // Escape sequences, a bell and a NUL in a channel list's cell, in a value
    // for set, and in a backup's file name: shown escaped, none cut short.
    TempDir dir;
    const std::string file = dir.File("a.R57");
    ASSERT_TRUE(HDataFile::Write(file, BuildDefaultImage()).Ok());
    dir.Write("sheet.csv", std::string("Chn;TAG;FREQUENCY Receive\n2;A\x1b[2J\x07"
                                       "B") +
                               '\0' + "C;147.00000\n");
    const CliResult import = Cli({"import", file, dir.File("sheet.csv"), "--dry-run"}, dir);
    const CliResult set = Cli(
        {"set", file, "power_saving.beep_level=\x1b]0;x\x07\x7f", "-o", dir.File("b.R57")}, dir);
    std::filesystem::create_directories(dir.File("backups"));
    dir.Write("backups/x\x1b[2J\x07_20261207-051500.R57", "");
    setenv("RP57_HOME", dir.Path().c_str(), 1);
    const CliResult backups = Cli({"backups"}, dir);
    unsetenv("RP57_HOME");
    const struct {
        const char* what;
        const std::string& shown;
        std::string escaped;
    } cases[] = {
        {"import", import.err, "TAG does not take \"A\\u001b[2J\\u0007B\\u0000C\""},
        {"set", set.err, "power_saving.beep_level: \"\\u001b]0;x\\u0007\\u007f\" is not allowed"},
        {"backups", backups.out, "x\\u001b[2J\\u0007_20261207-051500.R57\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.shown.find_first_of(std::string("\x1b\x07\0", 3)), std::string::npos) << c.what;
        EXPECT_NE(c.shown.find(c.escaped), std::string::npos) << c.what << ": " << c.shown;
    }
    // A message of several lines keeps its line breaks; the file's name is escaped.
    dir.Write("odd\x1b.R57", "x");
    const CliResult info = Cli({"info", dir.File("odd\x1b.R57")}, dir);
    EXPECT_EQ(info.status, 2);
    EXPECT_EQ(info.err, "rp57cli: The File cannot be Opened.\nThe File's format is invalid or not "
                        "Supported\nFile Name = " +
                            dir.Path() +
                            "/odd\\u001b.R57\nThe file holds 1 bytes; a data file holds "
                            "exactly 12703 bytes.\n");
}

TEST(CliImage, BadInputExitsWithTwoAndWritesNothing) {
    TempDir dir;
    // A wrong size (each size is the data file reader's test) and a missing file.
    dir.Write("short.R57", std::string(kImageSize - 1, '\0'));
    CliResult r = Cli({"info", dir.File("short.R57")}, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("The File cannot be Opened."), std::string::npos) << r.err;
    // What was wrong, in the size found and the size a data file has.
    EXPECT_NE(r.err.find("12703 bytes"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
    r = Cli({"info", dir.File("missing.R57")}, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Problem opening file"), std::string::npos);
    EXPECT_EQ(Cli({"info"}, dir).status, 2);
    EXPECT_EQ(Cli({"info", "--yaml", dir.File("short.R57")}, dir).status, 2);

    // Unknown band, missing -o: no file appears (product and LCD type: CliCommandLine).
    const std::string out = dir.File("new.R57");
    for (std::vector<std::string> args :
         {std::vector<std::string>{"new", "-o", out, "--band", "SHF"},
          std::vector<std::string>{"new", "-o", out, "--band", "1"},
          std::vector<std::string>{"new", "-o", out, "--band"},
          std::vector<std::string>{"new", "--band", "VHF"}}) {
        r = Cli(args, dir);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_FALSE(r.err.empty());
        EXPECT_FALSE(dir.Exists("new.R57"));
    }
    // An existing file is kept unless --force is given.
    dir.Write("new.R57", "keep");
    EXPECT_EQ(Cli({"new", "-o", out}, dir).status, 2);
    EXPECT_EQ(dir.Read("new.R57"), "keep");
    EXPECT_EQ(Cli({"new", "-o", out, "--force"}, dir).status, 0);
    EXPECT_EQ(dir.Read("new.R57").size(), kImageSize);
}
