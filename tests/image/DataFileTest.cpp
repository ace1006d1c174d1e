#include "HChannels.h"
#include "HDataFile.h"
#include "HStringTable.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <sys/resource.h>
#include <tuple>

namespace {

HMemoryImage Pattern(std::uint8_t seed) {
    HMemoryImage img{};
    for (std::size_t i = 0; i < img.size(); ++i)
        img[i] = static_cast<std::uint8_t>(i * 7 + seed);
    return img;
}

std::string Bytes(const HMemoryImage& img) {
    return std::string(img.begin(), img.end());
}

} // namespace

// Any image, saved and loaded, is the same bytes; loaded into the channel model
// and saved it settles within two passes (a count word that decodes to 0 Hz is
// saved as "no frequency", which loads back as the band's default once).
TEST(DataFile, LoadingAndSavingAnyImageSettlesWithinTwoPasses) {
    constexpr unsigned kSeed = 20261208;
    std::mt19937 random(kSeed);
    TempDir dir;
    const std::string path = dir.File("radio.R57");
    for (int n = 0; n < 40; ++n) {
        SCOPED_TRACE("seed " + std::to_string(kSeed) + ", image " + std::to_string(n));
        HMemoryImage original{};
        for (std::uint8_t& b : original)
            b = static_cast<std::uint8_t>(random());
        ASSERT_TRUE(HDataFile::Write(path, original).Ok());
        EXPECT_EQ(dir.Read("radio.R57"), Bytes(original));
        EXPECT_EQ(HDataFile::Check(path), HDataFileStatus::Ok);
        HMemoryImage loaded{}, opened{};
        ASSERT_TRUE(HDataFile::Read(path, loaded).Ok() && HDataFile::Open(path, opened).Ok());
        EXPECT_EQ(loaded, original);
        EXPECT_EQ(opened, original);

        HMemoryImage img = opened;
        HChannels model;
        int passes = 0;
        for (HMemoryImage next{}; passes < 3; ++passes, img = next) {
            model.Load(img);
            next = img;
            model.Save(next);
            if (next == img)
                break;
        }
        EXPECT_LE(passes, 2) << "the image still changed after two saves";
        ASSERT_TRUE(HDataFile::Write(path, img).Ok());
        ASSERT_TRUE(HDataFile::Open(path, opened).Ok());
        EXPECT_EQ(opened, img);
    }
}

TEST(DataFile, UnreadableFilesAreRefusedAndLeaveTheImageUnchanged) {
    TempDir dir;
    const HMemoryImage before = Pattern(9);
    HMemoryImage img = before;
    const std::string missing = dir.File("missing.R57");
    EXPECT_EQ(HDataFile::Check(missing), HDataFileStatus::NotFound);
    HDataFileResult r = HDataFile::Read(missing, img);
    EXPECT_EQ(r.message, "Problem opening file\r\nFile Name = " + missing);
    EXPECT_EQ(std::make_pair(r.messageId, HDataFile::Open(missing, img).messageId),
              std::make_pair(32, 32));
    EXPECT_EQ(r.detail, "The file does not exist.");
    // A directory is no data file, whatever it holds; message 37 does not name
    // the file, so the detail does.
    const HDataFileResult folder = HDataFile::Open(dir.Path(), img);
    EXPECT_EQ(folder.messageId, 37);
    EXPECT_EQ(folder.detail, "File Name = " + dir.Path() + "\r\nThis is a folder, not a file.");
    EXPECT_EQ(img, before);

    dir.Write("bad.R57", std::string(kImageSize + 1, '\x5A'));
    const std::string path = dir.File("bad.R57");
    // File > Open names the file not a data file ...
    HDataFileResult open = HDataFile::Open(path, img);
    EXPECT_EQ(std::make_tuple(open.status, open.messageId, open.message),
              std::make_tuple(HDataFileStatus::BadSize, 37, HStringTable::Get(37)));
    EXPECT_EQ(open.detail, "File Name = " + path +
                               "\r\nThe file holds 12704 bytes; a data file holds exactly 12703 "
                               "bytes.");
    // ... while a read from the recent-file list reports a read problem.
    HDataFileResult read = HDataFile::Read(path, img);
    EXPECT_EQ(std::make_pair(read.messageId, read.message),
              std::make_pair(34, "Problem reading from file\r\nFile Name = " + path));
    EXPECT_EQ(read.detail, "The file holds 12704 bytes; a data file holds exactly 12703 bytes.");
    EXPECT_EQ(img, before);
}

TEST(DataFile, WriteRefusalsName35AndKeepTheOldFile) {
    TempDir dir;
    const HMemoryImage img = Pattern(5);
    // A directory where the file should be, and a folder that does not exist.
    std::filesystem::create_directory(dir.File("sub"));
    HDataFileResult r = HDataFile::Write(dir.File("sub"), img);
    EXPECT_EQ(std::make_tuple(r.status, r.messageId, r.message),
              std::make_tuple(HDataFileStatus::OpenFailed, 35,
                              "Problem opening file\r\n" + dir.File("sub")));
    EXPECT_EQ(r.detail, "This is a folder, not a file.");
    std::filesystem::create_symlink("/dev/full", dir.File("full.R57"));
    EXPECT_EQ(HDataFile::Write(dir.File("full.R57"), img).detail,
              "This is not a regular file (a device, pipe or socket).");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("full.R57")));
    EXPECT_EQ(HDataFile::Write(dir.File("nowhere/x.R57"), img).messageId, 35);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("sub")));

    // A file nobody may write is kept, also for a user whose rights would
    // allow it (root); once writable again it is replaced.
    ASSERT_TRUE(HDataFile::Write(dir.File("locked.R57"), Pattern(1)).Ok());
    std::filesystem::permissions(dir.File("locked.R57"), std::filesystem::perms::owner_read);
    EXPECT_EQ(HDataFile::Write(dir.File("locked.R57"), img).messageId, 35);
    EXPECT_EQ(dir.Read("locked.R57"), Bytes(Pattern(1)));
    std::filesystem::permissions(dir.File("locked.R57"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    EXPECT_TRUE(HDataFile::Write(dir.File("locked.R57"), img).Ok());
    EXPECT_EQ(dir.Read("locked.R57"), Bytes(img));
}

TEST(DataFile, FailedSaveLeavesThePreviousFileIntact) {
    TempDir dir;
    const HMemoryImage oldImage = Pattern(11);
    const std::string path = dir.File("keep.R57");
    ASSERT_TRUE(HDataFile::Write(path, oldImage).Ok());

    // Make every write beyond 4 KiB fail, as a full disk would (works for root too).
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = saved;
    tight.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    HDataFileResult r = HDataFile::Write(path, Pattern(99));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(std::make_tuple(r.status, r.messageId, r.message),
              std::make_tuple(HDataFileStatus::WriteFailed, 33, "Problem writing to file"));
    EXPECT_EQ(r.detail, "File Name = " + path + "\r\nReason: File too large");
    EXPECT_EQ(dir.Read("keep.R57"), Bytes(oldImage));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(DataFile, SaveReachesTheFileBehindALinkAndInALockedFolder) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("real"));
    ASSERT_TRUE(HDataFile::Write(dir.File("real/radio.R57"), Pattern(1)).Ok());
    std::filesystem::create_symlink("real/radio.R57", dir.File("link.R57"));
    ASSERT_TRUE(HDataFile::Write(dir.File("link.R57"), Pattern(2)).Ok());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.R57")));
    EXPECT_EQ(dir.Read("real/radio.R57"), Bytes(Pattern(2)));

    // The folder takes no new file, but the file in it may still be saved.
    std::filesystem::permissions(dir.File("real"), std::filesystem::perms::owner_read |
                                                       std::filesystem::perms::owner_exec);
    const HDataFileResult saved = HDataFile::Write(dir.File("real/radio.R57"), Pattern(3));
    std::filesystem::permissions(dir.File("real"), std::filesystem::perms::owner_all);
    EXPECT_TRUE(saved.Ok()) << saved.reason;
    EXPECT_EQ(dir.Read("real/radio.R57"), Bytes(Pattern(3)));
}
