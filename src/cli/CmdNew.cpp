// rp57cli new -o FILE [--band NAME] [--product mobile|handheld] [--lcd N] [--force]
#include "CliCommand.h"
#include "CmdImage.h"

#include "HDataFile.h"
#include "HDefaultImage.h"

#include <array>
#include <cctype>
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

} // namespace

int CmdNew(const std::vector<std::string>& args) {
    std::string out;
    int band = kBandVhf;
    int product = kProductMobile;
    int lcd = 1;
    bool force = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--force") {
            force = true;
        } else if ((a == "-o" || a == "--band" || a == "--product" || a == "--lcd") && !hasValue) {
            CliError("new: " + a + " needs a value");
            return kExitBadInput;
        } else if (a == "-o") {
            out = args[++i];
        } else if (a == "--band") {
            const std::optional<int> b = ParseBand(args[++i]);
            if (!b) {
                CliError("new: unknown band '" + args[i] + "' (VHF, UHF-A, UHF-D, LOW-A, LOW-B)");
                return kExitBadInput;
            }
            band = *b;
        } else if (a == "--product") {
            const std::string& p = args[++i];
            if (p == "mobile") {
                product = kProductMobile;
            } else if (p == "handheld") {
                product = kProductHandheld;
            } else {
                CliError("new: unknown product type '" + p + "' (mobile or handheld)");
                return kExitBadInput;
            }
        } else if (a == "--lcd") {
            const std::string& v = args[++i];
            if (v != "0" && v != "1") {
                CliError("new: LCD type must be 0 or 1, not '" + v + "'");
                return kExitBadInput;
            }
            lcd = v[0] - '0';
        } else {
            CliError("new: unexpected argument '" + a + "'");
            return kExitBadInput;
        }
    }
    if (out.empty()) {
        CliError("new: no output file given (-o FILE)");
        return kExitBadInput;
    }
    struct stat st {};
    if (!force && ::stat(out.c_str(), &st) == 0) {
        CliError("new: " + out + " exists (use --force to replace it)");
        return kExitBadInput;
    }
    const HDataFileResult r = HDataFile::Write(out, MakeImageForModel(band, product, lcd));
    if (!r.Ok()) {
        FileError(r);
        return kExitFailed;
    }
    return kExitOk;
}
