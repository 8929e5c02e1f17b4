// The layer's tree views. TQvCustomTreeView extends the class library's tree view with a frame painted in
// the non-client area, colours that follow focus and the enabled state, an outline around the selected
// label while unfocused, its own wheel scrolling, a context menu per node and backslash node paths;
// TQvTreeView publishes it. TQvCheckTree gives every node a tri-state check box (the node's StateIndex)
// whose changes cascade to the descendants and the ancestors, with its images, mouse and space toggling,
// and a line-per-node text format read and written through TQvCheckTreeStrings.
#pragma once

#include <windows.h>

#include "ComCtrls.h"
#include "ImgList.h"
#include "Menus.h"
#include "QvFrames.h"

class TQvFrameController;

// Sender, the node, the menu position in client coordinates and the menu; both may be changed.
using TQvTvOnNodeContextMenuEvent = vcl::TEvent<vcl::TObject*, vcl::TTreeNode*, POINT&, vcl::TPopupMenu*&>;

class TQvCustomTreeView : public vcl::TCustomTreeView {
    VCL_CLASS(TQvCustomTreeView, vcl::TCustomTreeView)
    explicit TQvCustomTreeView(vcl::TComponent* AOwner);
    ~TQvCustomTreeView() override;

    // No node before the window exists; the right-clicked node while its click is handled.
    vcl::TTreeNode* GetSelected() const override;
    // The texts from the root-most ancestor down to the node, each followed by "\" (empty for no node).
    vcl::AnsiString PathFromNode(vcl::TTreeNode* Node) const;
    // The node whose path equals Path, compared without regard to case; nullptr when there is none.
    vcl::TTreeNode* NodeFromPath(const vcl::AnsiString& Path) const;
    void SelectByPath(const vcl::AnsiString& Path);
    void InvalidateNode(vcl::TTreeNode* Node, bool TextOnly, bool Erase);
    // Sends the state images of the node and its descendants to the window again.
    void UpdateStateIndexDisplay(vcl::TTreeNode* Node);
    void FullExpand();
    void FullCollapse();

    virtual void UpdateColors();
    virtual void UpdateFrame(bool ViaMouse, bool Inside);
    virtual void RepaintFrame();
    virtual bool UseThemes() const;

    virtual vcl::TColor GetColor() const { return vcl::TCustomTreeView::GetColor(); }
    void SetColor(vcl::TColor Value) override;
    virtual bool GetAutoExpand() const { return vcl::TCustomTreeView::GetAutoExpand(); }
    virtual void SetAutoExpand(bool Value);
    bool GetAutoSelect() const { return FAutoSelect; }
    virtual void SetAutoSelect(bool Value);
    vcl::TColor GetDisabledColor() const { return FDisabledColor; }
    virtual void SetDisabledColor(vcl::TColor Value);
    vcl::TColor GetFocusColor() const { return FFocusColor; }
    virtual void SetFocusColor(vcl::TColor Value);
    vcl::TColor GetFrameColor() const { return FFrameColor; }
    virtual void SetFrameColor(vcl::TColor Value);
    TQvFrameController* GetFrameController() const { return FFrameController; }
    virtual void SetFrameController(TQvFrameController* Value);
    vcl::TColor GetFrameHotColor() const { return FFrameHotColor; }
    virtual void SetFrameHotColor(vcl::TColor Value);
    bool GetFrameHotTrack() const { return FFrameHotTrack; }
    virtual void SetFrameHotTrack(bool Value);
    TFrameStyle GetFrameHotStyle() const { return FFrameHotStyle; }
    virtual void SetFrameHotStyle(TFrameStyle Value);
    TSides GetFrameSides() const { return FFrameSides; }
    virtual void SetFrameSides(TSides Value);
    TFrameStyle GetFrameStyle() const { return FFrameStyle; }
    virtual void SetFrameStyle(TFrameStyle Value);
    bool GetFrameVisible() const { return FFrameVisible; }
    virtual void SetFrameVisible(bool Value);
    TFramingPreference GetFramingPreference() const { return FFramingPreference; }
    virtual void SetFramingPreference(TFramingPreference Value);
    vcl::TPen* GetSelectionPen() const { return FSelectionPen; }
    virtual void SetSelectionPen(vcl::TPen* Value);

    vcl::TNotifyEvent OnMouseEnter;
    vcl::TNotifyEvent OnMouseLeave;
    TQvTvOnNodeContextMenuEvent OnNodeContextMenu;
    vcl::TNotifyEvent GetOnMouseEnter() const { return OnMouseEnter; }
    void SetOnMouseEnter(vcl::TNotifyEvent Value) { OnMouseEnter = Value; }
    vcl::TNotifyEvent GetOnMouseLeave() const { return OnMouseLeave; }
    void SetOnMouseLeave(vcl::TNotifyEvent Value) { OnMouseLeave = Value; }
    TQvTvOnNodeContextMenuEvent GetOnNodeContextMenu() const { return OnNodeContextMenu; }
    void SetOnNodeContextMenu(TQvTvOnNodeContextMenuEvent Value) { OnNodeContextMenu = Value; }

    // What the form stream stores (published-property predicates).
    bool IsColorStored() const;
    bool IsFocusColorStored() const;
    bool AreFramePropertiesStored() const;

    void Dispatch(vcl::TMessage& Message) override;
    void DefineProperties(vcl::TFiler* Filer) override;

protected:
    void CreateParams(vcl::TCreateParams& Params) override;
    void Loaded() override;
    void Notification(vcl::TComponent* AComponent, vcl::TOperation Operation) override;
    void Expand(vcl::TTreeNode* Node) override;
    void Collapse(vcl::TTreeNode* Node) override;
    void DoMouseWheelDown(vcl::TShiftState Shift, POINT MousePos, bool& Handled) override;
    void DoMouseWheelUp(vcl::TShiftState Shift, POINT MousePos, bool& Handled) override;
    void KeyDown(WORD& Key, vcl::TShiftState Shift) override;
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void DoPreNodeContextMenu();
    virtual void DoNodeContextMenu(vcl::TTreeNode* Node, POINT Pos);
    virtual void NodeContextMenu(vcl::TTreeNode* Node, POINT& Pos, vcl::TPopupMenu*& Menu);

    void CMSysColorChange(vcl::TMessage& Message);
    void CNNotify(vcl::TMessage& Message);
    void WMRButtonUp(vcl::TMessage& Message);
    void WMContextMenu(vcl::TMessage& Message);
    void CMEnabledChanged(vcl::TMessage& Message);
    void WMPaint(vcl::TMessage& Message);
    void WMNCPaint(vcl::TMessage& Message);
    void CMEnter(vcl::TMessage& Message);
    void CMExit(vcl::TMessage& Message);
    void CMMouseEnter(vcl::TMessage& Message);
    void CMMouseLeave(vcl::TMessage& Message);
    void WMSize(vcl::TMessage& Message);

private:
    // Scrolls by Lines (negative: up), never above the top.
    void WheelScroll(int Lines);
    void NodeRightClicked();
    void PopupAt(vcl::TPopupMenu* Menu, POINT ClientPos);
    void DrawSelectionOutline(HDC DC);
    template <class T>
    void ChangeFrame(T& Field, T Value);

    bool FUpdatingColor = false;
    vcl::TColor FDisabledColor = vcl::clBtnFace;
    vcl::TColor FFocusColor = vcl::clWindow;
    vcl::TColor FNormalColor = vcl::clWindow;
    vcl::TColor FFrameColor = vcl::clBtnShadow;
    TQvFrameController* FFrameController = nullptr;
    vcl::TColor FFrameHotColor = vcl::clBtnShadow;
    bool FFrameHotTrack = false;
    TFrameStyle FFrameHotStyle = fsFlatBold;
    TSides FFrameSides = AllSides;
    TFrameStyle FFrameStyle = fsFlat;
    bool FFrameVisible = false;
    TFramingPreference FFramingPreference = fpXPThemes;
    bool FAutoSelect = false;
    vcl::TPen* FSelectionPen;
    bool FMenuShown = false;
    vcl::TControlCanvas* FCanvas;
    bool FMouseOver = false;
};

class TQvTreeView : public TQvCustomTreeView {
    VCL_CLASS(TQvTreeView, TQvCustomTreeView)
    using TQvCustomTreeView::TQvCustomTreeView;
};

// A node's check state is its StateIndex (state image n for n >= 1; a new node has -1 until the next paint).
enum TQvCheckState : unsigned char { csUnknown, csUnchecked, csChecked, csPartiallyChecked };

using TQvCheckTreeChangingEvent = vcl::TEvent<vcl::TObject*, vcl::TTreeNode*, TQvCheckState, bool&>;
using TQvCheckTreeChangeEvent = vcl::TEvent<vcl::TObject*, vcl::TTreeNode*, TQvCheckState>;

class TQvCheckTree : public TQvCustomTreeView {
    VCL_CLASS(TQvCheckTree, TQvCustomTreeView)
    explicit TQvCheckTree(vcl::TComponent* AOwner);
    ~TQvCheckTree() override;

    // One node, asking OnStateChanging and announcing OnStateChange, even when the state is the same.
    void SetNodeCheckState(vcl::TTreeNode* Node, TQvCheckState State);
    // Sets the node when different, then (with CascadeChecks) carries its state down and up.
    void ChangeNodeCheckState(vcl::TTreeNode* Node, TQvCheckState State);
    void ToggleCheckState(vcl::TTreeNode* Node);
    // Sets the node when different with OnStateChange only: no veto, no cascade.
    void ForceCheckState(vcl::TTreeNode* Node, TQvCheckState State);
    virtual void UpdateChildren(vcl::TTreeNode* Node, bool Checked);
    void RecurseChildren(vcl::TTreeNode* Node, bool Checked);
    virtual void UpdateParents(vcl::TTreeNode* Node, bool Checked);
    void UpdateCascadingStates(vcl::TTreeNode* Node);
    void UpdateChildrenCascadingStates(vcl::TTreeNode* Node);
    // No events and no cascade.
    void SetAllChildren(vcl::TTreeNode* Node, TQvCheckState State);
    void SetAllNodes(TQvCheckState State);
    // By absolute index; an index outside the nodes raises ETreeViewError "Invalid index". A node not yet
    // painted reads as TQvCheckState(-1), its StateIndex in one byte.
    TQvCheckState GetItemState(int Index) const;
    void SetItemState(int Index, TQvCheckState State);
    // Gives every node still at -1 the state csUnchecked, without events; runs before every paint.
    void ResolveNewNodeStates();

    void LoadFromFile(const vcl::AnsiString& FileName);
    void SaveToFile(const vcl::AnsiString& FileName);
    void LoadFromStream(vcl::TStream* Stream);
    void SaveToStream(vcl::TStream* Stream);

    virtual void UpdateImageWidth();
    virtual void InitStateImages();
    vcl::TImageList* GetCheckImages() const { return FCheckImages; }
    bool GetCascadeChecks() const { return FCascadeChecks; }
    void SetCascadeChecks(bool Value) { FCascadeChecks = Value; }
    vcl::TColor GetHighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(vcl::TColor Value);
    vcl::TCustomImageList* GetImages() const { return vcl::TCustomTreeView::GetImages(); }
    void SetImages(vcl::TCustomImageList* Value);

    TQvCheckTreeChangingEvent OnStateChanging;
    TQvCheckTreeChangeEvent OnStateChange;
    vcl::TNotifyEvent OnUpdateChildren;
    TQvCheckTreeChangingEvent GetOnStateChanging() const { return OnStateChanging; }
    void SetOnStateChanging(TQvCheckTreeChangingEvent Value) { OnStateChanging = Value; }
    TQvCheckTreeChangeEvent GetOnStateChange() const { return OnStateChange; }
    void SetOnStateChange(TQvCheckTreeChangeEvent Value) { OnStateChange = Value; }
    vcl::TNotifyEvent GetOnUpdateChildren() const { return OnUpdateChildren; }
    void SetOnUpdateChildren(vcl::TNotifyEvent Value) { OnUpdateChildren = Value; }

    void Dispatch(vcl::TMessage& Message) override;

protected:
    void Loaded() override;
    void Notification(vcl::TComponent* AComponent, vcl::TOperation Operation) override;
    virtual bool CanChangeState(vcl::TTreeNode* Node, TQvCheckState NewState);
    virtual void StateChange(vcl::TTreeNode* Node, TQvCheckState NewState);
    void MouseDown(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void MouseUp(vcl::TMouseButton Button, vcl::TShiftState Shift, int X, int Y) override;
    void KeyUp(WORD& Key, vcl::TShiftState Shift) override;
    void WMPaint(vcl::TMessage& Message);
    void WMChar(vcl::TMessage& Message);

private:
    // Carries the node's current state to its descendants and its ancestors.
    void Cascade(vcl::TTreeNode* Node);
    void BuildThemedImages();
    void BuildPlainImages();

    int FPressedIndex = -1;
    int FCheckImageWidth = 0;
    int FImageWidth = 0;
    bool FBoxPressed = false;
    vcl::TImageList* FCheckImages = nullptr;
    bool FCascadeChecks = true;
    vcl::TColor FHighlightColor = vcl::clHighlight;
};

// The nodes of a tree as strings: string i is the node at absolute index i, one TAB per level and its
// text; object i is its Data. Reads and writes the check tree's text format.
class TQvCheckTreeStrings : public vcl::TStrings {
    VCL_CLASS(TQvCheckTreeStrings, vcl::TStrings)
    explicit TQvCheckTreeStrings(vcl::TTreeNodes* Nodes);

    vcl::AnsiString Get(int Index) const override;
    int GetCount() const override;
    vcl::TObject* GetObject(int Index) const override;
    void PutObject(int Index, vcl::TObject* Object) override;
    // Adds a node at the level of the leading TABs and blanks; returns the count before adding.
    int Add(const vcl::AnsiString& S) override;
    void Clear() override;
    void Delete(int Index) override;
    void Insert(int Index, const vcl::AnsiString& S) override;
    // Replaces the tree by the stream's lines (raises EConvertError or ETreeViewError on a bad line; the
    // lines before it stay loaded).
    void ReadTreeFromStream(vcl::TStream* Stream);
    void WriteTreeToStream(vcl::TStream* Stream);

protected:
    void SetUpdateState(bool Updating) override;

private:
    vcl::TTreeNodes* FNodes;
};
