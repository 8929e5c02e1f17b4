// The page scroller: shows one control larger than itself and scrolls it with arrow buttons.
#include "ComCtrls.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TPageScroller, TWinControl, {
    m.Publish("Control", &TPageScroller::GetControl, &TPageScroller::SetControl);
    m.Publish("Orientation", &TPageScroller::GetOrientation, &TPageScroller::SetOrientation)
        .WithNames({"soHorizontal", "soVertical"})
        .WithDefault(0);
    m.Publish("ButtonSize", &TPageScroller::GetButtonSize, &TPageScroller::SetButtonSize).WithDefault(12);
    m.Publish("Margin", &TPageScroller::GetMargin, &TPageScroller::SetMargin).WithDefault(0);
    m.Publish("AutoScroll", &TPageScroller::GetAutoScroll, &TPageScroller::SetAutoScroll).WithDefault(0);
    m.Publish("DragScroll", &TPageScroller::GetDragScroll, &TPageScroller::SetDragScroll).WithDefault(1);
    m.Publish("Position", &TPageScroller::GetPosition, &TPageScroller::SetPosition).WithDefault(0);
})

TPageScroller::TPageScroller(TComponent* AOwner) : TWinControl(AOwner)
{
    FWidth = 150;
    FHeight = 45;
    ControlStyle << csAcceptsControls;
}

void TPageScroller::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_PAGESCROLLERA);
    Params.Style |= FOrientation == TPageScrollerOrientation::soVertical ? PGS_VERT : PGS_HORZ;
    if (FAutoScroll)
        Params.Style |= PGS_AUTOSCROLL;
    if (FDragScroll)
        Params.Style |= PGS_DRAGNDROP;
}

void TPageScroller::CreateWnd()
{
    TWinControl::CreateWnd();
    Perform(PGM_SETBUTTONSIZE, 0, LPARAM(FButtonSize));
    Perform(PGM_SETBORDER, 0, LPARAM(FMargin));
    AttachControl();
}

// The pager moves its child itself; it learns the child's extent through PGN_CALCSIZE.
void TPageScroller::AttachControl()
{
    if (!HandleAllocated())
        return;
    HWND child = FControl && FControl->GetParent() == this ? FControl->GetHandle() : nullptr;
    Perform(PGM_SETCHILD, 0, LPARAM(child));
    if (child)
        Perform(PGM_SETPOS, 0, LPARAM(FPosition));
}

void TPageScroller::SetControl(TWinControl* Value)
{
    if (Value == FControl || Value == this)
        return;
    SetComponentReference(this, FControl, Value);
    if (Value && Value->GetParent() != this && !GetComponentState().Contains(csLoading))
        Value->SetParent(this);
    AttachControl();
}

void TPageScroller::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FControl) {
        FControl = nullptr;
        if (HandleAllocated() && !GetComponentState().Contains(csDestroying))
            Perform(PGM_SETCHILD, 0, 0);
    }
}

// A child that changed its size needs the scroll range measured again.
void TPageScroller::AlignControls(TControl* AControl, RECT& Rect)
{
    TWinControl::AlignControls(AControl, Rect);
    if (HandleAllocated() && FControl && FControl->HandleAllocated())
        Perform(PGM_RECALCSIZE);
}

void TPageScroller::SetOrientation(TPageScrollerOrientation Value)
{
    SetWindowStyleProperty(this, FOrientation, Value);
}

int TPageScroller::GetPosition() const
{
    return HandleAllocated() ? int(SendMessageA(WindowHandle, PGM_GETPOS, 0, 0)) : FPosition;
}

void TPageScroller::SetPosition(int Value)
{
    FPosition = Value;
    if (HandleAllocated())
        Perform(PGM_SETPOS, 0, LPARAM(Value));
}

void TPageScroller::SetButtonSize(int Value)
{
    FButtonSize = Value;
    if (HandleAllocated())
        Perform(PGM_SETBUTTONSIZE, 0, LPARAM(Value));
}

void TPageScroller::SetMargin(int Value)
{
    FMargin = Value;
    if (HandleAllocated())
        Perform(PGM_SETBORDER, 0, LPARAM(Value));
}

void TPageScroller::SetAutoScroll(bool Value)
{
    SetWindowStyleProperty(this, FAutoScroll, Value);
}

void TPageScroller::SetDragScroll(bool Value)
{
    SetWindowStyleProperty(this, FDragScroll, Value);
}

VCL_BEGIN_MESSAGE_MAP(TPageScroller)
    VCL_MESSAGE(CN_NOTIFY, CNNotify)
VCL_END_MESSAGE_MAP(TWinControl)

void TPageScroller::CNNotify(TMessage& Message)
{
    Message.Result = 0;
    auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    if (header->code != UINT(PGN_CALCSIZE) || !FControl)
        return;
    auto* size = reinterpret_cast<NMPGCALCSIZE*>(Message.LParam);
    if (size->dwFlag == PGF_CALCWIDTH)
        size->iWidth = FControl->GetWidth();
    else
        size->iHeight = FControl->GetHeight();
}

}  // namespace vcl
