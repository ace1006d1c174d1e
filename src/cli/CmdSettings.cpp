// rp57cli show / get / set over the editor registry.
#include "CmdSettings.h"

#include "CliJson.h"
#include "HDataFile.h"
#include "HEditorRegistry.h"
#include "HSettingAssignments.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

struct Options {
    std::string file;
    std::string word;               // show's SECTION, get's KEY
    std::vector<std::string> words; // set's KEY=VALUE words
    std::string out;
    bool json = false;
    int level = 0;
};

// The access level every settings command takes.
void AddLevelOption(CLI::App& command, Options& o) {
    command.add_option("--level", o.level, "the raised access level")
        ->check(CLI::IsMember({1, 2}))
        ->type_name("1|2");
}

// The stored code behind a shown value: a list's code, a check's state, a
// number edit's stored value; none for texts.
std::optional<std::int32_t> CodeOf(const HSettingsSession& session,
                                   const HSettingsSession::Setting& s) {
    const HEditor& e = session.EditorOf(s);
    switch (e.Item(s.item).kind) {
    case HItemKind::Combo:
    case HItemKind::Check:
        return session.Code(s);
    case HItemKind::Edit:
        if (e.Edit(s.item).IsNumeric())
            return e.Edit(s.item).GetStoredInt();
        return std::nullopt;
    case HItemKind::Static:
    case HItemKind::Grid:
    case HItemKind::Button:
        break;
    }
    return std::nullopt;
}

int RunShow(const Options& o) {
    const std::string& section = o.word;
    if (!section.empty() && HEditorRegistry::FindBySection(section) == nullptr) {
        CliError("show: unknown section '" + section + "' (" + SettingsSections() + ")");
        return kExitBadInput;
    }
    HMemoryImage image{};
    if (!ReadDataFile(o.file, image))
        return kExitBadInput;
    HSettingsSession session(image, o.level);
    CliJson json = CliJson::object();
    std::string text;
    std::string current;
    for (const auto& s : session.Settings()) {
        if ((!section.empty() && s.section != section) || !session.IsShown(s))
            continue;
        const std::string shown = session.Shown(s);
        if (o.json) {
            const std::optional<std::int32_t> code = CodeOf(session, s);
            json[s.section][s.key] = {{"label", JsonText(s.label)},
                                      {"value", JsonText(shown)},
                                      {"code", code ? CliJson(*code) : CliJson(nullptr)}};
            continue;
        }
        if (s.section != current)
            text += std::string(current.empty() ? "" : "\n") + "[" + s.section + "]\n";
        current = s.section;
        text += s.key + " = " + TerminalText(shown) + "\n";
    }
    if (o.json)
        PrintJson(json);
    else
        std::fputs(text.c_str(), stdout);
    return kExitOk;
}

int RunGet(const Options& o) {
    HMemoryImage image{};
    if (!ReadDataFile(o.file, image))
        return kExitBadInput;
    HSettingsSession session(image, o.level);
    // A row no dialog shows has no shown text: its stored number stands for it.
    if (const HSettingsSession::Row* row = session.FindRow(o.word)) {
        std::printf("%d\n", session.Stored(*row));
        return kExitOk;
    }
    const HSettingsSession::Setting* s = session.Find(o.word);
    if (s == nullptr) {
        CliError("get: " + HSettingAssignments::UnknownKey(session, o.word));
        return kExitBadInput;
    }
    std::printf("%s\n", TerminalText(session.Shown(*s)).c_str());
    return kExitOk;
}

int RunSet(const Options& o) {
    HMemoryImage image{};
    if (!ReadDataFile(o.file, image))
        return kExitBadInput;
    HSettingAssignments::Values values;
    for (const std::string& assignment : o.words) {
        const std::size_t eq = assignment.find('=');
        if (eq == std::string::npos) {
            CliError("set: '" + assignment + "' is not KEY=VALUE");
            return kExitBadInput;
        }
        values.emplace_back(assignment.substr(0, eq), assignment.substr(eq + 1));
    }
    const HSettingAssignments::Result applied = HSettingAssignments::Apply(image, o.level, values);
    for (const std::string& message : applied.warnings)
        CliError("warning: " + message);
    if (!applied.error.empty()) {
        CliError("set: " + applied.error);
        return kExitBadInput;
    }
    // A file that already holds the result is left as it is.
    HMemoryImage existing{};
    if (HDataFile::Check(o.out) == HDataFileStatus::Ok && HDataFile::Read(o.out, existing).Ok() &&
        existing == image)
        return kExitOk;
    const HDataFileResult r = HDataFile::Write(o.out, image);
    if (!r.Ok()) {
        CliError(r.message + (r.reason.empty() ? "" : " (" + r.reason + ")"));
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace

void AddShowCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<Options>();
    CLI::App* command =
        AddCommand(app, "show",
                   "  show FILE [SECTION] [--json] [--level 1|2]\n"
                   "                            every setting of the Common editors as\n"
                   "                            key = shown text, section by section\n",
                   status, [o] { return RunShow(*o); });
    command->add_option("FILE", o->file, "the data file")->required();
    command->add_option("SECTION", o->word, "only this section (hardware, option, ...)");
    command->add_flag("--json", o->json, "one JSON object of sections instead of text");
    AddLevelOption(*command, *o);
}

void AddGetCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<Options>();
    CLI::App* command =
        AddCommand(app, "get", "  get FILE KEY [--level 1|2] print the shown text of one setting\n",
                   status, [o] { return RunGet(*o); });
    command->add_option("FILE", o->file, "the data file")->required();
    command->add_option("KEY", o->word, "the setting's key, as show lists it")->required();
    AddLevelOption(*command, *o);
}

void AddSetCommand(CLI::App& app, int& status) {
    auto o = std::make_shared<Options>();
    CLI::App* command =
        AddCommand(app, "set",
                   "  set FILE KEY=VALUE [KEY=VALUE...] -o OUT [--level 1|2]\n"
                   "                            change settings as the dialogs would (a list\n"
                   "                            entry's text, or what one types into an edit)\n"
                   "                            and write the result to OUT\n",
                   status, [o] { return RunSet(*o); });
    command->add_option("FILE", o->file, "the data file to change")->required();
    command->add_option("KEY=VALUE", o->words, "a setting and its new value")->required();
    command->add_option("-o", o->out, "where the result is written")->required()->type_name("OUT");
    AddLevelOption(*command, *o);
}
