#include "HChannels.h"
#include "HCommonGroups.h"
#include "HHardwareGroup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

using namespace HChannelTables;

namespace {

// A VHF mobile image with an LCD (128 channels, 8 groups), band limits set.
HMemoryImage MakeImage(int displayMobile = 1, int productType = 0, int stepSet = 0,
                       std::int32_t firstIf5kHz = 0) {
    HMemoryImage img{};
    HHardwareGroup hw;
    hw.SetValue(HHardwareGroup::kRowBand, 0);
    hw.SetValue(HHardwareGroup::kRowProductType, productType);
    hw.SetValue(HHardwareGroup::kRowDisplayMobile, displayMobile);
    hw.SetValue(HHardwareGroup::kRowStepSet, stepSet);
    hw.SetValue(HHardwareGroup::kRowBandLow, 134000000);
    hw.SetValue(HHardwareGroup::kRowBandHigh, 174000000);
    hw.SetValue(HHardwareGroup::kValueFirstIfHz, firstIf5kHz * 5000);
    hw.Save(img);
    return img;
}

HChannels Loaded(const HMemoryImage& img) {
    HChannels ch;
    ch.Load(img);
    return ch;
}

// Several fields of one channel at once, for one comparison.
std::vector<std::int32_t> Fields(const HChannels& ch, int c, std::initializer_list<int> fields) {
    std::vector<std::int32_t> v;
    for (int k : fields)
        v.push_back(ch.GetField(c, k));
    return v;
}
using Values = std::vector<std::int32_t>;

} // namespace

TEST(Channels, RecordLayoutBitTablesAndGroupBytes) {
    HMemoryImage img = MakeImage();
    HChannels ch = Loaded(img);
    ch.SetTag(3, "abc!");
    ch.DisableChannels(9, 10);
    ch.SetField(9, kFieldScan, 0);
    ch.SetGroupValue(0, kGroupChannels, 20);
    ch.SetGroupValue(1, kGroupChannels, 30);
    ch.Save(img);
    // Channel 3 starts at 1664, not 1662: every page ends with 2 unused bytes.
    EXPECT_EQ(std::string(img.begin() + 1664 + 34, img.begin() + 1664 + 39),
              std::string("ABC \0", 5));
    // In-use bit of channel 9: bit 1 of byte 897 (stored 1 = not in use);
    // field 56 of channel 9: bit 1 of byte 160, its table's bytes exchanged in words.
    // Group 0's count is byte 51, group 1's byte 50; in-use flags from bit 7 of
    // 152, inverted (in use = 0).
    EXPECT_EQ((std::vector<int>{img[897] & 0x03, img[896], img[160], img[161], img[51], img[50],
                                img[152] & 0xE0}),
              (std::vector<int>{0x02, 0, 0x02, 0, 20, 30, 0x20}));

    HChannels back = Loaded(img);
    EXPECT_EQ(back.GetTag(3), "ABC     "); // the pad bytes read as blanks
    EXPECT_EQ(std::make_tuple(back.GetField(9, kFieldScan), back.FirstChannelOfGroup(1),
                              back.UsedChannels(), back.FreeChannels(), back.UsedChannelPages()),
              std::make_tuple(0, 20, 50, 78, 16));
    // Save disabled every channel beyond the allocated total.
    EXPECT_EQ((std::vector<bool>{back.IsChannelEnabled(8), back.IsChannelEnabled(9),
                                 back.IsChannelEnabled(49), back.IsChannelEnabled(50)}),
              (std::vector<bool>{true, false, true, false}));
}

TEST(Channels, SetFrequencyStepClampAndTuningByte) {
    HMemoryImage img = MakeImage();
    // Identity: reference 150 MHz, value 100, slopes 20 up and 10 down per 10 MHz.
    const std::uint8_t identity[] = {0x05, 0xDC, 100, 20, 10}; // 1500 x 100 kHz at 26-27
    std::copy(std::begin(identity), std::end(identity), img.begin() + 26);
    HChannels ch = Loaded(img);
    EXPECT_EQ(ch.GetIdentityValue(3), 150000000);
    ch.SetFrequency(0, 0, 146005000);
    ch.SetFrequency(0, 1, 146012500);
    // 3.9995 MHz below the reference at 10 per 10 MHz: 100 - 3.
    EXPECT_EQ(Fields(ch, 0, {kFieldRxStep, kFieldRxFrequency, kFieldTuningByte, kFieldTxStep}),
              (Values{0, 146005000, 97, 1}));
    // Above the band's upper limit stores the limit; 0 stores the lower limit.
    ch.SetFrequency(1, 0, 190000000);
    ch.SetFrequency(1, 1, 0);
    EXPECT_EQ(Fields(ch, 1, {kFieldRxFrequency, kFieldTxFrequency}),
              (Values{174000000, 134000000}));
    // A locked tuning byte is kept.
    ch.SetField(2, kFieldKeepTuningByte, 1);
    ch.SetField(2, kFieldTuningByte, 77);
    ch.SetFrequency(2, 0, 160000000);
    EXPECT_EQ(ch.GetField(2, kFieldTuningByte), 77);
}

TEST(Channels, FrequenciesSurviveSaveAndLoadAndASecondSaveChangesNothing) {
    const std::int64_t freqs[] = {134000000, 146012500, 146005000, 155002500, 174000000};
    for (int set = 0; set < 3; ++set) {
        SCOPED_TRACE(set);
        HMemoryImage img = MakeImage(1, 0, set, 9020); // first IF 45.1 MHz
        for (std::size_t i = 12288; i < 12672; ++i)
            img[i] = static_cast<std::uint8_t>(i);
        HChannels ch = Loaded(img);
        for (int c = 0; c < 5; ++c) {
            ch.SetFrequency(c, 0, freqs[c]);
            ch.SetFrequency(c, 1, freqs[4 - c]);
        }
        ch.Save(img);
        HChannels back = Loaded(img);
        for (int c = 0; c < 5; ++c) {
            EXPECT_EQ(std::make_pair(back.GetFrequency(c, 0), back.GetFrequency(c, 1)),
                      std::make_pair(std::int64_t{ch.GetField(c, kFieldRxFrequency)},
                                     std::int64_t{ch.GetField(c, kFieldTxFrequency)}));
        }
        HMemoryImage again = img;
        back.Save(again);
        EXPECT_EQ(img, again);
        // The alignment area and the Hardware bytes are not written.
        for (std::size_t i = 12288; i < 12672; ++i)
            ASSERT_EQ(img[i], static_cast<std::uint8_t>(i)) << i;
    }
    // A channel whose count word is 0 shows the band default.
    EXPECT_EQ(Loaded(MakeImage()).GetFrequency(5, 0), 154100000);
}

TEST(Channels, FrequenciesTakenFromAModelUnderOtherHardwareAreSavedAsShown) {
    // Channels entered with a first IF of 0 (a new file), saved under a
    // radio's IF of 21.4 MHz whose display type holds only 8 channels: every
    // channel, the ninth too, keeps both frequencies; the counts follow the IF.
    HMemoryImage file = MakeImage(1, 0, 0, 0);
    HChannels entered = Loaded(file);
    for (int c = 0; c < 9; ++c) {
        entered.SetFrequency(c, 0, 146012500 + 25000 * c);
        entered.SetFrequency(c, 1, 150000000 + 12500 * c);
    }
    entered.Save(file);
    HMemoryImage radio = MakeImage(0, 0, 0, 4280);
    std::copy(file.begin() + 1536, file.begin() + 9984, radio.begin() + 1536);
    HChannels model = Loaded(radio);
    model.TakeFrequencies(Loaded(file));
    model.Save(radio);
    // Read back as a set with a display, so that the ninth channel shows.
    HHardwareGroup hw;
    hw.Load(radio);
    hw.SetValue(HHardwareGroup::kRowDisplayMobile, 1);
    hw.Save(radio);
    const HChannels shown = Loaded(radio);
    const HChannels filed = Loaded(file);
    for (int c = 0; c < 9; ++c) {
        EXPECT_EQ(shown.GetFrequency(c, 0), filed.GetFrequency(c, 0)) << "receive " << c;
        EXPECT_EQ(shown.GetFrequency(c, 1), filed.GetFrequency(c, 1)) << "transmit " << c;
    }
    EXPECT_EQ(shown.GetFrequency(8, 0), 146212500);
    // The receive count moved by the IF: 21.4 MHz / 6.25 kHz = 3424 steps.
    EXPECT_EQ(shown.GetField(0, kFieldRxCountWord) + 3424, filed.GetField(0, kFieldRxCountWord));
}

TEST(Channels, ParseCellTextFrequencies) {
    HMemoryImage img = MakeImage();
    // Default split (identity word at 12680): +5 MHz.
    img[12681] = 0x4C, img[12682] = 0x4B, img[12683] = 0x40;
    HChannels ch = Loaded(img);
    ch.SetField(0, kFieldKeepTuningByte, 1);
    ch.SetField(0, kFieldKeepTuningPoints, 1);
    const auto freqs = [&ch] { return Fields(ch, 0, {kFieldRxFrequency, kFieldTxFrequency}); };
    EXPECT_TRUE(ch.ParseCellText(0, kFieldRxFrequency, "146.0125"));
    EXPECT_EQ(freqs(), (Values{146012500, 151012500}));
    EXPECT_EQ(Fields(ch, 0, {kFieldKeepTuningByte, kFieldKeepTuningPoints}), (Values{0, 0}));
    // A transmit entry touches only the transmit side.
    EXPECT_TRUE(ch.ParseCellText(0, kFieldTxFrequency, "150.005"));
    EXPECT_EQ(freqs(), (Values{146012500, 150005000}));
    // Refused, the channel kept: bad digits, nothing, no column for field 3, no channel 200.
    const std::pair<int, const char*> refused[] = {
        {kFieldRxFrequency, "14x"}, {kFieldRxFrequency, ""}, {3, "1"}};
    for (const auto& [field, text] : refused)
        EXPECT_FALSE(ch.ParseCellText(0, field, text)) << text;
    EXPECT_FALSE(ch.ParseCellText(200, kFieldRxFrequency, "146"));
    EXPECT_EQ(freqs(), (Values{146012500, 150005000}));
}

TEST(Channels, ParseCellTextTonesAndTimerBytes) {
    HMemoryImage img = MakeImage();
    HChannels ch = Loaded(img);
    struct Case {
        int channel;
        bool transmit;
        const char* text;
        std::int32_t type, tone, flag; // flag: inverted (receive) or B (transmit)
    };
    const Case cases[] = {
        {0, true, "C-50", 1, 670, 0},      // raised to the lowest
        {1, false, "C-300.0", 1, 2541, 0}, // held at the highest
        {2, true, "D-023 B", 2, 19, 1},
        {2, false, "D-754 N", 2, 0754, 0},
        {3, false, "-----", 0, 0, 0},
        {4, false, "C-88.57", 1, 885, 0}, // further digits cut, not rounded
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_TRUE(
            ch.ParseCellText(c.channel, c.transmit ? kFieldTxToneType : kFieldRxToneType, c.text));
        EXPECT_EQ(
            c.transmit
                ? Fields(ch, c.channel, {kFieldTxToneType, kFieldTxTone, kFieldTxToneFlagB})
                : Fields(ch, c.channel, {kFieldRxToneType, kFieldRxTone, kFieldRxToneInverted}),
            (Values{c.type, c.tone, c.flag}));
    }
    // No tone value, a digit that is not octal, a lone dash: refused, channel kept.
    for (const char* bad : {"X-67", "C-abc", "D-0A1", "c-67.0", "C-", "D-9", "-"}) {
        EXPECT_FALSE(ch.ParseCellText(2, kFieldRxToneType, bad)) << bad;
        EXPECT_EQ(ch.GetField(2, kFieldRxTone), 0754) << bad;
    }

    ch.Save(img);
    // Transmit CTCSS 67.0 Hz: tone timer bytes 18 and 180 at 9984 + 2c; none: both 255.
    EXPECT_EQ((std::vector<int>{img[9984], img[9985], img[9988], img[9989]}),
              (std::vector<int>{18, 180, 0xFF, 0xFF}));
    HChannels back = Loaded(img);
    EXPECT_EQ((Values{back.GetField(2, kFieldRxTone), back.GetField(0, kFieldTxTone),
                      back.GetField(3, kFieldRxToneType)}),
              (Values{0754, 670, 0}));
}

TEST(Channels, SignallingNumberIsShownFromOne) {
    HMemoryImage img = MakeImage();
    HChannels ch = Loaded(img);
    // No number: the kind is dropped; no Page beyond 10: the number is.
    const std::int32_t set[4][2] = {{3, 10}, {2, 1}, {3, 0}, {3, 11}};
    for (int c = 0; c < 4; ++c) {
        ch.SetField(c, kFieldSignalKind, set[c][0]);
        ch.SetField(c, kFieldSignalNumber, set[c][1]);
    }
    ch.Save(img);
    const std::size_t rec0 = 1536, rec1 = 1536 + 42, rec2 = 1536 + 84,
                      rec3 = 1664; // a page of three records ends with 2 unused bytes
    EXPECT_EQ((std::vector<int>{img[rec0 + 4] & 0x6F, img[rec1 + 4] & 0xF, (img[rec2 + 4] >> 5) & 3,
                                img[rec3 + 4] & 0xF}),
              (std::vector<int>{(3 << 5) | 9, 0, 0, 0}));
    HChannels back = Loaded(img);
    EXPECT_EQ(Fields(back, 0, {kFieldSignalNumber}), Values{10});
    // A stored Page number of 10 or more reads as none.
    img[rec0 + 4] = static_cast<std::uint8_t>((3 << 5) | 12);
    EXPECT_EQ(Loaded(img).GetField(0, kFieldSignalNumber), 0);
}

TEST(Channels, ToggleField) {
    HChannels ch = Loaded(MakeImage());
    // Each row: the field toggled and the values it steps through.
    ch.SetField(0, kFieldSignalNumber, 4);
    ch.SetField(0, kFieldLockOut, 0);
    const std::pair<int, Values> steps[] = {
        {kFieldBandwidth, {1, 2, 0}},
        {kFieldLockOut, {1, 2, 0}},
        {kFieldSignalKind, {2, 3, 0}}, // 1 skipped unless identity value 9 is 10 or 11
    };
    for (const auto& [field, values] : steps) {
        for (std::int32_t v : values) {
            EXPECT_TRUE(ch.ToggleField(0, field));
            EXPECT_EQ(ch.GetField(0, field), v) << field;
        }
    }
    EXPECT_EQ(ch.GetField(0, kFieldSignalNumber), 0); // cleared by the first kind step
    ch.SetIdentityValue(9, 10);
    ch.ToggleField(0, kFieldSignalKind);
    EXPECT_EQ(ch.GetField(0, kFieldSignalKind), 1);

    // Receive tone: none -> CTCSS 67.0 -> DCS 023 (not inverted) -> none.
    for (const Values& want : {Values{1, 670, 0}, Values{2, 19, 0}, Values{0, 0, 0}}) {
        ch.SetField(0, kFieldRxToneInverted, 1);
        ch.ToggleField(0, kFieldRxToneType);
        EXPECT_EQ(Fields(ch, 0, {kFieldRxToneType, kFieldRxTone, kFieldRxToneInverted}), want);
    }
    // A mobile set's power only alternates 0 and 1.
    ch.SetField(0, kFieldPowerLevel, 1);
    for (const std::int32_t want : {0, 1}) {
        EXPECT_TRUE(ch.ToggleField(0, kFieldPowerLevel));
        EXPECT_EQ(ch.GetField(0, kFieldPowerLevel), want);
    }
    // The transmit tone copies itself to the receive side.
    ch.SetField(1, kFieldRxToneInverted, 1);
    EXPECT_TRUE(ch.ToggleField(1, kFieldTxToneType));
    EXPECT_EQ(Fields(ch, 1, {kFieldTxToneType, kFieldTxTone}), (Values{1, 670}));
    EXPECT_EQ(Fields(ch, 1, {kFieldRxToneType, kFieldRxTone, kFieldRxToneInverted}),
              (Values{1, 670, 0}));
    for (const Values& want : {Values{2, 19}, Values{0, 0}}) {
        EXPECT_TRUE(ch.ToggleField(1, kFieldTxToneType));
        EXPECT_EQ(Fields(ch, 1, {kFieldTxToneType, kFieldTxTone}), want);
    }
    // The flags flip, and flip back.
    for (const int flag : {0, 1, 2, 3, 6, 7, 8, 9, 10, 15, 16, 19, 55, 56}) {
        const std::int32_t was = ch.GetField(2, flag);
        ASSERT_TRUE(was == 0 || was == 1) << flag;
        EXPECT_TRUE(ch.ToggleField(2, flag));
        EXPECT_EQ(ch.GetField(2, flag), 1 - was) << flag;
        ch.ToggleField(2, flag);
        EXPECT_EQ(ch.GetField(2, flag), was) << flag;
    }
    // No toggle for other fields, fields above 68 or channels beyond the capacity.
    EXPECT_FALSE(ch.ToggleField(0, 12) || ch.ToggleField(0, 69) || ch.ToggleField(128, 0));
}

TEST(Channels, GroupNormalisation) {
    HMemoryImage img = MakeImage(0); // capacity 8, one group
    img[51] = 5;
    img[50] = 6;
    HChannels ch = Loaded(img);
    // Groups at or above the group count are cleared.
    EXPECT_EQ(
        std::make_pair(ch.GetGroupValue(0, kGroupChannels), ch.GetGroupValue(1, kGroupChannels)),
        std::make_pair(5, 0));

    // Counts whose running total passes the capacity are cut to the remainder.
    HChannels big = Loaded(MakeImage());
    big.SetGroupValue(0, kGroupChannels, 100);
    big.SetGroupValue(1, kGroupChannels, 60);
    big.SetGroupValue(2, kGroupChannels, 300);
    big.NormalizeGroups();
    EXPECT_EQ(std::make_tuple(big.GetGroupValue(1, kGroupChannels),
                              big.GetGroupValue(2, kGroupChannels),
                              big.GetGroupValue(2, kGroupInUse)),
              std::make_tuple(28, 0, 0));

    // Priority on a channel not in use -> none; start moves to the first channel in use.
    HMemoryImage p = MakeImage();
    p[51] = 10;    // group 0: 10 channels
    p[83] = 2;     // priority index 2
    p[115] = 0;    // start index 0
    p[896] = 0x07; // channels 0-2 not in use
    HChannels pc = Loaded(p);
    EXPECT_EQ(std::make_tuple(pc.GetGroupValue(0, kGroupPriority), pc.GetGroupValue(0, kGroupStart),
                              pc.PriorityChannelOfGroup(0)),
              std::make_tuple(kNoPriority, 3, -1));
}

TEST(Channels, ParentGroupPriorityAndTruncation) {
    HChannels ch = Loaded(MakeImage());
    for (int g = 0; g < 4; ++g)
        ch.SetGroupValue(g, kGroupChannels, g < 3 ? 4 : 0);
    ch.NormalizeGroups();
    int g = -1;
    EXPECT_TRUE(ch.GetParentGroupNum(5, g) && g == 1);
    // A channel in a group not in use: false, but the group is named.
    ch.SetGroupValue(2, kGroupInUse, 0);
    g = -1;
    EXPECT_FALSE(ch.GetParentGroupNum(9, g));
    EXPECT_EQ(g, 2);
    ch.NormalizeGroups();

    // The priority moves only inside its group, and says where it was.
    ASSERT_TRUE(ch.SetPriorityChannel(6, 1));
    EXPECT_FALSE(ch.SetPriorityChannel(2, 1)); // channel 2 is group 0's
    EXPECT_FALSE(ch.SetPriorityChannel(8, 1)); // and channel 8 group 2's first
    EXPECT_TRUE(ch.SetPriorityChannel(4, 1));  // group 1's own first
    ASSERT_TRUE(ch.SetPriorityChannel(6, 1));
    EXPECT_EQ(ch.GetGroupValue(1, kGroupPriority), 2);
    const std::optional<HPriorityChange> old = ch.SetPriorityChannel(7, 1);
    ASSERT_TRUE(old);
    EXPECT_EQ(std::make_pair(old->oldPriority, old->oldChannel), std::make_pair(2, 6));
    EXPECT_EQ(ch.PriorityChannelOfGroup(1), 7);
    // Truncation from group 1: group 0 is in use, so groups 1.. are just cleared.
    ch.TruncateGroups(1);
    EXPECT_EQ(std::make_tuple(ch.GetGroupValue(0, kGroupChannels),
                              ch.GetGroupValue(1, kGroupChannels),
                              ch.GetGroupValue(1, kGroupPriority)),
              std::make_tuple(4, 0, kNoPriority));

    // With no group in use before g, the first one in use at or after g moves to group 0.
    HChannels t = Loaded(MakeImage());
    t.SetGroupValue(0, kGroupChannels, 0);
    t.SetGroupValue(2, kGroupChannels, 7);
    t.SetGroupValue(2, kGroupScanMode, 3);
    t.SetGroupTag(2, "THIRD");
    t.NormalizeGroups();
    t.TruncateGroups(1);
    EXPECT_EQ(std::make_tuple(t.GetGroupValue(0, kGroupChannels),
                              t.GetGroupValue(0, kGroupScanMode), t.GetGroupTag(0),
                              t.GetGroupValue(2, kGroupChannels)),
              std::make_tuple(7, 3, "THIRD", 0));
}

TEST(Channels, ScanModeSetsFlagsThreeAndFive) {
    HMemoryImage img = MakeImage();
    HChannels ch = Loaded(img);
    ch.SetGroupValue(1, kGroupChannels, 3);
    ch.SetGroupValue(1, kGroupScanMode, 2);
    ch.Save(img);
    // Flag 5 of group 1: bit 6 of byte 156, stored inverted.
    EXPECT_EQ(std::make_pair(img[156] & 0x40, img[148] & 0x40), std::make_pair(0, 0x40));
    EXPECT_EQ(Loaded(img).GetGroupValue(1, kGroupScanMode), 2);
}

TEST(Channels, TuningPointInterpolationAtSave) {
    HMemoryImage img = MakeImage();
    // Points 0 and 1 at 140 and 150 MHz; row 13 goes 0 -> 10, row 14 goes 20 -> 40.
    auto point = [&](int i) { return 12306 + 15 * i; };
    for (int i = 0; i < 17; ++i) {
        const int f100k = 1400 + 100 * i;
        img[point(i)] = static_cast<std::uint8_t>(f100k >> 8);
        img[point(i) + 1] = static_cast<std::uint8_t>(f100k);
    }
    img[point(1) + 11] = 10, img[point(0) + 12] = 20, img[point(1) + 12] = 40;
    HChannels ch = Loaded(img);
    ch.SetFrequency(0, 0, 144000000); // 4/10 of the way: 4 exactly
    ch.SetFrequency(0, 1, 141250000); // 20 + 2.5 -> 23 (rounded away from zero)
    ch.SetFrequency(1, 0, 144000000);
    ch.SetField(1, kFieldKeepTuningPoints, 1);
    ch.SetField(1, kFieldRxTune13, -7);
    ch.Save(img);
    EXPECT_EQ(Fields(ch, 0, {kFieldRxTune13, kFieldTxTune14}), (Values{4, 23}));
    // A kept channel keeps its value; field 34 is sign-magnitude.
    EXPECT_EQ((std::vector<int>{img[1536 + 14], img[1536 + 32], img[1536 + 42 + 14]}),
              (std::vector<int>{4, 23, 0x87}));
}

// Each tuning field takes its own tuning row, the documented map; above the
// last pair a channel takes point 15's value, not point 16's.
TEST(Channels, TuningFieldsTakeTheirRows) {
    HMemoryImage img = MakeImage();
    HTuningPointsGroup points;
    points.Load(img);
    for (std::size_t i = 0; i < 17; ++i) {
        points.SetRecordValue(i, 0, std::int32_t(90000000 + 5000000 * i)); // 90 to 170 MHz
        for (std::size_t row = 1; row <= 16; ++row)
            points.SetRecordValue(i, row, std::int32_t(row % 8));
    }
    points.SetRecordValue(16, 13, 99);
    points.Save(img);
    HChannels ch = Loaded(img);
    ch.SetFrequency(0, 0, 144000000);
    ch.SetFrequency(0, 1, 144000000);
    ch.SetFrequency(1, 0, 172000000);
    ch.Save(img);
    const std::pair<int, int> fieldRow[] = {{34, 13}, {41, 16}, {48, 15}, {49, 1},
                                            {52, 14}, {61, 8},  {62, 7},  {63, 11},
                                            {64, 10}, {65, 9},  {66, 12}};
    for (const auto& [field, row] : fieldRow)
        EXPECT_EQ(ch.GetField(0, field), row % 8) << "field " << field;
    EXPECT_EQ(ch.GetField(1, kFieldRxTune13), 13 % 8);
}

// The packed parts of fields 33 and 40 with field 44 set: nothing recomputes
// them at save, so every bit of each part must go through load and save as is.
TEST(Channels, KeptTuningWordPartsKeepEveryBit) {
    constexpr std::size_t kRecord0 = 1536; // channel 0's record; channel 1 follows at +42
    HMemoryImage img = MakeImage();
    img[kRecord0 + 26] = 0x80; // field 44: keep the tuning-point values
    // Field 33 all ones: parts 7, 7 and 15 with every bit outside them set too.
    img[kRecord0 + 12] = 0xFF;
    img[kRecord0 + 13] = 0xFF;
    // Field 40 = 0x8EC9: parts 5 (bits 7-9), 3 (bits 10-12), 9 (bits 3-6), bits 15 and 0.
    img[kRecord0 + 20] = 0x8E;
    img[kRecord0 + 21] = 0xC9;
    const std::initializer_list<int> parts = {kFieldRxWordA, kFieldRxWordB, kFieldRxWordC,
                                              kFieldTxWordA, kFieldTxWordB, kFieldTxWordC};
    HChannels ch = Loaded(img);
    EXPECT_EQ(Fields(ch, 0, parts), (Values{7, 7, 15, 5, 3, 9}));

    // Parts set one by one on a kept channel whose words are 0.
    const Values set = {7, 7, 15, 1, 4, 8};
    ch.SetField(1, kFieldKeepTuningPoints, 1);
    for (std::size_t k = 0; k < set.size(); ++k)
        ch.SetField(1, std::data(parts)[k], set[k]);
    ch.Save(img);
    const auto word = [&img](std::size_t at) {
        return img[kRecord0 + at] << 8 | img[kRecord0 + at + 1];
    };
    EXPECT_EQ(word(12), 0xFFFF);
    EXPECT_EQ(word(20), 0x8EC9);
    EXPECT_EQ(word(42 + 12), 0x1FF8);
    EXPECT_EQ(word(42 + 20), 0x10C0); // 1 << 7 | 4 << 10 | 8 << 3
    EXPECT_EQ(Fields(Loaded(img), 1, parts), set);
}

// A priority or start index equal to the group's count would name the next
// group's first channel: it is no channel of this group.
TEST(Channels, PriorityAndStartAtTheGroupCountAreRefused) {
    HMemoryImage img = MakeImage();
    img[51] = 10;    // group 0: channels 0-9
    img[50] = 5;     // group 1: channels 10-14, all in use
    img[83] = 10;    // group 0's priority index = its count
    img[115] = 10;   // group 0's start index = its count
    img[82] = 4;     // group 1's last channel as priority: kept
    img[114] = 4;    // and as start: kept
    img[896] = 0x01; // channel 0 not in use, so the start moves to index 1
    HChannels ch = Loaded(img);
    EXPECT_EQ(ch.GetGroupValue(0, kGroupPriority), kNoPriority);
    EXPECT_EQ(ch.PriorityChannelOfGroup(0), -1);
    EXPECT_EQ(ch.GetGroupValue(0, kGroupStart), 1);
    EXPECT_EQ(ch.GetGroupValue(1, kGroupPriority), 4);
    EXPECT_EQ(ch.PriorityChannelOfGroup(1), 14);
    EXPECT_EQ(ch.GetGroupValue(1, kGroupStart), 4);

    // The same through an edit and a normalisation.
    ch.SetGroupValue(1, kGroupPriority, 5);
    ch.SetGroupValue(1, kGroupStart, 5);
    ch.NormalizeGroups();
    EXPECT_EQ(ch.GetGroupValue(1, kGroupPriority), kNoPriority);
    EXPECT_EQ(ch.GetGroupValue(1, kGroupStart), 0);
}

// Restored: each of these was the only check of its rule.
TEST(Channels, CapacityFollowsTheDisplayTypeWhenItChanges) {
    HChannels led = Loaded(MakeImage(0));
    EXPECT_EQ(led.GetCapacity(), 8);
    EXPECT_EQ(led.GetField(8, 0), -1); // beyond the capacity
    EXPECT_FALSE(led.IsChannelEnabled(8));
    // A handheld's display type is row 3; its mobile row does not count.
    HChannels hh = Loaded(MakeImage(1, 2));
    EXPECT_EQ(hh.GetCapacity(), 8);
    hh.SetHardwareValue(HHardwareGroup::kRowDisplayHandheld, 1);
    EXPECT_EQ(hh.GetCapacity(), 128);
    EXPECT_EQ(hh.GetGroupCount(), 8);
}

TEST(Channels, DamagedCountsAreHeldAtTheLimit) {
    HMemoryImage img = MakeImage(1, 0, 2); // step set 2: 12.5 kHz steps
    const std::size_t rec = 1536;
    // Both step codes 1, transmit count 8191 x 64 + 63, count word not 0.
    img[rec + 2] = 0x50, img[rec + 17] = 0x1F, img[rec + 18] = 0xFF, img[rec + 19] = 0xFC;
    img[rec + 23] = 0x12;
    HChannels ch = Loaded(img);
    EXPECT_EQ(ch.GetField(0, kFieldTxFrequency), 2147483647);
    EXPECT_GT(ch.GetFrequency(0, 1), 2147483647LL);
}

// Load and save keep to the bytes they are given: a record cut off by the end of
// a shorter image reads its missing rows as out of range, and a save writes
// nothing past the end, not even bits of a row that starts before it.
TEST(Channels, ShortImageIsReadAndWrittenOnlyWithinItsBytes) {
    HMemoryImage img = MakeImage();
    HChannels full = Loaded(img);
    full.SetField(1, kFieldKeepTuningPoints, 1); // byte 26 of the record
    full.SetField(1, kFieldSquelch, 9);          // byte 26
    full.SetField(1, kFieldTxTune15, -5);        // byte 27, sign-magnitude
    full.SetField(1, kFieldSubAudioOffset, -7);  // byte 33, sign-magnitude
    full.Save(img);
    // Channel 1's record starts at 1536 + 42; the cut leaves its bytes 0-26.
    const std::size_t cut = kChannelBase + kChannelRecordSize + 27;

    HChannels part;
    part.Load(std::span<const std::uint8_t>(img).first(cut));
    EXPECT_EQ(Loaded(img).GetField(1, kFieldSubAudioOffset), -7);
    EXPECT_EQ(part.GetField(1, kFieldSquelch), 9);
    EXPECT_EQ(part.GetField(1, kFieldTxTune15), -1);
    EXPECT_EQ(part.GetField(1, kFieldSubAudioOffset), -1);
    EXPECT_EQ(part.GetField(2, kFieldSquelch), -1);

    HMemoryImage target = img;
    const HMemoryImage before = target;
    HChannels writer = Loaded(img);
    for (int c = 0; c < 128; ++c) {
        writer.SetField(c, kFieldSquelch, 3);
        writer.SetField(c, kFieldTxTune15, -9);
    }
    writer.Save(std::span<std::uint8_t>(target).first(cut));
    EXPECT_TRUE(std::equal(target.begin() + long(cut), target.end(), before.begin() + long(cut)));
    EXPECT_EQ(Loaded(target).GetField(1, kFieldSquelch), 3);
    EXPECT_EQ(Loaded(target).GetField(1, kFieldTxTune15), -5);
}
