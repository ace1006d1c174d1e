#include "HDefaultImage.h"
#include "HUndoHistory.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The start image with byte `at` set to `value`.
HMemoryImage Changed(HMemoryImage image, std::size_t at, std::uint8_t value) {
    image[at] = value;
    return image;
}

} // namespace

TEST(UndoHistory, UndoAndRedoReturnTheExactImagesWithTheirNames) {
    const HMemoryImage start = BuildDefaultImage();
    HUndoHistory history;
    history.Reset(start, "/radios/a.R57", true);
    EXPECT_FALSE(history.CanUndo());

    std::mt19937 random(57);
    std::vector<HMemoryImage> states{start};
    for (int i = 0; i < 5; ++i) {
        HMemoryImage next = states.back();
        for (int n = 0; n < 40; ++n)
            next[random() % kImageSize] = static_cast<std::uint8_t>(random());
        ASSERT_TRUE(history.Record(next, "/radios/a.R57", false, "step " + std::to_string(i)));
        states.push_back(next);
    }
    EXPECT_EQ(history.UndoName(), "step 4");
    for (int i = 4; i >= 0; --i) {
        EXPECT_EQ(history.Undo().image, states[static_cast<std::size_t>(i)]) << "undo to " << i;
    }
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(history.RedoName(), "step 0");
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(history.Redo().image, states[static_cast<std::size_t>(i)]) << "redo to " << i;
    EXPECT_FALSE(history.CanRedo());

    // A new change after undoing drops what could have been redone.
    history.Undo();
    history.Undo();
    ASSERT_TRUE(history.Record(Changed(states[3], 100, 0x5A), "", false, "other"));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.UndoName(), "other");
    EXPECT_EQ(history.Undo().image, states[3]);
}

TEST(UndoHistory, AChangeThatLeavesTheBytesMakesNoStepButTakesThePath) {
    const HMemoryImage start = BuildDefaultImage();
    HUndoHistory history;
    history.Reset(start, "<none>", true);
    EXPECT_FALSE(history.Record(start, "/radios/b.R57", true, "Save As"));
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(history.Current().path, "/radios/b.R57");
}

TEST(UndoHistory, KeepsItsLimitOfStepsAndDropsTheOldest) {
    EXPECT_GE(HUndoHistory().Limit(), 100u);
    for (const std::size_t limit : {std::size_t{1}, std::size_t{3}, HUndoHistory::kDefaultLimit}) {
        HUndoHistory history(limit);
        ASSERT_EQ(history.Limit(), limit);
        HMemoryImage image{};
        history.Reset(image, "", true);
        const std::size_t steps = limit + 30;
        for (std::size_t i = 1; i <= steps; ++i) {
            image[0] = static_cast<std::uint8_t>(i);
            image[1] = static_cast<std::uint8_t>(i >> 8);
            history.Record(image, "", false, "step");
            // Every step up to the limit can be undone, at every step.
            ASSERT_EQ(history.UndoSteps(), std::min(i, limit))
                << "limit " << limit << ", step " << i;
        }
        while (history.CanUndo())
            history.Undo();
        // The oldest state still kept is the one `limit` steps before the last.
        EXPECT_EQ(history.Current().image[0], static_cast<std::uint8_t>(steps - limit))
            << "limit " << limit;
    }
}

TEST(UndoHistory, OnlyTheStateTheFileHoldsIsClean) {
    const HMemoryImage start = BuildDefaultImage();
    HUndoHistory history;
    history.Reset(start, "/r/a.R57", true);
    history.Record(Changed(start, 700, 1), "/r/a.R57", false, "one");
    history.Record(Changed(start, 700, 2), "/r/a.R57", false, "two");
    history.Undo();
    history.Undo();
    EXPECT_TRUE(history.Current().clean);
    history.Redo();
    EXPECT_FALSE(history.Current().clean);

    // Saving "one" makes it the file's state: the start no longer is.
    history.MarkSaved("/r/a.R57");
    EXPECT_TRUE(history.Current().clean);
    EXPECT_FALSE(history.Undo().clean);
    history.Redo();
    EXPECT_FALSE(history.Redo().clean);
}
