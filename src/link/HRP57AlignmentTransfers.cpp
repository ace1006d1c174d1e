// The alignment and recovery transfers of the controller (events 2-9): the
// radio's data moved in and out around the alignment steps, and the switch
// into ADJ mode with the port left open for them.
#include "HAlignmentImage.h"
#include "HControllerBytes.h"
#include "HDataFile.h"
#include "HProgramDir.h"
#include "HRP57CommunicationDialog.h"
#include "HStringTable.h"

using namespace HCloneProtocol;
using namespace HControllerBytes;

void HRP57CommunicationDialog::SetTitle(const std::string& title) {
    m_title = title;
    if (m_observer)
        m_observer->OnTitle(title);
}

int HRP57CommunicationDialog::Finish(HCommEventData& event, bool ok) {
    ResetAndClose(event);
    return ok && !m_cancelled ? 0 : 1;
}

bool HRP57CommunicationDialog::EnterAdjMode(HCommEventData& event) {
    ResetAndClose(event);
    event.baudRate2 = event.baudRate;
    event.baudRate = 9600;
    if (!OpenPort(event)) {
        event.message = HComText::kPortOpenError;
        m_detail = m_port ? m_port->GetOpenErrorDetail() : std::string();
        HDLOG(1, "%s %s", HComText::kPortOpenError, m_detail.c_str());
        ResetAndClose(event);
        return false;
    }
    if (!SetCloneModeAdj(event)) {
        if (!CancelPoint())
            event.message = event.errorCode == kSerialError     ? HComText::kCommunicationError
                            : event.errorCode == kSerialTimeout ? HComText::kTimeOut
                                                                : HComText::kSwitchRadioOn;
        ResetAndClose(event);
        return false;
    }
    return true;
}

bool HRP57CommunicationDialog::WriteImage(HCommEventData& event, HMemoryImage& image,
                                          bool alignmentTraces) {
    SetProgressRange(0, ResolveFlashTo(event.writeFlash, image));
    SetProgressPos(0);
    SetStatusText(HComText::kNowDownloading);
    if (CancelPoint())
        return false;
    m_partialWrite = true;
    m_alignmentTraces = alignmentTraces;
    const bool ok = WriteRanges(kAreaEeprom, event.writeEeprom, image, event) &&
                    WriteRanges(kAreaFlash, event.writeFlash, image, event);
    m_alignmentTraces = false;
    return ok;
}

bool HRP57CommunicationDialog::LoadDefaultAlignment(HCommEventData& event) {
    HMemoryImage& editor = *event.editorImage;
    const std::optional<std::string> name = HAlignmentImage::DefaultFileName(editor);
    HDLOG(3, "調整データファイル名[FILE:%s]", name ? name->c_str() : "");
    if (!name) {
        HDLOG(1, "%s", "Hardware 情報が異常のため、処理を中止します");
        ResetAndClose(event);
        return false;
    }
    // Shipped beside the program; the message names where it was expected.
    std::string path = HProgramDir::FindShared(*name);
    if (path.empty())
        path = HProgramDir::WithSlash(HProgramDir::DataDir()) + *name;
    HMemoryImage file{};
    if (!HDataFile::Read(path, file).Ok()) {
        HDLOG(1, "%s", "調整用のデフォルトファイルを検出できません。");
        if (m_prompt)
            m_prompt->ShowMessage(HStringTable::Format(HStringTable::kAlignmentFileMissing, {path}),
                                  HMessageIcon::Stop);
        ResetAndClose(event);
        return false;
    }
    HAlignmentImage::MergeDefaultFile(file, editor);
    return true;
}

int HRP57CommunicationDialog::OnBasicAlignStart(HCommEventData& event) {
    SetTitle(HComText::kBasicAlignmentTitle);
    HDLOG(3, "%s", "調整開始イベント");
    if (!OpenSession(event, kConnectWait))
        return 1;
    if (!ReadImage(event, *event.workBuffer) || CancelPoint()) {
        HDLOG(1, "%s", "アップロードに失敗した為、処理を中止します");
        return Finish(event, false);
    }
    HDLOG(3, "%s", "Radioデータアップロード成功。データを保存します。");
    *event.editorImage = *event.workBuffer;
    if (!LoadDefaultAlignment(event))
        return 1;
    if (!WriteImage(event, *event.editorImage, true)) {
        ResetAndClose(event);
        return 2;
    }
    m_partialWrite = false;
    // The radio now holds the alignment set-up: if ADJ mode cannot begin, its
    // own data must go back as after a failed write.
    return EnterAdjMode(event) ? 0 : 2;
}

int HRP57CommunicationDialog::OnBasicAlignStartFailure(HCommEventData& event) {
    SetTitle(HComText::kBasicAlignmentTitle);
    HDLOG(3, "%s", "調整開始失敗イベント");
    if (!BuffersValid(event, false, true))
        return 1;
    if (!Connect(event, kConnectWait, false))
        return Finish(event, false);
    HMemoryImage& editor = *event.editorImage;
    HAlignmentImage::RecomputeAdjustmentChecksum(editor);
    const bool ok = WriteImage(event, editor);
    if (ok) {
        m_partialWrite = false;
        event.message = HComText::kBasicAlignmentFinished;
    }
    return Finish(event, ok);
}

int HRP57CommunicationDialog::OnBasicAlignEnd(HCommEventData& event) {
    SetTitle(HComText::kBasicAlignmentTitle);
    HDLOG(3, "%s", "調整終了イベント");
    ResetAndClose(event); // leaves ADJ mode
    if (!BuffersValid(event))
        return 1;
    if (!Connect(event, kConnectWait, false))
        return Finish(event, false);
    HMemoryImage& editor = *event.editorImage;
    HAlignmentImage::RestoreRadioData(*event.workBuffer, editor);
    m_partialWrite = true;
    bool ok = WriteEndMark(event, editor, 0xFF, 0xFF, false) && WriteImage(event, editor) &&
              !CancelPoint() && WriteEndMark(event, editor, 0xA5, 0x5A, true);
    if (ok) {
        m_partialWrite = false;
        event.message = HComText::kBasicAlignmentFinished;
    }
    if (ok && !event.failedSteps.empty()) {
        // The radio has its data back, but not the alignment asked for.
        std::string steps;
        for (const std::string& step : event.failedSteps)
            steps += (steps.empty() ? "" : ", ") + step;
        HDLOG(1, "alignment steps failed: %s", steps.c_str());
        event.message = HStringTable::Format(HStringTable::kAlignStepsFailed, {steps});
        return Finish(event, false);
    }
    return Finish(event, ok);
}

int HRP57CommunicationDialog::OnFineAlignStart(HCommEventData& event) {
    SetTitle(HComText::kFineAlignmentTitle);
    HDLOG(3, "%s", "Channel Fine Alignment開始イベント");
    if (!BuffersValid(event, true, false))
        return 1;
    if (!Connect(event, kConnectWait, true))
        return Finish(event, false);
    if (!ReadImage(event, *event.workBuffer) || CancelPoint())
        return Finish(event, false);
    return EnterAdjMode(event) ? 0 : 1;
}

int HRP57CommunicationDialog::OnFineAlignEnd(HCommEventData& event) {
    SetTitle(HComText::kFineAlignmentTitle);
    HDLOG(3, "%s", "Channel Fine Alignment終了イベント");
    ResetAndClose(event);
    if (!BuffersValid(event, false, true))
        return 1;
    if (!Connect(event, kConnectWait, false))
        return Finish(event, false);
    HMemoryImage& editor = *event.editorImage;
    m_partialWrite = true;
    const bool ok = WriteEndMark(event, editor, 0xFF, 0xFF, false) && WriteImage(event, editor) &&
                    !CancelPoint() && WriteEndMark(event, editor, 0xA5, 0x5A, true);
    if (ok) {
        m_partialWrite = false;
        event.message = HComText::kFineAlignmentFinished;
    }
    return Finish(event, ok);
}

int HRP57CommunicationDialog::OnFineAlignCancel(HCommEventData& event) {
    SetTitle(HComText::kFineAlignmentTitle);
    HDLOG(3, "%s", "Channel Fine Alignmentキャンセルイベント");
    ResetAndClose(event);
    return 0;
}

int HRP57CommunicationDialog::OnRecoveryStart(HCommEventData& event) {
    SetTitle(HComText::kRecoveryTitle);
    HDLOG(3, "%s", "AdjRecovery動作開始イベント");
    if (!BuffersValid(event, true, false))
        return 1;
    if (!Connect(event, kConnectWait, true))
        return Finish(event, false);
    const bool ok = ReadImage(event, *event.workBuffer) && !CancelPoint();
    if (ok)
        HDLOG(3, "%s", "アップロード成功。");
    return Finish(event, ok);
}

int HRP57CommunicationDialog::OnRecoveryEnd(HCommEventData& event) {
    SetTitle(HComText::kRecoveryTitle);
    HDLOG(3, "%s", "AdjRecovery動作終了イベント");
    if (!BuffersValid(event, false, true))
        return 1;
    if (!Connect(event, kConnectWait, false))
        return Finish(event, false);
    HMemoryImage& editor = *event.editorImage;
    m_partialWrite = true;
    // The radio is marked as being written first, as a download marks it. The
    // recovery never reads word 0xFF: the image holds zeros or a default
    // file's word there, and a stop half way would look complete to the radio.
    const bool ok = WriteEndMark(event, editor, 0xFF, 0xFF, false) && WriteImage(event, editor) &&
                    !CancelPoint() && WriteEndMark(event, editor, 0xA5, 0x5A, true);
    if (ok) {
        m_partialWrite = false;
        event.message = HComText::kRecoveryComplete;
    }
    return Finish(event, ok);
}
