// The record a front end keeps of a transfer's outcome, and the earlier read
// a download may take as its backup.
#include "HCommonGroups.h"
#include "HFleetPlan.h"
#include "HTransferHistory.h"
#include "HistoryTestUtil.h"

#include <ctime>
#include <unistd.h>

using namespace historytest;

namespace {

std::shared_ptr<const HMemoryImage> RadioWithSerial(const std::string& serial) {
    auto image = std::make_shared<HMemoryImage>(BuildDefaultImage());
    HMarketingGroup marketing;
    marketing.Load(*image);
    marketing.SetText(2, serial);
    marketing.Save(*image);
    (*image)[2] = 5; // production code: mobile
    return image;
}

} // namespace

TEST(TransferHistory, RecordsWhatTheOutcomeCarries) {
    HTransferOutcome o;
    o.status = HTransferStatus::Success;
    o.message = "Download Complete!";
    o.images.read = RadioWithSerial("4711");
    o.images.radio = RadioWithSerial("1234");
    o.images.written = RadioWithSerial("9999");
    HHistoryRecord r = HTransferHistory::RecordOf(HHistoryOperation::Download, 1, o);
    EXPECT_EQ(r.operation, HHistoryOperation::Download);
    EXPECT_EQ(r.accessLevel, 1);
    EXPECT_EQ(r.result, HHistoryResult::Done);
    EXPECT_EQ(r.message, "Download Complete!");
    EXPECT_EQ(r.read, o.images.read);
    EXPECT_EQ(r.written, o.images.written);
    EXPECT_EQ(r.radio.serial, "4711") << "the whole read names the radio first";
    EXPECT_EQ(r.radio.productionCode, 5);
    o.images.read.reset();
    EXPECT_EQ(HTransferHistory::RecordOf(HHistoryOperation::Download, 0, o).radio.serial, "1234");
    o.images.radio.reset();
    EXPECT_EQ(HTransferHistory::RecordOf(HHistoryOperation::Download, 0, o).radio.serial, "9999");
    o.images.written.reset();
    EXPECT_EQ(HTransferHistory::RecordOf(HHistoryOperation::Download, 0, o).radio.serial, "");

    o.status = HTransferStatus::Cancelled;
    o.message.clear();
    r = HTransferHistory::RecordOf(HHistoryOperation::Upload, 0, o);
    EXPECT_EQ(r.result, HHistoryResult::Cancelled);
    EXPECT_EQ(r.message, HComText::kCancelled);
    o.status = HTransferStatus::Failed;
    o.message = "Communication Error!";
    r = HTransferHistory::RecordOf(HHistoryOperation::Upload, 0, o);
    EXPECT_EQ(r.result, HHistoryResult::Failed);
    EXPECT_EQ(r.message, "Communication Error!");

    // An alignment: one record of its start's read and its end's write.
    const auto read = RadioWithSerial("77");
    const auto written = RadioWithSerial("78");
    HTransferOutcome last;
    last.status = HTransferStatus::Success;
    last.message = "Basic Alignment is Finished!";
    r = HTransferHistory::FlowRecord(HHistoryOperation::Alignment, 1, true, last, read.get(),
                                     written.get());
    EXPECT_EQ(r.result, HHistoryResult::Done);
    EXPECT_EQ(r.accessLevel, 1);
    EXPECT_EQ(r.message, "Basic Alignment is Finished!");
    ASSERT_TRUE(r.read && r.written);
    EXPECT_TRUE(*r.read == *read);
    EXPECT_TRUE(*r.written == *written);
    EXPECT_EQ(r.radio.serial, "77");
    r = HTransferHistory::FlowRecord(HHistoryOperation::Alignment, 1, false, last, nullptr,
                                     written.get());
    EXPECT_EQ(r.result, HHistoryResult::Failed) << "a step failed though the last transfer went";
    EXPECT_EQ(r.radio.serial, "78");
    EXPECT_FALSE(r.read);
    last.status = HTransferStatus::Cancelled;
    r = HTransferHistory::FlowRecord(HHistoryOperation::Recovery, 1, false, last, nullptr, nullptr);
    EXPECT_EQ(r.result, HHistoryResult::Cancelled);
    EXPECT_EQ(r.radio.serial, "");
}

TEST(TransferHistory, AnEarlierReadOfThisRadioOnThisBenchWithinTheMinutes) {
    TempDir dir;
    HHistorySettings settings;
    settings.url = std::string(HHistoryStore::kSqlitePrefix) + dir.File("history.sqlite");
    settings.spoolPath = dir.File("spool.sqlite");
    const auto radio = RadioWithSerial("4711");
    const std::int64_t now = std::int64_t(std::time(nullptr));
    {
        HHistory history(settings);
        HHistoryRecord up = Make("4711", HHistoryOperation::Upload, now - 90, radio, nullptr, "");
        up.bench.clear();
        up.Complete(); // this bench
        ASSERT_TRUE(history.Record(up).stored);
        HTransferHistory source(history);
        const std::optional<HEarlierRead> earlier = source.EarlierRead(*radio, 0);
        ASSERT_TRUE(earlier && earlier->image);
        EXPECT_TRUE(*earlier->image == *radio);
        EXPECT_EQ(earlier->description, "the upload of " + HHistoryText::LocalTime(now - 90));
        EXPECT_FALSE(source.EarlierRead(*RadioWithSerial("0815"), 0));
        EXPECT_EQ(source.Asked(), 2);
    }
    for (const int minutes : {0, 1}) {
        settings.reuseMinutes = minutes; // off, or shorter than the read's age (90 s)
        HHistory history(settings);
        HTransferHistory source(history);
        EXPECT_FALSE(source.EarlierRead(*radio, 0)) << minutes;
        EXPECT_EQ(source.Asked(), 1);
    }
}

TEST(TransferHistory, ARadiosIdentityFromItsImage) {
    auto image = *RadioWithSerial("A12 ");
    image[2] = 6; // production code: handheld
    image[3] = 1; // custom code
    const HRadioIdentity id = HRadioIdentity::Of(image);
    EXPECT_EQ(id.serial, "A12");
    EXPECT_EQ(id.productionCode, 6);
    EXPECT_EQ(id.customCode, 1);
    EXPECT_EQ(id.band, 0);
    EXPECT_EQ(id.productType, 0);
    EXPECT_EQ(id.Model(), "VHF Mobile");
    HRadioIdentity handheld = id;
    handheld.productType = 1;
    handheld.band = 9;
    EXPECT_EQ(handheld.Model(), "band 9 Handheld");
    // The bench and the user fill themselves in.
    HHistoryRecord r;
    r.Complete();
    char host[256] = {};
    ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
    EXPECT_EQ(r.bench, host);
    EXPECT_NE(r.user, "");
    EXPECT_EQ(r.uid.size(), 32u);
    HHistoryRecord other;
    other.Complete();
    EXPECT_NE(other.uid, r.uid);
}

TEST(FleetPlan, EachRadioItsRowByTheSerialItHolds) {
    TempDir dir;
    dir.Write("roster.csv", "serial,power_saving.power_on_tag\n4711,CAR 7\n");
    HRoster roster;
    std::string error;
    ASSERT_TRUE(roster.Load(dir.File("roster.csv"), BuildDefaultImage(), 0, {}, error)) << error;

    // Level 2 reads nothing else: the serial words are read for the row, once.
    HCommEventData event(HCommEvent::Download);
    event.UseRanges(HTransferDirection::Download, 2);
    HFleetTurn turn;
    HFleetPlan::Install(event, &roster, {}, turn);
    EXPECT_EQ(event.readEeprom, (HRangeList{{0xFD, 0xFE}}));
    HFleetPlan::Install(event, &roster, {}, turn);
    EXPECT_EQ(event.readEeprom, (HRangeList{{0xFD, 0xFE}}));
    ASSERT_TRUE(event.prepareTarget);

    HMemoryImage target = BuildDefaultImage();
    std::string why;
    EXPECT_TRUE(event.prepareTarget(target, *RadioWithSerial("4711"), nullptr, why)) << why;
    EXPECT_EQ(turn.serial, "4711");
    EXPECT_FALSE(turn.skipped);
    EXPECT_EQ(turn.received, "power_saving.power_on_tag=CAR 7");
    EXPECT_EQ(target[0x400], 'C');

    HFleetTurn stranger;
    HCommEventData other(HCommEvent::Download);
    other.UseRanges(HTransferDirection::Download, 0);
    const HRangeList before = other.readEeprom;
    HFleetPlan::Install(other, &roster, {}, stranger);
    EXPECT_EQ(other.readEeprom, before) << "level 0 reads its own words";
    HMemoryImage untouched = BuildDefaultImage();
    EXPECT_FALSE(other.prepareTarget(untouched, *RadioWithSerial("0815"), nullptr, why));
    EXPECT_TRUE(stranger.skipped);
    EXPECT_NE(why.find("0815"), std::string::npos) << why;
    EXPECT_TRUE(untouched == BuildDefaultImage());

    // No roster and nothing to keep: the download is left as it is.
    HCommEventData plain(HCommEvent::Download);
    HFleetPlan::Install(plain, nullptr, {}, turn);
    EXPECT_FALSE(plain.prepareTarget);
}
