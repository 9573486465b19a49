#!/usr/bin/env bash
# One entry point for a fresh machine: installs what is missing, builds, then runs the program or the tests.
#   ./build.sh run [FILE]     build and start Tavel Graphics
#   ./build.sh test           build and run every test (release preset)
#   ./build.sh test debug     the same under AddressSanitizer and UBSan
#   ./build.sh build [PRESET] only build
#   ./build.sh package        build a Debian package (build/default/tavel_*.deb)
#   ./build.sh fuzz [SECONDS] build the fuzz targets (clang, libFuzzer) and run each SECONDS (60)
# TAVEL_WERROR=ON (as CI sets it) makes every warning an error.
set -euo pipefail
cd "$(dirname "$0")"

cmd=${1:-run}
shift || true

scripts/install-deps

build() {
  local preset=$1
  if [ ! -f "build/$preset/build.ninja" ]; then
    cmake --preset "$preset" -DTAVEL_WERROR="${TAVEL_WERROR:-OFF}" >/dev/null
  fi
  cmake --build --preset "$preset"
}

# Each reader's fuzz target in turn, from its seeds in tests/fuzz/NAME_corpus plus what earlier
# runs found (build/fuzz/corpus/NAME). A crash, a hang (one input over 10 s), a leak or a
# sanitizer report stops that target with the input saved in build/fuzz/artifacts.
fuzz() {
  local seconds=$1 status=0 target name log
  mkdir -p build/fuzz/artifacts
  # The targets' input files go here, gone with the run however a target ends; in memory where
  # the system offers it, as writing each input to disk would slow the runs several times.
  local tmp
  tmp=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
  trap 'rm -rf "$tmp"' RETURN
  for target in build/fuzz/tests/fuzz/*_fuzz; do
    name=$(basename "$target" _fuzz)
    log=build/fuzz/$name.log
    mkdir -p "build/fuzz/corpus/$name"
    if TMPDIR="$tmp" "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="build/fuzz/artifacts/$name-" \
        "build/fuzz/corpus/$name" "tests/fuzz/${name}_corpus" >"$log" 2>&1; then
      echo "fuzz $name: $(grep -E 'stat::number_of_executed_units' "$log" | awk '{print $2}') runs" \
        "in ${seconds}s, $(grep -oE 'cov: [0-9]+' "$log" | tail -1), no failure"
    else
      echo "fuzz $name: FAILED (see $log)" >&2
      tail -n 40 "$log" >&2
      status=1
    fi
  done
  return $status
}

case "$cmd" in
  run)
    build default
    exec build/default/tavel "$@"
    ;;
  test)
    preset=${1:-default}
    build "$preset"
    ctest --preset "$preset" -j2
    ;;
  build)
    build "${1:-default}"
    ;;
  package)
    build default
    (cd build/default && cpack -G DEB >/dev/null)
    ls build/default/tavel_*.deb
    ;;
  fuzz)
    build fuzz
    fuzz "${1:-60}"
    ;;
  *)
    echo "usage: $0 run [FILE] | test [default|debug] | build [default|debug|fuzz] | fuzz [SECONDS] | package" >&2
    exit 2
    ;;
esac
