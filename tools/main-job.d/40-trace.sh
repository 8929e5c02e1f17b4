# Main-job step, sourced by tools/main-job.sh: the lab's trace in short, the calls that move discs or write
# them, in order, with their arguments and results (repeats counted); the full trace stays in the lab.
# Set by the caller: PAGORIN_LAB_DIR from the lab step.

trace=$PAGORIN_LAB_DIR/trace.log
echo "trace: robot and burner calls of this run, in short (full trace: $trace):"
if [ ! -s "$trace" ]; then
  echo "trace:   none"
else
  tr -d '\r' <"$trace" | awk -F'\t' '
    $1 == "KTROBOTS20" && $2 ~ /^(Init|Connect|Active|EnumDrives|LockDriver|UnLockDriver|LoadDrive|UnloadDrive|EJECT|LOAD|Park|Close)$/ ||
    $1 == "KAVO" && $2 ~ /^(Create|DriveCheckDisc|DiscGetMediumType|DiscIsEmpty|CreateEraseProject|ProjectWrite|ProjectVerifyWrite)$/ {
      line = sprintf("%-10s %s(%s) = %s", $1, $2, $3, $4)
      if (line == last) { repeats++; next }
      if (last != "") print last (repeats ? "  (" repeats + 1 " times)" : "")
      last = line; repeats = 0
    }
    END { if (last != "") print last (repeats ? "  (" repeats + 1 " times)" : "") }' | sed 's/^/trace:   /'
fi
