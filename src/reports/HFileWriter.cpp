#include "HFileWriter.h"

#include "HFileUtil.h"
#include "HLogPrint.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kOpenError = "00";
constexpr std::string_view kWriteError = "01";

std::string SystemReason(int error) {
    return std::strerror(error);
}

std::string DirectoryOf(const std::string& path) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

} // namespace

HFileWriter::HFileWriter() {
    m_settings.reserve(10);
    SetSetting("ErrorCode", "None");
}

HFileWriter::~HFileWriter() {
    // Never committed: a regular file keeps its old content.
    if (m_fd >= 0)
        ::close(m_fd);
}

void HFileWriter::SetSetting(std::string_view name, std::string_view value) {
    m_settings[std::string(name)] = std::string(value);
}

std::string HFileWriter::GetSetting(std::string_view name) const {
    const auto it = m_settings.find(std::string(name));
    return it == m_settings.end() ? std::string() : it->second;
}

void HFileWriter::Fail(std::string_view code, std::string reason) {
    SetSetting("ErrorCode", code);
    m_reason = std::move(reason);
    HLOG_ER("HFileWriter: ErrorCode %.*s [%s] %s", static_cast<int>(code.size()), code.data(),
            GetSetting("FilePath").c_str(), m_reason.c_str());
}

bool HFileWriter::Open() {
    if (IsOpen())
        return true;
    if (GetSetting("Dialog") == "ON") {
        if (m_chooser == nullptr) {
            m_reason = "no file dialog to choose the file";
            return false;
        }
        const std::optional<std::string> chosen =
            m_chooser->ChooseSaveFile(GetSetting("Extension"), GetSetting("Filter"));
        if (!chosen)
            return false;
        SetSetting("FilePath", *chosen);
    }
    return OpenPath(GetSetting("FilePath"), GetSetting("FileOpenType"));
}

bool HFileWriter::OpenPath(const std::string& path, const std::string& mode) {
    if (path.empty()) {
        Fail(kOpenError, "no file name");
        return false;
    }
    if (mode.empty() || (mode[0] != 'w' && mode[0] != 'a')) {
        Fail(kOpenError, "file open type '" + mode + "' does not write");
        return false;
    }
    const bool append = mode[0] == 'a';
    std::string error;
    const std::string target = ResolveLinks(path, &error);
    if (target.empty()) {
        Fail(kOpenError, error);
        return false;
    }
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            Fail(kOpenError, SystemReason(EISDIR));
            return false;
        }
        if (!S_ISREG(st.st_mode)) {
            // A device or a FIFO cannot be replaced: write into it as we go.
            // Non-blocking open so that a FIFO nobody reads fails at once.
            const int fd =
                ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | (append ? O_APPEND : 0));
            if (fd < 0) {
                Fail(kOpenError, SystemReason(errno));
                return false;
            }
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            m_fd = fd;
            m_state = State::Stream;
            return true;
        }
        if (IsReadOnlyFile(target)) {
            Fail(kOpenError, SystemReason(EACCES));
            return false;
        }
        m_buffer.clear();
        if (append) {
            HFileRead old = ReadRegularFile(target);
            if (!old.Ok()) {
                Fail(kOpenError, old.reason);
                return false;
            }
            m_buffer.assign(old.bytes.begin(), old.bytes.end());
        }
    } else if (errno != ENOENT) {
        Fail(kOpenError, SystemReason(errno));
        return false;
    } else {
        if (::access(DirectoryOf(target).c_str(), W_OK | X_OK) != 0) {
            Fail(kOpenError, SystemReason(errno));
            return false;
        }
        m_buffer.clear();
    }
    m_target = target;
    m_state = State::Buffered;
    return true;
}

bool HFileWriter::WriteData(std::string_view text) {
    switch (m_state) {
    case State::Closed:
        Fail(kWriteError, "the file is not open");
        return false;
    case State::Buffered:
        m_buffer.append(text);
        return true;
    case State::Stream:
        while (!text.empty()) {
            const ssize_t n = ::write(m_fd, text.data(), text.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                Fail(kWriteError, SystemReason(n < 0 ? errno : EIO));
                return false;
            }
            text.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }
    return false;
}

bool HFileWriter::Close() {
    const State state = m_state;
    m_state = State::Closed;
    if (state == State::Buffered) {
        std::string error;
        const bool written = WriteWholeFileAtomic(m_target, m_buffer, &error);
        m_buffer.clear();
        if (!written) {
            Fail(kWriteError, error);
            return false;
        }
    } else if (state == State::Stream) {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0) {
            Fail(kWriteError, SystemReason(errno));
            return false;
        }
    }
    return true;
}

HCsvWriter::HCsvWriter() {
    SetSetting("Separator", ",");
    SetSetting("Quotes", "\"");
    SetSetting("DataEnd", "\n");
    SetSetting("Extension", ".csv");
    SetSetting("Filter", "text Files(*.csv)|*.csv||");
}

std::string HCsvWriter::BuildLine(std::span<const std::string> row) const {
    const std::string separator = GetSetting("Separator");
    const std::string quotes = GetSetting("Quotes");
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0)
            line += separator;
        line += quotes;
        if (quotes.empty()) {
            line += row[i];
        } else {
            // A quote inside the field is doubled, or the reader would end the
            // field there.
            std::string_view rest = row[i];
            for (std::size_t at = rest.find(quotes); at != std::string_view::npos;
                 at = rest.find(quotes)) {
                line.append(rest.substr(0, at + quotes.size()));
                line += quotes;
                rest.remove_prefix(at + quotes.size());
            }
            line += rest;
        }
        line += quotes;
    }
    line += GetSetting("DataEnd");
    return line;
}

bool HCsvWriter::WriteRow(std::span<const std::string> row) {
    return WriteData(BuildLine(row));
}
