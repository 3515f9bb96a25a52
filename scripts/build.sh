#!/usr/bin/env bash
# Configures and builds into the folder given (default build/); extra arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
dossier="${1:-build}"
shift || true
cmake -S . -B "$dossier" -G Ninja "$@" >/dev/null
cmake --build "$dossier"
