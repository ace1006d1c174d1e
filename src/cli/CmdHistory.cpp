#include "CmdHistory.h"

#include "CliJson.h"
#include "CmdCheck.h"
#include "HDataFile.h"
#include "HTransferSteps.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace {

struct Options {
    std::vector<std::string> words; // [], [SERIAL], [get, SERIAL], [diff, SERIAL, N, M]
    bool json = false;
    int at = 0;
    std::string before;
    std::string out;
    std::string section;
    int level = 0;
};

std::string Shown(const std::string& serial) {
    return serial.empty() ? "(none)" : serial;
}

std::string FirstLine(const std::string& text) {
    std::string line = PlainLines(text);
    return line.substr(0, line.find('\n'));
}

std::string Short(const std::string& hash) {
    return hash.empty() ? "-" : hash.substr(0, 12);
}

CliJson Json(const HHistoryRecord& r, int step) {
    return {{"step", step},
            {"time", HHistoryText::UtcTime(r.time)},
            {"operation", HHistoryNames::Of(r.operation)},
            {"result", HHistoryNames::Of(r.result)},
            {"level", r.accessLevel},
            {"message", r.message},
            {"bench", r.bench},
            {"user", r.user},
            {"version", r.version},
            {"serial", r.radio.serial},
            {"model", r.radio.Model()},
            {"productionCode", r.radio.productionCode},
            {"customCode", r.radio.customCode},
            {"firmware", r.radio.firmware},
            {"read", r.readHash.empty() ? CliJson() : CliJson(r.readHash)},
            {"written", r.writtenHash.empty() ? CliJson() : CliJson(r.writtenHash)},
            {"values", r.values},
            {"journal", r.journal}};
}

int RunList(const Options& o) {
    std::vector<HRadioSummary> radios;
    std::string error;
    if (!CliHistory().Radios(radios, error)) {
        CliError("history: " + error);
        return kExitFailed;
    }
    if (o.json) {
        CliJson list = CliJson::array();
        for (const HRadioSummary& r : radios)
            list.push_back({{"serial", r.last.radio.serial},
                            {"model", r.last.radio.Model()},
                            {"records", r.records},
                            {"last", Json(r.last, int(r.records))}});
        PrintJson({{"history", CliHistory().Settings().Shown()}, {"radios", list}});
        return kExitOk;
    }
    std::printf("%-8s  %-20s  %-14s  %-9s  %-19s  %-16s  %s\n", "serial", "model", "last", "result",
                "when", "where", "who");
    for (const HRadioSummary& r : radios)
        std::printf("%-8s  %-20s  %-14s  %-9s  %-19s  %-16s  %s\n",
                    Shown(r.last.radio.serial).c_str(), r.last.radio.Model().c_str(),
                    HHistoryNames::Of(r.last.operation), HHistoryNames::Of(r.last.result),
                    HHistoryText::LocalTime(r.last.time).c_str(), r.last.bench.c_str(),
                    r.last.user.c_str());
    return kExitOk;
}

bool Timeline(const std::string& serial, std::vector<HHistoryRecord>& out) {
    std::string error;
    if (!CliHistory().Timeline(serial, out, error)) {
        CliError("history: " + error);
        return false;
    }
    if (out.empty()) {
        CliError("history: no record of radio " + serial);
        return false;
    }
    return true;
}

int RunTimeline(const Options& o) {
    const std::string& serial = o.words[0];
    std::vector<HHistoryRecord> records;
    if (!Timeline(serial, records))
        return kExitFailed;
    if (o.json) {
        CliJson list = CliJson::array();
        for (std::size_t i = 0; i < records.size(); ++i)
            list.push_back(Json(records[i], int(i + 1)));
        PrintJson({{"serial", serial}, {"records", list}});
        return kExitOk;
    }
    std::printf("%s  %s\n", Shown(serial).c_str(), records.back().radio.Model().c_str());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const HHistoryRecord& r = records[i];
        std::printf("%3zu  %s  %-14s  %-9s  level %d  %s  %s  read %s  written %s  %s\n", i + 1,
                    HHistoryText::LocalTime(r.time).c_str(), HHistoryNames::Of(r.operation),
                    HHistoryNames::Of(r.result), r.accessLevel, r.bench.c_str(), r.user.c_str(),
                    Short(r.readHash).c_str(), Short(r.writtenHash).c_str(),
                    FirstLine(r.message).c_str());
        if (!r.values.empty()) {
            std::string values = r.values;
            for (char& c : values)
                c = c == '\n' ? ';' : c;
            std::printf("     values: %s\n", values.c_str());
        }
    }
    return kExitOk;
}

// The image radio `serial` held after step `step` (from 1).
bool StepImage(const std::vector<HHistoryRecord>& records, int step, HMemoryImage& image) {
    if (step < 1 || std::size_t(step) > records.size()) {
        CliError("history: radio " + records.front().radio.serial + " has steps 1 to " +
                 std::to_string(records.size()) + ", not " + std::to_string(step));
        return false;
    }
    const HHistoryRecord& r = records[std::size_t(step) - 1];
    if (r.HashAfter().empty()) {
        CliError("history: step " + std::to_string(step) + " (" + HHistoryNames::Of(r.operation) +
                 ", " + HHistoryNames::Of(r.result) + ") holds no image");
        return false;
    }
    std::string error;
    if (!CliHistory().Image(r.HashAfter(), image, error)) {
        CliError("history: " + error);
        return false;
    }
    // As an upload's data file holds it: the band limits and the fields an
    // upload clears, which the radio's own bytes do not give.
    HTransferSteps::CorrectAfterUpload(image);
    return true;
}

int RunGet(const Options& o) {
    if (o.out.empty()) {
        CliError("history get: -o FILE names the data file to write");
        return kExitBadInput;
    }
    if (o.at != 0 && !o.before.empty()) {
        CliError("history get: --at or --before, not both");
        return kExitBadInput;
    }
    std::optional<std::int64_t> before;
    if (!o.before.empty()) {
        before = HHistoryText::ParseTime(o.before);
        if (!before) {
            CliError("history get: --before '" + o.before +
                     "' is no time (YYYY-MM-DD[ HH:MM[:SS]] local, or ...THH:MM:SSZ UTC)");
            return kExitBadInput;
        }
    }
    std::vector<HHistoryRecord> records;
    if (!Timeline(o.words[1], records))
        return kExitFailed;
    // The latest step (before the time) that holds an image.
    int step = o.at;
    for (std::size_t i = 0; step == 0 && i < records.size(); ++i) {
        const HHistoryRecord& r = records[records.size() - 1 - i];
        if (!r.HashAfter().empty() && (!before || r.time < *before))
            step = int(records.size() - i);
    }
    if (step == 0) {
        CliError("history get: no step of radio " + o.words[1] + " holds an image" +
                 (before ? " before " + o.before : ""));
        return kExitFailed;
    }
    HMemoryImage image{};
    if (!StepImage(records, step, image))
        return kExitFailed;
    if (const HDataFileResult r = HDataFile::Write(o.out, image); !r.Ok()) {
        FileError(r);
        return kExitFailed;
    }
    std::printf("step %d of radio %s written to %s\n", step, o.words[1].c_str(), o.out.c_str());
    return kExitOk;
}

int RunDiff(const Options& o) {
    std::vector<HHistoryRecord> records;
    int steps[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        try {
            std::size_t used = 0;
            steps[i] = std::stoi(o.words[std::size_t(2 + i)], &used);
            if (used != o.words[std::size_t(2 + i)].size())
                throw std::invalid_argument("");
        } catch (const std::exception&) {
            CliError("history diff: '" + o.words[std::size_t(2 + i)] + "' is no step number");
            return kExitBadInput;
        }
    }
    if (!Timeline(o.words[1], records))
        return kExitFailed;
    HMemoryImage a{}, b{};
    if (!StepImage(records, steps[0], a) || !StepImage(records, steps[1], b))
        return kExitFailed;
    const std::string name = o.words[1] + " step ";
    return PrintDiff(a, b, name + o.words[2], name + o.words[3], o.section, o.level, o.json);
}

int RunHistory(const Options& o) {
    const std::size_t n = o.words.size();
    if (n == 0)
        return RunList(o);
    if (o.words[0] == "get" && n == 2)
        return RunGet(o);
    if (o.words[0] == "diff" && n == 4)
        return RunDiff(o);
    if (n == 1 && o.words[0] != "get" && o.words[0] != "diff")
        return RunTimeline(o);
    CliError("history: " + std::string(o.words[0] == "get"    ? "get takes SERIAL"
                                       : o.words[0] == "diff" ? "diff takes SERIAL N M"
                                                              : "one SERIAL, or get or diff"));
    return kExitBadInput;
}

} // namespace

HHistory& CliHistory() {
    static HHistory history(HHistorySettings::Read());
    return history;
}

void CliRecord(HHistoryRecord record) {
    const HHistoryKept kept = CliHistory().Record(std::move(record));
    if (!kept.notice.empty())
        CliError("history: " + kept.notice);
}

void AddHistoryCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<Options>();
    CLI::App* command =
        AddCommand(app, "history",
                   "  history [--json]          every radio the history knows: serial, model,\n"
                   "                            last operation, when, where, by whom\n"
                   "  history SERIAL [--json]   one radio's timeline, step by step\n"
                   "  history get SERIAL [--at N | --before TIME] -o FILE\n"
                   "                            the image the radio held after step N (or\n"
                   "                            the last step before TIME, else the last one),\n"
                   "                            as the data file of an upload holds it\n"
                   "  history diff SERIAL N M [--section S] [--json] [--level 1|2]\n"
                   "                            the settings and channel cells that differ\n"
                   "                            between steps N and M, as diff shows them\n",
                   status, [o] { return RunHistory(*o); });
    command->add_option("WORDS", o->words, "SERIAL, get SERIAL, or diff SERIAL N M");
    command->add_flag("--json", o->json, "one JSON object instead of text");
    command->add_option("--at", o->at, "get: the step (from 1)")
        ->check(CLI::PositiveNumber)
        ->type_name("N");
    command->add_option("--before", o->before, "get: the last step before this time")
        ->type_name("TIME");
    command->add_option("-o", o->out, "get: the data file written")->type_name("FILE");
    command->add_option("--section", o->section, "diff: only this section");
    command->add_option("--level", o->level, "diff: the raised access level")
        ->check(CLI::IsMember({1, 2}))
        ->type_name("1|2");
}
