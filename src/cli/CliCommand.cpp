#include "CliCommand.h"

#include "HDataFile.h"
#include "HEditorRegistry.h"
#include "HLogPrint.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <utility>

CLI::App* AddCommand(CLI::App& app, const char* name, const char* usage, int& status,
                     std::function<int()> run) {
    CLI::App* command = app.add_subcommand(name, usage);
    command->group("Commands");
    command->callback([name, &status, run = std::move(run)] {
        HLOG_D2("rp57cli %s", name);
        status = run();
    });
    return command;
}

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

std::string TerminalText(std::string_view text, bool lines) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto ch = static_cast<unsigned char>(c);
        if (ch == '\\') {
            out += "\\\\";
        } else if ((ch >= 0x20 && ch < 0x7F) || (ch == '\n' && lines)) {
            out.push_back(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", ch);
            out += buf;
        }
    }
    return out;
}

std::string SettingsSections() {
    std::string sections;
    for (const HEditorEntry& e : HEditorRegistry::Entries())
        sections += (sections.empty() ? "" : ", ") + std::string(e.section);
    return sections;
}

void CliError(const std::string& text) {
    std::fprintf(stderr, "rp57cli: %s\n", TerminalText(PlainLines(text), true).c_str());
}

void FileError(const HDataFileResult& result) {
    CliError(result.message);
    const std::string& detail = result.detail.empty() ? result.reason : result.detail;
    if (!detail.empty())
        std::fprintf(stderr, "%s\n", TerminalText(PlainLines(detail), true).c_str());
}

bool ReadDataFile(const std::string& path, HMemoryImage& image) {
    const HDataFileResult r = HDataFile::Open(path, image);
    if (!r.Ok())
        FileError(r);
    return r.Ok();
}
