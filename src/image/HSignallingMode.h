#pragma once
// Which selective-calling editors the radio's shared signalling areas belong
// to: the image's signalling type field (0 = 5-tone, 1 = 2-tone). The main
// window's Signalling menu, the type switch and the step before a Download all
// follow it.
#include "HMemoryImage.h"

enum class HSignallingMode : int { FiveTone = 0, TwoTone = 1 };

// The signalling type the image holds.
[[nodiscard]] HSignallingMode HReadSignallingMode(const HMemoryImage& image);
