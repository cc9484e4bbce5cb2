#!/bin/sh
# Hostile input in linear time and bounded memory: `putil activity` on files
# of nested scopes (N and 4N levels) and of one line without an end (N and 4N
# bytes). Each pair's time ratio must stay under 6 (linear gives about 4,
# quadratic 16); the long line must fail as a parse error, under 64 MiB.
set -eu

. "$(dirname "$0")/common.sh"
bench_require_python_and_time

scopes=${BENCH_HOSTILE_SCOPES:-25000}
line_mib=${BENCH_HOSTILE_LINE_MIB:-25}
work=$(mktemp -d /tmp/putil-hostile.XXXXXX)
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

bench_header "putil activity on hostile input" "one run per file: wall time and peak RSS of GNU time (%e %M)"

python3 - "$work" "$scopes" "$line_mib" <<'EOF'
import sys
work, scopes, line_mib = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
head = "$timescale 1ns $end\n"
for name, levels in (("scopes_small", scopes), ("scopes_large", 4 * scopes)):
    with open(f"{work}/{name}.vcd", "w") as out:
        out.write(head + "".join(f"$scope module m{i} $end\n" for i in range(levels)))
        out.write("$var wire 1 ! a $end\n" + "$upscope $end\n" * levels + "$enddefinitions $end\n#0\n1!\n#10\n")
for name, size in (("line_small", line_mib << 20), ("line_large", 4 * line_mib << 20)):
    with open(f"{work}/{name}.vcd", "w") as out:
        out.write(head + "$scope module t $end\n$var wire 1 ! a $end\n$upscope $end\n$enddefinitions $end\n#0\n")
        block = "x" * (1 << 20)
        for _ in range(size >> 20):
            out.write(block)
EOF

measure() {
  /usr/bin/time -f '%e %M' -o "$work/$1.time" "$putil" activity --format csv "$work/$1.vcd" \
    >/dev/null 2>"$work/$1.err" || echo $? >"$work/$1.status"
  tail -n 1 "$work/$1.time"
}

failed=0
printf '%-14s %10s %12s\n' file seconds "peak KiB"
for pair in scopes line; do
  small=$(measure ${pair}_small)
  large=$(measure ${pair}_large)
  printf '%-14s %10s %12s\n' "${pair}_small" ${small}
  printf '%-14s %10s %12s\n' "${pair}_large" ${large}
  ratio=$(echo "$small $large" | awk '{ s = $1 < 0.01 ? 0.01 : $1; printf "%.2f", $3 / s }')
  echo "$pair: time ratio 4N/N = $ratio (linear about 4, at most 6)"
  if awk -v r="$ratio" -v s="${small%% *}" 'BEGIN { exit !(r > 6 && s >= 0.05) }'; then
    echo "$bench_name: $pair grows faster than linearly" >&2
    failed=1
  fi
done
for name in line_small line_large; do
  if ! grep -q '222007' "$work/$name.err"; then
    echo "$bench_name: $name did not fail as a parse error" >&2
    failed=1
  fi
  kib=$(tail -n 1 "$work/$name.time" | cut -d' ' -f2)
  if [ "$kib" -gt 65536 ]; then
    echo "$bench_name: $name peaked at $kib KiB, over 64 MiB" >&2
    failed=1
  fi
done
exit $failed
