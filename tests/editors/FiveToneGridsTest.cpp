// The 5-tone grids' cells over real groups and images: every list column
// writes its own field and nothing else, the typed cells (numbers, tags,
// tone frequencies, periods) take what their filters and ranges allow.
#include "HFiveToneGrids.h"
#include "HRecordGrid.h"
#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <random>

namespace G = HFiveToneGrids;

namespace {

HMemoryImage RandomImage(std::mt19937& rng) {
    HMemoryImage m{};
    for (auto& b : m)
        b = static_cast<std::uint8_t>(rng());
    return m;
}

// Every pick of every list column of a record grid, over random images: the
// cell shows the pick, the field holds its position, and saving changes only
// that field's bits (every other field of every record reads as before).
template <class Model, std::size_t N>
void EveryListColumnWritesItsField(const std::array<HGridColumn<Model>, N>& columns,
                                   const char* grid) {
    std::mt19937 rng(57);
    for (int col = 0; col < int(N); ++col) {
        const HGridColumn<Model>& c = columns[std::size_t(col)];
        if (c.edit != HCellEdit::List)
            continue;
        for (std::size_t pick = 0; pick < c.values.size(); ++pick) {
            const HMemoryImage original = RandomImage(rng);
            Model model;
            model.Load(original);
            HRecordGrid<Model> g(columns, model);
            const int row = int(rng() % std::uint32_t(g.RowCount()));
            bool ok = false;
            g.CommitListPick(row, col, int(pick), &ok);
            ASSERT_TRUE(ok) << grid << " column " << c.header;
            EXPECT_EQ(g.CellText(row, col), c.values[pick]) << grid << " " << c.header;
            HMemoryImage saved = original;
            model.Save(saved);
            Model back;
            back.Load(saved);
            Model before;
            before.Load(original);
            for (int r = 0; r < g.RowCount(); ++r)
                for (int f = 0; f < before.FieldCount(); ++f) {
                    const bool mine = r == row && f == c.field;
                    ASSERT_EQ(back.GetField(r, f), mine ? int(pick) : before.GetField(r, f))
                        << grid << " column " << c.header << " row " << r << " field " << f;
                    ASSERT_EQ(back.GetText(r, f), before.GetText(r, f));
                }
        }
    }
}

} // namespace

TEST(FiveToneGrids, EveryListColumnWritesExactlyItsField) {
    EveryListColumnWritesItsField(G::kSystemColumns, "system");
    EveryListColumnWritesItsField(G::kDecodeColumns, "decode");
    EveryListColumnWritesItsField(G::kEncodeColumns, "encode");
}

TEST(FiveToneGrids, ListCellsShowBlankForCodesNoEntryStandsFor) {
    HMemoryImage image{};
    image[0x1F7D + 2] = 0x3F; // decode 1 transpond code 63: beyond "Enc-32"
    HFiveToneDecodeRecords model;
    model.Load(image);
    HRecordGrid<HFiveToneDecodeRecords> g(G::kDecodeColumns, model);
    EXPECT_EQ(g.CellText(0, 3), "");
    EXPECT_EQ(g.CellText(1, 3), "Disable");
    // Transpond code 5 is "Enc-3"; tone no. 0 is "1".
    model.SetField(1, HFiveToneTables::kDecTranspondCode, 5);
    EXPECT_EQ(g.CellText(1, 3), "Enc-3");
    HFiveToneSystemRecords system;
    HRecordGrid<HFiveToneSystemRecords> s(G::kSystemColumns, system);
    system.SetField(15, HFiveToneTables::kSysCallToneNo, 31);
    EXPECT_EQ(s.CellText(15, 8), "32");
    EXPECT_EQ(s.CellText(15, 0), "16");
}

TEST(FiveToneGrids, DigitCellsTakeZeroToNineAndAToE) {
    HFiveToneEncodeRecords model;
    model.SetDefaults();
    HRecordGrid<HFiveToneEncodeRecords> g(G::kEncodeColumns, model);
    const int col = G::kEncodeNumberColumn;
    EXPECT_EQ(g.CellText(0, col), "");
    EXPECT_EQ(g.FilterKey(col, 0, U'a').key, U'A');
    EXPECT_EQ(g.FilterKey(col, 0, U'F').verdict, HKeyVerdict::Drop);
    EXPECT_EQ(g.FilterKey(col, 0, U'*').verdict, HKeyVerdict::Drop);
    bool ok = false;
    g.CommitText(4, col, "12ab", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(g.CellText(4, col), "12AB");
    EXPECT_EQ(model.GetField(4, HFiveToneTables::kEncNumber), std::int32_t(0x12ABFFFFu));
    g.CommitText(4, col, "123456789", &ok);
    EXPECT_FALSE(ok);
    g.CommitText(4, col, "12F", &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(g.CellText(4, col), "12AB");
    g.CommitText(4, col, "", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(model.GetField(4, HFiveToneTables::kEncNumber), -1);
}

TEST(FiveToneGrids, TagAndCallDisplayNeedADisplay) {
    HFiveToneDecodeRecords model;
    model.SetDefaults();
    HRecordGrid<HFiveToneDecodeRecords> g(G::kDecodeColumns, model);
    const int tag = G::kDecodeTagColumn;
    // a, b, # and 1 typed one by one leave AB1.
    std::string typed;
    for (char32_t k : {U'a', U'b', U'#', U'1'}) {
        const HKeyResult r = g.FilterKey(tag, typed.size(), k);
        if (r.verdict == HKeyVerdict::Insert)
            typed += static_cast<char>(r.key);
    }
    bool ok = false;
    g.CommitText(0, tag, typed, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(g.CellText(0, tag), "AB1");
    HMemoryImage image{};
    model.Save(image);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[0x1F7D + 11]), 8),
              std::string("AB1\0\0\0\0\0", 8));

    model.SetDisplay(false);
    EXPECT_FALSE(g.BeginEdit(0, tag).allowed);
    EXPECT_FALSE(g.BeginEdit(0, G::kDecodeCallDisplayColumn).allowed);
    EXPECT_TRUE(g.BeginEdit(0, G::kDecodeCallDisplayColumn + 1).allowed);
    g.CommitText(0, tag, "XY", &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(g.CellText(0, tag), "AB1");
}

TEST(FiveToneGrids, ToneTableCells) {
    HFiveToneTableRecords model;
    model.Data().SetDefaults();
    HRecordGrid<HFiveToneTableRecords> g(G::kToneTableColumns, model);
    EXPECT_EQ(g.RowCount(), 12);
    EXPECT_EQ(g.CellText(6, 1), "CCIR1");
    EXPECT_EQ(g.CellText(0, 2), ""); // no tone
    EXPECT_EQ(g.CellText(0, 18), "70");
    EXPECT_EQ(g.CellText(0, 19), "21");
    bool ok = false;
    g.CommitText(6, 2, "1124", &ok); // CCIR1 tone 0
    EXPECT_TRUE(ok);
    EXPECT_EQ(g.CellText(6, 2), "1124");
    // 1124 / 2929 x 10000 = 3837.49
    EXPECT_EQ(model.GetField(6, 0), 3837);
    g.CommitText(6, 4, "250", &ok); // limited to 288.5 Hz
    EXPECT_TRUE(ok);
    EXPECT_DOUBLE_EQ(model.Data().Frequency(6, 2), 288.5);
    g.CommitText(6, 5, "4000", &ok); // held at 3000 Hz
    EXPECT_EQ(g.CellText(6, 5), "3000");
    g.CommitText(6, 3, "", &ok); // cleared
    EXPECT_TRUE(ok);
    EXPECT_EQ(g.CellText(6, 3), "");
    EXPECT_EQ(model.GetField(6, 1), 0xFFFF);
    g.CommitText(6, 3, "1124.5", &ok); // one decimal point
    EXPECT_TRUE(ok);
    g.CommitText(6, 3, "1.2.3", &ok);
    EXPECT_FALSE(ok);
    g.CommitText(2, 19, "23", &ok); // second value: down to a multiple of 5
    EXPECT_TRUE(ok);
    EXPECT_EQ(g.CellText(2, 19), "20");
    // A period is a byte: whole numbers 0-255.
    for (const char* text : {"256", "1.5", "-1", "1000", ""}) {
        g.CommitText(2, 18, text, &ok);
        EXPECT_FALSE(ok) << '"' << text << '"';
    }
    for (const char* text : {"120", "255", "9", "0"}) {
        g.CommitText(2, 18, text, &ok);
        EXPECT_TRUE(ok) << text;
        EXPECT_EQ(g.CellText(2, 18), text);
    }
    EXPECT_FALSE(g.BeginEdit(2, 1).allowed); // the standard's name is fixed
    // Rows and tones outside the table: no text, nothing stored.
    for (const int record : {-1, g.RowCount()})
        for (std::size_t c = 1; c < G::kToneTableColumns.size(); ++c) {
            const auto& col = G::kToneTableColumns[c];
            EXPECT_EQ(col.text(col, model, record, 0), "") << col.header << " row " << record;
            EXPECT_FALSE(col.store(col, model, record, 0, "100"))
                << col.header << " row " << record;
        }
    for (const int tone : {-1, 16})
        EXPECT_FALSE(HFiveToneCells::StoreTone(model, 6, tone, "1000")) << "tone " << tone;
}
