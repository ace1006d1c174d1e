// The clone transfers of the controller: upload, download and the added
// channel upload.
#include "HChannels.h"
#include "HControllerBytes.h"
#include "HHardwareGroup.h"
#include "HRP57CommunicationDialog.h"
#include "HStringTable.h"

#include <algorithm>
#include <future>
#include <memory>

using namespace HCloneProtocol;
using namespace HControllerBytes;

namespace {

constexpr std::uint8_t kBandWord = 0x10;
constexpr std::uint8_t kDealerMarkWord = 0xEA;

// What a download keeps of the radio (level 0 and 1): its identity words and its
// adjustment pages, and at level 0 also FLASH page 0.
constexpr std::size_t kIdentityEnd = 0x021;       // words 0x00-0x10
constexpr std::size_t kAdjustPagesFirst = 0x3000; // FLASH pages 0x5C-0x5E
constexpr std::size_t kAdjustPagesLast = 0x317F;
constexpr std::size_t kPage0First = 0x200;
constexpr std::size_t kPage0Last = 0x27F;
static_assert(kAdjustPagesFirst == HImageMap::FlashPageOffset(0x5C));
static_assert(kAdjustPagesLast + 1 == HImageMap::FlashPageOffset(0x5F));
static_assert(kPage0Last + 1 == HImageMap::FlashPageOffset(1));
static_assert(kIdentityEnd + 1 == HImageMap::EepromWordOffset(0x11));

// The working copy of the adjustment values lies in EEPROM words 0x02-0x10
// (its checksum at bytes 4-5, the values at 6-33).
constexpr HBlockRange kAdjustmentWords{0x02, 0x10};

} // namespace

int HRP57CommunicationDialog::OnUpload(HCommEventData& event) {
    HDLOG(3, "%s", "アップロードイベント");
    if (!OpenSession(event, kConnectWait))
        return 1;
    if (const int check = CheckProgrammingPassword(event); check != 0)
        return PasswordFailure(event, check, false);

    HMemoryImage& work = *event.workBuffer;
    const bool ok = ReadImage(event, work);
    if (ok && !CancelPoint()) {
        event.message = HComText::kUploadComplete;
        HDLOG(3, "%s", "アップロード成功。データを保存します。");
        *event.editorImage = work;
        event.images.read = std::make_shared<const HMemoryImage>(work);
    }
    ResetAndClose(event);
    return ok && !m_cancelled ? 0 : 1;
}

void HRP57CommunicationDialog::ShowFindings(const std::vector<HFinding>& findings) {
    for (const HFinding& f : findings) {
        if (*f.trace)
            HDLOG(f.traceLevel, "%s", f.trace);
        if (f.messageId != 0)
            ShowBox(f.messageId, f.icon);
    }
}

bool HRP57CommunicationDialog::ReadBackup(HCommEventData& event,
                                          std::future<HBackupResult>& pending) {
    SetStatusText(HStringTable::Get(HStringTable::kBackupReading));
    HTransferRanges ranges = HTransferRangeTable::Upload(event.accessLevel);
    auto memory = std::make_shared<HMemoryImage>();
    bool ok = ReadRanges(kAreaEeprom, ranges.readEeprom, *memory, event);
    SetProgressRange(0, ResolveFlashTo(ranges.readFlash, *memory));
    SetProgressPos(0);
    ok = ok && ReadRanges(kAreaFlash, ranges.readFlash, *memory, event);
    if (!ok)
        return false;
    event.images.read = memory;
    // The file is written beside the transfer: a slow disk never holds it up.
    pending =
        std::async(std::launch::async, [sink = event.backupSink, memory] { return sink(*memory); });
    return true;
}

bool HRP57CommunicationDialog::ReuseBackup(HCommEventData& event, HMemoryImage& radio, bool& ok,
                                           std::future<HBackupResult>& pending) {
    ok = ReadRanges(kAreaEeprom, kRadioIdentityWords, radio, event);
    if (!ok || CancelPoint())
        return false;
    HMemoryImage words{};
    for (const HBlockRange& r : kRadioIdentityWords)
        CopyBytes(radio, words, HImageMap::EepromWordOffset(r.from),
                  HImageMap::EepromWordOffset(std::size_t(r.to) + 1) - 1);
    const std::optional<HEarlierRead> earlier =
        event.backupSource->EarlierRead(words, event.accessLevel);
    // The answer is trusted only as far as the radio's own words confirm it.
    if (!earlier || !earlier->image || !SameWords(*earlier->image, words, kRadioIdentityWords)) {
        HDLOG(3, "%s", "backup: no earlier read stands for this radio; it is read now");
        return false;
    }
    HDLOG(3, "backup: %s", earlier->description.c_str());
    event.images.read = earlier->image;
    event.images.reusedBackup = earlier->description;
    pending = std::async(std::launch::async, [sink = event.backupSink, image = earlier->image] {
        return sink(*image);
    });
    return true;
}

void HRP57CommunicationDialog::ReportBackup(HCommEventData& event,
                                            std::future<HBackupResult>& pending) {
    if (!pending.valid())
        return;
    event.backupResult = pending.get();
    if (event.backupResult.written) {
        HDLOG(3, "backup %s", event.backupResult.path.c_str());
        SetStatusText(
            HStringTable::Format(HStringTable::kBackupWritten, {event.backupResult.path}));
        return;
    }
    HDLOG(1, "backup failed: %s", event.backupResult.error.c_str());
}

std::string HRP57CommunicationDialog::BackupNote(const HCommEventData& event, bool attempted) {
    using S = HStringTable::Id;
    if (!attempted)
        return HStringTable::Format(S::kBackupNone, {event.noBackupWhy.empty()
                                                         ? HStringTable::Get(S::kBackupNotAsked)
                                                         : event.noBackupWhy});
    const HBackupResult& kept = event.backupResult;
    if (!kept.written)
        return HStringTable::Format(S::kBackupNone, {kept.error});
    if (!event.images.reusedBackup.empty())
        return HStringTable::Format(S::kBackupReused, {kept.path, event.images.reusedBackup});
    return HStringTable::Format(S::kBackupReadNow, {kept.path});
}

bool HRP57CommunicationDialog::PassRadioCheck(HCommEventData& event, const HMemoryImage& target,
                                              const HMemoryImage& radio) {
    std::string errors;
    for (const HCheckFinding& f : event.radioCheck(target, radio, event.accessLevel)) {
        const bool error = f.severity == HCheckSeverity::Error;
        HDLOG(error ? 1 : 2, "check %s %s: %s", error ? "error" : "warning", f.key.c_str(),
              f.text.c_str());
        if (!error) {
            if (m_prompt)
                m_prompt->ShowMessage(f.text, HMessageIcon::Exclamation);
            continue;
        }
        errors += f.text + "\r\n";
    }
    if (errors.empty())
        return true;
    const bool overridden =
        m_prompt && !CancelPoint() &&
        m_prompt->OverrideFindings(HStringTable::Format(HStringTable::kCheckOverride, {errors}));
    HDLOG(overridden ? 2 : 1, "%s",
          overridden ? "check errors overridden: the download goes on"
                     : "check errors: the download stops");
    return overridden;
}

int HRP57CommunicationDialog::OnDownload(HCommEventData& event) {
    std::future<HBackupResult> backup;
    const int result = RunDownload(event, backup);
    const bool attempted = backup.valid();
    ReportBackup(event, backup);
    // The final message names the file that holds the radio as it was, or
    // says why there is none, wherever the radio may have been written.
    if (result == 0 || attempted || m_partialWrite)
        m_finalNote = BackupNote(event, attempted);
    return result;
}

int HRP57CommunicationDialog::RunDownload(HCommEventData& event,
                                          std::future<HBackupResult>& backup) {
    HDLOG(3, "%s", "ダウンロードイベント");
    SetProgressRange(0, kDownloadProgressRange);
    if (!OpenSession(event, kConnectWait))
        return 1;
    if (const int check = CheckProgrammingPassword(event); check != 0)
        return PasswordFailure(event, check, true);

    // The radio's whole memory first, as it was before anything is written,
    // unless an earlier read of the same radio stands for it.
    HMemoryImage& radio = *event.workBuffer;
    bool ok = true;
    bool identityRead = false;
    if (event.backupSink) {
        const bool reused = event.backupSource && ReuseBackup(event, radio, ok, backup);
        identityRead = event.backupSource && ok;
        if (ok && !reused)
            ok = ReadBackup(event, backup);
    }

    // The radio's current data: its identity and adjustment pages are kept.
    // Words read for the backup question are not read twice.
    const bool eepromRead =
        identityRead && std::ranges::all_of(event.readEeprom, [](const HBlockRange& r) {
            return std::ranges::any_of(kRadioIdentityWords, [&r](const HBlockRange& w) {
                return w.from <= r.from && r.to <= w.to;
            });
        });
    if (ok && eepromRead) {
        SetProgressRange(0, ResolveFlashTo(event.readFlash, radio));
        SetProgressPos(0);
        ok = ReadRanges(kAreaFlash, event.readFlash, radio, event);
    } else {
        ok = ok && ReadImage(event, radio);
    }
    if (ok)
        event.images.radio = std::make_shared<const HMemoryImage>(radio);

    // The editor image is prepared in a copy and replaced only when the whole
    // download went through, so a failed download leaves it as it was.
    HMemoryImage target = *event.editorImage;
    if (ok && event.prepareTarget) {
        std::string why;
        if (!event.prepareTarget(target, radio, event.images.read.get(), why)) {
            HDLOG(1, "not written: %s", why.c_str());
            event.message = why;
            ResetAndClose(event);
            return 1;
        }
    }
    bool adjustmentRepaired = false;
    if (ok && event.accessLevel != 2 && event.radioCheck && !PassRadioCheck(event, target, radio)) {
        if (!m_cancelled)
            event.message = HStringTable::Get(HStringTable::kCheckStopped);
        ResetAndClose(event);
        return 1;
    }
    if (ok && event.accessLevel != 2) {
        HCompatibilityCheck check = HImageChecks::CheckCompatibility(target, radio);
        ShowFindings(check.findings);
        if (!check.Passed()) {
            if (std::ranges::any_of(check.findings, [](const HFinding& f) {
                    return f.messageId == HStringTable::kAdjChecksumError;
                }))
                event.message = HComText::kAdjChecksumError;
            ResetAndClose(event);
            return 1;
        }
        target = check.target;
        radio = check.radio;
        adjustmentRepaired = check.adjustmentRepaired;
    }
    if (ok) {
        // The channels as the technician edited them: the receive frequency
        // depends on the Hardware page (first IF, local offset side, step set),
        // which a level 0 download takes from the radio.
        HChannels edited;
        edited.Load(target);
        if (event.accessLevel != 2) {
            CopyBytes(radio, target, 0, kIdentityEnd);
            CopyBytes(radio, target, kAdjustPagesFirst, kAdjustPagesLast);
            if (event.accessLevel == 0)
                CopyBytes(radio, target, kPage0First, kPage0Last);
        }
        SetWord(target, kDealerMarkWord, 0xFF, 0xFF);
        SetWord(target, kEndMarkWord, 0xFF, 0xFF);
        // Saved under the radio's Hardware values and tuning points, keeping
        // the frequencies the grid showed.
        HChannels model;
        model.Load(target);
        model.TakeFrequencies(edited);
        model.Save(target);

        const int writePages = ResolveFlashTo(event.writeFlash, target);
        SetProgressRange(0, writePages);
        SetProgressPos(0);
        SetStatusText(HComText::kNowDownloading);
        ok = !CancelPoint();
    }
    if (ok) {
        // From the first write on, a stop leaves the radio half written (its end
        // mark open) until a download goes through.
        m_partialWrite = true;
        event.images.written = std::make_shared<const HMemoryImage>(target);
        ok = WriteEndMark(event, target, 0xFF, 0xFF, false);
    }
    if (ok)
        ok = WriteRanges(kAreaEeprom, event.writeEeprom, target, event);
    // The repaired adjustment values go to the radio too; the dealer ranges do
    // not reach them.
    if (ok && adjustmentRepaired)
        ok = WriteRanges(kAreaEeprom, {kAdjustmentWords}, target, event);
    if (ok)
        ok = WriteRanges(kAreaFlash, event.writeFlash, target, event);
    if (ok)
        ok = !CancelPoint() && WriteEndMark(event, target, 0xA5, 0x5A, true);
    if (ok) {
        m_partialWrite = false;
        event.message = HComText::kDownloadComplete;
        *event.editorImage = target;
        // As the radio holds it now, its end mark closed.
        event.images.written = std::make_shared<const HMemoryImage>(target);
    }
    HDLOG(6, "%s", "FUNC_OUT");
    ResetAndClose(event);
    return ok ? 0 : 1;
}

int HRP57CommunicationDialog::OnReserved(HCommEventData&) {
    HDLOG(3, "%s", "ダウンロードイベント");
    return 0;
}

int HRP57CommunicationDialog::OnAddedChannelUpload(HCommEventData& event) {
    HDLOG(3, "%s", "追加チャネルデータアップロードイベント");
    SetStatusText(HComText::kNowUploadingAdded);
    if (!OpenSession(event, kAddedChannelConnectWait))
        return 1;
    HMemoryImage& work = *event.workBuffer;
    bool ok = !CancelPoint() && ReadBlock(kAreaEeprom, kBandWord, 0, work, &event);
    if (!ok && !m_cancelled) {
        HDLOG(1, "アップロード失敗[ADDR:%X]", kBandWord);
        event.message = HComText::kCommunicationError;
    } else if (ok) {
        HDLOG(5, "アップロード成功[ADDR:%X]", kBandWord);
        HHardwareGroup radioHw;
        radioHw.Load(work);
        HHardwareGroup editorHw;
        editorHw.Load(*event.editorImage);
        if (radioHw.GetValue(HHardwareGroup::kRowBand) !=
            editorHw.GetValue(HHardwareGroup::kRowBand)) {
            HDLOG(1, "%s", "周波数帯が違う為、終了します");
            ShowBox(HStringTable::kBandMismatch, HMessageIcon::Stop);
            ok = false;
        }
    }
    if (ok)
        ok = ReadImage(event, work);
    if (ok && !CancelPoint()) {
        HDLOG(3, "%s", "アップロード成功。データを保存します。");
        *event.editorImage = work;
    }
    ResetAndClose(event);
    return ok && !m_cancelled ? 0 : 1;
}
