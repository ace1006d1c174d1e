#include "HSignallingMode.h"

#include "HChannels.h"

HSignallingMode HReadSignallingMode(const HMemoryImage& image) {
    HChannelSignalling signalling;
    signalling.Load(image);
    return signalling.GetValue(HChannelSignalling::kSignallingType) == 0 ? HSignallingMode::FiveTone
                                                                         : HSignallingMode::TwoTone;
}
