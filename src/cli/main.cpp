// rp57cli: the programming engine without a window, for scripts and tests.
#include "CliCommand.h"
#include "CmdAlign.h"
#include "CmdImage.h"
#include "CmdSettings.h"
#include "CmdTransfer.h"
#include "HLogPrint.h"
#include "HProgramDir.h"
#include "HVersionInfo.h"

#include <array>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Every command of the tool: add a row (and its CmdXxx.cpp) to add a command.
constexpr std::array kCommands = {
    CliCommand{"info", kInfoUsage, CmdInfo},
    CliCommand{"new", kNewUsage, CmdNew},
    CliCommand{"show", kShowUsage, CmdShow},
    CliCommand{"get", kGetUsage, CmdGet},
    CliCommand{"set", kSetUsage, CmdSet},
    CliCommand{"upload", kUploadUsage, CmdUpload},
    CliCommand{"download", kDownloadUsage, CmdDownload},
    CliCommand{"align", kAlignUsage, CmdAlign},
};

std::string Usage() {
    std::string text = "usage: rp57cli COMMAND [OPTIONS]\n"
                       "\n"
                       "Commands:\n";
    for (const CliCommand& c : kCommands)
        text += c.usage;
    text += "  --version                 print the program version and exit\n"
            "  --help                    print this help and exit\n"
            "\n"
            "Exit status: 0 done, 1 the operation failed, 2 bad input (nothing done).\n";
    return text;
}

int PrintVersion() {
    HVersionInfo v;
    v.Read(HProgramDir::ExecutablePath());
    std::printf("rp57cli %s (file version %s)\n", HVersionInfo::VersionText(),
                v.GetFileVersion().c_str());
    return kExitOk;
}

int Dispatch(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(Usage().c_str(), stderr);
        return kExitBadInput;
    }
    const std::string command = argv[1];
    if (command == "--version")
        return PrintVersion();
    if (command == "--help" || command == "-h") {
        std::fputs(Usage().c_str(), stdout);
        return kExitOk;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const CliCommand& c : kCommands)
        if (c.name == command) {
            HLOG_D2("rp57cli %s", command.c_str());
            return c.run(args);
        }
    std::fprintf(stderr, "rp57cli: unknown command '%s'\n\n%s", command.c_str(), Usage().c_str());
    return kExitBadInput;
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
