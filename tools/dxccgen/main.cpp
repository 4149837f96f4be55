// dxccgen: writes the prefix table dxcc1.csv from the country file cty.dat.
//   dxccgen [cty.dat [dxcc1.csv]]
// Defaults: /usr/share/hamradio-files/cty.dat, and the table on standard output.
// The written text is read back with the program's own reader and checked before it is kept.

#include "dxccgen/CtyDat.h"
#include "stationinfo/DxccTable.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

using namespace tavrel;

namespace {

// Every row must read back as written, and every prefix must come after the shorter ones that
// begin it, or the lookup (last match wins) would stop at a shorter prefix.
std::string checkTable(const std::vector<DxccRecord>& records, const std::string& text) {
    const DxccTable table = parseDxcc(text);
    if (table.records() != records) return "the table does not read back as written";
    for (int i = 1; i < table.count(); ++i) {
        const std::string& p = table.row(i)[0];
        if (table.lastRowWithPrefix(p) != i) return "prefix " + p + " is listed twice";
        for (size_t k = 1; k < p.size(); ++k) {
            if (table.lastRowWithPrefix(std::string_view(p).substr(0, k)) > i)
                return "prefix " + p + " comes before " + p.substr(0, k);
        }
    }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    const std::filesystem::path source = argc > 1 ? argv[1] : "/usr/share/hamradio-files/cty.dat";
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        std::cerr << "dxccgen: cannot read " << source << "\n";
        return 1;
    }
    std::ostringstream raw;
    raw << in.rdbuf();

    std::vector<DxccRecord> records;
    dxccgen::GenerationReport report;
    try {
        records = dxccgen::buildPrefixRecords(dxccgen::parseCtyDat(raw.str()), report);
    } catch (const dxccgen::CtyError& e) {
        std::cerr << "dxccgen: " << source << ": " << e.what() << "\n";
        return 1;
    }
    const std::string text = dxccgen::formatDxcc(records);
    if (const std::string fault = checkTable(records, text); !fault.empty()) {
        std::cerr << "dxccgen: " << fault << "\n";
        return 1;
    }

    if (argc > 2) {
        const std::filesystem::path target = argv[2];
        std::filesystem::path temp = target;
        temp += ".tmp";
        {
            std::ofstream out(temp, std::ios::binary | std::ios::trunc);
            out << text;
            if (!out.flush()) {
                std::cerr << "dxccgen: cannot write " << temp << "\n";
                return 1;
            }
        }
        std::error_code ec;
        std::filesystem::rename(temp, target, ec);
        if (ec) {
            std::cerr << "dxccgen: cannot replace " << target << ": " << ec.message() << "\n";
            return 1;
        }
    } else {
        std::cout << text;
    }

    std::cerr << "cty.dat version " << (report.version.empty() ? "unknown" : report.version) << ": "
              << report.entities << " entities, " << records.size() - 1 << " prefixes (+ record 0); skipped "
              << report.waeOnlySkipped << " WAE-only entities, " << report.wholeCallsSkipped
              << " whole calls, " << report.tooLongSkipped << " prefixes over 4 characters; "
              << report.waeOnlyByMainPrefix << " WAE-only entities by their main prefix; "
              << report.repeatsMerged << " repeats merged, " << report.conflicts.size()
              << " shared prefixes\n";
    for (const std::string& c : report.conflicts)
        std::cerr << "  shared " << c << "\n";
    for (const std::string& u : report.unreachable)
        std::cerr << "  unreachable " << u << "\n";
    return 0;
}
