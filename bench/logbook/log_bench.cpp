// The logbook on a full-size log: 32,767 records, the most the old 16-bit counts allowed.

#include "logbook/LogFile.h"
#include "logbook/LogLookup.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace tavrel {
namespace {

constexpr int kRecords = 32767;

// Calls like DL1ABC, G4XYZ ...: a spread of prefixes, so a typed "DL1" matches a realistic share.
std::string callNumber(int i) {
    static const char* const prefixes[] = {"DL", "G", "K", "W", "F", "I", "EA", "OK", "SP", "JA", "VK", "PA"};
    std::string call = prefixes[i % 12];
    call += static_cast<char>('0' + i / 12 % 10);
    for (int k = 0, v = i / 120; k < 3; ++k, v /= 26)
        call += static_cast<char>('A' + v % 26);
    return call;
}

class BigLog {
public:
    BigLog() {
        m_path = std::filesystem::temp_directory_path() / ("tavrel-log-bench-" + std::to_string(::getpid()));
        std::string text(kLogHeaderLine);
        for (int i = 1; i < kRecords; ++i)
            text += formatRecord(contact(i));
        std::ofstream(m_path, std::ios::binary) << text;
        m_size = std::filesystem::file_size(m_path);
    }
    ~BigLog() { std::filesystem::remove(m_path); }
    BigLog(const BigLog&) = delete;
    BigLog& operator=(const BigLog&) = delete;

    static LogRecord contact(int i) {
        LogRecord r;
        r[0] = "zqx";
        r[1] = "2024" + std::to_string(1000 + i % 12 + 1).substr(2) + std::to_string(10 + i % 18);
        r[2] = callNumber(i);
        r[3] = "101500";
        r[4] = "20";
        r[5] = "BPSK";
        r[6] = "40";
        r[7] = "102030";
        r[8] = "579";
        r[9] = "599";
        r[10] = "Hans";
        r[11] = "Frankfurt am Main";
        r[12] = "nice signal, dipole";
        r[15] = "JO40HC";
        return r;
    }

    void restoreSize() const { std::filesystem::resize_file(m_path, m_size); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
    std::uintmax_t m_size = 0;
};

BigLog& bigLog() {
    static BigLog log;
    return log;
}

void BM_GetlogFullLog(benchmark::State& state) {
    for (auto _ : state) {
        LogLoad load = getlog(bigLog().path());
        if (!load.ok() || load.table.logCount() != kRecords) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(load);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(bigLog().path())));
}
BENCHMARK(BM_GetlogFullLog)->Unit(benchmark::kMillisecond);

// One keystroke in the call box: the search over every contact and the list of matches.
void BM_LookupKeystroke(benchmark::State& state, const char* typed) {
    const LogLoad load = getlog(bigLog().path());
    int hits = 0;
    for (auto _ : state) {
        LookupResult res = searchLog(load.table, typed);
        hits = res.hitCount;
        benchmark::DoNotOptimize(res);
    }
    state.counters["matches"] = hits;
}
BENCHMARK_CAPTURE(BM_LookupKeystroke, one_letter_D, "D")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LookupKeystroke, prefix_DL1, "DL1")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_LookupKeystroke, full_call, "DL1BCA")->Unit(benchmark::kMicrosecond);

// Appending one record: one write and the flush to disk.
void BM_AppendContact(benchmark::State& state) {
    int n = 0;
    for (auto _ : state) {
        LogRecord r = BigLog::contact(++n);
        if (appendContact(bigLog().path(), r)) state.SkipWithError("append failed");
    }
    bigLog().restoreSize();
}
BENCHMARK(BM_AppendContact)->Unit(benchmark::kMillisecond);

// The whole store as the entry panel does it: append, then reload the log.
void BM_StoreAndReload(benchmark::State& state) {
    int n = 0;
    for (auto _ : state) {
        LogRecord r = BigLog::contact(++n);
        if (appendContact(bigLog().path(), r)) state.SkipWithError("append failed");
        LogLoad load = getlog(bigLog().path());
        benchmark::DoNotOptimize(load);
        state.PauseTiming();
        bigLog().restoreSize();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StoreAndReload)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tavrel

BENCHMARK_MAIN();
