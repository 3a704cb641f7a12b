#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal build (with the
# benchmarks built) and a build with AddressSanitizer and UndefinedBehaviorSanitizer. Each
# run includes the desktop tier on a private X server. Every option is stated, whatever an
# earlier run of run.sh left in the build folders.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/install-dependencies.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DCONCORDANCE_SANITIZE=OFF -DCONCORDANCE_BENCHMARKS=ON
cmake --build build -j "$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs" --timeout 300)

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DCONCORDANCE_SANITIZE=ON -DCONCORDANCE_BENCHMARKS=OFF
cmake --build build-sanitize -j "$jobs"
(cd build-sanitize && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs" --timeout 600)
