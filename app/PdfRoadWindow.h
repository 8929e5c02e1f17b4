// The main window's side of the PDF road: freeing a slot, and the PDF threads' call for an early look of the
// PDF timer.
#pragma once

namespace pagorin {

class TfrmMain;

// Frees the slot (its thread stopped and joined, never terminated); PdfRunning follows.
void StopPdfJobSlot(TfrmMain& form, int slot);
// Called on a PDF thread that moved its slot on: the PDF timer ticks at once instead of at its next interval.
void PdfSlotChanged(TfrmMain& form);

}  // namespace pagorin
