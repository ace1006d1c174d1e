#pragma once
// The program's side of the history: the records of its transfers (kept on a
// thread of their own; what the technician must hear of them is shown over
// the main window), the earlier read a download may take as its backup, and
// the Radio > History window.
#include "HHistory.h"

class CMainFrame;
class CRP57App;
class HBackupSource;
class QWidget;

namespace HHistoryCommands {

// The history the settings name now (opened anew when they change).
[[nodiscard]] HHistory& History();
// Keeps the record without making the window wait.
void Record(HHistoryRecord record);
// Returns once every record made so far is kept (tests, and before reading).
void Flush();
// What a download asks for an earlier read; null when ReuseMinutes is 0.
[[nodiscard]] HBackupSource* BackupSource();

// Radio > History... and File > Fleet Download...
void Install(CMainFrame& frame, CRP57App& app);

} // namespace HHistoryCommands
