#!/usr/bin/env bash
# Builds Vantrel (installing what it needs on Debian 12) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_BUILD_TESTS=OFF -DVANTREL_BUILD_BENCH=OFF >/dev/null
cmake --build build --target vantrel -j"$(nproc)"
exec build/src/app/vantrel "$@"
