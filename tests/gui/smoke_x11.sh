#!/usr/bin/env bash
# The real program in a real X window (Xvfb), driven by xdotool:
#   Return right after opening writes the file back byte for byte;
#   typing then Escape leaves it untouched; typing then Return writes the change;
#   a file named on the command line is the one edited and saved.
# Usage: smoke_x11.sh <marlox binary> <demo Windows folder>
set -euo pipefail
marlox=$1
demo=$2
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/marlox-smoke.XXXXXX")
xvfb_pid=
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and reports its number.
Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

lmhosts="$work/Windows/System32/drivers/etc/lmhosts"

# Opens the editor on a fresh copy of the demo tree (with the arguments given)
# and waits for its window.
start() {
    rm -rf "$work/Windows"
    cp -r "$demo" "$work/Windows"
    SystemRoot="$work/Windows" "$marlox" "$@" >"$work/app.log" 2>&1 &
    app_pid=$!
    window=$(timeout 30 xdotool search --sync --onlyvisible --name 'Marlox LMHOSTS Editor$' | head -n1)
    [ -n "$window" ] || { echo "FAIL: no window"; cat "$work/app.log"; exit 1; }
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
    sleep 0.3
}

# Waits for the program to end by itself; its exit status must be 0.
finish() {
    for _ in $(seq 100); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$app_pid" 2>/dev/null; then
        echo "FAIL: $1: the window did not close"
        exit 1
    fi
    local status=0
    wait "$app_pid" || status=$?
    app_pid=
    [ "$status" -eq 0 ] || { echo "FAIL: $1: exit status $status"; cat "$work/app.log"; exit 1; }
}

# Clicks the first row of the list, then types a new hostname.
edit_first_row() {
    xdotool mousemove --window "$window" 60 40 click 1
    sleep 0.2
    xdotool key --delay 50 alt+h ctrl+a
    xdotool type --delay 50 smoketest
    sleep 0.2
}

start
xdotool key Return
finish "Return"
cmp "$demo/System32/drivers/etc/lmhosts" "$lmhosts" || { echo "FAIL: Return changed the file"; exit 1; }
echo "ok: Return writes the unchanged file back byte for byte"

start
edit_first_row
xdotool key Escape
finish "Escape"
cmp "$demo/System32/drivers/etc/lmhosts" "$lmhosts" || { echo "FAIL: Escape changed the file"; exit 1; }
echo "ok: Escape after typing leaves the file untouched"

start
edit_first_row
xdotool key Return
finish "typing then Return"
grep -q $'"smoketest"' "$lmhosts" || { echo "FAIL: the typed name was not written"; cat "$lmhosts"; exit 1; }
echo "ok: typing then Return writes the change"

mkdir -p "$work/samba"
printf '10.1.2.3 SAMBAHOST #PRE\n# a comment\n' >"$work/samba/lmhosts.test"
start "$work/samba/lmhosts.test"
edit_first_row
xdotool key Return
finish "a file named on the command line"
grep -q $'"smoketest"' "$work/samba/lmhosts.test" ||
    { echo "FAIL: the file named on the command line was not written"; exit 1; }
grep -q '^# a comment$' "$work/samba/lmhosts.test" || { echo "FAIL: a comment was lost"; exit 1; }
cmp "$demo/System32/drivers/etc/lmhosts" "$lmhosts" || { echo "FAIL: SystemRoot's file changed"; exit 1; }
echo "ok: a file named on the command line is edited and saved"
