#include "HHistoryRecord.h"

#include "HChannelRules.h"
#include "HCommonGroups.h"
#include "HHardwareGroup.h"
#include "HSha256.h"
#include "HText.h"
#include "HVersionInfo.h"

#include <array>
#include <cstdio>
#include <ctime>
#include <pwd.h>
#include <random>
#include <unistd.h>

namespace {

constexpr std::array kOperationNames = {"upload", "download", "fleet download", "alignment",
                                        "recovery"};
constexpr std::array kResultNames = {"done", "failed", "cancelled"};
constexpr std::size_t kSerialRow = 2;
constexpr std::size_t kFirmwareRow = 1;
constexpr std::size_t kProductionCodeByte = 2; // EEPROM word 1
constexpr std::size_t kCustomCodeByte = 3;

std::string MakeUid() {
    std::random_device random;
    std::string uid;
    char part[16];
    for (int i = 0; i < 4; ++i) {
        std::snprintf(part, sizeof part, "%08x", unsigned(random()));
        uid += part;
    }
    return uid;
}

std::string HostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || !*name)
        return "unknown";
    return name;
}

std::string LoginName() {
    char name[256] = {};
    if (::getlogin_r(name, sizeof name) == 0 && *name)
        return name;
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name)
        return pw->pw_name;
    return std::to_string(::geteuid());
}

// Length of the valid UTF-8 sequence at `i`; 0 when there is none.
std::size_t Utf8Length(std::string_view s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    std::uint32_t min = 0;
    if (c < 0x80)
        return 1;
    if ((c & 0xE0) == 0xC0)
        n = 2, min = 0x80;
    else if ((c & 0xF0) == 0xE0)
        n = 3, min = 0x800;
    else if ((c & 0xF8) == 0xF0)
        n = 4, min = 0x10000;
    else
        return 0;
    if (i + n > s.size())
        return 0;
    std::uint32_t code = c & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        const auto t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (t & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code >= min && code <= 0x10FFFF && !surrogate ? n : 0;
}

std::string TimeText(std::int64_t seconds, bool utc, const char* format) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (utc)
        gmtime_r(&t, &tm);
    else
        localtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, format, &tm);
    return text;
}

} // namespace

namespace HHistoryNames {

const char* Of(HHistoryOperation operation) {
    return kOperationNames[std::size_t(operation)];
}
const char* Of(HHistoryResult result) {
    return kResultNames[std::size_t(result)];
}
std::optional<HHistoryOperation> Operation(std::string_view name) {
    for (std::size_t i = 0; i < kOperationNames.size(); ++i)
        if (name == kOperationNames[i])
            return HHistoryOperation(i);
    return std::nullopt;
}
std::optional<HHistoryResult> Result(std::string_view name) {
    for (std::size_t i = 0; i < kResultNames.size(); ++i)
        if (name == kResultNames[i])
            return HHistoryResult(i);
    return std::nullopt;
}

} // namespace HHistoryNames

HRadioIdentity HRadioIdentity::Of(const HMemoryImage& image) {
    HRadioIdentity id;
    HMarketingGroup marketing;
    marketing.Load(image);
    id.serial =
        HHistoryText::Clean(HText::TrimRight(marketing.GetText(kSerialRow), HText::kPadding));
    char fw[32];
    std::snprintf(fw, sizeof fw, "%.2f", marketing.GetValue(kFirmwareRow) / 100.0);
    id.firmware = fw;
    HHardwareGroup hw;
    hw.Load(image);
    id.band = hw.GetValue(HHardwareGroup::kRowBand);
    id.productType = hw.GetValue(HHardwareGroup::kRowProductType);
    id.productionCode = image[kProductionCodeByte];
    id.customCode = image[kCustomCodeByte];
    return id;
}

std::string HRadioIdentity::Model() const {
    const char* name = HChannelRules::BandName(band);
    std::string text = name && *name ? name : "band " + std::to_string(band);
    return text + (productType != 0 ? " Handheld" : " Mobile");
}

void HHistoryRecord::Complete() {
    if (uid.empty())
        uid = MakeUid();
    if (time == 0)
        time = std::int64_t(std::time(nullptr));
    if (bench.empty())
        bench = HostName();
    if (user.empty())
        user = LoginName();
    if (version.empty())
        version = HVersionInfo::VersionText();
    for (std::string* text : {&bench, &user, &version, &message, &journal, &values, &radio.serial})
        *text = HHistoryText::Clean(*text);
    if (read)
        readHash = HSha256::Hex(*read);
    if (written)
        writtenHash = HSha256::Hex(*written);
}

const std::string& HHistoryRecord::HashAfter() const {
    return result == HHistoryResult::Done && !writtenHash.empty() ? writtenHash : readHash;
}

namespace HHistoryText {

std::string Clean(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        // The line breaks of numbered messages ("\r\n") as plain line feeds.
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            continue;
        }
        const std::size_t n = Utf8Length(text, i);
        if (n == 0 || (c < 0x20 && c != '\t' && c != '\n') || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
            ++i;
            continue;
        }
        out.append(text.substr(i, n));
        i += n;
    }
    return out;
}

std::string ToHex(const HMemoryImage& image) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out(image.size() * 2, '0');
    for (std::size_t i = 0; i < image.size(); ++i) {
        out[2 * i] = kDigits[image[i] >> 4];
        out[2 * i + 1] = kDigits[image[i] & 15];
    }
    return out;
}

bool FromHex(std::string_view text, HMemoryImage& image) {
    if (text.size() != image.size() * 2)
        return false;
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    for (std::size_t i = 0; i < image.size(); ++i) {
        const int hi = digit(text[2 * i]);
        const int lo = digit(text[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        image[i] = std::uint8_t(hi << 4 | lo);
    }
    return true;
}

std::string LocalTime(std::int64_t seconds) {
    return TimeText(seconds, false, "%Y-%m-%d %H:%M:%S");
}

std::string UtcTime(std::int64_t seconds) {
    return TimeText(seconds, true, "%Y-%m-%dT%H:%M:%SZ");
}

std::optional<std::int64_t> ParseTime(std::string_view text) {
    const std::string s(text);
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0, used = 0;
    const int fields = std::sscanf(s.c_str(), "%4d-%2d-%2d%n", &y, &mo, &d, &used);
    if (fields != 3)
        return std::nullopt;
    std::string rest = s.substr(std::size_t(used));
    bool utc = false;
    if (!rest.empty()) {
        if (rest[0] != ' ' && rest[0] != 'T')
            return std::nullopt;
        if (rest.back() == 'Z') {
            utc = true;
            rest.pop_back();
        }
        int n = 0;
        const int got = std::sscanf(rest.c_str() + 1, "%2d:%2d%n:%2d%n", &h, &mi, &n, &sec, &n);
        if (got < 2 || std::size_t(n) + 1 != rest.size())
            return std::nullopt;
    }
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || sec > 60 || h < 0 || mi < 0 ||
        sec < 0)
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = sec;
    tm.tm_isdst = -1;
    return std::int64_t(utc ? timegm(&tm) : std::mktime(&tm));
}

} // namespace HHistoryText
