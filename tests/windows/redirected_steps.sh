# The Windows program with redirected streams under wine, sourced by run:
# answers from pipes, files and a pausing writer, each run ending by itself
# with every summary in full; the ANSI code page and CR LF in its files; half a
# console in wineconsole (wine's console in a terminal delivers no key events
# and echoes what is typed by itself). Every failing step says what failed, and
# no window that closes as expected ends the script.

source "$here/../support/redirected_answers.sh"

# redirected_check NAME CODE EXPECTED-SUMMARIES: of the output in $work/out.txt.
redirected_check() {
  [ "$2" = 0 ] || fail "$1: exit code $2 (124: it did not end by itself)"
  [ "$(search_summaries "$work/out.txt")" = "$3" ] ||
    fail "$1: summaries $(search_summaries "$work/out.txt"), not $3"
}

# The box around the lit pixels of the console window's text area: "left top right bottom" or "none".
redirected_text_box() {
  import -window "$1" "$work/console.png" 2>/dev/null || fail "no screenshot of the console"
  convert "$work/console.png" -crop 600x2000+0+0 +repage -depth 8 "rgb:$work/console.rgb"
  # shellcheck disable=SC2046
  python3 "$here/lit_box.py" $(convert "$work/console.png" -crop 600x2000+0+0 +repage -format '%w %h' info:) \
    "$work/console.rgb"
}

# Keys for a window that may close under them: a failure is no reason to stop.
redirected_keys() { xdotool key --window "$@" 2>/dev/null || true; sleep 0.3; }

# redirected_wait_for_exit FILE: the exit code that FILE receives, or "none" after a minute.
redirected_wait_for_exit() {
  for _ in $(seq 120); do [ -s "$1" ] && break; sleep 0.5; done
  cat "$1" 2>/dev/null || echo none
}

run_redirected_checks() {
  local input expected code console box
  echo "-- redirected: answers through a pipe and from a file"
  while IFS='|' read -r input expected; do
    code=0
    printf "$input" | (cd "$work" && timeout 120 $wine "$exe" >"$work/out.txt" 2>/dev/null) || code=$?
    redirected_check "printf '$input' | primes.exe" "$code" "$expected"
    printf "$input" >"$work/in.txt"
    code=0
    (cd "$work" && timeout 120 $wine "$exe" <"$work/in.txt" >"$work/out.txt" 2>/dev/null) || code=$?
    redirected_check "primes.exe < file of '$input'" "$code" "$expected"
  done < <(redirected_answer_cases)

  echo "-- redirected: a writer that pauses between answers"
  code=0
  pausing_writer | (cd "$work" && timeout 120 $wine "$exe" >"$work/out.txt" 2>/dev/null) ||
    code=$?
  redirected_check "a pausing writer" "$code" "$pausing_writer_summaries"

  echo "-- redirected: a Windows file keeps CR LF and the ANSI code page"
  printf '10\n0\n' | (cd "$work" && $wine "$exe" >"$work/out.txt" 2>/dev/null) || fail "the run for the file failed"
  [ "$(grep -c $'is PRIME!\r$' "$work/out.txt")" = 10 ] || fail "not 10 prime lines ending in CR LF"
  head -c 4 "$work/out.txt" | od -An -tx1 | grep -q "6d f8 20 70" || fail "the prompt's 0xF8 is not the raw ANSI byte"

  echo "-- redirected: output to a file, input on the console (wineconsole): what is typed shows"
  rm -f "$work/half.txt" "$work/half.rc"
  (cd "$work" && $wine wineconsole cmd /c "..\\$(basename "$exe") > half.txt" >/dev/null 2>&1
    echo $? >"$work/half.rc") &
  console=$(wine_console_window 'cmd\.exe')
  sleep 2
  redirected_keys "$console" 1 0
  sleep 1
  box=$(redirected_text_box "$console")
  # Two cells wide, where the cursor alone is one.
  # shellcheck disable=SC2086
  set -- $box
  [ "$box" != none ] && [ $(($3 - $1)) -ge 10 ] && [ "$4" -lt 20 ] ||
    fail "the typed 10 does not show on the top row of the console: $box"
  redirected_keys "$console" Return
  sleep 2  # the search ends before the next key, which would stop it
  redirected_keys "$console" 0 Return
  sleep 1
  redirected_keys "$console" q
  timeout 60 xdotool search --sync --name "^Graph window application$" >/dev/null 2>&1 || fail "no graph window"
  activate_console
  redirected_keys "$console" Return
  [ "$(redirected_wait_for_exit "$work/half.rc")" = 0 ] || fail "the program did not end with 0"
  grep -aq $'^29 is PRIME!\r$' "$work/half.txt" && grep -aq "GRAPH errcode=0" "$work/half.txt" ||
    fail "the dialogue is not in the file: $(cat -A "$work/half.txt")"
  grep -aq "search<=1646:10" "$work/half.txt" && fail "the echo reached the file"

  echo "-- redirected: input from a pausing pipe, output on the console (wineconsole): stray keys do not show"
  rm -f "$work/answers" "$work/half.rc"
  mkfifo "$work/answers"
  (cd "$work" && $wine wineconsole cmd /c "..\\$(basename "$exe") < answers" >/dev/null 2>&1
    echo $? >"$work/half.rc") &
  (echo 10; sleep 8; echo 0) >"$work/answers" &
  console=$(wine_console_window 'cmd\.exe')
  sleep 4
  local before
  before=$(redirected_text_box "$console")
  redirected_keys "$console" a b c Return x y z
  sleep 1
  box=$(redirected_text_box "$console")
  # Text below the prompt's row would be the echo of the keys after Return.
  [ "${box##* }" = "${before##* }" ] || fail "stray keys showed on the console: $before, then $box"
  [ "$(redirected_wait_for_exit "$work/half.rc")" = 0 ] || fail "the program did not end with 0"
  rm -f "$work/answers"
  return 0
}
