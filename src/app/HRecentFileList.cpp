#include "HRecentFileList.h"

#include "HIniFile.h"

#include <algorithm>

namespace {
std::string KeyOf(std::size_t slot) {
    return HRecentFileList::kKeyPrefix + std::to_string(slot + 1);
}
} // namespace

void HRecentFileList::Load(const HIniFile& ini) {
    m_entries.clear();
    for (std::size_t i = 0; i < m_size; ++i) {
        const std::string path = ini.GetString(kSection, KeyOf(i), "");
        // A hand-edited file may leave gaps or repeat a path; keep the order, once each.
        if (!path.empty() && std::find(m_entries.begin(), m_entries.end(), path) == m_entries.end())
            m_entries.push_back(path);
    }
}

bool HRecentFileList::Save(HIniFile& ini) const {
    bool ok = true;
    for (std::size_t i = 0; i < m_size; ++i) {
        if (i < m_entries.size())
            ok = ini.WriteString(kSection, KeyOf(i), m_entries[i]) && ok;
        else if (ini.HasKey(kSection, KeyOf(i)))
            ok = ini.DeleteKey(kSection, KeyOf(i)) && ok;
    }
    return ok;
}

void HRecentFileList::Add(const std::string& path) {
    if (path.empty())
        return;
    m_entries.erase(std::remove(m_entries.begin(), m_entries.end(), path), m_entries.end());
    m_entries.insert(m_entries.begin(), path);
    if (m_entries.size() > m_size)
        m_entries.resize(m_size);
}

void HRecentFileList::Remove(std::size_t index) {
    if (index < m_entries.size())
        m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
}
