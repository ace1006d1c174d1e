#include "HChannelColumns.h"
#include "HChannelInfoPanel.h"
#include "HDefaultImage.h"
#include "HWriteCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

using namespace HChannelTables;
namespace Cols = HChannelColumns;

namespace {

HChannels ModelFor(int band, int productType, int lcd) {
    const HMemoryImage image = MakeImageForModel(band, productType, lcd);
    HChannels m;
    m.Load(image);
    return m;
}

std::string Text(const HChannels& m, int col, int c) {
    return Cols::CellText(col, m, c, 0);
}

std::string Joined(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& t : texts)
        out += t + "|";
    return out;
}

} // namespace

TEST(ChannelColumns, FrequencyAndTagTexts) {
    // Nine characters: one leading blank below 100 MHz, none above.
    EXPECT_EQ(Cols::FrequencyText(29700000), " 29.70000");
    EXPECT_EQ(Cols::FrequencyText(134000000), "134.00000");
    HChannels vhf = ModelFor(kBandVhf, kProductMobile, 1);
    vhf.SetField(0, kFieldTxInhibit, 1);
    EXPECT_EQ(Text(vhf, 5, 0), "---.-----");
    EXPECT_EQ(Text(vhf, 4, 0), "154.10000"); // receive not inhibited

    // Tags read in upper case, and a short tag saved and loaded shows no NUL.
    ASSERT_TRUE(vhf.ParseCellText(1, kFieldTag, "ab"));
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    vhf.Save(image);
    HChannels back;
    back.Load(image);
    EXPECT_EQ(Text(back, 3, 1), "AB");
}

TEST(ChannelColumns, AFrequencyPastTheThirtyTwoBitFieldShowsAndStaysAsStored) {
    // Channel 1's receive counts name 480000 steps of 6.25 kHz, 3000 MHz:
    // more than the model's 32-bit field holds. The grid shows 3000 MHz
    // (the check before writing judges it), and a save of the model leaves
    // the counts as they were rather than moving them to 2147.48 MHz.
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    {
        HRecordFieldTable record(kChannelRecordRows, image);
        record.SetAreaBase(kChannelBase);
        record.SelectRecord(0);
        record.SetValue(kFieldRxStep, 1);
        record.SetValue(kFieldRxCountHigh, 480000 / 64);
        record.SetValue(kFieldRxCountLow, 0);
        record.SetValue(kFieldRxCountWord, 0x1234);
    }
    const HMemoryImage before = image;
    // The check before writing judges the frequency the counts name.
    const auto findings = HWriteCheck::CheckImage(image, 0);
    EXPECT_TRUE(std::any_of(findings.begin(), findings.end(), [](const HCheckFinding& f) {
        return f.severity == HCheckSeverity::Error &&
               f.text.find("3000.00000") != std::string::npos;
    })) << "no finding names channel 1's 3000 MHz";
    HChannels m;
    m.Load(image);
    EXPECT_EQ(Text(m, 4, 0), "3000.00000");
    EXPECT_EQ(Text(m, 4, 1), "154.10000");
    ASSERT_TRUE(m.ParseCellText(1, kFieldRxFrequency, "155.0"));
    m.Save(image);
    const std::size_t ch0 = kChannelBase;
    for (std::size_t i = ch0; i < ch0 + kChannelRecordSize; ++i)
        EXPECT_EQ(int(image[i]), int(before[i])) << "channel 1 byte " << i - ch0;
    EXPECT_EQ(Text(m, 4, 1), "155.00000");
}

TEST(ChannelColumns, FineAlignmentShowsTheToneWithoutThePolaritySuffix) {
    // "%s%5.1f" of a CTCSS tone and "%s%03o" of a DCS code; the grid's
    // polarity suffix (" N", " I", " B") is no part of it.
    EXPECT_EQ(Cols::SubAudioTone(1, 670), "C- 67.0");
    EXPECT_EQ(Cols::SubAudioTone(2, 023), "D-023");
    EXPECT_EQ(Cols::SubAudioTone(0, 0), "-----");
    EXPECT_EQ(Cols::SubAudioText(2, 023, false, false), "D-023 N");
    EXPECT_EQ(Cols::SubAudioText(2, 023, true, true), "D-023 IB");
}

TEST(ChannelColumns, ListNumberAndTickTexts) {
    HChannels m = ModelFor(kBandVhf, kProductHandheld, 1);
    const int c = 4;
    EXPECT_EQ(Text(m, 0, 0), "  1");
    EXPECT_EQ(Text(m, 0, 127), "128");
    // Set one field, then read one column; applied in order to one channel.
    // A bandwidth with no text shows its number; Page/Signal show "-" for
    // none and a Page number 10 as 0; ticks " " ticked, "-" not.
    const std::tuple<int, std::int32_t, int, const char*> steps[] = {
        {kFieldBandwidth, 3, 2, "3"},      {kFieldSignalKind, 0, 17, "------"},
        {kFieldSignalNumber, 0, 18, "-"},  {kFieldSignalKind, 3, 17, "Page"},
        {kFieldSignalNumber, 10, 18, "0"}, {kFieldSignalKind, 2, 18, "10"}};
    for (auto [field, value, col, text] : steps) {
        m.SetField(c, field, value);
        EXPECT_EQ(Text(m, col, c), text) << "field " << field << " = " << value;
    }

    // Reports show "v" for a tick (column 25: DTMF ANI Monitor, field 0).
    m.SetField(c, 0, 1);
    m.SetField(c, 10, 0);
    EXPECT_EQ(Cols::ReportText(25, m, c, 0), "v");
    EXPECT_EQ(Cols::ReportText(12, m, c, 0), "-");
    // The priority tick follows the group's priority channel.
    ASSERT_TRUE(m.SetPriorityChannel(c, 0));
    EXPECT_EQ(Text(m, 1, c), " ");
    EXPECT_EQ(Text(m, 1, c + 1), "-");
}

TEST(ChannelColumns, KeyFilters) {
    using V = Cols::HKeyVerdict;
    // Backspace, Escape and Enter always pass, whatever the column.
    for (char32_t k : {U'\b', char32_t{27}, U'\r'})
        EXPECT_EQ(Cols::FilterKey(6, 3, k).verdict, V::Pass) << static_cast<int>(k);
    // Tag: letters, digits and []_ *+-/ only.
    for (char32_t k : std::u32string_view(U"[]_ *+-/7"))
        EXPECT_EQ(Cols::FilterKey(3, 2, k).verdict, V::Insert) << static_cast<int>(k);
    for (char32_t k : {U'!', U'.', U'#', U'%', U'<', U'>', U'\t', U'é', char32_t{0x3042}})
        EXPECT_EQ(Cols::FilterKey(3, 2, k).verdict, V::Drop) << static_cast<int>(k);
    // {column, position, key, verdict}: frequencies take digits and the point;
    // tones C or D first, then "-", then digits and point; the rest nothing.
    const std::tuple<int, std::size_t, char32_t, V> cases[] = {
        {5, 4, '.', V::Insert}, {4, 0, '-', V::Drop},   {7, 0, '6', V::Drop},
        {7, 1, '-', V::Insert}, {6, 2, '0', V::Insert}, {13, 0, '1', V::Drop}};
    for (auto [col, pos, key, verdict] : cases)
        EXPECT_EQ(Cols::FilterKey(col, pos, key).verdict, verdict) << col << " " << pos;
    // Upper case in tags; C or D in a tone becomes "C-"/"D-".
    EXPECT_EQ(Cols::FilterKey(3, 0, 'a').key, U'A');
    const Cols::HKeyResult c = Cols::FilterKey(6, 0, 'c');
    EXPECT_EQ(std::make_pair(c.verdict, c.text), std::make_pair(V::Replace, std::string("C-")));
    EXPECT_EQ(Cols::FilterKey(7, 0, 'D').text, "D-");
}

TEST(ChannelColumns, VisibilityRules) {
    using Cols::ApplyVisibility;
    const HItemFlags all = AllItemsShown();
    const Cols::HModelFacts mobileLcd{0, 0, 1, 0};
    const Cols::HModelFacts handheldLcd{2, 1, 0, 0};

    // The option unit forces Encr and DTMF ANI Monitor (code 1 on, others
    // off); Ext Mic at level 0 is hidden and its flag cleared even when set.
    auto v = ApplyVisibility(mobileLcd, 0, all, false);
    EXPECT_FALSE(v.shown[15]) << "Encr without the option unit";
    EXPECT_FALSE(v.shown[25]) << "DTMF ANI Monitor without the option unit";
    EXPECT_EQ(v.flags[10], 0) << "Encr flag";
    EXPECT_EQ(v.flags[17], 0) << "DTMF ANI Monitor flag";
    EXPECT_FALSE(v.shown[24]) << "Ext Mic at level 0";
    EXPECT_EQ(v.flags[16], 0) << "Ext Mic flag at level 0";
    v = ApplyVisibility({0, 0, 1, 1}, 2, HItemFlags{}, false);
    EXPECT_TRUE(v.shown[15]) << "Encr with the option unit";
    EXPECT_TRUE(v.shown[25]) << "DTMF ANI Monitor with the option unit";
    EXPECT_EQ(v.flags[10], 1) << "Encr flag";
    EXPECT_EQ(v.flags[17], 1) << "DTMF ANI Monitor flag";

    // Hiding Scan hides the handheld-only column 11 too.
    v = Cols::ToggleItem(HChannelItem::Scan, handheldLcd, 2, all, false);
    EXPECT_FALSE(v.shown[10]);
    EXPECT_FALSE(v.shown[11]);

    // Hiding Frequency hides both frequency columns.
    v = Cols::ToggleItem(HChannelItem::Frequency, mobileLcd, 2, all, false);
    EXPECT_FALSE(v.shown[4]) << "receive frequency";
    EXPECT_FALSE(v.shown[5]) << "transmit frequency";
    EXPECT_TRUE(v.shown[0]) << "channel number";
    EXPECT_EQ(v.flags[3], 0) << "Frequency flag";

    // TAG follows the display field of the product type.
    v = ApplyVisibility({0, 1, 0, 0}, 2, all, true); // mobile without display
    EXPECT_FALSE(v.shown[3]) << "TAG without a display";
    EXPECT_EQ(v.flags[2], 0) << "TAG flag";
    EXPECT_TRUE(v.loadFlag);
    // The user's choice to hide TAG holds, until a set with a display is
    // loaded, which shows it again once.
    HItemFlags tagOff = all;
    tagOff[2] = 0;
    EXPECT_FALSE(ApplyVisibility(handheldLcd, 2, tagOff, false).shown[3]) << "TAG hidden";
    v = ApplyVisibility(handheldLcd, 2, tagOff, true);
    EXPECT_TRUE(v.shown[3]) << "TAG after a load";
    EXPECT_EQ(v.flags[2], 1) << "TAG flag after a load";
    EXPECT_FALSE(v.loadFlag);
}

TEST(ChannelColumns, StoringPastedCells) {
    HChannels m = ModelFor(kBandVhf, kProductMobile, 1);
    const int c = 5;
    // {column, text, accepted, field, its value afterwards}, in order on one
    // channel: no EL on a mobile set; transmit inhibit travels with the
    // transmit cell; the signalling number as shown; columns out of the table.
    const std::tuple<int, const char*, bool, int, std::int32_t> cases[] = {
        {2, "W3", false, kFieldBandwidth, 1},       {9, "EL", false, kFieldPowerLevel, 1},
        {13, "13", false, kFieldSquelch, 0},        {12, "-", true, 10, 0},
        {5, "---.-----", true, kFieldTxInhibit, 1}, {5, "150.00000", true, kFieldTxInhibit, 0},
        {17, "Page", true, kFieldSignalKind, 3},    {18, "0", true, kFieldSignalNumber, 10},
        {-1, "x", false, kFieldSignalNumber, 10}};
    for (auto [col, text, accepted, field, value] : cases) {
        EXPECT_EQ(Cols::StoreCellText(col, m, c, 0, text), accepted) << col << " " << text;
        EXPECT_EQ(m.GetField(c, field), value) << col << " " << text;
    }
}

TEST(ChannelColumns, InformationPanelAndReportColumns) {
    HMemoryImage image = MakeImageForModel(kBandUhfA, kProductHandheld, 1);
    HMarketingGroup marketing;
    marketing.Load(image);
    marketing.SetText(2, "A123");
    marketing.SetValue(1, 102);
    marketing.Save(image);
    HChannels hh;
    hh.Load(image);
    hh.SetGroupValue(0, kGroupChannels, 20);
    hh.SetGroupValue(1, kGroupChannels, 10);
    hh.NormalizeGroups();
    HMarketingGroup back;
    back.Load(image);
    const HChannelInfoPanel p =
        BuildChannelInfoPanel(back, hh, 1, "/dev/ttyUSB0", "Office Printer");
    EXPECT_EQ(Joined({p.serialNumber, p.frequencyBand, p.firmwareVersion, p.comPort, p.printer,
                      p.channels, p.channelsLeft, p.productType}),
              "A123|UHF A| 1.02|/dev/ttyUSB0|Office Printer|10|98 Channels Left|Handheld|");
    HChannels m = ModelFor(kBandVhf, kProductMobile, 1);

    // A mobile set without option unit at level 0: no Auto Scan, Encr, Ext MIC
    // or ANI Moni, in the titles and the rows alike.
    const Cols::HModelFacts mobile = Cols::FactsOf(m);
    const std::vector<std::string> titles = Cols::ReportTitles(mobile, 0);
    EXPECT_EQ(Joined(titles), "Chn|Pri|W/N|TAG|FREQUENCY Receive|FREQUENCY Transmit|SUB AUDIO Dec|"
                              "SUB AUDIO Enc|Power H|Power L|SC|TOT|SQ|DTMF ANI|Lock Out|"
                              "Signalling Type|Signalling No|Clock Shift TX|Clock Shift RX|"
                              "Clock Shift Opt|RX ARTS|Flat AF|");
    ASSERT_TRUE(m.ParseCellText(0, kFieldRxToneType, "D-023 I"));
    m.SetField(0, 10, 1);
    m.SetField(0, 9, 0);
    const std::vector<std::string> row = Cols::ReportRow(m, 0, mobile, 0);
    ASSERT_EQ(row.size(), titles.size());
    // Dec is the receive side; TOT ticked, RX ARTS not.
    EXPECT_EQ(Joined({row[0], row[3], row[6], row[7], row[11], row[20]}),
              "  1|-ORVANE-|D-023 I|-----|v|-|");
}

// An edit through a column changes the bits of that column's field in the
// radio's memory and nothing else. The bits are where the channel layout puts
// each field, for channel 4 (record at 1706: page 1 starts at 1664, 42 bytes a
// channel; its bit of the field-56 table is bit 4 of byte 161).
namespace {

struct FieldBits {
    int column;
    std::size_t byte;
    std::uint8_t mask;
    const char* text; // text stored through the column; nullptr = tick toggled
};

void ExpectOnlyBitsChange(const FieldBits& f) {
    SCOPED_TRACE("column " + std::to_string(f.column));
    const int c = 4;
    HChannels m = ModelFor(kBandVhf, kProductHandheld, 1);
    // Kept tuning values, so that power and bandwidth do not re-interpolate.
    m.SetField(c, kFieldKeepTuningPoints, 1);
    HMemoryImage before = MakeImageForModel(kBandVhf, kProductHandheld, 1);
    m.Save(before);
    const std::string shown = Text(m, f.column, c);
    if (f.text) {
        ASSERT_TRUE(Cols::StoreCellText(f.column, m, c, 0, f.text));
        EXPECT_EQ(Text(m, f.column, c), f.text);
    } else {
        ASSERT_TRUE(m.ToggleField(c, Cols::Column(f.column)->toggleField));
        EXPECT_NE(Text(m, f.column, c), shown);
    }
    HMemoryImage after = before;
    m.Save(after);
    EXPECT_NE(after[f.byte] & f.mask, before[f.byte] & f.mask);
    for (std::size_t i = 0; i < after.size(); ++i) {
        const int outside = (after[i] ^ before[i]) & (i == f.byte ? ~f.mask & 0xFF : 0xFF);
        EXPECT_EQ(outside, 0) << "byte " << i;
    }
}

} // namespace

TEST(ChannelColumns, EachEditChangesOnlyItsFieldsBits) {
    const FieldBits cases[] = {
        {10, 161, 0x10, nullptr},   // Scan: field 56
        {11, 1706, 0x20, nullptr},  // Scan: field 2
        {12, 1707, 0x04, nullptr},  // TOT: field 10
        {14, 1710, 0x80, nullptr},  // ANI: field 19
        {19, 1707, 0x40, nullptr},  // Clock Shift: field 7
        {20, 1707, 0x20, nullptr},  // Clock Shift: field 8
        {21, 1707, 0x80, nullptr},  // Clock Shift: field 6
        {22, 1707, 0x08, nullptr},  // ARTS: field 9
        {23, 1709, 0x08, nullptr},  // Flat AF: field 15
        {24, 1709, 0x04, nullptr},  // Ext Mic: field 16
        {25, 1706, 0x80, nullptr},  // DTMF ANI Monitor: field 0
        {2, 1706, 0x0C, "N"},       // W/N: field 4
        {8, 1706, 0x10, "L"},       // Power: field 3
        {9, 1706, 0x03, "EL"},      // power level: field 5
        {13, 1732, 0x0F, "12"},     // Squelch: field 47
        {15, 1732, 0x30, "All On"}, // Encr: field 46
        {16, 1707, 0x03, "BT"},     // Lock Out: field 11
    };
    for (const FieldBits& f : cases)
        ExpectOnlyBitsChange(f);
}

// Restored: the only check that a handheld set with the option unit at a raised
// level reports every column, the four optional ones included.
TEST(ChannelColumns, FullReportHasEveryColumn) {
    HChannels m = ModelFor(kBandVhf, kProductHandheld, 1);
    const Cols::HModelFacts full{2, 1, 0, 1};
    const std::vector<std::string> all = Cols::ReportTitles(full, 1);
    ASSERT_EQ(all.size(), std::size_t{26});
    EXPECT_EQ(Cols::ReportRow(m, 0, full, 1).size(), std::size_t{26});
    EXPECT_EQ(all[11], "Auto Scan");
    EXPECT_EQ(all[15], "Encr");
    EXPECT_EQ(all[24], "Ext MIC");
    EXPECT_EQ(all[25], "ANI Moni");
}

// Restored: the only property check of the tone lists. Every choice stored
// through the parser shows as itself again and is found at its own index.
TEST(ChannelColumns, ToneChoicesRoundTripThroughTheParser) {
    const auto rx = Cols::ToneChoices(false);
    const auto tx = Cols::ToneChoices(true);
    constexpr std::size_t n = Cols::kCtcssToneCount;
    EXPECT_EQ(rx.size(), 1 + n + 2 * Cols::kDcsCodeCount);
    EXPECT_EQ(tx.size(), 1 + n + 3 * Cols::kDcsCodeCount);
    EXPECT_EQ(rx[0], "-----");
    EXPECT_EQ(rx[1], "C- 67.0");
    EXPECT_EQ(rx[n], "C-254.1");
    EXPECT_EQ(rx[n + 1], "D-023 N");
    EXPECT_EQ(rx[n + 2], "D-023 I");
    EXPECT_EQ(tx[n + 3], "D-023 B");
    EXPECT_EQ(rx.back(), "D-754 I");
    EXPECT_EQ(tx.back(), "D-754 B");

    HChannels m = ModelFor(kBandVhf, kProductMobile, 1);
    for (const bool transmit : {false, true}) {
        const auto& choices = transmit ? tx : rx;
        const int col = transmit ? 6 : 7;
        for (std::size_t i = 0; i < choices.size(); ++i) {
            ASSERT_TRUE(Cols::StoreCellText(col, m, 9, 0, choices[i])) << choices[i];
            EXPECT_EQ(Text(m, col, 9), choices[i]);
            EXPECT_EQ(Cols::FindToneChoice(transmit, Text(m, col, 9)), static_cast<int>(i));
        }
    }
    EXPECT_EQ(Cols::FindToneChoice(false, "C- 68.0"), -1);
}
