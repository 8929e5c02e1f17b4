// The wide status bar with its panels, and the wide tool bar with its buttons.
#include "WydComCtrls.h"

#include <algorithm>

#include "WydForms.h"
#include "WydMenus.h"
#include "WydSysUtils.h"

using namespace vcl;

VCL_IMPLEMENT_CLASS(TWydStatusPanel, TStatusPanel, {
    m.Publish("Text", &TWydStatusPanel::GetText, &TWydStatusPanel::SetText);
})
VCL_IMPLEMENT_CLASS(TWydStatusPanels, TStatusPanels)
VCL_IMPLEMENT_CLASS(TWydCustomStatusBar, TCustomStatusBar)
VCL_IMPLEMENT_CLASS(TWydStatusBar, TWydCustomStatusBar, {
    PublishStatusBarProperties(m);
    m.Publish("SimpleText", &TWydStatusBar::GetSimpleText, &TWydStatusBar::SetSimpleText);
    m.Publish("Hint", &TWydStatusBar::GetHint, &TWydStatusBar::SetHint).Stored(&TWydStatusBar::IsHintStored);
    m.Publish("OnDrawPanel", &TWydStatusBar::GetOnDrawPanel, &TWydStatusBar::SetOnDrawPanel);
})
VCL_IMPLEMENT_CLASS(TWydToolButton, TToolButton, {
    m.Publish("Caption", &TWydToolButton::GetCaption, &TWydToolButton::SetCaption)
        .Stored(&TWydToolButton::IsCaptionStored);
    m.Publish("Hint", &TWydToolButton::GetHint, &TWydToolButton::SetHint).Stored(&TWydToolButton::IsHintStored);
})
VCL_IMPLEMENT_CLASS(TWydToolBar, TToolBar, {
    m.Publish("Caption", &TWydToolBar::GetCaption, &TWydToolBar::SetCaption);
    m.Publish("Hint", &TWydToolBar::GetHint, &TWydToolBar::SetHint).Stored(&TWydToolBar::IsHintStored);
})

// =============================================================================================
// Status bar

void TWydStatusPanel::Assign(TPersistent* source)
{
    if (auto* panel = dynamic_cast<TWydStatusPanel*>(source))
        text_ = panel->GetText();  // first, so the window gets it with the inherited update
    TStatusPanel::Assign(source);
}

void TWydStatusPanel::SetText(const WideString& value)
{
    SetSyncedWideString(value, text_, TStatusPanel::GetText(), [this](const AnsiString& s) { SetInheritedText(s); });
}

TWydStatusPanel* TWydStatusPanels::AddItem(TWydStatusPanel* item, int index)
{
    TWydStatusPanel* added = index < 0 ? Add() : Insert(index);
    if (item)
        added->Assign(item);
    return added;
}

WideString SyncLeadingTabs(const WideString& wide, const AnsiString& ansi)
{
    size_t ansiTabs = std::min(ansi.find_first_not_of('\t'), ansi.size());
    size_t wideTabs = std::min(wide.find_first_not_of(L'\t'), wide.size());
    return WideString(ansiTabs, L'\t') + wide.substr(wideTabs);
}

TStatusPanels* TWydCustomStatusBar::CreatePanels()
{
    return new TWydStatusPanels(this, GetPanelClass());
}

void TWydCustomStatusBar::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle_ComCtl(this, params, L"msctls_statusbar32");
}

WideString TWydCustomStatusBar::GetSimpleText() const
{
    AnsiString ansi = TCustomStatusBar::GetSimpleText();
    simpleText_ = SyncLeadingTabs(simpleText_, ansi);
    return GetSyncedWideString(simpleText_, ansi);
}

void TWydCustomStatusBar::SetSimpleText(const WideString& value)
{
    SetSyncedWideString(value, simpleText_, TCustomStatusBar::GetSimpleText(),
                        [this](const AnsiString& s) { SetInheritedSimpleText(s); });
}

// A part's text: the wide simple text (part 255), the wide text of its panel, or, for a part that has no
// panel, the message's own text; with the alignment tabs the class library put in front. The bar's text length
// is the wide simple text's, but never less than the window's text (its first part's) that WM_GETTEXT copies.
void TWydCustomStatusBar::WndProc(TMessage& message)
{
    if (Win32PlatformIsUnicode && message.Msg == WM_GETTEXTLENGTH) {
        TCustomStatusBar::WndProc(message);
        message.Result = std::max(message.Result, LRESULT(GetSimpleText().size()));
        return;
    }
    if (!Win32PlatformIsUnicode || message.Msg != SB_SETTEXTA || (message.WParam & SBT_OWNERDRAW)) {
        TCustomStatusBar::WndProc(message);
        return;
    }
    AnsiString sent = message.LParam ? reinterpret_cast<const char*>(message.LParam) : "";
    int part = LOBYTE(message.WParam);
    WideString text = part == 255                     ? GetSimpleText()
                      : part < GetPanels()->GetCount() ? GetPanels()->GetItem(part)->GetText()
                                                       : AnsiToWide(sent);
    text = SyncLeadingTabs(text, sent);
    TMessage wide{SB_SETTEXTW, message.WParam, LPARAM(text.c_str()), 0};
    TCustomStatusBar::WndProc(wide);
    message.Result = wide.Result;
}

bool TWydCustomStatusBar::ExecuteAction(TBasicAction* action)
{
    auto* hint = dynamic_cast<THintAction*>(action);
    if (!hint || !GetAutoHint() || !Win32PlatformIsUnicode)
        return TCustomStatusBar::ExecuteAction(action);
    WideString text = WydApplication && WideToAnsi(WydApplication->GetHint()) == hint->GetHint()
                          ? WydApplication->GetHint()
                          : AnsiToWide(hint->GetHint());
    if (GetSimplePanel() || GetPanels()->GetCount() == 0)
        SetSimpleText(text);
    else
        GetPanels()->GetItem(0)->SetText(text);
    OnHint(this);
    return true;
}

// =============================================================================================
// Tool bar

VCL_BEGIN_MESSAGE_MAP(TWydToolButton)
    VCL_MESSAGE(CM_HINTSHOW, CMHintShow)
VCL_END_MESSAGE_MAP(TToolButton)

void TWydToolButton::CMHintShow(TMessage& message)
{
    ProcessCMHintShowMsg(message);
    TToolButton::Dispatch(message);
}

void TWydToolButton::SetMenuItem(TMenuItem* value)
{
    TToolButton::SetMenuItem(value);
    if (!value)
        return;
    SetCaption(WideGetMenuItemCaption(value));
    SetHint(WideGetMenuItemHint(value));
}

void TWydToolBar::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle_ComCtl(this, params, L"ToolbarWindow32");
}

void TWydToolBar::SetMenu(TMainMenu* value)
{
    if (value == GetMenu())
        return;
    TToolBar::SetMenu(value);
    if (!value)
        return;
    for (int i = GetButtonCount() - 1; i >= 0; --i)
        delete GetButton(i);
    TMenuItem* items = value->GetItems();
    for (int i = 0; i < items->GetCount(); ++i) {
        auto* button = new TWydToolButton(this);
        button->SetAutoSize(true);
        button->SetGrouped(true);
        button->SetParent(this);
        button->SetMenuItem(items->GetItem(i));
    }
}

void TWydToolBar::WndProc(TMessage& message)
{
    if (Win32PlatformIsUnicode && HandleAllocated() &&
        (message.Msg == TB_INSERTBUTTONA ? InsertButtonW(message) : CaptionMessage(message)))
        return;
    TToolBar::WndProc(message);
}

// A button with a caption is inserted with its wide caption (the bar keeps a copy of the text).
bool TWydToolBar::InsertButtonW(TMessage& message)
{
    const auto* button = reinterpret_cast<const TBBUTTON*>(message.LParam);
    int index = int(message.WParam);
    if (!button || button->iString == -1 || IS_INTRESOURCE(button->iString) || index < 0 ||
        index >= GetButtonCount())
        return false;
    auto* tool = dynamic_cast<TWydToolButton*>(GetButton(index));
    if (!tool)
        return false;
    WideString caption = tool->GetCaption() + L'\0';  // the bar's strings end with an empty one
    TBBUTTON wide = *button;
    wide.iString = INT_PTR(caption.c_str());
    TMessage sent{TB_INSERTBUTTONW, message.WParam, LPARAM(&wide), 0};
    TToolBar::WndProc(sent);
    message.Result = sent.Result;
    return true;
}

// The bar keeps its wide caption itself (the window would not); the buffers of these messages are wide.
bool TWydToolBar::CaptionMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_SETTEXT:
        caption_ = message.LParam ? reinterpret_cast<const wchar_t*>(message.LParam) : L"";
        message.Result = TRUE;
        return true;
    case WM_GETTEXTLENGTH:
        message.Result = LRESULT(caption_.size());
        return true;
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<wchar_t*>(message.LParam);
        CopyDisplayText(caption_, buffer, int(message.WParam));
        message.Result = buffer && message.WParam > 0 ? LRESULT(wcslen(buffer)) : 0;
        return true;
    }
    default:
        return false;
    }
}
