#include "HLinkSettings.h"

#include <charconv>

void HLinkSettings::SetPort(const std::string& text) {
    int number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (ec == std::errc() && end == text.data() + text.size() && number >= 1 && number <= 256) {
        portNumber = number;
        devicePath.clear();
    } else {
        devicePath = text;
    }
}

std::unique_ptr<HCommEventData> BuildCommEvent(HCommEvent id, const HLinkSettings& link,
                                               HMemoryImage* work, HMemoryImage* editor) {
    auto event = std::make_unique<HCommEventData>(id);
    event->errorCode = 0;
    event->connectionMode = link.connectionMode;
    event->baudRate = link.baudRate;
    event->portNumber = link.portNumber;
    event->devicePath = link.devicePath;
    event->accessLevel = link.accessLevel;
    if (id == HCommEvent::Upload)
        event->UseRanges(HTransferDirection::Upload, link.accessLevel);
    else if (id == HCommEvent::Download)
        event->UseRanges(HTransferDirection::Download, link.accessLevel);
    // A work buffer that receives a whole read starts zero-filled; one that
    // already holds data is left as it is: the radio's (an alignment end) or
    // the image that an added channel upload reads only some pages into.
    const bool reads = id == HCommEvent::Upload || id == HCommEvent::Download ||
                       id == HCommEvent::BasicAlignStart || id == HCommEvent::FineAlignStart ||
                       id == HCommEvent::RecoveryStart;
    if (work && reads)
        work->fill(0);
    event->workBuffer = work;
    event->editorImage = editor;
    return event;
}
