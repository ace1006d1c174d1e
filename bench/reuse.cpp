// A download right after an upload of the same radio, against the simulated
// radio pacing its bytes at 9600 baud: the upload stands for the download's
// backup, so the radio is not read again. Prints that download's time over a
// download without any backup, against the limit 1.10; and, to show that a
// download with no fresh upload behind it is unchanged, a download whose
// backup is read again (the radio was written since) over one made without
// asking the history at all.
#include "BenchRadio.h"
#include "HDefaultImage.h"
#include "HHistory.h"
#include "HHistoryStore.h"
#include "HRP57CommunicationDialog.h"
#include "HSerialPort.h"
#include "HTransferHistory.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kLimit = 1.10;

struct Run {
    double seconds = 0;
    HTransferOutcome outcome;
};

// One transfer; `backup`: the download reads (or reuses) a backup;
// `source`: where it may find an earlier read.
Run Transfer(const std::string& dir, HCommEvent id, bool backup, HBackupSource* source,
             HHistory& history) {
    // Let the radio come back to its Check loop after the last reset.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    static HMemoryImage image = BuildDefaultImage();
    HMemoryImage work{};
    const bool upload = id == HCommEvent::Upload;
    auto event = std::make_unique<HCommEventData>(id);
    event->UseRanges(upload ? HTransferDirection::Upload : HTransferDirection::Download, 0);
    event->devicePath = dir + "/radio";
    event->workBuffer = &work;
    event->editorImage = &image;
    if (!upload)
        event->readEeprom.push_back({0xFD, 0xFE}); // as the front ends read it for the record
    if (backup) {
        event->backupSink = [](const HMemoryImage&) {
            HBackupResult r;
            r.written = true;
            r.path = "(not kept)";
            return r;
        };
        event->backupSource = source;
    }
    bench::PasswordAnswers answers;
    HSerialPort port;
    HRP57CommunicationDialog controller(upload ? HRP57CommunicationDialog::kDirectionUpload
                                               : HRP57CommunicationDialog::kDirectionDownload,
                                        &port, &answers);
    const auto start = Clock::now();
    Run run;
    run.outcome = controller.Run(std::move(event));
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    (void)history.Record(HTransferHistory::RecordOf(
        upload ? HHistoryOperation::Upload : HHistoryOperation::Download, 0, run.outcome));
    return run;
}

} // namespace

int main() {
    char tmpl[] = "/tmp/rp57-bench-XXXXXX";
    const std::string dir = ::mkdtemp(tmpl);
    ::setenv("RP57_HOME", dir.c_str(), 1);
    const pid_t sim = bench::StartPacedRadio(dir, false);
    if (!fs::is_symlink(dir + "/radio")) {
        std::fprintf(stderr, "reuse: the simulated radio did not start\n");
        return 1;
    }
    HHistorySettings settings;
    settings.url = std::string(HHistoryStore::kSqlitePrefix) + dir + "/history.sqlite";
    settings.spoolPath = dir + "/spool.sqlite";
    HHistory history(settings);
    HTransferHistory source(history);

    const Run bare = Transfer(dir, HCommEvent::Download, false, nullptr, history);
    const Run upload = Transfer(dir, HCommEvent::Upload, false, nullptr, history);
    const Run reused = Transfer(dir, HCommEvent::Download, true, &source, history);
    // Written since: the history has no read that stands; the radio is read.
    const Run readAgain = Transfer(dir, HCommEvent::Download, true, &source, history);
    const Run unasked = Transfer(dir, HCommEvent::Download, true, nullptr, history);
    ::kill(sim, SIGTERM);
    ::waitpid(sim, nullptr, 0);
    std::error_code ec;
    fs::remove_all(dir, ec);

    bool ok = true;
    for (const Run* r : {&bare, &upload, &reused, &readAgain, &unasked})
        ok = ok && r->outcome.status == HTransferStatus::Success;
    const bool wasReused = !reused.outcome.images.reusedBackup.empty();
    const bool readWhenWritten = readAgain.outcome.images.reusedBackup.empty();
    std::printf("download without backup                 %6.2f s\n", bare.seconds);
    std::printf("upload                                   %6.2f s\n", upload.seconds);
    std::printf("download after it, the upload as backup  %6.2f s  ratio %.3f, %.3f of the "
                "limit %.2f%s\n",
                reused.seconds, reused.seconds / bare.seconds,
                reused.seconds / bare.seconds / kLimit, kLimit, wasReused ? "" : "  (NOT reused)");
    std::printf("download with its backup read again      %6.2f s  ratio %.3f\n", readAgain.seconds,
                readAgain.seconds / bare.seconds);
    std::printf("download with backup, history not asked  %6.2f s  ratio %.3f (read again / "
                "not asked: %.3f)\n",
                unasked.seconds, unasked.seconds / bare.seconds,
                readAgain.seconds / unasked.seconds);
    const bool within =
        ok && wasReused && readWhenWritten && reused.seconds / bare.seconds <= kLimit;
    std::printf("limit %.2f: %s\n", kLimit, within ? "within" : "NOT within");
    return within ? 0 : 1;
}
