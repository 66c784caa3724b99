#!/usr/bin/env bash
# Installs what is missing, builds Quenor and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset release
cmake --build --preset release --parallel "$(nproc 2>/dev/null || echo 2)"
exec build/release/app/quenor "$@"
