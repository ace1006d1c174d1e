#pragma once
// The most-recently-used data files, newest first, kept in the settings file
// under the section and key names the original framework used.
#include <string>
#include <vector>

class HIniFile;

class HRecentFileList {
public:
    static constexpr const char* kSection = "Recent File List";
    static constexpr const char* kKeyPrefix = "File"; // File1 .. FileN

    explicit HRecentFileList(std::size_t size = 4) : m_size(size) {}

    void Load(const HIniFile& ini);
    // Writes every slot; slots beyond the list are removed from the file.
    bool Save(HIniFile& ini) const;

    // Moves `path` to the front (adding it when new) and drops the oldest beyond the size.
    void Add(const std::string& path);
    void Remove(std::size_t index);

    [[nodiscard]] std::size_t Size() const { return m_size; }
    [[nodiscard]] const std::vector<std::string>& Entries() const { return m_entries; }

private:
    std::size_t m_size;
    std::vector<std::string> m_entries;
};
