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
    ~Worker() override { DestroyThread(); }

    std::atomic<int> events{0}, ticks{0}, ends{0}, others{0};
    std::atomic<bool> onWorker{false}, inHandler{false}, handlerDone{false};
    std::shared_future<void> release; // when valid, the handler waits for it

protected:
    int OnEvent(HEventData& event) override {
        inHandler = true;
        onWorker = std::this_thread::get_id() == GetThreadId();
        ++events;
        if (release.valid())
            release.wait();
        handlerDone = true;
        return event.eventId * 10;
    }
    std::string GetLogPrefix() const override { return "[WK]"; }
    int GetTimerPeriod() const override { return m_timerMs; }
    void OnThreadEnd() override { ++ends; }
    int OnThreadTimer() override { return ++ticks, 0; }
    int OnOtherMessage(const HThreadMessage& m) override {
        return m.message == 0x500 && m.wParam == 7 && m.lParam == 9 ? (++others, 1) : 0;
    }

private:
    int m_timerMs;
};

} // namespace

TEST(DlgBase, WindowAndThreadPathsLifecycleMessagesAndTimer) {
    TempHome home(6);
    g_plainDestroyed = g_commDestroyed = 0;
    {
        Worker w(5);
        w.InitDialog();
        // Without a thread, SendEvent runs the handler right here and deletes
        // the event after reporting its result.
        int seen = -1;
        auto event = std::make_unique<CountedPlain>(4, kEventKindPlain);
        event->onHandled = [&](HEventData&, int result) { seen = result; };
        EXPECT_EQ(w.SendEvent(std::move(event)), 40);
        EXPECT_EQ(seen, 40);
        EXPECT_EQ(g_plainDestroyed.load(), 1);
        EXPECT_FALSE(w.onWorker.load());

        // Posting before a thread exists fails and deletes the event once.
        EXPECT_EQ(w.PTMessage1(std::make_unique<CountedPlain>(1, 0)), 1);
        EXPECT_EQ(g_plainDestroyed.load(), 2);

        EXPECT_EQ(w.BuildThread(), 0);
        EXPECT_EQ(w.BuildThread(), 1); // the running thread is left alone
        ASSERT_TRUE(WaitFor([&] { return w.GetThreadId() != std::thread::id{}; }));

        // Both kinds of event are destroyed with everything they hold, whatever
        // their kind field says.
        auto comm = std::make_unique<CountedComm>();
        comm->eventId = 3;
        std::atomic<int> result{-1};
        comm->onHandled = [&](HEventData&, int r) { result = r; };
        EXPECT_EQ(w.PTMessage1(std::move(comm)), 0);
        EXPECT_EQ(w.PTMessage1(std::make_unique<CountedPlain>(5, kEventKindComm)), 0);
        auto odd = std::make_unique<CountedComm>();
        odd->kind = 7;
        EXPECT_EQ(w.PTMessage1(std::move(odd)), 0);
        EXPECT_EQ(w.PTMessage3(0x500, 7, 9), 0); // handled by OnOtherMessage
        EXPECT_EQ(w.PTMessage2(0x600, 1), 0);    // nobody handles it
        ASSERT_TRUE(WaitFor([&] { return w.events.load() == 4 && w.others.load() == 1; }));
        EXPECT_TRUE(w.onWorker.load());
        EXPECT_EQ(result.load(), 30);
        ASSERT_TRUE(WaitFor([&] { return g_commDestroyed.load() == 2; }));
        EXPECT_EQ(g_plainDestroyed.load(), 3);
        EXPECT_TRUE(WaitFor([&] { return w.ticks.load() >= 3; })); // the timer ticks on the worker

        EXPECT_EQ(w.DestroyThread(), 0);
        const int ticks = w.ticks.load();
        std::this_thread::sleep_for(30ms);
        EXPECT_EQ(w.ticks.load(), ticks); // and stops with the thread
        EXPECT_EQ(w.ends.load(), 1);
        EXPECT_FALSE(w.HasThread());
        EXPECT_FALSE(w.ThreadWasAbandoned());
    }
    const std::string log = home.LogText();
    EXPECT_EQ("", Missing(log, {"[D3] [WK]ベースクラスイベント受信", "すでにスレッドが存在します。",
                                "[スレッド]：規定外のメッセージ受信[msg 600]",
                                "存在しないスレッドへイベントを通知しようとしました。",
                                "スレッドタイマ生成", "スレッドタイマ破棄"}));
    EXPECT_EQ(log.find("強制的にスレッドを破棄します。"), std::string::npos);
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
    // The handler was not killed: it finishes when let go, and the abandoned
    // thread then leaves without touching its former owner.
    gate.set_value();
    EXPECT_TRUE(WaitFor([&] { return w->handlerDone.load(); }));
    w.reset();
}
