// rp57cli import.
#include "CmdImport.h"

#include "HChannelImport.h"
#include "HDataFile.h"
#include "HStringTable.h"

#include <CLI/CLI.hpp>
#include <cstdio>

namespace {

constexpr const char* kImportUsage =
    "  import FILE CHANNELS.csv (-o OUT | --dry-run) [--level 1|2] [--strict]\n"
    "                            the channel list of a CSV file (as export writes\n"
    "                            it) into the channels of FILE, written to OUT;\n"
    "                            the changes are listed first, rows that do not\n"
    "                            parse are reported by line and skipped (with\n"
    "                            --strict nothing is written then)\n";

struct Options {
    std::string file;
    std::string list;
    std::string out;
    int level = 0;
    bool dryRun = false;
    bool strict = false;
};

int RunImport(const Options& o) {
    if (o.out.empty() && !o.dryRun) {
        CliError("import: give the data file to write (-o OUT) or --dry-run");
        return kExitBadInput;
    }
    HMemoryImage image{};
    if (const HDataFileResult r = HDataFile::Open(o.file, image); !r.Ok()) {
        FileError(r);
        return kExitBadInput;
    }
    // Refused before anything is read or shown, as every output is.
    if (!o.dryRun) {
        if (const HDataFileResult w = HDataFile::CheckWritable(o.out); !w.Ok()) {
            FileError(w);
            return kExitBadInput;
        }
    }
    const HChannelImport::HImportResult r = HChannelImport::ImportFile(image, o.list, o.level);
    if (!r.ok) {
        CliError(HStringTable::Format(r.messageId, r.args));
        if (!r.detail.empty())
            std::fprintf(stderr, "%s\n", TerminalText(PlainLines(r.detail), true).c_str());
        return kExitBadInput;
    }
    for (const std::string& note : r.notes)
        CliError("import: " + note);
    for (const HChannelImport::HImportIssue& issue : r.skipped)
        CliError("import: " + HChannelImport::IssueLine(issue));
    for (const HChannelImport::HImportChange& change : r.changes)
        std::printf("%s\n", TerminalText(HChannelImport::ChangeLine(change)).c_str());
    std::printf("%s\n", TerminalText(HChannelImport::Summary(r)).c_str());
    if (o.strict && !r.skipped.empty()) {
        CliError("import: rows were skipped; nothing written (--strict)");
        return kExitBadInput;
    }
    if (o.dryRun)
        return kExitOk;
    if (const HDataFileResult w = HDataFile::Write(o.out, r.image); !w.Ok()) {
        FileError(w);
        return kExitFailed;
    }
    std::printf("written to %s\n", o.out.c_str());
    return kExitOk;
}

} // namespace

void AddImportCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<Options>();
    CLI::App* command =
        AddCommand(app, "import", kImportUsage, status, [o] { return RunImport(*o); });
    command->add_option("FILE", o->file, "the data file whose channels change")->required();
    command->add_option("CHANNELS.csv", o->list, "the channel list")->required();
    command->add_option("-o", o->out, "the data file to write")->type_name("OUT");
    command->add_flag("--dry-run", o->dryRun, "list the changes, write nothing");
    command->add_flag("--strict", o->strict, "write nothing when a row was skipped");
    command->add_option("--level", o->level, "the raised access level (the Ext MIC column)")
        ->check(CLI::IsMember({1, 2}))
        ->type_name("1|2");
}
