#!/usr/bin/env bash
# A standard stream closed by the shell stays closed for the program: nothing
# it opens takes the number. Writes to a closed output fail (invalid handle,
# run-time error 6) and the report reaches the stream still open; a closed
# error stream only loses what goes to it; a closed input is at its end. Each
# run ends by itself, the terminal's mode put back.
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/lib.sh"
trap end_pane EXIT

# run_closed NAME REDIRECTION: the program with REDIRECTION, answered 10, 0 and a key.
run_closed() {
  start_in_pane "$1" "stty -g > $E2E_DIR/$1.before; env -u DISPLAY $program $2; code=\$?; \
stty -g > $E2E_DIR/$1.after; (exit \$code)"
  sleep 0.3
  type_keys 10 Enter
  sleep 0.3
  type_keys 0 Enter
  sleep 0.3
  type_keys x
}
check_end() {
  [ "$(exit_code)" = "$2" ] || fail "$1: should end with $2"
  cmp -s "$E2E_DIR/$1.before" "$E2E_DIR/$1.after" || fail "$1: the terminal's mode was not put back"
}

run_closed "no-output-$$" ">&-"
check_end "no-output-$$" 6
screen_text | grep -q 'Runtime error 6 at \$[0-9A-F]\{8\}$' || fail "no-output: no report on the error stream"
screen_text | grep -q 'prime search' && fail "no-output: the prompt was written somewhere visible"
end_pane

# Without a display the plot cannot start: exit 1, its message lost with the error stream.
run_closed "no-error-$$" "2>&-"
check_end "no-error-$$" 1
screen_text | grep -q "LastP=29 NumPtot=10 NumOP=94" || fail "no-error: the search did not run"
screen_text | grep -q "Not in graphics mode" && fail "no-error: a message reached the closed error stream"
end_pane

run_closed "no-input-$$" "<&-"
check_end "no-input-$$" 1
screen_text | grep -q "LastP=-1 NumPtot=0 NumOP=0" || fail "no-input: the closed input should read as its end"
end_pane
echo "closed streams passed"
