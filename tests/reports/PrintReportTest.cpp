// The printed report's lines and sheets over real images.
#include "HChannelColumns.h"
#include "HDefaultImage.h"
#include "HEditorRegistry.h"
#include "HPrintReport.h"
#include "ReportImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

constexpr std::size_t kRoomy = 1000; // a sheet that holds any page

int SheetsOfPage(const std::vector<HPrintSheet>& sheets, int page) {
    return static_cast<int>(std::count_if(
        sheets.begin(), sheets.end(), [&](const HPrintSheet& s) { return s.planPage == page; }));
}

int ChannelLinesOn(const HPrintSheet& sheet) {
    // Channel lines start with the right-aligned channel number.
    return static_cast<int>(
        std::count_if(sheet.lines.begin(), sheet.lines.end(), [](const std::string& l) {
            return l.size() > 3 && l[2] >= '0' && l[2] <= '9';
        }));
}

bool Contains(const std::vector<std::string>& lines, std::string_view text) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

} // namespace

TEST(PrintReport, PagePlanIsFivePagesAndOneChannelPagePer64Channels) {
    struct Case {
        int inUse;
        int channelPages;
    };
    for (const Case c : {Case{128, 2}, Case{1, 1}, Case{64, 1}, Case{65, 2}}) {
        const HPrintReport report(ReportImage({.inUse = c.inUse}), {});
        const std::vector<HPrintSheet> sheets = report.Sheets(kRoomy);
        ASSERT_EQ(sheets.size(), 5u + static_cast<std::size_t>(c.channelPages)) << c.inUse;
        for (int page = 1; page <= 5; ++page)
            EXPECT_EQ(SheetsOfPage(sheets, page), 1) << c.inUse << " page " << page;
        int channels = 0;
        for (const HPrintSheet& s : sheets)
            if (s.planPage == HPrintReport::kFirstChannelPage) {
                EXPECT_LE(ChannelLinesOn(s), 64);
                channels += ChannelLinesOn(s);
            }
        EXPECT_EQ(channels, c.inUse);
    }
}

TEST(PrintReport, PagesHoldTheirSectionsInOrder) {
    const HPrintReport report(BuildDefaultImage(), {0, "/data/radios/shop.R57"});
    const std::vector<std::string>& first = report.SettingsPage(1);
    ASSERT_GE(first.size(), 4u);
    EXPECT_EQ(first[0],
              "                  ************  Orvane Systems OR-3200/3100 SERIES  ************");
    EXPECT_EQ(first[1], "        File Name      :  shop.R57                        ");
    const std::vector<std::string> titles = {
        "---Hardware Parameters---", "---Option Parameters---",
        "---Scan Parameters---",     "---Power Saving Parameters---",
        "---Front Panel---",         "---Key Function---",
        "---Emergency---",           "---Miscellaneous---"};
    std::size_t at = 0;
    for (const std::string& title : titles) {
        const auto it =
            std::find(first.begin() + static_cast<std::ptrdiff_t>(at), first.end(), title);
        ASSERT_NE(it, first.end()) << title << " (or out of order)";
        // A blank separator line of 50 blanks before each title.
        EXPECT_EQ(*(it - 1), std::string(50, ' ')) << title;
        at = static_cast<std::size_t>(it - first.begin());
    }
    EXPECT_TRUE(Contains(first, "                **********   COMMON DATA   **********"));
    // Item lines as the editors format them for reports.
    EXPECT_TRUE(Contains(first, "     Freq. Band             :VHF"));

    const std::vector<std::string>& second = report.SettingsPage(2);
    for (const char* title : {"---Password---", "---DSUB-15---", "---Direct CH Parameters---"})
        EXPECT_TRUE(Contains(second, title)) << title;
    EXPECT_FALSE(Contains(second, "---Programming Password---"));
    EXPECT_EQ(report.SettingsPage(3).front(), "********** Signalling DATA   **********");
}

TEST(PrintReport, EightHeadingVariantsLineUpWithTheChannelLines) {
    for (const int product : {kProductMobile, kProductHandheld})
        for (const int unit : {0, 1})
            for (const int level : {0, 1}) {
                const std::string where = "product " + std::to_string(product) + " unit " +
                                          std::to_string(unit) + " level " + std::to_string(level);
                const HMemoryImage image =
                    ReportImage({.inUse = 2, .productType = product, .optionUnit = unit});
                const HPrintReport report(image, {level, "x.R57"});
                const std::vector<std::string>& h = report.ChannelHeading();
                ASSERT_EQ(h.size(), 5u) << where;
                EXPECT_EQ(
                    h[4].rfind("Chn i N    TAG    Receive   Transmit  Dec     Enc     H L", 0), 0u)
                    << where << ": " << h[4];
                // Every cell of a channel line has a name above it: some
                // heading line is not blank over the cell's text.
                const std::string line = report.ChannelLine(0);
                for (std::size_t x = 0; x < line.size(); ++x) {
                    if (line[x] == ' ' || (x > 0 && line[x - 1] != ' '))
                        continue;
                    const std::size_t end = std::min(line.find(' ', x), line.size());
                    bool named = false;
                    for (const std::string& l : h)
                        for (std::size_t i = x; i < end && i < l.size(); ++i)
                            named = named || l[i] != ' ';
                    EXPECT_TRUE(named) << where << ": nothing above column " << x << " of\n"
                                       << line;
                }
                // The variants differ in width: more columns, longer lines.
                EXPECT_GE(h[4].size() + 2, line.size()) << where;
            }
}

TEST(PrintReport, ChannelLinesAndGroupLines) {
    HMemoryImage image = ReportImage({.inUse = 10, .groups = 2});
    HChannels m;
    m.Load(image);
    m.SetField(1, HChannelTables::kFieldSquelch, 7);
    m.SetField(1, HChannelTables::kFieldSignalKind, 3); // "Page", narrower than its column
    m.SetField(1, HChannelTables::kFieldSignalNumber, 3);
    m.Save(image);
    const HPrintReport report(image, {});
    const std::string line = report.ChannelLine(0);
    // Columns one blank apart, each as wide as its widest text: numbers to the
    // right (channel, squelch), texts to the left ("Page" in six places).
    EXPECT_EQ(report.ChannelLine(1), "  2 - W5 UNIT002  150.01250 155.01250 C-  0.0 -----   H LM v "
                                     "v  7 - -- Page   3  - - - - -");
    EXPECT_EQ(report.GroupLine(0), "GROUP 1: FLEET1   None");
    EXPECT_EQ(report.GroupLine(1), "GROUP 2: FLEET2   None");

    const std::vector<HPrintSheet> sheets = report.Sheets(kRoomy);
    const HPrintSheet& channels = sheets.back();
    ASSERT_EQ(channels.planPage, 6);
    EXPECT_EQ(channels.lines[0], "                **********   CHANNEL DATA   **********");
    EXPECT_EQ(channels.lines[1], report.ChannelHeading()[0]);
    EXPECT_EQ(channels.lines[6], "GROUP 1: FLEET1   None");
    EXPECT_EQ(channels.lines[7], line);
    EXPECT_EQ(channels.lines[12], "GROUP 2: FLEET2   None");
    EXPECT_EQ(channels.lines.size(), 1u + 5 + 2 + 10);
}

TEST(PrintReport, NoSheetHoldsMoreLinesThanTheSheetHas) {
    const HPrintReport report(ReportImage({.inUse = 128, .groups = 3}), {});
    for (const std::size_t room : {std::size_t(40), std::size_t(70), std::size_t(77)}) {
        const std::vector<HPrintSheet> sheets = report.Sheets(room);
        std::set<std::string> channelLines;
        int channelSheets = 0;
        for (const HPrintSheet& s : sheets) {
            EXPECT_LE(s.lines.size(), room) << "room " << room;
            if (s.planPage != 6)
                continue;
            ++channelSheets;
            EXPECT_LE(ChannelLinesOn(s), 64);
            for (const std::string& l : s.lines) {
                if (l.size() > 3 && l[2] >= '0' && l[2] <= '9') {
                    EXPECT_TRUE(channelLines.insert(l).second) << "printed twice: " << l;
                }
            }
            // Each channel sheet starts with the column heading (after the
            // CHANNEL DATA line on the first).
            EXPECT_TRUE(Contains(s.lines, report.ChannelHeading()[4]));
        }
        EXPECT_EQ(channelLines.size(), 128u) << "room " << room;
        // 64 channels with their heading and group lines need more than 70
        // lines, so the channel pages break early; with 77 they do not.
        EXPECT_EQ(channelSheets > 2, room <= 70) << "room " << room;
    }
    // The settings pages go on over further sheets instead of off the paper,
    // every line once and in order.
    for (const std::size_t room : {std::size_t(20), std::size_t(40)}) {
        std::vector<std::string> pageOne;
        for (const HPrintSheet& s : report.Sheets(room))
            if (s.planPage == 1)
                pageOne.insert(pageOne.end(), s.lines.begin(), s.lines.end());
        EXPECT_EQ(pageOne, report.SettingsPage(1)) << "room " << room;
        EXPECT_GT(SheetsOfPage(report.Sheets(room), 1), 1) << "room " << room;
    }
}

TEST(PrintReport, AChannelSheetThatBreaksEarlyIsFull) {
    // A channel takes one line, two where its group line comes first: a sheet
    // ends before 64 channels only when the next channel's lines do not fit.
    for (const int groups : {1, 3}) {
        const HPrintReport report(ReportImage({.inUse = 128, .groups = groups}), {});
        for (std::size_t room = 20; room <= 80; ++room) {
            const std::vector<HPrintSheet> sheets = report.Sheets(room);
            for (std::size_t i = 0; i + 1 < sheets.size(); ++i)
                if (sheets[i].planPage == 6 && ChannelLinesOn(sheets[i]) < 64) {
                    EXPECT_GE(sheets[i].lines.size() + (groups == 1 ? 0 : 1), room)
                        << groups << " groups, room " << room << ", sheet " << i + 1;
                }
        }
    }
}

TEST(PrintReport, ASheetGoingOnFromTheLastStartsWithAHeadingNotARecord) {
    // A record line: the indent, then the record's number or "Page  n", and
    // no item's colon.
    const auto isRecord = [](const std::string& l) {
        const bool item = l.size() > 28 && l[28] == ':';
        return !item && l.size() > 5 && l.compare(0, 5, "     ") == 0 &&
               ((l[5] >= '0' && l[5] <= '9') || l.compare(5, 5, "Page ") == 0);
    };
    for (const bool twoTone : {true, false}) {
        const HPrintReport report(SignallingImage(twoTone), {});
        for (const std::size_t room : {std::size_t(40), std::size_t(60), std::size_t(83)}) {
            const std::vector<HPrintSheet> sheets = report.Sheets(room);
            int continued = 0;
            for (std::size_t i = 1; i < sheets.size(); ++i) {
                if (sheets[i].planPage != sheets[i - 1].planPage || sheets[i].planPage == 6)
                    continue;
                ++continued;
                const auto first = std::find_if(
                    sheets[i].lines.begin(), sheets[i].lines.end(),
                    [](const std::string& l) { return l.find_first_not_of(' ') != l.npos; });
                ASSERT_NE(first, sheets[i].lines.end());
                EXPECT_FALSE(isRecord(*first))
                    << "room " << room << " sheet " << i + 1 << " starts with " << *first;
            }
            EXPECT_GT(continued, 0) << "room " << room;
        }
    }
}

TEST(PrintReport, ATableIsPrintedInBandsThatKeepToTheWidth) {
    HReportTable table;
    table.headers = {"No.", "Name", "Mode", "Level"};
    table.rows = {{"1", "ALPHA", "Open", "3"}, {"12", "B", "Close", "10"}};
    table.keyColumns = 1;
    // Columns two blanks apart, as wide as their widest text; the key column
    // starts every band.
    const std::vector<std::string> banded = {"     No.  Name   Mode",
                                             "     1    ALPHA  Open",
                                             "     12   B      Close",
                                             "",
                                             "     No.  Level",
                                             "     1    3",
                                             "     12   10"};
    EXPECT_EQ(HEditor::FormatTableLines(table, 22), banded);
    const std::vector<std::string> oneBand = {
        "     No.  Name   Mode   Level", "     1    ALPHA  Open   3", "     12   B      Close  10"};
    EXPECT_EQ(HEditor::FormatTableLines(table, 80), oneBand);
    // Narrower than any column: one column a band, none lost.
    const std::vector<std::string> narrow = HEditor::FormatTableLines(table, 8);
    EXPECT_EQ(narrow.size(), 3u * 3 + 2);
    EXPECT_EQ(narrow[8], "     No.  Level");
}

namespace {

std::string ShownCell(const HGridSource& grid, int r, int c) {
    if (!grid.IsTickColumn(c))
        return grid.CellText(r, c);
    return grid.CellTick(r, c) == HTickState::Unticked ? "-" : "v";
}

// Where `text` stands in `line` as a column of its own: after two blanks (or
// the indent) and before a blank or the end.
bool StandsAt(const std::string& line, std::size_t x, std::string_view text) {
    return x >= 5 && line.size() >= x + text.size() && line.compare(x, text.size(), text) == 0 &&
           line[x - 1] == ' ' && (x == 5 || line[x - 2] == ' ') &&
           (line.size() == x + text.size() || line[x + text.size()] == ' ');
}

} // namespace

TEST(PrintReport, EveryGridRecordIsPrintedUnderItsColumnHeader) {
    for (const bool twoTone : {true, false}) {
        const HMemoryImage image = SignallingImage(twoTone);
        const HPrintReport report(image, {0, "grids.R57"});
        std::vector<std::string> lines;
        for (int page = 1; page <= 5; ++page)
            for (const std::string& l : report.SettingsPage(page))
                lines.push_back(l);
        // The tables widen no line beyond the heading: the font stays as it was.
        for (const std::string& l : lines)
            EXPECT_LE(l.size(), lines.front().size()) << l;

        HMemoryImage copy = image;
        int grids = 0;
        for (const HReportSection& section : HReportSections::Sections()) {
            const HReportSource::HRegisteredPage found = HReportSource::FindPage(section.caption);
            ASSERT_NE(found.page, nullptr) << section.caption;
            auto editor = found.page->make(*found.page, {&copy, 0});
            editor->Open();
            const auto title = std::find(lines.begin(), lines.end(), section.printTitle);
            const bool active = HReportSource::Includes(section, twoTone);
            if (!section.printTitle.empty()) {
                EXPECT_EQ(title != lines.end(), active) << section.printTitle;
            }
            for (std::size_t i = 0; i < editor->ItemCount(); ++i) {
                const HGridSource* grid = editor->Grid(i);
                if (grid == nullptr || !active)
                    continue;
                ++grids;
                ASSERT_NE(title, lines.end()) << section.caption;
                const std::string keyHeader = "     " + std::string(grid->HeaderText(0));
                for (int c = 1; c < grid->ColumnCount(); ++c) {
                    if (!grid->IsColumnShown(c))
                        continue;
                    const std::string_view header = grid->HeaderText(c);
                    // The first band header line after the title with this column.
                    auto h = title;
                    std::size_t x = std::string::npos;
                    for (; h != lines.end() && x == std::string::npos; ++h) {
                        if (h->rfind(keyHeader, 0) != 0)
                            continue;
                        for (std::size_t at = h->find(header); at != std::string::npos;
                             at = h->find(header, at + 1))
                            if (StandsAt(*h, at, header)) {
                                x = at;
                                break;
                            }
                        if (x != std::string::npos)
                            break;
                    }
                    ASSERT_NE(x, std::string::npos) << section.caption << ": " << header;
                    for (int r = 0; r < grid->RowCount(); ++r) {
                        const auto at = h + 1 + r;
                        ASSERT_LT(at, lines.end()) << section.caption << " " << r + 1;
                        const std::string where = std::string(section.caption) + " record " +
                                                  std::to_string(r + 1) + " " +
                                                  std::string(header) + ": " + *at;
                        EXPECT_EQ(at->rfind("     " + grid->CellText(r, 0), 0), 0u) << where;
                        std::string cell = ShownCell(*grid, r, c);
                        cell.erase(cell.find_last_not_of(' ') + 1); // the line's end is trimmed
                        if (cell.empty()) {
                            EXPECT_TRUE(at->size() <= x || (*at)[x] == ' ') << where;
                        } else {
                            EXPECT_TRUE(StandsAt(*at, x, cell)) << where;
                        }
                    }
                }
            }
        }
        EXPECT_EQ(grids, twoTone ? 4 : 5);
    }
}
