#pragma once
// The image compiled into the program, and new images for a chosen radio model.
//
// The built-in image is not stored as bytes: it is built, the same every time,
// from the defaults of the descriptor tables, as a VHF mobile set with an LCD:
//   - every settings group at its defaults (a zero image written by each
//     group's SetDefaults/Save);
//   - Hardware: band 0 (VHF), product type 0 (mobile), mobile display type 1
//     (LCD Type), band limits 134000000-174000000 Hz, all other rows 0;
//   - the channel model at its defaults: 128 channels in use, all in group 1
//     (group 0 holds 128, the other seven groups are empty), tags "-Orvane-",
//     "Chan-002" ... "Chan-128", group tags "GROUP001" ... "GROUP008"; every
//     channel holds the band's default frequency, with the count words the
//     channel model gives it (so a load and save change nothing); the
//     channel rows at their defaults
//     (wide band, power level 1, TOT on, receive-tone flag on with kind CTCSS
//     and value 0, no transmit tone, so the tone timer bytes are 0xFF);
//   - the signalling type field at its default (2-TONE);
//   - the 5-tone tone sets at their defaults (no tones, the windows empty),
//     so that a 5-tone table stored unedited changes nothing;
//   - the radio's own words as a download leaves them;
//   - the tuning points and the factory adjustment values at their defaults,
//     with both adjustment checksums (working copy and shipping-default copy)
//     computed so that they verify.
#include "HMemoryImage.h"

// Model codes of a model request (frequency band, product type).
inline constexpr int kBandVhf = 0;
inline constexpr int kBandNotDefined = 1;
inline constexpr int kBandUhfA = 2;
inline constexpr int kBandUhfD = 3;
inline constexpr int kBandLowA = 4;
inline constexpr int kBandLowB = 5;
inline constexpr int kBandNone = 6; // no band chosen: requests and the settings file only
inline constexpr int kProductMobile = 0;
inline constexpr int kProductHandheld = 1;

// The built-in default image described above.
[[nodiscard]] HMemoryImage BuildDefaultImage();

// A new image for a model when no default data file can be read: the built-in
// image with the model written into its Hardware fields (band, product type,
// the display type field of that product type, the band's limits). Band 6
// means the built-in image as it is. Every model gets a usable image; see the
// implementation for the rule.
[[nodiscard]] HMemoryImage MakeImageForModel(int band, int productType, int lcdType);

// True when the band code names a band that an image may hold (0-5).
[[nodiscard]] constexpr bool IsImageBand(int band) {
    return band >= 0 && band <= 5;
}
