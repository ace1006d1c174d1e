#pragma once
// The main window's radio commands: Radio > Upload and Download (and their
// toolbar buttons) through the transfer dialog, with the steps the window
// takes around them, and Channel > Channel Allocations/Group Alpha Tag with
// the added-channel upload that follows it.
#include "HTransferRanges.h"
#include "HTransferSteps.h"

class CMainFrame;
class CRP57App;

namespace HRadioCommands {

// Installs the handlers. The image is the application's document's, taken when
// a command runs.
void Install(CMainFrame& frame, CRP57App& app);

// OnMenuRadio for Upload (32851) and Download (32852): the view commits its
// cell, the branch runs, the view is refreshed. Returns the transfer
// dialog's result (1 OK, 2 Cancel), 0 for an id without a branch here.
int OnMenuRadio(CMainFrame& frame, CRP57App& app, int id);

// Channel allocation (32861). True when the dialog was confirmed.
bool OnChannelAllocation(CMainFrame& frame, CRP57App& app);

// Channel pages in use: the allocated channels divided by 3, rounded up.
[[nodiscard]] int ChannelPagesInUse(int usedChannels);

} // namespace HRadioCommands
