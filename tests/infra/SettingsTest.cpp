#include "HIniFile.h"
#include "HSettingsReader.h"
#include "HStringTable.h"
#include "HVersionInfo.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

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
    // A file whose folder is missing cannot be written.
    EXPECT_FALSE(HIniFile(dir.File("missing-dir/RP57Win.ini")).WriteInt("Initialize", "A", 2));
}

TEST(IniFile, WriteChangesOneKeyAndKeepsEveryOtherByte) {
    TempDir dir;
    const std::string before = "; kept by hand\r\n"
                               "[Initialize]\r\n"
                               "COM_PORT = 3\r\n"
                               "\r\n"
                               "# note\r\n"
                               "BAUDRATE=9600\r\n"
                               "\r\n"
                               "[Someone Else]\r\n"
                               "x=1";
    dir.Write("RP57Win.ini", before);
    HIniFile ini(dir.File("RP57Win.ini"));
    ASSERT_TRUE(ini.WriteInt("initialize", "com_port", 7));
    EXPECT_EQ(dir.Read("RP57Win.ini"), "; kept by hand\r\n"
                                       "[Initialize]\r\n"
                                       "COM_PORT =7\r\n"
                                       "\r\n"
                                       "# note\r\n"
                                       "BAUDRATE=9600\r\n"
                                       "\r\n"
                                       "[Someone Else]\r\n"
                                       "x=1");
    // A new key goes after the section's last key, a new section at the end,
    // both with the file's own line ending.
    ASSERT_TRUE(ini.WriteInt("Initialize", "CX", 900));
    ASSERT_TRUE(ini.WriteInt("ITEM", "ITEM0", 0));
    EXPECT_EQ(dir.Read("RP57Win.ini"), "; kept by hand\r\n"
                                       "[Initialize]\r\n"
                                       "COM_PORT =7\r\n"
                                       "\r\n"
                                       "# note\r\n"
                                       "BAUDRATE=9600\r\n"
                                       "CX=900\r\n"
                                       "\r\n"
                                       "[Someone Else]\r\n"
                                       "x=1\r\n"
                                       "[ITEM]\r\n"
                                       "ITEM0=0\r\n");
    EXPECT_EQ(HIniFile(dir.File("RP57Win.ini")).GetInt("Initialize", "CX", 0), 900);
    ASSERT_TRUE(ini.DeleteKey("Initialize", "CX"));
    EXPECT_FALSE(HIniFile(dir.File("RP57Win.ini")).HasKey("Initialize", "CX"));
    EXPECT_FALSE(ini.WriteString("Recent File List", "File1", "a\nb")); // would make two lines
    // A byte order mark stays in front of the first section, which is still found.
    dir.Write("bom.ini", "\xEF\xBB\xBF[Initialize]\nCOM_PORT=3\n");
    ASSERT_TRUE(HIniFile(dir.File("bom.ini")).WriteInt("Initialize", "COM_PORT", 4));
    EXPECT_EQ(dir.Read("bom.ini"), "\xEF\xBB\xBF[Initialize]\nCOM_PORT=4\n");
}

TEST(IniFile, FileThatCannotBeReadWholeIsNeverWritten) {
    TempDir dir;
    const std::string withNul =
        std::string("[Initialize]\nCOM_PORT=3\n") + '\0' + "[ITEM]\nITEM0=0\n";
    const std::string utf16("\xFF\xFE[\0I\0]\0\n\0", 10);
    dir.Write("nul.ini", withNul);
    dir.Write("utf16.ini", utf16);
    ASSERT_EQ(::mkfifo(dir.File("fifo.ini").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir.File("zero.ini"));
    for (const char* name : {"nul.ini", "utf16.ini", "fifo.ini", "zero.ini"}) {
        HIniFile ini(dir.File(name));
        EXPECT_FALSE(ini.Problem().empty()) << name;
        EXPECT_EQ(ini.GetInt("Initialize", "COM_PORT", 1), 1) << name;
        EXPECT_FALSE(ini.WriteInt("Initialize", "COM_PORT", 2)) << name;
    }
    EXPECT_EQ(dir.Read("nul.ini"), withNul);
    EXPECT_EQ(dir.Read("utf16.ini"), utf16);
    EXPECT_EQ(HIniFile(dir.File("absent.ini")).Problem(), "");
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
    EXPECT_EQ(HStringTable::Format(32, {"/tmp/x.r57"}),
              "Problem opening file\r\nFile Name = /tmp/x.r57");
    EXPECT_EQ(HStringTable::Format(53, {"3 - 5", "9"}), "Do you copy Ch3 - 5 data to Ch 9?");
    EXPECT_EQ(HStringTable::Format(32, {}), "Problem opening file\r\nFile Name = ");
    EXPECT_EQ(HStringTable::Get(120), "1.02");
    EXPECT_EQ(HStringTable::Get(9999), "");
}

// A lone "[" makes the parser take the next line into a section name, so a
// section the writer appends after it could never be read back.
TEST(IniFile, WriteThatWouldNotReadBackIsRefused) {
    TempDir dir;
    const std::string before = "[Initialize]\nCOM_PORT=3\n[";
    dir.Write("RP57Win.ini", before);
    HIniFile ini(dir.File("RP57Win.ini"));
    EXPECT_FALSE(ini.WriteInt("ITEM", "ITEM0", 0));
    EXPECT_EQ(dir.Read("RP57Win.ini"), before);
    // A key of a section the parser still reads is written as before.
    EXPECT_TRUE(ini.WriteInt("Initialize", "COM_PORT", 4));
    EXPECT_EQ(HIniFile(dir.File("RP57Win.ini")).GetInt("Initialize", "COM_PORT", 0), 4);
}
