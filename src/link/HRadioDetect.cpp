#include "HRadioDetect.h"

#include "HLogPrint.h"
#include "HSerialPort.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <tuple>
#include <unistd.h>

namespace fs = std::filesystem;

namespace HRadioDetect {
namespace {

constexpr std::uint8_t kCheck = 0x50;

// "ttyUSB10" → ("ttyUSB", "10"); the number stays text, as long as it is.
std::pair<std::string, std::string> SplitNumber(const std::string& name) {
    std::size_t i = name.size();
    while (i > 0 && std::isdigit(static_cast<unsigned char>(name[i - 1])))
        --i;
    return {name.substr(0, i), name.substr(i)};
}

// Numbers as text in number order: fewer digits (leading zeros aside) first.
bool NumberBefore(const std::string& a, const std::string& b) {
    const std::string_view x =
        std::string_view(a).substr(std::min(a.find_first_not_of('0'), a.size()));
    const std::string_view y =
        std::string_view(b).substr(std::min(b.find_first_not_of('0'), b.size()));
    return std::tuple(x.size(), x, a) < std::tuple(y.size(), y, b);
}

speed_t SpeedOf(int baud) {
    switch (baud) {
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 4800:
        return B4800;
    default:
        return B9600;
    }
}

struct Listener {
    std::string device;
    int fd = -1;
    termios saved{};
    bool restore = false;
    bool heard = false;
    bool gone = false; // the other side hung up (a simulated radio that ended)
};

enum class OpenResult { Listening, Unusable, Busy };

OpenResult OpenForListening(Listener& l, int baud, std::string& why) {
    // No O_RDWR: the port is only ever read.
    l.fd = ::open(l.device.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (l.fd < 0) {
        if (errno == EBUSY) {
            why = HSerialPort::BusyDetail(l.device, false);
            return OpenResult::Busy;
        }
        why = l.device + ": " + std::strerror(errno);
        return OpenResult::Unusable;
    }
    // The lock a transfer holds: a port in use is left before a byte is read
    // or a setting changed, and a transfer started meanwhile finds it busy.
    if (::flock(l.fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(l.fd);
        l.fd = -1;
        why = HSerialPort::BusyDetail(l.device, true);
        return OpenResult::Busy;
    }
    termios tio{};
    if (::tcgetattr(l.fd, &tio) != 0) {
        why = l.device + ": not a serial device (" + std::strerror(errno) + ")";
        ::close(l.fd);
        l.fd = -1;
        return OpenResult::Unusable;
    }
    l.saved = tio;
    l.restore = true;
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD | CSTOPB;
    tio.c_cflag &= ~tcflag_t(PARENB);
    ::cfsetispeed(&tio, SpeedOf(baud));
    ::cfsetospeed(&tio, SpeedOf(baud));
    ::tcsetattr(l.fd, TCSANOW, &tio);
    return OpenResult::Listening;
}

} // namespace

std::vector<std::string> SerialDevices(const std::string& devDir) {
    std::vector<std::string> out;
    for (const std::string prefix : {"ttyUSB", "ttyACM", "ttyS"}) {
        std::vector<std::string> names;
        std::error_code ec;
        for (const fs::directory_entry& e : fs::directory_iterator(devDir, ec)) {
            const std::string name = e.path().filename().string();
            const auto [stem, number] = SplitNumber(name);
            if (stem == prefix && !number.empty())
                names.push_back(name);
        }
        std::ranges::sort(names, [](const std::string& a, const std::string& b) {
            return NumberBefore(SplitNumber(a).second, SplitNumber(b).second);
        });
        for (const std::string& name : names)
            out.push_back((fs::path(devDir) / name).string());
    }
    return out;
}

HListenReport Listen(const std::vector<std::string>& devices, std::chrono::milliseconds wait,
                     int baud, const std::atomic<bool>* stop, bool firstOnly) {
    HListenReport report;
    std::vector<Listener> listeners;
    std::vector<std::size_t> listenerEntry; // each listener's entry in report.checked
    for (const std::string& device : devices) {
        Listener l;
        l.device = device;
        std::string why;
        const OpenResult opened = OpenForListening(l, baud, why);
        report.checked.push_back({device,
                                  opened == OpenResult::Busy       ? HHeard::Busy
                                  : opened == OpenResult::Unusable ? HHeard::Unusable
                                                                   : HHeard::Silent,
                                  why});
        switch (opened) {
        case OpenResult::Listening:
            listeners.push_back(l);
            listenerEntry.push_back(report.checked.size() - 1);
            break;
        case OpenResult::Busy:
            HLOG_D3("detect: %s", why.c_str());
            report.busy.push_back(why);
            break;
        case OpenResult::Unusable:
            HLOG_D3("detect: %s", why.c_str());
            report.unusable.push_back(why);
            break;
        }
    }
    const auto end = std::chrono::steady_clock::now() + wait;
    bool done = listeners.empty();
    while (!done) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0 || (stop && stop->load()))
            break;
        std::vector<pollfd> fds;
        std::vector<std::size_t> which;
        for (std::size_t i = 0; i < listeners.size(); ++i)
            if (!listeners[i].gone) {
                fds.push_back({listeners[i].fd, POLLIN, 0});
                which.push_back(i);
            }
        if (fds.empty())
            break;
        // Short slices so that a stop request is seen soon.
        const int slice = int(std::min<long long>(left.count(), 100));
        if (::poll(fds.data(), fds.size(), slice) < 0 && errno != EINTR)
            break;
        for (std::size_t k = 0; k < fds.size(); ++k) {
            Listener& l = listeners[which[k]];
            if (!(fds[k].revents & POLLIN)) {
                l.gone = (fds[k].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
                continue;
            }
            std::uint8_t bytes[64];
            const ssize_t n = ::read(l.fd, bytes, sizeof bytes);
            if (n > 0 && std::find(bytes, bytes + n, kCheck) != bytes + n)
                l.heard = true;
            else if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
                l.gone = true;
        }
        done = std::ranges::all_of(listeners, [](const Listener& l) { return l.heard; }) ||
               (firstOnly &&
                std::ranges::any_of(listeners, [](const Listener& l) { return l.heard; }));
    }
    for (std::size_t i = 0; i < listeners.size(); ++i) {
        Listener& l = listeners[i];
        if (l.heard) {
            HLOG_D3("detect: Check from %s", l.device.c_str());
            report.radios.push_back(l.device);
            report.checked[listenerEntry[i]].heard = HHeard::Radio;
        }
        if (l.restore)
            ::tcsetattr(l.fd, TCSANOW, &l.saved);
        ::close(l.fd);
    }
    return report;
}

} // namespace HRadioDetect
