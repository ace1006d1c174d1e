#include "CliJson.h"

#include <cstdio>

std::string JsonText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return out;
}

void PrintJson(const CliJson& value) {
    const std::string text = value.dump(-1, ' ', true);
    std::printf("%s\n", text.c_str());
}
