#!/usr/bin/env bash
# Redirected streams as scripts use them, with a display: answers from pipes,
# files and a writer that pauses, each run ending by itself with every summary
# in full; Linux text in the output file; half a terminal in tmux.
set -uo pipefail
program=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
source "$here/../support/xvfb.sh"
source "$here/../support/redirected_answers.sh"
E2E_COLUMNS=80 E2E_ROWS=24

start_xvfb 1024x768x24 || fail "no X server"
trap 'end_pane; kill $xvfb_pid 2>/dev/null || true' EXIT

# check NAME EXPECTED-SUMMARIES: the run's output in $E2E_DIR/out.txt, its exit code in $code.
check() {
  [ "$code" = 0 ] || fail "$1: exit code $code (124: it did not end by itself)"
  [ "$(search_summaries "$E2E_DIR/out.txt")" = "$2" ] || fail "$1: summaries $(search_summaries "$E2E_DIR/out.txt"), not $2"
}

echo "-- answers through a pipe and from a file"
while IFS='|' read -r input expected; do
  printf "$input" | timeout 60 "$program" >"$E2E_DIR/out.txt" 2>/dev/null
  code=$?
  check "printf '$input' | primes" "$expected"
  printf "$input" >"$E2E_DIR/in.txt"
  timeout 60 "$program" <"$E2E_DIR/in.txt" >"$E2E_DIR/out.txt" 2>/dev/null
  code=$?
  check "primes < file of '$input'" "$expected"
done < <(redirected_answer_cases)

echo "-- a writer that pauses between answers"
pausing_writer | timeout 60 "$program" >"$E2E_DIR/out.txt" 2>/dev/null
code=$?
check "a pausing writer" "$pausing_writer_summaries"

echo "-- Linux text in the file"
printf '10\n0\n' | LC_ALL=C.UTF-8 "$program" >"$E2E_DIR/out.txt" 2>/dev/null
file "$E2E_DIR/out.txt" | grep -Eq ': (Unicode text, UTF-8|ASCII) text$' || fail "not plain text: $(file "$E2E_DIR/out.txt")"
[ "$(grep -c 'is PRIME!$' "$E2E_DIR/out.txt")" = 10 ] || fail "not 10 prime lines ending in LF"
grep -q $'\r' "$E2E_DIR/out.txt" && fail "a CR in the file"
head -c 24 "$E2E_DIR/out.txt" | grep -q "^mø prime search<=1646:" || fail "the prompt is not UTF-8"

echo "-- output to a file, input on the terminal: what is typed shows, edited"
start_in_pane "primes-half-out-$$" "cd $E2E_DIR && $program > half.txt"
sleep 1
type_keys 1 2 BSpace 0
wait_for_text "10"
[ "$(screen_text | grep -v '^$')" = 10 ] || fail "the terminal should show only the typed 10"
# A key typed during a search would stop it: each next key waits for the summary.
wait_for_file_text() {
  local deadline=$((SECONDS + 20))
  until grep -qF -- "$1" "$E2E_DIR/half.txt"; do
    [ $SECONDS -lt $deadline ] || fail "no '$1' in the file"
    sleep 0.2
  done
}
type_keys Enter
wait_for_file_text "LastP=29 NumPtot=10 NumOP=94"
type_keys 0 Enter
wait_for_file_text "$empty_search"
type_keys q  # the key that opens the plot: it starts the last line
xdotool search --sync --name "^Graph window application$" >/dev/null || fail "no graph window"
type_keys Enter
[ "$(exit_code 30)" = 0 ] || fail "the program did not end with exit code 0"
screen_text | grep -q "PRIME" && fail "the program's text reached the terminal"
grep -q "^29 is PRIME!$" "$E2E_DIR/half.txt" && grep -q "^mø prime search<=1646:$empty_search$" "$E2E_DIR/half.txt" &&
  grep -q "GRAPH errcode=0" "$E2E_DIR/half.txt" || fail "the dialogue is not in the file: $(cat "$E2E_DIR/half.txt")"
grep -q "search<=1646:10" "$E2E_DIR/half.txt" && fail "the echo reached the file"
end_pane

echo "-- input from a pipe, output on the terminal: stray keys neither echo nor move the text"
start_in_pane "primes-half-in-$$" "(echo 10; sleep 3; echo 0) | $program"
wait_for_text "LastP=29 NumPtot=10 NumOP=94"
type_keys abc Enter xyz
sleep 0.5
screen_text | grep -Eq "abc|xyz" && fail "stray keys were echoed"
[ "$(exit_code 30)" = 0 ] || fail "the program did not end with exit code 0"
screen_text | grep -Eq "abc|xyz" && fail "stray keys were echoed"
screen_text | grep -A1 -x "LastP=29 NumPtot=10 NumOP=94" | tail -1 | grep -qx "mø prime search<=1646:$empty_search" ||
  fail "the text after the stray keys moved"
end_pane
echo "redirected streams passed"
