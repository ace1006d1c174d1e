#include "HTagBytes.h"

#include "HChannelTables.h"
#include "HFieldTable.h"
#include "HMemoryMap.h"

namespace HTagBytes {
namespace {

using namespace HChannelTables;

constexpr std::size_t kTagChars = 8;
constexpr std::size_t kPowerOnTagRow = 12;
static_assert(kChannelRecordRows[kFieldTag].bitWidth == kTagChars);
static_assert(HMemoryMap::kPowerSavingRows[kPowerOnTagRow].bitWidth == kTagChars);

std::string Bytes(const HMemoryImage& image, std::size_t offset) {
    if (offset + kTagChars > image.size())
        return {};
    return {image.begin() + std::ptrdiff_t(offset),
            image.begin() + std::ptrdiff_t(offset + kTagChars)};
}

} // namespace

std::string ChannelTag(const HMemoryImage& image, int c) {
    if (c < 0 || c >= int(kChannelCount))
        return {};
    // Three records to a FLASH page, then the page's unused bytes.
    const auto index = std::size_t(c);
    const std::size_t record =
        kChannelBase + index * kChannelRecordSize + (index / kChannelsPerPage) * kChannelPageGap;
    return Bytes(image, record + kChannelRecordRows[kFieldTag].byteOffset);
}

std::string GroupTag(const HMemoryImage& image, int g) {
    if (g < 0 || g >= int(kGroupCount))
        return {};
    return Bytes(image, kGroupTagBase + std::size_t(g) * kGroupTagSize);
}

std::string PowerOnTag(const HMemoryImage& image) {
    return Bytes(image, HMemoryMap::kPowerSavingRows[kPowerOnTagRow].byteOffset);
}

std::string UnshownChars(const std::string& stored) {
    std::size_t end = stored.size();
    while (end > 0 && stored[end - 1] == '\0')
        --end;
    std::string out;
    for (std::size_t i = 0; i < end; ++i) {
        const char c = stored[i];
        if (c != ' ' && HFieldCoding::RadioTextFilter(c) == ' ' && out.find(c) == std::string::npos)
            out.push_back(c);
    }
    return out;
}

} // namespace HTagBytes
