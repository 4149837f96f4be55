#pragma once
// Changing or removing one stored contact. The log is otherwise only ever appended to, so a
// change rewrites the whole file the safe way: the log as it stood is first copied to
// zizoro.tan.bak beside it, the new text is checked to load by the same rules as any log, and
// then it replaces the file whole (written beside it, flushed, renamed over it). Every other
// record keeps its bytes exactly. A failure at any step leaves the log as it was.

#include "logbook/LogFile.h"
#include "logbook/LogRecord.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

// The copy of the log made before each change.
std::filesystem::path logBackupPath(const std::filesystem::path& log);

// The record to store for what the operator typed over `before`: fields the operator changed
// get the stored form (call upper case with Ø as 0, name and QTH in proper case, locator upper
// case, surrounding blanks of the call dropped); unchanged ones keep their bytes, whatever
// form they have. Field 0 is "zqx", 22 empty (it is worked out at each load), 23 "|".
LogRecord editedContact(const LogRecord& before, const LogRecord& typed);

// Why the edited record cannot be stored, for the operator (UTF-8), or nothing. Only changed
// fields are judged: the call must not be empty, the date must be a calendar date yyyymmdd and
// each time hhmmss (the start time may be empty, as for a logged CQ call).
std::optional<std::string> contactProblem(const LogRecord& before, const LogRecord& after);

// The log text with contact `row` (1 = first contact) replaced by `after`, or removed when
// `after` is null. `before` is the row as the program holds it; when the text holds something
// else there (the file was changed behind the program's back) or does not load, the answer is an
// error and no text. The result is checked to load with the expected rows.
struct LogRewrite {
    std::string bytes;
    std::optional<LogError> error;
};
LogRewrite rewriteLog(std::string_view logBytes, int row, const LogRecord& before, const LogRecord* after);

// The same on the file: backup copy, rewrite, durable replace. `after` is written as
// editedContact gives it (sanitised as every record is).
std::optional<LogError> editContact(const std::filesystem::path& log, int row, const LogRecord& before,
                                    const LogRecord& after);
std::optional<LogError> deleteContact(const std::filesystem::path& log, int row, const LogRecord& before);

} // namespace tavrel
