// The simulated radio, driven through the real clone protocol classes over its
// pseudo-terminal; each fault is checked for what the program sees. (The CLI
// tests prove what each fault does to a whole transfer.)
#include "HRadioSim.h"
#include "HRpCommonCommunication.h"
#include "LinkTestUtil.h"

using namespace linktest;
using namespace HCloneProtocol;

namespace {

HMemoryImage Pattern() {
    HMemoryImage image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = std::uint8_t((i * 7 + 3) & 0xFF);
    image[kSimProductionCodeOffset] = 5;
    image[kSimCustomCodeOffset] = 0;
    return image;
}

// The program's side: protocol object and port on the simulator's link.
struct Client {
    explicit Client(const std::string& link, bool echoOff = false) : comm(&port) {
        event.devicePath = link;
        event.echoOff = echoOff ? 1 : 0;
        image.fill(0);
    }
    bool Connect() { return comm.OpenPort(event) && comm.SetCloneMode(event); }
    bool Read(int area, int block) { return comm.ReadBlock(area, block, 0, image, &event); }
    bool Write(int area, int block) { return comm.WriteBlock(area, block, 0, image, &event); }
    void Finish() {
        (void)comm.ResetRadio(&event);
        port.Close();
    }

    HSerialPort port;
    HRpCommonCommunication comm;
    HCommEventData event;
    HMemoryImage image;
};

} // namespace

TEST(RadioSim, MalformedFaultsAreRefused) {
    // (Each well-formed fault is used by the session below and the CLI tests.)
    for (const char* bad :
         {"", "loud", "silent:1", "drop-byte", "drop-byte:0", "drop-byte:x", "nak:-1",
          "bad-checksum:2:1", "bad-checksum:0", "wrong-first:0:256", "vanish-after:1:2"})
        EXPECT_FALSE(ParseSimFault(bad)) << bad;
}

TEST(RadioSim, StartsStopsAndSavesOnlyWrites) {
    TempHome home;
    EXPECT_EQ(SimRadio(home, {"--fault", "loud"}).WaitExit(), 2);
    {
        // --once: ends after the first session; nothing written, so no memory file.
        SimRadio once(home, {"--production-code", "7", "--once"}, nullptr, "1");
        Client c(once.Link());
        ASSERT_TRUE(c.Connect());
        ASSERT_TRUE(c.Read(kAreaEeprom, 1));
        EXPECT_EQ(c.image[2], 7);
        c.Finish();
        EXPECT_EQ(once.WaitExit(), 0);
        EXPECT_FALSE(fs::is_symlink(once.Link()));
        EXPECT_FALSE(fs::exists(once.MemoryPath()));
    }
    std::ofstream(home.Path("radio.mem")) << "too short";
    EXPECT_EQ(SimRadio(home).WaitExit(), 1);
    EXPECT_FALSE(fs::is_symlink(home.Path("radio")));

    // A write, then the radio is stopped mid-session: what it stored is kept.
    const HMemoryImage pattern = Pattern();
    SimRadio radio(home, {}, &pattern);
    Client c(radio.Link());
    ASSERT_TRUE(c.Connect());
    c.image[0x20] = 0x77;
    ASSERT_TRUE(c.Write(kAreaEeprom, 0x10));
    ::kill(radio.Pid(), SIGINT);
    EXPECT_EQ(radio.WaitExit(), 0);
    EXPECT_FALSE(fs::is_symlink(radio.Link()));
    EXPECT_EQ(ReadImage(radio.MemoryPath())[0x20], 0x77);
}

TEST(RadioSim, FaultsAsTheProgramSeesThem) {
    TempHome home(6);
    const HMemoryImage original = Pattern();
    // Reply bytes count from the first answer: the EEPROM read answer is bytes 1-5.
    SimRadio radio(home,
                   {"--fault", "drop-byte:3", "--fault", "bad-checksum:0:1", "--fault",
                    "bad-checksum:flash:0x5C", "--fault", "wrong-first:1:2", "--fault",
                    "wrong-first:eeprom:0x10", "--fault", "nak:3"},
                   &original);
    ASSERT_TRUE(radio.Started());
    Client c(radio.Link());
    ASSERT_TRUE(c.Connect());
    std::fill_n(c.image.begin() + 512 + 3 * 128, 256, 0xCD);
    const struct {
        bool write;
        int area, block;
        bool ok;
        int errorCode;
    } steps[] = {
        {false, kAreaEeprom, 2, false, 2}, // one byte dropped: a short answer
        {false, kAreaEeprom, 2, true, 0},  // only that one byte was lost
        {false, kAreaEeprom, 1, false, 0}, // bad checksum
        {false, kAreaFlash, 0x5C, false, 0}, {false, kAreaFlash, 0x5D, true, 0},
        {false, kAreaFlash, 2, false, 0}, // wrong first byte
        {true, kAreaEeprom, 0x10, false, 0}, {false, kAreaFlash, 1, true, 0},
        {true, kAreaFlash, 3, false, 0}, // NAK: not stored
        {true, kAreaFlash, 4, true, 0},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message()
                     << (s.write ? "write " : "read ") << s.area << ":" << s.block);
        EXPECT_EQ(s.write ? c.Write(s.area, s.block) : c.Read(s.area, s.block), s.ok);
        if (!s.ok) {
            EXPECT_EQ(c.event.errorCode, s.errorCode);
        }
    }
    EXPECT_EQ(c.image[2], 0); // the refused word 1 was not stored
    EXPECT_EQ(c.image[4], original[4]);
    EXPECT_EQ(c.image[512 + 0x5D * 128 + 127], original[512 + 0x5D * 128 + 127]);
    c.Finish();
    // Written back when the session ends; the refused page is not.
    EXPECT_TRUE(WaitFor([&] { return ReadImage(radio.MemoryPath())[512 + 4 * 128] == 0xCD; }));
    EXPECT_EQ(ReadImage(radio.MemoryPath())[512 + 3 * 128], original[512 + 3 * 128]);
    EXPECT_NE(ReadText(radio.LogPath()).find("reply byte 3 dropped"), std::string::npos);
    const std::string log = home.LogText();
    EXPECT_NE(log.find("[ER] 送信データ受信失敗[STATUS:1][BLOCK:2] "), std::string::npos);
    EXPECT_NE(log.find("[ER] 送信失敗[STATUS:0][BLOCK:16]"), std::string::npos);
}

// A paced line, and a cable without echo when the port is set up for it.
TEST(RadioSim, PacedLineAndCableWithoutEchoWork) {
    TempHome home;
    SimRadio paced(home, {"--pace"}, nullptr, "p");
    SimRadio noEcho(home, {"--fault", "no-echo"}, nullptr, "e");
    Client a(paced.Link()), b(noEcho.Link(), true);
    a.event.baudRate = 19200;
    for (Client* c : {&a, &b}) {
        ASSERT_TRUE(c->Connect());
        EXPECT_TRUE(c->Read(kAreaFlash, 0)) << c->event.devicePath;
        c->Finish();
    }
}
