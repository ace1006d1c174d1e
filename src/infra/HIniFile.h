#pragma once
// INI file with Windows private-profile semantics: section and key names are
// case-insensitive, a missing file or key reads as the default, the file is
// created by the first write, and a write changes its one key and leaves every
// other byte of the file as it was (comments, order, blank lines, line endings).
//
// A file that exists but cannot be read whole as text (not a regular file, too
// large, unreadable, holding NUL bytes or UTF-16) reads as empty and is never
// written: the caller runs on defaults and the file stays for the user.
#include <string>
#include <vector>

class HIniFile {
public:
    explicit HIniFile(std::string path);

    // Reads see the file as it was at construction or at the last Reload/write.
    void Reload();

    [[nodiscard]] const std::string& Path() const { return m_path; }
    // Why the file could not be read at the last Reload/write; empty when it
    // was read whole or does not exist.
    [[nodiscard]] const std::string& Problem() const { return m_problem; }
    [[nodiscard]] bool HasKey(const std::string& section, const std::string& key) const;
    [[nodiscard]] std::string GetString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue) const;
    // Leading optional sign and decimal digits, as the profile integer reader does;
    // a text without leading digits reads as 0, a missing key as the default.
    [[nodiscard]] int GetInt(const std::string& section, const std::string& key,
                             int defaultValue) const;
    [[nodiscard]] std::vector<std::string> Sections() const;
    [[nodiscard]] std::vector<std::string> Keys(const std::string& section) const;

    // Each write re-reads the file, changes one key and writes the file whole
    // (all or nothing). False when the file cannot be written, could not be
    // read, or the value holds a line break.
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    bool WriteInt(const std::string& section, const std::string& key, int value);
    bool DeleteKey(const std::string& section, const std::string& key);

private:
    bool Store(std::string text);

    std::string m_path;
    std::string m_text; // raw file contents as last read
    std::string m_problem;
};

// Decimal conversion as C's atoi: optional sign, stops at the first non-digit.
int ProfileTextToInt(const std::string& text);
