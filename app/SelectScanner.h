// TfrmSelectScanner, the small dialog that switches the current scanner.
#pragma once

#include "ComCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

namespace pagorin {

class TfrmSelectScanner : public vcl::TForm {
    VCL_CLASS(TfrmSelectScanner, vcl::TForm)
    explicit TfrmSelectScanner(vcl::TComponent* owner) : vcl::TForm(owner) {}
    vcl::TGroupBox* gbxScanners = nullptr;
    vcl::TListView* lvDataSources = nullptr;
    vcl::TButton* btnOK = nullptr;
    vcl::TButton* btnCancel = nullptr;
};

extern TfrmSelectScanner* frmSelectScanner;

}  // namespace pagorin
