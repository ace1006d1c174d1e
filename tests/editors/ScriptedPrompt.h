#pragma once
// Test helpers shared by the editor tests: a prompt that answers from a
// script and records what it was asked, and a byte-by-byte image comparison.
#include "HEditorPrompt.h"
#include "HMemoryImage.h"

#include <deque>
#include <string>
#include <string_view>
#include <vector>

class ScriptedPrompt : public HEditorPrompt {
public:
    // Questions take the scripted answers in order, then `otherwise`.
    explicit ScriptedPrompt(bool otherwise = false) : m_otherwise(otherwise) {}
    bool AskYesNo(std::string_view text) override {
        asked.emplace_back(text);
        if (answers.empty())
            return m_otherwise;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void ShowMessage(std::string_view text) override { told.emplace_back(text); }

    std::deque<bool> answers;
    std::vector<std::string> asked;
    std::vector<std::string> told;

private:
    bool m_otherwise;
};

// Offsets at which two images differ.
inline std::vector<std::size_t> Differences(const HMemoryImage& a, const HMemoryImage& b) {
    std::vector<std::size_t> d;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            d.push_back(i);
    return d;
}
