#include "HRpCommonCommunication.h"

#include <algorithm>

using namespace HCloneProtocol;

namespace HCloneProtocol {

std::vector<std::uint8_t> BuildReadRequest(int area, int block) {
    if (BlockOffset(area, block) < 0)
        return {};
    std::vector<std::uint8_t> frame{area == kAreaEeprom ? kReadEeprom : kReadFlash, 0x02,
                                    std::uint8_t(block), 0};
    frame.back() = Checksum(std::span(frame).first(frame.size() - 1));
    return frame;
}

std::vector<std::uint8_t> BuildWriteRequest(int area, int block,
                                            std::span<const std::uint8_t> image) {
    const long offset = BlockOffset(area, block);
    const std::size_t size = BlockSize(area);
    if (offset < 0 || std::size_t(offset) + size > image.size())
        return {};
    std::vector<std::uint8_t> frame;
    frame.reserve(size + 4);
    frame.push_back(area == kAreaEeprom ? kWriteEeprom : kWriteFlash);
    frame.push_back(std::uint8_t(size + 2)); // address, data, checksum
    frame.push_back(std::uint8_t(block));
    frame.insert(frame.end(), image.begin() + offset, image.begin() + offset + long(size));
    frame.push_back(Checksum(frame));
    return frame;
}

} // namespace HCloneProtocol

HRpCommonCommunication::HRpCommonCommunication(HSerialPort* port, int templateId)
    : HDlgBase(templateId), m_port(port) {}

HRpCommonCommunication::~HRpCommonCommunication() {
    JoinThread();
}

void HRpCommonCommunication::SetStatusText(const std::string& text) {
    std::lock_guard lock(m_statusMutex);
    m_statusText = text;
}

std::string HRpCommonCommunication::GetStatusText() const {
    std::lock_guard lock(m_statusMutex);
    return m_statusText;
}

void HRpCommonCommunication::SetProgressRange(int lower, int upper) {
    m_progressLower.store(lower);
    m_progressUpper.store(upper);
}

void HRpCommonCommunication::SetProgressPos(int pos) {
    m_progressPos.store(pos);
}

bool HRpCommonCommunication::OpenPort(HCommEventData& event) {
    HDLOG(6, "%s", "FUNC_IN");
    if (!m_port) {
        HDLOG(6, "%s", "FUNC_OUT");
        return false;
    }
    m_port->SetConnectionMode(event.connectionMode);
    PrepareInterfaceHeader(event);
    m_port->SetEchoOff(event.echoOff);
    m_port->SetPortNumber(std::uint32_t(std::max(event.portNumber, 0)));
    if (!event.devicePath.empty())
        m_port->SetDevicePath(event.devicePath);
    ApplyLineSettings(event);
    const bool open = m_port->Open() == kSerialOk;
    HDLOG(6, "%s", "FUNC_OUT");
    return open;
}

void HRpCommonCommunication::PrepareInterfaceHeader(HCommEventData& event) {
    if (!m_port)
        return;
    std::array<std::uint8_t, HSerialPort::kHeaderSize> header{};
    m_port->GetInterfaceHeader(header);
    header[2] = 0x8C;
    header[3] = 0x00;
    header[4] = 0x00;
    m_port->SetInterfaceHeader(header);
}

void HRpCommonCommunication::ApplyLineSettings(HCommEventData& event) {
    if (!m_port)
        return;
    HLineSettings d = m_port->GetLineSettings();
    HDLOG(5, "[DCB]ByteSize is %X", unsigned(d.ByteSize));
    HDLOG(5, "[DCB]StopBits is %X", unsigned(d.StopBits));
    HDLOG(5, "[DCB]Parity is %X", unsigned(d.Parity));
    HDLOG(5, "[DCB]BaudRate is %d", int(d.BaudRate));
    HDLOG(5, "[DCB]fOutxDsrFlow is %d", int(d.fOutxDsrFlow));
    HDLOG(5, "[DCB]fDtrControl is %d", int(d.fDtrControl));
    HDLOG(5, "[DCB]fDsrSensitivity is %d", int(d.fDsrSensitivity));
    HDLOG(5, "[DCB]fOutxCtsFlow is %d", int(d.fOutxCtsFlow));
    HDLOG(5, "[DCB]fRtsControl is %d", int(d.fRtsControl));
    HDLOG(5, "[DCB]fTXContinueOnXoff is %d", int(d.fTXContinueOnXoff));
    HDLOG(5, "[DCB]fOutX is %d", int(d.fOutX));
    HDLOG(5, "[DCB]fInX is %d", int(d.fInX));
    HDLOG(5, "[DCB]XonLim is %d", int(d.XonLim));
    HDLOG(5, "[DCB]XoffLim is %d", int(d.XoffLim));
    HDLOG(5, "[DCB]XonChar is %d", int(d.XonChar));
    HDLOG(5, "[DCB]XoffChar is %d", int(d.XoffChar));
    HDLOG(5, "[DCB]XoffChar is %d", int(d.XoffChar));
    HDLOG(5, "[DCB]fParity is %d", int(d.fParity));
    HDLOG(5, "[DCB]fErrorChar is %d", int(d.fErrorChar));
    HDLOG(5, "[DCB]ErrorChar is %c", d.ErrorChar);
    HDLOG(5, "[DCB]fNull is %d", int(d.fNull));
    HDLOG(5, "[DCB]fAbortOnError is %d", int(d.fAbortOnError));
    HDLOG(5, "[DCB]EofChar is %c", d.EofChar);
    HDLOG(5, "[DCB]EvtChar is %c", d.EvtChar);
    HDLOG(5, "[DCB]fDummy2 is %c", char(d.fDummy2));
    HDLOG(5, "[DCB]wReserved is %c", char(d.wReserved));
    HDLOG(5, "[DCB]wReserved1 is %c", char(d.wReserved1));
    d.ByteSize = std::uint8_t(event.byteSize);
    d.StopBits = std::uint8_t(event.stopBits);
    d.Parity = std::uint8_t(event.parity);
    d.BaudRate = std::uint32_t(event.baudRate);
    HDLOG(5, "[DCB]ByteSize is %X", unsigned(d.ByteSize));
    HDLOG(5, "[DCB]StopBits is %X", unsigned(d.StopBits));
    HDLOG(5, "[DCB]Parity is %X", unsigned(d.Parity));
    HDLOG(5, "[DCB]fParity is %d", int(d.fParity));
    HDLOG(5, "[DCB]BaudRate is %d", int(d.BaudRate));
    m_port->SetLineSettings(d);
}

bool HRpCommonCommunication::SetCloneMode(HCommEventData& event) {
    return Handshake(event, kPowerOn);
}

bool HRpCommonCommunication::SetCloneModeAdj(HCommEventData& event) {
    return Handshake(event, kAdjMode);
}

int HRpCommonCommunication::WriteAnswer(std::uint8_t answer) {
    const int echoOff = m_port->GetEchoOff();
    if (echoOff)
        return m_port->WriteByte(answer);
    // The radio repeats its Check until it takes the answer: one repeated
    // meanwhile comes before the answer's echo. Taken for the echo, it would
    // leave the echo to be read as the first byte of the next reply.
    m_port->SetEchoOff(1);
    const int w = m_port->WriteByte(answer);
    m_port->SetEchoOff(echoOff);
    if (w != kSerialOk)
        return w;
    std::uint8_t echo = kCheck;
    for (int i = 0; i < kHandshakeTries && echo == kCheck; ++i)
        if (m_port->ReadByte(echo) != kSerialOk)
            return kSerialError;
    return echo == kCheck ? kSerialError : kSerialOk;
}

bool HRpCommonCommunication::Handshake(HCommEventData& event, std::uint8_t reply) {
    HDLOG(6, "%s", "FUNC_IN");
    HDLOG(6, "%s", "Set Clone Mode");
    if (!m_port || !m_port->IsOpen()) {
        HDLOG(1, "%s", "Communication Error!");
        event.errorCode = kSerialError;
        HDLOG(6, "%s", "SetCloneMode");
        return false;
    }
    m_port->PurgeReceive();
    m_port->PurgeTransmit();
    HDLOG(3, "%s", "Check コマンド待機");
    SetStatusText("Switch radio ON, then start uploading");

    bool gotCheck = false;
    for (int i = 0; i < kHandshakeTries && !gotCheck; ++i) {
        if (IsCancelRequested()) {
            HDLOG(3, "%s", "Check wait cancelled");
            event.errorCode = kSerialOk;
            HDLOG(6, "%s", "SetCloneMode");
            return false;
        }
        std::uint8_t byte = 0;
        const int r = m_port->ReadByte(byte);
        if (r == kSerialOk && byte == kCheck) {
            gotCheck = true;
        } else if (r == kSerialOk) {
            HDLOG(3, "%s", "Check コマンドではなかったため、そのまま待機処理を継続します。");
        } else if (r == kSerialTimeout) {
            HDLOG(3, "%s", "Check コマンド受信タイムアウト。継続して待機。");
        } else {
            HDLOG(1, "%s", "Communication Error!");
            event.errorCode = kSerialError;
            HDLOG(6, "%s", "SetCloneMode");
            return false;
        }
    }
    if (!gotCheck) {
        HDLOG(1, "%s", "リセットエラー!");
        event.errorCode = kSerialOk;
        HDLOG(6, "%s", "SetCloneMode");
        return false;
    }
    HDLOG(3, "%s", "Check コマンド受信。Power On コマンドを返信します。");
    const int w = WriteAnswer(reply);
    if (w != kSerialOk) {
        HDLOG(1, "%s", "Communication Error!");
        event.errorCode = w;
        HDLOG(6, "%s", "SetCloneMode");
        return false;
    }
    HDLOG(3, "%s",
          reply == kPowerOn ? "Power On コマンド送信成功。" : "ADJモード移行 コマンド送信成功。");
    SetStatusText("Now uploading");
    event.errorCode = kSerialOk;
    HDLOG(6, "%s", "SetCloneMode");
    return true;
}

int HRpCommonCommunication::SendRequest(std::span<const std::uint8_t> frame, int retries, int area,
                                        int block, HCommEventData* event, bool isWrite) {
    const int attempts = std::max(retries, 0) + 1;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        const int w = m_port->Write(frame);
        if (w == kSerialOk) {
            if (isWrite)
                HDLOG(5, "書き込みコマンド送信処理成功[STATUS:%d][BLOCK:%d][RETRY:%d]", area, block,
                      attempt + 1);
            else
                HDLOG(5, "送信要求コマンド送信処理成功[STATUS:%d][BLOCK:%X][RETRY:%d]", area, block,
                      attempt + 1);
            if (event)
                event->errorCode = kSerialOk;
            return attempt + 1;
        }
        if (isWrite)
            HDLOG(1, "書き込みコマンド送信処理失敗[STATUS:%d][BLOCK:%d][RETRY:%d]", area, block,
                  attempt + 1);
        else
            HDLOG(1, "送信要求コマンド送信処理失敗[STATUS:%d][BLOCK:%X][RETRY:%d]", area, block,
                  attempt + 1);
        if (event)
            event->errorCode = w;
    }
    if (isWrite)
        HDLOG(1, "書き込みコマンド送信処理失敗[STATUS:%d][BLOCK:%d]", area, block);
    else
        HDLOG(1, "送信要求コマンド送信処理失敗[STATUS:%d][BLOCK:%d]", area, block);
    return 0;
}

bool HRpCommonCommunication::ReadBlock(int area, int block, int retries,
                                       std::span<std::uint8_t, kImageSize> image,
                                       HCommEventData* event) {
    const long offset = BlockOffset(area, block);
    if (offset < 0 || !m_port) {
        // Nothing goes on the line for a block the image cannot hold.
        HDLOG(1, "block outside the image refused[STATUS:%d][BLOCK:%X]", area, block);
        if (event)
            event->errorCode = kSerialError;
        return false;
    }
    m_port->PurgeReceive();
    m_port->PurgeTransmit();
    const std::vector<std::uint8_t> request = BuildReadRequest(area, block);
    const int attempt = SendRequest(request, retries, area, block, event, false);
    if (attempt == 0)
        return false;

    const std::size_t size = BlockSize(area);
    std::array<std::uint8_t, kFlashReadResponseSize> response{};
    const auto reply = std::span(response).first(size + 3);
    const int r = m_port->Read(reply);
    if (r != kSerialOk) {
        HDLOG(1, "送信データ受信失敗[STATUS:%d][BLOCK:%X][RETRY:%d]", area, block, attempt);
        if (event)
            event->errorCode = r;
        return false;
    }
    if (!ChecksumOk(reply))
        return false;
    if (reply[0] != request[0]) {
        HDLOG(1, "送信データ受信失敗[STATUS:%d][BLOCK:%X]", area, block);
        return false;
    }
    HDLOG(5, "送信データ受信成功[STATUS:%d][BLOCK:%X]", area, block);
    std::copy_n(reply.begin() + 2, size, image.begin() + offset);
    return true;
}

bool HRpCommonCommunication::WriteBlock(int area, int block, int retries,
                                        std::span<const std::uint8_t, kImageSize> image,
                                        HCommEventData* event) {
    const long offset = BlockOffset(area, block);
    if (offset < 0 || !m_port) {
        HDLOG(1, "block outside the image refused[STATUS:%d][BLOCK:%d]", area, block);
        if (event)
            event->errorCode = kSerialError;
        return false;
    }
    m_port->PurgeReceive();
    m_port->PurgeTransmit();
    const std::vector<std::uint8_t> request = BuildWriteRequest(area, block, image);
    const int attempt = SendRequest(request, retries, area, block, event, true);
    if (attempt == 0)
        return false;

    std::array<std::uint8_t, kEepromWriteResponseSize> response{};
    const std::size_t length =
        area == kAreaEeprom ? kEepromWriteResponseSize : kFlashWriteResponseSize;
    const auto reply = std::span(response).first(length);
    const int r = m_port->Read(reply);
    if (r != kSerialOk) {
        HDLOG(1, "送信データ受信失敗[STATUS:%d][BLOCK:%d][RETRY:%d]", area, block, attempt);
        if (event)
            event->errorCode = r;
        return false;
    }
    if (length == 1) {
        if (reply[0] == kAck) {
            HDLOG(5, "送信成功[STATUS:%d][BLOCK:%d]", area, block);
            return true;
        }
        HDLOG(1, "送信失敗[STATUS:%d][BLOCK:%d]", area, block);
        return false;
    }
    if (!ChecksumOk(reply))
        return false;
    if (reply[0] == kWriteEeprom) {
        HDLOG(5, "送信成功[STATUS:%d][BLOCK:%d]", area, block);
        return true;
    }
    HDLOG(1, "送信失敗[STATUS:%d][BLOCK:%d]", area, block);
    return false;
}

int HRpCommonCommunication::ResetRadio(HCommEventData* event) {
    if (!m_port) {
        HDLOG(1, "%s", "リセットコマンド送信処理失敗");
        if (event)
            event->errorCode = kSerialError;
        return 1;
    }
    m_port->PurgeReceive();
    m_port->PurgeTransmit();
    const int w = m_port->Write(kResetFrame);
    if (w == kSerialOk) {
        HDLOG(3, "%s", "リセットコマンド送信処理成功");
        if (event)
            event->errorCode = kSerialOk;
        return 0;
    }
    HDLOG(1, "%s", "リセットコマンド送信処理失敗");
    if (event)
        event->errorCode = w;
    return 1;
}
