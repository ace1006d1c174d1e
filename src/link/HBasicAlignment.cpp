#include "HBasicAlignment.h"

#include "HChannels.h"

#include <algorithm>
#include <cmath>
#include <thread>

#define ALOG(comm, level, ...) (comm).Log((level), __FILE__, __LINE__, __VA_ARGS__)

namespace HBasicAlignment {

namespace {

constexpr int kHighEdge = 2;
constexpr int kLowEdge = 0;
constexpr int kCentre = 1;
constexpr int kChecksumWord = 2;
constexpr int kFirstChannelPage = 8;
constexpr int kVcvAttempts = 2;

void Wait(std::chrono::milliseconds ms) {
    if (ms.count() > 0)
        std::this_thread::sleep_for(ms);
}

bool SendVcv(HComAlignment& comm, bool tx, int c) {
    for (int attempt = 0; attempt < kVcvAttempts; ++attempt) {
        ALOG(comm, 3, "VCV変更要求[VALUE:%X]", unsigned(c));
        const std::uint8_t v = std::uint8_t(c);
        if (tx ? comm.SetTxPowerTuneLevel(0, 0, v, 0) : comm.SetTxPowerTuneLevel(0, v, 0, 0)) {
            ALOG(comm, 3, "VCV変更要求成功[VALUE:%X]", unsigned(c));
            return true;
        }
        ALOG(comm, 1, "VCV変更要求エラー,リトライします[VALUE:%X]", unsigned(c));
    }
    ALOG(comm, 1, "%s", "VCV変更要求エラー。調整終了");
    return false;
}

// Receive, the channel, and for the transmitter keyed again.
bool Prepare(HComAlignment& comm, bool tx, int channel) {
    if (!comm.RequestRx()) {
        ALOG(comm, 1, "%s", "受信要求エラー");
        return false;
    }
    if (!comm.ChangeChannel(0, std::uint8_t(channel))) {
        ALOG(comm, 1, "チャネル変更要求エラー[CHANNEL:%d]", channel);
        return false;
    }
    if (tx && !comm.RequestTx()) {
        ALOG(comm, 1, "%s", "送信要求エラー");
        return false;
    }
    return true;
}

} // namespace

std::optional<int> VcvSearch(HComAlignment& comm, bool tx, const Timing& timing,
                             const std::function<void(int)>& tried) {
    if (!Prepare(comm, tx, kHighEdge))
        return std::nullopt;
    for (int c = kVcvStart; c >= 1; c -= kVcvStep) {
        if (tried)
            tried(c);
        if (!SendVcv(comm, tx, c))
            return std::nullopt;
        // A read that fails is no reading: the step fails rather than taking
        // a dead link for an unlocked PLL, candidate after candidate.
        bool readFailed = false;
        int vcv = -1;
        for (int i = 0; i < kPllReads && vcv < 0; ++i) {
            Wait(timing.pllSettle);
            vcv = comm.CheckPllLock(&readFailed);
            if (readFailed)
                return std::nullopt;
            if (vcv >= 0)
                ALOG(comm, 3, "%s", "PLL Lock検出。");
            else
                Wait(timing.pllUnlocked);
        }
        if (vcv < kVcvHighMin || vcv > kVcvHighMax)
            continue;
        // The same value must also lock at the low edge.
        if (!Prepare(comm, tx, kLowEdge) || !SendVcv(comm, tx, c))
            return std::nullopt;
        int low = -1;
        for (int i = 0; i < kPllReads && low < 0; ++i) {
            low = comm.CheckPllLock(&readFailed);
            if (readFailed)
                return std::nullopt;
        }
        if (low >= kVcvLowMin) {
            ALOG(comm, 3, "%s", "適正なVCV値を検出しました");
            ALOG(comm, 3, "VCV調整成功[VALUE:%X]", unsigned(c));
            return c;
        }
        // Back to the high edge for the next candidate.
        if (!Prepare(comm, tx, kHighEdge))
            return std::nullopt;
    }
    return std::nullopt;
}

int PeakMiddle(std::span<const int, 256> readings, int peak) {
    int first = 0;
    while (first < 255 && readings[std::size_t(first)] != peak)
        ++first;
    int last = 255;
    while (last > 0 && readings[std::size_t(last)] != peak)
        --last;
    return (first + last) / 2;
}

std::optional<int> TuneSweep(HComAlignment& comm, int step, std::uint8_t vcv,
                             const Timing& timing) {
    if (step < 0 || step >= kTuneSteps || !comm.RequestRx() ||
        !comm.ChangeChannel(0, std::uint8_t(step)))
        return std::nullopt;
    std::array<int, 256> readings{};
    Wait(timing.tuneStart);
    int peak = 0;
    for (int t = kTuneStarts[step]; t < 256; ++t) {
        if (!comm.SetTxPowerTuneLevel(std::uint8_t(t), vcv, 0, 0)) {
            ALOG(comm, 1, "Tx Power変更要求エラー[VALUE:%d]", t);
            return std::nullopt;
        }
        Wait(timing.tuneSettle);
        // A failed read is no reading of 0: with every read failing the peak
        // would be 0 everywhere and its middle an invented 127.
        const std::optional<int> read = comm.TryReadAdValue(HAlignCommand::kAdRssi);
        if (!read)
            return std::nullopt;
        const int r = *read;
        readings[std::size_t(t)] = r;
        if (r > peak)
            peak = r;
        else if (SweepStops(peak, r))
            break;
        Wait(timing.tuneNext);
    }
    const int result = PeakMiddle(readings, peak);
    ALOG(comm, 3, "ピーク値検出[VALUE:%d]", peak);
    ALOG(comm, 3, "Tune 調整成功[COUNT:%d][VALUE:%d]", step, result);
    return result;
}

int TuneSlope(int edgeFreq, int edgeResult, int centreFreq, int centreResult) {
    if (edgeFreq == centreFreq)
        return 0;
    const double s = double(edgeResult - centreResult) * 100.0 / double(edgeFreq - centreFreq);
    return std::min(255, int(std::abs(std::round(s))));
}

void StoreTuneResults(HAlignmentData& data, const std::array<int, 3>& results,
                      const std::array<std::int64_t, 3>& frequenciesHz) {
    constexpr std::int64_t kUnit = 100000;
    const int centre = int(frequenciesHz[kCentre] / kUnit);
    data.SetValue(20, centre);
    data.SetValue(21, results[kCentre]);
    data.SetValue(23, TuneSlope(int(frequenciesHz[kLowEdge] / kUnit), results[kLowEdge], centre,
                                results[kCentre]));
    data.SetValue(22, TuneSlope(int(frequenciesHz[kHighEdge] / kUnit), results[kHighEdge], centre,
                                results[kCentre]));
}

int SquelchResult(std::span<const int> samples) {
    int sum = 0, largest = 0, smallest = 255;
    for (int s : samples) {
        sum += s;
        largest = std::max(largest, s);
        smallest = std::min(smallest, s);
    }
    return (sum - largest - smallest) / (kSquelchSamples - 2);
}

std::vector<int> StoreAndWrite(HComAlignment& comm, HMemoryImage& image, HAlignmentData& data,
                               std::span<const int> words, const Timing& timing) {
    data.Store(image);
    data.RecomputeChecksum(image);
    std::vector<int> failed;
    auto write = [&](int word) {
        Wait(timing.wordWrite);
        if (!comm.WriteBlock(HCloneProtocol::kAreaEeprom, word, 0, image, nullptr)) {
            ALOG(comm, 1, "ダウンロード失敗[ADDR:%X]", unsigned(word));
            failed.push_back(word);
        }
    };
    for (int word : words)
        write(word);
    write(kChecksumWord);
    data.Load(image);
    return failed;
}

HUnwritten StoreTuneAndWrite(HComAlignment& comm, HMemoryImage& image, HAlignmentData& data,
                             std::span<const int> words, const Timing& timing) {
    data.Store(image);
    HChannels channels;
    channels.Load(image);
    channels.Save(image);
    HUnwritten missed;
    missed.words = StoreAndWrite(comm, image, data, words, timing);
    const int lastPage = kFirstChannelPage + channels.UsedChannelPages();
    for (int page = kFirstChannelPage; page <= lastPage; ++page) {
        Wait(timing.wordWrite);
        if (!comm.WriteBlock(HCloneProtocol::kAreaFlash, page, 0, image, nullptr)) {
            ALOG(comm, 1, "ダウンロード失敗[PAGE:%X]", unsigned(page));
            missed.pages.push_back(page);
        }
    }
    return missed;
}

} // namespace HBasicAlignment
