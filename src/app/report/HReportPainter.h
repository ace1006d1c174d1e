#pragma once
// Paints the printed report on a paged device: a QPrinter for File > Print,
// Print Preview and printing to a PDF file, a QPdfWriter for rp57cli print.
// Both lay the sheets out the same way, so the same paper gives the same
// pages.
#include "HPrintReport.h"

#include <QFont>
#include <QPageLayout>
#include <QPageSize>

#include <cstddef>
#include <functional>

class QPagedPaintDevice;

namespace HReportPainter {

// The report font as asked for: "Courier New" (a metric twin where it is
// missing), fixed pitch, normal weight, about 8.4 points.
[[nodiscard]] QFont ReportFont();

// A paper with the report's margins (10 mm all round); what rp57cli print
// uses, and what a test gives the program's printer to compare the two.
[[nodiscard]] QPageLayout PageLayout(QPageSize::PageSizeId size, bool landscape = false);

struct HLayout {
    QFont font;
    qreal lineHeight = 0;          // character height plus external leading
    qreal charWidth = 0;           // the fixed pitch
    std::size_t linesPerSheet = 0; // lines that fit the paint area's height
};

// The font and line grid for the device's paint area. When the report's
// widest line (after its left indent of five characters) would run past the
// right margin, the font is made smaller until it fits.
[[nodiscard]] HLayout LayoutFor(const HPrintReport& report, QPagedPaintDevice& device);

// The sheets as laid out on this device.
[[nodiscard]] std::vector<HPrintSheet> SheetsFor(const HPrintReport& report,
                                                 QPagedPaintDevice& device);

// Paints sheets `from` to `to` (1-based, both included; 0 for either end means
// the first or the last sheet). `afterSheet` runs after each sheet (the
// window keeps answering while a long job prints). Returns the number of
// sheets painted; 0 when the device could not be painted on.
int Paint(const HPrintReport& report, QPagedPaintDevice& device, int from = 0, int to = 0,
          const std::function<void()>& afterSheet = {});

} // namespace HReportPainter
