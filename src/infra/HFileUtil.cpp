#include "HFileUtil.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Reason() { return std::strerror(errno); }

} // namespace

std::optional<std::vector<std::uint8_t>> ReadWholeBinaryFile(const std::string& path,
                                                             std::string* error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = Reason();
        return std::nullopt;
    }
    std::vector<std::uint8_t> data;
    std::uint8_t buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (error)
                *error = Reason();
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        data.insert(data.end(), buf, buf + n);
    }
    ::close(fd);
    return data;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    auto bytes = ReadWholeBinaryFile(path);
    if (!bytes)
        return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

bool WriteWholeFileAtomic(const std::string& path, std::span<const std::uint8_t> bytes,
                          std::string* error) {
    std::string tmp = path + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        if (error)
            *error = Reason();
        return false;
    }
    // Keep the target's permissions when it exists; otherwise the usual 0666 & ~umask.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        ::fchmod(fd, st.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (error)
                *error = Reason();
            ::close(fd);
            ::unlink(tmp.c_str());
            return false;
        }
        done += std::size_t(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        if (error)
            *error = Reason();
        ::unlink(tmp.c_str());
        return false;
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        if (error)
            *error = Reason();
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
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
