#!/usr/bin/env bash
# The dialogue in xterm with its default settings, typed through the X server:
# Alt+x stores nothing in the line, an Esc whose "[D" comes 60 ms later is the
# Left key, a lone Esc clears the line once the wait has passed, and the last
# screen of a 1646 search is exact; in a Latin-1 locale the prompt shows "ø".
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/lib.sh"
command -v Xvfb >/dev/null && command -v xterm >/dev/null && command -v xdotool >/dev/null ||
  fail "Xvfb, xterm and xdotool are needed"

source "$(dirname "$0")/../support/xvfb.sh"
start_xvfb 1280x1024x24
xterm_pid=
cleanup() {
  if [ -n "$xterm_pid" ]; then kill "$xterm_pid" 2>/dev/null || true; fi
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# start_xterm LOCALE: the program in an 80x24 xterm of that locale; F12 prints
# the screen to $E2E_DIR/print.txt (the only resource changed).
start_xterm() {
  LC_ALL=$1 xterm -geometry 80x24 \
    -xrm "XTerm*printerCommand: cat > $E2E_DIR/print.txt" -xrm 'XTerm*printAttributes: 0' \
    -xrm 'XTerm*VT100.translations: #override <Key>F12: print()' \
    -e sh -c "env -u DISPLAY $program; sleep 300" 2>/dev/null &
  xterm_pid=$!
  local window=
  for _ in $(seq 150); do
    window=$(xdotool search --onlyvisible --pid "$xterm_pid" 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || fail "no xterm window"
  xdotool windowfocus --sync "$window"
}
stop_xterm() {
  kill "$xterm_pid"
  wait "$xterm_pid" 2>/dev/null || true
  xterm_pid=
}
# printed [ENCODING]: the screen as xterm prints it, in UTF-8.
printed() {
  rm -f "$E2E_DIR/print.txt"
  xdotool key F12
  for _ in $(seq 20); do [ -s "$E2E_DIR/print.txt" ] && break; sleep 0.1; done
  sleep 0.1
  iconv -f "${1:-UTF-8}" -t UTF-8 "$E2E_DIR/print.txt" | sed -e 's/[[:space:]]*$//' | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}'
}
wait_printed() {
  local deadline=$((SECONDS + ${2:-20}))
  until printed "${3:-UTF-8}" | grep -qF -- "$1"; do
    [ $SECONDS -lt $deadline ] || fail "no '$1' in xterm: $(printed "${3:-UTF-8}")"
    sleep 0.3
  done
}

start_xterm C.UTF-8
wait_printed "mø prime search<=1646:"
xdotool key alt+x type 5
xdotool key Return
wait_printed "LastP=11 NumPtot=5 NumOP=21"
# "12", Left, "3": the line is "13" in replace mode.
xdotool type 12
xdotool key Escape sleep 0.06 type "[D"
xdotool type 3
xdotool key Return
wait_printed "LastP=41 NumPtot=13"
# "12", a lone Esc, then "7".
xdotool type 12
xdotool key Escape sleep 0.3 type 7
xdotool key Return
wait_printed "LastP=17 NumPtot=7 NumOP=41"
xdotool type 1646
xdotool key Return
wait_printed "LastP=13921 NumPtot=1646 NumOP=1088138" 30
[ "$(printed)" = "$(cat "$(expected_screen 24 1646)")" ] ||
  fail "xterm screen differs: $(diff <(printed) "$(expected_screen 24 1646)" | head)"
stop_xterm

start_xterm en_US.ISO-8859-1
wait_printed "mø prime search<=1646:"
xdotool type 10
xdotool key Return
wait_printed "LastP=29 NumPtot=10 NumOP=94"
[ "$(printed)" = "$(cat "$(expected_screen 24 10 --used 13)")" ] ||
  fail "Latin-1 xterm screen differs: $(diff <(printed) "$(expected_screen 24 10 --used 13)" | head)"
stop_xterm
echo "terminal in xterm passed"
