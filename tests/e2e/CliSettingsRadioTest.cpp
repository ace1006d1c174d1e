// Settings changed with rp57cli set reach the radio: a download to the
// simulated radio and an upload back show every setting as it was set.
#include "CliRun.h"
#include "link/LinkTestUtil.h"

#include <gtest/gtest.h>

#if defined(RP57_RADIO_SIM) && defined(RP57CLI_PATH)

using namespace linktest;

TEST(CliSettingsRadio, SetSettingsSurviveADownloadAndAnUpload) {
    TempHome home;
    SimRadio radio(home);
    ASSERT_TRUE(radio.Started());
    const std::string made = home.Path("new.r57");
    const std::string set = home.Path("set.r57");
    const std::string back = home.Path("back.r57");
    ASSERT_EQ(Cli({"new", "-o", made}, home).status, 0);
    const CliResult changed =
        Cli({"set", made, "power_saving.mic_gain=+6dB", "power_saving.power_on_tag=DEALER",
             "scanning.dual_watch_timer=1 sec", "key_function.p2_short_press=SCAN",
             "emergency.dtmf_emergency_code=1234*", "miscellaneous.horn_alert_time=3 min",
             "password.password_1=9", "dsub_15.acc_i_o_port_1_output=Busy",
             "front_panel.panel_led_a=LOW", "option.dimmer_level=DM1", "-o", set},
            home);
    ASSERT_EQ(changed.status, 0) << changed.err;

    const CliResult down =
        Cli({"download", "--port", radio.Link(), set, "--password", "481736"}, home);
    ASSERT_EQ(down.status, 0) << down.out << down.err;
    const CliResult up =
        Cli({"upload", "--port", radio.Link(), "-o", back, "--password", "481736"}, home);
    ASSERT_EQ(up.status, 0) << up.err;

    const CliResult before = Cli({"show", set}, home);
    const CliResult after = Cli({"show", back}, home);
    ASSERT_EQ(before.status, 0);
    EXPECT_EQ(after.out, before.out);
    EXPECT_NE(after.out.find("power_saving.mic_gain = +6dB\n"), std::string::npos);
    EXPECT_NE(after.out.find("emergency.dtmf_emergency_code = 1234*\n"), std::string::npos);
}

#endif
