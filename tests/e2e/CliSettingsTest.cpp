// rp57cli show / get / set end to end: the built tool on real files.
#include "CliRun.h"
#include "TempDir.h"

#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HHardwareGroup.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace {

std::string WriteDefault(const TempDir& dir, const std::string& name) {
    const std::string file = dir.File(name);
    EXPECT_TRUE(HDataFile::Write(file, BuildDefaultImage()).Ok());
    return file;
}

HMemoryImage ReadBack(const std::string& file) {
    HMemoryImage image{};
    EXPECT_TRUE(HDataFile::Read(file, image).Ok()) << file;
    return image;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace

TEST(CliSettings, ShowGetAndSetAgreeAndReachTheImage) {
    TempDir dir;
    const std::string in = WriteDefault(dir, "in.R57");
    const std::string out = dir.File("out.R57");

    CliResult r = Cli({"show", in, "power_saving"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("[power_saving]\npower_saving.transmit_timer = 3   min\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("[scanning]"), std::string::npos);

    // A list entry's text in any case with blanks round it; what one would type.
    r = Cli({"set", in, "power_saving.mic_gain= +6DB ", "power_saving.power_on_tag=HELLO",
             "emergency.dtmf_emergency_code=12a*#", "-o", out},
            dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const HMemoryImage image = ReadBack(out);
    EXPECT_EQ(image[677], 160); // +6dB
    EXPECT_EQ(std::string(image.begin() + 1024, image.begin() + 1029), "HELLO");
    EXPECT_EQ(image[778] >> 4, 5); // digit count of "12A*#"

    r = Cli({"get", out, "power_saving.mic_gain"}, dir);
    EXPECT_EQ(r.out, "+6dB\n");
    r = Cli({"get", out, "emergency.dtmf_emergency_code"}, dir);
    EXPECT_EQ(r.out, "12A*#\n");

    r = Cli({"show", out, "power_saving", "--json"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"power_saving.mic_gain\":{\"label\":\"MIC Gain\",\"value\":\"+6dB\","
                         "\"code\":160}"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"power_saving.power_on_tag\":{\"label\":\"Power ON Tag\",\"value\":"
                         "\"HELLO   \",\"code\":null}"), // as the edit shows it, padded
              std::string::npos);
}

TEST(CliSettings, BadKeysValuesAndLevelsExitTwoAndWriteNothing) {
    TempDir dir;
    const std::string in = WriteDefault(dir, "in.R57");
    const std::string out = dir.File("out.R57");
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    const std::vector<Case> cases = {
        {{"power_saving.mic=1"}, "power_saving.mic_gain"},
        {{"power_saving.mic_gain=+7dB"}, "\"+10dB\", \"+6dB\""},
        {{"power_saving.beep_level=16"}, "from 0 to 15"},
        {{"power_saving.power_on_tag=TOO-LONG-TAG"}, "up to 8 letters, digits and"},
        // Each edit's own refusals are the editors' tests; one grid cell here.
        {{"paging_code.1.code=12"}, "exactly 3 of 0-9 and A-D"},
        // Disabled at the ordinary level, hidden there too.
        {{"hardware.ref_xtal=12.8"}, "cannot be changed at this access level"},
        {{"hardware.acont_timing=3"}, "cannot be changed"},
        // A good change before a bad one is not written either.
        {{"scanning.talk_back=off", "scanning.talk_back=maybe"}, "scanning.talk_back"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"set", in};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.end(), {"-o", out});
        const CliResult r = Cli(args, dir);
        EXPECT_EQ(r.status, 2) << c.args.back();
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_FALSE(Exists(out)) << c.args.back();
    }
    EXPECT_EQ(Cli({"get", in, "nosuch.key"}, dir).status, 2);
    EXPECT_EQ(Cli({"show", in, "nosuch"}, dir).status, 2);
    EXPECT_EQ(ReadBack(in), BuildDefaultImage());
}

TEST(CliSettings, RaisedLevelsBandChangesUnwritableOutputAndUnchangedFiles) {
    TempDir dir;
    const std::string in = WriteDefault(dir, "in.R57");
    const std::string out = dir.File("out.R57");

    // Level 1 opens the crystal edit (the rows OK derives from it: CommonEditorsTest).
    CliResult r = Cli({"set", in, "hardware.ref_xtal=12.8", "--level", "1", "-o", out}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    HHardwareGroup hw;
    hw.Load(ReadBack(out));
    EXPECT_EQ(hw.GetRow(HHardwareGroup::kRowRefXtal), 2560);

    // The band works as the dialog's Yes: a new image for the new model.
    r = Cli({"set", in, "hardware.freq_band=uhf a", "--level", "1", "-o", out}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBack(out), MakeImageForModel(kBandUhfA, kProductMobile, 1));

    // An output that cannot be written: exit 1, the input untouched.
    r = Cli({"set", in, "scanning.talk_back=off", "-o", dir.File("missing/out.R57")}, dir);
    EXPECT_EQ(r.status, 1) << r.err;

    // Setting what the file already holds does not rewrite it.
    const std::string same = WriteDefault(dir, "same.R57");
    struct stat before {};
    ASSERT_EQ(::stat(same.c_str(), &before), 0);
    r = Cli({"set", same, "power_saving.mic_gain=standard", "-o", same}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    struct stat after {};
    ASSERT_EQ(::stat(same.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino); // a write replaces the file with a new one
}

TEST(CliSettings, RowsNoDialogShowsAreReadByKeyButNeitherShownNorSet) {
    TempDir dir;
    HMemoryImage image = BuildDefaultImage();
    image[668] = 0x5A; // key function rows 24 (high nibble) and 25 (low nibble)
    const std::string in = dir.File("in.R57");
    ASSERT_TRUE(HDataFile::Write(in, image).Ok());

    CliResult r = Cli({"get", in, "key_function.row_24"}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "5\n");
    r = Cli({"get", in, "key_function.row_25"}, dir);
    EXPECT_EQ(r.out, "10\n");

    // Neither in the text nor in the JSON: no dialog shows them.
    r = Cli({"show", in, "key_function"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("row_"), std::string::npos) << r.out;
    r = Cli({"show", in, "--json"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("row_"), std::string::npos);

    const std::string out = dir.File("out.R57");
    r = Cli({"set", in, "key_function.row_24=3", "-o", out}, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("key_function.row_24 is a row that no dialog shows"), std::string::npos)
        << r.err;
    EXPECT_FALSE(Exists(out));
}

TEST(CliSettings, AnEditOfBytesTheAdjustmentChecksumCoversKeepsASoundChecksumSound) {
    // Byte 33 holds Hardware rows 0-3 and adjustment value 27, which the
    // working checksum covers. Set (a file whose checksums are sound, and one
    // whose working checksum is damaged) and load (a hand-edited dump).
    TempDir dir;
    const std::string sound = WriteDefault(dir, "sound.R57");
    HMemoryImage damagedImage = BuildDefaultImage();
    damagedImage[4] ^= 0x5A;
    const std::string damaged = dir.File("damaged.R57");
    ASSERT_TRUE(HDataFile::Write(damaged, damagedImage).Ok());
    const std::string dump = dir.File("radio.json");
    ASSERT_EQ(Cli({"dump", sound, "-o", dump}, dir).status, 0);
    std::string text;
    {
        std::ifstream in(dump);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string high = "\"hardware.mobile_tx_power\": \"High\"";
    ASSERT_NE(text.find(high), std::string::npos);
    text.replace(text.find(high), high.size(), "\"hardware.mobile_tx_power\": \"Middle\"");
    std::ofstream(dump) << text;

    const struct {
        const char* name;
        std::vector<std::string> args;
        bool sound;
    } rows[] = {
        {"set", {"set", sound, "hardware.mobile_tx_power=Middle", "--level", "2"}, true},
        {"set, damaged",
         {"set", damaged, "hardware.mobile_tx_power=Middle", "--level", "2"},
         false},
        {"load", {"load", dump}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string out = dir.File("out.R57");
        std::vector<std::string> args = row.args;
        args.insert(args.end(), {"-o", out});
        const CliResult r = Cli(args, dir);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(Cli({"get", out, "hardware.mobile_tx_power", "--level", "2"}, dir).out,
                  "Middle\n");
        const CliResult info = Cli({"info", out}, dir);
        EXPECT_NE(info.out.find(std::string("Adjustment checksum (working copy):     ") +
                                (row.sound ? "OK" : "BAD")),
                  std::string::npos)
            << info.out;
        EXPECT_NE(info.out.find("Adjustment checksum (shipping default): OK"), std::string::npos);
        // A sound file stays one a level 2 download takes.
        EXPECT_EQ(Cli({"check", out, "--level", "2"}, dir).status, row.sound ? 0 : 1);
        // Only the checksum follows: nothing but bytes 4 and 5 and byte 33 moved.
        const HMemoryImage before = ReadBack(row.sound ? sound : damaged);
        const HMemoryImage after = ReadBack(out);
        for (std::size_t i = 0; i < 0x22; ++i) {
            if (i != 4 && i != 5 && i != 33) {
                EXPECT_EQ(after[i], before[i]) << "byte " << i;
            }
        }
    }
}
