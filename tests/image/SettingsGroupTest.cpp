// Settings groups over the memory map: worked examples and the load/save
// property over random images.
#include "HCommonGroups.h"
#include "HFiveToneGroups.h"
#include "HHardwareGroup.h"
#include "HMemoryImage.h"
#include "HMemoryMap.h"
#include "HOptionGroup.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct NamedGroup {
    std::string name;
    std::function<std::unique_ptr<HSettingsGroup>()> make;
};

std::vector<NamedGroup> AllGroups() {
    return {
        {"Hardware", [] { return std::make_unique<HHardwareGroup>(); }},
        {"Option", [] { return std::make_unique<HOptionGroup>(); }},
        {"Scanning", [] { return std::make_unique<HScanningGroup>(); }},
        {"PowerSaving", [] { return std::make_unique<HPowerSavingGroup>(); }},
        {"FrontPanel", [] { return std::make_unique<HFrontPanelGroup>(); }},
        {"KeyFunction", [] { return std::make_unique<HKeyFunctionGroup>(); }},
        {"Miscellaneous", [] { return std::make_unique<HMiscellaneousGroup>(); }},
        {"Marketing", [] { return std::make_unique<HMarketingGroup>(); }},
        {"PowerOnPassword", [] { return std::make_unique<HPowerOnPasswordGroup>(); }},
        {"ProgrammingPassword", [] { return std::make_unique<HProgrammingPasswordGroup>(); }},
        {"Emergency", [] { return std::make_unique<HEmergencyGroup>(); }},
        {"DirectChannel", [] { return std::make_unique<HDirectChannelGroup>(); }},
        {"DsubChannelSwitch", [] { return std::make_unique<HDsubChannelSwitchGroup>(); }},
        {"DsubPortLines", [] { return std::make_unique<HDsubPortLinesGroup>(); }},
        {"TuningPoints", [] { return std::make_unique<HTuningPointsGroup>(); }},
        {"Identity", [] { return std::make_unique<HSettingsGroup>(HMemoryMap::kIdentityParts); }},
        {"FiveToneCommon1", [] { return std::make_unique<HFiveToneCommon1Group>(); }},
        {"FiveToneCommon2", [] { return std::make_unique<HFiveToneCommon2Group>(); }},
        {"FiveToneTable", [] { return std::make_unique<HFiveToneTable>(); }},
        {"FiveToneSystem", [] { return std::make_unique<HFiveToneSystemGroup>(); }},
        {"FiveToneDecode", [] { return std::make_unique<HFiveToneDecodeGroup>(); }},
        {"FiveToneEncode", [] { return std::make_unique<HFiveToneEncodeGroup>(); }},
    };
}

// The bits that a group's Save may change: every writable row of every record.
HMemoryImage WritableBits(const HSettingsGroup& group) {
    HMemoryImage mask{};
    HMemoryImage scratch{};
    for (const HGroupPart& part : group.Parts()) {
        HRecordFieldTable t(part.rows, scratch);
        t.SetAreaBase(part.areaBase);
        t.SetRecordSize(part.recordSize);
        for (std::uint32_t r = 0; r < part.Records(); ++r) {
            if (part.recordCount != 0)
                t.SelectRecord(r);
            for (std::uint32_t k = 0; k < part.WalkedRows(); ++k) {
                const std::size_t row = part.firstRow + k;
                const HFieldDescriptor& d = part.rows[row];
                if (d.readOnly)
                    continue;
                if (d.kind == HFieldKind::Text) {
                    const std::size_t start = t.ByteBase() + d.byteOffset;
                    const bool lowFirst = part.tableType == HFieldTableType::Digit ||
                                          part.tableType == HFieldTableType::Emergency;
                    if (lowFirst) {
                        mask[start] |= 0x0F;
                        for (std::size_t b = 1; b <= d.bitWidth / 2; ++b)
                            mask[start + b] = 0xFF;
                    } else {
                        for (std::size_t b = 0; b < d.bitWidth; ++b)
                            mask[start + b] = 0xFF;
                    }
                    continue;
                }
                const auto a = t.AddressOf(row);
                const std::uint32_t extra =
                    d.scaleMode == HScaleMode::Shift ? std::uint32_t(d.scaleParam) : 0;
                const std::uint64_t m = std::uint64_t(a.mask) << extra;
                for (std::uint32_t b = 0; b < a.byteCount; ++b)
                    mask[a.firstByte + b] |=
                        static_cast<std::uint8_t>(m >> (8 * (a.byteCount - 1 - b)));
            }
        }
    }
    return mask;
}

HMemoryImage RandomImage(std::mt19937& rng) {
    HMemoryImage image{};
    std::uniform_int_distribution<int> byte(0, 255);
    for (auto& b : image)
        b = static_cast<std::uint8_t>(byte(rng));
    return image;
}

} // namespace

TEST(SettingsGroup, LoadSaveTouchesOnlyTheGroupsFieldsAndIsStable) {
    std::mt19937 rng(20240517);
    for (const NamedGroup& named : AllGroups()) {
        const HMemoryImage allowed = WritableBits(*named.make());
        for (int round = 0; round < 40; ++round) {
            const HMemoryImage original = RandomImage(rng);
            auto group = named.make();
            group->Load(original);
            HMemoryImage saved = original;
            group->Save(saved);
            for (std::size_t i = 0; i < saved.size(); ++i) {
                ASSERT_EQ((saved[i] ^ original[i]) & ~allowed[i], 0)
                    << named.name << ": byte " << i << " changed outside the group's fields";
            }
            // Loading the saved image gives the same values, and saving them
            // again changes nothing at all.
            auto again = named.make();
            again->Load(saved);
            for (std::size_t v = 0; v < group->ValueCount(); ++v) {
                // Not kept by the first save, by design: a BCD nibble above 9
                // reads as more digits than the field holds, and a frequency
                // past 2^31 Hz is held at the top of the range.
                const HFieldDescriptor* d = group->DescriptorOf(v);
                if (d != nullptr && d->kind == HFieldKind::Bcd)
                    continue;
                if (group->GetValue(v) == std::numeric_limits<std::int32_t>::max())
                    continue;
                ASSERT_EQ(again->GetValue(v), group->GetValue(v)) << named.name << " value " << v;
                ASSERT_EQ(again->GetText(v), group->GetText(v)) << named.name << " value " << v;
            }
            HMemoryImage resaved = saved;
            again->Save(resaved);
            ASSERT_EQ(resaved, saved) << named.name;
        }
    }
}

namespace {
std::vector<std::uint8_t> Slice(const HMemoryImage& image, std::size_t at, std::size_t n) {
    return {image.begin() + static_cast<std::ptrdiff_t>(at),
            image.begin() + static_cast<std::ptrdiff_t>(at + n)};
}
} // namespace

TEST(SettingsGroup, HardwareWorkedExamples) {
    using H = HHardwareGroup;
    HMemoryImage image{};
    // Byte 33 bits 5-7 = 5: row 1 reads 5; saving keeps bits 0-4.
    image[33] = (5 << 5) | 0x1B;
    image[598] = 3; // row 15 stores one less than its value
    image[551] = 0x03;
    H hw;
    hw.Load(image);
    EXPECT_EQ(std::make_pair(hw.GetValue(H::kRowBand), hw.GetValue(H::kRowSquelchRelease)),
              std::make_pair(5, 4));
    hw.SetValue(H::kRowBand, 2);
    hw.SetValue(H::kRowSquelchRelease, 1);
    // 14-bit frequency rows in bits 2-15: storing 1 writes 00 04, two low bits kept.
    hw.SetValue(H::kRowRefXtal, 5000); // Hz: row 13 = 1
    hw.SetValue(H::kRowRefXtal6250, 1);
    hw.Save(image);
    EXPECT_EQ(std::make_pair(image[33], image[598]),
              std::make_pair(std::uint8_t{(2 << 5) | 0x1B}, std::uint8_t{0}));
    EXPECT_EQ(Slice(image, 550, 2), (std::vector<std::uint8_t>{0x00, 0x07}));
    EXPECT_EQ(Slice(image, 558, 2), (std::vector<std::uint8_t>{0x00, 0x04}));

    // Values 13 and 14 are asked for in Hz; the rows stay in 5 kHz units.
    image[581] = 0x87;
    image[582] = 0xD0; // 0x07D0 = 2000 -> 10 MHz, bit 15 = local offset 1
    hw.Load(image);
    EXPECT_EQ(std::make_pair(hw.GetValue(H::kRowFirstIf), hw.GetValue(H::kRowLocalOffset)),
              std::make_pair(10000000, 1));

    // The editor's recomputation of every frequency form.
    hw.SetValue(H::kRowRefXtal, 12800000);
    hw.SetValue(H::kRowFirstIf, 45100000);
    hw.RecomputeFrequencyRows();
    EXPECT_EQ(std::make_pair(hw.GetRow(H::kRowRefXtal6250), hw.GetRow(H::kRowFirstIf2500)),
              std::make_pair(2048, 18040));
    // Band limits are 32-bit big-endian words at 12672 and 12676.
    hw.SetValue(H::kRowBandLow, 134000000);
    hw.SetValue(H::kRowBandHigh, 174000000);
    hw.Save(image);
    EXPECT_EQ(image[581] & 0x80, 0x80); // local offset survives the 15-bit row
    EXPECT_EQ(Slice(image, 12672, 8),
              (std::vector<std::uint8_t>{0x07, 0xFC, 0xAD, 0x80, 0x0A, 0x5F, 0x07, 0x80}));
    H back;
    back.Load(image);
    EXPECT_EQ(std::make_pair(back.GetValue(H::kRowFirstIf), back.GetValue(H::kRowBandHigh)),
              std::make_pair(45100000, 174000000));
}

TEST(SettingsGroup, OptionInvertedFlagsAndUnitCode) {
    HMemoryImage image{};
    HOptionGroup option;
    option.Load(image);
    // Inverted rows: a stored 0 shows as 1.
    EXPECT_EQ(std::make_pair(option.GetValue(1), option.GetValue(2)), std::make_pair(1, 1));

    // Option unit code 10: 4 in row 5 and 3 in row 14; a low code goes to row 5 alone.
    for (auto [code, low, high] : {std::tuple{10, 4, 3}, {6, 6, 0}}) {
        option.SetValue(HOptionGroup::kValueOptionUnit, code);
        option.Save(image);
        EXPECT_EQ(std::make_pair(image[34] & 0x07, image[34] >> 5), std::make_pair(low, high));
        HOptionGroup loaded;
        loaded.Load(image);
        EXPECT_EQ(loaded.GetValue(HOptionGroup::kValueOptionUnit), code);
    }
}

TEST(SettingsGroup, PasswordAndTagLayouts) {
    HMemoryImage image{};
    HProgrammingPasswordGroup prog;
    EXPECT_EQ(prog.GetText(1), "481736");
    prog.Save(image);
    EXPECT_EQ(image[708], 0x04);
    EXPECT_EQ(Slice(image, 715, 6), (std::vector<std::uint8_t>{4, 8, 1, 7, 3, 6}));
}

TEST(SettingsGroup, MiscellaneousWordIsTheIdentityWord) {
    HMemoryImage image{};
    HMiscellaneousGroup misc;
    misc.SetValue(16, 5000000);
    misc.Save(image);
    HSettingsGroup identity(HMemoryMap::kIdentityParts);
    identity.Load(image);
    EXPECT_EQ(identity.GetValue(0), 5000000);

    // Identity rows other than 1 and 2 are never written back.
    image[26] = 0x05;
    image[27] = 0xDC; // 1500 x 100 kHz
    image[36] = 9;
    identity.Load(image);
    EXPECT_EQ(std::make_pair(identity.GetValue(3), identity.GetValue(1)),
              std::make_pair(150000000, 9));
    for (std::size_t v = 0; v < identity.ValueCount(); ++v)
        identity.SetValue(v, 0);
    HMemoryImage expected = image;
    expected[36] = 0;
    identity.Save(image);
    EXPECT_EQ(image, expected);
}

TEST(SettingsGroup, MarketingStaysOutOfTheEndMarkAndHardware) {
    HMemoryImage image{};
    image.fill(0x5A);
    HMarketingGroup marketing;
    marketing.Load(image);
    marketing.SetValue(0, 1234);
    marketing.SetText(2, "SN12345678");
    marketing.Save(image);
    EXPECT_EQ(Slice(image, 0, 2), (std::vector<std::uint8_t>{0x12, 0x34}));
    EXPECT_EQ(Slice(image, 506, 8),
              (std::vector<std::uint8_t>{'S', 'N', '1', '2', 0x5A, 0x5A, 0x5A, 0x5A}));
}

TEST(SettingsGroup, EmergencyCodesAndDigits) {
    HMemoryImage image{};
    image[778] = 0x70; // digit count 7 in the high nibble
    HEmergencyGroup emergency;
    emergency.Load(image);
    EXPECT_EQ(emergency.GetValue(21), 7);
    emergency.SetText(22, "123*#");
    emergency.SetValue(4, 3); // off-or-number
    emergency.SetValue(5, 1); // code table: stored 3
    emergency.Save(image);
    EXPECT_EQ(Slice(image, 778, 4), (std::vector<std::uint8_t>{0x71, 0x23, 0xEF, 0x00}));
    EXPECT_EQ(std::make_pair((image[739] >> 4) & 7, (image[739] >> 1) & 3), std::make_pair(6, 3));
    HEmergencyGroup back;
    back.Load(image);
    EXPECT_EQ(back.GetText(22), "123*#0000000000");
}

TEST(SettingsGroup, RecordGroups) {
    HMemoryImage image{};
    // DSUB-15 ports: inputs at 685-690 first, then outputs at 679-684.
    for (int i = 0; i < 12; ++i)
        image[679 + i] = static_cast<std::uint8_t>(100 + i);
    HDsubPortLinesGroup ports;
    ports.Load(image);
    EXPECT_EQ(std::make_pair(ports.GetValue(0), ports.GetValue(6)), std::make_pair(106, 100));
    ports.SetValue(6, 1);
    ports.Save(image);
    EXPECT_EQ(std::make_pair(image[679], image[685]),
              std::make_pair(std::uint8_t{1}, std::uint8_t{106}));

    // Tuning points: 17 records of 15 bytes at 12306.
    const std::size_t p16 = 12306 + 15 * 16;
    image[p16] = 0x05;
    image[p16 + 1] = 0xDC; // 1500
    image[p16 + 2] = 0x83; // -3
    image[p16 + 8] = (5 << 3) | 2;
    HTuningPointsGroup tuning;
    tuning.Load(image);
    EXPECT_EQ((std::vector<int>{tuning.Point(16, 0), tuning.Point(16, 1), tuning.Point(16, 7),
                                tuning.Point(16, 8)}),
              (std::vector<int>{150000000, -3, 5, 2}));
    // A point's rows read at once are the rows read one by one.
    const std::span<const std::int32_t> rows = tuning.PointRows(16);
    ASSERT_EQ(rows.size(), 17u);
    EXPECT_EQ((std::vector<int>{rows[0], rows[1], rows[7], rows[8]}),
              (std::vector<int>{150000000, -3, 5, 2}));
    EXPECT_TRUE(tuning.PointRows(17).empty());
    tuning.SetRecordValue(16, 13, -10);
    tuning.SetRecordValue(16, 0, 174000000);
    tuning.Save(image);
    EXPECT_EQ(Slice(image, p16, 2), (std::vector<std::uint8_t>{0x06, 0xCC})); // 1740
    EXPECT_EQ(image[p16 + 11], 0x8A);
}

TEST(SettingsGroup, GroupsShareNoBitsExceptTheDocumentedOne) {
    // The only setting that two groups both write is byte 44 bit 7 (Option
    // row 12 and Miscellaneous row 5). Anything else would be a table typo
    // letting one editor overwrite another's setting.
    HMemoryImage seen{};
    for (const NamedGroup& g : AllGroups()) {
        const HMemoryImage bits = WritableBits(*g.make());
        for (std::size_t i = 0; i < kImageSize; ++i) {
            const int shared = seen[i] & bits[i] & (i == 44 ? 0x7F : 0xFF);
            EXPECT_EQ(shared, 0) << g.name << " shares byte " << i << " bits " << shared;
            seen[i] |= bits[i];
        }
    }
}

// Restored: a default the field cannot hold (a text too long, a value past its
// width) was caught only here.
TEST(SettingsGroup, DefaultsSurviveASaveAndALoad) {
    std::mt19937 rng(20240518);
    for (const NamedGroup& named : AllGroups()) {
        const auto probe = named.make();
        HMemoryImage image = RandomImage(rng);
        probe->Save(image);
        auto loaded = named.make();
        loaded->Load(image);
        for (std::size_t v = 0; v < probe->ValueCount(); ++v) {
            // Read-only rows are never written; a blank digit-string default is stored as 0s.
            if (probe->DescriptorOf(v) != nullptr && probe->DescriptorOf(v)->readOnly)
                continue;
            EXPECT_EQ(loaded->GetValue(v), probe->GetValue(v)) << named.name << " value " << v;
            if (named.name != "Emergency") {
                EXPECT_EQ(loaded->GetText(v), probe->GetText(v)) << named.name << " value " << v;
            }
        }
    }
}
