// Basic alignment's measuring steps: the pure rules from the worked examples,
// then each step against the simulated radio in ADJ mode.
#include "HBasicAlignment.h"
#include "HDefaultImage.h"
#include "HSimAlignment.h"
#include "link/LinkTestUtil.h"

#include <numeric>

using namespace linktest;
using namespace HBasicAlignment;

namespace {

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
    TempHome m_home;
    HMemoryImage m_memory{};
    std::unique_ptr<SimRadio> m_radio;
    HSerialPort m_port;
    HComAlignment m_comm{&m_port};
    HCommEventData m_event;
};

TEST_F(BasicAlignment, VcvSearchStepsDownToTheFirstValueThatLocksInBothWindows) {
    Start();
    std::vector<int> tried;
    // At the high edge the radio reads VCV - 40: 225 reads 185, the first in
    // 182..188 on the way down from 245; at the low edge it reads 105.
    EXPECT_EQ(VcvSearch(m_comm, false, Timing::None(), &tried), 225);
    EXPECT_EQ(tried, (std::vector<int>{245, 241, 237, 233, 229, 225}));
    tried.clear();
    EXPECT_EQ(VcvSearch(m_comm, true, Timing::None(), &tried), 225);
    EXPECT_TRUE(m_comm.RequestRx());
}

TEST_F(BasicAlignment, VcvSearchFailsWhenTheRadioRefusesTheValue) {
    Start({"--fault", "nak-command:0x32"});
    std::vector<int> tried;
    EXPECT_EQ(VcvSearch(m_comm, false, Timing::None(), &tried), std::nullopt);
    EXPECT_EQ(tried, std::vector<int>{245});
}

TEST_F(BasicAlignment, VcvSearchFailsBelowOneWhenThePllNeverLocks) {
    Start({"--fault", "no-lock"});
    std::vector<int> tried;
    EXPECT_EQ(VcvSearch(m_comm, false, Timing::None(), &tried), std::nullopt);
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
    ASSERT_TRUE(m_comm.ChangeChannel(0, 1));
    std::vector<int> samples;
    for (int i = 0; i < kSquelchSamples; ++i)
        samples.push_back(m_comm.ReadAdValue(HAlignCommand::kAdNoise));
    EXPECT_LE(std::abs(SquelchResult(samples) - HSimAlignment::kNoiseLevel),
              HSimAlignment::kSpread);
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
