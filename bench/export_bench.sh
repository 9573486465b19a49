#!/usr/bin/env bash
# Times `tavel --export out.bmp --size 1024x768 big.prn` as a whole process, wall time and peak
# memory, against the plotting programs that draw the same file to a 1024 x 768 PNG when they
# are installed: gnuplot (Debian gnuplot-nox, "with lines") and Grace's gracebat (Debian grace).
# A peer that is not installed is skipped. Each program runs RUNS times; the best wall time and
# the largest peak memory are shown.
#
#   bench/export_bench.sh [path/to/tavel]        (default build/default/tavel)
#
# Environment: LINES (rows of the generated file, 1000000), RUNS (3), WORK (folder for the data
# and the pictures, a new temporary folder by default).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
tavel="${1:-$here/../build/default/tavel}"
lines="${LINES:-1000000}"
runs="${RUNS:-3}"
work="${WORK:-$(mktemp -d)}"

if [ ! -x "$tavel" ]; then
  echo "export_bench: no tavel at $tavel (build it first, or give its path)" >&2
  exit 2
fi
if [ ! -x /usr/bin/time ]; then
  echo "export_bench: /usr/bin/time is needed (Debian package time)" >&2
  exit 2
fi
tavel="$(cd "$(dirname "$tavel")" && pwd)/$(basename "$tavel")"
mkdir -p "$work"
cd "$work"

data="big.prn"
if [ ! -s "$data" ] || [ "$(wc -l < "$data")" -ne "$lines" ]; then
  echo "generating $lines rows into $work/$data"
  awk -v lines="$lines" -f "$here/make_prn.awk" > "$data"
fi

# measure NAME COMMAND...: runs it $runs times; prints the best wall time and the peak memory.
measure() {
  local name="$1"
  shift
  local best="" peak=0 wall rss
  for ((i = 0; i < runs; i++)); do
    if ! /usr/bin/time -f '%e %M' -o time.txt "$@" > run.log 2>&1; then
      echo "export_bench: $name failed:" >&2
      cat run.log >&2
      return 1
    fi
    read -r wall rss < time.txt
    if [ -z "$best" ] || awk -v a="$wall" -v b="$best" 'BEGIN { exit !(a < b) }'; then
      best="$wall"
    fi
    if [ "$rss" -gt "$peak" ]; then peak="$rss"; fi
  done
  printf '%-10s %6.2f s  %6.1f MiB\n' "$name" "$best" "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')"
}

echo "$lines rows, 1024 x 768, best of $runs runs"
printf '%-10s %8s  %10s\n' "program" "wall" "peak RSS"
measure tavel "$tavel" --export tavel.bmp --size 1024x768 "$data"

if command -v gnuplot > /dev/null; then
  cat > plot.gp << EOF
set terminal png size 1024,768
set output 'gnuplot.png'
plot '$data' using 1:2 with lines
EOF
  measure gnuplot gnuplot plot.gp
else
  echo "gnuplot    not installed (Debian gnuplot-nox), skipped"
fi

if command -v gracebat > /dev/null; then
  measure gracebat gracebat -hdevice PNG -printfile gracebat.png -fixed 1024 768 "$data"
else
  echo "gracebat   not installed (Debian grace), skipped"
fi

echo "pictures in $work"
