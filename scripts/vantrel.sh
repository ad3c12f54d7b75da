#!/usr/bin/env bash
# Sets up a Debian machine for Vantrel (only what is missing), builds it, then
# does one job:
#   run       start the program
#   test      run every test
#   sanitize  build with AddressSanitizer and UndefinedBehaviorSanitizer and
#             run every test under them
#   fuzz [S]  build the libFuzzer targets with clang and run each for S
#             seconds (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { echo "usage: scripts/vantrel.sh run|test|sanitize|fuzz [seconds]" >&2; exit 2; }
[ $# -ge 1 ] || usage
job=$1
case "$job" in run|test|sanitize) [ $# -eq 1 ] || usage ;; fuzz) [ $# -le 2 ] || usage ;; *) usage ;; esac

packages=(cmake g++ make pkg-config libgtest-dev libbenchmark-dev
          qt6-base-dev libgl-dev fonts-ipafont-gothic)
[ "$job" = fuzz ] && packages+=(clang libclang-rt-14-dev)

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

jobs=$(nproc)
build() { # folder, then extra cmake arguments
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
}

case "$job" in
  run)
    build build
    exec build/src/ui/vantrel
    ;;
  test)
    build build
    ctest --test-dir build --output-on-failure -j"$jobs"
    ;;
  sanitize)
    flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    build build-sanitize -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
          -DVANTREL_BUILD_BENCH=OFF
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
    ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
    ;;
  fuzz)
    seconds=${2:-60}
    build build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DVANTREL_BUILD_UI=OFF -DVANTREL_BUILD_TESTS=OFF \
          -DVANTREL_BUILD_BENCH=OFF -DVANTREL_BUILD_FUZZ=ON
    for target in build-fuzz/fuzz/*Fuzz; do
      name=$(basename "$target" Fuzz | tr '[:upper:]' '[:lower:]')
      # Work in a scratch copy so the committed seed corpus stays small.
      scratch=build-fuzz/corpus-$name
      mkdir -p "$scratch"
      cp fuzz/corpus/"$name"/* "$scratch"/
      echo "== $(basename "$target") for ${seconds}s"
      if ! "$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
             -artifact_prefix=build-fuzz/ "$scratch" >build-fuzz/"$name".log 2>&1; then
        tail -n 60 build-fuzz/"$name".log >&2
        echo "fuzzing $(basename "$target") failed; the input is saved in build-fuzz/" >&2
        exit 1
      fi
      grep -E '^stat::(number_of_executed_units|peak_rss_mb)|^#[0-9]+ *DONE' build-fuzz/"$name".log
    done
    ;;
esac
