# Sourced by the scripts: gives Wine an X display. Uses $DISPLAY when it answers, otherwise
# starts a private Xvfb that goes away with the calling script.
start_private_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return
  fi
  local number
  for number in $(seq 90 120); do
    [ -e "/tmp/.X${number}-lock" ] && continue
    Xvfb ":${number}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":${number}"
    trap 'kill ${XVFB_PID} 2>/dev/null || true' EXIT
    for _ in $(seq 50); do
      xdpyinfo >/dev/null 2>&1 && return
      sleep 0.1
    done
  done
  echo "no X display could be started" >&2
  exit 1
}
