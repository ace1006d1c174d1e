#pragma once
// The settings sections of the text export and of the printed report, in
// report order. Each row names an editor page by its dialog caption; the
// items and their shown texts come from that editor (the editor registry),
// never from here, and so does the signalling type a section belongs to (the
// registry entry's family). A row with an empty title continues the section
// above it.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

struct HReportSection {
    std::string_view caption;     // the editor page's dialog caption
    std::string_view exportTitle; // the title row of the text export
    std::string_view printTitle;  // the title line of the printed report
    int printPage = 1;            // the report page (1 to 5) it is printed on
};

namespace HReportSections {

// The export's first section; its items come from this editor.
inline constexpr std::string_view kHeaderCaption = "Marketing Parameters";

inline constexpr std::array kSections{
    HReportSection{.caption = "Hardware",
                   .exportTitle = "***Hardware Parameters***",
                   .printTitle = "---Hardware Parameters---",
                   .printPage = 1},
    HReportSection{.caption = "Option",
                   .exportTitle = "***Option Parameters***",
                   .printTitle = "---Option Parameters---",
                   .printPage = 1},
    HReportSection{.caption = "Scanning",
                   .exportTitle = "***Scan Parameters***",
                   .printTitle = "---Scan Parameters---",
                   .printPage = 1},
    HReportSection{.caption = "Power Saving",
                   .exportTitle = "***Power Saving Parameters***",
                   .printTitle = "---Power Saving Parameters---",
                   .printPage = 1},
    HReportSection{.caption = "Front Panel",
                   .exportTitle = "***Front Panel***",
                   .printTitle = "---Front Panel---",
                   .printPage = 1},
    HReportSection{.caption = "Key Function",
                   .exportTitle = "***Key Function***",
                   .printTitle = "---Key Function---",
                   .printPage = 1},
    HReportSection{.caption = "Emergency",
                   .exportTitle = "***Emergency***",
                   .printTitle = "---Emergency---",
                   .printPage = 1},
    HReportSection{.caption = "Miscellaneous",
                   .exportTitle = "***Miscellaneous***",
                   .printTitle = "---Miscellaneous---",
                   .printPage = 1},
    HReportSection{.caption = "Power On Password",
                   .exportTitle = "***Password***",
                   .printTitle = "---Password---",
                   .printPage = 2},
    HReportSection{.caption = "Programming Password",
                   .exportTitle = "***Programming Password***",
                   .printTitle = "",
                   .printPage = 2},
    HReportSection{.caption = "Port",
                   .exportTitle = "***DSUB-15***",
                   .printTitle = "---DSUB-15---",
                   .printPage = 2},
    HReportSection{
        .caption = "Channel Switch Table", .exportTitle = "", .printTitle = "", .printPage = 2},
    HReportSection{.caption = "Direct CH Parameters",
                   .exportTitle = "***Direct CH Parameters***",
                   .printTitle = "---Direct CH Parameters---",
                   .printPage = 2},
    HReportSection{.caption = "Signalling Type",
                   .exportTitle = "***Signaling Type***",
                   .printTitle = "---Signalling Type---",
                   .printPage = 3},
    HReportSection{.caption = "DTMF ANI Setting",
                   .exportTitle = "***ANI Parameters***",
                   .printTitle = "---ANI Parameters---",
                   .printPage = 3},
    HReportSection{.caption = "DTMF Setting",
                   .exportTitle = "***DTMF Setting Parameters***",
                   .printTitle = "---DTMF Setting Parameters---",
                   .printPage = 3},
    HReportSection{.caption = "DTMF Code",
                   .exportTitle = "***DTMF Code***",
                   .printTitle = "---DTMF Code---",
                   .printPage = 3},
    HReportSection{.caption = "Paging Code",
                   .exportTitle = "***Paging Code***",
                   .printTitle = "---Paging Code---",
                   .printPage = 3},
    HReportSection{.caption = "2Tone Table",
                   .exportTitle = "***2-Tone Table***",
                   .printTitle = "---2-Tone Table---",
                   .printPage = 4},
    HReportSection{.caption = "2-Tone System",
                   .exportTitle = "***2-Tone System***",
                   .printTitle = "---2-Tone System---",
                   .printPage = 4},
    HReportSection{.caption = "2-TONE Decode",
                   .exportTitle = "***2-Tone Decode***",
                   .printTitle = "---2-Tone Decode---",
                   .printPage = 4},
    HReportSection{.caption = "Decode Option", .exportTitle = "", .printTitle = "", .printPage = 4},
    HReportSection{.caption = "2-Tone Encode",
                   .exportTitle = "***2-Tone Encode***",
                   .printTitle = "---2-Tone Encode---",
                   .printPage = 5},
    HReportSection{.caption = "Encode Option", .exportTitle = "", .printTitle = "", .printPage = 5},
    HReportSection{.caption = "Common1",
                   .exportTitle = "***5-Tone Common Paramerters1***",
                   .printTitle = "---5-Tone Common Paramerters---",
                   .printPage = 4},
    HReportSection{.caption = "Common2",
                   .exportTitle = "***5-Tone Common Paramerters2***",
                   .printTitle = "",
                   .printPage = 4},
    HReportSection{.caption = "5-Tone Table",
                   .exportTitle = "***5-Tone Table***",
                   .printTitle = "---5-Tone Table---",
                   .printPage = 4},
    HReportSection{.caption = "5-Tone System",
                   .exportTitle = "***5-Tone System***",
                   .printTitle = "---5-Tone System---",
                   .printPage = 4},
    HReportSection{.caption = "5-Tone Decode",
                   .exportTitle = "***5-Tone Decode***",
                   .printTitle = "---5-Tone Decode---",
                   .printPage = 5},
    HReportSection{.caption = "5Tone Encode",
                   .exportTitle = "***5-Tone Encode***",
                   .printTitle = "---5-Tone Encode---",
                   .printPage = 5},
};

// Pages rise (the 2-tone and the 5-tone tables share pages 4 and 5), and
// each page starts with a section of its own; the export starts with a title.
constexpr bool SectionsAreSound() {
    int page = 0;
    for (const HReportSection& s : kSections) {
        if (s.caption.empty() || s.printPage < 1 || s.printPage > 5)
            return false;
        if (s.printPage < page && s.printPage < 4)
            return false;
        if (s.printPage != page && s.printTitle.empty())
            return false;
        page = s.printPage;
    }
    return !kSections.front().exportTitle.empty();
}
static_assert(SectionsAreSound());

[[nodiscard]] constexpr std::span<const HReportSection> Sections() {
    return kSections;
}

} // namespace HReportSections
