#pragma once
// Whole-file reads and all-or-nothing writes shared by every file the program keeps.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

[[nodiscard]] std::optional<std::string> ReadWholeFile(const std::string& path);
[[nodiscard]] std::optional<std::vector<std::uint8_t>> ReadWholeBinaryFile(const std::string& path,
                                                                         std::string* error = nullptr);

// Writes a temporary file beside the target, flushes it to disk and renames it
// into place, so the previous file survives any failure. `error` gets the
// system's reason on failure.
bool WriteWholeFileAtomic(const std::string& path, std::span<const std::uint8_t> bytes,
                          std::string* error = nullptr);
bool WriteWholeFileAtomic(const std::string& path, const std::string& text,
                          std::string* error = nullptr);

// An existing file counts as read-only when this user may not write it, or when
// its mode grants writing to nobody: root could write it anyway, but a file
// someone protected is never replaced.
[[nodiscard]] bool IsReadOnlyFile(const std::string& path);
