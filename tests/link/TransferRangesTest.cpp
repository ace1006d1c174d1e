// The range table itself is proven by the frames each access level sends (the
// CLI transfer tests); here the part that is computed.
#include "HTransferRanges.h"

#include <gtest/gtest.h>

namespace {

using R = HBlockRange;

TEST(TransferRanges, AddedChannelPagesAndUnknownLevels) {
    // Channels 0-8 fill pages 0-2 (P0 = 3); growing to 12 channels (P1 = 4)
    // adds channel page 3, FLASH page 0x0B.
    EXPECT_EQ(HTransferRangeTable::AddedChannelPages(3, 4), (HRangeList{R{0x0B, 0x0B}}));
    EXPECT_EQ(HTransferRangeTable::AddedChannelPages(0, 43), (HRangeList{R{0x08, 0x32}}));
    EXPECT_TRUE(HTransferRangeTable::AddedChannelPages(4, 4).empty());
    EXPECT_TRUE(HTransferRangeTable::AddedChannelPages(5, 4).empty());
    // An unknown level moves no more than level 0.
    EXPECT_EQ(HTransferRangeTable::Upload(7), HTransferRangeTable::Upload(0));
    EXPECT_EQ(HTransferRangeTable::Download(-1), HTransferRangeTable::Download(0));
}

} // namespace
