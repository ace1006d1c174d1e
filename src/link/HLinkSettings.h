#pragma once
// The serial link a transfer uses and the one builder of communication events
// over it, shared by the program's transfer dialogs and rp57cli.
#include "HCommEventData.h"
#include "HSerialPort.h"

#include <memory>
#include <string>

struct HLinkSettings {
    int portNumber = 1;
    std::string devicePath; // wins over the port number when set
    int baudRate = 9600;
    int connectionMode = 0; // 0 direct cable, 1 interface unit
    int accessLevel = 0;

    // The device a transfer opens.
    [[nodiscard]] std::string DeviceName() const {
        return devicePath.empty() ? HSerialPort::DeviceNameForPort(std::uint32_t(portNumber))
                                  : devicePath;
    }
    // A bare number 1-256 is a "COM n" port number, anything else a device.
    void SetPort(const std::string& text);
};

// An event over the link with its buffers (either may be null where the event
// does not use it; the work buffer of an event that reads is zero-filled). Upload and download get
// the access level's ranges; the other events' ranges are the caller's.
[[nodiscard]] std::unique_ptr<HCommEventData>
BuildCommEvent(HCommEvent id, const HLinkSettings& link, HMemoryImage* work, HMemoryImage* editor);
