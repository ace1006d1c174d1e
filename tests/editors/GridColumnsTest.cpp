// Every grid column of every editor in the registry, table-driven: a change
// made through one cell, confirmed and read back from the image, shows in
// that cell alone. Another cell that shows a change reads bits it does not
// name; a cell that does not show its own reads other bits than it writes.
// Grids registered later are covered without a line here.
#include "HDefaultImage.h"
#include "HEditorRegistry.h"
#include "HHardwareGroup.h"
#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct GridPage {
    const HEditorEntry* entry;
    const HEditorPageEntry* page;
    std::size_t item;
};

// A radio with a display, so no cell is shut by the display rule.
HMemoryImage Radio() {
    return WithHardware(BuildDefaultImage(), HHardwareGroup::kRowDisplayMobile, 1);
}

std::vector<GridPage> GridPages() {
    std::vector<GridPage> out;
    HMemoryImage image = Radio();
    for (const HEditorEntry& entry : HEditorRegistry::Entries())
        for (const HEditorPageEntry& page : entry.pages) {
            auto editor = page.make(page, {&image, 2});
            editor->Open();
            for (std::size_t i = 0; i < editor->ItemCount(); ++i)
                if (editor->Item(i).kind == HItemKind::Grid)
                    out.push_back({&entry, &page, i});
        }
    return out;
}

std::vector<std::string> Cells(HGridSource& g) {
    std::vector<std::string> out;
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColumnCount(); ++c)
            out.push_back(g.CellSetting(r, c));
    return out;
}

// Changes one cell as a user would: the next list entry, a toggle, or a text.
bool Change(HGridSource& g, int r, int c) {
    const HEditStart e = g.BeginEdit(r, c);
    bool ok = false;
    if (e.allowed && e.kind == HCellEdit::List && e.listTexts.size() > 1) {
        const int next = (std::max(e.listIndex, 0) + 1) % static_cast<int>(e.listTexts.size());
        g.CommitListPick(r, c, next, &ok);
    } else if (e.allowed && e.kind == HCellEdit::Text) {
        // Characters every tag and digit filter takes, to the cell's full
        // length: some codes take exactly that many digits.
        std::string text;
        const char first = e.text.starts_with('1') ? '2' : '1';
        for (std::size_t i = 0; i < std::min<std::size_t>(e.maxLength, 8); ++i)
            text += (i % 2 == 0) ? first : char('1' + '2' - first);
        g.CommitText(r, c, text, &ok);
    } else if (!e.allowed) {
        ok = !g.CellAction(r, c, HCellActionMode::Space).change.Empty();
    }
    return ok;
}

} // namespace

TEST(GridColumns, EveryRegisteredGridIsFound) {
    std::vector<std::string> sections;
    for (const GridPage& p : GridPages())
        sections.emplace_back(p.entry->section);
    for (const char* s : {"two_tone_decode", "two_tone_encode", "two_tone_system"})
        EXPECT_NE(std::find(sections.begin(), sections.end(), s), sections.end()) << s;
}

TEST(GridColumns, EachCellWritesWhatItReadsAndNothingElse) {
    for (const GridPage& p : GridPages()) {
        HMemoryImage base = Radio();
        auto probe = p.page->make(*p.page, {&base, 2});
        probe->Open();
        HGridSource& grid = *probe->Grid(p.item);
        for (int c = 0; c < grid.ColumnCount(); ++c) {
            if (grid.ColumnName(c).empty())
                continue;
            // First, middle and last records are enough to catch a wrong
            // record size or base; every column is checked.
            for (int r : {0, grid.RowCount() / 2, grid.RowCount() - 1}) {
                HMemoryImage image = base;
                auto editor = p.page->make(*p.page, {&image, 2});
                editor->Open();
                HGridSource& g = *editor->Grid(p.item);
                const std::vector<std::string> before = Cells(g);
                const std::string what = std::string(p.entry->section) + "." +
                                         std::to_string(r + 1) + "." + std::string(g.ColumnName(c));
                if (!Change(g, r, c)) {
                    ADD_FAILURE() << what << " takes no change";
                    continue;
                }
                const std::string shown = g.CellSetting(r, c);
                ASSERT_EQ(editor->Confirm(), 0) << what;

                auto reread = p.page->make(*p.page, {&image, 2});
                reread->Open();
                HGridSource& back = *reread->Grid(p.item);
                EXPECT_NE(back.CellSetting(r, c), before[std::size_t(r * g.ColumnCount() + c)])
                    << what << " did not reach the image";
                EXPECT_EQ(back.CellSetting(r, c), shown) << what << " reads other bits";
                const std::vector<std::string> after = Cells(back);
                for (int rr = 0; rr < back.RowCount(); ++rr)
                    for (int cc = 0; cc < back.ColumnCount(); ++cc) {
                        const auto i = std::size_t(rr * back.ColumnCount() + cc);
                        if ((rr != r || cc != c) && cc != 0) {
                            EXPECT_EQ(after[i], before[i])
                                << what << " changed " << back.HeaderText(cc) << " of row "
                                << rr + 1;
                        }
                    }
                // One field: its bytes lie together.
                const std::vector<std::size_t> d = Differences(base, image);
                ASSERT_FALSE(d.empty()) << what;
                EXPECT_LE(d.back() - d.front(), 8u) << what << " wrote apart bytes";
            }
        }
    }
}
