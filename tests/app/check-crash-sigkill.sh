#!/usr/bin/env bash
# The crash loop with the kill done from Linux: the driver (pagorin_crash_tests.exe) asks through a request
# file, and this script sends SIGKILL to the Wine processes of Pagorin.exe that carry this script's own mark
# in their Linux environment (PAGORIN_CRASH_KILL_DIR, unique to this invocation and inherited by every
# program the driver starts; a variable the driver sets on the Windows side does not reach /proc), never to
# a process found by its name alone. Runs PAGORIN_CRASH_RUNS runs (default 2) from PAGORIN_CRASH_SEED
# (default: the clock), as the driver does.
set -euo pipefail
build=$1
name=pagorin-crash-kill-$$
dir=$("$build/wine-run" winepath.exe -u "C:\\$name" | tr -d '\r')
mkdir -p "$dir"
trap 'rm -rf "$dir"' EXIT
export PAGORIN_CRASH_RUNS=${PAGORIN_CRASH_RUNS:-2}

# The driver's Pagorin processes: their environment holds the mark and their command line the program.
kill_run() {
  local killed=0 env pid
  # One grep reads every environment: a process each per candidate is slow on a busy machine.
  for env in $(grep -lzxF "PAGORIN_CRASH_KILL_DIR=$mark" /proc/[0-9]*/environ 2>/dev/null); do
    pid=${env#/proc/}
    pid=${pid%/environ}
    { tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qiE '\\pagorin\.exe( |$)'; } 2>/dev/null || continue
    kill -KILL "$pid" 2>/dev/null && killed=$((killed + 1))
  done
  echo "SIGKILL sent to $killed Pagorin process(es) of the run in the lab $1"
}

mark="C:\\$name"
PAGORIN_CRASH_KILL_DIR=$mark "$build/wine-run" "$build/bin/pagorin_crash_tests.exe" \
  --gtest_filter=PagorinCrash.KilledAtRandomPointsOfBothRoadsLosesNoPage &
driver=$!
while kill -0 "$driver" 2>/dev/null; do
  if [ -f "$dir/kill.request" ]; then
    kill_run "$(cat "$dir/kill.request")"
    rm -f "$dir/kill.request"
  fi
  sleep 0.1
done
wait "$driver"
