// TfrmAlert, the one modal message window of the job flow: the main window sets AlertKind, shows it and
// reads AlertAnswer afterwards.
#pragma once

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

namespace pagorin {

enum AlertKinds { akNone = 0, akWaitNextPage = 1, akAllPagesDone = 2, akInputBinEmpty = 3, akWaitRobotIdle = 4,
                  akConfirmClose = 5 };

class TfrmAlert : public vcl::TForm {
    VCL_CLASS(TfrmAlert, vcl::TForm)
    explicit TfrmAlert(vcl::TComponent* owner);
    vcl::TLabel* lblMessage = nullptr;
    vcl::TLabel* lbl30Seconds = nullptr;
    vcl::TProgressBar* pgbCountdown = nullptr;
    vcl::TButton* btnOK = nullptr;
    vcl::TButton* btnApply = nullptr;
    vcl::TButton* btnCancel = nullptr;
    vcl::TCheckBox* ckbWaitConfirm = nullptr;
    vcl::TTimer* tmrCountDown = nullptr;
    vcl::TTimer* tmrPlayRing = nullptr;
    void FormCreate(vcl::TObject* sender);

    int AlertKind = akNone;
    int AlertAnswer = 0;  // 0 confirmed, 1 cancelled
    int AlertCountdown = 100;
};

extern TfrmAlert* frmAlert;

}  // namespace pagorin
