// Extra controls: the timer, panels, bevels, images, paint boxes, shapes, radio groups and splitters.
#pragma once

#include "Controls.h"
#include "StdCtrls.h"

namespace vcl {

// A timer on a hidden window of the thread that made it (the main thread). Changes made on another
// thread are handed to the main thread; SetTimer is never called across threads.
class TTimer : public TComponent {
    VCL_CLASS(TTimer, TComponent)
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    bool GetEnabled() const { return FEnabled; }
    // Enabling a running timer does not restart it.
    void SetEnabled(bool Value);
    unsigned GetInterval() const { return FInterval; }
    // A new interval restarts a running timer.
    void SetInterval(unsigned Value);
    TNotifyEvent GetOnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent Value);
    // True while the system timer runs.
    bool Running() const { return FRunning; }
    void Loaded() override;

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    void WndProc(TMessage& Message);
    bool OnOwnThread() const { return GetCurrentThreadId() == FThreadId; }
    HWND FWindow = nullptr;  // made on the timer's first start
    DWORD FThreadId;
    bool FEnabled = true;
    bool FRunning = false;
    unsigned FInterval = 1000;
    TNotifyEvent FOnTimer;
};

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };

// Draws a 3-D frame of Width pixels and shrinks Rect by it.
void Frame3D(TCanvas* Canvas, RECT& Rect, TColor TopColor, TColor BottomColor, int Width);

class TCustomPanel : public TCustomControl {
    VCL_CLASS(TCustomPanel, TCustomControl)
    explicit TCustomPanel(TComponent* AOwner);
    TBevelCut GetBevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut GetBevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    int GetBevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int GetBorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    RECT GetClientRect() const override;
    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;
    void CMTextChanged(TMessage& Message);

private:
    TBevelCut FBevelInner = TBevelCut::bvNone;
    TBevelCut FBevelOuter = TBevelCut::bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TAlignment FAlignment = TAlignment::taCenter;
};

class TPanel : public TCustomPanel {
    VCL_CLASS(TPanel, TCustomPanel)
    using TCustomPanel::TCustomPanel;
};

class TBevel : public TGraphicControl {
    VCL_CLASS(TBevel, TGraphicControl)
    explicit TBevel(TComponent* AOwner);
    TBevelShape GetShape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelCut GetStyle() const { return FStyle; }
    void SetStyle(TBevelCut Value);

protected:
    void Paint() override;

private:
    TBevelShape FShape = TBevelShape::bsBox;
    TBevelCut FStyle = TBevelCut::bvLowered;
};

class TImage : public TGraphicControl {
    VCL_CLASS(TImage, TGraphicControl)
    explicit TImage(TComponent* AOwner);
    ~TImage() override;
    TPicture* GetPicture() const { return FPicture; }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    // Puts a picture object of a descendant class in place of the image's own (the image owns it).
    void ReplacePicture(TPicture* Value);
    // The canvas of the picture's bitmap, made at the image's size when there is none.
    TCanvas* GetImageCanvas();
    bool GetStretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool GetCenter() const { return FCenter; }
    void SetCenter(bool Value);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);

protected:
    void Paint() override;
    void AdjustSize() override;

private:
    void PictureChanged(TObject* Sender);
    TPicture* FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FTransparent = false;
};

class TPaintBox : public TGraphicControl {
    VCL_CLASS(TPaintBox, TGraphicControl)
    explicit TPaintBox(TComponent* AOwner);
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

enum class TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
    VCL_CLASS(TShape, TGraphicControl)
    explicit TShape(TComponent* AOwner);
    ~TShape() override;
    TShapeType GetShape() const { return FShape; }
    void SetShape(TShapeType Value);
    TPen* GetPen() const { return FPen; }
    TBrush* GetShapeBrush() const { return FBrush; }

protected:
    void Paint() override;

private:
    TShapeType FShape = TShapeType::stRectangle;
    TPen* FPen;
    TBrush* FBrush;
};

// A group box holding one radio button per item; ItemIndex is the checked one.
class TCustomRadioGroup : public TCustomGroupBox {
    VCL_CLASS(TCustomRadioGroup, TCustomGroupBox)
    explicit TCustomRadioGroup(TComponent* AOwner);
    ~TCustomRadioGroup() override;
    TStrings* GetItems() const { return FItems; }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int GetItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int GetColumns() const { return FColumns; }
    void SetColumns(int Value);
    int GetButtonCount() const { return int(FButtons.size()); }
    TRadioButton* GetButton(int Index) const { return FButtons.at(size_t(Index)); }
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void Loaded() override;
    void Dispatch(TMessage& Message) override;

protected:
    virtual void Changed();
    void Click() override;
    void ArrangeButtons();
    void UpdateButtons();
    void WMSize(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);

private:
    void ItemsChanged(TObject* Sender);
    void ButtonClick(TObject* Sender);
    TStringList* FItems;
    std::vector<TRadioButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdating = false;
};

class TRadioGroup : public TCustomRadioGroup {
    VCL_CLASS(TRadioGroup, TCustomRadioGroup)
    using TCustomRadioGroup::TCustomRadioGroup;
};

class TSplitter : public TGraphicControl {
    VCL_CLASS(TSplitter, TGraphicControl)
    explicit TSplitter(TComponent* AOwner);

protected:
    void Paint() override;
};

// ---- control bar -------------------------------------------------------------------------------

using TBandMoveEvent = TEvent<TObject*, TControl*, RECT&>;

// A bar whose child controls are bands in rows of RowSize pixels: each band has a grabber on its left
// by which the user drags it along its row or into another one. Bands in a row never overlap; empty rows
// close up. The bar arranges its bands when it changes size, when a band comes or goes, and on Realign
// (after moving a band in code).
class TCustomControlBar : public TCustomControl {
    VCL_CLASS(TCustomControlBar, TCustomControl)
    explicit TCustomControlBar(TComponent* AOwner);
    static constexpr int GrabberSize = 11;
    int GetRowSize() const { return FRowSize; }
    void SetRowSize(int Value);
    // With RowSnap a band sits centred in its row; without, it keeps its own top within the row.
    bool GetRowSnap() const { return FRowSnap; }
    void SetRowSnap(bool Value);
    bool GetAutoDrag() const { return FAutoDrag; }
    void SetAutoDrag(bool Value) { FAutoDrag = Value; }
    // The band of a child: its grabber and the control, over the height of its row.
    RECT GetBandRect(TControl* Control) const;
    // The band under a point of the client area, or nullptr.
    TControl* BandAtPos(POINT Pos) const;
    TBandMoveEvent OnBandMove;
    TBandMoveEvent GetOnBandMove() const { return OnBandMove; }
    void SetOnBandMove(TBandMoveEvent Value) { OnBandMove = Value; }
    void Dispatch(TMessage& Message) override;

protected:
    void AlignControls(TControl* AControl, RECT& Rect) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Moves a band to a place the user chose; OnBandMove may change the place first.
    virtual void MoveBand(TControl* Control, RECT Band);
    void WMParentNotify(TMessage& Message);

private:
    int RowOf(const TControl* Control) const;
    int FRowSize = 26;
    bool FRowSnap = true;
    bool FAutoDrag = true;
    TControl* FDragControl = nullptr;
    int FDragOffset = 0;
};

class TControlBar : public TCustomControlBar {
    VCL_CLASS(TControlBar, TCustomControlBar)
    using TCustomControlBar::TCustomControlBar;
};

// Registers the control bar for form streaming.
void RegisterControlBar();

}  // namespace vcl
