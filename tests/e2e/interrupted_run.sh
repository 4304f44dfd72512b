#!/usr/bin/env bash
# Ways out a person takes in a real terminal: Ctrl+C ends the program as a
# Control-C run-time error with its report, wherever it lands (mid-search, at
# start-up, at the prompt); SIGTERM, SIGHUP and SIGQUIT end it at once with
# 128 + the signal; each time the terminal's mode is as it was before.
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/lib.sh"
trap end_pane EXIT

# start_guarded NAME [DELAY]: the program in a pane whose terminal mode is
# saved before it starts and read again after it ends.
start_guarded() {
  start_in_pane "$1" "stty -g > $E2E_DIR/$1.before; env -u DISPLAY $program; code=\$?; \
stty -g > $E2E_DIR/$1.after; (exit \$code)"
}
mode_restored() { cmp -s "$E2E_DIR/$1.before" "$E2E_DIR/$1.after" || fail "$1: the terminal's mode was not put back"; }
expect_report() {
  [ "$(exit_code)" = 217 ] || fail "$1: Ctrl+C should end with run-time error 217"
  screen_text | grep -q 'Runtime error 217 at \$[0-9A-F]\{8\}$' || fail "$1: no Control-C report"
  mode_restored "$1"
  end_pane
}

start_guarded "ctrl-c-$$"
wait_for_text "prime search<=1646:"
type_keys 3000000 Enter
sleep 0.5
type_keys C-c
expect_report "ctrl-c-$$"

# As soon as the program takes Ctrl+C, before it has set up the terminal or
# asked anything: the interrupt waits for the first safe point.
catches_interrupt() {
  local pid mask
  pid=$(pgrep -f "^$program\$" | head -1) && [ -n "$pid" ] || return 1
  mask=$(awk '/^SigCgt:/ {print $2}' "/proc/$pid/status" 2>/dev/null) && [ -n "$mask" ] || return 1
  (((0x$mask >> 1) & 1))
}
start_guarded "early-ctrl-c-$$"
deadline=$((SECONDS + 20))
until catches_interrupt; do
  [ $SECONDS -lt $deadline ] || fail "the program never took Ctrl+C"
  sleep 0.002
done
type_keys C-c
expect_report "early-ctrl-c-$$"

for signal in TERM HUP QUIT; do
  start_guarded "sig$signal-$$"
  wait_for_text "prime search<=1646:"
  if [ "$signal" = QUIT ]; then type_keys 12; else type_keys 3000000 Enter; fi
  sleep 0.5
  pkill "-$signal" -f "^$program\$"
  expected=$((128 + $(kill -l "$signal")))
  [ "$(exit_code)" = "$expected" ] || fail "SIG$signal should end with $expected"
  mode_restored "sig$signal-$$"
  end_pane
done
echo "interrupted runs passed"
