#!/usr/bin/env bash
# Ways out a person takes in a real terminal: Ctrl+C ends the program as a
# Control-C run-time error with its report, SIGTERM and SIGHUP end it at once
# with 128 + the signal; each time the terminal's mode is as it was before.
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/lib.sh"
trap end_pane EXIT

# start_guarded NAME: the program in a pane whose terminal mode is saved
# before it starts and read again after it ends.
start_guarded() {
  start_in_pane "$1" "stty -g > $E2E_DIR/$1.before; env -u DISPLAY $program; code=\$?; \
stty -g > $E2E_DIR/$1.after; (exit \$code)"
  wait_for_text "prime search<=1646:"
}
mode_restored() { cmp -s "$E2E_DIR/$1.before" "$E2E_DIR/$1.after" || fail "$1: the terminal's mode was not put back"; }

start_guarded "ctrl-c-$$"
type_keys 3000000 Enter
sleep 0.5
type_keys C-c
[ "$(exit_code)" = 217 ] || fail "Ctrl+C should end with run-time error 217"
screen_text | grep -q '^Runtime error 217 at \$[0-9A-F]\{8\}$' || fail "no Control-C report"
mode_restored "ctrl-c-$$"
end_pane

for signal in TERM HUP; do
  start_guarded "sig$signal-$$"
  type_keys 3000000 Enter
  sleep 0.5
  pkill "-$signal" -f "^$program\$"
  expected=$((128 + $(kill -l "$signal")))
  [ "$(exit_code)" = "$expected" ] || fail "SIG$signal should end with $expected"
  mode_restored "sig$signal-$$"
  end_pane
done
echo "interrupted runs passed"
