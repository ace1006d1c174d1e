#pragma once
// Finding the radio: a radio switched on in clone mode sends its Check byte
// over and over until it is answered. Detection opens serial devices, listens
// for that byte and answers nothing: it never writes to any port. A port that
// another program holds (the lock a transfer takes) is named busy and never
// listened to, so its transfer loses no byte and keeps its settings; while
// detection listens it holds the same lock.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace HRadioDetect {

// The serial devices present in `devDir`: ttyUSB*, ttyACM*, then ttyS*, each
// kind in number order ("ttyUSB10" after "ttyUSB9"), however long the number.
[[nodiscard]] std::vector<std::string> SerialDevices(const std::string& devDir = "/dev");

// What listening on one device found.
enum class HHeard : std::uint8_t {
    Radio,    // a Check byte came
    Silent,   // listened to, nothing came (or the listening stopped first)
    Busy,     // another program holds it
    Unusable, // it could not be opened or is no serial device
};
struct HDeviceHeard {
    std::string device;
    HHeard heard = HHeard::Silent;
    std::string why; // Busy and Unusable: the reason, device first
};

struct HListenReport {
    std::vector<std::string> radios;   // devices a Check byte came from, in the order given
    std::vector<std::string> unusable; // devices that could not be opened, with the reason
    std::vector<std::string> busy;     // devices another program holds, and by whom
    std::vector<HDeviceHeard> checked; // every device, in the order given
};

// Listens on every device at once for up to `wait` (at `baud`, 8 data bits,
// no parity, two stop bits). Stops early when `stop` becomes true, and, when
// `firstOnly`, at the first Check byte.
[[nodiscard]] HListenReport Listen(const std::vector<std::string>& devices,
                                   std::chrono::milliseconds wait, int baud = 9600,
                                   const std::atomic<bool>* stop = nullptr, bool firstOnly = false);

} // namespace HRadioDetect
