#pragma once
// Typed readers of a settings file that log every value and collect the
// missing ones in an error object instead of failing.
#include <string>
#include <vector>

class HSettingsError {
public:
    [[nodiscard]] bool HasError() const { return m_code != 0; }
    bool Clear() {
        m_messages.clear();
        return true;
    }
    void SetCode(int code) { m_code = code; }
    [[nodiscard]] int GetCode() const { return m_code; }
    void SetSubCode(int code) { m_subCode = code; }
    [[nodiscard]] int GetSubCode() const { return m_subCode; }
    void AddMessage(const std::string& text) { m_messages.push_back(text); }
    [[nodiscard]] std::string GetMessage(std::size_t index) const {
        return index < m_messages.size() ? m_messages[index] : std::string();
    }
    [[nodiscard]] std::size_t MessageCount() const { return m_messages.size(); }
    // Every message followed by ",".
    [[nodiscard]] std::string GetMessages() const;

private:
    int m_code = 0;
    int m_subCode = 0;
    std::vector<std::string> m_messages;
};

// A bound of 0 means no bound. Missing → -1, logged at level 2 and listed in `error`.
int ReadSettingInt(const std::string& settingsPath, const std::string& section,
                   const std::string& key, int minimum, int maximum, HSettingsError& error);
// Missing → empty text, logged and listed as above.
std::string ReadSettingText(const std::string& settingsPath, const std::string& section,
                            const std::string& key, HSettingsError& error);
