#pragma once
// What a transfer needs from the person at the radio. The core asks; the front
// end answers: the Qt program with dialogs, the command-line tool with flags or
// the terminal, tests with scripted answers.
//
// The controller calls these from its worker thread. A front end whose dialogs
// live on another thread must block the call until the user has answered.
#include <optional>
#include <string>

enum class HMessageIcon { Information, Exclamation, Stop, Question };

class HPrompt {
public:
    virtual ~HPrompt() = default;

    // A message box with an OK button; returns when it was acknowledged.
    virtual void ShowMessage(const std::string& text, HMessageIcon icon) = 0;

    // The "Password" dialog: one edit box, OK and Cancel. std::nullopt is Cancel.
    // `attempt` counts from 1.
    [[nodiscard]] virtual std::optional<std::string> AskPassword(int attempt) = 0;

    // A Yes/No question; true is Yes.
    [[nodiscard]] virtual bool AskYesNo(const std::string& text, HMessageIcon icon) = 0;

    // Errors of the check before writing, with "Download anyway?": true goes on.
    // A front end may answer from a flag (rp57cli --force) instead of asking.
    [[nodiscard]] virtual bool OverrideFindings(const std::string& text) {
        return AskYesNo(text, HMessageIcon::Stop);
    }
};

// What the controller shows while it works: its title, status text and progress
// bar. Called from the worker thread; a window marshals to its own thread.
class HComObserver {
public:
    virtual ~HComObserver() = default;
    virtual void OnTitle(const std::string& title) = 0;
    virtual void OnStatusText(const std::string& text) = 0;
    virtual void OnProgressRange(int maximum) = 0;
    virtual void OnProgressPos(int position) = 0;
};
