// The spin edit.
#include "CSpin.h"

#include <algorithm>

#include <commctrl.h>

namespace vcl {

VCL_IMPLEMENT_CLASS(TCSpinButton, TWinControl)
VCL_IMPLEMENT_CLASS(TCSpinEdit, TCustomEdit, {
    m.Publish("MinValue", &TCSpinEdit::GetMinValue, &TCSpinEdit::SetMinValue).WithDefault(0);
    m.Publish("MaxValue", &TCSpinEdit::GetMaxValue, &TCSpinEdit::SetMaxValue).WithDefault(100);
    m.Publish("Increment", &TCSpinEdit::GetIncrement, &TCSpinEdit::SetIncrement).WithDefault(1);
    m.Publish("Value", &TCSpinEdit::GetValue, &TCSpinEdit::SetValue);
    m.Publish("OnChange", &TCSpinEdit::GetOnChange, &TCSpinEdit::SetOnChange);
})

TCSpinButton::TCSpinButton(TComponent* AOwner) : TWinControl(AOwner)
{
    FWidth = 16;
    FHeight = 20;
}

void TCSpinButton::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, UPDOWN_CLASSA);
    Params.Style &= ~DWORD(WS_TABSTOP);
}

VCL_BEGIN_MESSAGE_MAP(TCSpinButton)
    VCL_MESSAGE(CN_NOTIFY, CNNotify)
VCL_END_MESSAGE_MAP(TWinControl)

// The up-down's own position is not used: each press is one step of the edit's value.
void TCSpinButton::CNNotify(TMessage& Message)
{
    auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    if (header->code == UINT(UDN_DELTAPOS) && FEdit) {
        auto* delta = reinterpret_cast<NMUPDOWN*>(header);
        FEdit->Step(delta->iDelta > 0 ? 1 : -1);
        Message.Result = 1;  // refuse the up-down's own change
    }
}

TCSpinEdit::TCSpinEdit(TComponent* AOwner) : TCustomEdit(AOwner), FButton(new TCSpinButton(this))
{
    FButton->FEdit = this;
    FText = "0";
    FWidth = 121;
    FHeight = 22;
}

void TCSpinEdit::CreateParams(TCreateParams& Params)
{
    TCustomEdit::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
}

void TCSpinEdit::CreateWnd()
{
    TCustomEdit::CreateWnd();
    if (FButton->GetParent() != this)
        FButton->SetParent(this);
    PlaceButton();
}

void TCSpinEdit::PlaceButton()
{
    if (!HandleAllocated())
        return;
    RECT client = GetClientRect();
    int width = std::min<int>(16, client.right);
    FButton->SetBounds(client.right - width, 0, width, client.bottom);
    Perform(EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, width + 2));
}

void TCSpinEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
    PlaceButton();
}

VCL_BEGIN_MESSAGE_MAP(TCSpinEdit)
    VCL_MESSAGE(CM_EXIT, CMExit)
    VCL_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged)
VCL_END_MESSAGE_MAP(TCustomEdit)

int TCSpinEdit::Clamp(int Value) const
{
    if (FMaxValue < FMinValue)
        return Value;
    return std::clamp(Value, FMinValue, FMaxValue);
}

void TCSpinEdit::SetMinValue(int Value)
{
    FMinValue = Value;
    if (!GetComponentState().Contains(csLoading))
        SetValue(GetValue());
}

void TCSpinEdit::SetMaxValue(int Value)
{
    FMaxValue = Value;
    if (!GetComponentState().Contains(csLoading))
        SetValue(GetValue());
}

int TCSpinEdit::GetValue() const
{
    int value = 0;
    if (!TryStrToInt(Trim(GetTextProp()), value))
        value = FMinValue;
    return Clamp(value);
}

void TCSpinEdit::SetValue(int Value)
{
    SetText(IntToStr(Clamp(Value)));
}

void TCSpinEdit::Step(int Direction)
{
    if (FReadOnly)
        return;
    SetValue(GetValue() + Direction * FIncrement);
    SelectAll();
    Click();
}

void TCSpinEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    if (Key == VK_UP || Key == VK_DOWN) {
        Step(Key == VK_UP ? 1 : -1);
        Key = 0;
        return;
    }
    TCustomEdit::KeyDown(Key, Shift);
}

// Digits, a leading minus and editing keys only.
void TCSpinEdit::KeyPress(char& Key)
{
    if (!(Key >= '0' && Key <= '9') && Key != '-' && Key != '\b' && Key >= ' ') {
        Key = 0;
        MessageBeep(0);
        return;
    }
    TCustomEdit::KeyPress(Key);
}

// Leaving the edit puts a valid number back.
void TCSpinEdit::CMExit(TMessage& Message)
{
    TCustomEdit::Dispatch(Message);
    AnsiString text = IntToStr(GetValue());
    if (GetText() != text)
        SetText(text);
}

void TCSpinEdit::CMEnabledChanged(TMessage& Message)
{
    TCustomEdit::Dispatch(Message);
    FButton->SetEnabled(GetEnabled());
}

}  // namespace vcl
