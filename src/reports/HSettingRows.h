#pragma once
// Every setting and channel cell of an image as one row each, named by its
// stable key: the Common editors' items as rp57cli show lists them (shown
// items only, with the text the control shows), the group allocation and tags,
// then each channel in use cell by cell as the CSV channel list writes it.
// Comparisons of two images walk these rows.
#include "HMemoryImage.h"

#include <string>
#include <vector>

struct HSettingRow {
    std::string section; // "hardware", "groups", "channels"
    std::string key;     // "hardware.freq_band", "channels.12.rx_frequency"
    std::string caption; // "Freq. Band", "RX Frequency"
    int channel = 0;     // 1-based for channel cells, 0 otherwise
    std::string text;    // as shown
};

namespace HSettingRows {

inline constexpr const char* kGroupsSection = "groups";
inline constexpr const char* kChannelsSection = "channels";

[[nodiscard]] std::vector<HSettingRow> Collect(const HMemoryImage& image, int accessLevel);

} // namespace HSettingRows

// One difference between two images: a row whose text differs, or a row that
// only one of them has (a channel in use in one only, a setting one shows).
struct HDiffLine {
    std::string section;
    std::string key;
    std::string caption;
    int channel = 0;
    bool inA = true;
    bool inB = true;
    std::string a; // the text in A (empty when !inA)
    std::string b;
};

namespace HImageDiff {

// In A's row order, then B's rows that A lacks.
[[nodiscard]] std::vector<HDiffLine> Compare(const HMemoryImage& a, const HMemoryImage& b,
                                             int accessLevel);
// A line as the dialogs name it, on one line: the setting's caption, or for a
// channel cell "Channel 4 RX Frequency".
[[nodiscard]] std::string ShownCaption(const HDiffLine& line);
// A section as the menus name it: its editor's caption ("Channels" and the
// channel allocation editor's for the channel and group rows).
[[nodiscard]] std::string SectionCaption(std::string_view section);

} // namespace HImageDiff
