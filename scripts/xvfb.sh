# Sourced by the scripts: start_xvfb starts a private Xvfb and exports
# DISPLAY; stop_xvfb stops exactly that server by its PID.
VD_XVFB_PID=""

# start_xvfb [WxHxD]: the screen size and depth, 1024x768x24 unless given.
# The server takes the first free display number itself and writes it to
# the descriptor -displayfd names once it listens, so servers started at the
# same moment (by stages that run side by side, or by other checkouts on the
# same machine) never pick the same number.
start_xvfb() {
  local screen="${1:-1024x768x24}" number_file n tries
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$number_file" >/dev/null 2>&1 &
  VD_XVFB_PID=$!
  for tries in $(seq 1 100); do
    n=$(head -n 1 "$number_file")
    # The line is written whole, ending in a line break, once the server listens.
    if [ "$(wc -l <"$number_file")" -ge 1 ] && [[ "$n" =~ ^[0-9]+$ ]] &&
      xdpyinfo -display ":$n" >/dev/null 2>&1; then
      rm -f "$number_file"
      export DISPLAY=":$n"
      return 0
    fi
    if ! kill -0 "$VD_XVFB_PID" 2>/dev/null; then break; fi
    sleep 0.1
  done
  rm -f "$number_file"
  stop_xvfb
  echo "xvfb: no X server could be started (screen $screen)" >&2
  return 1
}

stop_xvfb() {
  if [ -n "$VD_XVFB_PID" ]; then
    kill "$VD_XVFB_PID" 2>/dev/null || true
    wait "$VD_XVFB_PID" 2>/dev/null || true
    VD_XVFB_PID=""
  fi
}
