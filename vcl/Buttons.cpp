// Bit buttons and speed buttons.
#include "Buttons.h"

#include <algorithm>

#include "Forms.h"

namespace vcl {

namespace {
// Sent by a speed button to its siblings when it goes down in its group (wParam = group, lParam = button).
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 0x60;
}  // namespace

VCL_IMPLEMENT_CLASS(TButtonGlyph, TObject)
VCL_IMPLEMENT_CLASS(TBitBtn, TButton, {
    m.Publish("Caption", &TBitBtn::GetTextProp, &TBitBtn::SetText).Stored(&TBitBtn::IsCaptionStored);
    m.Publish("Glyph", &TBitBtn::GetGlyph, &TBitBtn::SetGlyph);
    m.Publish("NumGlyphs", &TBitBtn::GetNumGlyphs, &TBitBtn::SetNumGlyphs).WithDefault(1);
    m.Publish("Kind", &TBitBtn::GetKind, &TBitBtn::SetKind)
        .WithNames({"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort", "bkRetry",
                    "bkIgnore", "bkAll"})
        .WithDefault(0);
    m.Publish("Layout", &TBitBtn::GetLayout, &TBitBtn::SetLayout)
        .WithNames({"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"})
        .WithDefault(0);
    m.Publish("Margin", &TBitBtn::GetMargin, &TBitBtn::SetMargin).WithDefault(-1);
    m.Publish("Spacing", &TBitBtn::GetSpacing, &TBitBtn::SetSpacing).WithDefault(4);
})
VCL_IMPLEMENT_CLASS(TSpeedButtonActionLink, TControlActionLink)
VCL_IMPLEMENT_CLASS(TSpeedButton, TGraphicControl, {
    m.Publish("Caption", &TSpeedButton::GetTextProp, &TSpeedButton::SetText);
    m.Publish("Glyph", &TSpeedButton::GetGlyph, &TSpeedButton::SetGlyph);
    m.Publish("NumGlyphs", &TSpeedButton::GetNumGlyphs, &TSpeedButton::SetNumGlyphs).WithDefault(1);
    m.Publish("Down", &TSpeedButton::GetDown, &TSpeedButton::SetDown).WithDefault(0);
    m.Publish("GroupIndex", &TSpeedButton::GetGroupIndex, &TSpeedButton::SetGroupIndex).WithDefault(0);
    m.Publish("AllowAllUp", &TSpeedButton::GetAllowAllUp, &TSpeedButton::SetAllowAllUp).WithDefault(0);
    m.Publish("Flat", &TSpeedButton::GetFlat, &TSpeedButton::SetFlat).WithDefault(0);
    m.Publish("Margin", &TSpeedButton::GetMargin, &TSpeedButton::SetMargin).WithDefault(-1);
    m.Publish("Spacing", &TSpeedButton::GetSpacing, &TSpeedButton::SetSpacing).WithDefault(4);
})

// =============================================================================================
// TButtonGlyph

TButtonGlyph::TButtonGlyph() : FGlyph(new TBitmap)
{
    FGlyph->OnChange = TNotifyEvent(this, &TButtonGlyph::GlyphChanged);
}

TButtonGlyph::~TButtonGlyph()
{
    delete FImages;
    delete FGlyph;
}

void TButtonGlyph::Invalidate()
{
    std::fill(std::begin(StateIndex), std::end(StateIndex), -1);
    delete FImages;
    FImages = nullptr;
}

void TButtonGlyph::GlyphChanged(TObject*)
{
    if (!FGlyph->GetEmpty() && FGlyph->GetHeight() > 0) {
        int n = FGlyph->GetWidth() / FGlyph->GetHeight();
        if (n >= 1 && n <= 4 && FGlyph->GetWidth() % FGlyph->GetHeight() == 0)
            FNumGlyphs = n;
    }
    Invalidate();
    OnChange(this);
}

void TButtonGlyph::SetNumGlyphs(int Value)
{
    Value = std::clamp(Value, 1, 4);
    if (Value != FNumGlyphs) {
        FNumGlyphs = Value;
        Invalidate();
        OnChange(this);
    }
}

// Each state the glyph strip holds gets its picture; a disabled picture is made when the strip has none.
void TButtonGlyph::BuildGlyphImages()
{
    if (FImages || FGlyph->GetEmpty())
        return;
    int w = FGlyph->GetWidth() / FNumGlyphs, h = FGlyph->GetHeight();
    FImages = new TImageList(nullptr);
    FImages->SetWidth(w);
    FImages->SetHeight(h);
    TColor transparent = FGlyph->GetTransparentColor();
    for (int state = 0; state < 4; ++state) {
        int source = state < FNumGlyphs ? state : (state == 2 || state == 3) ? 0 : -1;
        TBitmap piece;
        piece.SetSize(w, h);
        if (source >= 0) {
            piece.GetCanvas()->CopyRect(RECT{0, 0, w, h}, FGlyph->GetCanvas(), RECT{source * w, 0, source * w + w, h});
        } else {
            // Disabled: the glyph's shape in the shadow colour.
            piece.GetCanvas()->GetBrush()->SetColor(TColor(ColorToRGB(transparent)));
            piece.GetCanvas()->FillRect(RECT{0, 0, w, h});
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (FGlyph->GetCanvas()->GetPixel(x, y) != ColorToRGB(transparent))
                        piece.GetCanvas()->SetPixel(x, y, clBtnShadow);
        }
        StateIndex[state] = FImages->AddMasked(&piece, transparent);
    }
}

void TButtonGlyph::Draw(TCanvas* Canvas, RECT Rect, POINT Offset, const AnsiString& Caption, TButtonLayout Layout,
                        int Margin, int Spacing, TButtonState State, UINT BiDiFlags)
{
    BuildGlyphImages();
    HDC dc = Canvas->GetHandle();
    SIZE glyph{0, 0};
    if (FImages)
        glyph = {FImages->GetWidth(), FImages->GetHeight()};
    RECT text{0, 0, Rect.right - Rect.left, 0};
    if (!Caption.empty())
        DrawTextA(dc, Caption.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE | BiDiFlags);
    int tw = text.right, th = text.bottom;
    int cw = Rect.right - Rect.left, ch = Rect.bottom - Rect.top;
    bool horizontal = Layout == TButtonLayout::blGlyphLeft || Layout == TButtonLayout::blGlyphRight;
    int space = (glyph.cx == 0 || Caption.empty()) ? 0 : Spacing;
    int total = horizontal ? glyph.cx + space + tw : glyph.cy + space + th;
    int start = Margin >= 0 ? Margin : ((horizontal ? cw : ch) - total) / 2;
    POINT g{}, t{};
    switch (Layout) {
    case TButtonLayout::blGlyphLeft:
        g = {start, (ch - glyph.cy) / 2};
        t = {start + glyph.cx + space, (ch - th) / 2};
        break;
    case TButtonLayout::blGlyphRight:
        t = {cw - start - glyph.cx - space - tw, (ch - th) / 2};
        g = {cw - start - glyph.cx, (ch - glyph.cy) / 2};
        break;
    case TButtonLayout::blGlyphTop:
        g = {(cw - glyph.cx) / 2, start};
        t = {(cw - tw) / 2, start + glyph.cy + space};
        break;
    case TButtonLayout::blGlyphBottom:
        t = {(cw - tw) / 2, start};
        g = {(cw - glyph.cx) / 2, start + th + space};
        break;
    }
    if (FImages) {
        int index = StateIndex[int(State)];
        ImageList_DrawEx(FImages->GetHandle(), index, dc, Rect.left + g.x + Offset.x, Rect.top + g.y + Offset.y, 0,
                         0, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
    }
    if (!Caption.empty()) {
        RECT r{Rect.left + t.x + Offset.x, Rect.top + t.y + Offset.y, 0, 0};
        r.right = r.left + tw;
        r.bottom = r.top + th;
        SetBkMode(dc, TRANSPARENT);
        if (State == TButtonState::bsDisabled) {
            OffsetRect(&r, 1, 1);
            SetTextColor(dc, ColorToRGB(clBtnHighlight));
            DrawTextA(dc, Caption.c_str(), -1, &r, DT_SINGLELINE | BiDiFlags);
            OffsetRect(&r, -1, -1);
            SetTextColor(dc, ColorToRGB(clBtnShadow));
        } else {
            SetTextColor(dc, ColorToRGB(Canvas->GetFont()->GetColor()));
        }
        DrawTextA(dc, Caption.c_str(), -1, &r, DT_SINGLELINE | BiDiFlags);
    }
}

// =============================================================================================
// TBitBtn

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner), FGlyph(new TButtonGlyph), FCanvas(new TCanvas)
{
    FGlyph->OnChange = MakeEvent<TObject*>(this, [this](TObject*) { Invalidate(); });
}

TBitBtn::~TBitBtn()
{
    DestroyHandle();
    delete FCanvas;
    delete FGlyph;
}

void TBitBtn::CreateParams(TCreateParams& Params)
{
    TButton::CreateParams(Params);
    Params.Style = (Params.Style & ~DWORD(BS_TYPEMASK)) | BS_OWNERDRAW;
}

AnsiString TBitBtn::KindCaption(TBitBtnKind Kind)
{
    static const char* const captions[] = {"",       "OK",     "Cancel", "&Help",   "&Yes",  "&No",
                                           "&Close", "Abort",  "&Retry", "&Ignore", "&All"};
    return captions[int(Kind)];
}

bool TBitBtn::IsCaptionStored() const
{
    AnsiString caption = GetTextProp();
    return FKind == TBitBtnKind::bkCustom ? !caption.empty() : caption != KindCaption(FKind);
}

void TBitBtn::SetKind(TBitBtnKind Value)
{
    if (FKind == Value)
        return;
    FKind = Value;
    static const int results[] = {mrNone, mrOk, mrCancel, mrNone, mrYes, mrNo, mrNone, mrAbort, mrRetry, mrIgnore,
                                  mrAll};
    if (Value != TBitBtnKind::bkCustom) {
        SetModalResult(results[int(Value)]);
        SetDefault(Value == TBitBtnKind::bkOK || Value == TBitBtnKind::bkYes);
        SetCancel(Value == TBitBtnKind::bkCancel || Value == TBitBtnKind::bkNo);
        if (!GetComponentState().Contains(csLoading) || GetText().empty())
            SetCaption(KindCaption(Value));
    }
    Invalidate();
}

void TBitBtn::SetNumGlyphs(int Value)
{
    FGlyph->SetNumGlyphs(Value);
}

void TBitBtn::SetLayout(TButtonLayout Value)
{
    FLayout = Value;
    Invalidate();
}

void TBitBtn::SetMargin(int Value)
{
    FMargin = std::max(-1, Value);
    Invalidate();
}

void TBitBtn::SetSpacing(int Value)
{
    FSpacing = Value;
    Invalidate();
}

void TBitBtn::Click()
{
    if (FKind == TBitBtnKind::bkClose) {
        if (TCustomForm* form = GetParentForm()) {
            form->Close();
            return;
        }
    }
    TButton::Click();
}

VCL_BEGIN_MESSAGE_MAP(TBitBtn)
    VCL_MESSAGE(CN_DRAWITEM, CNDrawItem)
    VCL_MESSAGE(CN_MEASUREITEM, CNMeasureItem)
    VCL_MESSAGE(CM_MOUSEENTER, CMMouseEnter)
    VCL_MESSAGE(CM_MOUSELEAVE, CMMouseLeave)
    VCL_MESSAGE(CM_FONTCHANGED, CMFontChanged)
    VCL_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged)
VCL_END_MESSAGE_MAP(TButton)

// The canvas lets go of the item's DC however the drawing ends (EAbort from a layer included).
void TBitBtn::CNDrawItem(TMessage& Message)
{
    struct Release {
        TCanvas* canvas;
        ~Release() { canvas->SetHandle(nullptr); }
    } release{FCanvas};
    DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam));
    Message.Result = 1;
}

void TBitBtn::CNMeasureItem(TMessage& Message)
{
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    measure->itemWidth = UINT(FWidth);
    measure->itemHeight = UINT(FHeight);
    Message.Result = 1;
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& Draw)
{
    FCanvas->SetHandle(Draw.hDC);
    FCanvas->GetFont()->Assign(FFont);
    bool pressed = Draw.itemState & ODS_SELECTED;
    bool disabled = Draw.itemState & ODS_DISABLED;
    bool focused = Draw.itemState & ODS_FOCUS;
    RECT r = Draw.rcItem;
    UINT frame = DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0) | (disabled ? DFCS_INACTIVE : 0);
    if (FIsFocused || focused) {
        FrameRect(Draw.hDC, &r, HBRUSH(GetStockObject(BLACK_BRUSH)));
        InflateRect(&r, -1, -1);
    }
    DrawFrameControl(Draw.hDC, &r, DFC_BUTTON, frame);
    InflateRect(&r, -2, -2);
    SelectObject(Draw.hDC, FFont->GetHandle());
    TButtonState state = disabled ? TButtonState::bsDisabled : pressed ? TButtonState::bsDown : TButtonState::bsUp;
    FGlyph->Draw(FCanvas, r, POINT{pressed ? 1 : 0, pressed ? 1 : 0}, GetText(), FLayout, FMargin, FSpacing, state,
                 DrawTextBiDiModeFlags(0));
    if (focused) {
        InflateRect(&r, -1, -1);
        DrawFocusRect(Draw.hDC, &r);
    }
}

void TBitBtn::SetButtonStyle(bool ADefault)
{
    if (ADefault != FIsFocused) {
        FIsFocused = ADefault;
        Invalidate();
    }
}

void TBitBtn::CMMouseEnter(TMessage& Message)
{
    FMouseInControl = true;
    TButton::Dispatch(Message);
}

void TBitBtn::CMMouseLeave(TMessage& Message)
{
    FMouseInControl = false;
    TButton::Dispatch(Message);
}

void TBitBtn::CMFontChanged(TMessage& Message)
{
    TButton::Dispatch(Message);
    Invalidate();
}

void TBitBtn::CMEnabledChanged(TMessage& Message)
{
    TButton::Dispatch(Message);
    Invalidate();
}

// =============================================================================================
// TSpeedButton

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(new TButtonGlyph)
{
    FWidth = 23;
    FHeight = 22;
    ControlStyle >> csClickEvents;  // a click is the button going up over itself
    FGlyph->OnChange = MakeEvent<TObject*>(this, [this](TObject*) { Invalidate(); });
}

TSpeedButton::~TSpeedButton()
{
    delete FGlyph;
}

VCL_BEGIN_MESSAGE_MAP(TSpeedButton)
    VCL_MESSAGE(CM_MOUSEENTER, CMMouseEnter)
    VCL_MESSAGE(CM_MOUSELEAVE, CMMouseLeave)
    VCL_MESSAGE(CM_BUTTONPRESSED, CMButtonPressed)
VCL_END_MESSAGE_MAP(TGraphicControl)

void TSpeedButton::SetDown(bool Value)
{
    if (FGroupIndex == 0)
        Value = false;
    if (FDown == Value || (FDown && !Value && !FAllowAllUp))
        return;
    FDown = Value;
    State = Value ? TButtonState::bsExclusive : TButtonState::bsUp;
    Invalidate();
    if (Value && FParent)
        for (int i = 0; i < FParent->GetControlCount(); ++i)
            FParent->GetControl(i)->Perform(CM_BUTTONPRESSED, WPARAM(FGroupIndex), LPARAM(this));
}

void TSpeedButton::CMButtonPressed(TMessage& Message)
{
    if (Message.LParam != LPARAM(this) && int(Message.WParam) == FGroupIndex && FDown) {
        FDown = false;
        State = TButtonState::bsUp;
        Invalidate();
    }
}

void TSpeedButton::SetFlat(bool Value)
{
    FFlat = Value;
    Invalidate();
}

void TSpeedButton::SetTransparent(bool Value)
{
    FTransparent = Value;
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value)
{
    FLayout = Value;
    Invalidate();
}

void TSpeedButton::SetMargin(int Value)
{
    FMargin = std::max(-1, Value);
    Invalidate();
}

void TSpeedButton::SetSpacing(int Value)
{
    FSpacing = Value;
    Invalidate();
}

void TSpeedButton::Click()
{
    TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button == TMouseButton::mbLeft && GetEnabled()) {
        if (!FDown) {
            State = TButtonState::bsDown;
            Invalidate();
        }
        FDragging = true;
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FDragging)
        return;
    FDragging = false;
    bool inside = X >= 0 && X < FWidth && Y >= 0 && Y < FHeight;
    if (FGroupIndex == 0) {
        State = TButtonState::bsUp;
        Invalidate();
    } else if (inside) {
        SetDown(!FDown);
    }
    if (inside)
        Click();
}

void TSpeedButton::CMMouseEnter(TMessage& Message)
{
    FMouseInControl = true;
    if (FFlat)
        Invalidate();
    TGraphicControl::Dispatch(Message);
}

void TSpeedButton::CMMouseLeave(TMessage& Message)
{
    FMouseInControl = false;
    if (FFlat)
        Invalidate();
    TGraphicControl::Dispatch(Message);
}

void TSpeedButton::Paint()
{
    TCanvas* canvas = GetCanvas();
    RECT r = GetClientRect();
    HDC dc = canvas->GetHandle();
    bool pushed = State == TButtonState::bsDown || State == TButtonState::bsExclusive;
    if (!FFlat || FMouseInControl || pushed)
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    else if (!FTransparent) {
        canvas->GetBrush()->SetColor(FColor);
        canvas->FillRect(r);
    }
    InflateRect(&r, -2, -2);
    SelectObject(dc, FFont->GetHandle());
    TButtonState state = GetEnabled() ? State : TButtonState::bsDisabled;
    FGlyph->Draw(canvas, r, POINT{pushed ? 1 : 0, pushed ? 1 : 0}, GetText(), FLayout, FMargin, FSpacing, state,
                 DrawTextBiDiModeFlags(0));
}

}  // namespace vcl
