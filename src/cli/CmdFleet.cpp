#include "CmdFleet.h"

#include "HRadioDetect.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// A CSV field: quoted when it holds a separator, a quote or a line break.
std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

// The message on one line.
std::string OneLine(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r')
            continue;
        out += text[i] == '\n' ? std::string(" / ") : std::string(1, text[i]);
    }
    return out;
}

} // namespace

int FleetJournal::Open() {
    // Said as what it is before an open could say something stranger (a FIFO
    // without a reader: "No such device or address").
    if (struct stat st{}; ::stat(m_path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        m_error = m_path + ": not a regular file";
        return -1;
    }
    const int fd =
        ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        m_error = m_path + ": " + std::strerror(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        m_error = m_path + ": not a regular file";
        ::close(fd);
        return -1;
    }
    return fd;
}

bool FleetJournal::Check() {
    const int fd = Open();
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool FleetJournal::Append(const std::string& serial, const std::string& result,
                          const std::string& message, const std::string& values) {
    const int fd = Open();
    if (fd < 0)
        return false;
    std::string text;
    if (::lseek(fd, 0, SEEK_END) == 0)
        text = "time,serial,result,message,values\n";
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
    m_lastLine = std::string(stamp) + "," + Field(serial) + "," + result + "," +
                 Field(OneLine(message)) + "," + Field(OneLine(values));
    text += m_lastLine + "\n";
    const bool written =
        ::write(fd, text.data(), text.size()) == ssize_t(text.size()) && ::fsync(fd) == 0;
    if (!written)
        m_error = m_path + ": " + std::strerror(errno);
    ::close(fd);
    return written;
}

bool WaitForRadio(const std::string& device, int baud, const std::atomic<bool>& stop) {
    using namespace std::chrono_literals;
    while (!stop.load()) {
        const HRadioDetect::HListenReport report =
            HRadioDetect::Listen({device}, 1s, baud, &stop, true);
        if (!report.radios.empty())
            return true;
        // Away or hung up: look again shortly, without spinning.
        std::this_thread::sleep_for(100ms);
    }
    return false;
}
