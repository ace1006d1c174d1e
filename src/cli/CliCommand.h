#pragma once
// The command table of rp57cli: one row per command, dispatched by name.
#include <string>
#include <string_view>
#include <vector>

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;   // the operation ran and failed
inline constexpr int kExitBadInput = 2; // nothing was done: bad arguments or input file

struct CliCommand {
    std::string_view name;
    const char* usage; // lines for the help text, each starting with two blanks
    // `args` are the words after the command name.
    int (*run)(const std::vector<std::string>& args);
};

// The text with the line breaks of numbered messages ("\r\n") as plain line feeds.
std::string PlainLines(const std::string& text);

// Prints "rp57cli: <text>" on stderr, in plain lines.
void CliError(const std::string& text);

struct HDataFileResult;
// A data file's numbered message, then what was wrong with which file, as the
// program's message box says it.
void FileError(const HDataFileResult& result);
