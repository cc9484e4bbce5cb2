#!/bin/sh
# Installs the Debian packages the build needs, when any is missing; with
# arguments, those packages instead (e.g. the fuzzer's compiler).
set -e
packages="cmake g++ make flex bison libfl-dev nlohmann-json3-dev libcli11-dev libgtest-dev libbenchmark-dev zlib1g-dev python3 python3-dev python3-pybind11 python3-numpy python3-pytest python3-distributed time gtkwave"
if [ $# -gt 0 ]; then packages="$*"; fi
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
fi
