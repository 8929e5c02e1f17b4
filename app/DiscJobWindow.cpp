// The main window's side of disc job preparation.
#include "DiscJobWindow.h"

#include "Alert.h"
#include "DiscEventsWindow.h"
#include "DiscJob.h"
#include "Main.h"

namespace pagorin {

void TryBurnAfterHotKey(TfrmMain& form)
{
    HotKeyBurnInputs inputs;
    inputs.AlertShowing = frmAlert && frmAlert->GetVisible();
    inputs.OperationMode = form.OperationMode;
    inputs.CompiledPdf = form.Config.CompiledPdf;
    inputs.AutoWriteArmed = form.AutoWriteArmed;
    inputs.WritePerTransaction = form.ckxWritePerTransaction->GetChecked();
    inputs.ScanEnabled = form.btnScan->GetEnabled();
    if (ShouldBurnAfterHotKey(inputs))
        GoBurning(form);
}

}  // namespace pagorin
