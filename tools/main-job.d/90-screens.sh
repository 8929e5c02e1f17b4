# Main-job step, sourced by tools/main-job.sh: lists the pictures of the five forms that the run took.
# Set by the caller: SCREENS_DIR from the dialogs' step.

echo "screens: pictures of the forms, each taken of the window itself:"
for shot in main-window alert-dialog settings-dialog scanner-chooser about-box; do
  if [ -f "$SCREENS_DIR/$shot.png" ]; then
    echo "screens:   $SCREENS_DIR/$shot.png ($(file -b "$SCREENS_DIR/$shot.png" | cut -d, -f2 | tr -d ' '))"
  else
    echo "screens:   $shot: no picture"
  fi
done
