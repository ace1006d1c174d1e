#pragma once
// What the history tests share: one PostgreSQL server for the whole suite,
// records made to order, and images that differ.
#include "HDefaultImage.h"
#include "HHistoryRecord.h"
#include "HHistoryStore.h"
#include "PgServer.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace historytest {

// Started on first use and stopped when the suite ends. Forked children must
// leave with _exit, or they would stop it.
inline PgServer& SharedPg() {
    static PgServer server;
    return server;
}

inline std::shared_ptr<const HMemoryImage> Image(std::uint8_t mark) {
    auto image = std::make_shared<HMemoryImage>(BuildDefaultImage());
    (*image)[0x1000] = mark;
    return image;
}

inline HHistoryRecord Make(const std::string& serial, HHistoryOperation operation,
                           std::int64_t time, std::shared_ptr<const HMemoryImage> read,
                           std::shared_ptr<const HMemoryImage> written,
                           const std::string& bench = "bench-a") {
    HHistoryRecord r;
    r.radio.serial = serial;
    r.radio.productionCode = 5;
    r.radio.band = 1;
    r.radio.firmware = "1.02";
    r.operation = operation;
    r.time = time;
    r.bench = bench;
    r.user = "tech";
    r.message = operation == HHistoryOperation::Upload ? "Upload Complete!" : "Download Complete!";
    r.read = std::move(read);
    r.written = std::move(written);
    r.Complete();
    return r;
}

// A database of either engine for one test: "sqlite" or "postgresql". An
// empty url with `skip` when the server is not installed, with `failure` when
// it is and does not work.
struct EngineDatabase {
    std::string url;
    std::string skip;
    std::string failure;
    EngineDatabase(const std::string& engine, const TempDir& dir) {
        if (engine == "sqlite") {
            url = std::string(HHistoryStore::kSqlitePrefix) + dir.File("history.sqlite");
            return;
        }
        PgServer& pg = SharedPg();
        if (!pg.Problem().empty()) {
            (pg.Absent() ? skip : failure) = pg.Problem();
            return;
        }
        url = pg.NewDatabase();
        if (url.empty())
            failure = "no database could be made (see " + pg.Dir() + "/run.log)";
    }
};

// In a test's SetUp: skips or fails as the database says.
#define HISTORY_DATABASE_OR_RETURN(db)                                                             \
    do {                                                                                           \
        if (!(db).skip.empty())                                                                    \
            GTEST_SKIP() << (db).skip;                                                             \
        ASSERT_TRUE((db).failure.empty()) << (db).failure;                                         \
    } while (false)

} // namespace historytest
