#pragma once
// The document's undo history: whole images, one per step. An image is
// 12703 bytes, so keeping each state whole is cheaper and surer than keeping
// what changed. Each state also remembers the data file it belongs to and
// whether that file holds it, so undoing back to a saved state is unmodified.
#include "HMemoryImage.h"

#include <cstddef>
#include <string>
#include <vector>

class HUndoHistory {
public:
    static constexpr std::size_t kDefaultLimit = 128;

    struct State {
        HMemoryImage image{};
        std::string path;  // the data file the state belongs to
        bool clean = true; // the file at `path` holds this image
        std::string name;  // the change that led to this state; empty for the first
    };

    explicit HUndoHistory(std::size_t limit = kDefaultLimit);

    // Forgets every step: `image` is the one state (Open, start-up).
    void Reset(const HMemoryImage& image, const std::string& path, bool clean);

    // The image after a change called `name`. A change that left the bytes as
    // they were makes no step: the current state only takes the path (Save
    // As). True when a step was made; the steps that could be redone are gone.
    bool Record(const HMemoryImage& image, const std::string& path, bool clean,
                const std::string& name);

    // The current state was written to its file: it is the clean one, and
    // every other state of the same file no longer matches the file.
    void MarkSaved(const std::string& path);

    [[nodiscard]] bool CanUndo() const { return m_position > 0; }
    [[nodiscard]] bool CanRedo() const { return m_position + 1 < m_states.size(); }
    // The names of the step Undo takes back and of the step Redo does again.
    [[nodiscard]] const std::string& UndoName() const;
    [[nodiscard]] const std::string& RedoName() const;

    // Moves one step back or forward; returns the state now current. Nothing
    // moves when there is no such step.
    const State& Undo();
    const State& Redo();

    [[nodiscard]] const State& Current() const { return m_states[m_position]; }
    [[nodiscard]] std::size_t UndoSteps() const { return m_position; }
    [[nodiscard]] std::size_t Limit() const { return m_limit; }

private:
    std::vector<State> m_states;
    std::size_t m_position = 0;
    std::size_t m_limit;
};
