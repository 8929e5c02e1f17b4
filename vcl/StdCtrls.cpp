// Standard controls over the system's BUTTON, EDIT, COMBOBOX, LISTBOX, STATIC and SCROLLBAR classes.
#include "StdCtrls.h"

#include <algorithm>
#include <cstring>

#include "Forms.h"

namespace vcl {

namespace {

bool IsLoading(const TComponent* c) { return c->GetComponentState().Contains(csLoading); }

// The accelerator of a caption ("&Save" -> 'S'), compared without case.
bool IsAccel(WPARAM Key, const AnsiString& Caption)
{
    for (size_t i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != '&')
            continue;
        if (Caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return CharUpperA(LPSTR(ULONG_PTR(BYTE(Caption[i + 1])))) == CharUpperA(LPSTR(ULONG_PTR(BYTE(Key))));
    }
    return false;
}

template <class C>
void PublishCaption(TMetaClass& m)
{
    m.Publish("Caption", &C::GetTextProp, &C::SetText);
}

}  // namespace

VCL_IMPLEMENT_CLASS(TCustomLabel, TGraphicControl)
VCL_IMPLEMENT_CLASS(TLabel, TCustomLabel, {
    PublishCaption<TLabel>(m);
    PublishLabelProperties<TLabel>(m);
})
VCL_IMPLEMENT_CLASS(TCustomStaticText, TWinControl)
VCL_IMPLEMENT_CLASS(TStaticText, TCustomStaticText, {
    PublishCaption<TStaticText>(m);
    PublishStaticTextProperties<TStaticText>(m);
})
VCL_IMPLEMENT_CLASS(TButtonActionLink, TWinControlActionLink)
VCL_IMPLEMENT_CLASS(TButtonControl, TWinControl)
VCL_IMPLEMENT_CLASS(TButton, TButtonControl, {
    PublishCaption<TButton>(m);
    m.Publish("Default", &TButton::GetDefault, &TButton::SetDefault).WithDefault(0);
    m.Publish("Cancel", &TButton::GetCancel, &TButton::SetCancel).WithDefault(0);
    m.Publish("ModalResult", &TButton::GetModalResult, &TButton::SetModalResult).WithDefault(0);
})
VCL_IMPLEMENT_CLASS(TCustomCheckBox, TButtonControl)
VCL_IMPLEMENT_CLASS(TCheckBox, TCustomCheckBox, {
    PublishCaption<TCheckBox>(m);
    PublishCheckBoxProperties<TCheckBox>(m);
})
VCL_IMPLEMENT_CLASS(TRadioButton, TButtonControl, {
    PublishCaption<TRadioButton>(m);
    m.Publish("Checked", &TRadioButton::GetChecked, &TRadioButton::SetChecked).WithDefault(0);
})
VCL_IMPLEMENT_CLASS(TCustomGroupBox, TCustomControl)
VCL_IMPLEMENT_CLASS(TGroupBox, TCustomGroupBox, { PublishCaption<TGroupBox>(m); })
VCL_IMPLEMENT_CLASS(TCustomEdit, TWinControl)
VCL_IMPLEMENT_CLASS(TEdit, TCustomEdit, {
    m.Publish("Text", &TEdit::GetTextProp, &TEdit::SetText);
    m.Publish("PasswordChar", &TEdit::GetPasswordChar, &TEdit::SetPasswordChar).WithDefault(0);
    PublishEditProperties<TEdit>(m);
})
VCL_IMPLEMENT_CLASS(TMemoStrings, TStrings)
VCL_IMPLEMENT_CLASS(TCustomMemo, TCustomEdit)
VCL_IMPLEMENT_CLASS(TMemo, TCustomMemo, {
    m.PublishReadOnly("Lines", &TMemo::GetLines);
    PublishMemoProperties<TMemo>(m);
})
VCL_IMPLEMENT_CLASS(TListControlStrings, TStrings)
VCL_IMPLEMENT_CLASS(TCustomListControl, TWinControl)
VCL_IMPLEMENT_CLASS(TCustomItemListControl, TCustomListControl)
VCL_IMPLEMENT_CLASS(TCustomComboBox, TCustomItemListControl)
VCL_IMPLEMENT_CLASS(TComboBox, TCustomComboBox, {
    m.Publish("Text", &TComboBox::GetTextProp, &TComboBox::SetText);
    m.PublishReadOnly("Items", &TComboBox::GetItems);
    PublishComboBoxProperties<TComboBox>(m);
})
VCL_IMPLEMENT_CLASS(TCustomListBox, TCustomItemListControl)
VCL_IMPLEMENT_CLASS(TListBox, TCustomListBox, {
    m.PublishReadOnly("Items", &TListBox::GetItems);
    PublishListBoxProperties<TListBox>(m);
})
VCL_IMPLEMENT_CLASS(TScrollBar, TWinControl)

// =============================================================================================
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    ControlStyle << csOpaque << csReplicatable;
    FWidth = 65;
    FHeight = 17;
    FAutoSize = true;
    FColor = clBtnFace;
}

VCL_BEGIN_MESSAGE_MAP(TCustomLabel)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
    VCL_MESSAGE(CM_TEXTCHANGED, CMTextChanged)
    VCL_MESSAGE(CM_FONTCHANGED, CMFontChanged)
VCL_END_MESSAGE_MAP(TGraphicControl)

AnsiString TCustomLabel::GetLabelText()
{
    return GetText();
}

void TCustomLabel::DoDrawText(RECT& Rect, UINT Flags)
{
    AnsiString text = GetLabelText();
    if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&")))
        text += ' ';
    if (!FShowAccelChar)
        Flags |= DT_NOPREFIX;
    Flags = DrawTextBiDiModeFlags(Flags);
    TCanvas* canvas = GetCanvas();
    canvas->GetFont()->Assign(FFont);
    HDC dc = canvas->GetHandle();
    SelectObject(dc, FFont->GetHandle());
    SetBkMode(dc, TRANSPARENT);
    if (!GetEnabled()) {
        OffsetRect(&Rect, 1, 1);
        SetTextColor(dc, ColorToRGB(clBtnHighlight));
        DrawTextA(dc, text.c_str(), int(text.size()), &Rect, Flags);
        OffsetRect(&Rect, -1, -1);
        SetTextColor(dc, ColorToRGB(clBtnShadow));
    } else {
        SetTextColor(dc, ColorToRGB(FFont->GetColor()));
    }
    DrawTextA(dc, text.c_str(), int(text.size()), &Rect, Flags);
}

void TCustomLabel::Paint()
{
    TCanvas* canvas = GetCanvas();
    RECT r = GetClientRect();
    if (!FTransparent) {
        canvas->GetBrush()->SetColor(FColor);
        canvas->FillRect(r);
    }
    static const UINT alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    UINT flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | alignments[int(FAlignment)];
    if (FLayout != TTextLayout::tlTop) {
        RECT calc = r;
        DoDrawText(calc, flags | DT_CALCRECT);
        int h = calc.bottom - calc.top;
        if (FLayout == TTextLayout::tlBottom)
            OffsetRect(&r, 0, r.bottom - r.top - h);
        else
            OffsetRect(&r, 0, (r.bottom - r.top - h) / 2);
    }
    DoDrawText(r, flags);
}

void TCustomLabel::AdjustSize()
{
    if (IsLoading(this) || !FAutoSize)
        return;
    HDC dc = GetDC(nullptr);
    GetCanvas()->SetHandle(dc);
    RECT r{0, 0, FWordWrap ? FWidth : 0, 0};
    try {
        DoDrawText(r, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0));
    } catch (...) {
        GetCanvas()->SetHandle(nullptr);
        ReleaseDC(nullptr, dc);
        throw;
    }
    GetCanvas()->SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
    int x = FLeft;
    if (FAlignment == TAlignment::taRightJustify)
        x += FWidth - r.right;
    else if (FAlignment == TAlignment::taCenter)
        x += (FWidth - r.right) / 2;
    SetBounds(x, FTop, r.right, r.bottom);
}

void TCustomLabel::SetAlignment(TAlignment Value)
{
    if (FAlignment != Value) {
        FAlignment = Value;
        Invalidate();
    }
}

void TCustomLabel::SetLayout(TTextLayout Value)
{
    if (FLayout != Value) {
        FLayout = Value;
        Invalidate();
    }
}

void TCustomLabel::SetWordWrap(bool Value)
{
    if (FWordWrap != Value) {
        FWordWrap = Value;
        AdjustSize();
        Invalidate();
    }
}

void TCustomLabel::SetTransparent(bool Value)
{
    if (FTransparent != Value) {
        FTransparent = Value;
        Invalidate();
    }
}

void TCustomLabel::SetShowAccelChar(bool Value)
{
    if (FShowAccelChar != Value) {
        FShowAccelChar = Value;
        AdjustSize();
        Invalidate();
    }
}

void TCustomLabel::SetFocusControl(TWinControl* Value)
{
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

void TCustomLabel::CMDialogChar(TMessage& Message)
{
    if (FFocusControl && GetEnabled() && FShowAccelChar && IsAccel(Message.WParam, GetText()) &&
        FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
    }
}

void TCustomLabel::CMTextChanged(TMessage&)
{
    Invalidate();
    AdjustSize();
}

void TCustomLabel::CMFontChanged(TMessage& Message)
{
    TControl::CMFontChanged(Message);
    AdjustSize();
}

// =============================================================================================
// TCustomStaticText

TCustomStaticText::TCustomStaticText(TComponent* AOwner) : TWinControl(AOwner)
{
    FWidth = 65;
    FHeight = 17;
    FAutoSize = true;
    AdjustBounds();
}

void TCustomStaticText::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "STATIC");
    Params.Style |= SS_NOTIFY | (FShowAccelChar ? 0 : SS_NOPREFIX);
}

VCL_BEGIN_MESSAGE_MAP(TCustomStaticText)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
    VCL_MESSAGE(CM_FONTCHANGED, CMFontChanged)
    VCL_MESSAGE(CM_TEXTCHANGED, CMTextChanged)
VCL_END_MESSAGE_MAP(TWinControl)

void TCustomStaticText::Loaded()
{
    TWinControl::Loaded();
    AdjustBounds();
}

void TCustomStaticText::SetAutoSize(bool Value)
{
    TWinControl::SetAutoSize(Value);
    AdjustBounds();
}

void TCustomStaticText::SetShowAccelChar(bool Value)
{
    if (FShowAccelChar != Value) {
        FShowAccelChar = Value;
        RecreateWnd();
        AdjustBounds();
    }
}

void TCustomStaticText::AdjustBounds()
{
    if (IsLoading(this) || !FAutoSize)
        return;
    AnsiString text = GetText();
    if (text.empty())
        text = " ";
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FFont->GetHandle());
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | (FShowAccelChar ? 0 : DT_NOPREFIX));
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    SetBounds(FLeft, FTop, r.right, r.bottom);
}

void TCustomStaticText::CMDialogChar(TMessage& Message)
{
    if (FFocusControl && GetEnabled() && FShowAccelChar && IsAccel(Message.WParam, GetText()) &&
        FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
    }
}

void TCustomStaticText::CMFontChanged(TMessage& Message)
{
    TWinControl::CMFontChanged(Message);
    AdjustBounds();
}

void TCustomStaticText::CMTextChanged(TMessage& Message)
{
    TControl::CMTextChanged(Message);
    AdjustBounds();
}

// =============================================================================================
// Buttons

bool TButtonActionLink::IsCheckedLinked() const
{
    auto* action = dynamic_cast<TCustomAction*>(FAction);
    auto* button = dynamic_cast<TButtonControl*>(FClient);
    return TActionLink::IsCheckedLinked() && button && button->GetChecked() == action->GetChecked();
}

void TButtonActionLink::SetChecked(bool Value)
{
    if (IsCheckedLinked())
        static_cast<TButtonControl*>(FClient)->SetChecked(Value);
}

// Buttons report their clicks as BN_CLICKED; the mouse-up path must not click them a second time.
TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner)
{
    FTabStop = true;
    ControlStyle >> csClickEvents;
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    FWidth = 75;
    FHeight = 25;
    ControlStyle >> csSetCaption;
}

void TButton::CreateParams(TCreateParams& Params)
{
    TButtonControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    Params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

VCL_BEGIN_MESSAGE_MAP(TButton)
    VCL_MESSAGE(CN_COMMAND, CNCommand)
    VCL_MESSAGE(CM_DIALOGKEY, CMDialogKey)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
    VCL_MESSAGE(CM_FOCUSCHANGED, CMFocusChanged)
VCL_END_MESSAGE_MAP(TButtonControl)

void TButton::SetDefault(bool Value)
{
    if (FDefault == Value)
        return;
    FDefault = Value;
    if (WindowHandle)
        UpdateActive(GetParentForm() ? GetParentForm()->GetActiveControl() : nullptr);
}

void TButton::CreateWnd()
{
    TButtonControl::CreateWnd();
    UpdateActive(GetParentForm() ? GetParentForm()->GetActiveControl() : nullptr);
}

void TButton::UpdateActive(TWinControl* Focused)
{
    SetButtonStyle(dynamic_cast<TButton*>(Focused) ? Focused == this : FDefault);
}

void TButton::SetButtonStyle(bool ADefault)
{
    if (!WindowHandle)
        return;
    DWORD style = ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if ((GetWindowLongPtrA(WindowHandle, GWL_STYLE) & BS_TYPEMASK) != style)
        Perform(BM_SETSTYLE, style, 1);
}

void TButton::CMFocusChanged(TMessage& Message)
{
    UpdateActive(reinterpret_cast<TWinControl*>(Message.LParam));
    TButtonControl::Dispatch(Message);
}

void TButton::Click()
{
    if (FModalResult != 0)
        if (TCustomForm* form = GetParentForm())
            form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

void TButton::CNCommand(TMessage& Message)
{
    if (HIWORD(Message.WParam) == BN_CLICKED)
        Click();
}

void TButton::CMDialogKey(TMessage& Message)
{
    bool mine = (Message.WParam == VK_RETURN && FDefault) || (Message.WParam == VK_ESCAPE && FCancel);
    if (mine && GetEnabled() && GetVisible() && (KeyDataToShiftState(Message.LParam).Empty())) {
        Click();
        Message.Result = 1;
    }
}

void TButton::CMDialogChar(TMessage& Message)
{
    if (IsAccel(Message.WParam, GetText()) && CanFocus()) {
        Click();
        Message.Result = 1;
    }
}

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner)
{
    FWidth = 97;
    FHeight = 17;
    ControlStyle >> csSetCaption;
}

void TCustomCheckBox::CreateParams(TCreateParams& Params)
{
    TButtonControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    Params.Style |= BS_3STATE | (FAlignment == TAlignment::taLeftJustify ? BS_LEFTTEXT : 0);
}

void TCustomCheckBox::CreateWnd()
{
    TButtonControl::CreateWnd();
    Perform(BM_SETCHECK, WPARAM(FState), 0);
}

VCL_BEGIN_MESSAGE_MAP(TCustomCheckBox)
    VCL_MESSAGE(CN_COMMAND, CNCommand)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
VCL_END_MESSAGE_MAP(TButtonControl)

void TCustomCheckBox::SetChecked(bool Value)
{
    SetState(Value ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked);
}

void TCustomCheckBox::SetState(TCheckBoxState Value)
{
    if (FState == Value)
        return;
    FState = Value;
    if (WindowHandle)
        Perform(BM_SETCHECK, WPARAM(Value), 0);
    if (!IsLoading(this))
        Click();
}

void TCustomCheckBox::SetAlignment(TAlignment Value)
{
    if (FAlignment != Value) {
        FAlignment = Value;
        RecreateWnd();
    }
}

void TCustomCheckBox::Toggle()
{
    switch (FState) {
    case TCheckBoxState::cbUnchecked:
        SetState(FAllowGrayed ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked);
        break;
    case TCheckBoxState::cbChecked:
        SetState(TCheckBoxState::cbUnchecked);
        break;
    case TCheckBoxState::cbGrayed:
        SetState(TCheckBoxState::cbChecked);
        break;
    }
}

void TCustomCheckBox::CNCommand(TMessage& Message)
{
    if (HIWORD(Message.WParam) == BN_CLICKED)
        Toggle();
}

void TCustomCheckBox::CMDialogChar(TMessage& Message)
{
    if (IsAccel(Message.WParam, GetText()) && CanFocus()) {
        SetFocus();
        Toggle();
        Message.Result = 1;
    }
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner)
{
    FWidth = 113;
    FHeight = 17;
    ControlStyle >> csSetCaption;
}

void TRadioButton::CreateParams(TCreateParams& Params)
{
    TButtonControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    Params.Style |= BS_RADIOBUTTON;
}

void TRadioButton::CreateWnd()
{
    TButtonControl::CreateWnd();
    Perform(BM_SETCHECK, FChecked, 0);
}

VCL_BEGIN_MESSAGE_MAP(TRadioButton)
    VCL_MESSAGE(CN_COMMAND, CNCommand)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
VCL_END_MESSAGE_MAP(TButtonControl)

// Checking one radio button unchecks its siblings.
void TRadioButton::SetChecked(bool Value)
{
    if (FChecked == Value)
        return;
    FChecked = Value;
    FTabStop = Value;
    if (WindowHandle)
        Perform(BM_SETCHECK, Value, 0);
    if (Value) {
        if (FParent)
            for (int i = 0; i < FParent->GetControlCount(); ++i)
                if (auto* other = dynamic_cast<TRadioButton*>(FParent->GetControl(i)); other && other != this)
                    other->SetChecked(false);
        if (!IsLoading(this))
            Click();
    }
}

void TRadioButton::CNCommand(TMessage& Message)
{
    if (HIWORD(Message.WParam) == BN_CLICKED)
        SetChecked(true);
    else if (HIWORD(Message.WParam) == BN_DOUBLECLICKED)
        DblClick();
}

void TRadioButton::CMDialogChar(TMessage& Message)
{
    if (IsAccel(Message.WParam, GetText()) && CanFocus()) {
        SetFocus();
        SetChecked(true);
        Message.Result = 1;
    }
}

// =============================================================================================
// TCustomGroupBox

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle << csAcceptsControls << csSetCaption << csDoubleClicks;
    FWidth = 185;
    FHeight = 105;
    FColor = clBtnFace;
}

void TCustomGroupBox::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

VCL_BEGIN_MESSAGE_MAP(TCustomGroupBox)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
    VCL_MESSAGE(CM_TEXTCHANGED, CMTextChanged)
VCL_END_MESSAGE_MAP(TCustomControl)

RECT TCustomGroupBox::GetClientRect() const
{
    RECT r = TCustomControl::GetClientRect();
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FFont->GetHandle());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    InflateRect(&r, -1, -1);
    r.top += tm.tmHeight;
    return r;
}

void TCustomGroupBox::Paint()
{
    TCanvas* canvas = GetCanvas();
    HDC dc = canvas->GetHandle();
    SelectObject(dc, FFont->GetHandle());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    RECT frame = TCustomControl::GetClientRect();
    frame.top += tm.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    AnsiString text = GetText();
    if (!text.empty()) {
        RECT t{8, 0, 0, tm.tmHeight};
        DrawTextA(dc, text.c_str(), -1, &t, DT_CALCRECT | DT_SINGLELINE);
        t.right += 4;
        canvas->GetBrush()->SetColor(FColor);
        canvas->FillRect(t);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(GetEnabled() ? FFont->GetColor() : clGrayText));
        RECT inner{t.left + 2, t.top, t.right, t.bottom};
        DrawTextA(dc, text.c_str(), -1, &inner, DT_SINGLELINE | DT_LEFT);
    }
}

void TCustomGroupBox::CMDialogChar(TMessage& Message)
{
    if (IsAccel(Message.WParam, GetText()) && CanFocus()) {
        SelectFirst();
        Message.Result = 1;
        return;
    }
    TWinControl::CMDialogChar(Message);
}

void TCustomGroupBox::CMTextChanged(TMessage&)
{
    Invalidate();
    Realign();
}

// =============================================================================================
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    FWidth = 121;
    FHeight = 21;
    FTabStop = true;
    FColor = clWindow;
    FParentColor = false;
    GetBrush()->SetColor(clWindow);
    ControlStyle >> csSetCaption;
}

void TCustomEdit::CreateParams(TCreateParams& Params)
{
    static const DWORD cases[] = {0, ES_UPPERCASE, ES_LOWERCASE};
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "EDIT");
    Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL | cases[int(FCharCase)] | (FReadOnly ? ES_READONLY : 0);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd()
{
    TScopedValue<bool> creating(FCreating, true);
    TWinControl::CreateWnd();
    Perform(EM_LIMITTEXT, WPARAM(FMaxLength), 0);
    if (FPasswordChar)
        Perform(EM_SETPASSWORDCHAR, BYTE(FPasswordChar), 0);
    Perform(EM_SETMODIFY, FModified, 0);
}

void TCustomEdit::DestroyWnd()
{
    FModified = GetModified();
    TWinControl::DestroyWnd();
}

VCL_BEGIN_MESSAGE_MAP(TCustomEdit)
    VCL_MESSAGE(CN_COMMAND, CNCommand)
    VCL_MESSAGE(CM_ENTER, CMEnter)
VCL_END_MESSAGE_MAP(TWinControl)

void TCustomEdit::SetMaxLength(int Value)
{
    FMaxLength = Value;
    if (WindowHandle)
        Perform(EM_LIMITTEXT, WPARAM(Value), 0);
}

void TCustomEdit::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    if (WindowHandle)
        Perform(EM_SETREADONLY, Value, 0);
}

void TCustomEdit::SetPasswordChar(char Value)
{
    FPasswordChar = Value;
    if (WindowHandle) {
        Perform(EM_SETPASSWORDCHAR, BYTE(Value), 0);
        Invalidate();
    }
}

void TCustomEdit::SetCharCase(TEditCharCase Value)
{
    if (FCharCase != Value) {
        FCharCase = Value;
        RecreateWnd();
    }
}

bool TCustomEdit::GetModified() const
{
    return WindowHandle ? SendMessageA(WindowHandle, EM_GETMODIFY, 0, 0) != 0 : FModified;
}

void TCustomEdit::SetModified(bool Value)
{
    FModified = Value;
    if (WindowHandle)
        Perform(EM_SETMODIFY, Value, 0);
}

int TCustomEdit::GetSelStart()
{
    DWORD start = 0;
    Perform(EM_GETSEL, WPARAM(&start), 0);
    return int(start);
}

void TCustomEdit::SetSelStart(int Value)
{
    Perform(EM_SETSEL, WPARAM(Value), LPARAM(Value));
}

int TCustomEdit::GetSelLength()
{
    DWORD start = 0, end = 0;
    Perform(EM_GETSEL, WPARAM(&start), LPARAM(&end));
    return int(end - start);
}

void TCustomEdit::SetSelLength(int Value)
{
    int start = GetSelStart();
    Perform(EM_SETSEL, WPARAM(start), LPARAM(start + Value));
    Perform(EM_SCROLLCARET);
}

AnsiString TCustomEdit::GetSelText()
{
    AnsiString text = GetText();
    int start = std::clamp(GetSelStart(), 0, int(text.size()));
    int length = std::clamp(GetSelLength(), 0, int(text.size()) - start);
    return text.substr(size_t(start), size_t(length));
}

void TCustomEdit::SetSelText(const AnsiString& Value)
{
    Perform(EM_REPLACESEL, 0, LPARAM(Value.c_str()));
}

void TCustomEdit::SelectAll()
{
    Perform(EM_SETSEL, 0, -1);
}

void TCustomEdit::ClearSelection()
{
    Perform(WM_CLEAR);
}

void TCustomEdit::Change()
{
    OnChange(this);
}

void TCustomEdit::CNCommand(TMessage& Message)
{
    if (HIWORD(Message.WParam) == EN_CHANGE && !FCreating)
        Change();
}

void TCustomEdit::CMEnter(TMessage&)
{
    if (FAutoSelect && !(GetKeyState(VK_LBUTTON) < 0) &&
        !(GetWindowLongPtrA(WindowHandle, GWL_STYLE) & ES_MULTILINE))
        SelectAll();
}

// =============================================================================================
// TCustomMemo

AnsiString TMemoStrings::Get(int Index) const
{
    if (!FMemo->HandleAllocated()) {
        TStringList lines;
        lines.SetText(FMemo->GetText());
        if (Index < 0 || Index >= lines.GetCount())
            Error("List index out of bounds (%d)", Index);
        return lines.Get(Index);
    }
    HWND h = FMemo->WindowHandle;
    if (Index < 0 || Index >= GetCount())
        Error("List index out of bounds (%d)", Index);
    int first = int(SendMessageA(h, EM_LINEINDEX, WPARAM(Index), 0));
    int length = int(SendMessageA(h, EM_LINELENGTH, WPARAM(first), 0));
    std::vector<char> buffer(size_t(std::max(length, 1)) + sizeof(WORD));
    *reinterpret_cast<WORD*>(buffer.data()) = WORD(buffer.size());
    int copied = int(SendMessageA(h, EM_GETLINE, WPARAM(Index), LPARAM(buffer.data())));
    return AnsiString(buffer.data(), size_t(std::clamp(copied, 0, length)));
}

// The window counts an empty last line; the list does not.
int TMemoStrings::GetCount() const
{
    if (!FMemo->HandleAllocated()) {
        TStringList lines;
        lines.SetText(FMemo->GetText());
        return lines.GetCount();
    }
    HWND h = FMemo->WindowHandle;
    int count = int(SendMessageA(h, EM_GETLINECOUNT, 0, 0));
    int lastStart = int(SendMessageA(h, EM_LINEINDEX, WPARAM(count - 1), 0));
    if (SendMessageA(h, EM_LINELENGTH, WPARAM(lastStart), 0) == 0)
        --count;
    return count;
}

void TMemoStrings::Put(int Index, const AnsiString& S)
{
    Delete(Index);
    Insert(Index, S);
}

void TMemoStrings::Insert(int Index, const AnsiString& S)
{
    if (!FMemo->HandleAllocated()) {
        TStringList lines;
        lines.SetText(FMemo->GetText());
        lines.Insert(Index, S);
        FMemo->SetText(lines.GetText());
        return;
    }
    HWND h = FMemo->WindowHandle;
    int count = GetCount();
    if (Index < 0 || Index > count)
        Error("List index out of bounds (%d)", Index);
    AnsiString line;
    int pos;
    if (Index < count) {
        pos = int(SendMessageA(h, EM_LINEINDEX, WPARAM(Index), 0));
        line = S + "\r\n";
    } else {
        pos = int(SendMessageA(h, WM_GETTEXTLENGTH, 0, 0));
        int lastStart = count > 0 ? int(SendMessageA(h, EM_LINEINDEX, WPARAM(count), 0)) : -1;
        line = (count > 0 && lastStart < 0) ? "\r\n" + S : S + "\r\n";
        if (count > 0 && lastStart >= 0)
            pos = lastStart;
    }
    SendMessageA(h, EM_SETSEL, WPARAM(pos), LPARAM(pos));
    SendMessageA(h, EM_REPLACESEL, 0, LPARAM(line.c_str()));
}

void TMemoStrings::Delete(int Index)
{
    if (!FMemo->HandleAllocated()) {
        TStringList lines;
        lines.SetText(FMemo->GetText());
        lines.Delete(Index);
        FMemo->SetText(lines.GetText());
        return;
    }
    HWND h = FMemo->WindowHandle;
    int start = int(SendMessageA(h, EM_LINEINDEX, WPARAM(Index), 0));
    if (start < 0)
        Error("List index out of bounds (%d)", Index);
    int end = int(SendMessageA(h, EM_LINEINDEX, WPARAM(Index + 1), 0));
    if (end < 0)
        end = start + int(SendMessageA(h, EM_LINELENGTH, WPARAM(start), 0));
    SendMessageA(h, EM_SETSEL, WPARAM(start), LPARAM(end));
    SendMessageA(h, EM_REPLACESEL, 0, LPARAM(""));
}

void TMemoStrings::Clear()
{
    FMemo->SetText({});
}

void TMemoStrings::SetUpdateState(bool Updating)
{
    if (FMemo->HandleAllocated()) {
        SendMessageA(FMemo->WindowHandle, WM_SETREDRAW, !Updating, 0);
        if (!Updating)
            FMemo->Refresh();
    }
}

AnsiString TMemoStrings::GetTextStr() const
{
    return FMemo->GetText();
}

void TMemoStrings::SetTextStr(const AnsiString& Text)
{
    // The edit wants CR LF line ends.
    AnsiString fixed;
    for (size_t i = 0; i < Text.size(); ++i) {
        char c = Text[i];
        if (c == '\n' && (i == 0 || Text[i - 1] != '\r'))
            fixed += '\r';
        fixed += c;
        if (c == '\r' && (i + 1 >= Text.size() || Text[i + 1] != '\n'))
            fixed += '\n';
    }
    FMemo->SetText(fixed);
}

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(new TMemoStrings(this))
{
    FWidth = 185;
    FHeight = 89;
    FAutoSelect = false;
}

TCustomMemo::~TCustomMemo()
{
    DestroyHandle();
    delete FLines;
}

void TCustomMemo::CreateParams(TCreateParams& Params)
{
    static const DWORD bars[] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};
    TCustomEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE | bars[int(FScrollBars)] | (FWantReturns ? ES_WANTRETURN : 0);
    if (FWordWrap)
        Params.Style &= ~DWORD(ES_AUTOHSCROLL | WS_HSCROLL);
}

void TCustomMemo::SetWordWrap(bool Value)
{
    if (FWordWrap != Value) {
        FWordWrap = Value;
        RecreateWnd();
    }
}

void TCustomMemo::SetScrollBars(TScrollStyle Value)
{
    if (FScrollBars != Value) {
        FScrollBars = Value;
        RecreateWnd();
    }
}

void TCustomMemo::KeyPress(char& Key)
{
    TCustomEdit::KeyPress(Key);
    if (Key == '\r' && !FWantReturns)
        Key = 0;
}

VCL_BEGIN_MESSAGE_MAP(TCustomMemo)
    VCL_MESSAGE(WM_GETDLGCODE, WMGetDlgCode)
VCL_END_MESSAGE_MAP(TCustomEdit)

void TCustomMemo::WMGetDlgCode(TMessage& Message)
{
    DefaultHandler(Message);
    if (FWantTabs)
        Message.Result |= DLGC_WANTTAB;
    else
        Message.Result &= ~LRESULT(DLGC_WANTTAB);
    if (!FWantReturns)
        Message.Result &= ~LRESULT(DLGC_WANTALLKEYS);
}

// =============================================================================================
// TListControlStrings

TListControlStrings::TListControlStrings(TCustomListControl* Owner, const Messages& Msgs)
    : FOwner(Owner), FMsgs(Msgs), FSaved(new TStringList)
{
}

TListControlStrings::~TListControlStrings()
{
    delete FSaved;
}

bool TListControlStrings::Live() const
{
    return FOwner->HandleAllocated();
}

LRESULT TListControlStrings::Send(UINT Msg, WPARAM W, LPARAM L) const
{
    return FOwner->Perform(Msg, W, L);
}

// A message with ANSI text goes through Windows to a Unicode window (a layer's), which converts the text.
LRESULT TListControlStrings::SendText(UINT Msg, WPARAM W, LPARAM L) const
{
    if (IsWindowUnicode(FOwner->WindowHandle))
        return SendMessageA(FOwner->WindowHandle, Msg, W, L);
    return Send(Msg, W, L);
}

AnsiString TListControlStrings::Get(int Index) const
{
    if (!Live())
        return FSaved->Get(Index);
    LRESULT length = SendText(FMsgs.GetTextLen, WPARAM(Index));
    if (length == LRESULT(FMsgs.Err))
        Error("List index out of bounds (%d)", Index);
    std::vector<char> buffer(size_t(length) + 1);
    LRESULT copied = SendText(FMsgs.GetText, WPARAM(Index), LPARAM(buffer.data()));
    return AnsiString(buffer.data(), size_t(std::clamp<LRESULT>(copied, 0, length)));
}

int TListControlStrings::GetCount() const
{
    return Live() ? int(Send(FMsgs.Count)) : FSaved->GetCount();
}

TObject* TListControlStrings::GetObject(int Index) const
{
    if (!Live())
        return FSaved->GetObject(Index);
    LRESULT data = Send(FMsgs.GetData, WPARAM(Index));
    if (data == LRESULT(FMsgs.Err))
        Error("List index out of bounds (%d)", Index);
    return reinterpret_cast<TObject*>(data);
}

void TListControlStrings::Put(int Index, const AnsiString& S)
{
    bool selected = Live() && FOwner->GetItemIndex() == Index;
    TStrings::Put(Index, S);
    if (selected)
        FOwner->SetItemIndex(Index);
}

void TListControlStrings::PutObject(int Index, TObject* Object)
{
    if (!Live()) {
        FSaved->PutObject(Index, Object);
        return;
    }
    if (Send(FMsgs.SetData, WPARAM(Index), LPARAM(Object)) == LRESULT(FMsgs.Err))
        Error("List index out of bounds (%d)", Index);
}

int TListControlStrings::Add(const AnsiString& S)
{
    if (!Live()) {
        if (FSorted) {
            int i = 0;
            while (i < FSaved->GetCount() && CompareStr(FSaved->Get(i), S) <= 0)
                ++i;
            FSaved->Insert(i, S);
            return i;
        }
        return FSaved->Add(S);
    }
    LRESULT index = SendText(FMsgs.Add, 0, LPARAM(S.c_str()));
    if (index < 0)
        throw EOutOfResources("Unable to insert a line");
    return int(index);
}

void TListControlStrings::Insert(int Index, const AnsiString& S)
{
    if (!Live()) {
        FSaved->Insert(Index, S);
        return;
    }
    if (SendText(FMsgs.Insert, WPARAM(Index), LPARAM(S.c_str())) < 0)
        throw EOutOfResources("Unable to insert a line");
}

void TListControlStrings::Delete(int Index)
{
    if (!Live()) {
        FSaved->Delete(Index);
        return;
    }
    Send(FMsgs.Delete, WPARAM(Index));
}

void TListControlStrings::Clear()
{
    if (!Live()) {
        FSaved->Clear();
        return;
    }
    Send(FMsgs.Reset);
}

// The window compares without regard to case, as the list does while there is no window.
int TListControlStrings::IndexOf(const AnsiString& S) const
{
    if (Live()) {
        LRESULT index = SendText(FMsgs.FindExact, WPARAM(-1), LPARAM(S.c_str()));
        return index == LRESULT(FMsgs.Err) ? -1 : int(index);
    }
    for (int i = 0, n = FSaved->GetCount(); i < n; ++i)
        if (AnsiCompareText(FSaved->Get(i), S) == 0)
            return i;
    return -1;
}

void TListControlStrings::SetUpdateState(bool Updating)
{
    if (Live()) {
        SendMessageA(FOwner->WindowHandle, WM_SETREDRAW, !Updating, 0);
        if (!Updating)
            FOwner->Refresh();
    }
}

void TListControlStrings::LoadIntoWindow()
{
    for (int i = 0; i < FSaved->GetCount(); ++i) {
        LRESULT index = SendText(FMsgs.Add, 0, LPARAM(FSaved->Get(i).c_str()));
        if (index >= 0)
            Send(FMsgs.SetData, WPARAM(index), LPARAM(FSaved->GetObject(i)));
    }
    FSaved->Clear();
}

void TListControlStrings::SaveFromWindow()
{
    FSaved->Clear();
    int count = int(Send(FMsgs.Count));
    for (int i = 0; i < count; ++i)
        FSaved->AddObject(Get(i), GetObject(i));
}

namespace {

const TListControlStrings::Messages ComboMessages{
    CB_GETCOUNT,     CB_GETLBTEXT,    CB_GETLBTEXTLEN, CB_GETITEMDATA,     CB_SETITEMDATA, CB_ADDSTRING,
    CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT, CB_FINDSTRINGEXACT, UINT(CB_ERR)};
const TListControlStrings::Messages ListMessages{
    LB_GETCOUNT,     LB_GETTEXT,      LB_GETTEXTLEN,   LB_GETITEMDATA,     LB_SETITEMDATA, LB_ADDSTRING,
    LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, LB_FINDSTRINGEXACT, UINT(LB_ERR)};
const char ComboPropName[] = "PagorinComboOwner";

// The list box's items: deletion goes through the list box's own operations, and a move is one move for
// the list box (the selection travels with the item).
class TListBoxStrings : public TListControlStrings {
    VCL_CLASS(TListBoxStrings, TListControlStrings)
    explicit TListBoxStrings(TCustomListBox* ListBox) : TListControlStrings(ListBox, ListMessages) {}
    AnsiString Get(int Index) const override
    {
        if (!ListBox()->IsVirtual())
            return TListControlStrings::Get(Index);
        AnsiString data;
        if (!ListBox()->GetVirtualItem(Index, data))
            Error("List index out of bounds (%d)", Index);
        return data;
    }
    int GetCount() const override
    {
        return ListBox()->IsVirtual() ? ListBox()->GetCount() : TListControlStrings::GetCount();
    }
    TObject* GetObject(int Index) const override
    {
        return ListBox()->IsVirtual() ? ListBox()->GetVirtualObject(Index) : TListControlStrings::GetObject(Index);
    }
    int IndexOf(const AnsiString& S) const override
    {
        return ListBox()->IsVirtual() ? ListBox()->FindVirtualItem(S) : TListControlStrings::IndexOf(S);
    }
    void Delete(int Index) override
    {
        if (Live())
            ListBox()->DeleteString(Index);
        else
            TListControlStrings::Delete(Index);
    }
    void Clear() override
    {
        if (Live())
            ListBox()->ResetContent();
        else
            TListControlStrings::Clear();
    }
    void Move(int CurIndex, int NewIndex) override
    {
        ListBox()->SetMoving(true);
        struct Done {
            TCustomListBox* box;
            ~Done() { box->SetMoving(false); }
        } done{ListBox()};
        TListControlStrings::Move(CurIndex, NewIndex);
    }

private:
    TCustomListBox* ListBox() const { return static_cast<TCustomListBox*>(FOwner); }
};
VCL_IMPLEMENT_CLASS(TListBoxStrings, TListControlStrings)

// Owner-drawn items of combo and list boxes: the control's font and brush on the item's DC, highlight colours
// when selected, the focus rectangle after the item's own painting; the DC is let go on every path.
template <class Paint>
void PaintOwnerDrawnItem(TCanvas* Canvas, TFont* Font, TBrush* Brush, const DRAWITEMSTRUCT& Item, Paint paint)
{
    Canvas->SetHandle(Item.hDC);
    struct Release {
        TCanvas* canvas;
        ~Release() { canvas->SetHandle(nullptr); }
    } release{Canvas};
    Canvas->GetFont()->Assign(Font);
    Canvas->GetBrush()->Assign(Brush);
    if (Item.itemState & ODS_SELECTED) {
        Canvas->GetBrush()->SetColor(clHighlight);
        Canvas->GetFont()->SetColor(clHighlightText);
    }
    paint();
    if (Item.itemState & ODS_FOCUS)
        DrawFocusRect(Item.hDC, &Item.rcItem);
}

// Copies Text with its terminator into the caller's buffer of a text request; returns the length.
LRESULT CopyItemText(const AnsiString& Text, LPARAM Buffer)
{
    if (Buffer)
        std::memcpy(reinterpret_cast<char*>(Buffer), Text.c_str(), Text.size() + 1);
    return LRESULT(Text.size());
}

}  // namespace

// =============================================================================================
// TCustomItemListControl

TCustomItemListControl::TCustomItemListControl(TComponent* AOwner, TListControlStrings* Items)
    : TCustomListControl(AOwner), FItems(Items), FCanvas(new TControlCanvas)
{
    static_cast<TControlCanvas*>(FCanvas)->SetControl(this);
    FTabStop = true;
    FColor = clWindow;
    FParentColor = false;
    GetBrush()->SetColor(clWindow);
}

TCustomItemListControl::~TCustomItemListControl()
{
    delete FCanvas;
    delete FItems;
}

VCL_BEGIN_MESSAGE_MAP(TCustomItemListControl)
    VCL_MESSAGE(CN_DRAWITEM, CNDrawItem)
    VCL_MESSAGE(CN_MEASUREITEM, CNMeasureItem)
VCL_END_MESSAGE_MAP(TCustomListControl)

void TCustomItemListControl::AddItem(const AnsiString& Item, TObject* AObject)
{
    FItems->AddObject(Item, AObject);
}

void TCustomItemListControl::SetSorted(bool Value)
{
    if (FSorted != Value) {
        FSorted = Value;
        FItems->SetSorted(Value);
        RecreateWnd();
    }
}

void TCustomItemListControl::SetItemHeight(int Value)
{
    if (Value > 0 && FItemHeight != Value) {
        FItemHeight = Value;
        RecreateWnd();
    }
}

void TCustomItemListControl::DrawItem(int Index, RECT Rect, unsigned State)
{
    if (OnDrawItem)
        OnDrawItem(this, Index, Rect, State);
    else
        DrawItemText(Index, Rect);
}

void TCustomItemListControl::DrawItemText(int Index, const RECT& Rect)
{
    FCanvas->FillRect(Rect);
    if (Index >= 0 && Index < FItems->GetCount())
        FCanvas->TextOut(Rect.left + 2, Rect.top, FItems->Get(Index));
}

void TCustomItemListControl::MeasureItem(int Index, int& Height)
{
    OnMeasureItem(this, Index, Height);
}

void TCustomItemListControl::CNDrawItem(TMessage& Message)
{
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    PaintOwnerDrawnItem(FCanvas, FFont, GetBrush(), *draw,
                        [&] { DrawItem(int(draw->itemID), draw->rcItem, draw->itemState); });
    Message.Result = 1;
}

void TCustomItemListControl::CNMeasureItem(TMessage& Message)
{
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    int height = FItemHeight;
    if (HasVariableItemHeight())
        MeasureItem(int(measure->itemID), height);
    measure->itemHeight = UINT(height);
    Message.Result = 1;
}

// =============================================================================================
// TCustomComboBox

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TCustomItemListControl(AOwner, new TListControlStrings(this, ComboMessages))
{
    FWidth = 145;
    FHeight = 21;
    ControlStyle >> csSetCaption;
}

TCustomComboBox::~TCustomComboBox()
{
    DestroyHandle();
}

void TCustomComboBox::CreateParams(TCreateParams& Params)
{
    static const DWORD styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST,
                                   CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                   CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
    TCustomItemListControl::CreateParams(Params);
    CreateSubClass(Params, "COMBOBOX");
    Params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | styles[int(FStyle)] | (GetSorted() ? CBS_SORT : 0);
    if (FStyle == TComboBoxStyle::csOwnerDrawFixed || FStyle == TComboBoxStyle::csOwnerDrawVariable)
        Params.Style |= CBS_HASSTRINGS;
    // The drop-down list is part of the window's height.
    if (FStyle != TComboBoxStyle::csSimple)
        Params.Height = FHeight + FDropDownCount * FItemHeight + 2;
}

void TCustomComboBox::CreateWnd()
{
    AnsiString text = FText;
    TCustomItemListControl::CreateWnd();
    Perform(CB_LIMITTEXT, WPARAM(FMaxLength), 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(WindowHandle, &info)) {
        EditHandle = info.hwndItem != WindowHandle ? info.hwndItem : nullptr;
        ListHandle = info.hwndList;
    }
    if (EditHandle)
        HookInnerWindow(EditHandle, DefEditProc);
    if (ListHandle)
        HookInnerWindow(ListHandle, DefListProc);
    FItems->LoadIntoWindow();
    if (FSavedIndex >= 0)
        Perform(CB_SETCURSEL, WPARAM(FSavedIndex), 0);
    else if (FStyle != TComboBoxStyle::csDropDownList && !text.empty())
        SetWindowTextA(WindowHandle, text.c_str());
    FSavedIndex = -1;
    // Keep the height the library was given (the edit part), not what the system chose.
    RECT r;
    GetWindowRect(WindowHandle, &r);
    FHeight = r.bottom - r.top;
}

void TCustomComboBox::DestroyWnd()
{
    // Items survive only when there are any (an empty list stays as the new window makes it).
    if (Perform(CB_GETCOUNT) > 0)
        FItems->SaveFromWindow();
    FSavedIndex = int(Perform(CB_GETCURSEL));
    UnhookInnerWindow(EditHandle, DefEditProc);
    UnhookInnerWindow(ListHandle, DefListProc);
    TCustomItemListControl::DestroyWnd();
}

void TCustomComboBox::HookInnerWindow(HWND Window, WNDPROC& Saved)
{
    SetPropA(Window, ComboPropName, this);
    Saved = WNDPROC(SetWindowLongPtrA(Window, GWLP_WNDPROC, LONG_PTR(&InnerWndProc)));
}

// The saved procedure goes back the way the window takes it now: a layer that switched the window to wide
// procedures saved the wide form.
void TCustomComboBox::UnhookInnerWindow(HWND& Window, WNDPROC& Saved)
{
    if (Window) {
        RemovePropA(Window, ComboPropName);
        if (Saved) {
            if (IsWindowUnicode(Window))
                SetWindowLongPtrW(Window, GWLP_WNDPROC, LONG_PTR(Saved));
            else
                SetWindowLongPtrA(Window, GWLP_WNDPROC, LONG_PTR(Saved));
        }
    }
    Window = nullptr;
    Saved = nullptr;
}

LRESULT CALLBACK TCustomComboBox::InnerWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto* combo = static_cast<TCustomComboBox*>(GetPropA(Window, ComboPropName));
    if (!combo)
        return DefWindowProcA(Window, Msg, WParam, LParam);
    WNDPROC proc = Window == combo->EditHandle ? combo->DefEditProc : combo->DefListProc;
    TMessage message{Msg, WParam, LParam, 0};
    try {
        combo->ComboWndProc(message, Window, proc);
    } catch (...) {
        HandleControlException(combo);
    }
    return message.Result;
}

void TCustomComboBox::ComboWndProc(TMessage& Message, HWND ComboWnd, WNDPROC ComboProc)
{
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        // The combo box as a whole gains or loses the focus.
        if (Message.Msg == WM_SETFOCUS) {
            if (TCustomForm* form = GetParentForm())
                form->FocusChanged(this);
        }
        break;
    case WM_CHAR:
        if (DoKeyPress(Message))
            return;
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (DoKeyDown(Message))
            return;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (DoKeyUp(Message))
            return;
        break;
    case WM_NCDESTROY: {
        Message.Result = CallWindowProcA(ComboProc, ComboWnd, Message.Msg, Message.WParam, Message.LParam);
        RemovePropA(ComboWnd, ComboPropName);
        if (ComboWnd == EditHandle)
            EditHandle = nullptr;
        else if (ComboWnd == ListHandle)
            ListHandle = nullptr;
        return;
    }
    default:
        break;
    }
    Message.Result = CallWindowProcA(ComboProc, ComboWnd, Message.Msg, Message.WParam, Message.LParam);
}

VCL_BEGIN_MESSAGE_MAP(TCustomComboBox)
    VCL_MESSAGE(CN_COMMAND, CNCommand)
    VCL_MESSAGE(WM_CHAR, WMChar)
VCL_END_MESSAGE_MAP(TCustomItemListControl)

int TCustomComboBox::GetItemIndex() const
{
    return WindowHandle ? int(SendMessageA(WindowHandle, CB_GETCURSEL, 0, 0)) : FSavedIndex;
}

void TCustomComboBox::SetItemIndex(int Value)
{
    if (!WindowHandle) {
        FSavedIndex = Value;
        if (Value >= 0 && Value < FItems->GetCount())
            FText = FItems->Get(Value);
        return;
    }
    if (GetItemIndex() != Value)
        Perform(CB_SETCURSEL, WPARAM(Value), 0);
}

void TCustomComboBox::CopySelection(TCustomListControl* Destination)
{
    int index = GetItemIndex();
    if (index >= 0)
        Destination->AddItem(FItems->Get(index), FItems->GetObject(index));
}

void TCustomComboBox::Clear()
{
    SetText({});
    FItems->Clear();
    FSavedIndex = -1;
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        RecreateWnd();
    }
}

void TCustomComboBox::SetMaxLength(int Value)
{
    FMaxLength = std::max(0, Value);
    if (WindowHandle)
        Perform(CB_LIMITTEXT, WPARAM(FMaxLength), 0);
}

bool TCustomComboBox::GetDroppedDown()
{
    return WindowHandle && Perform(CB_GETDROPPEDSTATE) != 0;
}

void TCustomComboBox::SetDroppedDown(bool Value)
{
    Perform(CB_SHOWDROPDOWN, Value, 0);
}

int TCustomComboBox::GetSelStart()
{
    DWORD start = 0;
    Perform(CB_GETEDITSEL, WPARAM(&start), 0);
    return int(start);
}

void TCustomComboBox::SetSelStart(int Value)
{
    Perform(CB_SETEDITSEL, 0, MAKELPARAM(Value, Value));
}

int TCustomComboBox::GetSelLength()
{
    DWORD start = 0, end = 0;
    Perform(CB_GETEDITSEL, WPARAM(&start), LPARAM(&end));
    return int(end - start);
}

void TCustomComboBox::SetSelLength(int Value)
{
    int start = GetSelStart();
    Perform(CB_SETEDITSEL, 0, MAKELPARAM(start, start + Value));
}

AnsiString TCustomComboBox::GetSelText()
{
    AnsiString text = GetText();
    int start = std::clamp(GetSelStart(), 0, int(text.size()));
    return text.substr(size_t(start), size_t(std::clamp(GetSelLength(), 0, int(text.size()) - start)));
}

void TCustomComboBox::SetSelText(const AnsiString& Value)
{
    if (EditHandle)
        SendMessageA(EditHandle, EM_REPLACESEL, 0, LPARAM(Value.c_str()));
}

void TCustomComboBox::Change()
{
    OnChange(this);
}

void TCustomComboBox::Select()
{
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::DropDown()
{
    OnDropDown(this);
}

void TCustomComboBox::CloseUp()
{
    OnCloseUp(this);
}

void TCustomComboBox::CNCommand(TMessage& Message)
{
    switch (HIWORD(Message.WParam)) {
    case CBN_SELCHANGE: {
        int index = GetItemIndex();
        SetText(index >= 0 ? FItems->Get(index) : AnsiString());
        Click();
        Select();
        break;
    }
    case CBN_EDITCHANGE:
        Change();
        break;
    case CBN_DROPDOWN:
        DropDown();
        break;
    case CBN_CLOSEUP:
        CloseUp();
        break;
    default:
        break;
    }
}

void TCustomComboBox::WMChar(TMessage& Message)
{
    if (!DoKeyPress(Message))
        DefaultHandler(Message);
}

void TCustomComboBox::KeyPress(char& Key)
{
    TCustomItemListControl::KeyPress(Key);
    if (!FAutoComplete || !FAutoDropDown)
        return;
    switch (Key) {
    case 0:
    case VK_BACK:
    case VK_ESCAPE:
        break;
    case VK_TAB:
        if (GetDroppedDown())
            SetDroppedDown(false);
        break;
    default:
        if (!GetDroppedDown())
            SetDroppedDown(true);
        break;
    }
}

// =============================================================================================
// TCustomListBox

TCustomListBox::TCustomListBox(TComponent* AOwner) : TCustomItemListControl(AOwner, new TListBoxStrings(this))
{
    FWidth = 121;
    FHeight = 97;
}

TCustomListBox::~TCustomListBox()
{
    DestroyHandle();
}

void TCustomListBox::CreateParams(TCreateParams& Params)
{
    static const DWORD styles[] = {0, LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE, LBS_NODATA | LBS_OWNERDRAWFIXED,
                                   LBS_NODATA | LBS_OWNERDRAWFIXED};
    TCustomItemListControl::CreateParams(Params);
    CreateSubClass(Params, "LISTBOX");
    Params.Style |= LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | styles[int(FStyle)] |
                    (GetSorted() && !IsVirtual() ? LBS_SORT : 0) | (FMultiSelect ? LBS_EXTENDEDSEL : 0);
    if (FStyle == TListBoxStyle::lbOwnerDrawFixed || FStyle == TListBoxStyle::lbOwnerDrawVariable)
        Params.Style |= LBS_HASSTRINGS;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd()
{
    TCustomItemListControl::CreateWnd();
    if (FStyle != TListBoxStyle::lbOwnerDrawVariable)
        Perform(LB_SETITEMHEIGHT, 0, FItemHeight);
    if (IsVirtual())
        Perform(LB_SETCOUNT, WPARAM(FCount), 0);
    else
        FItems->LoadIntoWindow();
    Perform(LB_SETTOPINDEX, WPARAM(FSavedTop), 0);
    SetItemIndex(FSavedIndex);
    FSavedIndex = -1;
}

void TCustomListBox::DestroyWnd()
{
    if (!IsVirtual() && Perform(LB_GETCOUNT) > 0)
        FItems->SaveFromWindow();
    FSavedIndex = GetItemIndex();
    FSavedTop = int(Perform(LB_GETTOPINDEX));
    TCustomItemListControl::DestroyWnd();
}

VCL_BEGIN_MESSAGE_MAP(TCustomListBox)
    VCL_MESSAGE(CN_COMMAND, CNCommand)
    VCL_MESSAGE(CN_DRAWITEM, CNDrawItem)
    VCL_MESSAGE(LB_GETTEXT, LBGetText)
    VCL_MESSAGE(LB_GETTEXTLEN, LBGetTextLen)
    VCL_MESSAGE(LB_GETITEMDATA, LBGetItemData)
    VCL_MESSAGE(LB_FINDSTRINGEXACT, LBFindStringExact)
    VCL_MESSAGE(LB_DELETESTRING, LBDeleteString)
    VCL_MESSAGE(LB_INSERTSTRING, LBInsertString)
VCL_END_MESSAGE_MAP(TCustomItemListControl)

int TCustomListBox::GetItemIndex() const
{
    if (!WindowHandle)
        return FSavedIndex;
    if (FMultiSelect)
        return int(SendMessageA(WindowHandle, LB_GETCARETINDEX, 0, 0));
    return int(SendMessageA(WindowHandle, LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int Value)
{
    if (!WindowHandle) {
        FSavedIndex = Value;
        return;
    }
    if (FMultiSelect)
        Perform(LB_SETCARETINDEX, WPARAM(Value), 0);
    else
        Perform(LB_SETCURSEL, WPARAM(Value), 0);
}

void TCustomListBox::CopySelection(TCustomListControl* Destination)
{
    for (int i = 0; i < GetCount(); ++i)
        if (GetSelected(i))
            Destination->AddItem(FItems->Get(i), FItems->GetObject(i));
}

void TCustomListBox::Clear()
{
    FItems->Clear();
}

int TCustomListBox::GetCount() const
{
    if (IsVirtual())
        return WindowHandle ? int(SendMessageA(WindowHandle, LB_GETCOUNT, 0, 0)) : FCount;
    return FItems->GetCount();
}

void TCustomListBox::SetCount(int Value)
{
    if (!IsVirtual())
        throw EListError("Operation not allowed on a list box that is not virtual");
    FCount = std::max(0, Value);
    if (WindowHandle)
        Perform(LB_SETCOUNT, WPARAM(FCount), 0);
}

void TCustomListBox::SetStyle(TListBoxStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        RecreateWnd();
    }
}

void TCustomListBox::SetMultiSelect(bool Value)
{
    if (FMultiSelect != Value) {
        FMultiSelect = Value;
        RecreateWnd();
    }
}

bool TCustomListBox::GetSelected(int Index)
{
    LRESULT r = Perform(LB_GETSEL, WPARAM(Index), 0);
    if (r == LB_ERR)
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return r != 0;
}

void TCustomListBox::SetSelected(int Index, bool Value)
{
    if (FMultiSelect)
        Perform(LB_SETSEL, Value, Index);
    else if (Value)
        SetItemIndex(Index);
    else if (GetItemIndex() == Index)
        SetItemIndex(-1);
}

int TCustomListBox::GetSelCount()
{
    return FMultiSelect ? int(Perform(LB_GETSELCOUNT)) : (GetItemIndex() >= 0 ? 1 : 0);
}

int TCustomListBox::GetTopIndex()
{
    return int(Perform(LB_GETTOPINDEX));
}

void TCustomListBox::SetTopIndex(int Value)
{
    Perform(LB_SETTOPINDEX, WPARAM(Value), 0);
}

int TCustomListBox::ItemAtPos(POINT Pos, bool Existing)
{
    LRESULT r = Perform(LB_ITEMFROMPOINT, 0, MAKELPARAM(Pos.x, Pos.y));
    bool outside = HIWORD(r) != 0;
    if (outside && Existing)
        return -1;
    return int(LOWORD(r));
}

RECT TCustomListBox::ItemRect(int Index)
{
    RECT r{};
    Perform(LB_GETITEMRECT, WPARAM(Index), LPARAM(&r));
    return r;
}

void TCustomListBox::DeleteString(int Index)
{
    Perform(LB_DELETESTRING, WPARAM(Index), 0);
}

void TCustomListBox::ResetContent()
{
    Perform(LB_RESETCONTENT);
    if (IsVirtual())
        FCount = 0;
}

void TCustomListBox::SetMoving(bool Value)
{
    FMoving = Value;
    FMovedSelected = -1;
}

bool TCustomListBox::GetVirtualItem(int Index, AnsiString& Data)
{
    if (Index < 0 || Index >= GetCount() || !OnData)
        return false;
    OnData(this, Index, Data);
    return true;
}

TObject* TCustomListBox::GetVirtualObject(int Index)
{
    TObject* object = nullptr;
    if (Index >= 0 && Index < GetCount())
        OnDataObject(this, Index, object);
    return object;
}

int TCustomListBox::FindVirtualItem(const AnsiString& S)
{
    int index = -1;
    OnDataFind(this, S, index);
    return index >= 0 && index < GetCount() ? index : -1;
}

void TCustomListBox::CNCommand(TMessage& Message)
{
    switch (HIWORD(Message.WParam)) {
    case LBN_SELCHANGE:
        Click();
        OnChange(this);
        break;
    case LBN_DBLCLK:
        DblClick();
        break;
    default:
        break;
    }
}

// An empty list box asks only for its focus rectangle: there is no item to draw.
void TCustomListBox::CNDrawItem(TMessage& Message)
{
    if (int(reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam)->itemID) < 0)
        Message.Result = 1;
    else
        TCustomItemListControl::CNDrawItem(Message);
}

void TCustomListBox::LBGetText(TMessage& Message)
{
    if (!IsVirtual()) {
        DefaultHandler(Message);
        return;
    }
    AnsiString text;
    Message.Result = GetVirtualItem(int(Message.WParam), text) ? CopyItemText(text, Message.LParam) : LB_ERR;
}

void TCustomListBox::LBGetTextLen(TMessage& Message)
{
    if (!IsVirtual()) {
        DefaultHandler(Message);
        return;
    }
    AnsiString text;
    Message.Result = GetVirtualItem(int(Message.WParam), text) ? LRESULT(text.size()) : LB_ERR;
}

void TCustomListBox::LBGetItemData(TMessage& Message)
{
    if (!IsVirtual()) {
        DefaultHandler(Message);
        return;
    }
    Message.Result = LRESULT(GetVirtualObject(int(Message.WParam)));
}

void TCustomListBox::LBFindStringExact(TMessage& Message)
{
    if (!IsVirtual()) {
        DefaultHandler(Message);
        return;
    }
    int index = Message.LParam ? FindVirtualItem(reinterpret_cast<const char*>(Message.LParam)) : -1;
    Message.Result = index >= 0 ? LRESULT(index) : LB_ERR;
}

void TCustomListBox::LBDeleteString(TMessage& Message)
{
    if (FMoving) {
        LRESULT sel = SendMessageA(WindowHandle, LB_GETSEL, Message.WParam, 0);
        FMovedSelected = sel == LB_ERR ? -1 : sel != 0;
    }
    DefaultHandler(Message);
}

void TCustomListBox::LBInsertString(TMessage& Message)
{
    DefaultHandler(Message);
    if (FMoving && FMovedSelected == 1 && Message.Result >= 0)
        SetSelected(int(Message.Result), true);
    FMovedSelected = -1;
}

// =============================================================================================
// TScrollBar

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner)
{
    FWidth = 121;
    FHeight = GetSystemMetrics(SM_CYHSCROLL);
    FTabStop = true;
}

void TScrollBar::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "SCROLLBAR");
    Params.Style |= FKind == TScrollBarKind::sbVertical ? SBS_VERT : SBS_HORZ;
}

void TScrollBar::CreateWnd()
{
    TWinControl::CreateWnd();
    SetScrollRange(WindowHandle, SB_CTL, FMin, FMax, FALSE);
    SetScrollPos(WindowHandle, SB_CTL, FPosition, TRUE);
}

VCL_BEGIN_MESSAGE_MAP(TScrollBar)
    VCL_MESSAGE(CN_HSCROLL, CNScroll)
    VCL_MESSAGE(CN_VSCROLL, CNScroll)
VCL_END_MESSAGE_MAP(TWinControl)

void TScrollBar::SetKind(TScrollBarKind Value)
{
    if (FKind != Value) {
        FKind = Value;
        RecreateWnd();
    }
}

void TScrollBar::SetPosition(int Value)
{
    SetParams(Value, FMin, FMax);
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax)
{
    APosition = std::clamp(APosition, AMin, std::max(AMin, AMax));
    bool changed = APosition != FPosition;
    FMin = AMin;
    FMax = AMax;
    FPosition = APosition;
    if (WindowHandle) {
        SetScrollRange(WindowHandle, SB_CTL, FMin, FMax, FALSE);
        SetScrollPos(WindowHandle, SB_CTL, FPosition, TRUE);
    }
    if (changed)
        OnChange(this);
}

void TScrollBar::CNScroll(TMessage& Message)
{
    int pos = FPosition;
    switch (LOWORD(Message.WParam)) {
    case SB_LINEUP:
        --pos;
        break;
    case SB_LINEDOWN:
        ++pos;
        break;
    case SB_PAGEUP:
        pos -= 10;
        break;
    case SB_PAGEDOWN:
        pos += 10;
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        pos = short(HIWORD(Message.WParam));
        break;
    case SB_TOP:
        pos = FMin;
        break;
    case SB_BOTTOM:
        pos = FMax;
        break;
    default:
        return;
    }
    SetPosition(pos);
}

}  // namespace vcl
