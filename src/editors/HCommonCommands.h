#pragma once
// The Common menu's command ids, named once: the main window's menu table and
// the editor registry both take them from here.
namespace HCommonCmd {
inline constexpr int kHardware = 32772;
inline constexpr int kOption = 32773;
inline constexpr int kScanning = 32774;
inline constexpr int kPowerSaving = 32775;
inline constexpr int kFrontPanel = 32776;
inline constexpr int kKeyFunction = 32777;
inline constexpr int kEmergency = 32778;
inline constexpr int kMarketing = 32779;
inline constexpr int kMiscellaneous = 32780;
inline constexpr int kPassword = 32781;
inline constexpr int kDsub15 = 32782;
inline constexpr int kDirectCh = 32784;
} // namespace HCommonCmd
