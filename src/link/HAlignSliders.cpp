#include "HAlignSliders.h"

#include "HFineAlignment.h"

#include <algorithm>

#define ALOG(comm, level, ...) (comm).Log((level), __FILE__, __LINE__, __VA_ARGS__)

using namespace HAlignCommand;
using namespace HChannelTables;

namespace HAlignSliders {

namespace {

constexpr int kCentreChannel = 1;
constexpr int kNarrowChannel = 4;
constexpr int kCtcssChannel = 12;
constexpr int kDcsChannel = 14;
constexpr std::uint8_t kNoDeviationTone = 255; // 0x3B's second byte while deviation is set

std::uint8_t Byte(int v) {
    return std::uint8_t(std::clamp(v, 0, 255));
}

// What a keyed adjustment sends with every 0x32: the power, the TX VCV and the
// limit "EEPROM + Channel".
struct Keyed {
    int power = 0;
    int txVcv = 0;
    int limitEeprom = 0;
    int limitOffset = 0;
    bool txPowerDialog = false;
};

bool SendPower(HComAlignment& c, const Keyed& k, int power) {
    ALOG(c, 3, "TX Power Limit(EEPROM)[VALUE:%d]", k.limitEeprom);
    ALOG(c, 3, "TX Power Limit(EEPROM + Channel)[VALUE:%d]", k.limitEeprom + k.limitOffset);
    if (k.txPowerDialog)
        ALOG(c, 3, "Tx Power[POWER:%d]", power);
    else
        ALOG(c, 3, "Mobile Tx Power[POWER:%d]", power);
    if (c.SetTxPowerTuneLevel(Byte(power), 0, SignMagnitude(k.txVcv),
                              TxPowerLimit(k.limitEeprom, k.limitOffset)))
        return true;
    ALOG(c, 1, "%s", "TX Power 変更要求エラー");
    return false;
}

bool SendDeviation(HComAlignment& c, std::uint8_t d1, std::uint8_t d2, std::uint8_t d3) {
    if (c.SetDeviation(d1, d2, d3))
        return true;
    ALOG(c, 1, "%s", "Deviation 変更要求エラー");
    return false;
}

bool SendFreqDa(HComAlignment& c, std::uint8_t f1, std::uint8_t f2) {
    if (c.SetFreqDa(f1, f2, 0))
        return true;
    ALOG(c, 1, "%s", "Freq DA 変更要求エラー");
    return false;
}

bool ToneOn(HComAlignment& c) {
    if (c.SetModulationTone(kTestTone))
        return true;
    ALOG(c, 1, "%s", "変調開始要求エラー");
    return false;
}

void ToneOff(HComAlignment& c) {
    if (!c.SetModulationTone(0))
        ALOG(c, 1, "%s", "変調停止要求エラー");
}

bool DcsOn(HComAlignment& c) {
    if (c.SetDcsModulation(true))
        return true;
    ALOG(c, 1, "%s", "DCS変調開始要求エラー");
    return false;
}

void DcsOff(HComAlignment& c) {
    if (!c.SetDcsModulation(false))
        ALOG(c, 1, "%s", "DCS変調停止要求エラー");
}

bool AfOn(HComAlignment& c) {
    if (c.SetAfSwitch(true))
        return true;
    ALOG(c, 1, "%s", "Af Switch 切り換え要求エラー");
    return false;
}

void AfOff(HComAlignment& c) {
    if (!c.SetAfSwitch(false))
        ALOG(c, 1, "%s", "Af Switch 切り換え要求エラー");
}

bool SendTune(HComAlignment& c, int tune, int rxVcv, const Keyed& k) {
    if (c.SetTxPowerTuneLevel(Byte(tune), SignMagnitude(rxVcv), 0,
                              TxPowerLimit(k.limitEeprom, k.limitOffset)))
        return true;
    ALOG(c, 1, "%s", "Tune 変更要求エラー");
    return false;
}

bool SendVcv(HComAlignment& c, int rxVcv, int txVcv) {
    if (c.SetTxPowerTuneLevel(0, SignMagnitude(rxVcv), SignMagnitude(txVcv), 0))
        return true;
    ALOG(c, 1, "%s", "TX Power 変更要求エラー");
    return false;
}

const char* BasicTitle(Basic which) {
    switch (which) {
    case Basic::TxPowerHigh:
        return "TX Power High";
    case Basic::TxPowerLowHigh:
        return "TX Power Low-High";
    case Basic::TxPowerLowMid:
        return "TX Power Low-Mid";
    case Basic::TxPowerELow:
        return "TX Power E-Low";
    case Basic::MaxDeviationWide:
        return "Max Deviation Wide";
    case Basic::MaxDeviationNarrow:
        return "Max Deviation Narrow";
    case Basic::SubAudioCtcss:
        return "Sub Audio Deviation CTCSS Wide";
    case Basic::SubAudioDcs:
        return "Sub Audio Deviation DCS Wide";
    case Basic::SeqToneDeviation:
        return "Seq Tone Dev";
    case Basic::FrequencyDa:
        return "Frequency D/A";
    }
    return "";
}

// The words of the slider help page: the radio is keyed, the technician
// watches one instrument.
std::string TransmitInstruction(const char* instrument) {
    return std::string("The radio transmits on the test channel with the value on the slider: "
                       "move the slider until the ") +
           instrument + " shows the value the radio's data sheet asks for.";
}

const char* Instrument(Basic which) {
    switch (which) {
    case Basic::TxPowerHigh:
    case Basic::TxPowerLowHigh:
    case Basic::TxPowerLowMid:
    case Basic::TxPowerELow:
        return "power meter";
    case Basic::FrequencyDa:
        return "frequency counter";
    case Basic::MaxDeviationWide:
    case Basic::MaxDeviationNarrow:
    case Basic::SubAudioCtcss:
    case Basic::SubAudioDcs:
    case Basic::SeqToneDeviation:
        return "modulation meter";
    }
    return "instrument";
}

} // namespace

HSliderSequence ForBasic(Basic which, HAlignmentData& data, const HChannels& channels) {
    auto v = [&data](int i) { return int(data.GetValue(std::size_t(i))); };
    auto field = [&channels](int c, int k) { return int(channels.GetField(c, k)); };
    HSliderSequence s;
    s.title = BasicTitle(which);
    s.instruction = TransmitInstruction(Instrument(which));
    HAlignmentData* d = &data;
    auto storeInto = [d](int index, int offset) {
        return [d, index, offset](int value) {
            d->SetValue(std::size_t(index), std::clamp(value - offset, 0, 255));
        };
    };
    // The base power of the deviation steps comes from channel 1.
    Keyed k;
    k.txVcv = v(17);
    k.limitEeprom = v(19);
    k.power = v(10) + field(kCentreChannel, kFieldTxTunePower);

    switch (which) {
    case Basic::TxPowerHigh:
    case Basic::TxPowerLowHigh:
    case Basic::TxPowerLowMid:
    case Basic::TxPowerELow: {
        const int index = 8 + int(which) - int(Basic::TxPowerHigh);
        s.channel = kCentreChannel;
        s.startValue = v(index);
        k.limitOffset = field(kCentreChannel, kFieldTxTune15);
        k.txPowerDialog = true;
        const int start = s.startValue;
        s.start = [k, start](HComAlignment& c) { return SendPower(c, k, start); };
        s.change = [k](HComAlignment& c, int value) { return SendPower(c, k, value); };
        s.accept = storeInto(index, 0);
        s.words = {7, 8};
        break;
    }
    case Basic::MaxDeviationWide:
    case Basic::MaxDeviationNarrow: {
        const bool wide = which == Basic::MaxDeviationWide;
        const int ch = wide ? kCentreChannel : kNarrowChannel;
        const int index = wide ? 12 : 13;
        const int offset = field(ch, kFieldTxTuneWidth);
        const std::uint8_t balance = Byte(field(ch, kFieldTxTune14));
        const std::uint8_t da = Byte(v(24));
        s.channel = ch;
        s.startValue = v(index) + offset;
        k.power = v(10) + field(ch, kFieldTxTunePower);
        k.limitOffset = field(ch, kFieldTxTune15);
        const int start = s.startValue;
        s.start = [k, start, balance, da](HComAlignment& c) {
            return SendPower(c, k, k.power) && SendDeviation(c, Byte(start), balance, 0) &&
                   SendFreqDa(c, da, kNoDeviationTone) && ToneOn(c);
        };
        s.change = [balance](HComAlignment& c, int value) {
            return SendDeviation(c, Byte(value), balance, 0);
        };
        s.stop = [](HComAlignment& c) { ToneOff(c); };
        s.accept = storeInto(index, offset);
        s.words = {9};
        break;
    }
    case Basic::SubAudioCtcss:
    case Basic::SubAudioDcs: {
        const bool dcs = which == Basic::SubAudioDcs;
        const int ch = dcs ? kDcsChannel : kCtcssChannel;
        const int index = dcs ? 15 : 14;
        const int offset = field(ch, kFieldSubAudioOffset);
        const std::uint8_t balance = Byte(field(ch, kFieldTxTune14));
        const std::uint8_t deviation = SignMagnitude(v(12) + field(ch, kFieldTxTuneWidth));
        s.channel = ch;
        s.startValue = v(index) + offset;
        k.limitOffset = field(ch, kFieldTxTune15);
        const int start = s.startValue;
        s.start = [k, start, balance, deviation, dcs](HComAlignment& c) {
            return SendPower(c, k, k.power) && SendDeviation(c, deviation, balance, Byte(start)) &&
                   (!dcs || DcsOn(c));
        };
        s.change = [balance, deviation](HComAlignment& c, int value) {
            return SendDeviation(c, deviation, balance, Byte(value));
        };
        s.stop = [dcs](HComAlignment& c) {
            if (dcs)
                DcsOff(c);
        };
        s.accept = storeInto(index, offset);
        s.words = {10};
        break;
    }
    case Basic::SeqToneDeviation: {
        const std::uint8_t balance = Byte(field(kCentreChannel, kFieldTxTune14));
        const std::uint8_t deviation =
            SignMagnitude(v(12) + field(kCentreChannel, kFieldTxTuneWidth));
        const std::uint8_t da = Byte(v(24));
        s.channel = kCentreChannel;
        s.startValue = v(25);
        k.limitOffset = field(kCentreChannel, kFieldTxTune15);
        const int start = s.startValue;
        s.start = [k, start, balance, deviation, da](HComAlignment& c) {
            return SendPower(c, k, k.power) && SendDeviation(c, deviation, balance, 0) &&
                   SendFreqDa(c, da, Byte(start)) && ToneOn(c);
        };
        s.change = [da](HComAlignment& c, int value) { return SendFreqDa(c, da, Byte(value)); };
        s.stop = [](HComAlignment& c) { ToneOff(c); };
        s.accept = storeInto(25, 0);
        s.words = {16};
        break;
    }
    case Basic::FrequencyDa: {
        s.channel = kCentreChannel;
        s.startValue = v(24);
        k.limitOffset = field(kCentreChannel, kFieldTxTune15);
        const int start = s.startValue;
        s.start = [k, start](HComAlignment& c) {
            return SendPower(c, k, k.power) && SendFreqDa(c, Byte(start), 0);
        };
        s.change = [](HComAlignment& c, int value) { return SendFreqDa(c, Byte(value), 0); };
        s.accept = storeInto(24, 0);
        s.words = {15};
        break;
    }
    }
    return s;
}

HSliderSequence ForFine(int row, const HAlignmentData& data, HChannels& channels, int ch) {
    auto v = [&data](int i) { return int(data.GetValue(std::size_t(i))); };
    auto field = [&channels, ch](int k) { return int(channels.GetField(ch, k)); };
    static constexpr const char* kTitles[HFineAlignment::kRows] = {
        "RX Tune",       "High Power",      "Low Power", "Mod Bal",
        "MAX Deviation", "CTCSS Deviation", "RX",        "TX"};
    HSliderSequence s;
    if (row < 0 || row >= HFineAlignment::kRows)
        return s;
    s.title = kTitles[row];
    s.startValue = HFineAlignment::ShownValue(row, data, channels, ch);
    const HAlignmentData* d = &data;
    HChannels* model = &channels;
    s.accept = [row, d, model, ch](int value) {
        HFineAlignment::Accept(row, value, *d, *model, ch);
    };

    Keyed k;
    k.power = v(10) + field(kFieldTxTunePower);
    k.txVcv = v(17) + field(kFieldTxTune16);
    k.limitEeprom = v(19);
    k.limitOffset = field(kFieldTxTune15);
    const int rxVcv = v(16) + field(kFieldRxTune13);
    const int deviation = v(field(kFieldBandwidth) != 0 ? 12 : 13) + field(kFieldTxTuneWidth);
    const std::uint8_t balance = Byte(field(kFieldTxTune14));
    const std::uint8_t da = Byte(v(24));
    const int start = s.startValue;

    switch (row) {
    case HFineAlignment::kRxTune:
        s.keyed = false;
        s.readsRssi = true;
        s.start = [start, rxVcv, k](HComAlignment& c) { return SendTune(c, start, rxVcv, k); };
        s.change = [rxVcv, k](HComAlignment& c, int value) { return SendTune(c, value, rxVcv, k); };
        break;
    case HFineAlignment::kHighPower:
    case HFineAlignment::kLowPower:
        k.txPowerDialog = true;
        s.start = [k, start](HComAlignment& c) { return SendPower(c, k, start); };
        s.change = [k](HComAlignment& c, int value) { return SendPower(c, k, value); };
        break;
    case HFineAlignment::kModBal:
        s.start = [k, da, deviation, start](HComAlignment& c) {
            return SendPower(c, k, k.power) && SendFreqDa(c, da, 0) && AfOn(c) &&
                   SendDeviation(c, Byte(deviation), Byte(start), 0) && ToneOn(c);
        };
        s.change = [deviation](HComAlignment& c, int value) {
            return SendDeviation(c, Byte(deviation), Byte(value), 0);
        };
        s.stop = [](HComAlignment& c) {
            AfOff(c);
            ToneOff(c);
        };
        break;
    case HFineAlignment::kMaxDeviation:
        // The slider works on the sum itself, not on the 4/5 shown for code 2.
        s.startValue = deviation;
        s.start = [k, deviation, balance, da](HComAlignment& c) {
            return SendPower(c, k, k.power) && SendDeviation(c, Byte(deviation), balance, 0) &&
                   SendFreqDa(c, da, kNoDeviationTone) && ToneOn(c);
        };
        s.change = [balance](HComAlignment& c, int value) {
            return SendDeviation(c, Byte(value), balance, 0);
        };
        s.stop = [](HComAlignment& c) { ToneOff(c); };
        break;
    case HFineAlignment::kSubAudioDeviation: {
        const bool dcs = field(kFieldRxToneType) != 1;
        if (field(kFieldRxToneType) == 2)
            s.title = "DCS Deviation";
        const std::uint8_t dev = SignMagnitude(deviation);
        s.start = [k, dev, balance, start, dcs](HComAlignment& c) {
            return SendPower(c, k, k.power) && SendDeviation(c, dev, balance, Byte(start)) &&
                   (!dcs || DcsOn(c));
        };
        s.change = [dev, balance](HComAlignment& c, int value) {
            return SendDeviation(c, dev, balance, Byte(value));
        };
        s.stop = [dcs](HComAlignment& c) {
            if (dcs)
                DcsOff(c);
        };
        break;
    }
    case HFineAlignment::kRxVcv:
    case HFineAlignment::kTxVcv: {
        const bool tx = row == HFineAlignment::kTxVcv;
        // The transmitter's VCO locks only while it transmits.
        s.keyed = tx;
        s.startValue = tx ? k.txVcv : rxVcv;
        const int txVcv = k.txVcv;
        s.start = [rxVcv, txVcv](HComAlignment& c) { return SendVcv(c, rxVcv, txVcv); };
        s.change = [tx](HComAlignment& c, int value) {
            return tx ? SendVcv(c, 0, value) : SendVcv(c, value, 0);
        };
        break;
    }
    default:
        break;
    }
    return s;
}

bool Start(HComAlignment& comm, const HSliderSequence& s) {
    if (!comm.RequestRx()) {
        ALOG(comm, 1, "%s", "受信要求エラー");
        return false;
    }
    if (s.channel >= 0 && !comm.ChangeChannel(0, std::uint8_t(s.channel))) {
        ALOG(comm, 1, "%s", "チャネル変更要求エラー");
        return false;
    }
    if (s.keyed && !comm.RequestTx()) {
        ALOG(comm, 1, "%s", "送信要求エラー");
        return false;
    }
    return !s.start || s.start(comm);
}

void Stop(HComAlignment& comm, const HSliderSequence& s) {
    if (s.stop)
        s.stop(comm);
    if (!comm.RequestRx())
        ALOG(comm, 1, "%s", "受信要求エラー");
}

} // namespace HAlignSliders
