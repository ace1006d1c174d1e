#include "HComInstructionDialog.h"

#include "CPasswordDialog.h"
#include "CRP57App.h"
#include "HHistoryCommands.h"
#include "HLogPrint.h"
#include "HMessageBox.h"
#include "HProgramDir.h"
#include "HStringTable.h"
#include "HTransferHistory.h"
#include "HTransferRanges.h"
#include "HWriteCheck.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace {

constexpr int kMsgRun = 0x500;

using HMessageBox::ToQtIcon;

} // namespace

// The controller's questions and its window, answered on the dialog's thread.
// The controller calls from its worker thread: questions block the worker
// until the user has answered; window updates are queued and never wait.
class HComInstructionDialog::Prompt final : public HPrompt, public HComObserver {
public:
    explicit Prompt(HComInstructionDialog& dialog) : m_dialog(&dialog) {}

    void ShowMessage(const std::string& text, HMessageIcon icon) override {
        OnGui([&] {
            QMessageBox box(ToQtIcon(icon), QString::fromLatin1(HMessageBox::kCaption),
                            QString::fromStdString(text), QMessageBox::Ok, m_dialog);
            box.setObjectName(QStringLiteral("transferMessage"));
            // The controller is waiting on this call, so the port's reason
            // is still the one of this open.
            if (text == HComText::kPortOpenError) {
                box.setInformativeText(PortOpenDetail());
                // Wide enough that a device path and its reason read as lines.
                if (auto* detail =
                        box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
                    detail->setMinimumWidth(detail->fontMetrics().averageCharWidth() * 52);
            }
            box.exec();
        });
    }

    std::optional<std::string> AskPassword(int attempt) override {
        std::optional<std::string> typed;
        OnGui([&] {
            HLOG_D1("programming password asked [TRY:%d]", attempt);
            if (attempt > 1) {
                // The controller asks again only after a wrong entry.
                const int left = HRP57CommunicationDialog::kPasswordTries - attempt + 1;
                HMessageBox::Show(m_dialog, HStringTable::kPasswordWrong, QMessageBox::Warning,
                                  QMessageBox::Ok, {std::to_string(left)});
            }
            CPasswordDialog dialog(m_dialog);
            dialog.SetPrompt(HMessageBox::Text(HStringTable::kProgrammingPasswordPrompt));
            if (dialog.exec() == QDialog::Accepted)
                typed = dialog.Code().toStdString();
            else
                m_passwordCancelled = true;
        });
        return typed;
    }

    // Why the port did not open; the system's reason or a plain fallback.
    [[nodiscard]] QString PortOpenDetail() const {
        const HSerialPort& port = m_dialog->Port();
        const std::string& detail = port.GetOpenErrorDetail();
        return QString::fromStdString(detail.empty() ? port.DeviceName() : detail);
    }

    // The user cancelled the password dialog during this transfer.
    bool m_passwordCancelled = false;

    bool AskYesNo(const std::string& text, HMessageIcon icon) override {
        bool yes = false;
        OnGui([&] {
            yes = HMessageBox::AskYesNo(m_dialog, ToQtIcon(icon), text,
                                        QStringLiteral("transferQuestion"));
        });
        return yes;
    }

    void OnTitle(const std::string& title) override {
        Post([this, t = QString::fromStdString(title)] { m_dialog->setWindowTitle(t); });
    }
    void OnStatusText(const std::string& text) override {
        Post([this, t = QString::fromStdString(text)] { m_dialog->m_status->setText(t); });
    }
    void OnProgressRange(int maximum) override {
        Post([this, maximum] { m_dialog->m_progress->setRange(0, std::max(maximum, 1)); });
    }
    void OnProgressPos(int position) override {
        Post([this, position] {
            m_dialog->m_progress->setValue(std::min(position, m_dialog->m_progress->maximum()));
        });
    }

private:
    template <class F> void OnGui(F&& run) {
        if (QThread::currentThread() == m_dialog->thread()) {
            run();
            return;
        }
        QMetaObject::invokeMethod(m_dialog, std::forward<F>(run), Qt::BlockingQueuedConnection);
    }
    template <class F> void Post(F&& run) {
        if (QThread::currentThread() == m_dialog->thread())
            run();
        else
            QMetaObject::invokeMethod(m_dialog, std::forward<F>(run), Qt::QueuedConnection);
    }

    HComInstructionDialog* m_dialog;
};

HComInstructionDialog::LinkSettings HComInstructionDialog::SettingsOf(const CRP57App& app) {
    LinkSettings link;
    link.portNumber = app.ComPort();
    link.devicePath = app.ComDevice();
    link.baudRate = app.BaudRate();
    link.connectionMode = app.ConnectionMode();
    link.accessLevel = app.AccessLevel();
    return link;
}

std::unique_ptr<HCommEventData> HComInstructionDialog::BuildEvent(int command,
                                                                  const LinkSettings& link,
                                                                  HMemoryImage& work,
                                                                  HMemoryImage& image) {
    if (command != kCommandUpload && command != kCommandDownload)
        return nullptr;
    auto event =
        BuildCommEvent(command == kCommandDownload ? HCommEvent::Download : HCommEvent::Upload,
                       link, &work, &image);
    if (command == kCommandDownload) {
        event->radioCheck = &HWriteCheck::CheckAgainstRadio;
        if (const HBackupSettings backups = HBackupSettings::Read(); backups.beforeDownload) {
            event->backupSink = [backups](const HMemoryImage& radio) {
                return HBackups::Keep(radio, HBackups::SerialLabel(radio), backups,
                                      HBackups::Clock::now());
            };
            // An earlier read of the same radio may stand for the backup.
            event->backupSource = HHistoryCommands::BackupSource();
        } else {
            event->noBackupWhy = HStringTable::Format(HStringTable::kBackupSwitchedOff,
                                                      {HProgramDir::SettingsPath()});
        }
        // The radio's serial number (words 0xFD-0xFE) names its record.
        if (link.accessLevel != 2)
            event->readEeprom.push_back({0xFD, 0xFE});
    }
    return event;
}

HComInstructionDialog::HComInstructionDialog(const LinkSettings& link, HMemoryImage& image,
                                             QWidget* parent)
    : QDialog(parent), m_link(link), m_image(image), m_prompt(std::make_unique<Prompt>(*this)) {
    setObjectName(QStringLiteral("HComInstructionDialog"));
    setWindowTitle(QString::fromLatin1(HComText::kUploadTitle));
    setModal(true);

    // The window grows to show a long final message whole.
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("transferStatus"));
    m_status->setWordWrap(true);
    m_status->setMinimumWidth(320);
    m_status->setMinimumHeight(m_status->fontMetrics().lineSpacing() * 2);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("transferProgress"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(true);

    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("transferCancel"));
    m_cancel->setAutoDefault(false);
    // Keys typed during a transfer are dropped; a focused button would turn a
    // stray Space into a cancel.
    m_cancel->setFocusPolicy(Qt::NoFocus);
    connect(m_cancel, &QPushButton::clicked, this, &HComInstructionDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->setSpacing(10);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(380);
}

HComInstructionDialog::~HComInstructionDialog() {
    if (m_controller) {
        // Only reached when the dialog goes while a transfer still runs.
        m_controller->Cancel();
        m_controller.reset();
    }
}

void HComInstructionDialog::SetCommand(int command) {
    m_command = command;
    setWindowTitle(QString::fromLatin1(command == kCommandDownload ? HComText::kDownloadTitle
                                                                   : HComText::kUploadTitle));
}

void HComInstructionDialog::SetAddedChannelUpload(const HRangeList& flashPages,
                                                  const HMemoryImage& work) {
    m_command = kCommandAddedChannels;
    m_addedPages = flashPages;
    m_work = work;
    setWindowTitle(QString::fromLatin1(HComText::kUploadTitle));
}

void HComInstructionDialog::SetPreparedEvent(std::unique_ptr<HCommEventData> event,
                                             HSerialPort& port) {
    m_command = 0;
    m_prepared = std::move(event);
    m_externalPort = &port;
}

int HComInstructionDialog::Direction() const {
    return m_command == kCommandDownload ? HRP57CommunicationDialog::kDirectionDownload
                                         : HRP57CommunicationDialog::kDirectionUpload;
}

const char* HComInstructionDialog::StartLine() const {
    return m_command == kCommandDownload ? "Download開始" : "Upload開始";
}

int HComInstructionDialog::DoModal() {
    m_outcome = HTransferOutcome{};
    m_posted = false;
    m_prompt->m_passwordCancelled = false;
    // The added channel upload runs without a window of its own; it is still
    // modal, so the image cannot be edited under it.
    setAttribute(Qt::WA_DontShowOnScreen, m_command == kCommandAddedChannels);
    return exec();
}

void HComInstructionDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_posted)
        return;
    // The transfer starts once the dialog is on the screen.
    m_posted = true;
    HLOG_D2("[%s]%03d", "PostMessage", kMsgRun);
    QMetaObject::invokeMethod(this, &HComInstructionDialog::OnRun, Qt::QueuedConnection);
}

void HComInstructionDialog::OnRun() {
    HLOG_D1("[FUNC IN]OnMenuRadio");
    HLOG_D1("%s", StartLine());

    std::unique_ptr<HCommEventData> event;
    if (m_prepared) {
        event = std::move(m_prepared);
    } else if (m_command == kCommandAddedChannels) {
        event = BuildCommEvent(HCommEvent::AddedChannelUpload, m_link, &m_work, &m_image);
        event->readFlash = m_addedPages;
    } else {
        event = BuildEvent(m_command, m_link, m_work, m_image);
        if (event && m_eventHook)
            m_eventHook(*event);
    }
    if (!event) {
        HLOG_ER("transfer command not known [ID:%d]", m_command);
        OnTransferOver(HTransferOutcome{});
        return;
    }

    m_running = true;
    m_cancelRequested = false;
    m_cancel->setEnabled(true);
    m_controller = std::make_unique<HRP57CommunicationDialog>(Direction(), &Port(), m_prompt.get(),
                                                              m_prompt.get());
    if (m_command == kCommandAddedChannels)
        m_controller->SetShowWindowFlag(1);
    if (QWidget* main = parentWidget())
        main->activateWindow();
    activateWindow();

    HLOG_D1("SendMessage(0x401) [EVENT:%d]", event->eventId);
    QPointer<HComInstructionDialog> self(this);
    const bool started =
        m_controller->Start(std::move(event), [self](const HTransferOutcome& outcome) {
            // Worker thread: hand the outcome to the dialog's thread.
            QMetaObject::invokeMethod(
                self.data(),
                [self, outcome] {
                    if (self)
                        self->OnTransferOver(outcome);
                },
                Qt::QueuedConnection);
        });
    if (!started) {
        HLOG_ER("%s", "the controller did not take the event");
        HTransferOutcome failed;
        failed.message = HComText::kCommunicationError;
        OnTransferOver(failed);
    }
}

void HComInstructionDialog::OnTransferOver(const HTransferOutcome& outcome) {
    m_outcome = outcome;
    if (m_recorded && (m_command == kCommandUpload || m_command == kCommandDownload))
        HHistoryCommands::Record(HTransferHistory::RecordOf(
            m_command == kCommandUpload ? HHistoryOperation::Upload : HHistoryOperation::Download,
            m_link.accessLevel, outcome));
    // The worker is idle once it has reported: ending it here cannot wait on us.
    if (m_controller) {
        m_controller->SetShowWindowFlag(0);
        m_controller.reset();
    }
    m_running = false;
    m_cancel->setEnabled(false);
    if (outcome.status == HTransferStatus::Cancelled) {
        // The controller has no final message for a stop the user asked for;
        // say that it stopped (and the radio was reset) before the window goes.
        // Cancelling the password dialog was answer enough.
        m_status->setText(QString::fromLatin1(HComText::kCancelled));
        if (!m_prompt->m_passwordCancelled)
            m_prompt->ShowMessage(HComText::kCancelled, HMessageIcon::Information);
    } else if (outcome.message == HComText::kPortOpenError) {
        m_status->setText(QString::fromStdString(outcome.message) + QLatin1Char('\n') +
                          m_prompt->PortOpenDetail());
    } else if (!outcome.message.empty()) {
        m_status->setText(QString::fromStdString(outcome.message));
    }
    const int status = outcome.status == HTransferStatus::Success ? 0 : 1;
    if (m_command == kCommandDownload)
        HLOG_D1("Download終了[STATUS:%d]", status);
    else
        HLOG_D1("Upload終了[STATUS:%d]", status);
    // Key presses made while the transfer ran are not passed on.
    QCoreApplication::removePostedEvents(this, QEvent::KeyPress);
    done(status == 0 ? kResultOk : kResultCancel);
    HLOG_D1("[FUNC OUT]OnMenuRadio");
}

void HComInstructionDialog::reject() {
    if (!m_running && !m_posted) {
        QDialog::reject();
        return;
    }
    if (!m_running)
        return; // ending on its own: the outcome decides the result
    if (!m_cancelRequested) {
        HLOG_D1("%s", "transfer cancel requested");
        m_cancelRequested = true;
        m_cancel->setEnabled(false);
        if (m_controller)
            m_controller->Cancel();
    }
}

void HComInstructionDialog::keyPressEvent(QKeyEvent* event) {
    // Escape asks for a cancel as the button does; every other key typed while
    // the dialog is up goes nowhere.
    if (event->key() == Qt::Key_Escape)
        reject();
    event->accept();
}

void HComInstructionDialog::closeEvent(QCloseEvent* event) {
    if (m_running) {
        reject();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
