#pragma once
// The clone protocol between the program and a radio in clone mode: the
// handshake (the radio sends Check, we answer Power On or ADJ), block reads and
// writes of EEPROM words and FLASH pages, and the reset frame.
//
// Frames: command, count of the bytes after the count (checksum included),
// address and data, checksum = low 8 bits of the sum of all bytes before it.
#include "HCommEventData.h"
#include "HDlgBase.h"
#include "HMemoryImage.h"
#include "HSerialPort.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace HCloneProtocol {
inline constexpr std::uint8_t kCheck = 0x50;   // radio -> PC
inline constexpr std::uint8_t kPowerOn = 0x40; // PC -> radio, clone mode
inline constexpr std::uint8_t kAdjMode = 0x30; // PC -> radio, alignment mode
inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kNak = 0x15;
inline constexpr std::uint8_t kReadEeprom = 0xF0;
inline constexpr std::uint8_t kWriteEeprom = 0xF1;
inline constexpr std::uint8_t kReadFlash = 0xF2;
inline constexpr std::uint8_t kWriteFlash = 0xF3;
inline constexpr std::uint8_t kReset = 0x38;

inline constexpr int kAreaEeprom = 0;
inline constexpr int kAreaFlash = 1;
inline constexpr int kLastEepromWord = 0xFF;
inline constexpr int kLastFlashPage = 0x5E;
inline constexpr std::size_t kEepromWordSize = 2;
inline constexpr std::size_t kFlashPageSize = 128;
inline constexpr std::size_t kFlashOffset = 512;
inline constexpr int kHandshakeTries = 20;

// Lengths of requests and responses.
inline constexpr std::size_t kReadRequestSize = 4;
inline constexpr std::size_t kEepromReadResponseSize = 5;  // F0 cc d0 d1 ss
inline constexpr std::size_t kFlashReadResponseSize = 131; // F2 cc d0..d127 ss
inline constexpr std::size_t kEepromWriteRequestSize = 6;
inline constexpr std::size_t kFlashWriteRequestSize = 132;
inline constexpr std::size_t kEepromWriteResponseSize = 5;
inline constexpr std::size_t kFlashWriteResponseSize = 1; // ACK or NAK
inline constexpr std::array<std::uint8_t, 3> kResetFrame{0x38, 0x01, 0x39};

static_assert(kFlashOffset == HImageMap::kFlashBase);
static_assert(kFlashOffset + (kLastFlashPage + 1) * kFlashPageSize == HImageMap::kFlashEnd);
static_assert(kFlashWriteRequestSize == 4 + kFlashPageSize);

// Low 8 bits of the byte sum.
[[nodiscard]] constexpr std::uint8_t Checksum(std::span<const std::uint8_t> bytes) {
    unsigned sum = 0;
    for (std::uint8_t b : bytes)
        sum += b;
    return static_cast<std::uint8_t>(sum & 0xFF);
}
// True when the last byte is the checksum of the ones before it.
[[nodiscard]] constexpr bool ChecksumOk(std::span<const std::uint8_t> frame) {
    return !frame.empty() && Checksum(frame.first(frame.size() - 1)) == frame.back();
}

// Image byte offset of a block, or -1 when the block is outside the image.
[[nodiscard]] constexpr long BlockOffset(int area, int block) {
    if (area == kAreaEeprom && block >= 0 && block <= kLastEepromWord)
        return long(block) * long(kEepromWordSize);
    if (area == kAreaFlash && block >= 0 && block <= kLastFlashPage)
        return long(kFlashOffset) + long(block) * long(kFlashPageSize);
    return -1;
}
[[nodiscard]] constexpr std::size_t BlockSize(int area) {
    return area == kAreaEeprom ? kEepromWordSize : kFlashPageSize;
}

// Request frames; empty when the block is outside the image.
[[nodiscard]] std::vector<std::uint8_t> BuildReadRequest(int area, int block);
[[nodiscard]] std::vector<std::uint8_t> BuildWriteRequest(int area, int block,
                                                          std::span<const std::uint8_t> image);
} // namespace HCloneProtocol

class HRpCommonCommunication : public HDlgBase {
public:
    static constexpr int kTemplateId = 162;

    // `port` is not owned and must outlive this object.
    explicit HRpCommonCommunication(HSerialPort* port, int templateId = kTemplateId);
    ~HRpCommonCommunication() override;

    // true when the port is open.
    virtual bool OpenPort(HCommEventData& event);
    // true when the handshake succeeded (Power On / ADJ sent after a Check).
    virtual bool SetCloneMode(HCommEventData& event);
    virtual bool SetCloneModeAdj(HCommEventData& event);
    // Interface header bytes 2..3 = 8C 00, byte 4 = 00.
    virtual void PrepareInterfaceHeader(HCommEventData& event);
    // Byte size, stop bits, parity and baud rate from the event into the port.
    virtual void ApplyLineSettings(HCommEventData& event);
    // Area 0 EEPROM word, 1 FLASH page. `retries` repeats only a request that could
    // not be sent (0 = one attempt). The error code goes to `event` when given.
    virtual bool ReadBlock(int area, int block, int retries,
                           std::span<std::uint8_t, kImageSize> image, HCommEventData* event);
    virtual bool WriteBlock(int area, int block, int retries,
                            std::span<const std::uint8_t, kImageSize> image, HCommEventData* event);
    // 0 when the reset frame went out, 1 when not (opposite sense of the others).
    int ResetRadio(HCommEventData* event);

    [[nodiscard]] HSerialPort* GetPort() const { return m_port; }
    [[nodiscard]] std::size_t GetFlashOffset() const { return m_flashOffset; }

    // Cancel between blocks: any thread may request it; the controller's loops
    // (and the handshake wait) check it. Cleared by the controller at the start
    // of a transfer.
    void RequestCancel() { m_cancel.store(true); }
    void ClearCancel() { m_cancel.store(false); }
    [[nodiscard]] bool IsCancelRequested() const { return m_cancel.load(); }

    // Status text and progress bar. The base keeps the values (readable from any
    // thread); a front end overrides to show them.
    virtual void SetStatusText(const std::string& text);
    virtual void SetProgressRange(int lower, int upper);
    virtual void SetProgressPos(int pos);
    void StepProgress() { SetProgressPos(GetProgressPos() + 1); }
    [[nodiscard]] std::string GetStatusText() const;
    [[nodiscard]] int GetProgressPos() const { return m_progressPos.load(); }
    [[nodiscard]] int GetProgressLower() const { return m_progressLower.load(); }
    [[nodiscard]] int GetProgressUpper() const { return m_progressUpper.load(); }

protected:
    bool Handshake(HCommEventData& event, std::uint8_t reply);
    // Writes the handshake's answer and, with the cable echoing, reads its
    // echo past any Check the radio repeated meanwhile.
    int WriteAnswer(std::uint8_t answer);
    // The attempt (from 1) that sent the frame, 0 when every attempt failed.
    int SendRequest(std::span<const std::uint8_t> frame, int retries, int area, int block,
                    HCommEventData* event, bool isWrite);

    HSerialPort* m_port = nullptr;
    std::size_t m_flashOffset = HCloneProtocol::kFlashOffset;

private:
    std::atomic<bool> m_cancel{false};
    mutable std::mutex m_statusMutex;
    std::string m_statusText;
    std::atomic<int> m_progressLower{0};
    std::atomic<int> m_progressUpper{100};
    std::atomic<int> m_progressPos{0};
};
