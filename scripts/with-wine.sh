#!/usr/bin/env bash
# Runs a command inside a private Wine session: its own Xvfb display (or the
# user's display with BQ_USE_DISPLAY=1), its own Wine prefix under build/, and
# one Wine server kept alive for the whole run. The server and the display
# that this script started are stopped by their process ids at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

export WINEPREFIX="${BQ_WINEPREFIX:-$root/build/wine/prefix}"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=""
server_pid=""
keeper_pid=""
cleanup() {
  if [ -n "$keeper_pid" ]; then
    exec 8>&-
    kill "$keeper_pid" 2>/dev/null || true
  fi
  if [ -n "$server_pid" ]; then
    wineserver -k 2>/dev/null || true
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT INT TERM

if [ "${BQ_USE_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
  mkdir -p "$root/build/wine"
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$number_file" ] && break
    sleep 0.1
  done
  [ -s "$number_file" ] || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n1 "$number_file")"
  rm -f "$number_file"
fi

# A fresh prefix for every run, so no state of an earlier run leaks in;
# BQ_REUSE_PREFIX=1 keeps one that is already there (for `make run`).
if [ "${BQ_REUSE_PREFIX:-0}" != 1 ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
  rm -rf "$WINEPREFIX"
fi
mkdir -p "$WINEPREFIX"
wineserver -f -p &
server_pid=$!
wineboot -i >/dev/null 2>&1

# Wine stops its service processes and the desktop a few seconds after the last
# program ends, and a program that starts while they go down can wait forever.
# One idle program (cmd reading a pipe that stays open) keeps them up.
keeper_fifo="$(dirname "$WINEPREFIX")/keeper.$$"
rm -f "$keeper_fifo"
mkfifo "$keeper_fifo"
wine cmd.exe <"$keeper_fifo" >/dev/null 2>&1 &
keeper_pid=$!
exec 8>"$keeper_fifo"
rm -f "$keeper_fifo"

"$@"
