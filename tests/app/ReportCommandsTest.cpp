// File > Export to CSV, Print and Print Preview in the real program,
// offscreen; the results compared with rp57cli's and read back with poppler.
#include "AppTestSupport.h"
#include "HChannels.h"
#include "HReportCommands.h"
#include "HReportPainter.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

namespace {

// A 5-tone image with `inUse` channels in one group, saved as `name` in `home`.
std::string SavedImage(const TempHome& home, const char* name, int inUse) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    HChannels m;
    m.Load(image);
    for (int g = 0; g < 8; ++g)
        m.SetGroupValue(g, HChannelTables::kGroupChannels, g == 0 ? inUse : 0);
    m.NormalizeGroups();
    for (int c = 0; c < inUse; ++c) {
        m.SetField(c, HChannelTables::kFieldInUse, 1);
        m.SetFrequency(c, 0, 146000000 + 12500LL * c);
    }
    m.Save(image);
    HChannelSignalling signalling;
    signalling.Load(image);
    signalling.SetValue(HChannelSignalling::kSignallingType, 0);
    signalling.Save(image);
    const std::string path = home.File(name);
    if (!HDataFile::Write(path, image).Ok())
        return {};
    return path;
}

// Runs a tool; false (with a warning) unless it exits with 0. Its standard
// output goes to `out` when given.
bool RunOk(const QString& program, const QStringList& args, QByteArray* out = nullptr) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning("%s failed: %s", qPrintable(program), p.readAllStandardError().constData());
        return false;
    }
    if (out)
        *out = p.readAllStandardOutput();
    return true;
}

QByteArray Run(const QString& program, const QStringList& args) {
    QByteArray out;
    RunOk(program, args, &out);
    return out;
}

QByteArray PdfText(const QString& pdf) {
    return Run(QStringLiteral("/usr/bin/pdftotext"),
               {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

int PdfPages(const QString& pdf) {
    const QByteArray info = Run(QStringLiteral("/usr/bin/pdfinfo"), {pdf});
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromLatin1(info));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The program's printer set to print a PDF file on A4 with the report's margins.
void PrintToPdf(QPrinter& printer, const QString& path) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageLayout(HReportPainter::PageLayout(QPageSize::A4));
    printer.setPrintRange(QPrinter::AllPages);
}

} // namespace

class ReportCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void ExportIsTheCliExportByteForByte();
    void ExportErrorsAreShown();
    void PrintToPdfIsTheCliPrint();
    void PreviewShowsEveryPage();
    void ThePrintingFlagRefusesClosingWhileAJobRuns();
};

void ReportCommandsTest::ExportIsTheCliExportByteForByte() {
    TempHome home;
    const std::string data = SavedImage(home, "fleet.R57", 20);
    QVERIFY(!data.empty());
    RunningApp run;
    QVERIFY(run.doc->OpenFile(data));
    bool suggested = false;
    ModalDriver<QFileDialog> choose(
        [&](QFileDialog* dialog) {
            // Beside the data file, named after it.
            suggested = dialog->directory().absolutePath() == home.Path();
            dialog->selectFile(home.QPath("program.csv"));
            QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        },
        QStringLiteral("ExportCsvDialog"));
    QVERIFY(run.frame->RunCommand(HCmd::kExportCsv));
    QVERIFY(choose.Fired());
    QVERIFY(suggested);
    const QByteArray program = home.Read("program.csv");
    QVERIFY(program.startsWith("\"***  Orvane Systems OR3200/3100 SERIES  ***\",\"\"\n"
                               "\"File Name\",\"fleet.R57\"\n"));
    // The status bar says what was written (a row a line) and where.
    QCOMPARE(run.frame->StatusPane(0)->text(), QStringLiteral("Exported %1 rows to %2")
                                                   .arg(program.count('\n'))
                                                   .arg(home.QPath("program.csv")));
    if (!qEnvironmentVariableIsEmpty("RP57_SHOT_DIR"))
        for (const QSize size : {QSize(1280, 1024), QSize(860, 640)}) {
            run.frame->resize(size);
            SaveShot(run.frame, QStringLiteral("status_note_%1").arg(size.width()));
        }

    QVERIFY(
        RunOk(QStringLiteral(RP57CLI_PATH), {QStringLiteral("export"), QString::fromStdString(data),
                                             QStringLiteral("-o"), home.QPath("cli.csv")}));
    QCOMPARE(home.Read("cli.csv"), program);
}

void ReportCommandsTest::ExportErrorsAreShown() {
    TempHome home;
    RunningApp run;
    // Yes to the dialog's "replace it?", then the error box.
    MessageAnswers answers(QMessageBox::Yes);
    FileChoice choose(QStringLiteral("ExportCsvDialog"), QStringLiteral("/dev/full"));
    QVERIFY(run.frame->RunCommand(HCmd::kExportCsv));
    QVERIFY(choose.Fired());
    QVERIFY2(
        answers.texts.join(QLatin1Char('|')).contains(QStringLiteral("Problem writing to file")),
        qPrintable(answers.texts.join(QLatin1Char('|'))));
    // Nothing was written: the status bar does not say it was.
    QCOMPARE(run.frame->StatusPane(0)->text(), QStringLiteral("Ready"));

    // Cancel in the file dialog says nothing.
    answers.texts.clear();
    FileChoice cancel(QStringLiteral("ExportCsvDialog"), QString());
    QVERIFY(run.frame->RunCommand(HCmd::kExportCsv));
    QVERIFY(cancel.Fired());
    QVERIFY(answers.texts.isEmpty());
}

void ReportCommandsTest::PrintToPdfIsTheCliPrint() {
    TempHome home;
    const std::string data = SavedImage(home, "full.R57", 128);
    QVERIFY(!data.empty());
    RunningApp run;
    QVERIFY(run.doc->OpenFile(data));
    PrintToPdf(run.app.Printer(), home.QPath("program.pdf"));
    // File > Print through Qt's print dialog, accepted as it stands.
    ModalDriver<QPrintDialog> print([](QPrintDialog* dialog) { dialog->accept(); },
                                    QStringLiteral("PrintDialog"));
    QVERIFY(run.frame->RunCommand(HCmd::kFilePrint));
    QVERIFY(print.Fired());
    QVERIFY(!run.app.IsPrinting());

    QVERIFY(
        RunOk(QStringLiteral(RP57CLI_PATH), {QStringLiteral("print"), QString::fromStdString(data),
                                             QStringLiteral("--pdf"), home.QPath("cli.pdf")}));
    const QByteArray programText = PdfText(home.QPath("program.pdf"));
    QVERIFY(programText.contains("CHANNEL DATA"));
    QCOMPARE(PdfPages(home.QPath("program.pdf")), PdfPages(home.QPath("cli.pdf")));
    QCOMPARE(run.frame->StatusPane(0)->text(), QStringLiteral("Printed %1 pages to %2")
                                                   .arg(PdfPages(home.QPath("program.pdf")))
                                                   .arg(home.QPath("program.pdf")));
    QCOMPARE(programText, PdfText(home.QPath("cli.pdf")));
}

void ReportCommandsTest::PreviewShowsEveryPage() {
    TempHome home;
    const std::string data = SavedImage(home, "one.R57", 1);
    QVERIFY(!data.empty());
    RunningApp run;
    QVERIFY(run.doc->OpenFile(data));
    run.app.Printer().setPageLayout(HReportPainter::PageLayout(QPageSize::A4));
    const HPrintReport report(run.doc->Image(), {run.app.AccessLevel(), data});
    const int expected =
        static_cast<int>(HReportPainter::SheetsFor(report, run.app.Printer()).size());
    int shown = -1;
    ModalDriver<QPrintPreviewDialog> preview(
        [&shown](QPrintPreviewDialog* dialog) {
            if (auto* widget = dialog->findChild<QPrintPreviewWidget*>())
                shown = widget->pageCount();
            dialog->reject();
        },
        QStringLiteral("PrintPreviewDialog"));
    QVERIFY(run.frame->RunCommand(HCmd::kFilePrintPreview));
    QVERIFY(preview.Fired());
    QVERIFY(expected >= 6);
    QCOMPARE(shown, expected);
    QVERIFY(!run.app.IsPrinting());
}

void ReportCommandsTest::ThePrintingFlagRefusesClosingWhileAJobRuns() {
    TempHome home;
    RunningApp run;
    QPrinter printer(QPrinter::HighResolution);
    PrintToPdf(printer, home.QPath("job.pdf"));
    // Queued now, heard between two sheets of the job.
    bool flagSeen = false;
    int nested = -1;
    QMetaObject::invokeMethod(
        run.frame,
        [&] {
            flagSeen = run.app.IsPrinting();
            nested = HReportCommands::PrintDocument(*run.frame, run.app, printer);
            run.frame->close();
        },
        Qt::QueuedConnection);
    const int sheets = HReportCommands::PrintDocument(*run.frame, run.app, printer);
    QVERIFY(sheets >= 6);
    QVERIFY(flagSeen);
    QCOMPARE(nested, 0); // a second job does not start inside the first
    QVERIFY(run.frame->isVisible());
    QVERIFY(!run.app.IsPrinting());
    QCOMPARE(PdfPages(home.QPath("job.pdf")), sheets);
}

RP57_APP_TEST(ReportCommandsTest)
#include "ReportCommandsTest.moc"
