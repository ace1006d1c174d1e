// Full upload and download at access levels 0 and 2 against the simulated radio
// pacing its bytes at the real line rate. For each transfer it prints the
// measured time over the least time the exchange can take: every byte on the
// wire at 11 bit times (start, 8 data, 2 stop) at 9600 baud, plus the fixed
// waits the protocol prescribes (the 2000 ms pause after Power On).
//
// On the one-wire cable a request and its echo are the same bytes on the same
// wire: the echo comes back while the request is being sent. So the wire time
// is (request bytes + reply bytes) x 11 / 9600 s; the radio's output (echo and
// reply, paced by the simulator) is exactly that long.
#include "BenchRadio.h"
#include "HDefaultImage.h"
#include "HRP57CommunicationDialog.h"
#include "HSerialPort.h"
#include "HTransferRanges.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kBaud = 9600.0;
constexpr double kBitsPerByte = 11.0;
constexpr double kLimit = 1.02;

// Bytes of the frames in the simulator's log from line `from` on: what the PC
// sent (PC>RADIO) and what the radio answered (RADIO>PC), the Check included.
struct WireBytes {
    long sent = 0;
    long replied = 0;
    std::size_t lines = 0;
};

WireBytes CountLog(const std::string& path, std::size_t fromLine) {
    WireBytes w;
    std::ifstream in(path);
    std::size_t n = 0;
    for (std::string line; std::getline(in, line); ++n) {
        if (n < fromLine)
            continue;
        const bool pc = line.find("PC>RADIO ") != std::string::npos;
        const bool radio = line.find("RADIO>PC ") != std::string::npos;
        if (!pc && !radio)
            continue;
        const char* tag = pc ? "PC>RADIO " : "RADIO>PC ";
        const std::string hex = line.substr(line.find(tag) + std::strlen(tag));
        std::istringstream words(hex.substr(0, hex.find("  ")));
        long bytes = 0;
        for (std::string w; words >> w;)
            bytes += w.size() == 2;
        (pc ? w.sent : w.replied) += bytes;
    }
    w.lines = n;
    return w;
}

} // namespace

int main() {
    char tmpl[] = "/tmp/rp57-bench-XXXXXX";
    const std::string dir = ::mkdtemp(tmpl);
    ::setenv("RP57_HOME", dir.c_str(), 1);
    const pid_t sim = bench::StartPacedRadio(dir, true);
    if (!fs::is_symlink(dir + "/radio")) {
        std::fprintf(stderr, "transfer: the simulated radio did not start\n");
        return 1;
    }

    bench::PasswordAnswers answers;
    HMemoryImage image = BuildDefaultImage();
    std::size_t logLine = 0;
    bool allWithin = true;
    std::printf("%-14s %9s %9s %9s %7s\n", "transfer", "measured", "floor", "wire B", "ratio");
    for (int level : {0, 2}) {
        for (const HCommEvent id : {HCommEvent::Upload, HCommEvent::Download}) {
            // Let the radio come back to its Check loop after the last reset.
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            const bool upload = id == HCommEvent::Upload;
            HMemoryImage work{};
            auto event = std::make_unique<HCommEventData>(id);
            event->UseRanges(upload ? HTransferDirection::Upload : HTransferDirection::Download,
                             level);
            event->devicePath = dir + "/radio";
            event->workBuffer = &work;
            event->editorImage = &image;

            HSerialPort port;
            HRP57CommunicationDialog controller(upload
                                                    ? HRP57CommunicationDialog::kDirectionUpload
                                                    : HRP57CommunicationDialog::kDirectionDownload,
                                                &port, &answers);
            const auto start = Clock::now();
            const HTransferOutcome o = controller.Run(std::move(event));
            const double measured = std::chrono::duration<double>(Clock::now() - start).count();
            // The log line of the reset may still be on its way.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const WireBytes w = CountLog(dir + "/radio.log", logLine);
            logLine = w.lines;
            const double wire = double(w.sent + w.replied) * kBitsPerByte / kBaud;
            const double floor =
                wire +
                std::chrono::duration<double>(HRP57CommunicationDialog::kConnectWait).count();
            const double ratio = measured / floor;
            char name[32];
            std::snprintf(name, sizeof name, "%s level %d", upload ? "upload" : "download", level);
            std::printf("%-14s %8.2fs %8.2fs %9ld %7.3f%s\n", name, measured, floor,
                        w.sent + w.replied, ratio,
                        o.status == HTransferStatus::Success ? "" : "  (transfer failed)");
            std::fflush(stdout);
            allWithin = allWithin && o.status == HTransferStatus::Success && ratio <= kLimit;
        }
    }
    std::printf("limit %.2f: %s\n", kLimit, allWithin ? "within" : "NOT within");
    ::kill(sim, SIGTERM);
    ::waitpid(sim, nullptr, 0);
    std::error_code ec;
    fs::remove_all(dir, ec);
    return allWithin ? 0 : 1;
}
