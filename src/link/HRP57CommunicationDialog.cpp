#include "HRP57CommunicationDialog.h"

#include "HChannels.h"
#include "HCommonGroups.h"
#include "HControllerBytes.h"
#include "HStringTable.h"

#include <algorithm>
#include <cctype>
#include <future>
#include <thread>

using namespace HCloneProtocol;
using namespace HControllerBytes;

namespace {

constexpr std::uint8_t kModelWord = 0x01;
constexpr std::uint8_t kPasswordPage = 0x01;
constexpr int kProductionMobile = 5;
constexpr int kProductionHandheld = 6;

// The reason a download stopped, then, on a line of its own, what that did to
// the radio: the reason stays the whole first line, as it always was.
std::string WithPartialWrite(const std::string& reason) {
    const std::string& partial = HStringTable::Get(HStringTable::kPartialWrite);
    return reason.empty() ? partial : reason + "\n" + partial;
}

std::string Upper(std::string text) {
    for (char& c : text)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

HRP57CommunicationDialog::HRP57CommunicationDialog(int direction, HSerialPort* port,
                                                   HPrompt* prompt, HComObserver* observer)
    : HRpCommonCommunication(port, kTemplateId), m_direction(direction), m_prompt(prompt),
      m_observer(observer) {
    HDLOG(3, "%s", "*****スレッド生成*****");
    BuildThread();
    InitDialog();
}

HRP57CommunicationDialog::~HRP57CommunicationDialog() {
    HDLOG(3, "%s", "*****スレッド破棄*****");
    // A transfer still running stops at its next block (resetting the radio):
    // its buffers and port belong to our owner, who is going too. The worker
    // calls our virtual functions, so we wait for it to end whatever it takes.
    RequestCancel();
    JoinThread();
}

std::string HRP57CommunicationDialog::GetTitle() const {
    if (!m_title.empty())
        return m_title;
    return m_direction == kDirectionDownload ? HComText::kDownloadTitle : HComText::kUploadTitle;
}

void HRP57CommunicationDialog::OnInitHook() {
    if (m_observer)
        m_observer->OnTitle(GetTitle());
    SetProgressPos(0);
    m_matrix = {
        &HRP57CommunicationDialog::OnUpload,
        &HRP57CommunicationDialog::OnDownload,
        &HRP57CommunicationDialog::OnBasicAlignStart,
        &HRP57CommunicationDialog::OnBasicAlignStartFailure,
        &HRP57CommunicationDialog::OnBasicAlignEnd,
        &HRP57CommunicationDialog::OnFineAlignStart,
        &HRP57CommunicationDialog::OnFineAlignEnd,
        &HRP57CommunicationDialog::OnFineAlignCancel,
        &HRP57CommunicationDialog::OnRecoveryStart,
        &HRP57CommunicationDialog::OnRecoveryEnd,
        &HRP57CommunicationDialog::OnReserved,
        &HRP57CommunicationDialog::OnAddedChannelUpload,
    };
}

void HRP57CommunicationDialog::SetStatusText(const std::string& text) {
    HRpCommonCommunication::SetStatusText(text);
    if (m_observer)
        m_observer->OnStatusText(text);
}

void HRP57CommunicationDialog::SetProgressRange(int lower, int upper) {
    HRpCommonCommunication::SetProgressRange(lower, upper);
    if (m_observer)
        m_observer->OnProgressRange(upper);
}

void HRP57CommunicationDialog::SetProgressPos(int pos) {
    HRpCommonCommunication::SetProgressPos(pos);
    if (m_observer)
        m_observer->OnProgressPos(pos);
}

HTransferOutcome HRP57CommunicationDialog::GetLastOutcome() const {
    std::lock_guard lock(m_outcomeMutex);
    return m_lastOutcome;
}

// ------------------------------------------------------------------ delivery

bool HRP57CommunicationDialog::Start(std::unique_ptr<HCommEventData> event,
                                     std::function<void(const HTransferOutcome&)> done) {
    if (!event)
        return false;
    ClearCancel();
    event->onHandled = [this, done = std::move(done)](HEventData&, int) {
        if (done)
            done(GetLastOutcome());
    };
    return PTMessage1(std::move(event)) == 0;
}

HTransferOutcome HRP57CommunicationDialog::Run(std::unique_ptr<HCommEventData> event) {
    auto promise = std::make_shared<std::promise<HTransferOutcome>>();
    std::future<HTransferOutcome> future = promise->get_future();
    if (!Start(std::move(event), [promise](const HTransferOutcome& o) { promise->set_value(o); })) {
        HTransferOutcome failed;
        failed.message = HComText::kCommunicationError;
        return failed;
    }
    return future.get();
}

// ------------------------------------------------------------------ control matrix

int HRP57CommunicationDialog::OnEvent(HEventData& base) {
    HDLOG(3, "RP57通信制御マトリクス [EVENT:%d : STATUS:%d]", base.eventId, GetStatus());
    auto* event = base.kind == kEventKindComm ? dynamic_cast<HCommEventData*>(&base) : nullptr;
    if (!event || base.eventId < 0 || base.eventId >= kMatrixSize || !m_matrix[0]) {
        HDLOG(1, "unknown event [EVENT:%d KIND:%d]", base.eventId, base.kind);
        std::lock_guard lock(m_outcomeMutex);
        m_lastOutcome = HTransferOutcome{};
        return 1;
    }
    m_cancelled = false;
    m_partialWrite = false;
    m_detail.clear();
    m_finalNote.clear();
    int result = (this->*m_matrix[std::size_t(base.eventId)])(*event);
    // A transfer that stopped on request is reported as cancelled, and one that
    // failed is never reported as done.
    if (result == 0 && m_cancelled)
        result = 1;
    const bool cancelled = result != 0 && m_cancelled;
    if (cancelled) {
        // A stop before the first write leaves the radio as it was and needs no
        // words; after it, the technician must hear that the radio is not usable.
        event->message = m_partialWrite ? WithPartialWrite(HComText::kCancelled) : std::string();
        SetStatusText(HComText::kCancelled);
    } else if (result != 0 && m_partialWrite) {
        event->message = WithPartialWrite(event->message);
    }
    if (!m_finalNote.empty() && !event->message.empty())
        event->message += "\r\n" + m_finalNote;

    HTransferOutcome outcome;
    outcome.result = result;
    outcome.status = result == 0 ? HTransferStatus::Success
                     : cancelled ? HTransferStatus::Cancelled
                                 : HTransferStatus::Failed;
    outcome.message = event->message;
    outcome.detail = m_detail;
    outcome.errorCode = event->errorCode;
    outcome.images = event->images;
    {
        std::lock_guard lock(m_outcomeMutex);
        m_lastOutcome = outcome;
    }

    if (!event->message.empty() && m_prompt)
        m_prompt->ShowMessage(event->message,
                              result == 0 ? HMessageIcon::Information : HMessageIcon::Stop);
    return result;
}

bool HRP57CommunicationDialog::BuffersValid(const HCommEventData& event, bool needWork,
                                            bool needEditor) const {
    if ((event.workBuffer || !needWork) && (event.editorImage || !needEditor))
        return true;
    HDLOG(1, "event without buffers [EVENT:%d]", event.eventId);
    return false;
}

bool HRP57CommunicationDialog::CancelPoint() {
    if (!IsCancelRequested())
        return false;
    if (!m_cancelled)
        HDLOG(3, "%s", "cancel requested: the transfer stops");
    m_cancelled = true;
    return true;
}

bool HRP57CommunicationDialog::Wait(std::chrono::milliseconds wait) {
    const auto end = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < end) {
        if (CancelPoint())
            return false;
        const auto left = end - std::chrono::steady_clock::now();
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(20)));
    }
    return !CancelPoint();
}

void HRP57CommunicationDialog::ShowBox(int stringId, HMessageIcon icon) {
    if (m_prompt)
        m_prompt->ShowMessage(HStringTable::Get(stringId), icon);
}

void HRP57CommunicationDialog::ResetAndClose(HCommEventData& event) {
    if (!m_port || !m_port->IsOpen())
        return;
    ResetRadio(&event);
    m_port->Close();
}

// ------------------------------------------------------------------ building blocks

bool HRP57CommunicationDialog::Connect(HCommEventData& event, std::chrono::milliseconds wait,
                                       bool checkModel) {
    bool ok = true;
    if (!OpenPort(event)) {
        event.message = HComText::kPortOpenError;
        m_detail = m_port ? m_port->GetOpenErrorDetail() : std::string();
        HDLOG(1, "%s %s", HComText::kPortOpenError, m_detail.c_str());
        ok = false;
    } else if (!SetCloneMode(event)) {
        ok = false;
        if (CancelPoint())
            return false;
        event.message = event.errorCode == kSerialError     ? HComText::kCommunicationError
                        : event.errorCode == kSerialTimeout ? HComText::kTimeOut
                                                            : HComText::kSwitchRadioOn;
    }
    // The radio needs the pause after Power On, also after a failed handshake.
    if (!Wait(wait) || !ok)
        return false;
    if (checkModel && !CheckRadioModel(event)) {
        HDLOG(1, "%s", "仕様選択情報が異なっています。アップロードを行いません。");
        ResetAndClose(event);
        event.message = HComText::kCommunicationError;
        return false;
    }
    return true;
}

bool HRP57CommunicationDialog::CheckRadioModel(HCommEventData& event) {
    HMemoryImage scratch{};
    if (!ReadBlock(kAreaEeprom, kModelWord, 0, scratch, &event))
        return false;
    // EEPROM word 1: production code, custom code.
    const int production = scratch[HImageMap::EepromWordOffset(kModelWord)];
    const int custom = scratch[HImageMap::EepromWordOffset(kModelWord) + 1];
    if (production == kProductionMobile) {
        HDLOG(3, "%s", "Production Code is Mobile");
    } else if (production == kProductionHandheld) {
        HDLOG(3, "%s", "Production Code is Handheld");
    } else {
        HDLOG(3, "%s", "Production Code is illegal");
        return false;
    }
    if (custom != 0) {
        HDLOG(3, "%s", "Custom Code is illegal");
        return false;
    }
    HDLOG(3, "%s", "Custom Code is legal");
    return true;
}

int HRP57CommunicationDialog::CheckProgrammingPassword(HCommEventData& event) {
    if (event.accessLevel == 1)
        return 0;
    if (!ReadBlock(kAreaFlash, kPasswordPage, 0, *event.workBuffer, &event)) {
        HDLOG(1, "%s", "Channel Common Data Area読み込み失敗");
        event.message = HComText::kCommunicationError;
        return 1;
    }
    HDLOG(3, "%s", "Channel Common Data Area読み込み成功");

    HProgrammingPasswordGroup radio;
    radio.Load(*event.workBuffer);
    if (radio.GetValue(0) == 0) {
        HDLOG(3, "%s", "Programming Password(Radio)Disableです");
        return 0;
    }
    const std::string password = radio.GetText(1);
    HDLOG(3, "Programming Password(Radio)[PASS:%s]", password.c_str());
    if (m_direction == kDirectionDownload) {
        HProgrammingPasswordGroup editor;
        editor.Load(*event.editorImage);
        if (editor.GetValue(0) != 0) {
            const std::string own = editor.GetText(1);
            HDLOG(3, "Programming Password(Editor)[PASS:%s]", own.c_str());
            if (own == password) {
                HDLOG(3, "%s", "Programming Passwordが一致した為処理を継続します");
                return 0;
            }
        }
    }
    for (int attempt = 1; attempt <= kPasswordTries; ++attempt) {
        if (CancelPoint())
            return 2;
        const std::optional<std::string> typed =
            m_prompt ? m_prompt->AskPassword(attempt) : std::nullopt;
        if (!typed)
            return 2;
        if (Upper(*typed) == password)
            return 0;
    }
    ShowBox(HStringTable::kPasswordMismatch, HMessageIcon::Exclamation);
    return 1;
}

int HRP57CommunicationDialog::PasswordFailure(HCommEventData& event, int check, bool download) {
    if (check == 1) {
        HDLOG(1, "%s", "Password Checkに失敗しました");
    } else {
        HDLOG(3, "%s",
              download ? "Password Checkはキャンセル終了の為、ダウンロードを終了します"
                       : "Password Checkはキャンセル終了の為、アップロードを終了します");
        MarkCancelled();
    }
    ResetAndClose(event);
    return 1;
}

int HRP57CommunicationDialog::ResolveFlashTo(HRangeList& list, const HMemoryImage& image) {
    int channels = -1;
    int total = 0;
    for (HBlockRange& r : list) {
        if (r.to == kFlashToChannels) {
            if (channels < 0) {
                HChannels model;
                model.Load(image);
                channels = model.UsedChannels();
            }
            // Never past the last page the image holds, whatever the counts say.
            r.to = std::uint8_t(std::min(int(r.from) + channels / 3, int(::kLastFlashPage)));
        }
        if (r.to >= r.from)
            total += r.to - r.from + 1;
    }
    return total;
}

namespace {
// Trace texts of a block transfer, by direction and area.
struct BlockTrace {
    const char* range;
    const char* done;
    const char* failed;
};
constexpr BlockTrace kReadTrace[] = {
    {"EEPROM 読み込み[FROM:%X][TO:%X]", "アップロード成功[ADDR:%X]", "アップロード失敗[ADDR:%X]"},
    {"FLASH 読み込み[FROM:%X][TO:%X]", "アップロード成功[PAGE:%X]", "アップロード失敗[PAGE:%X]"}};
constexpr BlockTrace kWriteTrace[] = {
    {"EEPROM\t書き込み[FROM:%X][TO:%X]", "ダウンロード成功[ADDR:%X]", "ダウンロード失敗[ADDR:%X]"},
    {"FLASH\t書き込み[FROM:%X][TO:%X]", "ダウンロード成功[PAGE:%X]", "ダウンロード失敗[PAGE:%X]"}};
constexpr BlockTrace kAlignmentWriteTrace[] = {
    {"EEPROM\t書き込み[FROM:%X][TO:%X]", "調整用データ,ダウンロード成功[ADDR:%X]",
     "調整用データ,ダウンロード失敗[ADDR:%X]"},
    {"FLASH\t書き込み[FROM:%X][TO:%X]", "調整用データ,ダウンロード成功[PAGE:%X]",
     "調整用データ,ダウンロード失敗[PAGE:%X]"}};
static_assert(kAreaEeprom == 0 && kAreaFlash == 1, "trace rows are indexed by area");
} // namespace

bool HRP57CommunicationDialog::TransferRanges(bool write, int area, const HRangeList& list,
                                              HCommEventData& event,
                                              const std::function<bool(int)>& moveBlock) {
    const BlockTrace* table = !write              ? kReadTrace
                              : m_alignmentTraces ? kAlignmentWriteTrace
                                                  : kWriteTrace;
    const BlockTrace& trace = table[area == kAreaEeprom ? 0 : 1];
    bool ok = true;
    for (const HBlockRange& r : list) {
        HDLOG(3, trace.range, r.from, r.to);
        for (int block = r.from; block <= r.to; ++block) {
            if (CancelPoint())
                return false;
            if (!moveBlock(block)) {
                HDLOG(1, trace.failed, block);
                if (ok)
                    event.message = HComText::kCommunicationError;
                ok = false;
                // A radio that refused one block is not written any further;
                // reading goes on with the next range.
                if (write)
                    return false;
                break;
            }
            HDLOG(5, trace.done, block);
            if (area == kAreaFlash)
                StepProgress();
        }
    }
    return ok;
}

bool HRP57CommunicationDialog::ReadRanges(int area, const HRangeList& list, HMemoryImage& buffer,
                                          HCommEventData& event) {
    return TransferRanges(false, area, list, event,
                          [&](int block) { return ReadBlock(area, block, 0, buffer, &event); });
}

bool HRP57CommunicationDialog::WriteRanges(int area, const HRangeList& list,
                                           const HMemoryImage& image, HCommEventData& event) {
    return TransferRanges(true, area, list, event,
                          [&](int block) { return WriteBlock(area, block, 0, image, &event); });
}

bool HRP57CommunicationDialog::ReadImage(HCommEventData& event, HMemoryImage& buffer) {
    bool ok = ReadRanges(kAreaEeprom, event.readEeprom, buffer, event);
    // The channel count that bounds the channel pages comes from the words just read.
    SetProgressRange(0, ResolveFlashTo(event.readFlash, buffer));
    SetProgressPos(0);
    return ok && ReadRanges(kAreaFlash, event.readFlash, buffer, event);
}

bool HRP57CommunicationDialog::OpenSession(HCommEventData& event, std::chrono::milliseconds wait) {
    if (!BuffersValid(event))
        return false;
    if (Connect(event, wait))
        return true;
    ResetAndClose(event);
    return false;
}

bool HRP57CommunicationDialog::WriteEndMark(HCommEventData& event, HMemoryImage& image,
                                            std::uint8_t hi, std::uint8_t lo, bool decimalTrace) {
    SetWord(image, kEndMarkWord, hi, lo);
    if (WriteBlock(kAreaEeprom, kEndMarkWord, 0, image, &event)) {
        if (decimalTrace)
            HDLOG(5, "ダウンロード成功[ADDR:%d]", kEndMarkWord);
        else
            HDLOG(5, "ダウンロード成功[ADDR:%X]", kEndMarkWord);
        return true;
    }
    if (decimalTrace)
        HDLOG(1, "ダウンロード失敗[ADDR:%d]", kEndMarkWord);
    else
        HDLOG(1, "ダウンロード失敗[ADDR:%X]", kEndMarkWord);
    event.message = HComText::kCommunicationError;
    return false;
}
