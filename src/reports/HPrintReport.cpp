#include "HPrintReport.h"

#include "HChannelColumns.h"
#include "HEditor.h"
#include "HGroupScanModes.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr std::string_view kHeadingTitle =
    "                  ************  Orvane Systems OR-3200/3100 SERIES  ************";
constexpr std::string_view kCommonData = "                **********   COMMON DATA   **********";
constexpr std::string_view kSignallingData = "********** Signalling DATA   **********";
constexpr std::string_view kChannelData = "                **********   CHANNEL DATA   **********";

// How a channel column prints: its cell in `width` characters and a blank,
// and its name over it on the five heading lines, read top to bottom; a
// narrow column spells its name downwards, a name on the upper lines may
// reach over the columns to its right.
struct PrintColumn {
    int column;
    int width;
    bool rightAligned;
    std::array<std::string_view, HPrintReport::kHeadingLines> heading;
};

// clang-format off
constexpr std::array<PrintColumn, kChannelColumnCount> kPrintColumns = {{
    {0,  3, true,  {"",     "",  "",           "",                    "Chn"}},
    {1,  1, false, {"",     "",  "P",          "r",                   "i"}},
    {2,  2, false, {"",     "",  "W",          "/",                   "N"}},
    {3,  8, false, {"",     "",  "",           "",                    "  TAG"}},
    {4,  9, false, {"",     "",  "",           "-----FREQUENCY-----", "Receive"}},
    {5,  9, false, {"",     "",  "",           "",                    "Transmit"}},
    {6,  7, false, {"",     "",  "",           "",                    "Enc"}},
    {7,  7, false, {"",     "",  "",           "---SUB AUDIO---",     "Dec"}},
    {8,  1, false, {"",     "",  "",           "Pwr",                 "H"}},
    {9,  2, true,  {"",     "",  "",           "",                    "L"}},
    {10, 1, false, {"",     "",  "",           "S",                   "C"}},
    {11, 1, false, {"",     "",  "A",          "S",                   "C"}},
    {12, 1, false, {"",     "",  "T",          "O",                   "T"}},
    {13, 2, true,  {"",     "",  "",           "",                    "SQ"}},
    {14, 1, false, {"",     "",  "A",          "N",                   "I"}},
    {15, 8, false, {"",     "",  "",           "",                    "Encr"}},
    {16, 2, false, {"",     "",  "",           "",                    "LO"}},
    {17, 6, false, {"",     "",  "",           "Signal",              "Type"}},
    {18, 2, false, {"",     "",  "",           "",                    "No"}},
    {19, 1, false, {"",     "",  "Clk",        "T",                   "X"}},
    {20, 1, false, {"",     "",  "",           "R",                   "X"}},
    {21, 1, false, {"",     "",  "",           "O",                   "p"}},
    {22, 1, false, {"",     "A", "R",          "T",                   "S"}},
    {23, 1, false, {"",     "F", "l",          "a",                   "t"}},
    {24, 1, false, {"",     "E", "M",          "i",                   "c"}},
    {25, 1, false, {"",     "A", "M",          "o",                   "n"}},
}};
// clang-format on

constexpr bool PrintColumnsAreSound() {
    for (std::size_t i = 0; i < kPrintColumns.size(); ++i)
        if (kPrintColumns[i].column != static_cast<int>(i) || kPrintColumns[i].width < 1)
            return false;
    return true;
}
static_assert(PrintColumnsAreSound(), "one print column per channel column, by number");

std::string Cell(std::string_view text, int width, bool right) {
    const std::size_t w = static_cast<std::size_t>(width);
    std::string out;
    if (right && text.size() < w)
        out.append(w - text.size(), ' ');
    out += text;
    if (out.size() < w)
        out.append(w - out.size(), ' ');
    return out + ' ';
}

// Writes `text` into `line` from column `x`, widening the line as needed.
void Put(std::string& line, std::size_t x, std::string_view text) {
    if (line.size() < x + text.size())
        line.resize(x + text.size(), ' ');
    line.replace(x, text.size(), text);
}

bool IsBlank(std::string_view line) {
    return line.find_first_not_of(' ') == std::string_view::npos;
}

std::string RightTrimmed(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

} // namespace

const std::string& HPrintReport::BlankLine() {
    static const std::string blank(50, ' ');
    return blank;
}

HPrintReport::HPrintReport(const HMemoryImage& image, const HReportContext& context)
    : m_accessLevel(context.accessLevel) {
    m_model.Load(image);
    m_inUse = HReportSource::ChannelsInUse(m_model);
    const HChannelColumns::HModelFacts facts = HChannelColumns::FactsOf(m_model);
    for (int col : HChannelColumns::kReportOrder)
        if (HChannelColumns::ReportShowsColumn(col, facts, m_accessLevel))
            m_columns.push_back(col);
    BuildSettingsPages(image, context);
    BuildChannelHeading();
}

void HPrintReport::BuildSettingsPages(const HMemoryImage& image, const HReportContext& context) {
    // The editors read a copy: nothing they do on opening reaches the image.
    HMemoryImage copy = image;
    m_pages.assign(5, {});
    std::vector<std::string>& first = m_pages[0];
    first.emplace_back(kHeadingTitle);
    char fileLine[128];
    std::snprintf(fileLine, sizeof fileLine, "        File Name      :  %-32s",
                  HReportSource::FileNameOf(context.filePath).c_str());
    first.emplace_back(fileLine);
    // The sheet belongs to one radio: its serial number goes under the file name.
    if (auto marketing =
            HReportSource::OpenEditor(HReportSections::kHeaderCaption, copy, context.accessLevel))
        for (std::string& line : marketing->ReportLines())
            first.push_back(std::move(line));
    first.emplace_back(kCommonData);
    m_pages[2].emplace_back(kSignallingData);

    const bool twoTone = HReportSource::IsTwoTone(image);
    for (const HReportSection& section : HReportSections::Sections()) {
        if (!HReportSource::Includes(section, twoTone))
            continue;
        std::vector<std::string>& page = m_pages[static_cast<std::size_t>(section.printPage - 1)];
        if (!section.printTitle.empty()) {
            page.push_back(BlankLine());
            page.emplace_back(section.printTitle);
        }
        if (auto editor = HReportSource::OpenEditor(section.caption, copy, context.accessLevel))
            for (std::string& line : editor->ReportLines())
                page.push_back(std::move(line));
    }
}

void HPrintReport::BuildChannelHeading() {
    m_heading.assign(kHeadingLines, std::string());
    std::size_t x = 0;
    for (int col : m_columns) {
        const PrintColumn& pc = kPrintColumns[static_cast<std::size_t>(col)];
        for (std::size_t l = 0; l < kHeadingLines; ++l)
            if (!pc.heading[l].empty())
                Put(m_heading[l], x, pc.heading[l]);
        x += static_cast<std::size_t>(pc.width) + 1;
    }
    for (std::string& line : m_heading)
        line = RightTrimmed(line);
}

const std::vector<std::string>& HPrintReport::SettingsPage(int page) const {
    static const std::vector<std::string> none;
    if (page < 1 || page > 5)
        return none;
    return m_pages[static_cast<std::size_t>(page - 1)];
}

std::string HPrintReport::ChannelLine(int channel) const {
    const int g = HChannelColumns::GroupOfChannel(m_model, channel);
    std::string line;
    for (int col : m_columns) {
        const PrintColumn& pc = kPrintColumns[static_cast<std::size_t>(col)];
        line +=
            Cell(HChannelColumns::ReportText(col, m_model, channel, g), pc.width, pc.rightAligned);
    }
    return RightTrimmed(line);
}

std::string HPrintReport::GroupLine(int group) const {
    const int mode = m_model.GetGroupValue(group, HChannelTables::kGroupScanMode);
    const std::string_view scan = mode >= 0 && mode < static_cast<int>(kGroupScanModeTexts.size())
                                      ? kGroupScanModeTexts[static_cast<std::size_t>(mode)]
                                      : std::string_view();
    char buf[64];
    std::snprintf(buf, sizeof buf, "GROUP %d: %-8s %.*s", group + 1,
                  HReportSource::GroupTag(m_model, group).c_str(), static_cast<int>(scan.size()),
                  scan.data());
    return RightTrimmed(buf);
}

std::vector<HPrintSheet> HPrintReport::Sheets(std::size_t linesPerSheet) const {
    const std::size_t room = std::max(linesPerSheet, kMinLinesPerSheet);
    std::vector<HPrintSheet> sheets;
    for (int page = 1; page <= 5; ++page) {
        const std::vector<std::string>& lines = m_pages[static_cast<std::size_t>(page - 1)];
        std::size_t at = 0;
        do {
            std::size_t n = std::min(room, lines.size() - at);
            // A page that goes on over another sheet breaks at its last blank
            // line, so that a section or a band of a table starts on the next
            // sheet with its title or its column headers.
            if (at + n < lines.size())
                for (std::size_t k = n; k > 0; --k)
                    if (IsBlank(lines[at + k])) {
                        n = k;
                        break;
                    }
            sheets.push_back({page,
                              {lines.begin() + static_cast<std::ptrdiff_t>(at),
                               lines.begin() + static_cast<std::ptrdiff_t>(at + n)}});
            at += n;
        } while (at < lines.size());
    }

    // Channel sheets: at least one, so that a set without channels says so.
    std::size_t next = 0;
    bool firstSheet = true;
    while (firstSheet || next < m_inUse.size()) {
        HPrintSheet sheet{kFirstChannelPage, {}};
        if (firstSheet)
            sheet.lines.emplace_back(kChannelData);
        sheet.lines.insert(sheet.lines.end(), m_heading.begin(), m_heading.end());
        int group = -1;
        int count = 0;
        while (next < m_inUse.size() && count < kChannelsPerPage) {
            const HReportSource::HChannelInUse& ch = m_inUse[next];
            const std::size_t need = ch.group != group ? 2 : 1;
            if (count > 0 && sheet.lines.size() + need > room)
                break;
            if (ch.group != group) {
                group = ch.group;
                sheet.lines.push_back(GroupLine(group));
            }
            sheet.lines.push_back(ChannelLine(ch.channel));
            ++next;
            ++count;
        }
        sheets.push_back(std::move(sheet));
        firstSheet = false;
    }
    return sheets;
}

std::size_t HPrintReport::WidestLine() const {
    std::size_t widest = 0;
    for (const HPrintSheet& sheet : Sheets(std::size_t(-1) / 2))
        for (const std::string& line : sheet.lines)
            widest = std::max(widest, line.size());
    return widest;
}
