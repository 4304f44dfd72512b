#!/usr/bin/env bash
# The dialogue in a real terminal: echo, prime lines, scrolling, a key that
# stops a search, and the terminal's mode put back when the program ends.
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/lib.sh"
E2E_COLUMNS=80 E2E_ROWS=24
trap end_pane EXIT

# No display: the plot's window fails, which ends the program after the dialogue.
start_in_pane "primes-tty-$$" \
  "env -u DISPLAY $program; code=\$?; stty -a > $E2E_DIR/stty.txt; (exit \$code)"
wait_for_text "mø prime search<=1646:"
type_keys 10 Enter
wait_for_text "LastP=29 NumPtot=10 NumOP=94"
screen_text | grep -qx "mø prime search<=1646:10" || fail "the answer is not echoed after the prompt"
for p in 2 3 5 7 11 13 17 19 23 29; do
  screen_text | grep -qx "$p is PRIME!" || fail "no line for $p"
done
[ "$(screen_text | grep -c '^mø prime search<=1646:')" -ge 2 ] || fail "no second prompt"

# A long search scrolls the window; its last lines stay intact.
type_keys 1646 Enter
wait_for_text "LastP=13921 NumPtot=1646 NumOP=1088138"
screen_text | grep -B1 -x "LastP=13921 NumPtot=1646 NumOP=1088138" | grep -qx "13921 is PRIME!" ||
  fail "the last prime line is not right above the summary"
screen_text | grep -qx "13913 is PRIME!" || fail "the line before the last prime is damaged"

# A key typed during a very long search stops it and starts the next line.
type_keys 3000000 Enter
sleep 0.5
type_keys 7
wait_for_text "mø prime search<=1646:7" 30
type_keys Enter
wait_for_text "LastP=17 NumPtot=7 NumOP=41"

type_keys 0 Enter
wait_for_text "LastP=-1 NumPtot=0 NumOP=0"
type_keys q
wait_for_text "GRAPH errcode=-11"
[ "$(exit_code)" = 1 ] || fail "the failed window should end the program with exit code 1"
grep -q -- " echo " "$E2E_DIR/stty.txt" && grep -q -- " icanon " "$E2E_DIR/stty.txt" ||
  fail "the terminal was not put back: $(cat "$E2E_DIR/stty.txt")"
echo "terminal dialogue passed"
