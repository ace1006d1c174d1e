#include "HImageChecks.h"

#include "HAlignmentData.h"
#include "HChannels.h"
#include "HHardwareGroup.h"
#include "HStringTable.h"

#include <algorithm>

namespace {

// The adjustment values 0-27 of the two copies mean the same.
constexpr std::size_t kLastSharedValue = 27;

constexpr std::int32_t kStep5k = 0;
constexpr std::int32_t kStep2k5 = 2;

// The display type of a Hardware group: product type 0 keeps it in one row,
// every other product type in another.
std::int32_t DisplayType(const HHardwareGroup& hw) {
    return hw.GetValue(HHardwareGroup::kRowProductType) == 0
               ? hw.GetValue(HHardwareGroup::kRowDisplayMobile)
               : hw.GetValue(HHardwareGroup::kRowDisplayHandheld);
}

HFinding Finding(HFindingSeverity severity, int messageId, HMessageIcon icon, const char* key,
                 const char* trace, int traceLevel) {
    return {severity, messageId, icon, key, trace, traceLevel};
}

} // namespace

bool HCompatibilityCheck::Passed() const {
    return std::ranges::none_of(
        findings, [](const HFinding& f) { return f.severity == HFindingSeverity::Refusal; });
}

namespace HImageChecks {

HAdjustmentCheck CheckAdjustment(const HMemoryImage& radio) {
    HAdjustmentCheck out;
    out.radio = radio;
    HAlignmentData working(HAlignmentData::HCopy::Working);
    if (working.VerifyChecksum(radio))
        return out;
    HAlignmentData backup(HAlignmentData::HCopy::ShippingDefault);
    if (!backup.VerifyChecksum(radio)) {
        out.state = HAdjustmentState::Bad;
        out.findings.push_back(Finding(HFindingSeverity::Refusal, HStringTable::kAdjChecksumError,
                                       HMessageIcon::Exclamation, "adjustment.checksum",
                                       "Adj Checksum Error!", 1));
        return out;
    }
    // The backup's values replace the working copy's, whose own checksum rule
    // then covers them.
    working.Load(radio);
    backup.Load(radio);
    for (std::size_t i = 0; i <= kLastSharedValue; ++i)
        if (i != HAlignmentMap::kChecksumIndex)
            working.SetValue(i, backup.GetValue(i));
    working.Store(out.radio);
    working.RecomputeChecksum(out.radio);
    out.state = HAdjustmentState::Repaired;
    out.findings.push_back(Finding(HFindingSeverity::Warning, HStringTable::kAdjChecksumBackup,
                                   HMessageIcon::Exclamation, "adjustment.checksum", "", 2));
    return out;
}

HCompatibilityCheck CheckCompatibility(const HMemoryImage& editor, const HMemoryImage& radio) {
    HCompatibilityCheck out;
    out.target = editor;
    out.radio = radio;
    HHardwareGroup editorHw;
    editorHw.Load(editor);
    HHardwareGroup radioHw;
    radioHw.Load(radio);

    if (editorHw.GetValue(HHardwareGroup::kRowProductType) !=
        radioHw.GetValue(HHardwareGroup::kRowProductType))
        out.findings.push_back(Finding(HFindingSeverity::Warning,
                                       HStringTable::kProductTypeMismatch,
                                       HMessageIcon::Exclamation, "hardware.product_type",
                                       "Product Type Mismatch.Continue!", 2));

    // A radio without a display shows one group only.
    if (DisplayType(editorHw) > 0 && DisplayType(radioHw) == 0) {
        HChannels model;
        model.Load(out.target);
        model.TruncateGroups(1);
        model.Save(out.target);
        out.findings.push_back(
            Finding(HFindingSeverity::Note, 0, HMessageIcon::Information, "hardware.display_type",
                    "Non LCD Typeへの書き込みの為、グループ2以降のデータを消去する", 2));
    }

    const std::int32_t editorStep = editorHw.GetValue(HHardwareGroup::kRowStepSet);
    const std::int32_t radioStep = radioHw.GetValue(HHardwareGroup::kRowStepSet);
    if (editorStep == kStep2k5 && radioStep == kStep5k) {
        out.findings.push_back(Finding(
            HFindingSeverity::Warning, HStringTable::kChannelStepMismatch,
            HMessageIcon::Exclamation, "hardware.chan_step", "Chanel Step Mismatch.Continue!", 2));
    } else if (editorStep == kStep5k && radioStep == kStep2k5) {
        HChannels model;
        model.Load(out.target);
        for (int c = 0; c < model.GetCapacity(); ++c) {
            if (model.GetField(c, HChannelTables::kFieldRxStep) >= kStep2k5 ||
                model.GetField(c, HChannelTables::kFieldTxStep) >= kStep2k5) {
                out.findings.push_back(Finding(
                    HFindingSeverity::Refusal, HStringTable::kChannelStepMismatch,
                    HMessageIcon::Stop, "hardware.chan_step", "Chanel Step Mismatch.Finish!", 1));
                return out;
            }
        }
    }

    HAdjustmentCheck adjustment = CheckAdjustment(radio);
    out.radio = adjustment.radio;
    out.adjustmentRepaired = adjustment.state == HAdjustmentState::Repaired;
    out.findings.insert(out.findings.end(), adjustment.findings.begin(), adjustment.findings.end());
    return out;
}

} // namespace HImageChecks
