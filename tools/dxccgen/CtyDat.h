#pragma once
// Turns the country file cty.dat (AD1C's format, as shipped in Debian's hamradio-files) into
// the prefix table dxcc1.csv.
//
// cty.dat holds one entity per record, ended by ';': a header of eight ':'-ended fields (name,
// CQ zone, ITU zone, continent, latitude, longitude with west positive, time offset with the
// sign turned so that UTC+1 reads -1.0, primary prefix; '*' before it marks an entity that only
// the WAE list counts), then a comma-separated alias list. Aliases starting with '=' are whole
// call signs; the others are prefixes, optionally followed by overrides (CQ zone) [ITU zone]
// <lat/long> {continent} ~time offset~ that hold for that prefix only.

#include "stationinfo/DxccTable.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel::dxccgen {

struct CtyEntity {
    std::string name, cqZone, ituZone, continent, latitude, longitude, timeOffset, primaryPrefix;
    bool waeOnly = false;
    std::vector<std::string> aliases; // as written, overrides included
};

struct CtyError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Throws CtyError on a header that does not have eight fields or a number that does not read.
std::vector<CtyEntity> parseCtyDat(std::string_view text);

struct GenerationReport {
    int entities = 0;                     // DXCC entities used
    int waeOnlySkipped = 0;               // entities only the WAE list counts, left to their DXCC entity
    int waeOnlyByMainPrefix = 0;          // WAE-only entities known by whole calls only: main prefix kept
    int wholeCallsSkipped = 0;            // "=CALL" aliases
    int tooLongSkipped = 0;               // prefixes of five characters or more
    int repeatsMerged = 0;                // the same prefix listed twice for one entity
    std::vector<std::string> conflicts;   // the same prefix under two entities, and who got it
    std::string version;                  // from the =VERyyyymmdd marker call, when present
    std::vector<std::string> unreachable; // entities no row names, "name (main prefix)"
};

// The row shown when no prefix matches.
DxccRecord unknownRecord();

// Record 0 (unknownRecord) followed by one record per distinct prefix of 1 to 4 characters in
// byte order, so every prefix follows the shorter prefixes that begin it and the last match in
// file order is the longest one. Every entity's main prefix of up to four letters and digits has
// its row, also where cty.dat lists only whole calls under it. A prefix listed under two entities
// goes to the entity whose primary prefix it is, otherwise to the first entity listing it.
std::vector<DxccRecord> buildPrefixRecords(const std::vector<CtyEntity>& entities, GenerationReport& report);

// The records as dxcc1.csv text, one line each, LF-ended; a field holding a comma is quoted.
std::string formatDxcc(const std::vector<DxccRecord>& records);

// Country names arrive as ASCII, or UTF-8 in a future file; the table holds Windows-1252.
std::string toCp1252(std::string_view text);

} // namespace tavrel::dxccgen
