// TfrmAlert, the one modal message window of the job flow: the main window sets AlertKind and shows it;
// the dialog picks its message, buttons and countdown from the kind, rings, and on the operator's answer
// (or the countdown's end) records AlertAnswer or arms the main window's next timer itself.
#pragma once

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "WydComCtrls.h"
#include "WydStdCtrls.h"

namespace pagorin {

enum AlertKinds { akNone = 0, akWaitNextPage = 1, akAllPagesDone = 2, akInputBinEmpty = 3, akWaitRobotIdle = 4,
                  akConfirmClose = 5 };

class TfrmAlert : public vcl::TForm {
    VCL_CLASS(TfrmAlert, vcl::TForm)
    explicit TfrmAlert(vcl::TComponent* owner);
    TWydLabel* lblMessage = nullptr;
    TWydLabel* lbl30Seconds = nullptr;
    TWydProgressBar* pgbCountdown = nullptr;
    TWydButton* btnOK = nullptr;
    TWydButton* btnApply = nullptr;
    TWydButton* btnCancel = nullptr;
    TWydCheckBox* ckbWaitConfirm = nullptr;
    vcl::TTimer* tmrCountDown = nullptr;
    vcl::TTimer* tmrPlayRing = nullptr;
    void FormCreate(vcl::TObject* sender);
    void FormShow(vcl::TObject* sender);
    void btnOKClick(vcl::TObject* sender);
    void btnCancelClick(vcl::TObject* sender);
    void btnApplyClick(vcl::TObject* sender);
    void ckbWaitConfirmClick(vcl::TObject* sender);
    void tmrCountDownTimer(vcl::TObject* sender);
    void tmrPlayRingTimer(vcl::TObject* sender);
    void LoadAlertTexts();

    int AlertKind = akNone;
    int AlertAnswer = 0;  // 0 confirmed, 1 cancelled
    int AlertCountdown = 100;

    // The texts of the current language, read once at creation.
    std::wstring WaitNextPageText, OkText, FinishText, WaitConfirmFinishText, WaitRobotIdleText, InputBinEmptyText,
        ConfirmCloseText, TerminateText, SecondsText;

private:
    void LayOut();
    void ShowButtons(bool okAndCancel);
    void StartCountdown(UINT stepMs);
    void EndNextPageWait();
    int CountdownKind = akNone;  // the kind whose countdown runs: it outlives a title-bar close
};

extern TfrmAlert* frmAlert;

}  // namespace pagorin
