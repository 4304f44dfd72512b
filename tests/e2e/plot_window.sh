#!/usr/bin/env bash
# The plot in a real window on an X server: after 10 (or 1646), 0 and a key
# the window "Graph window application" shows the grey points and the white
# signature 1 s after it appears, with nothing done to it; Enter then ends the
# program with exit code 0 and the window goes away.
set -euo pipefail
program=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
source "$here/../support/xvfb.sh"

start_xvfb 1024x768x24
trap 'end_pane; kill $xvfb_pid 2>/dev/null || true' EXIT

for primes in 10 1646; do
  start_in_pane "primes-x11-$primes-$$" "DISPLAY=$DISPLAY $program"
  wait_for_text "prime search<=1646:"
  type_keys "$primes" Enter
  wait_for_text "NumPtot=$primes "
  type_keys 0 Enter
  wait_for_text "LastP=-1 NumPtot=0 NumOP=0"
  type_keys q

  window=$(xdotool search --sync --name "^Graph window application$" | head -1)
  [ -n "$window" ] || fail "no graph window"
  sleep 1
  wait_for_text "GRAPH errcode=0"
  xprop -id "$window" WM_CLASS | grep -q '"ZynGraphWindow"' || fail "wrong window class"
  read -r width height < <(xwininfo -id "$window" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}')
  [ "$width" -ge 640 ] && [ "$height" -gt 480 ] || fail "window too small: ${width}x$height"
  import -window "$window" "$E2E_DIR/plot.png"
  convert "$E2E_DIR/plot.png" -depth 8 "rgb:$E2E_DIR/plot.rgb"
  python3 "$here/check_plot.py" "$width" "$height" "$E2E_DIR/plot.rgb" "$primes" || fail "the window's pixels are wrong"

  type_keys Enter
  [ "$(exit_code)" = 0 ] || fail "the program did not end with exit code 0"
  if xdotool search --name "^Graph window application$" >/dev/null 2>&1; then fail "the window is still there"; fi
  end_pane
done
echo "plot window passed"
