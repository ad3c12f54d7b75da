#!/usr/bin/env bash
# Sets up a Debian machine for Vantrel (only what is missing), builds it, then
# does one job:
#   run       start the program
#   test      run every test
#   sanitize  build with AddressSanitizer and UndefinedBehaviorSanitizer and
#             run every test under them
#   fuzz [S]  build the libFuzzer targets with clang and run each for S
#             seconds (default 60)
#   package   build the Debian package, check what it holds, its desktop entry
#             and software-centre data and run lintian over it (any error or
#             warning stops), install it with apt-get and try the installed
#             programs
#   calc      grade a generated class of thirty students and every kind of
#             hostile hand-in, open the CSV in LibreOffice Calc (headless,
#             formulas evaluated as a spreadsheet may) and write it back:
#             every cell, the Japanese names among them, must come back as
#             it went in, no name or file name read as a formula
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { echo "usage: scripts/vantrel.sh run|test|sanitize|fuzz [seconds]|package|calc" >&2; exit 2; }
[ $# -ge 1 ] || usage
job=$1
case "$job" in run|test|sanitize|package|calc) [ $# -eq 1 ] || usage ;; fuzz) [ $# -le 2 ] || usage ;; *) usage ;; esac

# Qt Charts' CMake files need Qt OpenGL's (libqt6opengl6-dev) and libGL's.
packages=(cmake g++ make pkg-config libgtest-dev libbenchmark-dev nlohmann-json3-dev
          qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
          qt6-translations-l10n fonts-ipafont-gothic)
[ "$job" = fuzz ] && packages+=(clang libclang-rt-14-dev)
# The test of a practice kept when the display goes away runs an X server.
case "$job" in test|sanitize) packages+=(xvfb) ;; esac
# The package job makes the manual pages (help2man), compresses them and the
# changelog (gzip) and checks the result (lintian, appstream, desktop-file-utils).
[ "$job" = package ] && packages+=(dpkg-dev file gzip help2man lintian appstream desktop-file-utils)
[ "$job" = calc ] && packages+=(libreoffice-calc-nogui)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc)
configure() { # folder, then extra cmake arguments
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}
build() { # folder, then extra cmake arguments
  configure "$@"
  cmake --build "$1" -j"$jobs"
}

case "$job" in
  run)
    build build
    exec build/src/vantrel
    ;;
  test)
    build build
    ctest --test-dir build --output-on-failure -j"$jobs"
    ;;
  sanitize)
    # GCC warns falsely about std::regex internals once sanitizers are on.
    flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -Wno-maybe-uninitialized"
    build build-sanitize -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
          -DVANTREL_BUILD_BENCH=OFF
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
    ;;
  fuzz)
    seconds=${2:-60}
    configure build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DVANTREL_BUILD_UI=OFF -DVANTREL_BUILD_TESTS=OFF \
          -DVANTREL_BUILD_BENCH=OFF -DVANTREL_BUILD_FUZZ=ON
    cmake --build build-fuzz -j"$jobs" --target vantrel-fuzzers
    for target in build-fuzz/fuzz/*Fuzz; do
      name=$(basename "$target" Fuzz | tr '[:upper:]' '[:lower:]')
      # Work in a scratch copy so the committed seed corpus stays small.
      scratch=build-fuzz/corpus-$name
      mkdir -p "$scratch"
      cp fuzz/corpus/"$name"/* "$scratch"/
      # Session files get room for nesting far deeper than a session's own.
      max_len=4096
      [ "$name" = sessionfile ] && max_len=262144
      echo "== $(basename "$target") for ${seconds}s"
      if ! "$target" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 \
             -artifact_prefix=build-fuzz/ "$scratch" >build-fuzz/"$name".log 2>&1; then
        tail -n 60 build-fuzz/"$name".log >&2
        echo "fuzzing $(basename "$target") failed; the input is saved in build-fuzz/" >&2
        exit 1
      fi
      grep -E '^stat::(number_of_executed_units|peak_rss_mb)|^#[0-9]+ *DONE' build-fuzz/"$name".log
    done
    ;;
  package)
    build build-package -DVANTREL_BUILD_TESTS=OFF -DVANTREL_BUILD_BENCH=OFF
    rm -f build-package/vantrel_*.deb
    (cd build-package && cpack -G DEB >/dev/null)
    deb=$(ls build-package/vantrel_*.deb)
    echo "== $deb"
    dpkg-deb -f "$deb" Package Version Architecture Depends
    dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sort | diff -u scripts/package-contents.txt -
    # desktop-file-validate exits 0 on warnings, so what it says decides.
    # appstreamcli fails on errors and warnings and lets infos pass; --no-net
    # because the screenshots' web address is the project's own, not yet live.
    entry=$(desktop-file-validate resources/vantrel.desktop 2>&1) && [ -z "$entry" ] || {
      echo "$entry" >&2; echo "desktop-file-validate found the faults above" >&2; exit 1; }
    appstreamcli validate --no-net resources/*.metainfo.xml
    # By default lintian fails only on errors; warnings stop here as well.
    if ! lintian --fail-on error,warning "$deb"; then
      echo "lintian found the faults above in $deb" >&2
      exit 1
    fi
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "./$deb"
    /usr/bin/vantrel-market --ticks 1 >/dev/null
    # A bare `! pipeline` never stops a `set -e` script, so test and exit.
    if ldd /usr/bin/vantrel | grep 'not found'; then
      echo "vantrel misses the libraries above" >&2
      exit 1
    fi
    echo "lintian, appstreamcli and desktop-file-validate pass; installed; contents match"
    echo "scripts/package-contents.txt; vantrel-market runs; vantrel finds its libraries"
    ;;
  calc)
    build build
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    build/bench/grading-shot --class "$work"
    # Some hand-ins are refused on purpose: status 1 is the expected one.
    status=0
    (cd "$work" && "$OLDPWD/build/src/vantrel-market" --grade card.json class >class.csv 2>refused.txt) ||
      status=$?
    [ "$status" -eq 1 ] || { echo "vantrel-market --grade ended with $status, not 1" >&2; exit 1; }
    # Import: comma, quote, UTF-8, from line 1, formulas evaluated. Export:
    # the same, each cell as its value, so a cell read as a formula shows
    # its result instead of its text.
    export HOME="$work/home"
    soffice --headless --infilter="CSV:44,34,76,1,,0,false,true,false,false,false,false,true" \
      --convert-to ods --outdir "$work/ods" "$work/class.csv" >/dev/null
    soffice --headless --convert-to "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false" \
      --outdir "$work/back" "$work/ods/class.ods" >/dev/null
    sed '1s/^\xEF\xBB\xBF//' "$work/class.csv" | tr -d '\r' >"$work/sent.csv"
    if ! diff -u "$work/sent.csv" "$work/back/class.csv"; then
      echo "LibreOffice Calc did not give the grades back as written" >&2
      exit 1
    fi
    grep -q '^佐藤 花子,' "$work/back/class.csv"
    echo "LibreOffice Calc read and wrote back all $(($(wc -l <"$work/sent.csv") - 1)) rows unchanged," \
         "$(wc -l <"$work/refused.txt") of them refused files; no cell became a formula"
    ;;
esac
