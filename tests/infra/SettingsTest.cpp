#include "HIniFile.h"
#include "HSettingsReader.h"
#include "HStringTable.h"
#include "HVersionInfo.h"
#include "TempDir.h"

#include <gtest/gtest.h>

TEST(IniFile, ProfileSemantics) {
    TempDir dir;
    const std::string path = dir.File("RP57Win.ini");
    {
        HIniFile ini(path);
        EXPECT_FALSE(dir.Exists("RP57Win.ini"));
        EXPECT_EQ(ini.GetInt("Initialize", "COM_PORT", 1), 1); // missing file → default
        EXPECT_EQ(ini.GetString("Initialize", "X", "dflt"), "dflt");
        EXPECT_FALSE(dir.Exists("RP57Win.ini")); // reading never creates it
        ASSERT_TRUE(ini.WriteInt("Initialize", "COM_PORT", 3));
        EXPECT_TRUE(dir.Exists("RP57Win.ini")); // first write creates it
    }
    dir.Write("RP57Win.ini", "[Recent File List]\nFile1=/tmp/a.r57\nFile2=/tmp/b c.r57\n"
                             "[Initialize]\nCOM_PORT=3\nBAUDRATE=19200xyz\nNEG=-12abc\nTXT=abc\n");
    HIniFile ini(path);
    // Case-insensitive sections and keys.
    EXPECT_EQ(ini.GetInt("INITIALIZE", "com_port", 1), 3);
    EXPECT_TRUE(ini.HasKey("initialize", "BaudRate"));
    // Leading digits only, as the profile integer reader.
    EXPECT_EQ(ini.GetInt("Initialize", "BAUDRATE", 9600), 19200);
    EXPECT_EQ(ini.GetInt("Initialize", "NEG", 0), -12);
    EXPECT_EQ(ini.GetInt("Initialize", "TXT", 7), 0);
    // A write changes one key and keeps every other section and key.
    ASSERT_TRUE(ini.WriteInt("initialize", "com_port", 5));
    ASSERT_TRUE(ini.WriteString("ITEM", "ITEM0", "0"));
    HIniFile again(path);
    EXPECT_EQ(again.GetInt("Initialize", "COM_PORT", 1), 5);
    EXPECT_EQ(again.GetString("Recent File List", "File2", ""), "/tmp/b c.r57");
    EXPECT_EQ(again.GetString("Initialize", "NEG", ""), "-12abc");
    EXPECT_EQ(again.GetInt("ITEM", "ITEM0", 1), 0);
    EXPECT_EQ(again.Keys("Initialize").size(), 4u); // no duplicate key in another case
    EXPECT_EQ(again.Sections().front(), "Recent File List");
}

TEST(IniFile, UnwritableFileReportsFailureAndKeepsTheOld) {
    TempDir dir;
    HIniFile ini(dir.File("missing-dir/RP57Win.ini"));
    EXPECT_FALSE(ini.WriteInt("Initialize", "COM_PORT", 2));
}

TEST(SettingsReader, BoundsMissingValuesAndMessages) {
    TempDir dir;
    dir.Write("s.ini", "[A]\nhigh=20\nlow=0\nneg=-40\ndigits=12abc\ntext=hello\n");
    const std::string path = dir.File("s.ini");
    HSettingsError error;
    EXPECT_EQ(ReadSettingInt(path, "A", "high", 1, 16, error), 16);
    EXPECT_EQ(ReadSettingInt(path, "A", "low", 1, 16, error), 1);
    EXPECT_EQ(ReadSettingInt(path, "A", "neg", 0, 0, error), -40);
    EXPECT_EQ(ReadSettingInt(path, "A", "digits", 0, 0, error), 12);
    EXPECT_EQ(ReadSettingText(path, "a", "TEXT", error), "hello");
    EXPECT_EQ(error.MessageCount(), 0u);
    EXPECT_EQ(ReadSettingInt(path, "A", "none", 1, 16, error), -1);
    EXPECT_EQ(ReadSettingText(path, "B", "other", error), "");
    EXPECT_EQ(error.MessageCount(), 4u);
    EXPECT_EQ(error.GetMessages(), "A,none,B,other,");
    EXPECT_EQ(error.GetMessage(3), "other");
    EXPECT_FALSE(error.HasError()); // misses are collected, the code is the owner's
    EXPECT_TRUE(error.Clear());
    EXPECT_EQ(error.GetMessages(), "");
}

TEST(VersionInfo, OwnFileHasTextsOthersDash) {
    HVersionInfo v;
    EXPECT_EQ(v.GetFileVersion(), ""); // before Read
    v.Read("/proc/self/exe");
    EXPECT_NE(v.GetFileVersion(), "-");
    EXPECT_EQ(v.GetFileVersion().substr(0, 3), "1.2");
    TempDir dir;
    dir.Write("plain.bin", "no version here");
    v.Read(dir.File("plain.bin"));
    for (std::size_t i = 0; i < HVersionInfo::kNames.size(); ++i)
        EXPECT_EQ(v.Get(i), "-") << HVersionInfo::kNames[i];
    v.Read("EXE_NAME");
    EXPECT_EQ(v.GetFileVersion(), "-");
}

TEST(StringTable, TextsAndArguments) {
    EXPECT_EQ(HStringTable::Get(128), "RP57Win for OR-3200 Series");
    EXPECT_EQ(HStringTable::Format(32, {"/tmp/x.r57"}), "Problem opening file\r\nFile Name = /tmp/x.r57");
    EXPECT_EQ(HStringTable::Format(53, {"3 - 5", "9"}), "Do you copy Ch3 - 5 data to Ch 9?");
    EXPECT_EQ(HStringTable::Format(32, {}), "Problem opening file\r\nFile Name = ");
    EXPECT_EQ(HStringTable::Get(120), "1.02");
    EXPECT_EQ(HStringTable::Get(9999), "");
}
