// rp57cli align against the simulated radio: the unattended basic alignment
// steps, one line each, with the found values in the radio afterwards; and a
// recovery that the reliability test stops.
#include "CliRun.h"
#include "HAlignmentData.h"
#include "HDataFile.h"
#include "HDefaultFiles.h"
#include "HDefaultImage.h"
#include "HHardwareGroup.h"
#include "link/LinkTestUtil.h"

#include <gtest/gtest.h>

using namespace linktest;

namespace {

CliResult Align(const TempHome& home, const std::vector<std::string>& args) {
    std::vector<std::string> all{"align"};
    all.insert(all.end(), args.begin(), args.end());
    return RunTool(RP57CLI_PATH, all, home.Dir());
}

TEST(CliAlign, BasicAlignmentRunsItsStepsAndLeavesTheValuesInTheRadio) {
    TempHome home;
    HMemoryImage memory = BuildDefaultImage();
    memory[2] = 5;
    SimRadio radio(home, {}, &memory);
    const CliResult r = Align(home, {"--port", radio.Link(), "basic"});
    EXPECT_EQ(r.status, 0) << r.err;
    // The simulated radio locks at 225 (reading 185 at the high edge) and
    // peaks at tune values 40, 90 and 150 (give or take its flat top).
    EXPECT_TRUE(r.out.starts_with("start: done\nvcv-rx: 225\nvcv-tx: 225\nrx-tune-0: ")) << r.out;
    EXPECT_NE(r.out.find("\nend: done (Basic Alignment is Finished!)\n"), std::string::npos)
        << r.out;
    const HMemoryImage after = radio.StopAndRead();
    EXPECT_EQ(after[22], 225) << "RX VCV";
    EXPECT_EQ(after[23], 225) << "TX VCV";
    EXPECT_TRUE(HAlignmentData().VerifyChecksum(after));
    EXPECT_EQ(Word(after, 0xFF), 0xA55A);
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

TEST(CliAlign, RecoveryFromTheShippingDefaultTakesTheRestFromTheModelsDefaultFile) {
    TempHome home;
    HMemoryImage memory = BuildDefaultImage();
    memory[2] = 5;
    memory[0x1F6] = 0x00; // only the shipping default carries its mark
    memory[0x3104] = 0x06;
    memory[0x3105] = 0x10;
    HHardwareGroup hw;
    hw.Load(memory);
    HMemoryImage defaults = memory;
    defaults[0x60] = 0x77; // a byte the recovery takes from the default file
    const std::string name(HDefaultFiles::For(int(hw.GetValue(HHardwareGroup::kRowBand)),
                                              int(hw.GetValue(HHardwareGroup::kRowProductType))));
    ASSERT_TRUE(HDataFile::Write(home.Path(name), defaults).Ok());
    SimRadio radio(home, {}, &memory);
    const CliResult r =
        Align(home, {"--port", radio.Link(), "recover", "--file", home.Path("none.R57"), "--yes"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "read: done\nreliability: 2\nwrite: done (Adjustment Recovery Complete!)\n");
    const HMemoryImage after = radio.StopAndRead();
    EXPECT_EQ(after[0x60], 0x77);
    EXPECT_EQ(Word(after, 0xFB), 0x0610) << "the working copy's mark from the shipping default";
    EXPECT_TRUE(HAlignmentData().VerifyChecksum(after));
}

} // namespace
