// rp57cli export and print on real data files; the PDF read back with
// poppler's pdftotext and pdfinfo.
#include "CliRun.h"
#include "TempDir.h"

#include "HChannels.h"
#include "HDataFile.h"
#include "HDefaultImage.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <regex>
#include <sstream>

namespace {

// A 5-tone image with `inUse` channels in one group.
HMemoryImage ImageWith(int inUse, bool twoTone) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    HChannels m;
    m.Load(image);
    for (int g = 0; g < 8; ++g)
        m.SetGroupValue(g, HChannelTables::kGroupChannels, g == 0 ? inUse : 0);
    m.NormalizeGroups();
    for (int c = 0; c < inUse; ++c) {
        m.SetField(c, HChannelTables::kFieldInUse, 1);
        m.SetFrequency(c, 0, 140000000 + 25000LL * c);
        m.SetFrequency(c, 1, 140000000 + 25000LL * c);
    }
    m.Save(image);
    HChannelSignalling signalling;
    signalling.Load(image);
    signalling.SetValue(HChannelSignalling::kSignallingType, twoTone ? 1 : 0);
    signalling.Save(image);
    return image;
}

std::string WriteImage(const TempDir& dir, const char* name, const HMemoryImage& image) {
    const std::string path = dir.File(name);
    EXPECT_TRUE(HDataFile::Write(path, image).Ok());
    return path;
}

// A poppler tool's standard output.
std::string Poppler(const std::string& tool, const std::vector<std::string>& args,
                    const TempDir& dir) {
    const CliResult r = RunTool("/usr/bin/" + tool, args, dir.Path());
    EXPECT_EQ(r.status, 0) << tool << ": " << r.err;
    return r.out;
}

int PageCount(const std::string& pdf, const TempDir& dir) {
    std::smatch m;
    const std::string info = Poppler("pdfinfo", {pdf}, dir);
    const std::regex pages("Pages:\\s+(\\d+)");
    return std::regex_search(info, m, pages) ? std::stoi(m[1]) : -1;
}

std::vector<std::string> PagesText(const std::string& pdf, const TempDir& dir) {
    const std::string text = Poppler("pdftotext", {"-layout", pdf, "-"}, dir);
    std::vector<std::string> pages;
    std::string page;
    for (char ch : text) {
        if (ch == '\f') {
            pages.push_back(page);
            page.clear();
        } else {
            page += ch;
        }
    }
    return pages;
}

int CountMatches(const std::string& text, const std::regex& re) {
    return static_cast<int>(
        std::distance(std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator()));
}

// A channel line: the number, the priority tick, the bandwidth, then the
// receive and transmit frequencies.
const std::regex kChannelLine(R"((^|\n)\s*\d{1,3} [v-] (N|W5|W4) .*\d{3}\.\d{5})");

} // namespace

TEST(CliReport, ExportWritesTheCsvAndKeepsTheOldFileOnFailure) {
    TempDir dir;
    const std::string file = WriteImage(dir, "shop.R57", ImageWith(3, false));
    const std::string out = dir.File("shop.csv");
    CliResult r = Cli({"export", file, "-o", out}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string csv = dir.Read("shop.csv");
    EXPECT_EQ(csv.rfind("\"***  Orvane Systems OR3200/3100 SERIES  ***\",\"\"\n"
                        "\"File Name\",\"shop.R57\"\n",
                        0),
              0u);
    EXPECT_NE(csv.find("\"***CHANNEL DATA***\",\"\"\n"), std::string::npos);
    EXPECT_NE(csv.find("\"  3\","), std::string::npos);

    // A file size limit stops the write half way: the old file stays whole.
    dir.Write("old.csv", "old\n");
    const CliResult limited = RunTool("/bin/sh",
                                      {"-c", "ulimit -f 1; exec \"$0\" export \"$1\" -o \"$2\"",
                                       RP57CLI_PATH, file, dir.File("old.csv")},
                                      dir.Path());
    EXPECT_EQ(limited.status, 1) << limited.err;
    EXPECT_NE(limited.err.find("Problem writing to file"), std::string::npos) << limited.err;
    EXPECT_EQ(dir.Read("old.csv"), "old\n");
    EXPECT_GT(csv.size(), 1024u); // more than the limit allowed
}

TEST(CliReport, BadInputExitsTwoAndWritesNothing) {
    TempDir dir;
    const std::string file = WriteImage(dir, "ok.R57", ImageWith(1, true));
    dir.Write("short.R57", "not an image");
    dir.Write("keep.csv", "keep\n");
    struct Case {
        const char* what;
        std::vector<std::string> args;
    };
    const std::vector<Case> cases = {
        {"export: missing data file", {"export", dir.File("none.R57"), "-o", dir.File("keep.csv")}},
        {"export: not a data file", {"export", dir.File("short.R57"), "-o", dir.File("keep.csv")}},
        {"export: no output", {"export", file}},
        {"export: output in a missing directory", {"export", file, "-o", dir.File("no/x.csv")}},
        {"export: bad level", {"export", file, "-o", dir.File("keep.csv"), "--level", "3"}},
        {"print: missing data file", {"print", dir.File("none.R57"), "--pdf", dir.File("k.pdf")}},
        {"print: no output", {"print", file}},
        {"print: bad page size", {"print", file, "--pdf", dir.File("k.pdf"), "--page-size", "A9"}},
        {"print: output in a missing directory", {"print", file, "--pdf", dir.File("no/k.pdf")}},
    };
    for (const Case& c : cases) {
        const CliResult r = Cli(c.args, dir);
        EXPECT_EQ(r.status, 2) << c.what << "\n" << r.err;
        EXPECT_FALSE(r.err.empty()) << c.what;
    }
    EXPECT_EQ(dir.Read("keep.csv"), "keep\n");
    EXPECT_FALSE(dir.Exists("k.pdf"));
}

TEST(CliReport, PrintWritesThePlannedPagesWithEveryChannelLine) {
    // The plan itself is PrintReport's; here that it reaches the PDF whole.
    TempDir dir;
    const std::string file = WriteImage(dir, "full.R57", ImageWith(128, false));
    const std::string pdf = dir.File("full.pdf");
    const CliResult r = Cli({"print", file, "--pdf", pdf}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const int pages = PageCount(pdf, dir);
    EXPECT_NE(r.out.find(std::to_string(pages) + " pages"), std::string::npos) << r.out;
    const std::vector<std::string> text = PagesText(pdf, dir);
    ASSERT_EQ(static_cast<int>(text.size()), pages);
    // Channel lines only on the last two pages, at most 64 on each.
    int channels = 0;
    for (int page = 0; page < pages; ++page) {
        const int lines = CountMatches(text[page], kChannelLine);
        EXPECT_EQ(lines > 0, page >= pages - 2) << "page " << page;
        EXPECT_LE(lines, 64) << "page " << page;
        channels += lines;
    }
    EXPECT_EQ(channels, 128);
}

TEST(CliReport, NoLinePassesTheRightMargin) {
    TempDir dir;
    const std::string file = WriteImage(dir, "wide.R57", ImageWith(70, true));
    for (const char* size : {"A4", "A5", "Letter"}) {
        const std::string pdf = dir.File("wide.pdf");
        const CliResult r = Cli({"print", file, "--pdf", pdf, "--page-size", size}, dir);
        ASSERT_EQ(r.status, 0) << r.err;
        // Every word's box, in points, and the page's width.
        const std::string html = Poppler("pdftotext", {"-bbox", pdf, "-"}, dir);
        std::smatch m;
        ASSERT_TRUE(std::regex_search(html, m, std::regex(R"re(<page width="([\d.]+)")re")));
        const double width = std::stod(m[1]);
        const double margin = 10.0 / 25.4 * 72.0; // 10 mm
        const std::regex word(R"re(<word xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)")re");
        int words = 0;
        double widest = 0;
        for (auto it = std::sregex_iterator(html.begin(), html.end(), word);
             it != std::sregex_iterator(); ++it) {
            ++words;
            widest = std::max(widest, std::stod((*it)[2]));
        }
        EXPECT_GT(words, 1000) << size;
        EXPECT_LE(widest, width - margin + 0.5) << size << ": a word ends at " << widest;
    }
}
