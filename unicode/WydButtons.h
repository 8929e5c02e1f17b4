// Glyph buttons with wide captions: the bit button and the speed button draw glyph and caption themselves with
// one layout, using the class library's glyph images.
#pragma once

#include <windows.h>

#include "Buttons.h"
#include "WydStdCtrls.h"

// Both buttons: the class library's glyph of the button, and building its state images.
class IWydGlyphButton {
public:
    virtual vcl::TButtonGlyph* GetButtonGlyph() = 0;
    virtual void UpdateInternalGlyphList() = 0;

protected:
    ~IWydGlyphButton() = default;
};

// Where glyph and caption go inside a client area of the given size (all sizes along the layout's axis
// follow the rules of Margin and Spacing, -1 meaning automatic). Positions are relative to the client area.
struct TWydGlyphLayout {
    POINT GlyphPos;
    POINT TextPos;
};
TWydGlyphLayout WydCalcGlyphLayout(SIZE client, SIZE glyph, SIZE text, vcl::TButtonLayout layout, int margin,
                                   int spacing);

// Lays out the control's glyph and the wide caption in client (moved by offset): the glyph's position and the
// caption's bounds. DT_RIGHT among biDiFlags (right-to-left reading) swaps the left and right layouts.
void TButtonGlyph_CalcButtonLayout(vcl::TControl* control, HDC dc, const RECT& client, POINT offset,
                                   const WideString& caption, vcl::TButtonLayout layout, int margin, int spacing,
                                   POINT& glyphPos, RECT& textBounds, UINT biDiFlags);
// Draws glyph and caption of a control that is an IWydGlyphButton (else EWydInternalError). Glyph images not
// built yet are built first; a glyph that cannot be built is left out.
void TButtonGlyph_Draw(vcl::TControl* control, vcl::TCanvas* canvas, const RECT& client, POINT offset,
                       const WideString& caption, vcl::TButtonLayout layout, int margin, int spacing,
                       vcl::TButtonState state, bool transparent, UINT biDiFlags);

class TWydBitBtn : public vcl::TBitBtn, public IWydGlyphButton {
    VCL_CLASS(TWydBitBtn, vcl::TBitBtn)
    explicit TWydBitBtn(vcl::TComponent* owner);
    ~TWydBitBtn() override;
    WideString GetCaption() const { return WydControl_GetText(const_cast<TWydBitBtn*>(this)); }
    void SetCaption(const WideString& value) { WydControl_SetText(this, value); }
    // Stored exactly when the class library stores its caption: for a standard kind when it differs from the
    // kind's caption, for the custom kind unless an action supplies it.
    bool IsCaptionStored() const;
    WYD_WIDE_CONTROL(TWydBitBtn)
    vcl::TButtonGlyph* GetButtonGlyph() override { return TBitBtn::GetButtonGlyph(); }
    void UpdateInternalGlyphList() override;
    void Dispatch(vcl::TMessage& message) override;

protected:
    void CreateWindowHandle(const vcl::TCreateParams& params) override;
    void DrawItem(const DRAWITEMSTRUCT& drawItem) override;
    void CMDialogChar(vcl::TMessage& message);

private:
    vcl::TCanvas* canvas_;
};

class TWydSpeedButton : public vcl::TSpeedButton, public IWydGlyphButton {
    VCL_CLASS(TWydSpeedButton, vcl::TSpeedButton)
    explicit TWydSpeedButton(vcl::TComponent* owner) : TSpeedButton(owner) {}
    WYD_WIDE_TEXT_AND_HINT(TWydSpeedButton)
    vcl::TButtonGlyph* GetButtonGlyph() override;
    void UpdateInternalGlyphList() override;
    void Dispatch(vcl::TMessage& message) override;

protected:
    void Paint() override;
    virtual void PaintButton();
    void CMHintShow(vcl::TMessage& message);
    void CMDialogChar(vcl::TMessage& message);
};

// Unit start: registers the classes for form streams.
void InitWydButtons();
