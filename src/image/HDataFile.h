#pragma once
// Data files (".R57"): the radio memory image byte for byte, nothing else.
// A file of any other size than the image is not a data file.
#include "HMemoryImage.h"

#include <string>

enum class HDataFileStatus {
    Ok,
    NotFound,   // cannot be opened or its status cannot be read
    BadSize,    // not exactly kImageSize bytes
    CannotRead, // opened, but reading failed or came up short
    OpenFailed, // writing: the target cannot be opened for writing
    WriteFailed // writing: the bytes did not all reach the file
};

// The outcome of a data-file operation with the numbered message the front end
// shows for it (0 and an empty text on success).
struct HDataFileResult {
    HDataFileStatus status = HDataFileStatus::Ok;
    int messageId = 0;
    std::string message;
    std::string reason; // the system's reason, for the trace log
    // For the user, under the message: the file's name when the message does
    // not give it, and what was wrong ("\r\n" between lines).
    std::string detail;

    [[nodiscard]] bool Ok() const { return status == HDataFileStatus::Ok; }
};

namespace HDataFile {

inline constexpr const char* kFilter = "RP57 Files(*.R57)|*.R57||";
inline constexpr const char* kDefaultExtension = "R57";

// The pre-check of a file: Ok, NotFound, BadSize or CannotRead.
[[nodiscard]] HDataFileStatus Check(const std::string& path);

// Reads a data file into `image`. The file is read into a buffer of its own and
// copied only after a full, exact read, so every failure leaves `image` as it
// was. Failures carry message 32 (cannot open) or 34 (anything else).
[[nodiscard]] HDataFileResult Read(const std::string& path, HMemoryImage& image);

// As Read, with the messages of File > Open: 32 not found, 34 cannot read,
// 37 wrong size (not a data file).
[[nodiscard]] HDataFileResult Open(const std::string& path, HMemoryImage& image);

// Whether Write could update or create the file: the path is empty, names a
// directory, a device or a read-only file, or a new file's directory is missing
// or not writable: OpenFailed with message 35 and the reason. Checked again by
// Write.
[[nodiscard]] HDataFileResult CheckWritable(const std::string& path);

// Writes the image whole or not at all into the file the path names (through
// symbolic links, keeping hard links, mode and owner), so a failed write leaves
// any previous content intact. Failures carry message 35 (the target cannot be
// written) or 33.
[[nodiscard]] HDataFileResult Write(const std::string& path, const HMemoryImage& image);

} // namespace HDataFile
