#pragma once
// The backups folder: the radio's memory as it was before a download, and a
// modified document before an upload replaced it, each kept as an ordinary data
// file in "backups" under the program data directory, named by serial number
// (or "document") and time: "1234_20261207-051500.R57". Old backups are pruned
// by age and by count. Only files named that way are ever removed.
#include "HMemoryImage.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// Settings file section "Backup".
struct HBackupSettings {
    static constexpr int kDefaultKeepDays = 90;
    static constexpr int kDefaultKeepCount = 200;

    bool beforeDownload = true;        // BeforeDownload: read the radio before every download
    int keepDays = kDefaultKeepDays;   // KeepDays: older ones are removed; 0 keeps any age
    int keepCount = kDefaultKeepCount; // KeepCount: only the newest this many; 0 keeps any number

    // From the program's settings file; missing keys and values that are no
    // whole number give the defaults.
    [[nodiscard]] static HBackupSettings Read();
};

struct HBackupResult {
    bool written = false;
    std::string path;  // the backup file, when written
    std::string error; // why not, when not
};

struct HBackupEntry {
    std::string path;
    std::string name;      // file name
    std::string label;     // the serial number, or "document"
    std::int64_t time = 0; // seconds since the epoch (UTC), from the name
};

namespace HBackups {

using Clock = std::chrono::system_clock;

inline constexpr const char* kDocumentLabel = "document";

// DataDir()/backups, created when missing.
[[nodiscard]] std::string Folder();
// The radio's serial number from the image, as a file name may hold it;
// "no-serial" when it is blank.
[[nodiscard]] std::string SerialLabel(const HMemoryImage& image);
// Writes the image as a new backup file of its own (never over another file,
// never through a link), then prunes under `settings`, never the new one.
[[nodiscard]] HBackupResult Keep(const HMemoryImage& image, const std::string& label,
                                 const HBackupSettings& settings, Clock::time_point when);
// Every backup of the folder, newest first.
[[nodiscard]] std::vector<HBackupEntry> List();
// Removes backups older than keepDays and all but the newest keepCount; returns
// how many went. `keep` (the backup just written) stays and counts as the
// newest. Only regular files whose names carry a real time are backups.
int Prune(const HBackupSettings& settings, Clock::time_point now, const std::string& keep = {});

} // namespace HBackups
