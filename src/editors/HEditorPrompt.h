#pragma once
// What an editor's rules need from the person at the screen. The editor asks;
// the front end answers: the Qt program with message boxes, tests with
// scripted answers. An editor with no prompt set gets No to every question.
#include <string_view>

class HEditorPrompt {
public:
    virtual ~HEditorPrompt() = default;
    // A Yes/No question; true is Yes.
    [[nodiscard]] virtual bool AskYesNo(std::string_view text) = 0;
    // A message with an OK button (an editor's own check failing).
    virtual void ShowMessage(std::string_view text) = 0;
};
