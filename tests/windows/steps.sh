# The checks the Windows program must pass under wine; sourced by run. Wine's
# console in a terminal shows the program's cells but delivers no key events,
# so the answers come through a pipe (the terminal's redirected input).
source "$here/../e2e/lib.sh"

run_windows_checks() {
  start_in_pane win-dialogue-$$ "cd $work && printf '10\n0\n' | wine $exe"
  wait_for_text "mø prime search<=1646:" 60
  wait_for_text "LastP=29 NumPtot=10 NumOP=94"
  screen_text | grep -q "^29 is PRIME!" || fail "no prime line for 29"
  [ "$(exit_code 60)" = 0 ] || fail "exit code is not 0"
  end_pane
  start_in_pane win-error-$$ "cd $work && printf 'abc\n' | wine $exe"
  wait_for_text "Runtime error 106 at \$" 60
  [ "$(exit_code 30)" = 106 ] || fail "exit code is not 106"
  end_pane
}
