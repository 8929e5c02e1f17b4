# Main-job step, sourced by tools/main-job.sh: sets up the device lab that the stand-ins work on, a fresh
# machine each run (bins, discs and trace anew) with a demo scenario of realistic delays, and exports
# PAGORIN_LAB (Windows path, read by the stand-ins) and PAGORIN_LAB_DIR (the same folder seen from Linux).
# Set by the caller: BUILD_DIR, WINEPREFIX.

export PAGORIN_LAB='C:\PagorinLab'
export PAGORIN_LAB_DIR=$WINEPREFIX/drive_c/PagorinLab
mkdir -p "$PAGORIN_LAB_DIR"
rm -rf "$PAGORIN_LAB_DIR/discs" "$PAGORIN_LAB_DIR/devices.ini" "$PAGORIN_LAB_DIR/calls.ini" "$PAGORIN_LAB_DIR/trace.log"
# A scenario edited by hand is kept; only a missing one is written.
if [ ! -f "$PAGORIN_LAB_DIR/scenario.ini" ]; then
  cat > "$PAGORIN_LAB_DIR/scenario.ini" <<'INI'
; Demo lab: one robot with one DVD writer, a mixed input bin, delays like real hardware.
[Robot1]
Name = Lab Autoloader 1
Writers = E
[Writer.E]
Name = E: Lab DVD Writer
[InputBin]
Discs = 6*4:blank, 7:used, 3:used:700, 5:blank:notready=3, 1:blank:700
[Delays]
KTROBOTS20.LoadDrive = 3000
KTROBOTS20.UnloadDrive = 3000
KAVO.DriveCheckDisc = 200
KAVO.WritePerMB = 45
KAVO.Erase = 5000
INI
fi
echo "lab: device lab at $PAGORIN_LAB_DIR (PAGORIN_LAB=$PAGORIN_LAB); scenario:"
sed 's/^/lab:   /' "$PAGORIN_LAB_DIR/scenario.ini"
