#include "export/Backup.h"

#include "core/FileStore.h"

#include <algorithm>
#include <cstdio>
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

namespace {

// The mount table writes a blank, tab, line feed and backslash in a path as \040, \011, \012, \134.
std::string unescapeMountPath(std::string_view field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view code = field.substr(i + 1, 3);
            if (std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                out += static_cast<char>((code[0] - '0') * 64 + (code[1] - '0') * 8 + (code[2] - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

// The mount point is the fifth field of a mountinfo line.
std::vector<fs::path> mountPoints(std::string_view mountinfo) {
    std::vector<fs::path> points;
    size_t at = 0;
    while (at < mountinfo.size()) {
        size_t end = mountinfo.find('\n', at);
        if (end == std::string_view::npos) end = mountinfo.size();
        const std::string_view line = mountinfo.substr(at, end - at);
        at = end + 1;
        size_t from = 0;
        for (int field = 0; field < 4 && from != std::string_view::npos; ++field) {
            from = line.find(' ', from);
            if (from != std::string_view::npos) ++from;
        }
        if (from == std::string_view::npos) continue;
        points.emplace_back(unescapeMountPath(line.substr(from, line.find(' ', from) - from)));
    }
    return points;
}

bool strictlyBelow(const fs::path& p, const fs::path& root) {
    const fs::path r = root.lexically_normal();
    const fs::path rel = p.lexically_normal().lexically_relative(r);
    return !rel.empty() && rel != "." && *rel.begin() != "..";
}

std::string readWhole(const fs::path& file) {
    std::string text;
    if (std::FILE* f = std::fopen(file.c_str(), "rb")) {
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
            text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

std::string joinNames(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names)
        out += (out.empty() ? "" : ", ") + n;
    return out;
}

} // namespace

std::vector<fs::path> mountPointsBelow(const std::vector<fs::path>& roots, std::string_view mountinfo) {
    const std::vector<fs::path> all = mountPoints(mountinfo);
    std::vector<fs::path> found;
    for (const fs::path& root : roots) {
        std::vector<fs::path> below;
        for (const fs::path& p : all)
            if (strictlyBelow(p, root)) below.push_back(p);
        std::sort(below.begin(), below.end());
        for (const fs::path& p : below)
            if (std::find(found.begin(), found.end(), p) == found.end()) found.push_back(p);
    }
    return found;
}

std::optional<fs::path> firstWritableMedium(const std::vector<fs::path>& roots, std::string_view mountinfo) {
    for (const fs::path& m : mountPointsBelow(roots, mountinfo))
        if (access(m.c_str(), W_OK | X_OK) == 0) return m;
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

BackupResult runBackup(const RecordBackupDate& recordDate, const std::string& dateKey,
                       const BackupPlaces& places, const BackupAsk& ask) {
    BackupResult result;
    // The date goes in first: a backup given up later still counts as made.
    if (auto failure = recordDate(dateKey)) {
        const fs::path ini = places.appFolder / "tavrel.ini";
        result.localFailures.push_back({ini.string(), "the backup date could not be recorded: " + *failure});
    }

    // Local copies, every time; a file that fails does not keep the others from being copied.
    std::error_code ec;
    fs::create_directories(places.documents, ec);
    for (const BackupFile& f : kBackupFiles) {
        const std::string name = dateKey + f.ending;
        if (auto fail = copyOver(places.appFolder / f.source, places.documents / name))
            result.localFailures.push_back(*fail);
        else
            result.localCopies.push_back(name);
    }
    if (!result.localFailures.empty() && ask.reportLocal) ask.reportLocal(result.localFailures);

    // The second copy; a data file that is missing was reported above and is not the medium's fault.
    for (;;) {
        ++result.attempts;
        result.mediumCopies.clear();
        const auto medium = firstWritableMedium(places.mediaRoots, readWhole(places.mountTable));
        if (!medium) {
            result.mediumProblem = "No removable medium is mounted";
            for (size_t i = 0; i < places.mediaRoots.size(); ++i)
                result.mediumProblem += (i == 0 ? " under " : " or ") + places.mediaRoots[i].string();
            result.mediumProblem += ".";
        } else {
            result.mediumProblem.clear();
            for (const BackupFile& f : kBackupFiles) {
                const fs::path from = places.appFolder / f.source;
                if (!fs::is_regular_file(from, ec)) continue;
                const std::string name = dateKey + f.ending;
                if (const auto fail = copyOver(from, *medium / name)) {
                    result.mediumProblem = "The copy of " + std::string(f.source) + " to " +
                                           medium->string() + " failed: " + fail->reason + ".";
                    break;
                }
                result.mediumCopies.push_back(name);
            }
            if (result.mediumProblem.empty()) {
                result.medium = *medium;
                return result;
            }
        }
        if (!ask.retry || !ask.retry(result.mediumProblem)) return result;
    }
}

std::string backupSummary(const BackupResult& r, const BackupPlaces& places) {
    std::string text;
    if (r.localCopies.empty())
        text = "No copies could be made in " + places.documents.string() + ".";
    else
        text = "Copies made in " + places.documents.string() + ": " + joinNames(r.localCopies) + ".";
    if (r.medium)
        text += "\nCopies made on the removable medium " + r.medium->string() + ": " +
                joinNames(r.mediumCopies) + ".";
    else
        text += "\nNo copies on a removable medium: " + r.mediumProblem;
    return text;
}

} // namespace tavrel
