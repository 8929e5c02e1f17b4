// Buttons with glyphs: the bit button (an owner-drawn system button) and the windowless speed button.
#pragma once

#include "ImgList.h"
#include "StdCtrls.h"

namespace vcl {

enum class TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// A glyph cut into its state images (up, disabled, down, exclusive) on an image list.
class TButtonGlyph : public TObject {
    VCL_CLASS(TButtonGlyph, TObject)
    TButtonGlyph();
    ~TButtonGlyph() override;
    TBitmap* GetGlyph() const { return FGlyph; }
    int GetNumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    // Image-list index of each state's picture; -1 = not built yet.
    int StateIndex[4] = {-1, -1, -1, -1};
    TCustomImageList* GetImageList() const { return FImages; }
    // Builds the state images now (a layer may call it before drawing itself).
    virtual void BuildGlyphImages();
    // Draws glyph and caption into Rect; returns nothing, the caption goes where the layout puts it.
    void Draw(TCanvas* Canvas, RECT Rect, POINT Offset, const AnsiString& Caption, TButtonLayout Layout, int Margin,
              int Spacing, TButtonState State, UINT BiDiFlags);
    TNotifyEvent OnChange;

private:
    void GlyphChanged(TObject* Sender);
    void Invalidate();
    TBitmap* FGlyph;
    TCustomImageList* FImages = nullptr;
    int FNumGlyphs = 1;
};

class TBitBtn : public TButton {
    VCL_CLASS(TBitBtn, TButton)
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;
    TBitmap* GetGlyph() const { return FGlyph->GetGlyph(); }
    void SetGlyph(TBitmap* Value) { FGlyph->GetGlyph()->Assign(Value); }
    TButtonGlyph* GetButtonGlyph() const { return FGlyph; }
    int GetNumGlyphs() const { return FGlyph->GetNumGlyphs(); }
    void SetNumGlyphs(int Value);
    TBitBtnKind GetKind() const { return FKind; }
    void SetKind(TBitBtnKind Value);
    TButtonLayout GetLayout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int GetMargin() const { return FMargin; }
    void SetMargin(int Value);
    int GetSpacing() const { return FSpacing; }
    void SetSpacing(int Value);
    // The caption a standard kind shows by default.
    static AnsiString KindCaption(TBitBtnKind Kind);
    // Stored in a form stream only when it differs from the kind's caption.
    bool IsCaptionStored() const;
    void Click() override;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    // The owner-drawn button shows being active itself (FIsFocused), with the thick frame.
    void SetButtonStyle(bool ADefault) override;
    virtual void DrawItem(const DRAWITEMSTRUCT& DrawItemStruct);
    void CNDrawItem(TMessage& Message);
    void CNMeasureItem(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    bool FIsFocused = false;  // active: the button Enter would press
    bool FMouseInControl = false;

private:
    TButtonGlyph* FGlyph;
    TCanvas* FCanvas;
    TBitBtnKind FKind = TBitBtnKind::bkCustom;
    TButtonLayout FLayout = TButtonLayout::blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
};

class TSpeedButtonActionLink : public TControlActionLink {
    VCL_CLASS(TSpeedButtonActionLink, TControlActionLink)
};

class TSpeedButton : public TGraphicControl {
    VCL_CLASS(TSpeedButton, TGraphicControl)
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;
    TBitmap* GetGlyph() const { return FGlyph->GetGlyph(); }
    void SetGlyph(TBitmap* Value) { FGlyph->GetGlyph()->Assign(Value); }
    int GetNumGlyphs() const { return FGlyph->GetNumGlyphs(); }
    void SetNumGlyphs(int Value) { FGlyph->SetNumGlyphs(Value); }
    bool GetDown() const { return FDown; }
    void SetDown(bool Value);
    int GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool GetAllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    bool GetFlat() const { return FFlat; }
    void SetFlat(bool Value);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    TButtonLayout GetLayout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int GetMargin() const { return FMargin; }
    void SetMargin(int Value);
    int GetSpacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TButtonGlyph* GetButtonGlyph() const { return FGlyph; }
    TButtonState State = TButtonState::bsUp;
    bool MouseInControl() const { return FMouseInControl; }
    bool Dragging() const { return FDragging; }
    void Click() override;
    void Dispatch(TMessage& Message) override;

protected:
    TClass GetActionLinkClass() const override { return TSpeedButtonActionLink::StaticClass(); }
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMButtonPressed(TMessage& Message);
    // Held down by the mouse: the button is up or down as the mouse leaves or enters it until released.
    bool FDragging = false;

private:
    TButtonGlyph* FGlyph;
    bool FDown = false;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    bool FFlat = false;
    bool FTransparent = true;
    TButtonLayout FLayout = TButtonLayout::blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
};

}  // namespace vcl
