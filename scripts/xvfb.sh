# Sourced by the scripts: start_xvfb starts a private Xvfb on a free display
# number and exports DISPLAY; stop_xvfb stops exactly that server by its PID.
VD_XVFB_PID=""

start_xvfb() {
  local n
  for n in $(seq 90 140); do
    if [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; then continue; fi
    Xvfb ":${n}" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    VD_XVFB_PID=$!
    local tries
    for tries in $(seq 1 100); do
      if xdpyinfo -display ":${n}" >/dev/null 2>&1; then
        export DISPLAY=":${n}"
        return 0
      fi
      if ! kill -0 "$VD_XVFB_PID" 2>/dev/null; then break; fi
      sleep 0.1
    done
    kill "$VD_XVFB_PID" 2>/dev/null || true
    wait "$VD_XVFB_PID" 2>/dev/null || true
    VD_XVFB_PID=""
  done
  echo "xvfb: no free display could be started" >&2
  return 1
}

stop_xvfb() {
  if [ -n "$VD_XVFB_PID" ]; then
    kill "$VD_XVFB_PID" 2>/dev/null || true
    wait "$VD_XVFB_PID" 2>/dev/null || true
    VD_XVFB_PID=""
  fi
}
