#!/usr/bin/env bash
# A display that accepts connections but never answers (an Xvfb stopped with
# SIGSTOP) holds nothing up: the prompt comes at once, the plot's key reports
# -11 and the program ends as it does without a display; Ctrl+C ends it with
# 217 at any moment, also once a display stops while the window is open.
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../support/xvfb.sh"

start_xvfb 1024x768x24
xvfb=$xvfb_pid
trap 'end_pane; kill -CONT $xvfb 2>/dev/null; kill $xvfb 2>/dev/null || true' EXIT

milliseconds() { echo $(($(date +%s%N) / 1000000)); }
# shown_within TEXT MS: the pane shows TEXT at the latest MS milliseconds from now.
shown_within() {
  local deadline=$(($(milliseconds) + $2))
  until screen_text | grep -qF -- "$1"; do
    [ "$(milliseconds)" -lt $deadline ] || fail "no '$1' on the screen within $2 ms"
    sleep 0.05
  done
}
# ends_by_ctrl_c: Ctrl+C now ends the program with 217 within 2 s.
ends_by_ctrl_c() {
  local deadline=$(($(milliseconds) + 2000))
  type_keys C-c
  until [ -s "$E2E_DIR/$pane_session.rc" ]; do
    [ "$(milliseconds)" -lt $deadline ] || fail "Ctrl+C did not end the program within 2 s"
    sleep 0.05
  done
  [ "$(exit_code)" = 217 ] || fail "Ctrl+C ended the program with $(exit_code), not 217"
  end_pane
}

kill -STOP $xvfb

echo "-- the stopped display counts as none"
start_in_pane "stalled-$$" "$program"
shown_within "prime search<=1646:" 1000
type_keys 10 Enter
wait_for_text "LastP=29 NumPtot=10 NumOP=94"
type_keys 0 Enter
wait_for_text "LastP=-1 NumPtot=0 NumOP=0"
type_keys q
shown_within "GRAPH errcode=-11" 1000
wait_for_text "Error: Not in graphics mode (use InitGraph and test GraphResult afterwards)"
[ "$(exit_code)" = 1 ] || fail "the program did not end with exit code 1"
end_pane

echo "-- Ctrl+C while the display is asked, and at the prompt"
for moment in 0.2 1; do
  start_in_pane "stalled-ctrl-c-$$" "$program"
  sleep "$moment"
  ends_by_ctrl_c
done

echo "-- Ctrl+C once the display stops while the window is open"
kill -CONT $xvfb
for moment in 0 0.3; do
  start_in_pane "stopping-$$" "$program"
  wait_for_text "prime search<=1646:"
  type_keys 0 Enter
  wait_for_text "LastP=-1 NumPtot=0 NumOP=0"
  type_keys q
  wait_for_text "GRAPH errcode=0"
  sleep "$moment"
  kill -STOP $xvfb
  sleep 0.5
  ends_by_ctrl_c
  kill -CONT $xvfb
done
echo "stalled display passed"
