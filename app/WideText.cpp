// Visible texts onto the controls, through the Unicode layer's text of any control.
#include "WideText.h"

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

void SetAnsiCaption(vcl::TControl* control, const std::string& text)
{
    SetWideCaption(control, vcl::AnsiToWide(text));
}

void SetWideCaption(vcl::TMenuItem* item, const std::wstring& text)
{
    if (auto* wide = dynamic_cast<TWydMenuItem*>(item))
        wide->SetCaption(text);
    else if (item)
        item->SetCaption(vcl::WideToAnsi(text));
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

std::vector<std::wstring> WideItems(TWydCustomComboBox* box)
{
    std::vector<std::wstring> items;
    for (int i = 0; i < box->GetItems()->GetCount(); ++i)
        items.push_back(box->GetItems()->Get(i));
    return items;
}

void SetWideItems(TWydCustomComboBox* box, const std::vector<std::wstring>& items)
{
    box->GetItems()->Clear();
    for (const std::wstring& item : items)
        box->GetItems()->Add(item);
}

void SetAnsiItems(TWydCustomComboBox* box, const std::vector<std::string>& items)
{
    std::vector<std::wstring> wide;
    for (const std::string& item : items)
        wide.push_back(vcl::AnsiToWide(item));
    SetWideItems(box, wide);
}

std::string AnsiText(vcl::TControl* control) { return vcl::WideToAnsi(WydControl_GetText(control)); }

}  // namespace pagorin
