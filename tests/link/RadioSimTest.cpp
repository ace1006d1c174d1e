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

TEST(RadioSim, FaultOptions) {
    const struct {
        const char* text;
        HSimFaultKind kind;
        long a, b;
    } good[] = {
        {"bad-checksum:flash:0x5C", HSimFaultKind::BadChecksum, 1, 0x5C},
        {"wrong-first:0:16", HSimFaultKind::WrongFirst, 0, 16},
        {"drop-byte:7", HSimFaultKind::DropByte, 7, 0},
        {"vanish-after:0", HSimFaultKind::VanishAfter, 0, 0},
        {"nak:3", HSimFaultKind::Nak, 3, 0},
        {"silent", HSimFaultKind::Silent, 0, 0},
        {"no-echo", HSimFaultKind::NoEcho, 0, 0},
    };
    for (const auto& g : good) {
        const auto f = ParseSimFault(g.text);
        ASSERT_TRUE(f) << g.text;
        EXPECT_EQ(f->kind, g.kind) << g.text;
        EXPECT_EQ(f->a, g.a) << g.text;
        EXPECT_EQ(f->b, g.b) << g.text;
    }
    for (const char* bad :
         {"", "loud", "silent:1", "drop-byte", "drop-byte:0", "drop-byte:x", "nak:-1",
          "bad-checksum:2:1", "bad-checksum:0", "wrong-first:0:256", "vanish-after:1:2"})
        EXPECT_FALSE(ParseSimFault(bad)) << bad;
}

TEST(RadioSim, SessionsReadWriteResetAndPersist) {
    TempHome home;
    const HMemoryImage original = Pattern();
    SimRadio radio(home, {}, &original);
    ASSERT_TRUE(radio.Started());

    Client c(radio.Link());
    ASSERT_TRUE(c.Connect());
    ASSERT_TRUE(c.Read(kAreaEeprom, 1));
    EXPECT_EQ(c.image[2], 5);
    EXPECT_EQ(c.image[3], 0);
    ASSERT_TRUE(c.Read(kAreaFlash, 0x5E));
    EXPECT_TRUE(
        std::equal(c.image.begin() + 12544, c.image.begin() + 12672, original.begin() + 12544));
    c.image[0x20] = 0x12;
    c.image[0x21] = 0x34;
    ASSERT_TRUE(c.Write(kAreaEeprom, 0x10));
    std::fill_n(c.image.begin() + 512 + 3 * 128, 128, 0xAB);
    ASSERT_TRUE(c.Write(kAreaFlash, 3));
    c.Finish();

    // Written back after the session, whole.
    HMemoryImage expected = original;
    expected[0x20] = 0x12;
    expected[0x21] = 0x34;
    std::fill_n(expected.begin() + 512 + 3 * 128, 128, 0xAB);
    EXPECT_TRUE(WaitFor([&] { return ReadImage(radio.MemoryPath()) == expected; }));

    // After the reset the radio sends Check again: a second session works.
    Client again(radio.Link());
    ASSERT_TRUE(again.Connect());
    ASSERT_TRUE(again.Read(kAreaFlash, 3));
    EXPECT_EQ(again.image[512 + 3 * 128 + 127], 0xAB);
    again.Finish();

    EXPECT_EQ(radio.Stop(), 0);
    EXPECT_FALSE(fs::exists(radio.Link()) || fs::is_symlink(radio.Link()));
    const std::string log = ReadText(radio.LogPath());
    for (const char* line :
         {"PC>RADIO F0 02 01 F3", "RADIO>PC F0 03 05 00 F8", "PC>RADIO F1 04 10 12 34 4B",
          "PC>RADIO 38 01 39", "(Power On: clone mode)"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
}

TEST(RadioSim, DefaultMemoryCodesAndOnce) {
    TempHome home;
    {
        SimRadio radio(home, {"--production-code", "7", "--once"});
        ASSERT_TRUE(radio.Started());
        Client c(radio.Link());
        ASSERT_TRUE(c.Connect());
        ASSERT_TRUE(c.Read(kAreaEeprom, 1));
        EXPECT_EQ(c.image[2], 7);
        EXPECT_EQ(c.image[3], 0);
        c.Finish();
        EXPECT_EQ(radio.Process().WaitExit(), 0); // --once: gone after the first reset
        EXPECT_FALSE(fs::is_symlink(radio.Link()));
        EXPECT_FALSE(fs::exists(radio.MemoryPath())); // nothing was written, nothing saved
    }
    SimRadio radio(home);
    ASSERT_TRUE(radio.Started());
    Client d(radio.Link());
    ASSERT_TRUE(d.Connect());
    ASSERT_TRUE(d.Read(kAreaEeprom, 1));
    EXPECT_EQ(d.image[2], 5); // the built-in memory: a mobile set, custom code 0
    EXPECT_EQ(d.image[3], 0);
    d.Finish();
}

TEST(RadioSim, RefusesBadStartsAndEndsCleanlyOnSignals) {
    TempHome home;
    EXPECT_EQ(SimRadio(home, {"--fault", "loud"}).Process().WaitExit(), 2);
    std::ofstream(home.Path("radio.mem")) << "too short";
    {
        SimRadio shortFile(home);
        EXPECT_EQ(shortFile.Process().WaitExit(), 1);
        EXPECT_FALSE(fs::is_symlink(shortFile.Link()));
    }
    const HMemoryImage pattern = Pattern();
    SimRadio radio(home, {}, &pattern);
    ASSERT_TRUE(radio.Started());
    // A write, then the radio is stopped mid-session: what it stored is kept.
    Client c(radio.Link());
    ASSERT_TRUE(c.Connect());
    c.image[0x20] = 0x77;
    ASSERT_TRUE(c.Write(kAreaEeprom, 0x10));
    ::kill(radio.Process().Pid(), SIGINT);
    EXPECT_EQ(radio.Process().WaitExit(), 0);
    EXPECT_FALSE(fs::is_symlink(radio.Link()));
    EXPECT_EQ(ReadImage(radio.MemoryPath())[0x20], 0x77);
    c.port.Close();
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
    c.Finish();
    const HMemoryImage saved = radio.StopAndRead();
    EXPECT_EQ(saved[512 + 4 * 128], 0xCD);
    EXPECT_EQ(saved[512 + 3 * 128], original[512 + 3 * 128]);
    EXPECT_NE(ReadText(radio.LogPath()).find("reply byte 3 dropped"), std::string::npos);
    const std::string log = home.LogText();
    EXPECT_NE(log.find("[ER] 送信データ受信失敗[STATUS:1][BLOCK:2] "), std::string::npos);
    EXPECT_NE(log.find("[ER] 送信失敗[STATUS:0][BLOCK:16]"), std::string::npos);
}

TEST(RadioSim, CableWithoutEcho) {
    TempHome home;
    SimRadio radio(home, {"--fault", "no-echo"});
    ASSERT_TRUE(radio.Started());
    {
        // Expecting an echo that never comes: the Power On counts as not sent.
        Client c(radio.Link());
        ASSERT_TRUE(c.comm.OpenPort(c.event));
        EXPECT_FALSE(c.comm.SetCloneMode(c.event));
        EXPECT_EQ(c.event.errorCode, 1);
        // The radio did hear Power On; end its session. (The result is not
        // checked: with no echo, the Check bytes it then sends can pass for one.)
        c.Finish();
    }
    // Set up for a cable without echo, the same radio works.
    Client c(radio.Link(), true);
    ASSERT_TRUE(c.Connect());
    EXPECT_TRUE(c.Read(kAreaEeprom, 1)) << ReadText(radio.LogPath());
    c.Finish();
}

TEST(RadioSim, PacedLineStillWorks) {
    TempHome home;
    SimRadio radio(home, {"--pace"});
    ASSERT_TRUE(radio.Started());
    Client c(radio.Link());
    c.event.baudRate = 19200;
    ASSERT_TRUE(c.Connect());
    EXPECT_TRUE(c.Read(kAreaFlash, 0));
    c.Finish();
}
