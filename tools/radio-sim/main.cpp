// rp57-radio-sim: a simulated radio on a pseudo-terminal.
#include "HRadioSim.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

int g_stopPipe[2] = {-1, -1};

void OnSignal(int) {
    const char c = 1;
    // Only async-signal-safe work here: wake the main loop.
    [[maybe_unused]] ssize_t n = ::write(g_stopPipe[1], &c, 1);
}

void Usage() {
    std::fprintf(stderr,
                 "usage: rp57-radio-sim --memory FILE --link PATH [--production-code N]\n"
                 "                      [--custom-code N] [--pace] [--once] [--fault FAULT]...\n"
                 "                      [--log FILE]\n"
                 "faults: silent, drop-byte:N, bad-checksum:AREA:BLOCK, nak:PAGE,\n"
                 "        wrong-first:AREA:BLOCK, vanish-after:N, no-echo,\n"
                 "        write-fail:WORD, nak-command:CODE (an alignment command), no-lock,\n"
                 "        vcv-drift:N[:CH] (VCV readings N lower on test channel CH or all),\n"
                 "        damaged:AREA|both (adjustment data lost: the working copy in EEPROM,\n"
                 "        the shipping default in FLASH, or both; for adjustment recovery)\n"
                 "        (AREA 0/eeprom or 1/flash; numbers decimal or 0x-hex)\n"
                 "Without a memory file the radio starts as it leaves the factory: built-in\n"
                 "image, mobile model codes, adjustment data marked sound and kept again as\n"
                 "the shipping default. What the program writes is saved to FILE.\n");
}

bool ParseCode(const char* text, int& out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 0);
    if (end == text || *end != '\0' || v < 0 || v > 255)
        return false;
    out = int(v);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    HSimConfig config;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--memory" && hasValue) {
            config.memoryPath = argv[++i];
        } else if (arg == "--link" && hasValue) {
            config.linkPath = argv[++i];
        } else if ((arg == "--production-code" || arg == "--custom-code") && hasValue) {
            int code = 0;
            if (!ParseCode(argv[++i], code)) {
                std::fprintf(stderr, "rp57-radio-sim: %s wants a number 0-255\n", arg.c_str());
                return 2;
            }
            (arg == "--production-code" ? config.productionCode : config.customCode) = code;
        } else if (arg == "--pace") {
            config.pace = true;
        } else if (arg == "--once") {
            config.once = true;
        } else if (arg == "--fault" && hasValue) {
            const auto fault = ParseSimFault(argv[++i]);
            if (!fault) {
                std::fprintf(stderr, "rp57-radio-sim: bad fault \"%s\"\n", argv[i]);
                Usage();
                return 2;
            }
            config.faults.push_back(*fault);
        } else if (arg == "--log" && hasValue) {
            config.logPath = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            Usage();
            return 0;
        } else {
            std::fprintf(stderr, "rp57-radio-sim: unexpected argument \"%s\"\n", arg.c_str());
            Usage();
            return 2;
        }
    }
    if (config.memoryPath.empty() || config.linkPath.empty()) {
        Usage();
        return 2;
    }

    if (::pipe2(g_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("rp57-radio-sim: pipe");
        return 1;
    }
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    HRadioSim sim(config);
    if (!sim.Start()) {
        std::fprintf(stderr, "rp57-radio-sim: %s\n", sim.Error().c_str());
        sim.Shutdown();
        return 1;
    }
    const int rc = sim.Run(g_stopPipe[0]);
    if (rc != 0)
        std::fprintf(stderr, "rp57-radio-sim: %s\n", sim.Error().c_str());
    return rc;
}
