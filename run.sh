#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts Concordance.
set -euo pipefail
cd "$(dirname "$0")"
bash tools/install-dependencies.sh
# Only the options this script relies on; the benchmark option is left as the build has it.
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DCONCORDANCE_SANITIZE=OFF
cmake --build build --target concordance -j "$(nproc)"
exec ./build/concordance "$@"
