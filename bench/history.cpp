// The history at the size of a busy shop: 100,000 records over 2,000 radios
// and 500 distinct images, in both engines (an SQLite file, and a PostgreSQL
// server of its own started as the tests start theirs). Each figure is printed
// as a ratio to its limit:
//   - adding one record as a transfer's end does (HHistory::Record): median of
//     101, limit 20 ms;
//   - rp57cli history SERIAL --json (a radio with 50 records): median of 21
//     runs, limit 50 ms;
//   - rp57cli history --json (all 2,000 radios): median of 11 runs, limit 200 ms;
//   - images stored per distinct image: limit 1 (each image once, whatever the
//     number of records), with the database's bytes per record beside them.
#include "BenchUtil.h"
#include "HDefaultImage.h"
#include "HHistory.h"
#include "HHistoryStore.h"
#include "HSha256.h"
#include "PgServer.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRadios = 2000;
constexpr int kRecordsPerRadio = 50;
constexpr int kImages = 500;
constexpr std::int64_t kStart = 1'750'000'000;
constexpr double kAddLimitMs = 20;
constexpr double kTimelineLimitMs = 50;
constexpr double kListLimitMs = 200;

std::string Serial(int radio) {
    char text[8];
    std::snprintf(text, sizeof text, "%04d", radio + 1);
    return text;
}

std::vector<std::shared_ptr<const HMemoryImage>> MakeImages() {
    std::vector<std::shared_ptr<const HMemoryImage>> images;
    const HMemoryImage base = BuildDefaultImage();
    for (int i = 0; i < kImages; ++i) {
        auto image = std::make_shared<HMemoryImage>(base);
        (*image)[0x1000] = std::uint8_t(i >> 8);
        (*image)[0x1001] = std::uint8_t(i & 0xFF);
        images.push_back(image);
    }
    return images;
}

// Record `step` of radio `radio`: uploads and downloads in turn, images
// spread over the 500; the first use of an image carries it, later ones
// name it by hash.
HHistoryRecord MakeRecord(int radio, int step,
                          const std::vector<std::shared_ptr<const HMemoryImage>>& images,
                          const std::vector<std::string>& hashes, std::vector<bool>& stored) {
    HHistoryRecord r;
    r.time = kStart + std::int64_t(step) * 86400 * 7 + radio;
    r.bench = "bench-" + std::to_string(radio % 4);
    r.user = "tech" + std::to_string(radio % 9);
    r.version = "1.02";
    r.radio.serial = Serial(radio);
    r.radio.productionCode = 5;
    r.radio.band = radio % 5;
    r.radio.firmware = "1.02";
    const bool download = step % 2 == 1;
    r.operation = download ? HHistoryOperation::Download : HHistoryOperation::Upload;
    r.message = download ? "Download Complete!" : "Upload Complete!";
    const auto use = [&](int k, std::shared_ptr<const HMemoryImage>& data, std::string& hash) {
        const std::size_t i = std::size_t(k % kImages);
        hash = hashes[i];
        if (!stored[i])
            data = images[i];
        stored[i] = true;
    };
    use(radio * 7 + step, r.read, r.readHash);
    if (download)
        use(radio * 3 + step + 1, r.written, r.writtenHash);
    r.uid = "fill-" + std::to_string(radio) + "-" + std::to_string(step);
    return r;
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// One rp57cli run, output to /dev/null; its time in ms, or -1 when it failed.
double TimeCli(const std::vector<std::string>& words) {
    std::vector<std::string> args = {RP57CLI_PATH};
    args.insert(args.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = -1;
    const bool spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (!spawned || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    return Ms(Clock::now() - start);
}

// Fills and measures one engine; false when something failed.
bool Measure(const std::string& engine, const std::string& url, const std::string& home,
             const std::function<double()>& databaseBytes) {
    std::string error;
    auto store = HHistoryStore::Open(url, error);
    if (!store) {
        std::fprintf(stderr, "history: %s: %s\n", engine.c_str(), error.c_str());
        return false;
    }
    const auto images = MakeImages();
    std::vector<std::string> hashes;
    for (const auto& image : images)
        hashes.push_back(HSha256::Hex(*image));
    std::vector<bool> stored(kImages, false);
    const auto fillStart = Clock::now();
    for (int step = 0; step < kRecordsPerRadio; ++step) {
        std::vector<HHistoryRecord> batch;
        for (int radio = 0; radio < kRadios; ++radio)
            batch.push_back(MakeRecord(radio, step, images, hashes, stored));
        if (!store->AddAll(batch, error)) {
            std::fprintf(stderr, "history: %s: filling: %s\n", engine.c_str(), error.c_str());
            return false;
        }
    }
    const double fillSeconds = Ms(Clock::now() - fillStart) / 1000;
    store.reset();

    // Adding one record, as the end of a download does it: two images the
    // database has already.
    HHistorySettings settings;
    settings.url = url;
    settings.spoolPath = home + "/spool.sqlite";
    HHistory history(settings);
    std::vector<double> adds;
    for (int i = 0; i < 101; ++i) {
        HHistoryRecord r =
            MakeRecord(i * 19 % kRadios, kRecordsPerRadio + i, images, hashes, stored);
        r.uid.clear();
        r.read = images[std::size_t(i % kImages)];
        r.written = images[std::size_t((i + 1) % kImages)];
        const auto start = Clock::now();
        const HHistoryKept kept = history.Record(std::move(r));
        adds.push_back(Ms(Clock::now() - start));
        if (!kept.stored) {
            std::fprintf(stderr, "history: %s: a record was not stored: %s\n", engine.c_str(),
                         kept.notice.c_str());
            return false;
        }
    }

    ::setenv("RP57_HISTORY_URL", url.c_str(), 1);
    std::vector<double> timelines;
    std::vector<double> lists;
    for (int i = 0; i < 21; ++i)
        timelines.push_back(TimeCli({"history", Serial(i * 97 % kRadios), "--json"}));
    for (int i = 0; i < 11; ++i)
        lists.push_back(TimeCli({"history", "--json"}));
    ::unsetenv("RP57_HISTORY_URL");
    for (double t : timelines)
        if (t < 0)
            return std::fprintf(stderr, "history: rp57cli history SERIAL failed\n"), false;
    for (double t : lists)
        if (t < 0)
            return std::fprintf(stderr, "history: rp57cli history failed\n"), false;

    store = HHistoryStore::Open(url, error);
    std::int64_t records = 0, imageCount = 0;
    if (!store || !store->Counts(records, imageCount, error)) {
        std::fprintf(stderr, "history: %s: %s\n", engine.c_str(), error.c_str());
        return false;
    }
    store.reset();
    const double bytes = databaseBytes();
    const double imageBytes = double(kImages) * double(kImageSize) * 2; // kept as hex text
    const double add = bench::Median(adds);
    const double timeline = bench::Median(timelines);
    const double list = bench::Median(lists);
    std::printf("%s: %lld records, %d radios, filled in %.0f s\n", engine.c_str(),
                static_cast<long long>(records), kRadios, fillSeconds);
    std::printf("  add one record         %7.2f ms  %.3f of the limit %.0f ms\n", add,
                add / kAddLimitMs, kAddLimitMs);
    std::printf("  history SERIAL         %7.2f ms  %.3f of the limit %.0f ms\n", timeline,
                timeline / kTimelineLimitMs, kTimelineLimitMs);
    std::printf("  history (all radios)   %7.2f ms  %.3f of the limit %.0f ms\n", list,
                list / kListLimitMs, kListLimitMs);
    std::printf("  images stored          %7lld     %.3f of the limit 1 per distinct image "
                "(%d distinct)\n",
                static_cast<long long>(imageCount), double(imageCount) / kImages, kImages);
    if (bytes > 0)
        std::printf("  database %.1f MB: images %.1f MB once, %.0f bytes per record beside "
                    "them\n",
                    bytes / 1e6, imageBytes / 1e6, (bytes - imageBytes) / double(records));
    std::fflush(stdout);
    return add <= kAddLimitMs && timeline <= kTimelineLimitMs && list <= kListLimitMs &&
           imageCount == kImages;
}

std::uintmax_t FileBytes(const std::string& path) {
    std::error_code ec;
    const std::uintmax_t n = fs::file_size(path, ec);
    return ec ? 0 : n;
}

} // namespace

int main() {
    const std::string home = bench::MakeHome();
    if (home.empty())
        return 2;
    ::setenv("RP57_HOME", home.c_str(), 1);
    bool within = true;

    const std::string file = home + "/history.sqlite";
    within &= Measure("SQLite", std::string(HHistoryStore::kSqlitePrefix) + file, home,
                      [&] { return double(FileBytes(file) + FileBytes(file + "-wal")); });

    {
        PgServer pg;
        if (!pg.Problem().empty()) {
            std::fprintf(stderr, "history: PostgreSQL: %s\n", pg.Problem().c_str());
            within = false;
        } else {
            const std::string url = pg.NewDatabase();
            within &= Measure("PostgreSQL", url, home, [&] {
                return std::atof(
                    pg.Value(url, "SELECT pg_database_size(current_database())").c_str());
            });
        }
    }
    std::error_code ec;
    fs::remove_all(home, ec);
    std::printf("limits: %s\n", within ? "within" : "NOT within");
    return within ? 0 : 1;
}
