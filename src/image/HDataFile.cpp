#include "HDataFile.h"

#include "HFileUtil.h"
#include "HLogPrint.h"
#include "HStringTable.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct RawRead {
    HDataFileStatus status = HDataFileStatus::Ok;
    bool openFailed = false;
    std::string reason;
    std::string detail; // for the user: what was wrong with the file
};

std::string SystemReason(int error) {
    return HStringTable::Format(HStringTable::kDetailReason, {std::strerror(error)});
}

// What a name that is no regular file is, for the user.
std::string NotAFileDetail(mode_t mode) {
    return HStringTable::Get(S_ISDIR(mode) ? HStringTable::kDetailDirectory
                                           : HStringTable::kDetailNotAFile);
}

// Closes a descriptor on every way out.
class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    [[nodiscard]] int Get() const { return m_fd; }

private:
    int m_fd;
};

ssize_t ReadSome(int fd, std::uint8_t* buf, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd, buf, size);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

// Reads exactly one image from the file into `out`. Only regular files count:
// a pipe or a device has no size to check and could block or never end.
RawRead ReadExact(const std::string& path, HMemoryImage& out) {
    RawRead r;
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) {
        r.status = HDataFileStatus::NotFound;
        r.openFailed = true;
        r.reason = std::strerror(errno);
        r.detail =
            errno == ENOENT ? HStringTable::Get(HStringTable::kDetailMissing) : SystemReason(errno);
        return r;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) {
        r.status = HDataFileStatus::NotFound;
        r.reason = std::strerror(errno);
        r.detail = SystemReason(errno);
        return r;
    }
    if (!S_ISREG(st.st_mode)) {
        r.status = HDataFileStatus::BadSize;
        r.reason = "not a regular file";
        r.detail = NotAFileDetail(st.st_mode);
        return r;
    }
    if (st.st_size != static_cast<off_t>(kImageSize)) {
        r.status = HDataFileStatus::BadSize;
        r.reason = "size " + std::to_string(static_cast<long long>(st.st_size));
        r.detail = HStringTable::Format(
            HStringTable::kDetailWrongSize,
            {std::to_string(static_cast<long long>(st.st_size)), std::to_string(kImageSize)});
        return r;
    }
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ReadSome(fd.Get(), out.data() + done, out.size() - done);
        if (n <= 0) {
            r.status = HDataFileStatus::CannotRead;
            r.reason = n < 0 ? std::strerror(errno) : "file ended early";
            r.detail =
                n < 0 ? SystemReason(errno)
                      : HStringTable::Format(HStringTable::kDetailWrongSize,
                                             {std::to_string(done), std::to_string(kImageSize)});
            return r;
        }
        done += static_cast<std::size_t>(n);
    }
    // A file that grew since its size was checked is not the file that was checked.
    std::uint8_t extra = 0;
    const ssize_t n = ReadSome(fd.Get(), &extra, 1);
    if (n != 0) {
        r.status = n > 0 ? HDataFileStatus::BadSize : HDataFileStatus::CannotRead;
        r.reason = n > 0 ? "file longer than its size" : std::strerror(errno);
        r.detail = n > 0 ? HStringTable::Format(
                               HStringTable::kDetailWrongSize,
                               {"> " + std::to_string(kImageSize), std::to_string(kImageSize)})
                         : SystemReason(errno);
    }
    return r;
}

HDataFileResult Failure(HDataFileStatus status, int id, const std::string& path, std::string reason,
                        const std::string& detail) {
    HDataFileResult res;
    res.status = status;
    res.messageId = id;
    res.message = HStringTable::Format(id, {path});
    res.reason = std::move(reason);
    // A message that does not name the file is followed by its name.
    if (HStringTable::Get(id).find("%1") == std::string::npos)
        res.detail = HStringTable::Format(HStringTable::kDetailFileName, {path}) + "\r\n";
    res.detail += detail;
    HLOG_ER("data file %s: message %d (%s)", path.c_str(), id, res.reason.c_str());
    return res;
}

} // namespace

namespace HDataFile {

HDataFileStatus Check(const std::string& path) {
    HMemoryImage scratch{};
    return ReadExact(path, scratch).status;
}

HDataFileResult Read(const std::string& path, HMemoryImage& image) {
    HMemoryImage buffer{};
    RawRead r = ReadExact(path, buffer);
    if (r.status != HDataFileStatus::Ok) {
        const int id = r.openFailed ? HStringTable::kFileOpenError : HStringTable::kFileReadError;
        return Failure(r.status, id, path, std::move(r.reason), r.detail);
    }
    image = buffer;
    return {};
}

HDataFileResult Open(const std::string& path, HMemoryImage& image) {
    HMemoryImage buffer{};
    RawRead r = ReadExact(path, buffer);
    switch (r.status) {
    case HDataFileStatus::Ok:
        image = buffer;
        return {};
    case HDataFileStatus::NotFound:
        return Failure(r.status, HStringTable::kFileOpenError, path, std::move(r.reason), r.detail);
    case HDataFileStatus::BadSize:
        return Failure(r.status, HStringTable::kFileFormatInvalid, path, std::move(r.reason),
                       r.detail);
    default:
        return Failure(r.status, HStringTable::kFileReadError, path, std::move(r.reason), r.detail);
    }
}

HDataFileResult CheckWritable(const std::string& path) {
    // An existing file that may not be written, or a path that is no file, is
    // refused as the target could not be opened. A link counts as the file it
    // names, which is the file a save updates.
    const auto refuse = [&](std::string reason, const std::string& detail) {
        return Failure(HDataFileStatus::OpenFailed, HStringTable::kFileOpenForWriteError, path,
                       std::move(reason), detail);
    };
    if (path.empty())
        return refuse("empty path", HStringTable::Get(HStringTable::kDetailMissing));
    std::string loop;
    const std::string target = ResolveLinks(path, &loop);
    if (target.empty())
        return refuse(loop, HStringTable::Format(HStringTable::kDetailReason, {loop}));
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return refuse("not a regular file", NotAFileDetail(st.st_mode));
        if (IsReadOnlyFile(target))
            return refuse("read-only file", HStringTable::Get(HStringTable::kDetailReadOnly));
        // An existing file is rewritten where it is; its directory is not asked.
        return {};
    }
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    if (::access(dir.c_str(), W_OK | X_OK) != 0) {
        const int error = errno;
        return refuse("directory " + dir + ": " + std::strerror(error), SystemReason(error));
    }
    return {};
}

HDataFileResult Write(const std::string& path, const HMemoryImage& image) {
    if (HDataFileResult check = CheckWritable(path); !check.Ok())
        return check;
    std::string reason;
    if (!WriteWholeFileAtomic(path, std::span<const std::uint8_t>(image), &reason))
        return Failure(HDataFileStatus::WriteFailed, HStringTable::kFileWriteError, path, reason,
                       HStringTable::Format(HStringTable::kDetailReason, {reason}));
    return {};
}

} // namespace HDataFile
