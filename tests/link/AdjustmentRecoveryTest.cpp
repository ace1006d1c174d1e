// Adjustment recovery: which copy the reliability test trusts, and what each
// of its results leads to, with scripted answers and real files.
#include "HAdjustmentRecovery.h"
#include "HAlignmentData.h"
#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HHardwareGroup.h"
#include "HStringTable.h"
#include "link/LinkTestUtil.h"

#include <algorithm>
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

// The adjustment values (0..27 but the checksums, which follow two rules)
// in which the working copy and the shipping default differ.
std::string DifferentValues(const HMemoryImage& m) {
    HAlignmentData working, shipping(HAlignmentData::HCopy::ShippingDefault);
    working.Load(m);
    shipping.Load(m);
    std::string out;
    for (std::size_t i = 0; i < 28; ++i)
        if (i != 26 && working.GetValue(i) != shipping.GetValue(i))
            out += std::to_string(i) + " ";
    return out;
}

// The EEPROM bytes that changed outside the words to be written: the radio
// would never hold what the buffer claims.
std::string Unsent(const HMemoryImage& before, const HMemoryImage& after, const HCommEventData& e) {
    std::string out;
    for (std::size_t b = 0; b < 0x200; ++b) {
        const bool sent = std::ranges::any_of(
            e.writeEeprom, [b](const HBlockRange& r) { return b / 2 >= r.from && b / 2 <= r.to; });
        if (after[b] != before[b] && !sent)
            out += std::to_string(b) + " ";
    }
    return out;
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
    TempHome home{3};
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
    EXPECT_EQ(Missing(home.LogText(), {"製造年月[EEPROM:6]", "製造年月[FLASH:7]"}), "");
}

TEST(AdjustmentRecovery, EachResultLeadsToItsRecovery) {
    TempHome home{3};
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
    // Yes: the shipping default's values go into the working copy, and
    // nothing else that would not reach the radio. (Both copies keep the
    // radio's values 20..23 and 27: channel bytes derived from them are not
    // written.)
    Script yes;
    yes.answers = {true};
    HAlignmentData working, shipping(HAlignmentData::HCopy::ShippingDefault);
    working.Load(m);
    shipping.Load(m);
    for (std::size_t i = 0; i < shipping.ValueCount(); ++i)
        shipping.SetValue(i, (i >= 20 && i <= 23) || i == 27 ? working.GetValue(i)
                                                             : std::int32_t(0x21 + i));
    shipping.Store(m);
    shipping.RecomputeChecksum(m);
    const HMemoryImage asked = m;
    EXPECT_TRUE(AdjustmentRecovery(m, e0, yes, none));
    EXPECT_EQ(m[0x06], 0x21);
    EXPECT_EQ(DifferentValues(m), "");
    EXPECT_EQ(Unsent(asked, m, e0), "");
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

    // EEPROM only: a saved file. No: nothing to write; cancelled: message 136.
    Script noFile;
    m = FlashBad(Radio());
    HCommEventData e1;
    EXPECT_FALSE(AdjustmentRecovery(m, e1, noFile, none));
    EXPECT_EQ(noFile.asked, std::vector<std::string>{Text(HStringTable::kShippingDefaultDefected)});
    Script cancel;
    cancel.answers = {true};
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
    EXPECT_EQ(Missing(home.LogText(), {"[FUNC IN]AdjustmentRecovery", "ReliabilityTest[RESULT:3]",
                                       "キャンセルされた為、Recovery動作を中止します",
                                       "デフォルトデータを設定[FILE NAME:]"}),
              "");
}

// Rebuilding the backup from the working copy fills exactly the shipping
// default's own bytes (values, checksum, identity) and no other.
TEST(AdjustmentRecovery, TheRebuiltBackupTakesTheWorkingValuesIntoItsOwnBytesOnly) {
    HMemoryImage m{};
    for (std::size_t b = 0; b < 0x200; ++b)
        m[b] = std::uint8_t(1 + b % 251); // every byte differs from the empty backup
    const HMemoryImage before = m;
    EepromToFlash(m);
    // The changed runs of bytes, "first-last" in hex.
    auto hex = [](std::size_t v) {
        char text[8];
        std::snprintf(text, sizeof text, "%zX", v);
        return std::string(text);
    };
    std::string changed;
    for (std::size_t b = 0x200; b < m.size(); ++b) {
        const bool now = m[b] != before[b], was = m[b - 1] != before[b - 1];
        if (now && !was)
            changed += (changed.empty() ? "" : " ") + hex(b);
        if (!now && was)
            changed += "-" + hex(b - 1);
    }
    EXPECT_EQ(changed, "3000-3004 300F-3011 3104-310B 310E-313C");
    EXPECT_EQ(DifferentValues(m), "");
    EXPECT_EQ(ReliabilityTest(m), kBothSound) << "the identity bytes agree";
}

// Recovering from the backup writes no EEPROM byte that the backup is not
// rebuilt from: two backups that differ in every value byte (but values
// 20..23 and 27, which channel bytes derive from) lead to working copies
// that differ only in such bytes.
TEST(AdjustmentRecovery, TheRecoveryFromTheBackupWritesOnlyTheBytesTheBackupIsRebuiltFrom) {
    std::vector<bool> read(0x200);
    for (std::size_t b = 0; b < read.size(); ++b) {
        HMemoryImage m{};
        m[b] = 1;
        EepromToFlash(m);
        read[b] = std::any_of(m.begin() + 0x200, m.end(), [](std::uint8_t v) { return v != 0; });
    }
    auto recovered = [](std::uint8_t x) {
        HMemoryImage m = EepromBad(Radio());
        for (std::size_t at : {0x300F, 0x3010})
            m[at] ^= x;
        for (std::size_t at = 0x3110; at <= 0x313C; ++at)
            m[at] ^= x;
        HAlignmentData(HAlignmentData::HCopy::ShippingDefault).RecomputeChecksum(m);
        Script yes;
        yes.answers = {true};
        HCommEventData e;
        EXPECT_TRUE(AdjustmentRecovery(m, e, yes, Sources{}));
        return m;
    };
    const HMemoryImage a = recovered(0), b = recovered(0x5A);
    std::string stray;
    for (std::size_t at = 0; at < read.size(); ++at)
        if (a[at] != b[at] && !read[at])
            stray += std::to_string(at) + " ";
    EXPECT_EQ(stray, "");
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
