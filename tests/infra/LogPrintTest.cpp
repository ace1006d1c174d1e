#include "HLogPrint.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

struct LogSession {
    explicit LogSession(const TempDir& dir) { began = HLogPrint::Begin(dir.Path()); }
    ~LogSession() { HLogPrint::End(); }
    bool began;
};

} // namespace

TEST(LogPrint, OffWithoutDefaultNameWritesNothing) {
    TempDir dir;
    EXPECT_FALSE(HLogPrint::Begin(dir.Path())); // no INI_LOG.ini at all
    dir.Write("INI_LOG.ini", "[LOG_INFO]\nDEF_LOG_NAME=\nLOG_LEVEL0=6\nLOG_NAME0=x.log\n");
    EXPECT_FALSE(HLogPrint::Begin(dir.Path()));
    HLOG_ER("error %d", 1);
    HLogPrint::End();
    EXPECT_FALSE(dir.Exists("x.log"));
    EXPECT_FALSE(HLogPrint::IsOn());
}

TEST(LogPrint, SettingsOrLogThatIsNoFileNeverStalls) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("INI_LOG.ini").c_str(), 0600), 0);
    EXPECT_FALSE(HLogPrint::Begin(dir.Path())); // other odd settings files: IniFile's tests
    std::filesystem::remove(dir.File("INI_LOG.ini"));
    // A FIFO without a reader as the log: its lines are dropped.
    dir.Write("INI_LOG.ini", "[LOG_INFO]\nDEF_LOG_NAME=pipe.log\nLOG_LEVEL0=6\n");
    ASSERT_EQ(::mkfifo(dir.File("pipe.log").c_str(), 0600), 0);
    {
        LogSession log(dir);
        EXPECT_TRUE(log.began);
        HLOG_ER("%s", "dropped");
    }
    struct stat st {};
    ASSERT_EQ(::lstat(dir.File("pipe.log").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(LogPrint, LineFormatBannersAndThreshold) {
    TempDir dir;
    dir.Write("INI_LOG.ini", "[log_info]\ndef_log_name=rp57.log\nLOG_LEVEL0=3\n");
    {
        LogSession log(dir);
        ASSERT_TRUE(log.began);
        for (int level = 0; level <= 7; ++level)
            HLogPrint::Print(level, 0, "Serial/HRpCommon.cpp", 42, "level %d", level);
        HLogPrint::Write(3, 0, "a.cpp", 7, "100% done %s %d");
    }
    const auto lines = Lines(dir.Read("rp57.log"));
    ASSERT_EQ(lines.size(), 6u) << dir.Read("rp57.log");
    EXPECT_NE(lines.front().find("**************The log output begins.[Ver.1.02][Inner Ver."),
              std::string::npos);
    EXPECT_NE(lines.back().find("**************The log output ended.*****************"),
              std::string::npos);
    const std::regex shape(R"(\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}\.\d{3} \[(ER|WR|D1)\] (.*) )"
                           R"(\(File:\[(.*)\] Line:\[(\d+)\]\))");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[1], m, shape)) << lines[1];
    EXPECT_EQ(m[1], "ER");
    EXPECT_EQ(m[2], "level 1");
    EXPECT_EQ(m[3], "Serial/HRpCommon.cpp");
    EXPECT_EQ(m[4], "42");
    ASSERT_TRUE(std::regex_match(lines[2], m, shape));
    EXPECT_EQ(m[1], "WR");
    ASSERT_TRUE(std::regex_match(lines[3], m, shape));
    EXPECT_EQ(m[1], "D1");
    EXPECT_EQ(m[2], "level 3");
    // Written exactly as given, never formatted a second time.
    ASSERT_TRUE(std::regex_match(lines[4], m, shape));
    EXPECT_EQ(m[2], "100% done %s %d");
}

TEST(LogPrint, CategoriesHaveTheirOwnFilesAndLevels) {
    TempDir dir;
    dir.Write("INI_LOG.ini", "[LOG_INFO]\nDEF_LOG_NAME=main.log\nLOG_LEVEL0=0\nLOG_NAME0=zero.log\n"
                             "LOG_LEVEL5=6\nLOG_NAME5=five.log\nLOG_LEVEL7=6\n");
    {
        LogSession log(dir);
        ASSERT_TRUE(log.began);
        HLogPrint::Print(1, 0, "f", 1, "to zero");
        HLogPrint::Print(6, 5, "f", 1, "fine detail");
        HLogPrint::Print(4, 7, "f", 1, "default path");
        HLogPrint::Print(1, 100, "f", 1, "no such category");
        HLogPrint::Print(1, -1, "f", 1, "no such category");
    }
    EXPECT_FALSE(dir.Exists("zero.log")); // threshold 0: banners and lines dropped
    EXPECT_NE(dir.Read("five.log").find("[D4] fine detail "), std::string::npos);
    const std::string main = dir.Read("main.log");
    EXPECT_NE(main.find("[D2] default path "), std::string::npos);
    EXPECT_EQ(main.find("no such category"), std::string::npos);
}

TEST(LogPrint, ThreadsNeverInterleaveInsideALine) {
    TempDir dir;
    dir.Write("INI_LOG.ini", "[LOG_INFO]\nDEF_LOG_NAME=t.log\nLOG_LEVEL0=6\n");
    constexpr int kPerThread = 400;
    {
        LogSession log(dir);
        ASSERT_TRUE(log.began);
        const std::string a(300, 'a'), b(300, 'b');
        std::thread t1([&] {
            for (int i = 0; i < kPerThread; ++i)
                HLOG_D4("%s", a.c_str());
        });
        std::thread t2([&] {
            for (int i = 0; i < kPerThread; ++i)
                HLOG_D4("%s", b.c_str());
        });
        t1.join();
        t2.join();
    }
    const auto lines = Lines(dir.Read("t.log"));
    ASSERT_EQ(lines.size(), 2u * kPerThread + 2);
    const std::regex whole(R"(\S+ \S+ \[D4\] (a{300}|b{300}) \(File:\[.*\] Line:\[\d+\]\))");
    for (std::size_t i = 1; i + 1 < lines.size(); ++i)
        ASSERT_TRUE(std::regex_match(lines[i], whole)) << "line " << i << ": " << lines[i];
}

// A worker still writing while the program ends and restarts the log: under
// the sanitizers this caught a write through a lock that End had freed.
TEST(LogPrint, EndWhileAnotherThreadWritesIsSafe) {
    TempDir dir;
    dir.Write("INI_LOG.ini", "[LOG_INFO]\nDEF_LOG_NAME=r.log\nLOG_LEVEL0=6\n");
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        while (!stop.load())
            HLOG_D4("%s", "worker line");
    });
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(HLogPrint::Begin(dir.Path()));
        HLogPrint::End();
    }
    stop.store(true);
    writer.join();
    EXPECT_FALSE(HLogPrint::IsOn());
    // Every line the worker got in is whole.
    const std::regex whole(R"(\S+ \S+ \[(D1|D4)\] .* \(File:\[.*\] Line:\[\d+\]\))");
    for (const std::string& line : Lines(dir.Read("r.log")))
        ASSERT_TRUE(std::regex_match(line, whole)) << line;
}
