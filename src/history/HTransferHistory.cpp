#include "HTransferHistory.h"

#include "HLogPrint.h"

#include <ctime>

HHistoryResult HTransferHistory::ResultOf(HTransferStatus status) {
    switch (status) {
    case HTransferStatus::Success:
        return HHistoryResult::Done;
    case HTransferStatus::Cancelled:
        return HHistoryResult::Cancelled;
    case HTransferStatus::Failed:
        break;
    }
    return HHistoryResult::Failed;
}

HHistoryRecord HTransferHistory::RecordOf(HHistoryOperation operation, int accessLevel,
                                          const HTransferOutcome& outcome) {
    HHistoryRecord r;
    r.operation = operation;
    r.accessLevel = accessLevel;
    r.result = ResultOf(outcome.status);
    r.message = outcome.message;
    if (r.message.empty() && outcome.status == HTransferStatus::Cancelled)
        r.message = HComText::kCancelled;
    const HTransferImages& images = outcome.images;
    r.read = images.read;
    r.written = images.written;
    if (const HMemoryImage* radio = images.read    ? images.read.get()
                                    : images.radio ? images.radio.get()
                                                   : images.written.get())
        r.radio = HRadioIdentity::Of(*radio);
    return r;
}

HHistoryRecord HTransferHistory::FlowRecord(HHistoryOperation operation, int accessLevel, bool ok,
                                            const HTransferOutcome& last, const HMemoryImage* read,
                                            const HMemoryImage* written) {
    HHistoryRecord r;
    r.operation = operation;
    r.accessLevel = accessLevel;
    r.result = ok ? HHistoryResult::Done
                  : ResultOf(last.status == HTransferStatus::Success ? HTransferStatus::Failed
                                                                     : last.status);
    r.message = last.message;
    if (read)
        r.read = std::make_shared<const HMemoryImage>(*read);
    if (written)
        r.written = std::make_shared<const HMemoryImage>(*written);
    if (read || written)
        r.radio = HRadioIdentity::Of(read ? *read : *written);
    return r;
}

std::optional<HEarlierRead> HTransferHistory::EarlierRead(const HMemoryImage& words,
                                                          int accessLevel) {
    ++m_asked;
    const int minutes = m_history.Settings().reuseMinutes;
    if (minutes <= 0)
        return std::nullopt;
    // An upload just made may still be on its way to the history.
    if (m_pending)
        m_pending->Flush();
    HHistoryRecord here;
    here.Complete(); // this bench's name
    const std::int64_t since = std::int64_t(std::time(nullptr)) - std::int64_t(minutes) * 60;
    const std::optional<HHistoryRead> read =
        m_history.EarlierRead(HRadioIdentity::Of(words).serial, here.bench, since, accessLevel);
    if (!read)
        return std::nullopt;
    HLOG_D1("history: read %s of %s may stand for the backup", read->record.uid.c_str(),
            HHistoryText::UtcTime(read->record.time).c_str());
    return HEarlierRead{read->image, std::string("the ") +
                                         HHistoryNames::Of(read->record.operation) + " of " +
                                         HHistoryText::LocalTime(read->record.time)};
}
