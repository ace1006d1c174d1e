#pragma once
// The factory branches of the Radio menu: Basic Alignment (32853), CH Fine
// Alignment (32854) and Adjustment Recover (32855). Each moves the radio's data
// with the controller's alignment and recovery events, shown in the transfer
// window, and runs the alignment windows in between on the port the start
// event left open. They are offered in Manufacture Mode (access level 1 and 2).
#include "HLinkSettings.h"

#include <chrono>

class CMainFrame;
class CRP57App;

namespace HAlignmentFlows {

// The sheet opens this long after the radio entered ADJ mode.
inline constexpr std::chrono::milliseconds kSheetDelay{2000};

// Installs the three handlers when the access level allows alignment.
void Install(CMainFrame& frame, CRP57App& app);

// The branches; each returns the status it logs (0 success).
int BasicAlignment(CMainFrame& frame, const HLinkSettings& link);
int ChannelFineAlignment(CMainFrame& frame, const HLinkSettings& link);
int AdjustmentRecover(CMainFrame& frame, const HLinkSettings& link);

} // namespace HAlignmentFlows
