#pragma once
// rp57cli dump / load: a whole radio as JSON text and back (HRadioText).
#include "CliCommand.h"

// Exit status: 0 done, 1 writing failed, 2 bad input (nothing written).
void AddDumpCommand(CLI::App& app, int& status);
void AddLoadCommand(CLI::App& app, int& status);
