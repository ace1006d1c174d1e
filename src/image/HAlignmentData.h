#pragma once
// The factory adjustment values: the working copy (47 values around the
// EEPROM start and the identity words) and the shipping-default copy (48
// values in the alignment region), each with its own checksum rule.
#include "HFieldTable.h"
#include "HMemoryImage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace HAlignmentMap {

// Working copy. Bytes 4-33:
//   4-5 checksum | 6-13 squelch/S-meter W,N | 14-17 TX power LH,LM,EL,H |
//   18-25 deviation, sub-audio, VCV, PD, limit | 26-27 tune centre |
//   28-30 tune value, slopes | 31 ref D/A | 32 seq-tone dev | 33 spare
// Signal-generator settings 28-46 at 0x318C-0x319E (sign-magnitude bytes).
inline constexpr std::size_t kWorkingValues = 47;
inline constexpr std::size_t kChecksumIndex = 26;
inline constexpr std::array<HFieldDescriptor, kWorkingValues> kWorkingRows = {
    HField(6, 0, 8),      HField(7, 0, 8),      HField(8, 0, 8),      HField(9, 0, 8),
    HField(10, 0, 8),     HField(11, 0, 8),     HField(12, 0, 8),     HField(13, 0, 8),
    HField(17, 0, 8),     HField(14, 0, 8),     HField(15, 0, 8),     HField(16, 0, 8),
    HField(18, 0, 8),     HField(19, 0, 8),     HField(20, 0, 8),     HField(21, 0, 8),
    HField(22, 0, 8),     HField(23, 0, 8),     HField(24, 0, 8),     HField(25, 0, 8),
    HField(26, 0, 16),    HField(28, 0, 8),     HField(29, 0, 8),     HField(30, 0, 8),
    HField(31, 0, 8),     HField(32, 0, 8),     HField(4, 0, 16),     HField(33, 0, 8),
    HField(0x318C, 0, 8), HField(0x3194, 0, 8), HField(0x318D, 0, 8), HField(0x3195, 0, 8),
    HField(0x318E, 0, 8), HField(0x3196, 0, 8), HField(0x318F, 0, 8), HField(0x3197, 0, 8),
    HField(0x3190, 0, 8), HField(0x3198, 0, 8), HField(0x3191, 0, 8), HField(0x3199, 0, 8),
    HField(0x3192, 0, 8), HField(0x319A, 0, 8), HField(0x3193, 0, 8), HField(0x319B, 0, 8),
    HField(0x319C, 0, 8), HField(0x319D, 0, 8), HField(0x319E, 0, 8),
};
static_assert(HFieldRowsFit(kWorkingRows, 0, 0, kImageSize));
// Checksum: 16-bit sum of the 14 big-endian words at 6, 8, ... 32.
inline constexpr std::size_t kWorkingSumFirst = 6;
inline constexpr std::size_t kWorkingSumWords = 14;

// Shipping-default copy in the alignment region:
//   0x3000-01 tune centre | 0x3002-04 tune value, slopes | 0x300F ref D/A |
//   0x3010 seq-tone dev | 0x3011 spare | 0x310E-0F checksum |
//   0x3110-17 squelch/S-meter | 0x3118-1A TX power LH,LM,EL | 0x311B TX power H |
//   0x311C-23 deviation .. limit | 0x3124-3C five records [word][b][b][b]
inline constexpr std::size_t kShippingValues = 48;
inline constexpr std::array<HFieldDescriptor, kShippingValues> kShippingRows = {
    HField(0x3110, 0, 8),  HField(0x3111, 0, 8), HField(0x3112, 0, 8),  HField(0x3113, 0, 8),
    HField(0x3114, 0, 8),  HField(0x3115, 0, 8), HField(0x3116, 0, 8),  HField(0x3117, 0, 8),
    HField(0x311B, 0, 8),  HField(0x3118, 0, 8), HField(0x3119, 0, 8),  HField(0x311A, 0, 8),
    HField(0x311C, 0, 8),  HField(0x311D, 0, 8), HField(0x311E, 0, 8),  HField(0x311F, 0, 8),
    HField(0x3120, 0, 8),  HField(0x3121, 0, 8), HField(0x3122, 0, 8),  HField(0x3123, 0, 8),
    HField(0x3000, 0, 16), HField(0x3002, 0, 8), HField(0x3003, 0, 8),  HField(0x3004, 0, 8),
    HField(0x300F, 0, 8),  HField(0x3010, 0, 8), HField(0x310E, 0, 16), HField(0x3011, 0, 8),
    HField(0x3124, 0, 16), HField(0x3126, 0, 8), HField(0x3127, 0, 8),  HField(0x3128, 0, 8),
    HField(0x3129, 0, 16), HField(0x312B, 0, 8), HField(0x312C, 0, 8),  HField(0x312D, 0, 8),
    HField(0x312E, 0, 16), HField(0x3130, 0, 8), HField(0x3131, 0, 8),  HField(0x3132, 0, 8),
    HField(0x3133, 0, 16), HField(0x3135, 0, 8), HField(0x3136, 0, 8),  HField(0x3137, 0, 8),
    HField(0x3138, 0, 16), HField(0x313A, 0, 8), HField(0x313B, 0, 8),  HField(0x313C, 0, 8),
};
static_assert(HFieldRowsFit(kShippingRows, 0, 0, HImageMap::kFlashEnd));
// Checksum: 16-bit sum of the single bytes of these ranges (28 bytes).
struct HByteRange {
    std::size_t first;
    std::size_t last; // inclusive
};
inline constexpr std::array kShippingSumRanges = {
    HByteRange{0x3000, 0x3004}, HByteRange{0x300F, 0x3011}, HByteRange{0x3110, 0x3123}};

} // namespace HAlignmentMap

class HAlignmentData {
public:
    enum class HCopy {
        Working,         // 47 values, word checksum at offset 4
        ShippingDefault, // 48 values, byte checksum at 0x310E
    };
    static constexpr int kLevelUnits = 5;

    explicit HAlignmentData(HCopy copy = HCopy::Working);

    [[nodiscard]] HCopy Copy() const { return m_copy; }
    [[nodiscard]] std::size_t ValueCount() const { return m_values.size(); }

    void Load(std::span<const std::uint8_t> image);
    void Store(std::span<std::uint8_t> image) const;

    // The checksum the image's adjustment bytes call for.
    [[nodiscard]] std::uint16_t ComputeChecksum(std::span<const std::uint8_t> image) const;
    // True when the stored checksum equals the computed one.
    [[nodiscard]] bool VerifyChecksum(std::span<const std::uint8_t> image) const;
    // Load, compute, set value 26, store: only the two checksum bytes change.
    void RecomputeChecksum(std::span<std::uint8_t> image);

    // -1 for an index out of range; writes out of range are ignored.
    [[nodiscard]] std::int32_t GetValue(std::size_t index) const;
    void SetValue(std::size_t index, std::int32_t value);

    // 0 dBuV EMF, 1 dBuV PD, 2 uV EMF, 3 uV PD, 4 dBm; others are ignored.
    [[nodiscard]] int GetLevelUnit() const { return m_levelUnit; }
    void SetLevelUnit(int unit);
    // A signal-generator level (a sign-magnitude byte) in the level unit.
    [[nodiscard]] std::string FormatLevel(std::size_t index) const;

private:
    [[nodiscard]] std::span<const HFieldDescriptor> Rows() const;

    HCopy m_copy;
    std::vector<std::int32_t> m_values;
    int m_levelUnit = 0;
};

// The two adjustment checksums around an edit of settings. Some settings
// share bytes with the adjustment values (Hardware rows 0-3 and working value
// 27 in byte 33): a checksum that was sound before the edit and that the edit
// broke is recomputed; one already damaged stays damaged, so the check before
// writing still reports it.
class HSoundChecksums {
public:
    // Notes which checksums `image` holds sound.
    explicit HSoundChecksums(std::span<const std::uint8_t> image);
    // After the edit: recomputes each checksum noted sound that is no longer.
    void Keep(std::span<std::uint8_t> image) const;

private:
    bool m_working;
    bool m_shipping;
};

namespace HAlignmentMap {
constexpr std::size_t ShippingSumBytes() {
    std::size_t n = 0;
    for (const HByteRange& r : kShippingSumRanges)
        n += r.last - r.first + 1;
    return n;
}
static_assert(ShippingSumBytes() == 28);
static_assert(kWorkingSumFirst + 2 * kWorkingSumWords == 34); // bytes 6-33
} // namespace HAlignmentMap
