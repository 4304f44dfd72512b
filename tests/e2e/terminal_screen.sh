#!/usr/bin/env bash
# The dialogue in GNU screen, which erases in the default colours only: Alt+x
# (Esc x) stores nothing in the line, and the last screen after a 1646 search
# is exact.
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/lib.sh"
session="primes-screen-$$"
export SCREENDIR=$E2E_DIR/screens
mkdir -p -m 700 "$SCREENDIR"
trap 'screen -S "$session" -X quit >/dev/null 2>&1 || true' EXIT
shown() {
  rm -f "$E2E_DIR/hardcopy"
  screen -S "$session" -X hardcopy "$E2E_DIR/hardcopy"
  sleep 0.2
  iconv -f ISO-8859-1 -t UTF-8 "$E2E_DIR/hardcopy" | sed -e 's/[[:space:]]*$//' | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}'
}
wait_shown() {
  local deadline=$((SECONDS + ${2:-20}))
  until shown | grep -qF -- "$1"; do
    [ $SECONDS -lt $deadline ] || { shown >&2; fail "no '$1' in screen"; }
    sleep 0.2
  done
}
keys() { screen -S "$session" -X stuff "$1"; }

LC_ALL=C.UTF-8 screen -U -dmS "$session" env -u DISPLAY LC_ALL=C.UTF-8 "$program"
wait_shown "mø prime search<=1646:"
keys $'\ex20'
sleep 0.3
keys $'\r'
wait_shown "LastP=71 NumPtot=20 NumOP=371"
keys $'1646\r'
wait_shown "LastP=13921 NumPtot=1646 NumOP=1088138" 30
[ "$(shown)" = "$(cat "$(expected_screen 24 20 1646)")" ] ||
  fail "screen differs: $(diff <(shown) "$(expected_screen 24 20 1646)" | head)"
echo "terminal in GNU screen passed"
