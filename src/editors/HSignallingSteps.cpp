#include "HSignallingSteps.h"

#include "HLogPrint.h"

namespace {

template <class Step> void ForEachPage(HSignallingMode mode, Step step) {
    const HEditorFamily family = HSignallingSteps::FamilyOf(mode);
    for (const HEditorEntry& entry : HEditorRegistry::Entries())
        if (entry.family == family)
            for (const HEditorPageEntry& page : entry.pages)
                step(page);
}

} // namespace

namespace HSignallingSteps {

HEditorFamily FamilyOf(HSignallingMode mode) {
    return mode == HSignallingMode::FiveTone ? HEditorFamily::FiveTone : HEditorFamily::TwoTone;
}

void WriteCompiledTables(HMemoryImage& image, HSignallingMode mode) {
    ForEachPage(mode, [&image](const HEditorPageEntry& page) {
        if (page.compile != nullptr) {
            HLOG(4, "signalling tables compiled: dialog %u", page.dialogId);
            page.compile(image);
        }
    });
}

void ResetTables(HMemoryImage& image, HSignallingMode mode) {
    ForEachPage(mode, [&image](const HEditorPageEntry& page) {
        if (page.reset != nullptr) {
            HLOG(4, "signalling tables reset: dialog %u", page.dialogId);
            page.reset(image);
        }
    });
}

HSignallingMode FollowTypeChange(HMemoryImage& image, HSignallingMode before) {
    const HSignallingMode now = HReadSignallingMode(image);
    if (now != before)
        ResetTables(image, now);
    return now;
}

} // namespace HSignallingSteps
