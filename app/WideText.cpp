// Visible texts onto the class library's controls.
#include "WideText.h"

#include "ComCtrls.h"
#include "Controls.h"
#include "Menus.h"

namespace pagorin {

void SetWideCaption(vcl::TControl* control, const std::wstring& text)
{
    if (!control)
        return;
    control->SetCaption(vcl::WideToAnsi(text));  // the ANSI controls keep what the code page holds
}

void SetWideCaption(vcl::TMenuItem* item, const std::wstring& text)
{
    if (item)
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

}  // namespace pagorin
