// The simulated radio, driven through the real clone protocol classes over its
// pseudo-terminal. (Each well-formed fault is proven by the row of the CLI
// failure table that uses it: without it that transfer would succeed.)
#include "HAdjustmentRecovery.h"
#include "HAlignmentData.h"
#include "HDefaultImage.h"
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
    for (const char* bad : {"silent:1", "no-lock:1", "drop-byte:x", "bad-checksum:2:1",
                            "wrong-first:0:256", "vcv-drift:256", "vcv-drift:1:3"})
        EXPECT_FALSE(ParseSimFault(bad)) << bad;
    TempHome home;
    EXPECT_EQ(SimRadio(home, {"--fault", "loud"}).WaitExit(), 2);
    EXPECT_FALSE(fs::is_symlink(home.Path("radio")));
    // A memory file of the wrong size is not a radio: no link is made.
    std::ofstream(home.Path("radio.mem")) << "too short";
    EXPECT_EQ(SimRadio(home).WaitExit(), 1);
    EXPECT_FALSE(fs::is_symlink(home.Path("radio")));
}

TEST(RadioSim, StartsAsAFactoryAlignedRadio) {
    const HMemoryImage m = SimFactoryMemory();
    EXPECT_EQ(m[kSimProductionCodeOffset], 5);
    EXPECT_EQ(m[kSimCustomCodeOffset], 0);
    for (std::size_t at : {std::size_t(0x1F6), std::size_t(0x3104)}) {
        EXPECT_EQ(m[at], 0x06) << std::hex << at;
        EXPECT_EQ(m[at + 1], 0x10) << std::hex << at;
    }
    HAlignmentData working(HAlignmentData::HCopy::Working);
    HAlignmentData shipping(HAlignmentData::HCopy::ShippingDefault);
    EXPECT_TRUE(working.VerifyChecksum(m));
    EXPECT_TRUE(shipping.VerifyChecksum(m));
    // The two copies hold the same values (their checksums, value 26, follow
    // different rules).
    working.Load(m);
    shipping.Load(m);
    for (std::size_t i = 0; i < 28; ++i)
        if (i != 26) {
            EXPECT_EQ(working.GetValue(i), shipping.GetValue(i)) << "value " << i;
        }
    // Outside the shipping default and the working copy's mark and checksum,
    // it is the built-in image.
    const HMemoryImage built = BuildDefaultImage();
    for (std::size_t at = 0; at < kImageSize; ++at) {
        const bool adjusted = at == 2 || at == 4 || at == 5 || at == 0x1F6 || at == 0x1F7 ||
                              (at >= 0x3000 && at <= 0x3011) || (at >= 0x3104 && at <= 0x313C);
        if (!adjusted) {
            EXPECT_EQ(m[at], built[at]) << "byte 0x" << std::hex << at;
        }
    }
}

TEST(RadioSim, DamagedAdjustmentGivesEachRecoveryState) {
    using namespace HAdjustmentRecovery;
    struct Case {
        const char* fault;
        int reliability;
    };
    for (const Case c : {Case{"damaged:eeprom", kFlashOnly}, Case{"damaged:0", kFlashOnly},
                         Case{"damaged:flash", kEepromOnly}, Case{"damaged:both", kNeither}}) {
        const std::optional<HSimFault> f = ParseSimFault(c.fault);
        ASSERT_TRUE(f) << c.fault;
        ASSERT_EQ(f->kind, HSimFaultKind::Damaged) << c.fault;
        HMemoryImage m = SimFactoryMemory();
        const HMemoryImage before = m;
        DamageAdjustment(m, f->a != 1, f->a != 0);
        EXPECT_EQ(ReliabilityTest(m), c.reliability) << c.fault;
        // Each lost copy fails its checksum.
        EXPECT_EQ(HAlignmentData(HAlignmentData::HCopy::Working).VerifyChecksum(m),
                  c.reliability == kEepromOnly)
            << c.fault;
        EXPECT_EQ(HAlignmentData(HAlignmentData::HCopy::ShippingDefault).VerifyChecksum(m),
                  c.reliability == kFlashOnly)
            << c.fault;
        // A lost copy lost its values (all but its checksum, which stays); the
        // other copy keeps them.
        for (const auto copy :
             {HAlignmentData::HCopy::Working, HAlignmentData::HCopy::ShippingDefault}) {
            const bool lost = copy == HAlignmentData::HCopy::Working ? c.reliability != kEepromOnly
                                                                     : c.reliability != kFlashOnly;
            HAlignmentData now(copy), was(copy);
            now.Load(m);
            was.Load(before);
            for (std::size_t i = 0; i < 26; ++i) {
                const std::int32_t erased = i == 20 ? 0xFFFF : 0xFF;
                EXPECT_EQ(now.GetValue(i), lost ? erased : was.GetValue(i))
                    << c.fault
                    << (copy == HAlignmentData::HCopy::Working ? " working " : " shipping ")
                    << "value " << i;
            }
        }
        // Still the same model: a recovery's model check and file check pass.
        EXPECT_EQ(m[kSimProductionCodeOffset], before[kSimProductionCodeOffset]) << c.fault;
        EXPECT_TRUE(FileCheckOnRecovery(m, before)) << c.fault;
    }
    for (const char* bad : {"damaged", "damaged:all", "damaged:2", "damaged:eeprom:1"})
        EXPECT_FALSE(ParseSimFault(bad)) << bad;
}

TEST(RadioSim, ReadsItsAdjustmentDataAsTheFaultDamagedIt) {
    struct Case {
        std::vector<std::string> args;
        bool workingMarked;
        bool shippingMarked;
    };
    const std::vector<Case> cases = {
        {{}, true, true},
        {{"--fault", "damaged:eeprom"}, false, true},
        {{"--fault", "damaged:flash"}, true, false},
        {{"--fault", "damaged:both"}, false, false},
    };
    const std::size_t markPage =
        (HAdjustmentRecovery::kIdentityFlash - HImageMap::kFlashBase) / HImageMap::kFlashPageSize;
    for (const Case& c : cases) {
        const std::string row = c.args.empty() ? "sound" : c.args.back();
        TempHome home;
        SimRadio radio(home, c.args);
        ASSERT_TRUE(radio.Started()) << row;
        Client client(radio.Link());
        ASSERT_TRUE(client.Connect()) << row;
        ASSERT_TRUE(client.comm.ReadBlock(kAreaEeprom, HAdjustmentRecovery::kIdentityEeprom / 2, 0,
                                          client.image, &client.event))
            << row;
        ASSERT_TRUE(
            client.comm.ReadBlock(kAreaFlash, int(markPage), 0, client.image, &client.event))
            << row;
        client.Finish();
        auto marked = [&](std::size_t at) {
            return (client.image[at] << 8 | client.image[at + 1]) ==
                   HAdjustmentRecovery::kIdentityMark;
        };
        EXPECT_EQ(marked(HAdjustmentRecovery::kIdentityEeprom), c.workingMarked) << row;
        EXPECT_EQ(marked(HAdjustmentRecovery::kIdentityFlash), c.shippingMarked) << row;
        // Read only: the damage is not kept.
        radio.Stop();
        EXPECT_FALSE(fs::exists(radio.MemoryPath())) << row;
    }
}
