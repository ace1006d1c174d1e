#pragma once
// The safety net around the radio transfers, on the window's side: the check
// before a Download with its override, the backups folder (File > Open Backups
// Folder, the document kept before an Upload replaces it) and File > Compare
// With...
#include "HMemoryImage.h"

class CMainFrame;
class CRP57App;
class QWidget;

namespace HSafetyCommands {

void Install(CMainFrame& frame, CRP57App& app);

// Runs the check before writing over the image. Warnings are shown and the
// download goes on; errors ask "Download anyway?". True: go on.
[[nodiscard]] bool ConfirmDownload(QWidget* parent, const HMemoryImage& image, int accessLevel);

// Keeps a modified document in the backups folder before an upload replaces
// it; a backup that cannot be written is shown.
void KeepDocument(QWidget* parent, const HMemoryImage& image);

} // namespace HSafetyCommands
