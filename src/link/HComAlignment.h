#pragma once
// The alignment command set: short frames to a radio in alignment (ADJ) mode,
// each answered by an acknowledgement byte or by the six A/D readings. The
// alignment steps call these one at a time, on the port the controller left
// open after entering ADJ mode; nothing here retries.
#include "HRpCommonCommunication.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace HAlignCommand {
inline constexpr std::uint8_t kChangeChannel = 0x30;
inline constexpr std::uint8_t kReadAd = 0x31;
inline constexpr std::uint8_t kTxPowerTuneLevel = 0x32;
inline constexpr std::uint8_t kDeviation = 0x33;
inline constexpr std::uint8_t kRequestTx = 0x34;
inline constexpr std::uint8_t kRequestRx = 0x35;
inline constexpr std::uint8_t kModulationTone = 0x36;
inline constexpr std::uint8_t kDcsModulation = 0x37;
inline constexpr std::uint8_t kAfSwitch = 0x39;
inline constexpr std::uint8_t kFreqDa = 0x3B;

inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::size_t kAdReplySize = 9; // 31 cc a0..a5 ss
inline constexpr std::size_t kAdValues = 6;
inline constexpr int kAdRssi = 1;
inline constexpr int kAdNoise = 2;
inline constexpr int kAdVcv = 4;
inline constexpr int kAdLockDetect = 5;
inline constexpr int kLockDetectLevel = 200; // at or above: the PLL is locked
inline constexpr std::uint16_t kTestTone = 0x11C7;
inline constexpr std::uint8_t kAfSwitchOn = 3;

using AdValues = std::array<std::uint8_t, kAdValues>;

// Code, count of the bytes after the count, parameters, checksum (8-bit sum of
// the bytes before it).
[[nodiscard]] std::vector<std::uint8_t> BuildFrame(std::uint8_t code,
                                                   std::span<const std::uint8_t> params);
// A signed value as the radio takes it: bit 7 the sign, the rest the magnitude.
[[nodiscard]] constexpr std::uint8_t SignMagnitude(int v) {
    return v >= 0 ? std::uint8_t(v % 256) : std::uint8_t(0x80 | ((-v) % 256));
}
// A sign-magnitude byte read back as a signed value.
[[nodiscard]] constexpr int FromSignMagnitude(std::uint8_t b) {
    return (b & 0x80) ? -int(b & 0x7F) : int(b);
}
// The TX power limit sent with every keyed adjustment: the alignment value plus
// the channel's offset, in sign-magnitude form.
[[nodiscard]] constexpr std::uint8_t TxPowerLimit(int alignmentValue, int channelOffset) {
    return SignMagnitude(alignmentValue + channelOffset);
}
// The VCV reading when the lock-detect level says locked, else -1.
[[nodiscard]] constexpr int LockedVcv(const AdValues& ad) {
    return ad[kAdLockDetect] >= kLockDetectLevel ? int(ad[kAdVcv]) : -1;
}
} // namespace HAlignCommand

class HComAlignment : public HRpCommonCommunication {
public:
    static constexpr int kTemplateId = 0; // the two-button "Alignment" dialog
    static constexpr int kCommandWaitMs = 10;

    // `port` is not owned, must outlive this object and is normally open.
    explicit HComAlignment(HSerialPort* port);

    bool ChangeChannel(std::uint8_t group, std::uint8_t channel);
    // The A/D value at index 0..5, 0 after a failure.
    int ReadAdValue(int index);
    // The same, nothing after a failure: for a step that must not take the 0
    // of a failed read for a reading.
    std::optional<int> TryReadAdValue(int index);
    // All six A/D values; false after a failure.
    bool ReadAdValues(HAlignCommand::AdValues& out);
    // The VCV reading (0..255) when the PLL is locked, -1 when unlocked or
    // unread; `readFailed`, when given, tells the two apart.
    int CheckPllLock(bool* readFailed = nullptr);
    // p1 TX power or RX tune level, p2 RX VCV, p3 TX VCV, p4 TX power limit
    // (sign-magnitude, see HAlignCommand::TxPowerLimit).
    bool SetTxPowerTuneLevel(std::uint8_t p1, std::uint8_t p2, std::uint8_t p3, std::uint8_t p4);
    bool SetDeviation(std::uint8_t d1, std::uint8_t d2, std::uint8_t d3);
    bool RequestTx();
    bool RequestRx();
    bool SetModulationTone(std::uint16_t value);
    bool SetDcsModulation(bool on);
    bool SetAfSwitch(bool on);
    bool SetFreqDa(std::uint8_t f1, std::uint8_t f2, std::uint8_t f3);

    // The frame's last byte becomes its checksum; purge, wait 10 ms, write.
    bool SendAlignCommand(std::span<std::uint8_t> frame);
    // Exactly `length` bytes whose first is `expected`; bytes 2..length-2 go to
    // `out` when it is given and the reply is 4 bytes or longer.
    bool ReceiveAlignReply(std::uint8_t expected, std::size_t length,
                           std::span<std::uint8_t> out = {});

protected:
    [[nodiscard]] std::string GetLogPrefix() const override { return {}; }

private:
    // One command answered by the acknowledgement byte.
    bool Acknowledged(std::uint8_t code, std::span<const std::uint8_t> params);
};
