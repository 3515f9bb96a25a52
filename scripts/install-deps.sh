#!/usr/bin/env bash
# Installs every Debian 12 package needed to build, run and test Bavardin.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
paquets=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-multimedia-dev qt6-qpa-plugins
  libgl-dev libsqlite3-dev libgmime-3.0-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  python3 iproute2 util-linux procps libcap2-bin shared-mime-info
  fonts-dejavu-core
)
# Nothing to fetch when every package is there already (also works without a network).
if dpkg-query -W -f='${Status}\n' "${paquets[@]}" 2>/dev/null | grep -c '^install ok installed$' |
   grep -qx "${#paquets[@]}"; then
  exit 0
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${paquets[@]}" >/dev/null
