#pragma once
// What every rp57cli command shares: exit statuses, error output, and the step
// that registers a command as a CLI11 subcommand.
#include "HMemoryImage.h"

#include <functional>
#include <string>
#include <string_view>

namespace CLI {
class App;
}

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;   // the operation ran and failed
inline constexpr int kExitBadInput = 2; // nothing was done: bad arguments or input file

// Adds the command `name` to `app`. `usage` is its lines of the overall help
// (each starting with two blanks) and heads its own help. When the command is
// chosen, `run` is called once its options are parsed and its result becomes
// `status`. The caller binds the command's options on the returned App.
CLI::App* AddCommand(CLI::App& app, const char* name, const char* usage, int& status,
                     std::function<int()> run);

// The text with the line breaks of numbered messages ("\r\n") as plain line feeds.
std::string PlainLines(const std::string& text);

// Text from a file or an image as it may reach the terminal: control
// characters (also a NUL, which would end the text early) and bytes outside
// ASCII as \u00XX, a backslash doubled so that an escape can be told from a
// text that merely looks like one. A damaged or hostile text (a tag can hold
// a terminal escape sequence) never reaches the terminal raw. With `lines`,
// line feeds stay line breaks (a message of several lines).
[[nodiscard]] std::string TerminalText(std::string_view text, bool lines = false);

// The settings sections, as show and diff name them when given another.
[[nodiscard]] std::string SettingsSections();

// Prints "rp57cli: <text>" on stderr, in plain lines, as TerminalText.
void CliError(const std::string& text);

struct HDataFileResult;
// A data file's numbered message, then what was wrong with which file, as the
// program's message box says it.
void FileError(const HDataFileResult& result);

// Reads a data file as File > Open does; on failure says why (FileError).
[[nodiscard]] bool ReadDataFile(const std::string& path, HMemoryImage& image);
