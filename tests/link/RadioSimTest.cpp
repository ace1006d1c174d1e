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

TEST(RadioSim, StartsStopsPacesAndSavesOnlyWrites) {
    TempHome home;
    {
        // A paced line at 19200 baud; --once ends after the first session, and
        // with nothing written there is no memory file.
        SimRadio once(home, {"--pace", "--once"}, nullptr, "1");
        Client c(once.Link());
        c.event.baudRate = 19200;
        ASSERT_TRUE(c.Connect());
        ASSERT_TRUE(c.comm.ReadBlock(kAreaFlash, 0, 0, c.image, &c.event));
        c.Finish();
        EXPECT_EQ(once.WaitExit(), 0);
        EXPECT_FALSE(fs::is_symlink(once.Link()));
        EXPECT_FALSE(fs::exists(once.MemoryPath()));
    }

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

TEST(RadioSim, RefusesBadOptionsAndABadMemoryFile) {
    // Faults with a stray field, a non-number, an unknown area or a byte over 255.
    for (const char* bad :
         {"silent:1", "no-lock:1", "drop-byte:x", "bad-checksum:2:1", "wrong-first:0:256"})
        EXPECT_FALSE(ParseSimFault(bad)) << bad;
    TempHome home;
    EXPECT_EQ(SimRadio(home, {"--fault", "loud"}).WaitExit(), 2);
    EXPECT_FALSE(fs::is_symlink(home.Path("radio")));
    // A memory file of the wrong size is not a radio: no link is made.
    std::ofstream(home.Path("radio.mem")) << "too short";
    EXPECT_EQ(SimRadio(home).WaitExit(), 1);
    EXPECT_FALSE(fs::is_symlink(home.Path("radio")));
}
