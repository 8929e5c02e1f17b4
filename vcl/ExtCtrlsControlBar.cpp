// The control bar: child controls as bands in rows, dragged by their grabbers.
#include <algorithm>

#include "ExtCtrls.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TCustomControlBar, TCustomControl)
VCL_IMPLEMENT_CLASS(TControlBar, TCustomControlBar, {
    m.Publish("RowSize", &TControlBar::GetRowSize, &TControlBar::SetRowSize).WithDefault(26);
    m.Publish("RowSnap", &TControlBar::GetRowSnap, &TControlBar::SetRowSnap).WithDefault(1);
    m.Publish("AutoDrag", &TControlBar::GetAutoDrag, &TControlBar::SetAutoDrag).WithDefault(1);
    m.Publish("OnBandMove", &TControlBar::GetOnBandMove, &TControlBar::SetOnBandMove);
})

void RegisterControlBar()
{
    RegisterClasses({TControlBar::StaticClass()});
}

namespace {
bool IsBand(const TControl* Control)
{
    return Control->GetVisible() && Control->GetAlign() == TAlign::alNone;
}
}  // namespace

TCustomControlBar::TCustomControlBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle << csAcceptsControls << csOpaque;
    ControlStyle >> csSetCaption;
    FWidth = 100;
    FHeight = 50;
    FColor = clBtnFace;
}

// Each band stays in its row, now of the new height.
void TCustomControlBar::SetRowSize(int Value)
{
    if (Value <= 0 || FRowSize == Value)
        return;
    ++FAlignLevel;
    for (TControl* control : FControls)
        if (IsBand(control))
            control->SetTop(RowOf(control) * Value + (Value - control->GetHeight()) / 2);
    --FAlignLevel;
    FRowSize = Value;
    Realign();
}

void TCustomControlBar::SetRowSnap(bool Value)
{
    if (FRowSnap != Value) {
        FRowSnap = Value;
        Realign();
    }
}

// The row a band's middle lies in.
int TCustomControlBar::RowOf(const TControl* Control) const
{
    return std::max(0, (Control->GetTop() + Control->GetHeight() / 2) / FRowSize);
}

RECT TCustomControlBar::GetBandRect(TControl* Control) const
{
    int top = RowOf(Control) * FRowSize;
    return {Control->GetLeft() - GrabberSize - 1, top, Control->GetLeft() + Control->GetWidth() + 2, top + FRowSize};
}

TControl* TCustomControlBar::BandAtPos(POINT Pos) const
{
    for (TControl* control : FControls) {
        RECT band = GetBandRect(control);
        if (IsBand(control) && PtInRect(&band, Pos))
            return control;
    }
    return nullptr;
}

// Rows in order, closed up; within a row the bands keep their order and stand side by side.
void TCustomControlBar::AlignControls(TControl* AControl, RECT& Rect)
{
    TCustomControl::AlignControls(AControl, Rect);
    std::vector<TControl*> bands;
    std::copy_if(FControls.begin(), FControls.end(), std::back_inserter(bands), IsBand);
    if (std::find(bands.begin(), bands.end(), FDragControl) == bands.end())
        FDragControl = nullptr;
    std::vector<int> rows(bands.size());
    std::transform(bands.begin(), bands.end(), rows.begin(), [this](TControl* c) { return RowOf(c); });
    std::vector<size_t> order(bands.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return rows[a] != rows[b] ? rows[a] < rows[b] : bands[a]->GetLeft() < bands[b]->GetLeft();
    });
    ++FAlignLevel;  // the bands' SetBounds must not come back here
    int row = -1, lastRow = -1, x = 0;
    for (size_t i : order) {
        TControl* band = bands[i];
        if (rows[i] != lastRow) {
            lastRow = rows[i];
            ++row;
            x = 0;
        }
        int rowTop = row * FRowSize;
        int height = band->GetHeight();
        int top = FRowSnap ? rowTop + (FRowSize - height) / 2
                           : std::clamp(band->GetTop(), rowTop, rowTop + std::max(0, FRowSize - height));
        int left = std::max(band->GetLeft(), x + GrabberSize + 1);
        band->SetBounds(left, top, band->GetWidth(), height);
        x = left + band->GetWidth() + 2;
    }
    --FAlignLevel;
    Invalidate();
}

void TCustomControlBar::Paint()
{
    TCanvas* canvas = GetCanvas();
    canvas->GetBrush()->SetColor(FColor);
    canvas->FillRect(GetClientRect());
    for (TControl* control : FControls) {
        if (!IsBand(control))
            continue;
        RECT band = GetBandRect(control);
        Frame3D(canvas, band, clBtnHighlight, clBtnShadow, 1);
        for (int x : {band.left + 2, band.left + 5}) {
            RECT grip{x, band.top + 2, x + 3, band.bottom - 2};
            Frame3D(canvas, grip, clBtnHighlight, clBtnShadow, 1);
        }
    }
}

void TCustomControlBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != TMouseButton::mbLeft || !FAutoDrag)
        return;
    TControl* band = BandAtPos({X, Y});
    if (!band)
        return;
    RECT r = GetBandRect(band);
    if (X >= r.left + GrabberSize + 1)
        return;  // on the control's own face, not its grabber
    FDragControl = band;
    FDragOffset = X - r.left;
    SetCapture(WindowHandle);
}

void TCustomControlBar::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (!FDragControl)
        return;
    int top = std::max(0, Y / FRowSize) * FRowSize;
    int left = std::max(0, X - FDragOffset);
    MoveBand(FDragControl, {left, top, left + FDragControl->GetWidth() + GrabberSize + 3, top + FRowSize});
}

void TCustomControlBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FDragControl && Button == TMouseButton::mbLeft) {
        FDragControl = nullptr;
        ReleaseCapture();
    }
}

void TCustomControlBar::MoveBand(TControl* Control, RECT Band)
{
    OnBandMove(this, Control, Band);
    int height = Control->GetHeight();
    Control->SetBounds(Band.left + GrabberSize + 1, Band.top + (FRowSize - height) / 2, Control->GetWidth(), height);
    Realign();
}

VCL_BEGIN_MESSAGE_MAP(TCustomControlBar)
    VCL_MESSAGE(WM_PARENTNOTIFY, WMParentNotify)
VCL_END_MESSAGE_MAP(TCustomControl)

// A band's window came or went.
void TCustomControlBar::WMParentNotify(TMessage& Message)
{
    DefaultHandler(Message);
    if (LOWORD(Message.WParam) == WM_CREATE)
        Realign();
}

}  // namespace vcl
