# The dialogue in a real terminal: prompt, prime lines, summary, a key that
# stops a long search, and the terminal back in its normal mode afterwards.
set -euo pipefail
primes=$1
source "$(dirname "$0")/lib.sh"

start_in_pane dialogue-$$ "stty -a > $E2E_DIR/before.txt; $primes; stty -a > $E2E_DIR/after.txt"
wait_for_text "mø prime search<=1646:"
type_keys 10 Enter
wait_for_text "LastP=29 NumPtot=10 NumOP=94"
screen_text | grep -qx "29 is PRIME!" || fail "no prime line for 29"
[ "$(screen_text | grep -c 'prime search<=1646:')" -eq 2 ] || fail "prompt not shown again"

# A long search scrolls; its last lines stay intact.
type_keys 1646 Enter
wait_for_text "LastP=13921 NumPtot=1646 NumOP=1088138" 60
screen_text | grep -qx "13921 is PRIME!" || fail "last prime line missing"

# Answer 0, then Enter for the wait and the final line: with no display the
# graph reports its failure and the program ends.
type_keys 0 Enter
wait_for_text "LastP=-1 NumPtot=0 NumOP=0"
type_keys Enter
code=$(exit_code 30)
diff <(grep -o -- '-echo\|echo\|icanon\|-icanon' "$E2E_DIR/before.txt" | head -3) \
  <(grep -o -- '-echo\|echo\|icanon\|-icanon' "$E2E_DIR/after.txt" | head -3) || fail "terminal mode not restored"
end_pane
echo "dialogue ok (exit $code)"
