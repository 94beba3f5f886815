#!/usr/bin/env bash
# Reads the real program's document through AT-SPI, as a screen reader
# does: under Xvfb, in a D-Bus session of its own with the accessibility
# bus, it opens a Shift_JIS data file in a Release build of morvik and asks
# pyatspi for the document's character count, its first line, the caret
# offset, and the text again after a key typed with xdotool.
# Run by hand (not by CI); prints PASS/FAIL lines and exits non-zero when
# anything fails or does not answer in time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [[ "${1:-}" != --inside ]]; then
  build="$root/build/release"
  "$root/scripts/deps.sh" python3-pyatspi at-spi2-core dbus-x11
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVIK_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" --target morvik -j"$(nproc)" >/dev/null
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  # Two Japanese records in Shift_JIS, CR LF, and the end marker.
  printf '%b' \
    '"\x82\xa8\x82\xb7\x82\xb7\x82\xdf","\x8d\xa1\x93\xfa\x82\xcc\x88\xea\x95\x69"\r\n' \
    '"\x93\x8c\x8b\x9e","\x8e\xf1\x93\x73"\r\n' \
    '"{EndOfData}","{Dummy}"\r\n' >"$work/sample.htd"
  # A real X server and a session bus of our own; the whole run is bounded.
  # The display number starts at a random one, as other runs may be
  # taking numbers at the same moment.
  env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY -u XDG_SESSION_TYPE -u DBUS_SESSION_BUS_ADDRESS \
    -u AT_SPI_BUS_ADDRESS \
    timeout 180 xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x1024x24" \
    dbus-run-session -- "$0" --inside "$build/gui/morvik" "$work"
  exit $?
fi

# --- Inside the X server and the session bus ------------------------------------------
program=$2
work=$3
# Settings and recovery files of this run only: killed with a typed key
# unsaved, the program leaves a recovery file that would otherwise greet the
# next run with a question.
export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_STATE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

# The accessibility bus; the registry daemon starts on it when first asked.
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/bus.log" 2>&1 &
pids+=($!)
# Waits for the launcher to own its name (asking for the address before
# that would have D-Bus start a second launcher).
for _ in $(seq 100); do
  if dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q true; then
    break
  fi
  sleep 0.1
done

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" --type DataA1 "$work/sample.htd" \
  >"$work/morvik.log" 2>&1 &
morvik_pid=$!
pids+=("$morvik_pid")

status=0
/usr/bin/python3 - "$work/sample.htd" "$morvik_pid" <<'EOF' || status=$?
import subprocess, sys, time
import pyatspi

path, morvik_pid = sys.argv[1], sys.argv[2]
failed = False

def check(name, ok, detail=""):
    global failed
    print(("PASS" if ok else "FAIL") + ": " + name + (" (" + detail + ")" if detail else ""))
    failed |= not ok

def wait_for(what, probe, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = probe()
            if found:
                return found
        except Exception:
            pass
        time.sleep(0.2)
    print("FAIL: " + what + " within " + str(seconds) + " s")
    sys.exit(1)

def find_app():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name.lower() == "morvik":
            return app

def find_text(node, depth=0):
    if node is None or depth > 30:
        return None
    if node.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_DOCUMENT_TEXT, pyatspi.ROLE_ENTRY,
                          pyatspi.ROLE_DOCUMENT_FRAME) and "Text" in node.get_interfaces():
        return node
    for child in node:
        found = find_text(child, depth + 1)
        if found is not None:
            return found

with open(path, "rb") as f:
    expected = f.read().decode("cp932").replace("\r\n", "\n")
expected_line1 = expected.split("\n")[0]

app = wait_for("the morvik application on the accessibility bus", find_app)
check("application found", True, app.name)
doc = wait_for("the document's text object", lambda: find_text(app))
check("text object found", True, doc.getRoleName())
check("text object's name", doc.name == path.rsplit("/", 1)[-1], repr(doc.name))
text = doc.queryText()
# The file is read after the window shows: wait for its characters.
wait_for("the document's text", lambda: text.characterCount > 0, 15)

count = text.characterCount
check("character count", count == len(expected), str(count) + " vs " + str(len(expected)))
whole = text.getText(0, -1)
check("whole text", whole == expected, repr(whole[:40]))
line, start, end = text.getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)
check("line 1", line.rstrip("\n") == expected_line1 and start == 0, repr(line))
line2, start, end = text.getTextAtOffset(len(expected_line1) + 2,
                                         pyatspi.TEXT_BOUNDARY_LINE_START)
check("line 2", line2.rstrip("\n") == expected.split("\n")[1], repr(line2))
check("caret offset", text.caretOffset == 0, str(text.caretOffset))

# A key typed into the focused window reaches the document.
window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Morvik$"],
                        capture_output=True, text=True, timeout=20).stdout.split()
check("main window found", len(window) == 1, " ".join(window))
if window:
    subprocess.run(["xdotool", "windowfocus", "--sync", window[0]], timeout=10)
    subprocess.run(["xdotool", "key", "--delay", "50", "x"], timeout=10)
    wait_for("the typed key in the text", lambda: text.characterCount == count + 1, 10)
    check("text after typing", text.getText(0, 3) == "x" + expected[:2], repr(text.getText(0, 3)))
    check("caret after typing", text.caretOffset == 1, str(text.caretOffset))
sys.exit(1 if failed else 0)
EOF
if ((status != 0)); then
  echo "atspi_check: morvik's output:" >&2
  cat "$work/morvik.log" >&2
  exit 1
fi
echo "atspi_check: all passed"
