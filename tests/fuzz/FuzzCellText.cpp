// Cell texts as typed or pasted into the channel grid: the first byte picks the
// column's field, the rest is the text. A refused text leaves the channel as it
// was; an accepted one saves and loads back without harm.
#include "HChannels.h"
#include "HDefaultImage.h"

#include <array>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const HMemoryImage base = BuildDefaultImage();
    constexpr std::array<int, 5> kFields = {54, 59, 60, 67, 68};
    const int field = kFields[data[0] % kFields.size()];
    const int channel = (data[0] / kFields.size()) % 130; // includes channels out of range
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    HChannels channels;
    channels.Load(base);
    std::array<std::int32_t, 69> before{};
    for (int k = 0; k < 69; ++k)
        before[static_cast<std::size_t>(k)] = channels.GetField(channel, k);
    const std::string tag = channels.GetTag(channel);
    const bool ok = channels.ParseCellText(channel, field, text);
    if (!ok) {
        for (int k = 0; k < 69; ++k)
            if (channels.GetField(channel, k) != before[static_cast<std::size_t>(k)])
                std::abort();
        if (channels.GetTag(channel) != tag)
            std::abort();
        return 0;
    }
    HMemoryImage img = base;
    channels.Save(img);
    HChannels back;
    back.Load(img);
    return 0;
}
