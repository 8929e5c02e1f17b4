// Extra controls: timer, panel, bevel, image, paint box, shape, radio group, splitter.
#include "ExtCtrls.h"

#include <algorithm>

#include "Forms.h"

namespace vcl {

namespace {
bool IsLoading(const TComponent* c) { return c->GetComponentState().Contains(csLoading); }
const std::vector<AnsiString> BevelCutNames{"bvNone", "bvLowered", "bvRaised", "bvSpace"};
}  // namespace

VCL_IMPLEMENT_CLASS(TTimer, TComponent, {
    m.Publish("Enabled", &TTimer::GetEnabled, &TTimer::SetEnabled).WithDefault(1);
    m.Publish("Interval", &TTimer::GetInterval, &TTimer::SetInterval).WithDefault(1000);
    m.Publish("OnTimer", &TTimer::GetOnTimer, &TTimer::SetOnTimer);
})
VCL_IMPLEMENT_CLASS(TCustomPanel, TCustomControl)
VCL_IMPLEMENT_CLASS(TPanel, TCustomPanel, {
    m.Publish("Caption", &TPanel::GetTextProp, &TPanel::SetText);
    m.Publish("BevelInner", &TPanel::GetBevelInner, &TPanel::SetBevelInner).WithNames(BevelCutNames).WithDefault(0);
    m.Publish("BevelOuter", &TPanel::GetBevelOuter, &TPanel::SetBevelOuter).WithNames(BevelCutNames).WithDefault(2);
    m.Publish("BevelWidth", &TPanel::GetBevelWidth, &TPanel::SetBevelWidth).WithDefault(1);
    m.Publish("BorderWidth", &TPanel::GetBorderWidth, &TPanel::SetBorderWidth).WithDefault(0);
})
VCL_IMPLEMENT_CLASS(TBevel, TGraphicControl, {
    m.Publish("Shape", &TBevel::GetShape, &TBevel::SetShape)
        .WithNames({"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"})
        .WithDefault(0);
    m.Publish("Style", &TBevel::GetStyle, &TBevel::SetStyle).WithNames(BevelCutNames).WithDefault(1);
})
VCL_IMPLEMENT_CLASS(TImage, TGraphicControl, {
    m.Publish("Picture", &TImage::GetPicture, &TImage::SetPicture);
    m.Publish("Stretch", &TImage::GetStretch, &TImage::SetStretch).WithDefault(0);
    m.Publish("Center", &TImage::GetCenter, &TImage::SetCenter).WithDefault(0);
    m.Publish("Transparent", &TImage::GetTransparent, &TImage::SetTransparent).WithDefault(0);
    m.Publish<TImage, bool, bool>("AutoSize", &TImage::GetAutoSize, &TImage::SetAutoSize).WithDefault(0);
})
VCL_IMPLEMENT_CLASS(TPaintBox, TGraphicControl)
VCL_IMPLEMENT_CLASS(TShape, TGraphicControl, {
    m.Publish("Shape", &TShape::GetShape, &TShape::SetShape)
        .WithNames({"stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse", "stCircle"})
        .WithDefault(0);
})
VCL_IMPLEMENT_CLASS(TCustomRadioGroup, TCustomGroupBox)
VCL_IMPLEMENT_CLASS(TRadioGroup, TCustomRadioGroup, {
    m.Publish("Caption", &TRadioGroup::GetTextProp, &TRadioGroup::SetText);
    m.PublishReadOnly("Items", &TRadioGroup::GetItems);
    m.Publish("ItemIndex", &TRadioGroup::GetItemIndex, &TRadioGroup::SetItemIndex).WithDefault(-1);
    m.Publish("Columns", &TRadioGroup::GetColumns, &TRadioGroup::SetColumns).WithDefault(1);
})
VCL_IMPLEMENT_CLASS(TSplitter, TGraphicControl)

// =============================================================================================
// TTimer

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FThreadId(GetCurrentThreadId()) {}

TTimer::~TTimer()
{
    if (FRunning)
        KillTimer(FWindow, 1);
    DeallocateHWnd(FWindow);
}

void TTimer::UpdateTimer()
{
    if (!OnOwnThread()) {
        // The window belongs to the main thread: the change is made there.
        if (Application)
            Application->Queue([this] { UpdateTimer(); });
        return;
    }
    if (IsLoading(this))
        return;
    if (FRunning)
        KillTimer(FWindow, 1);
    FRunning = false;
    if (FEnabled && FInterval != 0 && FOnTimer) {
        // A form holds many timers that never run: each gets its window when it first starts.
        if (!FWindow)
            FWindow = AllocateHWnd(TEvent<TMessage&>(this, &TTimer::WndProc), true);
        if (!SetTimer(FWindow, 1, FInterval, nullptr))
            throw EOutOfResources("Not enough timers available");
        FRunning = true;
    }
}

void TTimer::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned Value)
{
    if (FInterval == Value)
        return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value)
{
    FOnTimer = std::move(Value);
    UpdateTimer();
}

void TTimer::Loaded()
{
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::Timer()
{
    FOnTimer(this);
}

void TTimer::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_TIMER) {
        try {
            Timer();
        } catch (...) {
            HandleControlException(this);
        }
        return;
    }
    Message.Result = DefWindowProcA(FWindow, Message.Msg, Message.WParam, Message.LParam);
}

// =============================================================================================
// Frames and panels

void Frame3D(TCanvas* Canvas, RECT& Rect, TColor TopColor, TColor BottomColor, int Width)
{
    Canvas->GetPen()->SetWidth(1);
    --Rect.bottom;
    --Rect.right;
    for (int i = 0; i < Width; ++i) {
        Canvas->GetPen()->SetColor(TopColor);
        POINT top[] = {{Rect.left, Rect.bottom}, {Rect.left, Rect.top}, {Rect.right, Rect.top}};
        Canvas->Polyline(top, 3);
        Canvas->GetPen()->SetColor(BottomColor);
        POINT bottom[] = {{Rect.right, Rect.top}, {Rect.right, Rect.bottom}, {Rect.left - 1, Rect.bottom}};
        Canvas->Polyline(bottom, 3);
        InflateRect(&Rect, -1, -1);
    }
    ++Rect.bottom;
    ++Rect.right;
}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    ControlStyle << csAcceptsControls << csSetCaption << csOpaque << csDoubleClicks;
    FWidth = 185;
    FHeight = 41;
    FColor = clBtnFace;
}

VCL_BEGIN_MESSAGE_MAP(TCustomPanel)
    VCL_MESSAGE(CM_TEXTCHANGED, CMTextChanged)
VCL_END_MESSAGE_MAP(TCustomControl)

RECT TCustomPanel::GetClientRect() const
{
    RECT r = TCustomControl::GetClientRect();
    int border = FBorderWidth + (FBevelOuter != TBevelCut::bvNone ? FBevelWidth : 0) +
                 (FBevelInner != TBevelCut::bvNone ? FBevelWidth : 0);
    InflateRect(&r, -border, -border);
    return r;
}

void TCustomPanel::Paint()
{
    TCanvas* canvas = GetCanvas();
    RECT r = TCustomControl::GetClientRect();
    canvas->GetBrush()->SetColor(FColor);
    canvas->FillRect(r);
    auto bevel = [&](TBevelCut cut) {
        if (cut == TBevelCut::bvNone)
            return;
        bool raised = cut == TBevelCut::bvRaised;
        Frame3D(canvas, r, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight, FBevelWidth);
    };
    bevel(FBevelOuter);
    InflateRect(&r, -FBorderWidth, -FBorderWidth);
    bevel(FBevelInner);
    AnsiString text = GetText();
    if (!text.empty()) {
        static const UINT alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
        HDC dc = canvas->GetHandle();
        SelectObject(dc, FFont->GetHandle());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(FFont->GetColor()));
        DrawTextA(dc, text.c_str(), -1, &r,
                  DrawTextBiDiModeFlags(DT_SINGLELINE | DT_VCENTER | alignments[int(FAlignment)]));
    }
}

void TCustomPanel::CMTextChanged(TMessage&)
{
    Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value)
{
    FBevelInner = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value)
{
    FBevelOuter = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value)
{
    FBevelWidth = std::max(1, Value);
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderWidth(int Value)
{
    FBorderWidth = std::max(0, Value);
    Realign();
    Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    Invalidate();
}

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FWidth = 50;
    FHeight = 50;
}

void TBevel::SetShape(TBevelShape Value)
{
    FShape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelCut Value)
{
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint()
{
    if (FShape == TBevelShape::bsSpacer)
        return;
    TCanvas* canvas = GetCanvas();
    TColor first = FStyle == TBevelCut::bvLowered ? clBtnShadow : clBtnHighlight;
    TColor second = FStyle == TBevelCut::bvLowered ? clBtnHighlight : clBtnShadow;
    RECT r = GetClientRect();
    auto line = [&](TColor c, int x1, int y1, int x2, int y2) {
        canvas->GetPen()->SetColor(c);
        canvas->MoveTo(x1, y1);
        canvas->LineTo(x2, y2);
    };
    int w = r.right, h = r.bottom;
    switch (FShape) {
    case TBevelShape::bsBox:
        Frame3D(canvas, r, first, second, 1);
        break;
    case TBevelShape::bsFrame: {
        RECT inner = r;
        ++inner.left;
        ++inner.top;
        Frame3D(canvas, inner, second, second, 1);
        RECT outer{0, 0, w - 1, h - 1};
        Frame3D(canvas, outer, first, first, 1);
        break;
    }
    case TBevelShape::bsTopLine:
        line(first, 0, 0, w, 0);
        line(second, 0, 1, w, 1);
        break;
    case TBevelShape::bsBottomLine:
        line(first, 0, h - 2, w, h - 2);
        line(second, 0, h - 1, w, h - 1);
        break;
    case TBevelShape::bsLeftLine:
        line(first, 0, 0, 0, h);
        line(second, 1, 0, 1, h);
        break;
    case TBevelShape::bsRightLine:
        line(first, w - 2, 0, w - 2, h);
        line(second, w - 1, 0, w - 1, h);
        break;
    default:
        break;
    }
}

// =============================================================================================
// TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(new TPicture)
{
    ControlStyle << csReplicatable;
    FWidth = 105;
    FHeight = 105;
    FPicture->OnChange = TNotifyEvent(this, &TImage::PictureChanged);
}

TImage::~TImage()
{
    delete FPicture;
}

void TImage::ReplacePicture(TPicture* Value)
{
    if (!Value || Value == FPicture)
        return;
    Value->Assign(FPicture);
    delete FPicture;
    FPicture = Value;
    FPicture->OnChange = TNotifyEvent(this, &TImage::PictureChanged);
    PictureChanged(FPicture);
}

TCanvas* TImage::GetImageCanvas()
{
    if (!FPicture->HasBitmap() || FPicture->GetBitmap()->GetEmpty())
        FPicture->GetBitmap()->SetSize(FWidth, FHeight);
    return FPicture->GetBitmap()->GetCanvas();
}

void TImage::PictureChanged(TObject*)
{
    if (FAutoSize)
        AdjustSize();
    if (FPicture->HasBitmap())
        FPicture->GetBitmap()->SetTransparent(FTransparent);
    Invalidate();
}

void TImage::AdjustSize()
{
    if (FPicture->GetWidth() > 0 && FPicture->GetHeight() > 0)
        SetBounds(FLeft, FTop, FPicture->GetWidth(), FPicture->GetHeight());
}

void TImage::SetStretch(bool Value)
{
    FStretch = Value;
    Invalidate();
}

void TImage::SetCenter(bool Value)
{
    FCenter = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value)
{
    FTransparent = Value;
    if (FPicture->HasBitmap())
        FPicture->GetBitmap()->SetTransparent(Value);
    Invalidate();
}

void TImage::Paint()
{
    TCanvas* canvas = GetCanvas();
    int w = FPicture->GetWidth(), h = FPicture->GetHeight();
    if (w == 0 || h == 0)
        return;
    RECT r{0, 0, w, h};
    if (FStretch)
        r = GetClientRect();
    else if (FCenter)
        OffsetRect(&r, (FWidth - w) / 2, (FHeight - h) / 2);
    if (FPicture->HasBitmap())
        canvas->StretchDraw(r, FPicture->GetBitmap());
    else if (FPicture->HasIcon())
        DrawIconEx(canvas->GetHandle(), r.left, r.top, FPicture->GetIcon()->GetHandle(), r.right - r.left,
                   r.bottom - r.top, 0, nullptr, DI_NORMAL);
}

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FWidth = 105;
    FHeight = 105;
}

void TPaintBox::Paint()
{
    OnPaint(this);
}

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner), FPen(new TPen), FBrush(new TBrush)
{
    FWidth = 65;
    FHeight = 65;
    FPen->OnChange = MakeEvent<TObject*>(this, [this](TObject*) { Invalidate(); });
    FBrush->OnChange = MakeEvent<TObject*>(this, [this](TObject*) { Invalidate(); });
}

TShape::~TShape()
{
    delete FPen;
    delete FBrush;
}

void TShape::SetShape(TShapeType Value)
{
    FShape = Value;
    Invalidate();
}

void TShape::Paint()
{
    TCanvas* canvas = GetCanvas();
    canvas->GetPen()->Assign(FPen);
    canvas->GetBrush()->Assign(FBrush);
    int pw = FPen->GetWidth() / 2;
    int x = pw, y = pw, w = FWidth - FPen->GetWidth() + 1, h = FHeight - FPen->GetWidth() + 1;
    if (FShape == TShapeType::stSquare || FShape == TShapeType::stRoundSquare || FShape == TShapeType::stCircle) {
        int side = std::min(w, h);
        x += (w - side) / 2;
        y += (h - side) / 2;
        w = h = side;
    }
    switch (FShape) {
    case TShapeType::stRectangle:
    case TShapeType::stSquare:
        canvas->Rectangle(x, y, x + w, y + h);
        break;
    case TShapeType::stRoundRect:
    case TShapeType::stRoundSquare:
        RoundRect(canvas->GetHandle(), x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4);
        break;
    case TShapeType::stEllipse:
    case TShapeType::stCircle:
        canvas->Ellipse(x, y, x + w, y + h);
        break;
    }
}

// =============================================================================================
// TCustomRadioGroup

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner) : TCustomGroupBox(AOwner), FItems(new TStringList)
{
    ControlStyle >> csAcceptsControls;
    FItems->SetOnChange(TNotifyEvent(this, &TCustomRadioGroup::ItemsChanged));
}

TCustomRadioGroup::~TCustomRadioGroup()
{
    FItems->SetOnChange(TNotifyEvent());
    DestroyHandle();
    for (TRadioButton* b : FButtons)
        delete b;
    FButtons.clear();
    delete FItems;
}

VCL_BEGIN_MESSAGE_MAP(TCustomRadioGroup)
    VCL_MESSAGE(WM_SIZE, WMSize)
    VCL_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged)
    VCL_MESSAGE(CM_FONTCHANGED, CMFontChanged)
VCL_END_MESSAGE_MAP(TCustomGroupBox)

// The buttons are the group's own: never streamed as children.
void TCustomRadioGroup::GetChildren(const TGetChildProc&, TComponent*) {}

void TCustomRadioGroup::Loaded()
{
    TCustomGroupBox::Loaded();
    UpdateButtons();
}

void TCustomRadioGroup::ItemsChanged(TObject*)
{
    if (IsLoading(this))
        return;
    if (FItemIndex >= FItems->GetCount())
        FItemIndex = FItems->GetCount() - 1;
    UpdateButtons();
}

void TCustomRadioGroup::UpdateButtons()
{
    FUpdating = true;
    while (int(FButtons.size()) > FItems->GetCount()) {
        delete FButtons.back();
        FButtons.pop_back();
    }
    while (int(FButtons.size()) < FItems->GetCount()) {
        auto* button = new TRadioButton(nullptr);
        button->OnClick = TNotifyEvent(this, &TCustomRadioGroup::ButtonClick);
        button->SetParent(this);
        FButtons.push_back(button);
    }
    for (size_t i = 0; i < FButtons.size(); ++i) {
        FButtons[i]->SetCaption(FItems->Get(int(i)));
        FButtons[i]->SetEnabled(GetEnabled());
        FButtons[i]->SetChecked(int(i) == FItemIndex);
    }
    FUpdating = false;
    ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons()
{
    if (FButtons.empty())
        return;
    RECT client = GetClientRect();
    int columns = std::max(1, FColumns);
    int rows = (int(FButtons.size()) + columns - 1) / columns;
    int width = (client.right - client.left - 8) / columns;
    int height = std::max(1, int(client.bottom - client.top) / std::max(1, rows));
    for (size_t i = 0; i < FButtons.size(); ++i) {
        int column = int(i) / rows, row = int(i) % rows;
        FButtons[i]->SetBounds(client.left + 8 + column * width, client.top + row * height, width, std::min(height, 20));
    }
}

void TCustomRadioGroup::SetItemIndex(int Value)
{
    if (IsLoading(this)) {
        FItemIndex = Value;
        return;
    }
    Value = std::clamp(Value, -1, FItems->GetCount() - 1);
    if (FItemIndex == Value)
        return;
    FItemIndex = Value;
    FUpdating = true;
    for (size_t i = 0; i < FButtons.size(); ++i)
        FButtons[i]->SetChecked(int(i) == Value);
    FUpdating = false;
    Changed();
}

void TCustomRadioGroup::SetColumns(int Value)
{
    FColumns = std::clamp(Value, 1, 16);
    ArrangeButtons();
}

void TCustomRadioGroup::ButtonClick(TObject* Sender)
{
    if (FUpdating)
        return;
    auto it = std::find(FButtons.begin(), FButtons.end(), Sender);
    if (it != FButtons.end() && (*it)->GetChecked()) {
        FItemIndex = int(it - FButtons.begin());
        Changed();
    }
}

void TCustomRadioGroup::Changed()
{
    Click();
}

void TCustomRadioGroup::Click()
{
    TCustomGroupBox::Click();
}

void TCustomRadioGroup::WMSize(TMessage& Message)
{
    TCustomGroupBox::Dispatch(Message);
    ArrangeButtons();
}

void TCustomRadioGroup::CMEnabledChanged(TMessage& Message)
{
    TCustomGroupBox::Dispatch(Message);
    for (TRadioButton* b : FButtons)
        b->SetEnabled(GetEnabled());
}

void TCustomRadioGroup::CMFontChanged(TMessage& Message)
{
    TCustomGroupBox::Dispatch(Message);
    ArrangeButtons();
}

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FAlign = TAlign::alLeft;
    FWidth = 3;
    FHeight = 100;
    FCursor = crSizeWE;
}

void TSplitter::Paint()
{
    TCanvas* canvas = GetCanvas();
    canvas->GetBrush()->SetColor(FColor);
    canvas->FillRect(GetClientRect());
}

}  // namespace vcl
