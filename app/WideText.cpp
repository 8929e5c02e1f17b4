// Visible texts onto the Unicode controls.
#include "WideText.h"

#include "WydComCtrls.h"
#include "WydControls.h"
#include "WydMenus.h"
#include "WydStdCtrls.h"

namespace pagorin {

void SetWideCaption(vcl::TControl* control, const std::wstring& text)
{
    if (control)
        WydControl_SetText(control, text);
}

void SetAnsiCaption(vcl::TControl* control, const std::string& text)
{
    SetWideCaption(control, vcl::AnsiToWide(text));
}

void SetWideCaption(TWydMenuItem* item, const std::wstring& text)
{
    if (item)
        item->SetCaption(text);
}

void SetPanelText(TWydStatusPanel* panel, const std::wstring& text)
{
    if (panel)
        panel->SetText(text);
}

void SetHintText(vcl::TControl* control, const std::wstring& text)
{
    if (control)
        WydControl_SetHint(control, text);
}

std::vector<std::string> AnsiItems(TWydCustomComboBox* box)
{
    std::vector<std::string> items;
    for (int i = 0; i < box->GetItems()->GetCount(); ++i)
        items.push_back(vcl::WideToAnsi(box->GetItems()->Get(i)));
    return items;
}

void SetAnsiItems(TWydCustomComboBox* box, const std::vector<std::string>& items)
{
    box->GetItems()->Clear();
    for (const std::string& item : items)
        box->GetItems()->Add(vcl::AnsiToWide(item));
}

std::string AnsiText(vcl::TControl* control) { return vcl::WideToAnsi(WydControl_GetText(control)); }

}  // namespace pagorin
