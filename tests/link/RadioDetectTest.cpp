// Finding the radio by listening: among several pseudo-terminals only the one
// where the simulated radio sends its Check byte is named, and the others never
// receive a byte; serial devices are listed in the order a technician expects.
#include "HRadioDetect.h"
#include "LinkTestUtil.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <future>
#include <sys/file.h>
#include <thread>

using namespace linktest;

TEST(RadioDetect, SerialDevicesByKindThenNumber) {
    TempDir dev;
    for (const char* name : {"ttyS10", "ttyS2", "ttyUSB0", "ttyS1", "ttyACM3", "tty", "ttyUSBx"})
        dev.Write(name, "");
    const std::vector<std::string> expected = {dev.File("ttyUSB0"), dev.File("ttyACM3"),
                                               dev.File("ttyS1"), dev.File("ttyS2"),
                                               dev.File("ttyS10")};
    EXPECT_EQ(HRadioDetect::SerialDevices(dev.Path()), expected);
}

TEST(RadioDetect, DeviceNamesOfAnyLengthAreListedInNumberOrder) {
    // A number no integer holds once ended the program.
    TempDir dev;
    for (const char* name : {"ttyUSB99999999999999999999", "ttyUSB10", "ttyUSB007", "ttyUSB09",
                             "ttyUSB8", "ttyS00000000000000000000001", "ttyS0"})
        dev.Write(name, "");
    const std::vector<std::string> expected = {dev.File("ttyUSB007"),
                                               dev.File("ttyUSB8"),
                                               dev.File("ttyUSB09"),
                                               dev.File("ttyUSB10"),
                                               dev.File("ttyUSB99999999999999999999"),
                                               dev.File("ttyS0"),
                                               dev.File("ttyS00000000000000000000001")};
    EXPECT_EQ(HRadioDetect::SerialDevices(dev.Path()), expected);
}

#ifdef RP57_RADIO_SIM
TEST(RadioDetect, NamesTheOnePortWithARadioAndWritesToNone) {
    TempHome home;
    PtyPair quietA;
    PtyPair quietB;
    SimRadio radio(home);
    ASSERT_TRUE(radio.Started());
    const HRadioDetect::HListenReport report = HRadioDetect::Listen(
        {quietA.SlavePath(), radio.Link(), quietB.SlavePath(), home.Path("no-such-device")},
        std::chrono::seconds(3));
    EXPECT_EQ(report.radios, std::vector<std::string>{radio.Link()});
    // Every device named, in the order given, with what it gave.
    std::string checked;
    for (const HRadioDetect::HDeviceHeard& d : report.checked)
        checked += d.device + "=" + std::to_string(int(d.heard)) + (d.why.empty() ? "" : "!") + ";";
    using H = HRadioDetect::HHeard;
    EXPECT_EQ(checked, quietA.SlavePath() + "=" + std::to_string(int(H::Silent)) + ";" +
                           radio.Link() + "=" + std::to_string(int(H::Radio)) + ";" +
                           quietB.SlavePath() + "=" + std::to_string(int(H::Silent)) + ";" +
                           home.Path("no-such-device") + "=" + std::to_string(int(H::Unusable)) +
                           "!;");
    ASSERT_EQ(report.unusable.size(), 1u);
    EXPECT_NE(report.unusable[0].find("no-such-device"), std::string::npos);
    // Listening only: nothing reached the ports without a radio.
    EXPECT_TRUE(quietA.Receive(1, std::chrono::milliseconds(200)).empty());
    EXPECT_TRUE(quietB.Receive(1, std::chrono::milliseconds(200)).empty());
    // Nor the radio: it is still waiting for Power On.
    EXPECT_TRUE(radio.Frames().empty());
}

TEST(RadioDetect, APortAnotherProcessHoldsIsNamedBusyByThatProcess) {
    PtyPair port;
    // A second process takes the port as a transfer does, then waits.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        const int fd = ::open(port.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        const bool locked = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        (void)!::write(ready[1], locked ? "y" : "n", 1);
        ::pause();
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');
    port.Send({0x50});
    const HRadioDetect::HListenReport report =
        HRadioDetect::Listen({port.SlavePath()}, std::chrono::milliseconds(300));
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_TRUE(report.radios.empty());
    EXPECT_TRUE(report.unusable.empty());
    ASSERT_EQ(report.busy.size(), 1u);
    ASSERT_EQ(report.checked.size(), 1u);
    EXPECT_EQ(report.checked[0].heard, HRadioDetect::HHeard::Busy);
    EXPECT_EQ(report.checked[0].why, report.busy[0]);
    // Only the process that holds the lock, not every one with the port open.
    EXPECT_EQ(report.busy[0], port.SlavePath() + ": the port is in use by pid " +
                                  std::to_string(holder) +
                                  " (test_link); close that program "
                                  "and try again");
}

TEST(RadioDetect, NoRadioNoName) {
    PtyPair quiet;
    const HRadioDetect::HListenReport report =
        HRadioDetect::Listen({quiet.SlavePath()}, std::chrono::milliseconds(300));
    EXPECT_TRUE(report.radios.empty());
    EXPECT_TRUE(report.unusable.empty());
}
#endif

#ifdef RP57_RADIO_SIM
TEST(RadioDetect, OnlyACheckByteNamesARadioHoweverLateItComes) {
    // What a port sends while it is listened to for 2 s: bytes at 0 ms, then
    // at 300 ms (after several quiet slices of the wait).
    const struct {
        const char* name;
        std::vector<std::uint8_t> first, later;
        bool radio;
    } rows[] = {
        {"a late Check", {}, {0x50}, true},
        {"noise only", {0x41, 0x00}, {0x41}, false},
        {"noise, then a Check", {0x41}, {0x50}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PtyPair port;
        auto listening = std::async(std::launch::async, [&] {
            return HRadioDetect::Listen({port.SlavePath()}, std::chrono::seconds(2));
        });
        std::this_thread::sleep_for(50ms);
        if (!row.first.empty())
            port.Send(row.first);
        std::this_thread::sleep_for(300ms);
        port.Send(row.later);
        const HRadioDetect::HListenReport report = listening.get();
        EXPECT_EQ(report.radios.size(), row.radio ? 1u : 0u);
    }
}

TEST(RadioDetect, ListensAtTheLineSpeedAskedAndPutsTheLineBack) {
    const struct {
        int baud;
        speed_t speed;
    } rows[] = {{4800, B4800}, {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B9600}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.baud);
        PtyPair port;
        const int fd = ::open(port.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        termios before{};
        ::tcgetattr(fd, &before);
        ::cfsetispeed(&before, B1200);
        ::cfsetospeed(&before, B1200);
        ::tcsetattr(fd, TCSANOW, &before);
        auto listening = std::async(std::launch::async, [&] {
            return HRadioDetect::Listen({port.SlavePath()}, std::chrono::milliseconds(400),
                                        row.baud);
        });
        std::this_thread::sleep_for(200ms);
        termios during{};
        ::tcgetattr(fd, &during);
        EXPECT_EQ(::cfgetospeed(&during), row.speed);
        EXPECT_TRUE(during.c_cflag & CSTOPB) << "two stop bits";
        (void)listening.get();
        termios after{};
        ::tcgetattr(fd, &after);
        EXPECT_EQ(::cfgetospeed(&after), B1200) << "the line as it was";
        ::close(fd);
    }
}
#endif
