#!/usr/bin/env bash
# Runs both benchmarks over the five corpora in FOLDER: big.txt and distinct.txt, which must be
# there already, and the three that make_corpora makes there first if they are missing.
# Usage: bench/run-all.sh FOLDER [RUNS] [BUILD_FOLDER]   (BUILD_FOLDER: default ./build)
# A benchmark that fails is reported and the others still run; the status is then 1.
set -u
folder=${1:?usage: bench/run-all.sh FOLDER [RUNS] [BUILD_FOLDER]}
runs=${2:-3}
build=${3:-build}
"$build/bench/make_corpora" "$folder" || exit 1
status=0
for name in big.txt distinct.txt growing.txt prose-then-distinct.txt distinct-then-prose.txt; do
  for benchmark in core_benchmark open_benchmark; do
    echo "== $benchmark $name"
    "$build/bench/$benchmark" "$folder/$name" "$runs" || { echo "== $benchmark failed on $name"; status=1; }
  done
done
exit $status
