#!/usr/bin/env bash
# Sets up a Debian machine for Vantrel (only what is missing), builds it, then
# either starts the program (run) or runs every test (test).
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { echo "usage: scripts/vantrel.sh run|test" >&2; exit 2; }
[ $# -eq 1 ] || usage
job=$1
case "$job" in run|test) ;; *) usage ;; esac

packages=(cmake g++ make pkg-config libgtest-dev libbenchmark-dev
          qt6-base-dev libgl-dev fonts-ipafont-gothic)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

build=${VANTREL_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

case "$job" in
  run)  exec "$build/src/vantrel-market" ;;
  test) ctest --test-dir "$build" --output-on-failure -j"$(nproc)" ;;
esac
