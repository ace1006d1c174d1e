#pragma once
// One history database, embedded (an SQLite file) or shared (a PostgreSQL
// server), through one database layer (SOCI). Opening creates the tables or
// upgrades an older database in place. Every call answers true or false with
// the reason; nothing is thrown out of here.
#include "HHistoryRecord.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class HHistoryStore {
public:
    enum class Engine { Sqlite, Postgresql };
    // The layout this program writes. Each version adds to the one before.
    static constexpr int kSchemaVersion = 2;
    static constexpr const char* kSqlitePrefix = "sqlite:";

    // "sqlite:PATH" (the file is created when missing) or a PostgreSQL
    // connection URI ("postgresql://...") or keyword string ("host=... dbname=...").
    // Null with `error` when the database cannot be opened or upgraded.
    [[nodiscard]] static std::unique_ptr<HHistoryStore> Open(const std::string& url,
                                                             std::string& error);
    ~HHistoryStore();
    HHistoryStore(const HHistoryStore&) = delete;
    HHistoryStore& operator=(const HHistoryStore&) = delete;

    [[nodiscard]] Engine GetEngine() const;
    // The layout the database holds now.
    [[nodiscard]] bool SchemaVersion(int& version, std::string& error);

    // Adds the record and its images (an image already there is not sent
    // again). A record whose uid is there already is kept once: true.
    [[nodiscard]] bool Add(const HHistoryRecord& record, std::string& error);
    // Adds the records as Add does, all in one transaction (all or none).
    [[nodiscard]] bool AddAll(const std::vector<HHistoryRecord>& records, std::string& error);
    // Every radio with its latest record, by serial number.
    [[nodiscard]] bool Radios(std::vector<HRadioSummary>& out, std::string& error);
    // One radio's records, oldest first.
    [[nodiscard]] bool Timeline(const std::string& serial, std::vector<HHistoryRecord>& out,
                                std::string& error);
    // The image stored under `hash`; false when there is none or it is not
    // what its hash says.
    [[nodiscard]] bool Image(const std::string& hash, HMemoryImage& image, std::string& error);
    // How many records and images the database holds.
    [[nodiscard]] bool Counts(std::int64_t& records, std::int64_t& images, std::string& error);

    // ---- the spool's side: records waiting to be sent, oldest first ----
    [[nodiscard]] bool Uids(std::vector<std::string>& out, std::string& error);
    // The record with its images.
    [[nodiscard]] bool Get(const std::string& uid, HHistoryRecord& record, std::string& error);
    // Removes the record, and its images when no other record names them.
    [[nodiscard]] bool Remove(const std::string& uid, std::string& error);

    // ---- the backup's question ----
    // The latest whole read of the radio `serial` on `bench` at or after
    // `since` by an upload or a download, whose level covers what a backup at
    // `accessLevel` reads. None when there is none.
    [[nodiscard]] bool LatestRead(const std::string& serial, const std::string& bench,
                                  std::int64_t since, int accessLevel,
                                  std::optional<HHistoryRecord>& out, std::string& error);
    // Whether any record wrote into the radio `serial` at or after `time`.
    [[nodiscard]] bool WrittenSince(const std::string& serial, std::int64_t time, bool& written,
                                    std::string& error);

    struct Impl; // the database session

private:
    explicit HHistoryStore(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};
