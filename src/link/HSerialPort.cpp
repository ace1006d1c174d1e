#include "HSerialPort.h"

#include "HLogPrint.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct BaudEntry {
    std::uint32_t baud;
    speed_t code;
};
constexpr BaudEntry kBauds[] = {
    {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

bool BaudCode(std::uint32_t baud, speed_t& code) {
    for (const auto& e : kBauds) {
        if (e.baud == baud) {
            code = e.code;
            return true;
        }
    }
    return false;
}

int RemainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : int(std::min<long long>(left, 1 << 30));
}

// "pid 1234 (minicom)" for a process id, with its command name where readable.
std::string DescribeProcess(const std::string& pid) {
    std::ifstream comm("/proc/" + pid + "/comm");
    std::string name;
    std::getline(comm, name);
    return name.empty() ? "pid " + pid : "pid " + pid + " (" + name + ")";
}

// Processes holding an advisory lock on the device's inode, from /proc/locks.
std::vector<std::string> LockHolders(const struct stat& device) {
    std::vector<std::string> holders;
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        // "1: FLOCK  ADVISORY  WRITE 1234 00:1a:3 0 EOF": major and minor in hex.
        std::istringstream in(line);
        std::string number, kind, mode, access, pid, where;
        if (!(in >> number >> kind >> mode >> access >> pid >> where) || kind != "FLOCK")
            continue;
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(where.c_str(), "%x:%x:%llu", &major, &minor, &inode) != 3)
            continue;
        if (makedev(major, minor) == device.st_dev && inode == device.st_ino)
            holders.push_back(DescribeProcess(pid));
    }
    return holders;
}

// Processes with the device open, by the device number behind each descriptor.
// Other users' processes are not readable: the system does not tell about them.
std::vector<std::string> OpenHolders(const struct stat& device) {
    std::vector<std::string> holders;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return holders;
    while (const dirent* entry = ::readdir(proc)) {
        const std::string pid = entry->d_name;
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string fdDir = "/proc/" + pid + "/fd";
        DIR* fds = ::opendir(fdDir.c_str());
        if (!fds)
            continue;
        bool holds = false;
        while (const dirent* fd = ::readdir(fds)) {
            struct stat st {};
            if (fd->d_name[0] != '.' && ::stat((fdDir + "/" + fd->d_name).c_str(), &st) == 0 &&
                S_ISCHR(st.st_mode) && st.st_rdev == device.st_rdev) {
                holds = true;
                break;
            }
        }
        ::closedir(fds);
        if (holds)
            holders.push_back(DescribeProcess(pid));
    }
    ::closedir(proc);
    return holders;
}

} // namespace

// Who holds the port where the system can tell, and what to do.
std::string HSerialPort::BusyDetail(const std::string& device, bool lockHeld) {
    struct stat st {};
    std::vector<std::string> holders;
    if (::stat(device.c_str(), &st) == 0) {
        holders = lockHeld ? LockHolders(st) : std::vector<std::string>{};
        if (holders.empty())
            holders = OpenHolders(st);
    }
    std::string detail = device + ": the port is in use";
    if (holders.empty())
        return detail + " by another program; close it and try again";
    detail += " by ";
    for (std::size_t i = 0; i < holders.size(); ++i)
        detail += (i ? ", " : "") + holders[i];
    return detail + "; close that program and try again";
}

HSerialPort::~HSerialPort() {
    if (IsOpen())
        Close();
}

void HSerialPort::GetInterfaceHeader(std::span<std::uint8_t, kHeaderSize> out) const {
    std::copy(std::begin(m_header), std::end(m_header), out.begin());
}

void HSerialPort::SetInterfaceHeader(std::span<const std::uint8_t, kHeaderSize> in) {
    std::copy(in.begin(), in.end(), std::begin(m_header));
}

std::uint32_t HSerialPort::ClampPortNumber(std::uint32_t portNumber) {
    if (portNumber == 0)
        return 1;
    return std::min<std::uint32_t>(portNumber, 256);
}

std::string HSerialPort::DeviceNameForPort(std::uint32_t portNumber) {
    return "/dev/ttyS" + std::to_string(ClampPortNumber(portNumber) - 1);
}

std::string HSerialPort::DeviceName() const {
    return m_devicePath.empty() ? DeviceNameForPort(m_portNumber) : m_devicePath;
}

int HSerialPort::Open() {
    m_portNumber = ClampPortNumber(m_portNumber);
    m_openError.clear();
    m_openErrno = 0;
    if (IsOpen())
        Close();
    const std::string device = DeviceName();
    // Non-blocking: opening must not wait for a carrier, and every read and write
    // is governed by poll with the port's time-outs.
    m_fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        m_openErrno = errno;
        m_openError = device + ": " + std::strerror(m_openErrno);
        if (m_openErrno == EACCES || m_openErrno == EPERM)
            m_openError += " (add your user to the 'dialout' group: sudo usermod -aG dialout "
                           "$USER, then log in again)";
        else if (m_openErrno == EBUSY)
            m_openError = BusyDetail(device, false);
        HLOG_ER("Port Open Error! %s", m_openError.c_str());
        Close();
        return kSerialError;
    }
    // Exclusive use among cooperating programs. An advisory lock rather than
    // TIOCEXCL: it goes away with the descriptor, even when a program dies.
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        m_openErrno = errno;
        // Our own descriptor goes first, so that only the other holders are named.
        Close();
        m_openError = BusyDetail(device, true);
        HLOG_ER("Port Open Error! %s", m_openError.c_str());
        return kSerialError;
    }
    if (!::isatty(m_fd)) {
        m_openErrno = ENOTTY;
        m_openError = device + ": " + std::strerror(ENOTTY);
        HLOG_ER("Port Open Error! %s", m_openError.c_str());
        Close();
        return kSerialError;
    }
    struct stat st {};
    // Unix98 pseudo-terminal slaves have majors 136-143.
    m_isPty = ::fstat(m_fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 &&
              major(st.st_rdev) <= 143;
    // The 4096-byte queues are the kernel's own; nothing to request here.
    if (m_connectionMode != 0 && m_connectionMode != 1) {
        // The port stays open until Close, as the original did.
        m_openError = device + ": unsupported connection mode " + std::to_string(m_connectionMode);
        HLOG_ER("%s", m_openError.c_str());
        return kSerialError;
    }
    if (m_connectionMode == 1) {
        m_line.fDtrControl = 0;
        m_line.fRtsControl = 0;
    }
    if (ApplyLineSettings() != kSerialOk) {
        if (m_openError.empty())
            m_openError = device + ": " + std::strerror(errno);
        return kSerialError;
    }
    if (m_connectionMode == 1) {
        const std::uint8_t setup[kFrameSize] = {0x51, 0xAE, m_header[4], 0, 0, 0, 0, 0};
        if (WriteRaw(setup) != kSerialOk)
            HLOG_WR("interface unit setup frame not sent");
    }
    return kSerialOk;
}

int HSerialPort::ApplyLineSettings() {
    termios tio{};
    if (::tcgetattr(m_fd, &tio) != 0) {
        m_openError = DeviceName() + ": " + std::strerror(errno);
        HLOG_ER("tcgetattr: %s", m_openError.c_str());
        return kSerialError;
    }
    speed_t speed = B9600;
    if (!BaudCode(m_line.BaudRate, speed)) {
        m_openError = DeviceName() + ": unsupported baud rate " + std::to_string(m_line.BaudRate);
        HLOG_ER("%s", m_openError.c_str());
        return kSerialError;
    }
    // The stored settings replace the device's whole state: raw bytes, no
    // translation, no modem-status dependency.
    tio.c_iflag = 0;
    tio.c_oflag = 0;
    tio.c_lflag = 0;
    tio.c_cflag = CREAD | CLOCAL;
    switch (m_line.ByteSize) {
    case 5:
        tio.c_cflag |= CS5;
        break;
    case 6:
        tio.c_cflag |= CS6;
        break;
    case 7:
        tio.c_cflag |= CS7;
        break;
    default:
        tio.c_cflag |= CS8;
        break;
    }
    if (m_line.StopBits != 0)
        tio.c_cflag |= CSTOPB; // 1.5 stop bits do not exist here; two is the closer match
    switch (m_line.Parity) {
    case 1:
        tio.c_cflag |= PARENB | PARODD;
        break;
    case 2:
        tio.c_cflag |= PARENB;
        break;
    case 3:
        tio.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    case 4:
        tio.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        break;
    }
    if (m_line.fParity && m_line.Parity != 0)
        tio.c_iflag |= INPCK;
    if (m_line.fOutxCtsFlow)
        tio.c_cflag |= CRTSCTS;
    if (m_line.fOutX)
        tio.c_iflag |= IXON;
    if (m_line.fInX)
        tio.c_iflag |= IXOFF;
    tio.c_cc[VSTART] = static_cast<cc_t>(m_line.XonChar);
    tio.c_cc[VSTOP] = static_cast<cc_t>(m_line.XoffChar);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(m_fd, TCSANOW, &tio) != 0) {
        m_openError = DeviceName() + ": " + std::strerror(errno);
        HLOG_ER("tcsetattr: %s", m_openError.c_str());
        return kSerialError;
    }
    SetModemLines(m_line.fDtrControl == 1, m_line.fRtsControl == 1);
    return kSerialOk;
}

void HSerialPort::SetModemLines(bool dtr, bool rts) {
    int on = 0;
    int off = 0;
    (dtr ? on : off) |= TIOCM_DTR;
    (rts ? on : off) |= TIOCM_RTS;
    // A pseudo-terminal has no modem lines: worth a trace line, not a failure.
    if (on && ::ioctl(m_fd, TIOCMBIS, &on) != 0)
        HLOG_D1("modem lines not set on %s: %s", DeviceName().c_str(), std::strerror(errno));
    if (off && ::ioctl(m_fd, TIOCMBIC, &off) != 0)
        HLOG_D1("modem lines not cleared on %s: %s", DeviceName().c_str(), std::strerror(errno));
}

void HSerialPort::ClearModemLine(int line) {
    if (::ioctl(m_fd, TIOCMBIC, &line) != 0)
        HLOG_D1("modem line not cleared on %s: %s", DeviceName().c_str(), std::strerror(errno));
}

void HSerialPort::Close() {
    if (m_connectionMode == 1) {
        m_line.fDtrControl = 1;
        m_line.fRtsControl = 1;
        if (m_fd >= 0)
            (void)ApplyLineSettings();
    }
    if (m_fd < 0)
        return;
    ClearModemLine(TIOCM_DTR);
    ::tcflush(m_fd, m_isPty ? TCIFLUSH : TCIOFLUSH); // see PurgeTransmit
    ::close(m_fd);
    m_isPty = false;
    m_fd = -1;
}

int HSerialPort::WriteRaw(std::span<const std::uint8_t> bytes) {
    if (m_fd < 0)
        return kSerialError;
    const auto deadline =
        Clock::now() + std::chrono::milliseconds(m_timeouts.WriteTotalTimeoutConstant +
                                                 m_timeouts.WriteTotalTimeoutMultiplier *
                                                     std::uint64_t(bytes.size()));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += std::size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return kSerialError;
        pollfd p{m_fd, POLLOUT, 0};
        const int left = RemainingMs(deadline);
        if (left == 0)
            return kSerialError;
        const int r = ::poll(&p, 1, left);
        if (r < 0 && errno != EINTR)
            return kSerialError;
        if (r > 0 && (p.revents & (POLLERR | POLLNVAL)))
            return kSerialError;
    }
    return kSerialOk;
}

int HSerialPort::Write(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > kMaxWrite)
        return kSerialError;
    if (m_connectionMode != 0 && m_connectionMode != 1)
        return kSerialError;
    if (m_connectionMode == 1) {
        const std::uint8_t header[kFrameSize] = {0x50,
                                                 0xAF,
                                                 m_header[0],
                                                 m_header[1],
                                                 m_header[2],
                                                 m_header[3],
                                                 std::uint8_t(bytes.size() & 0xFF),
                                                 std::uint8_t((bytes.size() >> 8) & 0xFF)};
        if (WriteRaw(header) != kSerialOk)
            return kSerialError;
    }
    if (WriteRaw(bytes) != kSerialOk)
        return kSerialError;
    // Like the original's synchronous write: return once the bytes have left, so
    // a purge before the next request cannot discard them. Without flow control
    // this wait is bounded by the line rate.
    if (!m_line.fOutxCtsFlow && !m_line.fOutX)
        ::tcdrain(m_fd);
    if (m_echoOff)
        return kSerialOk;
    // The one-wire cable hands our own bytes back; the link is not trusted when
    // they do not all come back.
    std::vector<std::uint8_t> echo(bytes.size());
    std::size_t got = 0;
    return ReadRaw(echo, got) == kSerialOk ? kSerialOk : kSerialError;
}

int HSerialPort::WriteByte(std::uint8_t byte) {
    return Write(std::span(&byte, 1));
}

int HSerialPort::ReadRaw(std::span<std::uint8_t> out, std::size_t& got) {
    got = 0;
    if (m_fd < 0)
        return kSerialError;
    const auto deadline =
        Clock::now() + std::chrono::milliseconds(m_timeouts.ReadTotalTimeoutConstant +
                                                 m_timeouts.ReadTotalTimeoutMultiplier *
                                                     std::uint64_t(out.size()));
    while (got < out.size()) {
        const ssize_t n = ::read(m_fd, out.data() + got, out.size() - got);
        if (n > 0) {
            got += std::size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return kSerialTimeout; // a failed read counts as a short one
        int wait = RemainingMs(deadline);
        // After the first byte, a pause longer than the interval ends the read.
        if (got > 0 && m_timeouts.ReadIntervalTimeout > 0)
            wait = std::min<int>(wait, int(m_timeouts.ReadIntervalTimeout));
        if (wait == 0)
            return kSerialTimeout;
        pollfd p{m_fd, POLLIN, 0};
        const int r = ::poll(&p, 1, wait);
        if (r == 0)
            return kSerialTimeout;
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return kSerialTimeout;
        }
        if (p.revents & POLLNVAL)
            return kSerialTimeout;
        if ((p.revents & (POLLERR | POLLHUP)) && !(p.revents & POLLIN)) {
            // The other end is gone; nothing more will come before the deadline.
            return kSerialTimeout;
        }
    }
    return kSerialOk;
}

int HSerialPort::Read(std::span<std::uint8_t> out) {
    // The device's error state needs no clearing here: termios reports line
    // errors in-band (and we ask for none), it never blocks the port.
    if (m_fd < 0) {
        m_lastReadCount = 0;
        return kSerialError;
    }
    std::size_t got = 0;
    const int r = ReadRaw(out, got);
    m_lastReadCount = got;
    return r;
}

int HSerialPort::ReadByte(std::uint8_t& out) {
    return Read(std::span(&out, 1));
}

void HSerialPort::PurgeReceive() {
    if (m_fd >= 0)
        ::tcflush(m_fd, TCIFLUSH);
}

void HSerialPort::PurgeTransmit() {
    // On a pseudo-terminal the "output queue" is the peer's unread input: bytes a
    // real line would already have carried. Flushing it would cut off our own
    // last frame (with echo off nothing waits for it), so there is nothing to
    // purge there. Our writes complete before returning, so a real port has
    // nothing pending either; the flush only clears what another program left.
    if (m_fd >= 0 && !m_isPty)
        ::tcflush(m_fd, TCOFLUSH);
}
