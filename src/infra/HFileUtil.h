#pragma once
// Whole-file reads and all-or-nothing writes shared by every file the program keeps.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Far above any file the program keeps; a bound so that a name pointing at an
// endless device or a huge file cannot eat the machine's memory.
inline constexpr std::size_t kMaxReadBytes = 16 * 1024 * 1024;

enum class HFileReadStatus {
    Ok,
    Missing,    // no file by that name
    NotRegular, // a directory, FIFO, socket or device
    TooLarge,   // more than the caller's bound
    Failed      // exists, but opening or reading it failed
};

struct HFileRead {
    HFileReadStatus status = HFileReadStatus::Ok;
    std::vector<std::uint8_t> bytes;
    std::string reason; // the system's reason when not Ok

    [[nodiscard]] bool Ok() const { return status == HFileReadStatus::Ok; }
};

// Reads a regular file whole without ever waiting on it: a FIFO or a device is
// refused after a non-blocking open, before a byte is read.
[[nodiscard]] HFileRead ReadRegularFile(const std::string& path,
                                        std::size_t maxBytes = kMaxReadBytes);

[[nodiscard]] std::optional<std::string> ReadWholeFile(const std::string& path);
[[nodiscard]] std::optional<std::vector<std::uint8_t>>
ReadWholeBinaryFile(const std::string& path, std::string* error = nullptr);

// Replaces the content of the file `path` names, all or nothing. Symbolic links
// are followed, so the file they point at is the one updated. A file is
// replaced by a temporary file renamed over it only when that keeps it whole:
// one name, a directory we may write, the same owner. Otherwise (hard links,
// a directory we may not write, another owner) the old content is first kept
// in a copy, the file is rewritten in place and synced, and the copy goes only
// after; a failed write puts the old content back. `error` gets the reason.
bool WriteWholeFileAtomic(const std::string& path, std::span<const std::uint8_t> bytes,
                          std::string* error = nullptr);
bool WriteWholeFileAtomic(const std::string& path, const std::string& text,
                          std::string* error = nullptr);

// The file a path finally names after following symbolic links (also a link
// whose target does not exist yet). Empty, with `error`, on a loop.
[[nodiscard]] std::string ResolveLinks(const std::string& path, std::string* error = nullptr);

// An existing file counts as read-only when this user may not write it, or when
// its mode grants writing to nobody: root could write it anyway, but a file
// someone protected is never replaced.
[[nodiscard]] bool IsReadOnlyFile(const std::string& path);
