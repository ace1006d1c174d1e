#pragma once
// rp57cli check / diff / backups / detect: the safety net around a download.
#include "CliCommand.h"

// check FILE: the check before writing. 0 nothing or warnings only, 1 errors.
void AddCheckCommand(CLI::App& app, int& status);
// diff A B: every setting and channel cell that differs. 0 same, 1 different.
void AddDiffCommand(CLI::App& app, int& status);
// backups: the backups folder's files, newest first.
void AddBackupsCommand(CLI::App& app, int& status);
// detect: the serial device where a radio sends its Check byte. 0 found, 1 none.
void AddDetectCommand(CLI::App& app, int& status);

// Every setting and channel cell that differs between two images (only
// `section`'s when given), as text or one JSON object; kExitFailed when any
// does, as diff answers.
int PrintDiff(const HMemoryImage& a, const HMemoryImage& b, const std::string& aName,
              const std::string& bName, const std::string& section, int level, bool json);
