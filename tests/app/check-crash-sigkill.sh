#!/usr/bin/env bash
# The crash loop with the kill done from Linux: the driver (pagorin_crash_tests.exe) asks through a request
# file naming its run's lab, and this script sends SIGKILL to the Wine process of Pagorin.exe whose
# environment holds exactly that lab, never to a process found by its name alone. Runs
# PAGORIN_CRASH_RUNS runs (default 1) from PAGORIN_CRASH_SEED (default: the clock), as the driver does.
set -euo pipefail
build=$1
name=pagorin-crash-kill-$$
dir=$build/wineprefix/drive_c/$name
mkdir -p "$dir"
trap 'rm -rf "$dir"' EXIT
export PAGORIN_CRASH_RUNS=${PAGORIN_CRASH_RUNS:-1}

# This run's Pagorin processes: their environment names the lab and their command line the program.
kill_run() {
  local lab=$1 killed=0 env pid
  for env in /proc/[0-9]*/environ; do
    pid=${env#/proc/}
    pid=${pid%/environ}
    tr '\0' '\n' <"$env" 2>/dev/null | grep -qxF "PAGORIN_LAB=$lab" || continue
    tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qi 'pagorin\.exe' || continue
    kill -KILL "$pid" 2>/dev/null && killed=$((killed + 1))
  done
  echo "SIGKILL sent to $killed process(es) of the lab $lab"
}

PAGORIN_CRASH_KILL_DIR="C:\\$name" "$build/wine-run" "$build/bin/pagorin_crash_tests.exe" &
driver=$!
while kill -0 "$driver" 2>/dev/null; do
  if [ -f "$dir/kill.request" ]; then
    kill_run "$(cat "$dir/kill.request")"
    rm -f "$dir/kill.request"
  fi
  sleep 0.1
done
wait "$driver"
