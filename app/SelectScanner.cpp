// The scanner chooser's creation; its behaviour follows with the scanner list.
#include "SelectScanner.h"

namespace pagorin {

TfrmSelectScanner* frmSelectScanner = nullptr;

VCL_IMPLEMENT_CLASS(TfrmSelectScanner, vcl::TForm, {
    m.PublishField("gbxScanners", &TfrmSelectScanner::gbxScanners);
    m.PublishField("lvDataSources", &TfrmSelectScanner::lvDataSources);
    m.PublishField("btnOK", &TfrmSelectScanner::btnOK);
    m.PublishField("btnCancel", &TfrmSelectScanner::btnCancel);
})

}  // namespace pagorin
