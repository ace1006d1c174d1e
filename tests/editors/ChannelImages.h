#pragma once
// The channel image the grid, sheet and find tests start from.
#include "HChannels.h"
#include "HDefaultImage.h"

#include <functional>
#include <initializer_list>

// A handheld UHF set with a display whose first groups hold `sizes` channels
// (the others none); `edit` then changes the channels before they are saved.
inline HMemoryImage HandheldWithGroups(std::initializer_list<int> sizes,
                                       const std::function<void(HChannels&)>& edit = {}) {
    HMemoryImage image = MakeImageForModel(kBandUhfA, kProductHandheld, 1);
    HChannels m;
    m.Load(image);
    for (int g = 0; g < 8; ++g)
        m.SetGroupValue(g, HChannelTables::kGroupChannels,
                        g < static_cast<int>(sizes.size()) ? sizes.begin()[g] : 0);
    m.NormalizeGroups();
    if (edit)
        edit(m);
    m.Save(image);
    return image;
}
