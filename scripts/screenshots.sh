#!/usr/bin/env bash
# Starts the real program under Xvfb, drives it from outside with keystrokes
# as a user does (xdotool): opens a sample Shift_JIS data file, then each
# dialog, and saves a PNG of every window it meets (ImageMagick's import)
# into docs/screenshots/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [[ "${1:-}" != --inside-x ]]; then
  build="$root/build/release"
  "$root/scripts/deps.sh" xdotool imagemagick
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVIK_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" --target morvik -j"$(nproc)"
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir "$work/data"
  # A DataA1 file in Shift_JIS: Japanese records, a priority block, a byte
  # that does not decode (0x80), the end marker and a line after it.
  printf '%b' \
    '"\x82\xa8\x82\xb7\x82\xb7\x82\xdf","\x8d\xa1\x93\xfa\x82\xcc\x88\xea\x95\x69","x{a|b{c|d}}y"\r\n' \
    '"{PRIOR}","",""\r\n' \
    '"\x93\x8c\x8b\x9e","\x8e\xf1\x93\x73","1"\r\n' \
    '"\x91\xe5\x8d\xe3","\x8f\xa4\x82\xcc\x92\xac","2"\r\n' \
    '"bad\x80byte","x"\r\n' \
    '"{EndOfData}","{Dummy}","{Dummy}"\r\n' \
    'after the end\r\n' >"$work/data/sample.htd"
  mkdir -p "$root/docs/screenshots"
  # A real X server (not Qt's offscreen platform), so that fonts and
  # widgets render as on a desktop; no window manager, so the pictures hold
  # the windows' contents without frames.
  env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY -u XDG_SESSION_TYPE \
    xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$0" --inside-x "$build/gui/morvik" "$work" "$root/docs/screenshots"
  ls "$root/docs/screenshots"
  exit 0
fi

# --- Inside the X server ------------------------------------------------------------
program=$2
work=$3
out=$4
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# Started beside the sample, so that the open dialog lists it.
(cd "$work/data" && exec "$program") >"$work/morvik.log" 2>&1 &
morvik_pid=$!
trap 'kill "$morvik_pid" 2>/dev/null || true' EXIT

fail() {
  echo "screenshots: $*" >&2
  cat "$work/morvik.log" >&2
  exit 1
}

# Prints the id of the program's visible window titled exactly title, other
# than the window except, once it is there.
wait_window() {
  local title=$1 except=${2:-} id
  for _ in $(seq 200); do
    for id in $(xdotool search --onlyvisible --class morvik 2>/dev/null || true); do
      if [[ "$id" != "$except" && "$(xdotool getwindowname "$id")" == "$title" ]]; then
        echo "$id"
        return 0
      fi
    done
    kill -0 "$morvik_pid" 2>/dev/null || fail "the program ended while waiting for \"$title\""
    sleep 0.1
  done
  fail "no window \"$title\" appeared"
}

# Waits until window id is hidden or gone, then gives the input focus back
# to the main window (without a window manager nobody else does).
wait_closed() {
  for _ in $(seq 200); do
    if ! xdotool search --onlyvisible --class morvik 2>/dev/null | grep -qx "$1"; then
      xdotool windowfocus --sync "$main"
      sleep 0.2
      return 0
    fi
    sleep 0.1
  done
  fail "window $1 did not close"
}

# Saves window id as name.png once it has painted.
shot() {
  sleep 0.7
  import -window "$1" "$out/$2.png"
  echo "screenshots: $2.png"
}

# Keys go to the window that has the input focus: the program gives it to
# each window it opens.
keys() {
  xdotool key --delay 60 "$@"
  sleep 0.3
}

main=$(wait_window Morvik)
xdotool windowfocus --sync "$main"

keys ctrl+o
dialog=$(wait_window 開く)
sleep 0.5
# A click on the list's first row (the sample) puts its name in the field.
xdotool mousemove --window "$dialog" 200 72 click 1
xdotool mousemove 0 0
shot "$dialog" open-dialog
keys Return
dialog=$(wait_window ファイルの種類選択)
keys Down Down # データA1: the list is filled column by column
shot "$dialog" select-type-dialog
keys Return
wait_closed "$dialog"

keys Down Down Down End
shot "$main" main-window

keys alt+e s
dialog=$(wait_window 並び替え/ソート)
shot "$dialog" sort-dialog
keys Escape
wait_closed "$dialog"

keys alt+Return
dialog=$(wait_window ファイル情報)
keys Down Down
shot "$dialog" file-information-dialog
keys Escape
wait_closed "$dialog"

# The script in the first record's third field, selected.
keys ctrl+Home
xdotool key --repeat 16 --delay 20 Right
xdotool key --repeat 12 --delay 20 shift+Right
keys ctrl+e
dialog=$(wait_window "SavraScript エディタ")
shot "$dialog" script-editor
keys ctrl+shift+q
wait_closed "$dialog"

keys ctrl+f
dialog=$(wait_window 検索)
xdotool type --delay 100 東京
shot "$dialog" find-dialog
keys Escape
wait_closed "$dialog"

keys ctrl+r
dialog=$(wait_window 置換)
xdotool type --delay 100 大阪
keys Tab
xdotool type --delay 100 京都
shot "$dialog" replace-dialog
keys Escape
wait_closed "$dialog"

keys alt+c f
dialog=$(wait_window フォントの選択)
shot "$dialog" font-dialog
keys Escape
wait_closed "$dialog"

keys alt+h a
dialog=$(wait_window Morvik "$main")
shot "$dialog" about-box
keys Return
wait_closed "$dialog"

keys ctrl+q
for _ in $(seq 100); do
  kill -0 "$morvik_pid" 2>/dev/null || exit 0
  sleep 0.1
done
fail "the program did not end on Ctrl+Q"
