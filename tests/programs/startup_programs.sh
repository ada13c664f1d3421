#!/usr/bin/env bash
# Starts kovrex_nl and kovrex_en on private X servers: the title at start-up, a
# screenshot probed at a few pixels (kept in the build folder), closing through the
# window manager's close request with exit code 0, a directory or an empty file as
# the first argument ignored without a message, a project file opened at start-up
# with its name in the title, and the window height on a screen
# 700 pixels high. Usage: startup_programs.sh kovrex_nl kovrex_en build_dir
set -u
nl=$1
en=$2
build=$3
artefacts="$build/test-artefacts"
mkdir -p "$artefacts"
work=$(mktemp -d)
# shellcheck source=x11_session.bash
source "$(dirname "$0")/x11_session.bash"

cleanup() {
  stop_x_servers
  rm -rf "$work"
}
trap cleanup EXIT

# What the close button of a window manager sends: WM_DELETE_WINDOW.
request_close() {
  python3 - "$1" <<'EOF'
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]
class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.POINTER(Event)]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
d = x.XOpenDisplay(None)
e = Event()
e.xclient.type = 33  # ClientMessage
e.xclient.window = int(sys.argv[1])
e.xclient.message_type = x.XInternAtom(d, b"WM_PROTOCOLS", 0)
e.xclient.format = 32
e.xclient.data[0] = x.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
x.XSendEvent(d, int(sys.argv[1]), 0, 0, ctypes.byref(e))
x.XFlush(d)
x.XCloseDisplay(d)
EOF
}

# Closes window $2 of process $1 and checks that the program ends with exit code 0.
close_and_check_exit() {
  request_close "$2"
  for _ in $(seq 800); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$1" 2>/dev/null; then
    fail "$3: still running after the close request"
    kill "$1"
  fi
  wait "$1"
  local rc=$?
  [ "$rc" -eq 0 ] || fail "$3: exit code $rc"
}

pixel() {  # file x y -> "r,g,b"
  convert "$1" -format '%[fx:int(255*p{'"$2"','"$3"'}.r)],%[fx:int(255*p{'"$2"','"$3"'}.g)],%[fx:int(255*p{'"$2"','"$3"'}.b)]' info:
}

# ---- each program at start-up ------------------------------------------------
start_x 1600 1200
for variant in "nl|$nl|nieuw project" "en|$en|new project"; do
  IFS='|' read -r lang program project <<<"$variant"
  "$program" >"$work/out.$lang" 2>&1 &
  pid=$!
  win=$(main_window_of "$pid")
  if [ -z "$win" ]; then
    fail "kovrex_$lang: no main window"
    cat "$work/out.$lang"
    kill "$pid" 2>/dev/null
    continue
  fi
  title=$(xdotool getwindowname "$win")
  expected="Kovrex - $project   (ISO 53 / DIN 867 / DIN 3960)"
  [ "$title" = "$expected" ] || fail "kovrex_$lang: title '$title', expected '$expected'"

  sleep 1.5  # let the first frame be drawn
  shot="$artefacts/startup_$lang.png"
  import -window root "$shot"
  eval "$(xdotool getwindowgeometry --shell "$win")"  # X, Y, WIDTH, HEIGHT
  [ "$WIDTH" -eq 1280 ] || fail "kovrex_$lang: window width $WIDTH"
  background=$(pixel "$shot" $((X + 2)) $((Y + 2)))  # corner of the input column
  outside=$(pixel "$shot" $((X + WIDTH + 20)) $((Y + 100)))
  [ "$outside" = "0,0,0" ] || fail "kovrex_$lang: the window is wider than 1280 pixels ($outside)"
  [ "$background" != "0,0,0" ] || fail "kovrex_$lang: nothing drawn at the window corner"
  # The canvas fills the right part of the window and is not the window's background.
  for p in "1000 300" "1200 $((HEIGHT / 2))" "700 $((HEIGHT - 40))"; do
    read -r px py <<<"$p"
    c=$(pixel "$shot" $((X + px)) $((Y + py)))
    { [ "$c" != "0,0,0" ] && [ "$c" != "$background" ]; } || fail "kovrex_$lang: no canvas at $px,$py ($c)"
  done
  # The input column holds text: many colours from anti-aliased glyphs.
  colours=$(convert "$shot" -crop "400x300+$X+$Y" -format '%k' info:)
  [ "$colours" -gt 20 ] || fail "kovrex_$lang: the input column looks blank ($colours colours)"

  close_and_check_exit "$pid" "$win" "kovrex_$lang"
  if [ -s "$work/out.$lang" ]; then
    echo "kovrex_$lang wrote:"
    cat "$work/out.$lang"
  fi
done

# ---- a directory or an empty file as the project is ignored without a message -
mkdir -p "$work/folder.tdw"
: >"$work/empty.tdw"
for argument in "$work/folder.tdw" "$work/empty.tdw"; do
  "$en" "$argument" >"$work/out.argument" 2>&1 &
  pid=$!
  win=$(main_window_of "$pid")
  if [ -z "$win" ]; then
    fail "kovrex_en $argument: no main window"
    cat "$work/out.argument"
    kill "$pid" 2>/dev/null
    continue
  fi
  sleep 1.5  # a message box would be up by now
  title=$(xdotool getwindowname "$win")
  [ "$title" = "Kovrex - new project   (ISO 53 / DIN 867 / DIN 3960)" ] ||
    fail "kovrex_en $argument: title '$title'"
  # Every window the program shows has a title; a message box would be a second one.
  windows=$(xdotool search --onlyvisible --pid "$pid" --name '.' 2>/dev/null | wc -l)
  [ "$windows" -eq 1 ] || fail "kovrex_en $argument: $windows windows shown (a message?)"
  close_and_check_exit "$pid" "$win" "kovrex_en $argument"
done

# ---- a project named on the command line is opened at start-up ----------------
cp "$(dirname "$0")/../golden/startup.tdw" "$work/my gears.tdw"
"$en" "$work/my gears.tdw" >"$work/out.project" 2>&1 &
pid=$!
win=$(main_window_of "$pid")
if [ -z "$win" ]; then
  fail "kovrex_en with a project: no main window"
  cat "$work/out.project"
  kill "$pid" 2>/dev/null
else
  want="Kovrex - my gears.tdw   (ISO 53 / DIN 867 / DIN 3960)"
  for _ in $(seq 400); do  # the title follows once the project has been read
    title=$(xdotool getwindowname "$win")
    [ "$title" = "$want" ] && break
    sleep 0.05
  done
  [ "$title" = "$want" ] ||
    fail "kovrex_en with a project: title '$title'"
  close_and_check_exit "$pid" "$win" "kovrex_en with a project"
fi

# ---- a screen 700 pixels high gives a window of 700 - 80 pixels ----------------
start_x 1280 700
"$en" >"$work/out.700" 2>&1 &
pid=$!
win=$(main_window_of "$pid")
if [ -z "$win" ]; then
  fail "kovrex_en on 1280x700: no main window"
  cat "$work/out.700"
  kill "$pid" 2>/dev/null
else
  for _ in $(seq 400); do  # the size settles after the first layout
    eval "$(xdotool getwindowgeometry --shell "$win")"
    [ "$WIDTH" -eq 1280 ] && [ "$HEIGHT" -eq 620 ] && break
    sleep 0.05
  done
  [ "$WIDTH" -eq 1280 ] && [ "$HEIGHT" -eq 620 ] || fail "kovrex_en on 1280x700: window ${WIDTH}x${HEIGHT}"
  import -window root "$artefacts/startup_en_700.png"
  close_and_check_exit "$pid" "$win" "kovrex_en on 1280x700"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s); screenshots in $artefacts"
  exit 1
fi
echo "all start-up checks passed; screenshots in $artefacts"
