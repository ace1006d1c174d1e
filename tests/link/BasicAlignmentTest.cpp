// Basic alignment's measuring steps: the pure rules from the worked examples,
// then each step against the simulated radio in ADJ mode.
#include "HBasicAlignment.h"
#include "HChannels.h"
#include "HDefaultImage.h"
#include "HSimAlignment.h"
#include "link/LinkTestUtil.h"

#include <algorithm>
#include <numeric>

using namespace linktest;
using namespace HBasicAlignment;

namespace {

// Collects the candidates a search announces.
std::function<void(int)> Into(std::vector<int>& tried) {
    return [&tried](int c) { tried.push_back(c); };
}

TEST(BasicAlignmentRules, SweepStopPeakMiddleSlopeAndTrimmedMean) {
    // Readings that rose to 40: a fall to 33 stops the sweep, to 34 it goes on.
    EXPECT_TRUE(SweepStops(40, 33));
    EXPECT_FALSE(SweepStops(40, 34));

    std::array<int, 256> readings{};
    for (int t = 60; t <= 64; ++t)
        readings[std::size_t(t)] = 90;
    readings[59] = readings[65] = 80;
    EXPECT_EQ(PeakMiddle(readings, 90), 62);

    std::vector<int> samples(20);
    std::iota(samples.begin(), samples.end(), 10); // 10, 11, ... 29
    EXPECT_EQ(SquelchResult(samples), 19);

    EXPECT_EQ(TuneSlope(1500, 77, 1500, 70), 0) << "an edge at the centre frequency";
    EXPECT_EQ(TuneSlope(1508, 71, 1500, 70), 13) << "12.5 rounds away from zero";
    EXPECT_EQ(TuneSlope(1492, 71, 1500, 70), 13) << "-12.5 rounds to -13, stored as 13";
    EXPECT_EQ(TuneSlope(1501, 80, 1500, 70), 255) << "1000 is limited";

    HAlignmentData data;
    StoreTuneResults(data, {40, 90, 150}, {136000000, 154000000, 172000000});
    EXPECT_EQ(data.GetValue(20), 1540);
    EXPECT_EQ(data.GetValue(21), 90);
    EXPECT_EQ(data.GetValue(23), 28) << "(40 - 90) * 100 / (1360 - 1540) = 27.8";
    EXPECT_EQ(data.GetValue(22), 33) << "(150 - 90) * 100 / (1720 - 1540) = 33.3";
}

class BasicAlignment : public testing::Test {
protected:
    void Start(std::vector<std::string> faults = {}) {
        // The radio before gives up the link first: both use the same path, and
        // its link seen or removed would be taken for the new one's.
        m_radio.reset();
        m_radio = std::make_unique<SimRadio>(m_home, faults, &m_memory);
        m_event.devicePath = m_radio->Link();
        m_event.echoOff = 0;
        ASSERT_TRUE(m_comm.OpenPort(m_event));
        ASSERT_TRUE(m_comm.SetCloneModeAdj(m_event));
    }
    void TearDown() override {
        (void)m_comm.ResetRadio(&m_event);
        m_port.Close();
    }
    TempHome m_home{3}; // the steps' trace at its level
    HMemoryImage m_memory{};
    std::unique_ptr<SimRadio> m_radio;
    HSerialPort m_port;
    HComAlignment m_comm{&m_port};
    HCommEventData m_event;
};

TEST_F(BasicAlignment, VcvSearchStepsDownToTheFirstValueThatLocksInBothWindows) {
    // At the high edge the radio reads VCV - 40, at the low edge VCV - 120
    // (more with its VCO drifted); no VCV above 235 locks, nor one within 10
    // of the reading's offset. The first reading in 182..188 on the way down
    // from 245 wins if the low edge then reads 20 or more.
    const struct {
        const char* drift;
        std::optional<int> found;
    } rows[] = {{"vcv-drift:0", 225},     // 233 reads 193, 229 189, 225 185
                {"vcv-drift:1", 229},     // 229 reads the top, 188
                {"vcv-drift:11:2", 233},  // 233 reads the bottom, 182
                {"vcv-drift:85:0", 225},  // the low edge reads 20
                {"vcv-drift:100:0", {}},  // the low edge never locks: none is found
                {"vcv-drift:255:2", {}}}; // nor does the high edge
    for (const auto& row : rows) {
        SCOPED_TRACE(row.drift);
        Start({"--fault", row.drift});
        // The transmitter's search steps the same way: once is enough.
        for (const bool tx : {false, true}) {
            if (tx && &row != &rows[0])
                continue;
            std::vector<int> tried;
            EXPECT_EQ(VcvSearch(m_comm, tx, Timing::None(), Into(tried)), row.found);
            ASSERT_FALSE(tried.empty());
            EXPECT_EQ(tried.front(), kVcvStart);
            EXPECT_EQ(tried.back(), row.found.value_or(1));
            EXPECT_EQ(tried.size(), std::size_t((kVcvStart - tried.back()) / 4 + 1)) << "by 4";
        }
        EXPECT_TRUE(m_comm.RequestRx());
        (void)m_comm.ResetRadio(&m_event);
        m_port.Close();
    }
    EXPECT_EQ("", Missing(m_home.LogText(), {"VCV変更要求[VALUE:F5]", "適正なVCV値を検出しました",
                                             "VCV調整成功[VALUE:E1]"}));
}

TEST_F(BasicAlignment, VcvSearchFailsWhenTheRadioRefusesTheValueOrTheReceiver) {
    // The value is sent twice before the search gives up; a refused receive
    // request ends it before any value.
    const struct {
        const char* fault;
        std::vector<int> tried;
        std::size_t valueFrames;
    } rows[] = {{"nak-command:0x32", {245}, 2}, {"nak-command:0x35", {}, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.fault);
        Start({"--fault", row.fault});
        std::vector<int> tried;
        EXPECT_EQ(VcvSearch(m_comm, false, Timing::None(), Into(tried)), std::nullopt);
        EXPECT_EQ(tried, row.tried);
        const std::vector<std::string> frames = m_radio->Frames();
        EXPECT_EQ(std::size_t(std::ranges::count_if(
                      frames, [](const std::string& f) { return f.starts_with("32 "); })),
                  row.valueFrames);
        (void)m_comm.ResetRadio(&m_event);
        m_port.Close();
    }
}

TEST_F(BasicAlignment, VcvSearchFailsBelowOneWhenThePllNeverLocks) {
    Start({"--fault", "no-lock"});
    std::vector<int> tried;
    EXPECT_EQ(VcvSearch(m_comm, false, Timing::None(), Into(tried)), std::nullopt);
    // Every candidate from 245 down by 4 was tried, the last one 1.
    ASSERT_FALSE(tried.empty());
    EXPECT_EQ(tried.size(), 62u);
    EXPECT_EQ(tried.back(), 1);
    EXPECT_EQ(m_comm.ReadAdValue(HAlignCommand::kAdLockDetect), HSimAlignment::kUnlockedLevel);
}

TEST_F(BasicAlignment, TuneSweepFindsEachEdgesPeakAndSquelchSamplesAverage) {
    Start();
    for (int step = 0; step < kTuneSteps; ++step) {
        const std::optional<int> t = TuneSweep(m_comm, step, 225, Timing::None());
        ASSERT_TRUE(t) << "step " << step;
        // The peak is flat over 5 tune values; the middle of its top reading
        // lies inside.
        EXPECT_LE(std::abs(*t - HSimAlignment::TunePeak(step)), HSimAlignment::kRssiFlatHalfWidth)
            << "step " << step;
    }
    EXPECT_EQ("",
              Missing(m_home.LogText(), {"ピーク値検出[VALUE:", "Tune 調整成功[COUNT:2][VALUE:"}));
    // Only the three test channels have a sweep.
    EXPECT_EQ(TuneSweep(m_comm, kTuneSteps, 225, Timing::None()), std::nullopt);
    EXPECT_EQ(TuneSweep(m_comm, -1, 225, Timing::None()), std::nullopt);
    ASSERT_TRUE(m_comm.ChangeChannel(0, 1));
    std::vector<int> samples;
    for (int i = 0; i < kSquelchSamples; ++i)
        samples.push_back(m_comm.ReadAdValue(HAlignCommand::kAdNoise));
    EXPECT_LE(std::abs(SquelchResult(samples) - HSimAlignment::kNoiseLevel),
              HSimAlignment::kSpread);
}

TEST_F(BasicAlignment, StepsWhoseReadingsFailFindNothing) {
    // Every A/D read refused: no sweep invents a peak (the middle of a table
    // of zeros is 127), and the VCV search stops at its first reading rather
    // than taking a dead link for an unlocked PLL down to 1.
    Start({"--fault", "nak-command:0x31"});
    for (int step = 0; step < kTuneSteps; ++step)
        EXPECT_EQ(TuneSweep(m_comm, step, 225, Timing::None()), std::nullopt) << "step " << step;
    std::vector<int> tried;
    EXPECT_EQ(VcvSearch(m_comm, true, Timing::None(), Into(tried)), std::nullopt);
    EXPECT_EQ(tried, std::vector<int>{245});
    EXPECT_EQ(m_comm.TryReadAdValue(HAlignCommand::kAdRssi), std::nullopt);
    EXPECT_EQ(m_comm.ReadAdValue(HAlignCommand::kAdRssi), 0);
}

TEST_F(BasicAlignment, TheTuneValuesGoToTheChannelPagesAfterTheirWords) {
    // 10 channels: the pages 8 to 8 + 10 / 3 = 11; the radio refuses page 10.
    m_memory = BuildDefaultImage();
    HChannels model;
    model.Load(m_memory);
    for (int g = 0; g < model.GetGroupCount(); ++g)
        model.SetGroupValue(g, 0, g == 0 ? 10 : 0);
    model.Save(m_memory);
    Start({"--fault", "nak:10"});
    HMemoryImage image = m_memory;
    HAlignmentData data;
    data.Load(image);
    StoreTuneResults(data, {40, 90, 150}, {136000000, 154000000, 172000000});
    const int words[] = {13, 14, 15};
    const HUnwritten missed = StoreTuneAndWrite(m_comm, image, data, words, Timing::None());
    EXPECT_TRUE(missed.words.empty());
    EXPECT_EQ(missed.pages, std::vector<int>{10});
    // The channel records took the new tune value (channel 1 at the centre).
    model.Load(image);
    EXPECT_EQ(image[28], 90);
    EXPECT_NE(model.GetField(1, HChannelTables::kFieldTuningByte),
              HChannels().GetField(1, HChannelTables::kFieldTuningByte));
    const std::vector<std::string> frames = m_radio->Frames();
    std::vector<std::string> writes;
    for (const std::string& f : frames)
        if (f.starts_with("F1") || f.starts_with("F3"))
            writes.push_back(f.substr(0, 2));
    // The words and the checksum word first, then the pages.
    EXPECT_EQ(writes, (std::vector<std::string>{"F1", "F1", "F1", "F1", "F3", "F3", "F3", "F3"}));
    EXPECT_EQ(m_radio->Blocks("F1"), (std::vector<int>{13, 14, 15, 2}));
    EXPECT_EQ(m_radio->Blocks("F3"), (std::vector<int>{8, 9, 10, 11}));
    EXPECT_EQ(m_radio->StopAndRead()[0x200 + 9 * 128], image[0x200 + 9 * 128]);
}

TEST_F(BasicAlignment, AFailedWordWriteIsReportedAndTheImageKeepsTheValue) {
    m_memory = BuildDefaultImage();
    Start({"--fault", "write-fail:0x0B"});
    HMemoryImage image = m_memory;
    HAlignmentData data;
    data.Load(image);
    data.SetValue(16, 0xE1); // RX VCV, word 0x0B
    const int words[] = {0x0B};
    EXPECT_EQ(StoreAndWrite(m_comm, image, data, words, Timing::None()), std::vector<int>{0x0B});
    EXPECT_EQ(image[22], 0xE1);
    EXPECT_TRUE(HAlignmentData().VerifyChecksum(image));
    const HMemoryImage radio = m_radio->StopAndRead();
    EXPECT_NE(radio[22], 0xE1) << "the radio refused the word";
    EXPECT_EQ(Word(radio, 2), Word(image, 2)) << "the checksum word was still written";
}

} // namespace
