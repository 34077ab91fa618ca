#!/usr/bin/env bash
# Fuzzes the RTF reader, bounded by a number of executions and a time limit:
#   scripts/fuzz-rtf.sh [total executions] [seconds] [jobs]
# (defaults 10000000, 10800, the number of processors). It builds the clang
# targets into ./build-fuzz (or $FUZZ_BUILD_DIR), fuzzes from the seed corpus
# and the kept regressions in ./build-fuzz/work/corpus (kept between runs),
# then lays out every input the fuzzer kept, reports the executions and the
# reader's line coverage, and fails when an input crashed or hung the reader.
# Crashing inputs land in ./build-fuzz/work/crashes; copy each one into
# tests/fuzz/regressions once it is mended.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$here/build-fuzz}
runs=${1:-10000000}
seconds=${2:-10800}
jobs=${3:-$(nproc)}
work=$build/work

CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRESALE_FUZZ=ON >/dev/null
cmake --build "$build" --target fuzz_rtfreader fuzz_rtfreader_layout fuzz_rtfreader_cov

mkdir -p "$work/corpus" "$work/crashes" "$work/logs"
cp -n "$here"/tests/fuzz/corpus/* "$work/corpus/"
find "$here/tests/fuzz/regressions" -type f ! -name '*.md' -exec cp -n {} "$work/corpus/" \;
rm -f "$work"/logs/fuzz-*.log

echo "Fuzzing: $runs executions in $jobs jobs, at most $seconds s"
# Recording where each block was allocated takes a third of the time and grows
# with the run; a crashing input replayed alone shows it in full.
(cd "$work/logs" && ASAN_OPTIONS=malloc_context_size=0 "$build/bin/fuzz_rtfreader" \
    -jobs="$jobs" -workers="$jobs" -runs=$(((runs + jobs - 1) / jobs)) -max_total_time="$seconds" \
    -max_len=4096 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -dict="$here/tests/fuzz/rtf.dict" -artifact_prefix="$work/crashes/" "$work/corpus" >driver.log 2>&1) || true

executed=$(cat "$work"/logs/fuzz-*.log | awk '/stat::number_of_executed_units/ {s += $2} END {print s + 0}')
edges=$(cat "$work"/logs/fuzz-*.log | sed -n 's/.*[[:space:]]cov: \([0-9]*\).*/\1/p' | sort -n | tail -1)
echo "Executions: $executed; edges covered: ${edges:-?}; inputs kept: $(ls "$work/corpus" | wc -l)"

echo "Laying out every kept input"
LSAN_OPTIONS=suppressions=$here/tests/fuzz/lsan.supp "$build/bin/fuzz_rtfreader_layout" \
    -runs=0 -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$work/crashes/" "$work/corpus" >"$work/logs/layout.log" 2>&1 ||
    echo "Layout replay failed: see $work/logs/layout.log"

rm -f "$work/cov.profraw"
LLVM_PROFILE_FILE=$work/cov.profraw "$build/bin/fuzz_rtfreader_cov" -runs=0 -detect_leaks=0 "$work/corpus" >/dev/null 2>&1 || true
llvm-profdata merge -sparse "$work/cov.profraw" -o "$work/cov.profdata"
llvm-cov report "$build/bin/fuzz_rtfreader_cov" -instr-profile="$work/cov.profdata" \
    "$here/documents/RtfReader.cpp" "$here/documents/RtfCodePages.cpp"

if [ -n "$(ls -A "$work/crashes")" ]; then
    echo "Inputs that crashed or hung the reader:"
    ls "$work/crashes"
    exit 1
fi
echo "No crash, hang, leak or broken document."
