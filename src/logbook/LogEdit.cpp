#include "logbook/LogEdit.h"

#include "core/FileStore.h"
#include "logbook/LogText.h"

#include <algorithm>

namespace tavrel {

namespace {

bool allDigits(std::string_view text) {
    return text.find_first_not_of("0123456789") == std::string_view::npos;
}

int number(std::string_view digits) {
    int n = 0;
    for (char c : digits)
        n = n * 10 + (c - '0');
    return n;
}

bool isCalendarDate(std::string_view key) {
    if (key.size() != 8 || !allDigits(key)) return false;
    const int year = number(key.substr(0, 4));
    const int month = number(key.substr(4, 2));
    const int day = number(key.substr(6, 2));
    if (year < 1900 || month < 1 || month > 12 || day < 1) return false;
    static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29) return leap;
    return day <= kDays[month - 1];
}

bool isTimeOfDay(std::string_view key) {
    return key.size() == 6 && allDigits(key) && number(key.substr(0, 2)) < 24 &&
           number(key.substr(2, 2)) < 60 && number(key.substr(4, 2)) < 60;
}

LogError editError(LogError::Kind kind, std::string message) {
    return LogError{kind, 0, std::move(message)};
}

// The row as a load of the written text gives it back.
LogRecord asLoaded(const LogRecord& row) {
    LogRecord out = row;
    sanitiseRecord(out);
    for (std::string& field : out)
        field.erase(0, std::min(field.size(), field.find_first_not_of(' ')));
    out[22] = out[1] + out[7];
    return out;
}

std::optional<LogError> rewriteFile(const std::filesystem::path& log, int row, const LogRecord& before,
                                    const LogRecord* after) {
    const FileRead read = readWholeFile(log);
    if (read.error != 0)
        return editError(LogError::Kind::Io, "The log file " + log.string() + " cannot be read: " +
                                                 errorText(read.error) + ". Nothing was changed.");
    LogRewrite rewrite = rewriteLog(read.bytes, row, before, after);
    if (rewrite.error) {
        rewrite.error->message += " (" + log.string() + ")";
        return rewrite.error;
    }
    const std::filesystem::path backup = logBackupPath(log);
    if (auto failure = replaceFile(backup, read.bytes))
        return editError(LogError::Kind::Io, "The copy of the log " + backup.string() +
                                                 " cannot be written: " + failure->reason() +
                                                 ". The log is as it was.");
    if (auto failure = replaceFile(log, rewrite.bytes)) {
        if (failure->step == WriteFailure::Step::Sync)
            return editError(LogError::Kind::Io, "The log file " + log.string() +
                                                     " was changed, but its folder could not be flushed: " +
                                                     failure->reason() + ".");
        return editError(LogError::Kind::Io, "The log file " + log.string() + " cannot be written: " +
                                                 failure->reason() + ". The log is as it was.");
    }
    return std::nullopt;
}

} // namespace

std::filesystem::path logBackupPath(const std::filesystem::path& log) {
    std::filesystem::path backup = log;
    backup += ".bak";
    return backup;
}

LogRecord editedContact(const LogRecord& before, const LogRecord& typed) {
    LogRecord out = typed;
    auto changed = [&](size_t i) { return typed[i] != before[i]; };
    if (changed(2)) out[2] = callForLog(trimSpaces(typed[2]));
    if (changed(10)) out[10] = properCase(typed[10]);
    if (changed(11)) out[11] = properCase(typed[11]);
    if (changed(15)) out[15] = upperCase1252(trimSpaces(typed[15]));
    out[0] = "zqx";
    out[22].clear();
    out[23] = "|";
    return out;
}

std::optional<std::string> contactProblem(const LogRecord& before, const LogRecord& after) {
    if (after[2] != before[2] && trimSpaces(after[2]).empty()) return "The call cannot be empty.";
    if (after[1] != before[1] && !isCalendarDate(after[1]))
        return "The date must be a calendar date written yyyymmdd, like 20240315.";
    if (after[3] != before[3] && !after[3].empty() && !isTimeOfDay(after[3]))
        return "The start time must be written hhmmss (UTC), like 101500, or left empty.";
    if (after[7] != before[7] && !isTimeOfDay(after[7]))
        return "The end time must be written hhmmss (UTC), like 102000.";
    return std::nullopt;
}

LogRewrite rewriteLog(std::string_view logBytes, int row, const LogRecord& before, const LogRecord* after) {
    LogRewrite out;
    const LogLoad load = parseLog(logBytes);
    if (!load.ok()) {
        out.error = editError(load.error->kind,
                              "The log is damaged: " + load.error->message + ". Nothing was changed.");
        return out;
    }
    const int count = load.table.logCount();
    if (row < 1 || row >= count || load.table.rows[static_cast<size_t>(row)] != before) {
        out.error =
            editError(LogError::Kind::BadMarker,
                      "The log has changed since Tavrel read it, so the contact could not be found in it. "
                      "Nothing was changed; start Tavrel again to read it afresh.");
        return out;
    }
    if (after) {
        if (auto problem = contactProblem(before, editedContact(before, *after))) {
            out.error = editError(LogError::Kind::BadMarker, *problem + " Nothing was changed.");
            return out;
        }
    }
    const std::vector<size_t> at = recordOffsets(logBytes);
    const auto r = static_cast<size_t>(row);
    // Records start after a line end or, where two share a line, after a comma.
    std::string bytes(logBytes.substr(0, at[r]));
    if (after) bytes += formatRecord(editedContact(before, *after));
    bytes.append(logBytes.substr(at[r + 1]));
    // Removing the last record of a shared line must not leave a comma with nothing after it.
    if (!after && at[r + 1] == logBytes.size() && !bytes.empty() && bytes.back() == ',') {
        bytes.pop_back();
        bytes += "\r\n";
    }

    // What is written must load as a log with the change in it and nothing else.
    const LogLoad check = parseLog(bytes);
    const int expected = after ? count : count - 1;
    const bool good = check.ok() && check.table.logCount() == expected &&
                      (!after || check.table.rows[r] == asLoaded(editedContact(before, *after)));
    if (!good) {
        out.error = editError(LogError::Kind::BadMarker, "The changed log would not read back as it should. "
                                                         "Nothing was changed.");
        return out;
    }
    out.bytes = std::move(bytes);
    return out;
}

std::optional<LogError> editContact(const std::filesystem::path& log, int row, const LogRecord& before,
                                    const LogRecord& after) {
    return rewriteFile(log, row, before, &after);
}

std::optional<LogError> deleteContact(const std::filesystem::path& log, int row, const LogRecord& before) {
    return rewriteFile(log, row, before, nullptr);
}

} // namespace tavrel
