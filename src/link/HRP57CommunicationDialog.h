#pragma once
// The communication controller: one object per radio transfer. It takes a
// communication event, dispatches it through its control matrix to one of
// twelve handlers (upload, download, the added channel upload, the alignment
// and recovery handlers), runs the transfer on the clone protocol, leaves the
// final message in the event and shows it through the prompt.
//
// Transfers run on the controller's worker thread (Run, Start) so a window stays
// live; SendEvent runs one in the caller's thread. Cancel stops a transfer
// between blocks: the radio is reset, the port closed, and the outcome is
// Cancelled, never Success.
#include "HCommEventData.h"
#include "HImageChecks.h"
#include "HPrompt.h"
#include "HRpCommonCommunication.h"
#include "HTransferRanges.h"

#include <array>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The texts the controller shows. Final messages are used exactly as the radio
// program always showed them.
namespace HComText {
inline constexpr const char* kUploadTitle = "Upload";
inline constexpr const char* kDownloadTitle = "Download";
inline constexpr const char* kUploadComplete = "Upload Complete!";
inline constexpr const char* kDownloadComplete = "Download Complete!";
inline constexpr const char* kPortOpenError = "Port Open Error!";
inline constexpr const char* kCommunicationError = "Communication Error!";
inline constexpr const char* kTimeOut = "TimeOut!";
inline constexpr const char* kSwitchRadioOn = "Switch radio On!";
inline constexpr const char* kAdjChecksumError = "Adj Checksum Error!";
inline constexpr const char* kNowDownloading = "Now downloading";
inline constexpr const char* kNowUploadingAdded = "Now uploadling added Channel Data.";
inline constexpr const char* kCancelled = "Transfer cancelled.";
inline constexpr const char* kNotAvailable = "This radio operation is not available yet.";
inline constexpr const char* kBasicAlignmentTitle = "Basic alignment";
inline constexpr const char* kFineAlignmentTitle = "Channel fine alignment";
inline constexpr const char* kRecoveryTitle = "Adjustment Recover";
inline constexpr const char* kBasicAlignmentFinished = "Basic Alignment is Finished!";
inline constexpr const char* kFineAlignmentFinished = "Channel Fine Alignment is Finished!";
inline constexpr const char* kRecoveryComplete = "Adjustment Recovery Complete!";
} // namespace HComText

enum class HTransferStatus { Success, Failed, Cancelled };

// What one handled event came to, kept after the event itself is gone.
struct HTransferOutcome {
    int result = 1; // the handler's error flag: 0 success, 1 failure
    HTransferStatus status = HTransferStatus::Failed;
    std::string message; // the final message ("Upload Complete!", ...); may be empty
    std::string detail;  // why the port did not open, for a detail line
    int errorCode = 0;   // the last serial result
    HTransferImages images;
};

class HRP57CommunicationDialog : public HRpCommonCommunication {
public:
    static constexpr int kDirectionUpload = 0;
    static constexpr int kDirectionDownload = 1;
    static constexpr int kMatrixSize = 12;
    static constexpr std::chrono::milliseconds kConnectWait{2000};
    static constexpr std::chrono::milliseconds kAddedChannelConnectWait{1500};
    static constexpr int kPasswordTries = 3;
    static constexpr int kDownloadProgressRange = 88;

    // `port`, `prompt` and `observer` are not owned and must outlive the
    // controller; prompt and observer may be null (no questions: a password is
    // refused as cancelled; nothing shown).
    HRP57CommunicationDialog(int direction, HSerialPort* port, HPrompt* prompt,
                             HComObserver* observer = nullptr);
    ~HRP57CommunicationDialog() override;

    [[nodiscard]] int GetDirection() const { return m_direction; }
    [[nodiscard]] std::string GetTitle() const;

    // Runs the event on the worker thread and waits for its outcome.
    HTransferOutcome Run(std::unique_ptr<HCommEventData> event);
    // Posts the event to the worker thread and returns at once; `done` is called
    // in the worker thread when the transfer is over. False when nothing was
    // posted (then `done` is not called).
    bool Start(std::unique_ptr<HCommEventData> event,
               std::function<void(const HTransferOutcome&)> done);
    // Any thread, also a signal handler's flag watcher.
    void Cancel() { RequestCancel(); }
    // The outcome of the last event handled (any delivery path).
    [[nodiscard]] HTransferOutcome GetLastOutcome() const;

    // ---- building blocks, shared with the alignment handlers ----
    // Opens the port, waits for the radio's Check and answers Power On, waits
    // `wait`, then checks the model codes when asked. False with the message
    // in the event when the link is not usable.
    bool Connect(HCommEventData& event, std::chrono::milliseconds wait, bool checkModel = true);
    // Production code 5 (mobile) or 6 (handheld), custom code 0.
    bool CheckRadioModel(HCommEventData& event);
    // 0 go on, 1 failed, 2 cancelled.
    int CheckProgrammingPassword(HCommEventData& event);
    // Replaces every FLASH "to" of 0xFF by from + channels ÷ 3 (channels of the
    // image's channel model) and returns the number of pages of the list.
    int ResolveFlashTo(HRangeList& list, const HMemoryImage& image);
    // Reads the ranges into the buffer; a failed block ends its range with
    // "Communication Error!", the following ranges are still read. False on any
    // failure or on cancel.
    bool ReadRanges(int area, const HRangeList& list, HMemoryImage& buffer, HCommEventData& event);
    // Writes the ranges from the image; the first failure ends the writing.
    bool WriteRanges(int area, const HRangeList& list, const HMemoryImage& image,
                     HCommEventData& event);
    // The read-EEPROM ranges, then (with the progress range set from the
    // resolved pages) the read-FLASH ranges.
    bool ReadImage(HCommEventData& event, HMemoryImage& buffer);
    // Checks the event's buffers and connects; on failure the radio is reset
    // and the port closed.
    bool OpenSession(HCommEventData& event, std::chrono::milliseconds wait);
    // Reset frame and close, when the port is open.
    void ResetAndClose(HCommEventData& event);

    // ---- building blocks of the alignment transfers ----
    // Reset, close, reopen at 9600 baud (the event's rate kept as its second)
    // and enter ADJ mode. On success the port stays open for the alignment
    // steps; on failure the radio is reset and the port closed.
    bool EnterAdjMode(HCommEventData& event);
    // The write-EEPROM and then the write-FLASH ranges of the event from the
    // image, with the progress bar; the first failure ends the writing.
    bool WriteImage(HCommEventData& event, HMemoryImage& image, bool alignmentTraces = false);

protected:
    int OnEvent(HEventData& event) override;
    // The range loop shared by reading and writing: traces, cancel points,
    // progress, and what a failed block ends.
    bool TransferRanges(bool write, int area, const HRangeList& list, HCommEventData& event,
                        const std::function<bool(int)>& moveBlock);
    void OnInitHook() override;
    [[nodiscard]] std::string GetLogPrefix() const override { return {}; }

    void SetStatusText(const std::string& text) override;
    void SetProgressRange(int lower, int upper) override;
    void SetProgressPos(int pos) override;

    // Handlers of the control matrix.
    virtual int OnUpload(HCommEventData& event);
    virtual int OnDownload(HCommEventData& event);
    virtual int OnReserved(HCommEventData& event);
    virtual int OnAddedChannelUpload(HCommEventData& event);
    // Events 2-9: the alignment and recovery transfers. Event 2 answers 2
    // when the radio was written but alignment could not begin, so that the
    // caller writes the radio's own data back.
    virtual int OnBasicAlignStart(HCommEventData& event);
    virtual int OnBasicAlignStartFailure(HCommEventData& event);
    virtual int OnBasicAlignEnd(HCommEventData& event);
    virtual int OnFineAlignStart(HCommEventData& event);
    virtual int OnFineAlignEnd(HCommEventData& event);
    virtual int OnFineAlignCancel(HCommEventData& event);
    virtual int OnRecoveryStart(HCommEventData& event);
    virtual int OnRecoveryEnd(HCommEventData& event);

    // True (and the transfer marked cancelled) when a cancel was requested.
    bool CancelPoint();
    // Sleeps, waking early on cancel; false when cancelled.
    bool Wait(std::chrono::milliseconds wait);
    void ShowBox(int stringId, HMessageIcon icon);
    void MarkCancelled() { m_cancelled = true; }
    // The controller window's title, also told to the observer.
    void SetTitle(const std::string& title);

private:
    using Handler = int (HRP57CommunicationDialog::*)(HCommEventData&);

    [[nodiscard]] bool BuffersValid(const HCommEventData& event, bool needWork = true,
                                    bool needEditor = true) const;
    // The alignment events' end: a failed step resets the radio and closes.
    int Finish(HCommEventData& event, bool ok);
    // The default file merged into the editor image; false (radio reset,
    // port closed) when there is none or it cannot be read.
    bool LoadDefaultAlignment(HCommEventData& event);
    int PasswordFailure(HCommEventData& event, int check, bool download);
    int RunDownload(HCommEventData& event, std::future<HBackupResult>& backup);
    // Reads the radio as an upload at the event's level would and hands the
    // memory to the event's backup sink, on a thread of its own.
    bool ReadBackup(HCommEventData& event, std::future<HBackupResult>& pending);
    // The final message's word on the backup: the file kept and what it
    // holds, or that none was kept and why. `attempted`: a file was asked of
    // the backup sink.
    [[nodiscard]] static std::string BackupNote(const HCommEventData& event, bool attempted);
    // The radio's identity words into `radio`, then the event's backup source
    // asked for an earlier read with the same words. True with the backup
    // handed to the sink when one stands for it.
    bool ReuseBackup(HCommEventData& event, HMemoryImage& radio, bool& ok,
                     std::future<HBackupResult>& pending);
    // Waits for the backup file and keeps what became of it in the event.
    void ReportBackup(HCommEventData& event, std::future<HBackupResult>& pending);
    // The event's radio check: warnings shown, errors put to the prompt. False
    // when errors stand.
    bool PassRadioCheck(HCommEventData& event, const HMemoryImage& target,
                        const HMemoryImage& radio);
    // Traces what the image rules found and shows what has a message, in order.
    void ShowFindings(const std::vector<HFinding>& findings);
    bool WriteEndMark(HCommEventData& event, HMemoryImage& image, std::uint8_t hi, std::uint8_t lo,
                      bool decimalTrace);

    int m_direction = kDirectionUpload;
    HPrompt* m_prompt = nullptr;
    HComObserver* m_observer = nullptr;
    std::array<Handler, kMatrixSize> m_matrix{};
    bool m_cancelled = false;
    // A download has sent its first write and not yet closed the end mark.
    bool m_partialWrite = false;
    // Write traces of the alignment file ("調整用データ,...").
    bool m_alignmentTraces = false;
    std::string m_title;
    std::string m_detail;
    // A line the final message ends with, whatever else it says (the backup
    // a download kept, or why none).
    std::string m_finalNote;
    mutable std::mutex m_outcomeMutex;
    HTransferOutcome m_lastOutcome;
};
