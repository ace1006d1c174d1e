#include "HHistoryCommands.h"

#include "CFleetDownloadDlg.h"
#include "CHistoryDlg.h"
#include "CMainFrame.h"
#include "CRP57App.h"
#include "CRP57Doc.h"
#include "HDocumentHistory.h"
#include "HLogPrint.h"
#include "HMainCommands.h"
#include "HMessageBox.h"
#include "HRadioCommands.h"
#include "HTransferHistory.h"
#include "HTransferSteps.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace {

struct State {
    std::unique_ptr<HHistory> history;
    std::unique_ptr<HHistoryWriter> writer;
    std::unique_ptr<HTransferHistory> source;
    QPointer<QWidget> frame; // where notices are shown
};

State& Current() {
    static State state;
    const HHistorySettings settings = HHistorySettings::Read();
    const HHistorySettings* now = state.history ? &state.history->Settings() : nullptr;
    if (!now || now->url != settings.url || now->spoolPath != settings.spoolPath ||
        now->reuseMinutes != settings.reuseMinutes || now->problem != settings.problem) {
        // What was posted goes where it was meant to before the change.
        state.source.reset();
        state.writer.reset();
        state.history = std::make_unique<HHistory>(settings);
        state.writer = std::make_unique<HHistoryWriter>(*state.history);
        state.source = std::make_unique<HTransferHistory>(*state.history, state.writer.get());
    }
    return state;
}

void Tell(const std::string& notice) {
    HLOG_D1("history: %s", notice.c_str());
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(
        app,
        [text = QString::fromStdString(notice)] {
            QWidget* parent =
                Current().frame ? Current().frame.data() : QApplication::activeWindow();
            auto* box =
                new QMessageBox(QMessageBox::Warning, QString::fromLatin1(HMessageBox::kCaption),
                                text, QMessageBox::Ok, parent);
            box->setObjectName(QStringLiteral("historyNotice"));
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->setModal(false);
            box->show();
        },
        Qt::QueuedConnection);
}

// The version becomes the document, as an upload of the radio would make it.
bool OpenVersion(CMainFrame& frame, CRP57App& app, const HMemoryImage& image, const QString& name) {
    CRP57Doc* doc = app.Document();
    if (!doc || (app.ModifiedFlag() != 0 && !doc->SaveModified()))
        return false;
    doc->History().NameRunningCommand("Open " + name.toStdString());
    doc->Image() = image;
    const HSignallingMode mode = HTransferSteps::CorrectAfterUpload(doc->Image());
    app.SetCurrentFilePath(CRP57App::kNoFile);
    doc->UpdateTitle();
    frame.SetSignallingMenuMode(static_cast<int>(mode));
    emit doc->ImageLoaded();
    HLOG_D1("history version opened [%s]", name.toStdString().c_str());
    return true;
}

void OnHistory(CMainFrame& frame, CRP57App& app) {
    HLOG_D1("%s", "[FUNC IN]OnHistory");
    frame.SendViewSaveData();
    HHistoryCommands::Flush();
    CHistoryDlg dialog(HHistoryCommands::History(), app.AccessLevel(), &frame);
    if (dialog.exec() == QDialog::Accepted &&
        OpenVersion(frame, app, dialog.ChosenImage(), dialog.ChosenName())) {
        frame.SendViewRefresh();
        // The usual download: its check before writing and its backup.
        if (dialog.Chosen() == CHistoryDlg::Action::Download)
            HRadioCommands::OnMenuRadio(frame, app, HCmd::kDownload);
    }
    HLOG_D1("%s", "[FUNC OUT]OnHistory");
}

void OnFleetDownload(CMainFrame& frame, CRP57App& app) {
    CRP57Doc* doc = app.Document();
    if (!doc)
        return;
    frame.SendViewSaveData();
    CFleetDownloadDlg dialog(app, doc->Image(), &frame);
    dialog.exec();
}

} // namespace

namespace HHistoryCommands {

HHistory& History() {
    return *Current().history;
}

void Record(HHistoryRecord record) {
    Current().writer->Post(std::move(record), &Tell);
}

void Flush() {
    Current().writer->Flush();
}

HBackupSource* BackupSource() {
    State& state = Current();
    return state.history->Settings().reuseMinutes > 0 ? state.source.get() : nullptr;
}

void Install(CMainFrame& frame, CRP57App& app) {
    Current().frame = &frame;
    frame.SetCommandHandler(HCmd::kRadioHistory, [&frame, &app] { OnHistory(frame, app); });
    frame.SetCommandHandler(HCmd::kFleetDownload, [&frame, &app] { OnFleetDownload(frame, app); });
}

} // namespace HHistoryCommands
