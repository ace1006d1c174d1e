#pragma once
// rp57cli show / get / set: every setting of the Common editors by its key,
// shown and changed through the editors' own rules.
#include "CliCommand.h"

// Exit status: 0 done, 1 writing failed, 2 bad input (nothing written).
void AddShowCommand(CLI::App& app, int& status);
void AddGetCommand(CLI::App& app, int& status);
void AddSetCommand(CLI::App& app, int& status);
