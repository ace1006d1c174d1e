#include "CliCommand.h"

#include "HDataFile.h"

#include <cstdio>

std::string PlainLines(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out.push_back(text[i]);
    }
    return out;
}

void CliError(const std::string& text) {
    std::fprintf(stderr, "rp57cli: %s\n", PlainLines(text).c_str());
}

void FileError(const HDataFileResult& result) {
    CliError(result.message);
    const std::string& detail = result.detail.empty() ? result.reason : result.detail;
    if (!detail.empty())
        std::fprintf(stderr, "%s\n", PlainLines(detail).c_str());
}
