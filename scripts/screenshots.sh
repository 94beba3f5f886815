#!/usr/bin/env bash
# Starts the program's windows under Xvfb, opens a sample data file and each
# dialog, and saves a PNG of every window into docs/screenshots/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/release"

"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVIK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target morvik_screenshots -j"$(nproc)"
mkdir -p "$root/docs/screenshots"
# A real X server (not Qt's offscreen platform), so that fonts and widgets
# render as on a desktop.
env -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/gui/morvik_screenshots" "$root/docs/screenshots"
ls "$root/docs/screenshots"
