#include "HDlgBase.h"

#include "HLogPrint.h"
#include "HProgramDir.h"

#include <cstring>
#include <functional>
#include <sstream>

namespace {
constexpr std::uintptr_t kThreadTimerId = 1;
}

HDlgBase::HDlgBase(int templateId) : m_templateId(templateId) {
    HDLOG(6, "%s", "FUNC_IN");
    BuildSettingsPath();
    HDLOG(6, "%s", "FUNC_OUT");
}

HDlgBase::~HDlgBase() {
    // Last resort: a derived class should already have ended its thread.
    JoinThread();
}

bool HDlgBase::InitDialog() {
    {
        std::lock_guard lock(m_logMutex);
        m_logCategory = GetLogCategory();
        m_logPrefix = GetLogPrefix();
    }
    OnInitHook();
    return true;
}

int HDlgBase::BuildSettingsPath() {
    // The original used the current directory; here every file of the program
    // lives in the program data directory.
    m_settingsPath = HProgramDir::SettingsPath();
    return 1;
}

void HDlgBase::Log(int level, const char* file, int line, const char* format, ...) const {
    int category = 0;
    std::string prefix;
    {
        std::lock_guard lock(m_logMutex);
        category = m_logCategory;
        prefix = m_logPrefix;
    }
    va_list args;
    va_start(args, format);
    std::string text = HLogPrint::Format(format, args);
    va_end(args);
    // C-string semantics: a "%c" of 0 ends the text, as it did in the original.
    text.resize(std::strlen(text.c_str()));
    HLogPrint::Write(level, category, file, line, prefix + text);
}

void HDlgBase::SetLogPrefix(const std::string& prefix) {
    std::lock_guard lock(m_logMutex);
    m_logPrefix = prefix;
}

void HDlgBase::SetLogCategory(int category) {
    std::lock_guard lock(m_logMutex);
    m_logCategory = category;
}

void HDlgBase::SetShowWindowFlag(int flag) {
    HDLOG(3, "ShowWindowフラグを変更します[FLAG:%d]", flag);
    m_showWindowFlag = flag;
}

std::thread::id HDlgBase::GetThreadId() const {
    return m_threadId.load();
}

int HDlgBase::SendEvent(std::unique_ptr<HEventData> event) {
    if (!event)
        return 0;
    HDLOG(5, "%s", "ベースクラスイベント受信");
    const int result = OnEvent(*event);
    if (event->onHandled)
        event->onHandled(*event, result);
    event.reset();
    HDLOG(5, "%s", "ベースクラスにて、イベント通知用データクラス破棄");
    return result;
}

int HDlgBase::BuildThread() {
    // One object runs one thread at a time, also while a let-go one runs out.
    if (m_thread || m_letGo) {
        HDLOG(2, "%s", "すでにスレッドが存在します。");
        return 1;
    }
    HDLOG(3, "%s", "*****スレッド構築*****");
    m_shared = std::make_shared<Shared>();
    m_abandoned = false;
    m_thread = std::make_unique<std::thread>(&HDlgBase::ThreadMain, this, m_shared);
    return 0;
}

int HDlgBase::DestroyThread() {
    HDLOG(6, "%s", "FUNC_IN");
    if (!m_thread) {
        HDLOG(6, "%s", "FUNC_OUT");
        return 0;
    }
    PTMessage2(kMsgThreadEnd, 0);
    bool ended = false;
    {
        std::unique_lock lock(m_shared->mutex);
        ended = m_shared->cv.wait_for(lock, m_endWait, [this] { return m_shared->ended; });
    }
    if (ended) {
        m_thread->join();
        m_thread.reset();
    } else {
        // No safe way to kill a thread: let it run out on its own (the end
        // message is queued behind its handler). It still runs our code, so it
        // stays joinable and JoinThread waits for it before this object goes.
        HDLOG(2, "%s", "強制的にスレッドを破棄します。");
        m_letGo = std::move(m_thread);
        m_abandoned = true;
    }
    HDLOG(3, "%s", "*****スレッド破棄*****");
    m_shared.reset();
    m_threadId.store(std::thread::id{});
    HDLOG(6, "%s", "FUNC_OUT");
    return 0;
}

void HDlgBase::JoinThread() {
    DestroyThread();
    if (!m_letGo)
        return;
    HDLOG(2, "%s", "worker thread still running: waiting for it to end");
    m_letGo->join();
    m_letGo.reset();
    HDLOG(3, "%s", "worker thread ended");
}

int HDlgBase::Post(const char* caller, Queued item) {
    if (!m_thread || !m_shared) {
        HDLOG(1, "%s",
              item.event ? "存在しないスレッドへイベントを通知しようとしました。"
                         : "存在しないスレッドへメッセージを通知しようとしました。");
        return 1; // an event dies here with its unique_ptr
    }
    HDLOG(4, "[%s]%03d", caller, int(item.msg.message));
    {
        std::lock_guard lock(m_shared->mutex);
        if (m_shared->ended)
            return 1;
        m_shared->queue.push_back(std::move(item));
    }
    m_shared->cv.notify_all();
    return 0;
}

int HDlgBase::PTMessage1(std::unique_ptr<HEventData> event) {
    Queued item;
    item.msg.message = kMsgThreadEvent;
    item.event = std::move(event);
    return Post("PTMessage1", std::move(item));
}

int HDlgBase::PTMessage2(std::uint32_t message, std::intptr_t lParam) {
    Queued item;
    item.msg.message = message;
    item.msg.lParam = lParam;
    return Post("PTMessage2", std::move(item));
}

int HDlgBase::PTMessage3(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    Queued item;
    item.msg.message = message;
    item.msg.wParam = wParam;
    item.msg.lParam = lParam;
    return Post("PTMessage3", std::move(item));
}

void HDlgBase::RunHandler(HEventData& event) {
    const int result = OnEvent(event);
    if (event.onHandled)
        event.onHandled(event, result);
}

void HDlgBase::ThreadMain(std::shared_ptr<Shared> shared) {
    using Clock = std::chrono::steady_clock;
    HDLOG(6, "%s", "FUNC_IN");
    m_threadId.store(std::this_thread::get_id());
    HDLOG(3, "%s", "*****スレッド開始*****");

    const int period = GetTimerPeriod();
    std::chrono::milliseconds interval{0};
    if (period > 0) {
        HDLOG(5, "%s", "スレッドタイマ生成");
        interval = std::chrono::milliseconds(period);
        m_timerId.store(int(kThreadTimerId));
    }
    auto nextTick = Clock::now() + interval;

    bool running = true;
    while (running) {
        Queued item;
        {
            std::unique_lock lock(shared->mutex);
            if (interval.count() > 0) {
                shared->cv.wait_until(lock, nextTick, [&] { return !shared->queue.empty(); });
            } else {
                shared->cv.wait(lock, [&] { return !shared->queue.empty(); });
            }
            if (!shared->queue.empty()) {
                item = std::move(shared->queue.front());
                shared->queue.pop_front();
            } else if (interval.count() > 0 && Clock::now() >= nextTick) {
                // Like the system's timer message: made when nothing else waits,
                // never queued up, so a slow handler does not cause a burst.
                item.msg.message = kMsgTimer;
                item.msg.wParam = kThreadTimerId;
                nextTick = Clock::now() + interval;
            } else {
                continue;
            }
        }
        const std::uint32_t msg = item.msg.message;
        HDLOG(msg == kMsgTimer ? 6 : 3, "[スレッド]メッセージ受信[MSG:%d]", int(msg));
        if (msg == kMsgTimer) {
            OnThreadTimer();
        } else if (msg == kMsgThreadEvent) {
            if (item.event)
                RunHandler(*item.event);
            item.event.reset();
        } else if (msg == kMsgThreadEnd) {
            OnThreadEnd();
            running = false;
        } else if (OnOtherMessage(item.msg) == 0) {
            // Nothing else to hand an unknown message to.
            HDLOG(2, "[スレッド]：規定外のメッセージ受信[msg %x]", unsigned(msg));
        }
    }

    if (m_timerId.load() != 0) {
        HDLOG(5, "%s", "スレッドタイマ破棄");
        m_timerId.store(0);
    }
    HDLOG(3, "%s", "*****スレッド終了*****");
    HDLOG(6, "%s", "FUNC_OUT");
    {
        std::lock_guard lock(shared->mutex);
        shared->ended = true;
    }
    shared->cv.notify_all();
}

int HDlgBase::ReadSettingInt(const std::string& section, const std::string& key, int minimum,
                             int maximum) {
    return ::ReadSettingInt(m_settingsPath, section, key, minimum, maximum, m_settingsError);
}

std::string HDlgBase::ReadSettingText(const std::string& section, const std::string& key) {
    return ::ReadSettingText(m_settingsPath, section, key, m_settingsError);
}
