#pragma once
// What the text export and the printed report read from one image: the
// editors of the registry opened invisibly over a copy of it, the signalling
// type, and the channels in use with their groups.
#include "HChannels.h"
#include "HEditor.h"
#include "HMemoryImage.h"
#include "HReportSections.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct HEditorEntry;
struct HEditorPageEntry;

struct HReportContext {
    int accessLevel = 0;  // decides which items and channel columns are listed
    std::string filePath; // the current data file ("<none>" when untitled)
};

using HReportRow = std::vector<std::string>;

namespace HReportSource {

struct HRegisteredPage {
    const HEditorEntry* entry = nullptr;
    const HEditorPageEntry* page = nullptr;
};
// Every registered editor page, in registry order.
[[nodiscard]] std::vector<HRegisteredPage> AllPages();
// The registered editor page with this dialog caption; nulls when none is.
[[nodiscard]] HRegisteredPage FindPage(std::string_view caption);

// The page's editor created over `image` (kept by pointer) and opened; null
// when no editor of that caption is registered.
[[nodiscard]] std::unique_ptr<HEditor> OpenEditor(std::string_view caption, HMemoryImage& image,
                                                  int accessLevel);

// 1: the image's signalling type is 2-tone; 0: 5-tone.
[[nodiscard]] bool IsTwoTone(const HMemoryImage& image);
// Whether the section is reported for an image of this signalling type: its
// editor is registered, and its family is common, signalling, or the image's.
[[nodiscard]] bool Includes(const HReportSection& section, bool twoTone);

// The name and extension of a path, without its directory.
[[nodiscard]] std::string FileNameOf(std::string_view path);

struct HChannelInUse {
    int channel = 0; // index from 0
    int group = 0;   // index from 0
};
// Enabled channels that lie in a group, in channel order.
[[nodiscard]] std::vector<HChannelInUse> ChannelsInUse(const HChannels& model);

// A group's tag without its padding.
[[nodiscard]] std::string GroupTag(const HChannels& model, int group);

} // namespace HReportSource
