#pragma once
// The text export: every setting of an image as rows, section by section in
// report order, then the channel list, handed one row at a time to a row
// writer (the CSV writer). The settings rows are the editors' own captions
// and shown texts.
#include "HFileWriter.h"
#include "HReportSource.h"

#include <string>
#include <vector>

namespace HTextExport {

inline constexpr std::string_view kHeaderTitle = "***  Orvane Systems OR3200/3100 SERIES  ***";
inline constexpr std::string_view kChannelTitle = "***CHANNEL DATA***";

// The whole export, as rows.
[[nodiscard]] std::vector<HReportRow> Rows(const HMemoryImage& image,
                                           const HReportContext& context);

// The channel list alone: its title row, then for each group met the group's
// tag row and the column title row, and one row per channel in use. A pure
// function of the image and the access level.
[[nodiscard]] std::vector<HReportRow> ChannelListRows(const HMemoryImage& image, int accessLevel);

// Writes Rows() one by one; the first row the writer refuses ends the export
// with false. `rows`, when given, counts the rows written.
[[nodiscard]] bool ExportText(HRowWriter& writer, const HMemoryImage& image,
                              const HReportContext& context, int* rows = nullptr);

// The Export to CSV command without its window: a CSV writer opened on
// `path` (or, with a chooser, on the file the user picks), the export, the
// close. On failure, the message to show (0: none, the user cancelled).
struct HExportResult {
    bool ok = false;
    int messageId = 0;             // HStringTable id: 32 open, 33 write
    std::vector<std::string> args; // the message's %1...
    std::string reason;            // the system's reason, for a detail line
    std::string path;              // the file written, when ok
    int rows = 0;                  // the rows written, when ok
};
[[nodiscard]] HExportResult ExportToCsv(const HMemoryImage& image, const HReportContext& context,
                                        const std::string& path, HFileChooser* chooser = nullptr);

} // namespace HTextExport
