// The images File > New and rp57cli new make are fixed points of everything
// the program does to an image on its way to the radio and back: the channel
// model's load and save (the channel view, the transfers), the cleaning before
// a download and the corrections after an upload. The radio stores what it is
// sent (the round trip through the simulated radio is the CLI tests').
#include "HChannels.h"
#include "HDefaultImage.h"
#include "HTransferSteps.h"
#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

TEST(NewImage, EveryModelIsAFixedPointOfLoadSaveDownloadAndUpload) {
    for (int band : {kBandVhf, kBandUhfA, kBandUhfD, kBandLowA, kBandLowB})
        for (int product : {kProductMobile, kProductHandheld})
            for (int lcd : {0, 1}) {
                SCOPED_TRACE(testing::Message()
                             << "band " << band << " product " << product << " display " << lcd);
                const HMemoryImage made = MakeImageForModel(band, product, lcd);

                HMemoryImage viewed = made;
                HChannels channels;
                channels.Load(viewed);
                channels.Save(viewed);
                EXPECT_EQ(Differences(viewed, made), std::vector<std::size_t>{});

                HMemoryImage sent = made;
                const HSignallingMode mode = HTransferSteps::ReadSignallingMode(sent);
                HTransferSteps::PrepareForDownload(sent, mode);
                EXPECT_EQ(Differences(sent, made), std::vector<std::size_t>{});
                EXPECT_EQ(HTransferSteps::CorrectAfterUpload(sent), mode);
                EXPECT_EQ(Differences(sent, made), std::vector<std::size_t>{});
            }
    // Unprogrammed channels hold the band default's count words, not zeros.
    const HMemoryImage vhf = MakeImageForModel(kBandVhf, kProductMobile, 1);
    HChannels channels;
    channels.Load(vhf);
    EXPECT_EQ(channels.GetFrequency(127, 0), channels.GetFrequency(0, 0));
    EXPECT_NE(channels.GetField(0, HChannelTables::kFieldRxCountWord), 0);
    EXPECT_NE(channels.GetField(127, HChannelTables::kFieldTxCountWord), 0);
}
