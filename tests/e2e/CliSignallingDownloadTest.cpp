// rp57cli download sends the radio the tables the active signalling family's
// editors compile (the same step the program's Download takes), over the
// simulated radio on a pseudo-terminal.
#include "CliRun.h"
#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HSignallingSteps.h"
#include "link/LinkTestUtil.h"

#include <gtest/gtest.h>

#include <random>

#if defined(RP57_RADIO_SIM) && defined(RP57CLI_PATH)

namespace {

using namespace linktest;

TEST(CliSignallingDownload, TheRadioGetsTheTablesTheActiveEditorsCompile) {
    for (const HSignallingMode mode : {HSignallingMode::TwoTone, HSignallingMode::FiveTone}) {
        SCOPED_TRACE(mode == HSignallingMode::TwoTone ? "2-tone" : "5-tone");
        TempHome home;
        // Tables as another program or a hand edit may leave them: random
        // bytes over the shared signalling areas.
        HMemoryImage image = BuildDefaultImage();
        image[2] = 5; // production code: mobile
        image[3] = 0;
        std::mt19937 rng(static_cast<unsigned>(mode) + 40);
        for (std::size_t i = 0x1C80; i < 0x2680; ++i)
            image[i] = static_cast<std::uint8_t>(rng());
        image[0x2A4] = static_cast<std::uint8_t>((image[0x2A4] & ~0x10) |
                                                 (mode == HSignallingMode::TwoTone ? 0x10 : 0));
        HMemoryImage compiled = image;
        HSignallingSteps::WriteCompiledTables(compiled, mode);
        std::vector<std::size_t> derived;
        for (std::size_t i = 0x1C80; i < 0x2680; ++i)
            if (compiled[i] != image[i])
                derived.push_back(i);
        ASSERT_FALSE(derived.empty()) << "the family compiles nothing from these tables";

        const std::string file = home.Path("stale.r57");
        ASSERT_TRUE(HDataFile::Write(file, image).Ok());
        HMemoryImage factory = BuildDefaultImage();
        factory[2] = 5;
        factory[3] = 0;
        SimRadio radio(home, {}, &factory);
        ASSERT_TRUE(radio.Started());
        const CliResult down =
            RunTool(RP57CLI_PATH,
                    {"download", "--port", radio.Link(), file, "--force", "--password", "481736"},
                    home.Dir());
        ASSERT_EQ(down.status, 0) << down.out << down.err;
        const HMemoryImage after = radio.StopAndRead();
        std::string wrong;
        for (std::size_t i : derived)
            if (after[i] != compiled[i] && wrong.size() < 200)
                wrong += " " + std::to_string(i);
        EXPECT_EQ(wrong, "") << "compiled bytes the radio did not get";
        // The file itself is left as it was.
        EXPECT_EQ(ReadImage(file), image);
    }
}

} // namespace

#endif
