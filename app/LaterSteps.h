// Steps of the main window that belong to parts of the program still to come: transactions,
// PDF compilation and the disc job flow. Each is a named no-op in LaterSteps.cpp until its own
// file provides it; the callers already run them in the right places.
#pragma once

#include <string>

namespace pagorin {

class TfrmMain;

// Transactions (MainTransactions.cpp): a new one, and a page for the one receiving pages.
void StartTransaction(TfrmMain& form);
void AddPageNode(TfrmMain& form, const std::string& pagePath);
// The transaction receiving the scanned pages, as scanning needs it (an empty name without one).
struct ScanTransaction {
    std::string Name;  // its folder in the queue folder
    bool HasPages = false;
    int CompiledPdf = 0;  // the Compiled PDF option it was started with
};
ScanTransaction CurrentScanTransaction(TfrmMain& form);
// Checks the current transaction's node.
void CheckCurrentTransaction(TfrmMain& form);
// Removes the current transaction, which holds no page: its node, its folder and its PDF slot.
void DropEmptyTransaction(TfrmMain& form);
// Compiles the PDF again for a transaction that had one before pages were added.
void StartPdfForAppend(TfrmMain& form);
// Starts compiling a new transaction's PDF into `pdfPath` in the first free job slot; the slot's index,
// or -1 when none is free.
int StartTransactionPdf(TfrmMain& form, const std::string& pdfPath);
// True while a hot-key transaction still waits for its PDF.
bool HotKeyPdfsPending(TfrmMain& form);
void DeleteHotKeyTransactionFolders(TfrmMain& form);

}  // namespace pagorin
