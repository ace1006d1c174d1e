#pragma once
// Channel fine alignment's eight rows: the value each shows for a channel (the
// basic alignment value plus the channel's own offset) and what accepting a
// new value stores into the channel record. The radio is not written here.
#include "HAlignmentData.h"
#include "HChannels.h"

namespace HFineAlignment {

enum Row : int {
    kRxTune = 0,
    kHighPower = 1,
    kLowPower = 2,
    kModBal = 3,
    kMaxDeviation = 4,
    kSubAudioDeviation = 5,
    kRxVcv = 6,
    kTxVcv = 7,
};
inline constexpr int kRows = 8;

// The value row `row` shows for channel `c`.
[[nodiscard]] int ShownValue(int row, const HAlignmentData& data, const HChannels& channels, int c);
// Stores an accepted value of row `row` into channel `c` and marks it aligned.
void Accept(int row, int value, const HAlignmentData& data, HChannels& channels, int c);

} // namespace HFineAlignment
