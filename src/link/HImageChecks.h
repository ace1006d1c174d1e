#pragma once
// The rules that judge the editor image against the radio's data before a
// write: compatibility (product type, display type, channel step) and the
// radio's adjustment data. They decide only; what they found and the images
// they repaired come back to the caller, who chooses how to show them.
#include "HMemoryImage.h"
#include "HPrompt.h"

#include <string>
#include <vector>

enum class HFindingSeverity {
    Note,    // done silently (traced only)
    Warning, // shown, the write goes on
    Refusal, // shown, the write stops
};

struct HFinding {
    HFindingSeverity severity = HFindingSeverity::Note;
    int messageId = 0; // string table id; 0 = nothing to show
    HMessageIcon icon = HMessageIcon::Exclamation;
    std::string key;        // the setting the finding is about
    const char* trace = ""; // trace log text
    int traceLevel = 2;

    bool operator==(const HFinding&) const = default;
};

enum class HAdjustmentState { Good, Repaired, Bad };

struct HAdjustmentCheck {
    HAdjustmentState state = HAdjustmentState::Good;
    std::vector<HFinding> findings;
    HMemoryImage radio{}; // the radio's data, its working copy repaired where it could be
};

struct HCompatibilityCheck {
    std::vector<HFinding> findings; // in the order they are to be shown
    HMemoryImage target{};          // the editor image as it is to be written
    HMemoryImage radio{};           // the radio's data, adjustment repaired
    bool adjustmentRepaired = false;

    // False when a finding stops the write.
    [[nodiscard]] bool Passed() const;
};

namespace HImageChecks {
// The radio's working adjustment copy: good, repaired from the shipping
// default (values 0-27, then its own checksum), or bad (both copies wrong).
[[nodiscard]] HAdjustmentCheck CheckAdjustment(const HMemoryImage& radio);
// Every rule in the order the download applies them. The adjustment rule runs
// only when no earlier rule refused.
[[nodiscard]] HCompatibilityCheck CheckCompatibility(const HMemoryImage& editor,
                                                     const HMemoryImage& radio);
} // namespace HImageChecks
