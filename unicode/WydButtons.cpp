// Bit buttons and speed buttons with wide captions, drawn with one layout of glyph and caption.
#include "WydButtons.h"

#include <commctrl.h>

#include "Forms.h"
#include "WydForms.h"
#include "WydGraphics.h"
#include "WydSysUtils.h"
#include "WydWindows.h"

using namespace vcl;

VCL_IMPLEMENT_CLASS(TWydBitBtn, TBitBtn, {
    m.Publish("Caption", &TWydBitBtn::GetCaption, &TWydBitBtn::SetCaption).Stored(&TWydBitBtn::IsCaptionStored);
    m.Publish("Hint", &TWydBitBtn::GetHint, &TWydBitBtn::SetHint).Stored(&TWydBitBtn::IsHintStored);
})
VCL_IMPLEMENT_CLASS(TWydSpeedButton, TSpeedButton, {
    m.Publish("Caption", &TWydSpeedButton::GetCaption, &TWydSpeedButton::SetCaption)
        .Stored(&TWydSpeedButton::IsCaptionStored);
    m.Publish("Hint", &TWydSpeedButton::GetHint, &TWydSpeedButton::SetHint).Stored(&TWydSpeedButton::IsHintStored);
})

namespace {

bool Horizontal(TButtonLayout layout)
{
    return layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphRight;
}

IWydGlyphButton* GlyphButtonOf(TControl* control)
{
    auto* button = dynamic_cast<IWydGlyphButton*>(control);
    if (!button)
        throw EWydInternalError("Internal Error: Control does not support IWydGlyphButton.");
    return button;
}

SIZE GlyphSizeOf(TButtonGlyph* glyph)
{
    TBitmap* bitmap = glyph->GetGlyph();
    if (bitmap->GetEmpty() || bitmap->GetWidth() == 0 || bitmap->GetHeight() == 0)
        return SIZE{0, 0};
    return SIZE{bitmap->GetWidth() / std::max(1, glyph->GetNumGlyphs()), bitmap->GetHeight()};
}

// The picture of a state: the down state shows the up picture when the strip has no down picture.
int GlyphImageIndex(TButtonGlyph* glyph, TButtonState state)
{
    if (state == TButtonState::bsDown && glyph->GetNumGlyphs() < 3)
        state = TButtonState::bsUp;
    return glyph->StateIndex[int(state)];
}

// A brush of alternating button-face and highlight pixels (the look of a button held down for good).
class TPatternBrush {
public:
    TPatternBrush()
    {
        WORD rows[8];
        for (int y = 0; y < 8; ++y)
            rows[y] = WORD(y % 2 ? 0xAA : 0x55);
        bitmap_ = CreateBitmap(8, 8, 1, 1, rows);
        brush_ = CreatePatternBrush(bitmap_);
    }
    ~TPatternBrush()
    {
        DeleteObject(brush_);
        DeleteObject(bitmap_);
    }
    TPatternBrush(const TPatternBrush&) = delete;
    TPatternBrush& operator=(const TPatternBrush&) = delete;
    // Fills r: the bitmap's set bits in the highlight colour, the others in the face colour.
    void Fill(HDC dc, const RECT& r) const
    {
        COLORREF text = SetTextColor(dc, ColorToRGB(clBtnFace));
        COLORREF back = SetBkColor(dc, ColorToRGB(clBtnHighlight));
        FillRect(dc, &r, brush_);
        SetTextColor(dc, text);
        SetBkColor(dc, back);
    }

private:
    HBITMAP bitmap_ = nullptr;
    HBRUSH brush_ = nullptr;
};

// The caption drawn centred in its bounds; a disabled one embossed.
void DrawGlyphCaption(TCanvas* canvas, const WideString& caption, RECT bounds, TButtonState state, UINT biDiFlags)
{
    UINT flags = DT_CENTER | DT_VCENTER | biDiFlags;
    if (state == TButtonState::bsDisabled)
        WideCanvasDrawDisabledText(canvas, caption, bounds, flags);
    else
        WideCanvasDrawText(canvas, caption, bounds, flags);
}

}  // namespace

// =============================================================================================
// Layout and drawing

TWydGlyphLayout WydCalcGlyphLayout(SIZE client, SIZE glyph, SIZE text, TButtonLayout layout, int margin, int spacing)
{
    bool horizontal = Horizontal(layout);
    // Across the layout's axis both are centred.
    auto centred = [](int room, int size) { return (room - size + 1) / 2; };
    TWydGlyphLayout result{};
    if (horizontal) {
        result.GlyphPos.y = centred(client.cy, glyph.cy);
        result.TextPos.y = centred(client.cy, text.cy);
    } else {
        result.GlyphPos.x = centred(client.cx, glyph.cx);
        result.TextPos.x = centred(client.cx, text.cx);
    }
    if (text.cx == 0 || glyph.cx == 0)
        spacing = 0;
    int room = horizontal ? client.cx : client.cy;
    int glyphSize = horizontal ? glyph.cx : glyph.cy;
    int textSize = horizontal ? text.cx : text.cy;
    if (margin == -1 && spacing == -1) {
        margin = spacing = (room - glyphSize - textSize) / 3;
    } else if (margin == -1) {
        margin = (room - (glyphSize + spacing + textSize) + 1) / 2;
    } else if (spacing == -1) {
        spacing = ((room - (margin + glyphSize)) - textSize) / 2;
    }
    LONG& glyphAt = horizontal ? result.GlyphPos.x : result.GlyphPos.y;
    LONG& textAt = horizontal ? result.TextPos.x : result.TextPos.y;
    switch (layout) {
    case TButtonLayout::blGlyphLeft:
    case TButtonLayout::blGlyphTop:
        glyphAt = margin;
        textAt = margin + glyphSize + spacing;
        break;
    case TButtonLayout::blGlyphRight:
    case TButtonLayout::blGlyphBottom:
        glyphAt = room - margin - glyphSize;
        textAt = glyphAt - spacing - textSize;
        break;
    }
    return result;
}

void TButtonGlyph_CalcButtonLayout(TControl* control, HDC dc, const RECT& client, POINT offset,
                                   const WideString& caption, TButtonLayout layout, int margin, int spacing,
                                   POINT& glyphPos, RECT& textBounds, UINT biDiFlags)
{
    if (biDiFlags & DT_RIGHT) {
        if (layout == TButtonLayout::blGlyphLeft)
            layout = TButtonLayout::blGlyphRight;
        else if (layout == TButtonLayout::blGlyphRight)
            layout = TButtonLayout::blGlyphLeft;
    }
    SIZE clientSize{client.right - client.left, client.bottom - client.top};
    SIZE glyphSize = GlyphSizeOf(GlyphButtonOf(control)->GetButtonGlyph());
    textBounds = RECT{0, 0, 0, 0};
    if (!caption.empty()) {
        textBounds = RECT{0, 0, clientSize.cx, 0};
        Wyd_DrawTextW(dc, caption.c_str(), int(caption.size()), &textBounds, DT_CALCRECT | biDiFlags);
    }
    SIZE textSize{textBounds.right - textBounds.left, textBounds.bottom - textBounds.top};
    TWydGlyphLayout at = WydCalcGlyphLayout(clientSize, glyphSize, textSize, layout, margin, spacing);
    POINT origin{client.left + offset.x, client.top + offset.y};
    glyphPos = POINT{at.GlyphPos.x + origin.x, at.GlyphPos.y + origin.y};
    textBounds = RECT{at.TextPos.x + origin.x, at.TextPos.y + origin.y, at.TextPos.x + origin.x + textSize.cx,
                      at.TextPos.y + origin.y + textSize.cy};
}

void TButtonGlyph_Draw(TControl* control, TCanvas* canvas, const RECT& client, POINT offset,
                       const WideString& caption, TButtonLayout layout, int margin, int spacing, TButtonState state,
                       bool transparent, UINT biDiFlags)
{
    IWydGlyphButton* button = GlyphButtonOf(control);
    TButtonGlyph* glyph = button->GetButtonGlyph();
    bool hasGlyph = GlyphSizeOf(glyph).cx > 0;
    // Built at once, so the paint in progress shows the glyph; one that cannot be built is left out rather
    // than asked for again on every paint.
    if (hasGlyph && GlyphImageIndex(glyph, state) == -1)
        button->UpdateInternalGlyphList();
    int image = hasGlyph && glyph->GetImageList() ? GlyphImageIndex(glyph, state) : -1;
    HDC dc = canvas->GetHandle();
    SelectObject(dc, canvas->GetFont()->GetHandle());
    POINT glyphPos{};
    RECT textBounds{};
    TButtonGlyph_CalcButtonLayout(control, dc, client, offset, caption, layout, margin, spacing, glyphPos,
                                  textBounds, biDiFlags);
    if (image >= 0) {
        bool clear = transparent || state == TButtonState::bsExclusive;
        ImageList_DrawEx(glyph->GetImageList()->GetHandle(), image, dc, glyphPos.x, glyphPos.y, 0, 0,
                         clear ? CLR_NONE : ColorToRGB(clBtnFace), CLR_NONE, clear ? ILD_TRANSPARENT : ILD_NORMAL);
    }
    if (!caption.empty())
        DrawGlyphCaption(canvas, caption, textBounds, state, biDiFlags);
}

// =============================================================================================
// TWydBitBtn

TWydBitBtn::TWydBitBtn(TComponent* owner) : TBitBtn(owner), canvas_(new TCanvas) {}

TWydBitBtn::~TWydBitBtn()
{
    DestroyHandle();
    delete canvas_;
}

VCL_BEGIN_MESSAGE_MAP(TWydBitBtn)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
VCL_END_MESSAGE_MAP(TBitBtn)

bool TWydBitBtn::IsCaptionStored() const
{
    if (GetKind() == TBitBtnKind::bkCustom)
        return WydControl_IsCaptionStored(const_cast<TWydBitBtn*>(this));
    return TBitBtn::IsCaptionStored();
}

void TWydBitBtn::UpdateInternalGlyphList() { GetButtonGlyph()->BuildGlyphImages(); }

void TWydBitBtn::CreateWindowHandle(const TCreateParams& params) { CreateUnicodeHandle(this, params, L"BUTTON"); }

void TWydBitBtn::DrawItem(const DRAWITEMSTRUCT& drawItem)
{
    canvas_->SetHandle(drawItem.hDC);
    struct Release {
        TCanvas* canvas;
        ~Release() { canvas->SetHandle(nullptr); }
    } release{canvas_};
    canvas_->GetFont()->Assign(GetFont());
    HDC dc = drawItem.hDC;
    RECT client = GetClientRect();
    RECT r = client;
    bool down = drawItem.itemState & ODS_SELECTED;
    bool isDefault = drawItem.itemState & ODS_FOCUS;
    bool active = FIsFocused;  // the button Enter would press
    TButtonState state = !GetEnabled() ? TButtonState::bsDisabled : down ? TButtonState::bsDown : TButtonState::bsUp;
    UINT frame = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (down ? DFCS_PUSHED : 0) |
                 ((drawItem.itemState & ODS_DISABLED) ? DFCS_INACTIVE : 0);
    if (active || isDefault) {
        canvas_->GetBrush()->SetColor(clWindowFrame);
        canvas_->FrameRect(r);
        InflateRect(&r, -1, -1);
    }
    if (down) {
        canvas_->GetBrush()->SetColor(clBtnShadow);
        canvas_->FrameRect(r);
        InflateRect(&r, -1, -1);
        canvas_->GetBrush()->SetColor(clBtnFace);
        canvas_->FillRect(r);
    } else {
        DrawFrameControl(dc, &r, DFC_BUTTON, frame);
    }
    if (active) {
        r = client;
        InflateRect(&r, -1, -1);
    }
    if (down)
        OffsetRect(&r, 1, 1);
    TButtonGlyph_Draw(this, canvas_, r, POINT{0, 0}, GetCaption(), GetLayout(), GetMargin(), GetSpacing(), state, false,
                      DrawTextBiDiModeFlags(0));
    if (active && isDefault) {
        r = client;
        InflateRect(&r, -4, -4);
        DrawFocusRect(dc, &r);
    }
}

void TWydBitBtn::CMDialogChar(TMessage& message) { WydButton_CMDialogChar(this, message, GetCaption()); }

// =============================================================================================
// TWydSpeedButton

VCL_BEGIN_MESSAGE_MAP(TWydSpeedButton)
    VCL_MESSAGE(CM_HINTSHOW, CMHintShow)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
VCL_END_MESSAGE_MAP(TSpeedButton)

TButtonGlyph* TWydSpeedButton::GetButtonGlyph() { return TSpeedButton::GetButtonGlyph(); }

void TWydSpeedButton::UpdateInternalGlyphList() { GetButtonGlyph()->BuildGlyphImages(); }

void TWydSpeedButton::Paint() { PaintButton(); }

void TWydSpeedButton::PaintButton()
{
    if (!GetEnabled()) {
        State = TButtonState::bsDisabled;
        FDragging = false;  // a button disabled while held is not clicked when let go
    } else if (State == TButtonState::bsDisabled)
        State = GetDown() && GetGroupIndex() != 0 ? TButtonState::bsExclusive : TButtonState::bsUp;
    TCanvas* canvas = GetCanvas();
    canvas->GetFont()->Assign(GetFont());
    HDC dc = canvas->GetHandle();
    RECT r{0, 0, GetWidth(), GetHeight()};
    bool pushed = State == TButtonState::bsDown || State == TButtonState::bsExclusive;
    if (GetFlat()) {
        bool designing = GetComponentState().Contains(csDesigning);
        if (pushed || (MouseInControl() && State != TButtonState::bsDisabled) || designing) {
            DrawEdge(dc, &r, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | (GetTransparent() ? 0 : BF_MIDDLE));
        } else if (!GetTransparent()) {
            canvas->GetBrush()->SetColor(GetColor());
            canvas->FillRect(r);
        }
        InflateRect(&r, -1, -1);
    } else {
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pushed ? DFCS_PUSHED : 0));
    }
    POINT offset{0, 0};
    if (pushed) {
        offset = POINT{1, 1};
        if (State == TButtonState::bsExclusive && (!GetFlat() || !MouseInControl()))
            TPatternBrush().Fill(dc, r);
    }
    TButtonGlyph_Draw(this, canvas, r, offset, GetCaption(), GetLayout(), GetMargin(), GetSpacing(), State,
                      GetTransparent(), DrawTextBiDiModeFlags(0));
}

void TWydSpeedButton::CMHintShow(TMessage& message)
{
    ProcessCMHintShowMsg(message);
    TSpeedButton::Dispatch(message);
}

void TWydSpeedButton::CMDialogChar(TMessage& message)
{
    TWinControl* parent = GetParent();
    if (IsWideCharAccel(WORD(GetWideCharFromWMCharMsg(message)), GetCaption()) && GetEnabled() && GetVisible() &&
        parent && parent->GetShowing()) {
        Click();
        message.Result = 1;
        return;
    }
    TSpeedButton::Dispatch(message);
}

void InitWydButtons() { RegisterClasses({TWydBitBtn::StaticClass(), TWydSpeedButton::StaticClass()}); }
