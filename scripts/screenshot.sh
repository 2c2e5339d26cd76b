#!/bin/bash
# Writes docs/screenshot.png: the real Tovmira window after a query, on a virtual X display.
#
#   scripts/screenshot.sh [BUILD_DIR] [OUTPUT_PNG]      (defaults: build, docs/screenshot.png)
#
# The program always asks the real fund-data service, so the picture is taken by a small driver
# (scripts/screenshot_driver.cpp) that builds the same main window pointed at the tests' fake
# fund service on 127.0.0.1, types a fund code, presses 查询 and waits for the query to end.
# The picture is then taken from the X server's screen with ImageMagick's `import` and cut to
# the window; without `import` the driver's own grab of the window is used.
# Needs Xvfb (package xvfb); `make screenshot` installs it and ImageMagick.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
output=$(realpath -m "${2:-$root/docs/screenshot.png}")
fund_code=${TOVMIRA_SCREENSHOT_CODE:-110022}

die() { echo "screenshot: $*" >&2; exit 1; }
command -v Xvfb >/dev/null || die "Xvfb is not installed (apt-get install xvfb)"

[ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja
if ! cmake --build "$build" --target tovmira_screenshot_driver; then
  die "cannot build tovmira_screenshot_driver (it needs app/ and testing/fake_fund_service.h)"
fi
driver=$build/tovmira_screenshot_driver

work=$(mktemp -d)
xvfb_pid=
driver_pid=
cleanup() {
  [ -n "$driver_pid" ] && kill "$driver_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number to the given descriptor.
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; die "Xvfb did not start"; }
  sleep 0.1
done
[ -s "$work/display" ] || die "Xvfb gave no display number"
export DISPLAY=:$(head -1 "$work/display")

# xcb, not offscreen: the window is drawn by a real X server with the system's fonts, as on a
# desktop. The driver writes the window's geometry once the query has ended and then waits.
QT_QPA_PLATFORM=xcb LANG=C.UTF-8 LC_ALL=C.UTF-8 \
  "$driver" --code "$fund_code" --grab "$work/grab.png" --ready "$work/geometry" \
  >"$work/driver.log" 2>&1 &
driver_pid=$!
for _ in $(seq 600); do
  [ -s "$work/geometry" ] && break
  kill -0 "$driver_pid" 2>/dev/null || { cat "$work/driver.log" >&2; die "the driver ended early"; }
  sleep 0.1
done
[ -s "$work/geometry" ] || { cat "$work/driver.log" >&2; die "the query did not finish within a minute"; }
geometry=$(head -1 "$work/geometry")  # WIDTHxHEIGHT+X+Y of the window on the screen

mkdir -p "$(dirname "$output")"
if command -v import >/dev/null && import -window root -crop "$geometry" +repage "$work/screen.png" 2>"$work/import.log"; then
  # -strip: no timestamps in the file, so an unchanged window gives an unchanged PNG.
  convert "$work/screen.png" -strip "$output"
  how="import -window root, cut to $geometry"
else
  [ -s "$work/import.log" ] && cat "$work/import.log" >&2
  cp "$work/grab.png" "$output"
  how="the window's own grab (ImageMagick's import is not installed)"
fi
sed -n 's/^status: /status line: /p' "$work/driver.log"
echo "wrote $output ($how)"
