#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS
# (default 30) from the committed seed corpus; any crash, sanitizer report or
# broken check fails the run. The committed corpus is never written to: each
# target works on a copy, and what it found is left in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh clang libclang-rt-14-dev
export QT_QPA_PLATFORM=offscreen
seconds="${FUZZ_SECONDS:-30}"

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug \
    -DTARVANE_FUZZ=ON -DTARVANE_TESTS=OFF -DTARVANE_WERROR=ON > /dev/null
targets=()
for src in tests/fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$src" .cpp)")
done
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"

# A smaller quarantine for freed memory than the default 256 MiB: the pages
# of fuzz_pages allocate so much that the default one keeps it near 1 GiB
# and halves its speed, while 32 MiB still holds the memory of many runs.
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:quarantine_size_mb=32
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

for target in "${targets[@]}"; do
    work="build-fuzz/run/$target"
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/artifacts"
    cp tests/fuzz/corpus/"$target"/* "$work/corpus/"
    # Leaks from outside the project: the common list and the target's own.
    cat tests/fuzz/lsan.supp > "$work/lsan.supp"
    if [ -f "tests/fuzz/$target.lsan.supp" ]; then
        cat "tests/fuzz/$target.lsan.supp" >> "$work/lsan.supp"
    fi
    export LSAN_OPTIONS="suppressions=$PWD/$work/lsan.supp:print_suppressions=0"
    options=(-max_total_time="$seconds" -timeout=10 -artifact_prefix="$work/artifacts/" -print_final_stats=1)
    if [ -f "tests/fuzz/$target.dict" ]; then
        options+=(-dict="tests/fuzz/$target.dict")
    fi
    echo "Fuzzing $target for $seconds s"
    if ! "build-fuzz/tests/fuzz/$target" "${options[@]}" "$work/corpus" > "$work/log" 2>&1; then
        tail -n 60 "$work/log"
        echo "$target failed; the input is in $work/artifacts/" >&2
        exit 1
    fi
    grep -E '^(#[0-9]+[[:space:]]+DONE|stat::(average_exec_per_sec|peak_rss_mb))' "$work/log" || true
done
