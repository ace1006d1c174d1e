#pragma once
// The Signalling menu's command ids, named once for the editor registry and
// the main window's menu table. 32792, 32797 and 32805 have no command.
namespace HSignallingCmd {
inline constexpr int kSignallingType = 32791;
inline constexpr int kDtmfAni = 32793;
inline constexpr int kDtmf = 32794;
inline constexpr int kDtmfCode = 32795;
inline constexpr int kPagingCode = 32796;
inline constexpr int k2ToneTable = 32798;
inline constexpr int k2ToneSystem = 32799;
inline constexpr int k2ToneDecode = 32800;
inline constexpr int k2ToneEncode = 32801;
inline constexpr int k5ToneCommon = 32802;
inline constexpr int k5ToneTable = 32803;
inline constexpr int k5ToneSystem = 32804;
inline constexpr int k5ToneDecode = 32806;
inline constexpr int k5ToneEncode = 32807;
} // namespace HSignallingCmd
