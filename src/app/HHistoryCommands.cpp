#include "HHistoryCommands.h"

#include "CMainFrame.h"
#include "HLogPrint.h"
#include "HMessageBox.h"
#include "HTransferHistory.h"

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

void Install(CMainFrame& frame, CRP57App&) {
    Current().frame = &frame;
}

} // namespace HHistoryCommands
