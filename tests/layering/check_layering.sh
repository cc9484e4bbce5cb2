#!/bin/sh
# Checks that every subsystem folder of the library includes only from itself
# and the folders below it, so the dependency order stays what the folders
# show: reader -> handlers -> vcd -> core, hssi/families -> hssi -> supplies
# -> core, clocks -> core.
#
#   sh tests/layering/check_layering.sh power/putil
set -eu
root=${1:?usage: check_layering.sh LIBRARY_FOLDER}

allowed() {
  case $1 in
    core) echo "core" ;;
    vcd) echo "vcd core" ;;
    handlers) echo "handlers vcd core" ;;
    reader) echo "reader handlers vcd core" ;;
    clocks) echo "clocks core" ;;
    supplies) echo "supplies core" ;;
    hssi) echo "hssi supplies core" ;;
    hssi/families) echo "hssi/families hssi supplies core" ;;
    *) echo "" ;;
  esac
}

status=0
for folder in core vcd handlers reader clocks supplies hssi hssi/families; do
  for file in "$root/$folder"/*; do
    [ -f "$file" ] || continue
    # The folder of every library include ("vcd/putil_x.h" -> vcd); host
    # interfaces are allowed everywhere.
    for included in $(sed -n 's|^[[:space:]]*#[[:space:]]*include[[:space:]]*"\(.*\)/[^/]*".*|\1|p' "$file"); do
      [ "$included" = host ] && continue
      ok=no
      for dir in $(allowed "$folder"); do
        [ "$included" = "$dir" ] && ok=yes
      done
      if [ $ok = no ]; then
        echo "$file includes from $included/, which $folder/ must not depend on" >&2
        status=1
      fi
    done
    if grep -Eq '^[[:space:]]*#[[:space:]]*include[[:space:]]*"putil_[^/"]*"' "$file"; then
      echo "$file includes a library header without its folder" >&2
      status=1
    fi
  done
done
[ $status = 0 ] && echo "library layering: every include goes to its own folder or one below"
exit $status
