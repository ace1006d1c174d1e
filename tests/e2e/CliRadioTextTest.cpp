// rp57cli dump and load: a radio as text and back, a hand edit reaching the
// data file through its setting's rules, a bad one refused by its key.
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

TEST(CliRadioText, DumpLoadRoundTripAndAHandEdit) {
    TempDir dir;
    const std::string radio = dir.File("radio.R57");
    const std::string json = dir.File("radio.json");
    ASSERT_EQ(Cli({"new", "-o", radio, "--band", "UHF-A", "--product", "handheld"}, dir).status, 0);
    CliResult r = Cli({"dump", radio, "-o", json}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    r = Cli({"load", json, "-o", dir.File("back.R57")}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadText(dir.File("back.R57")), ReadText(radio));

    // The channel step as a technician would change it in the text.
    const std::string text = ReadText(json);
    const CliResult before = Cli({"get", radio, "hardware.chan_step"}, dir);
    ASSERT_EQ(before.status, 0) << before.err;
    const std::string shown = before.out.substr(0, before.out.find('\n'));
    const std::string other = shown == "10,12.5kHz" ? "5,6.25kHz" : "10,12.5kHz";
    dir.Write("edited.json", ReplaceAfter(text, "\"hardware.chan_step\"", "\"" + shown + "\"",
                                          "\"" + other + "\""));
    r = Cli({"load", dir.File("edited.json"), "-o", dir.File("edited.R57")}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    r = Cli({"get", dir.File("edited.R57"), "hardware.chan_step"}, dir);
    EXPECT_EQ(r.out, other + "\n");

    dir.Write("bad.json",
              ReplaceAfter(text, "\"hardware.chan_step\"", "\"" + shown + "\"", "\"3 kHz\""));
    r = Cli({"load", dir.File("bad.json"), "-o", dir.File("bad.R57")}, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("hardware.chan_step"), std::string::npos) << r.err;
    EXPECT_FALSE(std::ifstream(dir.File("bad.R57")).good());

    // A cell of a group the image does not have, a band no image holds.
    const std::string moved = ReplaceAfter(text, "\"channels\"", "\"1\": {", "\"2\": {");
    ASSERT_NE(moved, text);
    const std::string band = ReplaceAfter(text, "\"model\"", "\"band\": 2", "\"band\": 2.5");
    ASSERT_NE(band, text);
    for (const auto& [edited, key] : {std::pair{moved, "channels.2.1.W/N: no such cell "
                                                       "(channel 1 lies in group 1)"},
                                      std::pair{band, "model.band: 2.5 is no whole number"}}) {
        dir.Write("odd.json", edited);
        r = Cli({"load", dir.File("odd.json"), "-o", dir.File("odd.R57")}, dir);
        EXPECT_EQ(r.status, 2) << key;
        EXPECT_NE(r.err.find(key), std::string::npos) << r.err;
        EXPECT_FALSE(std::ifstream(dir.File("odd.R57")).good());
    }
}
