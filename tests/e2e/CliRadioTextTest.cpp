// rp57cli dump and load: a radio as text and back, a bad hand edit refused by
// its key.
#include "CliRun.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The text with the first `from` after `after` replaced by `to`.
std::string ReplaceAfter(std::string text, const std::string& after, const std::string& from,
                         const std::string& to) {
    const std::size_t at = text.find(from, text.find(after));
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

TEST(CliRadioText, DumpLoadRoundTripAndARefusedHandEdit) {
    TempDir dir;
    const std::string radio = dir.File("radio.R57");
    const std::string json = dir.File("radio.json");
    ASSERT_EQ(Cli({"new", "-o", radio, "--band", "UHF-A", "--product", "handheld"}, dir).status, 0);
    CliResult r = Cli({"dump", radio, "-o", json}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    r = Cli({"load", json, "-o", dir.File("back.R57")}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadText(dir.File("back.R57")), ReadText(radio));

    // A hand edit goes through its setting's rules (RadioText's tests, case by
    // case): one refused, by its key, and nothing written.
    const std::string text = ReadText(json);
    const CliResult before = Cli({"get", radio, "hardware.chan_step"}, dir);
    ASSERT_EQ(before.status, 0) << before.err;
    const std::string shown = before.out.substr(0, before.out.find('\n'));
    dir.Write("bad.json",
              ReplaceAfter(text, "\"hardware.chan_step\"", "\"" + shown + "\"", "\"3 kHz\""));
    r = Cli({"load", dir.File("bad.json"), "-o", dir.File("bad.R57")}, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("hardware.chan_step"), std::string::npos) << r.err;
    EXPECT_FALSE(std::ifstream(dir.File("bad.R57")).good());
}
