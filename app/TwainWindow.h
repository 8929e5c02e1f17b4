// The main window's side of scanning: the TWAIN session it owns, what a scan reads from the window and what
// it hands back, and the source lists of the main window and the settings dialog.
#pragma once

#include <windows.h>

#include <string>

namespace pagorin {

class TfrmMain;
struct ScanSettings;

// FormCreate: loads TWAIN_32.DLL (telling the operator when it is missing) and opens the manager with the
// window as parent.
void OpenTwainManager(TfrmMain& form);
// FormClose: the open source, then the manager.
void CloseTwainSource(TfrmMain& form);
void CloseTwainManager(TfrmMain& form);
// FormCreate: the main window's hidden source list.
void ListTwainSources(TfrmMain& form);
// Start-up timer: the settings dialog's source list, and the first scanner on first use.
void EnumerateScanners(TfrmMain& form);
// The settings dialog's Get Properties: asks the named source and fills the dialog's scan-setting lists.
void QueryScannerCapabilities(TfrmMain& form, const std::string& name);
// btnScanClick's work: the scan settings go to the source, which then feeds its pages on its own.
void ScanPages(TfrmMain& form);
// True from a scan's start until its end.
bool ScanInProgress();
// ApplicationEvents1Message's work, for every message of the main thread.
void CheckTwainEvent(MSG& message);

// What a scan reads from the main window.
ScanSettings ReadScanSettings(TfrmMain& form);

}  // namespace pagorin
