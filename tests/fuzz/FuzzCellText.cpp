// Cell texts as typed or pasted into the channel grid: the first byte picks the
// column's field and the channel, the rest is the text. A refused text leaves
// the channel as it was; an accepted one leaves values the channel record can
// hold and the radio can tune.
//
// One channel model is loaded once; each input changes at most one channel, and
// that channel alone is put back afterwards (loading the model per input ran at
// a few dozen inputs a second).
#include "HChannelRules.h"
#include "HChannels.h"
#include "HDefaultImage.h"
#include "HHardwareGroup.h"

#include <array>
#include <cstdlib>
#include <string_view>

namespace {

using namespace HChannelTables;

const HChannels& Pristine() {
    static const HChannels model = [] {
        HChannels m;
        m.Load(BuildDefaultImage());
        return m;
    }();
    return model;
}

bool SameChannel(const HChannels& a, const HChannels& b, int c) {
    for (int k = 0; k < kFieldCount; ++k)
        if (a.GetField(c, k) != b.GetField(c, k))
            return false;
    return a.GetTag(c) == b.GetTag(c);
}

void Restore(HChannels& work, int c) {
    const HChannels& base = Pristine();
    // The packed words come before their parts, so the parts end as they were.
    for (int k = 0; k < kFieldCount; ++k)
        work.SetField(c, k, base.GetField(c, k));
    work.SetTag(c, base.GetTag(c));
    if (!SameChannel(work, base, c))
        std::abort();
}

// A stored frequency is 0 (none) or decodes back from the counts a save writes.
void CheckFrequency(const HChannels& ch, int c, int which) {
    const std::int64_t hz = ch.GetField(c, which == 0 ? kFieldRxFrequency : kFieldTxFrequency);
    if (hz == 0)
        return;
    if (hz < ch.GetHardwareValue(HHardwareGroup::kRowBandLow) ||
        hz > ch.GetHardwareValue(HHardwareGroup::kRowBandHigh))
        std::abort();
    HChannelRules::CountContext ctx;
    ctx.band = ch.GetHardwareValue(HHardwareGroup::kRowBand);
    ctx.stepSet = ch.GetHardwareValue(HHardwareGroup::kRowStepSet);
    ctx.localOffset = ch.GetHardwareValue(HHardwareGroup::kRowLocalOffset);
    ctx.ifHz = ch.GetHardwareValue(HHardwareGroup::kRowFirstIf);
    const int step = ch.GetField(c, which == 0 ? kFieldRxStep : kFieldTxStep);
    if (step < 0 || step > 2)
        std::abort();
    const HChannelRules::Counts counts = HChannelRules::EncodeFrequency(hz, which == 0, step, ctx);
    if (HChannelRules::DecodeFrequency(counts, which == 0, step, ctx) != hz)
        std::abort();
}

// Tone type and value fit the record: 0 none, 1 CTCSS in tenths of Hz, 2 a DCS
// code of three octal digits.
void CheckTone(const HChannels& ch, int c, bool transmit) {
    const std::int32_t type = ch.GetField(c, transmit ? kFieldTxToneType : kFieldRxToneType);
    const std::int32_t value = ch.GetField(c, transmit ? kFieldTxTone : kFieldRxTone);
    if (type == 1 && (value < 670 || value > 2541))
        std::abort();
    if (type == 2 && (value < 0 || value > 0777))
        std::abort();
    if (type < 0 || type > 2)
        std::abort();
    if (transmit && type == 1)
        (void)HChannelRules::ToneTimerBytes(value);
}

void CheckTag(const std::string& tag) {
    if (tag.size() > 8)
        std::abort();
    for (char ch : tag)
        if ((ch >= 'a' && ch <= 'z') || HFieldCoding::RadioTextFilter(ch) != ch)
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static HChannels work = Pristine();
    constexpr std::array<int, 5> kFields = {kFieldTag, kFieldRxFrequency, kFieldTxFrequency,
                                            kFieldRxToneType, kFieldTxToneType};
    const int field = kFields[data[0] % kFields.size()];
    const int channel = (data[0] / kFields.size()) % 130; // includes channels out of range
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    const bool ok = work.ParseCellText(channel, field, text);
    // Only the channel typed in may change.
    for (int other : {channel - 1, channel + 1})
        if (!SameChannel(work, Pristine(), other))
            std::abort();
    if (!ok) {
        if (!SameChannel(work, Pristine(), channel))
            std::abort();
        return 0;
    }
    // Only the side typed in is judged: the built-in image's own values are not input.
    if (field == kFieldRxFrequency) {
        CheckFrequency(work, channel, 0);
        CheckFrequency(work, channel, 1);
    } else if (field == kFieldTxFrequency) {
        CheckFrequency(work, channel, 1);
    } else if (field == kFieldRxToneType || field == kFieldTxToneType) {
        CheckTone(work, channel, field == kFieldTxToneType);
    } else {
        CheckTag(work.GetTag(channel));
    }
    Restore(work, channel);
    return 0;
}
