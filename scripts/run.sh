#!/usr/bin/env bash
# Installs what Bavardin needs, builds it and starts it on this desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=Release -DBAVARDIN_TESTS=OFF -DBAVARDIN_BENCH=OFF
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "Bavardin est construit (build/bin/Bavardin) mais ne peut pas démarrer : aucun écran graphique" >&2
  echo "(DISPLAY et WAYLAND_DISPLAY sont vides). Lancez-le depuis une session de bureau." >&2
  exit 2
fi
exec ./build/bin/Bavardin
