# Sourced by the bench scripts after `set -eu`: checks that the one argument
# is a build folder holding the program; sets putil, here (bench/) and root.
bench_name=bench/$(basename "$0")
if [ $# -ne 1 ]; then
  echo "usage: sh $bench_name BUILD_DIR" >&2
  exit 2
fi
putil=$1/bin/putil
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
if [ ! -x "$putil" ]; then
  echo "$bench_name: $putil is missing or not executable; build it first (make build)" >&2
  exit 1
fi
