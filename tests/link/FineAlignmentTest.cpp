// Channel fine alignment's rows from the worked examples.
#include "HDefaultImage.h"
#include "HFineAlignment.h"

#include <gtest/gtest.h>

using namespace HFineAlignment;

namespace {

struct Fixture {
    Fixture() {
        image = BuildDefaultImage();
        channels.Load(image);
        data.Load(image);
    }
    HMemoryImage image{};
    HChannels channels;
    HAlignmentData data;
};

TEST(FineAlignment, ShownValuesAndAcceptedOffsets) {
    Fixture f;
    f.data.SetValue(12, 90);
    f.data.SetValue(13, 60);
    f.channels.SetField(0, 51, 11);
    f.channels.SetField(0, 4, 0);
    EXPECT_EQ(ShownValue(kMaxDeviation, f.data, f.channels, 0), 71) << "narrow: value 13";
    f.channels.SetField(0, 4, 2);
    EXPECT_EQ(ShownValue(kMaxDeviation, f.data, f.channels, 0), 80) << "code 2: 101 x 4 / 5";

    // Accepting a TX VCV of 130 when value 17 is 120 stores 10 and marks it.
    f.data.SetValue(17, 120);
    f.channels.SetField(1, 44, 0);
    Accept(kTxVcv, 130, f.data, f.channels, 1);
    EXPECT_EQ(f.channels.GetField(1, 41), 10);
    EXPECT_EQ(f.channels.GetField(1, 44), 1);
    EXPECT_EQ(ShownValue(kTxVcv, f.data, f.channels, 1), 130);

    // Every row: accepting the value it shows leaves the record's values as
    // they were (a no-change OK stores nothing new), on each tone type.
    for (int type : {0, 1, 2}) {
        f.channels.SetField(2, 67, type);
        f.data.SetValue(14, 40);
        f.data.SetValue(15, 55);
        for (int row = 0; row < kRows; ++row) {
            const int shown = ShownValue(row, f.data, f.channels, 2);
            if (row == kMaxDeviation && f.channels.GetField(2, 4) == 2)
                continue; // the 4/5 view does not round-trip
            Accept(row, shown, f.data, f.channels, 2);
            EXPECT_EQ(ShownValue(row, f.data, f.channels, 2), shown)
                << "row " << row << ", tone type " << type;
        }
    }
    // RX tune is absolute and sets the keep-tuning-byte flag.
    Accept(kRxTune, 77, f.data, f.channels, 3);
    EXPECT_EQ(f.channels.GetField(3, 43), 77);
    EXPECT_EQ(f.channels.GetField(3, 45), 1);
}

} // namespace
