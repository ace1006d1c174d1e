#pragma once
// rp57cli align: the alignment steps that need nobody at a signal generator,
// for scripted factory stations.
#include "CliCommand.h"

// Exit status: 0 done, 1 a step failed or stopped, 2 bad input.
void AddAlignCommand(CLI::App& app, int& status);
