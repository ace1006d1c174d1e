#pragma once
// The transfer dialog: builds the communication event of an Upload (event 0)
// or a Download (event 1) with the block lists of the access level, or takes a
// prepared event (the added channel upload, event 11), runs it through the
// communication controller on the controller's worker thread, and shows the
// controller's window meanwhile: title, status text, progress bar and Cancel.
// The controller's questions (programming password, mismatch messages) appear
// as dialogs over it. It closes with OK when the transfer succeeded and with
// Cancel otherwise.
#include "HLinkSettings.h"
#include "HMainCommands.h"
#include "HMemoryImage.h"
#include "HRP57CommunicationDialog.h"
#include "HSerialPort.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class CRP57App;
class QLabel;
class QProgressBar;
class QPushButton;

class HComInstructionDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 203;
    // DoModal's results, as the dialog framework numbers OK and Cancel.
    static constexpr int kResultOk = 1;
    static constexpr int kResultCancel = 2;
    // The commands it runs, by the ids of the command table.
    static constexpr int kCommandUpload = HCmd::kUpload;
    static constexpr int kCommandDownload = HCmd::kDownload;
    static constexpr int kCommandAddedChannels = HCmd::kChannelAllocation;

    // What the event takes from the program's settings.
    using LinkSettings = HLinkSettings;
    [[nodiscard]] static LinkSettings SettingsOf(const CRP57App& app);

    // The event of an Upload or a Download command: id, link settings, buffers
    // and the block lists of the access level. Null for any other command.
    [[nodiscard]] static std::unique_ptr<HCommEventData>
    BuildEvent(int command, const LinkSettings& link, HMemoryImage& work, HMemoryImage& image);

    // `image` is the document's image; it must outlive the dialog.
    HComInstructionDialog(const LinkSettings& link, HMemoryImage& image, QWidget* parent = nullptr);
    ~HComInstructionDialog() override;

    // Upload or Download, before DoModal.
    void SetCommand(int command);
    // Changes the Upload's or Download's event before it goes (a fleet
    // radio's roster row).
    void SetEventHook(std::function<void(HCommEventData&)> hook) { m_eventHook = std::move(hook); }
    // An Upload or a Download is recorded in the history unless the caller
    // keeps the record itself.
    void SetRecorded(bool recorded) { m_recorded = recorded; }
    [[nodiscard]] int GetCommand() const { return m_command; }
    // The added channel upload: `flashPages` are read from the radio into a
    // copy of `work`, which then replaces the image when all went well.
    void SetAddedChannelUpload(const HRangeList& flashPages, const HMemoryImage& work);
    // An alignment or recovery event built by the caller, run on `port`, which
    // the caller owns: a successful start of alignment leaves it open for the
    // alignment steps. The outcome's result tells the caller what follows.
    void SetPreparedEvent(std::unique_ptr<HCommEventData> event, HSerialPort& port);

    // Shows the dialog and runs the transfer; kResultOk when it succeeded,
    // kResultCancel when it failed, was cancelled or could not start.
    int DoModal();
    [[nodiscard]] const HTransferOutcome& Outcome() const { return m_outcome; }
    [[nodiscard]] bool IsRunning() const { return m_running; }

    [[nodiscard]] QLabel* StatusLabel() const { return m_status; }
    [[nodiscard]] QProgressBar* ProgressBar() const { return m_progress; }
    [[nodiscard]] QPushButton* CancelButton() const { return m_cancel; }

    // Cancel (button, Escape, window close): while a transfer runs it asks the
    // controller to stop; the dialog ends once the controller has reset the
    // radio and closed the port.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class Prompt;

    void OnRun(); // message 0x500
    void OnTransferOver(const HTransferOutcome& outcome);
    [[nodiscard]] int Direction() const;
    [[nodiscard]] const char* StartLine() const;
    [[nodiscard]] HSerialPort& Port() { return m_externalPort ? *m_externalPort : m_port; }

    LinkSettings m_link;
    HMemoryImage& m_image;
    HMemoryImage m_work{};
    int m_command = kCommandUpload;
    HRangeList m_addedPages;
    std::unique_ptr<HCommEventData> m_prepared;
    HSerialPort* m_externalPort = nullptr;
    std::function<void(HCommEventData&)> m_eventHook;
    bool m_recorded = true;
    bool m_posted = false;
    bool m_running = false;
    bool m_cancelRequested = false;
    HTransferOutcome m_outcome;

    std::unique_ptr<Prompt> m_prompt;
    HSerialPort m_port;
    std::unique_ptr<HRP57CommunicationDialog> m_controller;

    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;
};
