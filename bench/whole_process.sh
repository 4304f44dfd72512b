#!/bin/bash
# The program as whole processes beside its baselines (the search in a
# pseudo-terminal and its processor time, start-up, peak memory), as ratios.
# Usage: bench/whole_process.sh [BUILD_DIR] [RUNS]
set -e
here=$(dirname "$0")
build=${1:-build}
runs=${2:-11}
source "$here/../scripts/deps.sh"
need_packages time python3 locales
for program in "$build/primes" "$build/bench/baseline_search" "$build/bench/baseline_hello"; do
  [ -x "$program" ] || { echo "missing $program: build it first (cmake --build $build)" >&2; exit 1; }
done
# A display of its own for the start-up with one, when Xvfb is there.
if command -v Xvfb >/dev/null; then
  source "$here/../tests/support/xvfb.sh"
  start_xvfb 1280x1024x24
  trap 'kill $xvfb_pid' EXIT
  export BENCH_DISPLAY=$DISPLAY
  unset DISPLAY
fi
python3 "$here/whole_process.py" "$build" "$runs"
