#!/usr/bin/env bash
# Builds the release configuration and starts the editor (or svtool until the editor exists).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/release"

"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVIK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
if [[ -x "$build/gui/morvik" ]]; then
  exec "$build/gui/morvik" "$@"
fi
exec "$build/tools/svtool" "${@:---help}"
