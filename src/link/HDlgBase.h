#pragma once
// Base of every object that drives a radio transfer: one worker thread with its
// own message queue and optional timer, a per-object trace prefix and category,
// and the settings readers.
//
// An operation reaches the object as an event (HEventData). Two delivery paths
// end in the same virtual OnEvent:
//  - SendEvent: runs OnEvent at once in the caller's thread (the window path);
//  - PTMessage1: queues the event to the worker thread (message 0x402).
// Whoever sends or posts an event hands its ownership over; the receiving side
// deletes it after the handler returned.
#include "HSettingsReader.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

inline constexpr std::uint32_t kMsgEvent = 0x401;       // window path (WM_USER+1)
inline constexpr std::uint32_t kMsgThreadEvent = 0x402; // worker thread: run an event
inline constexpr std::uint32_t kMsgThreadEnd = 0x403;   // worker thread: end the loop
inline constexpr std::uint32_t kMsgTimer = 0x113;       // worker thread: timer tick

inline constexpr int kEventKindPlain = 0;
inline constexpr int kEventKindComm = 1;

// Base event. `kind` tells handlers what they hold (1 = communication event);
// destruction goes by the object's real type (virtual destructor), so an event
// whose kind field lies cannot be destroyed as the wrong type.
struct HEventData {
    HEventData() = default;
    HEventData(int id, int k) : eventId(id), kind(k) {}
    virtual ~HEventData() = default;
    HEventData(const HEventData&) = delete;
    HEventData& operator=(const HEventData&) = delete;

    int eventId = 0;
    int kind = kEventKindPlain;
    // Optional: called by the receiving side with the handler's result, in the
    // handler's thread, just before the event is deleted (both delivery paths).
    // Lets a front end learn the outcome of an event it posted to the worker.
    std::function<void(HEventData& event, int result)> onHandled;
};

// A queued thread message as OnOtherMessage sees it.
struct HThreadMessage {
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

class HDlgBase {
public:
    static constexpr std::chrono::milliseconds kDefaultEndWait{10000};

    explicit HDlgBase(int templateId = 0);
    // Derived classes that build a thread must call JoinThread in their own
    // destructor: the worker calls their virtual functions.
    virtual ~HDlgBase();
    HDlgBase(const HDlgBase&) = delete;
    HDlgBase& operator=(const HDlgBase&) = delete;

    // The dialog's initialisation hook, called by the front end once the object
    // is fully built: takes category and prefix from the virtuals, then OnInitHook.
    bool InitDialog();

    // Window path: runs OnEvent in the calling thread, deletes the event, returns
    // OnEvent's result.
    int SendEvent(std::unique_ptr<HEventData> event);

    // 0 = started, 1 = a thread already exists (nothing started).
    int BuildThread();
    // Ends the thread: message 0x403, then waits up to the end wait (10000 ms).
    // A thread that does not end is logged and let go, never killed: it runs on
    // until its handler returns, and JoinThread waits for it. Returns 0.
    int DestroyThread();
    // DestroyThread, then waits without a limit for a thread it had to let go.
    // Called by destructors: the object must not go while its worker can still
    // run its code.
    void JoinThread();
    [[nodiscard]] bool HasThread() const { return m_thread != nullptr; }
    // True when the last DestroyThread had to give up on the thread.
    [[nodiscard]] bool ThreadWasAbandoned() const { return m_abandoned; }
    [[nodiscard]] std::thread::id GetThreadId() const;
    void SetThreadEndWait(std::chrono::milliseconds wait) { m_endWait = wait; }

    // 0 posted, 1 failed (no thread: the event is deleted here).
    int PTMessage1(std::unique_ptr<HEventData> event);
    int PTMessage2(std::uint32_t message, std::intptr_t lParam);
    int PTMessage3(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

    [[nodiscard]] int GetStatus() const { return m_status.load(); }
    void SetStatus(int value) { m_status.store(value); }
    void SetShowWindowFlag(int flag);
    [[nodiscard]] int GetShowWindowFlag() const { return m_showWindowFlag; }
    void SetLogPrefix(const std::string& prefix);
    void SetLogCategory(int category);
    [[nodiscard]] int GetTemplateId() const { return m_templateId; }

    // Formats, puts the log prefix in front and writes with the object's category.
    void Log(int level, const char* file, int line, const char* format, ...) const
        __attribute__((format(printf, 5, 6)));

    // Settings readers over the settings path; misses collect in GetSettingsError().
    int ReadSettingInt(const std::string& section, const std::string& key, int minimum,
                       int maximum);
    std::string ReadSettingText(const std::string& section, const std::string& key);
    [[nodiscard]] const std::string& GetSettingsPath() const { return m_settingsPath; }
    [[nodiscard]] HSettingsError& GetSettingsError() { return m_settingsError; }

protected:
    virtual int OnEvent(HEventData& event) { return 0; }
    [[nodiscard]] virtual int GetLogCategory() const { return 0; }
    [[nodiscard]] virtual std::string GetLogPrefix() const { return {}; }
    virtual void OnInitHook() {}
    // Milliseconds between OnThreadTimer calls; 0 = no timer.
    [[nodiscard]] virtual int GetTimerPeriod() const { return 0; }
    virtual void OnThreadEnd() {}
    virtual int OnThreadTimer() { return 0; }
    // 0 = not handled.
    virtual int OnOtherMessage(const HThreadMessage& message) { return 0; }
    // Builds the settings path: "RP57Win.ini" in the program data directory. Returns 1.
    virtual int BuildSettingsPath();

    std::string m_settingsPath;

private:
    struct Queued {
        HThreadMessage msg;
        std::unique_ptr<HEventData> event;
    };
    // Shared with the worker: the queue and the end flag it signals.
    struct Shared {
        std::mutex mutex;
        std::condition_variable cv;
        std::deque<Queued> queue;
        bool ended = false;
    };

    // Queues `item` for the worker; `caller` names the sender in the trace.
    int Post(const char* caller, Queued item);
    void ThreadMain(std::shared_ptr<Shared> shared);
    void RunHandler(HEventData& event);

    int m_templateId = 0;
    std::atomic<int> m_status{0};
    std::unique_ptr<std::thread> m_thread;
    std::shared_ptr<Shared> m_shared;
    // A thread DestroyThread gave up on; still joinable, joined by JoinThread.
    std::unique_ptr<std::thread> m_letGo;
    std::atomic<std::thread::id> m_threadId{};
    mutable std::mutex m_logMutex;
    int m_logCategory = 0;
    std::string m_logPrefix;
    HSettingsError m_settingsError;
    std::atomic<int> m_timerId{0};
    int m_showWindowFlag = 0;
    bool m_abandoned = false;
    std::chrono::milliseconds m_endWait = kDefaultEndWait;
};

// Trace line through the object's own wrapper (prefix, category).
#define HDLOG(level, ...) Log((level), __FILE__, __LINE__, __VA_ARGS__)
