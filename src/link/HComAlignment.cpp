#include "HComAlignment.h"

#include <chrono>
#include <thread>

using namespace HAlignCommand;

namespace HAlignCommand {

std::vector<std::uint8_t> BuildFrame(std::uint8_t code, std::span<const std::uint8_t> params) {
    std::vector<std::uint8_t> frame;
    frame.reserve(params.size() + 3);
    frame.push_back(code);
    frame.push_back(std::uint8_t(params.size() + 1));
    for (std::uint8_t b : params)
        frame.push_back(b);
    frame.push_back(0);
    frame.back() = HCloneProtocol::Checksum(std::span(frame).first(frame.size() - 1));
    return frame;
}

} // namespace HAlignCommand

HComAlignment::HComAlignment(HSerialPort* port) : HRpCommonCommunication(port, kTemplateId) {}

bool HComAlignment::SendAlignCommand(std::span<std::uint8_t> frame) {
    // A cancel (a stop signal) ends the step under way at its next command.
    if (frame.size() < 3 || !m_port || !m_port->IsOpen() || IsCancelRequested())
        return false;
    frame.back() = HCloneProtocol::Checksum(frame.first(frame.size() - 1));
    // Stale bytes of an earlier exchange would be read as this one's reply.
    m_port->PurgeReceive();
    m_port->PurgeTransmit();
    std::this_thread::sleep_for(std::chrono::milliseconds(kCommandWaitMs));
    return m_port->Write(frame) == kSerialOk;
}

bool HComAlignment::ReceiveAlignReply(std::uint8_t expected, std::size_t length,
                                      std::span<std::uint8_t> out) {
    if (!m_port || length == 0)
        return false;
    std::vector<std::uint8_t> reply(length);
    if (m_port->Read(reply) != kSerialOk || reply[0] != expected)
        return false;
    // The reply's checksum is not the radio's promise: only its first byte counts.
    if (length >= 4 && !out.empty()) {
        const std::size_t n = std::min(out.size(), length - 3);
        std::copy(reply.begin() + 2, reply.begin() + 2 + long(n), out.begin());
    }
    return true;
}

bool HComAlignment::Acknowledged(std::uint8_t code, std::span<const std::uint8_t> params) {
    std::vector<std::uint8_t> frame = BuildFrame(code, params);
    return SendAlignCommand(frame) && ReceiveAlignReply(kAck, 1);
}

bool HComAlignment::ChangeChannel(std::uint8_t group, std::uint8_t channel) {
    const std::uint8_t p[] = {group, channel};
    if (Acknowledged(kChangeChannel, p))
        return true;
    HDLOG(1, "チャネル切り換え失敗[GROUP:%02X][CHANNEL:%03X]", group, channel);
    return false;
}

bool HComAlignment::ReadAdValues(AdValues& out) {
    std::vector<std::uint8_t> frame = BuildFrame(kReadAd, {});
    return SendAlignCommand(frame) && ReceiveAlignReply(kReadAd, kAdReplySize, out);
}

std::optional<int> HComAlignment::TryReadAdValue(int index) {
    AdValues ad{};
    if (index < 0 || index >= int(kAdValues) || !ReadAdValues(ad)) {
        HDLOG(1, "A/D値読み込み失敗[INDEX:%X]", unsigned(index));
        return std::nullopt;
    }
    return ad[std::size_t(index)];
}

int HComAlignment::ReadAdValue(int index) {
    return TryReadAdValue(index).value_or(0);
}

int HComAlignment::CheckPllLock(bool* readFailed) {
    AdValues ad{};
    const bool read = ReadAdValues(ad);
    if (readFailed)
        *readFailed = !read;
    if (!read) {
        HDLOG(1, "%s", "A/D値読み込み失敗。Unlockです。");
        return -1;
    }
    const int vcv = LockedVcv(ad);
    if (vcv >= 0)
        HDLOG(3, "PLL Lock[VCV:%02X]", unsigned(vcv));
    else
        HDLOG(1, "PLL UnLock[UL:%02X]", unsigned(ad[kAdLockDetect]));
    return vcv;
}

bool HComAlignment::SetTxPowerTuneLevel(std::uint8_t p1, std::uint8_t p2, std::uint8_t p3,
                                        std::uint8_t p4) {
    const std::uint8_t p[] = {p1, p2, p3, p4};
    if (Acknowledged(kTxPowerTuneLevel, p))
        return true;
    HDLOG(1, "%s", "Tx Power/Tune Level変更要求失敗");
    return false;
}

bool HComAlignment::SetDeviation(std::uint8_t d1, std::uint8_t d2, std::uint8_t d3) {
    // The calling step logs its own entry.
    const std::uint8_t p[] = {d1, d2, d3};
    return Acknowledged(kDeviation, p);
}

bool HComAlignment::RequestTx() {
    if (Acknowledged(kRequestTx, {}))
        return true;
    HDLOG(1, "%s", "TX要求失敗");
    return false;
}

bool HComAlignment::RequestRx() {
    if (Acknowledged(kRequestRx, {}))
        return true;
    HDLOG(1, "%s", "RX要求失敗");
    return false;
}

bool HComAlignment::SetModulationTone(std::uint16_t value) {
    const std::uint8_t p[] = {std::uint8_t(value >> 8), std::uint8_t(value & 0xFF)};
    if (Acknowledged(kModulationTone, p))
        return true;
    HDLOG(1, "%s", "変調開始要求失敗");
    return false;
}

bool HComAlignment::SetDcsModulation(bool on) {
    const std::uint8_t p[] = {std::uint8_t(on ? 1 : 0)};
    if (Acknowledged(kDcsModulation, p))
        return true;
    HDLOG(1, "%s", "変調開始要求失敗");
    return false;
}

bool HComAlignment::SetAfSwitch(bool on) {
    const std::uint8_t p[] = {std::uint8_t(on ? kAfSwitchOn : 0)};
    if (Acknowledged(kAfSwitch, p))
        return true;
    HDLOG(1, "%s", "AF Switch 切り換え要求失敗");
    return false;
}

bool HComAlignment::SetFreqDa(std::uint8_t f1, std::uint8_t f2, std::uint8_t f3) {
    const std::uint8_t p[] = {f1, f2, f3};
    if (Acknowledged(kFreqDa, p))
        return true;
    HDLOG(1, "%s", "Freq D/A変更要求失敗");
    return false;
}
