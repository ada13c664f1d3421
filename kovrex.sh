#!/usr/bin/env bash
# Set-up, build and run of Kovrex on Debian 12.
#   ./kovrex.sh run    install what is missing, build, start kovrex_en
#   ./kovrex.sh test   install what is missing, build, run every test (GUI tests under Xvfb)
set -euo pipefail
cd "$(dirname "$0")"

packages=(build-essential cmake pkg-config libgtk-3-dev libx11-dev libpng-dev
          googletest libgtest-dev libgmock-dev libbenchmark-dev
          xvfb xauth locales python3 xdotool imagemagick)
# Only the tests need these: the readers that check the exported DXF (ezdxf,
# shapely), STL (admesh) and STEP (OpenCASCADE) files.
test_packages=(python3-ezdxf python3-shapely admesh
               libocct-data-exchange-dev libocct-modeling-algorithms-dev
               libocct-modeling-data-dev libocct-foundation-dev)

install_packages() {
  local missing=()
  for p in "${packages[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
  # A decimal-comma locale, to prove that numbers never follow the desktop's locale.
  if ! locale -a 2>/dev/null | grep -qi '^nl_NL\.utf-\?8$'; then
    $sudo sed -i 's/^# *nl_NL.UTF-8 UTF-8/nl_NL.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^nl_NL.UTF-8 UTF-8' /etc/locale.gen || echo 'nl_NL.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
  fi
}

build() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j"$(nproc)"
}

case "${1:-}" in
  run)
    install_packages
    build
    exec ./build/kovrex_en "${@:2}"
    ;;
  test)
    install_packages "${test_packages[@]}"
    build
    xvfb-run -a -s "-screen 0 1600x1200x24 -noreset" ctest --test-dir build --output-on-failure -j"$(nproc)"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
