// The clone protocol over a real pseudo-terminal, with the test playing the
// radio byte by byte on the master side.
#include "HComAlignment.h"
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
    HMemoryImage image{};
};

} // namespace

TEST(CloneProtocol, BlocksHandshakeResetAndOpenSettings) {
    TempHome home(6);
    Fixture f;
    f.image[0x20] = 0x12; // what the writes send
    f.image[0x21] = 0x34;
    std::fill_n(f.image.begin() + 512, 128, 0xFF);
    std::vector<std::uint8_t> flashWrite{0xF3, 0x82, 0x00};
    flashWrite.resize(131, 0xFF);
    flashWrite.push_back(0xF5); // (F3 + 82 + 128·FF) mod 256
    const auto ok = Bytes({0xF0, 0x03, 0x12, 0x34, 0x39});
    const struct {
        bool write;
        int area;
        std::vector<std::uint8_t> request, reply;
        bool ok;
        int errorCode;
    } rows[] = {
        {false, kAreaEeprom, Bytes({0xF0, 0x02, 0x10, 0x02}), ok, true, 0},
        {false, kAreaEeprom, {}, Bytes({0xF0, 0x03, 0x12}), false, 2}, // short: a time-out
        {false, kAreaEeprom, {}, Bytes({0xF0, 0x03, 0x12, 0x34, 0x38}), false, 0}, // checksum
        // Low 8 bits of F1+04+10+12+34 = 0x14B.
        {true, kAreaEeprom, Bytes({0xF1, 0x04, 0x10, 0x12, 0x34, 0x4B}),
         Bytes({0xF1, 0x03, 0x12, 0x34, 0x3A}), true, 0},
        {true, kAreaEeprom, {}, ok, false, 0},                   // the answer of a read
        {true, kAreaFlash, flashWrite, Bytes({0x06}), true, 0},  // ACK
        {true, kAreaFlash, flashWrite, Bytes({0x15}), false, 0}, // NAK
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << (row.write ? "write " : "read ") << row.area
                                        << " answered " << row.reply.size() << " bytes");
        const int block = row.area == kAreaFlash ? 0 : 0x10;
        const std::size_t n = row.write ? (row.area == kAreaFlash ? 132 : 6) : 4;
        HMemoryImage read{};
        auto radio = f.Radio(n, row.reply);
        f.event.errorCode = 9;
        EXPECT_EQ(row.write ? f.comm.WriteBlock(row.area, block, 0, f.image, &f.event)
                            : f.comm.ReadBlock(row.area, block, 0, read, &f.event),
                  row.ok);
        const auto sent = radio.get();
        if (!row.request.empty()) {
            EXPECT_EQ(sent, row.request);
        }
        EXPECT_EQ(f.event.errorCode, row.errorCode);
        EXPECT_EQ(read[0x20], row.ok && !row.write ? 0x12 : 0);
        EXPECT_EQ(read[0x21], row.ok && !row.write ? 0x34 : 0); // both bytes of the word
    }

    // Blocks outside the image are refused before any traffic.
    EXPECT_FALSE(f.comm.ReadBlock(kAreaFlash, 0x5F, 3, f.image, &f.event));
    EXPECT_FALSE(f.comm.ReadBlock(kAreaEeprom, 0x100, 0, f.image, nullptr));
    EXPECT_FALSE(f.comm.WriteBlock(2, 0, 0, f.image, &f.event));
    EXPECT_EQ(f.event.errorCode, 1);
    EXPECT_TRUE(f.pty.Receive(1, 200ms).empty());

    // Retries repeat only a request that could not be sent (no echo came back):
    // retries 2 = three attempts.
    auto radio = f.Radio(12, {}, false);
    EXPECT_FALSE(f.comm.ReadBlock(kAreaEeprom, 0x01, 2, f.image, &f.event));
    EXPECT_EQ(radio.get(),
              Bytes({0xF0, 0x02, 0x01, 0xF3, 0xF0, 0x02, 0x01, 0xF3, 0xF0, 0x02, 0x01, 0xF3}));
    EXPECT_EQ(f.event.errorCode, 1);

    // Other bytes count as tries; the Check byte is answered with Power On.
    radio = f.Handshake(Bytes({0x11, 0x22, 0x50}));
    EXPECT_TRUE(f.comm.SetCloneMode(f.event));
    EXPECT_EQ(radio.get(), Bytes({0x40}));
    radio = f.Handshake(Bytes({0x50}));
    EXPECT_TRUE(f.comm.SetCloneModeAdj(f.event));
    EXPECT_EQ(radio.get(), Bytes({0x30}));

    // (Twenty reads without a Check: the CLI failure table.) A cancel request ends the wait at
    // once.
    f.comm.RequestCancel();
    EXPECT_FALSE(f.comm.SetCloneMode(f.event));
    f.comm.ClearCancel();

    auto reset = f.Radio(3, {});
    EXPECT_EQ(f.comm.ResetRadio(&f.event), 0);
    EXPECT_EQ(reset.get(), Bytes({0x38, 0x01, 0x39}));

    // OpenPort takes the event's line rate and port number.
    f.port.Close();
    f.event.baudRate = 19200;
    f.event.portNumber = 0;
    ASSERT_TRUE(f.comm.OpenPort(f.event));
    EXPECT_EQ(f.port.GetLineSettings().BaudRate, 19200u);
    std::array<std::uint8_t, 6> header{};
    f.port.GetInterfaceHeader(header);
    EXPECT_EQ(std::vector(header.begin() + 2, header.begin() + 4), Bytes({0x8C, 0x00}));

    EXPECT_EQ("", Missing(home.LogText(),
                          {"送信要求コマンド送信処理成功[STATUS:0][BLOCK:10][RETRY:1]",
                           "[ER] 送信失敗[STATUS:0][BLOCK:16]", // the write side counts in decimal
                           "送信要求コマンド送信処理失敗[STATUS:0][BLOCK:1][RETRY:3]",
                           "Check コマンドではなかったため、そのまま待機処理を継続します。"}));
}

TEST(CloneProtocol, TheCheckWaitEndsAfterTwentyReadsAndAResetNeedsItsEcho) {
    TempHome home(6);
    // The radio sends `others` bytes that are not the Check, then the Check.
    const auto checkAfter = [](Fixture& f, int others) {
        return std::async(std::launch::async, [&f, others] {
            std::this_thread::sleep_for(20ms); // after the purge
            std::vector<std::uint8_t> bytes(std::size_t(others), 0x11);
            bytes.push_back(0x50);
            f.pty.Send(bytes);
            auto reply = f.pty.Receive(1, 300ms);
            f.pty.Send(reply); // the cable's echo
            return reply;
        });
    };
    {
        Fixture f; // the Check as the twentieth byte still counts
        auto radio = checkAfter(f, kHandshakeTries - 1);
        EXPECT_TRUE(f.comm.SetCloneMode(f.event));
        EXPECT_EQ(radio.get(), Bytes({0x40}));
    }
    {
        Fixture f; // twenty reads without it: the radio was not switched on, code 0
        auto radio = checkAfter(f, kHandshakeTries);
        f.event.errorCode = 5;
        EXPECT_FALSE(f.comm.SetCloneMode(f.event));
        EXPECT_TRUE(radio.get().empty()); // no Power On was sent
        EXPECT_EQ(f.event.errorCode, 0);
        EXPECT_EQ(f.comm.GetStatusText(), "Switch radio ON, then start uploading");
    }
    Fixture f; // a reset the cable does not echo was not sent
    auto reset = f.Radio(3, {}, false);
    EXPECT_EQ(f.comm.ResetRadio(&f.event), 1);
    EXPECT_EQ(reset.get(), Bytes({0x38, 0x01, 0x39}));
    EXPECT_EQ(f.event.errorCode, 1);
    // The radio's line: 8 data bits, no parity, two stop bits.
    const HLineSettings line = f.port.GetLineSettings();
    EXPECT_EQ(line.ByteSize, 8);
    EXPECT_EQ(line.Parity, 0);
    EXPECT_EQ(line.StopBits, 2);
    EXPECT_EQ("", Missing(home.LogText(), {"[ER] リセットエラー!", "[DCB]StopBits is 2",
                                           "[ER] リセットコマンド送信処理失敗"}));
}

TEST(CloneProtocol, ACheckRepeatedBeforeTheAnswerWasTakenIsNotItsEcho) {
    // A radio sends its Check again while the answer is on its way (a busy
    // machine answers late), and echoes the answer only after that. The
    // handshake waits for the echo: taken for the second Check, the echo
    // would come as the first byte of the next command's reply.
    TempHome home;
    Fixture f;
    HComAlignment comm(&f.port);
    auto radio = std::async(std::launch::async, [&f] {
        std::this_thread::sleep_for(20ms); // after the purge
        f.pty.Send({kCheck, kCheck});
        std::vector<std::uint8_t> seen = f.pty.Receive(1);
        std::this_thread::sleep_for(50ms);
        f.pty.Send(seen); // the answer's echo, late
        const std::vector<std::uint8_t> request = f.pty.Receive(3);
        f.pty.Send(request);
        f.pty.Send({0x06});
        seen.insert(seen.end(), request.begin(), request.end());
        return seen;
    });
    EXPECT_TRUE(comm.SetCloneModeAdj(f.event));
    EXPECT_TRUE(comm.RequestRx());
    EXPECT_EQ(radio.get().front(), kAdjMode);
}
