#pragma once
// The Common menu: one handler per editor of the registry. Each opens its
// editor (a dialog, or a property sheet of its pages) over the document's
// image at the program's access level; OK marks the image modified, except
// that a Hardware model change makes a new image through the document.
class CMainFrame;
class CRP57App;
struct HEditorEntry;

namespace HCommonMenu {

void Install(CMainFrame& frame, CRP57App& app);

// Runs one registry editor as its menu command does; true when confirmed.
bool Run(CMainFrame& frame, CRP57App& app, const HEditorEntry& entry);

} // namespace HCommonMenu
