#pragma once
// The printed report into a PDF file, for callers without a window (rp57cli):
// no Qt in this interface. Runs on Qt's offscreen platform when the process
// has no Qt application yet. The file is written whole or not at all.
#include "HReportSource.h"

#include <string>

namespace HPdfReport {

struct HPdfOptions {
    std::string pageSize = "A4"; // A4, Letter, Legal, A5 or B5
    bool landscape = false;
};

struct HPdfResult {
    bool ok = false;
    int sheets = 0;
    std::string error;
};

// True when `name` is a page size PrintPdf knows (case does not matter).
[[nodiscard]] bool IsPageSize(const std::string& name);

[[nodiscard]] HPdfResult PrintPdf(const HMemoryImage& image, const HReportContext& context,
                                  const std::string& pdfPath, const HPdfOptions& options = {});

} // namespace HPdfReport
