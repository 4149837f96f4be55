#!/bin/sh
# Builds the log loader's fuzz target with clang++ and runs it.
#   run.sh [seconds] [build folder]     (defaults: 30 seconds, a folder under /tmp)
set -eu
seconds=${1:-30}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
out=${2:-${TMPDIR:-/tmp}/tavrel-log-fuzz}
mkdir -p "$out/corpus"

clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root/src" \
    "$here/log_loader_fuzz.cpp" "$root/src/logbook/LogFile.cpp" "$root/src/logbook/LogText.cpp" \
    "$root/src/core/Cp1252.cpp" "$root/src/core/FileStore.cpp" "$root/src/core/FieldReader.cpp" -o "$out/log_loader_fuzz"

# Seed logs: a fresh log, contacts, LF-only ends, a quoted field, and two damaged ones.
header='zqx,Date,Call,Start Time,Band,Mode,Power,End Time,His RST,My RST,Name,QTH,Remarks,QSL Sent,QSL Received,Locator,,,,,,,,|:'
contact='zqx,20240315,DL1ABC,101500,20,BPSK,40,102000,579,599,Hans,Berlin,nice qso,,,JO62QM,,,,,,,,|:'
quoted='zqx,20240316,"G4,XYZ",101500,40,BPSK,40,102000,579,579,  Bob,Leeds,"wx ""fine",,,IO93FT,,,,,,,,|:'
printf '%s\r\n' "$header" >"$out/corpus/fresh"
printf '%s\r\n%s\r\n%s\r\n' "$header" "$contact" "$contact" >"$out/corpus/contacts"
printf '%s\n%s\n' "$header" "$contact" >"$out/corpus/lf-only"
printf '%s\r\n%s\r\n' "$header" "$quoted" >"$out/corpus/quoted"
printf '%s\r\n%s,extra\r\n%s\r\n' "$header" "$contact" "$contact" >"$out/corpus/long-line"
printf '%s\r\nzqx,20240315,DL1ABC\r\n' "$header" >"$out/corpus/cut-short"

cd "$out"
./log_loader_fuzz -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 corpus
