// The alignment command layer: its frames from the worked examples, how it
// takes replies (played by the test on a pseudo-terminal), and the simulated
// radio's alignment mode answering every command.
#include "HComAlignment.h"
#include "HRadioSim.h"
#include "HSimAlignment.h"
#include "link/LinkTestUtil.h"

#include <future>

using namespace linktest;
using namespace HAlignCommand;

namespace {

std::vector<std::uint8_t> Frame(std::uint8_t code, std::initializer_list<std::uint8_t> params) {
    return BuildFrame(code, std::vector<std::uint8_t>(params));
}

TEST(AlignmentCommand, FramesAndSignMagnitudeFromTheWorkedExamples) {
    EXPECT_EQ(Frame(kChangeChannel, {0x00, 0x02}), Bytes({0x30, 0x03, 0x00, 0x02, 0x35}));
    EXPECT_EQ(Frame(kRequestRx, {}), Bytes({0x35, 0x01, 0x36}));
    EXPECT_EQ(Frame(kModulationTone, {0x11, 0xC7}), Bytes({0x36, 0x03, 0x11, 0xC7, 0x11}));
    // The TX power limit: a sum of -3 goes as 0x83, 5 as 0x05.
    EXPECT_EQ(TxPowerLimit(2, -5), 0x83);
    EXPECT_EQ(TxPowerLimit(7, -2), 0x05);
    EXPECT_EQ(SignMagnitude(-127), 0xFF);
    EXPECT_EQ(FromSignMagnitude(0x86), -6);
    // Lock-detect 199 is unlocked, 200 locked (the VCV reading is value 4).
    EXPECT_EQ(LockedVcv({0, 0, 0, 0, 0xB9, 199}), -1);
    EXPECT_EQ(LockedVcv({0, 0, 0, 0, 0xB9, 200}), 0xB9);
}

// The program's side on the slave of a pseudo-terminal whose master the test
// plays; no echo, so what the test reads is what was sent.
struct PlayedRadio {
    PlayedRadio() : comm(&port) {
        event.devicePath = pty.SlavePath();
        event.echoOff = 1;
        EXPECT_TRUE(comm.OpenPort(event));
    }
    // Runs `command` while the test answers its frame with `reply`; the frame sent.
    template <class F>
    std::vector<std::uint8_t> Exchange(F command, std::size_t frameSize,
                                       std::vector<std::uint8_t> reply, bool& result) {
        auto running = std::async(std::launch::async, command);
        std::vector<std::uint8_t> frame = pty.Receive(frameSize);
        pty.Send(reply);
        result = running.get();
        return frame;
    }
    PtyPair pty;
    HSerialPort port;
    HComAlignment comm;
    HCommEventData event;
};

TEST(AlignmentCommand, RepliesCountByTheirFirstByteOnly) {
    PlayedRadio r;
    bool ok = false;
    EXPECT_EQ(r.Exchange([&] { return r.comm.RequestRx(); }, 3, {0x06}, ok),
              Bytes({0x35, 0x01, 0x36}));
    EXPECT_TRUE(ok);
    r.Exchange([&] { return r.comm.RequestTx(); }, 3, {0x15}, ok);
    EXPECT_FALSE(ok) << "an acknowledgement other than 0x06";

    // An A/D reply with a wrong checksum is taken; the lock test reads values 4 and 5.
    int vcv = 0;
    auto lock = std::async(std::launch::async, [&] { vcv = r.comm.CheckPllLock(); });
    EXPECT_EQ(r.pty.Receive(3), Bytes({0x31, 0x01, 0x32}));
    r.pty.Send({0x31, 0x07, 1, 2, 3, 4, 0xB6, 200, 0x00});
    lock.get();
    EXPECT_EQ(vcv, 0xB6);
    // A reply that starts wrong is a failure: unlocked.
    lock = std::async(std::launch::async, [&] { vcv = r.comm.CheckPllLock(); });
    r.pty.Receive(3);
    r.pty.Send({0x32, 0x07, 1, 2, 3, 4, 0xB6, 250, 0x00});
    lock.get();
    EXPECT_EQ(vcv, -1);

    EXPECT_EQ(r.Exchange([&] { return r.comm.SetTxPowerTuneLevel(1, 2, 3, TxPowerLimit(0, -3)); },
                         7, {0x06}, ok),
              Bytes({0x32, 0x05, 1, 2, 3, 0x83, 0xC0}));
    EXPECT_TRUE(ok);
    EXPECT_EQ(r.Exchange([&] { return r.comm.SetAfSwitch(true); }, 4, {0x06}, ok),
              Bytes({0x39, 0x02, 0x03, 0x3E}));
    EXPECT_EQ(r.Exchange([&] { return r.comm.SetDcsModulation(false); }, 4, {0x06}, ok),
              Bytes({0x37, 0x02, 0x00, 0x39}));
    EXPECT_EQ(r.Exchange([&] { return r.comm.SetFreqDa(0x80, 0x40, 0); }, 6, {0x06}, ok),
              Bytes({0x3B, 0x04, 0x80, 0x40, 0x00, 0xFF}));
    EXPECT_EQ(r.Exchange([&] { return r.comm.SetDeviation(0x10, 0x20, 0x30); }, 6, {0x06}, ok),
              Bytes({0x33, 0x04, 0x10, 0x20, 0x30, 0x97}));

    // Nothing answers: a failure, and the A/D value reads as 0.
    auto silent = std::async(std::launch::async, [&] { return r.comm.ReadAdValue(1); });
    EXPECT_EQ(silent.get(), 0);
}

TEST(AlignmentCommand, TheSimulatedRadioAnswersEveryCommandInAdjMode) {
    TempHome home;
    SimRadio radio(home, {"--fault", "nak-command:0x3B"});
    HSerialPort port;
    HComAlignment comm(&port);
    HCommEventData event;
    event.devicePath = radio.Link();
    event.echoOff = 0; // the cable echoes
    ASSERT_TRUE(comm.OpenPort(event));
    ASSERT_TRUE(comm.SetCloneModeAdj(event));

    EXPECT_TRUE(comm.RequestRx());
    EXPECT_TRUE(comm.ChangeChannel(0, 2));
    // High edge: VCV 225 reads 225 - 40 = 185 and locks; 240 is above every window.
    EXPECT_TRUE(comm.SetTxPowerTuneLevel(0, 225, 0, 0));
    EXPECT_EQ(comm.CheckPllLock(), 225 - HSimAlignment::VcvOffset(2));
    EXPECT_TRUE(comm.SetTxPowerTuneLevel(0, 240, 0, 0));
    EXPECT_EQ(comm.CheckPllLock(), -1);
    // On the tune peak the RSSI is at its top, give or take the spread.
    EXPECT_TRUE(comm.SetTxPowerTuneLevel(std::uint8_t(HSimAlignment::TunePeak(2)), 225, 0, 0));
    const int rssi = comm.ReadAdValue(kAdRssi);
    EXPECT_GE(rssi, HSimAlignment::kRssiPeak - HSimAlignment::kSpread);
    EXPECT_LE(rssi, HSimAlignment::kRssiPeak + HSimAlignment::kSpread);
    EXPECT_TRUE(comm.RequestTx());
    EXPECT_TRUE(comm.SetDeviation(1, 2, 3));
    EXPECT_TRUE(comm.SetModulationTone(kTestTone));
    EXPECT_TRUE(comm.SetDcsModulation(true));
    EXPECT_TRUE(comm.SetAfSwitch(true));
    EXPECT_FALSE(comm.SetFreqDa(1, 2, 0)) << "the radio refuses it by the fault";
    EXPECT_TRUE(comm.SetModulationTone(0));
    EXPECT_TRUE(comm.RequestRx());
    EXPECT_EQ(comm.ResetRadio(&event), 0);
    port.Close();
}

TEST(SimAlignment, PllWindowAndRssiPeak) {
    HSimAlignment sim;
    auto send = [&](std::uint8_t code, std::initializer_list<std::uint8_t> p) {
        return sim.OnCommand(Frame(code, p));
    };
    EXPECT_EQ(send(kChangeChannel, {0, 0}), Bytes({0x06}));
    // Channel 0 locks from offset + 10 to the top of the window, no further.
    const int low = HSimAlignment::VcvOffset(0) + 10;
    for (int vcv : {low - 1, low, HSimAlignment::kVcvLockTop, HSimAlignment::kVcvLockTop + 1}) {
        send(kTxPowerTuneLevel, {0, std::uint8_t(vcv), 0, 0});
        const bool inside = vcv >= low && vcv <= HSimAlignment::kVcvLockTop;
        EXPECT_EQ(LockedVcv(sim.Readings()), inside ? vcv - HSimAlignment::VcvOffset(0) : -1)
            << "VCV " << vcv;
    }
    // Transmitting, the TX VCV counts instead.
    send(kRequestTx, {});
    send(kTxPowerTuneLevel, {0, 0, 200, 0});
    EXPECT_EQ(LockedVcv(sim.Readings()), 200 - HSimAlignment::VcvOffset(0));

    // The RSSI falls off away from the tune peak and never below its floor.
    send(kRequestRx, {});
    auto rssiAt = [&](int t) {
        send(kTxPowerTuneLevel, {std::uint8_t(t), 150, 0, 0});
        return int(sim.Readings()[kAdRssi]);
    };
    const int peak = HSimAlignment::TunePeak(0);
    EXPECT_GT(rssiAt(peak), rssiAt(peak + 10) + 2 * HSimAlignment::kSpread);
    EXPECT_GT(rssiAt(peak), rssiAt(peak - 10) + 2 * HSimAlignment::kSpread);
    EXPECT_GE(rssiAt(255), HSimAlignment::kRssiFloor - HSimAlignment::kSpread);
    // A frame of the wrong size is refused.
    EXPECT_EQ(send(kRequestRx, {1}), Bytes({0x15}));

    // The alignment faults name a word or a command byte.
    const auto writeFail = ParseSimFault("write-fail:0x0B");
    ASSERT_TRUE(writeFail);
    EXPECT_EQ(writeFail->kind, HSimFaultKind::WriteFail);
    EXPECT_EQ(writeFail->a, 0x0B);
    EXPECT_FALSE(ParseSimFault("nak-command:0x100"));
}

} // namespace
