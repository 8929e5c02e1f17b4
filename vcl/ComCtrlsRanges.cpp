// Controls over a range of numbers: the track bar and the up-down buttons.
#include <algorithm>

#include "ComCtrls.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TTrackBar, TWinControl, {
    m.Publish("Max", &TTrackBar::GetMax, &TTrackBar::SetMax).WithDefault(10);
    m.Publish("Min", &TTrackBar::GetMin, &TTrackBar::SetMin).WithDefault(0);
    m.Publish("Position", &TTrackBar::GetPosition, &TTrackBar::SetPosition).WithDefault(0);
    m.Publish("Frequency", &TTrackBar::GetFrequency, &TTrackBar::SetFrequency).WithDefault(1);
    m.Publish("LineSize", &TTrackBar::GetLineSize, &TTrackBar::SetLineSize).WithDefault(1);
    m.Publish("PageSize", &TTrackBar::GetPageSize, &TTrackBar::SetPageSize).WithDefault(2);
    m.Publish("Orientation", &TTrackBar::GetOrientation, &TTrackBar::SetOrientation)
        .WithNames({"trHorizontal", "trVertical"})
        .WithDefault(0);
    m.Publish("TickMarks", &TTrackBar::GetTickMarks, &TTrackBar::SetTickMarks)
        .WithNames({"tmBottomRight", "tmTopLeft", "tmBoth"})
        .WithDefault(0);
    m.Publish("TickStyle", &TTrackBar::GetTickStyle, &TTrackBar::SetTickStyle)
        .WithNames({"tsNone", "tsAuto", "tsManual"})
        .WithDefault(1);
    m.Publish("SelEnd", &TTrackBar::GetSelEnd, &TTrackBar::SetSelEnd).WithDefault(0);
    m.Publish("SelStart", &TTrackBar::GetSelStart, &TTrackBar::SetSelStart).WithDefault(0);
    m.Publish("OnChange", &TTrackBar::GetOnChange, &TTrackBar::SetOnChange);
})
VCL_IMPLEMENT_CLASS(TCustomUpDown, TWinControl)
VCL_IMPLEMENT_CLASS(TUpDown, TCustomUpDown, {
    m.Publish("Associate", &TUpDown::GetAssociate, &TUpDown::SetAssociate);
    m.Publish("AlignButton", &TUpDown::GetAlignButton, &TUpDown::SetAlignButton)
        .WithNames({"udLeft", "udRight"})
        .WithDefault(1);
    m.Publish("Max", &TUpDown::GetMax, &TUpDown::SetMax).WithDefault(100);
    m.Publish("Min", &TUpDown::GetMin, &TUpDown::SetMin).WithDefault(0);
    m.Publish("Increment", &TUpDown::GetIncrement, &TUpDown::SetIncrement).WithDefault(1);
    m.Publish("Position", &TUpDown::GetPosition, &TUpDown::SetPosition).WithDefault(0);
    m.Publish("Orientation", &TUpDown::GetOrientation, &TUpDown::SetOrientation)
        .WithNames({"udHorizontal", "udVertical"})
        .WithDefault(1);
    m.Publish("ArrowKeys", &TUpDown::GetArrowKeys, &TUpDown::SetArrowKeys).WithDefault(1);
    m.Publish("Thousands", &TUpDown::GetThousands, &TUpDown::SetThousands).WithDefault(1);
    m.Publish("Wrap", &TUpDown::GetWrap, &TUpDown::SetWrap).WithDefault(0);
    m.Publish("OnChanging", &TUpDown::GetOnChanging, &TUpDown::SetOnChanging);
    m.Publish("OnClick", &TUpDown::GetOnClick, &TUpDown::SetOnClick);
})

// ---- track bar ---------------------------------------------------------------------------------

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner)
{
    FWidth = 150;
    FHeight = 45;
    FTabStop = true;
}

void TTrackBar::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, TRACKBAR_CLASSA);
    Params.Style |= TBS_ENABLESELRANGE;
    Params.Style |= FOrientation == TTrackBarOrientation::trVertical ? TBS_VERT : TBS_HORZ;
    static const DWORD marks[] = {TBS_BOTTOM, TBS_TOP, TBS_BOTH};
    Params.Style |= marks[int(FTickMarks)];
    if (FTickStyle == TTickStyle::tsNone)
        Params.Style |= TBS_NOTICKS;
    else if (FTickStyle == TTickStyle::tsAuto)
        Params.Style |= TBS_AUTOTICKS;
}

void TTrackBar::CreateWnd()
{
    TWinControl::CreateWnd();
    ApplyRange();
    Perform(TBM_SETTICFREQ, WPARAM(FFrequency), 0);
    Perform(TBM_SETLINESIZE, 0, LPARAM(FLineSize));
    Perform(TBM_SETPAGESIZE, 0, LPARAM(FPageSize));
    ApplySelection();
}

void TTrackBar::ApplyRange()
{
    FPosition = std::clamp(FPosition, FMin, FMax);
    if (!HandleAllocated())
        return;
    Perform(TBM_SETRANGEMIN, FALSE, LPARAM(FMin));
    Perform(TBM_SETRANGEMAX, FALSE, LPARAM(FMax));
    Perform(TBM_SETPOS, TRUE, LPARAM(FPosition));
}

void TTrackBar::ApplySelection()
{
    if (!HandleAllocated())
        return;
    if (FSelStart == FSelEnd) {
        Perform(TBM_CLEARSEL, TRUE, 0);
        return;
    }
    Perform(TBM_SETSELSTART, FALSE, LPARAM(FSelStart));
    Perform(TBM_SETSELEND, TRUE, LPARAM(FSelEnd));
}

void TTrackBar::SetMin(int Value)
{
    FMin = Value;
    FMax = std::max(FMax, FMin);
    ApplyRange();
}

void TTrackBar::SetMax(int Value)
{
    FMax = Value;
    FMin = std::min(FMin, FMax);
    ApplyRange();
}

int TTrackBar::GetPosition() const
{
    return HandleAllocated() ? int(SendMessageA(WindowHandle, TBM_GETPOS, 0, 0)) : FPosition;
}

void TTrackBar::SetPosition(int Value)
{
    int old = GetPosition();
    FPosition = std::clamp(Value, FMin, FMax);
    if (HandleAllocated())
        Perform(TBM_SETPOS, TRUE, LPARAM(FPosition));
    if (FPosition != old)
        Changed();
}

void TTrackBar::SetFrequency(int Value)
{
    FFrequency = std::max(1, Value);
    if (HandleAllocated())
        Perform(TBM_SETTICFREQ, WPARAM(FFrequency), 0);
}

void TTrackBar::SetLineSize(int Value)
{
    FLineSize = Value;
    if (HandleAllocated())
        Perform(TBM_SETLINESIZE, 0, LPARAM(Value));
}

void TTrackBar::SetPageSize(int Value)
{
    FPageSize = Value;
    if (HandleAllocated())
        Perform(TBM_SETPAGESIZE, 0, LPARAM(Value));
}

void TTrackBar::SetOrientation(TTrackBarOrientation Value)
{
    if (FOrientation == Value)
        return;
    FOrientation = Value;
    // The bar turns with its bounds.
    if (!GetComponentState().Contains(csLoading))
        SetBounds(FLeft, FTop, FHeight, FWidth);
    RecreateWnd();
}

void TTrackBar::SetTickMarks(TTickMark Value)
{
    SetWindowStyleProperty(this, FTickMarks, Value);
}

void TTrackBar::SetTickStyle(TTickStyle Value)
{
    SetWindowStyleProperty(this, FTickStyle, Value);
}

void TTrackBar::SetSelStart(int Value)
{
    FSelStart = Value;
    ApplySelection();
}

void TTrackBar::SetSelEnd(int Value)
{
    FSelEnd = Value;
    ApplySelection();
}

void TTrackBar::SetTick(int Value)
{
    if (HandleAllocated())
        Perform(TBM_SETTIC, 0, LPARAM(Value));
}

void TTrackBar::Changed()
{
    OnChange(this);
}

VCL_BEGIN_MESSAGE_MAP(TTrackBar)
    VCL_MESSAGE(CN_HSCROLL, CNScroll)
    VCL_MESSAGE(CN_VSCROLL, CNScroll)
VCL_END_MESSAGE_MAP(TWinControl)

// The thumb moved (mouse, keys or TBM_SETPOS with a notification).
void TTrackBar::CNScroll(TMessage& Message)
{
    Message.Result = 0;
    int position = GetPosition();
    if (position != FPosition) {
        FPosition = position;
        Changed();
    }
}

// ---- up-down -----------------------------------------------------------------------------------

TCustomUpDown::TCustomUpDown(TComponent* AOwner) : TWinControl(AOwner)
{
    FWidth = 17;
    FHeight = 25;
}

void TCustomUpDown::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, UPDOWN_CLASSA);
    Params.Style |= UDS_SETBUDDYINT;
    Params.Style |= FAlignButton == TUDAlignButton::udLeft ? UDS_ALIGNLEFT : UDS_ALIGNRIGHT;
    if (FOrientation == TUDOrientation::udHorizontal)
        Params.Style |= UDS_HORZ;
    if (FArrowKeys)
        Params.Style |= UDS_ARROWKEYS;
    if (!FThousands)
        Params.Style |= UDS_NOTHOUSANDS;
    if (FWrap)
        Params.Style |= UDS_WRAP;
}

void TCustomUpDown::CreateWnd()
{
    TWinControl::CreateWnd();
    ApplyRange();
    UDACCEL step{0, UINT(FIncrement)};
    Perform(UDM_SETACCEL, 1, LPARAM(&step));
    ApplyAssociate();
}

// The associate becomes the window's buddy, which then shows the position as its text.
void TCustomUpDown::ApplyAssociate()
{
    if (!HandleAllocated())
        return;
    HWND buddy = FAssociate && FAssociate->GetParent() ? FAssociate->GetHandle() : nullptr;
    Perform(UDM_SETBUDDY, WPARAM(buddy), 0);
    if (buddy)
        Perform(UDM_SETPOS32, 0, LPARAM(FPosition));
}

void TCustomUpDown::ApplyRange()
{
    FPosition = std::clamp(FPosition, std::min(FMin, FMax), std::max(FMin, FMax));
    if (!HandleAllocated())
        return;
    Perform(UDM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
    Perform(UDM_SETPOS32, 0, LPARAM(FPosition));
}

void TCustomUpDown::SetMin(int Value)
{
    FMin = Value;
    ApplyRange();
}

void TCustomUpDown::SetMax(int Value)
{
    FMax = Value;
    ApplyRange();
}

int TCustomUpDown::GetPosition() const
{
    return HandleAllocated() ? int(SendMessageA(WindowHandle, UDM_GETPOS32, 0, 0)) : FPosition;
}

void TCustomUpDown::SetPosition(int Value)
{
    FPosition = Value;
    ApplyRange();
}

void TCustomUpDown::SetIncrement(int Value)
{
    FIncrement = Value;
    if (HandleAllocated()) {
        UDACCEL step{0, UINT(Value)};
        Perform(UDM_SETACCEL, 1, LPARAM(&step));
    }
}

void TCustomUpDown::SetAssociate(TWinControl* Value)
{
    if (Value == this)
        return;
    SetComponentReference(this, FAssociate, Value);
    ApplyAssociate();
}

void TCustomUpDown::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FAssociate) {
        FAssociate = nullptr;
        if (HandleAllocated() && !GetComponentState().Contains(csDestroying))
            Perform(UDM_SETBUDDY, 0, 0);
    }
}

void TCustomUpDown::SetAlignButton(TUDAlignButton Value)
{
    SetWindowStyleProperty(this, FAlignButton, Value);
}

void TCustomUpDown::SetOrientation(TUDOrientation Value)
{
    SetWindowStyleProperty(this, FOrientation, Value);
}

void TCustomUpDown::SetArrowKeys(bool Value)
{
    SetWindowStyleProperty(this, FArrowKeys, Value);
}

void TCustomUpDown::SetThousands(bool Value)
{
    SetWindowStyleProperty(this, FThousands, Value);
}

void TCustomUpDown::SetWrap(bool Value)
{
    SetWindowStyleProperty(this, FWrap, Value);
}

bool TCustomUpDown::CanChange()
{
    bool allow = true;
    OnChanging(this, allow);
    return allow;
}

void TCustomUpDown::Click(TUDBtnType Button)
{
    OnClick(this, Button);
}

VCL_BEGIN_MESSAGE_MAP(TCustomUpDown)
    VCL_MESSAGE(CN_NOTIFY, CNNotify)
    VCL_MESSAGE(CN_HSCROLL, CNScroll)
    VCL_MESSAGE(CN_VSCROLL, CNScroll)
VCL_END_MESSAGE_MAP(TWinControl)

// Before a step: the handler may refuse it (non-zero result keeps the position).
void TCustomUpDown::CNNotify(TMessage& Message)
{
    auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    if (header->code != UDN_DELTAPOS) {
        Message.Result = 0;
        return;
    }
    auto* delta = reinterpret_cast<NMUPDOWN*>(Message.LParam);
    bool allow = CanChange();
    FLastDelta = allow ? delta->iDelta : 0;
    Message.Result = allow ? 0 : 1;
}

// After a step: the position has moved; the button that moved it is the click.
void TCustomUpDown::CNScroll(TMessage& Message)
{
    Message.Result = 0;
    if (LOWORD(Message.WParam) != SB_THUMBPOSITION || FLastDelta == 0)
        return;
    FPosition = GetPosition();
    TUDBtnType button = FLastDelta > 0 ? TUDBtnType::btNext : TUDBtnType::btPrev;
    FLastDelta = 0;
    Click(button);
}

}  // namespace vcl
