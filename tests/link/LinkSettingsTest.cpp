// The one event builder: what it takes from the link settings, which buffers
// it clears, and how a port text is read.
#include "HLinkSettings.h"

#include <gtest/gtest.h>

namespace {

TEST(LinkSettings, PortTextAndTheEventsItBuilds) {
    HLinkSettings link;
    link.SetPort("3");
    EXPECT_EQ(link.portNumber, 3);
    EXPECT_EQ(link.devicePath, "");
    link.SetPort("/dev/ttyUSB0");
    EXPECT_EQ(link.devicePath, "/dev/ttyUSB0");
    link.SetPort("257"); // not a port number: a device name
    EXPECT_EQ(link.devicePath, "257");
    link.baudRate = 19200;
    link.connectionMode = 1;
    link.accessLevel = 2;

    HMemoryImage work{}, image{};
    work.fill(0x11);
    auto up = BuildCommEvent(HCommEvent::Upload, link, &work, &image);
    EXPECT_EQ(up->baudRate, 19200);
    EXPECT_EQ(up->connectionMode, 1);
    EXPECT_EQ(up->devicePath, "257");
    EXPECT_EQ(up->accessLevel, 2);
    EXPECT_EQ(up->readEeprom, HTransferRangeTable::For(HTransferDirection::Upload, 2).readEeprom);
    EXPECT_EQ(work[100], 0) << "a work buffer that receives a read starts empty";

    // The added channel upload reads some pages into a copy of the image, and
    // an alignment end writes the radio's data held in its work buffer.
    for (HCommEvent id : {HCommEvent::AddedChannelUpload, HCommEvent::BasicAlignEnd}) {
        work.fill(0x22);
        auto e = BuildCommEvent(id, link, &work, &image);
        EXPECT_EQ(work[100], 0x22) << int(id);
        EXPECT_TRUE(e->readEeprom.empty()) << int(id);
    }
    auto cancel = BuildCommEvent(HCommEvent::FineAlignCancel, link, nullptr, nullptr);
    EXPECT_EQ(cancel->workBuffer, nullptr);
}

} // namespace
