#pragma once
// What a fleet run does to each radio's download: the image is given the
// radio's roster row (found by the serial number the download reads) and the
// settings kept from the radio itself, then prepared for writing again; a
// radio not in the roster is not written. Shared by rp57cli download and the
// program's Fleet Download.
#include "HCommEventData.h"
#include "HRoster.h"

#include <string>
#include <vector>

// One radio of a fleet run, as its download's hook found it.
struct HFleetTurn {
    std::string serial;
    bool skipped = false; // not in the roster: not written
    std::string received; // "key=value", a line for each setting the roster and keep gave
};

namespace HFleetPlan {

// Installs the hook on a download event; nothing without a roster or keys to
// keep. `roster` and `turn` must outlive the transfer.
void Install(HCommEventData& event, const HRoster* roster, const std::vector<std::string>& keep,
             HFleetTurn& turn);

} // namespace HFleetPlan
