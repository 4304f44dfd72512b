# The checks the Windows program must pass under wine; sourced by run.
source "$here/../e2e/lib.sh"

run_windows_checks() {
  start_in_pane win-dialogue-$$ "cd $work && wine $exe"
  wait_for_text "prime search<=1646:" 60
  type_keys 10 Enter
  wait_for_text "LastP=29 NumPtot=10 NumOP=94"
  screen_text | grep -q "^29 is PRIME!" || fail "no prime line for 29"
  type_keys abc Enter
  wait_for_text "Runtime error 106 at \$"
  [ "$(exit_code 30)" = 106 ] || fail "exit code is not 106"
  end_pane
}
