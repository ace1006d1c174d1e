// The clone protocol over a real pseudo-terminal, with the test playing the
// radio byte by byte on the master side.
#include "HRpCommonCommunication.h"
#include "LinkTestUtil.h"

#include <future>

using namespace linktest;
using namespace HCloneProtocol;

namespace {

class Fixture {
public:
    Fixture() : comm(&port) {
        HSerialTimeouts t;
        // Short, but with room for a busy machine to schedule the radio thread.
        t.ReadTotalTimeoutConstant = 400;
        t.ReadIntervalTimeout = 200;
        port.SetTimeouts(t);
        event.devicePath = pty.SlavePath();
        image = std::make_unique<HMemoryImage>();
        image->fill(0);
    }
    bool Open() { return comm.OpenPort(event); }

    // The radio: takes one request of `n` bytes, echoes it and answers `reply`.
    std::future<std::vector<std::uint8_t>> Radio(std::size_t n, std::vector<std::uint8_t> reply,
                                                 bool echo = true) {
        return std::async(std::launch::async, [this, n, reply, echo] {
            auto request = pty.Receive(n);
            if (echo)
                pty.Send(request);
            if (!reply.empty())
                pty.Send(reply);
            return request;
        });
    }

    PtyPair pty;
    HSerialPort port;
    HRpCommonCommunication comm;
    HCommEventData event;
    std::unique_ptr<HMemoryImage> image;
};

std::vector<std::uint8_t> FlashReply(std::uint8_t first, std::uint8_t seed) {
    std::vector<std::uint8_t> r{first, 0x81};
    for (int i = 0; i < 128; ++i)
        r.push_back(std::uint8_t(seed + i));
    r.push_back(Checksum(r));
    return r;
}

} // namespace

TEST(CloneProtocol, FrameBuildingAndChecksums) {
    EXPECT_EQ(BuildReadRequest(kAreaEeprom, 0x10), Bytes({0xF0, 0x02, 0x10, 0x02}));
    EXPECT_EQ(BuildReadRequest(kAreaFlash, 3), Bytes({0xF2, 0x02, 0x03, 0xF7}));
    EXPECT_TRUE(BuildReadRequest(kAreaFlash, 0x5F).empty());
    EXPECT_TRUE(BuildReadRequest(2, 0).empty());

    HMemoryImage image{};
    image[0x20] = 0x12;
    image[0x21] = 0x34;
    // Low 8 bits of F1+04+10+12+34 = 0x14B.
    EXPECT_EQ(BuildWriteRequest(kAreaEeprom, 0x10, image),
              Bytes({0xF1, 0x04, 0x10, 0x12, 0x34, 0x4B}));
    std::fill_n(image.begin() + 512, 128, 0xFF);
    const auto flash = BuildWriteRequest(kAreaFlash, 0, image);
    ASSERT_EQ(flash.size(), 132u);
    EXPECT_EQ(flash[0], 0xF3);
    EXPECT_EQ(flash[1], 0x82);
    EXPECT_EQ(flash[2], 0x00);
    EXPECT_EQ(flash.back(), 0xF5); // (F3 + 82 + 128·FF) mod 256
    EXPECT_TRUE(ChecksumOk(Bytes({0xF0, 0x03, 0x12, 0x34, 0x39})));
    EXPECT_FALSE(ChecksumOk(Bytes({0xF0, 0x03, 0x12, 0x34, 0x3A})));
    EXPECT_EQ(BlockOffset(kAreaFlash, 0x5E), 12544);
    EXPECT_EQ(BlockOffset(kAreaFlash, 0x5F), -1);
    EXPECT_EQ(BlockOffset(kAreaEeprom, 0xFF), 510);
}

TEST(CloneProtocol, ReadBlockWorkedExamples) {
    TempHome home(6);
    Fixture f;
    ASSERT_TRUE(f.Open());

    auto radio = f.Radio(4, Bytes({0xF0, 0x03, 0x12, 0x34, 0x39}));
    EXPECT_TRUE(f.comm.ReadBlock(kAreaEeprom, 0x10, 0, *f.image, &f.event));
    EXPECT_EQ(radio.get(), Bytes({0xF0, 0x02, 0x10, 0x02}));
    EXPECT_EQ((*f.image)[0x20], 0x12);
    EXPECT_EQ((*f.image)[0x21], 0x34);
    EXPECT_EQ(f.event.errorCode, 0);

    radio = f.Radio(4, FlashReply(0xF2, 7));
    EXPECT_TRUE(f.comm.ReadBlock(kAreaFlash, 3, 0, *f.image, &f.event));
    EXPECT_EQ(radio.get(), Bytes({0xF2, 0x02, 0x03, 0xF7}));
    EXPECT_EQ((*f.image)[512 + 384], 7);
    EXPECT_EQ((*f.image)[512 + 384 + 127], 7 + 127);
    EXPECT_EQ((*f.image)[512 + 383], 0);
    EXPECT_EQ((*f.image)[512 + 512], 0);

    // Wrong checksum: refused, nothing stored, error code 0, no trace line.
    f.image->fill(0);
    radio = f.Radio(4, Bytes({0xF0, 0x03, 0x12, 0x34, 0x38}));
    EXPECT_FALSE(f.comm.ReadBlock(kAreaEeprom, 0x10, 0, *f.image, &f.event));
    radio.get();
    EXPECT_EQ(f.event.errorCode, 0);
    EXPECT_EQ((*f.image)[0x20], 0);

    // The answer of another command.
    radio = f.Radio(4, Bytes({0xF1, 0x03, 0x12, 0x34, 0x3A}));
    EXPECT_FALSE(f.comm.ReadBlock(kAreaEeprom, 0x10, 0, *f.image, &f.event));
    radio.get();
    EXPECT_EQ((*f.image)[0x20], 0);

    // A short answer is a time-out: error code 2.
    radio = f.Radio(4, Bytes({0xF0, 0x03, 0x12}));
    EXPECT_FALSE(f.comm.ReadBlock(kAreaEeprom, 0x10, 0, *f.image, &f.event));
    radio.get();
    EXPECT_EQ(f.event.errorCode, 2);

    const std::string log = home.LogText();
    EXPECT_NE(log.find("送信要求コマンド送信処理成功[STATUS:0][BLOCK:10][RETRY:1]"),
              std::string::npos);
    EXPECT_NE(log.find("送信データ受信成功[STATUS:1][BLOCK:3]"), std::string::npos);
    EXPECT_NE(log.find("[ER] 送信データ受信失敗[STATUS:0][BLOCK:10] "), std::string::npos);
    EXPECT_NE(log.find("[ER] 送信データ受信失敗[STATUS:0][BLOCK:10][RETRY:1]"), std::string::npos);
}

TEST(CloneProtocol, WriteBlockWorkedExamples) {
    TempHome home(6);
    Fixture f;
    ASSERT_TRUE(f.Open());
    (*f.image)[0x20] = 0x12;
    (*f.image)[0x21] = 0x34;

    auto radio = f.Radio(6, Bytes({0xF1, 0x03, 0x12, 0x34, 0x3A}));
    EXPECT_TRUE(f.comm.WriteBlock(kAreaEeprom, 0x10, 0, *f.image, &f.event));
    EXPECT_EQ(radio.get(), Bytes({0xF1, 0x04, 0x10, 0x12, 0x34, 0x4B}));

    // EEPROM write answered by a frame of another command, or a bad checksum.
    radio = f.Radio(6, Bytes({0xF0, 0x03, 0x12, 0x34, 0x39}));
    EXPECT_FALSE(f.comm.WriteBlock(kAreaEeprom, 0x10, 0, *f.image, &f.event));
    radio.get();
    radio = f.Radio(6, Bytes({0xF1, 0x03, 0x12, 0x34, 0x00}));
    EXPECT_FALSE(f.comm.WriteBlock(kAreaEeprom, 0x10, 0, *f.image, &f.event));
    radio.get();
    EXPECT_EQ(f.event.errorCode, 0);

    std::fill_n(f.image->begin() + 512, 128, 0xFF);
    radio = f.Radio(132, Bytes({0x06}));
    EXPECT_TRUE(f.comm.WriteBlock(kAreaFlash, 0, 0, *f.image, &f.event));
    const auto sent = radio.get();
    ASSERT_EQ(sent.size(), 132u);
    EXPECT_EQ(sent.back(), 0xF5);

    radio = f.Radio(132, Bytes({0x15}));
    EXPECT_FALSE(f.comm.WriteBlock(kAreaFlash, 0, 0, *f.image, &f.event));
    radio.get();
    EXPECT_NE(home.LogText().find("[ER] 送信失敗[STATUS:1][BLOCK:0]"), std::string::npos);
    EXPECT_NE(home.LogText().find("送信成功[STATUS:1][BLOCK:0]"), std::string::npos);

    // No answer at all: time-out, error code 2.
    radio = f.Radio(132, {});
    EXPECT_FALSE(f.comm.WriteBlock(kAreaFlash, 0, 0, *f.image, &f.event));
    radio.get();
    EXPECT_EQ(f.event.errorCode, 2);
}

TEST(CloneProtocol, BlocksOutsideTheImageAreRefusedBeforeAnyTraffic) {
    TempHome home(6);
    Fixture f;
    ASSERT_TRUE(f.Open());
    EXPECT_FALSE(f.comm.ReadBlock(kAreaFlash, 0x5F, 3, *f.image, &f.event));
    EXPECT_FALSE(f.comm.WriteBlock(kAreaFlash, 0x80, 3, *f.image, &f.event));
    EXPECT_FALSE(f.comm.ReadBlock(kAreaEeprom, 0x100, 0, *f.image, nullptr));
    EXPECT_FALSE(f.comm.WriteBlock(2, 0, 0, *f.image, &f.event));
    EXPECT_EQ(f.event.errorCode, 1);
    EXPECT_TRUE(f.pty.Quiet());
}

TEST(CloneProtocol, RetriesRepeatOnlyARequestThatCouldNotBeSent) {
    TempHome home(6);
    Fixture f;
    ASSERT_TRUE(f.Open());
    // No echo comes back, so every send fails; retries 2 = three attempts.
    auto radio = f.Radio(12, {}, false);
    EXPECT_FALSE(f.comm.ReadBlock(kAreaEeprom, 0x01, 2, *f.image, &f.event));
    const auto sent = radio.get();
    ASSERT_EQ(sent.size(), 12u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(std::vector<std::uint8_t>(sent.begin() + 4 * i, sent.begin() + 4 * i + 4),
                  Bytes({0xF0, 0x02, 0x01, 0xF3}));
    EXPECT_EQ(f.event.errorCode, 1);
    // Retries 0 = exactly one attempt.
    radio = f.Radio(6, {}, false);
    EXPECT_FALSE(f.comm.WriteBlock(kAreaEeprom, 0x01, 0, *f.image, &f.event));
    EXPECT_EQ(radio.get().size(), 6u);
    EXPECT_TRUE(f.pty.Quiet());
    const std::string log = home.LogText();
    EXPECT_NE(log.find("送信要求コマンド送信処理失敗[STATUS:0][BLOCK:1][RETRY:3]"),
              std::string::npos);
    EXPECT_NE(log.find("送信要求コマンド送信処理失敗[STATUS:0][BLOCK:1] "), std::string::npos);
    EXPECT_NE(log.find("書き込みコマンド送信処理失敗[STATUS:0][BLOCK:1] "), std::string::npos);
}

TEST(CloneProtocol, HandshakeAndReset) {
    TempHome home(6);
    Fixture f;
    ASSERT_TRUE(f.Open());

    // Other bytes count as tries; the Check byte is answered with Power On.
    auto radio = std::async(std::launch::async, [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20)); // after the purge
        f.pty.Send(Bytes({0x11, 0x22, 0x50}));
        auto reply = f.pty.Receive(1);
        f.pty.Send(reply);
        return reply;
    });
    EXPECT_TRUE(f.comm.SetCloneMode(f.event));
    EXPECT_EQ(radio.get(), Bytes({0x40}));
    EXPECT_EQ(f.comm.GetStatusText(), "Now uploading");

    radio = std::async(std::launch::async, [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        f.pty.Send(Bytes({0x50}));
        auto reply = f.pty.Receive(1);
        f.pty.Send(reply);
        return reply;
    });
    EXPECT_TRUE(f.comm.SetCloneModeAdj(f.event));
    EXPECT_EQ(radio.get(), Bytes({0x30}));

    // Twenty reads without a Check: failure with error code 0.
    HSerialTimeouts quick = f.port.GetTimeouts();
    quick.ReadTotalTimeoutConstant = 30;
    f.port.SetTimeouts(quick);
    f.event.errorCode = 5;
    EXPECT_FALSE(f.comm.SetCloneMode(f.event));
    EXPECT_EQ(f.event.errorCode, 0);
    EXPECT_EQ(f.comm.GetStatusText(), "Switch radio ON, then start uploading");

    // A cancel request ends the wait at once.
    f.comm.RequestCancel();
    EXPECT_FALSE(f.comm.SetCloneMode(f.event));
    f.comm.ClearCancel();

    auto reset = f.Radio(3, {});
    EXPECT_EQ(f.comm.ResetRadio(&f.event), 0);
    EXPECT_EQ(reset.get(), Bytes({0x38, 0x01, 0x39}));
    // Without the echo the reset is reported as not sent.
    reset = f.Radio(3, {}, false);
    EXPECT_EQ(f.comm.ResetRadio(&f.event), 1);
    reset.get();
    EXPECT_EQ(f.event.errorCode, 1);

    const std::string log = home.LogText();
    EXPECT_NE(log.find("Check コマンドではなかったため、そのまま待機処理を継続します。"),
              std::string::npos);
    EXPECT_NE(log.find("Power On コマンド送信成功。"), std::string::npos);
    EXPECT_NE(log.find("ADJモード移行 コマンド送信成功。"), std::string::npos);
    EXPECT_NE(log.find("Check コマンド受信タイムアウト。継続して待機。"), std::string::npos);
    EXPECT_NE(log.find("[ER] リセットエラー!"), std::string::npos);
    EXPECT_NE(log.find("リセットコマンド送信処理成功"), std::string::npos);
    EXPECT_NE(log.find("[ER] リセットコマンド送信処理失敗"), std::string::npos);
}

TEST(CloneProtocol, OpenPortTakesTheEventSettings) {
    TempHome home(5);
    Fixture f;
    f.event.baudRate = 19200;
    f.event.stopBits = 2;
    f.event.echoOff = 1;
    f.event.portNumber = 0;
    ASSERT_TRUE(f.Open());
    EXPECT_EQ(f.port.GetLineSettings().BaudRate, 19200u);
    EXPECT_EQ(f.port.GetLineSettings().StopBits, 2);
    EXPECT_EQ(f.port.GetEchoOff(), 1);
    std::array<std::uint8_t, 6> header{};
    f.port.GetInterfaceHeader(header);
    EXPECT_EQ(header[2], 0x8C);
    EXPECT_EQ(header[3], 0x00);
    termios tio{};
    ASSERT_EQ(::tcgetattr(f.port.GetHandle(), &tio), 0);
    EXPECT_TRUE(tio.c_cflag & CSTOPB);
    EXPECT_EQ(::cfgetospeed(&tio), speed_t(B19200));
    const std::string log = home.LogText();
    EXPECT_NE(log.find("[DCB]BaudRate is 9600"), std::string::npos);
    EXPECT_NE(log.find("[DCB]BaudRate is 19200"), std::string::npos);
    EXPECT_NE(log.find("[DCB]StopBits is 2"), std::string::npos);

    // A port that cannot be opened.
    f.port.Close();
    f.event.devicePath = home.Path("none");
    EXPECT_FALSE(f.comm.OpenPort(f.event));
    EXPECT_NE(f.port.GetOpenErrorDetail().find("No such file"), std::string::npos);
}
