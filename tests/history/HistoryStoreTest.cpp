// The history database in both engines: records and images kept once and read
// back, the first layout upgraded in place, two processes recording at once,
// the spool while the database is away, and the earlier read a download's
// backup may stand on.
#include "HHistory.h"
#include "HSha256.h"
#include "HistoryTestUtil.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace historytest;

namespace {

constexpr std::int64_t kNow = 1'800'000'000;

bool SqliteExec(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
              sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

class HistoryStoreTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override { HISTORY_DATABASE_OR_RETURN(m_db); }

    std::unique_ptr<HHistoryStore> Open() {
        std::string error;
        std::unique_ptr<HHistoryStore> store = HHistoryStore::Open(m_db.url, error);
        EXPECT_TRUE(store) << error;
        return store;
    }
    // SQL straight to the database, past the store.
    bool RawSql(const std::string& sql) {
        if (GetParam() != "sqlite")
            return SharedPg().Sql(m_db.url, sql);
        return SqliteExec(m_db.url.substr(std::string(HHistoryStore::kSqlitePrefix).size()), sql);
    }
    HHistorySettings Settings() const {
        HHistorySettings s;
        s.url = m_db.url;
        s.spoolPath = m_dir.File("spool.sqlite");
        return s;
    }

    TempDir m_dir;
    EngineDatabase m_db{GetParam(), m_dir};
};

// The first layout as the first program with a history wrote it.
const char* const kFirstLayout[] = {
    "CREATE TABLE meta (name VARCHAR(64) PRIMARY KEY, value TEXT NOT NULL)",
    "CREATE TABLE images (hash VARCHAR(64) PRIMARY KEY, bytes TEXT NOT NULL)",
    "CREATE TABLE records (id %ID%, uid VARCHAR(64) NOT NULL UNIQUE, at_utc BIGINT NOT NULL, "
    "bench TEXT NOT NULL, user_name TEXT NOT NULL, version TEXT NOT NULL, operation TEXT NOT "
    "NULL, access_level INTEGER NOT NULL, result TEXT NOT NULL, message TEXT NOT NULL, serial "
    "TEXT NOT NULL, production_code INTEGER NOT NULL, custom_code INTEGER NOT NULL, band INTEGER "
    "NOT NULL, product_type INTEGER NOT NULL, firmware TEXT NOT NULL, read_hash VARCHAR(64) NOT "
    "NULL DEFAULT '', written_hash VARCHAR(64) NOT NULL DEFAULT '')",
    "CREATE INDEX records_by_serial ON records (serial, at_utc)",
    "INSERT INTO meta (name, value) VALUES ('schema', '1')",
};

std::string Replace(std::string text, const std::string& what, const std::string& with) {
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what))
        text.replace(at, what.size(), with);
    return text;
}

} // namespace

TEST_P(HistoryStoreTest, RecordsAndImagesAreKeptOnceAndReadBack) {
    auto store = Open();
    ASSERT_TRUE(store);
    const auto a = Image(1);
    const auto b = Image(2);
    // Added out of time order, as a spool delivers late.
    HHistoryRecord up = Make("4711", HHistoryOperation::Upload, kNow, a, nullptr);
    HHistoryRecord late = Make("4711", HHistoryOperation::Download, kNow + 300, a, b);
    late.values = "power_saving.tag=CAR 7";
    late.journal = "2027-01-15 08:00:00,4711,ok,Download Complete!";
    HHistoryRecord middle = Make("4711", HHistoryOperation::Download, kNow + 200, b, b);
    HHistoryRecord other = Make("0815", HHistoryOperation::Upload, kNow + 100, b, nullptr);
    std::string error;
    for (const HHistoryRecord* r : {&up, &late, &middle, &other})
        ASSERT_TRUE(store->Add(*r, error)) << error;
    // The same record sent twice is kept once.
    ASSERT_TRUE(store->Add(late, error)) << error;

    std::int64_t records = 0, images = 0;
    ASSERT_TRUE(store->Counts(records, images, error)) << error;
    EXPECT_EQ(records, 4);
    EXPECT_EQ(images, 2);

    std::vector<HHistoryRecord> timeline;
    ASSERT_TRUE(store->Timeline("4711", timeline, error)) << error;
    ASSERT_EQ(timeline.size(), 3u);
    EXPECT_EQ(timeline[0].uid, up.uid);
    EXPECT_EQ(timeline[1].uid, middle.uid);
    EXPECT_EQ(timeline[2].uid, late.uid);
    const HHistoryRecord& back = timeline[2];
    EXPECT_EQ(back.time, kNow + 300);
    EXPECT_EQ(back.operation, HHistoryOperation::Download);
    EXPECT_EQ(back.result, HHistoryResult::Done);
    EXPECT_EQ(back.bench, "bench-a");
    EXPECT_EQ(back.user, "tech");
    EXPECT_EQ(back.message, "Download Complete!");
    EXPECT_EQ(back.radio.serial, "4711");
    EXPECT_EQ(back.radio.productionCode, 5);
    EXPECT_EQ(back.radio.band, 1);
    EXPECT_EQ(back.radio.firmware, "1.02");
    EXPECT_EQ(back.readHash, HSha256::Hex(*a));
    EXPECT_EQ(back.writtenHash, HSha256::Hex(*b));
    EXPECT_EQ(back.values, "power_saving.tag=CAR 7");
    EXPECT_EQ(back.journal, late.journal);

    std::vector<HRadioSummary> radios;
    ASSERT_TRUE(store->Radios(radios, error)) << error;
    ASSERT_EQ(radios.size(), 2u);
    EXPECT_EQ(radios[0].last.radio.serial, "0815");
    EXPECT_EQ(radios[1].last.radio.serial, "4711");
    EXPECT_EQ(radios[1].records, 3);
    // The latest by time, not the last to arrive.
    EXPECT_EQ(radios[1].last.uid, late.uid);

    HMemoryImage image{};
    ASSERT_TRUE(store->Image(back.writtenHash, image, error)) << error;
    EXPECT_TRUE(image == *b);
    EXPECT_FALSE(store->Image(std::string(64, '0'), image, error));
}

TEST_P(HistoryStoreTest, SpoolSideGivesRecordsWithImagesAndRemovesThem) {
    auto store = Open();
    ASSERT_TRUE(store);
    const HHistoryRecord one = Make("1", HHistoryOperation::Upload, kNow, Image(1), nullptr);
    const HHistoryRecord two = Make("1", HHistoryOperation::Download, kNow + 1, Image(1), Image(2));
    std::string error;
    ASSERT_TRUE(store->Add(one, error) && store->Add(two, error)) << error;
    std::vector<std::string> uids;
    ASSERT_TRUE(store->Uids(uids, error)) << error;
    EXPECT_EQ(uids, (std::vector<std::string>{one.uid, two.uid}));
    HHistoryRecord got;
    ASSERT_TRUE(store->Get(two.uid, got, error)) << error;
    ASSERT_TRUE(got.read && got.written);
    EXPECT_TRUE(*got.written == *Image(2));

    // A record that names an image by its hash alone: that image must be there.
    HHistoryRecord named = Make("1", HHistoryOperation::Upload, kNow + 2, nullptr, nullptr);
    named.readHash = one.readHash;
    EXPECT_TRUE(store->Add(named, error)) << error;
    named.uid.clear();
    named.Complete();
    named.readHash = std::string(64, 'f');
    EXPECT_FALSE(store->Add(named, error));
    EXPECT_NE(error.find("not stored"), std::string::npos) << error;
    ASSERT_TRUE(store->Remove(named.uid, error)) << error;
    std::vector<std::string> left;
    ASSERT_TRUE(store->Uids(left, error)) << error;
    ASSERT_EQ(left.size(), 3u);
    ASSERT_TRUE(store->Remove(left[2], error)) << error;

    // Removing the download keeps the image the upload still names.
    ASSERT_TRUE(store->Remove(two.uid, error)) << error;
    std::int64_t records = 0, images = 0;
    ASSERT_TRUE(store->Counts(records, images, error)) << error;
    EXPECT_EQ(records, 1);
    EXPECT_EQ(images, 1);
    std::vector<HRadioSummary> radios;
    ASSERT_TRUE(store->Radios(radios, error)) << error;
    ASSERT_EQ(radios.size(), 1u);
    EXPECT_EQ(radios[0].records, 1);
    EXPECT_EQ(radios[0].last.uid, one.uid);
}

TEST_P(HistoryStoreTest, UpgradesTheFirstLayoutInPlace) {
    const bool sqlite = GetParam() == "sqlite";
    const auto image = Image(7);
    const std::string hash = HSha256::Hex(*image);
    std::string sql;
    for (const char* statement : kFirstLayout)
        sql += Replace(statement, "%ID%",
                       sqlite ? "INTEGER PRIMARY KEY AUTOINCREMENT" : "BIGSERIAL PRIMARY KEY") +
               ";\n";
    sql += "INSERT INTO images (hash, bytes) VALUES ('" + hash + "', '" +
           HHistoryText::ToHex(*image) + "');\n";
    sql += "INSERT INTO records (uid, at_utc, bench, user_name, version, operation, "
           "access_level, result, message, serial, production_code, custom_code, band, "
           "product_type, firmware, read_hash) VALUES ('old-1', 1700000000, 'bench-a', 'tech', "
           "'1.02', 'upload', 0, 'done', 'Upload Complete!', '4711', 5, 0, 1, 0, '1.02', '" +
           hash + "');\n";
    ASSERT_TRUE(RawSql(sql));

    auto store = Open();
    ASSERT_TRUE(store);
    std::string error;
    int version = 0;
    ASSERT_TRUE(store->SchemaVersion(version, error)) << error;
    EXPECT_EQ(version, HHistoryStore::kSchemaVersion);
    std::vector<HRadioSummary> radios;
    ASSERT_TRUE(store->Radios(radios, error)) << error;
    ASSERT_EQ(radios.size(), 1u);
    EXPECT_EQ(radios[0].last.uid, "old-1");
    EXPECT_EQ(radios[0].records, 1);
    EXPECT_EQ(radios[0].last.values, "");

    HHistoryRecord next = Make("4711", HHistoryOperation::Download, 1700000100, image, image);
    next.values = "power_saving.tag=VAN 2";
    ASSERT_TRUE(store->Add(next, error)) << error;
    std::vector<HHistoryRecord> timeline;
    ASSERT_TRUE(store->Timeline("4711", timeline, error)) << error;
    ASSERT_EQ(timeline.size(), 2u);
    EXPECT_EQ(timeline[0].readHash, hash);
    EXPECT_EQ(timeline[1].values, "power_saving.tag=VAN 2");
    std::int64_t records = 0, images = 0;
    ASSERT_TRUE(store->Counts(records, images, error)) << error;
    EXPECT_EQ(images, 1); // the old image serves the new record

    // Opening again upgrades nothing more.
    store.reset();
    store = Open();
    ASSERT_TRUE(store);
    ASSERT_TRUE(store->Timeline("4711", timeline, error)) << error;
    EXPECT_EQ(timeline.size(), 2u);
}

TEST_P(HistoryStoreTest, RefusesALayoutOfANewerProgram) {
    ASSERT_TRUE(Open());
    ASSERT_TRUE(RawSql("UPDATE meta SET value = '99' WHERE name = 'schema'"));
    std::string error;
    EXPECT_FALSE(HHistoryStore::Open(m_db.url, error));
    EXPECT_NE(error.find("newer program"), std::string::npos) << error;
}

TEST_P(HistoryStoreTest, TwoProcessesRecordAtOnce) {
    constexpr int kEach = 25;
    // Both start on a database that does not exist yet: making it is raced too.
    std::vector<pid_t> children;
    for (int p = 0; p < 2; ++p) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            HHistory history(Settings());
            int stored = 0;
            for (int i = 0; i < kEach; ++i) {
                // Shared radios and images: the same rows are fought over.
                const std::string serial = std::to_string(i % 5);
                stored += history
                              .Record(Make(serial, HHistoryOperation::Download, kNow + i,
                                           Image(std::uint8_t(i % 3)), Image(9),
                                           "bench-" + std::to_string(p)))
                              .stored;
            }
            ::_exit(stored == kEach ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = -1;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a record was not stored";
    }
    auto store = Open();
    ASSERT_TRUE(store);
    std::string error;
    std::int64_t records = 0, images = 0;
    ASSERT_TRUE(store->Counts(records, images, error)) << error;
    EXPECT_EQ(records, 2 * kEach);
    EXPECT_EQ(images, 4);
    std::vector<HRadioSummary> radios;
    ASSERT_TRUE(store->Radios(radios, error)) << error;
    std::int64_t listed = 0;
    for (const HRadioSummary& r : radios) {
        listed += r.records;
        std::vector<HHistoryRecord> timeline;
        ASSERT_TRUE(store->Timeline(r.last.radio.serial, timeline, error)) << error;
        EXPECT_EQ(std::int64_t(timeline.size()), r.records) << r.last.radio.serial;
        EXPECT_EQ(timeline.back().uid, r.last.uid) << r.last.radio.serial;
    }
    EXPECT_EQ(radios.size(), 5u);
    EXPECT_EQ(listed, 2 * kEach);
}

TEST_P(HistoryStoreTest, EarlierReadStandsOnlyWithoutAWriteSince) {
    HHistory history(Settings());
    const auto uploaded = Image(3);
    ASSERT_TRUE(
        history.Record(Make("4711", HHistoryOperation::Upload, kNow - 60, uploaded, nullptr))
            .stored);
    const auto read = history.EarlierRead("4711", "bench-a", kNow - 600, 0);
    ASSERT_TRUE(read);
    ASSERT_TRUE(read->image);
    EXPECT_TRUE(*read->image == *uploaded);
    EXPECT_EQ(read->record.operation, HHistoryOperation::Upload);

    EXPECT_FALSE(history.EarlierRead("4711", "bench-b", kNow - 600, 0)) << "another bench";
    EXPECT_FALSE(history.EarlierRead("4711", "bench-a", kNow - 30, 0)) << "older than the window";
    EXPECT_FALSE(history.EarlierRead("0815", "bench-a", kNow - 600, 0)) << "another radio";
    EXPECT_FALSE(history.EarlierRead("4711", "bench-a", kNow - 600, 2))
        << "a level 0 upload does not hold what a level 2 backup reads";

    // An alignment reads too, but only uploads and downloads read whole.
    ASSERT_TRUE(
        history.Record(Make("0815", HHistoryOperation::Alignment, kNow - 50, Image(5), nullptr))
            .stored);
    EXPECT_FALSE(history.EarlierRead("0815", "bench-a", kNow - 600, 0));

    // A write since, even one recorded on another bench, means it stands no more.
    ASSERT_TRUE(history
                    .Record(Make("4711", HHistoryOperation::Download, kNow - 40, nullptr, Image(4),
                                 "bench-b"))
                    .stored);
    EXPECT_FALSE(history.EarlierRead("4711", "bench-a", kNow - 600, 0));
}

INSTANTIATE_TEST_SUITE_P(Engines, HistoryStoreTest, ::testing::Values("sqlite", "postgresql"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

// The server goes away with a session open and comes back: the records made
// meanwhile wait in the spool and arrive once, also the one that had reached
// the server before the bench could take it from its spool.
TEST(HistoryServer, StoppedAndBackDeliversEachRecordOnce) {
    PgServer& pg = SharedPg();
    if (pg.Absent())
        GTEST_SKIP() << pg.Problem();
    ASSERT_EQ(pg.Problem(), "");
    TempDir dir;
    HHistorySettings settings;
    settings.url = pg.NewDatabase();
    settings.spoolPath = dir.File("spool.sqlite");
    HHistory history(settings);
    ASSERT_TRUE(
        history.Record(Make("7", HHistoryOperation::Upload, kNow, Image(1), nullptr)).stored);

    ASSERT_TRUE(pg.Stop());
    const HHistoryKept away =
        history.Record(Make("7", HHistoryOperation::Download, kNow + 1, Image(1), Image(2)));
    const HHistoryKept again =
        history.Record(Make("7", HHistoryOperation::Download, kNow + 2, Image(2), Image(3)));
    const bool restarted = pg.Start();
    ASSERT_TRUE(restarted);
    EXPECT_TRUE(away.spooled);
    EXPECT_NE(away.notice, "");
    EXPECT_TRUE(again.spooled);
    EXPECT_EQ(again.notice, "");
    EXPECT_EQ(history.Waiting(), 2);

    // One of them reached the server, but the bench stopped before it could
    // take it from its spool.
    std::string error;
    {
        auto spool = HHistoryStore::Open(
            std::string(HHistoryStore::kSqlitePrefix) + settings.spoolPath, error);
        ASSERT_TRUE(spool) << error;
        HHistoryRecord sent;
        std::vector<std::string> uids;
        ASSERT_TRUE(spool->Uids(uids, error)) << error;
        ASSERT_EQ(uids.size(), 2u);
        ASSERT_TRUE(spool->Get(uids[0], sent, error)) << error;
        auto server = HHistoryStore::Open(settings.url, error);
        ASSERT_TRUE(server) << error;
        ASSERT_TRUE(server->Add(sent, error)) << error;
    }
    const HHistoryKept back =
        history.Record(Make("7", HHistoryOperation::Upload, kNow + 3, Image(3), nullptr));
    EXPECT_TRUE(back.stored);
    EXPECT_NE(back.notice.find("2 records"), std::string::npos) << back.notice;
    EXPECT_EQ(history.Waiting(), 0);
    std::vector<HHistoryRecord> timeline;
    ASSERT_TRUE(history.Timeline("7", timeline, error)) << error;
    ASSERT_EQ(timeline.size(), 4u);
    std::set<std::string> uids;
    for (const HHistoryRecord& r : timeline)
        uids.insert(r.uid);
    EXPECT_EQ(uids.size(), 4u);
    for (std::size_t i = 0; i < timeline.size(); ++i)
        EXPECT_EQ(timeline[i].time, kNow + std::int64_t(i)) << i;
}

TEST_P(HistoryStoreTest, EarlierReadsAndWritesWaitingInTheSpoolCountToo) {
    HHistorySettings settings = Settings();
    const std::string good = settings.url;
    HHistorySettings away = settings;
    away.url = std::string(HHistoryStore::kSqlitePrefix) + m_dir.Path(); // cannot be opened
    const auto older = Image(3);
    {
        HHistory history(away);
        ASSERT_TRUE(
            history.Record(Make("4711", HHistoryOperation::Upload, kNow - 60, older, nullptr))
                .spooled);
        const auto read = history.EarlierRead("4711", "bench-a", kNow - 600, 0);
        ASSERT_TRUE(read && read->image);
        EXPECT_TRUE(*read->image == *older);
    }
    // The database holds a later read; the spool, not yet sent, the older one.
    const auto later = Image(4);
    {
        auto store = Open();
        std::string error;
        ASSERT_TRUE(
            store->Add(Make("4711", HHistoryOperation::Upload, kNow - 30, later, nullptr), error))
            << error;
    }
    HHistory history(settings);
    const auto read = history.EarlierRead("4711", "bench-a", kNow - 600, 0);
    ASSERT_TRUE(read && read->image);
    EXPECT_TRUE(*read->image == *later);
    // A write still waiting in the spool counts as much as one in the database.
    ASSERT_TRUE(HHistory(away)
                    .Record(Make("4711", HHistoryOperation::Download, kNow - 20, nullptr, Image(5)))
                    .spooled);
    EXPECT_FALSE(history.EarlierRead("4711", "bench-a", kNow - 600, 0));
}

// Records kept on a thread of their own, in order, every one of them also
// when the writer ends; the technician told once; reading a database that
// cannot be opened says so.
TEST(HistoryWriter, KeepsEveryRecordInOrderAndTellsOnce) {
    TempDir dir;
    HHistorySettings settings;
    settings.url = std::string(HHistoryStore::kSqlitePrefix) + dir.Path(); // a folder
    settings.spoolPath = dir.File("spool.sqlite");
    HHistory history(settings);
    std::mutex mutex;
    std::vector<std::string> told;
    const auto tell = [&](const std::string& notice) {
        std::lock_guard lock(mutex);
        told.push_back(notice);
    };
    {
        HHistoryWriter writer(history);
        for (int i = 0; i < 3; ++i)
            writer.Post(Make("1", HHistoryOperation::Upload, kNow + i, Image(1), nullptr), tell);
        writer.Flush();
        EXPECT_EQ(history.Waiting(), 3);
        writer.Post(Make("1", HHistoryOperation::Upload, kNow + 3, Image(1), nullptr), tell);
    }
    EXPECT_EQ(history.Waiting(), 4);
    EXPECT_EQ(told.size(), 1u);
    std::string error;
    auto spool =
        HHistoryStore::Open(std::string(HHistoryStore::kSqlitePrefix) + settings.spoolPath, error);
    ASSERT_TRUE(spool) << error;
    std::vector<HHistoryRecord> timeline;
    ASSERT_TRUE(spool->Timeline("1", timeline, error)) << error;
    ASSERT_EQ(timeline.size(), 4u);
    for (std::size_t i = 0; i < timeline.size(); ++i)
        EXPECT_EQ(timeline[i].id, std::int64_t(i + 1)) << "kept in the order posted";

    std::vector<HRadioSummary> radios;
    EXPECT_FALSE(history.Radios(radios, error));
    EXPECT_NE(error, "");
    error.clear();
    EXPECT_FALSE(history.Timeline("1", timeline, error));
    EXPECT_NE(error, "");
    HMemoryImage image{};
    EXPECT_FALSE(history.Image(timeline.empty() ? "" : timeline[0].readHash, image, error));
}

// A database that refuses every record (as a full disk does): the records
// wait in the spool, the technician told once where, and go once it takes
// them again.
TEST(HistorySpool, ADatabaseThatRefusesRecordsKeepsThemWaiting) {
    TempDir dir;
    HHistorySettings settings;
    const std::string file = dir.File("history.sqlite");
    settings.url = std::string(HHistoryStore::kSqlitePrefix) + file;
    settings.spoolPath = dir.File("spool.sqlite");
    HHistory history(settings);
    ASSERT_TRUE(
        history.Record(Make("5", HHistoryOperation::Upload, kNow, Image(1), nullptr)).stored);
    ASSERT_TRUE(SqliteExec(file, "CREATE TRIGGER full BEFORE INSERT ON records BEGIN SELECT "
                                 "RAISE(FAIL, 'database or disk is full'); END"));
    const HHistoryKept kept =
        history.Record(Make("5", HHistoryOperation::Download, kNow + 1, Image(1), Image(2)));
    EXPECT_TRUE(kept.spooled);
    EXPECT_NE(kept.notice.find("disk is full"), std::string::npos) << kept.notice;
    EXPECT_NE(kept.notice.find(settings.spoolPath), std::string::npos) << kept.notice;
    // Told once: the next record waits without a word.
    const HHistoryKept next =
        history.Record(Make("5", HHistoryOperation::Upload, kNow + 2, Image(2), nullptr));
    EXPECT_TRUE(next.spooled);
    EXPECT_EQ(next.notice, "");
    EXPECT_EQ(history.Deliver(), -1);
    EXPECT_EQ(history.Waiting(), 2);
    ASSERT_TRUE(SqliteExec(file, "DROP TRIGGER full"));
    std::string notice;
    EXPECT_EQ(history.Deliver(&notice), 2);
    EXPECT_NE(notice.find("2 records"), std::string::npos) << notice;
    EXPECT_EQ(history.Waiting(), 0);
    EXPECT_EQ(history.Deliver(), 0);
}
