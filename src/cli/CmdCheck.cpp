// rp57cli check, diff, backups and detect.
#include "CmdCheck.h"

#include "CliJson.h"
#include "HBackups.h"
#include "HDataFile.h"
#include "HEditorRegistry.h"
#include "HHistoryRecord.h"
#include "HRadioDetect.h"
#include "HSettingRows.h"
#include "HStringTable.h"
#include "HWriteCheck.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

// ------------------------------------------------------------------ check

struct CheckOptions {
    std::string file;
    bool json = false;
    int level = 0;
};

int RunCheck(const CheckOptions& o) {
    HMemoryImage image{};
    if (!ReadDataFile(o.file, image))
        return kExitBadInput;
    const std::vector<HCheckFinding> findings = HWriteCheck::CheckImage(image, o.level);
    const bool errors = HHasCheckErrors(findings);
    if (o.json) {
        CliJson list = CliJson::array();
        for (const HCheckFinding& f : findings)
            list.push_back({{"severity", f.severity == HCheckSeverity::Error ? "error" : "warning"},
                            {"key", f.key},
                            {"caption", f.caption},
                            {"channel", f.channel ? CliJson(f.channel) : CliJson()},
                            {"message", JsonText(f.text)}});
        PrintJson({{"file", o.file}, {"ok", !errors}, {"findings", list}});
    } else {
        for (const HCheckFinding& f : findings)
            std::printf("%s\n", PlainLines(HWriteCheck::Describe(f)).c_str());
        if (findings.empty())
            std::printf("%s: nothing found\n", o.file.c_str());
    }
    return errors ? kExitFailed : kExitOk;
}

// ------------------------------------------------------------------ diff

struct DiffOptions {
    std::string a;
    std::string b;
    std::string section;
    bool json = false;
    int level = 0;
};

std::string Quoted(bool present, const std::string& text) {
    return present ? "\"" + text + "\"" : "(none)";
}

int RunDiff(const DiffOptions& o) {
    HMemoryImage a{};
    HMemoryImage b{};
    if (!ReadDataFile(o.a, a) || !ReadDataFile(o.b, b))
        return kExitBadInput;
    return PrintDiff(a, b, o.a, o.b, o.section, o.level, o.json);
}

// ------------------------------------------------------------------ backups

using HHistoryText::LocalTime;

int RunBackups(bool json) {
    const std::vector<HBackupEntry> entries = HBackups::List();
    if (json) {
        CliJson list = CliJson::array();
        for (const HBackupEntry& e : entries)
            list.push_back({{"path", JsonText(e.path)},
                            {"serial", JsonText(e.label)},
                            {"time", LocalTime(e.time)}});
        PrintJson({{"folder", JsonText(HBackups::Folder())}, {"backups", list}});
        return kExitOk;
    }
    std::printf("%s\n", TerminalText(HBackups::Folder()).c_str());
    for (const HBackupEntry& e : entries)
        std::printf("%s  %-10s  %s\n", LocalTime(e.time).c_str(), TerminalText(e.label).c_str(),
                    TerminalText(e.path).c_str());
    return kExitOk;
}

// ------------------------------------------------------------------ detect

struct DetectOptions {
    std::vector<std::string> devices;
    double wait = 5.0;
    int baud = 9600;
};

int RunDetect(const DetectOptions& o) {
    const std::vector<std::string> devices =
        o.devices.empty() ? HRadioDetect::SerialDevices() : o.devices;
    const HRadioDetect::HListenReport report = HRadioDetect::Listen(
        devices, std::chrono::milliseconds(static_cast<long long>(o.wait * 1000)), o.baud);
    for (const std::string& why : report.busy)
        std::fprintf(stderr, "rp57cli: detect: %s\n", why.c_str());
    for (const std::string& why : report.unusable)
        std::fprintf(stderr, "rp57cli: detect: %s\n", why.c_str());
    for (const std::string& device : report.radios)
        std::printf("%s\n", device.c_str());
    if (report.radios.empty()) {
        std::string listened;
        for (const std::string& d : devices)
            listened += (listened.empty() ? "" : ", ") + d;
        CliError(HStringTable::Format(HStringTable::kDetectNone,
                                      {listened.empty() ? "no serial device" : listened}));
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace

int PrintDiff(const HMemoryImage& a, const HMemoryImage& b, const std::string& aName,
              const std::string& bName, const std::string& section, int level, bool json) {
    const bool rowSection =
        section == HSettingRows::kGroupsSection || section == HSettingRows::kChannelsSection;
    if (!section.empty() && !rowSection && HEditorRegistry::FindBySection(section) == nullptr) {
        CliError("diff: unknown section '" + section + "' (" + SettingsSections() + ", " +
                 HSettingRows::kGroupsSection + ", " + HSettingRows::kChannelsSection + ")");
        return kExitBadInput;
    }
    std::vector<HDiffLine> lines = HImageDiff::Compare(a, b, level);
    if (!section.empty())
        std::erase_if(lines, [&section](const HDiffLine& l) { return l.section != section; });
    if (json) {
        CliJson list = CliJson::array();
        for (const HDiffLine& l : lines)
            list.push_back({{"section", l.section},
                            {"key", l.key},
                            {"caption", l.caption},
                            {"channel", l.channel ? CliJson(l.channel) : CliJson()},
                            {"a", l.inA ? CliJson(JsonText(l.a)) : CliJson()},
                            {"b", l.inB ? CliJson(JsonText(l.b)) : CliJson()}});
        PrintJson({{"a", aName}, {"b", bName}, {"same", lines.empty()}, {"differences", list}});
    } else {
        std::string current;
        for (const HDiffLine& l : lines) {
            if (l.section != current) {
                std::printf("%s[%s]\n", current.empty() ? "" : "\n", l.section.c_str());
                current = l.section;
            }
            std::printf("%s (%s): %s -> %s\n", l.key.c_str(), l.caption.c_str(),
                        Quoted(l.inA, l.a).c_str(), Quoted(l.inB, l.b).c_str());
        }
    }
    return lines.empty() ? kExitOk : kExitFailed;
}

void AddCheckCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<CheckOptions>();
    CLI::App* command =
        AddCommand(app, "check",
                   "  check FILE [--json] [--level 0|1|2]\n"
                   "                            what a download of the file would meet: errors\n"
                   "                            (exit 1) stop a download, warnings are shown\n",
                   status, [o] { return RunCheck(*o); });
    command->add_option("FILE", o->file, "the data file")->required();
    command->add_flag("--json", o->json, "one JSON object instead of text");
    command->add_option("--level", o->level, "the download's access level")
        ->check(CLI::IsMember({0, 1, 2}))
        ->type_name("0|1|2");
}

void AddDiffCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<DiffOptions>();
    CLI::App* command =
        AddCommand(app, "diff",
                   "  diff A B [--section S] [--json] [--level 1|2]\n"
                   "                            every setting and channel cell that differs\n"
                   "                            between two data files (exit 1 when any does)\n",
                   status, [o] { return RunDiff(*o); });
    command->add_option("A", o->a, "the first data file")->required();
    command->add_option("B", o->b, "the second data file")->required();
    command->add_option("--section", o->section, "only this section (hardware, channels, ...)");
    command->add_flag("--json", o->json, "one JSON object instead of text");
    command->add_option("--level", o->level, "the raised access level")
        ->check(CLI::IsMember({1, 2}))
        ->type_name("1|2");
}

void AddBackupsCommand(CLI::App& app, int& status) {
    auto json = std::make_shared<bool>(false);
    CLI::App* command =
        AddCommand(app, "backups",
                   "  backups [--json]          the backups kept before downloads and uploads,\n"
                   "                            newest first\n",
                   status, [json] { return RunBackups(*json); });
    command->add_flag("--json", *json, "one JSON object instead of text");
}

void AddDetectCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<DetectOptions>();
    CLI::App* command =
        AddCommand(app, "detect",
                   "  detect [DEV...] [--wait SECONDS] [--baud N]\n"
                   "                            listen on every serial device (or those\n"
                   "                            given) and name the one where a radio sends\n"
                   "                            its Check byte; nothing is ever sent\n",
                   status, [o] { return RunDetect(*o); });
    command->add_option("DEV", o->devices, "serial devices to listen on");
    command->add_option("--wait", o->wait, "how long to listen (default 5)")
        ->check(CLI::Range(0.1, 600.0));
    command->add_option("--baud", o->baud, "line speed (default 9600)")
        ->check(CLI::IsMember({4800, 9600, 19200, 38400}));
}
