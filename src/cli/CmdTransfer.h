#pragma once
// rp57cli upload / download: a whole-image transfer with a radio on a serial
// port, as the program's Radio > Upload and Radio > Download do it.
#include "CliCommand.h"

// Exit status: 0 done, 1 the transfer failed or was cancelled, 2 bad input.
void AddUploadCommand(CLI::App& app, int& status);
void AddDownloadCommand(CLI::App& app, int& status);
