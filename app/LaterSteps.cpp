// The steps not yet built: each does nothing until its own unit takes it over (remove it here then).
#include "LaterSteps.h"

#include "DiscEventsWindow.h"

namespace pagorin {

void OpenTwainManager(TfrmMain&) {}
void ListTwainSources(TfrmMain&) {}
void CloseTwainSource(TfrmMain&) {}
void CloseTwainManager(TfrmMain&) {}
void StartTransaction(TfrmMain&) {}
void AddPageNode(TfrmMain&, const std::string&) {}
void DrawCapacityGauge(TfrmMain&, int) {}
bool HotKeyPdfsPending(TfrmMain&) { return false; }
void DeleteHotKeyTransactionFolders(TfrmMain&) {}
// Declared with the disc road's window side; the job flow starts the disc cycle here.
void GoBurning(TfrmMain&) {}

}  // namespace pagorin
