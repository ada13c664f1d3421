# Shared by the program tests (sourced, not a test of its own): private X servers,
# failures counted, and finding a program's main window. The sourcing script sets
# `work` (a scratch folder) before it uses these.

failures=0
xpids=()

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Starts an X server of the given size on a free display and sets DISPLAY. Without
# -noreset the server resets each time its last client leaves, and a program started
# right then cannot open the display.
start_x() {
  local fd="$work/display.$1x$2"
  Xvfb -displayfd 3 -screen 0 "$1x$2x24" -nolisten tcp -noreset 3>"$fd" 2>/dev/null &
  xpids+=($!)
  for _ in $(seq 400); do
    [ -s "$fd" ] && break
    sleep 0.05
  done
  export DISPLAY=":$(head -n1 "$fd")"
}

stop_x_servers() {
  for p in "${xpids[@]}"; do kill "$p" 2>/dev/null; done
}

# The main window of process $1 (its title begins with "Kovrex - "), or "" once the
# process has ended or no window came.
main_window_of() {
  local id=""
  for _ in $(seq 800); do
    id=$(xdotool search --onlyvisible --pid "$1" --name '^Kovrex - ' 2>/dev/null | head -n1)
    [ -n "$id" ] && break
    kill -0 "$1" 2>/dev/null || break
    sleep 0.05
  done
  echo "$id"
}
