#include "HReportPainter.h"

#include "HLogPrint.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace HReportPainter {

namespace {

// 70 logical units of a 600 dpi printer.
constexpr qreal kReportPointSize = 70.0 * 72.0 / 600.0;
// Lines start this many characters from the left of the paint area.
constexpr int kIndentChars = 5;

HLayout Measure(const QFont& font, QPagedPaintDevice& device) {
    const QFontMetricsF metrics(font, &device);
    HLayout layout;
    layout.font = font;
    layout.lineHeight = metrics.height() + metrics.leading();
    layout.charWidth = metrics.horizontalAdvance(QLatin1Char('M'));
    const qreal height = device.height();
    layout.linesPerSheet = layout.lineHeight > 0
                               ? static_cast<std::size_t>(std::floor(height / layout.lineHeight))
                               : 0;
    return layout;
}

} // namespace

QFont ReportFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter, QFont::PreferMatch);
    font.setFixedPitch(true);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setPointSizeF(kReportPointSize);
    return font;
}

QPageLayout PageLayout(QPageSize::PageSizeId size, bool landscape) {
    return QPageLayout(QPageSize(size), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}

HLayout LayoutFor(const HPrintReport& report, QPagedPaintDevice& device) {
    QFont font = ReportFont();
    HLayout layout = Measure(font, device);
    const qreal chars = static_cast<qreal>(report.WidestLine() + kIndentChars);
    // Smaller in small steps: glyph advances round differently at each size.
    for (int step = 0; step < 60 && layout.charWidth * chars > device.width(); ++step) {
        font.setPointSizeF(font.pointSizeF() * 0.97);
        layout = Measure(font, device);
    }
    return layout;
}

std::vector<HPrintSheet> SheetsFor(const HPrintReport& report, QPagedPaintDevice& device) {
    return report.Sheets(LayoutFor(report, device).linesPerSheet);
}

int Paint(const HPrintReport& report, QPagedPaintDevice& device, int from, int to,
          const std::function<void()>& afterSheet) {
    const HLayout layout = LayoutFor(report, device);
    const std::vector<HPrintSheet> sheets = report.Sheets(layout.linesPerSheet);
    const int count = static_cast<int>(sheets.size());
    const int first = std::clamp(from <= 0 ? 1 : from, 1, count);
    const int last = std::clamp(to <= 0 ? count : to, first, count);
    QPainter painter;
    if (!painter.begin(&device)) {
        HLOG_ER("%s", "HReportPainter: the device cannot be painted on");
        return 0;
    }
    painter.setFont(layout.font);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(layout.font, &device);
    const qreal x = layout.charWidth * kIndentChars;
    int painted = 0;
    for (int s = first; s <= last; ++s) {
        if (painted > 0 && !device.newPage()) {
            HLOG_ER("HReportPainter: no new page after sheet %d", s - 1);
            break;
        }
        const HPrintSheet& sheet = sheets[static_cast<std::size_t>(s - 1)];
        for (std::size_t i = 0; i < sheet.lines.size(); ++i) {
            // Lines are placed by their top, one line height apart.
            const qreal y = layout.lineHeight * static_cast<qreal>(i) + metrics.ascent();
            painter.drawText(QPointF(x, y),
                             QString::fromLatin1(sheet.lines[i].data(),
                                                 static_cast<qsizetype>(sheet.lines[i].size())));
        }
        ++painted;
        if (afterSheet)
            afterSheet();
    }
    painter.end();
    HLOG_D1("HReportPainter: %d of %d sheets painted, %d lines a sheet", painted, count,
            static_cast<int>(layout.linesPerSheet));
    return painted;
}

} // namespace HReportPainter
