// The backups folder in a temporary RP57_HOME: backups named by serial number
// and time, read back as data files, never written over one another, pruned
// by count and by age, other files left alone; the settings keys.
#include "HBackups.h"
#include "HCommonGroups.h"
#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HIniFile.h"
#include "HProgramDir.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

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

    const std::vector<HBackupEntry> list = HBackups::List();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].label, "4711");
    EXPECT_EQ(list[0].time, 1796620500);
}

TEST_F(BackupsTest, SerialLabelsStayInsideTheFolder) {
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

    // Ten days later with a limit of seven days: all of them are too old.
    EXPECT_EQ(HBackups::Prune(Keeping(0, 7), kMorning + 240h), 3);
    EXPECT_TRUE(HBackups::List().empty());
    EXPECT_TRUE(m_home.Exists("backups/notes.txt"));
}

TEST_F(BackupsTest, SettingsKeysAndTheirDefaults) {
    HBackupSettings s = HBackupSettings::Read();
    EXPECT_TRUE(s.beforeDownload);
    EXPECT_EQ(s.keepDays, HBackupSettings::kDefaultKeepDays);
    EXPECT_EQ(s.keepCount, HBackupSettings::kDefaultKeepCount);
    HIniFile ini(HProgramDir::SettingsPath());
    ASSERT_TRUE(ini.WriteInt("Backup", "BeforeDownload", 0));
    ASSERT_TRUE(ini.WriteInt("Backup", "KeepDays", 30));
    ASSERT_TRUE(ini.WriteInt("Backup", "KeepCount", 12));
    s = HBackupSettings::Read();
    EXPECT_FALSE(s.beforeDownload);
    EXPECT_EQ(s.keepDays, 30);
    EXPECT_EQ(s.keepCount, 12);
}

TEST_F(BackupsTest, AFolderThatCannotBeMadeIsReported) {
    // A file where the folder should be.
    m_home.Write("backups", "in the way");
    const HBackupResult r = HBackups::Keep(BuildDefaultImage(), "0001", Keeping(0), kMorning);
    EXPECT_FALSE(r.written);
    EXPECT_NE(r.error.find("backups"), std::string::npos) << r.error;
}
