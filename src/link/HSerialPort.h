#pragma once
// One serial port to the radio's programming cable, over POSIX termios.
//
// The cable is a single wire: every byte we send comes back on the receive line,
// so after each write the echo is read back and discarded (unless echo-off is set).
// Connection mode 1 goes through an external interface unit that wants DTR/RTS off
// while open, a setup frame after opening and a header frame before every write.
//
// Device selection: an explicit device path (USB adapter, pseudo-terminal) wins;
// otherwise "COM n" maps to /dev/ttyS{n-1} (COM1 = /dev/ttyS0, the kernel's own
// numbering of the PC's built-in ports).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// Results of the port operations; the numbers themselves travel in the
// communication event's error code, so they stay plain ints.
inline constexpr int kSerialOk = 0;
inline constexpr int kSerialError = 1;
inline constexpr int kSerialTimeout = 2; // fewer bytes than asked (time-out)

// The radio program's serial line settings, named after the fields of the
// device-control block it was written against. Applied whole at Open.
struct HLineSettings {
    std::uint32_t DCBlength = 28;
    std::uint32_t BaudRate = 9600;
    std::uint32_t fBinary = 1;
    std::uint32_t fParity = 0;
    std::uint32_t fOutxCtsFlow = 0;
    std::uint32_t fOutxDsrFlow = 0;
    std::uint32_t fDtrControl = 1; // 1 = DTR on while open
    std::uint32_t fDsrSensitivity = 0;
    std::uint32_t fTXContinueOnXoff = 0;
    std::uint32_t fOutX = 0;
    std::uint32_t fInX = 0;
    std::uint32_t fErrorChar = 0;
    std::uint32_t fNull = 0;
    std::uint32_t fRtsControl = 1; // 1 = RTS on while open
    std::uint32_t fAbortOnError = 0;
    std::uint32_t fDummy2 = 0;
    std::uint16_t wReserved = 0;
    std::uint16_t XonLim = 100;
    std::uint16_t XoffLim = 100;
    std::uint8_t ByteSize = 8;
    std::uint8_t Parity = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t StopBits = 0; // 0 one, 1 one and a half (sent as two), 2 two
    char XonChar = 17;
    char XoffChar = 19;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    std::uint16_t wReserved1 = 0;
};

// Read and write time-outs in milliseconds, with the documented semantics:
// a read of n bytes gives up after ReadTotalTimeoutConstant +
// ReadTotalTimeoutMultiplier·n, or ReadIntervalTimeout after the last byte.
struct HSerialTimeouts {
    std::uint32_t ReadIntervalTimeout = 100;
    std::uint32_t ReadTotalTimeoutMultiplier = 5;
    std::uint32_t ReadTotalTimeoutConstant = 1000;
    std::uint32_t WriteTotalTimeoutMultiplier = 100;
    std::uint32_t WriteTotalTimeoutConstant = 5000;
};

class HSerialPort {
public:
    static constexpr std::size_t kMaxWrite = 4096;
    static constexpr std::size_t kHeaderSize = 6;
    static constexpr std::size_t kFrameSize = 8; // interface unit frames

    HSerialPort() = default;
    // Virtual so that a scripted port can stand in for the line (fuzzing the
    // radio's answers).
    virtual ~HSerialPort();
    HSerialPort(const HSerialPort&) = delete;
    HSerialPort& operator=(const HSerialPort&) = delete;

    void SetConnectionMode(int mode) { m_connectionMode = mode; }
    [[nodiscard]] int GetConnectionMode() const { return m_connectionMode; }
    // Clamped to 1..256 when the port is opened.
    void SetPortNumber(std::uint32_t n) { m_portNumber = n; }
    [[nodiscard]] std::uint32_t GetPortNumber() const { return m_portNumber; }
    // An explicit device (e.g. "/dev/ttyUSB0", a pseudo-terminal); empty = use the port number.
    void SetDevicePath(const std::string& path) { m_devicePath = path; }
    [[nodiscard]] const std::string& GetDevicePath() const { return m_devicePath; }
    void SetEchoOff(int flag) { m_echoOff = flag; }
    [[nodiscard]] int GetEchoOff() const { return m_echoOff; }

    [[nodiscard]] HLineSettings GetLineSettings() const { return m_line; }
    void SetLineSettings(const HLineSettings& settings) { m_line = settings; }
    [[nodiscard]] HSerialTimeouts GetTimeouts() const { return m_timeouts; }
    void SetTimeouts(const HSerialTimeouts& timeouts) { m_timeouts = timeouts; }
    void GetInterfaceHeader(std::span<std::uint8_t, kHeaderSize> out) const;
    void SetInterfaceHeader(std::span<const std::uint8_t, kHeaderSize> in);

    // The device that Open uses: the explicit path, else /dev/ttyS{n-1} for the
    // clamped port number n.
    [[nodiscard]] std::string DeviceName() const;
    static std::string DeviceNameForPort(std::uint32_t portNumber);
    static std::uint32_t ClampPortNumber(std::uint32_t portNumber);

    [[nodiscard]] int Open();
    void Close();
    [[nodiscard]] virtual bool IsOpen() const { return m_fd >= 0; }
    [[nodiscard]] virtual int Write(std::span<const std::uint8_t> bytes);
    [[nodiscard]] virtual int WriteByte(std::uint8_t byte);
    [[nodiscard]] virtual int Read(std::span<std::uint8_t> out);
    [[nodiscard]] virtual int ReadByte(std::uint8_t& out);
    virtual void PurgeReceive();
    virtual void PurgeTransmit();
    // True when the open device is a pseudo-terminal (a simulated radio).
    [[nodiscard]] bool IsPseudoTerminal() const { return m_isPty; }
    // The open file descriptor, -1 when closed.
    [[nodiscard]] int GetHandle() const { return m_fd; }

    // Why the last Open failed: "<device>: <system reason>", with a hint to join
    // the dialout group when permission was refused, and for a busy port the
    // processes that hold it (pid and command) where the system tells. Empty
    // after a good Open.
    [[nodiscard]] const std::string& GetOpenErrorDetail() const { return m_openError; }
    // A busy device as Open names it: "<device>: the port is in use by pid N
    // (command); close that program and try again", the holders found by its
    // advisory lock (`lockHeld`) or by the descriptors open on it.
    [[nodiscard]] static std::string BusyDetail(const std::string& device, bool lockHeld);
    // errno of the last failed Open (0 when it succeeded or failed for another reason).
    [[nodiscard]] int GetOpenErrno() const { return m_openErrno; }
    // Bytes the last Read delivered (also on a short read).
    [[nodiscard]] std::size_t GetLastReadCount() const { return m_lastReadCount; }

private:
    int ApplyLineSettings();
    void SetModemLines(bool dtr, bool rts);
    void ClearModemLine(int line);
    int WriteRaw(std::span<const std::uint8_t> bytes);
    int ReadRaw(std::span<std::uint8_t> out, std::size_t& got);

    int m_fd = -1;
    bool m_isPty = false;
    std::uint32_t m_portNumber = 1;
    std::string m_devicePath;
    int m_echoOff = 1;
    HLineSettings m_line;
    HSerialTimeouts m_timeouts;
    std::uint8_t m_header[kHeaderSize] = {0, 0, 0, 0, 0, 0};
    int m_connectionMode = 0;
    std::string m_openError;
    int m_openErrno = 0;
    std::size_t m_lastReadCount = 0;
};
