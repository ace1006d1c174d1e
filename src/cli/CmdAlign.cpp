#include "CmdAlign.h"

#include "CliCommand.h"
#include "CliStopSignals.h"
#include "CmdHistory.h"
#include "HAdjustmentRecovery.h"
#include "HBasicAlignment.h"
#include "HChannels.h"
#include "HLinkSettings.h"
#include "HRP57CommunicationDialog.h"
#include "HStringTable.h"
#include "HTransferHistory.h"

#include <CLI/CLI.hpp>
#include <array>
#include <cstdio>
#include <memory>

namespace {

// Messages on stderr; questions answered as the command line says.
class AlignPrompt : public HPrompt {
public:
    explicit AlignPrompt(bool yes) : m_yes(yes) {}
    // A final success message is already on its step's line.
    void ShowMessage(const std::string& text, HMessageIcon icon) override {
        if (icon != HMessageIcon::Information)
            CliError(text);
    }
    std::optional<std::string> AskPassword(int) override { return std::nullopt; }
    bool AskYesNo(const std::string& text, HMessageIcon) override {
        std::fprintf(stderr, "%s [%s]\n", PlainLines(text).c_str(), m_yes ? "Yes" : "No");
        return m_yes;
    }

private:
    bool m_yes;
};

void Step(const char* name, const std::string& result) {
    std::printf("%s: %s\n", name, result.c_str());
    std::fflush(stdout);
}

// One event through the controller, which a stop signal cancels.
HTransferOutcome Send(HSerialPort& port, HPrompt& prompt, std::unique_ptr<HCommEventData> event) {
    HRP57CommunicationDialog controller(HRP57CommunicationDialog::kDirectionUpload, &port, &prompt);
    CliStop::SetActive(&controller);
    HTransferOutcome outcome = CliStop::RunCancellable(controller, std::move(event));
    CliStop::SetActive(nullptr);
    return outcome;
}

const char* Outcome(const HTransferOutcome& o) {
    return o.result == 0 ? "done" : o.status == HTransferStatus::Cancelled ? "cancelled" : "failed";
}

std::string WithMessage(const HTransferOutcome& o) {
    return std::string(Outcome(o)) + (o.message.empty() ? "" : " (" + PlainLines(o.message) + ")");
}

bool Stopped() {
    return CliStop::g_interrupted != 0;
}

// A step line, and for a cancelled event the words a cancelled transfer says.
void EventStep(const char* name, const HTransferOutcome& o) {
    Step(name, WithMessage(o));
    if (o.status == HTransferStatus::Cancelled &&
        o.message.find(HComText::kCancelled) == std::string::npos)
        CliError(HComText::kCancelled);
}

// Between the steps the radio is in alignment mode, answering nothing but
// alignment commands: a stop leaves it by the reset frame, as a cancelled
// transfer leaves clone mode. It still holds the alignment set-up.
int CancelSteps(HComAlignment& comm, HSerialPort& port) {
    CliStop::SetActive(nullptr);
    (void)comm.ResetRadio(nullptr);
    port.Close();
    Step("end", "cancelled");
    CliError(std::string(HComText::kCancelled) + "\n" +
             HStringTable::Get(HStringTable::kPartialWrite));
    return kExitFailed;
}

// Says which words and pages did not reach the radio; true when all did.
bool AllWritten(const HBasicAlignment::HUnwritten& missed) {
    for (int word : missed.words)
        CliError("word " + std::to_string(word) + " was not written to the radio");
    for (int page : missed.pages)
        CliError("FLASH page " + std::to_string(page) + " was not written to the radio");
    return missed.Empty();
}

// One record of the whole alignment or recovery.
void Record(HHistoryOperation operation, bool ok, const HTransferOutcome& last,
            const HMemoryImage* read, const HMemoryImage* written) {
    CliRecord(HTransferHistory::FlowRecord(operation, 1, ok, last, read, written));
}

int Basic(const HLinkSettings& link, AlignPrompt& prompt) {
    const CliStop::Guard stop(nullptr);
    HSerialPort port;
    HMemoryImage work{}, editor{};
    auto start = BuildCommEvent(HCommEvent::BasicAlignStart, link, &work, &editor);
    start->readEeprom = {{0x00, 0x11}, {0x19, 0x1C}, {0x29, 0x2C}, {0x39, 0x3C}, {0x4C, 0x4C}};
    start->readFlash = {{0x00, 0x01}, {0x03, 0x03}, {0x08, 0xFF}, {0x5C, 0x5E}};
    start->writeEeprom = {{0x10, 0x11}};
    start->writeFlash = {{0x00, 0x01}, {0x03, 0x03}, {0x08, 0xFF}};
    const HTransferOutcome started = Send(port, prompt, std::move(start));
    EventStep("start", started);
    // Result 2: the radio holds the set-up, so its data were read and written.
    const HMemoryImage* read = started.result != 1 ? &work : nullptr;
    const HRangeList endEeprom{{0x02, 0x02}, {0x10, 0x11}};
    const HRangeList endFlash{{0x00, 0x01}, {0x03, 0x03}, {0x08, 0xFF}};
    if (started.result == 2 && !Stopped()) {
        // The radio holds the alignment set-up: its own data goes back.
        auto back = BuildCommEvent(HCommEvent::BasicAlignStartFailure, link, nullptr, &work);
        back->writeEeprom = endEeprom;
        back->writeFlash = endFlash;
        const HTransferOutcome restored = Send(port, prompt, std::move(back));
        EventStep("restore", restored);
        Record(HHistoryOperation::Alignment, false, restored, read, &work);
    } else if (started.result != 0) {
        Record(HHistoryOperation::Alignment, false, started, read, nullptr);
    }
    if (started.result != 0)
        return kExitFailed;

    HComAlignment comm(&port);
    // A stop between the steps: the radio is reset and the run recorded as cancelled.
    auto cancelSteps = [&] {
        const int status = CancelSteps(comm, port);
        HTransferOutcome stopped;
        stopped.status = HTransferStatus::Cancelled;
        stopped.message = HComText::kCancelled;
        Record(HHistoryOperation::Alignment, false, stopped, read, &editor);
        return status;
    };
    CliStop::SetActive(&comm);
    if (Stopped()) // a stop before the steps could be told to stop
        comm.RequestCancel();
    const HBasicAlignment::Timing timing;
    HAlignmentData data;
    data.Load(editor);
    // A step whose readings or writes failed: its value is not in the radio.
    std::vector<std::string> failed;
    for (bool tx : {false, true}) {
        const char* name = tx ? "vcv-tx" : "vcv-rx";
        const std::optional<int> vcv = HBasicAlignment::VcvSearch(comm, tx, timing);
        if (tx)
            (void)comm.RequestRx();
        if (Stopped())
            return cancelSteps();
        Step(name, vcv ? std::to_string(*vcv) : "failed");
        if (!vcv) {
            failed.emplace_back(name);
            continue;
        }
        data.SetValue(tx ? 17 : 16, *vcv);
        const int word[] = {11};
        if (!AllWritten({HBasicAlignment::StoreAndWrite(comm, editor, data, word, timing), {}}))
            failed.emplace_back(name);
    }
    std::array<int, 3> results{};
    bool tuned = true;
    for (int step = 0; step < HBasicAlignment::kTuneSteps && tuned; ++step) {
        const std::optional<int> t =
            HBasicAlignment::TuneSweep(comm, step, std::uint8_t(data.GetValue(16)), timing);
        if (Stopped())
            return cancelSteps();
        const std::string name = "rx-tune-" + std::to_string(step);
        Step(name.c_str(), t ? std::to_string(*t) : "failed");
        tuned = t.has_value();
        if (t)
            results[std::size_t(step)] = *t;
        else
            failed.push_back(name);
    }
    if (tuned) {
        HChannels model;
        model.Load(editor);
        HBasicAlignment::StoreTuneResults(
            data, results,
            {model.GetFrequency(0, 0), model.GetFrequency(1, 0), model.GetFrequency(2, 0)});
        // As the window does: the words, then the channel pages the tune
        // values changed.
        const int words[] = {13, 14, 15};
        if (!AllWritten(HBasicAlignment::StoreTuneAndWrite(comm, editor, data, words, timing)))
            failed.emplace_back("rx-tune");
    }
    if (Stopped())
        return cancelSteps();
    CliStop::SetActive(nullptr);

    auto end = BuildCommEvent(HCommEvent::BasicAlignEnd, link, &work, &editor);
    // The work buffer holds the radio's own data: it must not be cleared.
    end->writeEeprom = endEeprom;
    end->writeFlash = endFlash;
    end->failedSteps = failed;
    const HTransferOutcome ended = Send(port, prompt, std::move(end));
    EventStep("end", ended);
    const bool done = failed.empty() && ended.result == 0;
    Record(HHistoryOperation::Alignment, done, ended, read, &editor);
    return ended.result == 0 ? kExitOk : kExitFailed;
}

int Recover(const HLinkSettings& link, AlignPrompt& prompt, const std::string& file) {
    const CliStop::Guard stop(nullptr);
    HSerialPort port;
    HMemoryImage work{};
    auto start = BuildCommEvent(HCommEvent::RecoveryStart, link, &work, nullptr);
    start->readEeprom = {{0x00, 0x1C}, {0xEB, 0xFE}};
    start->readFlash = {{0x00, 0x01}, {0x08, 0xFF}, {0x5C, 0x5E}};
    const HTransferOutcome read = Send(port, prompt, std::move(start));
    EventStep("read", read);
    if (read.result != 0 || Stopped()) {
        Record(HHistoryOperation::Recovery, false, read, nullptr, nullptr);
        return kExitFailed;
    }
    const HMemoryImage asRead = work; // the recovery works on `work`
    HCommEventData ranges;
    HAdjustmentRecovery::Sources sources;
    sources.chooseDataFile = [&] { return std::optional<std::string>(file); };
    sources.readDefaultFile = &HAdjustmentRecovery::ReadModelDefaultFile;
    const int reliability = HAdjustmentRecovery::ReliabilityTest(work);
    Step("reliability", std::to_string(reliability));
    if (!HAdjustmentRecovery::AdjustmentRecovery(work, ranges, prompt, sources)) {
        Step("recover", "stopped");
        HTransferOutcome stopped;
        stopped.status = HTransferStatus::Cancelled;
        stopped.message = "recovery stopped";
        Record(HHistoryOperation::Recovery, false, stopped, &asRead, nullptr);
        return kExitFailed;
    }
    HMemoryImage recovered = work;
    auto end = BuildCommEvent(HCommEvent::RecoveryEnd, link, nullptr, &recovered);
    end->writeEeprom = ranges.writeEeprom;
    end->writeFlash = ranges.writeFlash;
    const HTransferOutcome written = Send(port, prompt, std::move(end));
    EventStep("write", written);
    Record(HHistoryOperation::Recovery, written.result == 0, written, &asRead, &recovered);
    return written.result == 0 ? kExitOk : kExitFailed;
}

struct AlignOptions {
    std::string port;
    int baud = 9600;
    bool interfaceUnit = false;
    std::string step;
    std::string file;
    bool yes = false;
};

int RunAlign(const AlignOptions& o) {
    if (o.step == "recover" && o.file.empty()) {
        CliError("align: recover wants --file FILE");
        return kExitBadInput;
    }
    HLinkSettings link;
    link.accessLevel = 1;
    link.baudRate = o.baud;
    link.connectionMode = o.interfaceUnit ? 1 : 0;
    link.SetPort(o.port);
    AlignPrompt prompt(o.yes);
    return o.step == "basic" ? Basic(link, prompt) : Recover(link, prompt, o.file);
}

} // namespace

void AddAlignCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<AlignOptions>();
    CLI::App* command =
        AddCommand(app, "align",
                   "  align --port DEV [--baud N] [--interface-unit] basic\n"
                   "        VCV search (RX, TX) and RX sensitivity sweep, each stored and written\n"
                   "  align --port DEV [--baud N] [--interface-unit] recover --file FILE [--yes]\n"
                   "        adjustment recovery with FILE as the saved data file; --yes answers\n"
                   "        its questions with Yes (without it they are answered No)\n",
                   status, [o] { return RunAlign(*o); });
    command->add_option("STEP", o->step, "basic or recover")
        ->required()
        ->check(CLI::IsMember({"basic", "recover"}));
    command->add_option("--port", o->port, "a serial device, or a COM port number")
        ->required()
        ->type_name("DEV");
    command->add_option("--baud", o->baud, "the line speed")
        ->check(CLI::Range(1, 4000000))
        ->type_name("N");
    command->add_flag("--interface-unit", o->interfaceUnit,
                      "the radio is behind an interface unit");
    command->add_option("--file", o->file, "the saved data file (recover)");
    command->add_flag("--yes", o->yes, "answer the recovery's questions with Yes");
}
