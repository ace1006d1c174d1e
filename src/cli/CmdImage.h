#pragma once
// rp57cli info / new: look into a data file, make a new one for a radio model.
#include "CliCommand.h"

// Exit status: 0 done, 1 writing failed, 2 bad input (nothing written).
void AddInfoCommand(CLI::App& app, int& status);
void AddNewCommand(CLI::App& app, int& status);
