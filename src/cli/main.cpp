// rp57cli: the programming engine without a window, for scripts and tests.
//
// Adding a command: write src/cli/CmdXxx.cpp with its work and one function
//     void AddXxxCommand(CLI::App& app, int& status);
// that calls AddCommand(app, "xxx", usage, status, run) (CliCommand.h) and
// binds the command's options and positionals on the App it returns. Declare
// the function in a CmdXxx.h and call it in AddCommands below, in help order.
// Parsing, --help and the exit status of bad arguments (2) are CLI11's and
// this file's; the command's run returns kExitOk, kExitFailed or kExitBadInput.
#include "CliCommand.h"
#include "CmdAlign.h"
#include "CmdCheck.h"
#include "CmdHistory.h"
#include "CmdImage.h"
#include "CmdImport.h"
#include "CmdRadioText.h"
#include "CmdReport.h"
#include "CmdSettings.h"
#include "CmdTransfer.h"
#include "HLogPrint.h"
#include "HProgramDir.h"
#include "HVersionInfo.h"

#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

void AddCommands(CLI::App& app, int& status) {
    AddInfoCommand(app, status);
    AddNewCommand(app, status);
    AddShowCommand(app, status);
    AddGetCommand(app, status);
    AddSetCommand(app, status);
    AddUploadCommand(app, status);
    AddDownloadCommand(app, status);
    AddCheckCommand(app, status);
    AddDiffCommand(app, status);
    AddDumpCommand(app, status);
    AddLoadCommand(app, status);
    AddExportCommand(app, status);
    AddImportCommand(app, status);
    AddPrintCommand(app, status);
    AddBackupsCommand(app, status);
    AddHistoryCommand(app, status);
    AddDetectCommand(app, status);
    AddAlignCommand(app, status);
}

// The overall help lists each command by its own usage lines.
class UsageFormatter : public CLI::Formatter {
public:
    std::string make_subcommand(const CLI::App* sub) const override {
        return sub->get_description();
    }
};

std::string VersionText() {
    HVersionInfo v;
    v.Read(HProgramDir::ExecutablePath());
    return std::string("rp57cli ") + HVersionInfo::VersionText() + " (file version " +
           v.GetFileVersion() + ")";
}

// A parse error names the command and shows its usage, so the user sees what
// the command takes without a second call.
std::string FailureText(const CLI::App* app, const CLI::Error& e) {
    const std::vector<CLI::App*> chosen = app->get_subcommands();
    if (chosen.empty())
        return "rp57cli: " + std::string(e.what()) + "\n\n" + app->help();
    const CLI::App* command = chosen.front();
    return "rp57cli: " + command->get_name() + ": " + e.what() + "\n\nusage:\n" +
           command->get_description();
}

bool IsCommand(CLI::App& app, const std::string& name) {
    return !app.get_subcommands([&name](CLI::App* c) { return c->get_name() == name; }).empty();
}

int Dispatch(int argc, char** argv) {
    CLI::App app("rp57cli: the programming engine of RP57 without a window.", "rp57cli");
    app.formatter(std::make_shared<UsageFormatter>());
    app.get_formatter()->label("SUBCOMMAND", "COMMAND");
    app.set_version_flag("--version", &VersionText, "print the program version and exit");
    app.footer("Exit status: 0 done, 1 the operation failed, 2 bad input (nothing done).");
    app.failure_message(&FailureText);
    app.require_subcommand(1);
    int status = kExitOk;
    AddCommands(app, status);
    if (argc < 2) {
        std::fprintf(stderr, "rp57cli: no command given\n\n%s", app.help().c_str());
        return kExitBadInput;
    }
    if (argv[1][0] != '-' && !IsCommand(app, argv[1])) {
        std::fprintf(stderr, "rp57cli: unknown command '%s'\n\n%s", argv[1], app.help().c_str());
        return kExitBadInput;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? kExitOk : kExitBadInput;
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    // A reader that closed our output (`rp57cli upload ... | head -1`) must not
    // kill the process between reading the radio and writing the file; a file
    // size limit must fail the write, which is reported, not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    // As the program does: the trace log first, from INI_LOG.ini in the data directory.
    HLogPrint::Begin();
    const int status = Dispatch(argc, argv);
    HLogPrint::End();
    return status;
}
