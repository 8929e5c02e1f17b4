// The steps not yet built: each does nothing until its own unit takes it over (remove it here then).
#include "LaterSteps.h"

#include "DiscEventsWindow.h"

namespace pagorin {

void StartPdfForAppend(TfrmMain&) {}
int StartTransactionPdf(TfrmMain&, const std::string&) { return -1; }
// Declared with the disc road's window side; the job flow starts the disc cycle here.
void GoBurning(TfrmMain&) {}

}  // namespace pagorin
