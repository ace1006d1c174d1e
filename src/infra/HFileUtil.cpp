#include "HFileUtil.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Reason() {
    return std::strerror(errno);
}

void SetError(std::string* error, const std::string& text) {
    if (error)
        *error = text;
}

// Closes a descriptor on every way out.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { Reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    [[nodiscard]] int Get() const { return m_fd; }
    void Reset(int fd = -1) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes now, so that a failing close is seen.
    bool Close() {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

std::string DirOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAllAt(int fd, const std::uint8_t* data, std::size_t size, off_t offset) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, offset + off_t(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        done += std::size_t(n);
    }
    return true;
}

// Reads what an open regular file holds, at most `maxBytes`.
HFileRead ReadOpenFile(int fd, std::size_t maxBytes) {
    HFileRead r;
    std::uint8_t buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            r.status = HFileReadStatus::Failed;
            r.reason = Reason();
            r.bytes.clear();
            return r;
        }
        if (n == 0)
            return r;
        if (r.bytes.size() + std::size_t(n) > maxBytes) {
            r.status = HFileReadStatus::TooLarge;
            r.reason = "larger than " + std::to_string(maxBytes) + " bytes";
            r.bytes.clear();
            return r;
        }
        r.bytes.insert(r.bytes.end(), buf, buf + n);
    }
}

void SyncDir(const std::string& dir) {
    Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Get() >= 0)
        ::fsync(fd.Get());
}

// Creates a new file from `pattern` (ending in XXXXXX) holding `bytes`, synced.
// Returns its descriptor still open, or -1 with errno set.
int WriteNewFile(std::string& pattern, std::span<const std::uint8_t> bytes) {
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (!WriteAllAt(fd, bytes.data(), bytes.size(), 0) || ::fsync(fd) != 0) {
        const int saved = errno;
        ::close(fd);
        ::unlink(pattern.c_str());
        errno = saved;
        return -1;
    }
    return fd;
}

enum class RenameOutcome { Done, Failed, CannotKeep };

// Writes a temporary file beside `target` and renames it over it. `old` is the
// target's status when it exists: its mode and owner go to the new file, and
// CannotKeep says the owner could not be kept (nothing was changed).
RenameOutcome WriteByRename(const std::string& target, const struct stat* old,
                            std::span<const std::uint8_t> bytes, std::string* error) {
    std::string tmp = target + ".XXXXXX";
    Fd fd(::mkostemp(tmp.data(), O_CLOEXEC));
    if (fd.Get() < 0) {
        if (old && (errno == EACCES || errno == EPERM))
            return RenameOutcome::CannotKeep;
        SetError(error, Reason());
        return RenameOutcome::Failed;
    }
    const auto fail = [&](RenameOutcome outcome) {
        if (outcome == RenameOutcome::Failed)
            SetError(error, Reason());
        fd.Reset();
        ::unlink(tmp.c_str());
        return outcome;
    };
    if (old) {
        struct stat mine {};
        if (::fstat(fd.Get(), &mine) != 0)
            return fail(RenameOutcome::Failed);
        if ((mine.st_uid != old->st_uid || mine.st_gid != old->st_gid) &&
            ::fchown(fd.Get(), old->st_uid, old->st_gid) != 0)
            return fail(RenameOutcome::CannotKeep);
        // After the owner: a change of owner clears the set-id bits.
        if (::fchmod(fd.Get(), old->st_mode & 07777) != 0)
            return fail(RenameOutcome::Failed);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(fd.Get(), 0666 & ~mask) != 0)
            return fail(RenameOutcome::Failed);
    }
    if (!WriteAllAt(fd.Get(), bytes.data(), bytes.size(), 0) || ::fsync(fd.Get()) != 0 ||
        !fd.Close())
        return fail(RenameOutcome::Failed);
    if (::rename(tmp.c_str(), target.c_str()) != 0) {
        const bool denied = errno == EACCES || errno == EPERM;
        return fail(old && denied ? RenameOutcome::CannotKeep : RenameOutcome::Failed);
    }
    SyncDir(DirOf(target));
    return RenameOutcome::Done;
}

// Where a copy of the old content can go when the file's own directory takes
// no new file: the user's temporary directory.
std::vector<std::string> CopyDirsFor(const std::string& target) {
    std::vector<std::string> dirs{DirOf(target)};
    if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp)
        dirs.emplace_back(tmp);
    dirs.emplace_back("/tmp");
    return dirs;
}

// Rewrites `target` in its own inode, so that every hard link, the owner and
// the mode stay as they are.
bool WriteInPlace(const std::string& target, const struct stat& expected,
                  std::span<const std::uint8_t> bytes, std::string* error) {
    Fd fd(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.Get() < 0) {
        SetError(error, Reason());
        return false;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) {
        SetError(error, Reason());
        return false;
    }
    if (!S_ISREG(st.st_mode) || st.st_ino != expected.st_ino || st.st_dev != expected.st_dev) {
        SetError(error, "the file changed while it was being saved");
        return false;
    }
    HFileRead old = ReadOpenFile(fd.Get(), std::max<std::size_t>(kMaxReadBytes, bytes.size()));
    if (!old.Ok()) {
        SetError(error, "cannot read the old content: " + old.reason);
        return false;
    }

    // A copy of the old content on disk first: whatever happens from here on,
    // the old or the new content exists somewhere.
    std::string copy;
    std::string copyReason;
    for (const std::string& dir : CopyDirsFor(target)) {
        std::string pattern = dir + "/." + NameOf(target) + ".old-XXXXXX";
        const int copyFd = WriteNewFile(pattern, old.bytes);
        if (copyFd >= 0) {
            ::close(copyFd);
            SyncDir(dir);
            copy = pattern;
            break;
        }
        if (copyReason.empty())
            copyReason = Reason();
    }
    if (copy.empty()) {
        SetError(error, "cannot keep a copy of the old content: " + copyReason);
        return false;
    }

    if (WriteAllAt(fd.Get(), bytes.data(), bytes.size(), 0) &&
        ::ftruncate(fd.Get(), off_t(bytes.size())) == 0 && ::fsync(fd.Get()) == 0) {
        ::unlink(copy.c_str());
        return true;
    }
    const std::string why = Reason();
    if (WriteAllAt(fd.Get(), old.bytes.data(), old.bytes.size(), 0) &&
        ::ftruncate(fd.Get(), off_t(old.bytes.size())) == 0 && ::fsync(fd.Get()) == 0) {
        ::unlink(copy.c_str());
        SetError(error, why);
    } else {
        SetError(error, why + "; the previous content is kept in " + copy);
    }
    return false;
}

} // namespace

HFileRead ReadRegularFile(const std::string& path, std::size_t maxBytes) {
    HFileRead r;
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.Get() < 0) {
        r.status = errno == ENOENT ? HFileReadStatus::Missing : HFileReadStatus::Failed;
        r.reason = Reason();
        return r;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) {
        r.status = HFileReadStatus::Failed;
        r.reason = Reason();
        return r;
    }
    if (!S_ISREG(st.st_mode)) {
        r.status = HFileReadStatus::NotRegular;
        r.reason = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        return r;
    }
    if (st.st_size < 0 || std::uintmax_t(st.st_size) > maxBytes) {
        r.status = HFileReadStatus::TooLarge;
        r.reason = "larger than " + std::to_string(maxBytes) + " bytes";
        return r;
    }
    return ReadOpenFile(fd.Get(), maxBytes);
}

std::optional<std::vector<std::uint8_t>> ReadWholeBinaryFile(const std::string& path,
                                                             std::string* error) {
    HFileRead r = ReadRegularFile(path);
    if (!r.Ok()) {
        SetError(error, r.reason);
        return std::nullopt;
    }
    return std::move(r.bytes);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    auto bytes = ReadWholeBinaryFile(path);
    if (!bytes)
        return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

std::string ResolveLinks(const std::string& path, std::string* error) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current; // a missing name is the file to create
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(current.c_str(), buf, sizeof buf - 1);
        if (n <= 0)
            return current;
        const std::string target(buf, std::size_t(n));
        current = target.front() == '/' ? target : DirOf(current) + "/" + target;
    }
    SetError(error, std::strerror(ELOOP));
    return {};
}

bool WriteWholeFileAtomic(const std::string& path, std::span<const std::uint8_t> bytes,
                          std::string* error) {
    const std::string target = ResolveLinks(path, error);
    if (target.empty())
        return false;
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            SetError(error, Reason());
            return false;
        }
        return WriteByRename(target, nullptr, bytes, error) == RenameOutcome::Done;
    }
    if (!S_ISREG(st.st_mode)) {
        SetError(error, S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "not a regular file");
        return false;
    }
    const std::string dir = DirOf(target);
    if (st.st_nlink == 1 && ::access(dir.c_str(), W_OK | X_OK) == 0) {
        const RenameOutcome outcome = WriteByRename(target, &st, bytes, error);
        if (outcome != RenameOutcome::CannotKeep)
            return outcome == RenameOutcome::Done;
    }
    return WriteInPlace(target, st, bytes, error);
}

bool WriteWholeFileAtomic(const std::string& path, const std::string& text, std::string* error) {
    return WriteWholeFileAtomic(
        path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), error);
}

bool IsReadOnlyFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    return ::access(path.c_str(), W_OK) != 0 || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}
