#pragma once
// rp57cli import: a channel list (CSV, as export writes it or a spreadsheet
// saves it) read into a data file.
#include "CliCommand.h"

// Exit status: 0 done (rows that did not parse are reported and skipped),
// 1 writing failed, 2 bad input (nothing written).
void AddImportCommand(CLI::App& app, int& status);
