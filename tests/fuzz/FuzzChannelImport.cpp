// Channel lists as File > Import Channels and rp57cli import read them: any
// text, read into the built-in image. A text that is no channel list gives
// nothing to apply; a list names only lines the text has and channels the
// radio has, and the image it gives reads back.
#include "HChannelImport.h"
#include "HChannels.h"
#include "HDefaultImage.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The built-in image with channels 1-16 in use and the rest of group 1
    // not: a list reaches channels in use and channels it puts in use, and
    // the change list compares 16 channels rather than 128 for every input.
    static const HMemoryImage image = [] {
        HMemoryImage built = BuildDefaultImage();
        HChannels model;
        model.Load(built);
        model.DisableChannels(16, 128);
        model.Save(built);
        return built;
    }();
    static const HChannelImport::HImportBase base(image, 1); // loaded once for every input
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const HChannelImport::HImportResult r = HChannelImport::Import(base, text, "fuzz");
    if (!r.ok) {
        if (r.changed || !r.changes.empty() || r.messageId == 0)
            std::abort();
        return 0;
    }
    const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n') +
                                        std::count(text.begin(), text.end(), '\r') + 1);
    for (const HChannelImport::HImportIssue& issue : r.skipped)
        if (issue.line < 1 || issue.line > lines || issue.text.empty())
            std::abort();
    for (const HChannelImport::HImportChange& change : r.changes)
        if (change.channel < 1 || change.channel > 128 || change.before == change.after)
            std::abort();
    // The image it gives was read back to list the changes.
    if (r.changed != (r.image != image))
        std::abort();
    return 0;
}
