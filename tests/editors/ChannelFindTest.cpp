// Find in the channel grid: tags, frequencies and tones of the channels in
// use, group after group, from the cell after the current one round to it.
#include "ChannelImages.h"
#include "HChannelFind.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace HChannelTables;

namespace {

// A handheld UHF set with a display: group 1 holds channels 1-5, group 2
// channels 6-8. Channel 1 is tagged "BASE". Channel 2 sends and channel 7
// receives on 445.1 MHz; channels 4 and 8 carry tags (8 typed in lower
// case); channel 3 is not in use though its tag would match; channel 5
// receives CTCSS 88.5 Hz.
HChannelGrid Bench() {
    const HMemoryImage image = HandheldWithGroups({5, 3}, [](HChannels& m) {
        for (int c = 0; c < 8; ++c) {
            m.SetField(c, kFieldInUse, c == 2 ? 0 : 1);
            m.SetFrequency(c, 0, 440000000);
            m.SetFrequency(c, 1, 440000000);
            m.SetTag(c, "");
        }
        m.SetTag(0, "BASE");
        m.SetFrequency(1, 1, 445100000);
        m.SetFrequency(6, 0, 445100000);
        m.SetTag(2, "RPTGHOST");
        m.SetTag(3, "RPTNORTH");
        m.SetTag(7, "rptsouth");
        m.SetField(4, kFieldRxToneType, 1);
        m.SetField(4, kFieldRxTone, 885);
    });
    HChannelGrid grid;
    grid.Settings().loadFlag = true; // as after Open: the set's display shows TAG
    grid.Refresh(image);
    return grid;
}

// "group/channel header" of a hit (1-based numbers, as the user reads them),
// "+wrapped" when it went past the last channel, "none" for no hit.
std::string Where(const HChannelGrid& grid, const std::optional<HFindHit>& hit) {
    if (!hit)
        return "none";
    return std::to_string(hit->group + 1) + "/" + std::to_string(hit->channel + 1) + " " +
           std::string(grid.HeaderText(hit->column)) + (hit->wrapped ? " +wrapped" : "");
}

int ColumnNamed(const HChannelGrid& grid, std::string_view header) {
    for (int col = 0; col < kChannelColumnCount; ++col)
        if (grid.HeaderText(col) == header)
            return col;
    return -1;
}

} // namespace

TEST(ChannelFindTest, FindsTagsFrequenciesAndTonesAcrossGroupsFromTheCurrentCell) {
    const HChannelGrid grid = Bench();
    const int ch = ColumnNamed(grid, "Ch");
    const int wn = ColumnNamed(grid, "W/N");
    const int tx = ColumnNamed(grid, "TX Frequency");
    const int rx = ColumnNamed(grid, "RX Frequency");
    const int tag = ColumnNamed(grid, "TAG");
    const int rxTone = ColumnNamed(grid, "RX Sub Audio");
    const int power = ColumnNamed(grid, "Power");
    struct Row {
        const char* text;
        int channel; // 0-based, -1 before the first
        int column;
        const char* found;
    };
    const Row rows[] = {
        {"445.1", 0, ch, "1/2 TX Frequency"},
        {"445.1", 1, tx, "2/7 RX Frequency"},             // the next group
        {"445.1", 6, rx, "1/2 TX Frequency +wrapped"},    // round to the first
        {"445.1", 1, wn, "1/2 TX Frequency"},             // a column not searched
        {"445.1", 1, power, "2/7 RX Frequency"},          // past the last searched column
        {"445.1", -1, 0, "1/2 TX Frequency"},             // no current cell
        {"88.5", 4, tx, "1/5 RX Sub Audio"},              // later in the same channel
        {"base", 7, rxTone, "1/1 TAG +wrapped"},          // from the very last cell
        {"base", -1, 0, "1/1 TAG"},                       // the very first cell
        {"rpt", -1, 0, "1/4 TAG"},                        // channel 3 is not in use
        {" RPTSouth ", 3, tag, "2/8 TAG"},                // case and end blanks ignored
        {"88.5", 4, rxTone, "1/5 RX Sub Audio +wrapped"}, // the only cell: itself
        {"zzz", 0, ch, "none"},
        {"", 0, ch, "none"},
        {"   ", 0, ch, "none"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(Where(grid, HChannelFind::Next(grid, r.text, r.channel, r.column)), r.found)
            << "\"" << r.text << "\" from channel " << r.channel + 1 << " column " << r.column;
}

TEST(ChannelFindTest, SearchesOnlyTheTagFrequencyAndToneColumnsShown) {
    HChannelGrid grid = Bench();
    std::vector<std::string> headers;
    for (const int col : HChannelFind::SearchedColumns(grid))
        headers.emplace_back(grid.HeaderText(col));
    EXPECT_EQ(headers, (std::vector<std::string>{"TAG", "RX Frequency", "TX Frequency",
                                                 "TX Sub Audio", "RX Sub Audio"}));
    grid.ToggleItem(HChannelItem::Tag);
    EXPECT_EQ(Where(grid, HChannelFind::Next(grid, "rpt", -1, 0)), "none");
    // Every Power cell shows "H"; with the tags hidden no searched cell does.
    EXPECT_EQ(Where(grid, HChannelFind::Next(grid, "H", -1, 0)), "none");
    grid.ToggleItem(HChannelItem::Frequency);
    EXPECT_EQ(Where(grid, HChannelFind::Next(grid, "445.1", -1, 0)), "none");
    EXPECT_EQ(Where(grid, HChannelFind::Next(grid, "88.5", -1, 0)), "1/5 RX Sub Audio");
}
