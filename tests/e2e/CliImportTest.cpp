// rp57cli import on real data files: the program's own export read back,
// the change list on stdout, rows skipped by line, and outputs that are
// written whole or not at all.
#include "CliRun.h"
#include "TempDir.h"

#include "HChannels.h"
#include "HDataFile.h"
#include "HDefaultImage.h"

#include <gtest/gtest.h>

namespace {

// A mobile image with `inUse` channels in two groups, tags and frequencies
// of their own.
HMemoryImage Fleet(int inUse) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    HChannels m;
    m.Load(image);
    for (int g = 0; g < 8; ++g)
        m.SetGroupValue(g, HChannelTables::kGroupChannels, g < 2 ? inUse / 2 : 0);
    m.NormalizeGroups();
    for (int c = 0; c < inUse; ++c) {
        m.SetField(c, HChannelTables::kFieldInUse, 1);
        m.SetFrequency(c, 0, 146000000 + 25000LL * c);
        m.SetFrequency(c, 1, 146600000 + 25000LL * c);
        m.SetTag(c, "CH" + std::to_string(c + 1));
    }
    m.Save(image);
    return image;
}

std::string Write(const TempDir& dir, const char* name, const HMemoryImage& image) {
    const std::string path = dir.File(name);
    EXPECT_TRUE(HDataFile::Write(path, image).Ok());
    return path;
}

HChannels Channels(const std::string& path) {
    HMemoryImage image{};
    EXPECT_TRUE(HDataFile::Read(path, image).Ok()) << path;
    HChannels m;
    m.Load(image);
    return m;
}

} // namespace

TEST(CliImport, ExportThenImportGivesTheSameFile) {
    TempDir dir;
    const std::string data = Write(dir, "fleet.R57", Fleet(12));
    ASSERT_EQ(Cli({"export", data, "-o", dir.File("list.csv")}, dir).status, 0);
    const CliResult r = Cli({"import", data, dir.File("list.csv"), "-o", dir.File("out.R57")}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(dir.Read("out.R57"), dir.Read("fleet.R57"));
    EXPECT_NE(r.out.find("The channel list changes nothing"), std::string::npos) << r.out;
}

TEST(CliImport, ChangesListedRowsSkippedByLine) {
    TempDir dir;
    const std::string data = Write(dir, "fleet.R57", Fleet(12));
    const std::string original = dir.Read("fleet.R57");
    // A spreadsheet's own save: semicolons, a header row, no quotes.
    dir.Write("sheet.csv", "Chn;TAG;FREQUENCY Receive\n"
                           "2;GATE;147.00000\n"
                           "3;;not a frequency\n"
                           "8;DOCK;146.50000\n");
    const CliResult r =
        Cli({"import", data, dir.File("sheet.csv"), "-o", dir.File("out.R57")}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Channel 2, FREQUENCY Receive: 146.02500 -> 147.00000\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Channel 8, TAG: CH8 -> DOCK\n"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("Line 3: FREQUENCY Receive does not take \"not a frequency\""),
              std::string::npos)
        << r.err;
    const HChannels m = Channels(dir.File("out.R57"));
    EXPECT_EQ(m.GetFrequency(1, 0), 147000000);

    // --strict: the same file writes nothing.
    const CliResult strict =
        Cli({"import", data, dir.File("sheet.csv"), "-o", dir.File("strict.R57"), "--strict"}, dir);
    EXPECT_EQ(strict.status, 2);
    EXPECT_FALSE(dir.Exists("strict.R57"));

    // --dry-run: the list, no file.
    const CliResult dry = Cli({"import", data, dir.File("sheet.csv"), "--dry-run"}, dir);
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_NE(dry.out.find("Channel 8, TAG: CH8 -> DOCK"), std::string::npos);
    EXPECT_EQ(dir.Read("fleet.R57"), original);
}

TEST(CliImport, BadInputExitsTwoAndLeavesTheOutputAsItWas) {
    TempDir dir;
    const std::string data = Write(dir, "fleet.R57", Fleet(4));
    dir.Write("out.R57", "previous content");
    dir.Write("notes.csv", "shopping,list\nmilk,2\n");
    const auto refused = [&](const std::vector<std::string>& args, const char* expected) {
        const CliResult r = Cli(args, dir);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_NE(r.err.find(expected), std::string::npos) << r.err;
        EXPECT_EQ(dir.Read("out.R57"), "previous content");
    };
    refused({"import", data, dir.File("notes.csv"), "-o", dir.File("out.R57")},
            "is not a channel list");
    refused({"import", data, dir.File("missing.csv"), "-o", dir.File("out.R57")},
            "The file does not exist.");
    refused({"import", dir.File("notes.csv"), dir.File("notes.csv"), "-o", dir.File("out.R57")},
            "The File cannot be Opened.");
    refused({"import", data, dir.File("notes.csv")}, "-o OUT");
}
