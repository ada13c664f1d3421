#!/usr/bin/env bash
# F1 in kovrex_nl and kovrex_en on a private X server: the guide of the program's
# language beside the program goes to a stand-in xdg-open (first on PATH) as its
# one argument; a copy of the program with no guide anywhere shows the warning
# instead and starts nothing. Usage: help_programs.sh kovrex_nl kovrex_en build_dir
set -u
nl=$1
en=$2
build=$3
work=$(mktemp -d)
# shellcheck source=x11_session.bash
source "$(dirname "$0")/x11_session.bash"

cleanup() {
  stop_x_servers
  rm -rf "$work"
}
trap cleanup EXIT

start_x 1600 1200

# The stand-in records its argument count and each argument on a line of its own.
mkdir -p "$work/bin" "$work/cwd"
cat >"$work/bin/xdg-open" <<EOF
#!/bin/sh
{ printf '%s\n' "\$#"; for a in "\$@"; do printf '%s\n' "\$a"; done; } >"$work/args.tmp"
mv "$work/args.tmp" "$work/args"
EOF
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"

# F1 as a user presses it: the pointer over the window (without a window manager
# the keyboard follows the pointer), then the key through the X server.
press_f1() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove $((X + 600)) $((Y + 400))
  sleep 0.2
  xdotool key F1
}

stop() {
  kill "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}

# ---- the guide beside the program is opened ----------------------------------
for variant in "nl|$nl" "en|$en"; do
  IFS='|' read -r lang program <<<"$variant"
  rm -f "$work/args"
  guide="$(cd "$(dirname "$program")" && pwd -P)/help_$lang.html"
  [ -s "$guide" ] || fail "kovrex_$lang: the build put no $guide beside the program"
  (cd "$work/cwd" && exec "$program") >"$work/out.$lang" 2>&1 &
  pid=$!
  win=$(main_window_of "$pid")
  if [ -z "$win" ]; then
    fail "kovrex_$lang: no main window"
    cat "$work/out.$lang"
    stop "$pid"
    continue
  fi
  sleep 1.5
  press_f1 "$win"
  for _ in $(seq 400); do
    [ -e "$work/args" ] && break
    sleep 0.05
  done
  if [ -e "$work/args" ]; then
    expected=$(printf '1\n%s' "$guide")
    [ "$(cat "$work/args")" = "$expected" ] ||
      fail "kovrex_$lang: xdg-open got '$(cat "$work/args")', expected '$expected'"
  else
    fail "kovrex_$lang: F1 did not start xdg-open"
  fi
  stop "$pid"
done

# ---- no guide anywhere: the warning, nothing started -------------------------
mkdir -p "$work/lonely"
cp "$en" "$work/lonely/kovrex_en"
rm -f "$work/args"
(cd "$work/cwd" && exec "$work/lonely/kovrex_en") >"$work/out.lonely" 2>&1 &
pid=$!
win=$(main_window_of "$pid")
if [ -z "$win" ]; then
  fail "lonely kovrex_en: no main window"
  cat "$work/out.lonely"
else
  sleep 1.5
  # Unless the installed guide happens to be there, the program finds none.
  prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:[A-Z]*=//p' "$build/CMakeCache.txt")
  if [ -s "$prefix/share/doc/kovrex/help_en.html" ]; then
    echo "skipped the missing-guide check: an installed guide exists"
  else
    press_f1 "$win"
    box=""
    for _ in $(seq 400); do
      box=$(xdotool search --onlyvisible --pid "$pid" --name '^Kovrex$' 2>/dev/null | head -n1)
      [ -n "$box" ] && break
      sleep 0.05
    done
    [ -n "$box" ] || fail "lonely kovrex_en: no warning for the missing guide"
    [ -e "$work/args" ] && fail "lonely kovrex_en: xdg-open was started without a guide"
  fi
fi
stop "$pid"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all help checks passed"
