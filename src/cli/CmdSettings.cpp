// rp57cli show / get / set over the editor registry.
#include "CmdSettings.h"

#include "CliCommand.h"
#include "HDataFile.h"
#include "HDefaultImage.h"
#include "HEditorRegistry.h"

#include <cstdio>
#include <optional>

namespace {

struct Options {
    std::vector<std::string> words; // FILE, then the command's own words
    std::string out;
    bool json = false;
    int level = 0;
};

// Parses the options every settings command shares; false (reported) on a bad one.
bool ParseOptions(const char* command, const std::vector<std::string>& args, Options& o,
                  bool takesOut, bool takesJson) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--json" && takesJson) {
            o.json = true;
        } else if (a == "--level") {
            if (!hasValue || (args[i + 1] != "1" && args[i + 1] != "2")) {
                CliError(std::string(command) + ": --level takes 1 or 2");
                return false;
            }
            o.level = args[++i][0] - '0';
        } else if (a == "-o" && takesOut) {
            if (!hasValue) {
                CliError(std::string(command) + ": -o needs a file");
                return false;
            }
            o.out = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            CliError(std::string(command) + ": unknown option '" + a + "'");
            return false;
        } else {
            o.words.push_back(a);
        }
    }
    if (o.words.empty()) {
        CliError(std::string(command) + ": no data file given");
        return false;
    }
    return true;
}

bool ReadImage(const std::string& path, HMemoryImage& image) {
    const HDataFileResult r = HDataFile::Open(path, image);
    if (!r.Ok())
        CliError(r.message + (r.reason.empty() ? "" : " (" + r.reason + ")"));
    return r.Ok();
}

// Bytes outside printable ASCII as \xNN (and '\' doubled): a damaged text in
// an image never reaches the terminal raw.
std::string Printable(const std::string& s) {
    std::string out;
    for (unsigned char ch : s) {
        if (ch == '\\') {
            out += "\\\\";
        } else if (ch < 0x20 || ch >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", ch);
            out += hex;
        } else {
            out.push_back(static_cast<char>(ch));
        }
    }
    return out;
}

std::string Json(const std::string& s) {
    std::string out = "\"";
    for (unsigned char ch : s) {
        if (ch == '"' || ch == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(ch));
        } else if (ch < 0x20 || ch >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\u%04X", ch);
            out += hex;
        } else {
            out.push_back(static_cast<char>(ch));
        }
    }
    return out + "\"";
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
        break;
    }
    return std::nullopt;
}

std::string UnknownKey(const HSettingsSession& session, const std::string& key) {
    std::string text = "unknown setting '" + key + "'";
    const std::string section = key.substr(0, key.find('.'));
    std::string keys;
    for (const auto& s : session.Settings())
        if (s.section == section)
            keys += (keys.empty() ? "" : ", ") + s.key;
    if (!keys.empty())
        text += "; " + section + " has " + keys;
    else
        text += " (rp57cli show FILE lists every key)";
    return text;
}

} // namespace

int CmdShow(const std::vector<std::string>& args) {
    Options o;
    if (!ParseOptions("show", args, o, false, true))
        return kExitBadInput;
    if (o.words.size() > 2) {
        CliError("show: unexpected argument '" + o.words[2] + "'");
        return kExitBadInput;
    }
    const std::string section = o.words.size() == 2 ? o.words[1] : std::string();
    if (!section.empty() && HEditorRegistry::FindBySection(section) == nullptr) {
        std::string sections;
        for (const HEditorEntry& e : HEditorRegistry::Entries())
            sections += (sections.empty() ? "" : ", ") + std::string(e.section);
        CliError("show: unknown section '" + section + "' (" + sections + ")");
        return kExitBadInput;
    }
    HMemoryImage image{};
    if (!ReadImage(o.words[0], image))
        return kExitBadInput;
    HSettingsSession session(image, o.level);
    std::string out = o.json ? "{" : "";
    std::string current;
    bool firstKey = true;
    for (const auto& s : session.Settings()) {
        if ((!section.empty() && s.section != section) || !session.IsShown(s))
            continue;
        if (s.section != current) {
            if (o.json)
                out += std::string(current.empty() ? "" : "},") + Json(s.section) + ":{";
            else
                out += std::string(current.empty() ? "" : "\n") + "[" + s.section + "]\n";
            current = s.section;
            firstKey = true;
        }
        const std::string shown = session.Shown(s);
        if (o.json) {
            const std::optional<std::int32_t> code = CodeOf(session, s);
            out += std::string(firstKey ? "" : ",") + Json(s.key) + ":{\"label\":" + Json(s.label) +
                   ",\"value\":" + Json(shown) +
                   ",\"code\":" + (code ? std::to_string(*code) : "null") + "}";
        } else {
            out += s.key + " = " + Printable(shown) + "\n";
        }
        firstKey = false;
    }
    if (o.json)
        out += std::string(current.empty() ? "" : "}") + "}\n";
    std::fputs(out.c_str(), stdout);
    return kExitOk;
}

int CmdGet(const std::vector<std::string>& args) {
    Options o;
    if (!ParseOptions("get", args, o, false, false))
        return kExitBadInput;
    if (o.words.size() != 2) {
        CliError("get: give a data file and one key");
        return kExitBadInput;
    }
    HMemoryImage image{};
    if (!ReadImage(o.words[0], image))
        return kExitBadInput;
    HSettingsSession session(image, o.level);
    const HSettingsSession::Setting* s = session.Find(o.words[1]);
    if (s == nullptr) {
        CliError("get: " + UnknownKey(session, o.words[1]));
        return kExitBadInput;
    }
    std::printf("%s\n", Printable(session.Shown(*s)).c_str());
    return kExitOk;
}

int CmdSet(const std::vector<std::string>& args) {
    Options o;
    if (!ParseOptions("set", args, o, true, false))
        return kExitBadInput;
    if (o.words.size() < 2) {
        CliError("set: give a data file and at least one KEY=VALUE");
        return kExitBadInput;
    }
    if (o.out.empty()) {
        CliError("set: no output file given (-o OUT)");
        return kExitBadInput;
    }
    HMemoryImage image{};
    if (!ReadImage(o.words[0], image))
        return kExitBadInput;
    // Each change in turn, as a user would make them one dialog after the
    // other: a later one sees what an earlier one enabled or made anew.
    for (std::size_t i = 1; i < o.words.size(); ++i) {
        const std::string& assignment = o.words[i];
        const std::size_t eq = assignment.find('=');
        if (eq == std::string::npos) {
            CliError("set: '" + assignment + "' is not KEY=VALUE");
            return kExitBadInput;
        }
        const std::string key = assignment.substr(0, eq);
        HSettingsSession session(image, o.level);
        const HSettingsSession::Setting* s = session.Find(key);
        if (s == nullptr) {
            CliError("set: " + UnknownKey(session, key));
            return kExitBadInput;
        }
        if (const std::string why = session.Set(*s, assignment.substr(eq + 1)); !why.empty()) {
            CliError("set: " + why);
            return kExitBadInput;
        }
        if (const std::string why = session.Confirm(&MakeImageForModel); !why.empty()) {
            CliError("set: " + why);
            return kExitBadInput;
        }
        for (const std::string& message : session.Messages())
            CliError("warning: " + message);
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
