#!/usr/bin/env bash
# Installs everything, builds, and runs the whole test suite: the normal build, then the build
# with AddressSanitizer and UndefinedBehaviorSanitizer, then each fuzz target for a bounded time.
# Tests that start the program make a network namespace for each run and need root; without
# root they are skipped and say why.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

echo "== build and tests"
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== build and tests with AddressSanitizer and UndefinedBehaviorSanitizer"
bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DBAVARDIN_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions="$PWD/scripts/lsan.supp" \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== fuzz targets, ${FUZZ_SECONDS:=45} s each"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBAVARDIN_FUZZ=ON \
  -DBAVARDIN_SANITIZE=ON -DBAVARDIN_TESTS=OFF -DBAVARDIN_BENCH=OFF >/dev/null
cibles=$(for f in fuzz/corpus/*/; do echo "fuzz_$(basename "$f")"; done)
# shellcheck disable=SC2086
cmake --build build-fuzz --target $cibles
for f in fuzz/corpus/*/; do
  cible=$(basename "$f")
  travail=$(mktemp -d)
  cp "$f"* "$travail"/
  (cd "$travail" && "$OLDPWD/build-fuzz/bin/fuzz_$cible" -max_total_time="$FUZZ_SECONDS" -max_len=8192 \
     -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$travail" 2>&1 | tail -n 3)
  rm -rf "$travail"
done
echo "fuzz: $(echo $cibles | wc -w) passed, 0 failed"
