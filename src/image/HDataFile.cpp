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
};

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
        return r;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) {
        r.status = HDataFileStatus::NotFound;
        r.reason = std::strerror(errno);
        return r;
    }
    if (!S_ISREG(st.st_mode) || st.st_size != static_cast<off_t>(kImageSize)) {
        r.status = HDataFileStatus::BadSize;
        r.reason = "size " + std::to_string(static_cast<long long>(st.st_size));
        return r;
    }
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ReadSome(fd.Get(), out.data() + done, out.size() - done);
        if (n <= 0) {
            r.status = HDataFileStatus::CannotRead;
            r.reason = n < 0 ? std::strerror(errno) : "file ended early";
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
    }
    return r;
}

HDataFileResult Failure(HDataFileStatus status, int id, const std::string& path,
                        std::string reason) {
    HDataFileResult res;
    res.status = status;
    res.messageId = id;
    res.message = HStringTable::Format(id, {path});
    res.reason = std::move(reason);
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
        return Failure(r.status, id, path, std::move(r.reason));
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
        return Failure(r.status, HStringTable::kFileOpenError, path, std::move(r.reason));
    case HDataFileStatus::BadSize:
        return Failure(r.status, HStringTable::kFileFormatInvalid, path, std::move(r.reason));
    default:
        return Failure(r.status, HStringTable::kFileReadError, path, std::move(r.reason));
    }
}

HDataFileResult Write(const std::string& path, const HMemoryImage& image) {
    // An existing file that may not be written, or a path that is no file, is
    // refused as the target could not be opened; the atomic rename would
    // otherwise replace it regardless of its permissions.
    struct stat st {};
    const bool exists = !path.empty() && ::stat(path.c_str(), &st) == 0;
    if (path.empty() || (exists && (!S_ISREG(st.st_mode) || IsReadOnlyFile(path))))
        return Failure(HDataFileStatus::OpenFailed, HStringTable::kFileOpenForWriteError, path,
                       path.empty() ? "empty path" : "not a writable file");
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    if (::access(dir.c_str(), W_OK | X_OK) != 0)
        return Failure(HDataFileStatus::OpenFailed, HStringTable::kFileOpenForWriteError, path,
                       std::string("directory: ") + std::strerror(errno));
    std::string reason;
    if (!WriteWholeFileAtomic(path, std::span<const std::uint8_t>(image), &reason))
        return Failure(HDataFileStatus::WriteFailed, HStringTable::kFileWriteError, path,
                       std::move(reason));
    return {};
}

} // namespace HDataFile
