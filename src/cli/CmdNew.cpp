// rp57cli new -o FILE [--band NAME] [--product mobile|handheld] [--lcd N] [--force]
#include "CmdImage.h"

#include "HDataFile.h"
#include "HDefaultImage.h"

#include <CLI/CLI.hpp>
#include <array>
#include <cctype>
#include <memory>
#include <optional>
#include <sys/stat.h>

namespace {

struct BandName {
    const char* key; // upper case, without blanks, dashes or underscores
    int band;
};
constexpr std::array<BandName, 8> kBandNames = {{
    {"VHF", kBandVhf},
    {"UHFA", kBandUhfA},
    {"UHFD", kBandUhfD},
    {"LOWA", kBandLowA},
    {"LOWBANDA", kBandLowA},
    {"LOWB", kBandLowB},
    {"LOWBANDB", kBandLowB},
    {"0", kBandVhf},
}};

std::optional<int> ParseBand(const std::string& text) {
    std::string key;
    for (char c : text)
        if (c != ' ' && c != '-' && c != '_')
            key.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    for (const BandName& b : kBandNames)
        if (key == b.key)
            return b.band;
    // The band codes themselves, except 1 ("Not Defined"), which no set has.
    if (key.size() == 1 && key[0] >= '2' && key[0] <= '5')
        return key[0] - '0';
    return std::nullopt;
}

struct NewOptions {
    std::string out;
    std::string band = "VHF";
    std::string product = "mobile";
    int lcd = 1;
    bool force = false;
};

int RunNew(const NewOptions& o) {
    const std::optional<int> band = ParseBand(o.band);
    if (!band) {
        CliError("new: unknown band '" + o.band + "' (VHF, UHF-A, UHF-D, LOW-A, LOW-B)");
        return kExitBadInput;
    }
    const int product = o.product == "handheld" ? kProductHandheld : kProductMobile;
    const std::string& out = o.out;
    struct stat st {};
    if (!o.force && ::stat(out.c_str(), &st) == 0) {
        CliError("new: " + out + " exists (use --force to replace it)");
        return kExitBadInput;
    }
    const HDataFileResult r = HDataFile::Write(out, MakeImageForModel(*band, product, o.lcd));
    if (!r.Ok()) {
        FileError(r);
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace

void AddNewCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<NewOptions>();
    CLI::App* command = AddCommand(
        app, "new",
        "  new -o FILE [--band NAME] [--product mobile|handheld] [--lcd N] [--force]\n"
        "                            write a new data file for a radio model (band VHF,\n"
        "                            UHF-A, UHF-D, LOW-A, LOW-B; default VHF mobile, LCD 1)\n",
        status, [o] { return RunNew(*o); });
    command->add_option("-o", o->out, "the data file to write")->required()->type_name("FILE");
    command->add_option("--band", o->band, "VHF, UHF-A, UHF-D, LOW-A or LOW-B")->type_name("NAME");
    command->add_option("--product", o->product, "the product type")
        ->check(CLI::IsMember({"mobile", "handheld"}))
        ->type_name("mobile|handheld");
    command->add_option("--lcd", o->lcd, "the display: 0 without, 1 with")
        ->check(CLI::IsMember({0, 1}))
        ->type_name("N");
    command->add_flag("--force", o->force, "replace an existing file");
}
