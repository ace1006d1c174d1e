#pragma once
// rp57cli export / print: the program's CSV export and printed report of a
// data file, without a window.
#include "CliCommand.h"

// Exit status: 0 done, 1 writing failed, 2 bad input (nothing written).
void AddExportCommand(CLI::App& app, int& status);
void AddPrintCommand(CLI::App& app, int& status);
