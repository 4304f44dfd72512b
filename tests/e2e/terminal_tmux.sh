#!/usr/bin/env bash
# The dialogue in tmux as TERM=screen and TERM=tmux-256color: the exact last
# screen of a long search, size changes, a stop and fg in an interactive shell,
# the forms of Enter, the locale's encoding, the user's colours, and terminal
# reports that are no keys.
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/lib.sh"
trap end_pane EXIT
term=tmux-256color
run() { start_in_pane "primes-tmux-$$" "env -u DISPLAY TERM=$term LC_ALL=C.UTF-8 $* $program"; }
prompt="mø prime search<=1646:"
summary1646="LastP=13921 NumPtot=1646 NumOP=1088138"

for term in screen tmux-256color; do
  E2E_COLUMNS=80 E2E_ROWS=24 run
  wait_for_text "$prompt"
  type_keys 1646 Enter
  wait_for_text "$summary1646" 30
  sleep 0.2
  screen_is "$(expected_screen 24 1646)"
  end_pane
done

# Shrunk between two searches, then grown: the rows that fit are kept, the
# next search is whole on the small screen and uses the grown one (the line
# being read when it grew still ends in the bounds it started with).
E2E_COLUMNS=100 E2E_ROWS=30 run
wait_for_text "$prompt"
type_keys 5 Enter
wait_for_text "LastP=11 NumPtot=5 NumOP=21"
tmux resize-window -t "$pane_session" -x 60 -y 15
sleep 0.3
type_keys 20 Enter
wait_for_text "LastP=71 NumPtot=20 NumOP=371"
sleep 0.2
screen_is "$(expected_screen 15 5 20)"
tmux resize-window -t "$pane_session" -x 120 -y 40
sleep 0.3
type_keys 10 Enter
wait_for_text "LastP=29 NumPtot=10 NumOP=94"
sleep 0.2
screen_is "$(expected_screen 40 5 20 10 --used 26)"
end_pane

# Shrunk while a long search runs.
E2E_COLUMNS=100 E2E_ROWS=30 run
wait_for_text "$prompt"
type_keys 1646 Enter
sleep 0.05
tmux resize-window -t "$pane_session" -x 60 -y 15
wait_for_text "$summary1646" 30
sleep 0.2
screen_is "$(expected_screen 15 1646)"
end_pane

# Stopped from outside and brought back with fg in an interactive shell.
start_in_pane "primes-tmux-$$" "env -u DISPLAY TERM=$term LC_ALL=C.UTF-8 PS1='$ ' bash --norc -i"
wait_for_text "$"
type_keys "$program" Enter
wait_for_text "$prompt"
kill -TSTP "$(program_pid "$program")"
wait_for_text "Stopped"
type_keys fg Enter
sleep 0.5
type_keys 10 Enter
wait_for_text "LastP=29 NumPtot=10 NumOP=94"
for p in 2 3 5 7 11 13 17 19 23 29; do screen_text | grep -qx "$p is PRIME!" || fail "no line for $p after fg"; done
end_pane

# Keypad Enter ends the line; so does Enter typed before the program set its mode.
run
wait_for_text "$prompt"
type_keys 7 KPEnter
wait_for_text "LastP=17 NumPtot=7 NumOP=41"
end_pane
run
type_keys 5 Enter
wait_for_text "LastP=11 NumPtot=5 NumOP=21"
end_pane

# Terminal reports typed at the prompt are no keys: an X10 and an SGR mouse
# report, an OSC colour reply ended by ST and one by BEL, focus in, a paste's markers.
run
wait_for_text "$prompt"
type_keys -l $'\e[M !!\e[<0;5;7M\e]11;rgb:0000/0000/0000\e\\\e]10;rgb:ffff/ffff/ffff\a\e[I\e[200~\e[201~'
type_keys 7 Enter
wait_for_text "$prompt"7
wait_for_text "LastP=17 NumPtot=7 NumOP=41"
end_pane

# The prompt's second character in the locale's encoding; the default
# attribute in the terminal's own colours.
for locale in en_US.UTF-8:c3b8 en_US.ISO-8859-1:f8 C:3f; do
  start_in_pane "primes-tmux-$$" "env -u DISPLAY TERM=$term LC_ALL=${locale%%:*} $program"
  tmux pipe-pane -o -t "$pane_session" "cat > $E2E_DIR/bytes.out"
  type_keys 3 Enter
  wait_for_text "LastP=5"
  tmux pipe-pane -t "$pane_session"
  bytes=$(od -An -tx1 -v "$E2E_DIR/bytes.out" | tr -d ' \n')
  # The prompt written after the search.
  [[ $bytes == *"6d${locale##*:}207072696d65"* ]] ||
    fail "LC_ALL=${locale%%:*}: the prompt's second character is not ${locale##*:}"
  if [ "${locale%%:*}" = en_US.UTF-8 ]; then
    colours=$(tmux capture-pane -e -p -t "$pane_session" | grep -c $'\e\\[[0-9;]*[34][0-9]' || true)
    [ "$colours" = 0 ] || fail "default-attribute cells drawn in explicit colours: $(tmux capture-pane -e -p -t "$pane_session" | cat -v | head -5)"
  fi
  end_pane
done
echo "terminal in tmux passed"
