#include "CFleetDownloadDlg.h"

#include "CRP57App.h"
#include "HComInstructionDialog.h"
#include "HDataFile.h"
#include "HFleetPlan.h"
#include "HHistoryCommands.h"
#include "HLogPrint.h"
#include "HMessageBox.h"
#include "HQtText.h"
#include "HRadioDetect.h"
#include "HSafetyCommands.h"
#include "HSignallingSteps.h"
#include "HStringTable.h"
#include "HTransferHistory.h"
#include "HTransferSteps.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { kNumber, kSerial, kResult, kValues, kMessage, kColumns };

// A line edit with a Browse button that fills it from a file dialog.
QWidget* WithBrowse(QWidget* parent, QLineEdit* edit, const QString& filter) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* browse = new QPushButton(QStringLiteral("Browse..."), row);
    browse->setAutoDefault(false);
    QObject::connect(browse, &QPushButton::clicked, row, [edit, filter, parent] {
        const QString path =
            QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), edit->text(), filter);
        if (!path.isEmpty())
            edit->setText(path);
    });
    layout->addWidget(edit, 1);
    layout->addWidget(browse);
    return row;
}

} // namespace

CFleetDownloadDlg::CFleetDownloadDlg(CRP57App& app, const HMemoryImage& document, QWidget* parent)
    : QDialog(parent), m_app(app), m_document(document) {
    setObjectName(QStringLiteral("FleetDownloadDialog"));
    setWindowTitle(QStringLiteral("Fleet Download"));

    m_file = new QLineEdit(this);
    m_file->setObjectName(QStringLiteral("fleetFile"));
    m_file->setPlaceholderText(QStringLiteral("(the open document)"));
    m_roster = new QLineEdit(this);
    m_roster->setObjectName(QStringLiteral("fleetRoster"));
    m_roster->setPlaceholderText(QStringLiteral("(none: every radio gets the same image)"));
    m_keep = new QLineEdit(this);
    m_keep->setObjectName(QStringLiteral("fleetKeep"));
    m_keep->setPlaceholderText(QStringLiteral("setting keys, separated by commas"));
    m_keep->setToolTip(QStringLiteral("Settings read from each radio and kept as it has them "
                                      "(as rp57cli show lists the keys)"));
    m_backup = new QCheckBox(QStringLiteral("&Read each radio for a backup first"), this);
    m_backup->setObjectName(QStringLiteral("fleetBackup"));

    auto* form = new QFormLayout;
    form->addRow(
        QStringLiteral("Data &file:"),
        WithBrowse(this, m_file, QStringLiteral("RP57 Files (*.R57 *.r57);;All Files (*)")));
    form->addRow(QStringLiteral("&Roster:"),
                 WithBrowse(this, m_roster, QStringLiteral("CSV Files (*.csv);;All Files (*)")));
    form->addRow(QStringLiteral("&Keep:"), m_keep);
    form->addRow(QString(), m_backup);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("fleetStatus"));
    m_status->setWordWrap(true);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("fleetSummary"));

    m_list = new QTableWidget(0, kColumns, this);
    m_list->setObjectName(QStringLiteral("fleetList"));
    m_list->setHorizontalHeaderLabels({QStringLiteral("#"), QStringLiteral("Serial"),
                                       QStringLiteral("Result"), QStringLiteral("Values"),
                                       QStringLiteral("Message")});
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);

    m_start = new QPushButton(QStringLiteral("&Start"), this);
    m_start->setObjectName(QStringLiteral("fleetStart"));
    m_stopButton = new QPushButton(QStringLiteral("S&top"), this);
    m_stopButton->setObjectName(QStringLiteral("fleetStop"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(m_start, QDialogButtonBox::ActionRole);
    buttons->addButton(m_stopButton, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFleetDownloadDlg::reject);
    connect(m_start, &QPushButton::clicked, this, [this] { (void)Start(); });
    connect(m_stopButton, &QPushButton::clicked, this, &CFleetDownloadDlg::Stop);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_status);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_summary);
    layout->addWidget(buttons);
    resize(820, 520);
    UpdateState();
}

CFleetDownloadDlg::~CFleetDownloadDlg() {
    m_stop = true;
    if (m_waiter.joinable())
        m_waiter.join();
}

bool CFleetDownloadDlg::Refuse(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(HMessageBox::kCaption), text,
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("fleetRefused"));
    box.exec();
    return false;
}

bool CFleetDownloadDlg::Start() {
    if (m_running)
        return true;
    const int level = m_app.AccessLevel();
    m_prepared = m_document;
    if (const QString path = m_file->text().trimmed(); !path.isEmpty()) {
        const HDataFileResult r = HDataFile::Open(path.toStdString(), m_prepared);
        if (!r.Ok())
            return Refuse(ToQString(r.message + "\n" + (r.detail.empty() ? r.reason : r.detail)));
    }
    // What the program does to its image before every Download.
    HTransferSteps::PrepareForDownload(m_prepared, HTransferSteps::ReadSignallingMode(m_prepared),
                                       HSignallingSteps::WriteCompiledTables);
    if (!HSafetyCommands::ConfirmDownload(this, m_prepared, level))
        return false;
    m_keepKeys.clear();
    for (const QString& key : m_keep->text().split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (!key.trimmed().isEmpty())
            m_keepKeys.push_back(key.trimmed().toStdString());
    std::string why;
    m_hasRoster = !m_roster->text().trimmed().isEmpty();
    if (m_hasRoster && !m_roster_.Load(m_roster->text().trimmed().toStdString(), m_prepared, level,
                                       m_keepKeys, why))
        return Refuse(ToQString(why));
    if (!m_hasRoster && !(why = HRoster::CheckKeep(m_prepared, level, m_keepKeys)).empty())
        return Refuse(QStringLiteral("Keep: ") + ToQString(why));
    HLOG_D1("fleet download started [ROSTER:%d][KEEP:%zu]", m_hasRoster ? 1 : 0, m_keepKeys.size());
    m_running = true;
    m_stop = false;
    WaitForRadio();
    return true;
}

void CFleetDownloadDlg::Stop() {
    m_stop = true;
    if (m_waiter.joinable())
        m_waiter.join();
    m_running = false;
    UpdateState();
}

void CFleetDownloadDlg::reject() {
    if (m_inTransfer)
        return; // the transfer window has its own Cancel
    Stop();
    QDialog::reject();
}

void CFleetDownloadDlg::WaitForRadio() {
    if (m_waiter.joinable())
        m_waiter.join();
    UpdateState();
    const std::string device = HComInstructionDialog::SettingsOf(m_app).DeviceName();
    const int baud = m_app.BaudRate();
    // Listening never sends: a radio that is not switched on is waited for.
    m_waiter = std::thread([this, device, baud] {
        using namespace std::chrono_literals;
        while (!m_stop) {
            if (!HRadioDetect::Listen({device}, 1s, baud, &m_stop, true).radios.empty()) {
                QMetaObject::invokeMethod(this, &CFleetDownloadDlg::OnRadio, Qt::QueuedConnection);
                return;
            }
            std::this_thread::sleep_for(100ms);
        }
    });
}

void CFleetDownloadDlg::OnRadio() {
    if (m_waiter.joinable())
        m_waiter.join();
    if (m_stop || !m_running)
        return;
    m_inTransfer = true;
    UpdateState();
    const int level = m_app.AccessLevel();
    HMemoryImage image = m_prepared;
    HFleetTurn turn;
    HComInstructionDialog dialog(HComInstructionDialog::SettingsOf(m_app), image, this);
    dialog.SetCommand(HComInstructionDialog::kCommandDownload);
    dialog.SetRecorded(false);
    const HRoster* roster = m_hasRoster ? &m_roster_ : nullptr;
    const bool backup = m_backup->isChecked() || !m_keepKeys.empty();
    dialog.SetEventHook([this, roster, backup, &turn](HCommEventData& event) {
        // A fleet reads each radio for a backup only when asked (or to keep its
        // own settings): each costs an upload's time.
        if (!backup) {
            event.backupSink = nullptr;
            event.backupSource = nullptr;
        }
        HFleetPlan::Install(event, roster, m_keepKeys, turn);
    });
    dialog.DoModal();
    const HTransferOutcome& outcome = dialog.Outcome();
    const bool ok = outcome.status == HTransferStatus::Success;
    HHistoryRecord record =
        HTransferHistory::RecordOf(HHistoryOperation::FleetDownload, level, outcome);
    record.values = turn.received;
    const std::string serial = turn.serial.empty() ? record.radio.serial : turn.serial;
    const char* result = ok ? "done" : turn.skipped ? "skipped" : "failed";
    ++(ok ? m_done : turn.skipped ? m_skipped : m_failed);
    std::string values = turn.received;
    std::replace(values.begin(), values.end(), '\n', ';');
    AddRow(serial, result,
           outcome.status == HTransferStatus::Cancelled ? HComText::kCancelled : outcome.message,
           values);
    HHistoryCommands::Record(std::move(record));
    m_inTransfer = false;
    if (m_running && !m_stop)
        WaitForRadio();
    UpdateState();
}

void CFleetDownloadDlg::AddRow(const std::string& serial, const char* result,
                               const std::string& message, const std::string& values) {
    const int row = m_list->rowCount();
    m_list->insertRow(row);
    const QString texts[kColumns] = {
        QString::number(row + 1), serial.empty() ? QStringLiteral("(none)") : ToQString(serial),
        QString::fromLatin1(result), ToQString(values),
        ToQString(message).replace(QStringLiteral("\r\n"), QStringLiteral(" / "))};
    for (int c = 0; c < kColumns; ++c) {
        auto* item = new QTableWidgetItem(texts[c]);
        item->setToolTip(texts[c]);
        m_list->setItem(row, c, item);
    }
    m_list->resizeColumnsToContents();
    m_list->scrollToBottom();
}

void CFleetDownloadDlg::UpdateState() {
    m_start->setEnabled(!m_running);
    m_stopButton->setEnabled(m_running && !m_inTransfer);
    for (QWidget* w : std::initializer_list<QWidget*>{m_file, m_roster, m_keep, m_backup})
        w->setEnabled(!m_running);
    const bool begun = m_done + m_failed + m_skipped > 0;
    m_status->setText(m_inTransfer ? QStringLiteral("Programming a radio...")
                      : m_running  ? ToQString(HStringTable::Get(HStringTable::kFleetWaiting))
                                        .replace(QStringLiteral("Ctrl-C"), QStringLiteral("Stop"))
                      : begun ? QStringLiteral("Stopped.")
                              : QStringLiteral("Choose the file and the roster, then Start."));
    m_summary->setText(
        QStringLiteral("%1 done, %2 failed, %3 skipped").arg(m_done).arg(m_failed).arg(m_skipped));
}
