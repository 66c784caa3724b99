#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: once in a debug
# build with warnings as errors, once with AddressSanitizer and
# UndefinedBehaviorSanitizer, failing on any report.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 2)

for preset in debug asan; do
    echo "== $preset build"
    cmake --preset "$preset"
    cmake --build --preset "$preset" --parallel "$jobs"
    echo "== $preset tests"
    ctest --preset "$preset" --parallel "$jobs"
done
