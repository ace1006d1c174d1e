#pragma once
// rp57cli upload / download: a whole-image transfer with a radio on a serial
// port, as the program's Radio > Upload and Radio > Download do it.
#include <string>
#include <vector>

// Exit status: 0 done, 1 the transfer failed or was cancelled, 2 bad input.
// `args` are the words after the command name.
int CmdUpload(const std::vector<std::string>& args);
int CmdDownload(const std::vector<std::string>& args);

inline constexpr const char* kUploadUsage =
    "  upload --port DEV -o FILE [--level 0|1|2] [--baud N] [--interface-unit]\n"
    "                            [--password TEXT]\n"
    "                            read the radio into a data file (DEV: a serial\n"
    "                            device, or a COM port number)\n";
inline constexpr const char* kDownloadUsage =
    "  download --port DEV FILE [--level 0|1|2] [--baud N] [--interface-unit]\n"
    "                            [--password TEXT]\n"
    "                            write a data file into the radio\n";
