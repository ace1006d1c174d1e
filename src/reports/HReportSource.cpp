#include "HReportSource.h"

#include "HChannelColumns.h"
#include "HEditorRegistry.h"
#include "HText.h"

namespace HReportSource {

std::vector<HRegisteredPage> AllPages() {
    std::vector<HRegisteredPage> pages;
    for (const HEditorEntry& entry : HEditorRegistry::Entries())
        for (const HEditorPageEntry& page : entry.pages)
            pages.push_back({&entry, &page});
    return pages;
}

HRegisteredPage FindPage(std::string_view caption) {
    for (const HRegisteredPage& p : AllPages())
        if (p.page->caption == caption)
            return p;
    return {};
}

std::unique_ptr<HEditor> OpenEditor(std::string_view caption, HMemoryImage& image,
                                    int accessLevel) {
    const HEditorPageEntry* page = FindPage(caption).page;
    if (page == nullptr)
        return nullptr;
    std::unique_ptr<HEditor> editor = page->make(*page, {&image, accessLevel});
    // No prompt: a rule that would ask gets No and changes nothing.
    editor->Open();
    return editor;
}

bool IsTwoTone(const HMemoryImage& image) {
    HChannelSignalling signalling;
    signalling.Load(image);
    return signalling.GetValue(HChannelSignalling::kSignallingType) == 1;
}

bool Includes(const HReportSection& section, bool twoTone) {
    const HRegisteredPage p = FindPage(section.caption);
    if (p.entry == nullptr)
        return false;
    switch (p.entry->family) {
    case HEditorFamily::Common:
    case HEditorFamily::Signalling:
        return true;
    case HEditorFamily::TwoTone:
        return twoTone;
    case HEditorFamily::FiveTone:
        return !twoTone;
    }
    return true;
}

std::string FileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::vector<HChannelInUse> ChannelsInUse(const HChannels& model) {
    std::vector<HChannelInUse> out;
    for (int c = 0; c < model.GetCapacity(); ++c) {
        if (!model.IsChannelEnabled(c))
            continue;
        const int g = HChannelColumns::GroupOfChannel(model, c);
        if (g >= 0)
            out.push_back({c, g});
    }
    return out;
}

std::string GroupTag(const HChannels& model, int group) {
    return std::string(HText::TrimRight(model.GetGroupTag(group), HText::kPadding));
}

} // namespace HReportSource
