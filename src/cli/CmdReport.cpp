// rp57cli export / print.
#include "CmdReport.h"

#include "HDataFile.h"
#include "HPdfReport.h"
#include "HStringTable.h"
#include "HTextExport.h"

#include <CLI/CLI.hpp>
#include <cstdio>

namespace {

constexpr const char* kExportUsage =
    "  export FILE -o OUT.csv [--level 1|2]\n"
    "                            every setting and the channel list as CSV, as the\n"
    "                            program's File > Export to CSV writes it\n";
constexpr const char* kPrintUsage =
    "  print FILE --pdf OUT.pdf [--level 1|2] [--page-size A4|Letter|Legal|A5|B5]\n"
    "        [--landscape]\n"
    "                            the printed report as a PDF file, as the program\n"
    "                            prints it (no display needed)\n";

struct Options {
    std::string file;
    std::string out;
    int level = 0;
    std::string pageSize = "A4";
    bool landscape = false;
};

void AddCommonOptions(CLI::App& command, Options& o) {
    command.add_option("FILE", o.file, "the data file")->required();
    command.add_option("--level", o.level, "the raised access level")
        ->check(CLI::IsMember({1, 2}))
        ->type_name("1|2");
}

int RunExport(const Options& o) {
    HMemoryImage image{};
    if (!ReadDataFile(o.file, image))
        return kExitBadInput;
    const HTextExport::HExportResult r = HTextExport::ExportToCsv(image, {o.level, o.file}, o.out);
    if (r.ok)
        return kExitOk;
    CliError(HStringTable::Format(r.messageId, r.args) +
             (r.reason.empty() ? "" : " (" + r.reason + ")"));
    // An output that cannot be opened is refused before anything is written.
    return r.messageId == HStringTable::kFileOpenError ? kExitBadInput : kExitFailed;
}

int RunPrint(const Options& o) {
    HMemoryImage image{};
    if (!ReadDataFile(o.file, image))
        return kExitBadInput;
    // A PDF file is written as a data file is: whole, and only where one can be.
    if (const HDataFileResult w = HDataFile::CheckWritable(o.out); !w.Ok()) {
        FileError(w);
        return kExitBadInput;
    }
    const HPdfReport::HPdfResult r =
        HPdfReport::PrintPdf(image, {o.level, o.file}, o.out, {o.pageSize, o.landscape});
    if (!r.ok) {
        CliError("cannot write " + o.out + ": " + r.error);
        return kExitFailed;
    }
    std::printf("%d pages written to %s\n", r.sheets, o.out.c_str());
    return kExitOk;
}

} // namespace

void AddExportCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<Options>();
    CLI::App* command =
        AddCommand(app, "export", kExportUsage, status, [o] { return RunExport(*o); });
    AddCommonOptions(*command, *o);
    command->add_option("-o", o->out, "the CSV file to write")->required();
}

void AddPrintCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<Options>();
    CLI::App* command = AddCommand(app, "print", kPrintUsage, status, [o] { return RunPrint(*o); });
    AddCommonOptions(*command, *o);
    command->add_option("--pdf", o->out, "the PDF file to write")->required();
    command->add_option("--page-size", o->pageSize, "the paper")
        ->check([](const std::string& name) {
            return HPdfReport::IsPageSize(name) ? std::string()
                                                : "unknown page size '" + name + "'";
        })
        ->type_name("SIZE");
    command->add_flag("--landscape", o->landscape, "the paper turned");
}
