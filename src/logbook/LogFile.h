#pragma once
// The log file: one record a line, 24 comma-separated fields, ":" and CR LF after the last.
// Records are found by counting fields straight through the text, so a line with one field
// too many or too few shifts every later record; the marker "zqx" that opens each record
// catches that. Nothing here holds a limit on the number of records.
//
//   newlog(path)              make the file afresh holding the header record only
//   getlog(path)              load the whole file (or say exactly what is wrong with it)
//   appendContact(path, row)  append one record safely, header first if the file is gone
//
// Loading rules: a field ends at a comma or at a line end (CR LF, LF or CR); leading spaces
// of a field are dropped; an empty line reads as one empty field; a field beginning with a
// double quote is the text up to the closing quote (it may hold commas and line ends; what
// follows the closing quote up to the next comma or line end is dropped). The last field of
// a line comes back as "|:" and is held as "|"; column 22 is set to field 1 followed by
// field 7 (date and end time, the chronological key).

#include "logbook/LogRecord.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel {

inline constexpr std::string_view kLogHeaderLine =
    "zqx,Date,Call,Start Time,Band,Mode,Power,End Time,His RST,My RST,Name,QTH,Remarks,QSL Sent,"
    "QSL Received,Locator,,,,,,,,|:\r\n";

// The header record as a load gives it (column 22 "DateEnd Time", column 23 "|").
LogRecord logHeaderRecord();

// A value made safe to write as one field: "," becomes "/", CR, LF and every other control
// character (0x00-0x1F, 0x7F) becomes a blank, and a double quote opening the value (after
// any blanks, which the loader drops) becomes an apostrophe, so the loader cannot take it
// for a quoted text.
std::string sanitiseField(std::string_view value);

// Field 23 := "|" and every field sanitised, in the row itself, as it is written.
void sanitiseRecord(LogRecord& row);

// The line for a row: the 24 sanitised fields joined by 23 commas, then ":" CR LF.
std::string formatRecord(const LogRecord& row);

struct LogError {
    enum class Kind {
        BadMarker,        // a record does not begin with "zqx": some line has too many or too few fields
        EndsInsideRecord, // fewer than 24 fields after the last whole record
        Io,               // the file cannot be read or written
    };
    Kind kind = Kind::Io;
    int line = 0;        // 1-based line to look at; 0 when no line is concerned
    std::string message; // for the operator, UTF-8; names the file (getlog), the fault and the line
};

struct LogLoad {
    LogTable table; // rows 0..logLast when ok(); empty otherwise (no part of a damaged log is used)
    std::optional<LogError> error;
    bool ok() const { return !error.has_value(); }
};

// Parses the bytes of a log file. No file is touched; a text with no field at all gives an
// empty table. The error message here names the line but not the file.
LogLoad parseLog(std::string_view bytes);

// Where each record of a log text begins, counted in bytes, and lastly the text's size: record r
// is bytes offsets[r] up to offsets[r + 1], its line end (and any blanks before the next marker)
// included. For a text that parseLog reads without error.
std::vector<size_t> recordOffsets(std::string_view bytes);

// Creates or replaces the file with the header record only, flushed to disk.
std::optional<LogError> newlog(const std::filesystem::path& path);

// Loads the whole file. A damaged file is left byte for byte as it is and the error says
// what is wrong and on which line. A file holding no record at all (empty, or blanks only)
// gets the header record written into it and loads as that one row.
LogLoad getlog(const std::filesystem::path& path);

// Appends one record as one write and flushes it to disk before returning. The row is
// sanitised in place first (field 23 "|", see sanitiseField), so the caller holds exactly
// what was stored. If the file has vanished or is empty, the header record is written
// first, in the same write; if its last line lacks a line end, one is added so the record
// keeps its own line.
std::optional<LogError> appendContact(const std::filesystem::path& path, LogRecord& row);

} // namespace tavrel
