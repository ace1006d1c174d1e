// What the radio sends, read through the clone protocol: the handshake and the
// answers to block reads and writes come from the fuzzer's bytes through a
// scripted port. The first byte picks the steps; the rest is the radio's side
// of the line, consumed in order as a real radio's bytes would be.
//
// Whatever arrives: a block read that reports success copied exactly the
// answer's data bytes to exactly that block, after an answer with the request's
// command and a good checksum; a refused read leaves the image as it was; a
// write reports success only for the radio's acknowledgement.
#include "HCommEventData.h"
#include "HRpCommonCommunication.h"
#include "HSerialPort.h"

#include <algorithm>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

using namespace HCloneProtocol;

// A line whose receive side plays back a script and whose transmit side is
// recorded. Purges leave the script alone: it is what the radio will still send.
class ScriptedPort : public HSerialPort {
public:
    void Reset(std::span<const std::uint8_t> script) {
        m_script = script;
        m_sent.clear();
    }
    [[nodiscard]] std::size_t Left() const { return m_script.size(); }
    [[nodiscard]] const std::vector<std::uint8_t>& Sent() const { return m_sent; }

    bool IsOpen() const override { return true; }
    int Write(std::span<const std::uint8_t> bytes) override {
        m_sent.insert(m_sent.end(), bytes.begin(), bytes.end());
        return kSerialOk;
    }
    int WriteByte(std::uint8_t byte) override { return Write(std::span(&byte, 1)); }
    int Read(std::span<std::uint8_t> out) override {
        const std::size_t n = std::min(out.size(), m_script.size());
        std::copy_n(m_script.begin(), n, out.begin());
        m_script = m_script.subspan(n);
        return n == out.size() ? kSerialOk : kSerialTimeout;
    }
    int ReadByte(std::uint8_t& out) override { return Read(std::span(&out, 1)); }
    void PurgeReceive() override {}
    void PurgeTransmit() override {}

private:
    std::span<const std::uint8_t> m_script;
    std::vector<std::uint8_t> m_sent;
};

// Image bytes are their own offsets (mod 251), so a byte landing anywhere else shows.
const HMemoryImage& Pristine() {
    static const HMemoryImage image = [] {
        HMemoryImage img{};
        for (std::size_t i = 0; i < img.size(); ++i)
            img[i] = static_cast<std::uint8_t>(i % 251);
        return img;
    }();
    return image;
}

bool SameOutside(const HMemoryImage& img, long from, std::size_t size) {
    const HMemoryImage& base = Pristine();
    return std::equal(img.begin(), img.begin() + from, base.begin()) &&
           std::equal(img.begin() + from + long(size), img.end(), base.begin() + from + long(size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static ScriptedPort port;
    static HRpCommonCommunication comm(&port);
    static HMemoryImage img = Pristine();
    const std::uint8_t plan = data[0];
    const std::span<const std::uint8_t> script(data + 1, size - 1);
    port.Reset(script);
    comm.ClearCancel();

    if (plan & 0x80) {
        HCommEventData event;
        const bool ok = comm.SetCloneMode(event);
        const std::size_t used = script.size() - port.Left();
        // Success needs a Check among the first 20 bytes, answered with Power On.
        const auto first = script.first(std::min(script.size(), std::size_t(kHandshakeTries)));
        const bool sawCheck = std::find(first.begin(), first.end(), kCheck) != first.end();
        if (ok != sawCheck)
            std::abort();
        if (ok && (used == 0 || script[used - 1] != kCheck || port.Sent().size() != 1 ||
                   port.Sent()[0] != kPowerOn))
            std::abort();
        if (!ok && !port.Sent().empty())
            std::abort();
        if (!ok)
            return 0;
    }

    // Up to four block reads or writes, each answered from the rest of the script.
    for (int step = 0; step < 4 && port.Left() > 0; ++step) {
        const std::size_t at = script.size() - port.Left();
        const bool write = (plan >> step) & 1;
        const int area = (plan >> 4) & 1 ? kAreaFlash : kAreaEeprom;
        // The block number comes from the script too (one byte the radio does not send).
        const int block = int(script[at]) - 8; // a few blocks outside the image
        port.Reset(script.subspan(at + 1));
        const std::size_t left = port.Left();
        const std::span<const std::uint8_t> answer = script.subspan(at + 1);
        const long offset = BlockOffset(area, block);
        HCommEventData event;
        if (write) {
            const bool ok = comm.WriteBlock(area, block, 0, img, &event);
            const std::size_t used = left - port.Left();
            if (offset < 0) {
                if (ok || used != 0 || !port.Sent().empty())
                    std::abort();
                continue;
            }
            const std::size_t length =
                area == kAreaEeprom ? kEepromWriteResponseSize : kFlashWriteResponseSize;
            const bool acked = answer.size() >= length &&
                               (area == kAreaFlash ? answer[0] == kAck
                                                   : answer[0] == kWriteEeprom &&
                                                         ChecksumOk(answer.first(length)));
            if (ok != acked || used > length || img != Pristine())
                std::abort();
            continue;
        }
        const bool ok = comm.ReadBlock(area, block, 0, img, &event);
        const std::size_t used = left - port.Left();
        if (offset < 0) {
            if (ok || used != 0 || img != Pristine())
                std::abort();
            continue;
        }
        const std::size_t bsize = BlockSize(area);
        const std::size_t length = bsize + 3;
        const bool good = answer.size() >= length && ChecksumOk(answer.first(length)) &&
                          answer[0] == (area == kAreaEeprom ? kReadEeprom : kReadFlash);
        if (ok != good || used > length)
            std::abort();
        if (!ok) {
            if (img != Pristine())
                std::abort();
            continue;
        }
        if (!SameOutside(img, offset, bsize) ||
            !std::equal(answer.begin() + 2, answer.begin() + 2 + long(bsize), img.begin() + offset))
            std::abort();
        // Put back the one block the read changed.
        std::copy_n(Pristine().begin() + offset, bsize, img.begin() + offset);
    }
    return 0;
}
