#include "HIniFile.h"

#include "HFileUtil.h"

// The settings files hold bytes, read and written back as they are.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION // Debian's header holds the template bodies behind this switch
#include <SimpleIni.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

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

HIniFile::HIniFile(std::string path) : m_path(std::move(path)) { Reload(); }

void HIniFile::Reload() { m_text = ReadWholeFile(m_path).value_or(std::string()); }

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

bool HIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    Reload();
    Ini ini;
    Parse(ini, m_text);
    ini.SetValue(section.c_str(), key.c_str(), value.c_str());
    std::string out;
    if (ini.Save(out) < 0)
        return false;
    if (!WriteWholeFileAtomic(m_path, out))
        return false;
    m_text = std::move(out);
    return true;
}

bool HIniFile::WriteInt(const std::string& section, const std::string& key, int value) {
    return WriteString(section, key, std::to_string(value));
}

bool HIniFile::DeleteKey(const std::string& section, const std::string& key) {
    Reload();
    Ini ini;
    Parse(ini, m_text);
    if (!ini.Delete(section.c_str(), key.c_str()))
        return true;
    std::string out;
    if (ini.Save(out) < 0 || !WriteWholeFileAtomic(m_path, out))
        return false;
    m_text = std::move(out);
    return true;
}
