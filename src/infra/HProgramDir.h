#pragma once
// The program data directory: where the settings file, the trace-log settings,
// the default data files and the log live.
#include <string>

namespace HProgramDir {

// $RP57_HOME when set; else the executable's directory when writable; else
// $XDG_CONFIG_HOME/rp57 (~/.config/rp57). Created when missing. No trailing slash.
std::string DataDir();
// Full path of the running program file.
std::string ExecutablePath();
std::string ExecutableDir();
// The executable's name without directory or extension (single-instance key).
std::string ExecutableName();
// `dir` with exactly one trailing '/'.
std::string WithSlash(const std::string& dir);
// Path of "RP57Win.ini" in the data directory.
std::string SettingsPath();
// A read-only file shipped with the program: the data directory first, then the
// executable's directory, then the install's share/rp57. Empty when none exists.
std::string FindShared(const std::string& relativePath);

} // namespace HProgramDir
