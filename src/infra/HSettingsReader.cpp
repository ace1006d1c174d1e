#include "HSettingsReader.h"

#include "HIniFile.h"
#include "HLogPrint.h"

std::string HSettingsError::GetMessages() const {
    std::string out;
    for (const auto& m : m_messages)
        out += m + ",";
    return out;
}

namespace {

// Empty text counts as missing, as the profile reader with an empty default does.
std::string ReadRaw(const std::string& path, const std::string& section, const std::string& key,
                    HSettingsError& error) {
    HIniFile ini(path);
    std::string text = ini.GetString(section, key, "").substr(0, 511);
    if (text.empty()) {
        HLOG_WR("[FILE:%s][SEC:%s][KEY:%s]値が読み取れませんでした。", path.c_str(),
                section.c_str(), key.c_str());
        error.AddMessage(section);
        error.AddMessage(key);
    } else {
        HLOG_D2("[FILE:%s][SEC:%s][KEY:%s]%sを読み出しました", path.c_str(), section.c_str(),
                key.c_str(), text.c_str());
    }
    return text;
}

} // namespace

int ReadSettingInt(const std::string& settingsPath, const std::string& section,
                   const std::string& key, int minimum, int maximum, HSettingsError& error) {
    const std::string text = ReadRaw(settingsPath, section, key, error);
    if (text.empty())
        return -1;
    const int value = ProfileTextToInt(text);
    if (maximum != 0 && value > maximum)
        return maximum;
    if (minimum != 0 && value < minimum)
        return minimum;
    return value;
}

std::string ReadSettingText(const std::string& settingsPath, const std::string& section,
                            const std::string& key, HSettingsError& error) {
    return ReadRaw(settingsPath, section, key, error);
}
