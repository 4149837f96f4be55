#include "logbook/LogFile.h"

#include "core/Cp1252.h"
#include "core/FieldReader.h"
#include "core/FileStore.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrel {

namespace {

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// Blanks and line ends only: a file like this holds no record, not even the header.
bool holdsNoRecord(std::string_view bytes) {
    return bytes.find_first_not_of(" \r\n") == std::string_view::npos;
}

// A short piece of file text fit for a message: UTF-8, controls shown as "?".
std::string shownText(std::string_view text) {
    constexpr size_t kMax = 24;
    std::string out = "\"";
    for (size_t i = 0; i < text.size() && i < kMax; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        char32_t ch = (b < 0x20 || b == 0x7F) ? U'?' : cp1252ToUnicode(b);
        if (ch < 0x80) {
            out += static_cast<char>(ch);
        } else if (ch < 0x800) {
            out += static_cast<char>(0xC0 | (ch >> 6));
            out += static_cast<char>(0x80 | (ch & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (ch >> 12));
            out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (ch & 0x3F));
        }
    }
    if (text.size() > kMax) out += "...";
    out += "\"";
    return out;
}

struct BadLine {
    int line = 0;   // no-mutate: every BadLine is built with both values given
    int fields = 0; // no-mutate: as above
};

// The first line, up to `lastLine`, that does not hold exactly one record's worth of fields:
// the line the operator has to mend when the records have lost their alignment.
std::optional<BadLine> firstBadLine(std::string_view bytes, int lastLine) {
    FieldReader reader(bytes, kLogFieldRules);
    std::string field;
    BadLine current{1, 0};
    while (reader.next(field)) {
        if (reader.fieldLine() != current.line) {
            if (current.fields != kLogFields) return current;
            current = {reader.fieldLine(), 0};
        }
        if (current.line > lastLine) return std::nullopt;
        ++current.fields;
    }
    if (current.fields != kLogFields && current.line <= lastLine) return current;
    return std::nullopt;
}

std::string fieldsText(int n) {
    return std::to_string(n) + (n == 1 ? " field" : " fields");
}

LogLoad failure(LogError::Kind kind, int line, std::string message) {
    LogLoad load;
    load.error = LogError{kind, line, std::move(message)};
    return load;
}

std::string systemError(const std::filesystem::path& path, const char* what) {
    return "The log file " + path.string() + " " + what + ": " + std::strerror(errno) + ".";
}

// Whether an open log holds no record; only a short file can be blank.
bool holdsNoRecord(int fd, off_t size) {
    constexpr off_t kShort = 4096;
    if (size == 0) return true;
    if (size > kShort) return false;
    std::string bytes(static_cast<size_t>(size), '\0');
    return ::pread(fd, bytes.data(), bytes.size(), 0) == size && holdsNoRecord(bytes);
}

} // namespace

LogRecord logHeaderRecord() {
    LogLoad load = parseLog(kLogHeaderLine);
    return load.table.rows.at(0);
}

std::string sanitiseField(std::string_view value) {
    std::string out(value);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (c == ',')
            c = '/';
        else if (b < 0x20 || b == 0x7F) // no-mutate: "<=" turns a blank into a blank
            c = ' ';
    }
    const size_t first = out.find_first_not_of(' ');
    if (first != std::string::npos && out[first] == '"') out[first] = '\'';
    return out;
}

void sanitiseRecord(LogRecord& row) {
    row[kLogFields - 1] = "|";
    for (std::string& field : row)
        field = sanitiseField(field);
}

std::string formatRecord(const LogRecord& row) {
    LogRecord clean = row;
    sanitiseRecord(clean);
    std::string line;
    size_t size = 3 + kLogFields;
    for (const std::string& field : clean)
        size += field.size();
    line.reserve(size);
    for (int i = 0; i < kLogFields; ++i) {
        line += clean[static_cast<size_t>(i)];
        if (i < kLogFields - 1) line += ',';
    }
    line += ":\r\n";
    return line;
}

LogLoad parseLog(std::string_view bytes) {
    LogLoad load;
    std::vector<LogRecord>& rows = load.table.rows;
    // One row a line, but never more than the shortest record ("zqx" and 23 commas) allows,
    // so a file of nothing but line ends cannot make us reserve gigabytes.
    const auto lines = static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    rows.reserve(std::min(lines, bytes.size() / 26) + 1);
    FieldReader reader(bytes, kLogFieldRules);
    std::string marker;
    while (reader.next(marker)) {
        const int recordLine = reader.fieldLine();
        if (marker != "zqx") {
            std::string what = "the record read from line " + std::to_string(recordLine) + " begins with " +
                               shownText(marker) + " instead of \"zqx\"";
            if (const auto bad = firstBadLine(bytes, recordLine)) {
                const std::string lineText =
                    "line " + std::to_string(bad->line) +
                    (bad->fields == 1 ? " is empty or holds no comma"
                                      : " holds " + fieldsText(bad->fields) + " instead of 24");
                return failure(LogError::Kind::BadMarker, bad->line, lineText + " (" + what + ")");
            }
            return failure(LogError::Kind::BadMarker, recordLine, what);
        }
        LogRecord& row = rows.emplace_back();
        row[0] = std::move(marker);
        for (int i = 1; i < kLogFields; ++i) {
            if (!reader.next(row[static_cast<size_t>(i)])) {
                return failure(LogError::Kind::EndsInsideRecord, recordLine,
                               "the file ends inside the record that begins on line " +
                                   std::to_string(recordLine) + ": it holds " + fieldsText(i) +
                                   " instead of 24");
            }
        }
        row[23] = "|";
        row[22] = row[1] + row[7];
        marker.clear();
    }
    return load;
}

std::vector<size_t> recordOffsets(std::string_view bytes) {
    std::vector<size_t> offsets;
    FieldReader reader(bytes, kLogFieldRules);
    std::string field;
    for (int i = 0;; ++i) {
        const size_t at = reader.position();
        if (!reader.next(field)) break;
        if (i % kLogFields == 0) offsets.push_back(at);
    }
    offsets.push_back(bytes.size());
    return offsets;
}

std::optional<LogError> newlog(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return LogError{LogError::Kind::Io, 0, systemError(path, "cannot be created")};
    const bool written = writeAll(fd, kLogHeaderLine) && ::fsync(fd) == 0;
    std::optional<LogError> error;
    if (!written) error = LogError{LogError::Kind::Io, 0, systemError(path, "cannot be written")};
    ::close(fd);
    syncFolderOf(path); // the new entry is only durable once its folder is synced
    return error;
}

LogLoad getlog(const std::filesystem::path& path) {
    const FileRead read = readWholeFile(path);
    if (read.error != 0) {
        errno = read.error;
        return failure(LogError::Kind::Io, 0,
                       systemError(path, read.missing() ? "cannot be opened" : "cannot be read") +
                           " The file has been left unchanged.");
    }
    const std::string& bytes = read.bytes;

    if (holdsNoRecord(bytes)) {
        if (auto error = newlog(path)) return failure(error->kind, 0, error->message);
        LogLoad load;
        load.table.rows.push_back(logHeaderRecord());
        return load;
    }
    LogLoad load = parseLog(bytes);
    if (!load.ok()) {
        LogError& e = *load.error;
        e.message = "The log file " + path.string() + " is damaged: " + e.message +
                    ". The file has been left unchanged; mend that line in a text editor.";
    }
    return load;
}

std::optional<LogError> appendContact(const std::filesystem::path& path, LogRecord& row) {
    sanitiseRecord(row);
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return LogError{LogError::Kind::Io, 0, systemError(path, "cannot be opened for writing")};

    std::string out;
    struct stat st {};
    bool fresh = false;
    if (::fstat(fd, &st) == 0 && holdsNoRecord(fd, st.st_size)) {
        // Without its header the first contact would be taken for the header at the next load.
        if (st.st_size > 0 && ::ftruncate(fd, 0) != 0) {
            ::close(fd);
            return LogError{LogError::Kind::Io, 0, systemError(path, "cannot be written")};
        }
        out = kLogHeaderLine;
        fresh = true;
    } else {
        char last = '\n';
        if (::pread(fd, &last, 1, st.st_size - 1) == 1 && !isLineEnd(last)) out = "\r\n";
    }
    out += formatRecord(row);

    // A record written in part (a full disk) would make the log unreadable from then on:
    // cut the file back to where it ended before.
    const off_t before = fresh ? 0 : st.st_size;
    std::optional<LogError> error;
    if (!writeAll(fd, out) || ::fsync(fd) != 0) {
        std::string message = systemError(path, "cannot be written");
        if (::ftruncate(fd, before) == 0) {
            (void)::fsync(fd);
            message += " The log is as it was.";
        } else {
            message += " The part of the record already written could not be removed (" +
                       std::string(std::strerror(errno)) +
                       "): delete the incomplete last line in a text editor before Tavrel starts again.";
        }
        error = LogError{LogError::Kind::Io, 0, std::move(message)};
    }
    ::close(fd);
    if (fresh) syncFolderOf(path); // the new entry is only durable once its folder is synced
    return error;
}

} // namespace tavrel
