// The slider adjustments' command sequences as the simulated radio receives
// them: start, change and stop of basic and channel fine alignment, the TX
// power limit in sign-magnitude form, and what OK stores.
#include "HAlignSliders.h"
#include "HDefaultImage.h"
#include "HFineAlignment.h"
#include "link/LinkTestUtil.h"

using namespace linktest;
using namespace HChannelTables;
using HAlignCommand::BuildFrame;

namespace {

std::string Hex(const std::vector<std::uint8_t>& frame) {
    std::string out;
    for (std::uint8_t b : frame) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X ", b);
        out += buf;
    }
    if (!out.empty())
        out.pop_back();
    return out;
}

std::string Frame(std::uint8_t code, std::initializer_list<int> params) {
    std::vector<std::uint8_t> p;
    for (int v : params)
        p.push_back(std::uint8_t(v));
    return Hex(BuildFrame(code, p));
}

class AlignSliders : public testing::Test {
protected:
    void SetUp() override {
        m_image = BuildDefaultImage();
        m_data.Load(m_image);
        m_channels.Load(m_image);
    }
    void Start(std::vector<std::string> faults = {}) {
        // The radio before gives up the link first: both use the same path, and
        // its link seen or removed would be taken for the new one's.
        m_radio.reset();
        m_radio = std::make_unique<SimRadio>(m_home, faults);
        m_event.devicePath = m_radio->Link();
        ASSERT_TRUE(m_comm.OpenPort(m_event));
        ASSERT_TRUE(m_comm.SetCloneModeAdj(m_event));
    }
    void TearDown() override {
        (void)m_comm.ResetRadio(&m_event);
        m_port.Close();
    }
    // The alignment frames (codes 0x30-0x3B) the radio has received so far,
    // from the `skip`-th on.
    std::vector<std::string> Sent(std::size_t skip = 0) const {
        std::vector<std::string> out;
        for (std::string f : m_radio->Frames()) {
            f = f.substr(0, f.find("  "));
            const int code = std::stoi(f.substr(0, 2), nullptr, 16);
            if (f.size() > 2 && code >= 0x30 && code <= 0x3B)
                out.push_back(f);
        }
        out.erase(out.begin(), out.begin() + long(std::min(skip, out.size())));
        return out;
    }
    void Value(int index, int v) { m_data.SetValue(std::size_t(index), v); }

    TempHome m_home{3};
    HMemoryImage m_image{};
    HAlignmentData m_data;
    HChannels m_channels;
    std::unique_ptr<SimRadio> m_radio;
    HSerialPort m_port;
    HComAlignment m_comm{&m_port};
    HCommEventData m_event;
};

TEST_F(AlignSliders, TxPowerKeysChannelOneAndSendsTheLimitInSignMagnitude) {
    Value(8, 100);
    Value(17, 120);
    Value(19, 5);
    m_channels.SetField(1, kFieldTxTune15, -8); // limit 5 - 8 = -3
    const HSliderSequence s =
        HAlignSliders::ForBasic(HAlignSliders::Basic::TxPowerHigh, m_data, m_channels);
    EXPECT_EQ(s.startValue, 100);
    EXPECT_EQ(s.words, (std::vector<int>{7, 8}));
    Start();
    ASSERT_TRUE(HAlignSliders::Start(m_comm, s));
    ASSERT_TRUE(s.change(m_comm, 104));
    HAlignSliders::Stop(m_comm, s);
    EXPECT_EQ(Sent(), (std::vector<std::string>{
                          Frame(0x35, {}),
                          Frame(0x30, {0, 1}),
                          Frame(0x34, {}),
                          Frame(0x32, {100, 0, 120, 0x83}),
                          Frame(0x32, {104, 0, 120, 0x83}),
                          Frame(0x35, {}),
                      }));
    s.accept(104);
    EXPECT_EQ(m_data.GetValue(8), 104);
    const std::string log = m_home.LogText();
    EXPECT_EQ(Missing(log, {"TX Power Limit(EEPROM)[VALUE:5]",
                            "TX Power Limit(EEPROM + Channel)[VALUE:-3]", "Tx Power[POWER:100]"}),
              "");
}

TEST_F(AlignSliders, NarrowDeviationRunsTheTestToneOnChannelFourAndStoresWithoutTheOffset) {
    Value(10, 60);
    Value(13, 90);
    Value(17, 120);
    Value(19, 5);
    Value(24, 77);
    m_channels.SetField(4, kFieldTxTunePower, 3);
    m_channels.SetField(4, kFieldTxTuneWidth, 4);
    m_channels.SetField(4, kFieldTxTune14, 33);
    m_channels.SetField(4, kFieldTxTune15, 2);
    const HSliderSequence s =
        HAlignSliders::ForBasic(HAlignSliders::Basic::MaxDeviationNarrow, m_data, m_channels);
    EXPECT_EQ(s.startValue, 94) << "value 13 plus the channel's deviation offset";
    Start();
    ASSERT_TRUE(HAlignSliders::Start(m_comm, s));
    ASSERT_TRUE(s.change(m_comm, 97));
    HAlignSliders::Stop(m_comm, s);
    EXPECT_EQ(Sent(), (std::vector<std::string>{
                          Frame(0x35, {}),
                          Frame(0x30, {0, 4}),
                          Frame(0x34, {}),
                          Frame(0x32, {63, 0, 120, 7}),
                          Frame(0x33, {94, 33, 0}),
                          Frame(0x3B, {77, 255, 0}),
                          Frame(0x36, {0x11, 0xC7}),
                          Frame(0x33, {97, 33, 0}),
                          Frame(0x36, {0, 0}),
                          Frame(0x35, {}),
                      }));
    s.accept(97);
    EXPECT_EQ(m_data.GetValue(13), 93);
}

TEST_F(AlignSliders, FineModBalAndDcsDeviationEndWhatTheyStarted) {
    const int c = 0;
    Value(10, 60);
    Value(12, 100);
    Value(17, 120);
    Value(19, 5);
    Value(24, 77);
    m_channels.SetField(c, kFieldBandwidth, 1);
    m_channels.SetField(c, kFieldTxTunePower, 0);
    m_channels.SetField(c, kFieldTxTune16, 2);
    m_channels.SetField(c, kFieldTxTune15, 0);
    m_channels.SetField(c, kFieldTxTuneWidth, -3);
    m_channels.SetField(c, kFieldTxTune14, 40);
    m_channels.SetField(c, kFieldRxToneType, 2);
    m_channels.SetField(c, kFieldKeepTuningPoints, 0);

    const HSliderSequence bal =
        HAlignSliders::ForFine(HFineAlignment::kModBal, m_data, m_channels, c);
    Start();
    ASSERT_TRUE(HAlignSliders::Start(m_comm, bal));
    ASSERT_TRUE(bal.change(m_comm, 41));
    HAlignSliders::Stop(m_comm, bal);
    EXPECT_EQ(Sent(), (std::vector<std::string>{
                          Frame(0x35, {}),
                          Frame(0x34, {}),
                          Frame(0x32, {60, 0, 122, 5}),
                          Frame(0x3B, {77, 0, 0}),
                          Frame(0x39, {3}),
                          Frame(0x33, {97, 40, 0}),
                          Frame(0x36, {0x11, 0xC7}),
                          Frame(0x33, {97, 41, 0}),
                          Frame(0x39, {0}),
                          Frame(0x36, {0, 0}),
                          Frame(0x35, {}),
                      }));
    bal.accept(41);
    EXPECT_EQ(m_channels.GetField(c, kFieldTxTune14), 41);
    EXPECT_EQ(m_channels.GetField(c, kFieldKeepTuningPoints), 1);

    const std::size_t before = Sent().size();
    const HSliderSequence dcs =
        HAlignSliders::ForFine(HFineAlignment::kSubAudioDeviation, m_data, m_channels, c);
    EXPECT_EQ(dcs.title, "DCS Deviation");
    ASSERT_TRUE(HAlignSliders::Start(m_comm, dcs));
    HAlignSliders::Stop(m_comm, dcs);
    const std::vector<std::string> sent = Sent(before);
    ASSERT_EQ(sent.size(), 7u);
    EXPECT_EQ(sent[4], Frame(0x37, {1}));
    EXPECT_EQ(sent[5], Frame(0x37, {0}));
    EXPECT_EQ(sent[6], Frame(0x35, {}));
}

TEST_F(AlignSliders, ARefusedStartCommandFailsTheStartAndTheStopStillReleasesTheTransmitter) {
    const HSliderSequence s =
        HAlignSliders::ForBasic(HAlignSliders::Basic::SubAudioCtcss, m_data, m_channels);
    Start({"--fault", "nak-command:0x33"});
    EXPECT_FALSE(HAlignSliders::Start(m_comm, s));
    HAlignSliders::Stop(m_comm, s);
    const std::vector<std::string> sent = Sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), Frame(0x35, {}));
    EXPECT_EQ(Missing(m_home.LogText(), {"Deviation 変更要求エラー"}), "");
}

} // namespace
