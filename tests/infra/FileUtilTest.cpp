#include "HFileUtil.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct stat StatOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}

bool IsSymlink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> out;
    for (const auto& entry : fs::directory_iterator(dir))
        out.push_back(entry.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

// Runs a write in a child whose files may grow to `limit` bytes only, as a
// full disk would stop it; true when the write reported success.
bool WriteUnderSizeLimit(const std::string& path, const std::string& text, rlim_t limit,
                         std::string* reason) {
    int pipeFd[2];
    if (::pipe(pipeFd) != 0)
        return true;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFd[0]);
        std::signal(SIGXFSZ, SIG_IGN); // the write then fails with EFBIG
        const rlimit rl{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &rl);
        std::string why;
        const bool ok = WriteWholeFileAtomic(path, text, &why);
        [[maybe_unused]] const ssize_t n = ::write(pipeFd[1], why.data(), why.size());
        ::_exit(ok ? 0 : 1);
    }
    ::close(pipeFd[1]);
    char buf[512];
    const ssize_t n = ::read(pipeFd[0], buf, sizeof buf);
    ::close(pipeFd[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (reason && n > 0)
        reason->assign(buf, std::size_t(n));
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(FileUtil, ReadRefusesWhatIsNoRegularFileWithoutWaiting) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    // Opening a FIFO without a writer for reading would block for ever.
    EXPECT_EQ(ReadRegularFile(dir.File("fifo")).status, HFileReadStatus::NotRegular);
    fs::create_symlink("/dev/zero", dir.File("zero"));
    EXPECT_EQ(ReadRegularFile(dir.File("zero")).status, HFileReadStatus::NotRegular);
    fs::create_directory(dir.File("sub"));
    const HFileRead folder = ReadRegularFile(dir.File("sub"));
    EXPECT_EQ(folder.status, HFileReadStatus::NotRegular);
    EXPECT_EQ(folder.reason, "Is a directory");
    EXPECT_EQ(ReadRegularFile(dir.File("none")).status, HFileReadStatus::Missing);
    dir.Write("big", std::string(101, 'x'));
    EXPECT_EQ(ReadRegularFile(dir.File("big"), 100).status, HFileReadStatus::TooLarge);
    const HFileRead fits = ReadRegularFile(dir.File("big"), 101);
    EXPECT_EQ(fits.bytes.size(), 101u);
}

TEST(FileUtil, SaveThroughSymbolicLinksUpdatesTheRealFile) {
    TempDir dir;
    fs::create_directory(dir.File("real"));
    dir.Write("real/data.r57", "old");
    // A relative link to a relative link: each resolved from its own directory.
    fs::create_symlink("real/data.r57", dir.File("inner"));
    fs::create_directory(dir.File("links"));
    fs::create_symlink("../inner", dir.File("links/outer"));
    ASSERT_TRUE(WriteWholeFileAtomic(dir.File("links/outer"), std::string("new")));
    EXPECT_TRUE(IsSymlink(dir.File("links/outer")));
    EXPECT_TRUE(IsSymlink(dir.File("inner")));
    EXPECT_EQ(dir.Read("real/data.r57"), "new");
    EXPECT_EQ(Names(dir.File("real")), std::vector<std::string>{"data.r57"});

    // A link whose file does not exist yet creates that file.
    fs::create_symlink("real/later.r57", dir.File("dangling"));
    ASSERT_TRUE(WriteWholeFileAtomic(dir.File("dangling"), std::string("made")));
    EXPECT_TRUE(IsSymlink(dir.File("dangling")));
    EXPECT_EQ(dir.Read("real/later.r57"), "made");

    fs::create_symlink("loop", dir.File("loop"));
    std::string why;
    EXPECT_FALSE(WriteWholeFileAtomic(dir.File("loop"), std::string("x"), &why));
    EXPECT_EQ(why, "Too many levels of symbolic links");
}

TEST(FileUtil, SaveKeepsHardLinksModeAndOwner) {
    TempDir dir;
    dir.Write("a.r57", "old content");
    ASSERT_EQ(::link(dir.File("a.r57").c_str(), dir.File("b.r57").c_str()), 0);
    ASSERT_EQ(::chmod(dir.File("a.r57").c_str(), 0640), 0);
    const ino_t inode = StatOf(dir.File("a.r57")).st_ino;
    ASSERT_TRUE(WriteWholeFileAtomic(dir.File("a.r57"), std::string("new")));
    EXPECT_EQ(dir.Read("b.r57"), "new"); // shorter than before: the tail is gone too
    EXPECT_EQ(StatOf(dir.File("a.r57")).st_ino, inode);
    EXPECT_EQ(StatOf(dir.File("a.r57")).st_nlink, 2u);
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"a.r57", "b.r57"}));

    // A file of its own is replaced, but with its mode and, where the system
    // lets us set it (root), its owner.
    dir.Write("own.r57", "old");
    ASSERT_EQ(::chmod(dir.File("own.r57").c_str(), 0604), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(dir.File("own.r57").c_str(), 4321, 4322), 0);
    }
    ASSERT_TRUE(WriteWholeFileAtomic(dir.File("own.r57"), std::string("new")));
    const struct stat own = StatOf(dir.File("own.r57"));
    EXPECT_EQ(own.st_mode & 07777, 0604u);
    EXPECT_EQ(own.st_uid, root ? 4321u : ::geteuid());
    EXPECT_EQ(own.st_gid, root ? 4322u : StatOf(dir.Path()).st_gid);
    EXPECT_EQ(dir.Read("own.r57"), "new");
}

TEST(FileUtil, FailingWriteLeavesTheOldContentEverywhere) {
    TempDir dir;
    const std::string old(100, 'o');
    const std::string large(12703, 'n');
    // Replaced by rename: the temporary file fails, the file is untouched.
    dir.Write("single.r57", old);
    std::string why;
    EXPECT_FALSE(WriteUnderSizeLimit(dir.File("single.r57"), large, 4096, &why));
    EXPECT_EQ(why, "File too large");
    EXPECT_EQ(dir.Read("single.r57"), old);
    // Rewritten in place: the write fails half way and the old content is put back.
    dir.Write("linked.r57", old);
    ASSERT_EQ(::link(dir.File("linked.r57").c_str(), dir.File("other.r57").c_str()), 0);
    EXPECT_FALSE(WriteUnderSizeLimit(dir.File("linked.r57"), large, 4096, &why));
    EXPECT_EQ(why, "File too large");
    EXPECT_EQ(dir.Read("linked.r57"), old);
    EXPECT_EQ(dir.Read("other.r57"), old);
    EXPECT_EQ(Names(dir.Path()),
              (std::vector<std::string>{"linked.r57", "other.r57", "single.r57"}));
}
