#!/usr/bin/env bash
# Starts the desktop program on a virtual display with the accessibility bus
# up, with the worksheet given, and has the walker ask every element of every
# window for its properties, as a screen reader does; the program must answer
# all and still be running.
# Exits 77 (skipped) where D-Bus, the AT-SPI bus launcher or Xvfb is missing.
set -euo pipefail
program=$1
walker=$2
worksheet=$3

if [ "${QUANTARO_WALK_SESSION:-}" != 1 ]; then
    for tool in dbus-run-session dbus-daemon gdbus Xvfb; do
        command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
    done
    # A session bus of its own, ended with the walk.
    exec env QUANTARO_WALK_SESSION=1 dbus-run-session -- bash "$0" "$@"
fi

launcher=
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
    [ -x "$candidate" ] && launcher=$candidate && break
done
[ -n "$launcher" ] || { echo "no at-spi-bus-launcher: skipped"; exit 77; }

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The accessibility bus's socket goes to the runtime directory, the program's
# settings to its home: both scratch.
export XDG_RUNTIME_DIR=$work HOME=$work
chmod 700 "$work"

# -noreset: the bus launcher's client comes and goes, and a server that resets
# when its last client leaves refuses the program meanwhile.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
pids+=("$xvfb_pid")
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
export DISPLAY=:$(cat "$work/display")

"$launcher" --launch-immediately >/dev/null 2>&1 &
pids+=($!)
# Asked before the launcher owns its name, the session bus would start a
# second one, outside the scratch runtime directory.
for _ in $(seq 100); do
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.a11y.Bus 2>/dev/null | grep -q true && break
    sleep 0.1
done
address=$(gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
              --method org.a11y.Bus.GetAddress | sed -n "s/^('\(.*\)',)$/\1/p")
[ -n "$address" ] || fail "the accessibility bus did not start"

(cd "$work" && QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 exec "$program" "$worksheet") \
    >"$work/program.log" 2>&1 &
program_pid=$!
pids+=("$program_pid")

# The study windows are checked for a name on every control as well.
"$walker" "$address" "Constants" "Variables" "About" "Test One Equation" "=Sweep…" "=Goal Seek…" ||
    { cat "$work/program.log" >&2; kill -0 "$xvfb_pid" || cat "$work/xvfb.log" >&2; fail "the walk stopped"; }
kill -0 "$program_pid" 2>/dev/null || { cat "$work/program.log" >&2; fail "the program ended"; }
