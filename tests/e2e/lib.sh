# Drives a program in a tmux pane as a person would: start it, type, read the
# screen, wait for its exit code. Sourced by the end-to-end checks.

E2E_DIR=${E2E_DIR:-$(mktemp -d)}

# Each script talks to a tmux server of its own: the default one is shared with
# whatever else runs tmux here, and may be ending just as a pane is started.
E2E_TMUX_SOCKET=${E2E_TMUX_SOCKET:-primes-e2e-$$}
tmux() { command tmux -L "$E2E_TMUX_SOCKET" "$@"; }

# A step that fails under set -e says which one it was before the script ends.
set -o errtrace
trap '[[ $- != *e* ]] || echo "FAIL: ${BASH_SOURCE[0]##*/}:$LINENO: $BASH_COMMAND" >&2' ERR

fail() {
  echo "FAIL: $*" >&2
  [ -n "${pane_session:-}" ] && tmux capture-pane -p -t "$pane_session" >&2 2>/dev/null
  exit 1
}

# start_in_pane SESSION COMMAND: runs COMMAND in a pane of E2E_COLUMNS x E2E_ROWS
# (100 x 30 unless set); its exit code lands in $E2E_DIR/SESSION.rc.
start_in_pane() {
  pane_session=$1
  shift
  rm -f "$E2E_DIR/$pane_session.rc"
  local size=(-x "${E2E_COLUMNS:-100}" -y "${E2E_ROWS:-30}") command="$*; echo \$? > $E2E_DIR/$pane_session.rc; sleep 300"
  # The script's server ends with its last pane; a start that meets it ending starts a new one.
  tmux new-session -d -s "$pane_session" "${size[@]}" "$command" 2>/dev/null ||
    { sleep 0.2; tmux new-session -d -s "$pane_session" "${size[@]}" "$command"; }
}

screen_text() { tmux capture-pane -p -t "$pane_session"; }

# wait_for_text TEXT [SECONDS]: until the pane shows TEXT (a fixed string).
wait_for_text() {
  local deadline=$((SECONDS + ${2:-20}))
  until screen_text | grep -qF -- "$1"; do
    [ $SECONDS -lt $deadline ] || fail "no '$1' on the screen"
    sleep 0.2
  done
}

type_keys() { tmux send-keys -t "$pane_session" "$@"; }

# exit_code [SECONDS]: waits for the program to end and prints its code.
exit_code() {
  local deadline=$((SECONDS + ${1:-20}))
  until [ -s "$E2E_DIR/$pane_session.rc" ]; do
    [ $SECONDS -lt $deadline ] || fail "program did not end"
    sleep 0.2
  done
  cat "$E2E_DIR/$pane_session.rc"
}

end_pane() { tmux kill-session -t "$pane_session" 2>/dev/null || true; }

# screen_is EXPECTED_FILE: the pane shows exactly these rows (trailing blanks aside).
screen_is() {
  local got
  got=$(screen_text)
  [ "$got" = "$(cat "$1")" ] || fail "screen differs from $1: $(diff <(echo "$got") "$1" | head -20)"
}

# expected_screen ROWS ANSWER... [--used N]: the expected screen after these searches, in a file.
expected_screen() {
  local file
  file=$E2E_DIR/expected-$(echo "$*" | tr ' ' '-').txt
  python3 "$(dirname "${BASH_SOURCE[0]}")/expected_screen.py" "$@" >"$file"
  echo "$file"
}

# program_pid PATH: the newest process running exactly PATH.
program_pid() { pgrep -n -x -f "$1"; }
