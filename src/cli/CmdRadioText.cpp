// rp57cli dump FILE -o RADIO.json and load RADIO.json -o FILE.
#include "CmdRadioText.h"

#include "HDataFile.h"
#include "HFileUtil.h"
#include "HRadioText.h"

#include <CLI/CLI.hpp>
#include <memory>

namespace {

struct Options {
    std::string in;
    std::string out;
};

int RunDump(const Options& o) {
    HMemoryImage image{};
    if (const HDataFileResult r = HDataFile::Open(o.in, image); !r.Ok()) {
        FileError(r);
        return kExitBadInput;
    }
    std::string why;
    if (!WriteWholeFileAtomic(o.out, HRadioText::Dump(image), &why)) {
        CliError("dump: cannot write " + o.out + (why.empty() ? "" : ": " + why));
        return kExitFailed;
    }
    return kExitOk;
}

int RunLoad(const Options& o) {
    const std::optional<std::string> text = ReadWholeFile(o.in);
    if (!text) {
        CliError("load: cannot read " + o.in);
        return kExitBadInput;
    }
    const HRadioText::HLoadResult loaded = HRadioText::Load(*text);
    if (!loaded.ok) {
        for (const std::string& error : loaded.errors)
            CliError("load: " + error);
        CliError("load: nothing written");
        return kExitBadInput;
    }
    if (const HDataFileResult r = HDataFile::Write(o.out, loaded.image); !r.Ok()) {
        FileError(r);
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace

void AddDumpCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<Options>();
    CLI::App* command =
        AddCommand(app, "dump",
                   "  dump FILE -o RADIO.json   the whole radio as text: every setting by\n"
                   "                            its key, every channel cell by group, channel\n"
                   "                            and column, and the bytes no setting shows\n",
                   status, [o] { return RunDump(*o); });
    command->add_option("FILE", o->in, "the data file")->required();
    command->add_option("-o", o->out, "the JSON file written")->required()->type_name("RADIO.json");
}

void AddLoadCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<Options>();
    CLI::App* command =
        AddCommand(app, "load",
                   "  load RADIO.json -o FILE   build the data file from a dump, each value\n"
                   "                            through its setting's or column's rules\n",
                   status, [o] { return RunLoad(*o); });
    command->add_option("RADIO.json", o->in, "the dump")->required();
    command->add_option("-o", o->out, "the data file written")->required()->type_name("FILE");
}
