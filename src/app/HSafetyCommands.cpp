#include "HSafetyCommands.h"

#include "CCompareDlg.h"
#include "CMainFrame.h"
#include "CRP57App.h"
#include "CRP57Doc.h"
#include "HBackups.h"
#include "HDataFile.h"
#include "HLogPrint.h"
#include "HMainCommands.h"
#include "HMessageBox.h"
#include "HQtText.h"
#include "HStringTable.h"
#include "HWriteCheck.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace HSafetyCommands {
namespace {

// One line a finding, led by its setting's caption unless its text names the
// setting already.
QString Lines(const std::vector<HCheckFinding>& findings, HCheckSeverity severity) {
    QString out;
    for (const HCheckFinding& f : findings)
        if (f.severity == severity)
            out += ToQString(f.text.find(f.caption) == std::string::npos ? f.caption + ": " + f.text
                                                                         : f.text) +
                   QLatin1Char('\n');
    return out;
}

void OnCompareWith(CMainFrame& frame, CRP57App& app) {
    CRP57Doc* doc = app.Document();
    if (!doc)
        return;
    frame.SendViewSaveData();
    const QString path =
        QFileDialog::getOpenFileName(&frame, QStringLiteral("Compare With"), QString(),
                                     QStringLiteral("RP57 Files (*.R57 *.r57);;All Files (*)"));
    if (path.isEmpty())
        return;
    HMemoryImage other{};
    const HDataFileResult r = HDataFile::Open(path.toStdString(), other);
    if (!r.Ok()) {
        HMessageBox::Show(&frame, r.messageId, QMessageBox::Critical, QMessageBox::Ok,
                          {path.toStdString()}, r.detail);
        return;
    }
    CCompareDlg dialog(HImageDiff::Compare(doc->Image(), other, app.AccessLevel()),
                       ToQString(app.CurrentFilePath()), path, &frame);
    dialog.exec();
}

void OnOpenBackups(CMainFrame& frame) {
    const QString folder = ToQString(HBackups::Folder());
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        QMessageBox::information(&frame, QString::fromLatin1(HMessageBox::kCaption), folder);
}

} // namespace

void Install(CMainFrame& frame, CRP57App& app) {
    frame.SetCommandHandler(HCmd::kCompareWith, [&frame, &app] { OnCompareWith(frame, app); });
    frame.SetCommandHandler(HCmd::kOpenBackups, [&frame] { OnOpenBackups(frame); });
}

bool ConfirmDownload(QWidget* parent, const HMemoryImage& image, int accessLevel) {
    const std::vector<HCheckFinding> findings = HWriteCheck::CheckImage(image, accessLevel);
    for (const HCheckFinding& f : findings)
        HLOG_D1("check %s", HWriteCheck::Describe(f).c_str());
    if (findings.empty())
        return true;
    const QString caption = QString::fromLatin1(HMessageBox::kCaption);
    if (!HHasCheckErrors(findings)) {
        QMessageBox box(QMessageBox::Warning, caption, Lines(findings, HCheckSeverity::Warning),
                        QMessageBox::Ok, parent);
        box.setObjectName(QStringLiteral("checkWarnings"));
        box.exec();
        return true;
    }
    QMessageBox box(QMessageBox::Critical, caption,
                    HMessageBox::Text(HStringTable::kCheckOverride,
                                      {Lines(findings, HCheckSeverity::Error).toStdString()}),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName(QStringLiteral("checkOverride"));
    if (const QString warnings = Lines(findings, HCheckSeverity::Warning); !warnings.isEmpty())
        box.setDetailedText(warnings);
    const bool yes = HMessageBox::Ask(box) == QMessageBox::Yes;
    HLOG_D1("check errors %s", yes ? "overridden" : "stop the download");
    return yes;
}

void KeepDocument(QWidget* parent, const HMemoryImage& image) {
    const HBackupResult r = HBackups::Keep(image, HBackups::kDocumentLabel, HBackupSettings::Read(),
                                           HBackups::Clock::now());
    if (r.written)
        return;
    HLOG_ER("document backup failed: %s", r.error.c_str());
    HMessageBox::Show(parent, HStringTable::kBackupFailed, QMessageBox::Warning, QMessageBox::Ok,
                      {r.error});
}

} // namespace HSafetyCommands
