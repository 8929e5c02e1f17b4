// Standard controls with wide captions: edit, memo, label, static text, push button, check box, radio
// button, scroll bar and group box (the combo and list boxes are in WydStdCtrlsLists.cpp).
#include "WydStdCtrls.h"

#include <cassert>

#include "Forms.h"
#include "WydForms.h"
#include "WydGraphics.h"
#include "WydSysUtils.h"
#include "WydWindows.h"

using namespace vcl;

namespace {

template <class C>
void PublishWideCaption(TMetaClass& m)
{
    m.Publish("Caption", &C::GetCaption, &C::SetCaption).Stored(&C::IsCaptionStored);
    m.Publish("Hint", &C::GetHint, &C::SetHint).Stored(&C::IsHintStored);
}

template <class C>
void PublishWideText(TMetaClass& m)
{
    m.Publish("Text", &C::GetText, &C::SetText);
    m.Publish("Hint", &C::GetHint, &C::SetHint).Stored(&C::IsHintStored);
}

bool IsLoading(const TComponent* c) { return c->GetComponentState().Contains(csLoading); }

// The accelerator character of a CM_DIALOGCHAR (a wide character may come packed for the class library).
WORD DialogChar(const TMessage& message) { return WORD(GetWideCharFromWMCharMsg(message)); }

// Whether the character of a CM_DIALOGCHAR is the wide caption's accelerator and the control can take the
// focus; if so the message is answered as taken. The class library's own ANSI test is never asked about a
// wide caption: the '?' standing for a character outside the code page would match a typed '?'.
bool TakesAccelerator(TWinControl* control, TMessage& message, const WideString& caption)
{
    if (!IsWideCharAccel(DialogChar(message), caption) || !control->CanFocus())
        return false;
    message.Result = 1;
    return true;
}

// A wide message to the control's window (made when it has none yet).
LRESULT SendWide(TWinControl* control, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return SendMessageW(control->GetHandle(), msg, wParam, lParam);
}

}  // namespace

VCL_IMPLEMENT_CLASS(TWydCustomEdit, TCustomEdit)
VCL_IMPLEMENT_CLASS(TWydEdit, TWydCustomEdit, {
    PublishWideText<TWydEdit>(m);
    m.Publish("PasswordChar", &TWydEdit::GetPasswordChar, &TWydEdit::SetPasswordChar).WithDefault(0);
    PublishEditProperties<TWydEdit>(m);
})
VCL_IMPLEMENT_CLASS(TWydMemoStrings, TWydStrings)
VCL_IMPLEMENT_CLASS(TWydCustomMemo, TCustomMemo)
VCL_IMPLEMENT_CLASS(TWydMemo, TWydCustomMemo, {
    m.Publish("Hint", &TWydMemo::GetHint, &TWydMemo::SetHint).Stored(&TWydMemo::IsHintStored);
    m.PublishReadOnly("Lines", &TWydMemo::GetLines);
    PublishMemoProperties<TWydMemo>(m);
})
VCL_IMPLEMENT_CLASS(TWydCustomLabel, TCustomLabel)
VCL_IMPLEMENT_CLASS(TWydLabel, TWydCustomLabel, {
    PublishWideCaption<TWydLabel>(m);
    PublishLabelProperties<TWydLabel>(m);
})
VCL_IMPLEMENT_CLASS(TWydCustomStaticText, TCustomStaticText)
VCL_IMPLEMENT_CLASS(TWydStaticText, TWydCustomStaticText, {
    PublishWideCaption<TWydStaticText>(m);
    PublishStaticTextProperties<TWydStaticText>(m);
})
VCL_IMPLEMENT_CLASS(TWydButton, TButton, { PublishWideCaption<TWydButton>(m); })
VCL_IMPLEMENT_CLASS(TWydCustomCheckBox, TCustomCheckBox)
VCL_IMPLEMENT_CLASS(TWydCheckBox, TWydCustomCheckBox, {
    PublishWideCaption<TWydCheckBox>(m);
    PublishCheckBoxProperties<TWydCheckBox>(m);
})
VCL_IMPLEMENT_CLASS(TWydRadioButton, TRadioButton, { PublishWideCaption<TWydRadioButton>(m); })
VCL_IMPLEMENT_CLASS(TWydScrollBar, TScrollBar, {
    m.Publish("Hint", &TWydScrollBar::GetHint, &TWydScrollBar::SetHint).Stored(&TWydScrollBar::IsHintStored);
})
VCL_IMPLEMENT_CLASS(TWydCustomGroupBox, TCustomGroupBox)
VCL_IMPLEMENT_CLASS(TWydGroupBox, TWydCustomGroupBox, { PublishWideCaption<TWydGroupBox>(m); })

// =============================================================================================
// Edit routines

char AnsiPasswordChar(wchar_t c) { return c < 256 ? char(BYTE(c)) : '*'; }

int WideSelStartFromAnsi(const AnsiString& ansiText, int ansiStart)
{
    size_t start = size_t(std::clamp(ansiStart, 0, int(ansiText.size())));
    return int(AnsiToWide(ansiText.substr(0, start)).size());
}

int AnsiLengthOfWide(const WideString& text, int start, int count)
{
    size_t from = size_t(std::clamp(start, 0, int(text.size())));
    return int(WideToAnsi(text.substr(from, size_t(std::max(0, count)))).size());
}

namespace {

// Selection positions of an edit or a combo box's edit (class-library class C). On a Unicode platform the
// window counts UTF-16 units, as the wide text does; elsewhere the positions are converted through the ANSI
// text.

template <class C> int SelStart(C* control)
{
    int start = control->C::GetSelStart();
    return Win32PlatformIsUnicode ? start : WideSelStartFromAnsi(control->TControl::GetText(), start);
}

template <class C> void SetSelStart(C* control, int value)
{
    control->C::SetSelStart(Win32PlatformIsUnicode ? value : AnsiLengthOfWide(WydControl_GetText(control), 0, value));
}

template <class C> int SelLength(C* control)
{
    if (Win32PlatformIsUnicode)
        return control->C::GetSelLength();
    return int(AnsiToWide(control->C::GetSelText()).size());
}

template <class C> void SetSelLength(C* control, int value)
{
    if (!Win32PlatformIsUnicode)
        value = AnsiLengthOfWide(WydControl_GetText(control), SelStart(control), value);
    control->C::SetSelLength(value);
}

template <class C> WideString SelText(C* control)
{
    if (!Win32PlatformIsUnicode)
        return AnsiToWide(control->C::GetSelText());
    WideString text = WydControl_GetText(control);
    size_t start = size_t(std::clamp(control->C::GetSelStart(), 0, int(text.size())));
    return text.substr(start, size_t(std::max(0, control->C::GetSelLength())));
}

bool HasEdit(TCustomComboBox* combo)
{
    return combo->GetStyle() == TComboBoxStyle::csDropDown || combo->GetStyle() == TComboBoxStyle::csSimple;
}

}  // namespace

int WydCustomEdit_GetSelStart(TCustomEdit* edit) { return SelStart(edit); }
void WydCustomEdit_SetSelStart(TCustomEdit* edit, int value) { SetSelStart(edit, value); }
int WydCustomEdit_GetSelLength(TCustomEdit* edit) { return SelLength(edit); }
void WydCustomEdit_SetSelLength(TCustomEdit* edit, int value) { SetSelLength(edit, value); }
WideString WydCustomEdit_GetSelText(TCustomEdit* edit) { return SelText(edit); }

void WydCustomEdit_SetSelText(TCustomEdit* edit, const WideString& value)
{
    if (Win32PlatformIsUnicode)
        SendWide(edit, EM_REPLACESEL, 0, LPARAM(value.c_str()));
    else
        edit->TCustomEdit::SetSelText(WideToAnsi(value));
}

int WydCombo_GetSelStart(TCustomComboBox* combo) { return SelStart(combo); }
void WydCombo_SetSelStart(TCustomComboBox* combo, int value) { SetSelStart(combo, value); }
int WydCombo_GetSelLength(TCustomComboBox* combo) { return SelLength(combo); }
void WydCombo_SetSelLength(TCustomComboBox* combo, int value) { SetSelLength(combo, value); }

// The drop-down-list styles have no edit, so no selected text.
WideString WydCombo_GetSelText(TCustomComboBox* combo) { return HasEdit(combo) ? SelText(combo) : WideString(); }

void WydCombo_SetSelText(TCustomComboBox* combo, const WideString& value)
{
    if (!HasEdit(combo))
        return;
    if (!Win32PlatformIsUnicode) {
        combo->TCustomComboBox::SetSelText(WideToAnsi(value));
        return;
    }
    combo->HandleNeeded();
    if (combo->EditHandle)
        SendMessageW(combo->EditHandle, EM_REPLACESEL, 0, LPARAM(value.c_str()));
}

void WydCustomEdit_CreateWindowHandle(TCustomEdit* edit, const TCreateParams& params)
{
    // A Far-East ANSI system shows a read-only edit's text wrongly when it is made read-only at creation.
    if (SysLocale.FarEast && !Win32PlatformIsUnicode && (params.Style & ES_READONLY)) {
        TCreateParams writable = params;
        writable.Style &= ~DWORD(ES_READONLY);
        CreateUnicodeHandle(edit, writable, L"EDIT");
        if (edit->HandleAllocated())
            SendMessageA(edit->WindowHandle, EM_SETREADONLY, 1, 0);
        return;
    }
    CreateUnicodeHandle(edit, params, L"EDIT");
}

void WydCustomEdit_AfterInherited_CreateWnd(TCustomEdit* edit, wchar_t& kept)
{
    if (!Win32PlatformIsUnicode)
        return;
    if (wchar_t c = WydCustomEdit_GetPasswordChar(edit, kept))
        SendMessageW(edit->WindowHandle, EM_SETPASSWORDCHAR, WPARAM(c), 0);
}

wchar_t WydCustomEdit_GetPasswordChar(TCustomEdit* edit, wchar_t& kept)
{
    if (AnsiPasswordChar(kept) != edit->TCustomEdit::GetPasswordChar())
        kept = wchar_t(BYTE(edit->TCustomEdit::GetPasswordChar()));
    return kept;
}

// The class library only stores its character (the window keeps its text); the wide one follows it into a
// Unicode window.
void WydCustomEdit_SetPasswordChar(TCustomEdit* edit, wchar_t& kept, wchar_t value)
{
    if (WydCustomEdit_GetPasswordChar(edit, kept) == value)
        return;
    kept = value;
    edit->TCustomEdit::SetPasswordChar(AnsiPasswordChar(value));
    if (Win32PlatformIsUnicode && edit->HandleAllocated()) {
        SendMessageW(edit->WindowHandle, EM_SETPASSWORDCHAR, WPARAM(value), 0);
        edit->Invalidate();
    }
}

// =============================================================================================
// TWydCustomEdit

wchar_t TWydCustomEdit::GetPasswordChar() const
{
    return WydCustomEdit_GetPasswordChar(const_cast<TWydCustomEdit*>(this), passwordChar_);
}

void TWydCustomEdit::CreateWindowHandle(const TCreateParams& params)
{
    WydCustomEdit_CreateWindowHandle(this, params);
}

void TWydCustomEdit::CreateWnd()
{
    TCustomEdit::CreateWnd();
    WydCustomEdit_AfterInherited_CreateWnd(this, passwordChar_);
}

// =============================================================================================
// Memo lines

int WydMemo_LineStart(HWND window, int line)
{
    assert(Win32PlatformIsUnicode);
    return int(SendMessageW(window, EM_LINEINDEX, WPARAM(line), 0));
}

int WydMemo_LineLength(HWND window, int line, int start)
{
    assert(Win32PlatformIsUnicode);
    if (start == -1)
        start = WydMemo_LineStart(window, line);
    if (start < 0)
        return 0;
    return int(SendMessageW(window, EM_LINELENGTH, WPARAM(start), 0));
}

bool TWydMemoStrings::UnicodeWindow() const
{
    return memo_->HandleAllocated() && IsWindowUnicode(memo_->WindowHandle);
}

// Without a window the memo's wide text is the only wide copy of its lines.
template <typename Change> void TWydMemoStrings::ChangeTextLines(Change change)
{
    TWydStringList lines;
    lines.SetText(WydControl_GetText(memo_));
    change(lines);
    WydControl_SetText(memo_, lines.GetText());
}

WideString TWydMemoStrings::Get(int index) const
{
    if (!memo_->HandleAllocated() && Win32PlatformIsUnicode) {
        TWydStringList lines;
        lines.SetText(WydControl_GetText(memo_));
        return index >= 0 && index < lines.GetCount() ? lines.Get(index) : WideString();
    }
    if (!UnicodeWindow())
        return AnsiToWide(ansiLines_->Get(index));
    HWND window = memo_->WindowHandle;
    int length = WydMemo_LineLength(window, index);
    if (length <= 0)
        return {};
    if (length > 65535)
        throw EOutOfResources("Line too long");
    // EM_GETLINE reads the buffer's size from its first character.
    WideString buffer(size_t(length), L'\0');
    buffer[0] = wchar_t(length);
    int copied = int(SendMessageW(window, EM_GETLINE, WPARAM(index), LPARAM(&buffer[0])));
    buffer.resize(size_t(std::clamp(copied, 0, length)));
    return buffer;
}

int TWydMemoStrings::GetCount() const
{
    if (!memo_->HandleAllocated() && Win32PlatformIsUnicode) {
        TWydStringList lines;
        lines.SetText(WydControl_GetText(memo_));
        return lines.GetCount();
    }
    return ansiLines_->GetCount();
}

void TWydMemoStrings::Put(int index, const WideString& s)
{
    if (!memo_->HandleAllocated() && Win32PlatformIsUnicode) {
        ChangeTextLines([&](TWydStringList& lines) { lines.Put(index, s); });
        return;
    }
    if (!UnicodeWindow()) {
        ansiLines_->Put(index, WideToAnsi(s));
        return;
    }
    HWND window = memo_->WindowHandle;
    int start = WydMemo_LineStart(window, index);
    if (start < 0)
        return;
    SendMessageW(window, EM_SETSEL, WPARAM(start), LPARAM(start + WydMemo_LineLength(window, index, start)));
    SendMessageW(window, EM_REPLACESEL, 0, LPARAM(s.c_str()));
}

bool WydMemo_LineInsertion(HWND window, int index, const WideString& line, int& position, WideString& text)
{
    if (index < 0)
        return false;
    position = WydMemo_LineStart(window, index);
    if (position >= 0) {
        text = line + L"\r\n";
        return true;
    }
    position = WydMemo_LineStart(window, index - 1);
    if (position < 0)
        return false;
    const int length = WydMemo_LineLength(window, index - 1, position);
    if (length == 0)
        return false;
    position += length;
    text = L"\r\n" + line;
    return true;
}

void TWydMemoStrings::Insert(int index, const WideString& s)
{
    if (!memo_->HandleAllocated() && Win32PlatformIsUnicode) {
        ChangeTextLines([&](TWydStringList& lines) { lines.Insert(index, s); });
        return;
    }
    if (!UnicodeWindow()) {
        ansiLines_->Insert(index, WideToAnsi(s));
        return;
    }
    HWND window = memo_->WindowHandle;
    int position = 0;
    WideString line;
    if (!WydMemo_LineInsertion(window, index, s, position, line))
        return;
    SendMessageW(window, EM_SETSEL, WPARAM(position), LPARAM(position));
    SendMessageW(window, EM_REPLACESEL, 0, LPARAM(line.c_str()));
}

void TWydMemoStrings::Delete(int index)
{
    if (!memo_->HandleAllocated() && Win32PlatformIsUnicode)
        ChangeTextLines([&](TWydStringList& lines) { lines.Delete(index); });
    else
        ansiLines_->Delete(index);
}

void TWydMemoStrings::Clear()
{
    if (!memo_->HandleAllocated() && Win32PlatformIsUnicode)
        WydControl_SetText(memo_, WideString());
    else
        ansiLines_->Clear();
}

void TWydMemoStrings::SetUpdateState(bool updating)
{
    if (updating)
        ansiLines_->BeginUpdate();
    else
        ansiLines_->EndUpdate();
}

WideString TWydMemoStrings::GetTextStr() const { return WydControl_GetText(memo_); }

void TWydMemoStrings::SetTextStr(const WideString& text)
{
    WideString value = WydAdjustLineBreaks(text, tlbsCRLF);
    if (value != GetTextStr())
        WydControl_SetText(memo_, value);
}

// =============================================================================================
// TWydCustomMemo

TWydCustomMemo::TWydCustomMemo(TComponent* owner) : TCustomMemo(owner), lines_(new TWydMemoStrings(this, FLines)) {}

TWydCustomMemo::~TWydCustomMemo()
{
    DestroyHandle();
    delete lines_;
}

void TWydCustomMemo::CreateWindowHandle(const TCreateParams& params)
{
    WydCustomEdit_CreateWindowHandle(this, params);
}

// =============================================================================================
// Label

void WydLabel_DoDrawText(TCustomLabel* label, RECT& rect, UINT flags, const WideString& text)
{
    WideString shown = text;
    if ((flags & DT_CALCRECT) && (shown.empty() || (label->GetShowAccelChar() && shown == L"&")))
        shown += L' ';  // keeps one line of height
    if (!label->GetShowAccelChar())
        flags |= DT_NOPREFIX;
    flags = label->DrawTextBiDiModeFlags(flags);
    TCanvas* canvas = label->GetCanvas();
    canvas->GetFont()->Assign(label->GetFont());
    if (label->GetEnabled() || (flags & DT_CALCRECT))
        WideCanvasDrawText(canvas, shown, rect, flags);
    else
        WideCanvasDrawDisabledText(canvas, shown, rect, flags);
}

bool WydLabel_CMDialogChar(TControl* control, TWinControl* focusControl, bool showAccelChar, TMessage& message,
                           const WideString& caption)
{
    if (!focusControl || !control->GetEnabled() || !showAccelChar || !IsWideCharAccel(DialogChar(message), caption) ||
        !focusControl->CanFocus())
        return false;
    focusControl->SetFocus();
    message.Result = 1;
    return true;
}

VCL_BEGIN_MESSAGE_MAP(TWydCustomLabel)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
    VCL_MESSAGE(CM_HINTSHOW, CMHintShow)
VCL_END_MESSAGE_MAP(TCustomLabel)

void TWydCustomLabel::DoDrawText(RECT& rect, UINT flags)
{
    if (Win32PlatformIsUnicode)
        WydLabel_DoDrawText(this, rect, flags, GetWideLabelText());
    else
        TCustomLabel::DoDrawText(rect, flags);
}

void TWydCustomLabel::CMDialogChar(TMessage& message)
{
    WydLabel_CMDialogChar(this, GetFocusControl(), GetShowAccelChar(), message, GetCaption());
}

void TWydCustomLabel::CMHintShow(TMessage& message)
{
    ProcessCMHintShowMsg(message);
    TCustomLabel::Dispatch(message);
}

// =============================================================================================
// Static text

TWydCustomStaticText::TWydCustomStaticText(TComponent* owner) : TCustomStaticText(owner) { AdjustBounds(); }

VCL_BEGIN_MESSAGE_MAP(TWydCustomStaticText)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
VCL_END_MESSAGE_MAP(TCustomStaticText)

void TWydCustomStaticText::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle(this, params, L"STATIC");
}

void TWydCustomStaticText::AdjustBounds()
{
    if (IsLoading(this) || GetComponentState().Contains(csReading) || !GetAutoSize())
        return;
    WideString text = GetCaption();
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetFont()->GetHandle());
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    SetBounds(GetLeft(), GetTop(), size.cx + 4 * GetSystemMetrics(SM_CXBORDER),
              size.cy + 4 * GetSystemMetrics(SM_CYBORDER));
}

// Only the wide caption counts: the class library's ANSI test never runs.
void TWydCustomStaticText::CMDialogChar(TMessage& message)
{
    WydLabel_CMDialogChar(this, GetFocusControl(), GetShowAccelChar(), message, GetCaption());
}

// =============================================================================================
// Buttons

VCL_BEGIN_MESSAGE_MAP(TWydButton)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
VCL_END_MESSAGE_MAP(TButton)

void TWydButton::CreateWindowHandle(const TCreateParams& params) { CreateUnicodeHandle(this, params, L"BUTTON"); }

bool WydButton_CMDialogChar(TButton* button, TMessage& message, const WideString& caption)
{
    if (!TakesAccelerator(button, message, caption))
        return false;
    button->Click();
    return true;
}

void TWydButton::CMDialogChar(TMessage& message) { WydButton_CMDialogChar(this, message, GetCaption()); }

VCL_BEGIN_MESSAGE_MAP(TWydCustomCheckBox)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
VCL_END_MESSAGE_MAP(TCustomCheckBox)

void TWydCustomCheckBox::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle(this, params, L"BUTTON");
}

void TWydCustomCheckBox::CMDialogChar(TMessage& message)
{
    if (!TakesAccelerator(this, message, GetCaption()))
        return;
    SetFocus();
    if (Focused())
        Toggle();
}

VCL_BEGIN_MESSAGE_MAP(TWydRadioButton)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
VCL_END_MESSAGE_MAP(TRadioButton)

void TWydRadioButton::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle(this, params, L"BUTTON");
}

void TWydRadioButton::CMDialogChar(TMessage& message)
{
    if (TakesAccelerator(this, message, GetCaption()))
        SetFocus();
}

void TWydScrollBar::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle(this, params, L"SCROLLBAR");
}

// =============================================================================================
// Group box

VCL_BEGIN_MESSAGE_MAP(TWydCustomGroupBox)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
VCL_END_MESSAGE_MAP(TCustomGroupBox)

void TWydCustomGroupBox::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle(this, params, WideString());
}

void TWydCustomGroupBox::Paint()
{
    if (!Win32PlatformIsUnicode) {
        TCustomGroupBox::Paint();
        return;
    }
    TCanvas* canvas = GetCanvas();
    canvas->GetFont()->Assign(GetFont());
    int h = WideCanvasTextHeight(canvas, L"0");
    RECT frame{0, h / 2 - 1, GetWidth(), GetHeight()};
    if (GetCtl3D()) {
        ++frame.left;
        ++frame.top;
        canvas->GetBrush()->SetColor(clBtnHighlight);
        canvas->FrameRect(frame);
        OffsetRect(&frame, -1, -1);
        canvas->GetBrush()->SetColor(clBtnShadow);
    } else {
        canvas->GetBrush()->SetColor(clWindowFrame);
    }
    canvas->FrameRect(frame);
    WideString text = GetCaption();
    if (text.empty())
        return;
    HDC dc = canvas->GetHandle();
    SelectObject(dc, canvas->GetFont()->GetHandle());
    RECT r{0, 0, 0, h};
    UINT flags = DrawTextBiDiModeFlags(DT_SINGLELINE);
    Wyd_DrawTextW(dc, text.c_str(), int(text.size()), &r, flags | DT_CALCRECT);
    int width = r.right - r.left;
    int left = UseRightToLeftReading() ? frame.right - width - 8 : 8;
    r = RECT{left, 0, left + width, h};
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, ColorToRGB(GetColor()));
    SetTextColor(dc, ColorToRGB(GetFont()->GetColor()));
    Wyd_DrawTextW(dc, text.c_str(), int(text.size()), &r, flags);
}

void TWydCustomGroupBox::CMDialogChar(TMessage& message)
{
    if (TakesAccelerator(this, message, GetCaption()))
        SelectFirst();
    else
        TWinControl::CMDialogChar(message);  // the controls inside
}

void InitWydStdCtrls()
{
    RegisterClasses({TWydEdit::StaticClass(), TWydMemo::StaticClass(), TWydLabel::StaticClass(),
                     TWydStaticText::StaticClass(), TWydButton::StaticClass(), TWydCheckBox::StaticClass(),
                     TWydRadioButton::StaticClass(), TWydScrollBar::StaticClass(), TWydGroupBox::StaticClass(),
                     TWydComboBox::StaticClass(), TWydListBox::StaticClass()});
}
