#pragma once
// File > Import Channels and rp57cli import: the channel list that the CSV
// export writes, read back into an image. Columns are found by their titles
// (a title row heads each group's channels, as the export writes it, or one
// row heads a sheet), the separator may be a comma or a semicolon, and each
// cell is stored through its grid column's own rule, as a paste into the grid
// stores it. A row that cannot be stored whole is skipped and reported by its
// line; the others still apply. Nothing here touches the caller's image: the
// result carries the image as it would be and what would change, by channel
// and column, for a preview.
#include "HChannelGrid.h"
#include "HMemoryImage.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace HChannelImport {

// Far above a channel list of 128 channels (about 20 kB); a bound for a name
// that points at something else.
inline constexpr std::size_t kMaxListBytes = 1024 * 1024;

struct HImportChange {
    int channel = 0;    // from 1
    std::string column; // the column's title in the channel list
    std::string before;
    std::string after;
    std::string typed; // the file's cell when the column stored something else
};

// A row skipped: its line in the file and why.
struct HImportIssue {
    int line = 0;
    std::string text;
};

struct HImportResult {
    // False: no channel list (or no file); nothing is to be applied, and the
    // message says why.
    bool ok = false;
    int messageId = 0;
    std::vector<std::string> args;
    std::string detail; // what exactly was wrong, under the message

    HMemoryImage image{}; // the image with every row that parsed stored
    bool changed = false; // image differs from the one given
    std::vector<HImportChange> changes;
    std::vector<HImportIssue> skipped;
    std::vector<std::string> notes; // columns that were not imported
    int channelRows = 0;            // rows stored (changed or not)
};

// An image loaded for importing into: its channel grid at an access level.
// Loading is most of the work of a short list; a caller that reads many lists
// into the same image loads it once.
class HImportBase {
public:
    HImportBase(const HMemoryImage& image, int accessLevel);
    [[nodiscard]] const HMemoryImage& Image() const { return m_image; }
    [[nodiscard]] int AccessLevel() const { return m_accessLevel; }
    [[nodiscard]] const HChannelGrid& Grid() const { return m_grid; }

private:
    HMemoryImage m_image;
    int m_accessLevel = 0;
    HChannelGrid m_grid;
};

// Reads a channel list from CSV text into a copy of `image`. `name` is what
// the not-a-channel-list message calls the text.
[[nodiscard]] HImportResult Import(const HMemoryImage& image, std::string_view text,
                                   int accessLevel, const std::string& name);
// The same into a loaded image.
[[nodiscard]] HImportResult Import(const HImportBase& base, std::string_view text,
                                   const std::string& name);
// The same from a file (a regular file of at most kMaxListBytes).
[[nodiscard]] HImportResult ImportFile(const HMemoryImage& image, const std::string& path,
                                       int accessLevel);

// The result's lines as a preview and a terminal show them.
[[nodiscard]] std::string ChangeLine(const HImportChange& change);
[[nodiscard]] std::string IssueLine(const HImportIssue& issue);
[[nodiscard]] std::string Summary(const HImportResult& result);
// The channels the changes touch.
[[nodiscard]] int ChannelsChanged(const HImportResult& result);

} // namespace HChannelImport
