// Finding the radio by listening: among several pseudo-terminals only the one
// where the simulated radio sends its Check byte is named, and the others never
// receive a byte; serial devices are listed in the order a technician expects.
#include "HRadioDetect.h"
#include "LinkTestUtil.h"
#include "TempDir.h"

#include <gtest/gtest.h>

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
    ASSERT_EQ(report.unusable.size(), 1u);
    EXPECT_NE(report.unusable[0].find("no-such-device"), std::string::npos);
    // Listening only: nothing reached the ports without a radio.
    EXPECT_TRUE(quietA.Receive(1, std::chrono::milliseconds(200)).empty());
    EXPECT_TRUE(quietB.Receive(1, std::chrono::milliseconds(200)).empty());
    // Nor the radio: it is still waiting for Power On.
    EXPECT_TRUE(radio.Frames().empty());
}

TEST(RadioDetect, NoRadioNoName) {
    PtyPair quiet;
    const HRadioDetect::HListenReport report =
        HRadioDetect::Listen({quiet.SlavePath()}, std::chrono::milliseconds(300));
    EXPECT_TRUE(report.radios.empty());
    EXPECT_TRUE(report.unusable.empty());
}
#endif
