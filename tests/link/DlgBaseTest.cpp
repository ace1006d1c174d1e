#include "HCommEventData.h"
#include "HDlgBase.h"
#include "LinkTestUtil.h"

#include <atomic>
#include <future>

using namespace linktest;

namespace {

std::atomic<int> g_plainDestroyed{0}, g_commDestroyed{0};

struct CountedPlain : HEventData {
    using HEventData::HEventData;
    ~CountedPlain() override { ++g_plainDestroyed; }
};
struct CountedComm : HCommEventData {
    ~CountedComm() override { ++g_commDestroyed; }
    std::vector<std::uint8_t> payload = std::vector<std::uint8_t>(1000, 1);
};

class Worker : public HDlgBase {
public:
    explicit Worker(int timerMs = 0) : m_timerMs(timerMs) {}
    ~Worker() override { JoinThread(); }

    std::atomic<int> events{0}, ticks{0}, ends{0}, others{0};
    std::atomic<bool> onWorker{false}, inHandler{false}, handlerDone{false};
    std::shared_future<void> release; // when valid, the handler waits for it
    // What the handler and the end hook saw of this object, kept outside it.
    std::string name = "worker";
    std::string* nameSeen = nullptr;
    std::atomic<bool>* endSeen = nullptr;

protected:
    int OnEvent(HEventData& event) override {
        inHandler = true;
        onWorker = std::this_thread::get_id() == GetThreadId();
        ++events;
        if (release.valid())
            release.wait();
        handlerDone = true;
        if (nameSeen)
            *nameSeen = name;
        return event.eventId * 10;
    }
    std::string GetLogPrefix() const override { return "[WK]"; }
    int GetTimerPeriod() const override { return m_timerMs; }
    void OnThreadEnd() override {
        ++ends;
        if (endSeen)
            *endSeen = true;
    }
    int OnThreadTimer() override { return ++ticks, 0; }
    int OnOtherMessage(const HThreadMessage& m) override {
        return m.message == 0x500 && m.wParam == 7 && m.lParam == 9 ? (++others, 1) : 0;
    }

private:
    int m_timerMs;
};

} // namespace

TEST(DlgBase, EventsRunOnTheWorkerAndAreDestroyedWhateverTheirKind) {
    TempHome home(6);
    g_plainDestroyed = g_commDestroyed = 0;
    {
        Worker w;
        w.InitDialog();
        // Without a thread, SendEvent runs the handler right here.
        EXPECT_EQ(w.SendEvent(std::make_unique<CountedPlain>(4, kEventKindPlain)), 40);
        EXPECT_FALSE(w.onWorker.load());
        // Posting before a thread exists fails and deletes the event once.
        EXPECT_EQ(w.PTMessage1(std::make_unique<CountedPlain>(1, 0)), 1);
        EXPECT_EQ(g_plainDestroyed.load(), 2);
        EXPECT_EQ(w.BuildThread(), 0);
        auto comm = std::make_unique<CountedComm>();
        comm->eventId = 3;
        EXPECT_EQ(w.PTMessage1(std::move(comm)), 0);
        EXPECT_EQ(w.PTMessage1(std::make_unique<CountedPlain>(5, kEventKindComm)), 0);
        ASSERT_TRUE(WaitFor([&] { return g_commDestroyed.load() == 1 && w.events.load() == 3; }));
        EXPECT_TRUE(w.onWorker.load());
        EXPECT_EQ(w.DestroyThread(), 0);
        EXPECT_EQ(g_plainDestroyed.load(), 3);
        EXPECT_EQ(w.ends.load(), 1);
    }
    EXPECT_EQ("",
              Missing(home.LogText(), {"存在しないスレッドへイベントを通知しようとしました。"}));
}

TEST(DlgBase, TimerTicksOnTheWorkerAndOtherMessagesReachTheHook) {
    Worker w(5);
    w.InitDialog();
    ASSERT_EQ(w.BuildThread(), 0);
    EXPECT_EQ(w.PTMessage3(0x500, 7, 9), 0);
    EXPECT_TRUE(WaitFor([&] { return w.others.load() == 1 && w.ticks.load() >= 3; }));
    EXPECT_EQ(w.DestroyThread(), 0);
    const int ticks = w.ticks.load();
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(w.ticks.load(), ticks); // the timer stops with the thread
}

TEST(DlgBase, AThreadThatDoesNotEndIsAbandonedNotKilled) {
    TempHome home(6);
    std::promise<void> gate;
    auto w = std::make_unique<Worker>();
    w->InitDialog();
    w->release = gate.get_future().share();
    w->SetThreadEndWait(50ms);
    ASSERT_EQ(w->BuildThread(), 0);
    ASSERT_EQ(w->PTMessage1(std::make_unique<HEventData>(2, 0)), 0);
    ASSERT_TRUE(WaitFor([&] { return w->inHandler.load(); }));
    EXPECT_EQ(w->DestroyThread(), 0); // gives up after the wait
    EXPECT_TRUE(w->ThreadWasAbandoned());
    EXPECT_FALSE(w->HasThread());
    EXPECT_EQ(w->ends.load(), 0);
    EXPECT_NE(home.LogText().find("[WR] [WK]強制的にスレッドを破棄します。"), std::string::npos);

    // The owner goes while the handler still runs: its destruction waits for
    // the thread, so the handler and the end message still find it whole (the
    // sanitizer build proves no freed memory is touched).
    std::string nameSeen;
    std::atomic<bool> endSeen{false}, ownerGone{false};
    w->nameSeen = &nameSeen;
    w->endSeen = &endSeen;
    std::thread owner([&] {
        w.reset();
        ownerGone = true;
    });
    ASSERT_TRUE(WaitFor(
        [&] { return home.LogText().find("worker thread still running") != std::string::npos; }));
    EXPECT_FALSE(ownerGone.load());
    gate.set_value(); // the handler was not killed: it finishes when let go
    owner.join();
    EXPECT_EQ(nameSeen, "worker");
    EXPECT_TRUE(endSeen.load());
    EXPECT_NE(home.LogText().find("[WK]*****スレッド終了*****"), std::string::npos);
}
