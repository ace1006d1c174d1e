#include "CliStopSignals.h"

#include <atomic>
#include <cstdio>
#include <future>
#include <pthread.h>

namespace CliStop {

volatile std::sig_atomic_t g_interrupted = 0;

namespace {
std::atomic<HRpCommonCommunication*> g_active{nullptr};
static_assert(std::atomic<HRpCommonCommunication*>::is_always_lock_free);
} // namespace

void SetActive(HRpCommonCommunication* link) {
    g_active.store(link);
}

void Stop() {
    g_interrupted = 1;
    // Atomic stores: safe in a signal handler.
    if (HRpCommonCommunication* link = g_active.load())
        link->RequestCancel();
}

void OnSignal(int) {
    Stop();
}

Guard::Guard(HRpCommonCommunication* link, void (*handler)(int), bool once) {
    g_interrupted = 0;
    SetActive(link);
    struct sigaction sa {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    // No SA_RESTART: a read waiting on the terminal or the line wakes up.
    sa.sa_flags = once ? SA_RESETHAND : 0;
    for (std::size_t n = 0; n < kSignals.size(); ++n)
        sigaction(kSignals[n], &sa, &m_old[n]);
}

Guard::~Guard() {
    for (std::size_t n = 0; n < kSignals.size(); ++n)
        sigaction(kSignals[n], &m_old[n], nullptr);
    SetActive(nullptr);
}

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
    for (const int s : kSignals)
        sigaddset(&stops, s);
    pthread_sigmask(SIG_BLOCK, &stops, &old);
    // Starting cleared any request: a signal that came before it still counts.
    if (g_interrupted)
        controller.Cancel();
    HTransferOutcome result = outcome.get();
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return result;
}

} // namespace CliStop
