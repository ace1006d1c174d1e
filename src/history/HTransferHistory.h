#pragma once
// The history's side of a transfer, for the front ends: the record of what a
// transfer's outcome carries, and the answer to a download's question for an
// earlier read of the same radio to stand for its backup.
#include "HBackupSource.h"
#include "HHistory.h"
#include "HRP57CommunicationDialog.h"

#include <atomic>

class HTransferHistory final : public HBackupSource {
public:
    // `history` (and `pending`, records still on their way to it) must
    // outlive this object.
    explicit HTransferHistory(HHistory& history, HHistoryWriter* pending = nullptr)
        : m_history(history), m_pending(pending) {}

    // A record of the outcome: result, message, the images it read and wrote,
    // and the radio's identity from the whole read, else from the words read,
    // else from the image written.
    [[nodiscard]] static HHistoryRecord RecordOf(HHistoryOperation operation, int accessLevel,
                                                 const HTransferOutcome& outcome);
    [[nodiscard]] static HHistoryResult ResultOf(HTransferStatus status);
    // The one record of an alignment or recovery made of several transfers:
    // what its start read of the radio and what its end wrote (null:
    // nothing); `last` is its last transfer's outcome.
    [[nodiscard]] static HHistoryRecord FlowRecord(HHistoryOperation operation, int accessLevel,
                                                   bool ok, const HTransferOutcome& last,
                                                   const HMemoryImage* read,
                                                   const HMemoryImage* written);

    // The latest read of this radio on this bench within the settings'
    // ReuseMinutes, with no write recorded since; none when ReuseMinutes is 0.
    [[nodiscard]] std::optional<HEarlierRead> EarlierRead(const HMemoryImage& words,
                                                          int accessLevel) override;
    // How often a download asked (tests, benchmarks).
    [[nodiscard]] int Asked() const { return m_asked; }

private:
    HHistory& m_history;
    HHistoryWriter* m_pending = nullptr;
    std::atomic<int> m_asked{0};
};
