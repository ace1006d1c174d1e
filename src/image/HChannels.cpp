#include "HChannels.h"
#include "HFieldBits.h"
#include "HText.h"

#include "HLogPrint.h"

#include <algorithm>
#include <cstdio>
#include <limits>

using namespace HChannelTables;
using HChannelRules::Counts;

namespace {

inline constexpr std::array kChannelSignallingParts = {
    HGroupPart{kChannelSignallingRows, HFieldTableType::Plain}};
static_assert(HGroupPartIsSound(kChannelSignallingParts[0]));

constexpr std::size_t U(int i) {
    return static_cast<std::size_t>(i);
}

// How a double-click changes a channel field.
enum class Toggle : std::uint8_t { None, Flag, Three, Power, Signal, RxTone, TxTone };

constexpr std::array<Toggle, kFieldCount> MakeToggleTable() {
    std::array<Toggle, kFieldCount> t{};
    for (int k : {0, 1, 2, 3, 6, 7, 8, 9, 10, 15, 16, 19, 55, 56})
        t[U(k)] = Toggle::Flag;
    t[4] = Toggle::Three;
    t[11] = Toggle::Three;
    t[5] = Toggle::Power;
    t[20] = Toggle::Signal;
    t[67] = Toggle::RxTone;
    t[68] = Toggle::TxTone;
    return t;
}
constexpr std::array<Toggle, kFieldCount> kToggle = MakeToggleTable();

// Tone value a tone-type toggle starts from: none, CTCSS 67.0 Hz, DCS 023.
constexpr std::array<std::int32_t, 3> kToneStart = {0, 670, 19};

// Tuning-point interpolation: channel field -> tuning row (the power and
// bandwidth rows depend on fields 5 and 4 and are chosen in the code).
struct TuneMap {
    int field;
    std::size_t row;
};
constexpr std::array<TuneMap, 4> kRxTune = {{{61, 8}, {62, 7}, {63, 11}, {34, 13}}};
constexpr std::array<TuneMap, 6> kTxTune = {
    {{64, 10}, {65, 9}, {66, 12}, {41, 16}, {48, 15}, {49, 1}}};
constexpr std::size_t kTuneRowTx14 = 14;

// A word's three packed sub-fields (fields 61-63 of field 33, 64-66 of 40).
void UnpackWord(std::int32_t word, std::int32_t* out) {
    out[0] = (word >> 7) & 0x7;
    out[1] = (word >> 10) & 0x7;
    out[2] = (word >> 3) & 0xF;
}
std::int32_t PackWord(std::int32_t word, const std::int32_t* parts) {
    return (word & ~0x1FF8) + ((parts[0] & 0x7) << 7) + ((parts[1] & 0x7) << 10) +
           ((parts[2] & 0xF) << 3);
}

// "67.0" -> 670: whole tenths of Hz, further digits cut.
std::optional<std::int32_t> ParseTenths(std::string_view s) {
    s = HText::Trim(s, " ");
    std::int32_t whole = 0;
    int digits = 0;
    std::size_t i = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        if (++digits > 4)
            return std::nullopt;
        whole = whole * 10 + (s[i] - '0');
    }
    std::int32_t tenth = 0;
    if (i < s.size() && s[i] == '.') {
        ++i;
        bool first = true;
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
            if (first)
                tenth = s[i] - '0';
            first = false;
            ++digits;
        }
    }
    if (digits == 0 || i != s.size())
        return std::nullopt;
    return whole * 10 + tenth;
}

std::string DefaultTag(int c) {
    if (c == 0)
        return "-Orvane-";
    char buf[24];
    std::snprintf(buf, sizeof buf, "Chan-%03d", c + 1);
    return buf;
}

std::string CleanTag(std::string_view text) {
    std::string out;
    for (char ch : text.substr(0, 8)) {
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
        out.push_back(HFieldCoding::RadioTextFilter(ch));
    }
    return out;
}

template <std::size_t N>
std::span<const HFieldDescriptor> Rows(const std::array<HFieldDescriptor, N>& rows) {
    return rows;
}

// The channel and group areas as field tables over one image, placed once for
// loading (a read-only image) and saving (a writable one).
struct ChannelAreas {
    template <class Image>
    explicit ChannelAreas(Image image)
        : record(Rows(kChannelRecordRows), image), inUse(Rows(kInUseRows), image),
          flag56(Rows(kFlag56Rows), image), timer(Rows(kToneTimerRows), image),
          groupBytes(Rows(kGroupByteRows), image), groupFlags(Rows(kGroupFlagRows), image),
          groupTags(Rows(kGroupTagRows), image) {
        record.SetAreaBase(kChannelBase);
        record.SetRecordSize(kChannelRecordSize);
        record.SetPaging(kChannelsPerPage, kChannelPageGap);
        inUse.SetAreaBase(kInUseTableBase);
        inUse.SetBitRecordSize(1);
        flag56.SetAreaBase(kFlagTableBase);
        flag56.SetBitRecordSize(1);
        flag56.SetWordSwap(1);
        timer.SetAreaBase(kToneTimerBase);
        timer.SetRecordSize(kToneTimerRecordSize);
        groupBytes.SetRecordSize(1);
        groupFlags.SetBitRecordSize(1);
        groupTags.SetAreaBase(kGroupTagBase);
        groupTags.SetRecordSize(kGroupTagSize);
    }
    void SelectChannel(std::size_t c) {
        record.SelectRecord(c);
        inUse.SelectBitRecord(c);
        flag56.SelectBitRecord(c);
        timer.SelectRecord(c);
    }
    void SelectGroup(std::size_t g) {
        // The group bytes are word-swapped: group 0 is the second byte of its word.
        groupBytes.SelectRecord(g ^ 1U);
        groupFlags.SelectBitRecord(g);
        groupTags.SelectRecord(g);
    }

    HChannelFieldTable record, inUse, flag56, timer;
    HTagFieldTable groupBytes, groupFlags, groupTags;
};

// The number rows of the channel record (and of the tone timer bytes) as byte
// ranges, shifts and masks, worked out once: loading or saving 128 channels
// then reads and writes each value straight from the record's bytes rather
// than through a field table's virtual calls and address arithmetic for every
// value.
struct PackedRow {
    std::uint32_t first = 0; // first byte in the record
    std::uint32_t count = 0; // bytes, most significant first
    std::uint32_t shift = 0;
    std::uint32_t mask = 0; // in place
    std::uint32_t width = 0;
    bool signMagnitude = false;
    // The same bits within the four bytes from `first`.
    std::uint32_t windowShift = 0;
    std::uint32_t ones = 0;
};

template <std::size_t N>
constexpr std::array<PackedRow, N> MakePackedRows(const std::array<HFieldDescriptor, N>& table,
                                                  std::size_t n = N) {
    std::array<PackedRow, N> rows{};
    for (std::size_t k = 0; k < n; ++k) {
        const HFieldDescriptor& d = table[k];
        PackedRow& r = rows[k];
        r.first = d.byteOffset + d.bitShift / 8;
        r.shift = d.bitShift % 8;
        r.count = (d.bitWidth + r.shift + 7) / 8;
        r.ones = static_cast<std::uint32_t>((std::uint64_t(1) << d.bitWidth) - 1);
        r.mask = static_cast<std::uint32_t>(std::uint64_t(r.ones) << r.shift);
        r.width = d.bitWidth;
        r.signMagnitude = d.scaleMode == HScaleMode::Special5;
        r.windowShift = 32 - 8 * r.count + r.shift;
    }
    return rows;
}
constexpr std::array<PackedRow, kChannelRecordRows.size()> kPackedRows =
    MakePackedRows(kChannelRecordRows, kRecordFields);
constexpr std::array<PackedRow, kToneTimerRows.size()> kPackedTimerRows =
    MakePackedRows(kToneTimerRows);

// The direct path reads what the channel table reads only for rows that are
// plain big-endian numbers, or sign-magnitude ones narrower than 32 bits.
template <std::size_t N>
constexpr bool PackedRowsMatchTheTable(const std::array<HFieldDescriptor, N>& table,
                                       std::size_t n = N) {
    for (std::size_t k = 0; k < n; ++k) {
        const HFieldDescriptor& d = table[k];
        const bool plain = d.scaleMode == HScaleMode::None;
        const bool signMagnitude = d.scaleMode == HScaleMode::Special5 && d.bitWidth < 32;
        if (d.kind != HFieldKind::Number || d.invert || d.keepPosition || !d.bigEndian ||
            d.readOnly || !(plain || signMagnitude) || d.bitShift > 7 || d.bitWidth > 32 ||
            d.bitShift + d.bitWidth > 32)
            return false;
    }
    return true;
}
static_assert(PackedRowsMatchTheTable(kChannelRecordRows, kRecordFields));
static_assert(PackedRowsMatchTheTable(kToneTimerRows));

// The four bytes from each row's first byte lie inside the record, so a record
// that lies inside the image is read and written without a check per row.
constexpr bool WindowsInsideTheRecord() {
    for (std::size_t k = 0; k < kRecordFields; ++k)
        if (kPackedRows[k].first + 4 > kChannelRecordSize)
            return false;
    return true;
}
static_assert(WindowsInsideTheRecord());

// The sign-magnitude rows, converted after the plain read and before the write.
constexpr std::size_t kSignedRowCount = [] {
    std::size_t n = 0;
    for (std::size_t k = 0; k < kRecordFields; ++k)
        n += kPackedRows[k].signMagnitude ? 1 : 0;
    return n;
}();
constexpr std::array<std::size_t, kSignedRowCount> kSignedRows = [] {
    std::array<std::size_t, kSignedRowCount> rows{};
    std::size_t n = 0;
    for (std::size_t k = 0; k < kRecordFields; ++k)
        if (kPackedRows[k].signMagnitude)
            rows[n++] = k;
    return rows;
}();

bool RecordInImage(std::size_t imageSize, std::size_t base) {
    return base <= imageSize && kChannelRecordSize <= imageSize - base;
}

// A row of the record at base; -1 when it lies outside the image, as a table reads it.
std::int32_t ReadPacked(std::span<const std::uint8_t> image, std::size_t base, const PackedRow& r) {
    const std::size_t at = base + r.first;
    if (at > image.size() || r.count > image.size() - at)
        return -1;
    const auto raw = static_cast<std::uint32_t>(
        (HFieldBits::ReadBigEndian(&image[at], r.count) & r.mask) >> r.shift);
    return r.signMagnitude ? HFieldBits::FromSignMagnitude(raw, r.width)
                           : static_cast<std::int32_t>(raw);
}

// Only the row's bits change; a row outside the image is not written.
void WritePacked(std::span<std::uint8_t> image, std::size_t base, const PackedRow& r,
                 std::int32_t value) {
    const std::size_t at = base + r.first;
    if (at > image.size() || r.count > image.size() - at)
        return;
    const std::uint32_t raw = r.signMagnitude ? HFieldBits::ToSignMagnitude(value, r.width)
                                              : static_cast<std::uint32_t>(value);
    const std::uint64_t bits = std::uint64_t(raw) << r.shift;
    std::uint8_t* bytes = &image[at];
    const std::uint64_t was = HFieldBits::ReadBigEndian(bytes, r.count);
    HFieldBits::WriteBigEndian(bytes, r.count, (was & ~std::uint64_t(r.mask)) | (bits & r.mask));
}

// The record's number rows into values[0 .. kRecordFields - 1].
void ReadRecord(std::span<const std::uint8_t> image, std::size_t base, std::int32_t* values) {
    if (!RecordInImage(image.size(), base)) {
        for (std::size_t k = 0; k < kRecordFields; ++k)
            values[k] = ReadPacked(image, base, kPackedRows[k]);
        return;
    }
    const std::uint8_t* record = &image[base];
    const PackedRow* r = kPackedRows.data();
    for (std::int32_t* v = values; v != values + kRecordFields; ++v, ++r)
        *v = static_cast<std::int32_t>(
            (HFieldBits::ReadBigEndian32(record + r->first) >> r->windowShift) & r->ones);
    for (std::size_t k : kSignedRows)
        values[k] = HFieldBits::FromSignMagnitude(static_cast<std::uint32_t>(values[k]),
                                                  kPackedRows[k].width);
}

void PutWindow(std::uint8_t* record, const PackedRow& r, std::uint32_t raw) {
    const std::uint32_t mask = r.ones << r.windowShift;
    const std::uint32_t window = HFieldBits::ReadBigEndian32(record + r.first);
    HFieldBits::WriteBigEndian32(record + r.first,
                                 (window & ~mask) | ((raw << r.windowShift) & mask));
}

void WriteRecord(std::span<std::uint8_t> image, std::size_t base, const std::int32_t* values) {
    if (!RecordInImage(image.size(), base)) {
        for (std::size_t k = 0; k < kRecordFields; ++k)
            WritePacked(image, base, kPackedRows[k], values[k]);
        return;
    }
    std::uint8_t* record = &image[base];
    const PackedRow* r = kPackedRows.data();
    for (const std::int32_t* v = values; v != values + kRecordFields; ++v, ++r)
        PutWindow(record, *r, static_cast<std::uint32_t>(*v));
    // The sign-magnitude rows written again over their plain bits.
    for (std::size_t k : kSignedRows)
        PutWindow(record, kPackedRows[k],
                  HFieldBits::ToSignMagnitude(values[k], kPackedRows[k].width));
}

} // namespace

// Every tuning row's samples, read from the tuning points once per save. The
// points' frequencies are the same in every row, so the pair a frequency falls
// between is found once for all of a channel's rows.
struct HChannels::TuningTable {
    using Samples = std::array<HChannelRules::TuningSample, HMemoryMap::kTuningPoints>;
    std::array<Samples, HMemoryMap::kTuningPointRows.size()> rows{};

    // Channels often share a frequency (both sides of a simplex channel, the
    // band default of unused ones): the last search is kept.
    [[nodiscard]] int Pair(std::int64_t hz) const {
        if (!m_searched || hz != m_lastHz) {
            m_lastPair = HChannelRules::InterpolationPair(rows[0], hz);
            m_lastHz = hz;
            m_searched = true;
        }
        return m_lastPair;
    }
    [[nodiscard]] std::int32_t Value(std::size_t row, int pair, std::int64_t hz) const {
        const Samples& pts = rows[row];
        if (pair < 0)
            return pts[15].value;
        const auto i = static_cast<std::size_t>(pair);
        return HChannelRules::InterpolateBetween(pts[i], pts[i + 1], hz);
    }

private:
    mutable bool m_searched = false;
    mutable std::int64_t m_lastHz = 0;
    mutable int m_lastPair = -1;
};

HChannelSignalling::HChannelSignalling() : HSettingsGroup(kChannelSignallingParts) {}

HChannels::HChannels() {
    for (std::size_t c = 0; c < m_channels.size(); ++c)
        m_channels[c].index = static_cast<int>(c);
    for (std::size_t g = 0; g < m_groups.size(); ++g)
        m_groups[g].index = static_cast<int>(g);
    SetDefaults();
}

// ------------------------------------------------------------ defaults, load, save

void HChannels::DefaultChannel(HChannel& ch) const {
    ch.values.fill(0);
    for (int k = 0; k < kRecordFields; ++k)
        ch.values[U(k)] = kChannelRecordRows[U(k)].defaultValue;
    ch.values[kFieldInUse] = kInUseRows[0].defaultValue;
    ch.values[kFieldScan] = kFlag56Rows[0].defaultValue;
    ch.values[kFieldTonePrescaler] = kToneTimerRows[0].defaultValue;
    ch.values[kFieldToneDivider] = kToneTimerRows[1].defaultValue;
    ch.tag = DefaultTag(ch.index);
    // A default channel has no programmed frequency (its count words stay 0);
    // the rest is derived from the row defaults as after a load.
    DeriveAfterLoad(ch, Counting());
    ch.values[kFieldRxFrequency] = 0;
    ch.values[kFieldTxFrequency] = 0;
}

void HChannels::SetDefaults() {
    m_identity.fill(0);
    // Every default channel has the same values (none depends on the index);
    // only the tags differ. Deriving them once keeps construction cheap.
    HChannel prototype;
    DefaultChannel(prototype);
    for (HChannel& ch : m_channels) {
        ch.values = prototype.values;
        ch.tag = DefaultTag(ch.index);
    }
    for (HGroup& grp : m_groups) {
        grp.values.fill(0);
        grp.values[kGroupChannels] = kGroupByteRows[0].defaultValue;
        grp.values[kGroupPriority] = kGroupByteRows[1].defaultValue;
        grp.values[kGroupStart] = kGroupByteRows[2].defaultValue;
        for (int f = 0; f < 3; ++f)
            grp.values[U(kGroupFlag3 + f)] = kGroupFlagRows[U(f)].defaultValue;
        char buf[24];
        std::snprintf(buf, sizeof buf, "GROUP%03d", grp.index + 1);
        grp.tag = buf;
    }
    m_tuningPoints.SetDefaults();
    UpdateCapacity();
    NormalizeGroups();
}

void HChannels::UpdateCapacity() {
    const std::int32_t display = m_hardware.GetValue(HHardwareGroup::kRowProductType) != 0
                                     ? m_hardware.GetValue(HHardwareGroup::kRowDisplayHandheld)
                                     : m_hardware.GetValue(HHardwareGroup::kRowDisplayMobile);
    m_capacity = display != 0 ? static_cast<int>(kChannelCount) : 8;
    m_groupCount = display != 0 ? static_cast<int>(kGroupCount) : 1;
}

void HChannels::DeriveAfterLoad(HChannel& ch, const HChannelRules::CountContext& counting) const {
    auto& v = ch.values;
    // Counts from a damaged image can name frequencies beyond the 32-bit values
    // of a channel: they are held at the limit rather than wrapped round.
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    v[kFieldRxFrequency] =
        static_cast<std::int32_t>(std::clamp(FrequencyOf(ch, 0, counting), kMin, kMax));
    v[kFieldTxFrequency] =
        static_cast<std::int32_t>(std::clamp(FrequencyOf(ch, 1, counting), kMin, kMax));
    // The signalling number is shown from 1; a Page number past 10 is none.
    if (v[kFieldSignalKind] >= 2) {
        ++v[kFieldSignalNumber];
        if (v[kFieldSignalKind] == 3 && v[kFieldSignalNumber] > 10)
            v[kFieldSignalNumber] = 0;
    } else if (v[kFieldSignalKind] == 0) {
        v[kFieldSignalNumber] = 0;
    }
    v[kFieldRxToneType] = v[kFieldRxToneOn] ? v[kFieldRxToneDcs] + 1 : 0;
    v[kFieldTxToneType] = v[kFieldTxToneOn] ? v[kFieldTxToneDcs] + 1 : 0;
    UnpackWord(v[kFieldRxWord], &v[kFieldRxWordA]);
    UnpackWord(v[kFieldTxWord], &v[kFieldTxWordA]);
}

void HChannels::Load(std::span<const std::uint8_t> imageBytes) {
    const HReadOnlyImage image{imageBytes};
    m_hardware.Load(imageBytes);
    m_signalling.Load(imageBytes);
    HSettingsGroup identity(HMemoryMap::kIdentityParts);
    identity.Load(imageBytes);
    for (std::size_t i = 0; i < HMemoryMap::kIdentityRows.size(); ++i)
        m_identity[i] = identity.GetValue(i);
    // The tenth identity value has no place in the image and keeps its value.
    UpdateCapacity();

    const HChannelRules::CountContext counting = Counting();
    ChannelAreas a(image);
    for (HChannel& ch : m_channels) {
        a.SelectChannel(U(ch.index));
        ch.values.fill(0);
        ReadRecord(imageBytes, a.record.ByteBase(), ch.values.data());
        ch.tag = a.record.GetString(kFieldTag);
        ch.values[kFieldInUse] = a.inUse.GetValue(0);
        ch.values[kFieldScan] = a.flag56.GetValue(0);
        ch.values[kFieldTonePrescaler] =
            ReadPacked(imageBytes, a.timer.ByteBase(), kPackedTimerRows[0]);
        ch.values[kFieldToneDivider] =
            ReadPacked(imageBytes, a.timer.ByteBase(), kPackedTimerRows[1]);
        DeriveAfterLoad(ch, counting);
    }
    for (HGroup& grp : m_groups) {
        a.SelectGroup(U(grp.index));
        grp.values.fill(0);
        for (std::size_t r = 0; r < kGroupByteRows.size(); ++r)
            grp.values[r] = a.groupBytes.GetValue(r);
        for (std::size_t r = 0; r < kGroupFlagRows.size(); ++r)
            grp.values[kGroupFlag3 + r] = a.groupFlags.GetValue(r);
        grp.tag = a.groupTags.GetString(0);
    }
    NormalizeGroups();
    m_tuningPoints.Load(imageBytes);
    m_identity[1] = 0;
    m_identity[2] = 0;
}

std::array<std::int32_t, kFieldCount> HChannels::StoredValues(const HChannel& ch) const {
    auto v = ch.values;
    const HChannelRules::CountContext ctx = Counting();
    // A field held at the top of its 32 bits stands for counts that name
    // more (DeriveAfterLoad): those counts stay as they are, so a channel
    // left alone reaches the radio as it was rather than moved to the limit.
    const auto encode = [&](int which, int field, int high, int low, int word) {
        constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
        if (v[U(field)] == kMax && FrequencyOf(ch, which, ctx) > kMax)
            return;
        const Counts n = HChannelRules::EncodeFrequency(
            v[U(field)], which == 0, v[which == 0 ? kFieldRxStep : kFieldTxStep], ctx);
        v[U(high)] = n.high;
        v[U(low)] = n.low;
        v[U(word)] = n.word;
    };
    encode(0, kFieldRxFrequency, kFieldRxCountHigh, kFieldRxCountLow, kFieldRxCountWord);
    encode(1, kFieldTxFrequency, kFieldTxCountHigh, kFieldTxCountLow, kFieldTxCountWord);

    v[kFieldRxToneOn] = v[kFieldRxToneType] != 0 ? 1 : 0;
    v[kFieldRxToneDcs] = v[kFieldRxToneType] != 0 ? v[kFieldRxToneType] - 1 : 0;
    v[kFieldTxToneOn] = v[kFieldTxToneType] != 0 ? 1 : 0;
    v[kFieldTxToneDcs] = v[kFieldTxToneType] != 0 ? v[kFieldTxToneType] - 1 : 0;

    if (v[kFieldSignalNumber] == 0)
        v[kFieldSignalKind] = 0;
    if (v[kFieldSignalKind] > 1) {
        if (v[kFieldSignalNumber] != 0)
            --v[kFieldSignalNumber];
        if (v[kFieldSignalKind] == 3 && v[kFieldSignalNumber] > 9)
            v[kFieldSignalNumber] = 0;
    }
    v[kFieldRxWord] = PackWord(v[kFieldRxWord], &v[kFieldRxWordA]);
    v[kFieldTxWord] = PackWord(v[kFieldTxWord], &v[kFieldTxWordA]);
    return v;
}

void HChannels::Save(std::span<std::uint8_t> image) {
    m_identity[1] = 0;
    m_identity[2] = 0;
    NormalizeGroups();
    DisableChannels(UsedChannels(), static_cast<int>(kChannelCount));

    HSettingsGroup identity(HMemoryMap::kIdentityParts);
    for (std::size_t i = 0; i < HMemoryMap::kIdentityRows.size(); ++i)
        identity.SetValue(i, m_identity[i]);
    identity.Save(image); // read-only rows stay as they are

    const TuningTable tuning = MakeTuningTable();
    ChannelAreas a(image);
    for (HChannel& ch : m_channels) {
        RecomputeDerived(ch, tuning);
        const auto v = StoredValues(ch);
        a.SelectChannel(U(ch.index));
        WriteRecord(image, a.record.ByteBase(), v.data());
        a.record.SetString(kFieldTag, ch.tag);
        a.inUse.SetValue(0, v[kFieldInUse]);
        a.flag56.SetValue(0, v[kFieldScan]);
        WritePacked(image, a.timer.ByteBase(), kPackedTimerRows[0], v[kFieldTonePrescaler]);
        WritePacked(image, a.timer.ByteBase(), kPackedTimerRows[1], v[kFieldToneDivider]);
    }
    for (const HGroup& grp : m_groups) {
        a.SelectGroup(U(grp.index));
        for (std::size_t r = 0; r < kGroupByteRows.size(); ++r)
            a.groupBytes.SetValue(r, grp.values[r]);
        for (std::size_t r = 0; r < kGroupFlagRows.size(); ++r)
            a.groupFlags.SetValue(r, grp.values[kGroupFlag3 + r]);
        a.groupTags.SetString(0, grp.tag);
    }
}

void HChannels::TakeFrequencies(const HChannels& other) {
    auto from = other.m_channels.begin();
    for (HChannel& ch : m_channels) {
        ch.values[kFieldRxFrequency] = from->values[kFieldRxFrequency];
        ch.values[kFieldTxFrequency] = from->values[kFieldTxFrequency];
        ++from;
    }
}

// ------------------------------------------------------------ derived values

HChannelRules::CountContext HChannels::Counting() const {
    HChannelRules::CountContext ctx;
    ctx.band = m_hardware.GetValue(HHardwareGroup::kRowBand);
    ctx.stepSet = m_hardware.GetValue(HHardwareGroup::kRowStepSet);
    ctx.localOffset = m_hardware.GetValue(HHardwareGroup::kRowLocalOffset);
    ctx.ifHz = static_cast<std::int64_t>(m_hardware.GetRow(HHardwareGroup::kRowFirstIf)) *
               HHardwareGroup::kFrequencyUnit;
    return ctx;
}

std::int64_t HChannels::FrequencyOf(const HChannel& ch, int which,
                                    const HChannelRules::CountContext& counting) const {
    const auto& v = ch.values;
    const bool rx = which == 0;
    const Counts counts{rx ? v[kFieldRxCountHigh] : v[kFieldTxCountHigh],
                        rx ? v[kFieldRxCountLow] : v[kFieldTxCountLow],
                        rx ? v[kFieldRxCountWord] : v[kFieldTxCountWord]};
    return HChannelRules::DecodeFrequency(counts, rx, rx ? v[kFieldRxStep] : v[kFieldTxStep],
                                          counting);
}

HChannels::TuningTable HChannels::MakeTuningTable() const {
    TuningTable t;
    for (std::size_t i = 0; i < HMemoryMap::kTuningPoints; ++i) {
        const std::span<const std::int32_t> point = m_tuningPoints.PointRows(i);
        const auto at = [&](std::size_t row) { return row < point.size() ? point[row] : -1; };
        for (std::size_t row = 0; row < t.rows.size(); ++row)
            t.rows[row][i] = {at(0), at(row)};
    }
    return t;
}

void HChannels::RecomputeTuningByte(HChannel& ch) const {
    ch.values[kFieldTuningByte] = HChannelRules::TuningByte(
        ch.values[kFieldRxFrequency], m_identity[3], m_identity[4], m_identity[5], m_identity[6]);
}

void HChannels::RecomputeDerived(HChannel& ch, const TuningTable& tuning) const {
    auto& v = ch.values;
    if (v[kFieldKeepTuningByte] == 0)
        RecomputeTuningByte(ch);
    if (v[kFieldKeepTuningPoints] == 0) {
        const std::int64_t rx = v[kFieldRxFrequency];
        const std::int64_t tx = v[kFieldTxFrequency];
        const int rxPair = tuning.Pair(rx);
        const int txPair = tuning.Pair(tx);
        for (const TuneMap& m : kRxTune)
            v[U(m.field)] = tuning.Value(m.row, rxPair, rx);
        for (const TuneMap& m : kTxTune)
            v[U(m.field)] = tuning.Value(m.row, txPair, tx);
        const std::int32_t power = v[kFieldPowerLevel];
        v[kFieldTxTunePower] = tuning.Value(power == 0 ? 2 : power == 1 ? 3 : 4, txPair, tx);
        v[kFieldTxTuneWidth] = tuning.Value(v[kFieldBandwidth] != 0 ? 5 : 6, txPair, tx);
        v[kFieldTxTune14] = tuning.Value(kTuneRowTx14, txPair, tx);
    }
    if (v[kFieldTxToneType] == 1) {
        const HChannelRules::ToneTimer t = HChannelRules::ToneTimerBytes(v[kFieldTxTone]);
        v[kFieldTonePrescaler] = t.prescaler;
        v[kFieldToneDivider] = t.divider;
    } else {
        v[kFieldTonePrescaler] = 0xFF;
        v[kFieldToneDivider] = 0xFF;
    }
}

// ------------------------------------------------------------ channels

std::int32_t HChannels::GetField(int c, int k) const {
    if (!ValidChannel(c) || k < 0 || k >= kFieldCount || k == kFieldTag)
        return -1;
    return m_channels[U(c)].values[U(k)];
}

void HChannels::SetField(int c, int k, std::int32_t value) {
    if (!ValidChannel(c) || k < 0 || k >= kFieldCount || k == kFieldTag)
        return;
    HChannel& ch = m_channels[U(c)];
    ch.values[U(k)] = value;
    // The packed words and their parts must agree, or a save would undo the write.
    if (k == kFieldRxWord)
        UnpackWord(value, &ch.values[kFieldRxWordA]);
    else if (k == kFieldTxWord)
        UnpackWord(value, &ch.values[kFieldTxWordA]);
}

std::string HChannels::GetTag(int c) const {
    return ValidChannel(c) ? m_channels[U(c)].tag : std::string();
}

void HChannels::SetTag(int c, std::string_view text) {
    if (ValidChannel(c))
        m_channels[U(c)].tag = CleanTag(text);
}

bool HChannels::IsChannelEnabled(int c) const {
    return ValidChannel(c) && m_channels[U(c)].values[kFieldInUse] != 0;
}

void HChannels::DisableChannels(int from, int to) {
    from = std::max(from, 0);
    to = std::min(to, static_cast<int>(kChannelCount));
    for (int c = from; c < to; ++c)
        m_channels[U(c)].values[kFieldInUse] = 0;
}

bool HChannels::ToggleField(int c, int k) {
    if (!ValidChannel(c) || k < 0 || k >= kFieldCount)
        return false;
    auto& v = m_channels[U(c)].values;
    std::int32_t& x = v[U(k)];
    switch (kToggle[U(k)]) {
    case Toggle::None:
        return false;
    case Toggle::Flag:
        x = x != 0 ? 0 : 1;
        break;
    case Toggle::Three:
        x = (x >= 0 && x < 2) ? x + 1 : 0;
        break;
    case Toggle::Power:
        if (m_hardware.GetValue(HHardwareGroup::kRowProductType) == 0)
            x = x == 0 ? 1 : 0;
        else
            x = (x >= 0 && x < 2) ? x + 1 : 0;
        break;
    case Toggle::Signal: {
        std::int32_t next = (x >= 0 && x < 3) ? x + 1 : 0;
        if (next == 1 && m_identity[9] != 10 && m_identity[9] != 11)
            next = 2;
        x = next;
        v[kFieldSignalNumber] = 0;
        break;
    }
    case Toggle::RxTone:
        x = (x >= 0 && x < 2) ? x + 1 : 0;
        v[kFieldRxTone] = kToneStart[U(x)];
        v[kFieldRxToneInverted] = 0;
        break;
    case Toggle::TxTone:
        x = (x >= 0 && x < 2) ? x + 1 : 0;
        v[kFieldTxTone] = kToneStart[U(x)];
        v[kFieldTxToneFlagB] = 0;
        v[kFieldTxToneFlagI] = 0;
        v[kFieldRxToneType] = x;
        v[kFieldRxTone] = v[kFieldTxTone];
        v[kFieldRxToneInverted] = 0;
        break;
    }
    return true;
}

HFrequencyStore HChannels::StoreFrequency(HChannel& ch, int which, std::int64_t hz) {
    HFrequencyStore r;
    r.requestedHz = hz;
    r.lowHz = m_hardware.GetValue(HHardwareGroup::kRowBandLow);
    r.highHz = m_hardware.GetValue(HHardwareGroup::kRowBandHigh);
    if (hz < r.lowHz) {
        hz = r.lowHz;
        r.bandLimit = -1;
    }
    if (hz > r.highHz) {
        hz = r.highHz;
        r.bandLimit = +1;
    }
    auto& v = ch.values;
    const int stepField = which == 0 ? kFieldRxStep : kFieldTxStep;
    if (hz != 0) {
        const int set = m_hardware.GetValue(HHardwareGroup::kRowStepSet);
        HChannelRules::StepChoice sc = HChannelRules::ChooseStep(hz, set);
        // Raising to a step must not leave the band: take the step below instead.
        if (sc.hz > r.highHz && sc.hz - HChannelRules::StepHz(sc.stepCode, set) >= r.lowHz)
            sc.hz -= HChannelRules::StepHz(sc.stepCode, set);
        v[U(stepField)] = sc.stepCode;
        r.movedToStep = sc.hz != hz;
        hz = sc.hz;
    }
    r.stepHz =
        HChannelRules::StepHz(v[U(stepField)], m_hardware.GetValue(HHardwareGroup::kRowStepSet));
    v[which == 0 ? kFieldRxFrequency : kFieldTxFrequency] = static_cast<std::int32_t>(hz);
    r.storedHz = v[which == 0 ? kFieldRxFrequency : kFieldTxFrequency];
    if (which == 0 && v[kFieldKeepTuningByte] == 0)
        RecomputeTuningByte(ch);
    return r;
}

void HChannels::SetFrequency(int c, int which, std::int64_t hz) {
    if (ValidChannel(c) && (which == 0 || which == 1))
        StoreFrequency(m_channels[U(c)], which, hz);
}

std::int64_t HChannels::GetFrequency(int c, int which) const {
    if (!ValidChannel(c) || (which != 0 && which != 1))
        return -1;
    return FrequencyOf(m_channels[U(c)], which, Counting());
}

bool HChannels::ParseTone(HChannel& ch, bool transmit, std::string_view text,
                          HCellParseReport* report) {
    auto& v = ch.values;
    const int typeField = transmit ? kFieldTxToneType : kFieldRxToneType;
    const int valueField = transmit ? kFieldTxTone : kFieldRxTone;
    if (text.starts_with("-----")) {
        v[U(typeField)] = 0;
        v[U(valueField)] = 0;
        return true;
    }
    if (text.starts_with("C-")) {
        std::optional<std::int32_t> tenths = ParseTenths(text.substr(2));
        if (!tenths)
            return false;
        v[U(typeField)] = 1;
        v[U(valueField)] = std::clamp(*tenths, 670, 2541);
        if (report)
            report->toneTyped = *tenths;
        return true;
    }
    if (!text.starts_with("D-"))
        return false;
    const std::string_view rest = text.substr(2);
    const std::string_view stops = transmit ? "NIB" : "NI";
    const std::size_t stop = rest.find_first_of(stops);
    std::string_view code = HText::Trim(rest.substr(0, std::min<std::size_t>(stop, 3)), " ");
    if (code.empty() || code.find_first_not_of("01234567") != std::string_view::npos)
        return false;
    std::int32_t octal = 0;
    for (char d : code)
        octal = octal * 8 + (d - '0');
    const bool inverted = rest.find('I', 1) != std::string_view::npos;
    v[U(typeField)] = 2;
    v[U(valueField)] = octal;
    if (transmit) {
        v[kFieldTxToneFlagI] = inverted ? 1 : 0;
        v[kFieldTxToneFlagB] = rest.find('B', 1) != std::string_view::npos ? 1 : 0;
    } else {
        v[kFieldRxToneInverted] = inverted ? 1 : 0;
    }
    return true;
}

bool HChannels::ParseCellText(int c, int field, std::string_view text, HCellParseReport* report) {
    HCellParseReport ignored;
    if (!report)
        report = &ignored;
    *report = {};
    if (!ValidChannel(c))
        return false;
    HChannel& ch = m_channels[U(c)];
    switch (field) {
    case kFieldTag:
        ch.tag = CleanTag(text);
        return true;
    case kFieldRxFrequency:
    case kFieldTxFrequency: {
        const std::string s(text);
        const std::optional<std::int64_t> hz = HChannelRules::ParseMHz(s.c_str());
        if (!hz)
            return false;
        report->txBeforeHz = ch.values[kFieldTxFrequency];
        if (field == kFieldRxFrequency) {
            report->typed = StoreFrequency(ch, 0, *hz);
            ch.values[kFieldKeepTuningByte] = 0;
            RecomputeTuningByte(ch);
            report->followedTx = StoreFrequency(
                ch, 1, static_cast<std::int64_t>(ch.values[kFieldRxFrequency]) + m_identity[0]);
        } else {
            report->typed = StoreFrequency(ch, 1, *hz);
        }
        ch.values[kFieldKeepTuningPoints] = 0;
        return true;
    }
    case kFieldRxToneType:
        return ParseTone(ch, false, text, report);
    case kFieldTxToneType:
        return ParseTone(ch, true, text, report);
    default:
        return false;
    }
}

bool HChannels::GetParentGroupNum(int c, int& group) const {
    HLOG_D1("[IN]GetParentGroupNum[Channel%d]", c);
    if (!IsChannelEnabled(c)) {
        HLOG_D1("[OUT]GetParentGroupNum[Group%d][RETURN%d]", -1, 0);
        return false;
    }
    HLOG_D1("[OUT]GetParentGroupNum [%d:]ChannelIsEnable", c);
    int sum = 0;
    for (const HGroup& grp : m_groups) {
        sum += grp.values[kGroupChannels];
        if (sum > c) {
            group = grp.index;
            const bool inUse = grp.values[kGroupInUse] != 0;
            HLOG_D1("[OUT]GetParentGroupNum[Group%d][RETURN%d]", group, inUse ? 1 : 0);
            return inUse;
        }
    }
    HLOG_D1("[OUT]GetParentGroupNum[Group%d][RETURN%d]", -1, 0);
    return false;
}

// ------------------------------------------------------------ groups

std::int32_t HChannels::GetGroupValue(int g, int k) const {
    if (!ValidGroup(g) || k < 0 || k >= kGroupValueCount || k == kGroupTag)
        return -1;
    return m_groups[U(g)].values[U(k)];
}

void HChannels::SetGroupValue(int g, int k, std::int32_t value) {
    if (!ValidGroup(g) || k < 0 || k >= kGroupValueCount || k == kGroupTag)
        return;
    auto& v = m_groups[U(g)].values;
    if (k == kGroupScanMode) {
        v[kGroupFlag3] = value & 1;
        v[kGroupFlag5] = (value >> 1) & 1;
    } else {
        v[U(k)] = value;
    }
    v[kGroupScanMode] = (v[kGroupFlag3] != 0 ? 1 : 0) + (v[kGroupFlag5] != 0 ? 2 : 0);
}

std::string HChannels::GetGroupTag(int g) const {
    return ValidGroup(g) ? m_groups[U(g)].tag : std::string();
}

void HChannels::SetGroupTag(int g, std::string_view text) {
    if (ValidGroup(g))
        m_groups[U(g)].tag = std::string(text.substr(0, kGroupTagSize));
}

int HChannels::FirstChannelOfGroup(int g) const {
    if (!ValidGroup(g))
        return -1;
    int first = 0;
    for (int h = 0; h < g; ++h)
        first += m_groups[U(h)].values[kGroupChannels];
    return first;
}

int HChannels::PriorityChannelOfGroup(int g) const {
    if (!ValidGroup(g) || m_groups[U(g)].values[kGroupPriority] == kNoPriority)
        return -1;
    return FirstChannelOfGroup(g) + m_groups[U(g)].values[kGroupPriority];
}

bool HChannels::HasEnabledChannel(int g) const {
    if (!ValidGroup(g))
        return false;
    const int first = FirstChannelOfGroup(g);
    for (int c = first; c < first + m_groups[U(g)].values[kGroupChannels]; ++c)
        if (IsChannelEnabled(c))
            return true;
    return false;
}

int HChannels::NextGroupInUse(int g) const {
    if (m_groupCount <= 0)
        return g;
    for (int i = 1; i <= m_groupCount; ++i) {
        const int h = ((g + i) % m_groupCount + m_groupCount) % m_groupCount;
        if (m_groups[U(h)].values[kGroupInUse] != 0)
            return h;
    }
    return g;
}

int HChannels::UsedChannels() const {
    int sum = 0;
    for (int g = 0; g < m_groupCount; ++g)
        sum += m_groups[U(g)].values[kGroupChannels];
    return sum;
}

int HChannels::FreeChannels() const {
    return m_capacity - UsedChannels();
}

void HChannels::ClearGroup(HGroup& grp) const {
    grp.values[kGroupChannels] = 0;
    grp.values[kGroupPriority] = kNoPriority;
    for (int k = kGroupStart; k <= kGroupFlag5; ++k)
        grp.values[U(k)] = 0;
    grp.values[kGroupScanMode] = 0;
}

void HChannels::NormalizeGroups() {
    for (HGroup& grp : m_groups) {
        if (grp.index >= m_groupCount)
            ClearGroup(grp);
        grp.values[kGroupChannels] = std::clamp(grp.values[kGroupChannels], 0, m_capacity);
    }
    int total = 0;
    for (HGroup& grp : m_groups) {
        if (total + grp.values[kGroupChannels] > m_capacity)
            grp.values[kGroupChannels] = m_capacity - total;
        total += grp.values[kGroupChannels];
    }
    if (total == 0)
        m_groups[0].values[kGroupChannels] = m_capacity;

    for (HGroup& grp : m_groups) {
        auto& v = grp.values;
        const int first = FirstChannelOfGroup(grp.index);
        const int count = v[kGroupChannels];
        // A priority or start index past the group's end names a channel of
        // another group: treated as not in use.
        const int prio = v[kGroupPriority];
        if (prio != kNoPriority && (prio < 0 || prio >= count || !IsChannelEnabled(first + prio)))
            v[kGroupPriority] = kNoPriority;
        v[kGroupInUse] = count != 0 ? 1 : 0;
        if (v[kGroupInUse] != 0) {
            const int start = v[kGroupStart];
            if (start < 0 || start >= count || !IsChannelEnabled(first + start)) {
                v[kGroupStart] = 0;
                for (int i = 0; i < count; ++i) {
                    if (IsChannelEnabled(first + i)) {
                        v[kGroupStart] = i;
                        break;
                    }
                }
            }
        } else {
            v[kGroupStart] = 0;
        }
        v[kGroupScanMode] = (v[kGroupFlag3] != 0 ? 1 : 0) + (v[kGroupFlag5] != 0 ? 2 : 0);
    }
}

std::optional<HPriorityChange> HChannels::SetPriorityChannel(int c, int g) {
    if (!ValidGroup(g))
        return std::nullopt;
    const int first = FirstChannelOfGroup(g);
    auto& v = m_groups[U(g)].values;
    if (c < first || c >= first + v[kGroupChannels])
        return std::nullopt;
    HPriorityChange old;
    old.oldPriority = v[kGroupPriority];
    old.oldChannel = old.oldPriority == kNoPriority ? -1 : first + old.oldPriority;
    v[kGroupPriority] = c - first;
    return old;
}

void HChannels::TruncateGroups(int g) {
    if (g < 0 || g > static_cast<int>(kGroupCount))
        return;
    bool usedBefore = false;
    for (int h = 0; h < g; ++h)
        usedBefore = usedBefore || m_groups[U(h)].values[kGroupInUse] != 0;
    if (!usedBefore) {
        for (int h = g; h < static_cast<int>(kGroupCount); ++h) {
            if (m_groups[U(h)].values[kGroupInUse] != 0) {
                if (h != 0) {
                    m_groups[0].values = m_groups[U(h)].values;
                    m_groups[0].tag = m_groups[U(h)].tag;
                }
                break;
            }
        }
    }
    for (int h = g; h < m_groupCount; ++h)
        ClearGroup(m_groups[U(h)]);
    NormalizeGroups();
}

// ------------------------------------------------------------ identity, Hardware

std::int32_t HChannels::GetIdentityValue(int i) const {
    return i >= 0 && i < kIdentityValues ? m_identity[U(i)] : -1;
}

void HChannels::SetIdentityValue(int i, std::int32_t value) {
    if (i >= 0 && i < kIdentityValues)
        m_identity[U(i)] = value;
}

std::int32_t HChannels::GetHardwareValue(std::size_t row) const {
    return m_hardware.GetValue(row);
}

void HChannels::SetHardwareValue(std::size_t row, std::int32_t value) {
    m_hardware.SetValue(row, value);
    const int before = m_capacity;
    UpdateCapacity();
    if (before != m_capacity)
        NormalizeGroups();
}
