// One keystroke in hiscall: findprefix + markprefix over the shipped prefix table and a full
// log of 32,767 records (the most the 16-bit count allows). Also the table load at start-up.

#include "stationinfo/DxccTable.h"
#include "stationinfo/StationLookup.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>

using namespace tavrel;

namespace {

std::filesystem::path shippedFile() {
    const char* dir = std::getenv("TAVREL_SOURCE_DIR");
    return std::filesystem::path(dir && *dir ? dir : TAVREL_SOURCE_DIR_FALLBACK) / "data" / "dxcc1.csv";
}

const DxccTable& table() {
    static const DxccTable t = getdxcc(shippedFile());
    return t;
}

// Calls built from the table's own prefixes, so the worked check has real candidates.
const LogTable& fullLog() {
    static const LogTable log = [] {
        LogTable l;
        LogRecord header{};
        header[0] = "zqx";
        header[2] = "Call";
        l.rows.push_back(header);
        std::mt19937 rng(7);
        std::uniform_int_distribution<int> row(1, std::max(1, table().count() - 1));
        std::uniform_int_distribution<int> letter('A', 'Z');
        while (l.rows.size() < 32767) {
            LogRecord r{};
            r[0] = "zqx";
            r[2] = table().row(row(rng))[0] + "1" + static_cast<char>(letter(rng)) +
                   static_cast<char>(letter(rng));
            r[23] = "|";
            l.rows.push_back(r);
        }
        return l;
    }();
    return log;
}

void keystroke(benchmark::State& state, const char* callHead) {
    if (table().count() == 0) {
        state.SkipWithError("prefix table not found");
        return;
    }
    const LogTable& log = fullLog();
    for (auto _ : state) {
        const int match = findprefix(table(), callHead);
        benchmark::DoNotOptimize(match);
        PrefixMark mark = markprefix(table(), match, callHead, log);
        benchmark::DoNotOptimize(mark);
    }
}

void BM_KeystrokeMatched(benchmark::State& state) {
    keystroke(state, "DL1A");
}
void BM_KeystrokeUnknown(benchmark::State& state) {
    keystroke(state, "Q1AB");
}

void BM_WholeStationRow(benchmark::State& state) {
    const LogTable& log = fullLog();
    for (auto _ : state) {
        StationRow row = lookupStation(table(), "JA1A", "51.5", "0.1", log);
        benchmark::DoNotOptimize(row);
    }
}

void BM_LoadTable(benchmark::State& state) {
    for (auto _ : state) {
        DxccTable t = getdxcc(shippedFile());
        benchmark::DoNotOptimize(t);
    }
}

} // namespace

BENCHMARK(BM_KeystrokeMatched)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeystrokeUnknown)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WholeStationRow)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadTable)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
