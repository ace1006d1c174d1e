#pragma once
// Ctrl-C, the SIGTERM of a service manager, the SIGHUP of a closed terminal:
// a stop signal cancels the radio operation under way the way the Cancel
// button does, so the radio is reset and leaves clone or alignment mode.
#include "HRP57CommunicationDialog.h"

#include <array>
#include <csignal>
#include <memory>

namespace CliStop {

inline constexpr std::array kSignals = {SIGINT, SIGTERM, SIGHUP};

// Set by a stop signal; cleared when a guard begins.
extern volatile std::sig_atomic_t g_interrupted;

// The link a stop signal cancels; null: none.
void SetActive(HRpCommonCommunication* link);
// What a stop signal does (safe in a signal handler): marks the stop and asks
// the active link to cancel.
void Stop();
// The handler that does only that.
void OnSignal(int);

// While it lives, the stop signals run `handler` and cancel `link`. With
// `once`, the first signal restores the default action, so a second one ends
// the process.
class Guard {
public:
    explicit Guard(HRpCommonCommunication* link, void (*handler)(int) = OnSignal, bool once = true);
    ~Guard();
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    std::array<struct sigaction, kSignals.size()> m_old{};
};

// Runs one event on the controller with the stop signals left to its worker
// thread, so that a signal also cuts short the wait it is in. A stop that came
// before the start still counts.
HTransferOutcome RunCancellable(HRP57CommunicationDialog& controller,
                                std::unique_ptr<HCommEventData> event);

} // namespace CliStop
