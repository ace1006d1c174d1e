#include "HReportCommands.h"

#include "CMainFrame.h"
#include "CRP57App.h"
#include "CRP57Doc.h"
#include "HLogPrint.h"
#include "HMainCommands.h"
#include "HMessageBox.h"
#include "HPrintReport.h"
#include "HReportPainter.h"
#include "HStringTable.h"
#include "HTextExport.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace HReportCommands {

namespace {

HReportContext ContextOf(const CRP57App& app) {
    return {app.AccessLevel(), app.CurrentFilePath()};
}

// The writer's "Filter" ("text Files(*.csv)|*.csv||": pairs of a name and its
// patterns) as the name filters of a Qt file dialog.
QStringList NameFilters(std::string_view filter) {
    QStringList names;
    const QStringList parts = QString::fromStdString(std::string(filter)).split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        if (!parts[i].isEmpty())
            names << parts[i];
    return names;
}

// The CSV writer's save-as dialog.
class ExportFileChooser : public HFileChooser {
public:
    ExportFileChooser(CMainFrame& frame, const std::string& documentPath)
        : m_frame(frame), m_documentPath(documentPath) {}

    std::optional<std::string> ChooseSaveFile(std::string_view extension,
                                              std::string_view filter) override {
        QFileDialog dialog(&m_frame, QStringLiteral("Export to CSV"));
        dialog.setObjectName(QStringLiteral("ExportCsvDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilters(NameFilters(filter));
        QString suffix = QString::fromStdString(std::string(extension));
        if (suffix.startsWith(QLatin1Char('.')))
            suffix.remove(0, 1);
        // Beside the data file, named after it.
        if (m_documentPath != CRP57App::kNoFile) {
            const QFileInfo info(QString::fromStdString(m_documentPath));
            dialog.setDirectory(info.absolutePath());
            dialog.selectFile(info.completeBaseName() + QLatin1Char('.') + suffix);
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        // A new name without an extension gets the writer's; an existing file
        // (a device too) is taken by the name chosen.
        QString chosen = dialog.selectedFiles().constFirst();
        if (!suffix.isEmpty() && QFileInfo(chosen).suffix().isEmpty() && !QFileInfo::exists(chosen))
            chosen += QLatin1Char('.') + suffix;
        return chosen.toStdString();
    }

private:
    CMainFrame& m_frame;
    std::string m_documentPath;
};

} // namespace

void OnExportCsv(CMainFrame& frame, CRP57App& app) {
    HLOG_D1("[FUNC IN]OnExportCsv");
    frame.SendViewSaveData();
    if (CRP57Doc* doc = app.Document()) {
        ExportFileChooser chooser(frame, app.CurrentFilePath());
        const HTextExport::HExportResult r =
            HTextExport::ExportToCsv(doc->Image(), ContextOf(app), std::string(), &chooser);
        if (r.ok)
            frame.ShowStatusNote(QString::fromStdString(HStringTable::Format(
                HStringTable::kNoteExported, {std::to_string(r.rows), r.path})));
        else if (r.messageId != 0)
            HMessageBox::Show(&frame, r.messageId, QMessageBox::Critical, QMessageBox::Ok, r.args,
                              r.reason);
    }
    HLOG_D1("[FUNC OUT]OnExportCsv");
}

int PrintDocument(CMainFrame& frame, CRP57App& app, QPrinter& printer, bool keepWindowLive) {
    CRP57Doc* doc = app.Document();
    if (doc == nullptr || app.IsPrinting())
        return 0;
    HLOG_D1("[FUNC IN]PrintDocument");
    // The report is made from the image as it is now; edits made while the
    // job runs belong to the next print.
    const HPrintReport report(doc->Image(), ContextOf(app));
    app.SetPrinting(true);
    frame.UpdateCommandUI();
    int from = 0;
    int to = 0;
    if (printer.printRange() == QPrinter::PageRange) {
        from = printer.fromPage();
        to = printer.toPage();
    }
    // Between sheets the window repaints and hears a close request (which the
    // flag refuses); the user's clicks and keys wait, so nothing else starts
    // on the printer meanwhile.
    std::function<void()> afterSheet;
    if (keepWindowLive)
        afterSheet = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    const int painted = HReportPainter::Paint(report, printer, from, to, afterSheet);
    app.SetPrinting(false);
    frame.UpdateCommandUI();
    HLOG_D1("[FUNC OUT]PrintDocument %d", painted);
    return painted;
}

void OnFilePrint(CMainFrame& frame, CRP57App& app) {
    HLOG_D1("[FUNC IN]OnFilePrint");
    frame.SendViewSaveData();
    if (app.Document() != nullptr && !app.IsPrinting()) {
        QPrinter& printer = app.Printer();
        const HPrintReport report(app.Document()->Image(), ContextOf(app));
        const int sheets = static_cast<int>(HReportPainter::SheetsFor(report, printer).size());
        QPrintDialog dialog(&printer, &frame);
        dialog.setObjectName(QStringLiteral("PrintDialog"));
        dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                          QAbstractPrintDialog::PrintShowPageSize);
        dialog.setMinMax(1, sheets);
        if (dialog.exec() == QDialog::Accepted) {
            const int pages = PrintDocument(frame, app, printer);
            // A file (PDF) is named by its path, a printer by its name.
            const bool toFile = !printer.outputFileName().isEmpty();
            if (pages > 0)
                frame.ShowStatusNote(QString::fromStdString(HStringTable::Format(
                    toFile ? HStringTable::kNotePrintedFile : HStringTable::kNotePrintedDevice,
                    {std::to_string(pages),
                     (toFile ? printer.outputFileName() : printer.printerName()).toStdString()})));
        }
    }
    HLOG_D1("[FUNC OUT]OnFilePrint");
}

void OnFilePrintPreview(CMainFrame& frame, CRP57App& app) {
    HLOG_D1("[FUNC IN]OnFilePrintPreview");
    frame.SendViewSaveData();
    if (app.Document() != nullptr && !app.IsPrinting()) {
        QPrintPreviewDialog preview(&app.Printer(), &frame);
        preview.setObjectName(QStringLiteral("PrintPreviewDialog"));
        preview.setWindowTitle(QStringLiteral("Print Preview"));
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [&frame, &app](QPrinter* printer) {
                             // Pictures for the preview: quick, and the
                             // preview must not hear its own updates mid-way.
                             PrintDocument(frame, app, *printer, false);
                         });
        preview.exec();
    }
    HLOG_D1("[FUNC OUT]OnFilePrintPreview");
}

void Install(CMainFrame& frame, CRP57App& app) {
    frame.SetCommandHandler(HCmd::kExportCsv, [&frame, &app] { OnExportCsv(frame, app); });
    frame.SetCommandHandler(HCmd::kFilePrint, [&frame, &app] { OnFilePrint(frame, app); });
    frame.SetCommandHandler(HCmd::kFilePrintPreview,
                            [&frame, &app] { OnFilePrintPreview(frame, app); });
}

} // namespace HReportCommands
