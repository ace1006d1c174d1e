#include "HUndoHistory.h"

#include <algorithm>

namespace {
const std::string kNoName;
} // namespace

HUndoHistory::HUndoHistory(std::size_t limit) : m_limit(std::max<std::size_t>(limit, 1)) {
    m_states.emplace_back();
}

void HUndoHistory::Reset(const HMemoryImage& image, const std::string& path, bool clean) {
    m_states.clear();
    m_states.push_back(State{image, path, clean, {}});
    m_position = 0;
}

bool HUndoHistory::Record(const HMemoryImage& image, const std::string& path, bool clean,
                          const std::string& name) {
    State& current = m_states[m_position];
    if (current.image == image) {
        current.path = path;
        return false;
    }
    m_states.erase(m_states.begin() + static_cast<std::ptrdiff_t>(m_position) + 1, m_states.end());
    m_states.push_back(State{image, path, clean, name});
    if (m_states.size() > m_limit + 1)
        m_states.erase(m_states.begin(), m_states.begin() + static_cast<std::ptrdiff_t>(
                                                                m_states.size() - m_limit - 1));
    m_position = m_states.size() - 1;
    return true;
}

void HUndoHistory::MarkSaved(const std::string& path) {
    for (State& s : m_states)
        if (s.path == path)
            s.clean = false;
    m_states[m_position].path = path;
    m_states[m_position].clean = true;
}

const std::string& HUndoHistory::UndoName() const {
    return CanUndo() ? m_states[m_position].name : kNoName;
}

const std::string& HUndoHistory::RedoName() const {
    return CanRedo() ? m_states[m_position + 1].name : kNoName;
}

const HUndoHistory::State& HUndoHistory::Undo() {
    if (CanUndo())
        --m_position;
    return m_states[m_position];
}

const HUndoHistory::State& HUndoHistory::Redo() {
    if (CanRedo())
        ++m_position;
    return m_states[m_position];
}
