#include "export/Adif.h"

#include "core/FileStore.h"

#include <array>

namespace tavrel {

namespace {

struct AdifField {
    int column; // field of the log record
    std::string_view tag;
};

// The export order; QSL marks and locator last.
constexpr std::array<AdifField, 15> kFields{{
    {1, "QSO_DATE"},
    {2, "CALL"},
    {3, "TIME_ON"},
    {4, "BAND"},
    {5, "MODE"},
    {6, "TX_PWR"},
    {7, "TIME_OFF"},
    {8, "RST_SENT"},
    {9, "RST_RCVD"},
    {10, "NAME"},
    {11, "QTH"},
    {12, "COMMENT"},
    {13, "QSL_SENT"},
    {14, "QSL_RCVD"},
    {15, "GRIDSQUARE"},
}};

// The bands ADIF names in metres.
constexpr std::array<std::string_view, 19> kMetreBands{"2190", "630", "560", "160", "80",  "60", "40",
                                                       "30",   "20",  "17",  "15",  "12",  "10", "8",
                                                       "6",    "5",   "4",   "2",   "1.25"};

// The nearest ASCII of each Windows-1252 byte from 0x80 on; "?" where there is none, nothing for
// the soft hyphen and the five codes the set leaves undefined.
constexpr std::array<std::string_view, 128> kAscii{
    "EUR", "",    ",", "f",   "\"", "...", "+",  "+", "^",  "%",   "S", "<",  "OE",  "",    "Z",   "",
    "",    "'",   "'", "\"",  "\"", "*",   "-",  "-", "~",  "TM",  "s", ">",  "oe",  "",    "z",   "Y",
    " ",   "!",   "c", "GBP", "?",  "JPY", "|",  "S", "\"", "(C)", "a", "\"", "-",   "",    "(R)", "-",
    "deg", "+/-", "2", "3",   "'",  "u",   "P",  ".", ",",  "1",   "o", "\"", "1/4", "1/2", "3/4", "?",
    "A",   "A",   "A", "A",   "A",  "A",   "AE", "C", "E",  "E",   "E", "E",  "I",   "I",   "I",   "I",
    "D",   "N",   "O", "O",   "O",  "O",   "O",  "x", "O",  "U",   "U", "U",  "U",   "Y",   "TH",  "ss",
    "a",   "a",   "a", "a",   "a",  "a",   "ae", "c", "e",  "e",   "e", "e",  "i",   "i",   "i",   "i",
    "d",   "n",   "o", "o",   "o",  "o",   "o",  "/", "o",  "u",   "u", "u",  "u",   "y",   "th",  "y"};

void appendPiece(std::string& line, std::string_view tag, std::string_view stored) {
    const std::string value = adifAscii(stored);
    if (value.empty()) return;
    line += '<';
    line += tag;
    line += ':';
    line += std::to_string(value.size());
    line += '>';
    line += value;
}

} // namespace

std::string adifBand(std::string_view stored) {
    for (std::string_view b : kMetreBands)
        if (stored == b) return std::string(stored) + "m";
    return std::string(stored);
}

std::string adifAscii(std::string_view stored) {
    std::string out;
    out.reserve(stored.size());
    for (const char ch : stored) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80)
            out += kAscii[b - 0x80];
        else
            out += (b < 0x20 || b == 0x7F) ? ' ' : ch; // no line breaks or other controls in a String
    }
    return out;
}

bool isContact(const LogRecord& row) {
    return row[2] != "CQ";
}

std::string adifContactLine(const LogRecord& row) {
    std::string line;
    for (const AdifField& f : kFields) {
        const std::string& value = row[static_cast<size_t>(f.column)];
        if (f.tag == "TIME_ON" && value.empty()) {
            // A contact stored without a start time began, as far as the log knows, when it ended.
            appendPiece(line, f.tag, row[7]);
        } else if (f.tag == "BAND") {
            appendPiece(line, f.tag, adifBand(value));
        } else if (f.tag == "MODE" && value == "BPSK") {
            appendPiece(line, "MODE", "PSK");
            appendPiece(line, "SUBMODE", "PSK31");
        } else {
            appendPiece(line, f.tag, value);
        }
    }
    line += "<EOR>";
    return line;
}

std::string adifFile(const LogTable& log, const DateTime& localNow, std::string_view utcTime) {
    std::string out;
    out += kAdifTitle;
    out += "\r\n";
    out += monthDayYear(localNow);
    out += "   ";
    out += utcTime;
    out += "\r\n<EOH>\r\n";
    for (size_t i = 1; i < log.rows.size(); ++i) {
        if (!isContact(log.rows[i])) continue;
        out += adifContactLine(log.rows[i]);
        out += "\r\n";
    }
    return out;
}

std::optional<std::string> writeAdif(const std::filesystem::path& path, std::string_view bytes) {
    const auto failure = replaceFile(path, bytes);
    if (!failure) return std::nullopt;
    const std::string name = path.string();
    switch (failure->step) {
    case WriteFailure::Step::Create:
        return "The ADIF export " + name + " could not be created: " + failure->reason() + ".";
    case WriteFailure::Step::Replace:
        return "The earlier ADIF export " + name + " could not be replaced: " + failure->reason() + ".";
    case WriteFailure::Step::Sync:
        return "The ADIF export " + name +
               " was written, but could not be made safe on the disk: " + failure->reason() + ".";
    default:
        return "The ADIF export " + name + " could not be written: " + failure->reason() + ".";
    }
}

} // namespace tavrel
