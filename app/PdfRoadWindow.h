// The main window's side of the PDF road: starting a transaction's PDF, feeding the slots from the PDF
// timer and applying what they made to the tree, freeing a slot, and the PDF threads' call for an early
// look of the PDF timer.
#pragma once

#include <string>

namespace pagorin {

class TfrmMain;

// Starts compiling a new transaction's PDF into `pdfPath` in the first free job slot; the slot's index,
// or -1 when none is free.
int StartTransactionPdf(TfrmMain& form, const std::string& pdfPath);
// Compiles the PDF again for a transaction that had one before pages were added.
void StartPdfForAppend(TfrmMain& form);
// One tick of the PDF timer.
void FeedPdfJobs(TfrmMain& form);
// Frees the slot (its thread stopped and joined, never terminated); PdfRunning follows.
void StopPdfJobSlot(TfrmMain& form, int slot);
// Called on a PDF thread that moved its slot on: the PDF timer ticks at once instead of at its next interval.
void PdfSlotChanged(TfrmMain& form);

}  // namespace pagorin
