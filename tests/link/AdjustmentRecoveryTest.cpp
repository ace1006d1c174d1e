// Adjustment recovery: which copy the reliability test trusts, and what each
// of its results leads to, with scripted answers and real files.
#include "HAdjustmentRecovery.h"
#include "HAlignmentData.h"
#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HHardwareGroup.h"
#include "HStringTable.h"
#include "link/LinkTestUtil.h"

#include <deque>

using namespace linktest;
using namespace HAdjustmentRecovery;

namespace {

struct Script : HPrompt {
    std::deque<bool> answers; // none left: No
    std::vector<std::string> asked, shown;
    void ShowMessage(const std::string& text, HMessageIcon) override { shown.push_back(text); }
    std::optional<std::string> AskPassword(int) override { return std::nullopt; }
    bool AskYesNo(const std::string& text, HMessageIcon) override {
        asked.push_back(text);
        if (answers.empty())
            return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
};

std::string Text(int id) {
    return HStringTable::Get(id);
}

// Both copies marked sound, with different serial bytes so the quick
// agreement rule does not apply.
HMemoryImage Radio() {
    HMemoryImage m = BuildDefaultImage();
    m[0x1F6] = m[0x3104] = 0x06;
    m[0x1F7] = m[0x3105] = 0x10;
    m[0x1F8] = 1;
    m[0x3106] = 2;
    HAlignmentData().RecomputeChecksum(m);
    return m;
}
HMemoryImage EepromBad(HMemoryImage m) {
    m[0x06] ^= 0x40;
    return m;
}
HMemoryImage FlashBad(HMemoryImage m) {
    m[0x3104] = 0;
    return m;
}

TEST(AdjustmentRecovery, ReliabilityTestResults) {
    EXPECT_EQ(ReliabilityTest(Radio()), kBothSound);
    EXPECT_EQ(ReliabilityTest(FlashBad(Radio())), kEepromOnly);
    EXPECT_EQ(ReliabilityTest(EepromBad(Radio())), kFlashOnly);
    HMemoryImage first = Radio();
    first[0] = 0xDE;
    EXPECT_EQ(ReliabilityTest(first), kFlashOnly) << "a first byte of DE marks the copy unsound";
    EXPECT_EQ(ReliabilityTest(FlashBad(EepromBad(Radio()))), kNeither);
    // Equal identity bytes in both places: trusted without looking further.
    HMemoryImage same = EepromBad(Radio());
    std::copy_n(same.begin() + 0x1F6, 8, same.begin() + 0x3104);
    EXPECT_EQ(ReliabilityTest(same), kBothSound);
}

TEST(AdjustmentRecovery, LotNumbersWithinTenAskBeyondRefuse) {
    HMemoryImage m = Radio();
    m[0x1FB] = 30;
    m[0x3109] = 20;
    Script yes;
    yes.answers = {true};
    EXPECT_TRUE(SerialNumberCheck(m, yes));
    EXPECT_EQ(yes.asked, std::vector<std::string>{Text(HStringTable::kLotNumberNgContinue)});
    m[0x3109] = 19;
    Script s;
    EXPECT_FALSE(SerialNumberCheck(m, s));
    EXPECT_EQ(s.shown, std::vector<std::string>{Text(HStringTable::kLotNumberNg)});
    EXPECT_TRUE(s.asked.empty());
    // The same lot made in another month is asked about too; the same month
    // and lot pass without a question.
    const struct {
        const char* name;
        int dateFlash;
        std::size_t questions;
    } rows[] = {{"another month", 7, 1}, {"the same month", 6, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        HMemoryImage same = Radio();
        same[0x1FA] = 6;
        same[0x3108] = std::uint8_t(row.dateFlash);
        same[0x1FB] = same[0x3109] = 20;
        Script answer;
        answer.answers = {true};
        EXPECT_TRUE(SerialNumberCheck(same, answer));
        EXPECT_EQ(answer.asked.size(), row.questions);
    }
}

TEST(AdjustmentRecovery, EachResultLeadsToItsRecovery) {
    TempHome home;
    Sources none;

    // Neither copy: message 133, nothing to write.
    Script s3;
    HMemoryImage m = FlashBad(EepromBad(Radio()));
    HCommEventData e3;
    EXPECT_FALSE(AdjustmentRecovery(m, e3, s3, none));
    EXPECT_EQ(s3.shown, std::vector<std::string>{Text(HStringTable::kAdjDefected)});

    // Both sound: asked first; No changes nothing.
    Script no;
    m = Radio();
    const HMemoryImage before = m;
    HCommEventData e0;
    EXPECT_FALSE(AdjustmentRecovery(m, e0, no, none));
    EXPECT_EQ(no.asked, std::vector<std::string>{Text(HStringTable::kAdjNotDefected)});
    EXPECT_EQ(m, before);
    // Yes: the shipping default goes into the working copy.
    Script yes;
    yes.answers = {true};
    m[0x3110] = 0x21; // a shipping-default squelch level
    HAlignmentData(HAlignmentData::HCopy::ShippingDefault).RecomputeChecksum(m);
    EXPECT_TRUE(AdjustmentRecovery(m, e0, yes, none));
    EXPECT_EQ(m[0x06], 0x21);
    EXPECT_TRUE(HAlignmentData().VerifyChecksum(m));
    EXPECT_EQ(e0.writeEeprom, (HRangeList{{0x02, 0x10}, {0xFB, 0xFE}}));
    EXPECT_EQ(e0.writeFlash, (HRangeList{{0x08, 0xFF}, {0x5C, 0x5E}}));

    // FLASH only: the working copy from the backup, the rest from the model's defaults.
    Script flash;
    flash.answers = {true};
    m = EepromBad(Radio());
    m[2] = 6; // a handheld's production code
    m[3] = 1;
    HCommEventData e2;
    EXPECT_TRUE(AdjustmentRecovery(m, e2, flash, none));
    EXPECT_EQ(m[2], 6) << "the radio's own model codes stay";
    EXPECT_EQ(m[3], 1);
    EXPECT_EQ(flash.asked, std::vector<std::string>{Text(HStringTable::kAdjDefectedRecover)});
    EXPECT_TRUE(HAlignmentData().VerifyChecksum(m));
    EXPECT_EQ(m[0x1D4], 0xFF);
    EXPECT_EQ(m[0x1D5], 0xFF);
    EXPECT_EQ(e2.writeEeprom, (HRangeList{{0x00, 0xFF}}));

    // EEPROM only: a saved file. Cancelled: message 136.
    Script cancel;
    cancel.answers = {true};
    m = FlashBad(Radio());
    HCommEventData e1;
    EXPECT_FALSE(AdjustmentRecovery(m, e1, cancel, none));
    EXPECT_EQ(cancel.shown, std::vector<std::string>{Text(HStringTable::kStopAdjRecovery)});

    // A file of another band stops before anything is copied.
    HHardwareGroup hw;
    HMemoryImage other = Radio();
    hw.Load(other);
    hw.SetValue(HHardwareGroup::kRowBand, 2);
    hw.Save(other);
    ASSERT_TRUE(HDataFile::Write(home.Path("other.R57"), other).Ok());
    Sources otherFile{[&] { return std::optional<std::string>(home.Path("other.R57")); }, {}};
    Script band;
    band.answers = {true};
    const HMemoryImage flashBad = m;
    EXPECT_FALSE(AdjustmentRecovery(m, e1, band, otherFile));
    EXPECT_EQ(band.shown, std::vector<std::string>{Text(HStringTable::kMobileTxPowerMismatch)});
    EXPECT_EQ(m, flashBad);

    // A sound saved file of the same model: its data in, the backup rebuilt
    // from the working copy, all of FLASH to be written.
    HMemoryImage saved = Radio();
    saved[0x06] = 0x33; // the file's working copy stays out: the radio's is sound
    saved[0x700] = 0x55;
    HAlignmentData().RecomputeChecksum(saved);
    const std::uint8_t own = m[0x06];
    ASSERT_TRUE(HDataFile::Write(home.Path("saved.R57"), saved).Ok());
    Sources savedFile{[&] { return std::optional<std::string>(home.Path("saved.R57")); }, {}};
    Script good;
    good.answers = {true};
    EXPECT_TRUE(AdjustmentRecovery(m, e1, good, savedFile));
    EXPECT_EQ(m[0x700], 0x55);
    EXPECT_EQ(m[0x06], own);
    EXPECT_EQ(m[0x3110], own);
    // Both copies' checksums by their own rules (the copy brought the working
    // checksum along, which the backup's byte sum does not equal).
    EXPECT_TRUE(HAlignmentData().VerifyChecksum(m));
    EXPECT_TRUE(HAlignmentData(HAlignmentData::HCopy::ShippingDefault).VerifyChecksum(m));
    EXPECT_EQ(e1.writeFlash, (HRangeList{{0x00, 0x5E}}));
}

} // namespace

TEST(AdjustmentRecovery, ReadsTheDefaultDataFileOfTheModel) {
    TempHome home;
    HMemoryImage file = BuildDefaultImage();
    file[0x100] = 0x5A;
    ASSERT_TRUE(HDataFile::Write(home.Path("defaultUD.r57h"), file).Ok());
    const std::optional<HMemoryImage> handheld = ReadModelDefaultFile(3, 1);
    ASSERT_TRUE(handheld.has_value());
    EXPECT_EQ((*handheld)[0x100], 0x5A);
    EXPECT_FALSE(ReadModelDefaultFile(3, 0)) << "the mobile file of the band is missing";
    EXPECT_FALSE(ReadModelDefaultFile(7, 1)) << "a band that is none of the radio's";
}
