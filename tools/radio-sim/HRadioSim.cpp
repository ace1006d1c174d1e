#include "HRadioSim.h"

#include "HAdjustmentRecovery.h"
#include "HAlignmentData.h"
#include "HDefaultImage.h"
#include "HFileUtil.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr std::uint8_t kCheck = 0x50;
constexpr std::uint8_t kPowerOn = 0x40;
constexpr std::uint8_t kAdj = 0x30;
constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kNak = 0x15;
constexpr std::uint8_t kReadEeprom = 0xF0;
constexpr std::uint8_t kWriteEeprom = 0xF1;
constexpr std::uint8_t kReadFlash = 0xF2;
constexpr std::uint8_t kWriteFlash = 0xF3;
constexpr std::uint8_t kReset = 0x38;
constexpr int kLastPage = 0x5E;
// A frame whose bytes stop coming for this long is dropped, so a stray byte
// cannot make the radio misread every later frame.
constexpr auto kFrameGap = std::chrono::milliseconds(500);
// The radio restarts after a reset before it sends Check again.
constexpr auto kRestartTime = std::chrono::milliseconds(200);

std::uint8_t Sum(const std::vector<std::uint8_t>& bytes, std::size_t count) {
    unsigned s = 0;
    for (std::size_t i = 0; i < count && i < bytes.size(); ++i)
        s += bytes[i];
    return std::uint8_t(s & 0xFF);
}

bool ParseNumber(const std::string& text, long& out) {
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 0);
    if (errno != 0 || end == text.c_str() || *end != '\0' || v < 0)
        return false;
    out = v;
    return true;
}

bool ParseArea(const std::string& text, long& out) {
    if (text == "eeprom" || text == "EEPROM" || text == "0") {
        out = 0;
        return true;
    }
    if (text == "flash" || text == "FLASH" || text == "1") {
        out = 1;
        return true;
    }
    return false;
}

std::vector<std::string> Split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t pos = text.find(sep, start);
        parts.push_back(text.substr(start, pos - start));
        if (pos == std::string::npos)
            break;
        start = pos + 1;
    }
    return parts;
}

long SpeedToBaud(speed_t s) {
    switch (s) {
    case B50:
        return 50;
    case B75:
        return 75;
    case B110:
        return 110;
    case B134:
        return 134;
    case B150:
        return 150;
    case B200:
        return 200;
    case B300:
        return 300;
    case B600:
        return 600;
    case B1200:
        return 1200;
    case B1800:
        return 1800;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    case B230400:
        return 230400;
    case B460800:
        return 460800;
    case B921600:
        return 921600;
    default:
        return 9600;
    }
}

void Fill(HMemoryImage& m, std::size_t first, std::size_t last, std::uint8_t value) {
    std::fill(m.begin() + long(first), m.begin() + long(last) + 1, value);
}

void SetMark(HMemoryImage& m, std::size_t at, std::uint16_t mark) {
    m[at] = std::uint8_t(mark >> 8);
    m[at + 1] = std::uint8_t(mark & 0xFF);
}

} // namespace

HMemoryImage SimFactoryMemory() {
    HMemoryImage m = BuildDefaultImage();
    // A factory-fresh mobile set for this market.
    m[kSimProductionCodeOffset] = 5;
    m[kSimCustomCodeOffset] = 0;
    // Aligned at the factory: the working copy marked sound and kept again as
    // the shipping default, each with its own checksum.
    SetMark(m, HAdjustmentRecovery::kIdentityEeprom, HAdjustmentRecovery::kIdentityMark);
    HAdjustmentRecovery::EepromToFlash(m);
    HAlignmentData(HAlignmentData::HCopy::Working).RecomputeChecksum(m);
    HAlignmentData(HAlignmentData::HCopy::ShippingDefault).RecomputeChecksum(m);
    return m;
}

void DamageAdjustment(HMemoryImage& m, bool working, bool shipping) {
    // Byte 33 (and its backup 0x3011) also holds the model bits: a radio that
    // lost its adjustment data still tells which model it is. The marks are
    // lost differently: two copies whose identities read alike count as sound.
    if (working) {
        SetMark(m, HAdjustmentRecovery::kIdentityEeprom, 0xFFFF);
        Fill(m, HAlignmentMap::kWorkingSumFirst, 32, 0xFF);
    }
    if (shipping) {
        SetMark(m, HAdjustmentRecovery::kIdentityFlash, 0x0000);
        Fill(m, 0x3000, 0x3004, 0xFF);
        Fill(m, 0x300F, 0x3010, 0xFF);
        Fill(m, 0x3110, 0x3123, 0xFF);
    }
}

std::optional<HSimFault> ParseSimFault(const std::string& text) {
    const std::vector<std::string> p = Split(text, ':');
    HSimFault f;
    if (p[0] == "silent" && p.size() == 1) {
        f.kind = HSimFaultKind::Silent;
        return f;
    }
    if (p[0] == "no-echo" && p.size() == 1) {
        f.kind = HSimFaultKind::NoEcho;
        return f;
    }
    if (p[0] == "no-lock" && p.size() == 1) {
        f.kind = HSimFaultKind::NoLock;
        return f;
    }
    if ((p[0] == "drop-byte" || p[0] == "vanish-after" || p[0] == "nak" || p[0] == "write-fail" ||
         p[0] == "nak-command" || p[0] == "vcv-drift") &&
        p.size() == 2) {
        f.kind = p[0] == "drop-byte"      ? HSimFaultKind::DropByte
                 : p[0] == "vanish-after" ? HSimFaultKind::VanishAfter
                 : p[0] == "nak"          ? HSimFaultKind::Nak
                 : p[0] == "write-fail"   ? HSimFaultKind::WriteFail
                 : p[0] == "vcv-drift"    ? HSimFaultKind::VcvDrift
                                          : HSimFaultKind::NakCommand;
        if (f.kind == HSimFaultKind::VcvDrift)
            f.b = -1; // every test channel
        if (!ParseNumber(p[1], f.a))
            return std::nullopt;
        if (f.kind == HSimFaultKind::DropByte && f.a < 1)
            return std::nullopt; // bytes count from 1
        if (f.kind != HSimFaultKind::DropByte && f.kind != HSimFaultKind::VanishAfter && f.a > 0xFF)
            return std::nullopt;
        return f;
    }
    if (p[0] == "vcv-drift" && p.size() == 3) {
        f.kind = HSimFaultKind::VcvDrift;
        if (!ParseNumber(p[1], f.a) || f.a > 0xFF || !ParseNumber(p[2], f.b) || f.b > 2)
            return std::nullopt;
        return f;
    }
    if (p[0] == "damaged" && p.size() == 2) {
        f.kind = HSimFaultKind::Damaged;
        if (p[1] == "both")
            f.a = 2; // neither eeprom (0) nor flash (1): both copies
        else if (!ParseArea(p[1], f.a))
            return std::nullopt;
        return f;
    }
    if ((p[0] == "bad-checksum" || p[0] == "wrong-first") && p.size() == 3) {
        f.kind = p[0] == "bad-checksum" ? HSimFaultKind::BadChecksum : HSimFaultKind::WrongFirst;
        if (!ParseArea(p[1], f.a) || !ParseNumber(p[2], f.b) || f.b > 0xFF)
            return std::nullopt;
        return f;
    }
    return std::nullopt;
}

HRadioSim::HRadioSim(HSimConfig config) : m_config(std::move(config)) {
    m_alignment.SetNeverLocks(HasFault(HSimFaultKind::NoLock));
    for (const HSimFault& f : m_config.faults)
        if (f.kind == HSimFaultKind::VcvDrift)
            m_alignment.SetVcvDrift(int(f.a), int(f.b));
}

HRadioSim::~HRadioSim() {
    Shutdown();
}

bool HRadioSim::HasFault(HSimFaultKind kind) const {
    return std::any_of(m_config.faults.begin(), m_config.faults.end(),
                       [kind](const HSimFault& f) { return f.kind == kind; });
}

const HSimFault* HRadioSim::FindFault(HSimFaultKind kind, long a, long b) const {
    for (const HSimFault& f : m_config.faults) {
        if (f.kind != kind || f.a != a)
            continue;
        if ((kind == HSimFaultKind::BadChecksum || kind == HSimFaultKind::WrongFirst) && f.b != b)
            continue;
        return &f;
    }
    return nullptr;
}

bool HRadioSim::LoadMemory() {
    struct stat st {};
    if (::stat(m_config.memoryPath.c_str(), &st) == 0) {
        std::string why;
        const auto bytes = ReadWholeBinaryFile(m_config.memoryPath, &why);
        if (!bytes) {
            m_error = m_config.memoryPath + ": " + why;
            return false;
        }
        if (bytes->size() != kImageSize) {
            m_error = m_config.memoryPath + ": not a radio memory file (" +
                      std::to_string(bytes->size()) + " bytes, " + std::to_string(kImageSize) +
                      " expected)";
            return false;
        }
        std::copy(bytes->begin(), bytes->end(), m_memory.begin());
    } else if (errno == ENOENT) {
        m_memory = SimFactoryMemory();
    } else {
        m_error = m_config.memoryPath + ": " + std::strerror(errno);
        return false;
    }
    if (m_config.productionCode)
        m_memory[kSimProductionCodeOffset] = std::uint8_t(*m_config.productionCode);
    if (m_config.customCode)
        m_memory[kSimCustomCodeOffset] = std::uint8_t(*m_config.customCode);
    // The damage is what this run reads; only what is written is saved.
    for (const HSimFault& f : m_config.faults)
        if (f.kind == HSimFaultKind::Damaged)
            DamageAdjustment(m_memory, f.a != 1, f.a != 0);
    return true;
}

bool HRadioSim::SaveMemory() {
    std::string why;
    if (!WriteWholeFileAtomic(m_config.memoryPath, std::span<const std::uint8_t>(m_memory), &why)) {
        LogText("memory not saved: " + why);
        std::fprintf(stderr, "rp57-radio-sim: %s: %s\n", m_config.memoryPath.c_str(), why.c_str());
        return false;
    }
    m_dirty = false;
    LogText("memory saved to " + m_config.memoryPath);
    return true;
}

bool HRadioSim::Start() {
    m_start = Clock::now();
    if (!m_config.logPath.empty()) {
        m_log = std::fopen(m_config.logPath.c_str(), "w");
        if (!m_log) {
            m_error = m_config.logPath + ": " + std::strerror(errno);
            return false;
        }
    }
    if (!LoadMemory())
        return false;

    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        m_error = std::string("pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    const char* name = ::ptsname(m_master);
    if (!name) {
        m_error = std::string("ptsname: ") + std::strerror(errno);
        return false;
    }
    m_slaveName = name;
    // Holding the slave open keeps the pty alive between sessions (the master
    // would report a hang-up while no program has the port open) and lets us
    // make it raw before any program opens it: a cooked slave would echo our
    // Check bytes straight back to us.
    m_slaveKeep = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slaveKeep < 0) {
        m_error = m_slaveName + ": " + std::strerror(errno);
        return false;
    }
    termios tio{};
    if (::tcgetattr(m_slaveKeep, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        ::tcsetattr(m_slaveKeep, TCSANOW, &tio);
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);

    // The link is replaced atomically; a stale link of an earlier run goes, but
    // anything that is not a symbolic link is left alone.
    struct stat st {};
    if (::lstat(m_config.linkPath.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        m_error = m_config.linkPath + ": exists and is not a symbolic link";
        return false;
    }
    const std::string tmp = m_config.linkPath + ".tmp" + std::to_string(::getpid());
    ::unlink(tmp.c_str());
    if (::symlink(m_slaveName.c_str(), tmp.c_str()) != 0 ||
        ::rename(tmp.c_str(), m_config.linkPath.c_str()) != 0) {
        m_error = m_config.linkPath + ": " + std::strerror(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    m_linkMade = true;
    LogText("radio on " + m_slaveName + " linked as " + m_config.linkPath);
    m_nextCheck = Clock::now();
    m_nextSend = Clock::now();
    return true;
}

void HRadioSim::Shutdown() {
    if (m_dirty)
        SaveMemory();
    if (m_linkMade) {
        // Remove the link only while it still points at our terminal.
        char target[4096];
        const ssize_t n = ::readlink(m_config.linkPath.c_str(), target, sizeof target - 1);
        if (n > 0 && std::string(target, std::size_t(n)) == m_slaveName)
            ::unlink(m_config.linkPath.c_str());
        m_linkMade = false;
    }
    if (m_slaveKeep >= 0)
        ::close(m_slaveKeep);
    m_slaveKeep = -1;
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
    if (m_log) {
        std::fclose(m_log);
        m_log = nullptr;
    }
}

void HRadioSim::LogText(const std::string& text) {
    if (!m_log)
        return;
    const double t = std::chrono::duration<double>(Clock::now() - m_start).count();
    std::fprintf(m_log, "%9.3f -- %s\n", t, text.c_str());
    std::fflush(m_log);
}

void HRadioSim::LogLine(const char* direction, const std::vector<std::uint8_t>& bytes,
                        const char* note) {
    if (!m_log)
        return;
    const double t = std::chrono::duration<double>(Clock::now() - m_start).count();
    std::string hex;
    for (std::uint8_t b : bytes) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X ", b);
        hex += buf;
    }
    if (!hex.empty())
        hex.pop_back();
    std::fprintf(m_log, "%9.3f %s %s%s%s\n", t, direction, hex.c_str(), note ? "  " : "",
                 note ? note : "");
    std::fflush(m_log);
}

std::chrono::nanoseconds HRadioSim::ByteTime() const {
    termios tio{};
    long baud = 9600;
    if (::tcgetattr(m_master, &tio) == 0)
        baud = SpeedToBaud(::cfgetospeed(&tio));
    // 11 bit times a byte: start, 8 data, 2 stop.
    return std::chrono::nanoseconds(11LL * 1000000000LL / baud);
}

void HRadioSim::Send(std::uint8_t byte, bool) {
    // m_nextSend is when the front byte has fully arrived: a UART hands a byte
    // over only after its stop bits. An idle line starts the byte now; a busy
    // one keeps its own clock, so a late wake-up is caught up instead of
    // stretching the transfer.
    if (m_out.empty() && m_config.pace)
        m_nextSend = std::max(m_nextSend, Clock::now() + ByteTime());
    m_out.push_back({byte});
}

bool HRadioSim::FlushOutput(Clock::time_point now) {
    if (m_out.empty())
        return true;
    if (m_config.pace) {
        const auto byteTime = ByteTime();
        while (!m_out.empty() && now >= m_nextSend) {
            const std::uint8_t b = m_out.front().byte;
            const ssize_t n = ::write(m_master, &b, 1);
            if (n != 1)
                return false;
            m_out.pop_front();
            m_nextSend += byteTime;
        }
        return true;
    }
    std::vector<std::uint8_t> chunk;
    chunk.reserve(m_out.size());
    for (const OutByte& o : m_out)
        chunk.push_back(o.byte);
    const ssize_t n = ::write(m_master, chunk.data(), chunk.size());
    if (n <= 0)
        return false;
    m_out.erase(m_out.begin(), m_out.begin() + n);
    return true;
}

void HRadioSim::Reply(std::vector<std::uint8_t> bytes, const char* note) {
    const HSimFault* drop = nullptr;
    for (const HSimFault& f : m_config.faults)
        if (f.kind == HSimFaultKind::DropByte)
            drop = &f;
    std::string dropped;
    for (std::uint8_t b : bytes) {
        ++m_replyBytes;
        if (drop && m_replyBytes == drop->a) {
            dropped = "reply byte " + std::to_string(m_replyBytes) + " dropped";
            continue;
        }
        Send(b, true);
    }
    std::string text = note ? note : "";
    if (!dropped.empty())
        text += (text.empty() ? "" : "; ") + dropped;
    LogLine("RADIO>PC", bytes, text.empty() ? nullptr : text.c_str());
}

void HRadioSim::EndSession(Clock::time_point now) {
    if (m_dirty)
        SaveMemory();
    m_mode = Mode::WaitPowerOn;
    m_checkLogged = false;
    m_nextCheck = now + kRestartTime;
    if (m_config.once)
        m_exitAfterReset = true;
}

void HRadioSim::OnByte(std::uint8_t byte, Clock::time_point now) {
    if (!HasFault(HSimFaultKind::NoEcho))
        Send(byte, false);
    switch (m_mode) {
    case Mode::WaitPowerOn:
        if (HasFault(HSimFaultKind::Silent)) {
            LogLine("PC>RADIO", {byte}, "(radio silent: ignored)");
        } else if (byte == kPowerOn) {
            LogLine("PC>RADIO", {byte}, "(Power On: clone mode)");
            m_mode = Mode::Clone;
        } else if (byte == kAdj) {
            LogLine("PC>RADIO", {byte}, "(ADJ: alignment mode)");
            m_mode = Mode::Adj;
        } else {
            LogLine("PC>RADIO", {byte}, "(ignored while waiting for Power On)");
        }
        m_frame.clear();
        return;
    case Mode::Vanished:
        return;
    case Mode::Clone:
    case Mode::Adj:
        break;
    }
    if (!m_frame.empty() && now - m_lastRx > kFrameGap) {
        LogLine("PC>RADIO", m_frame, "(incomplete frame dropped)");
        m_frame.clear();
    }
    m_lastRx = now;
    if (m_frame.empty()) {
        const bool clone = byte == kReadEeprom || byte == kWriteEeprom || byte == kReadFlash ||
                           byte == kWriteFlash || byte == kReset;
        const bool align = m_mode == Mode::Adj && byte >= 0x30 && byte <= 0x3B;
        if (!clone && !align) {
            LogLine("PC>RADIO", {byte}, "(not a command: ignored)");
            return;
        }
    }
    m_frame.push_back(byte);
    if (m_frame.size() >= 2 && m_frame.size() == std::size_t(m_frame[1]) + 2) {
        OnFrame(now);
        m_frame.clear();
    }
}

void HRadioSim::OnFrame(Clock::time_point now) {
    const std::vector<std::uint8_t>& f = m_frame;
    const std::size_t n = f.size();
    if (Sum(f, n - 1) != f[n - 1]) {
        LogLine("PC>RADIO", f, "(bad checksum: no answer)");
        return;
    }
    ++m_frames;
    for (const HSimFault& fault : m_config.faults) {
        if (fault.kind == HSimFaultKind::VanishAfter && m_frames > fault.a) {
            LogLine("PC>RADIO", f, "(radio vanished: no answer from now on)");
            m_mode = Mode::Vanished;
            return;
        }
    }
    LogLine("PC>RADIO", f);

    const std::uint8_t cmd = f[0];
    auto frameReply = [&](std::uint8_t code, int area, int block, std::vector<std::uint8_t> data) {
        std::vector<std::uint8_t> r{code, std::uint8_t(data.size() + 1)};
        r.insert(r.end(), data.begin(), data.end());
        r.push_back(0);
        std::string note;
        if (FindFault(HSimFaultKind::WrongFirst, area, block)) {
            r[0] ^= 0x01;
            note = "wrong first byte";
        }
        r.back() = Sum(r, r.size() - 1);
        if (FindFault(HSimFaultKind::BadChecksum, area, block)) {
            r.back() = std::uint8_t(r.back() + 1);
            note += note.empty() ? "bad checksum" : ", bad checksum";
        }
        Reply(std::move(r), note.empty() ? nullptr : note.c_str());
    };

    if (cmd == kReadEeprom && n == 4) {
        const std::size_t at = std::size_t(f[2]) * 2;
        frameReply(kReadEeprom, 0, f[2], {m_memory[at], m_memory[at + 1]});
    } else if (cmd == kReadFlash && n == 4) {
        if (f[2] > kLastPage) {
            LogText("page outside the memory: no answer");
            return;
        }
        const std::size_t at = HImageMap::FlashPageOffset(f[2]);
        frameReply(kReadFlash, 1, f[2],
                   std::vector<std::uint8_t>(m_memory.begin() + long(at),
                                             m_memory.begin() + long(at + 128)));
    } else if (cmd == kWriteEeprom && n == 6 && FindFault(HSimFaultKind::WriteFail, f[2], 0)) {
        Reply({kNak}, "word write refused (fault): not stored");
    } else if (cmd == kWriteEeprom && n == 6) {
        const std::size_t at = std::size_t(f[2]) * 2;
        m_memory[at] = f[3];
        m_memory[at + 1] = f[4];
        m_dirty = true;
        frameReply(kWriteEeprom, 0, f[2], {f[3], f[4]});
    } else if (cmd == kWriteFlash && n == 132) {
        const int page = f[2];
        if (page > kLastPage) {
            Reply({kNak}, "page outside the memory");
        } else if (FindFault(HSimFaultKind::Nak, page, 0)) {
            Reply({kNak}, "NAK (fault)");
        } else {
            std::copy(f.begin() + 3, f.begin() + 131,
                      m_memory.begin() + long(HImageMap::FlashPageOffset(std::size_t(page))));
            m_dirty = true;
            if (FindFault(HSimFaultKind::WrongFirst, 1, page))
                Reply({std::uint8_t(kAck ^ 0x01)}, "wrong first byte");
            else
                Reply({kAck}, nullptr);
        }
    } else if (cmd == kReset && n == 3) {
        LogText("reset: session ended");
        EndSession(now);
    } else if (m_mode == Mode::Adj && cmd >= 0x30 && cmd <= 0x3B) {
        if (FindFault(HSimFaultKind::NakCommand, cmd, 0)) {
            Reply({kNak}, "NAK (fault)");
            return;
        }
        std::vector<std::uint8_t> r = m_alignment.OnCommand(f);
        if (r.empty())
            LogText("alignment command not understood: no answer");
        else
            Reply(std::move(r), cmd == 0x31 ? "A/D values" : nullptr);
    } else {
        LogText("frame not understood: no answer");
    }
}

int HRadioSim::Run(int stopFd) {
    const bool silent = HasFault(HSimFaultKind::Silent);
    std::uint8_t buf[4096];
    while (!m_done) {
        auto now = Clock::now();
        if (m_mode == Mode::WaitPowerOn && !silent && !m_exitAfterReset && m_out.empty() &&
            now >= m_nextCheck) {
            Send(kCheck, false);
            if (!m_checkLogged) {
                LogLine("RADIO>PC", {kCheck}, "(Check, repeated until Power On)");
                m_checkLogged = true;
            }
            m_nextCheck = now + m_config.checkInterval;
        }
        FlushOutput(now);
        if (m_exitAfterReset && m_out.empty()) {
            m_done = true;
            break;
        }

        auto wake = now + std::chrono::milliseconds(200);
        if (m_mode == Mode::WaitPowerOn && !silent)
            wake = std::min(wake, m_nextCheck);
        if (!m_out.empty() && m_config.pace)
            wake = std::min(wake, m_nextSend);
        // Byte times at line rate are about a millisecond: wait with ns resolution.
        const auto wait = std::clamp<std::chrono::nanoseconds>(
            wake - now, std::chrono::nanoseconds(0), std::chrono::milliseconds(200));
        const timespec timeout{time_t(wait.count() / 1000000000LL),
                               long(wait.count() % 1000000000LL)};

        pollfd p[2] = {
            {m_master, short(POLLIN | (m_out.empty() || m_config.pace ? 0 : POLLOUT)), 0},
            {stopFd, POLLIN, 0}};
        const int r = ::ppoll(p, stopFd >= 0 ? 2 : 1, &timeout, nullptr);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            m_error = std::string("poll: ") + std::strerror(errno);
            return 1;
        }
        if (stopFd >= 0 && (p[1].revents & (POLLIN | POLLHUP)))
            break;
        if (p[0].revents & POLLIN) {
            const ssize_t got = ::read(m_master, buf, sizeof buf);
            now = Clock::now();
            for (ssize_t i = 0; i < got; ++i)
                OnByte(buf[i], now);
        } else if (p[0].revents & (POLLHUP | POLLERR)) {
            ::usleep(10000); // nobody on the other side; do not spin
        }
    }
    FlushOutput(Clock::now());
    Shutdown();
    return 0;
}
