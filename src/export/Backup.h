#pragma once
// The backup of the three data files and the reminder test.
//
// A backup records its date in settings item 13 and writes the whole settings file before any
// copy is made, so a backup given up at the message box still counts. The three files go under
// date names (yyyymmdd.ini, .log, .col) first to the local documents folder, every time, then to
// the first writable removable medium: a filesystem mounted under /media/<user> or
// /run/media/<user> (a folder merely left there is no medium). When no medium is mounted or a copy
// to it fails, the operator is told which and asked to retry (from the first of the three copies
// again) or to give up.

#include "core/Settings.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel {

// Data file in the application folder and the ending of its backup name.
struct BackupFile {
    const char* source;
    const char* ending;
};
inline constexpr BackupFile kBackupFiles[3] = {
    {"tavrel.ini", ".ini"}, {"zizoro.tan", ".log"}, {"spectrum.col", ".col"}};

// Days from 1970-01-01 of a yyyymmdd key; nothing when the text is not a real date.
std::optional<long> dayNumber(std::string_view dateKey);

// The reminder shows when item 13 holds no date, or when more than ten calendar days lie
// between it and today.
bool reminderDue(std::string_view lastBackupKey, std::string_view todayKey);

// /media/<user> and /run/media/<user>, where desktops mount removable media.
std::vector<std::filesystem::path> removableMediaRoots(const std::string& user);
// The login name of this process's user ("" when unknown).
std::string currentUserName();

// The mount points listed in a mount table (the text of /proc/self/mountinfo) that lie below one
// of the roots, in the order of the roots and then by name.
std::vector<std::filesystem::path> mountPointsBelow(const std::vector<std::filesystem::path>& roots,
                                                    std::string_view mountinfo);

// The first of those mount points that this user can write to.
std::optional<std::filesystem::path> firstWritableMedium(const std::vector<std::filesystem::path>& roots,
                                                         std::string_view mountinfo);

struct CopyFailure {
    std::string file;   // the file that could not be copied (source or target path)
    std::string reason; // UTF-8, for the operator
};

// Copies one file over the target, whole or not at all (see replaceFile); the reason is the
// system's ("No space left on device").
std::optional<CopyFailure> copyOver(const std::filesystem::path& from, const std::filesystem::path& to);

struct BackupPlaces {
    std::filesystem::path appFolder;
    std::filesystem::path documents;               // made when missing
    std::vector<std::filesystem::path> mediaRoots; // searched afresh on every attempt
    std::filesystem::path mountTable = "/proc/self/mountinfo";
};

struct BackupAsk {
    // Reports the local copies that failed, and a settings file that could not be written.
    std::function<void(const std::vector<CopyFailure>&)> reportLocal;
    // No medium or a failed copy to it, said in `problem`: true to try again, false to give up.
    std::function<bool(const std::string& problem)> retry;
};

struct BackupResult {
    std::vector<std::string> localCopies; // names of the copies made in the documents folder
    std::vector<CopyFailure> localFailures;
    std::optional<std::filesystem::path> medium; // where the second copies went; none when given up
    std::vector<std::string> mediumCopies;       // names of the copies made there
    std::string mediumProblem;                   // why there are none, when given up
    int attempts = 0;                            // attempts at the removable medium
};

// What the backup did and where, for the operator: the copies made and their folders, or why
// none went to a removable medium.
std::string backupSummary(const BackupResult& result, const BackupPlaces& places);

// Puts the date of the backup into the settings and writes them; why they could not be written.
using RecordBackupDate = std::function<std::optional<std::string>(const std::string& dateKey)>;

// The whole backup. The date is recorded first, so the copies of the settings hold it.
BackupResult runBackup(const RecordBackupDate& recordDate, const std::string& dateKey,
                       const BackupPlaces& places, const BackupAsk& ask);

} // namespace tavrel
