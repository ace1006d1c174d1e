#pragma once
// rp57cli history: the radios, one radio's timeline, the image at a step, the
// differences between two steps. And the history every transfer command of
// this run records into.
#include "CliCommand.h"
#include "HHistory.h"

#include <string>

void AddHistoryCommand(CLI::App& app, int& status);

// The history of this run, opened from the settings on first use.
HHistory& CliHistory();
// Keeps the record; what the technician must hear of it goes to stderr.
void CliRecord(HHistoryRecord record);
