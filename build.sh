#!/usr/bin/env bash
# One entry point for a fresh machine: installs what is missing, builds, then runs the program or the tests.
#   ./build.sh run [FILE]     build and start Tavel Graphics
#   ./build.sh test           build and run every test (release preset)
#   ./build.sh test debug     the same under AddressSanitizer and UBSan
#   ./build.sh build [PRESET] only build
#   ./build.sh package        build a Debian package (build/default/tavel_*.deb)
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
  *)
    echo "usage: $0 run [FILE] | test [default|debug] | build [default|debug] | package" >&2
    exit 2
    ;;
esac
