# The checks the Windows program must pass under wine, beside the Linux
# program on the same X display; sourced by run. Wine's console in a terminal
# shows the program's cells but delivers no key events, so the console text is
# compared with answers through a pipe, and keys are typed into wineconsole's
# window with xdotool.
source "$here/../e2e/lib.sh"

# The console text of a piped dialogue, from the first prompt on.
piped_dialogue_text() {
  start_in_pane "$1" "cd $work && printf '10\n0\n' | $2"
  wait_for_text "GRAPH errcode=" 60
  [ "$(exit_code 60)" = 0 ] || fail "$2: exit code is not 0"
  screen_text | sed -n '/prime search/,$p' | sed -e 's/[[:space:]]*$//' -e '/^$/d'
  end_pane
}

# screenshot_window FILE: the screen 1 s after the graph window appeared, as raw
# RGB (a window reaching past the screen's edge cannot be read on its own);
# prints the width and height. Nothing is done to the window before: no
# raise, unmap, map or pointer movement that would make it repaint, so the
# shot shows what the drawing itself brought to the screen.
screenshot_window() {
  xdotool search --sync --name "^Graph window application$" >/dev/null
  sleep 1
  import -window root "$1.png"
  convert "$1.png" -depth 8 "rgb:$1"
  identify -format '%w %h' "$1.png"
}

# wine_console_window [TITLE]: the wineconsole window whose title ends in TITLE (a pattern; the program's by default).
wine_console_window() {
  local title=${1:-'primes\.exe'} deadline=$((SECONDS + 60)) window=""
  until window=$(xdotool search --name "$title\$" 2>/dev/null | head -1) && [ -n "$window" ]; do
    [ $SECONDS -lt $deadline ] || fail "no wineconsole window for $title"
    sleep 0.5
  done
  echo "$window"
}

wine_keys() {
  xdotool key --window "$console" "$@" 2>/dev/null || fail "keys $* did not reach the wineconsole window"
  sleep 0.3
}

# The key that ends the program: the console window may close while xdotool is
# still sending it, so a failed send is no failure; the exit code tells.
wine_last_key() { xdotool key --window "$console" "$@" 2>/dev/null || true; }

# wineconsole_exit_code: waits for the wineconsole started by start_wineconsole
# to end and prints its exit code.
wineconsole_exit_code() {
  for _ in $(seq 60); do [ -s "$work/wineconsole.rc" ] && break; sleep 0.5; done
  [ -s "$work/wineconsole.rc" ] || fail "the Windows program did not end"
  cat "$work/wineconsole.rc"
}

start_wineconsole() {
  rm -f "$work/wineconsole.rc"
  (cd "$work" && $wine wineconsole "$exe" >/dev/null 2>&1; echo $? >"$work/wineconsole.rc") &
  console=$(wine_console_window)
  sleep 1
}

# Wine gives keys to its active window: a click on the console makes it so again.
activate_console() {
  xdotool windowraise "$console" || fail "the wineconsole window went away"
  sleep 0.3
  xdotool mousemove --window "$console" 100 100 click 1 2>/dev/null || fail "no click on the wineconsole window"
  sleep 0.3
}

run_windows_checks() {
  echo "-- console text, Linux and Windows"
  linux_text=$(piped_dialogue_text "linux-text-$$" "$linux")
  windows_text=$(piped_dialogue_text "win-text-$$" "$wine $exe")
  echo "$windows_text" | grep -qx "mø prime search<=1646:2 is PRIME!" || fail "no prompt in the ANSI page"
  echo "$windows_text" | grep -qx "LastP=29 NumPtot=10 NumOP=94" || fail "no summary"
  [ "$linux_text" = "$windows_text" ] || fail "console text differs: $(diff <(echo "$linux_text") <(echo "$windows_text"))"

  echo "-- run-time error"
  start_in_pane "win-error-$$" "cd $work && printf 'abc\n' | $wine $exe"
  wait_for_text "Runtime error 106 at \$" 60
  [ "$(exit_code 30)" = 106 ] || fail "exit code is not 106"
  end_pane

  echo "-- the plot, Linux window"
  start_in_pane "linux-plot-$$" "$linux"
  wait_for_text "prime search<=1646:"
  type_keys 10 Enter
  wait_for_text "LastP=29"
  type_keys 0 Enter
  wait_for_text "LastP=-1"
  type_keys q
  wait_for_text "GRAPH errcode=0"
  linux_size=$(screenshot_window "$work/linux-plot.rgb")
  type_keys Enter
  [ "$(exit_code)" = 0 ] || fail "the Linux program did not end with 0"
  end_pane

  echo "-- the plot, Windows window, keys typed into wineconsole"
  start_wineconsole
  wine_keys 1 0 Return
  sleep 1
  wine_keys 0 Return
  sleep 1
  wine_keys q
  windows_size=$(screenshot_window "$work/windows-plot.rgb")
  # shellcheck disable=SC2086
  python3 "$here/compare_plots.py" $linux_size "$work/linux-plot.rgb" $windows_size "$work/windows-plot.rgb" ||
    fail "the windows' plots differ"
  activate_console
  wine_last_key Return
  local code
  code=$(wineconsole_exit_code)
  [ "$code" = 0 ] || fail "the Windows program did not end with 0 (exit $code)"
  if xdotool search --name "^Graph window application$" >/dev/null 2>&1; then fail "the window is still there"; fi

  echo "-- a key stops a long search and starts the next line (wineconsole)"
  start_wineconsole
  wine_keys 3 0 0 0 0 0 0 Return
  sleep 1
  # The 0 stops the search and stays pending: with Return it is the answer 0.
  # Had it been lost, the q below would be read as the answer: error 106.
  wine_keys 0
  sleep 1
  wine_keys Return
  sleep 1
  import -window "$console" "$work/stopped-search.png" 2>/dev/null || true
  wine_keys q  # the key that opens the plot
  timeout 30 xdotool search --sync --name "^Graph window application$" >/dev/null || true
  activate_console
  wine_last_key Return
  code=$(wineconsole_exit_code)
  [ "$code" = 0 ] || fail "the key that stopped the search was not the next line's first key (exit $code)"
}
