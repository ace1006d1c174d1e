// The history through rp57cli against the simulated radio: every transfer
// recorded, a download that takes a fresh upload of the same radio as its
// backup (and reads again for another radio, after a write, or with reuse
// off), history list/timeline/get/diff, fleet runs with a roster and kept
// settings, and a fleet run whose history server stops and comes back.
#include "CliRun.h"
#include "HCommonGroups.h"
#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HHistory.h"
#include "HHistoryStore.h"
#include "HSettingAssignments.h"
#include "PgServer.h"
#include "link/LinkTestUtil.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <csignal>

#if defined(RP57_RADIO_SIM) && defined(RP57CLI_PATH)

namespace {

using namespace linktest;
using Json = nlohmann::json;

constexpr const char* kPassword = "481736";
constexpr const char* kTag = "power_saving.power_on_tag";
constexpr const char* kAni = "dtmf_ani.ani_code";

// A finished radio with its own serial number and, when given, its own ANI code.
HMemoryImage RadioMemory(const std::string& serial, const std::string& ani = "") {
    HMemoryImage image = BuildDefaultImage();
    HMarketingGroup marketing;
    marketing.Load(image);
    marketing.SetText(2, serial);
    marketing.Save(image);
    if (!ani.empty()) {
        EXPECT_EQ(HSettingAssignments::Apply(image, 0, {{kAni, ani}}).error, "");
    }
    image[2] = 5; // production code: mobile
    image[3] = 0;
    image[0x1FE] = 0xA5;
    image[0x1FF] = 0x5A;
    return image;
}

// Without the padding a fixed-length text shows with.
std::string Setting(const HMemoryImage& image, const std::string& key) {
    std::string error;
    std::string shown =
        HSettingAssignments::Shown(image, 0, key, error).value_or("(" + error + ")");
    while (!shown.empty() && shown.back() == ' ')
        shown.pop_back();
    return shown;
}

// How often the radio was asked for the first channel page: once per whole read.
std::size_t ChannelPageReads(const SimRadio& radio) {
    const std::vector<int> pages = radio.Blocks("F2");
    return std::size_t(std::count(pages.begin(), pages.end(), 0x08));
}

Json ParseJson(const CliResult& r) {
    return Json::parse(r.out, nullptr, false);
}

// Records in the database at `url`; -1 when it cannot be read.
std::int64_t Records(const std::string& url) {
    std::string error;
    std::int64_t records = -1, images = 0;
    if (auto store = HHistoryStore::Open(url, error);
        !store || !store->Counts(records, images, error))
        return -1;
    return records;
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace

TEST(CliHistory, UploadThenDownloadReadsTheRadioOnceAndBothAreRecorded) {
    TempHome home;
    const HMemoryImage memory = RadioMemory("4711");
    SimRadio radio(home, {}, &memory);
    ASSERT_TRUE(radio.Started());
    const CliResult up =
        Cli({"upload", "--port", radio.Link(), "--password", kPassword, "-o", home.Path("up.r57")},
            home);
    ASSERT_EQ(up.status, 0) << up.err;
    const CliResult set = Cli(
        {"set", home.Path("up.r57"), std::string(kTag) + "=NEWTAG", "-o", home.Path("edited.r57")},
        home);
    ASSERT_EQ(set.status, 0) << set.err;
    const CliResult down =
        Cli({"download", "--port", radio.Link(), "--password", kPassword, home.Path("edited.r57")},
            home);
    ASSERT_EQ(down.status, 0) << down.err;
    EXPECT_TRUE(Has(down.out, "Download Complete!\nBackup kept: " + home.Path("backups/4711_")))
        << down.out;
    EXPECT_TRUE(Has(down.out, " (the upload of ")) << down.out;
    EXPECT_EQ(ChannelPageReads(radio), 1u) << "the backup read the radio again";
    EXPECT_EQ(Setting(radio.StopAndRead(), kTag), "NEWTAG");

    const Json radios = ParseJson(Cli({"history", "--json"}, home));
    ASSERT_TRUE(radios.contains("radios")) << radios;
    ASSERT_EQ(radios["radios"].size(), 1u);
    EXPECT_EQ(radios["radios"][0]["serial"], "4711");
    EXPECT_EQ(radios["radios"][0]["records"], 2);
    EXPECT_EQ(radios["radios"][0]["last"]["operation"], "download");

    const Json timeline = ParseJson(Cli({"history", "4711", "--json"}, home));
    ASSERT_EQ(timeline["records"].size(), 2u) << timeline;
    const Json& first = timeline["records"][0];
    const Json& second = timeline["records"][1];
    EXPECT_EQ(first["operation"], "upload");
    EXPECT_EQ(first["result"], "done");
    EXPECT_TRUE(first["written"].is_null());
    EXPECT_EQ(second["operation"], "download");
    EXPECT_EQ(second["read"], first["read"]) << "the upload stood for the backup";
    EXPECT_TRUE(second["written"].is_string());
    EXPECT_EQ(second["model"], "VHF Mobile");

    ASSERT_EQ(Cli({"history", "get", "4711", "--at", "1", "-o", home.Path("s1.r57")}, home).status,
              0);
    ASSERT_EQ(Cli({"history", "get", "4711", "-o", home.Path("s2.r57")}, home).status, 0);
    HMemoryImage s1{}, s2{};
    ASSERT_TRUE(HDataFile::Read(home.Path("s1.r57"), s1).Ok());
    ASSERT_TRUE(HDataFile::Read(home.Path("s2.r57"), s2).Ok());
    EXPECT_EQ(Setting(s1, kTag), "SELFTEST");
    EXPECT_EQ(Setting(s2, kTag), "NEWTAG");
    // --before: the latest step before the time; none before the first; a time it can read.
    const CliResult later =
        Cli({"history", "get", "4711", "--before", "2999-01-01", "-o", home.Path("s3.r57")}, home);
    EXPECT_TRUE(Has(later.out, "step 2 of radio 4711")) << later.out << later.err;
    const CliResult earlier =
        Cli({"history", "get", "4711", "--before", "2000-01-01", "-o", home.Path("s4.r57")}, home);
    EXPECT_EQ(earlier.status, 1);
    EXPECT_TRUE(Has(earlier.err, "holds an image before 2000-01-01")) << earlier.err;
    EXPECT_EQ(
        Cli({"history", "get", "4711", "--before", "last week", "-o", home.Path("s5.r57")}, home)
            .status,
        2);

    const CliResult diff = Cli({"history", "diff", "4711", "1", "2"}, home);
    EXPECT_EQ(diff.status, 1);
    EXPECT_TRUE(Has(diff.out, std::string(kTag) + " (")) << diff.out;
    EXPECT_TRUE(Has(diff.out, "\"SELFTEST\" -> \"NEWTAG")) << diff.out;
    const CliResult bad = Cli({"history", "diff", "4711", "1", "9"}, home);
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(Has(bad.err, "steps 1 to 2")) << bad.err;
}

TEST(CliHistory, BackupIsReadAgainForAnotherRadioOnThePort) {
    TempHome home;
    ASSERT_TRUE(HDataFile::Write(home.Path("file.r57"), BuildDefaultImage()).Ok());
    {
        const HMemoryImage a = RadioMemory("1001");
        SimRadio radio(home, {}, &a);
        ASSERT_EQ(Cli({"upload", "--port", radio.Link(), "--password", kPassword, "-o",
                       home.Path("a.r57")},
                      home)
                      .status,
                  0);
    }
    // Another radio on the same port: its identity words are its own.
    const HMemoryImage b = RadioMemory("1002");
    SimRadio radio(home, {}, &b);
    ASSERT_TRUE(radio.Started());
    const CliResult other = Cli(
        {"download", "--port", radio.Link(), "--password", kPassword, home.Path("file.r57")}, home);
    ASSERT_EQ(other.status, 0) << other.err;
    EXPECT_EQ(ChannelPageReads(radio), 1u);
    EXPECT_TRUE(Has(other.out, "(the radio as read before writing).")) << other.out;
    // A write since and ReuseMinutes are the history's rules
    // (HistoryStoreTest.EarlierReadStandsOnlyWithoutAWriteSince,
    // TransferHistory.AnEarlierReadOfThisRadioOnThisBenchWithinTheMinutes).
}

TEST(CliFleet, ARosterValueTheRulesRefuseStopsTheRunBeforeTheFirstRadio) {
    TempHome home;
    ASSERT_TRUE(HDataFile::Write(home.Path("fleet.r57"), BuildDefaultImage()).Ok());
    WriteText(home.Path("roster.csv"),
              std::string("serial,") + kTag + "\n2001,CAR 1\n2002,TOOLONGTAGX\n");
    PtyPair port; // a port where no radio ever answers
    const CliResult r = Cli({"download", "--repeat", "--port", port.SlavePath(),
                             home.Path("fleet.r57"), "--roster", home.Path("roster.csv")},
                            home);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(Has(r.err, "roster.csv line 3 (serial 2002), " + std::string(kTag) + ": "))
        << r.err;
    EXPECT_TRUE(port.Receive(1, std::chrono::milliseconds(100)).empty());

    WriteText(home.Path("keep.csv"), std::string("serial,") + kTag + "\n2001,CAR 1\n");
    const CliResult twice =
        Cli({"download", "--repeat", "--port", port.SlavePath(), home.Path("fleet.r57"), "--roster",
             home.Path("keep.csv"), "--keep", kTag},
            home);
    EXPECT_EQ(twice.status, 2);
    EXPECT_TRUE(Has(twice.err, "is a column of the roster and kept")) << twice.err;
    const CliResult unknown = Cli({"download", "--port", port.SlavePath(), home.Path("fleet.r57"),
                                   "--keep", "power_saving.no_such_key"},
                                  home);
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(Has(unknown.err, "unknown setting 'power_saving.no_such_key'")) << unknown.err;
}

TEST(CliFleet, RosterGivesEachRadioItsRowKeepsItsOwnSkipsAStrangerAndOutlivesAFault) {
    TempHome home;
    ASSERT_TRUE(HDataFile::Write(home.Path("fleet.r57"), BuildDefaultImage()).Ok());
    WriteText(home.Path("roster.csv"),
              std::string("serial,") + kTag + "\n2001,CAR 1\n\"2002\",\"CAR 2\"\n2003,CAR 3\n");
    const std::string journal = home.Path("journal.csv");
    ToolProcess fleet(RP57CLI_PATH,
                      {"download", "--repeat", "--port", home.Path("radio"), home.Path("fleet.r57"),
                       "--password", kPassword, "--journal", journal, "--roster",
                       home.Path("roster.csv"), "--keep", kAni},
                      home.Dir());
    struct Turn {
        std::string serial;
        std::string ani;
        bool faulty = false; // refuses a channel page
    };
    const std::vector<Turn> turns = {
        {"2001", "111"}, {"9999", "999"}, {"2003", "333", true}, {"2002", "222"}};
    std::vector<HMemoryImage> after;
    std::vector<std::size_t> writes;
    for (std::size_t i = 0; i < turns.size(); ++i) {
        const HMemoryImage memory = RadioMemory(turns[i].serial, turns[i].ani);
        std::vector<std::string> extra = {"--once"};
        if (turns[i].faulty)
            extra.insert(extra.end(), {"--fault", "nak:0x10"});
        SimRadio radio(home, extra, &memory);
        ASSERT_TRUE(radio.Started());
        ASSERT_TRUE(WaitFor([&] { return Count(ReadText(journal), "\n") == i + 2; }, 60s))
            << fleet.ErrSoFar();
        radio.WaitExit();
        writes.push_back(radio.Blocks("F1").size() + radio.Blocks("F3").size());
        after.push_back(ReadImage(radio.MemoryPath()));
    }
    fleet.Signal(SIGINT);
    const CliResult r = fleet.WaitAtMost(30s);
    EXPECT_EQ(r.status, 1) << "a radio was skipped, one failed";
    EXPECT_TRUE(Has(r.out, "radio 2: serial 9999 skipped")) << r.out;
    EXPECT_TRUE(Has(r.out, "4 radios, 1 failed, 1 skipped")) << r.out;

    EXPECT_EQ(Setting(after[0], kTag), "CAR 1");
    EXPECT_EQ(Setting(after[0], kAni), "111");
    EXPECT_EQ(writes[1], 0u) << "a radio not in the roster is not written";
    EXPECT_EQ(Setting(after[1], kTag), "SELFTEST");
    EXPECT_EQ(Setting(after[3], kTag), "CAR 2");
    EXPECT_EQ(Setting(after[3], kAni), "222");

    const std::string lines = ReadText(journal);
    EXPECT_TRUE(Has(lines, "time,serial,result,message,values\n")) << lines;
    EXPECT_TRUE(Has(lines, ",2001,ok,") &&
                Has(lines, std::string(kTag) + "=CAR 1; " + kAni + "=111"))
        << lines;
    EXPECT_TRUE(Has(lines, ",9999,skipped,Serial 9999 is not in the roster")) << lines;
    // The faulty radio fails alone; the run goes on to the next.
    EXPECT_TRUE(Has(lines, ",2003,failed,Communication Error!")) << lines;

    const Json timeline = ParseJson(Cli({"history", "2002", "--json"}, home));
    ASSERT_EQ(timeline["records"].size(), 1u) << timeline;
    EXPECT_EQ(timeline["records"][0]["operation"], "fleet download");
    EXPECT_EQ(timeline["records"][0]["values"], std::string(kTag) + "=CAR 2\n" + kAni + "=222");
    EXPECT_TRUE(Has(timeline["records"][0]["journal"].get<std::string>(), ",2002,ok,"));
    const Json skipped = ParseJson(Cli({"history", "9999", "--json"}, home));
    ASSERT_EQ(skipped["records"].size(), 1u) << skipped;
    EXPECT_EQ(skipped["records"][0]["result"], "failed");
    EXPECT_TRUE(skipped["records"][0]["written"].is_null());
}

TEST(CliFleet, HistoryServerStoppedMidRunKeepsEveryRecordOnce) {
    static PgServer pg;
    if (pg.Absent())
        GTEST_SKIP() << pg.Problem();
    ASSERT_EQ(pg.Problem(), "");
    TempHome home;
    const std::string url = pg.NewDatabase();
    ASSERT_FALSE(url.empty());
    ::setenv("RP57_HISTORY_URL", url.c_str(), 1);
    ASSERT_TRUE(HDataFile::Write(home.Path("fleet.r57"), BuildDefaultImage()).Ok());
    const std::string journal = home.Path("journal.csv");
    ToolProcess fleet(RP57CLI_PATH,
                      {"download", "--repeat", "--port", home.Path("radio"), home.Path("fleet.r57"),
                       "--password", kPassword, "--journal", journal},
                      home.Dir());
    const std::vector<std::string> serials = {"3001", "3002", "3003", "3004"};
    for (std::size_t i = 0; i < serials.size(); ++i) {
        // The record of the radio before is in before the server goes.
        if (i == 1) {
            ASSERT_TRUE(WaitFor([&] { return Records(url) == 1; }, 30s));
            ASSERT_TRUE(pg.Stop());
        }
        if (i == 3) {
            ASSERT_TRUE(pg.Start());
        }
        const HMemoryImage memory = RadioMemory(serials[i]);
        SimRadio radio(home, {"--once"}, &memory);
        ASSERT_TRUE(radio.Started());
        ASSERT_TRUE(WaitFor([&] { return Count(ReadText(journal), "\n") == i + 2; }, 60s))
            << fleet.ErrSoFar();
        radio.WaitExit();
    }
    ASSERT_TRUE(WaitFor([&] { return Records(url) == 4; }, 30s));
    fleet.Signal(SIGINT);
    const CliResult r = fleet.WaitAtMost(30s);
    ::unsetenv("RP57_HISTORY_URL");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Count(r.err, "It is kept on this bench"), 1u) << "told once: " << r.err;
    EXPECT_EQ(Count(r.err, "2 records kept on this bench"), 1u) << r.err;

    std::string error;
    auto store = HHistoryStore::Open(url, error);
    ASSERT_TRUE(store) << error;
    std::int64_t records = 0, images = 0;
    ASSERT_TRUE(store->Counts(records, images, error)) << error;
    EXPECT_EQ(records, 4);
    for (const std::string& serial : serials) {
        std::vector<HHistoryRecord> timeline;
        ASSERT_TRUE(store->Timeline(serial, timeline, error)) << error;
        EXPECT_EQ(timeline.size(), 1u) << serial;
    }
    HHistorySettings local;
    local.url = url;
    local.spoolPath = home.Path(HHistorySettings::kSpoolName);
    EXPECT_EQ(HHistory(local).Waiting(), 0);
}

#endif
