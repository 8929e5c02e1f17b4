// Forms and docking: a form docked on a site is a borderless child window until it floats again, and the dock
// form that a floating control that is no form lives in.
#include "Forms.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TCustomDockForm, TCustomForm)

void TCustomForm::Dock(TWinControl* NewDockSite, const RECT& ARect)
{
    // From a window of its own to a child window or back: a new window, with the border it has there.
    bool floating = !FHostDockSite;
    if (floating && NewDockSite) {
        DestroyHandle();
        FUndockedBorderStyle = FBorderStyle;
        FBorderStyle = TFormBorderStyle::bsNone;
    } else if (!floating && !NewDockSite) {
        DestroyHandle();
        FBorderStyle = FUndockedBorderStyle;
    }
    TWinControl::Dock(NewDockSite, ARect);
    if (!floating && !NewDockSite && FVisible) {
        FPlaced = true;  // where it floats is its place
        Perform(CM_VISIBLECHANGED, 1, 0);
    }
}

TCustomDockForm::TCustomDockForm(TComponent* AOwner) : TCustomForm(AOwner, 0)
{
    SetBorderStyle(TFormBorderStyle::bsSizeToolWin);
    SetDockSite(true);
}

void TCustomDockForm::DoAddDockClient(TControl* Client, const RECT& ARect)
{
    TCustomForm::DoAddDockClient(Client, ARect);
    Client->SetAlign(TAlign::alClient);
    SetText(Client->GetText());
}

void TCustomDockForm::DoRemoveDockClient(TControl* Client)
{
    TCustomForm::DoRemoveDockClient(Client);
    if (Client->GetHostDockSite() == this)
        return;
    if (Client->GetAlign() == TAlign::alClient)
        Client->SetAlign(TAlign::alNone);
    if (GetDockClientCount() == 0) {
        Hide();
        Release();
    }
}

}  // namespace vcl
