#include "HTransferRanges.h"

#include <gtest/gtest.h>

namespace {

using R = HBlockRange;

int Blocks(const HRangeList& list) {
    int n = 0;
    for (const R& r : list)
        n += r.to - r.from + 1;
    return n;
}

TEST(TransferRanges, UploadByLevel) {
    const HRangeList eeprom = {R{0x00, 0x1C}, R{0x29, 0x2C}, R{0x39, 0x3C}, R{0x49, 0x4A},
                               R{0x4C, 0x4E}, R{0x50, 0x57}, R{0x70, 0x70}, R{0xFA, 0xFE}};
    const HRangeList flash = {R{0x00, 0x07}, R{0x08, 0xFF}, R{0x33, 0x5E}};
    for (int level : {0, 1}) {
        const HTransferRanges r = HTransferRangeTable::Upload(level);
        EXPECT_EQ(r.readEeprom, eeprom);
        EXPECT_EQ(r.readFlash, flash);
        EXPECT_TRUE(r.writeEeprom.empty());
        EXPECT_TRUE(r.writeFlash.empty());
    }
    const HTransferRanges all = HTransferRangeTable::Upload(2);
    EXPECT_EQ(all.readEeprom, (HRangeList{R{0x00, 0xFF}}));
    EXPECT_EQ(all.readFlash, (HRangeList{R{0x00, 0x5E}}));
    EXPECT_EQ(Blocks(all.readEeprom), 256);
    EXPECT_EQ(Blocks(all.readFlash), 95);
    EXPECT_TRUE(all.writeEeprom.empty() && all.writeFlash.empty());
    // An unknown level moves no more than level 0.
    EXPECT_EQ(HTransferRangeTable::Upload(7), HTransferRangeTable::Upload(0));
}

TEST(TransferRanges, DownloadByLevel) {
    const HRangeList writeEeprom = {R{0x11, 0x1C}, R{0x29, 0x2C}, R{0x39, 0x3C}, R{0x49, 0x4A},
                                    R{0x4C, 0x4E}, R{0x50, 0x57}, R{0x70, 0xD8}, R{0xEA, 0xEA}};
    const HTransferRanges level0 = HTransferRangeTable::Download(0);
    EXPECT_EQ(level0.readEeprom, (HRangeList{R{0x00, 0x11}}));
    EXPECT_EQ(level0.readFlash, (HRangeList{R{0x00, 0x00}, R{0x5C, 0x5E}}));
    EXPECT_EQ(level0.writeEeprom, writeEeprom);
    EXPECT_EQ(level0.writeFlash, (HRangeList{R{0x01, 0x04}, R{0x08, 0xFF}, R{0x35, 0x56}}));

    // Manufacture Mode also writes FLASH page 0, first.
    const HTransferRanges level1 = HTransferRangeTable::Download(1);
    EXPECT_EQ(level1.readEeprom, level0.readEeprom);
    EXPECT_EQ(level1.readFlash, level0.readFlash);
    EXPECT_EQ(level1.writeEeprom, writeEeprom);
    EXPECT_EQ(level1.writeFlash,
              (HRangeList{R{0x00, 0x00}, R{0x01, 0x04}, R{0x08, 0xFF}, R{0x35, 0x56}}));

    const HTransferRanges level2 = HTransferRangeTable::Download(2);
    EXPECT_TRUE(level2.readEeprom.empty());
    EXPECT_TRUE(level2.readFlash.empty());
    EXPECT_EQ(level2.writeEeprom, (HRangeList{R{0x00, 0xFF}}));
    EXPECT_EQ(level2.writeFlash, (HRangeList{R{0x00, 0x5E}}));

    EXPECT_EQ(HTransferRangeTable::For(HTransferDirection::Download, 1), level1);
    EXPECT_EQ(HTransferRangeTable::For(HTransferDirection::Upload, 2),
              HTransferRangeTable::Upload(2));
}

TEST(TransferRanges, AddedChannelPages) {
    // Channels 0-8 fill pages 0-2 (P0 = 3); growing to 12 channels (P1 = 4)
    // adds channel page 3, FLASH page 0x0B.
    EXPECT_EQ(HTransferRangeTable::AddedChannelPages(3, 4), (HRangeList{R{0x0B, 0x0B}}));
    EXPECT_EQ(HTransferRangeTable::AddedChannelPages(0, 43), (HRangeList{R{0x08, 0x32}}));
    EXPECT_TRUE(HTransferRangeTable::AddedChannelPages(4, 4).empty());
    EXPECT_TRUE(HTransferRangeTable::AddedChannelPages(5, 4).empty());
}

} // namespace
