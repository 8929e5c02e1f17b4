// The alert dialog: four kinds of alert with their message, buttons, countdown and ring.
#include "Alert.h"

#include <mmsystem.h>

#include "Main.h"
#include "WideText.h"

namespace pagorin {

TfrmAlert* frmAlert = nullptr;

namespace {

constexpr int Margin = 12, Gap = 6;
constexpr int CountdownSteps = 100;
constexpr UINT RobotIdleStepMs = 200;  // 20 seconds in all
constexpr int Rings = 3;

}  // namespace

TfrmAlert::TfrmAlert(vcl::TComponent* owner) : vcl::TForm(owner)
{
    GetFont()->SetName("Arial");
    GetFont()->SetSize(9);
}

void TfrmAlert::FormCreate(vcl::TObject*)
{
    LayOut();
    AlertKind = akNone;
    LoadAlertTexts();
    AlertAnswer = 0;
    SetWideCaption(btnApply, frmMain->Texts.Text("Generic.Apply", 1023));
    SetWideCaption(btnCancel, frmMain->Texts.Text("Generic.Cancel", 1023));
}

// Buttons along the bottom edge, Apply centred between the others; the bar above them, the check box above
// the bar with the seconds beside it, the message at the top.
void TfrmAlert::LayOut()
{
    int width = GetClientWidth(), height = GetClientHeight();
    int buttonTop = height - Margin - btnOK->GetHeight();
    btnOK->SetBounds(Margin, buttonTop, btnOK->GetWidth(), btnOK->GetHeight());
    btnCancel->SetBounds(width - Margin - btnCancel->GetWidth(), buttonTop, btnCancel->GetWidth(), btnCancel->GetHeight());
    btnApply->SetBounds((width - btnApply->GetWidth()) / 2, buttonTop, btnApply->GetWidth(), btnApply->GetHeight());
    int barTop = buttonTop - Gap - pgbCountdown->GetHeight();
    pgbCountdown->SetBounds(Margin, barTop, width - 2 * Margin, pgbCountdown->GetHeight());
    // The seconds share the check box's row at its right end: the box stops short of them, or it paints over.
    int boxTop = barTop - Gap - ckbWaitConfirm->GetHeight();
    int secondsLeft = width - Margin - lbl30Seconds->GetWidth();
    lbl30Seconds->SetBounds(secondsLeft, boxTop, lbl30Seconds->GetWidth(), lbl30Seconds->GetHeight());
    ckbWaitConfirm->SetBounds(Margin, boxTop, secondsLeft - Gap - Margin, ckbWaitConfirm->GetHeight());
    lblMessage->SetBounds(Margin, Margin, width - 2 * Margin, boxTop - Gap - Margin);
}

void TfrmAlert::LoadAlertTexts()
{
    const LanguageFile& texts = frmMain->Texts;
    WaitNextPageText = texts.Text("Attention.WaitNextPage", 1023);
    OkText = texts.Text("Generic.OK", 15);
    FinishText = texts.Text("Attention.Button.Finish", 15);
    WaitConfirmFinishText = texts.Text("Attention.WaitConfirm.Finish", 255);
    WaitRobotIdleText = texts.Text("Attention.WaitRobotIdle", 255);
    InputBinEmptyText = texts.Text("Attention.InputBinEmpty", 255);
    ConfirmCloseText = texts.Text("Attention.ConfirmClose", 255);
    TerminateText = texts.Text("Attention.Button.Terminate", 15);
    SecondsText = texts.Text("Attention.Seconds", 15);
}

// Each showing sets the dialog up for its kind. This runs when the dialog is shown rather than each time it is
// activated, so returning to it from another window neither restarts its countdown nor rings again.
void TfrmAlert::FormShow(vcl::TObject*)
{
    // A countdown left behind a title-bar close (running, or held by the box) ends now, before this showing
    // takes the timer: a next-page wait still ends as its countdown would have ended it.
    if (CountdownKind != akNone) {
        tmrCountDown->SetEnabled(false);
        EndNextPageWait();
    }
    AlertAnswer = 0;
    ckbWaitConfirm->SetChecked(false);
    lbl30Seconds->SetVisible(false);
    SetWideCaption(btnOK, OkText);
    switch (AlertKind) {
    case akWaitNextPage: {
        SetWideCaption(lblMessage, WaitNextPageText);
        btnOK->SetVisible(false);
        btnCancel->SetVisible(false);
        SetWideCaption(btnApply, FinishText);
        btnApply->SetVisible(true);
        SetWideCaption(ckbWaitConfirm, WaitConfirmFinishText);
        ckbWaitConfirm->SetVisible(true);
        int seconds = frmMain->Config.NextPageWait;
        StartCountdown(UINT(seconds > 0 ? seconds : 1) * 10);
        // Joined in the system code page, as the label shows it.
        SetWideCaption(lbl30Seconds, std::to_wstring(seconds) + L" " + SecondsText);
        lbl30Seconds->SetVisible(true);
        break;
    }
    case akInputBinEmpty:
        AlertAnswer = 1;  // closed through the title bar, it is cancelled
        SetWideCaption(lblMessage, InputBinEmptyText);
        ShowButtons(true);
        break;
    case akWaitRobotIdle:
        SetWideCaption(lblMessage, WaitRobotIdleText);
        ShowButtons(false);
        SetWideCaption(btnApply, OkText);
        StartCountdown(RobotIdleStepMs);
        break;
    case akConfirmClose:
        AlertAnswer = 1;
        SetWideCaption(lblMessage, ConfirmCloseText);
        SetWideCaption(btnOK, TerminateText);
        ShowButtons(true);
        break;
    default:
        // No message for this kind: the dialog closes at once.
        SetModalResult(vcl::mrCancel);
        return;
    }
    tmrPlayRing->SetEnabled(true);
}

// OK and Cancel for the questions; else Apply alone with the countdown's bar.
void TfrmAlert::ShowButtons(bool okAndCancel)
{
    btnOK->SetVisible(okAndCancel);
    btnCancel->SetVisible(okAndCancel);
    btnApply->SetVisible(!okAndCancel);
    ckbWaitConfirm->SetVisible(false);
    pgbCountdown->SetVisible(!okAndCancel);
}

void TfrmAlert::StartCountdown(UINT stepMs)
{
    CountdownKind = AlertKind;
    AlertCountdown = CountdownSteps;
    pgbCountdown->SetPosition(AlertCountdown);
    pgbCountdown->SetVisible(true);
    tmrCountDown->SetInterval(stepMs);
    tmrCountDown->SetEnabled(true);
}

void TfrmAlert::EndNextPageWait()
{
    if (CountdownKind == akWaitNextPage)
        frmMain->tmrAllPagesDone->SetEnabled(true);
    CountdownKind = akNone;
}

// Closing through the title bar leaves the countdown running: it still ends the next-page wait.
void TfrmAlert::tmrCountDownTimer(vcl::TObject*)
{
    --AlertCountdown;
    if (AlertCountdown <= pgbCountdown->GetMin()) {
        tmrCountDown->SetEnabled(false);
        EndNextPageWait();
        Close();
    }
    pgbCountdown->SetPosition(AlertCountdown);
}

// Ticked, the box holds the next-page wait until Finish.
void TfrmAlert::ckbWaitConfirmClick(vcl::TObject*)
{
    if (CountdownKind == akWaitNextPage)
        tmrCountDown->SetEnabled(!ckbWaitConfirm->GetChecked());
}

void TfrmAlert::btnApplyClick(vcl::TObject*)
{
    tmrCountDown->SetEnabled(false);
    EndNextPageWait();
    Close();
}

void TfrmAlert::btnOKClick(vcl::TObject*)
{
    AlertAnswer = 0;
    if (AlertKind == akInputBinEmpty)
        frmMain->tmrLoadDisc->SetEnabled(true);
    Close();
}

void TfrmAlert::btnCancelClick(vcl::TObject*)
{
    AlertAnswer = 1;
    Close();
}

void TfrmAlert::tmrPlayRingTimer(vcl::TObject*)
{
    tmrPlayRing->SetEnabled(false);
    std::string sound = frmMain->Config.InstallFolder + "\\ringout.wav";
    for (int i = 0; i < Rings; ++i)
        PlaySoundA(sound.c_str(), nullptr, SND_FILENAME);
}

VCL_IMPLEMENT_CLASS(TfrmAlert, vcl::TForm, {
    m.PublishField("lblMessage", &TfrmAlert::lblMessage);
    m.PublishField("lbl30Seconds", &TfrmAlert::lbl30Seconds);
    m.PublishField("pgbCountdown", &TfrmAlert::pgbCountdown);
    m.PublishField("btnOK", &TfrmAlert::btnOK);
    m.PublishField("btnApply", &TfrmAlert::btnApply);
    m.PublishField("btnCancel", &TfrmAlert::btnCancel);
    m.PublishField("ckbWaitConfirm", &TfrmAlert::ckbWaitConfirm);
    m.PublishField("tmrCountDown", &TfrmAlert::tmrCountDown);
    m.PublishField("tmrPlayRing", &TfrmAlert::tmrPlayRing);
    m.PublishMethod("FormCreate", &TfrmAlert::FormCreate);
    m.PublishMethod("FormShow", &TfrmAlert::FormShow);
    m.PublishMethod("btnOKClick", &TfrmAlert::btnOKClick);
    m.PublishMethod("btnCancelClick", &TfrmAlert::btnCancelClick);
    m.PublishMethod("btnApplyClick", &TfrmAlert::btnApplyClick);
    m.PublishMethod("ckbWaitConfirmClick", &TfrmAlert::ckbWaitConfirmClick);
    m.PublishMethod("tmrCountDownTimer", &TfrmAlert::tmrCountDownTimer);
    m.PublishMethod("tmrPlayRingTimer", &TfrmAlert::tmrPlayRingTimer);
})

}  // namespace pagorin
