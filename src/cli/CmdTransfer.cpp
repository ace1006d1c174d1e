#include "CmdTransfer.h"

#include "HDataFile.h"
#include "HLinkSettings.h"
#include "HLogPrint.h"
#include "HRP57CommunicationDialog.h"
#include "HSerialPort.h"
#include "HTransferRanges.h"
#include "HTransferSteps.h"

#include <CLI/CLI.hpp>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <optional>
#include <pthread.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

struct TransferOptions {
    std::string port;
    std::string file;
    int level = 0;
    int baud = 9600;
    bool interfaceUnit = false;
    std::optional<std::string> password;
};

// Ctrl-C, the SIGTERM of a service manager, the SIGHUP of a closed terminal.
constexpr std::array kStopSignals = {SIGINT, SIGTERM, SIGHUP};

// The controller being run, for the signal handler.
std::atomic<HRP57CommunicationDialog*> g_active{nullptr};
volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) {
    g_interrupted = 1;
    // An atomic store: safe in a signal handler.
    if (HRP57CommunicationDialog* c = g_active.load())
        c->Cancel();
}

// A stop signal cancels the way the Cancel button does, so the radio is reset
// and leaves clone mode; a second one ends the process.
class InterruptGuard {
public:
    explicit InterruptGuard(HRP57CommunicationDialog& controller) {
        g_interrupted = 0;
        g_active.store(&controller);
        struct sigaction sa {};
        sa.sa_handler = OnInterrupt;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESETHAND; // no SA_RESTART: a password prompt wakes up
        for (std::size_t n = 0; n < kStopSignals.size(); ++n)
            sigaction(kStopSignals[n], &sa, &m_old[n]);
    }
    ~InterruptGuard() {
        for (std::size_t n = 0; n < kStopSignals.size(); ++n)
            sigaction(kStopSignals[n], &m_old[n], nullptr);
        g_active.store(nullptr);
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    std::array<struct sigaction, kStopSignals.size()> m_old{};
};

// Answers the controller from the command line and the terminal.
class CliPrompt : public HPrompt, public HComObserver {
public:
    // `holdInformation`: keep information messages ("Upload Complete!") until
    // ReleaseHeld, so that nothing claims success before the file is written.
    CliPrompt(std::optional<std::string> password, bool holdInformation)
        : m_password(std::move(password)), m_ttyIn(::isatty(STDIN_FILENO) == 1),
          m_ttyErr(::isatty(STDERR_FILENO) == 1), m_holdInformation(holdInformation) {}

    void ShowMessage(const std::string& text, HMessageIcon icon) override {
        if (icon == HMessageIcon::Information && m_holdInformation) {
            m_held.push_back(text);
            return;
        }
        EndProgressLine();
        if (icon == HMessageIcon::Information)
            std::printf("%s\n", PlainLines(text).c_str());
        else
            std::fprintf(stderr, "%s\n", PlainLines(text).c_str());
        std::fflush(stdout);
    }

    void ReleaseHeld() {
        for (const std::string& text : m_held)
            std::printf("%s\n", PlainLines(text).c_str());
        m_held.clear();
        std::fflush(stdout);
    }

    std::optional<std::string> AskPassword(int attempt) override {
        if (m_password)
            return m_password; // the same text each time: a wrong one fails three times
        if (!m_ttyIn) {
            if (attempt == 1)
                std::fprintf(stderr, "rp57cli: the radio asks for its programming password; "
                                     "give it with --password\n");
            return std::nullopt;
        }
        return ReadSecret(attempt);
    }

    bool AskYesNo(const std::string& text, HMessageIcon) override {
        if (!m_ttyIn || g_interrupted) {
            std::fprintf(stderr, "%s\nrp57cli: no terminal to answer: No\n", text.c_str());
            return false;
        }
        EndProgressLine();
        std::fprintf(stderr, "%s [y/N] ", text.c_str());
        char line[16] = {};
        if (!std::fgets(line, sizeof line, stdin))
            return false;
        return line[0] == 'y' || line[0] == 'Y';
    }

    void OnTitle(const std::string&) override {}
    void OnStatusText(const std::string& text) override {
        if (text == m_status)
            return;
        m_status = text;
        // Said once, with the final message, when the transfer is over (Report).
        if (text == HComText::kCancelled)
            return;
        EndProgressLine();
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    void OnProgressRange(int maximum) override { m_maximum = maximum; }
    void OnProgressPos(int position) override {
        if (!m_ttyErr || m_maximum <= 0 || position <= 0)
            return;
        constexpr int kWidth = 40;
        const int filled = std::min(kWidth, position * kWidth / m_maximum);
        std::fprintf(stderr, "\r[%s%s] %d/%d", std::string(std::size_t(filled), '#').c_str(),
                     std::string(std::size_t(kWidth - filled), ' ').c_str(), position, m_maximum);
        std::fflush(stderr);
        m_progressShown = true;
    }

private:
    void EndProgressLine() {
        if (m_progressShown)
            std::fputc('\n', stderr);
        m_progressShown = false;
    }

    std::optional<std::string> ReadSecret(int attempt) {
        if (g_interrupted)
            return std::nullopt;
        EndProgressLine();
        std::fprintf(stderr, attempt == 1 ? "Password: " : "Password (try %d of 3): ", attempt);
        std::fflush(stderr);
        termios old{};
        const bool haveTerm = ::tcgetattr(STDIN_FILENO, &old) == 0;
        if (haveTerm) {
            termios quiet = old;
            quiet.c_lflag &= ~tcflag_t(ECHO);
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
        }
        std::string text;
        bool ok = true;
        for (;;) {
            char c = 0;
            const ssize_t n = ::read(STDIN_FILENO, &c, 1);
            if (n != 1) { // end of input, or Ctrl-C
                ok = false;
                break;
            }
            if (c == '\n' || c == '\r')
                break;
            text.push_back(c);
        }
        if (haveTerm)
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &old);
        std::fputc('\n', stderr);
        if (!ok || g_interrupted)
            return std::nullopt;
        return text;
    }

    std::optional<std::string> m_password;
    bool m_ttyIn = false;
    bool m_ttyErr = false;
    std::string m_status;
    int m_maximum = 0;
    bool m_progressShown = false;
    bool m_holdInformation = false;
    std::vector<std::string> m_held;
};

std::unique_ptr<HCommEventData> MakeEvent(HCommEvent id, const TransferOptions& o,
                                          HMemoryImage& work, HMemoryImage& image) {
    HLinkSettings link;
    link.SetPort(o.port);
    link.baudRate = o.baud;
    link.connectionMode = o.interfaceUnit ? 1 : 0;
    link.accessLevel = o.level;
    return BuildCommEvent(id, link, &work, &image);
}

// Runs the event on the controller's worker thread. This thread only waits, with
// the stop signals blocked, so that they reach the worker: it may sit in the
// password prompt's read, which only a signal of its own wakes.
HTransferOutcome RunCancellable(HRP57CommunicationDialog& controller,
                                std::unique_ptr<HCommEventData> event) {
    std::promise<HTransferOutcome> finished;
    std::future<HTransferOutcome> outcome = finished.get_future();
    if (!controller.Start(std::move(event),
                          [&finished](const HTransferOutcome& o) { finished.set_value(o); })) {
        HTransferOutcome failed;
        failed.message = HComText::kCommunicationError;
        std::fprintf(stderr, "%s\n", failed.message.c_str());
        return failed;
    }
    sigset_t stops;
    sigset_t old;
    sigemptyset(&stops);
    for (const int s : kStopSignals)
        sigaddset(&stops, s);
    pthread_sigmask(SIG_BLOCK, &stops, &old);
    // Starting cleared any request: a signal that came before it still counts.
    if (g_interrupted)
        controller.Cancel();
    HTransferOutcome result = outcome.get();
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return result;
}

// The final message itself reached the prompt already, as the controller worded
// it; here only what it did not say.
int Report(const HTransferOutcome& outcome) {
    if (!outcome.detail.empty())
        std::fprintf(stderr, "%s\n", outcome.detail.c_str());
    if (outcome.status == HTransferStatus::Cancelled &&
        outcome.message.find(HComText::kCancelled) == std::string::npos)
        std::fprintf(stderr, "%s\n", HComText::kCancelled);
    return outcome.status == HTransferStatus::Success ? kExitOk : kExitFailed;
}

int RunTransfer(const TransferOptions& o, bool upload) {

    HMemoryImage work{};
    HMemoryImage image{};
    if (upload) {
        // A whole radio read for a file that cannot be written is lost: refuse
        // before the radio is touched.
        if (const HDataFileResult check = HDataFile::CheckWritable(o.file); !check.Ok()) {
            FileError(check);
            return kExitBadInput;
        }
    } else {
        const HDataFileResult read = HDataFile::Read(o.file, image);
        if (!read.Ok()) {
            FileError(read);
            return kExitBadInput;
        }
        // What the program does to its image before every Download.
        HTransferSteps::PrepareForDownload(image, HTransferSteps::ReadSignallingMode(image));
    }

    CliPrompt prompt(o.password, upload);
    HSerialPort port;
    HTransferOutcome outcome;
    {
        HRP57CommunicationDialog controller(upload ? HRP57CommunicationDialog::kDirectionUpload
                                                   : HRP57CommunicationDialog::kDirectionDownload,
                                            &port, &prompt, &prompt);
        InterruptGuard guard(controller);
        outcome =
            RunCancellable(controller, MakeEvent(upload ? HCommEvent::Upload : HCommEvent::Download,
                                                 o, work, image));
    }
    const int status = Report(outcome);
    if (!upload || status != kExitOk)
        return status;

    // The corrections the program applies after an Upload, then the same file
    // the program's Save writes.
    HTransferSteps::CorrectAfterUpload(image);
    const HDataFileResult written = HDataFile::Write(o.file, image);
    if (!written.Ok()) {
        FileError(written);
        return kExitFailed;
    }
    // A reader that went away (a closed pipe) misses the message, not the file.
    prompt.ReleaseHeld();
    return kExitOk;
}

// The options both commands share; the data file is "-o FILE" for an upload
// and the one free word for a download.
void AddTransferCommand(CLI::App& app, int& status, bool upload) {
    auto o = std::make_shared<TransferOptions>();
    CLI::App* command =
        upload ? AddCommand(
                     app, "upload",
                     "  upload --port DEV -o FILE [--level 0|1|2] [--baud N] [--interface-unit]\n"
                     "                            [--password TEXT]\n"
                     "                            read the radio into a data file (DEV: a serial\n"
                     "                            device, or a COM port number)\n",
                     status, [o] { return RunTransfer(*o, true); })
               : AddCommand(
                     app, "download",
                     "  download --port DEV FILE [--level 0|1|2] [--baud N] [--interface-unit]\n"
                     "                            [--password TEXT]\n"
                     "                            write a data file into the radio\n",
                     status, [o] { return RunTransfer(*o, false); });
    command->add_option("--port", o->port, "a serial device, or a COM port number")
        ->required()
        ->type_name("DEV");
    if (upload)
        command->add_option("-o", o->file, "the data file to write")->required()->type_name("FILE");
    else
        command->add_option("FILE", o->file, "the data file to write into the radio")->required();
    command->add_option("--level", o->level, "the access level")
        ->check(CLI::Range(0, 2))
        ->type_name("0|1|2");
    command->add_option("--baud", o->baud, "the line speed")
        ->check(CLI::Range(1, 4000000))
        ->type_name("N");
    command->add_flag("--interface-unit", o->interfaceUnit,
                      "the radio is behind an interface unit");
    command
        ->add_option_function<std::string>(
            "--password", [o](const std::string& text) { o->password = text; },
            "the radio's password, instead of asking")
        ->type_name("TEXT");
}

} // namespace

void AddUploadCommand(CLI::App& app, int& status) {
    AddTransferCommand(app, status, true);
}
void AddDownloadCommand(CLI::App& app, int& status) {
    AddTransferCommand(app, status, false);
}
