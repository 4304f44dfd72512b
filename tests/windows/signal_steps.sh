# shellcheck shell=bash disable=SC2154
# Endings the Windows program shares with the Linux one, checked under wine:
# Ctrl+C mid-search is run-time error 217 with its report, taken at the next
# safe point, and a write to a closed pipe ends with the Linux build's code.
# Sourced by run after steps.sh, whose pane helpers it uses.

# signal_search_then_ctrl_c RCFILE TITLE COMMAND...: starts COMMAND in
# wineconsole, answers a long search, and presses Ctrl+C during it. The
# window closes as the program ends, so the Ctrl+C may meet no window.
signal_search_then_ctrl_c() {
  local rc_file=$1 title=$2 window
  shift 2
  rm -f "$rc_file"
  # Under set -e the subshell would end at the program's non-zero code without writing it.
  (
    code=0
    cd "$work" && $wine wineconsole "$@" >/dev/null 2>&1 || code=$?
    echo "$code" >"$rc_file"
  ) &
  window=$(wine_console_window "$title")
  sleep 1
  xdotool key --window "$window" 3 0 0 0 0 0 0 0 Return 2>/dev/null || fail "the answer did not reach wineconsole"
  sleep 2
  xdotool key --window "$window" ctrl+c 2>/dev/null || true
  for _ in $(seq 60); do [ -s "$rc_file" ] && break; sleep 0.5; done
  [ -s "$rc_file" ] || fail "Ctrl+C did not end the Windows program"
}

run_signal_checks() {
  echo "-- Ctrl+C mid-search in wineconsole: exit 217"
  signal_search_then_ctrl_c "$work/ctrl-c.rc" 'primes\.exe' "$exe"
  [ "$(cat "$work/ctrl-c.rc")" = 217 ] || fail "Ctrl+C ended the Windows program with $(cat "$work/ctrl-c.rc"), not 217"

  echo "-- Ctrl+C mid-search, output to a file: the report follows the last whole line"
  cp "$exe" "$work/primes-signal.exe"
  rm -f "$work/ctrl-c.txt"
  signal_search_then_ctrl_c "$work/ctrl-c-file.rc" 'cmd\.exe' cmd /c "primes-signal.exe > ctrl-c.txt"
  tr -d '\r' <"$work/ctrl-c.txt" | grep -B1 '^Runtime error 217 at \$[0-9A-F]\{8\}$' | head -1 |
    grep -q '^[0-9]* is PRIME!$' || fail "no Control-C report after a whole prime line in the file"

  echo "-- a write to a closed pipe: the same code on both builds"
  local linux_code windows_code
  linux_code=$(printf '1646\n0\n' | "$linux" 2>/dev/null | head -c 10 >/dev/null; echo "${PIPESTATUS[1]}")
  windows_code=$(cd "$work" && printf '1646\n0\n' | $wine "$exe" 2>/dev/null | head -c 10 >/dev/null; echo "${PIPESTATUS[1]}")
  [ "$linux_code" = "$windows_code" ] || fail "a closed pipe ends Linux with $linux_code, Windows with $windows_code"
  echo "   both end with $linux_code"
}
