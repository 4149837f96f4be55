#include "export/Backup.h"

#include "app/FileStore.h"

#include <algorithm>
#include <cstdlib>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace tavrel {

namespace fs = std::filesystem;

namespace {

// Days from 1970-01-01 (proleptic Gregorian calendar).
long daysFromCivil(long y, long m, long d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool leapYear(long y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

} // namespace

std::optional<long> dayNumber(std::string_view key) {
    if (key.size() != 8 || !std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    auto num = [&](size_t at, size_t n) {
        long v = 0;
        for (size_t i = at; i < at + n; ++i)
            v = v * 10 + (key[i] - '0');
        return v;
    };
    const long y = num(0, 4), m = num(4, 2), d = num(6, 2);
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12 || d < 1) return std::nullopt;
    const long last = kDays[m - 1] + (m == 2 && leapYear(y) ? 1 : 0);
    if (d > last) return std::nullopt;
    return daysFromCivil(y, m, d);
}

bool reminderDue(std::string_view lastBackupKey, std::string_view todayKey) {
    const auto last = dayNumber(lastBackupKey);
    const auto today = dayNumber(todayKey);
    if (!last || !today) return true;
    return *today - *last > 10;
}

std::vector<fs::path> removableMediaRoots(const std::string& user) {
    if (user.empty()) return {};
    return {fs::path("/media") / user, fs::path("/run/media") / user};
}

std::string currentUserName() {
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name) return pw->pw_name;
    if (const char* u = std::getenv("USER")) return u;
    return {};
}

std::optional<fs::path> firstWritableMedium(const std::vector<fs::path>& roots) {
    for (const fs::path& root : roots) {
        std::error_code ec;
        std::vector<fs::path> mounts;
        for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code dirEc;
            if (it->is_directory(dirEc)) mounts.push_back(it->path());
        }
        std::sort(mounts.begin(), mounts.end());
        for (const fs::path& m : mounts)
            if (access(m.c_str(), W_OK | X_OK) == 0) return m;
    }
    return std::nullopt;
}

std::optional<CopyFailure> copyOver(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (!fs::is_regular_file(from, ec)) return CopyFailure{from.string(), "the file does not exist"};
    // Under a temporary name first: a copy that fails half-way (a full stick) leaves the
    // earlier backup of that name whole.
    if (const auto failure = copyFileOver(from, to)) {
        const bool source = failure->step == WriteFailure::Step::Read;
        return CopyFailure{source ? from.string() : to.string(), failure->reason()};
    }
    return std::nullopt;
}

BackupResult runBackup(SettingsList& settings, const std::string& dateKey, const BackupPlaces& places,
                       const BackupAsk& ask) {
    BackupResult result;
    // The date goes in first: a backup given up later still counts as made.
    settings[13] = dateKey;
    const fs::path ini = places.appFolder / "tavrel.ini";
    if (!writeSettings(ini, settings))
        result.localFailures.push_back({ini.string(), "the backup date could not be recorded"});

    // Local copies, every time; a file that fails does not keep the others from being copied.
    std::error_code ec;
    fs::create_directories(places.documents, ec);
    for (const BackupFile& f : kBackupFiles) {
        if (auto fail = copyOver(places.appFolder / f.source, places.documents / (dateKey + f.ending)))
            result.localFailures.push_back(*fail);
    }
    if (!result.localFailures.empty() && ask.reportLocal) ask.reportLocal(result.localFailures);

    // The second copy; a data file that is missing was reported above and is not the medium's fault.
    for (;;) {
        ++result.attempts;
        bool failed = true;
        if (const auto medium = firstWritableMedium(places.mediaRoots)) {
            failed = false;
            for (const BackupFile& f : kBackupFiles) {
                const fs::path from = places.appFolder / f.source;
                if (!fs::is_regular_file(from, ec)) continue;
                if (copyOver(from, *medium / (dateKey + f.ending))) {
                    failed = true;
                    break;
                }
            }
            if (!failed) {
                result.medium = *medium;
                settings[13] = dateKey;
                return result;
            }
        }
        if (!ask.retry || !ask.retry()) return result;
    }
}

} // namespace tavrel
