// The alert dialog's creation; its showing by kind follows with the job flow.
#include "Alert.h"

namespace pagorin {

TfrmAlert* frmAlert = nullptr;

TfrmAlert::TfrmAlert(vcl::TComponent* owner) : vcl::TForm(owner) {}

void TfrmAlert::FormCreate(vcl::TObject*)
{
    AlertKind = akNone;
    AlertAnswer = 0;
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
})

}  // namespace pagorin
