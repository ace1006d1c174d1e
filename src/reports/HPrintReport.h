#pragma once
// The printed report as lines of text on pages; painting them is the front
// end's. Plan: page 1 the heading and the common settings, page 2 passwords,
// DSUB-15 and Direct CH, page 3 the signalling settings, pages 4 and 5 the
// tables of the image's signalling type, then the channel pages (up to 64
// channels each, the column heading on each, a group line before each group's
// first channel on the page).
//
// Every line is meant for a fixed-pitch font, and the front end says how many
// lines a sheet holds: a page that would run off the paper goes on over the
// next sheet, and a channel page breaks before its 64th channel when they do
// not fit. So the number of sheets follows the paper.
#include "HReportSource.h"

#include <cstddef>
#include <string>
#include <vector>

struct HPrintSheet {
    int planPage = 0; // 1 to 5, or 6 for every channel sheet
    std::vector<std::string> lines;
};

class HPrintReport {
public:
    static constexpr int kChannelsPerPage = 64;
    static constexpr int kFirstChannelPage = 6;
    static constexpr std::size_t kHeadingLines = 5;
    // Fewer lines than this on a sheet cannot hold a channel page's heading
    // with one channel; Sheets() never plans with less.
    static constexpr std::size_t kMinLinesPerSheet = 8;

    HPrintReport(const HMemoryImage& image, const HReportContext& context);

    // The lines of settings page 1 to 5, before they are split into sheets.
    [[nodiscard]] const std::vector<std::string>& SettingsPage(int page) const;
    // The five heading lines of the channel column variant of this image.
    [[nodiscard]] const std::vector<std::string>& ChannelHeading() const { return m_heading; }
    // One channel's line, in the heading's columns.
    [[nodiscard]] std::string ChannelLine(int channel) const;
    [[nodiscard]] std::string GroupLine(int group) const;
    [[nodiscard]] int ChannelsInUse() const { return static_cast<int>(m_inUse.size()); }

    // The report laid out on sheets of `linesPerSheet` lines.
    [[nodiscard]] std::vector<HPrintSheet> Sheets(std::size_t linesPerSheet) const;
    // Characters in the longest line of the report.
    [[nodiscard]] std::size_t WidestLine() const;

    // Blank separator line before each section title.
    static const std::string& BlankLine();

private:
    void BuildSettingsPages(const HMemoryImage& image, const HReportContext& context);
    void BuildChannelHeading();

    HChannels m_model;
    int m_accessLevel = 0;
    std::vector<HReportSource::HChannelInUse> m_inUse;
    std::vector<int> m_columns;                    // report columns in use, in order
    std::vector<std::vector<std::string>> m_pages; // settings pages 1-5
    std::vector<std::string> m_heading;
};
