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

CliResult Cli(const std::vector<std::string>& args, const TempDir& dir) {
    return RunTool(RP57CLI_PATH, args, dir.Path());
}

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

    // The same export again is byte for byte the same.
    r = Cli({"export", file, "-o", dir.File("again.csv")}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(dir.Read("again.csv"), csv);

    // A full device: the write error is reported (status 1).
    r = Cli({"export", file, "-o", "/dev/full"}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Problem writing to file"), std::string::npos) << r.err;

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

TEST(CliReport, PrintMakesThePagePlanWithEveryChannelLine) {
    TempDir dir;
    std::vector<int> counts;
    for (const int inUse : {128, 1}) {
        const std::string file =
            WriteImage(dir, inUse == 128 ? "full.R57" : "one.R57", ImageWith(inUse, false));
        const std::string pdf = dir.File(inUse == 128 ? "full.pdf" : "one.pdf");
        const CliResult r = Cli({"print", file, "--pdf", pdf}, dir);
        ASSERT_EQ(r.status, 0) << r.err;
        const int pages = PageCount(pdf, dir);
        counts.push_back(pages);
        const std::vector<std::string> text = PagesText(pdf, dir);
        ASSERT_EQ(static_cast<int>(text.size()), pages);
        EXPECT_NE(r.out.find(std::to_string(pages) + " pages"), std::string::npos) << r.out;

        std::string all;
        for (const std::string& p : text)
            all += p;
        for (const char* title :
             {"Orvane Systems OR-3200/3100 SERIES", "COMMON DATA", "---Hardware Parameters---",
              "---Option Parameters---", "---Scan Parameters---", "---Power Saving Parameters---",
              "---Front Panel---", "---Key Function---", "---Emergency---", "---Miscellaneous---",
              "---Password---", "---DSUB-15---", "---Direct CH Parameters---", "Signalling DATA",
              "CHANNEL DATA"})
            EXPECT_NE(all.find(title), std::string::npos) << title;
        EXPECT_EQ(CountMatches(all, kChannelLine), inUse);

        // Channel lines only on the last pages, at most 64 on each.
        int channelPages = 0;
        for (const std::string& p : text) {
            const int lines = CountMatches(p, kChannelLine);
            EXPECT_LE(lines, 64);
            channelPages += lines > 0 ? 1 : 0;
        }
        EXPECT_EQ(channelPages, (inUse + 63) / 64);
        // pdftotext closes up runs of blanks: the heading's words in order.
        EXPECT_TRUE(std::regex_search(
            text.back(),
            std::regex(R"(Chn\s+i\s+N\s+TAG\s+Receive\s+Transmit\s+Dec\s+Enc\s+H\s+L)")))
            << text.back();
    }
    // Both have the same settings pages; 128 channels take one page more.
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_EQ(counts[0], counts[1] + 1);
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

TEST(CliReport, GridRecordsSetByKeyAreExportedAndPrinted) {
    TempDir dir;
    const std::string file = WriteImage(dir, "five.R57", ImageWith(2, false));
    const std::string changed = dir.File("changed.R57");
    CliResult r =
        Cli({"set", file, "five_tone_decode.3.decode_no=77", "five_tone_decode.3.tag=DEPOT",
             "five_tone_encode.32.encode_no=9876", "paging_code.10.code=A0B", "-o", changed},
            dir);
    ASSERT_EQ(r.status, 0) << r.err;

    r = Cli({"export", changed, "-o", dir.File("changed.csv")}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string csv = dir.Read("changed.csv");
    // Record rows of the tables: number, decode or encode number, tag.
    EXPECT_NE(csv.find("\n\"3\",\"77\",\"DEPOT\","), std::string::npos);
    EXPECT_NE(csv.find("\n\"32\",\"9876\","), std::string::npos);
    EXPECT_NE(csv.find("\n\"Page  0\",\"A0B\","), std::string::npos);
    // Nothing of the 2-tone tables in a 5-tone file.
    EXPECT_EQ(csv.find("2-Tone"), std::string::npos);
    EXPECT_EQ(csv.find("\"1st Tone\""), std::string::npos);

    const std::string pdf = dir.File("changed.pdf");
    r = Cli({"print", changed, "--pdf", pdf}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    std::string all;
    for (const std::string& p : PagesText(pdf, dir))
        all += p;
    for (const char* text : {"---5-Tone Decode---", "DEPOT", "9876", "A0B"})
        EXPECT_NE(all.find(text), std::string::npos) << text;
    EXPECT_EQ(all.find("2-Tone"), std::string::npos);
}
