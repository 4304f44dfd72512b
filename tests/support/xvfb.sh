# start_xvfb SCREEN (e.g. 1024x768x24): starts an Xvfb on a display it finds
# free itself and reports through -displayfd, exports DISPLAY and sets
# xvfb_pid. A taken display number can then never send us to someone else's
# server.
start_xvfb() {
  local ready
  ready=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
  xvfb_pid=$!
  local deadline=$((SECONDS + 30))
  until grep -q '^[0-9]\+$' "$ready"; do
    if ! kill -0 "$xvfb_pid" 2>/dev/null || [ $SECONDS -ge $deadline ]; then
      rm -f "$ready"
      echo "FAIL: Xvfb did not start" >&2
      return 1
    fi
    sleep 0.05
  done
  export DISPLAY=":$(head -1 "$ready")"
  rm -f "$ready"
}
