#include "HSerialPort.h"
#include "LinkTestUtil.h"

#include <cstring>
#include <sys/ioctl.h>
#include <sys/stat.h>

using namespace linktest;

// A port on a pseudo-terminal whose other side the test plays.
class SerialPort : public testing::Test {
protected:
    SerialPort() {
        port.SetDevicePath(pty.SlavePath());
        // Short time-outs keep the time-out cases quick; the rules are the same.
        HSerialTimeouts t;
        t.ReadTotalTimeoutConstant = 100;
        t.ReadIntervalTimeout = 50;
        port.SetTimeouts(t);
    }
    PtyPair pty;
    HSerialPort port;
};

TEST_F(SerialPort, DeviceNamesAndOpenFailures) {
    // Port 300 opens port 256; Open stores the clamped number.
    EXPECT_EQ(HSerialPort::DeviceNameForPort(300), "/dev/ttyS255");
    port.SetDevicePath("/nonexistent/rp57-port");
    port.SetPortNumber(300);
    EXPECT_EQ(port.Open(), kSerialError);
    EXPECT_EQ(port.GetPortNumber(), 256u);

    TempHome home;
    const auto refused = [&](const std::string& path, int error) {
        SCOPED_TRACE(path);
        port.SetDevicePath(path);
        EXPECT_EQ(port.Open(), kSerialError);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(port.GetOpenErrno(), error);
        EXPECT_NE(port.GetOpenErrorDetail().find(std::strerror(error)), std::string::npos);
    };
    const std::string plain = home.Path("plain");
    std::ofstream(plain) << "x";
    refused(plain, ENOTTY); // a plain file is not a serial port
    if (::geteuid() != 0) { // (root is never refused)
        ::chmod(plain.c_str(), 0);
        refused(plain, EACCES);
        EXPECT_NE(port.GetOpenErrorDetail().find("dialout"), std::string::npos);
    }

    // A port in use by another program; released with its descriptor.
    HSerialPort first;
    first.SetDevicePath(pty.SlavePath());
    port.SetDevicePath(pty.SlavePath());
    ASSERT_EQ(first.Open(), kSerialOk);
    EXPECT_EQ(port.Open(), kSerialError);
    EXPECT_NE(port.GetOpenErrorDetail().find("in use"), std::string::npos);
    // The holder of the lock is named, by its process id.
    EXPECT_NE(port.GetOpenErrorDetail().find("pid " + std::to_string(::getpid()) + " ("),
              std::string::npos)
        << port.GetOpenErrorDetail();
    first.Close();
    EXPECT_EQ(port.Open(), kSerialOk);
}

TEST_F(SerialPort, LineSettingsReplaceTheDeviceState) {
    // (Raw mode rides in every CLI transfer: a cooked line would mangle the frames.)
    HLineSettings line = port.GetLineSettings();
    line.BaudRate = 19200;
    port.SetLineSettings(line);
    ASSERT_EQ(port.Open(), kSerialOk);
    termios tio{};
    ASSERT_EQ(::tcgetattr(port.GetHandle(), &tio), 0);
    EXPECT_EQ(::cfgetospeed(&tio), speed_t(B19200));
    port.Close();
    line.BaudRate = 12345; // no such line rate
    port.SetLineSettings(line);
    EXPECT_EQ(port.Open(), kSerialError);
}

// (Reads, echo removal and a missing echo are proven by every CLI transfer and
// its failure table.)
TEST_F(SerialPort, PurgesAndTheWriteLimit) {
    port.SetEchoOff(0);
    ASSERT_EQ(port.Open(), kSerialOk);
    std::uint8_t one = 0;
    // Purge discards what is waiting.
    pty.Send(Bytes({1, 2}));
    ASSERT_TRUE(WaitFor([&] {
        int n = 0;
        ::ioctl(port.GetHandle(), FIONREAD, &n);
        return n == 2;
    }));
    port.PurgeReceive();
    EXPECT_EQ(port.ReadByte(one), kSerialTimeout);

    // Echo off: a purge right after a write must not eat the bytes just sent.
    port.SetEchoOff(1);
    const auto frame = Bytes({0xF1, 0x04, 0x10, 0x12, 0x34, 0x4B});
    EXPECT_EQ(port.Write(frame), kSerialOk);
    port.PurgeTransmit();
    port.PurgeReceive();
    EXPECT_EQ(pty.Receive(6), frame);

    // More than 4096 bytes is refused before anything is sent.
    std::vector<std::uint8_t> big(4097, 0x55);
    EXPECT_EQ(port.Write(big), kSerialError);
    EXPECT_TRUE(pty.Receive(1, 200ms).empty());
    port.Close();
    EXPECT_EQ(port.ReadByte(one), kSerialError); // a closed port is an error, not a time-out
}

TEST_F(SerialPort, PortZeroIsPortOne) {
    EXPECT_EQ(HSerialPort::DeviceNameForPort(0), "/dev/ttyS0");
    port.SetDevicePath("/nonexistent/rp57-port");
    port.SetPortNumber(0);
    EXPECT_EQ(port.Open(), kSerialError);
    EXPECT_EQ(port.GetPortNumber(), 1u);
}

TEST_F(SerialPort, EightDataBitsNoParityAndTwoStopBits) {
    HLineSettings line = port.GetLineSettings();
    line.StopBits = 2;
    port.SetLineSettings(line);
    ASSERT_EQ(port.Open(), kSerialOk);
    termios tio{};
    ASSERT_EQ(::tcgetattr(port.GetHandle(), &tio), 0);
    EXPECT_EQ(tio.c_cflag & (CSIZE | CSTOPB | PARENB), tcflag_t(CS8 | CSTOPB));
}

TEST_F(SerialPort, ShortReadsAndTheEchoOfEachWrite) {
    port.SetEchoOff(0);
    ASSERT_EQ(port.Open(), kSerialOk);
    std::uint8_t buf[5] = {}, one = 0;
    EXPECT_EQ(port.Read(buf), kSerialTimeout); // nothing at all
    EXPECT_EQ(port.GetLastReadCount(), 0u);
    pty.Send(Bytes({1, 2, 3}));
    EXPECT_EQ(port.Read(buf), kSerialTimeout); // three of five
    EXPECT_EQ(port.GetLastReadCount(), 3u);
    EXPECT_EQ(std::vector(buf, buf + 3), Bytes({1, 2, 3}));
    pty.Send(Bytes({9, 8, 7, 6, 5}));
    EXPECT_EQ(port.Read(buf), kSerialOk);
    EXPECT_EQ(std::vector(buf, buf + 5), Bytes({9, 8, 7, 6, 5}));

    // The cable returns every byte written; the echo is taken off the line.
    const auto frame = Bytes({0xF1, 0x04, 0x10, 0x12, 0x34, 0x4B});
    pty.Send(frame);
    EXPECT_EQ(port.Write(frame), kSerialOk);
    EXPECT_EQ(pty.Receive(6), frame);
    EXPECT_EQ(port.ReadByte(one), kSerialTimeout); // nothing left for the reply to trip on

    // Only 5 of the 6 come back: the write failed.
    pty.Send(Bytes({0xF1, 0x04, 0x10, 0x12, 0x34}));
    EXPECT_EQ(port.Write(frame), kSerialError);
    EXPECT_EQ(pty.Receive(6), frame);
}

TEST_F(SerialPort, InterfaceUnitFramesAndModes) {
    const std::array<std::uint8_t, 6> header{0, 0, 0x8C, 0x00, 0x00, 0};
    port.SetInterfaceHeader(header);
    port.SetConnectionMode(1);
    // A pseudo-terminal has no modem lines; that must not stop the open.
    ASSERT_EQ(port.Open(), kSerialOk);
    EXPECT_EQ(pty.Receive(8), Bytes({0x51, 0xAE, 0, 0, 0, 0, 0, 0}));
    const auto dtrRts = [&] {
        return std::pair(port.GetLineSettings().fDtrControl, port.GetLineSettings().fRtsControl);
    };
    EXPECT_EQ(dtrRts(), std::pair(0u, 0u)); // off while open in mode 1

    std::vector<std::uint8_t> data(132, 0xA5);
    EXPECT_EQ(port.Write(data), kSerialOk);
    const auto got = pty.Receive(8 + 132);
    ASSERT_EQ(got.size(), 140u);
    EXPECT_EQ(std::vector<std::uint8_t>(got.begin(), got.begin() + 8),
              Bytes({0x50, 0xAF, 0x00, 0x00, 0x8C, 0x00, 0x84, 0x00}));
    port.Close();
    EXPECT_EQ(dtrRts(), std::pair(1u, 1u)); // switched on again before closing

    // Mode 2: Open fails after the device was opened; the handle stays until Close.
    port.SetConnectionMode(2);
    EXPECT_EQ(port.Open(), kSerialError);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.Write(data), kSerialError);
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}
