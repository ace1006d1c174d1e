#include "HFleetPlan.h"

#include "HHistoryRecord.h"
#include "HSignallingSteps.h"
#include "HStringTable.h"
#include "HTransferSteps.h"

#include <algorithm>

namespace HFleetPlan {

void Install(HCommEventData& event, const HRoster* roster, const std::vector<std::string>& keep,
             HFleetTurn& turn) {
    if (!roster && keep.empty())
        return;
    // The serial number names the roster row, also at level 2, which reads nothing else.
    const HBlockRange serialWords{0xFD, 0xFE};
    if (event.accessLevel == 2 && roster &&
        std::ranges::find(event.readEeprom, serialWords) == event.readEeprom.end())
        event.readEeprom.push_back(serialWords);
    event.prepareTarget = [roster, keep, &turn, level = event.accessLevel](
                              HMemoryImage& target, const HMemoryImage& radio,
                              const HMemoryImage* whole, std::string& why) {
        turn.serial = HRadioIdentity::Of(radio).serial;
        const HRosterRow* row = roster ? roster->Find(turn.serial) : nullptr;
        if (roster && !row) {
            turn.skipped = true;
            why = HStringTable::Format(
                HStringTable::kRosterUnknownSerial,
                {turn.serial.empty() ? "(none)" : turn.serial, roster->Path()});
            return false;
        }
        why = HRoster::ImageFor(target, level, row, keep, whole, turn.received);
        if (!why.empty())
            return false;
        // The values may change what the signalling tables compile to.
        HTransferSteps::PrepareForDownload(target, HTransferSteps::ReadSignallingMode(target),
                                           HSignallingSteps::WriteCompiledTables);
        return true;
    };
}

} // namespace HFleetPlan
