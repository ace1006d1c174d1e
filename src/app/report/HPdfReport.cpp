#include "HPdfReport.h"

#include "HFileUtil.h"
#include "HPrintReport.h"
#include "HReportPainter.h"
#include "HText.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>

#include <array>
#include <memory>
#include <optional>

namespace HPdfReport {

namespace {

struct NamedSize {
    const char* name;
    QPageSize::PageSizeId id;
};
constexpr std::array kSizes = {
    NamedSize{"A4", QPageSize::A4},       NamedSize{"LETTER", QPageSize::Letter},
    NamedSize{"LEGAL", QPageSize::Legal}, NamedSize{"A5", QPageSize::A5},
    NamedSize{"B5", QPageSize::B5},
};

std::optional<QPageSize::PageSizeId> SizeOf(const std::string& name) {
    const std::string upper = HText::Upper(name);
    for (const NamedSize& s : kSizes)
        if (upper == s.name)
            return s.id;
    return std::nullopt;
}

} // namespace

bool IsPageSize(const std::string& name) {
    return SizeOf(name).has_value();
}

HPdfResult PrintPdf(const HMemoryImage& image, const HReportContext& context,
                    const std::string& pdfPath, const HPdfOptions& options) {
    HPdfResult result;
    const std::optional<QPageSize::PageSizeId> size = SizeOf(options.pageSize);
    if (!size) {
        result.error = "unknown page size '" + options.pageSize + "'";
        return result;
    }
    // Fonts need a GUI application; without a display, the offscreen platform.
    std::unique_ptr<QGuiApplication> own;
    if (QCoreApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "rp57cli";
        static char* argv[] = {name, nullptr};
        own = std::make_unique<QGuiApplication>(argc, argv);
    }
    const HPrintReport report(image, context);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        writer.setCreator(QStringLiteral("RP57"));
        writer.setTitle(QString::fromStdString(HReportSource::FileNameOf(context.filePath)));
        writer.setPageLayout(HReportPainter::PageLayout(*size, options.landscape));
        result.sheets = HReportPainter::Paint(report, writer);
    }
    if (result.sheets == 0) {
        result.error = "the report could not be painted";
        return result;
    }
    const QByteArray& bytes = buffer.data();
    std::string error;
    if (!WriteWholeFileAtomic(pdfPath,
                              std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                        static_cast<std::size_t>(bytes.size())),
                              &error)) {
        result.error = error;
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace HPdfReport
