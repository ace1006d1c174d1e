#include "HAlignmentData.h"

#include <cmath>
#include <cstdio>

HAlignmentData::HAlignmentData(HCopy copy)
    : m_copy(copy), m_values(copy == HCopy::Working ? HAlignmentMap::kWorkingValues
                                                    : HAlignmentMap::kShippingValues,
                             0) {}

std::span<const HFieldDescriptor> HAlignmentData::Rows() const {
    if (m_copy == HCopy::Working)
        return HAlignmentMap::kWorkingRows;
    return HAlignmentMap::kShippingRows;
}

void HAlignmentData::Load(std::span<const std::uint8_t> image) {
    const HFieldTable table(Rows(), HReadOnlyImage{image});
    for (std::size_t i = 0; i < m_values.size(); ++i)
        m_values[i] = table.GetValue(i);
}

void HAlignmentData::Store(std::span<std::uint8_t> image) const {
    HFieldTable table(Rows(), image);
    for (std::size_t i = 0; i < m_values.size(); ++i)
        table.SetValue(i, m_values[i]);
}

std::uint16_t HAlignmentData::ComputeChecksum(std::span<const std::uint8_t> image) const {
    std::uint32_t sum = 0;
    if (m_copy == HCopy::Working) {
        for (std::size_t w = 0; w < HAlignmentMap::kWorkingSumWords; ++w) {
            const std::size_t at = HAlignmentMap::kWorkingSumFirst + 2 * w;
            if (at + 1 < image.size())
                sum += (std::uint32_t(image[at]) << 8) | image[at + 1];
        }
    } else {
        for (const HAlignmentMap::HByteRange& r : HAlignmentMap::kShippingSumRanges)
            for (std::size_t at = r.first; at <= r.last && at < image.size(); ++at)
                sum += image[at];
    }
    return static_cast<std::uint16_t>(sum & 0xFFFF);
}

bool HAlignmentData::VerifyChecksum(std::span<const std::uint8_t> image) const {
    const HFieldTable table(Rows(), HReadOnlyImage{image});
    const std::int32_t stored = table.GetValue(HAlignmentMap::kChecksumIndex);
    return stored >= 0 && static_cast<std::uint16_t>(stored) == ComputeChecksum(image);
}

void HAlignmentData::RecomputeChecksum(std::span<std::uint8_t> image) {
    Load(image);
    m_values[HAlignmentMap::kChecksumIndex] = ComputeChecksum(image);
    Store(image);
}

HSoundChecksums::HSoundChecksums(std::span<const std::uint8_t> image)
    : m_working(HAlignmentData(HAlignmentData::HCopy::Working).VerifyChecksum(image)),
      m_shipping(HAlignmentData(HAlignmentData::HCopy::ShippingDefault).VerifyChecksum(image)) {}

void HSoundChecksums::Keep(std::span<std::uint8_t> image) const {
    for (const auto& [sound, copy] :
         {std::pair{m_working, HAlignmentData::HCopy::Working},
          std::pair{m_shipping, HAlignmentData::HCopy::ShippingDefault}}) {
        HAlignmentData data(copy);
        if (sound && !data.VerifyChecksum(image))
            data.RecomputeChecksum(image);
    }
}

std::int32_t HAlignmentData::GetValue(std::size_t index) const {
    return index < m_values.size() ? m_values[index] : -1;
}

void HAlignmentData::SetValue(std::size_t index, std::int32_t value) {
    if (index < m_values.size())
        m_values[index] = value;
}

void HAlignmentData::SetLevelUnit(int unit) {
    if (unit >= 0 && unit < kLevelUnits)
        m_levelUnit = unit;
}

std::string HAlignmentData::FormatLevel(std::size_t index) const {
    if (index >= m_values.size())
        return {};
    const auto raw = static_cast<std::uint32_t>(m_values[index]) & 0xFF;
    const int v = (raw & 0x80) != 0 ? -static_cast<int>(raw & 0x7F) : static_cast<int>(raw);
    char text[64];
    switch (m_levelUnit) {
    case 0:
        std::snprintf(text, sizeof text, "%d dBuV (EMF)", v);
        break;
    case 1:
        std::snprintf(text, sizeof text, "%d dBuV (PD)", v - 6);
        break;
    case 2:
        // Decibels to microvolts in floating point: whole-decibel steps of
        // an integer division would only give powers of ten.
        std::snprintf(text, sizeof text, "%4.2f uV (EMF)", std::pow(10.0, v / 20.0));
        break;
    case 3:
        std::snprintf(text, sizeof text, "%4.2f uV (PD)", std::pow(10.0, (v - 6) / 20.0));
        break;
    default:
        std::snprintf(text, sizeof text, "%d dBm", v - 113);
        break;
    }
    return text;
}
