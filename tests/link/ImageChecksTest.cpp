// The download's image rules as plain functions: what they find, in which
// order, and what they repair, without a radio.
#include "HAlignmentData.h"
#include "HChannels.h"
#include "HDefaultImage.h"
#include "HHardwareGroup.h"
#include "HImageChecks.h"
#include "HStringTable.h"
#include "ImageTestUtil.h"

#include <gtest/gtest.h>

namespace {

HMemoryImage Factory() {
    HMemoryImage m = BuildDefaultImage();
    m[2] = 5;
    return m;
}

std::vector<int> Messages(const std::vector<HFinding>& findings) {
    std::vector<int> out;
    for (const HFinding& f : findings)
        out.push_back(f.messageId);
    return out;
}

HMemoryImage TwoGroupsOfFour(HMemoryImage m) {
    HChannels model;
    model.Load(m);
    model.SetGroupValue(0, HChannelTables::kGroupChannels, 4);
    model.SetGroupValue(1, HChannelTables::kGroupChannels, 4);
    model.Save(m);
    return m;
}

// Breaks the working copy's checksum without touching the backup.
HMemoryImage BrokenWorking(HMemoryImage m) {
    m[0x06] ^= 0x21;
    return m;
}

TEST(ImageChecks, MatchingImagesPassUnchanged) {
    const HMemoryImage image = Factory();
    const HCompatibilityCheck check = HImageChecks::CheckCompatibility(image, image);
    EXPECT_TRUE(check.findings.empty());
    EXPECT_TRUE(check.Passed());
    EXPECT_EQ(check.target, image);
    EXPECT_EQ(check.radio, image);
    EXPECT_FALSE(check.adjustmentRepaired);
}

TEST(ImageChecks, WarningsKeepTheirOrderAndLetTheWriteGoOn) {
    // Another product type, an editor on 2.5 kHz steps for a 5 kHz radio and a
    // working copy repaired from its backup: three warnings, in this order.
    const HMemoryImage editor =
        WithHardware(WithHardware(Factory(), HHardwareGroup::kRowProductType, 2),
                     HHardwareGroup::kRowStepSet, 2);
    const HMemoryImage radio =
        BrokenWorking(WithHardware(Factory(), HHardwareGroup::kRowStepSet, 0));
    const HCompatibilityCheck check = HImageChecks::CheckCompatibility(editor, radio);
    EXPECT_EQ(Messages(check.findings), (std::vector<int>{HStringTable::kProductTypeMismatch,
                                                          HStringTable::kChannelStepMismatch,
                                                          HStringTable::kAdjChecksumBackup}));
    for (const HFinding& f : check.findings) {
        EXPECT_EQ(f.severity, HFindingSeverity::Warning) << f.messageId;
        EXPECT_EQ(f.traceLevel, 2) << f.messageId;
    }
    EXPECT_EQ(check.findings[0].key, "hardware.product_type");
    EXPECT_TRUE(check.Passed());
    EXPECT_EQ(check.target, editor);
    EXPECT_TRUE(check.adjustmentRepaired);
}

TEST(ImageChecks, ChannelsOnAFinerStepThanTheRadioTakesRefuseBeforeTheAdjustment) {
    HMemoryImage editor = WithHardware(Factory(), HHardwareGroup::kRowStepSet, 0);
    const HMemoryImage radio = WithHardware(Factory(), HHardwareGroup::kRowStepSet, 2);
    // Without a channel on the finer step the step rule has nothing to say.
    EXPECT_EQ(Messages(HImageChecks::CheckCompatibility(editor, radio).findings),
              std::vector<int>{});

    HChannels model;
    model.Load(editor);
    model.SetField(3, 13, 2); // transmit step code 2
    model.Save(editor);
    // The refusal comes first: a repairable adjustment is not even looked at.
    const HCompatibilityCheck check =
        HImageChecks::CheckCompatibility(editor, BrokenWorking(radio));
    ASSERT_EQ(Messages(check.findings), std::vector<int>{HStringTable::kChannelStepMismatch});
    EXPECT_EQ(check.findings[0].severity, HFindingSeverity::Refusal);
    EXPECT_EQ(check.findings[0].icon, HMessageIcon::Stop);
    EXPECT_FALSE(check.Passed());
}

TEST(ImageChecks, TheSameHardwareOnBothSidesFindsNothing) {
    // Two groups of four channels on 2.5 kHz steps, for a radio like the file.
    HMemoryImage image = TwoGroupsOfFour(Factory());
    HChannels model;
    model.Load(image);
    model.SetField(0, HChannelTables::kFieldRxStep, 2);
    model.SetField(0, HChannelTables::kFieldTxStep, 2);
    model.Save(image);
    const struct {
        const char* name;
        int row, value;
    } rows[] = {{"no display", HHardwareGroup::kRowDisplayMobile, 0},
                {"2.5 kHz steps", HHardwareGroup::kRowStepSet, 2}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const HMemoryImage both = WithHardware(image, row.row, row.value);
        const HCompatibilityCheck check = HImageChecks::CheckCompatibility(both, both);
        EXPECT_TRUE(check.findings.empty()) << Messages(check.findings).size();
        EXPECT_EQ(check.target, both);
    }
}

TEST(ImageChecks, ARadioWithoutDisplayKeepsTheFirstGroupOnly) {
    const HMemoryImage editor =
        TwoGroupsOfFour(WithHardware(Factory(), HHardwareGroup::kRowDisplayMobile, 1));
    HChannels model;
    model.Load(editor);
    ASSERT_NE(model.GetGroupValue(1, HChannelTables::kGroupInUse), 0);
    const HMemoryImage radio = WithHardware(Factory(), HHardwareGroup::kRowDisplayMobile, 0);

    const HCompatibilityCheck check = HImageChecks::CheckCompatibility(editor, radio);
    ASSERT_EQ(check.findings.size(), 1u);
    EXPECT_EQ(check.findings[0].severity, HFindingSeverity::Note);
    EXPECT_EQ(check.findings[0].messageId, 0);
    EXPECT_EQ(check.findings[0].traceLevel, 2);
    HChannels written;
    written.Load(check.target);
    EXPECT_EQ(written.GetGroupValue(1, HChannelTables::kGroupInUse), 0);
    EXPECT_EQ(written.GetGroupValue(0, HChannelTables::kGroupInUse),
              model.GetGroupValue(0, HChannelTables::kGroupInUse));
    EXPECT_TRUE(check.Passed());
}

TEST(ImageChecks, AdjustmentRepairTouchesOnlyTheWorkingCopy) {
    HMemoryImage good = Factory();
    ASSERT_TRUE(HAlignmentData(HAlignmentData::HCopy::Working).VerifyChecksum(good));
    EXPECT_EQ(HImageChecks::CheckAdjustment(good).state, HAdjustmentState::Good);
    // Every value of the backup differs from the working copy's, so that
    // each one restored, and each one wrongly restored, shows.
    {
        HAlignmentData working, backup(HAlignmentData::HCopy::ShippingDefault);
        working.Load(good);
        backup.Load(good);
        for (std::size_t i = 0; i < HAlignmentMap::kShippingValues; ++i)
            if (i != HAlignmentMap::kChecksumIndex)
                backup.SetValue(i, (working.GetValue(i) + 1) & 0x7F);
        backup.Store(good);
        backup.RecomputeChecksum(good);
    }

    const HMemoryImage broken = BrokenWorking(good);
    const HAdjustmentCheck repaired = HImageChecks::CheckAdjustment(broken);
    EXPECT_EQ(repaired.state, HAdjustmentState::Repaired);
    EXPECT_TRUE(HAlignmentData(HAlignmentData::HCopy::Working).VerifyChecksum(repaired.radio));
    HAlignmentData working, backup(HAlignmentData::HCopy::ShippingDefault);
    working.Load(repaired.radio);
    backup.Load(repaired.radio);
    HAlignmentData before;
    before.Load(broken);
    // Values 0-27 mean the same in both copies; the rest are the working copy's own.
    for (std::size_t i = 0; i < HAlignmentMap::kShippingValues; ++i) {
        if (i != HAlignmentMap::kChecksumIndex) {
            EXPECT_EQ(working.GetValue(i), i <= 27 ? backup.GetValue(i) : before.GetValue(i))
                << "value " << i;
        }
    }
    for (std::size_t at = 34; at < kImageSize; ++at)
        ASSERT_EQ(repaired.radio[at], broken[at]) << "byte " << at;

    HMemoryImage bothBad = broken;
    bothBad[0x3110] ^= 0x01; // the backup's checksum fails too
    const HAdjustmentCheck bad = HImageChecks::CheckAdjustment(bothBad);
    EXPECT_EQ(bad.state, HAdjustmentState::Bad);
    EXPECT_EQ(Messages(bad.findings), std::vector<int>{HStringTable::kAdjChecksumError});
    EXPECT_EQ(bad.findings[0].severity, HFindingSeverity::Refusal);
    EXPECT_EQ(bad.radio, bothBad);
}

} // namespace
