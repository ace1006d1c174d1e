// rp57cli's command line as a whole: help, version, parse errors and the JSON
// outputs, read back with a JSON parser.
#include "CliRun.h"
#include "TempDir.h"

#include "HChannels.h"
#include "HDataFile.h"
#include "HDefaultImage.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace {

const std::vector<std::string> kCommands = {"info", "new",    "show",     "get",
                                            "set",  "upload", "download", "align"};

} // namespace

TEST(CliCommandLine, HelpListsEveryCommandAndEachCommandHasItsOwn) {
    TempDir dir;
    const CliResult all = Cli({"--help"}, dir);
    EXPECT_EQ(all.status, 0);
    EXPECT_TRUE(all.err.empty()) << all.err;
    for (const std::string& c : kCommands) {
        EXPECT_NE(all.out.find("\n  " + c + " "), std::string::npos) << c;
        const CliResult own = Cli({c, "--help"}, dir);
        EXPECT_EQ(own.status, 0) << c;
        EXPECT_NE(own.out.find("rp57cli " + c), std::string::npos) << c << own.out;
    }
    EXPECT_NE(all.out.find("Exit status: 0 done, 1 the operation failed, 2 bad input"),
              std::string::npos);
    EXPECT_EQ(Cli({"-h"}, dir).status, 0);

    const CliResult version = Cli({"--version"}, dir);
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("rp57cli ")) << version.out;
    EXPECT_NE(version.out.find("(file version "), std::string::npos) << version.out;
}

TEST(CliCommandLine, ParseErrorsExitTwoAndNameTheCommand) {
    TempDir dir;
    const std::string file = dir.File("in.R57");
    ASSERT_TRUE(HDataFile::Write(file, BuildDefaultImage()).Ok());

    const CliResult none = Cli({}, dir);
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("  info FILE"), std::string::npos) << "the help follows";

    EXPECT_EQ(Cli({"frobnicate"}, dir).status, 2);

    // An option no command has: refused by every command, which names itself
    // and shows its usage.
    for (const std::string& c : kCommands) {
        const CliResult r = Cli({c, file, "--no-such-option"}, dir);
        EXPECT_EQ(r.status, 2) << c;
        EXPECT_TRUE(r.err.starts_with("rp57cli: " + c + ": ")) << r.err;
        EXPECT_NE(r.err.find("usage:\n  " + c), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << c << r.out;
    }

    const struct {
        std::vector<std::string> args;
        std::string says;
    } cases[] = {
        {{"get", file}, "KEY"},
        {{"get", file, "power_saving.mic_gain", "scanning.talk_back"}, "scanning.talk_back"},
        {{"show", file, "power_saving", "scanning"}, "scanning"},
        {{"show", file, "--level", "3"}, "--level"},
        {{"set", file, "scanning.talk_back=off"}, "-o"},
        {{"set", file, "-o", dir.File("out.R57")}, "KEY=VALUE"},
        {{"info", file, dir.File("other.R57")}, "other.R57"},
        {{"new", "-o", dir.File("out.R57"), "--lcd", "2"}, "--lcd"},
        {{"new", "-o", dir.File("out.R57"), "--product", "desk"}, "--product"},
        {{"upload", "--port", "p", "-o", dir.File("out.R57"), "--baud", "0"}, "--baud"},
        {{"download", "--port", "p"}, "FILE"},
        {{"align", "--port", "p", "tune"}, "tune"},
        {{"align", "basic"}, "--port"},
    };
    for (const auto& c : cases) {
        const CliResult r = Cli(c.args, dir);
        EXPECT_EQ(r.status, 2) << c.args.front() << " " << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    EXPECT_FALSE(dir.Exists("out.R57"));
}

TEST(CliCommandLine, JsonOutputsParseAndKeepEveryByteOfAText) {
    TempDir dir;
    HMemoryImage img = BuildDefaultImage();
    HChannels ch;
    ch.Load(img);
    ch.SetGroupTag(0, "\xC5\x7F\"\\Z");
    ch.Save(img);
    const std::string file = dir.File("odd.R57");
    ASSERT_TRUE(HDataFile::Write(file, img).Ok());

    const CliResult info = Cli({"info", "--json", file}, dir);
    ASSERT_EQ(info.status, 0) << info.err;
    for (const char c : info.out)
        EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << int(static_cast<unsigned char>(c));
    const nlohmann::json parsed = nlohmann::json::parse(info.out);
    EXPECT_EQ(parsed["model"]["bandName"], "VHF");
    // Each byte of the tag is the character of its value.
    EXPECT_EQ(parsed["groups"][0]["tag"], "\u00C5\u007F\"\\Z");
    EXPECT_EQ(parsed["groups"][0]["group"], 1);
    EXPECT_TRUE(parsed["checksums"]["working"].is_boolean());

    // show --json holds what the text output shows, key for key.
    const std::string plain = dir.File("plain.R57");
    ASSERT_TRUE(HDataFile::Write(plain, BuildDefaultImage()).Ok());
    const CliResult text = Cli({"show", plain}, dir);
    const CliResult json = Cli({"show", plain, "--json"}, dir);
    ASSERT_EQ(text.status, 0) << text.err;
    ASSERT_EQ(json.status, 0) << json.err;
    const nlohmann::json sections = nlohmann::json::parse(json.out);
    std::size_t lines = 0;
    std::string section;
    std::istringstream in(text.out);
    for (std::string line; std::getline(in, line);) {
        if (line.empty())
            continue;
        if (line.front() == '[') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        ++lines;
        const std::string key = line.substr(0, line.find(" = "));
        const std::string value = line.substr(line.find(" = ") + 3);
        ASSERT_TRUE(sections.contains(section)) << section;
        ASSERT_TRUE(sections[section].contains(key)) << key;
        EXPECT_EQ(sections[section][key]["value"], value) << key;
        EXPECT_TRUE(sections[section][key]["label"].is_string()) << key;
        const nlohmann::json& code = sections[section][key]["code"];
        EXPECT_TRUE(code.is_null() || code.is_number_integer()) << key;
    }
    std::size_t keys = 0;
    for (const auto& [name, members] : sections.items())
        keys += members.size();
    EXPECT_EQ(keys, lines);
    EXPECT_GT(lines, 100u);
}
