#include "CmdTransfer.h"

#include "CliStopSignals.h"
#include "CmdFleet.h"
#include "CmdHistory.h"
#include "HBackups.h"
#include "HDataFile.h"
#include "HFleetPlan.h"
#include "HLinkSettings.h"
#include "HLogPrint.h"
#include "HProgramDir.h"
#include "HRP57CommunicationDialog.h"
#include "HRoster.h"
#include "HSerialPort.h"
#include "HSignallingSteps.h"
#include "HStringTable.h"
#include "HTransferHistory.h"
#include "HTransferRanges.h"
#include "HTransferSteps.h"
#include "HWriteCheck.h"

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
    bool force = false;            // download even when the check before writing finds errors
    bool backup = false;           // read the radio into the backups folder first
    bool noBackup = false;         // do not, whatever the settings say
    bool repeat = false;           // radio after radio until Ctrl-C
    std::string journal;           // the fleet run's CSV journal
    std::string roster;            // per radio by serial number: the settings it is given
    std::vector<std::string> keep; // settings read from each radio and kept
};

using CliStop::g_interrupted;

// A fleet run: the first stop signal ends it after the radio being programmed.
bool g_repeat = false;
std::atomic<bool> g_stopAfterRadio{false};

void OnInterrupt(int) {
    if (g_repeat && !g_stopAfterRadio.exchange(true)) {
        static const char note[] =
            "\nrp57cli: the run ends after this radio (again: stop this one now)\n";
        [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, note, sizeof note - 1);
        return;
    }
    CliStop::Stop();
}

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

    // The check's errors once the radio is read: --force answers them.
    bool OverrideFindings(const std::string& text) override {
        EndProgressLine();
        std::fprintf(stderr, "%s\n", PlainLines(text).c_str());
        std::fprintf(stderr, m_force ? "rp57cli: --force: downloading anyway\n"
                                     : "rp57cli: the download stops; --force downloads anyway\n");
        return m_force;
    }
    void SetForce(bool force) { m_force = force; }

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
    bool m_force = false;
    std::vector<std::string> m_held;
};

std::unique_ptr<HCommEventData> MakeEvent(HCommEvent id, const TransferOptions& o,
                                          HMemoryImage& work, HMemoryImage& image,
                                          HBackupSource* backupSource = nullptr) {
    HLinkSettings link;
    link.SetPort(o.port);
    link.baudRate = o.baud;
    link.connectionMode = o.interfaceUnit ? 1 : 0;
    link.accessLevel = o.level;
    std::unique_ptr<HCommEventData> event = BuildCommEvent(id, link, &work, &image);
    if (id != HCommEvent::Download)
        return event;
    event->radioCheck = &HWriteCheck::CheckAgainstRadio;
    // A fleet run keeps backups only when asked: each costs an upload's time.
    // Settings kept from the radio need it read whole, which is its backup too.
    const HBackupSettings backups = HBackupSettings::Read();
    if (o.backup || !o.keep.empty() || (!o.repeat && !o.noBackup && backups.beforeDownload)) {
        event->backupSink = [backups](const HMemoryImage& radio) {
            return HBackups::Keep(radio, HBackups::SerialLabel(radio), backups,
                                  HBackups::Clock::now());
        };
        // An earlier read of the same radio may stand for the backup.
        if (CliHistory().Settings().reuseMinutes > 0)
            event->backupSource = backupSource;
    } else {
        event->noBackupWhy = o.noBackup ? "--no-backup was given"
                             : o.repeat ? "a --repeat run keeps backups only with --backup"
                                        : HStringTable::Format(HStringTable::kBackupSwitchedOff,
                                                               {HProgramDir::SettingsPath()});
    }
    // The radio's serial number (words 0xFD-0xFE) names its record, its
    // journal line and its roster row.
    if (o.level != 2 || o.repeat || !o.roster.empty())
        event->readEeprom.push_back({0xFD, 0xFE});
    return event;
}

// The values as one line: "key=value; key=value".
std::string OnOneLine(std::string values) {
    for (std::size_t at = values.find('\n'); at != std::string::npos; at = values.find('\n'))
        values.replace(at, 1, "; ");
    return values;
}

// The check before writing, before the radio is touched. False: errors, and no
// --force.
bool CheckBeforeDownload(const HMemoryImage& image, const TransferOptions& o) {
    const std::vector<HCheckFinding> findings = HWriteCheck::CheckImage(image, o.level);
    for (const HCheckFinding& f : findings)
        std::fprintf(stderr, "%s\n", PlainLines(HWriteCheck::Describe(f)).c_str());
    if (!HHasCheckErrors(findings))
        return true;
    if (o.force) {
        std::fprintf(stderr, "rp57cli: --force: downloading anyway\n");
        return true;
    }
    CliError(HStringTable::Get(HStringTable::kCheckStopped) + " (--force downloads anyway)");
    return false;
}

// Runs the event on the controller's worker thread. This thread only waits, with
// the stop signals blocked, so that they reach the worker: it may sit in the
// password prompt's read, which only a signal of its own wakes.
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

// A fleet run: after each radio, the next one's Check byte; one journal line per
// radio. A stop signal ends the run after the radio being programmed.
int RunRepeat(const TransferOptions& o, const HMemoryImage& prepared, const HRoster* roster) {
    HLinkSettings link;
    link.SetPort(o.port);
    const std::string device = link.DeviceName();
    FleetJournal journal(o.journal.empty()
                             ? HProgramDir::WithSlash(HProgramDir::DataDir()) + "fleet-journal.csv"
                             : o.journal);
    // Every radio's line must reach the journal: found out before the first.
    if (!journal.Check()) {
        CliError("the journal cannot be written: " + journal.Error());
        return kExitBadInput;
    }
    CliPrompt prompt(o.password, false);
    prompt.SetForce(o.force);
    HSerialPort port;
    HTransferHistory history(CliHistory());
    g_repeat = true;
    g_stopAfterRadio = false;
    // Every stop signal is counted here: the second stops the radio being programmed.
    CliStop::Guard guard(nullptr, OnInterrupt, false);

    int radios = 0;
    int failed = 0;
    bool journalLost = false;
    int skipped = 0;
    while (!g_stopAfterRadio) {
        std::fprintf(stderr, "%s\n", HStringTable::Get(HStringTable::kFleetWaiting).c_str());
        if (!WaitForRadio(device, o.baud, g_stopAfterRadio))
            break;
        HMemoryImage image = prepared;
        HMemoryImage work{};
        HTransferOutcome outcome;
        HFleetTurn turn;
        {
            HRP57CommunicationDialog controller(HRP57CommunicationDialog::kDirectionDownload, &port,
                                                &prompt, &prompt);
            CliStop::SetActive(&controller);
            auto event = MakeEvent(HCommEvent::Download, o, work, image, &history);
            HFleetPlan::Install(*event, roster, o.keep, turn);
            outcome = CliStop::RunCancellable(controller, std::move(event));
            CliStop::SetActive(nullptr);
        }
        ++radios;
        const bool ok = outcome.status == HTransferStatus::Success;
        failed += ok || turn.skipped ? 0 : 1;
        skipped += turn.skipped ? 1 : 0;
        const char* result = ok ? "ok" : turn.skipped ? "skipped" : "failed";
        const std::string serial = HBackups::SerialLabel(work);
        const std::string message = outcome.status == HTransferStatus::Cancelled
                                        ? std::string(HComText::kCancelled)
                                        : outcome.message;
        std::printf("radio %d: serial %s %s\n", radios, serial.c_str(), result);
        std::fflush(stdout);
        // A run whose record is lost must not go on as if kept.
        if (!journal.Append(serial, result, message, OnOneLine(turn.received))) {
            CliError("the journal line could not be written: " + journal.Error() +
                     "; the run stops");
            journalLost = true;
        }
        HHistoryRecord record =
            HTransferHistory::RecordOf(HHistoryOperation::FleetDownload, o.level, outcome);
        record.journal = journal.LastLine();
        record.values = turn.received;
        CliRecord(std::move(record));
        if (journalLost)
            break;
    }
    g_repeat = false;
    std::printf("%d radios, %d failed, %d skipped; journal %s\n", radios, failed, skipped,
                journal.Path().c_str());
    return failed == 0 && skipped == 0 && !journalLost ? kExitOk : kExitFailed;
}

int RunTransfer(const TransferOptions& o, bool upload) {
    HMemoryImage work{};
    HMemoryImage image{};
    HRoster roster;
    std::string why;
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
        HTransferSteps::PrepareForDownload(image, HTransferSteps::ReadSignallingMode(image),
                                           HSignallingSteps::WriteCompiledTables);
        if (!CheckBeforeDownload(image, o))
            return kExitFailed;
        // Every row of the roster is tried before the first radio.
        if (!o.roster.empty() && !roster.Load(o.roster, image, o.level, o.keep, why)) {
            CliError(why);
            return kExitBadInput;
        }
        if (o.roster.empty() && !o.keep.empty())
            if (why = HRoster::CheckKeep(image, o.level, o.keep); !why.empty()) {
                CliError("--keep: " + why);
                return kExitBadInput;
            }
        if (o.repeat)
            return RunRepeat(o, image, o.roster.empty() ? nullptr : &roster);
    }

    CliPrompt prompt(o.password, upload);
    prompt.SetForce(o.force);
    HSerialPort port;
    HTransferOutcome outcome;
    HTransferHistory history(CliHistory());
    HFleetTurn turn;
    {
        HRP57CommunicationDialog controller(upload ? HRP57CommunicationDialog::kDirectionUpload
                                                   : HRP57CommunicationDialog::kDirectionDownload,
                                            &port, &prompt, &prompt);
        CliStop::Guard guard(&controller, OnInterrupt);
        auto event =
            MakeEvent(upload ? HCommEvent::Upload : HCommEvent::Download, o, work, image, &history);
        HFleetPlan::Install(*event, o.roster.empty() ? nullptr : &roster, o.keep, turn);
        outcome = CliStop::RunCancellable(controller, std::move(event));
    }
    HHistoryRecord record = HTransferHistory::RecordOf(
        upload ? HHistoryOperation::Upload : HHistoryOperation::Download, o.level, outcome);
    record.values = turn.received;
    CliRecord(std::move(record));
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
        upload
            ? AddCommand(
                  app, "upload",
                  "  upload --port DEV -o FILE [--level 0|1|2] [--baud N] [--interface-unit]\n"
                  "                            [--password TEXT]\n"
                  "                            read the radio into a data file (DEV: a serial\n"
                  "                            device, or a COM port number)\n",
                  status, [o] { return RunTransfer(*o, true); })
            : AddCommand(
                  app, "download",
                  "  download --port DEV FILE [--level 0|1|2] [--baud N] [--interface-unit]\n"
                  "                            [--password TEXT] [--force] [--backup|--no-backup]\n"
                  "                            [--repeat [--journal FILE]] [--roster ROSTER.csv]\n"
                  "                            [--keep KEY[,KEY...]]\n"
                  "                            write a data file into the radio, after the\n"
                  "                            check before writing (--force overrides its\n"
                  "                            errors) and a backup of the radio; --repeat\n"
                  "                            programs radio after radio until Ctrl-C;\n"
                  "                            --roster gives each radio its row (by serial:\n"
                  "                            a radio not in it is not written); --keep\n"
                  "                            keeps those settings as each radio has them\n",
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
    if (upload)
        return;
    command->add_flag("--force", o->force,
                      "download even when the check before writing finds errors");
    command->add_flag("--backup", o->backup, "read the radio into the backups folder first");
    command->add_flag("--no-backup", o->noBackup, "no backup, whatever Backup/BeforeDownload says");
    command->add_flag("--repeat", o->repeat,
                      "program radio after radio until Ctrl-C, one journal line each");
    command->add_option("--journal", o->journal, "the fleet run's CSV journal")->type_name("FILE");
    command
        ->add_option("--roster", o->roster,
                     "CSV: serial and setting keys; each radio gets its row's values")
        ->type_name("ROSTER.csv");
    command
        ->add_option("--keep", o->keep,
                     "settings read from the radio and kept (the radio is read whole)")
        ->delimiter(',')
        ->type_name("KEY[,KEY...]");
}

} // namespace

void AddUploadCommand(CLI::App& app, int& status) {
    AddTransferCommand(app, status, true);
}
void AddDownloadCommand(CLI::App& app, int& status) {
    AddTransferCommand(app, status, false);
}
