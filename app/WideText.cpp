// Visible texts onto the controls, through the Unicode layer's text of any control.
#include "WideText.h"

#include "ComCtrls.h"
#include "Controls.h"
#include "Menus.h"
#include "WydButtons.h"
#include "WydComCtrls.h"
#include "WydControls.h"
#include "WydForms.h"
#include "WydMenus.h"
#include "WydStdCtrls.h"

namespace pagorin {

void SetWideCaption(vcl::TControl* control, const std::wstring& text)
{
    if (control)
        WydControl_SetText(control, text);
}

void SetWideCaption(vcl::TMenuItem* item, const std::wstring& text)
{
    if (auto* wide = dynamic_cast<TWydMenuItem*>(item))
        wide->SetCaption(text);
    else if (item)
        item->SetCaption(vcl::WideToAnsi(text));
}

void SetPanelText(vcl::TStatusPanel* panel, const std::wstring& text)
{
    if (panel)
        panel->SetText(vcl::WideToAnsi(text));
}

void SetHintText(vcl::TControl* control, const std::wstring& text)
{
    if (control)
        control->SetHint(vcl::WideToAnsi(text));
}

void UseArialFont(vcl::TControl* control)
{
    control->GetFont()->SetName("Arial");
    control->GetFont()->SetSize(9);
}

void StartUnicodeLayer()
{
    InitWydForms();
    InitWydStdCtrls();
    InitWydComCtrls();
    InitWydButtons();
}

void EndUnicodeLayer()
{
    DoneWydForms();
    DoneWydControls();
}

}  // namespace pagorin
