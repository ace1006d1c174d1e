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
        image.fill(0);
        EXPECT_TRUE(comm.OpenPort(event));
    }

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
    // The radio waiting for Power On: sends `before`, then echoes the answer byte.
    std::future<std::vector<std::uint8_t>> Handshake(std::vector<std::uint8_t> before) {
        return std::async(std::launch::async, [this, before] {
            std::this_thread::sleep_for(20ms); // after the purge
            pty.Send(before);
            auto reply = pty.Receive(1);
            pty.Send(reply);
            return reply;
        });
    }

    PtyPair pty;
    HSerialPort port;
    HRpCommonCommunication comm;
    HCommEventData event;
    HMemoryImage image;
};

bool Has(const std::string& log, const char* text) {
    return log.find(text) != std::string::npos;
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
    EXPECT_EQ(std::vector(flash.begin(), flash.begin() + 3), Bytes({0xF3, 0x82, 0x00}));
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
    auto radio = f.Radio(4, Bytes({0xF0, 0x03, 0x12, 0x34, 0x39}));
    EXPECT_TRUE(f.comm.ReadBlock(kAreaEeprom, 0x10, 0, f.image, &f.event));
    EXPECT_EQ(radio.get(), Bytes({0xF0, 0x02, 0x10, 0x02}));
    EXPECT_EQ(std::vector(f.image.begin() + 0x20, f.image.begin() + 0x22), Bytes({0x12, 0x34}));
    EXPECT_EQ(f.event.errorCode, 0);

    std::vector<std::uint8_t> page{0xF2, 0x81};
    for (int i = 0; i < 128; ++i)
        page.push_back(std::uint8_t(7 + i));
    page.push_back(Checksum(page));
    radio = f.Radio(4, page);
    EXPECT_TRUE(f.comm.ReadBlock(kAreaFlash, 3, 0, f.image, &f.event));
    EXPECT_EQ(radio.get(), Bytes({0xF2, 0x02, 0x03, 0xF7}));
    EXPECT_EQ(std::vector(f.image.begin() + 512 + 384, f.image.begin() + 512 + 512),
              std::vector(page.begin() + 2, page.end() - 1));
    EXPECT_EQ(f.image[512 + 383], 0);
    EXPECT_EQ(f.image[512 + 512], 0);

    // Refused answers store nothing; a short one is a time-out (error code 2).
    const std::pair<std::vector<std::uint8_t>, int> refused[] = {
        {Bytes({0xF0, 0x03, 0x12, 0x34, 0x38}), 0}, // wrong checksum
        {Bytes({0xF1, 0x03, 0x12, 0x34, 0x3A}), 0}, // the answer of another command
        {Bytes({0xF0, 0x03, 0x12}), 2},
    };
    for (const auto& [reply, code] : refused) {
        f.image.fill(0);
        radio = f.Radio(4, reply);
        EXPECT_FALSE(f.comm.ReadBlock(kAreaEeprom, 0x10, 0, f.image, &f.event));
        radio.get();
        EXPECT_EQ(f.event.errorCode, code) << int(reply.back());
        EXPECT_EQ(f.image[0x20], 0);
    }
    const std::string log = home.LogText();
    EXPECT_TRUE(Has(log, "送信要求コマンド送信処理成功[STATUS:0][BLOCK:10][RETRY:1]"));
    EXPECT_TRUE(Has(log, "送信データ受信成功[STATUS:1][BLOCK:3]"));
    EXPECT_TRUE(Has(log, "[ER] 送信データ受信失敗[STATUS:0][BLOCK:10] "));
    EXPECT_TRUE(Has(log, "[ER] 送信データ受信失敗[STATUS:0][BLOCK:10][RETRY:1]"));
}

TEST(CloneProtocol, WriteBlockWorkedExamples) {
    TempHome home(6);
    Fixture f;
    f.image[0x20] = 0x12;
    f.image[0x21] = 0x34;
    auto radio = f.Radio(6, Bytes({0xF1, 0x03, 0x12, 0x34, 0x3A}));
    EXPECT_TRUE(f.comm.WriteBlock(kAreaEeprom, 0x10, 0, f.image, &f.event));
    EXPECT_EQ(radio.get(), Bytes({0xF1, 0x04, 0x10, 0x12, 0x34, 0x4B}));
    // Answered by a frame of another command, or with a bad checksum.
    for (const auto& reply :
         {Bytes({0xF0, 0x03, 0x12, 0x34, 0x39}), Bytes({0xF1, 0x03, 0x12, 0x34, 0x00})}) {
        radio = f.Radio(6, reply);
        EXPECT_FALSE(f.comm.WriteBlock(kAreaEeprom, 0x10, 0, f.image, &f.event));
        radio.get();
        EXPECT_EQ(f.event.errorCode, 0);
    }

    // A FLASH page is answered with ACK, NAK or (here) nothing: a time-out.
    std::fill_n(f.image.begin() + 512, 128, 0xFF);
    radio = f.Radio(132, Bytes({0x06}));
    EXPECT_TRUE(f.comm.WriteBlock(kAreaFlash, 0, 0, f.image, &f.event));
    const auto sent = radio.get();
    ASSERT_EQ(sent.size(), 132u);
    EXPECT_EQ(sent.back(), 0xF5);
    radio = f.Radio(132, Bytes({0x15}));
    EXPECT_FALSE(f.comm.WriteBlock(kAreaFlash, 0, 0, f.image, &f.event));
    radio.get();
    radio = f.Radio(132, {});
    EXPECT_FALSE(f.comm.WriteBlock(kAreaFlash, 0, 0, f.image, &f.event));
    radio.get();
    EXPECT_EQ(f.event.errorCode, 2);
    EXPECT_TRUE(Has(home.LogText(), "[ER] 送信失敗[STATUS:1][BLOCK:0]"));
    EXPECT_TRUE(Has(home.LogText(), "送信成功[STATUS:1][BLOCK:0]"));
}

TEST(CloneProtocol, BlocksOutsideTheImageAreRefusedBeforeAnyTraffic) {
    TempHome home(6);
    Fixture f;
    EXPECT_FALSE(f.comm.ReadBlock(kAreaFlash, 0x5F, 3, f.image, &f.event));
    EXPECT_FALSE(f.comm.WriteBlock(kAreaFlash, 0x80, 3, f.image, &f.event));
    EXPECT_FALSE(f.comm.ReadBlock(kAreaEeprom, 0x100, 0, f.image, nullptr));
    EXPECT_FALSE(f.comm.WriteBlock(2, 0, 0, f.image, &f.event));
    EXPECT_EQ(f.event.errorCode, 1);
    EXPECT_TRUE(f.pty.Quiet());
}

TEST(CloneProtocol, RetriesRepeatOnlyARequestThatCouldNotBeSent) {
    TempHome home(6);
    Fixture f;
    // No echo comes back, so every send fails; retries 2 = three attempts.
    auto radio = f.Radio(12, {}, false);
    EXPECT_FALSE(f.comm.ReadBlock(kAreaEeprom, 0x01, 2, f.image, &f.event));
    const auto sent = radio.get();
    EXPECT_EQ(sent,
              Bytes({0xF0, 0x02, 0x01, 0xF3, 0xF0, 0x02, 0x01, 0xF3, 0xF0, 0x02, 0x01, 0xF3}));
    EXPECT_EQ(f.event.errorCode, 1);
    // Retries 0 = exactly one attempt.
    radio = f.Radio(6, {}, false);
    EXPECT_FALSE(f.comm.WriteBlock(kAreaEeprom, 0x01, 0, f.image, &f.event));
    EXPECT_EQ(radio.get().size(), 6u);
    EXPECT_TRUE(f.pty.Quiet());
    const std::string log = home.LogText();
    EXPECT_TRUE(Has(log, "送信要求コマンド送信処理失敗[STATUS:0][BLOCK:1][RETRY:3]"));
    EXPECT_TRUE(Has(log, "送信要求コマンド送信処理失敗[STATUS:0][BLOCK:1] "));
    EXPECT_TRUE(Has(log, "書き込みコマンド送信処理失敗[STATUS:0][BLOCK:1] "));
}

TEST(CloneProtocol, HandshakeAndReset) {
    TempHome home(6);
    Fixture f;
    // Other bytes count as tries; the Check byte is answered with Power On.
    auto radio = f.Handshake(Bytes({0x11, 0x22, 0x50}));
    EXPECT_TRUE(f.comm.SetCloneMode(f.event));
    EXPECT_EQ(radio.get(), Bytes({0x40}));
    EXPECT_EQ(f.comm.GetStatusText(), "Now uploading");
    radio = f.Handshake(Bytes({0x50}));
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
    for (const char* text :
         {"Check コマンドではなかったため、そのまま待機処理を継続します。",
          "Power On コマンド送信成功。", "ADJモード移行 コマンド送信成功。",
          "Check コマンド受信タイムアウト。継続して待機。", "[ER] リセットエラー!",
          "リセットコマンド送信処理成功", "[ER] リセットコマンド送信処理失敗"})
        EXPECT_TRUE(Has(log, text)) << text;
}

TEST(CloneProtocol, OpenPortTakesTheEventSettings) {
    TempHome home(5);
    PtyPair pty;
    HSerialPort port;
    HRpCommonCommunication comm(&port);
    HCommEventData event;
    event.devicePath = pty.SlavePath();
    event.baudRate = 19200;
    event.stopBits = 2;
    event.echoOff = 1;
    event.portNumber = 0;
    ASSERT_TRUE(comm.OpenPort(event));
    EXPECT_EQ(port.GetLineSettings().BaudRate, 19200u);
    EXPECT_EQ(port.GetLineSettings().StopBits, 2);
    EXPECT_EQ(port.GetEchoOff(), 1);
    std::array<std::uint8_t, 6> header{};
    port.GetInterfaceHeader(header);
    EXPECT_EQ(header[2], 0x8C);
    EXPECT_EQ(header[3], 0x00);
    termios tio{};
    ASSERT_EQ(::tcgetattr(port.GetHandle(), &tio), 0);
    EXPECT_TRUE(tio.c_cflag & CSTOPB);
    EXPECT_EQ(::cfgetospeed(&tio), speed_t(B19200));
    const std::string log = home.LogText();
    EXPECT_TRUE(Has(log, "[DCB]BaudRate is 9600"));
    EXPECT_TRUE(Has(log, "[DCB]BaudRate is 19200"));
    EXPECT_TRUE(Has(log, "[DCB]StopBits is 2"));

    port.Close();
    event.devicePath = home.Path("none");
    EXPECT_FALSE(comm.OpenPort(event));
    EXPECT_NE(port.GetOpenErrorDetail().find("No such file"), std::string::npos);
}
