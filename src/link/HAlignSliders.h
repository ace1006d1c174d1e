#pragma once
// The slider adjustments of basic and channel fine alignment. Each one is what
// it sends to start (after receive, the channel and, when keyed, transmit),
// what a new value sends, what ends it, the value it starts at and what
// accepting a value stores. The dialogs only move the slider; rp57cli and the
// tests can run the same sequences.
#include "HAlignmentData.h"
#include "HChannels.h"
#include "HComAlignment.h"

#include <functional>
#include <string>
#include <vector>

struct HSliderSequence {
    std::string title;
    int channel = -1;  // alignment channel chosen at the start; -1 keeps the one chosen
    bool keyed = true; // the transmitter is keyed for the adjustment
    int startValue = 0;
    // The dialog's own commands, after RequestRx, ChangeChannel and RequestTx.
    std::function<bool(HComAlignment&)> start;
    std::function<bool(HComAlignment&, int)> change;
    // What the dialog started is ended; RequestRx follows. Failures are logged.
    std::function<void(HComAlignment&)> stop;
    // OK: the value goes into the alignment data or the channel.
    std::function<void(int)> accept;
    // The EEPROM words that hold what `accept` stores (basic alignment).
    std::vector<int> words;
    // The receiver's RSSI is read after the start and after each change.
    bool readsRssi = false;
    // What the radio does meanwhile and what the technician reads; empty
    // when the dialog needs no such line.
    std::string instruction;
};

namespace HAlignSliders {

enum class Basic : int {
    TxPowerHigh = 0, // levels 0..3: values 8..11
    TxPowerLowHigh,
    TxPowerLowMid,
    TxPowerELow,
    MaxDeviationWide,
    MaxDeviationNarrow,
    SubAudioCtcss,
    SubAudioDcs,
    SeqToneDeviation,
    FrequencyDa,
};

// `data` and `channels` must outlive the sequence; `accept` writes `data`.
[[nodiscard]] HSliderSequence ForBasic(Basic which, HAlignmentData& data,
                                       const HChannels& channels);
// Row 0..7 of channel fine alignment for channel `c` (HFineAlignment::Row);
// `accept` writes the channel record.
[[nodiscard]] HSliderSequence ForFine(int row, const HAlignmentData& data, HChannels& channels,
                                      int c);

// The whole start: RequestRx, ChangeChannel (when the sequence names one),
// RequestTx when keyed, then the sequence's own commands. False at the first
// failure, with its trace entry.
[[nodiscard]] bool Start(HComAlignment& comm, const HSliderSequence& sequence);
// The sequence's stop, then RequestRx; the transmitter is released whatever
// happened before.
void Stop(HComAlignment& comm, const HSliderSequence& sequence);

} // namespace HAlignSliders
