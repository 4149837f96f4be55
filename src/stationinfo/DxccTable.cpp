#include "stationinfo/DxccTable.h"

#include "core/FieldReader.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace tavrel {

namespace {

constexpr size_t kMaxPrefix = 4;

// Length and bytes packed into one key; prefixes are at most four bytes.
uint64_t prefixKey(std::string_view p) {
    uint64_t key = static_cast<uint64_t>(p.size()) << 32;
    for (size_t i = 0; i < p.size(); ++i)
        key |= static_cast<uint64_t>(static_cast<unsigned char>(p[i])) << (8 * (3 - i));
    return key;
}

const DxccRecord& emptyRecord() {
    static const DxccRecord empty{};
    return empty;
}

} // namespace

DxccTable::DxccTable(std::vector<DxccRecord> records) : m_records(std::move(records)) {
    for (size_t i = 0; i < m_records.size(); ++i) {
        const std::string& p = m_records[i][0];
        if (!p.empty() && p.size() <= kMaxPrefix) m_lastRow[prefixKey(p)] = static_cast<int>(i);
    }
}

const DxccRecord& DxccTable::row(int i) const {
    if (i < 0 || i >= count()) return emptyRecord();
    return m_records[static_cast<size_t>(i)];
}

int DxccTable::lastRowWithPrefix(std::string_view prefix) const {
    if (prefix.empty() || prefix.size() > kMaxPrefix) return -1;
    const auto it = m_lastRow.find(prefixKey(prefix));
    return it == m_lastRow.end() ? -1 : it->second;
}

DxccTable parseDxcc(std::string_view text) {
    std::vector<DxccRecord> records;
    FieldReader reader(text, kPrefixFieldRules);
    while (!reader.atEnd()) {
        DxccRecord record;
        bool complete = true;
        for (int f = 0; f < kDxccFields && complete; ++f) {
            if (f > 0 && reader.atEnd())
                complete = false;
            else
                complete = reader.next(record[static_cast<size_t>(f)]);
        }
        if (!complete) break; // the text ended inside this record
        records.push_back(std::move(record));
    }
    return DxccTable(std::move(records));
}

DxccTable getdxcc(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad() || text.fail()) return {};
    return parseDxcc(text.view());
}

int findprefix(const DxccTable& table, std::string_view callHead) {
    // Only the prefixes of callHead can match, and every row holding one is indexed under it,
    // so the highest of their last rows is the last match in file order.
    int match = 0;
    const size_t n = std::min(callHead.size(), kMaxPrefix);
    for (size_t k = 1; k <= n; ++k)
        match = std::max(match, table.lastRowWithPrefix(callHead.substr(0, k)));
    return match;
}

std::string prefixCaption(const DxccTable& table, int match) {
    return " " + table.row(match)[0];
}

std::string countryCaption(const DxccTable& table, int match) {
    return " " + table.row(match)[1];
}

PrefixMark markprefix(const DxccTable& table, int match, std::string_view callHead, const LogTable& log) {
    const std::string& p = table.row(match)[0];
    bool found = false;
    // Every row is looked at, the header's "Call" title included (only a prefix "C" could take
    // it for a call). An empty prefix stands for no prefix at all and is never worked.
    if (!p.empty() && p.size() <= kMaxPrefix) {
        for (size_t j = 0; j < log.rows.size(); ++j) {
            if (std::string_view(log.rows[j][2]).starts_with(p)) found = true;
        }
    }
    PrefixMark mark;
    if (!callHead.empty() && match > 0) mark = {true, "New   Prefix", kNewPrefixColour};
    if (found) mark = {true, "Worked Prefix", kWorkedPrefixColour};
    return mark;
}

} // namespace tavrel
