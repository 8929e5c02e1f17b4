// The main window's side of the PDF road.
#include "PdfRoadWindow.h"

#include "Main.h"

namespace pagorin {

void StopPdfJobSlot(TfrmMain& form, int slot)
{
    form.PdfJobs.Stop(slot);
    form.PdfRunning = form.PdfJobs.Running();
}

void PdfSlotChanged(TfrmMain& form)
{
    TfrmMain* target = &form;
    vcl::Application->Queue([target] {
        if (!target->PdfRunning)
            return;
        // A new interval restarts the timer; its handler sets its own interval again.
        target->tmrRunPDF->SetInterval(1);
        target->tmrRunPDF->SetEnabled(true);
    });
}

}  // namespace pagorin
