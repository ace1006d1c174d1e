// The backups folder in a temporary RP57_HOME: backups named by serial number
// and time, read back as data files, never written over one another, pruned
// by count and by age, other files left alone; the settings keys.
#include "HBackups.h"
#include "HCommonGroups.h"
#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HIniFile.h"
#include "HLogPrint.h"
#include "HProgramDir.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>

namespace {

using namespace std::chrono_literals;

class BackupsTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("RP57_HOME", m_home.Path().c_str(), 1); }
    void TearDown() override { ::unsetenv("RP57_HOME"); }

    TempDir m_home;
};

HMemoryImage WithSerial(const std::string& serial) {
    HMemoryImage image = BuildDefaultImage();
    HMarketingGroup marketing;
    marketing.Load(image);
    marketing.SetText(2, serial);
    marketing.Save(image);
    return image;
}

// 2026-12-07 05:15:00 UTC.
const HBackups::Clock::time_point kMorning = HBackups::Clock::from_time_t(1796620500);

HBackupSettings Keeping(int count, int days = 0) {
    HBackupSettings s;
    s.keepCount = count;
    s.keepDays = days;
    return s;
}

} // namespace

TEST_F(BackupsTest, ABackupIsADataFileNamedBySerialAndTime) {
    const HMemoryImage image = WithSerial("4711");
    const HBackupResult r =
        HBackups::Keep(image, HBackups::SerialLabel(image), Keeping(0), kMorning);
    ASSERT_TRUE(r.written) << r.error;
    EXPECT_EQ(r.path, m_home.Path() + "/backups/4711_20261207-051500.R57");
    HMemoryImage back{};
    ASSERT_TRUE(HDataFile::Open(r.path, back).Ok());
    EXPECT_EQ(back, image);

    // The same second again: a second file, the first one untouched.
    const HBackupResult again = HBackups::Keep(WithSerial("4712"), "4711", Keeping(0), kMorning);
    ASSERT_TRUE(again.written);
    EXPECT_NE(again.path, r.path);
    ASSERT_TRUE(HDataFile::Open(r.path, back).Ok());
    EXPECT_EQ(back, image);

    const HBackupResult third = HBackups::Keep(image, "4711", Keeping(0), kMorning);
    const HBackupResult older = HBackups::Keep(image, "4711", Keeping(0), kMorning - 1s);
    const std::vector<HBackupEntry> list = HBackups::List();
    std::vector<std::string> paths;
    for (const HBackupEntry& e : list)
        paths.push_back(e.path);
    // Newest first; of one second, the later first.
    EXPECT_EQ(paths, (std::vector<std::string>{third.path, again.path, r.path, older.path}));
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list[0].label, "4711");
    EXPECT_EQ(list[0].time, 1796620500);

    // Serial labels stay inside the folder.
    EXPECT_EQ(HBackups::SerialLabel(WithSerial("../x")), "---x");
    EXPECT_EQ(HBackups::SerialLabel(WithSerial("    ")), "no-serial");
}

TEST_F(BackupsTest, PruningKeepsTheNewestByCountAndDropsOldOnes) {
    const HMemoryImage image = WithSerial("0001");
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(HBackups::Keep(image, "0001", Keeping(0), kMorning + i * 1h).written);
    m_home.Write("backups/notes.txt", "mine");
    m_home.Write("backups/other.R57", "not a backup name");

    // The sixth backup with a limit of three: the three newest stay.
    ASSERT_TRUE(HBackups::Keep(image, "0001", Keeping(3), kMorning + 5h).written);
    std::vector<HBackupEntry> list = HBackups::List();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list.front().name, "0001_20261207-101500.R57");
    EXPECT_EQ(list.back().name, "0001_20261207-081500.R57");
    EXPECT_TRUE(m_home.Exists("backups/notes.txt"));
    EXPECT_TRUE(m_home.Exists("backups/other.R57"));

    // Seven days after the newest, with a limit of seven days: the newest is
    // exactly seven days old and stays, the two an hour older go.
    EXPECT_EQ(HBackups::Prune(Keeping(0, 7), kMorning + 5h + 168h), 2);
    list = HBackups::List();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.front().name, "0001_20261207-101500.R57");
    // One second later it is too old.
    EXPECT_EQ(HBackups::Prune(Keeping(0, 7), kMorning + 5h + 168h + 1s), 1);
    EXPECT_TRUE(HBackups::List().empty());
    EXPECT_TRUE(m_home.Exists("backups/notes.txt"));
}

TEST_F(BackupsTest, TheBackupJustWrittenIsNeverPruned) {
    // A copied folder and a clock that was ahead: backups named later than
    // now, and a name whose time is no time at all.
    std::filesystem::create_directories(m_home.File("backups"));
    for (const char* name : {"0001_20991231-235959.R57", "0001_20991231-235958.R57",
                             "0001_20261207-051400.R57", "x_99999999-999999.R57"})
        m_home.Write(std::string("backups/") + name, "old");
    const HBackupResult r = HBackups::Keep(WithSerial("0001"), "0001", Keeping(2), kMorning);
    ASSERT_TRUE(r.written) << r.error;
    EXPECT_TRUE(std::filesystem::is_regular_file(r.path)) << r.path;
    // The new one counts as the newest: the latest other stays beside it.
    EXPECT_TRUE(m_home.Exists("backups/0001_20991231-235959.R57"));
    EXPECT_FALSE(m_home.Exists("backups/0001_20991231-235958.R57"));
    EXPECT_FALSE(m_home.Exists("backups/0001_20261207-051400.R57"));
    EXPECT_TRUE(m_home.Exists("backups/x_99999999-999999.R57"));
    // A limit of one keeps the new one alone.
    ASSERT_TRUE(HBackups::Keep(WithSerial("0001"), "0001", Keeping(1), kMorning).written);
    EXPECT_FALSE(m_home.Exists("backups/0001_20991231-235959.R57"));
}

TEST_F(BackupsTest, NamesThatCarryNoRealTimeAreNoBackups) {
    std::filesystem::create_directories(m_home.File("backups"));
    const std::vector<std::string> odd = {"x_99999999-999999.R57",     "x_20261331-000000.R57",
                                          "x_20260431-120000.R57",     "x_20261207-246000.R57",
                                          "x_20261207-051500junk.R57", "x_2026+207-051500.R57",
                                          "x_20261207-051500-.R57",    "x_20261207_051500.R57",
                                          "x_20261207-05150.R57",      "x_20261207-051500.csv"};
    for (const std::string& name : odd)
        m_home.Write("backups/" + name, "mine");
    m_home.Write("backups/x_20260229-000000.R57", "no 29 February in 2026");
    m_home.Write("backups/x_20280229-000000-3.R57", "a leap day, third of the second");
    std::vector<std::string> listed;
    for (const HBackupEntry& e : HBackups::List())
        listed.push_back(e.name);
    EXPECT_EQ(listed, std::vector<std::string>{"x_20280229-000000-3.R57"});
    EXPECT_EQ(HBackups::List().front().time, 1835395200); // 2028-02-29 00:00:00 UTC
    // Every backup is too old a century later; the others are left alone.
    EXPECT_EQ(HBackups::Prune(Keeping(1, 1), kMorning + 876000h), 1);
    for (const std::string& name : odd)
        EXPECT_TRUE(m_home.Exists("backups/" + name)) << name;
}

TEST_F(BackupsTest, LinksInTheFolderAreNeverFollowedNorRemoved) {
    std::filesystem::create_directories(m_home.File("backups"));
    // A dangling link at the next backup's name, pointing out of the folder.
    std::filesystem::create_symlink(m_home.File("outside.R57"),
                                    m_home.File("backups/0001_20261207-051500.R57"));
    // A link named as an old backup, to a file of the user's.
    m_home.Write("mine.R57", "keep me");
    std::filesystem::create_symlink(m_home.File("mine.R57"),
                                    m_home.File("backups/0001_20200101-000000.R57"));
    const HBackupResult r = HBackups::Keep(WithSerial("0001"), "0001", Keeping(1, 1), kMorning);
    ASSERT_TRUE(r.written) << r.error;
    EXPECT_EQ(r.path, m_home.Path() + "/backups/0001_20261207-051500-2.R57");
    EXPECT_FALSE(std::filesystem::is_symlink(r.path));
    EXPECT_FALSE(m_home.Exists("outside.R57"));
    EXPECT_TRUE(std::filesystem::is_symlink(m_home.File("backups/0001_20200101-000000.R57")));
    EXPECT_EQ(m_home.Read("mine.R57"), "keep me");
    ASSERT_EQ(HBackups::List().size(), 1u);
    EXPECT_EQ(HBackups::List().front().path, r.path);
}

TEST_F(BackupsTest, ABackupThatCannotBeWrittenWholeLeavesNoFile) {
    // The system refuses the bytes past the first hundred of any file.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const HBackupResult r = HBackups::Keep(WithSerial("0001"), "0001", Keeping(0), kMorning);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(r.written);
    EXPECT_NE(r.error.find("0001_20261207-051500.R57: File too large"), std::string::npos)
        << r.error;
    EXPECT_TRUE(std::filesystem::is_empty(m_home.File("backups")));
}

TEST_F(BackupsTest, AMalformedKeepValueGivesTheDefaultAndSaysSo) {
    m_home.Write("INI_LOG.ini", "[LOG_INFO]\nDEF_LOG_NAME=trace.log\nLOG_LEVEL0=6\n");
    ASSERT_TRUE(HLogPrint::Begin(m_home.Path()));
    const HBackupSettings none = HBackupSettings::Read(); // no key at all
    EXPECT_TRUE(none.beforeDownload);
    EXPECT_EQ(std::make_pair(none.keepCount, none.keepDays), std::make_pair(200, 90));
    const struct {
        const char* text;
        int value; // -1: the default
    } cases[] = {{"1e3", -1},   {"", -1},     {"-5", -1},
                 {"12abc", -1}, {"0x10", -1}, {" 7 ", 7},
                 {"0", 0},      {"30", 30},   {"99999999999", 2147483647}};
    HIniFile ini(HProgramDir::SettingsPath());
    ASSERT_TRUE(ini.WriteInt("Backup", "BeforeDownload", 0));
    EXPECT_FALSE(HBackupSettings::Read().beforeDownload);
    for (const auto& c : cases) {
        ASSERT_TRUE(ini.WriteString("Backup", "KeepCount", c.text));
        ASSERT_TRUE(ini.WriteString("Backup", "KeepDays", c.text));
        const HBackupSettings s = HBackupSettings::Read();
        EXPECT_EQ(s.keepCount, c.value < 0 ? HBackupSettings::kDefaultKeepCount : c.value)
            << c.text;
        EXPECT_EQ(s.keepDays, c.value < 0 ? HBackupSettings::kDefaultKeepDays : c.value) << c.text;
    }
    HLogPrint::End();
    const std::string trace = m_home.Read("trace.log");
    EXPECT_NE(trace.find("[Backup] KeepCount=1e3 is no whole number: 200 is used"),
              std::string::npos)
        << trace;
    EXPECT_NE(trace.find("[Backup] KeepDays=12abc is no whole number: 90 is used"),
              std::string::npos);
    EXPECT_EQ(trace.find("KeepCount= 7 "), std::string::npos);
}

TEST_F(BackupsTest, AFolderThatCannotBeMadeIsReported) {
    // A file where the folder should be.
    m_home.Write("backups", "in the way");
    const HBackupResult r = HBackups::Keep(BuildDefaultImage(), "0001", Keeping(0), kMorning);
    EXPECT_FALSE(r.written);
    EXPECT_NE(r.error.find("backups"), std::string::npos) << r.error;
}
