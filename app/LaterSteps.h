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
void StartTransaction(TfrmMain& form);
void AddPageNode(TfrmMain& form, const std::string& pagePath);
void DrawCapacityGauge(TfrmMain& form, int megabytes);
// True while a hot-key transaction still waits for its PDF.
bool HotKeyPdfsPending(TfrmMain& form);
void DeleteHotKeyTransactionFolders(TfrmMain& form);

}  // namespace pagorin
