// The simulated radio, driven through the real clone protocol classes over its
// pseudo-terminal. (Each well-formed fault is proven by the row of the CLI
// failure table that uses it: without it that transfer would succeed.)
#include "HRadioSim.h"
#include "HRpCommonCommunication.h"
#include "LinkTestUtil.h"

using namespace linktest;
using namespace HCloneProtocol;

namespace {

// The program's side: protocol object and port on the simulator's link.
struct Client {
    explicit Client(const std::string& link) : comm(&port) { event.devicePath = link; }
    bool Connect() { return comm.OpenPort(event) && comm.SetCloneMode(event); }
    bool Read(int area, int block) { return comm.ReadBlock(area, block, 0, image, &event); }
    void Finish() {
        (void)comm.ResetRadio(&event);
        port.Close();
    }

    HSerialPort port;
    HRpCommonCommunication comm;
    HCommEventData event;
    HMemoryImage image{};
};

} // namespace

TEST(RadioSim, FaultParsing) {
    for (const char* good : {"bad-checksum:flash:0x5C", "wrong-first:eeprom:0x10", "drop-byte:3"})
        EXPECT_TRUE(ParseSimFault(good)) << good;
    for (const char* bad : {"loud", "silent:1", "drop-byte:0", "drop-byte:x", "bad-checksum:2:1",
                            "wrong-first:0:256"})
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
    const HMemoryImage blank{};
    SimRadio radio(home, {}, &blank);
    Client c(radio.Link());
    ASSERT_TRUE(c.Connect());
    c.image[0x20] = 0x77;
    ASSERT_TRUE(c.comm.WriteBlock(kAreaEeprom, 0x10, 0, c.image, &c.event));
    ::kill(radio.Pid(), SIGINT);
    EXPECT_EQ(radio.WaitExit(), 0);
    EXPECT_FALSE(fs::is_symlink(radio.Link()));
    EXPECT_EQ(ReadImage(radio.MemoryPath())[0x20], 0x77);
}

// A paced line at 19200 baud works.
TEST(RadioSim, PacedLineWorks) {
    TempHome home;
    SimRadio paced(home, {"--pace"});
    Client c(paced.Link());
    c.event.baudRate = 19200;
    ASSERT_TRUE(c.Connect());
    EXPECT_TRUE(c.Read(kAreaFlash, 0));
    c.Finish();
}
