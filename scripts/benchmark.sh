#!/usr/bin/env bash
# Builds the benchmark (Release) from a clean build directory and runs it
# against the simulated repeater, headless. Prints the tables.
#   BUILD_DIR  where to build (default: build-benchmark, removed first)
set -euo pipefail
cd "$(dirname "$0")/.."

build="${BUILD_DIR:-build-benchmark}"
rm -rf "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARVANE_TESTS=OFF > /dev/null
cmake --build "$build" -j "$(nproc)" --target tarvane-benchmark tarvane-cli-benchmark tarvane-planner-benchmark > /dev/null

export QT_QPA_PLATFORM=offscreen
export QT_LOGGING_RULES="qt.qpa.*=false"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR="$(mktemp -d)"
    export XDG_RUNTIME_DIR
    trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
"$build/tools/benchmark/tarvane-benchmark"
"$build/tools/benchmark/tarvane-cli-benchmark"
"$build/tools/benchmark/tarvane-planner-benchmark"
