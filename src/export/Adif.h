#pragma once
// The ADIF export zizoro.adi: three header lines (title, local date mm-dd-yyyy, three blanks and
// the UTC clock text, "<EOH>"), then one line per contact of the log, CR LF after every line.
//
// A contact line holds, in a fixed order, one piece per non-empty field: the tag, the value's
// length in characters of the 8-bit text, ">" and the value; then "<EOR>". Values go out as
// stored, except the two the ADIF standard has no word for: a band held as a bare number of
// metres ("20") is written as the ADIF band name ("20m"), and the mode "BPSK" as MODE PSK with
// SUBMODE PSK31. Other programs reading the file reject or misfile the stored forms.
//
// ADIF text is ASCII: each value is folded to it (José to Jose, Ø to O, ß to ss, line breaks and
// other controls to blanks); the log keeps the original. The logged CQ calls (call "CQ") are not
// contacts and are left out, and a contact without a start time gets its end time as TIME_ON.

#include "core/Clock.h"
#include "logbook/LogRecord.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

inline constexpr std::string_view kAdifTitle = "Tavrel ADIF Log Export";

// "20" -> "20m" for every number of metres ADIF names as a band; anything else unchanged.
std::string adifBand(std::string_view stored);

// A stored Windows-1252 value as ADIF's ASCII text.
std::string adifAscii(std::string_view stored);

// False for a row that is not a contact: a logged CQ call.
bool isContact(const LogRecord& row);

// One contact line without its line end, "<EOR>" included.
std::string adifContactLine(const LogRecord& row);

// The whole file: the contacts among rows 1 to logLast of the table (row 0 is the header record).
std::string adifFile(const LogTable& log, const DateTime& localNow, std::string_view utcTime);

// Replaces `path` with `bytes` durably (see replaceFile), so a failed export leaves the
// previous one whole. Returns what went wrong (UTF-8, naming the
// file) or nothing when the file was written.
std::optional<std::string> writeAdif(const std::filesystem::path& path, std::string_view bytes);

} // namespace tavrel
