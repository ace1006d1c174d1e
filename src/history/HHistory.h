#pragma once
// The shop's record of every transfer with a radio. Embedded by default (an
// SQLite file in the program data directory, made on first use); shared when
// the settings name a PostgreSQL server. A record the database cannot take
// (server away, disk full) waits in a local spool (an SQLite file) and is sent
// once the database answers again, never twice: each record carries a uid the
// database keeps once. Nothing here ever stops a radio job.
#include "HHistoryRecord.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class HHistoryStore;

struct HHistorySettings {
    static constexpr int kDefaultReuseMinutes = 10;
    static constexpr const char* kDatabaseName = "history.sqlite";
    static constexpr const char* kSpoolName = "history-spool.sqlite";

    std::string url;       // what the database opens: sqlite:FILE or a PostgreSQL connection
    std::string spoolPath; // the local spool
    // [Backup] ReuseMinutes: how old a read may be to stand for a download's
    // backup; 0 never.
    int reuseMinutes = kDefaultReuseMinutes;
    // Why the settings' Url is not used (it holds a password), or empty.
    std::string problem;

    // $RP57_HISTORY_URL, else the settings file's [History] Url=, else the
    // embedded file in the program data directory. A password written into
    // the settings file is refused: credentials come from ~/.pgpass,
    // PGPASSFILE or the environment.
    [[nodiscard]] static HHistorySettings Read();
    // The url without any password in it.
    [[nodiscard]] std::string Shown() const;
};

// What became of a record.
struct HHistoryKept {
    bool stored = false;  // in the database
    bool spooled = false; // in the spool, to be sent later
    // What the technician is to be told now: the first record kept back in an
    // outage, records sent after one, a record lost. Empty otherwise.
    std::string notice;
};

// An earlier whole read of a radio, for a download's backup.
struct HHistoryRead {
    HHistoryRecord record;
    std::shared_ptr<const HMemoryImage> image;
};

class HHistory {
public:
    explicit HHistory(HHistorySettings settings);
    ~HHistory();
    HHistory(const HHistory&) = delete;
    HHistory& operator=(const HHistory&) = delete;

    [[nodiscard]] const HHistorySettings& Settings() const { return m_settings; }

    // Completes and keeps the record, in the database or else in the spool.
    // Records waiting in the spool are sent first.
    HHistoryKept Record(HHistoryRecord record);
    // Sends the spool's records to the database; how many went (-1: the
    // database is away). `notice` as Record gives it.
    int Deliver(std::string* notice = nullptr);
    // Records waiting in the spool.
    [[nodiscard]] std::int64_t Waiting();

    // ---- reading (the spool delivered first, when it can be) ----
    [[nodiscard]] bool Radios(std::vector<HRadioSummary>& out, std::string& error);
    [[nodiscard]] bool Timeline(const std::string& serial, std::vector<HHistoryRecord>& out,
                                std::string& error);
    [[nodiscard]] bool Image(const std::string& hash, HMemoryImage& image, std::string& error);

    // The latest whole read of radio `serial` on `bench` at or after `since`
    // (database and spool), when nothing was recorded to write into the radio
    // since, and its level covers a backup at `accessLevel`.
    [[nodiscard]] std::optional<HHistoryRead> EarlierRead(const std::string& serial,
                                                          const std::string& bench,
                                                          std::int64_t since, int accessLevel);

private:
    HHistoryStore* Database(std::string& error);
    HHistoryStore* Spool(bool create, std::string& error);
    int DeliverLocked(std::string* notice);
    // A database that failed is opened anew next time.
    void DropDatabase();

    HHistorySettings m_settings;
    std::mutex m_mutex;
    std::unique_ptr<HHistoryStore> m_database;
    std::unique_ptr<HHistoryStore> m_spool;
    std::chrono::steady_clock::time_point m_lastFailure{};
    bool m_failedOnce = false;
    bool m_told = false; // the technician knows the database is away
};

// Records kept on a thread of their own, in the order posted, so that a
// window never waits on the database.
class HHistoryWriter {
public:
    // Called on the writer's thread with what the technician is to be told
    // (HHistoryKept::notice), when there is something.
    using Tell = std::function<void(const std::string& notice)>;

    // `history` must outlive the writer.
    explicit HHistoryWriter(HHistory& history);
    // Keeps what was posted, then ends.
    ~HHistoryWriter();
    HHistoryWriter(const HHistoryWriter&) = delete;
    HHistoryWriter& operator=(const HHistoryWriter&) = delete;

    void Post(HHistoryRecord record, Tell tell = {});
    // Returns once every record posted before is kept.
    void Flush();

private:
    void Run();

    HHistory& m_history;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::pair<HHistoryRecord, Tell>> m_queue;
    bool m_busy = false;
    bool m_stop = false;
    std::thread m_thread;
};
