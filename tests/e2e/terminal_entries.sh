#!/usr/bin/env bash
# The Linux console, the vt100 and a terminal without cursor addressing: every
# control sequence the program sends is one the terminal's entry defines, and
# a terminal that knows only those sequences shows exactly the last screen of
# a 1646 search.
set -euo pipefail
program=$(realpath "$1")
cd "$(dirname "$0")"
python3 entry_terminal.py "$program" linux
python3 entry_terminal.py "$program" linux 100 30
python3 entry_terminal.py "$program" vt100
python3 entry_terminal.py "$program" dumb
echo "terminal entries passed"
