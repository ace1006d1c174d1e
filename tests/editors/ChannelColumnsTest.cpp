#include "HChannelColumns.h"
#include "HChannelInfoPanel.h"
#include "HDefaultImage.h"

#include <gtest/gtest.h>

#include <set>

using namespace HChannelTables;
namespace Cols = HChannelColumns;

namespace {

HChannels ModelFor(int band, int productType, int lcd) {
    const HMemoryImage image = MakeImageForModel(band, productType, lcd);
    HChannels m;
    m.Load(image);
    return m;
}

std::string Text(const HChannels& m, int col, int c, int g = 0) {
    return Cols::CellText(col, m, c, g);
}

constexpr int kNotInUse = 7;

} // namespace

TEST(ChannelColumns, TableShapeAndItems) {
    const auto table = Cols::Table();
    ASSERT_EQ(table.size(), 26u);
    EXPECT_EQ(Cols::ColumnsOfItem(HChannelItem::Frequency), (std::vector<int>{4, 5}));
    EXPECT_EQ(Cols::ColumnsOfItem(HChannelItem::ClockShift), (std::vector<int>{19, 20, 21}));
    EXPECT_EQ(Cols::ColumnsOfItem(HChannelItem::Scan), (std::vector<int>{10, 11}));
    EXPECT_EQ(Cols::ColumnsOfItem(HChannelItem::ExtMic), (std::vector<int>{24}));
    // Every item has at least one column, and the visibility table of the view.
    for (std::size_t i = 0; i < kChannelItemCount; ++i)
        EXPECT_FALSE(Cols::ColumnsOfItem(static_cast<HChannelItem>(i)).empty()) << i;

    // Never text-edited: 0, 1, 8, 10, 11, 12, 14, 17-25; the rest are lists or texts.
    const std::set<int> lists = {2, 9, 13, 15, 16};
    const std::set<int> texts = {3, 4, 5, 6, 7};
    for (const HChannelColumn& c : table) {
        const HCellEdit want = lists.contains(c.column)   ? HCellEdit::List
                               : texts.contains(c.column) ? HCellEdit::Text
                                                          : HCellEdit::None;
        EXPECT_EQ(c.edit, want) << c.column;
    }
    EXPECT_EQ(Cols::Column(3).maxLength, 8u);
    EXPECT_EQ(Cols::Column(4).maxLength, 9u);
    EXPECT_EQ(Cols::Column(5).maxLength, 9u);
    EXPECT_EQ(Cols::Column(6).maxLength, 8u);
    EXPECT_EQ(Cols::Column(7).maxLength, 8u);
    // The fields the parser and the list picks store.
    EXPECT_EQ(Cols::Column(3).parseField, 54);
    EXPECT_EQ(Cols::Column(4).parseField, 59);
    EXPECT_EQ(Cols::Column(5).parseField, 60);
    EXPECT_EQ(Cols::Column(6).parseField, 68);
    EXPECT_EQ(Cols::Column(7).parseField, 67);
    EXPECT_EQ(Cols::Column(2).field, 4);
    EXPECT_EQ(Cols::Column(9).field, 5);
    EXPECT_EQ(Cols::Column(13).field, 47);
    EXPECT_EQ(Cols::Column(15).field, 46);
    EXPECT_EQ(Cols::Column(16).field, 11);
    // Dependants named by the view's documentation.
    EXPECT_EQ(Cols::Column(4).dependants,
              Cols::Bit(4) | Cols::Bit(5) | Cols::Bit(19) | Cols::Bit(20) | Cols::Bit(21));
    EXPECT_EQ(Cols::Column(5).dependants, Cols::Bit(5) | Cols::Bit(19));
    EXPECT_EQ(Cols::Column(17).dependants, Cols::Bit(17) | Cols::Bit(18) | Cols::Bit(14));
    // Report order: receive tone (Dec) before transmit tone (Enc).
    EXPECT_EQ(Cols::Column(Cols::kReportOrder[6]).reportTitle, "SUB AUDIO Dec");
    EXPECT_EQ(Cols::Column(Cols::kReportOrder[7]).reportTitle, "SUB AUDIO Enc");
}

TEST(ChannelColumns, FrequencyTexts) {
    // Nine characters: one leading blank below 100 MHz, none above.
    EXPECT_EQ(Cols::FrequencyText(29700000), " 29.70000");
    EXPECT_EQ(Cols::FrequencyText(134000000), "134.00000");
    EXPECT_EQ(Cols::FrequencyText(146012500), "146.01250");

    HChannels low = ModelFor(kBandLowA, kProductMobile, 1);
    low.SetFrequency(2, 0, 29700000);
    EXPECT_EQ(Text(low, 4, 2), " 29.70000");

    HChannels vhf = ModelFor(kBandVhf, kProductMobile, 1);
    vhf.SetFrequency(0, 0, 100); // clamped to the band's lower limit
    EXPECT_EQ(Text(vhf, 4, 0), "134.00000");
    vhf.SetFrequency(0, 1, 146012500);
    EXPECT_EQ(Text(vhf, 5, 0), "146.01250");
    vhf.SetField(0, kFieldTxInhibit, 1);
    EXPECT_EQ(Text(vhf, 5, 0), "---.-----");
    EXPECT_EQ(Text(vhf, 4, 0), "134.00000"); // the receive side is not inhibited
}

TEST(ChannelColumns, SubAudioTexts) {
    EXPECT_EQ(Cols::SubAudioText(0, 0, false, false), "-----");
    EXPECT_EQ(Cols::SubAudioText(1, 670, false, false), "C- 67.0");
    EXPECT_EQ(Cols::SubAudioText(1, 2541, false, false), "C-254.1");
    EXPECT_EQ(Cols::SubAudioText(2, 023, true, false), "D-023 I");
    EXPECT_EQ(Cols::SubAudioText(2, 023, false, false), "D-023 N");
    EXPECT_EQ(Cols::SubAudioText(2, 0754, false, true), "D-754 B");

    HChannels m = ModelFor(kBandVhf, kProductMobile, 1);
    ASSERT_TRUE(m.ParseCellText(3, kFieldRxToneType, "D-023 I"));
    EXPECT_EQ(Text(m, 7, 3), "D-023 I");
    ASSERT_TRUE(m.ParseCellText(3, kFieldTxToneType, "C-67"));
    EXPECT_EQ(Text(m, 6, 3), "C- 67.0");
    ASSERT_TRUE(m.ParseCellText(3, kFieldTxToneType, "D-131 B"));
    EXPECT_EQ(Text(m, 6, 3), "D-131 B");
    ASSERT_TRUE(m.ParseCellText(3, kFieldTxToneType, "-----"));
    EXPECT_EQ(Text(m, 6, 3), "-----");
}

TEST(ChannelColumns, ListNumberAndTickTexts) {
    HChannels m = ModelFor(kBandVhf, kProductHandheld, 1);
    const int c = 4;
    EXPECT_EQ(Text(m, 0, 0), "  1");
    EXPECT_EQ(Text(m, 0, 127), "128");

    const std::array<const char*, 3> bw = {"N", "W5", "W4"};
    for (int v = 0; v < 3; ++v) {
        m.SetField(c, kFieldBandwidth, v);
        EXPECT_EQ(Text(m, 2, c), bw[static_cast<std::size_t>(v)]);
    }
    m.SetField(c, kFieldBandwidth, 3); // no text for it: shown as its number
    EXPECT_EQ(Text(m, 2, c), "3");

    m.SetField(c, 3, 0);
    EXPECT_EQ(Text(m, 8, c), "H");
    m.SetField(c, 3, 1);
    EXPECT_EQ(Text(m, 8, c), "L");
    m.SetField(c, kFieldPowerLevel, 2);
    EXPECT_EQ(Text(m, 9, c), "EL");
    m.SetField(c, kFieldSquelch, 12);
    EXPECT_EQ(Text(m, 13, c), "12");
    m.SetField(c, kFieldEncryption, 2);
    EXPECT_EQ(Text(m, 15, c), "Power On");
    m.SetField(c, kFieldLockOut, 1);
    EXPECT_EQ(Text(m, 16, c), "BC");

    // Page/Signal: "-" for none, a Page number 10 keyed as 0.
    m.SetField(c, kFieldSignalKind, 0);
    m.SetField(c, kFieldSignalNumber, 0);
    EXPECT_EQ(Text(m, 17, c), "------");
    EXPECT_EQ(Text(m, 18, c), "-");
    m.SetField(c, kFieldSignalKind, 3);
    m.SetField(c, kFieldSignalNumber, 10);
    EXPECT_EQ(Text(m, 17, c), "Page");
    EXPECT_EQ(Text(m, 18, c), "0");
    m.SetField(c, kFieldSignalKind, 2);
    EXPECT_EQ(Text(m, 18, c), "10");
    m.SetField(c, kFieldSignalNumber, 5);
    EXPECT_EQ(Text(m, 18, c), "5");

    // Ticks: " " ticked, "-" not; the picture follows the channel's use.
    m.SetField(c, 10, 1);
    EXPECT_EQ(Text(m, 12, c), " ");
    EXPECT_EQ(Cols::CellTick(12, m, c, 0), HTickState::TickedInUse);
    EXPECT_EQ(Cols::ReportText(12, m, c, 0), "v");
    m.SetField(c, 10, 0);
    EXPECT_EQ(Text(m, 12, c), "-");
    EXPECT_EQ(Cols::CellTick(12, m, c, 0), HTickState::Unticked);
    EXPECT_EQ(Cols::ReportText(12, m, c, 0), "-");
    m.SetField(kNotInUse, 10, 1);
    m.SetField(kNotInUse, kFieldInUse, 0);
    EXPECT_EQ(Cols::CellTick(12, m, kNotInUse, 0), HTickState::TickedNotInUse);
    EXPECT_EQ(Cols::CellTick(3, m, c, 0), HTickState::NotTick);
    EXPECT_EQ(Cols::ReportText(3, m, c, 0), Text(m, 3, c));

    // Each tick column shows its own field.
    const std::array<std::pair<int, int>, 11> ticks = {{{10, 56},
                                                        {11, 2},
                                                        {12, 10},
                                                        {14, 19},
                                                        {19, 7},
                                                        {20, 8},
                                                        {21, 6},
                                                        {22, 9},
                                                        {23, 15},
                                                        {24, 16},
                                                        {25, 0}}};
    for (auto [col, field] : ticks) {
        for (const auto& [other, f] : ticks)
            m.SetField(c, f, 0);
        m.SetField(c, field, 1);
        for (const auto& [other, f] : ticks)
            EXPECT_EQ(Text(m, other, c), other == col ? " " : "-") << col << " " << other;
    }

    // The priority tick follows the group's priority channel.
    ASSERT_TRUE(m.SetPriorityChannel(c, 0));
    EXPECT_EQ(Text(m, 1, c), " ");
    EXPECT_EQ(Text(m, 1, c + 1), "-");
}

TEST(ChannelColumns, TagText) {
    HChannels m = ModelFor(kBandVhf, kProductMobile, 1);
    // Tags read in upper case.
    EXPECT_EQ(Text(m, 3, 0), "-ORVANE-");
    EXPECT_EQ(Text(m, 3, 1), "CHAN-002");
    ASSERT_TRUE(m.ParseCellText(1, kFieldTag, "ab"));
    const HMemoryImage before = MakeImageForModel(kBandVhf, kProductMobile, 1);
    HMemoryImage image = before;
    m.Save(image);
    HChannels back;
    back.Load(image);
    const std::string t = Text(back, 3, 1);
    EXPECT_EQ(t.substr(0, 2), "AB");
    EXPECT_EQ(t.find('\0'), std::string::npos);
}

TEST(ChannelColumns, KeyFilters) {
    using V = Cols::HKeyVerdict;
    // Backspace, Escape and Enter always pass, whatever the column.
    for (int col : {0, 2, 3, 4, 6, 25})
        for (char32_t k : {U'\b', char32_t{27}, U'\r'})
            EXPECT_EQ(Cols::FilterKey(col, 3, k).verdict, V::Pass) << col;
    // Tag: upper case; letters, digits and []_ %<>*+-/ only.
    EXPECT_EQ(Cols::FilterKey(3, 0, 'a').verdict, V::Insert);
    EXPECT_EQ(Cols::FilterKey(3, 0, 'a').key, U'A');
    for (char32_t k : {U'[', U']', U'_', U' ', U'%', U'<', U'>', U'*', U'+', U'-', U'/', U'7'})
        EXPECT_EQ(Cols::FilterKey(3, 2, k).verdict, V::Insert) << static_cast<int>(k);
    for (char32_t k : {U'!', U'.', U'#', U'\t', U'é', char32_t{0x3042}})
        EXPECT_EQ(Cols::FilterKey(3, 2, k).verdict, V::Drop) << static_cast<int>(k);
    // Frequencies: digits and the point.
    EXPECT_EQ(Cols::FilterKey(4, 0, '1').verdict, V::Insert);
    EXPECT_EQ(Cols::FilterKey(5, 4, '.').verdict, V::Insert);
    EXPECT_EQ(Cols::FilterKey(4, 0, '-').verdict, V::Drop);
    EXPECT_EQ(Cols::FilterKey(5, 0, 'e').verdict, V::Drop);
    // Tones: C or D first (the edit becomes "C-"), then "-", then digits and point.
    const Cols::HKeyResult c = Cols::FilterKey(6, 0, 'c');
    EXPECT_EQ(c.verdict, V::Replace);
    EXPECT_EQ(c.text, "C-");
    EXPECT_EQ(Cols::FilterKey(7, 0, 'D').text, "D-");
    EXPECT_EQ(Cols::FilterKey(7, 0, '6').verdict, V::Drop);
    EXPECT_EQ(Cols::FilterKey(7, 0, '-').verdict, V::Drop);
    EXPECT_EQ(Cols::FilterKey(7, 1, '-').verdict, V::Insert);
    EXPECT_EQ(Cols::FilterKey(7, 1, '0').verdict, V::Drop);
    EXPECT_EQ(Cols::FilterKey(6, 2, '0').verdict, V::Insert);
    EXPECT_EQ(Cols::FilterKey(6, 5, '.').verdict, V::Insert);
    EXPECT_EQ(Cols::FilterKey(6, 5, 'I').verdict, V::Drop);
    // Every other column drops every other key.
    for (int col : {0, 1, 2, 9, 13, 17, 18, 25})
        EXPECT_EQ(Cols::FilterKey(col, 0, '1').verdict, V::Drop) << col;
}

TEST(ChannelColumns, ListTextsAndPicks) {
    const HChannels mobile = ModelFor(kBandVhf, kProductMobile, 1);
    const HChannels handheld = ModelFor(kBandVhf, kProductHandheld, 1);
    EXPECT_EQ(Cols::ListDescription(2, mobile), "#0;N|#1;W5|#2;W4|");
    EXPECT_EQ(Cols::ListDescription(16, mobile), "#0;--|#1;BC|#2;BT|");
    EXPECT_EQ(Cols::ListDescription(17, mobile), "#0;------|#1;Option|#2;Signal|#3;Page|");
    EXPECT_EQ(Cols::ListDescription(15, mobile), "#0;OFF|#1;Key ON|#2;Power On|#3;All On|");
    EXPECT_EQ(Cols::ListTexts(13, mobile).size(), 13u);
    EXPECT_EQ(Cols::ListTexts(13, mobile).back(), "12");
    // A mobile set has two power levels only (the field's range for it).
    EXPECT_EQ(Cols::ListDescription(9, mobile), "#0;LH|#1;LM|");
    EXPECT_EQ(Cols::ListDescription(9, handheld), "#0;LH|#1;LM|#2;EL|");
}

TEST(ChannelColumns, VisibilityRules) {
    using Cols::ApplyVisibility;
    const HItemFlags all = AllItemsShown();
    Cols::HModelFacts mobileLcd{0, 0, 1, 0};

    // Item flags drive their columns: hiding Frequency hides 4 and 5 together.
    auto v = Cols::ToggleItem(HChannelItem::Frequency, mobileLcd, 2, all, false);
    EXPECT_FALSE(v.shown[4]);
    EXPECT_FALSE(v.shown[5]);
    EXPECT_EQ(v.flags[3], 0);
    EXPECT_TRUE(v.shown[0]);
    v = Cols::ToggleItem(HChannelItem::Frequency, mobileLcd, 2, v.flags, false);
    EXPECT_TRUE(v.shown[4] && v.shown[5]);

    // Ext Mic at level 0: hidden and its flag cleared even when set.
    v = ApplyVisibility(mobileLcd, 0, all, false);
    EXPECT_FALSE(v.shown[24]);
    EXPECT_EQ(v.flags[16], 0);
    v = ApplyVisibility(mobileLcd, 1, all, false);
    EXPECT_TRUE(v.shown[24]);
    EXPECT_EQ(v.flags[16], 1);

    // The option unit forces Encr and DTMF ANI Monitor.
    v = ApplyVisibility(mobileLcd, 2, all, false);
    EXPECT_FALSE(v.shown[15]);
    EXPECT_FALSE(v.shown[25]);
    EXPECT_EQ(v.flags[10], 0);
    EXPECT_EQ(v.flags[17], 0);
    HItemFlags none{};
    v = ApplyVisibility({0, 0, 1, 1}, 2, none, false);
    EXPECT_TRUE(v.shown[15]);
    EXPECT_TRUE(v.shown[25]);
    EXPECT_EQ(v.flags[10], 1);
    EXPECT_EQ(v.flags[17], 1);
    v = ApplyVisibility({0, 0, 1, 2}, 2, all, false); // another option unit code
    EXPECT_FALSE(v.shown[15]);

    // Column 11 only on a handheld set; hiding Scan hides it too.
    v = ApplyVisibility(mobileLcd, 2, all, false);
    EXPECT_TRUE(v.shown[10]);
    EXPECT_FALSE(v.shown[11]);
    const Cols::HModelFacts handheldLcd{2, 1, 0, 0};
    v = ApplyVisibility(handheldLcd, 2, all, false);
    EXPECT_TRUE(v.shown[11]);
    v = Cols::ToggleItem(HChannelItem::Scan, handheldLcd, 2, all, false);
    EXPECT_FALSE(v.shown[10]);
    EXPECT_FALSE(v.shown[11]);

    // TAG follows the display field of the product type.
    v = ApplyVisibility({0, 1, 0, 0}, 2, all, true); // mobile without display
    EXPECT_FALSE(v.shown[3]);
    EXPECT_EQ(v.flags[2], 0);
    EXPECT_TRUE(v.loadFlag);                          // not applied: kept for the next refresh
    v = ApplyVisibility({2, 0, 1, 0}, 2, all, false); // handheld without display
    EXPECT_FALSE(v.shown[3]);
    HItemFlags tagOff = all;
    tagOff[2] = 0;
    v = ApplyVisibility(handheldLcd, 2, tagOff, false); // user's choice kept
    EXPECT_FALSE(v.shown[3]);
    v = ApplyVisibility(handheldLcd, 2, tagOff, true); // after a load: switched on
    EXPECT_TRUE(v.shown[3]);
    EXPECT_EQ(v.flags[2], 1);
    EXPECT_FALSE(v.loadFlag);
}

TEST(ChannelColumns, ToneChoicesRoundTripThroughTheParser) {
    const auto rx = Cols::ToneChoices(false);
    const auto tx = Cols::ToneChoices(true);
    EXPECT_EQ(rx.size(), 1 + Cols::kCtcssToneCount + 2 * Cols::kDcsCodeCount);
    EXPECT_EQ(tx.size(), 1 + Cols::kCtcssToneCount + 3 * Cols::kDcsCodeCount);
    EXPECT_EQ(rx[0], "-----");
    EXPECT_EQ(rx[1], "C- 67.0");
    EXPECT_EQ(rx[Cols::kCtcssToneCount], "C-254.1");
    EXPECT_EQ(rx[Cols::kCtcssToneCount + 1], "D-023 N");
    EXPECT_EQ(rx[Cols::kCtcssToneCount + 2], "D-023 I");
    EXPECT_EQ(tx[Cols::kCtcssToneCount + 3], "D-023 B");
    EXPECT_EQ(rx.back(), "D-754 I");

    // Every choice stored through the parser shows as itself again.
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

TEST(ChannelColumns, StoringPastedCells) {
    HChannels m = ModelFor(kBandVhf, kProductMobile, 1);
    const int c = 5;
    // Lists and two-state cells by their texts; unknown texts refused.
    EXPECT_TRUE(Cols::StoreCellText(2, m, c, 0, "W4"));
    EXPECT_EQ(m.GetField(c, kFieldBandwidth), 2);
    EXPECT_FALSE(Cols::StoreCellText(2, m, c, 0, "W3"));
    EXPECT_EQ(m.GetField(c, kFieldBandwidth), 2);
    EXPECT_TRUE(Cols::StoreCellText(8, m, c, 0, "L"));
    EXPECT_EQ(m.GetField(c, 3), 1);
    EXPECT_FALSE(Cols::StoreCellText(9, m, c, 0, "EL")); // not for a mobile set
    EXPECT_TRUE(Cols::StoreCellText(13, m, c, 0, "9"));
    EXPECT_EQ(m.GetField(c, kFieldSquelch), 9);
    EXPECT_FALSE(Cols::StoreCellText(13, m, c, 0, "13"));
    // Ticks.
    EXPECT_TRUE(Cols::StoreCellText(12, m, c, 0, "-"));
    EXPECT_EQ(m.GetField(c, 10), 0);
    EXPECT_TRUE(Cols::StoreCellText(12, m, c, 0, " "));
    EXPECT_EQ(m.GetField(c, 10), 1);
    EXPECT_FALSE(Cols::StoreCellText(12, m, c, 0, "x"));
    // Transmit inhibit travels with the transmit cell.
    EXPECT_TRUE(Cols::StoreCellText(5, m, c, 0, "---.-----"));
    EXPECT_EQ(m.GetField(c, kFieldTxInhibit), 1);
    EXPECT_TRUE(Cols::StoreCellText(5, m, c, 0, "150.00000"));
    EXPECT_EQ(m.GetField(c, kFieldTxInhibit), 0);
    EXPECT_EQ(m.GetField(c, kFieldTxFrequency), 150000000);
    EXPECT_FALSE(Cols::StoreCellText(5, m, c, 0, "abc"));
    EXPECT_EQ(m.GetField(c, kFieldTxFrequency), 150000000);
    // The signalling number as shown.
    ASSERT_TRUE(Cols::StoreCellText(17, m, c, 0, "Page"));
    EXPECT_TRUE(Cols::StoreCellText(18, m, c, 0, "0"));
    EXPECT_EQ(m.GetField(c, kFieldSignalNumber), 10);
    EXPECT_FALSE(Cols::StoreCellText(18, m, c, 0, "11"));
    EXPECT_TRUE(Cols::StoreCellText(18, m, c, 0, "-"));
    EXPECT_EQ(m.GetField(c, kFieldSignalNumber), 0);
    // A tone below 67.0 Hz (the default channel's CTCSS 0.0) is raised by the parser.
    EXPECT_TRUE(Cols::StoreCellText(7, m, c, 0, "C-  0.0"));
    EXPECT_EQ(Text(m, 7, c), "C- 67.0");
    // Out of the table.
    EXPECT_FALSE(Cols::StoreCellText(26, m, c, 0, "x"));
    EXPECT_FALSE(Cols::StoreCellText(-1, m, c, 0, "x"));
}

TEST(ChannelColumns, InformationPanel) {
    HMemoryImage image = MakeImageForModel(kBandUhfA, kProductHandheld, 1);
    HMarketingGroup marketing;
    marketing.Load(image);
    marketing.SetText(2, "A123");
    marketing.SetValue(1, 102);
    marketing.Save(image);
    HChannels m;
    m.Load(image);
    m.SetGroupValue(0, kGroupChannels, 20);
    m.SetGroupValue(1, kGroupChannels, 10);
    m.NormalizeGroups();

    HMarketingGroup back;
    back.Load(image);
    const HChannelInfoPanel p = BuildChannelInfoPanel(back, m, 1, 3, "Office Printer");
    EXPECT_EQ(p.serialNumber, "A123");
    EXPECT_EQ(p.frequencyBand, "UHF A");
    EXPECT_EQ(p.firmwareVersion, " 1.02");
    EXPECT_EQ(p.comPort, "3");
    EXPECT_EQ(p.printer, "Office Printer");
    EXPECT_EQ(p.channels, "10");
    EXPECT_EQ(p.channelsLeft, "98 Channels Left");
    EXPECT_EQ(p.productType, "Handheld");
    EXPECT_EQ(
        BuildChannelInfoPanel(back, ModelFor(kBandVhf, kProductMobile, 1), 0, 1, "").productType,
        "Mobile");
    EXPECT_EQ(kInfoPanelLabels[6], " Channels Left");
}

TEST(ChannelColumns, ReportColumns) {
    // A mobile set without option unit at level 0: no Auto Scan, Encr, Ext MIC
    // or ANI Moni, in the titles and the rows alike.
    HChannels m = ModelFor(kBandVhf, kProductMobile, 1);
    const Cols::HModelFacts mobile = Cols::FactsOf(m);
    const std::vector<std::string> titles = Cols::ReportTitles(mobile, 0);
    const std::vector<std::string> want = {"Chn",
                                           "Pri",
                                           "W/N",
                                           "TAG",
                                           "FREQUENCY Receive",
                                           "FREQUENCY Transmit",
                                           "SUB AUDIO Dec",
                                           "SUB AUDIO Enc",
                                           "Power H",
                                           "Power L",
                                           "SC",
                                           "TOT",
                                           "SQ",
                                           "DTMF ANI",
                                           "Lock Out",
                                           "Signalling Type",
                                           "Signalling No",
                                           "Clock Shift TX",
                                           "Clock Shift RX",
                                           "Clock Shift Opt",
                                           "RX ARTS",
                                           "Flat AF"};
    EXPECT_EQ(titles, want);
    ASSERT_TRUE(m.ParseCellText(0, kFieldRxToneType, "D-023 I"));
    m.SetField(0, 10, 1);
    m.SetField(0, 9, 0);
    const std::vector<std::string> row = Cols::ReportRow(m, 0, mobile, 0);
    ASSERT_EQ(row.size(), titles.size());
    EXPECT_EQ(row[0], "  1");
    EXPECT_EQ(row[3], "-ORVANE-");
    EXPECT_EQ(row[6], "D-023 I"); // Dec is the receive side
    EXPECT_EQ(row[7], "-----");
    EXPECT_EQ(row[11], "v"); // TOT
    EXPECT_EQ(row[20], "-"); // RX ARTS

    // A handheld set with option unit 1 at a raised level has them all.
    const Cols::HModelFacts full{2, 1, 0, 1};
    const std::vector<std::string> all = Cols::ReportTitles(full, 1);
    ASSERT_EQ(all.size(), 26u);
    EXPECT_EQ(all[11], "Auto Scan");
    EXPECT_EQ(all[15], "Encr");
    EXPECT_EQ(all[24], "Ext MIC");
    EXPECT_EQ(all[25], "ANI Moni");
    EXPECT_EQ(Cols::ReportRow(m, 0, full, 1).size(), 26u);
}
