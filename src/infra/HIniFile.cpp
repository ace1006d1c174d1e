#include "HIniFile.h"

#include "HFileUtil.h"

// The settings files hold bytes, read and written back as they are.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION // Debian's header holds the template bodies behind this switch
#include <SimpleIni.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>

namespace {

// CSimpleIniA compares section and key names without regard to case.
using Ini = CSimpleIniA;

void Parse(Ini& ini, const std::string& text) {
    ini.SetUnicode(true);
    ini.SetMultiKey(false);
    ini.SetSpaces(false); // "KEY=value" as the profile functions write it
    if (!text.empty())
        ini.LoadData(text);
}

// Settings files are a few kilobytes; anything near this is not one.
constexpr std::size_t kMaxSettingsBytes = 1024 * 1024;

// One line of the file as it stands: its text and its own line ending.
struct Line {
    std::string body;
    std::string end; // "\r\n", "\n" or "" (last line without one)
};

std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) {
            lines.push_back(Line{text.substr(pos), ""});
            break;
        }
        const bool cr = nl > pos && text[nl - 1] == '\r';
        lines.push_back(Line{text.substr(pos, nl - pos - (cr ? 1 : 0)), cr ? "\r\n" : "\n"});
        pos = nl + 1;
    }
    return lines;
}

std::string JoinLines(const std::vector<Line>& lines) {
    std::string out;
    for (const Line& line : lines)
        out += line.body + line.end;
    return out;
}

// New lines follow the file's own first line ending.
std::string LineEnd(const std::vector<Line>& lines) {
    for (const Line& line : lines)
        if (!line.end.empty())
            return line.end;
    return "\n";
}

std::string Trimmed(const std::string& s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool IsComment(const std::string& body) {
    const std::string t = Trimmed(body);
    return !t.empty() && (t[0] == ';' || t[0] == '#');
}

// The name of a "[name]" line, as the parser reads it.
std::optional<std::string> SectionName(const std::string& body) {
    // A UTF-8 byte order mark before the first section is no part of its name.
    const bool bom = body.compare(0, 3, "\xEF\xBB\xBF") == 0;
    const std::string t = Trimmed(bom ? body.substr(3) : body);
    if (t.empty() || t[0] != '[')
        return std::nullopt;
    const std::size_t close = t.find(']');
    if (close == std::string::npos)
        return std::nullopt;
    return Trimmed(t.substr(1, close - 1));
}

} // namespace

int ProfileTextToInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            value = INT_MAX; // saturate rather than overflow on absurd input
    }
    return int(negative ? -value : value);
}

HIniFile::HIniFile(std::string path) : m_path(std::move(path)) {
    Reload();
}

void HIniFile::Reload() {
    m_text.clear();
    m_problem.clear();
    HFileRead r = ReadRegularFile(m_path, kMaxSettingsBytes);
    if (r.status == HFileReadStatus::Missing)
        return;
    if (!r.Ok()) {
        m_problem = r.reason;
        return;
    }
    std::string text(r.bytes.begin(), r.bytes.end());
    if (text.size() >= 2 &&
        ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF'))) {
        m_problem = "UTF-16 text";
        return;
    }
    if (text.find('\0') != std::string::npos) {
        m_problem = "holds a NUL byte";
        return;
    }
    m_text = std::move(text);
}

bool HIniFile::HasKey(const std::string& section, const std::string& key) const {
    Ini ini;
    Parse(ini, m_text);
    return ini.GetValue(section.c_str(), key.c_str(), nullptr) != nullptr;
}

std::string HIniFile::GetString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
    Ini ini;
    Parse(ini, m_text);
    const char* v = ini.GetValue(section.c_str(), key.c_str(), nullptr);
    return v ? std::string(v) : defaultValue;
}

int HIniFile::GetInt(const std::string& section, const std::string& key, int defaultValue) const {
    Ini ini;
    Parse(ini, m_text);
    const char* v = ini.GetValue(section.c_str(), key.c_str(), nullptr);
    return v ? ProfileTextToInt(v) : defaultValue;
}

std::vector<std::string> HIniFile::Sections() const {
    Ini ini;
    Parse(ini, m_text);
    Ini::TNamesDepend names;
    ini.GetAllSections(names);
    names.sort(Ini::Entry::LoadOrder());
    std::vector<std::string> out;
    for (const auto& n : names)
        out.emplace_back(n.pItem);
    return out;
}

std::vector<std::string> HIniFile::Keys(const std::string& section) const {
    Ini ini;
    Parse(ini, m_text);
    Ini::TNamesDepend names;
    ini.GetAllKeys(section.c_str(), names);
    names.sort(Ini::Entry::LoadOrder());
    std::vector<std::string> out;
    for (const auto& n : names)
        out.emplace_back(n.pItem);
    return out;
}

bool HIniFile::Store(std::string text) {
    if (!WriteWholeFileAtomic(m_path, text))
        return false;
    m_text = std::move(text);
    return true;
}

bool HIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    Reload();
    if (!m_problem.empty() || value.find_first_of("\r\n") != std::string::npos ||
        section.find_first_of("[]\r\n") != std::string::npos ||
        key.find_first_of("=\r\n") != std::string::npos)
        return false;
    std::vector<Line> lines = SplitLines(m_text);
    const std::string eol = LineEnd(lines);
    bool inSection = false;
    bool sectionSeen = false;
    bool replaced = false;
    std::size_t insertAt = 0; // after the last key line of the last matching section
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Line& line = lines[i];
        if (const auto name = SectionName(line.body)) {
            inSection = SameName(*name, section);
            if (inSection) {
                sectionSeen = true;
                insertAt = i + 1;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!IsComment(line.body) && !Trimmed(line.body).empty())
            insertAt = i + 1;
        const std::size_t eq = line.body.find('=');
        if (eq == std::string::npos || IsComment(line.body) ||
            !SameName(Trimmed(line.body.substr(0, eq)), key))
            continue;
        line.body = line.body.substr(0, eq + 1) + value;
        replaced = true;
    }
    if (!replaced) {
        if (!lines.empty() && lines.back().end.empty())
            lines.back().end = eol;
        if (sectionSeen) {
            lines.insert(lines.begin() + std::ptrdiff_t(insertAt), Line{key + "=" + value, eol});
        } else {
            lines.push_back(Line{"[" + section + "]", eol});
            lines.push_back(Line{key + "=" + value, eol});
        }
    }
    std::string text = JoinLines(lines);
    // Where the parser reads a damaged file differently from the lines above (a
    // lone "[" takes the next line into a section name), the value would be
    // lost: refuse the write rather than report it done.
    Ini check;
    Parse(check, text);
    const char* stored = check.GetValue(section.c_str(), key.c_str(), nullptr);
    if (!stored || stored != Trimmed(value))
        return false;
    return Store(std::move(text));
}

bool HIniFile::WriteInt(const std::string& section, const std::string& key, int value) {
    return WriteString(section, key, std::to_string(value));
}

bool HIniFile::DeleteKey(const std::string& section, const std::string& key) {
    Reload();
    if (!m_problem.empty())
        return false;
    std::vector<Line> lines = SplitLines(m_text);
    bool inSection = false;
    bool removed = false;
    for (std::size_t i = 0; i < lines.size();) {
        const std::string& body = lines[i].body;
        if (const auto name = SectionName(body)) {
            inSection = SameName(*name, section);
        } else if (const std::size_t eq = body.find('=');
                   inSection && eq != std::string::npos && !IsComment(body) &&
                   SameName(Trimmed(body.substr(0, eq)), key)) {
            lines.erase(lines.begin() + std::ptrdiff_t(i));
            removed = true;
            continue;
        }
        ++i;
    }
    return !removed || Store(JoinLines(lines));
}
