#include "ChannelImages.h"
#include "HChangeName.h"
#include "HChannelSheet.h"
#include "HDefaultImage.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace HChannelTables;
namespace Sheet = HChannelSheet;

namespace {

std::vector<std::vector<std::string>> AllCells(const HChannelGrid& grid) {
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < grid.RowCount(); ++row) {
        rows.emplace_back();
        for (int col = 0; col < kChannelColumnCount; ++col)
            rows.back().push_back(grid.CellText(row, col));
    }
    return rows;
}

} // namespace

TEST(ChannelSheet, TitlesNameColumnsByGridHeaderOrChannelListTitle) {
    EXPECT_EQ(Sheet::ColumnOfTitle(" rx frequency "), 4);
    EXPECT_EQ(Sheet::ColumnOfTitle("FREQUENCY Transmit"), 5);
    EXPECT_EQ(Sheet::ColumnOfTitle("SQ"), 13);
    EXPECT_EQ(Sheet::ColumnOfTitle("Frequency"), -1); // two columns share the item
    EXPECT_EQ(Sheet::ColumnOfTitle(""), -1);
}

TEST(ChannelSheet, SpreadsheetRowsWithAHeaderGoByTitle) {
    const HMemoryImage image = HandheldWithGroups({12});
    HChannelGrid grid;
    grid.Refresh(image);
    // Columns in another order than the grid's, one the grid lacks, Windows line ends.
    const Sheet::HSheet sheet = Sheet::ParseTabbed(
        "Power\tNotes\tRX Frequency\tSQ\r\nL\tshop\t440.50000\t7\r\nH\t\t441.00000\t3\r\n", 9);
    ASSERT_TRUE(sheet.header);
    EXPECT_EQ(sheet.columns, (std::vector<int>{8, -1, 4, 13}));
    ASSERT_EQ(sheet.rows.size(), 2u);

    const HPasteResult r = grid.StoreCells(Sheet::Writes(sheet, 2));
    EXPECT_EQ(r.cellsRefused, 0);
    EXPECT_EQ(grid.CellText(2, 8), "L");
    EXPECT_EQ(grid.CellText(2, 4), "440.50000");
    EXPECT_EQ(grid.CellText(2, 13), "7");
    EXPECT_EQ(grid.CellText(3, 4), "441.00000");
    EXPECT_EQ(grid.CellText(3, 13), "3");

    // What the grid took reaches the image as a paste would.
    HMemoryImage saved = image;
    ASSERT_TRUE(grid.SaveEdits(saved));
    HChannelGrid reread;
    reread.Refresh(saved);
    EXPECT_EQ(AllCells(reread), AllCells(grid));
}

TEST(ChannelSheet, AFirstRowIsAHeaderWhenAtLeastHalfItsCellsAreTitles) {
    const struct {
        const char* text;
        bool header;
    } cases[] = {
        {"Notes\tSite\tRX Frequency\tSQ\n1\t2\t3\t4\n", true}, // two of four
        {"Notes\tSite\tShop\tSQ\n1\t2\t3\t4\n", false},        // one of four
        {"Notes\tSite\tSQ\n1\t2\t3\n", false},                 // one of three
        {"SQ\t\t\tNotes\n1\t2\t3\t4\n", true},                 // empty cells do not count
        {"Notes\n1\n", false},
        {"\n1\n", false},            // an empty first row names nothing
        {"Ch\tNotes\n3\tx\n", true}, // the channel number's title counts
    };
    for (const auto& c : cases)
        EXPECT_EQ(Sheet::ParseTabbed(c.text, 4).header, c.header) << c.text;
}

TEST(ChannelSheet, SpreadsheetRowsWithoutAHeaderGoByPositionFromTheCurrentColumn) {
    const HMemoryImage image = HandheldWithGroups({12});
    HChannelGrid grid;
    grid.Refresh(image);
    const Sheet::HSheet sheet = Sheet::ParseTabbed("445.12500\t445.12500\tC- 88.5\n", 4);
    ASSERT_FALSE(sheet.header);
    EXPECT_EQ(sheet.columns, (std::vector<int>{4, 5, 6}));
    // Cells past the last column go nowhere.
    EXPECT_EQ(Sheet::ParseTabbed("1\t2\t3\n", kChannelColumnCount - 2).columns,
              (std::vector<int>{kChannelColumnCount - 2, kChannelColumnCount - 1, -1}));
    const HPasteResult r = grid.StoreCells(Sheet::Writes(sheet, 0));
    EXPECT_EQ(r.cellsRefused, 0);
    EXPECT_EQ(grid.CellText(0, 4), "445.12500");
    EXPECT_EQ(grid.CellText(0, 5), "445.12500");
    EXPECT_EQ(grid.CellText(0, 6), "C- 88.5");
    // A text the column does not take is counted and leaves the cell.
    const std::string before = grid.CellText(1, 13);
    const HPasteResult bad =
        grid.StoreCells(Sheet::Writes(Sheet::ParseTabbed("not a squelch\n", 13), 1));
    EXPECT_EQ(bad.cellsRefused, 1);
    EXPECT_EQ(grid.CellText(1, 13), before);
}

TEST(ChannelSheet, ThePasteQuestionNamesTheRowsBeingPasted) {
    const struct {
        const char* text;
        std::vector<int> numbers;
    } numbered[] = {
        {"Ch\tSQ\n3\t1\n4\t2\n", {3, 4}},
        {"Ch\tSQ\n9\t1\n10\t2\n", {9, 10}},
        {"Ch\tSQ\n9999\t1\n", {9999}}, // four digits at most
        {"Ch\tSQ\n10000\t1\n", {}},
        {"SQ\tCh\n1\t3\n2\n", {}}, // a row too short to hold its number
        {"SQ\n1\n", {}},
    };
    for (const auto& c : numbered)
        EXPECT_EQ(Sheet::ChannelNumbers(Sheet::ParseTabbed(c.text, 0)), c.numbers) << c.text;
    // The channel numbers name the source rows; only the other cells are written.
    const std::vector<HCellWrite> writes =
        Sheet::Writes(Sheet::ParseTabbed("Ch\tSQ\n3\t1\n4\t2\n", 0), 5);
    ASSERT_EQ(writes.size(), 2u);
    for (const HCellWrite& w : writes)
        EXPECT_EQ(w.column, 13) << "row " << w.row;
    // A row shorter than the title row writes only the cells it has.
    EXPECT_EQ(Sheet::Writes(Sheet::ParseTabbed("Ch\tSQ\tTAG\n3\t1\n", 0), 5).size(), 1u);
    const HMemoryImage image = HandheldWithGroups({12});
    HChannelGrid grid;
    grid.Refresh(image);
    const struct {
        const char* text;
        int row;
        const char* question;
    } cases[] = {
        {"Ch\tSQ\n3\t1\n4\t2\n", 5, "Do you copy Ch3 - 4 data to Ch 6?"},
        {"Ch\tSQ\n7\t1\n", 5, "Do you copy Ch7 data to Ch 6?"},
        {"1\n2\n", 5, "Do you paste 2 rows into Ch 6 - 7?"},
        {"1\n", 5, "Do you paste 1 row into Ch 6?"},
        {"1\n2\n3\n", 10, "Do you paste 3 rows into Ch 11 - 12?"}, // 12 is the last
    };
    for (const auto& c : cases)
        EXPECT_EQ(Sheet::PasteQuestion(Sheet::ParseTabbed(c.text, 13), grid, c.row), c.question)
            << c.text;
    // Whole grid rows pasted at the number column name their channels by it.
    EXPECT_EQ(Sheet::PasteQuestion(Sheet::ParseTabbed("3\tv\n", 0), grid, 5),
              "Do you copy Ch3 data to Ch 6?");
}

TEST(ChannelSheet, AnEmptyCellEndingARowIsNoCell) {
    // As a spreadsheet copies a row: a tab at its end. A blank is a cell.
    Sheet::HSheet sheet = Sheet::ParseTabbed("445.12500\t445.12500\t\t\r\n", 4);
    ASSERT_EQ(sheet.rows.size(), 1u);
    EXPECT_EQ(sheet.rows[0].size(), 2u);
    EXPECT_EQ(sheet.columns, (std::vector<int>{4, 5}));
    sheet = Sheet::ParseTabbed("-\t \n", 10);
    EXPECT_EQ(sheet.rows[0], (std::vector<std::string>{"-", ""}));
    // An empty row between two stays a row of one empty cell.
    sheet = Sheet::ParseTabbed("A\n\nB\n", 3);
    ASSERT_EQ(sheet.rows.size(), 3u);
    EXPECT_EQ(sheet.rows[1], std::vector<std::string>{""});
}

TEST(ChannelSheet, SettingAColumnChangesExactlyTheSelectedChannels) {
    const HMemoryImage image = HandheldWithGroups({12});
    HChannelGrid grid;
    grid.Refresh(image);
    const auto before = AllCells(grid);
    const std::vector<int> rows = {1, 4, 5, 9};
    HChannels model;
    model.Load(image);
    // Each column once; every choice offered, on a handheld and on a mobile
    // set, is one its column takes, and each shows differently.
    const std::set<int> bulk(Sheet::BulkColumns().begin(), Sheet::BulkColumns().end());
    EXPECT_EQ(bulk.size(), Sheet::BulkColumns().size());
    for (const HMemoryImage& set : {image, MakeImageForModel(kBandUhfA, kProductMobile, 1)}) {
        HChannels setModel;
        setModel.Load(set);
        for (int column : Sheet::BulkColumns()) {
            const std::vector<Sheet::HBulkChoice> choices = Sheet::BulkChoices(column, setModel);
            ASSERT_GE(choices.size(), 2u) << "column " << column;
            HChannelGrid probe;
            probe.Refresh(set);
            std::set<std::string> shown;
            for (const Sheet::HBulkChoice& choice : choices) {
                EXPECT_EQ(
                    probe.StoreCells(Sheet::SetColumn(std::vector<int>{0}, column, choice.text))
                        .cellsRefused,
                    0)
                    << "column " << column << ": " << choice.text;
                shown.insert(probe.CellText(0, column));
            }
            EXPECT_EQ(shown.size(), choices.size()) << "column " << column;
        }
    }
    // Power L and squelch 9 for the four rows, one step after the other.
    ASSERT_EQ(grid.StoreCells(Sheet::SetColumn(rows, 8, "L")).cellsRefused, 0);
    ASSERT_EQ(grid.StoreCells(Sheet::SetColumn(rows, 13, "9")).cellsRefused, 0);
    ASSERT_EQ(grid.StoreCells(Sheet::SetColumn(rows, 12, "v")).cellsRefused, 0);
    HMemoryImage saved = image;
    grid.SaveEdits(saved);
    HChannelGrid reread;
    reread.Refresh(saved);
    const auto after = AllCells(reread);
    for (int row = 0; row < reread.RowCount(); ++row) {
        const bool selected = std::find(rows.begin(), rows.end(), row) != rows.end();
        for (int col = 0; col < kChannelColumnCount; ++col) {
            const auto r = static_cast<std::size_t>(row);
            const auto c = static_cast<std::size_t>(col);
            if (selected && col == 8)
                EXPECT_EQ(after[r][c], "L") << "row " << row;
            else if (selected && col == 13)
                EXPECT_EQ(after[r][c], "9") << "row " << row;
            else if (selected && col == 12)
                EXPECT_EQ(after[r][c], " ") << "row " << row;
            else
                EXPECT_EQ(after[r][c], before[r][c]) << "row " << row << " column " << col;
        }
    }
}

TEST(ChannelSheet, ChangesAreNamedByWhatChanged) {
    const HMemoryImage image = HandheldWithGroups({12});
    HChannelGrid grid;
    grid.Refresh(image);
    grid.CommitText(11, 4, "446.00000");
    HMemoryImage one = image;
    grid.SaveEdits(one);
    // The receive frequency also moved the transmit side: still one edit.
    EXPECT_EQ(HChangeName::Describe(image, one), "Edit RX Frequency, channel 12");

    grid.StoreCells(Sheet::SetColumn(std::vector<int>{2, 3}, 13, "11"));
    HMemoryImage two = one;
    grid.SaveEdits(two);
    EXPECT_EQ(HChangeName::Describe(one, two), "Edit Squelch, 2 channels");

    HMemoryImage settingsOnly = image;
    settingsOnly[20] ^= 0x01; // an EEPROM word no channel cell shows
    EXPECT_EQ(HChangeName::Describe(image, settingsOnly), "Edit");
}
