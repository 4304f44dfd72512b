# What a script's answers give, read from a pipe or a file: one case per line,
# the input as printf's escapes, then the summaries in order. The end of the
# input, or the answer 0, gives the empty search's summary.
# shellcheck shell=bash

empty_search='LastP=-1 NumPtot=0 NumOP=0'

redirected_answer_cases() {
  cat <<TABLE
10\n0\n\n|LastP=29 NumPtot=10 NumOP=94|$empty_search
100\n|LastP=541 NumPtot=100 NumOP=8141|$empty_search
7|LastP=17 NumPtot=7 NumOP=41|$empty_search
5\r3\r0\r|LastP=11 NumPtot=5 NumOP=21|LastP=5 NumPtot=3 NumOP=6|$empty_search
TABLE
}

# The answers of a writer that pauses between them, and what they give.
pausing_writer() { echo 100; sleep 1; echo 50; echo 0; }
pausing_writer_summaries="LastP=541 NumPtot=100 NumOP=8141|LastP=229 NumPtot=50 NumOP=2209|$empty_search"

# The summaries in an output file, joined by "|".
search_summaries() { grep -ao 'LastP=[-0-9]* NumPtot=[0-9]* NumOP=[0-9]*' "$1" | paste -sd '|'; }
