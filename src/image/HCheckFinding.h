#pragma once
// One thing the check before writing found in an image: what it is about (the
// setting's stable key and caption, a channel number where it is a cell), how
// bad it is, and the sentence a technician reads. Shared by the rule that makes
// findings and by the controller and front ends that act on them.
#include <algorithm>
#include <string>
#include <vector>

enum class HCheckSeverity {
    Warning, // shown; the write goes on
    Error,   // the write stops unless the user overrides it
};

struct HCheckFinding {
    HCheckSeverity severity = HCheckSeverity::Warning;
    int messageId = 0;   // the string-table text the sentence was made from
    std::string key;     // "hardware.freq_band", "channels.12.rx_frequency"
    std::string caption; // "Freq. Band", "RX Frequency"
    int channel = 0;     // 1-based channel number; 0 for a setting
    std::string text;    // the sentence shown

    bool operator==(const HCheckFinding&) const = default;
};

[[nodiscard]] inline bool HHasCheckErrors(const std::vector<HCheckFinding>& findings) {
    return std::ranges::any_of(
        findings, [](const HCheckFinding& f) { return f.severity == HCheckSeverity::Error; });
}
