#include "HAlignmentFlows.h"

#include "CMainFrame.h"
#include "CRP57App.h"
#include "HAdjustmentRecovery.h"
#include "HBasicAlignmentSheet.h"
#include "HComInstructionDialog.h"
#include "HDataFile.h"
#include "HFineAlignmentDlg.h"
#include "HHistoryCommands.h"
#include "HLogPrint.h"
#include "HMainCommands.h"
#include "HMessageBox.h"
#include "HStringTable.h"
#include "HTransferHistory.h"
#include "HTransferSteps.h"

#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

namespace {

// The read ranges of the alignment start events (2 and 5).
const HRangeList kStartEeprom{{0x00, 0x11}, {0x19, 0x1C}, {0x29, 0x2C}, {0x39, 0x3C}, {0x4C, 0x4C}};
const HRangeList kStartFlash{{0x00, 0x01}, {0x03, 0x03}, {0x08, 0xFF}, {0x5C, 0x5E}};
// The write ranges of the end of basic alignment (events 3 and 4).
const HRangeList kEndEeprom{{0x02, 0x02}, {0x10, 0x11}};
const HRangeList kEndFlash{{0x00, 0x01}, {0x03, 0x03}, {0x08, 0xFF}};

// One alignment or recovery event through the transfer window, on `port`.
// The handler's result: 0 success, 1 failure, 2 (event 2) written but not in
// alignment mode. `outcome` receives the whole outcome.
int RunEvent(CMainFrame& frame, const HLinkSettings& link, std::unique_ptr<HCommEventData> event,
             HSerialPort& port, HTransferOutcome* outcome = nullptr) {
    HMemoryImage unused{};
    HComInstructionDialog dialog(link, unused, &frame);
    dialog.SetPreparedEvent(std::move(event), port);
    dialog.DoModal();
    frame.activateWindow();
    if (outcome)
        *outcome = dialog.Outcome();
    return dialog.Outcome().result;
}

// The one record of a whole alignment or recovery.
void Record(HHistoryOperation operation, const HLinkSettings& link, bool ok,
            const HTransferOutcome& last, const HMemoryImage* read, const HMemoryImage* written) {
    HHistoryCommands::Record(
        HTransferHistory::FlowRecord(operation, link.accessLevel, ok, last, read, written));
}

// Waits without blocking the window.
void Pause(std::chrono::milliseconds wait) {
    QEventLoop loop;
    QTimer::singleShot(wait, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

using HMessageBox::ToQtIcon;

// The recovery's questions as message boxes named after their message number.
class RecoveryPrompt final : public HPrompt {
public:
    explicit RecoveryPrompt(QWidget* parent) : m_parent(parent) {}
    void ShowMessage(const std::string& text, HMessageIcon icon) override {
        Box(text, icon, QMessageBox::Ok);
    }
    std::optional<std::string> AskPassword(int) override { return std::nullopt; }
    bool AskYesNo(const std::string& text, HMessageIcon icon) override {
        // Yes writes the recovered adjustment into the radio.
        return HMessageBox::AskYesNo(m_parent, ToQtIcon(icon), text);
    }

private:
    void Box(const std::string& text, HMessageIcon icon, QMessageBox::StandardButtons buttons) {
        QString shown = QString::fromStdString(text);
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QMessageBox box(ToQtIcon(icon), QString::fromLatin1(HMessageBox::kCaption), shown, buttons,
                        m_parent);
        if (const int id = HMessageBox::IdOfText(text); id != 0)
            box.setObjectName(QStringLiteral("message%1").arg(id));
        box.exec();
    }
    QWidget* m_parent;
};

HAdjustmentRecovery::Sources RecoverySources(CMainFrame& frame) {
    HAdjustmentRecovery::Sources sources;
    sources.chooseDataFile = [&frame]() -> std::optional<std::string> {
        QFileDialog dialog(&frame, QStringLiteral("Open"));
        dialog.setObjectName(QStringLiteral("RecoveryFileDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters(
            {QStringLiteral("RP57 Files (*.R57 *.r57)"), QStringLiteral("All Files (*)")});
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().constFirst().toStdString();
    };
    sources.readDefaultFile = &HAdjustmentRecovery::ReadModelDefaultFile;
    return sources;
}

} // namespace

namespace HAlignmentFlows {

int BasicAlignment(CMainFrame& frame, const HLinkSettings& link) {
    HLOG_D1("%s", "BasicAlignment開始");
    HMemoryImage work{};
    HMemoryImage radio{};
    HTransferSteps::CleanImage(work);
    HTransferSteps::CleanImage(radio);
    HSerialPort port;

    auto start = BuildCommEvent(HCommEvent::BasicAlignStart, link, &work, &radio);
    start->readEeprom = kStartEeprom;
    start->readFlash = kStartFlash;
    start->writeEeprom = {{0x10, 0x11}};
    start->writeFlash = kEndFlash;
    HTransferOutcome last;
    const int status = RunEvent(frame, link, std::move(start), port, &last);
    // Result 2: the radio holds the set-up, so its data were read and written.
    const HMemoryImage asRead = work;
    const HMemoryImage* read = status != 1 ? &asRead : nullptr;
    if (status == 0) {
        HLOG_D1("%s", "調整準備が整った為、調整を開始します。");
        HComAlignment comm(&port);
        HBasicAlignmentSheet sheet(comm, radio, &frame);
        Pause(kSheetDelay);
        // Exit is the sheet's only way out: it always ends as Cancel.
        (void)sheet.exec();
        auto end = BuildCommEvent(HCommEvent::BasicAlignEnd, link, &work, &radio);
        end->writeEeprom = kEndEeprom;
        end->writeFlash = kEndFlash;
        end->failedSteps = sheet.FailedSteps();
        const int ended = RunEvent(frame, link, std::move(end), port, &last);
        Record(HHistoryOperation::Alignment, link, ended == 0 && sheet.FailedSteps().empty(), last,
               read, &radio);
    } else if (status == 2) {
        HMessageBox::Show(&frame, HStringTable::kAdjDownloadFailed, QMessageBox::Critical);
        HLOG_D1("%s", "調整準備に失敗した為、元の無線機データを書き戻します。");
        // The radio's own data, as read before the alignment set-up replaced
        // it: the merged copy would leave the set-up in the radio.
        auto back = BuildCommEvent(HCommEvent::BasicAlignStartFailure, link, nullptr, &work);
        back->writeEeprom = kEndEeprom;
        back->writeFlash = kEndFlash;
        (void)RunEvent(frame, link, std::move(back), port, &last);
        Record(HHistoryOperation::Alignment, link, false, last, read, &work);
    } else {
        Record(HHistoryOperation::Alignment, link, false, last, nullptr, nullptr);
    }
    HLOG_D1("BasicAlignment[STATUS:%d]", status);
    return status;
}

int ChannelFineAlignment(CMainFrame& frame, const HLinkSettings& link) {
    HLOG_D1("%s", "ChannelFineAlignment開始");
    HMemoryImage work{};
    HSerialPort port;
    auto start = BuildCommEvent(HCommEvent::FineAlignStart, link, &work, nullptr);
    start->readEeprom = kStartEeprom;
    start->readFlash = kStartFlash;
    HTransferOutcome last;
    int status = RunEvent(frame, link, std::move(start), port, &last);
    const HMemoryImage asRead = work;
    const bool started = status == 0;
    const HMemoryImage* written = nullptr;
    if (started) {
        HLOG_D1("%s", "調整準備が整った為、調整を開始します。");
        HComAlignment comm(&port);
        int result = 2;
        {
            HFineAlignmentDlg dialog(comm, work, &frame);
            result = dialog.exec() == QDialog::Accepted ? 1 : 2;
        }
        HLOG_D1("Channel Fine Alignment終了[OK/CANCEL:%d]", result);
        if (result == 1) {
            auto end = BuildCommEvent(HCommEvent::FineAlignEnd, link, nullptr, &work);
            end->writeFlash = {{0x08, 0xFF}};
            status = RunEvent(frame, link, std::move(end), port, &last);
            written = &work;
        } else {
            status = RunEvent(frame, link,
                              BuildCommEvent(HCommEvent::FineAlignCancel, link, nullptr, nullptr),
                              port, &last);
            last.status = HTransferStatus::Cancelled;
        }
    }
    Record(HHistoryOperation::Alignment, link, status == 0 && written, last,
           started ? &asRead : nullptr, written);
    HLOG_D1("ChannelFineAlignment終了[STATUS:%d]", status);
    return status;
}

int AdjustmentRecover(CMainFrame& frame, const HLinkSettings& link) {
    HLOG_D1("%s", "Adjustment Recovery開始");
    HMemoryImage work{};
    HSerialPort port;
    auto start = BuildCommEvent(HCommEvent::RecoveryStart, link, &work, nullptr);
    start->readEeprom = {{0x00, 0x1C}, {0xEB, 0xFE}};
    start->readFlash = {{0x00, 0x01}, {0x08, 0xFF}, {0x5C, 0x5E}};
    HTransferOutcome last;
    int status = RunEvent(frame, link, std::move(start), port, &last);
    const HMemoryImage asRead = work; // the recovery works on `work`
    const bool started = status == 0;
    const HMemoryImage* written = nullptr;
    if (started) {
        RecoveryPrompt prompt(&frame);
        HCommEventData ranges;
        if (HAdjustmentRecovery::AdjustmentRecovery(work, ranges, prompt, RecoverySources(frame))) {
            auto end = BuildCommEvent(HCommEvent::RecoveryEnd, link, nullptr, &work);
            end->writeEeprom = ranges.writeEeprom;
            end->writeFlash = ranges.writeFlash;
            status = RunEvent(frame, link, std::move(end), port, &last);
            written = &work;
        } else {
            status = 1;
            last.status = HTransferStatus::Cancelled;
        }
    }
    Record(HHistoryOperation::Recovery, link, status == 0, last, started ? &asRead : nullptr,
           written);
    HLOG_D1("Adjustment Recovery終了[STATUS:%d]", status);
    return status;
}

void Install(CMainFrame& frame, CRP57App& app) {
    if (app.AccessLevel() < 1)
        return;
    const auto branch = [&frame, &app](int (*run)(CMainFrame&, const HLinkSettings&)) {
        return [&frame, &app, run] {
            HLOG_D1("%s", "[FUNC IN]OnMenuRadio");
            frame.SendViewSaveData();
            (void)run(frame, HComInstructionDialog::SettingsOf(app));
            frame.SendViewRefresh();
            HLOG_D1("%s", "[FUNC OUT]OnMenuRadio");
        };
    };
    frame.SetCommandHandler(HCmd::kBasicAlignment, branch(&BasicAlignment));
    frame.SetCommandHandler(HCmd::kChFineAlignment, branch(&ChannelFineAlignment));
    frame.SetCommandHandler(HCmd::kAdjustmentRecover, branch(&AdjustmentRecover));
}

} // namespace HAlignmentFlows
