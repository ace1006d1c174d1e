#include "ChannelImages.h"
#include "HChannelGrid.h"
#include "HChannelRules.h"
#include "HChannelSheet.h"
#include "HDefaultImage.h"
#include "ScriptedPrompt.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace HChannelTables;
namespace C = HChannelColumns;

namespace {

std::size_t RecordStart(int c) {
    return kChannelBase + kChannelRecordSize * static_cast<std::size_t>(c) +
           kChannelPageGap * static_cast<std::size_t>(c / 3);
}

// Every byte a channel owns: its record, its in-use and flag bits' bytes, and
// its tone timer bytes.
bool OwnedBy(std::size_t at, int c) {
    const std::size_t rec = RecordStart(c);
    const std::size_t tone = kToneTimerBase + 2 * static_cast<std::size_t>(c);
    return (at >= rec && at < rec + kChannelRecordSize) || at == tone || at == tone + 1 ||
           at == kInUseTableBase + static_cast<std::size_t>(c) / 8 ||
           at == ((kFlagTableBase + static_cast<std::size_t>(c) / 8) ^ 1u);
}

std::vector<std::string> RowTexts(const HChannelGrid& grid, int row) {
    std::vector<std::string> out;
    for (int col = 0; col < kChannelColumnCount; ++col)
        out.push_back(grid.CellText(row, col));
    return out;
}

// Two rows' texts compared without the channel number and the priority tick.
void ExpectSameChannelData(const HChannelGrid& grid, int a, int b, const std::string& where) {
    std::vector<std::string> x = RowTexts(grid, a), y = RowTexts(grid, b);
    x[0] = y[0];
    x[1] = y[1];
    EXPECT_EQ(x, y) << where;
}

} // namespace

TEST(ChannelGrid, RowsGroupsAndCurrentCell) {
    const HMemoryImage image = HandheldWithGroups({5, 3});
    HChannelGrid grid;
    grid.Refresh(image);
    ASSERT_EQ(grid.GroupList().size(), 2u);
    EXPECT_EQ(grid.GroupList()[1].text, "Group 2");
    EXPECT_EQ(std::make_tuple(grid.CurrentGroup(), grid.RowCount(), grid.CellText(4, 0)),
              std::make_tuple(0, 5, "  5"));
    EXPECT_EQ(grid.InfoPanel().channelsLeft, "120 Channels Left");
    EXPECT_FALSE(grid.SelectGroup(2)); // not in use

    // The current channel follows the current row; a refresh keeps the group.
    EXPECT_TRUE(grid.SelectGroup(1));
    grid.SetCurrentCell(2, 4);
    grid.SetCurrentCell(3, 4); // no such row: ignored
    EXPECT_EQ(std::make_tuple(grid.CurrentChannel(), grid.CurrentRow(), grid.CurrentColumn(),
                              grid.CellText(3, 0), grid.CellText(0, 26)),
              std::make_tuple(7, 2, 4, "", ""));
    grid.Refresh(image);
    EXPECT_EQ(grid.CurrentGroup(), 1);
}

TEST(ChannelGrid, EditRules) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    HChannelGrid grid;
    grid.Refresh(image);
    // Lists: 2, 9, 13, 15, 16; texts: 3-7 (tag 8 characters, frequencies 9,
    // tones 8); the rest are never edited.
    for (int col = 0; col < kChannelColumnCount; ++col) {
        const HEditStart e = grid.BeginEdit(3, col);
        const bool list = col == 2 || col == 9 || col == 13 || col == 15 || col == 16;
        const bool text = col >= 3 && col <= 7;
        EXPECT_EQ(std::make_tuple(e.allowed, e.allowed && list, text ? e.maxLength : 0u),
                  std::make_tuple(list || text, list, text ? (col == 4 || col == 5 ? 9u : 8u) : 0u))
            << col;
    }
    EXPECT_EQ(grid.BeginEdit(3, 4).text, "154.10000"); // no frequency: the band's default
    EXPECT_EQ(grid.BeginEdit(3, 2).listIndex, 1);      // default wide band 1

    // A channel not in use: nothing but column 0, which toggles its use.
    EXPECT_NE(grid.CellAction(3, 0, HCellActionMode::DoubleClick).change.columns, 0u);
    EXPECT_FALSE(grid.RowInUse(3));
    EXPECT_EQ(grid.CellTick(3, 12), HTickState::TickedNotInUse); // TOT on by default
    for (int col = 1; col < kChannelColumnCount; ++col) {
        EXPECT_FALSE(grid.BeginEdit(3, col).allowed) << col;
        EXPECT_TRUE(grid.CellAction(3, col, HCellActionMode::Space).change.Empty()) << col;
    }
    bool ok = true;
    EXPECT_TRUE(grid.CommitText(3, 3, "NEW", &ok).Empty() && !ok);
    grid.CellAction(3, 0, HCellActionMode::Space);
    EXPECT_TRUE(grid.RowInUse(3));

    // Text edits through the parser, with the dependants to re-draw.
    HGridChange ch = grid.CommitText(3, 4, "146.0125", &ok);
    EXPECT_EQ(std::make_tuple(ok, ch.rows, ch.columns),
              std::make_tuple(true, std::vector<int>{3},
                              C::Bit(4) | C::Bit(5) | C::Bit(19) | C::Bit(20) | C::Bit(21)));
    EXPECT_EQ(grid.CommitText(3, 5, "146.0125", &ok).columns, C::Bit(5) | C::Bit(19));
    EXPECT_EQ(grid.CellText(3, 5), "146.01250"); // the default split is 0
    grid.CommitText(3, 4, "146.0x", &ok);
    EXPECT_EQ(std::make_pair(ok, grid.CellText(3, 4)),
              std::make_pair(false, std::string("146.01250")));
    grid.CommitText(3, 7, "d-023", &ok); // typed keys are upper-cased
    EXPECT_EQ(std::make_pair(ok, grid.CellText(3, 7)),
              std::make_pair(true, std::string("D-023 N")));

    // Picks out of range refused.
    const std::tuple<int, int, bool, const char*> picks[] = {
        {2, 2, true, "W4"}, {2, 3, false, "W4"}, {9, 2, false, "LM"}};
    for (auto [col, index, accepted, shown] : picks) {
        grid.CommitListPick(3, col, index, &ok);
        EXPECT_EQ(std::make_tuple(ok, grid.CellText(3, col)), std::make_tuple(accepted, shown))
            << col << " " << index;
    }
}

TEST(ChannelGrid, CellActionsTonesAndPriority) {
    HMemoryImage image = HandheldWithGroups({5, 3});
    HChannelGrid grid;
    grid.Refresh(image);
    // The toggle rules are the channel model's.
    EXPECT_EQ(grid.CellAction(1, 9, HCellActionMode::Space).change.columns, C::Bit(9));
    EXPECT_EQ(grid.CellText(1, 9), "EL"); // handheld LM -> EL
    EXPECT_EQ(grid.CellAction(1, 17, HCellActionMode::Space).change.columns,
              C::Bit(17) | C::Bit(18) | C::Bit(14));

    // Enter on the receive tone asks for the receive side's tone dialog.
    const HCellActionResult rx = grid.CellAction(1, 7, HCellActionMode::Enter);
    EXPECT_TRUE(rx.openToneDialog && !rx.transmitSide);
    // F3: the side's tone type steps; the transmit side copies to the receive side.
    grid.CommitText(1, 6, "-----");
    EXPECT_EQ(grid.ToneShortcut(1, 6).columns, C::Bit(6) | C::Bit(7));
    EXPECT_EQ(RowTexts(grid, 1)[6] + RowTexts(grid, 1)[7], "C- 67.0C- 67.0");
    EXPECT_TRUE(grid.ToneShortcut(1, 5).Empty());

    // Priority: the old priority row is re-drawn too.
    grid.CellAction(2, 1, HCellActionMode::DoubleClick);
    EXPECT_EQ(grid.CellTick(2, 1), HTickState::TickedInUse);
    EXPECT_EQ(grid.CellAction(4, 1, HCellActionMode::Space).change.rows, (std::vector<int>{4, 2}));
    EXPECT_EQ(grid.CellText(2, 1) + grid.CellText(4, 1), "- ");
}

TEST(ChannelGrid, TextsPicksAndToneChoicesGoOnlyWhereTheyBelong) {
    HMemoryImage image = HandheldWithGroups({5, 3});
    HChannelGrid grid;
    grid.Refresh(image);
    // A text is no list pick and a list pick is no text.
    bool textOk = true, pickOk = true;
    grid.CommitListPick(3, 3, 0, &textOk);
    grid.CommitText(3, 2, "0", &pickOk);
    EXPECT_FALSE(textOk);
    EXPECT_FALSE(pickOk);
    // A tone pick by its list index, the inverted DCS code included; an index
    // past the list changes nothing.
    const int inverted = C::FindToneChoice(false, "D-023 I");
    grid.ApplyToneChoice(1, 7, inverted);
    EXPECT_EQ(grid.CellText(1, 7), "D-023 I");
    EXPECT_EQ(grid.ToneChoiceIndex(1, 7), inverted);
    EXPECT_TRUE(grid.ApplyToneChoice(1, 7, 100000).Empty());
    EXPECT_EQ(grid.CellText(1, 7), "D-023 I");
}

TEST(ChannelGrid, EditsReachTheImageOnlyOnSaveEdits) {
    const HMemoryImage original = HandheldWithGroups({5, 3});
    HMemoryImage image = original;
    HChannelGrid grid;
    grid.Refresh(image);
    EXPECT_FALSE(grid.SaveEdits(image)); // nothing edited: nothing written
    EXPECT_EQ(image, original);

    // Tag of channel 4: its tag bytes only, and only once.
    grid.CommitText(4, 3, "HELLO");
    EXPECT_TRUE(grid.HasUnsavedEdits() && image == original);
    EXPECT_TRUE(grid.SaveEdits(image));
    EXPECT_NE(image, original);
    EXPECT_FALSE(grid.SaveEdits(image));

    HMemoryImage before = image;
    // Priority: the group's priority byte (group 1's is byte 82, exchanged).
    grid.SelectGroup(1);
    grid.CellAction(2, 1, HCellActionMode::Space);
    grid.SaveEdits(image);
    EXPECT_EQ(std::make_pair(Differences(before, image), int{image[82]}),
              std::make_pair(std::vector<std::size_t>{82}, 2));

    // Toggling back and forth is no change; a refresh drops edits not saved.
    before = image;
    grid.CellAction(0, 12, HCellActionMode::Space);
    grid.CellAction(0, 12, HCellActionMode::Space);
    EXPECT_FALSE(grid.SaveEdits(image));
    grid.CommitText(0, 3, "GONE");
    grid.Refresh(image);
    EXPECT_FALSE(grid.CellText(0, 3) == "GONE" || grid.SaveEdits(image));
    EXPECT_EQ(image, before);
}

TEST(ChannelGrid, SavingAnEditLeavesEveryOtherBitOfAnyImage) {
    // Arbitrary bytes everywhere: a save of the whole model would normalise
    // and re-derive much of it; an edit must change its own channel only.
    std::mt19937 rng(1957);
    for (int round = 0; round < 20; ++round) {
        HMemoryImage image;
        for (auto& b : image)
            b = static_cast<std::uint8_t>(rng());
        const HMemoryImage original = image;
        HChannelGrid grid;
        grid.Refresh(image);
        if (grid.RowCount() == 0)
            continue;
        const int row = static_cast<int>(rng() % static_cast<unsigned>(grid.RowCount()));
        const int c = grid.ChannelOfRow(row);
        if (!grid.RowInUse(row))
            grid.CellAction(row, 0, HCellActionMode::Space);
        grid.CommitText(row, 3, "EDIT");
        grid.CommitText(row, 4, "146.0125");
        grid.CommitText(row, 6, "C-88.5"); // the transmit tone sets the tone timer bytes
        grid.CellAction(row, 23, HCellActionMode::Space);
        grid.CommitText(row, 7, "C-100.0");
        EXPECT_TRUE(grid.SaveEdits(image));
        for (std::size_t at : Differences(original, image))
            EXPECT_TRUE(OwnedBy(at, c)) << "round " << round << " byte " << at;
        HChannels back;
        back.Load(image);
        EXPECT_EQ(back.GetField(c, kFieldRxTone), 1000);
    }
}

TEST(ChannelGrid, NotesSayWhatTheRulesDidToATypedValue) {
    HMemoryImage image = MakeImageForModel(kBandVhf, kProductMobile, 1);
    HChannelGrid grid;
    grid.Refresh(image);
    // Off the step grid: raised to the nearer step; the transmit side follows.
    EXPECT_EQ(grid.CommitText(3, 4, "151.003").note,
              "Channel 4 RX Frequency: typed 151.003, stored 151.00500 (step 5 kHz); "
              "TX Frequency followed RX: 151.00500 (was 154.10000)");
    // Above the band: held to its upper limit.
    EXPECT_EQ(grid.CommitText(3, 4, "200").note,
              "Channel 4 RX Frequency: typed 200, stored 174.00000 "
              "(band 134.00000 to 174.00000 MHz); TX Frequency followed RX: 174.00000 "
              "(was 151.00500)");
    // Stored as typed, the transmit side already there: nothing to say.
    EXPECT_EQ(grid.CommitText(3, 4, "174.0000").note, "");
    EXPECT_EQ(grid.CommitText(3, 5, "146.0001").note,
              "Channel 4 TX Frequency: typed 146.0001, stored 146.00500 (step 5 kHz)");
    // A transmit side that cannot transmit is not worth a word.
    HChannels inhibited;
    inhibited.Load(image);
    inhibited.SetField(3, kFieldTxInhibit, 1);
    inhibited.Save(image);
    grid.Refresh(image);
    EXPECT_EQ(grid.CommitText(3, 4, "150").note, "");
    // A CTCSS tone below the range.
    EXPECT_EQ(grid.CommitText(3, 7, "c-50").note,
              "Channel 4 RX Sub Audio: typed C-50, stored C- 67.0 (CTCSS 67.0 to 254.1 Hz)");
    // Refused texts: the value kept is named.
    EXPECT_EQ(grid.CommitText(3, 4, "146.0x").note,
              "Channel 4 RX Frequency: \"146.0X\" not understood, kept 150.00000");
    const std::string tag = grid.CellText(3, 3);
    bool ok = true;
    EXPECT_EQ(grid.CommitText(3, 3, "50%", &ok).note,
              "Channel 4 TAG: \"50%\" not stored: the radio shows %, < and > as blanks");
    EXPECT_FALSE(ok);
    EXPECT_EQ(grid.CellText(3, 3), tag);
}

TEST(ChannelGrid, TagsTakeOnlyWhatTheRadioKeeps) {
    // The tag cell's keys: '%', '<' and '>' would reach the radio as blanks.
    for (char32_t k : std::u32string_view(U"%<>"))
        EXPECT_EQ(C::FilterKey(3, 1, k).verdict, C::HKeyVerdict::Drop) << static_cast<char>(k);
    EXPECT_EQ(C::FilterKey(3, 1, U'5').verdict, C::HKeyVerdict::Insert);
    EXPECT_TRUE(C::TagTextTaken("rpt 1+a"));
    EXPECT_FALSE(C::TagTextTaken("50%"));
    EXPECT_FALSE(C::TagTextTaken("A<B"));
    EXPECT_FALSE(C::TagTextTaken("CH.1"));
    // A pasted row whose tag holds one is refused in that cell alone.
    HMemoryImage image = HandheldWithGroups({5, 3});
    HChannelGrid grid;
    grid.Refresh(image);
    const std::string tag = grid.CellText(2, 3);
    ScriptedPrompt yes(true);
    const HPasteResult r = grid.Paste("  1\t-\tW4\t50%\n", 2, &yes);
    EXPECT_EQ(r.cellsRefused, 1);
    EXPECT_EQ(grid.CellText(2, 3), tag);
    EXPECT_EQ(grid.CellText(2, 2), "W4");
}

TEST(ChannelGrid, CopyAndPaste) {
    HMemoryImage image = HandheldWithGroups({5, 3});
    HChannelGrid grid;
    grid.Refresh(image);
    grid.CommitText(0, 3, "SRC[1]");
    grid.CommitText(0, 7, "C-88.5"); // the default CTCSS 0.0 Hz would paste as 67.0
    const std::string clip = grid.CopyText(0, 0);
    EXPECT_EQ(
        std::make_tuple(clip.substr(0, 4), clip.back(), std::count(clip.begin(), clip.end(), '\t')),
        std::make_tuple("  1\t", '\n', 25));
    // Tick cells as "v" and "-", never the blank the grid shows for a tick.
    std::vector<std::string> cells;
    for (std::size_t at = 0, tab = 0; tab != std::string::npos; at = tab + 1) {
        tab = clip.find('\t', at);
        cells.push_back(
            clip.substr(at, tab == std::string::npos ? clip.size() - 1 - at : tab - at));
    }
    int ticked = 0;
    for (int col = 0; col < kChannelColumnCount; ++col) {
        const HTickState tick = grid.CellTick(0, col);
        if (tick == HTickState::NotTick)
            continue;
        const bool on = tick != HTickState::Unticked;
        ticked += on ? 1 : 0;
        EXPECT_EQ(cells.at(std::size_t(col)), on ? "v" : "-") << col;
    }
    EXPECT_GT(ticked, 0);

    // No prompt at all: nothing changes.
    const std::vector<std::string> target = RowTexts(grid, 3);
    EXPECT_EQ(grid.Paste(clip, 3, nullptr).status, HPasteStatus::Declined);
    EXPECT_EQ(RowTexts(grid, 3), target);
    // Yes: every cell but the channel number equals the source's (for any
    // channel: AnyChannelTheGridCanMakeCopiesExactly).
    ScriptedPrompt yes(true);
    HPasteResult r = grid.Paste(clip, 3, &yes);
    EXPECT_EQ(std::make_tuple(r.status, r.cellsRefused, r.change.rows, r.change.columns),
              std::make_tuple(HPasteStatus::Pasted, 0, std::vector<int>{3}, kAllColumns));
    EXPECT_EQ(grid.CellText(3, 0) + grid.CellText(3, 3), "  4SRC[1]");

    // Several rows: "%s - %s"; rows past the group's end are dropped.
    grid.CellAction(1, 0, HCellActionMode::Space); // channel 2 not in use
    const std::string second = grid.CellText(1, 3);
    r = grid.Paste(grid.CopyText(2, 0), 3, &yes);
    EXPECT_EQ(std::make_tuple(yes.asked.at(1), r.change.rows, grid.CellText(4, 3)),
              std::make_tuple("Do you copy Ch1 - 3 data to Ch 4?", std::vector<int>{3, 4}, second));

    // A channel not in use takes nothing.
    const std::vector<std::string> unused = RowTexts(grid, 1);
    EXPECT_TRUE(grid.Paste(clip, 1, &yes).change.rows.empty());
    EXPECT_EQ(RowTexts(grid, 1), unused);
}

TEST(ChannelGrid, PasteRefusesWhatIsNoChannelData) {
    HMemoryImage image = HandheldWithGroups({5, 3});
    HChannelGrid grid;
    grid.Refresh(image);
    const std::vector<std::string> before = RowTexts(grid, 2);
    ScriptedPrompt yes(true);
    for (const char* text :
         {"", "129\tN", "  1\t-\tN\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\tX"})
        EXPECT_EQ(grid.Paste(text, 2, &yes).status, HPasteStatus::NotChannelData) << text;
    EXPECT_TRUE(yes.asked.empty());
    EXPECT_EQ(RowTexts(grid, 2), before);
    EXPECT_EQ(grid.Paste("  1\t-\tW4", 7, &yes).status, HPasteStatus::NoTarget);

    // A short row stores the cells it has; a cell no column takes is counted
    // and left as it was; "\r\n" and "\r" line ends work too.
    HPasteResult r = grid.Paste("  1\t-\tW4\tNAME\tjunk\r\n", 2, &yes);
    EXPECT_EQ(std::make_pair(r.status, r.cellsRefused), std::make_pair(HPasteStatus::Pasted, 1));
    EXPECT_EQ(std::make_tuple(grid.CellText(2, 2), grid.CellText(2, 3), grid.CellText(2, 4)),
              std::make_tuple("W4", "NAME", before[4]));
    r = grid.Paste("  1\t-\tN\r  2\t-\tW5\r", 0, &yes);
    EXPECT_EQ(r.change.rows, (std::vector<int>{0, 1}));
    EXPECT_EQ(grid.CellText(1, 2), "W5");
}

TEST(ChannelGrid, PasteNamesEveryCellItDoesNotStore) {
    HMemoryImage image = HandheldWithGroups({5, 3});
    HChannelGrid grid;
    grid.Refresh(image);
    grid.CellAction(1, 0, HCellActionMode::Space); // channel 2 not in use
    ScriptedPrompt yes(true);
    // A tag the radio cannot show, a channel not in use, and the tab a
    // spreadsheet ends a row with (no cell).
    HPasteResult r = grid.Paste("  1\t-\tW4\tGOOD%\t\n  2\t-\tN\n", 0, &yes);
    EXPECT_EQ(std::make_pair(r.cellsStored, r.cellsRefused), std::make_pair(2, 3));
    ASSERT_EQ(r.refused.size(), 3u);
    EXPECT_EQ(std::make_tuple(r.refused[0].channel, r.refused[0].column, r.refused[0].text),
              std::make_tuple(0, 3, "GOOD%"));
    EXPECT_EQ(std::make_pair(r.refused[1].channel, r.refused[2].column), std::make_pair(1, 2));
    const std::string tag =
        "Channel 1 TAG: \"GOOD%\" not stored: the radio shows %, < and > as blanks";
    const std::string unused = "Channel 2 not in use: its pasted cells are not stored";
    EXPECT_EQ(HChannelSheet::RefusalLines(r), (std::vector<std::string>{tag, unused}));
    EXPECT_EQ(HChannelSheet::RefusalSummary(r),
              "3 of 5 pasted cells not stored: " + tag + "; " + unused);
    EXPECT_EQ(grid.CellText(0, 2), "W4");

    // Rows past the group's last channel.
    r = grid.Paste("  1\t-\tN\n  1\t-\tN\n  1\t-\tN\n", 3, &yes);
    EXPECT_EQ(std::make_pair(r.cellsStored, r.cellsRefused), std::make_pair(4, 2));
    EXPECT_EQ(HChannelSheet::RefusalLines(r),
              std::vector<std::string>{"Rows past Ch 5, the group's last channel, are not stored"});
    EXPECT_EQ(r.refused.front().channel, -1);

    // The status bar's line names the first three reasons; the box has them all.
    r = grid.Paste("  3\t%\tX\tBAD%\tnope\n", 2, &yes);
    EXPECT_EQ(HChannelSheet::RefusalLines(r).size(), 4u);
    const std::string summary = HChannelSheet::RefusalSummary(r);
    EXPECT_EQ(summary.substr(0, 36), "4 of 4 pasted cells not stored: Chan");
    EXPECT_EQ(summary.substr(summary.size() - 5), "; ...");
    EXPECT_EQ(std::count(summary.begin(), summary.end(), ';'), 3);
    // Three reasons fit the line.
    r = grid.Paste("  3\t%\tX\tBAD%\n", 2, &yes);
    EXPECT_EQ(HChannelSheet::RefusalLines(r).size(), 3u);
    EXPECT_EQ(HChannelSheet::RefusalSummary(r).find("..."), std::string::npos);
    // Nothing refused: no line.
    EXPECT_EQ(HChannelSheet::RefusalSummary(grid.Paste("  1\t-\tN", 0, &yes)), "");
    // A blank line is no channel row.
    EXPECT_EQ(grid.Paste("  1\t-\tN\n\n  2\t-\tN\n", 0, &yes).status, HPasteStatus::NotChannelData);
    // Cells for no column of the grid are refused, not stored.
    const std::vector<HCellWrite> outside = {{0, 0, "5"}, {0, 26, "N"}, {0, -1, "N"}};
    r = grid.StoreCells(outside);
    EXPECT_EQ(std::make_pair(r.cellsStored, r.cellsRefused), std::make_pair(0, 3));
    EXPECT_EQ(grid.CellText(0, 0), "  1");
}

TEST(ChannelGrid, AnyChannelTheGridCanMakeCopiesExactly) {
    // Random edits through the grid's own operations, then a copy of one row
    // pasted onto another: the same channel data, no cell refused, also after
    // a save and reload.
    std::mt19937 rng(3200);
    const auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 40; ++round) {
        HMemoryImage image = MakeImageForModel(round % 2 ? kBandUhfA : kBandVhf,
                                               round % 3 ? kProductHandheld : kProductMobile, 1);
        HChannelGrid grid;
        grid.Refresh(image);
        const int source = pick(grid.RowCount());
        // A default channel's receive tone is CTCSS 0.0 Hz, which the cell
        // parser raises to 67.0 Hz: give it a real tone first.
        grid.ApplyToneChoice(source, 7, 1 + pick(50));
        for (int op = 0; op < 30; ++op) {
            const int col = 1 + pick(25);
            const HEditStart e = grid.BeginEdit(source, col);
            if (e.kind == HCellEdit::List) {
                grid.CommitListPick(source, col, pick(static_cast<int>(e.listTexts.size())));
            } else if (col == 4 || col == 5) {
                const int mhz = round % 2 ? 400 + pick(60) : 140 + pick(30);
                const std::string khz = std::to_string(10000 + pick(10000)).substr(1);
                grid.CommitText(source, col, std::to_string(mhz) + "." + khz);
            } else if (col == 6 || col == 7) {
                grid.ApplyToneChoice(source, col,
                                     pick(static_cast<int>(C::ToneChoices(col == 6).size())));
            } else if (col != 1 && col != 3) {
                grid.CellAction(source, col, HCellActionMode::Space);
            }
        }
        const int target = (source + 1 + pick(grid.RowCount() - 1)) % grid.RowCount();
        ScriptedPrompt yes(true);
        const HPasteResult r = grid.Paste(grid.CopyText(source, source), target, &yes);
        ASSERT_EQ(std::make_pair(r.status, r.cellsRefused), std::make_pair(HPasteStatus::Pasted, 0))
            << "round " << round;
        grid.SaveEdits(image);
        grid.Refresh(image);
        ExpectSameChannelData(grid, source, target, "round " + std::to_string(round));
    }
}

TEST(ChannelGrid, PastingArbitraryTextNeverHurts) {
    std::mt19937 rng(5200);
    const std::array<std::string_view, 14> pieces = {"\t",    "\n", "\r",   " ",   "  1",
                                                     "128",   "-",  "W4",   "C-",  "D-023 I",
                                                     "999.9", ".",  "Page", "\xff"};
    HMemoryImage image = HandheldWithGroups({5, 3});
    HChannelGrid grid;
    grid.Refresh(image);
    for (int round = 0; round < 500; ++round) {
        std::string text;
        const int n = static_cast<int>(rng() % 40);
        for (int i = 0; i < n; ++i)
            text += rng() % 4 == 0 ? std::string(1, static_cast<char>(rng()))
                                   : std::string(pieces[rng() % pieces.size()]);
        const std::string before = grid.CopyText(0, grid.RowCount() - 1);
        ScriptedPrompt yes(true);
        const HPasteResult r = grid.Paste(text, static_cast<int>(rng() % 6), &yes);
        if (r.status != HPasteStatus::Pasted) {
            EXPECT_EQ(grid.CopyText(0, grid.RowCount() - 1), before);
        }
        for (int row : r.change.rows)
            EXPECT_TRUE(row >= 0 && row < grid.RowCount());
    }
    // Whatever was pasted, saving writes a readable image.
    grid.SaveEdits(image);
    HChannelGrid again;
    again.Refresh(image);
    EXPECT_EQ(again.RowCount(), 5);
}
