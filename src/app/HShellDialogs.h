#pragma once
// The main window's commands that open the shell's own dialogs and the
// settings editors rendered by HDialog: File > Configure, View > Item >
// Visible, the Common editors that exist, and Help (Get Started, F1, Help
// Topics).
#include <cstdint>

class CMainFrame;
class CRP57App;
class HEditor;

namespace HShellDialogs {

// Help context of the main window itself (0x20000 + resource 128).
inline constexpr std::uint32_t kMainWindowHelp = 0x20000 + 128;
// Help > Get Started opens this context (0x10000 + 32881).
inline constexpr std::uint32_t kGetStartedHelp = 0x10000 + 32881;

// Installs the handlers. The image is taken from the application's document
// when a command runs.
void Install(CMainFrame& frame, CRP57App& app);

// The frame's side of a settings editor: the view commits its cell, the
// editor's dialog runs, OK marks the image modified, the view is refreshed.
// True when the dialog was confirmed.
bool RunEditor(CMainFrame& frame, CRP57App& app, HEditor& editor);

void OnConfigure(CMainFrame& frame, CRP57App& app);
void OnItemVisible(CMainFrame& frame, CRP57App& app);

} // namespace HShellDialogs
