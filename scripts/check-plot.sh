#!/bin/sh
# Renders an SVG file in headless Chromium (installed from Debian when
# missing) and writes a PNG screenshot, to see a plot as a browser shows it.
#   sh scripts/check-plot.sh plot.svg plot.png
set -eu
if [ $# -ne 2 ]; then
  echo "usage: sh scripts/check-plot.sh FILE.svg FILE.png" >&2
  exit 2
fi
if ! command -v chromium >/dev/null 2>&1; then
  apt-get install -y -q chromium >/dev/null
fi
svg=$(realpath "$1")
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=960,540 \
  --screenshot="$(realpath -m "$2")" "file://$svg" 2>/dev/null
test -s "$2"
echo "wrote $2"
