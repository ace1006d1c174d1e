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

using Basic = HAlignSliders::Basic;
constexpr int kFine = 0; // the channel of the fine alignment rows

class AlignSliders : public testing::Test {
protected:
    void SetUp() override { m_image = BuildDefaultImage(); }
    // The same alignment values and channel fields before every row.
    void Prime() {
        m_data.Load(m_image);
        m_channels.Load(m_image);
        const std::pair<int, int> values[] = {{8, 100},  {10, 60}, {11, 70}, {12, 100},
                                              {13, 90},  {14, 30}, {15, 20}, {16, 200},
                                              {17, 120}, {19, 5},  {24, 77}, {25, 50}};
        for (auto [index, v] : values)
            m_data.SetValue(std::size_t(index), v);
        const struct {
            int channel, field, value;
        } fields[] = {
            {1, kFieldTxTunePower, 3},        {1, kFieldTxTuneWidth, 4},
            {1, kFieldTxTune14, 33},          {1, kFieldTxTune15, -8},
            {4, kFieldTxTunePower, 3},        {4, kFieldTxTuneWidth, 4},
            {4, kFieldTxTune14, 33},          {4, kFieldTxTune15, 2},
            {12, kFieldSubAudioOffset, 6},    {12, kFieldTxTuneWidth, -2},
            {12, kFieldTxTune14, 44},         {12, kFieldTxTune15, 1},
            {kFine, kFieldBandwidth, 1},      {kFine, kFieldTxTunePower, 0},
            {kFine, kFieldTxTune16, 2},       {kFine, kFieldTxTune15, 0},
            {kFine, kFieldTxTuneWidth, -3},   {kFine, kFieldTxTune14, 40},
            {kFine, kFieldRxToneType, 2},     {kFine, kFieldKeepTuningPoints, 0},
            {kFine, kFieldTuningByte, 90},    {kFine, kFieldRxTune13, 3},
            {kFine, kFieldSubAudioOffset, 5},
        };
        for (const auto& f : fields)
            m_channels.SetField(f.channel, f.field, f.value);
    }
    HSliderSequence ForBasic(Basic which) {
        return HAlignSliders::ForBasic(which, m_data, m_channels);
    }
    HSliderSequence ForFine(int row) {
        return HAlignSliders::ForFine(row, m_data, m_channels, kFine);
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

    TempHome m_home{3};
    HMemoryImage m_image{};
    HAlignmentData m_data;
    HChannels m_channels;
    std::unique_ptr<SimRadio> m_radio;
    HSerialPort m_port;
    HComAlignment m_comm{&m_port};
    HCommEventData m_event;
};

// Each dialog's row: title, channel, start sequence, starting value, change,
// stop and what OK stores. Basic power and deviation on channel 1 send the
// limit 5 - 8 = -3 as 0x83; channel 4 adds 2, channel 12 adds 1.
TEST_F(AlignSliders, EachSliderStartsChangesStopsAndStoresAsItsDialogSays) {
    auto value = [this](int index) {
        return std::function<int()>(
            [this, index] { return int(m_data.GetValue(std::size_t(index))); });
    };
    auto field = [this](int k) {
        return std::function<int()>([this, k] { return int(m_channels.GetField(kFine, k)); });
    };
    const struct {
        const char* title;
        std::function<HSliderSequence()> make;
        int startValue;
        std::vector<int> words;
        int change;
        std::vector<std::string> frames;
        std::function<int()> stored;
        int expectStored;
    } rows[] = {
        {"TX Power High",
         [&] { return ForBasic(Basic::TxPowerHigh); },
         100,
         {7, 8},
         104,
         {Frame(0x35, {}), Frame(0x30, {0, 1}), Frame(0x34, {}), Frame(0x32, {100, 0, 120, 0x83}),
          Frame(0x32, {104, 0, 120, 0x83}), Frame(0x35, {})},
         value(8),
         104},
        // Value 13 plus the channel's deviation offset; OK stores without it.
        {"Max Deviation Narrow",
         [&] { return ForBasic(Basic::MaxDeviationNarrow); },
         94,
         {9},
         97,
         {Frame(0x35, {}), Frame(0x30, {0, 4}), Frame(0x34, {}), Frame(0x32, {63, 0, 120, 7}),
          Frame(0x33, {94, 33, 0}), Frame(0x3B, {77, 255, 0}), Frame(0x36, {0x11, 0xC7}),
          Frame(0x33, {97, 33, 0}), Frame(0x36, {0, 0}), Frame(0x35, {})},
         value(13),
         93},
        // The deviation 100 + 4, the base power value 10 plus channel 1's offset.
        {"Seq Tone Dev",
         [&] { return ForBasic(Basic::SeqToneDeviation); },
         50,
         {16},
         53,
         {Frame(0x35, {}), Frame(0x30, {0, 1}), Frame(0x34, {}), Frame(0x32, {63, 0, 120, 0x83}),
          Frame(0x33, {104, 33, 0}), Frame(0x3B, {77, 50, 0}), Frame(0x36, {0x11, 0xC7}),
          Frame(0x3B, {77, 53, 0}), Frame(0x36, {0, 0}), Frame(0x35, {})},
         value(25),
         53},
        {"Frequency D/A",
         [&] { return ForBasic(Basic::FrequencyDa); },
         77,
         {15},
         80,
         {Frame(0x35, {}), Frame(0x30, {0, 1}), Frame(0x34, {}), Frame(0x32, {63, 0, 120, 0x83}),
          Frame(0x3B, {77, 0, 0}), Frame(0x3B, {80, 0, 0}), Frame(0x35, {})},
         value(24),
         80},
        // Power from channel 1, the deviation 100 - 2 and balance of channel 12.
        {"Sub Audio Deviation CTCSS Wide",
         [&] { return ForBasic(Basic::SubAudioCtcss); },
         36,
         {10},
         40,
         {Frame(0x35, {}), Frame(0x30, {0, 12}), Frame(0x34, {}), Frame(0x32, {63, 0, 120, 6}),
          Frame(0x33, {98, 44, 36}), Frame(0x33, {98, 44, 40}), Frame(0x35, {})},
         value(14),
         34},
        // Fine rows keep the channel chosen. RX tune does not key the radio.
        {"RX Tune",
         [&] { return ForFine(HFineAlignment::kRxTune); },
         90,
         {},
         95,
         {Frame(0x35, {}), Frame(0x32, {90, 203, 0, 5}), Frame(0x32, {95, 203, 0, 5}),
          Frame(0x35, {})},
         field(kFieldTuningByte),
         95},
        {"Mod Bal",
         [&] { return ForFine(HFineAlignment::kModBal); },
         40,
         {},
         41,
         {Frame(0x35, {}), Frame(0x34, {}), Frame(0x32, {60, 0, 122, 5}), Frame(0x3B, {77, 0, 0}),
          Frame(0x39, {3}), Frame(0x33, {97, 40, 0}), Frame(0x36, {0x11, 0xC7}),
          Frame(0x33, {97, 41, 0}), Frame(0x39, {0}), Frame(0x36, {0, 0}), Frame(0x35, {})},
         field(kFieldTxTune14),
         41},
        // A DCS channel: value 15 plus its offset, DCS modulation on and off.
        {"DCS Deviation",
         [&] { return ForFine(HFineAlignment::kSubAudioDeviation); },
         25,
         {},
         30,
         {Frame(0x35, {}), Frame(0x34, {}), Frame(0x32, {60, 0, 122, 5}), Frame(0x33, {97, 40, 25}),
          Frame(0x37, {1}), Frame(0x33, {97, 40, 30}), Frame(0x37, {0}), Frame(0x35, {})},
         field(kFieldSubAudioOffset),
         10},
        {"TX",
         [&] { return ForFine(HFineAlignment::kTxVcv); },
         122,
         {},
         125,
         {Frame(0x35, {}), Frame(0x34, {}), Frame(0x32, {0, 203, 122, 0}),
          Frame(0x32, {0, 0, 125, 0}), Frame(0x35, {})},
         field(kFieldTxTune16),
         5},
    };
    Start();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.title);
        Prime();
        const HSliderSequence s = row.make();
        EXPECT_EQ(s.title, row.title);
        EXPECT_EQ(s.startValue, row.startValue);
        EXPECT_EQ(s.words, row.words);
        const std::size_t before = Sent().size();
        EXPECT_TRUE(HAlignSliders::Start(m_comm, s));
        EXPECT_TRUE(s.change(m_comm, row.change));
        HAlignSliders::Stop(m_comm, s);
        EXPECT_EQ(Sent(before), row.frames);
        s.accept(row.change);
        EXPECT_EQ(row.stored(), row.expectStored);
    }
    EXPECT_EQ(m_channels.GetField(kFine, kFieldKeepTuningPoints), 1) << "fine OK marks the channel";
    EXPECT_EQ(Missing(m_home.LogText(), {"TX Power Limit(EEPROM)[VALUE:5]",
                                         "TX Power Limit(EEPROM + Channel)[VALUE:-3]",
                                         "Tx Power[POWER:100]", "Mobile Tx Power[POWER:63]"}),
              "");
}

// A command the radio refuses fails the start with its trace entry, and the
// stop still releases the transmitter.
TEST_F(AlignSliders, ARefusedCommandFailsTheStartAndTheStopStillReleasesTheTransmitter) {
    const struct {
        const char* name;
        std::function<HSliderSequence()> make;
        const char* fault;
        const char* trace;
    } rows[] = {
        {"receive", [&] { return ForBasic(Basic::FrequencyDa); }, "nak-command:0x35",
         "受信要求エラー"},
        {"channel", [&] { return ForBasic(Basic::FrequencyDa); }, "nak-command:0x30",
         "チャネル変更要求エラー"},
        {"transmit", [&] { return ForBasic(Basic::FrequencyDa); }, "nak-command:0x34",
         "送信要求エラー"},
        {"power", [&] { return ForBasic(Basic::TxPowerHigh); }, "nak-command:0x32",
         "TX Power 変更要求エラー"},
        {"deviation", [&] { return ForBasic(Basic::SubAudioCtcss); }, "nak-command:0x33",
         "Deviation 変更要求エラー"},
        {"test tone", [&] { return ForBasic(Basic::MaxDeviationWide); }, "nak-command:0x36",
         "変調開始要求エラー"},
        {"tune", [&] { return ForFine(HFineAlignment::kRxTune); }, "nak-command:0x32",
         "Tune 変更要求エラー"},
        {"VCV", [&] { return ForFine(HFineAlignment::kTxVcv); }, "nak-command:0x32",
         "TX Power 変更要求エラー"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Prime();
        const HSliderSequence s = row.make();
        Start({"--fault", row.fault});
        const std::size_t logged = m_home.LogText().size();
        EXPECT_FALSE(HAlignSliders::Start(m_comm, s));
        HAlignSliders::Stop(m_comm, s);
        const std::vector<std::string> sent = Sent();
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(sent.back(), Frame(0x35, {}));
        EXPECT_EQ(Missing(m_home.LogText().substr(logged), {row.trace}), "");
        (void)m_comm.ResetRadio(&m_event);
        m_port.Close();
    }
}

} // namespace
