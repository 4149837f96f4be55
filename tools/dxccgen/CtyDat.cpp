#include "dxccgen/CtyDat.h"

#include "core/Cp1252.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace tavrel::dxccgen {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && isSpace(s[b]))
        ++b;
    while (e > b && isSpace(s[e - 1]))
        --e;
    return std::string(s.substr(b, e - b));
}

double number(const std::string& text, const char* what) {
    double v = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    const auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || ptr != last) throw CtyError(std::string("bad ") + what + " '" + text + "'");
    return v;
}

std::string unsignedDigits(const std::string& text) {
    return (!text.empty() && (text[0] == '-' || text[0] == '+')) ? text.substr(1) : text;
}

std::string zone(const std::string& text) {
    return std::to_string(static_cast<int>(number(text, "zone")));
}

// cty.dat counts south negative.
std::string latitude(const std::string& text) {
    return unsignedDigits(text) + (number(text, "latitude") < 0 ? "S" : "N");
}

// cty.dat counts WEST positive, east negative.
std::string longitude(const std::string& text) {
    return unsignedDigits(text) + (number(text, "longitude") > 0 ? "W" : "E");
}

// cty.dat writes UTC+1 as -1.0; the table uses the usual sign.
std::string utcOffset(const std::string& text) {
    const double v = number(text, "time offset");
    if (v == 0) return unsignedDigits(text);
    return v > 0 ? "-" + unsignedDigits(text) : unsignedDigits(text);
}

struct PrefixAlias {
    std::string prefix, cqZone, ituZone, continent, latitude, longitude, timeOffset;
};

// Splits "UA9(17)[30]<55.0/-73.0>{AS}~-6.0~" into the prefix and its overrides; an override
// not given keeps the entity's value.
PrefixAlias readAlias(const std::string& alias, const CtyEntity& entity) {
    PrefixAlias a{"",
                  entity.cqZone,
                  entity.ituZone,
                  entity.continent,
                  entity.latitude,
                  entity.longitude,
                  entity.timeOffset};
    size_t i = 0;
    while (i < alias.size() && std::string_view("([<{~").find(alias[i]) == std::string_view::npos)
        ++i;
    a.prefix = alias.substr(0, i);
    while (i < alias.size()) {
        const char open = alias[i];
        const char close = open == '('   ? ')'
                           : open == '[' ? ']'
                           : open == '<' ? '>'
                           : open == '{' ? '}'
                                         : '~';
        const size_t end = alias.find(close, i + 1);
        if (end == std::string::npos) throw CtyError("unclosed override in '" + alias + "'");
        const std::string inner = alias.substr(i + 1, end - i - 1);
        if (open == '(')
            a.cqZone = inner;
        else if (open == '[')
            a.ituZone = inner;
        else if (open == '{')
            a.continent = inner;
        else if (open == '~')
            a.timeOffset = inner;
        else if (open == '<') {
            const size_t slash = inner.find('/');
            if (slash == std::string::npos) throw CtyError("bad position in '" + alias + "'");
            a.latitude = inner.substr(0, slash);
            a.longitude = inner.substr(slash + 1);
        } else {
            throw CtyError("unknown marker in '" + alias + "'");
        }
        i = end + 1;
    }
    return a;
}

DxccRecord recordFor(const PrefixAlias& a, const CtyEntity& e) {
    return {a.prefix,        toCp1252(e.name),        a.continent,          zone(a.cqZone),
            zone(a.ituZone), utcOffset(a.timeOffset), latitude(a.latitude), longitude(a.longitude)};
}

// The country files carry their date as the pseudo call =VERyyyymmdd.
bool isVersionMark(const std::string& alias) {
    return alias.size() == 12 && alias.starts_with("=VER") &&
           alias.find_first_not_of("0123456789", 4) == std::string::npos;
}

// An entity cty.dat lists no prefix for, only whole calls.
bool onlyWholeCalls(const CtyEntity& e) {
    return std::all_of(e.aliases.begin(), e.aliases.end(), [](const std::string& a) { return a[0] == '='; });
}

std::string primaryWithoutMark(const CtyEntity& e) {
    return e.waeOnly ? e.primaryPrefix.substr(1) : e.primaryPrefix;
}

} // namespace

std::vector<CtyEntity> parseCtyDat(std::string_view text) {
    std::vector<CtyEntity> entities;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(';', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view record = text.substr(pos, end - pos);
        pos = end + 1;
        if (trim(record).empty()) continue;

        std::vector<std::string> header;
        size_t at = 0;
        while (header.size() < 8) {
            const size_t colon = record.find(':', at);
            if (colon == std::string_view::npos)
                throw CtyError("entity header without eight fields: '" + trim(record.substr(0, 60)) + "'");
            header.push_back(trim(record.substr(at, colon - at)));
            at = colon + 1;
        }
        CtyEntity e{header[0], header[1], header[2], header[3], header[4],
                    header[5], header[6], header[7], false,     {}};
        e.waeOnly = !e.primaryPrefix.empty() && e.primaryPrefix[0] == '*';
        number(e.cqZone, "CQ zone");
        number(e.ituZone, "ITU zone");
        number(e.latitude, "latitude");
        number(e.longitude, "longitude");
        number(e.timeOffset, "time offset");

        const std::string_view list = record.substr(at);
        size_t from = 0;
        while (from <= list.size()) {
            size_t comma = list.find(',', from);
            if (comma == std::string_view::npos) comma = list.size();
            std::string alias;
            for (char c : list.substr(from, comma - from))
                if (!isSpace(c)) alias += c;
            if (!alias.empty()) e.aliases.push_back(std::move(alias));
            from = comma + 1;
        }
        entities.push_back(std::move(e));
    }
    return entities;
}

DxccRecord unknownRecord() {
    return {"?", "Unknown", "", "", "", "", "", ""};
}

std::vector<DxccRecord> buildPrefixRecords(const std::vector<CtyEntity>& entities, GenerationReport& report) {
    struct Entry {
        DxccRecord record;
        size_t entity;
    };
    std::map<std::string, Entry> byPrefix; // byte order: a prefix sorts before its extensions

    // A prefix listed under two entities goes to the entity whose primary prefix it is, otherwise
    // to the first lister; a repeat within one entity keeps its first listing and its overrides.
    const auto place = [&](const PrefixAlias& a, size_t ei) {
        const CtyEntity& e = entities[ei];
        const DxccRecord record = recordFor(a, e);
        const auto [it, inserted] = byPrefix.try_emplace(a.prefix, Entry{record, ei});
        if (inserted) return;
        if (it->second.entity == ei) {
            ++report.repeatsMerged;
            return;
        }
        const CtyEntity& holder = entities[it->second.entity];
        const bool takeOver = primaryWithoutMark(e) == a.prefix && primaryWithoutMark(holder) != a.prefix;
        report.conflicts.push_back(a.prefix + ": " + holder.name + " / " + e.name + " -> " +
                                   (takeOver ? e.name : holder.name));
        if (takeOver) it->second = Entry{record, ei};
    };

    for (size_t ei = 0; ei < entities.size(); ++ei) {
        const CtyEntity& e = entities[ei];
        for (const std::string& alias : e.aliases)
            if (isVersionMark(alias)) report.version = alias.substr(4);
        // A WAE-only entity's calls fall to its DXCC entity's prefixes - unless it has none but whole
        // calls, when its own main prefix keeps them from an unrelated shorter one (4U1VIC is not
        // Italy's 4U).
        if (e.waeOnly && !onlyWholeCalls(e)) {
            ++report.waeOnlySkipped;
            continue;
        }
        if (e.waeOnly)
            ++report.waeOnlyByMainPrefix;
        else
            ++report.entities;
        for (const std::string& alias : e.aliases) {
            if (alias[0] == '=') {
                ++report.wholeCallsSkipped;
                continue;
            }
            const PrefixAlias a = readAlias(alias, e);
            if (a.prefix.empty()) throw CtyError("alias without a prefix: '" + alias + "'");
            if (a.prefix.size() > 4) {
                ++report.tooLongSkipped;
                continue;
            }
            place(a, ei);
        }
    }
    // Each entity's main prefix gets its row where no entity lists it as a prefix of its calls:
    // 4U1I for ITU HQ, whose calls cty.dat lists one by one. The main prefix is a label, so it
    // takes no prefix from an entity that lists it (CE9 stays with the South Shetland Islands).
    // One that no call begins with ("GM/s") or that is too long has no row.
    for (size_t ei = 0; ei < entities.size(); ++ei) {
        const CtyEntity& e = entities[ei];
        const std::string main = primaryWithoutMark(e);
        if ((!e.waeOnly || onlyWholeCalls(e)) && !main.empty() && main.size() <= 4 &&
            main.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789") == std::string::npos)
            byPrefix.try_emplace(main, Entry{recordFor(readAlias(main, e), e), ei});
    }

    // Entities no row names: a table of prefixes of up to four characters cannot reach them.
    std::vector<bool> named(entities.size(), false);
    for (const auto& [prefix, entry] : byPrefix)
        named[entry.entity] = true;
    for (size_t ei = 0; ei < entities.size(); ++ei) {
        const CtyEntity& e = entities[ei];
        if (!named[ei] && (!e.waeOnly || onlyWholeCalls(e)))
            report.unreachable.push_back(e.name + " (" + primaryWithoutMark(e) + ")");
    }

    std::vector<DxccRecord> records{unknownRecord()};
    records.reserve(byPrefix.size() + 1);
    for (auto& [prefix, entry] : byPrefix)
        records.push_back(std::move(entry.record));
    return records;
}

std::string formatDxcc(const std::vector<DxccRecord>& records) {
    std::string out;
    for (const DxccRecord& r : records) {
        for (size_t f = 0; f < r.size(); ++f) {
            std::string value = r[f];
            // The reader has no escape for a quote inside a field.
            for (char& c : value)
                if (c == '"') c = '\'';
            if (value.find(',') != std::string::npos) value = '"' + value + '"';
            out += value;
            out += f + 1 < r.size() ? ',' : '\n';
        }
    }
    return out;
}

std::string toCp1252(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t len = c < 0x80             ? 1
                     : (c & 0xE0) == 0xC0 ? 2
                     : (c & 0xF0) == 0xE0 ? 3
                     : (c & 0xF8) == 0xF0 ? 4
                                          : 0;
        char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        bool valid = len > 0 && i + len <= text.size();
        for (size_t k = 1; valid && k < len; ++k) {
            const auto cc = static_cast<unsigned char>(text[i + k]);
            valid = (cc & 0xC0) == 0x80;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!valid) { // not UTF-8: take the byte as it stands
            out += text[i++];
            continue;
        }
        const int byte = unicodeToCp1252(cp);
        out += byte < 0 ? '?' : static_cast<char>(byte);
        i += len;
    }
    return out;
}

} // namespace tavrel::dxccgen
