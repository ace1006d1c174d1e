#include "HChoiceList.h"
#include "HValueSelection.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

namespace {

// "text=code|" for every item, for one comparison.
std::string Listed(const std::vector<HChoiceItem>& items) {
    std::string out;
    for (const auto& i : items)
        out += i.text + "=" + std::to_string(i.code) + "|";
    return out;
}

// The Hardware band list: two bands kept in the table but not offered.
constexpr std::array<HChoiceEntry, 5> kBands{{
    {"VHF", 0},
    {"UHF A", 2},
    {"UHF D", 3},
    {"Low A", 4, false},
    {"Low B", 5, false},
}};
constexpr HChoiceList kBandList = HChoiceTable(kBands);
static_assert(HChoiceListIsSound(kBandList));

constexpr std::array<HChoiceEntry, 2> kTwice{{{"A", 1}, {"B", 1}}};
constexpr std::array<HChoiceEntry, 1> kLong{{{"twenty characters!!!", 1}}};
static_assert(!HChoiceListIsSound(HChoiceTable(kTwice)) &&
              !HChoiceListIsSound(HChoiceTable(kLong)) &&
              !HChoiceListIsSound(HChoiceGenerated(0, 0, 10)));

} // namespace

TEST(ChoiceList, TablesOfferOnlyOfferedEntriesAndRangesShowAsTheHardwareListsDo) {
    EXPECT_EQ(Listed(HChoiceItems(kBandList)), "VHF=0|UHF A=2|UHF D=3|");

    // SQ Delay: 27 items, start 50, step 10, "msec": 5 to 31 msec, code = position.
    const auto delay = HChoiceItems(HChoiceGenerated(27, 50, 10, "msec"));
    EXPECT_EQ(Listed({delay[0], delay[1], delay[26]}), "5  msec=0|6  msec=1|31  msec=26|");
    // One decimal: tenths shown "%3.1f"; else integer division of the tenths.
    EXPECT_EQ(Listed(HChoiceItems(HChoiceGenerated(4, 5, 5, "sec", true))),
              "0.5  sec=0|1.0  sec=1|1.5  sec=2|2.0  sec=3|");
    // A first text replaces item 0; the others keep their position's value.
    const HChoiceList off = HChoiceGenerated(3, 0, 10, "sec", false, "Off");
    EXPECT_EQ(Listed(HChoiceItems(off)), "Off=0|1  sec=1|2  sec=2|");
    EXPECT_EQ(HChoiceText(off, 3) + "|" + HChoiceText(off, -1), "|");
}

TEST(ValueSelection, SelectsByCodeAndKeepsACodeNoItemOffers) {
    HValueSelection sel;
    sel.Fill(kBandList);
    EXPECT_EQ(sel.SelectedIndex(), -1);
    sel.SelectByValue(3);
    EXPECT_EQ(std::make_tuple(sel.SelectedIndex(), sel.SelectedText(), sel.GetSelectedValue()),
              std::make_tuple(2, "UHF D", 3));
    // Band 4 ("Low A", not offered): shown with no selection, confirmed unchanged.
    sel.SelectByValue(4);
    EXPECT_EQ(std::make_tuple(sel.SelectedIndex(), sel.SelectedText(), sel.GetSelectedValue()),
              std::make_tuple(-1, "", 4));
    EXPECT_FALSE(sel.SelectIndex(3) || sel.SelectIndex(-2));

    // A fallback is selected and remembered when offered (255 unless given).
    HValueSelection ch;
    ch.AddItem("Not Used", 255);
    ch.AddItem("CH001", 0);
    ch.AddItem("CH002", 1);
    ch.SelectByValue(9);
    EXPECT_EQ(std::make_tuple(ch.SelectedText(), ch.GetSelectedValue(), ch.LastCode()),
              std::make_tuple("Not Used", 255, 255));
    ch.SelectByValue(9, 1);
    EXPECT_EQ(std::make_tuple(ch.SelectedText(), ch.Fallback()), std::make_tuple("CH002", 1));
    // Neither offered: no selection, the code itself is kept.
    ch.SelectByValue(9, 77);
    EXPECT_EQ(std::make_pair(ch.SelectedIndex(), ch.GetSelectedValue()), std::make_pair(-1, 9));
}

// Restored: the second text of each fixed two-entry list ends in a blank, as the
// radio's dialogs show it; nothing else checks those texts.
TEST(ChoiceList, FixedKindsKeepTheirTextsAndTrailingBlanks) {
    const char* const expected[] = {"Disable=0|Enable =1|", "Enable=0|Disable =1|", "Off=0|On =1|",
                                    "On =0|Off=1|",         "No=0|Yes =1|",         "Yes=0|No =1|"};
    for (std::uint32_t k = 0; k < 6; ++k) {
        const HChoiceList list = HChoiceFixed(static_cast<HChoiceKind>(k));
        EXPECT_EQ(Listed(HChoiceItems(list)), expected[k]) << "kind " << k;
        EXPECT_EQ(HChoiceText(list, 2), "") << "kind " << k;
    }
}

TEST(ValueSelection, RemovingItemsKeepsTheValueAndMovesTheSelection) {
    HValueSelection sel;
    sel.Fill(kBandList);
    const auto rev = sel.ItemsRevision();
    sel.SelectByValue(3); // index 2
    EXPECT_EQ(sel.RemoveCode(0), 1u);
    EXPECT_GT(sel.ItemsRevision(), rev); // a shown list must be filled again
    EXPECT_EQ(sel.SelectedIndex(), 1);
    EXPECT_EQ(sel.SelectedText(), "UHF D");
    // Removing the selected item leaves the stored code as it was.
    EXPECT_EQ(sel.RemoveCode(3), 1u);
    EXPECT_EQ(sel.SelectedIndex(), -1);
    EXPECT_EQ(sel.GetSelectedValue(), 3);
    // Refilling starts with no selection.
    sel.Fill(kBandList);
    EXPECT_EQ(sel.Count(), 3u);
    EXPECT_EQ(sel.SelectedIndex(), -1);
    // A code in the table but not offered (4) has no text, like one in neither (1).
    EXPECT_EQ(HChoiceText(kBandList, 4), "");
    EXPECT_EQ(HChoiceText(kBandList, 1), "");
}
