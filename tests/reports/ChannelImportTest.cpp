// The channel list read back: the export of real images written through the
// real CSV writer into real files and imported again, hand-made sheets, and
// files that are no channel list.
#include "HChannelGrid.h"
#include "HChannelImport.h"
#include "HDefaultImage.h"
#include "HStringTable.h"
#include "HTextExport.h"
#include "ImageTestUtil.h"
#include "ReportImages.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

namespace Cols = HChannelColumns;
using HChannelImport::HImportResult;

// Cell texts a column takes, for making varied images through the grid.
// `hidden` adds the texts that leave values behind which no cell shows (no
// transmit, no tone).
std::vector<std::string> Choices(int column, const HChannels& m, bool hidden) {
    const HChannelColumn& c = *Cols::Column(column);
    std::vector<std::string> out;
    if (c.style == HCellStyle::Tick)
        return {"v", "-"};
    if (c.keys == HKeyFilter::Tone) {
        // Without hidden values: no "none", and no DCS flags that a CTCSS
        // tone stored over them would leave behind.
        for (const std::string& t : Cols::ToneChoices(column == 6))
            if (hidden || t.starts_with("C-") || t.ends_with(" N"))
                out.push_back(t);
        return out;
    }
    if (column == 18)
        return {"-", "1", "2", "7"};
    for (std::string_view t : c.edit == HCellEdit::List ? Cols::ListTexts(column, m) : c.values)
        out.emplace_back(t);
    return out;
}

std::string Frequency(std::int64_t hz) {
    return Cols::FrequencyText(hz);
}

// Every channel in use given other cells through the grid, a priority in
// every group, and `disable` (channel numbers from 1) put out of use.
HMemoryImage Vary(const HMemoryImage& image, int salt, bool hidden,
                  std::initializer_list<int> disable = {}) {
    HChannelGrid grid;
    grid.Settings().accessLevel = 1;
    grid.Refresh(image);
    const std::vector<HGroupEntry> groups = grid.GroupList();
    for (const HGroupEntry& group : groups) {
        EXPECT_TRUE(grid.SelectGroup(group.group));
        for (int row = 0; row < grid.RowCount(); ++row) {
            if (!grid.RowInUse(row))
                continue;
            const int c = grid.ChannelOfRow(row);
            const int k = c * 7 + salt * 5;
            std::vector<HCellWrite> writes;
            char tag[16];
            std::snprintf(tag, sizeof tag, "S%d-%03d", salt, c + 1);
            writes.push_back({row, 3, tag});
            writes.push_back({row, 4, Frequency(150000000 + 12500LL * ((k * 3) % 400))});
            writes.push_back({row, 5,
                              hidden && k % 4 == 0 ? std::string(Cols::kNoTransmitText)
                                                   : Frequency(151000000 + 12500LL * (k % 300))});
            for (int col = 2; col < kChannelColumnCount; ++col) {
                if (col >= 3 && col <= 5)
                    continue; // given above
                const std::vector<std::string> texts = Choices(col, grid.Model(), hidden);
                std::string text = texts[static_cast<std::size_t>(k + col) % texts.size()];
                // A number under no signalling kind is kept, but no cell shows it.
                if (col == 18 && !hidden && writes.back().text == Cols::kSignalKindTexts[0])
                    text = "-";
                writes.push_back({row, col, text});
            }
            EXPECT_EQ(grid.StoreCells(writes).cellsRefused, 0) << "channel " << c + 1;
        }
        grid.CellAction(salt % grid.RowCount(), 1, HCellActionMode::DoubleClick);
    }
    for (const int number : disable) {
        const int c = number - 1;
        EXPECT_TRUE(grid.SelectGroup(Cols::GroupOfChannel(grid.Model(), c)));
        grid.CellAction(grid.RowOfChannel(c), 0, HCellActionMode::DoubleClick);
        EXPECT_FALSE(grid.Model().IsChannelEnabled(c));
    }
    HMemoryImage out = image;
    grid.SaveEdits(out);
    return out;
}

// A handheld 2-tone image with the option unit, so that every conditional
// column is in the list, three groups.
HMemoryImage BaseImage() {
    return ReportImage({.inUse = 30,
                        .groups = 3,
                        .twoTone = true,
                        .productType = kProductHandheld,
                        .optionUnit = 1});
}

// The program's export of an image into dir/name.
std::string Export(const TempDir& dir, const HMemoryImage& image, int level,
                   const char* name = "list.csv") {
    const HTextExport::HExportResult r =
        HTextExport::ExportToCsv(image, {level, "fleet.R57"}, dir.File(name));
    EXPECT_TRUE(r.ok) << r.reason;
    return dir.File(name);
}

std::vector<int> Lines(const HImportResult& r) {
    std::vector<int> lines;
    for (const auto& issue : r.skipped)
        lines.push_back(issue.line);
    return lines;
}

// Every channel row of the list as the grid would show it.
std::vector<std::vector<std::string>> ChannelRows(const HMemoryImage& image, int level) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& row : HTextExport::ChannelListRows(image, level))
        if (row.size() > 2 && row[0] != "Chn")
            rows.push_back(row);
    return rows;
}

} // namespace

TEST(ChannelImport, ExportThenImportIsTheSameImage) {
    TempDir dir;
    const HMemoryImage builtIn = BuildDefaultImage();
    const HMemoryImage edited = Vary(BaseImage(), 1, true, {4, 17});
    ASSERT_NE(edited, BaseImage());
    for (const int level : {0, 1}) {
        for (const HMemoryImage* image : {&builtIn, &edited}) {
            const std::string name = image == &builtIn ? "built-in" : "edited";
            const HImportResult r =
                HChannelImport::ImportFile(*image, Export(dir, *image, level), level);
            ASSERT_TRUE(r.ok) << name;
            EXPECT_EQ(Differences(r.image, *image), std::vector<std::size_t>{}) << name;
            EXPECT_FALSE(r.changed) << name;
            EXPECT_TRUE(r.changes.empty()) << name;
            EXPECT_EQ(Lines(r), std::vector<int>{}) << name;
            EXPECT_GT(r.channelRows, 0) << name;
            EXPECT_EQ(HChannelImport::Summary(r), HStringTable::Get(HStringTable::kImportNothing));
        }
    }
}

TEST(ChannelImport, AListRestoresTheChannelsItWasExportedFrom) {
    // Cells with nothing hidden behind them: the list holds all there is.
    TempDir dir;
    const HMemoryImage wanted = Vary(BaseImage(), 1, false);
    // The same channels with every cell changed, one channel out of use.
    const HMemoryImage other = Vary(wanted, 2, false, {11});
    ASSERT_NE(other, wanted);
    const HImportResult r = HChannelImport::ImportFile(other, Export(dir, wanted, 1), 1);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.changed);
    EXPECT_EQ(Lines(r), std::vector<int>{});
    EXPECT_EQ(Differences(r.image, wanted), std::vector<std::size_t>{});
    // The channel put back in use is listed as such.
    const auto inUse = std::find_if(r.changes.begin(), r.changes.end(), [](const auto& c) {
        return c.channel == 11 && c.column == "Chn";
    });
    ASSERT_NE(inUse, r.changes.end());
    EXPECT_EQ(inUse->after, HStringTable::Get(HStringTable::kImportInUse));

    // With values behind the cells (no transmit, no tone) every cell still
    // reads back as it was exported.
    const HMemoryImage hidden = Vary(BaseImage(), 3, true);
    const HImportResult h =
        HChannelImport::ImportFile(Vary(hidden, 4, true), Export(dir, hidden, 1), 1);
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(ChannelRows(h.image, 1), ChannelRows(hidden, 1));
}

TEST(ChannelImport, SheetWithColumnsByTitleSemicolonsAndQuotes) {
    const HMemoryImage image = BaseImage();
    // Columns in another order, grid headers and list titles mixed, some left
    // out, a column of notes; no group rows.
    const std::string sheet = "Notes;TAG;Ch;RX Frequency;\"SC\"\n"
                              "roof;\"NEW 3\";003;\"151.25000\";v\n"
                              "yard;;5;150.0625;-\n";
    const HImportResult r = HChannelImport::Import(image, sheet, 0, "sheet.csv");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(Lines(r), std::vector<int>{});
    HChannels m;
    m.Load(r.image);
    EXPECT_EQ(m.GetFrequency(2, 0), 151250000);
    EXPECT_EQ(Cols::ReportText(3, m, 2, 0), "NEW 3");
    EXPECT_EQ(Cols::ReportText(10, m, 2, 0), "v");
    EXPECT_EQ(m.GetFrequency(4, 0), 150062500);
    EXPECT_EQ(Cols::ReportText(3, m, 4, 0), "");
    EXPECT_EQ(Cols::ReportText(10, m, 4, 0), "-");
    // Nothing but channels 3 and 5 changed.
    HChannels before;
    before.Load(image);
    for (int c = 0; c < 30; ++c) {
        if (c == 2 || c == 4)
            continue;
        EXPECT_EQ(Cols::ReportRow(m, c, Cols::FactsOf(m), 1),
                  Cols::ReportRow(before, c, Cols::FactsOf(before), 1))
            << "channel " << c + 1;
    }
    // The notes column is named as not imported.
    ASSERT_EQ(r.notes.size(), 1u);
    EXPECT_EQ(r.notes[0], HStringTable::Format(HStringTable::kImportUnknownColumn, {"Notes"}));
    // The change list by channel and column, the receive frequency first.
    ASSERT_FALSE(r.changes.empty());
    EXPECT_EQ(r.changes.front().channel, 3);
    EXPECT_EQ(HChannelImport::ChangeLine(r.changes.front()), "Channel 3, TAG: UNIT003 -> NEW 3");
    const auto rx = std::find_if(r.changes.begin(), r.changes.end(), [](const auto& c) {
        return c.channel == 3 && c.column == "FREQUENCY Receive";
    });
    ASSERT_NE(rx, r.changes.end());
    EXPECT_EQ(rx->before, "150.02500");
    EXPECT_EQ(rx->after, "151.25000");
    EXPECT_EQ(rx->typed, ""); // stored as typed
    const auto rx5 = std::find_if(r.changes.begin(), r.changes.end(), [](const auto& c) {
        return c.channel == 5 && c.column == "FREQUENCY Receive";
    });
    ASSERT_NE(rx5, r.changes.end());
    EXPECT_EQ(rx5->typed, "150.0625");
    EXPECT_EQ(HChannelImport::ChannelsChanged(r), 2);
    EXPECT_EQ(HChannelImport::Summary(r),
              HStringTable::Format(HStringTable::kImportSummary,
                                   {std::to_string(r.changes.size()), "2", "0"}));
}

TEST(ChannelImport, OneLoadedImageServesListAfterListEachAsIfAlone) {
    const HMemoryImage image = BaseImage();
    const std::string first = "Ch;TAG;SC\n3;NEW 3;v\n";
    const std::string second = "Ch;RX Frequency\n5;150.06250\n";
    const HChannelImport::HImportBase base(image, 0);
    const HImportResult a = HChannelImport::Import(base, first, "a.csv");
    const HImportResult b = HChannelImport::Import(base, second, "b.csv");
    ASSERT_TRUE(a.ok);
    ASSERT_TRUE(b.ok);
    // The second list starts from the image, not from what the first made.
    EXPECT_EQ(HChannelImport::ChannelsChanged(b), 1);
    EXPECT_EQ(b.changes.front().channel, 5);
    // Each is what an import of the image alone gives.
    EXPECT_EQ(Differences(a.image, HChannelImport::Import(image, first, 0, "a.csv").image),
              std::vector<std::size_t>{});
    EXPECT_EQ(Differences(b.image, HChannelImport::Import(image, second, 0, "b.csv").image),
              std::vector<std::size_t>{});
    // The base still holds the image it was made from.
    EXPECT_EQ(base.Image(), image);
}

TEST(ChannelImport, BadRowsAreSkippedByLineAndTheOthersApply) {
    const HMemoryImage image = BaseImage();
    const std::string list = "\"***CHANNEL DATA***\",\"\"\n"    // 1
                             "\"FLEET1\"\n"                     // 2
                             "\"Chn\",\"TAG\",\"SQ\",\"W/N\"\n" // 3
                             "\"  1\",\"ONE\",\"3\",\"W5\"\n"   // 4
                             "\"  2\",\"TWO\",\"99\",\"W4\"\n"  // 5: squelch 99
                             "\"300\",\"X\",\"1\",\"N\"\n"      // 6: no such channel
                             "\"  3\",\"THREE\"\n"              // 7: short row
                             "\" 29\",\"LATE\",\"4\",\"N\"\n"   // 8: beyond allocation?
                             "\"x\",\"Y\",\"1\",\"N\"\n"        // 9: no number
                             "\"  4\",\"a%b\",\"1\",\"N\"\n"    // 10: tag sign
                             "\"  5\",\"FIVE\",\"5\",\"W4\"\n"; // 11
    const HImportResult r = HChannelImport::Import(image, list, 0, "list.csv");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(Lines(r), (std::vector<int>{5, 6, 7, 9, 10}));
    HChannels before;
    before.Load(image);
    HChannels m;
    m.Load(r.image);
    EXPECT_EQ(Cols::ReportText(3, m, 0, 0), "ONE");
    EXPECT_EQ(m.GetField(0, HChannelTables::kFieldSquelch), 3);
    EXPECT_EQ(Cols::ReportText(2, m, 0, 0), "W5");
    // A skipped row stores none of its cells, its good ones neither.
    ASSERT_NE(Cols::ReportText(2, before, 1, 0), "W4");
    EXPECT_EQ(Cols::ReportText(3, m, 1, 0), "UNIT002");
    EXPECT_EQ(Cols::ReportText(2, m, 1, 0), Cols::ReportText(2, before, 1, 0));
    EXPECT_EQ(Cols::ReportText(3, m, 28, 2), "LATE");
    EXPECT_EQ(Cols::ReportText(3, m, 4, 0), "FIVE");
    EXPECT_EQ(Cols::ReportText(2, m, 4, 0), "W4");
    // Each line says what was wrong.
    EXPECT_EQ(HChannelImport::IssueLine(r.skipped[0]),
              HStringTable::Format(
                  HStringTable::kImportRowSkipped,
                  {"5", HStringTable::Format(HStringTable::kImportCellRefused, {"SQ", "99"})}));
    EXPECT_EQ(r.skipped[1].text,
              HStringTable::Format(HStringTable::kImportNoChannel, {"300", "128"}));
    EXPECT_EQ(r.skipped[2].text, HStringTable::Format(HStringTable::kImportFieldCount, {"2", "4"}));
}

TEST(ChannelImport, ChannelsOutsideTheGroupsAndColumnsNotShown) {
    // Channel 31 lies in no group of a 30-channel allocation; channel 12 is
    // put in use; at level 0 the Ext MIC column is not imported.
    const HMemoryImage image = Vary(BaseImage(), 1, false, {12});
    HChannels before;
    before.Load(image);
    const bool mic = before.GetField(11, 16) != 0;
    const std::string list = std::string("Chn,TAG,Ext MIC\n"
                                         "31,NOPE,v\n"
                                         "12,BACK,") +
                             (mic ? "-" : "v") + "\n";
    const HImportResult r = HChannelImport::Import(image, list, 0, "list.csv");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(Lines(r), std::vector<int>{2});
    EXPECT_EQ(r.skipped[0].text, HStringTable::Format(HStringTable::kImportNoGroup, {"31"}));
    HChannels m;
    m.Load(r.image);
    EXPECT_TRUE(m.IsChannelEnabled(11));
    EXPECT_EQ(Cols::ReportText(3, m, 11, Cols::GroupOfChannel(m, 11)), "BACK");
    EXPECT_EQ(m.GetField(11, 16), before.GetField(11, 16));
    EXPECT_EQ(r.notes, std::vector<std::string>{
                           HStringTable::Format(HStringTable::kImportColumnNotShown, {"Ext MIC"})});
    // At level 1 the column is taken.
    const HImportResult raised = HChannelImport::Import(image, list, 1, "list.csv");
    HChannels m1;
    m1.Load(raised.image);
    EXPECT_EQ(m1.GetField(11, 16), mic ? 0 : 1);
    EXPECT_TRUE(raised.notes.empty());
}

TEST(ChannelImport, ATitleRowNamesTheChannelAndColumnsInHalfItsCells) {
    const HMemoryImage image = BaseImage();
    const struct {
        const char* sheet;
        bool list;
    } cases[] = {
        {"Ch;SQ\n3;5\n", true},
        {"Ch;SQ;Notes;Site\n3;5;roof;yard\n", true},         // two of four
        {"Ch;SQ;Notes;Site;Shop\n3;5;roof;yard;x\n", false}, // two of five
        {"Ch;Notes\n3;roof\n", false},                       // the channel's alone
        {"SQ;TAG\n5;A\n", false},                            // no channel number
    };
    for (const auto& c : cases)
        EXPECT_EQ(HChannelImport::Import(image, c.sheet, 0, "sheet.csv").ok, c.list) << c.sheet;
    // Titles found with either separator naming as many columns: commas win.
    const HImportResult tie =
        HChannelImport::Import(image, "Ch,SQ\n3,5\nCh;TAG\n4;FOUR\n", 0, "tie.csv");
    ASSERT_TRUE(tie.ok);
    HChannels m;
    m.Load(tie.image);
    EXPECT_EQ(m.GetField(2, HChannelTables::kFieldSquelch), 5);
    EXPECT_NE(Cols::ReportText(3, m, 3, 0), "FOUR");
}

TEST(ChannelImport, WhatIsNoChannelListChangesNothing) {
    TempDir dir;
    const HMemoryImage image = BaseImage();
    const auto refused = [](const HImportResult& r, int id, const std::string& what) {
        EXPECT_FALSE(r.ok) << what;
        EXPECT_EQ(r.messageId, id) << what;
        EXPECT_EQ(r.image, HMemoryImage{}) << what;
        EXPECT_TRUE(r.changes.empty()) << what;
    };
    using S = HStringTable::Id;
    refused(HChannelImport::Import(image, "", 0, "empty"), S::kImportNotChannelList, "empty");
    refused(HChannelImport::Import(image, "hello, world\n1,2,3\n", 0, "x"),
            S::kImportNotChannelList, "text");
    // A data file, bytes and all.
    refused(HChannelImport::Import(
                image, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()),
                0, "x"),
            S::kImportNotChannelList, "binary");
    // The settings of an export without its channel list.
    dir.Write("settings.csv", "\"***Scan Parameters***\",\"\"\n\"Ch\",\"1\"\n\"TOT\",\"30\"\n");
    refused(HChannelImport::ImportFile(image, dir.File("settings.csv"), 0),
            S::kImportNotChannelList, "settings");
    refused(HChannelImport::ImportFile(image, dir.File("missing.csv"), 0), S::kFileOpenError,
            "missing");
    const HImportResult folder = HChannelImport::ImportFile(image, dir.Path(), 0);
    refused(folder, S::kFileOpenError, "folder");
    EXPECT_EQ(folder.detail, HStringTable::Get(S::kDetailDirectory));
    refused(HChannelImport::ImportFile(image, "/dev/zero", 0), S::kFileOpenError, "device");
    dir.Write("huge.csv", std::string(HChannelImport::kMaxListBytes + 1, ','));
    refused(HChannelImport::ImportFile(image, dir.File("huge.csv"), 0), S::kImportNotChannelList,
            "huge");
}
