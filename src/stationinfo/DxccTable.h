#pragma once
// The prefix table dxcc1.csv: eight text fields a record, read only. Column 0 is the prefix,
// 1 the country, 2 to 5 continent, CQ zone, ITU zone and UTC offset (kept, unused), 6 and 7
// the reference point as degrees with a trailing hemisphere letter ("35.7N", "139.7E").

#include "logbook/LogRecord.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tavrel {

inline constexpr int kDxccFields = 8;
using DxccRecord = std::array<std::string, kDxccFields>;

class DxccTable {
public:
    DxccTable() = default;
    explicit DxccTable(std::vector<DxccRecord> records);

    // Number of records loaded (dxccCount).
    int count() const { return static_cast<int>(m_records.size()); }
    // Row i; rows that were never loaded (negative, or at or past count()) read as empty text.
    const DxccRecord& row(int i) const;
    const std::vector<DxccRecord>& records() const { return m_records; }

    // The last row whose prefix is exactly `prefix` (1 to 4 characters), or -1.
    int lastRowWithPrefix(std::string_view prefix) const;

private:
    std::vector<DxccRecord> m_records;
    // Prefixes of 1 to 4 characters -> last row holding them; longer ones can never match.
    std::unordered_map<uint64_t, int> m_lastRow;
};

// Reads the table from the file's text: a field ends at a comma or a line end (CR, LF or
// CR LF), leading blanks and tabs are skipped, a field that begins with a double quote runs to
// the closing quote and may hold commas and line ends. Fields are taken eight at a time
// straight through the text; a record the text ends inside is dropped. No record limit.
DxccTable parseDxcc(std::string_view text);

// Loads dxcc1.csv. A missing or unreadable file gives an empty table, whose lookups show nothing.
DxccTable getdxcc(const std::filesystem::path& file);

// The row matched by callHead (the first four characters of the upper-case call; a longer text
// is read the same way): a row matches when its prefix is 1 to 4 characters long and callHead
// begins with it exactly, case included; the last matching row in file order wins. 0 when
// nothing matches, which record 0 cannot be told apart from. An empty callHead matches nothing.
int findprefix(const DxccTable& table, std::string_view callHead);

// Captions of the prefix label (Label33) and the country label (Label38) for a match.
std::string prefixCaption(const DxccTable& table, int match);
std::string countryCaption(const DxccTable& table, int match);

inline constexpr uint32_t kNewPrefixColour = 49152;    // green, RGB 0,192,0
inline constexpr uint32_t kWorkedPrefixColour = 33023; // orange, RGB 255,128,0

// What the new/worked label (Label39) shows. When `visible` is false the label stays hidden
// and keeps its caption and colour.
struct PrefixMark {
    bool visible = false;
    std::string caption;
    uint32_t backColour = 0;
    bool operator==(const PrefixMark&) const = default;
};

// "New   Prefix" on green for a matched prefix, "Worked Prefix" on orange when the matched row's
// prefix begins field 2 of any row of the log, row 0 included.
PrefixMark markprefix(const DxccTable& table, int match, std::string_view callHead, const LogTable& log);

} // namespace tavrel
