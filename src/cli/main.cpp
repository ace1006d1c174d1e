// rp57cli: the programming engine without a window, for scripts and tests.
#include "HVersionInfo.h"
#include "HProgramDir.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr const char* kUsage =
    "usage: rp57cli COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  --version                 print the program version and exit\n"
    "  --help                    print this help and exit\n";

int PrintVersion() {
    HVersionInfo v;
    v.Read(HProgramDir::ExecutablePath());
    std::printf("rp57cli %s (file version %s)\n", HVersionInfo::VersionText(),
                v.GetFileVersion().c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--version")
        return PrintVersion();
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::fprintf(stderr, "rp57cli: unknown command '%s'\n\n%s", command.c_str(), kUsage);
    return 2;
}
