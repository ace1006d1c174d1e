#include "HBackups.h"

#include "HCommonGroups.h"
#include "HDataFile.h"
#include "HIniFile.h"
#include "HProgramDir.h"
#include "HText.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr const char* kSection = "Backup";
constexpr std::size_t kSerialRow = 2;
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::size_t kStampLength = 15; // YYYYMMDD-HHMMSS

// Letters, digits and '-' stay; every other character becomes '_' so that a
// serial number never leaves the folder or breaks the name apart.
std::string FileSafe(std::string_view text) {
    std::string out;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        out.push_back((std::isalnum(u) && u < 0x80) || c == '-' ? c : '-');
    }
    return out;
}

std::string Stamp(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &tm);
    return text;
}

// "label_YYYYMMDD-HHMMSS.R57" or with "-n" after the stamp; false for any other name.
bool ParseName(const std::string& name, HBackupEntry& entry) {
    const std::string ext = std::string(".") + HDataFile::kDefaultExtension;
    if (name.size() <= ext.size() || name.compare(name.size() - ext.size(), ext.size(), ext) != 0)
        return false;
    const std::string stem = name.substr(0, name.size() - ext.size());
    const std::size_t cut = stem.rfind('_');
    if (cut == std::string::npos || cut == 0 || stem.size() - cut - 1 < kStampLength)
        return false;
    const std::string stamp = stem.substr(cut + 1, kStampLength);
    std::tm tm{};
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    char dash = 0;
    if (std::sscanf(stamp.c_str(), "%4d%2d%2d%c%2d%2d%2d", &y, &mo, &d, &dash, &h, &mi, &s) != 7 ||
        dash != '-')
        return false;
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    entry.label = stem.substr(0, cut);
    entry.time = static_cast<std::int64_t>(timegm(&tm));
    entry.name = name;
    return true;
}

} // namespace

HBackupSettings HBackupSettings::Read() {
    const HIniFile ini(HProgramDir::SettingsPath());
    HBackupSettings s;
    s.beforeDownload = ini.GetInt(kSection, "BeforeDownload", 1) != 0;
    s.keepDays = std::max(0, ini.GetInt(kSection, "KeepDays", kDefaultKeepDays));
    s.keepCount = std::max(0, ini.GetInt(kSection, "KeepCount", kDefaultKeepCount));
    return s;
}

namespace HBackups {

std::string Folder() {
    const std::string dir = HProgramDir::WithSlash(HProgramDir::DataDir()) + "backups";
    std::error_code ec;
    fs::create_directories(dir, ec);
    return dir;
}

std::string SerialLabel(const HMemoryImage& image) {
    HMarketingGroup marketing;
    marketing.Load(image);
    const std::string serial(HText::Trim(marketing.GetText(kSerialRow)));
    return serial.empty() ? "no-serial" : FileSafe(serial);
}

HBackupResult Keep(const HMemoryImage& image, const std::string& label,
                   const HBackupSettings& settings, Clock::time_point when) {
    HBackupResult result;
    const std::string dir = Folder();
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        result.error = dir + ": the folder cannot be made";
        return result;
    }
    const std::string base =
        dir + "/" + FileSafe(label) + "_" +
        Stamp(std::chrono::duration_cast<std::chrono::seconds>(when.time_since_epoch()).count());
    const std::string ext = std::string(".") + HDataFile::kDefaultExtension;
    std::string path = base + ext;
    for (int n = 2; fs::exists(path, ec); ++n)
        path = base + "-" + std::to_string(n) + ext;
    const HDataFileResult written = HDataFile::Write(path, image);
    if (!written.Ok()) {
        result.error = path + ": " + (written.reason.empty() ? written.message : written.reason);
        return result;
    }
    result.written = true;
    result.path = path;
    Prune(settings, when);
    return result;
}

std::vector<HBackupEntry> List() {
    std::vector<HBackupEntry> out;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(Folder(), ec)) {
        HBackupEntry entry;
        if (!e.is_regular_file(ec) || !ParseName(e.path().filename().string(), entry))
            continue;
        entry.path = e.path().string();
        out.push_back(entry);
    }
    // Newest first; the same second in the order the "-n" suffix gave.
    std::ranges::sort(out, [](const HBackupEntry& a, const HBackupEntry& b) {
        if (a.time != b.time)
            return a.time > b.time;
        if (a.name.size() != b.name.size())
            return a.name.size() > b.name.size();
        return a.name > b.name;
    });
    return out;
}

int Prune(const HBackupSettings& settings, Clock::time_point now) {
    const std::int64_t nowSeconds =
        std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count();
    int removed = 0;
    int kept = 0;
    std::error_code ec;
    for (const HBackupEntry& e : List()) {
        const bool tooOld =
            settings.keepDays > 0 && nowSeconds - e.time > settings.keepDays * kSecondsPerDay;
        const bool tooMany = settings.keepCount > 0 && kept >= settings.keepCount;
        if ((tooOld || tooMany) && fs::remove(e.path, ec)) {
            ++removed;
            continue;
        }
        ++kept;
    }
    return removed;
}

} // namespace HBackups
