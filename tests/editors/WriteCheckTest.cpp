// The check before writing, on images with known faults: each finding names
// the setting by key and caption with the right severity, and a sound image
// gives none.
#include "HAlignmentData.h"
#include "HChannels.h"
#include "HCommonGroups.h"
#include "HDefaultImage.h"
#include "HWriteCheck.h"
#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

// Failures name the finding, not its bytes.
void PrintTo(const HCheckFinding& f, std::ostream* os) {
    *os << HWriteCheck::Describe(f);
}

namespace {

using namespace HChannelTables;

const HCheckFinding* FindKey(const std::vector<HCheckFinding>& findings, const std::string& key) {
    const auto it = std::ranges::find(findings, key, &HCheckFinding::key);
    return it == findings.end() ? nullptr : &*it;
}

HMemoryImage WithChannels(HMemoryImage image, void (*edit)(HChannels&)) {
    HChannels model;
    model.Load(image);
    edit(model);
    model.Save(image);
    return image;
}

} // namespace

TEST(WriteCheckTest, BuiltInImageIsSoundAtEveryLevel) {
    const HMemoryImage image = BuildDefaultImage();
    for (int level = 0; level <= 2; ++level)
        EXPECT_EQ(HWriteCheck::CheckImage(image, level), std::vector<HCheckFinding>{})
            << "level " << level;
    EXPECT_TRUE(HWriteCheck::CheckAgainstRadio(image, image).empty());
}

TEST(WriteCheckTest, FrequencyOutsideTheBandIsAnErrorOfItsCell) {
    // The same stored channels read in the Low A band (29.7-40 MHz) lie outside it.
    const HMemoryImage image = WithHardware(BuildDefaultImage(), HHardwareGroup::kRowBand, 4);
    const auto findings = HWriteCheck::CheckImage(image, 0);
    const HCheckFinding* rx = FindKey(findings, "channels.1.rx_frequency");
    ASSERT_NE(rx, nullptr);
    EXPECT_EQ(rx->severity, HCheckSeverity::Error);
    EXPECT_EQ(rx->caption, "RX Frequency");
    EXPECT_EQ(rx->channel, 1);
    EXPECT_NE(rx->text.find("Low Band A band (29.70000 to 40.00000 MHz)"), std::string::npos)
        << rx->text;
    EXPECT_TRUE(HHasCheckErrors(findings));
}

TEST(WriteCheckTest, GroupCountsAboveTheCapacityAreAnError) {
    HMemoryImage image = BuildDefaultImage();
    // Group 1's count (the first byte of the swapped word at 50) gets 20 more
    // channels than the 128 group 0 already holds.
    image[kGroupByteRows[kGroupChannels].byteOffset] = 20;
    const auto findings = HWriteCheck::CheckImage(image, 0);
    const HCheckFinding* groups = FindKey(findings, "groups.channels");
    ASSERT_NE(groups, nullptr);
    EXPECT_EQ(groups->severity, HCheckSeverity::Error);
    EXPECT_NE(groups->text.find("hold 148 channels; this radio holds at most 128"),
              std::string::npos)
        << groups->text;
}

TEST(WriteCheckTest, DualWatchWithoutPriorityIsAWarningOfTheKey) {
    HMemoryImage image = WithChannels(BuildDefaultImage(), [](HChannels& m) {
        for (int g = 0; g < m.GetGroupCount(); ++g)
            m.SetGroupValue(g, kGroupPriority, kNoPriority);
    });
    HKeyFunctionGroup keys;
    keys.Load(image);
    keys.SetValue(2, 4); // [P3] Short Press: "DW"
    keys.Save(image);
    auto findings = HWriteCheck::CheckImage(image, 0);
    const HCheckFinding* dw = FindKey(findings, "key_function.p3_short_press");
    ASSERT_NE(dw, nullptr);
    EXPECT_EQ(dw->severity, HCheckSeverity::Warning);
    EXPECT_EQ(dw->caption, "[P3] Short Press");
    EXPECT_FALSE(HHasCheckErrors(findings));

    // A priority channel in a group in use answers it.
    image = WithChannels(image, [](HChannels& m) { m.SetPriorityChannel(3, 0); });
    findings = HWriteCheck::CheckImage(image, 0);
    EXPECT_EQ(FindKey(findings, "key_function.p3_short_press"), nullptr);
}

TEST(WriteCheckTest, TagCharactersTheRadioCannotShowAreWarnings) {
    HMemoryImage image = BuildDefaultImage();
    const std::size_t tagAt =
        kChannelBase + kChannelRecordSize + kChannelRecordRows[kFieldTag].byteOffset;
    const std::string stored = "AB!C\x01";
    std::copy(stored.begin(), stored.end(), image.begin() + std::ptrdiff_t(tagAt));
    const auto findings = HWriteCheck::CheckImage(image, 0);
    const HCheckFinding* tag = FindKey(findings, "channels.2.tag");
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag->severity, HCheckSeverity::Warning);
    EXPECT_NE(tag->text.find("(! 0x01)"), std::string::npos) << tag->text;
    EXPECT_EQ(FindKey(findings, "channels.1.tag"), nullptr);
}

TEST(WriteCheckTest, NonStandardToneAndMissingPageAreWarnings) {
    HMemoryImage image = WithChannels(BuildDefaultImage(), [](HChannels& m) {
        m.SetField(4, kFieldRxToneOn, 1);
        m.SetField(4, kFieldRxToneDcs, 0);
        m.SetField(4, kFieldRxTone, 1234); // 123.4 Hz is no standard CTCSS tone
        m.SetField(6, kFieldSignalKind, 3);
        m.SetField(6, kFieldSignalNumber, 2);
    });
    // Channel 7's stored Page number becomes 12 (page 13): the editors never
    // store it, a foreign file may. Pages run 1-10.
    const std::size_t record = kChannelBase + 6 * kChannelRecordSize + 2 * kChannelPageGap;
    const std::size_t numberAt = record + kChannelRecordRows[kFieldSignalNumber].byteOffset;
    image[numberAt] = std::uint8_t((image[numberAt] & 0xF0) | 12);
    const auto findings = HWriteCheck::CheckImage(image, 0);
    const HCheckFinding* tone = FindKey(findings, "channels.5.rx_sub_audio");
    ASSERT_NE(tone, nullptr);
    EXPECT_EQ(tone->severity, HCheckSeverity::Warning);
    EXPECT_NE(tone->text.find("123.4"), std::string::npos) << tone->text;
    const HCheckFinding* page = FindKey(findings, "channels.7.page_signal_no");
    ASSERT_NE(page, nullptr);
    EXPECT_NE(page->text.find("refers to Page"), std::string::npos) << page->text;
    EXPECT_EQ(FindKey(findings, "channels.1.rx_sub_audio"), nullptr);
}

TEST(WriteCheckTest, DamagedAdjustmentIsAnErrorOnlyWhereItIsWritten) {
    HMemoryImage image = BuildDefaultImage();
    HAlignmentData working(HAlignmentData::HCopy::Working);
    working.Load(image);
    working.SetValue(3, working.GetValue(3) ^ 1);
    working.Store(image);
    const auto atLevel0 = HWriteCheck::CheckImage(image, 0);
    const HCheckFinding* kept = FindKey(atLevel0, "adjustment.checksum");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->severity, HCheckSeverity::Warning);
    const auto atLevel2 = HWriteCheck::CheckImage(image, 2);
    const HCheckFinding* written = FindKey(atLevel2, "adjustment.checksum");
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(written->severity, HCheckSeverity::Error);
}

TEST(WriteCheckTest, AnotherBandOrProductTypeThanTheRadiosIsAnError) {
    const HMemoryImage vhf = BuildDefaultImage();
    const HMemoryImage uhf = WithHardware(vhf, HHardwareGroup::kRowBand, 2);
    auto findings = HWriteCheck::CheckAgainstRadio(uhf, vhf);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].key, "hardware.freq_band");
    EXPECT_EQ(findings[0].caption, "Freq. Band");
    EXPECT_EQ(findings[0].severity, HCheckSeverity::Error);
    EXPECT_NE(findings[0].text.find("for the UHF A band, the radio is a VHF radio"),
              std::string::npos)
        << findings[0].text;

    const HMemoryImage handheld = WithHardware(vhf, HHardwareGroup::kRowProductType, 2);
    findings = HWriteCheck::CheckAgainstRadio(vhf, handheld);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].key, "hardware.product_type");
    EXPECT_NE(findings[0].text.find("for a Mobile set, the radio is a Handheld set"),
              std::string::npos)
        << findings[0].text;
}
