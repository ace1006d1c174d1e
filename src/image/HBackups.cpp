#include "HBackups.h"

#include "HCommonGroups.h"
#include "HDataFile.h"
#include "HIniFile.h"
#include "HLogPrint.h"
#include "HProgramDir.h"
#include "HText.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

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

// "label_YYYYMMDD-HHMMSS.R57" or with "-n" after the stamp, the stamp a real
// time; false for any other name, which is then never pruned.
bool ParseName(const std::string& name, HBackupEntry& entry) {
    const std::string ext = std::string(".") + HDataFile::kDefaultExtension;
    if (name.size() <= ext.size() || name.compare(name.size() - ext.size(), ext.size(), ext) != 0)
        return false;
    const std::string stem = name.substr(0, name.size() - ext.size());
    const std::size_t cut = stem.rfind('_');
    if (cut == std::string::npos || cut == 0 || stem.size() - cut - 1 < kStampLength)
        return false;
    const std::string stamp = stem.substr(cut + 1, kStampLength);
    const std::string suffix = stem.substr(cut + 1 + kStampLength);
    for (std::size_t i = 0; i < stamp.size(); ++i)
        if (i == 8 ? stamp[i] != '-' : !std::isdigit(static_cast<unsigned char>(stamp[i])))
            return false;
    if (!suffix.empty() && (suffix.size() < 2 || suffix[0] != '-' ||
                            suffix.find_first_not_of("0123456789", 1) != std::string::npos))
        return false;
    const auto number = [&stamp](std::size_t at, std::size_t digits) {
        return std::stoi(stamp.substr(at, digits));
    };
    std::tm tm{};
    tm.tm_year = number(0, 4) - 1900;
    tm.tm_mon = number(4, 2) - 1;
    tm.tm_mday = number(6, 2);
    tm.tm_hour = number(9, 2);
    tm.tm_min = number(11, 2);
    tm.tm_sec = number(13, 2);
    const std::time_t t = timegm(&tm);
    // timegm carries a month 13 or a 31st of April into the next: a real time
    // gives its own stamp back.
    if (Stamp(static_cast<std::int64_t>(t)) != stamp)
        return false;
    entry.label = stem.substr(0, cut);
    entry.time = static_cast<std::int64_t>(t);
    entry.name = name;
    return true;
}

// KeepDays or KeepCount: a whole number of days or backups, blanks around it
// aside; a missing key gives the default, and so does a malformed value (a
// "1e3" read as 1 would prune all but one backup), with a trace line.
int ReadKeep(const HIniFile& ini, const char* key, int defaultValue) {
    if (!ini.HasKey(kSection, key))
        return defaultValue;
    const std::string value = ini.GetString(kSection, key, "");
    const std::string_view digits = HText::Trim(value);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        HLOG_WR("[%s] %s=%s is no whole number: %d is used", kSection, key, value.c_str(),
                defaultValue);
        return defaultValue;
    }
    long long n = 0;
    for (char c : digits)
        n = std::min<long long>(n * 10 + (c - '0'), INT_MAX);
    return static_cast<int>(n);
}

// Writes the backup under a name of its own in the folder: the name must not
// exist, not even as a link, which is never followed out of the folder.
bool WriteNew(const std::string& path, const HMemoryImage& image, bool& taken, std::string& error) {
    taken = false;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        taken = errno == EEXIST;
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::size_t done = 0;
    while (done < image.size()) {
        const ssize_t n = ::write(fd, image.data() + done, image.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    const bool written = done == image.size() && ::fsync(fd) == 0;
    if (!written)
        error = path + ": " + std::strerror(errno != 0 ? errno : EIO);
    if (::close(fd) != 0 && written) {
        error = path + ": " + std::strerror(errno);
        ::unlink(path.c_str());
        return false;
    }
    if (!written)
        ::unlink(path.c_str());
    return written;
}

} // namespace

HBackupSettings HBackupSettings::Read() {
    const HIniFile ini(HProgramDir::SettingsPath());
    HBackupSettings s;
    s.beforeDownload = ini.GetInt(kSection, "BeforeDownload", 1) != 0;
    s.keepDays = ReadKeep(ini, "KeepDays", kDefaultKeepDays);
    s.keepCount = ReadKeep(ini, "KeepCount", kDefaultKeepCount);
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
    // The same second again, or a name something else holds: the next "-n".
    constexpr int kNames = 1000;
    std::string path = base + ext;
    bool taken = true;
    for (int n = 2; taken && n <= kNames; ++n) {
        if (WriteNew(path, image, taken, result.error)) {
            result.written = true;
            result.path = path;
            result.error.clear();
            Prune(settings, when, path);
            return result;
        }
        path = base + "-" + std::to_string(n) + ext;
    }
    return result;
}

std::vector<HBackupEntry> List() {
    std::vector<HBackupEntry> out;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(Folder(), ec)) {
        HBackupEntry entry;
        // A link is no backup, whatever it points at.
        if (!fs::is_regular_file(e.symlink_status(ec)) ||
            !ParseName(e.path().filename().string(), entry))
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

int Prune(const HBackupSettings& settings, Clock::time_point now, const std::string& keep) {
    const std::int64_t nowSeconds =
        std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count();
    int removed = 0;
    std::error_code ec;
    // The backup just written stays whatever the names of the others say (a
    // clock set back, a copied folder): it counts as the newest.
    int kept = keep.empty() ? 0 : 1;
    for (const HBackupEntry& e : List()) {
        if (e.path == keep)
            continue;
        const bool tooOld =
            settings.keepDays > 0 && nowSeconds - e.time > settings.keepDays * kSecondsPerDay;
        const bool tooMany = settings.keepCount > 0 && kept >= settings.keepCount;
        if ((tooOld || tooMany) && fs::is_regular_file(fs::symlink_status(e.path, ec)) &&
            fs::remove(e.path, ec)) {
            ++removed;
            continue;
        }
        ++kept;
    }
    return removed;
}

} // namespace HBackups
