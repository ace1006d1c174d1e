#include "HHistoryStore.h"

#include "HSha256.h"

#include <algorithm>
#include <chrono>
#include <string_view>
#include <thread>
// Debian's SOCI was configured with Boost, but only its adapters for Boost
// types (unused here, header-only templates) need Boost's headers: they are
// left out, so that Boost need not be installed to build.
#include <soci/soci-config.h>
#undef SOCI_HAVE_BOOST
#undef SOCI_HAVE_BOOST_DATE_TIME
#include <soci/postgresql/soci-postgresql.h>
#include <soci/soci.h>
#include <soci/sqlite3/soci-sqlite3.h>

namespace {

constexpr const char* kColumns =
    "id, uid, at_utc, bench, user_name, version, operation, access_level, result, message, "
    "serial, production_code, custom_code, band, product_type, firmware, read_hash, "
    "written_hash, journal, roster_values";
constexpr const char* kPostgresTimeout = "connect_timeout=5";
// Writers take the migration lock of a PostgreSQL database by this number.
constexpr long long kMigrationLock = 5257535700;
// A second SQLite writer waits this long for the first.
constexpr int kSqliteBusySeconds = 30;

// Readers never wait for a writer, and a writer for readers. Turning a new file
// to WAL needs it alone, and SQLite's busy wait does not cover that switch: a
// second program opening the same new file at that moment is waited for here.
void UseWriteAheadLog(soci::session& sql) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(kSqliteBusySeconds);
    for (;;) {
        try {
            sql << "PRAGMA journal_mode=WAL";
            return;
        } catch (const soci::soci_error& e) {
            if (std::string_view(e.what()).find("locked") == std::string_view::npos ||
                std::chrono::steady_clock::now() >= giveUp)
                throw;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// One record row as the queries return it.
struct Row {
    long long id = 0;
    long long at = 0;
    std::string uid, bench, user, version, operation;
    int level = 0;
    std::string result, message, serial;
    int production = 0, custom = 0, band = 0, productType = 0;
    std::string firmware, readHash, writtenHash, journal, values;

    // In the order of kColumns.
    void Bind(soci::statement& st) {
        st.exchange(soci::into(id));
        st.exchange(soci::into(uid));
        st.exchange(soci::into(at));
        st.exchange(soci::into(bench));
        st.exchange(soci::into(user));
        st.exchange(soci::into(version));
        st.exchange(soci::into(operation));
        st.exchange(soci::into(level));
        st.exchange(soci::into(result));
        st.exchange(soci::into(message));
        st.exchange(soci::into(serial));
        st.exchange(soci::into(production));
        st.exchange(soci::into(custom));
        st.exchange(soci::into(band));
        st.exchange(soci::into(productType));
        st.exchange(soci::into(firmware));
        st.exchange(soci::into(readHash));
        st.exchange(soci::into(writtenHash));
        st.exchange(soci::into(journal));
        st.exchange(soci::into(values));
    }

    [[nodiscard]] HHistoryRecord Record() const {
        HHistoryRecord r;
        r.id = id;
        r.uid = uid;
        r.time = at;
        r.bench = bench;
        r.user = user;
        r.version = version;
        r.operation = HHistoryNames::Operation(operation).value_or(HHistoryOperation::Upload);
        r.accessLevel = level;
        r.result = HHistoryNames::Result(result).value_or(HHistoryResult::Failed);
        r.message = message;
        r.radio.serial = serial;
        r.radio.productionCode = production;
        r.radio.customCode = custom;
        r.radio.band = band;
        r.radio.productType = productType;
        r.radio.firmware = firmware;
        r.readHash = readHash;
        r.writtenHash = writtenHash;
        r.journal = journal;
        r.values = values;
        return r;
    }
};

std::string WithTimeout(const std::string& url) {
    if (url.find("connect_timeout") != std::string::npos)
        return url;
    if (url.find("://") != std::string::npos)
        return url + (url.find('?') == std::string::npos ? "?" : "&") + kPostgresTimeout;
    return url + " " + kPostgresTimeout;
}

bool IsPostgresUrl(const std::string& url) {
    return url.starts_with("postgresql://") || url.starts_with("postgres://") ||
           url.find('=') != std::string::npos;
}

// The statements that make each version from the one before; `id` is the
// engine's own numbering column.
std::vector<std::string> Upgrade(int toVersion, HHistoryStore::Engine engine) {
    const std::string id = engine == HHistoryStore::Engine::Sqlite
                               ? "id INTEGER PRIMARY KEY AUTOINCREMENT"
                               : "id BIGSERIAL PRIMARY KEY";
    if (toVersion == 1)
        return {
            "CREATE TABLE IF NOT EXISTS images (hash VARCHAR(64) PRIMARY KEY, bytes TEXT NOT NULL)",
            "CREATE TABLE IF NOT EXISTS records (" + id +
                ", uid VARCHAR(64) NOT NULL UNIQUE, at_utc BIGINT NOT NULL, bench TEXT NOT NULL, "
                "user_name TEXT NOT NULL, version TEXT NOT NULL, operation TEXT NOT NULL, "
                "access_level INTEGER NOT NULL, result TEXT NOT NULL, message TEXT NOT NULL, "
                "serial TEXT NOT NULL, production_code INTEGER NOT NULL, "
                "custom_code INTEGER NOT NULL, band INTEGER NOT NULL, "
                "product_type INTEGER NOT NULL, firmware TEXT NOT NULL, "
                "read_hash VARCHAR(64) NOT NULL DEFAULT '', "
                "written_hash VARCHAR(64) NOT NULL DEFAULT '')",
            "CREATE INDEX IF NOT EXISTS records_by_serial ON records (serial, at_utc)",
        };
    // Version 2: fleet runs (the journal line, the values a radio was given)
    // and one row per radio, so that listing the radios does not walk every
    // record.
    return {
        "ALTER TABLE records ADD COLUMN journal TEXT NOT NULL DEFAULT ''",
        "ALTER TABLE records ADD COLUMN roster_values TEXT NOT NULL DEFAULT ''",
        "CREATE TABLE IF NOT EXISTS radios (serial TEXT PRIMARY KEY, last_id BIGINT NOT NULL, "
        "last_at BIGINT NOT NULL, records BIGINT NOT NULL)",
        "INSERT INTO radios (serial, last_id, last_at, records) "
        "SELECT r.serial, r.id, r.at_utc, (SELECT COUNT(*) FROM records c WHERE c.serial = "
        "r.serial) FROM records r WHERE NOT EXISTS (SELECT 1 FROM records o WHERE o.serial = "
        "r.serial AND (o.at_utc > r.at_utc OR (o.at_utc = r.at_utc AND o.id > r.id)))",
    };
}

} // namespace

struct HHistoryStore::Impl {
    soci::session sql;
    Engine engine = Engine::Sqlite;
    bool inTransaction = false;

    void Begin() {
        sql << (engine == Engine::Sqlite ? "BEGIN IMMEDIATE" : "BEGIN");
        inTransaction = true;
    }
    void Commit() {
        sql << "COMMIT";
        inTransaction = false;
    }
    void Rollback() noexcept {
        if (!inTransaction)
            return;
        inTransaction = false;
        try {
            sql << "ROLLBACK";
        } catch (...) {
        }
    }

    bool HasTable(const std::string& name) {
        long long n = 0;
        if (engine == Engine::Sqlite)
            sql << "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = :n",
                soci::use(name), soci::into(n);
        else
            sql << "SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = "
                   "current_schema() AND table_name = :n",
                soci::use(name), soci::into(n);
        return n > 0;
    }

    int Version() {
        if (!HasTable("meta"))
            return 0;
        std::string value;
        soci::indicator ind = soci::i_null;
        sql << "SELECT value FROM meta WHERE name = 'schema'", soci::into(value, ind);
        return sql.got_data() && ind == soci::i_ok ? std::stoi(value) : 0;
    }

    // Brings the database to kSchemaVersion under the writers' lock, so that
    // two benches opening a new database at once make it once.
    void Migrate() {
        if (Version() == kSchemaVersion)
            return;
        Begin();
        if (engine == Engine::Postgresql)
            sql << "SELECT pg_advisory_xact_lock(" + std::to_string(kMigrationLock) + ")";
        sql << "CREATE TABLE IF NOT EXISTS meta (name VARCHAR(64) PRIMARY KEY, value TEXT "
               "NOT NULL)";
        const int version = Version();
        if (version > kSchemaVersion)
            throw std::runtime_error("the history database is of a newer program (layout " +
                                     std::to_string(version) + "; this program knows up to " +
                                     std::to_string(kSchemaVersion) + ")");
        for (int v = version + 1; v <= kSchemaVersion; ++v)
            for (const std::string& statement : Upgrade(v, engine))
                sql << statement;
        const std::string value = std::to_string(kSchemaVersion);
        if (version == 0)
            sql << "INSERT INTO meta (name, value) VALUES ('schema', :v)", soci::use(value);
        else
            sql << "UPDATE meta SET value = :v WHERE name = 'schema'", soci::use(value);
        Commit();
    }

    // Rows of a query over kColumns; `bindUses` binds its parameters.
    template <class BindUses>
    std::vector<HHistoryRecord> Query(const std::string& tail, BindUses bindUses) {
        Row row;
        soci::statement st(sql);
        row.Bind(st);
        bindUses(st);
        st.alloc();
        st.prepare(std::string("SELECT ") + kColumns + " FROM records " + tail);
        st.define_and_bind();
        std::vector<HHistoryRecord> out;
        if (st.execute(true)) {
            do
                out.push_back(row.Record());
            while (st.fetch());
        }
        return out;
    }

    void PutImage(const std::string& hash, const HMemoryImage& image) {
        long long n = 0;
        sql << "SELECT COUNT(*) FROM images WHERE hash = :h", soci::use(hash), soci::into(n);
        if (n > 0)
            return;
        const std::string bytes = HHistoryText::ToHex(image);
        sql << "INSERT INTO images (hash, bytes) VALUES (:h, :b) ON CONFLICT (hash) DO NOTHING",
            soci::use(hash), soci::use(bytes);
    }

    // One record and its images, inside the caller's transaction.
    void Insert(const HHistoryRecord& record) {
        // Images in the order of their hashes: two benches adding the same
        // two images never wait for each other crosswise.
        std::vector<std::pair<std::string, const HMemoryImage*>> images;
        std::string readHash = record.readHash;
        std::string writtenHash = record.writtenHash;
        if (record.read)
            images.emplace_back(readHash = HSha256::Hex(*record.read), record.read.get());
        if (record.written)
            images.emplace_back(writtenHash = HSha256::Hex(*record.written), record.written.get());
        std::ranges::sort(images);
        for (const auto& [hash, image] : images)
            PutImage(hash, *image);
        // A hash given without its image must name one stored already.
        for (const auto& [hash, image] : {std::pair{&readHash, record.read.get()},
                                          std::pair{&writtenHash, record.written.get()}}) {
            long long n = 1;
            if (!image && !hash->empty())
                sql << "SELECT COUNT(*) FROM images WHERE hash = :h", soci::use(*hash),
                    soci::into(n);
            if (n == 0)
                throw std::runtime_error("the record names image " + *hash +
                                         ", which is not stored");
        }
        const std::string operation = HHistoryNames::Of(record.operation);
        const std::string result = HHistoryNames::Of(record.result);
        const long long at = record.time;
        long long id = 0;
        soci::indicator got = soci::i_null;
        sql << "INSERT INTO records (uid, at_utc, bench, user_name, version, operation, "
               "access_level, result, message, serial, production_code, custom_code, band, "
               "product_type, firmware, read_hash, written_hash, journal, roster_values) "
               "VALUES (:uid, :at, :bench, :user, :version, :operation, :level, :result, "
               ":message, :serial, :production, :custom, :band, :product, :firmware, :rh, "
               ":wh, :journal, :vals) ON CONFLICT (uid) DO NOTHING RETURNING id",
            soci::use(record.uid), soci::use(at), soci::use(record.bench), soci::use(record.user),
            soci::use(record.version), soci::use(operation), soci::use(record.accessLevel),
            soci::use(result), soci::use(record.message), soci::use(record.radio.serial),
            soci::use(record.radio.productionCode), soci::use(record.radio.customCode),
            soci::use(record.radio.band), soci::use(record.radio.productType),
            soci::use(record.radio.firmware), soci::use(readHash), soci::use(writtenHash),
            soci::use(record.journal), soci::use(record.values), soci::into(id, got);
        // Two benches' records of one second commit in either order: the larger id
        // wins the tie, as the timeline orders them.
        if (sql.got_data() && got == soci::i_ok)
            sql << "INSERT INTO radios (serial, last_id, last_at, records) VALUES (:s, :id, "
                   ":at, 1) ON CONFLICT (serial) DO UPDATE SET records = radios.records + 1, "
                   "last_id = CASE WHEN excluded.last_at > radios.last_at OR (excluded.last_at "
                   "= radios.last_at AND excluded.last_id > radios.last_id) THEN "
                   "excluded.last_id ELSE radios.last_id END, last_at = CASE WHEN "
                   "excluded.last_at >= radios.last_at THEN excluded.last_at ELSE "
                   "radios.last_at END",
                soci::use(record.radio.serial), soci::use(id), soci::use(at);
    }

    void RebuildRadio(const std::string& serial) {
        sql << "DELETE FROM radios WHERE serial = :s", soci::use(serial);
        sql << "INSERT INTO radios (serial, last_id, last_at, records) "
               "SELECT r.serial, r.id, r.at_utc, (SELECT COUNT(*) FROM records c WHERE c.serial = "
               "r.serial) FROM records r WHERE r.serial = :s AND NOT EXISTS (SELECT 1 FROM "
               "records o WHERE o.serial = r.serial AND (o.at_utc > r.at_utc OR (o.at_utc = "
               "r.at_utc AND o.id > r.id)))",
            soci::use(serial);
    }
};

namespace {

// Runs `work`, turning what the database layer throws into `error`.
template <class F> bool Guard(HHistoryStore::Impl& impl, std::string& error, F work) {
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        impl.Rollback();
        error = e.what();
        while (!error.empty() && (error.back() == '\n' || error.back() == ' '))
            error.pop_back();
        return false;
    }
}

} // namespace

HHistoryStore::HHistoryStore(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
HHistoryStore::~HHistoryStore() = default;

std::unique_ptr<HHistoryStore> HHistoryStore::Open(const std::string& url, std::string& error) {
    auto impl = std::make_unique<Impl>();
    const bool ok = Guard(*impl, error, [&] {
        if (url.starts_with(kSqlitePrefix)) {
            impl->engine = Engine::Sqlite;
            const std::string path = url.substr(std::string(kSqlitePrefix).size());
            if (path.empty())
                throw std::runtime_error("the history URL names no file");
            impl->sql.open(*soci::factory_sqlite3(),
                           "db=\"" + path + "\" timeout=" + std::to_string(kSqliteBusySeconds));
            UseWriteAheadLog(impl->sql);
        } else if (IsPostgresUrl(url)) {
            impl->engine = Engine::Postgresql;
            impl->sql.open(*soci::factory_postgresql(), WithTimeout(url));
            // "already exists, skipping" and the like stay off the terminal.
            impl->sql << "SET client_min_messages = warning";
        } else {
            throw std::runtime_error("\"" + url +
                                     "\" is neither sqlite:FILE nor a PostgreSQL connection");
        }
        impl->Migrate();
    });
    if (!ok)
        return nullptr;
    return std::unique_ptr<HHistoryStore>(new HHistoryStore(std::move(impl)));
}

HHistoryStore::Engine HHistoryStore::GetEngine() const {
    return m_impl->engine;
}

bool HHistoryStore::SchemaVersion(int& version, std::string& error) {
    return Guard(*m_impl, error, [&] { version = m_impl->Version(); });
}

bool HHistoryStore::Add(const HHistoryRecord& record, std::string& error) {
    return AddAll({record}, error);
}

bool HHistoryStore::AddAll(const std::vector<HHistoryRecord>& records, std::string& error) {
    Impl& m = *m_impl;
    return Guard(m, error, [&] {
        m.Begin();
        for (const HHistoryRecord& record : records)
            m.Insert(record);
        m.Commit();
    });
}

bool HHistoryStore::Radios(std::vector<HRadioSummary>& out, std::string& error) {
    Impl& m = *m_impl;
    return Guard(m, error, [&] {
        out.clear();
        Row row;
        long long records = 0;
        soci::statement st(m.sql);
        st.exchange(soci::into(records));
        row.Bind(st);
        st.alloc();
        std::string columns = kColumns;
        std::string prefixed;
        // "r." before every column of the record.
        for (std::size_t at = 0; at < columns.size();) {
            const std::size_t comma = columns.find(", ", at);
            prefixed += (prefixed.empty() ? "r." : ", r.") + columns.substr(at, comma - at);
            at = comma == std::string::npos ? columns.size() : comma + 2;
        }
        st.prepare("SELECT d.records, " + prefixed +
                   " FROM radios d JOIN records r ON r.id = d.last_id ORDER BY d.serial");
        st.define_and_bind();
        if (st.execute(true)) {
            do
                out.push_back({records, row.Record()});
            while (st.fetch());
        }
    });
}

bool HHistoryStore::Timeline(const std::string& serial, std::vector<HHistoryRecord>& out,
                             std::string& error) {
    return Guard(*m_impl, error, [&] {
        out = m_impl->Query("WHERE serial = :s ORDER BY at_utc, id",
                            [&](soci::statement& st) { st.exchange(soci::use(serial)); });
    });
}

bool HHistoryStore::Image(const std::string& hash, HMemoryImage& image, std::string& error) {
    Impl& m = *m_impl;
    bool found = false;
    const bool ok = Guard(m, error, [&] {
        std::string bytes;
        m.sql << "SELECT bytes FROM images WHERE hash = :h", soci::use(hash), soci::into(bytes);
        if (!m.sql.got_data()) {
            error = "no image " + hash + " in the history";
            return;
        }
        if (!HHistoryText::FromHex(bytes, image) || HSha256::Hex(image) != hash) {
            error = "the image " + hash + " in the history is damaged";
            return;
        }
        found = true;
    });
    return ok && found;
}

bool HHistoryStore::Counts(std::int64_t& records, std::int64_t& images, std::string& error) {
    Impl& m = *m_impl;
    return Guard(m, error, [&] {
        long long r = 0, i = 0;
        m.sql << "SELECT COUNT(*) FROM records", soci::into(r);
        m.sql << "SELECT COUNT(*) FROM images", soci::into(i);
        records = r;
        images = i;
    });
}

bool HHistoryStore::Uids(std::vector<std::string>& out, std::string& error) {
    Impl& m = *m_impl;
    return Guard(m, error, [&] {
        out.clear();
        std::string uid;
        soci::statement st =
            (m.sql.prepare << "SELECT uid FROM records ORDER BY id", soci::into(uid));
        if (st.execute(true)) {
            do
                out.push_back(uid);
            while (st.fetch());
        }
    });
}

bool HHistoryStore::Get(const std::string& uid, HHistoryRecord& record, std::string& error) {
    Impl& m = *m_impl;
    bool found = false;
    const bool ok = Guard(m, error, [&] {
        const std::vector<HHistoryRecord> rows =
            m.Query("WHERE uid = :u", [&](soci::statement& st) { st.exchange(soci::use(uid)); });
        if (rows.empty()) {
            error = "no record " + uid;
            return;
        }
        record = rows.front();
        found = true;
    });
    if (!ok || !found)
        return false;
    HMemoryImage image{};
    if (!record.readHash.empty()) {
        if (!Image(record.readHash, image, error))
            return false;
        record.read = std::make_shared<const HMemoryImage>(image);
    }
    if (!record.writtenHash.empty()) {
        if (!Image(record.writtenHash, image, error))
            return false;
        record.written = std::make_shared<const HMemoryImage>(image);
    }
    return true;
}

bool HHistoryStore::Remove(const std::string& uid, std::string& error) {
    Impl& m = *m_impl;
    return Guard(m, error, [&] {
        m.Begin();
        std::string serial, readHash, writtenHash;
        m.sql << "SELECT serial, read_hash, written_hash FROM records WHERE uid = :u",
            soci::use(uid), soci::into(serial), soci::into(readHash), soci::into(writtenHash);
        if (m.sql.got_data()) {
            m.sql << "DELETE FROM records WHERE uid = :u", soci::use(uid);
            for (const std::string* hash : {&readHash, &writtenHash})
                if (!hash->empty())
                    m.sql << "DELETE FROM images WHERE hash = :h AND NOT EXISTS (SELECT 1 FROM "
                             "records WHERE read_hash = :r OR written_hash = :w)",
                        soci::use(*hash), soci::use(*hash), soci::use(*hash);
            m.RebuildRadio(serial);
        }
        m.Commit();
    });
}

bool HHistoryStore::LatestRead(const std::string& serial, const std::string& bench,
                               std::int64_t since, int accessLevel,
                               std::optional<HHistoryRecord>& out, std::string& error) {
    return Guard(*m_impl, error, [&] {
        const long long from = since;
        // A backup at level 2 reads everything: only a read at level 2 covers it.
        const std::string level = accessLevel == 2 ? " AND access_level = 2" : "";
        std::vector<HHistoryRecord> rows = m_impl->Query(
            "WHERE serial = :s AND bench = :b AND at_utc >= :t AND read_hash <> '' AND "
            "operation IN ('upload', 'download', 'fleet download')" +
                level + " ORDER BY at_utc DESC, id DESC LIMIT 1",
            [&](soci::statement& st) {
                st.exchange(soci::use(serial));
                st.exchange(soci::use(bench));
                st.exchange(soci::use(from));
            });
        out.reset();
        if (!rows.empty())
            out = std::move(rows.front());
    });
}

bool HHistoryStore::WrittenSince(const std::string& serial, std::int64_t time, bool& written,
                                 std::string& error) {
    Impl& m = *m_impl;
    return Guard(m, error, [&] {
        const long long from = time;
        long long n = 0;
        m.sql << "SELECT COUNT(*) FROM records WHERE serial = :s AND written_hash <> '' AND "
                 "at_utc >= :t",
            soci::use(serial), soci::use(from), soci::into(n);
        written = n > 0;
    });
}
