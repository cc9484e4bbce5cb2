# Sourced by the bench scripts after `set -eu`: checks that the one argument
# is a build folder holding the program; sets putil, here (bench/) and root.
bench_name=bench/$(basename "$0")
if [ $# -ne 1 ]; then
  echo "usage: sh $bench_name BUILD_DIR" >&2
  exit 2
fi
putil_build=$1
putil=$1/bin/putil
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
if [ ! -x "$putil" ]; then
  echo "$bench_name: $putil is missing or not executable; build it first (make build)" >&2
  exit 1
fi

# bench_require_python_and_time: stops unless python3 (the generators) and
# /usr/bin/time (peak memory) are installed.
bench_require_python_and_time() {
  for tool in python3 /usr/bin/time; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "$bench_name: $tool is required (Debian packages python3, time)" >&2
      exit 1
    fi
  done
}

# bench_program TARGET: the path of a benchmark program of the build, after
# checking that it was built.
bench_program() {
  program=$putil_build/bin/$1
  if [ ! -x "$program" ]; then
    echo "$bench_name: $program is missing; build it first (cmake --build $putil_build --target $1)" >&2
    exit 1
  fi
  echo "$program"
}

# bench_header TITLE HOW: the lines that head a benchmark's table.
bench_header() {
  echo "$1, $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "machine: $(nproc) CPUs, load average $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "$2"
  echo
}
