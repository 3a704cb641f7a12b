#!/usr/bin/env bash
# Runs a test with a home, settings, cache, runtime and temporary folder of its own, removed
# afterwards whatever the outcome: a test never reads or changes the user's own. The folders
# go in the working directory (CTest's: the test's build folder), so that even a test killed
# outright leaves nothing in the user's home or the system's temporary folder.
set -uo pipefail
folder=$(mktemp -d "$PWD/.test-environment.XXXXXX") || exit 1
trap 'chmod -R u+rwx "$folder" 2>/dev/null; rm -rf "$folder"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
mkdir -m 0700 "$folder/home" "$folder/config" "$folder/cache" "$folder/runtime"
mkdir -m 0711 "$folder/tmp"
# Others may pass through to a folder that a test hands to an unprivileged user.
chmod 0711 "$folder"
export HOME="$folder/home" XDG_CONFIG_HOME="$folder/config" XDG_CACHE_HOME="$folder/cache" \
       XDG_RUNTIME_DIR="$folder/runtime" TMPDIR="$folder/tmp"
"$@"
