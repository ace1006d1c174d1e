#include "HFineAlignment.h"

namespace HFineAlignment {

namespace {

// Channel fields by what fine alignment makes of them.
using namespace HChannelTables;
constexpr int kBandwidth = kFieldBandwidth; // 0 narrow, 1 wide, 2 wide shown at 4/5
constexpr int kLowPowerLevel = kFieldPowerLevel;
constexpr int kRxVcvOffset = kFieldRxTune13;
constexpr int kTxVcvOffset = kFieldTxTune16;
constexpr int kRxTuneValue = kFieldTuningByte;
constexpr int kKeepTuning = kFieldKeepTuningPoints;
constexpr int kKeepTuneByte = kFieldKeepTuningByte;
constexpr int kHighPowerOffset = kFieldTxTune1;
constexpr int kLowPowerOffset = kFieldTxTunePower;
constexpr int kDeviationOffset = kFieldTxTuneWidth;
constexpr int kModBalance = kFieldTxTune14;
constexpr int kSubAudioOffset = kFieldSubAudioOffset;
constexpr int kRxToneType = kFieldRxToneType;
constexpr int kToneDcs = 2;

int Value(const HAlignmentData& d, int index) {
    return d.GetValue(std::size_t(index));
}
int DeviationBase(const HAlignmentData& d, const HChannels& ch, int c) {
    return Value(d, ch.GetField(c, kBandwidth) != 0 ? 12 : 13);
}
int LowPowerBase(const HAlignmentData& d, const HChannels& ch, int c) {
    return Value(d, 9 + ch.GetField(c, kLowPowerLevel));
}
// The shown value and the stored offset use one base: CTCSS (value
// 14) unless the channel receives DCS (value 15).
int SubAudioBase(const HAlignmentData& d, const HChannels& ch, int c) {
    return Value(d, ch.GetField(c, kRxToneType) == kToneDcs ? 15 : 14);
}

} // namespace

int ShownValue(int row, const HAlignmentData& d, const HChannels& ch, int c) {
    switch (row) {
    case kRxTune:
        return ch.GetField(c, kRxTuneValue);
    case kHighPower:
        return Value(d, 8) + ch.GetField(c, kHighPowerOffset);
    case kLowPower:
        return LowPowerBase(d, ch, c) + ch.GetField(c, kLowPowerOffset);
    case kModBal:
        return ch.GetField(c, kModBalance);
    case kMaxDeviation: {
        const int sum = DeviationBase(d, ch, c) + ch.GetField(c, kDeviationOffset);
        return ch.GetField(c, kBandwidth) == 2 ? sum * 4 / 5 : sum;
    }
    case kSubAudioDeviation:
        return SubAudioBase(d, ch, c) + ch.GetField(c, kSubAudioOffset);
    case kRxVcv:
        return Value(d, 16) + ch.GetField(c, kRxVcvOffset);
    case kTxVcv:
        return Value(d, 17) + ch.GetField(c, kTxVcvOffset);
    default:
        return -1;
    }
}

void Accept(int row, int value, const HAlignmentData& d, HChannels& ch, int c) {
    switch (row) {
    case kRxTune:
        ch.SetField(c, kRxTuneValue, value);
        ch.SetField(c, kKeepTuneByte, 1);
        return;
    case kHighPower:
        ch.SetField(c, kHighPowerOffset, value - Value(d, 8));
        break;
    case kLowPower:
        ch.SetField(c, kLowPowerOffset, value - LowPowerBase(d, ch, c));
        break;
    case kModBal:
        ch.SetField(c, kModBalance, value);
        break;
    case kMaxDeviation:
        ch.SetField(c, kDeviationOffset, value - DeviationBase(d, ch, c));
        break;
    case kSubAudioDeviation:
        ch.SetField(c, kSubAudioOffset, value - SubAudioBase(d, ch, c));
        break;
    case kRxVcv:
        ch.SetField(c, kRxVcvOffset, value - Value(d, 16));
        break;
    case kTxVcv:
        ch.SetField(c, kTxVcvOffset, value - Value(d, 17));
        break;
    default:
        return;
    }
    ch.SetField(c, kKeepTuning, 1);
}

} // namespace HFineAlignment
