// TfrmSelectScanner, the small dialog that switches the current scanner: the settings dialog's scanner rows,
// the two selections kept in step, the chosen scanner's stored values shown on the main window.
#pragma once

#include "ComCtrls.h"
#include "Forms.h"
#include "WydStdCtrls.h"

namespace pagorin {

class TfrmSelectScanner : public vcl::TForm {
    VCL_CLASS(TfrmSelectScanner, vcl::TForm)
    explicit TfrmSelectScanner(vcl::TComponent* owner);
    TWydGroupBox* gbxScanners = nullptr;
    vcl::TListView* lvDataSources = nullptr;
    TWydButton* btnOK = nullptr;
    TWydButton* btnCancel = nullptr;

    void FormCreate(vcl::TObject* sender);
    void FormActivate(vcl::TObject* sender);
    void btnOKClick(vcl::TObject* sender);
    void btnCancelClick(vcl::TObject* sender);
    void lvDataSourcesClick(vcl::TObject* sender);

private:
    // The settings dialog's row at the index of this list's selected row (none when there is none).
    vcl::TListItem* SettingsRowOfSelection() const;
};

extern TfrmSelectScanner* frmSelectScanner;

}  // namespace pagorin
