#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Morvik need,
# and the extra packages named as arguments (scripts/screenshots.sh asks for its tools).
# qt6-wayland lets the program run natively on a Wayland session, libqt6svg6 draws its
# icon; desktop-file-utils, shared-mime-info and groff-base check the installed desktop
# entry, MIME type and manual pages in the tests.
# Only missing packages are installed, so a repeated run costs a second.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libicu-dev liblz4-dev
  clang-tidy clang-format
  qt6-base-dev qt6-translations-l10n qt6-l10n-tools
  qt6-wayland libqt6svg6
  fonts-ipafont-gothic xvfb xauth xdotool
  desktop-file-utils shared-mime-info groff-base
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  if [[ "$status" != "install ok installed" ]]; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "morvik: installing ${missing[*]}" >&2
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
