#include "HTransferRanges.h"

#include <array>
#include <span>

namespace {

using R = HBlockRange;

// Level 0 and 1 move only the words and pages the dealer may change; the
// identity (EEPROM 00-11) and the adjustment pages (5C-5E) are read on a
// download only to be kept.
//
// The upload reads 70-D8 whole, not just word 70: the download writes that
// range back, and words 71-D8 hold the radio's system bytes and encode areas.
// Read only in part, an unedited round trip would write zeros over them.
constexpr std::array kUploadEeprom = {R{0x00, 0x1C}, R{0x29, 0x2C}, R{0x39, 0x3C}, R{0x49, 0x4A},
                                      R{0x4C, 0x4E}, R{0x50, 0x57}, R{0x70, 0xD8}, R{0xFA, 0xFE}};
constexpr std::array kUploadFlash = {R{0x00, 0x07}, R{0x08, kFlashToChannels}, R{0x33, 0x5E}};

constexpr std::array kAllEeprom = {R{0x00, 0xFF}};
constexpr std::array kAllFlash = {R{0x00, kLastFlashPage}};

constexpr std::array kDownloadReadEeprom = {R{0x00, 0x11}};
constexpr std::array kDownloadReadFlash = {R{0x00, 0x00}, R{0x5C, 0x5E}};
constexpr std::array kDownloadWriteEeprom = {R{0x11, 0x1C}, R{0x29, 0x2C}, R{0x39, 0x3C},
                                             R{0x49, 0x4A}, R{0x4C, 0x4E}, R{0x50, 0x57},
                                             R{0x70, 0xD8}, R{0xEA, 0xEA}};
// FLASH page 0 is written only in Manufacture Mode (level 1).
constexpr std::array kDownloadWriteFlashPage0 = {R{0x00, 0x00}};
constexpr std::array kDownloadWriteFlash = {R{0x01, 0x04}, R{0x08, kFlashToChannels},
                                            R{0x35, 0x56}};

template <std::size_t N> constexpr bool ValidFlash(const std::array<R, N>& list) {
    for (const R& r : list) {
        if (r.to == kFlashToChannels) {
            if (r.from > kLastFlashPage)
                return false;
        } else if (r.from > r.to || r.to > kLastFlashPage) {
            return false;
        }
    }
    return true;
}
template <std::size_t N> constexpr bool ValidEeprom(const std::array<R, N>& list) {
    for (const R& r : list)
        if (r.from > r.to)
            return false;
    return true;
}

static_assert(ValidEeprom(kUploadEeprom) && ValidEeprom(kAllEeprom) &&
              ValidEeprom(kDownloadReadEeprom) && ValidEeprom(kDownloadWriteEeprom));
static_assert(ValidFlash(kUploadFlash) && ValidFlash(kAllFlash) && ValidFlash(kDownloadReadFlash) &&
              ValidFlash(kDownloadWriteFlashPage0) && ValidFlash(kDownloadWriteFlash));
// A level 0/1 download writes back only what a level 0/1 upload read, so an
// unedited round trip gives the radio its own data. Word 0xEA (the dealer mark)
// is the exception: the download sets it to FF FF itself.
constexpr std::uint8_t kDealerMarkWord = 0xEA;
template <std::size_t N> constexpr bool Reads(const std::array<R, N>& list, int block) {
    for (const R& r : list)
        if (block >= r.from && (r.to == kFlashToChannels || block <= r.to))
            return true;
    return false;
}
template <std::size_t N, std::size_t M>
constexpr bool ReadsAllWritten(const std::array<R, N>& read, const std::array<R, M>& written) {
    for (const R& r : written) {
        const int last = r.to == kFlashToChannels ? r.from : r.to;
        for (int block = r.from; block <= last; ++block)
            if (block != kDealerMarkWord && !Reads(read, block))
                return false;
    }
    return true;
}
static_assert(ReadsAllWritten(kUploadEeprom, kDownloadWriteEeprom));
static_assert(ReadsAllWritten(kUploadFlash, kDownloadWriteFlashPage0) &&
              ReadsAllWritten(kUploadFlash, kDownloadWriteFlash));
// Word 0xFF (the radio's complete-image mark) is written by the download itself,
// first and last, never as part of a level 0/1 range.
static_assert(kDownloadWriteEeprom.back().to < 0xFF);

template <std::size_t N> HRangeList List(const std::array<R, N>& a) {
    return HRangeList(a.begin(), a.end());
}

} // namespace

namespace HTransferRangeTable {

HTransferRanges Upload(int accessLevel) {
    HTransferRanges r;
    if (accessLevel == 2) {
        r.readEeprom = List(kAllEeprom);
        r.readFlash = List(kAllFlash);
    } else {
        r.readEeprom = List(kUploadEeprom);
        r.readFlash = List(kUploadFlash);
    }
    return r;
}

HTransferRanges Download(int accessLevel) {
    HTransferRanges r;
    if (accessLevel == 2) {
        r.writeEeprom = List(kAllEeprom);
        r.writeFlash = List(kAllFlash);
        return r;
    }
    r.readEeprom = List(kDownloadReadEeprom);
    r.readFlash = List(kDownloadReadFlash);
    r.writeEeprom = List(kDownloadWriteEeprom);
    if (accessLevel == 1)
        r.writeFlash = List(kDownloadWriteFlashPage0);
    r.writeFlash.insert(r.writeFlash.end(), kDownloadWriteFlash.begin(), kDownloadWriteFlash.end());
    return r;
}

HTransferRanges For(HTransferDirection direction, int accessLevel) {
    return direction == HTransferDirection::Upload ? Upload(accessLevel) : Download(accessLevel);
}

HRangeList AddedChannelPages(int p0, int p1) {
    // Channel pages start at FLASH page 8; no growth moves nothing.
    if (p1 <= p0 || p0 < 0)
        return {};
    return {R{static_cast<std::uint8_t>(p0 + 8), static_cast<std::uint8_t>(p1 + 7)}};
}

} // namespace HTransferRangeTable
