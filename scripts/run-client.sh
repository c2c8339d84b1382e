#!/usr/bin/env bash
# Runs TovanClient.exe under Wine against the loopback exchange simulator:
# sets the machine up, builds the client (win64) and the simulator (native),
# starts the simulator and the client. With a display the client runs on it
# until it is closed; without one it runs under Xvfb for a while and a
# screenshot is written.
#   TOVAN_RUN_SECONDS   how long to run without a display (default 15)
#   TOVAN_RUN_SHOT      where the screenshot goes (default build/client-shot.png)
#   TOVAN_NATIVE_BUILD, TOVAN_WIN64_BUILD  build folders (default build/native, build/win64)
#   TOVAN_RUN_PREFIX    the Wine prefix kept between runs (default
#                       ~/.cache/tovan/run-prefix-v<template version>)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/setup.sh
. scripts/wine-env.sh
native="${TOVAN_NATIVE_BUILD:-build/native}"
win64="${TOVAN_WIN64_BUILD:-build/win64}"
seconds="${TOVAN_RUN_SECONDS:-15}"
shot="${TOVAN_RUN_SHOT:-$root/build/client-shot.png}"

cmake --preset native -B "$native" >/dev/null
cmake --build "$native" --target exchange-sim
cmake --preset win64 -B "$win64" >/dev/null
cmake --build "$win64" --target TovanClient

work="$(mktemp -d "${TMPDIR:-/tmp}/tovan-run.XXXXXX")"
prefix="${TOVAN_RUN_PREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/tovan/run-prefix-v$TOVAN_WINE_TEMPLATE_VERSION}"
sim_pid="" xvfb_pid="" client_pid=""
cleanup() {
  [ -n "$client_pid" ] && WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The simulator on a free port; it prints its ports, then "ready".
"$native/tools/exchange-sim/exchange-sim" --port 0 --udp-port 0 --http-port 0 --control-port 0 \
  >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do grep -q '^ready' "$work/sim.out" 2>/dev/null && break; sleep 0.1; done
port="$(awk '$1 == "tcp" { print $2 }' "$work/sim.out")"
[ -n "$port" ] || { echo "run-client: the simulator did not start" >&2; cat "$work/sim.err" >&2; exit 1; }
echo "run-client: exchange simulator on 127.0.0.1:$port"

http="$(awk '$1 == "http" { print $2 }' "$work/sim.out")"

# The program folder: the client, its help and the shipped Config.ini (phrase
# lists and all), pointed at the simulator (its web service as the site of
# the web panes).
mkdir "$work/app"
cp "$win64/client/TovanClient.exe" "$win64/client/area.ini" "$win64/client/Config.ini" "$work/app/"
[ -f "$win64/client/TovanClient.chm" ] && cp "$win64/client/TovanClient.chm" "$work/app/"
sed -i "s/^Name=.*\r\$/Name=127.0.0.1\r/; s/^Port=.*\r\$/Port=$port\r/; s|^Merovan=.*\r\$|Merovan=http://127.0.0.1:$http\r|" \
  "$work/app/Config.ini"

# A prefix kept between runs, so that what the client stores survives. The
# sample user logs on by itself the first time.
[ -d "$prefix" ] || cp -a "$TOVAN_WINE_TEMPLATE" "$prefix"
dmr="$prefix/drive_c/windows/dmr.ini"
[ -f "$dmr" ] || printf '[User]\r\nName=test\r\nPass=test\r\nAutoLogon=1\r\n' >"$dmr"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "run-client: TovanClient.exe on $DISPLAY; close its window to end"
  (cd "$work/app" && TOVAN_KEEP_PREFIX="$prefix" \
     bash "$root/scripts/wine-run" "$work/app/TovanClient.exe")
else
  fifo="$work/display"; mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r n <"$fifo"
  export DISPLAY=":$n"
  echo "run-client: no display; TovanClient.exe under Xvfb $DISPLAY for $seconds s"
  (cd "$work/app" && TOVAN_KEEP_PREFIX="$prefix" \
     bash "$root/scripts/wine-run" "$work/app/TovanClient.exe") &
  client_pid=$!
  sleep "$seconds"
  mkdir -p "$(dirname "$shot")"
  import -window root "$shot"
  echo "run-client: screenshot $shot"
fi
