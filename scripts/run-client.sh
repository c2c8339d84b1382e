#!/usr/bin/env bash
# Runs the client under Wine against the loopback exchange simulator, in a
# program folder laid out as the setup tool installs it (client, chat
# control, updater, setup tool, settings files, help): sets the machine up,
# builds the programs and the simulator, starts the simulator and the client.
# With a display the clients run on it until they are closed; without one
# they run under Xvfb for a while and a screenshot is written.
#
#   run-client.sh              one client, the sample user "test"
#   run-client.sh --users 2    two clients side by side, "test" and "peer",
#                              each in its own Wine prefix: double-click the
#                              talk picture of the other's offer to chat
#   run-client.sh --reset      start afresh: the kept prefixes and program
#                              folders are made anew
#
# Each user's prefix is kept between runs, with the program folder in it
# (C:\Tovan), as an installed one is: what the user keeps there (phrase lists
# and tools in Config.ini, chat histories, the resend and watch lists) is
# there next time. Each run replaces the programs that changed, as the
# updater would, and points Config.ini at this run's simulator.
#
#   TOVAN_RUN_SECONDS   how long to run without a display (default 15)
#   TOVAN_RUN_SHOT      where the screenshot goes (default build/client-shot.png)
#   TOVAN_RUN_SIM_LOG   the simulator's message log (default build/exchange-sim.log)
#   TOVAN_RUN_PREFIX    the Wine prefix of the first user, kept between runs
#                       (default ~/.cache/tovan/run-prefix-[wow64-]v<template
#                       version>, one per Wine);
#                       the second user's is the same path with "-peer"
#   TOVAN_NATIVE_BUILD  the simulator's build folder (default build/native)
#   TOVAN_WIN_PRESET    the Windows build's CMake preset: win32 (default, the
#                       i686 release files users install, under the WoW64
#                       Wine) or win64 (their x86_64 twins, under Debian's Wine)
#   TOVAN_WIN_BUILD     its folder (default build/<preset>)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

users=1 reset=0
while (($#)); do
  case "$1" in
    --users) users="${2:-}"; shift 2 || true ;;
    --users=*) users="${1#--users=}"; shift ;;
    --reset) reset=1; shift ;;
    -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    *) echo "run-client: unknown argument $1 (see --help)" >&2; exit 2 ;;
  esac
done
case "$users" in 1|2) ;; *) echo "run-client: --users takes 1 or 2" >&2; exit 2 ;; esac

bash scripts/setup.sh

# The Windows build the demo runs and the Wine that runs it, chosen here
# alone: TOVAN_WIN_PRESET names the CMake preset, TOVAN_WIN_BUILD its folder;
# the i686 presets run under the WoW64 Wine (scripts/wine-env.sh).
win_preset="${TOVAN_WIN_PRESET:-win32}"
. scripts/i686-probe.sh
if [ -z "${TOVAN_WIN_PRESET:-}" ] && ! tovan_runs_i686; then
  echo "run-client: this kernel runs no 32-bit code (IA-32 emulation off); running the x86_64 twins (win64) instead" >&2
  win_preset=win64
fi
win_build="${TOVAN_WIN_BUILD:-build/$win_preset}"
case "$win_preset" in win32*) export TOVAN_WOW64=1 ;; *) export TOVAN_WOW64=0 ;; esac
. scripts/wine-env.sh
native="${TOVAN_NATIVE_BUILD:-build/native}"

seconds="${TOVAN_RUN_SECONDS:-15}"
shot="${TOVAN_RUN_SHOT:-$root/build/client-shot.png}"
sim_log="${TOVAN_RUN_SIM_LOG:-$root/build/exchange-sim.log}"
# One kept prefix per Wine: a prefix made by one Wine is not for the other.
wine_name=""; [ "$TOVAN_WOW64" = 1 ] && wine_name="wow64-"
prefix1="${TOVAN_RUN_PREFIX:-$TOVAN_CACHE/run-prefix-${wine_name}v$TOVAN_WINE_TEMPLATE_VERSION}"
demo_users=(test peer)

cmake --preset native -B "$native" >/dev/null
cmake --build "$native" --target exchange-sim
cmake --preset "$win_preset" -B "$win_build" >/dev/null
cmake --build "$win_build" --target TovanClient Vokar TvUpdate Brivet tovan_help

work="$(mktemp -d "${TMPDIR:-/tmp}/tovan-run.XXXXXX")"
sim_pid="" xvfb_pid="" client_pids=() prefixes=()
cleanup() {
  for p in "${prefixes[@]}"; do WINEPREFIX="$p" "$TOVAN_WINESERVER" -k >/dev/null 2>&1 || true; done
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The simulator on free ports; it prints its ports, then "ready". The chat
# controls ask the address server on its fixed port 4343.
start_simulator() {
  "$native/tools/exchange-sim/exchange-sim" --port 0 --udp-port "$1" --http-port 0 --control-port 0 \
    --log "$sim_log" >"$work/sim.out" 2>"$work/sim.err" &
  sim_pid=$!
  for _ in $(seq 100); do
    grep -q '^ready' "$work/sim.out" 2>/dev/null && return 0
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
  done
  sim_pid=""
  return 1
}
mkdir -p "$(dirname "$sim_log")"
: >"$sim_log"
if ! start_simulator 4343; then
  echo "run-client: UDP port 4343 is taken: the chat controls will not find each other" >&2
  start_simulator 0 || { echo "run-client: the simulator did not start" >&2; cat "$work/sim.err" >&2; exit 1; }
fi
port="$(awk '$1 == "tcp" { print $2 }' "$work/sim.out")"
http="$(awk '$1 == "http" { print $2 }' "$work/sim.out")"
control="$(awk '$1 == "control" { print $2 }' "$work/sim.out")"
echo "run-client: exchange simulator on 127.0.0.1:$port (control port $control), its message log in $sim_log"

# The program folder as the setup tool installs it, brought up to date: the
# programs and the shipped data that changed are replaced, as the updater
# replaces them; the settings file comes once and is the user's from then
# on, but for the server's address, this run's simulator (its web service as
# the site of the web panes).
update_program_folder() {
  local app="$1" b="$win_build" file
  mkdir -p "$app"
  for file in client/TovanClient.exe control/Vokar.ocx updater/TvUpdate.exe setup/Brivet.exe \
              client/area.ini client/TovanClient.chm; do
    [ -f "$b/$file" ] || continue
    cmp -s "$b/$file" "$app/${file##*/}" || cp "$b/$file" "$app/"
  done
  [ -f "$app/Config.ini" ] || cp "$b/client/Config.ini" "$app/"
  sed -i "s/^Name=.*\r\$/Name=127.0.0.1\r/; s/^Port=.*\r\$/Port=$port\r/; s|^Merovan=.*\r\$|Merovan=http://127.0.0.1:$http\r|" \
    "$app/Config.ini"
}

# Each user's prefix is kept between runs, with the program folder in it,
# so that what the client stores survives; the user logs on by itself the
# first time.
user_prefix() { if [ "$1" -eq 1 ]; then echo "$prefix1"; else echo "$prefix1-${demo_users[$1 - 1]}"; fi; }
program_folder() { echo "$1/drive_c/Tovan"; }
prepare_prefix() {
  local p="$1" user="$2"
  [ -d "$p" ] || cp -a "$TOVAN_WINE_TEMPLATE" "$p"
  local dmr="$p/drive_c/windows/dmr.ini"
  [ -f "$dmr" ] || printf '[User]\r\nName=%s\r\nPass=%s\r\nAutoLogon=1\r\n' "$user" "$user" >"$dmr"
}
if [ "$reset" = 1 ]; then
  for i in $(seq "${#demo_users[@]}"); do
    p="$(user_prefix "$i")"
    # Only a Wine prefix: TOVAN_RUN_PREFIX may name any folder.
    [ -f "$p/system.reg" ] || continue
    WINEPREFIX="$p" "$TOVAN_WINESERVER" -k >/dev/null 2>&1 || true
    rm -rf "$p"
    echo "run-client: removed $p"
  done
fi

# Sound for voice chat: the machine's default ALSA device. setup.sh gives
# machines without a sound card a silent default; where a card exists but
# that silent default is in place, the clients get a HOME without it.
client_home="$HOME"
if grep -q '^ *[0-9]' /proc/asound/cards 2>/dev/null; then
  if grep -q 'type null' "$HOME/.asoundrc" 2>/dev/null; then
    client_home="$work/home"; mkdir -p "$client_home"
  fi
  echo "run-client: voice through the default ALSA device"
else
  echo "run-client: no sound card here: voice starts but is silent; text chat works"
fi

# Where the clients go: one maximized on the whole screen, two each in a
# Wine desktop of half the screen, side by side.
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  headless=0
  read -r screen_w screen_h < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2]; exit }')
else
  headless=1
  screen_w=$((1024 * users)); screen_h=768
  fifo="$work/display"; mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${screen_w}x${screen_h}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r n <"$fifo"
  export DISPLAY=":$n"
fi

start_client() {
  local i="$1" user="${demo_users[$1 - 1]}" p app
  p="$(user_prefix "$i")"
  app="$(program_folder "$p")"
  prefixes+=("$p")
  prepare_prefix "$p" "$user"
  update_program_folder "$app"
  local run=("$app/TovanClient.exe")
  if [ "$users" -gt 1 ]; then
    local w=$((screen_w / users))
    run=(explorer "/desktop=tovan-$user,${w}x${screen_h}" 'C:\Tovan\TovanClient.exe')
  fi
  (cd "$app" && HOME="$client_home" TOVAN_KEEP_PREFIX="$p" \
     bash "$root/scripts/wine-run" "${run[@]}") &
  client_pids+=($!)
  echo "run-client: TovanClient.exe as \"$user\" (Wine prefix $p)"
}

for i in $(seq "$users"); do start_client "$i"; done
if [ "$users" -gt 1 ]; then
  # Wine opens every desktop at the top left: put them side by side.
  for i in $(seq 2 "$users"); do
    python3 scripts/place_window.py "tovan-${demo_users[$i - 1]}" $(((i - 1) * screen_w / users)) 0 30 ||
      echo "run-client: could not place the desktop of ${demo_users[$i - 1]}" >&2
  done
fi

if [ "$headless" -eq 0 ]; then
  echo "run-client: on $DISPLAY; close the client windows to end"
  wait "${client_pids[@]}" || true
else
  echo "run-client: no display; under Xvfb $DISPLAY for $seconds s"
  sleep "$seconds"
  mkdir -p "$(dirname "$shot")"
  import -window root "$shot"
  echo "run-client: screenshot $shot"
fi
