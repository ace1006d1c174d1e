#include "HSettingAssignments.h"

#include "HDefaultImage.h"
#include "HEditorRegistry.h"

namespace HSettingAssignments {

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

Result Apply(HMemoryImage& image, int accessLevel, const Values& values) {
    Result result;
    for (const auto& [key, value] : values) {
        HSettingsSession session(image, accessLevel);
        if (session.FindRow(key) != nullptr) {
            result.error = key + " is a row that no dialog shows; it is kept as the radio holds it";
            return result;
        }
        const HSettingsSession::Setting* s = session.Find(key);
        if (s == nullptr) {
            result.error = UnknownKey(session, key);
            return result;
        }
        if (std::string why = session.Set(*s, value); !why.empty()) {
            result.error = std::move(why);
            return result;
        }
        if (std::string why = session.Confirm(&MakeImageForModel); !why.empty()) {
            result.error = std::move(why);
            return result;
        }
        for (std::string& message : session.Messages())
            result.warnings.push_back(std::move(message));
    }
    return result;
}

std::optional<std::string> Shown(const HMemoryImage& image, int accessLevel, const std::string& key,
                                 std::string& error) {
    HMemoryImage copy = image;
    const HSettingsSession session(copy, accessLevel);
    const HSettingsSession::Setting* s = session.Find(key);
    if (s == nullptr) {
        error = UnknownKey(session, key);
        return std::nullopt;
    }
    return session.Shown(*s);
}

} // namespace HSettingAssignments
