// Steps of the main window that belong to parts of the program still to come: scanning, transactions,
// PDF compilation and the disc job flow. Each is a named no-op in LaterSteps.cpp until its own
// file provides it; the callers already run them in the right places.
#pragma once

#include <string>

namespace pagorin {

class TfrmMain;

void OpenTwainManager(TfrmMain& form);
void ListTwainSources(TfrmMain& form);
void CloseTwainSource(TfrmMain& form);
void CloseTwainManager(TfrmMain& form);
// Transactions (MainTransactions.cpp): a new one, and a page for the one receiving pages.
void StartTransaction(TfrmMain& form);
void AddPageNode(TfrmMain& form, const std::string& pagePath);
void TryBurnAfterHotKey(TfrmMain& form);
// Starts compiling a new transaction's PDF into `pdfPath` in the first free job slot; the slot's index,
// or -1 when none is free.
int StartTransactionPdf(TfrmMain& form, const std::string& pdfPath);
// True while a hot-key transaction still waits for its PDF.
bool HotKeyPdfsPending(TfrmMain& form);
void DeleteHotKeyTransactionFolders(TfrmMain& form);
void StopPdfJobSlot(TfrmMain& form, int slot);

}  // namespace pagorin
