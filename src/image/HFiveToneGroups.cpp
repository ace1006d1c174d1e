#include "HFiveToneGroups.h"

#include "HToneConversion.h"

namespace T = HFiveToneTables;
namespace TC = HToneConversion;

namespace {
enum Part : std::size_t { kHeader, kTones, kPeriods, kWindows, kSeconds };
} // namespace

std::int32_t HFiveToneTable::Reference() const {
    return GetValue(IndexOf(kHeader, 0, T::kRowReference));
}
std::int32_t HFiveToneTable::Bandwidth() const {
    return GetValue(IndexOf(kHeader, 0, T::kRowBandwidth));
}
std::int32_t HFiveToneTable::WindowScale() const {
    return GetValue(IndexOf(kHeader, 0, T::kRowWindowScale));
}

std::size_t HFiveToneTable::ToneIndex(std::size_t set, std::size_t tone) const {
    if (tone >= T::kTonesPerSet)
        return ValueCount();
    return IndexOf(kTones, set, tone);
}
std::size_t HFiveToneTable::PeriodIndex(std::size_t set) const {
    return IndexOf(kPeriods, set, T::kRowPeriod);
}
std::size_t HFiveToneTable::SecondIndex(std::size_t set) const {
    return IndexOf(kSeconds, set, T::kRowSecond);
}

std::int32_t HFiveToneTable::ToneValue(std::size_t set, std::size_t tone) const {
    return GetValue(ToneIndex(set, tone));
}

double HFiveToneTable::Frequency(std::size_t set, std::size_t tone) const {
    const std::int32_t stored = ToneValue(set, tone);
    const std::int32_t reference = Reference();
    if (stored < 0 || reference < 0)
        return 0.0;
    return TC::FrequencyOf(std::uint32_t(stored), std::uint32_t(reference));
}

void HFiveToneTable::SetFrequency(std::size_t set, std::size_t tone, double hz) {
    const std::size_t index = ToneIndex(set, tone);
    if (index >= ValueCount())
        return;
    const std::int32_t reference = Reference();
    const std::uint32_t stored =
        TC::StoredValueOf(hz, reference < 0 ? 0 : std::uint32_t(reference));
    SetValue(index, std::int32_t(stored == 0 ? TC::kNone : stored));
}

std::int32_t HFiveToneTable::Period(std::size_t set) const {
    return GetValue(PeriodIndex(set));
}
void HFiveToneTable::SetPeriod(std::size_t set, std::int32_t period) {
    SetValue(PeriodIndex(set), period);
}
std::int32_t HFiveToneTable::Second(std::size_t set) const {
    return GetValue(SecondIndex(set));
}
void HFiveToneTable::SetSecond(std::size_t set, std::int32_t value) {
    SetValue(SecondIndex(set), value < 0 ? 0 : value - value % 5);
}

std::int32_t HFiveToneTable::WindowLower(std::size_t set, std::size_t tone) const {
    return GetValue(IndexOf(kWindows, set, T::kRowFirstWindow + 2 * tone));
}
std::int32_t HFiveToneTable::WindowUpper(std::size_t set, std::size_t tone) const {
    return GetValue(IndexOf(kWindows, set, T::kRowFirstWindow + 2 * tone + 1));
}

TC::HToneWindow HFiveToneTable::Window(std::size_t set, std::size_t tone) const {
    const auto header = [](std::int32_t v) { return v < 0 ? 0u : std::uint32_t(v); };
    return TC::DecodeWindow(header(ToneValue(set, tone)), header(Reference()),
                            header(WindowScale()), header(Bandwidth()));
}

void HFiveToneTable::ComputeWindows() {
    for (std::size_t set = 0; set < T::kToneSets; ++set) {
        for (std::size_t tone = 0; tone < T::kTonesPerSet; ++tone) {
            const TC::HToneWindow w = Window(set, tone);
            if (!TC::FitsTable(w))
                continue;
            const std::size_t row = T::kRowFirstWindow + 2 * tone;
            SetValue(IndexOf(kWindows, set, row), std::int32_t(TC::StoredLimit(w.lower)));
            SetValue(IndexOf(kWindows, set, row + 1), std::int32_t(TC::StoredLimit(w.upper)));
        }
    }
}

std::vector<std::pair<std::size_t, std::size_t>> HFiveToneTable::UnfitWindows() const {
    std::vector<std::pair<std::size_t, std::size_t>> out;
    for (std::size_t set = 0; set < T::kToneSets; ++set)
        for (std::size_t tone = 0; tone < T::kTonesPerSet; ++tone)
            if (!TC::FitsTable(Window(set, tone)))
                out.emplace_back(set, tone);
    return out;
}

void HFiveToneTable::Store(std::span<std::uint8_t> image) {
    ComputeWindows();
    Save(image);
}

namespace HToneDigits {

bool IsDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'E') || (c >= 'a' && c <= 'e');
}

std::string ToText(std::int32_t packed) {
    const auto bits = static_cast<std::uint32_t>(packed);
    std::string text;
    for (std::size_t i = 0; i < kMaxDigits; ++i) {
        const std::uint32_t nibble = (bits >> (28 - 4 * i)) & 0xFu;
        if (nibble == 0xF)
            break;
        text.push_back(nibble < 10 ? char('0' + nibble) : char('A' + nibble - 10));
    }
    return text;
}

std::optional<std::int32_t> FromText(std::string_view text) {
    if (text.size() > kMaxDigits)
        return std::nullopt;
    std::uint32_t bits = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!IsDigit(c))
            return std::nullopt;
        std::uint32_t nibble = 0;
        if (c >= '0' && c <= '9')
            nibble = std::uint32_t(c - '0');
        else if (c >= 'A' && c <= 'E')
            nibble = std::uint32_t(c - 'A' + 10);
        else
            nibble = std::uint32_t(c - 'a' + 10);
        const std::uint32_t shift = 28 - 4 * std::uint32_t(i);
        bits = (bits & ~(0xFu << shift)) | (nibble << shift);
    }
    return static_cast<std::int32_t>(bits);
}

} // namespace HToneDigits
