#pragma once
// Test helpers shared by the editor tests: a prompt that answers from a
// script and records what it was asked.
#include "HEditorPrompt.h"
#include "HMemoryImage.h"
#include "ImageTestUtil.h"

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
