// The custom tree view base: frame, colours by state, selection outline, wheel, node context menus and
// node paths; the published properties of both tree views.
#include "QvTreeVw.h"

#include "Forms.h"
#include "QvCommon.h"
#include "QvComponents.h"
#include "QvShellUtils.h"
#include "QvThemeSrv.h"

using namespace vcl;

namespace {

bool IsLoading(const TComponent* c) { return c->GetComponentState().Contains(csLoading); }
bool IsDesigning(const TComponent* c) { return c->GetComponentState().Contains(csDesigning); }

// Lends a device context to a canvas for one drawing; takes it back, and releases it when it was taken
// for the drawing, however the drawing ends.
class TLentDC {
public:
    TLentDC(TCanvas* canvas, HWND window, HDC dc, bool owned)
        : canvas_(canvas), window_(window), dc_(dc), owned_(owned)
    {
        canvas_->SetHandle(dc_);
    }
    ~TLentDC()
    {
        canvas_->SetHandle(nullptr);
        if (owned_ && dc_) ReleaseDC(window_, dc_);
    }
    TLentDC(const TLentDC&) = delete;
    TLentDC& operator=(const TLentDC&) = delete;

private:
    TCanvas* canvas_;
    HWND window_;
    HDC dc_;
    bool owned_;
};

// The hourglass for a scope.
class THourGlass {
public:
    THourGlass() : saved_(Screen ? Screen->GetCursor() : crDefault)
    {
        if (Screen) Screen->SetCursor(crHourGlass);
    }
    ~THourGlass()
    {
        if (Screen) Screen->SetCursor(saved_);
    }
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;

private:
    TCursor saved_;
};

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Published properties

namespace {

// The class library's tree-view properties and the base's own, for both published tree views; the check
// tree publishes neither OnNodeContextMenu nor ReadOnly's default False.
void PublishTreeView(TMetaClass& m, bool checkTree)
{
    using Base = TQvCustomTreeView;
    m.PublishReadOnly("Items", &TCustomTreeView::GetItems);
    m.Publish("StateImages", &TCustomTreeView::GetStateImages, &TCustomTreeView::SetStateImages);
    m.Publish("HideSelection", &TCustomTreeView::GetHideSelection, &TCustomTreeView::SetHideSelection)
        .WithDefault(1);
    m.Publish("ReadOnly", &TCustomTreeView::GetReadOnly, &TCustomTreeView::SetReadOnly).WithDefault(checkTree);
    m.Publish("RightClickSelect", &TCustomTreeView::GetRightClickSelect, &TCustomTreeView::SetRightClickSelect)
        .WithDefault(0);
    m.Publish("ShowLines", &TCustomTreeView::GetShowLines, &TCustomTreeView::SetShowLines).WithDefault(1);
    m.Publish("ShowRoot", &TCustomTreeView::GetShowRoot, &TCustomTreeView::SetShowRoot).WithDefault(1);
    m.Publish("ShowButtons", &TCustomTreeView::GetShowButtons, &TCustomTreeView::SetShowButtons).WithDefault(1);
    m.Publish("RowSelect", &TCustomTreeView::GetRowSelect, &TCustomTreeView::SetRowSelect).WithDefault(0);
    m.Publish("SortType", &TCustomTreeView::GetSortType, &TCustomTreeView::SetSortType)
        .WithNames({"stNone", "stData", "stText", "stBoth"})
        .WithDefault(0);
    m.Publish("OnChange", &TCustomTreeView::GetOnChange, &TCustomTreeView::SetOnChange);
    m.Publish("OnExpanding", &TCustomTreeView::GetOnExpanding, &TCustomTreeView::SetOnExpanding);
    m.Publish("OnDeletion", &TCustomTreeView::GetOnDeletion, &TCustomTreeView::SetOnDeletion);

    m.Publish("Color", &Base::GetColor, &Base::SetColor)
        .WithIdents(ColorIdents())
        .WithDefault(clWindow)
        .Stored(&Base::IsColorStored);
    auto frameColor = [&m](const char* name, TColor (Base::*get)() const, void (Base::*set)(TColor), TColor byDefault,
                           bool (Base::*stored)() const) {
        m.Publish(name, get, set).WithIdents(ColorIdents()).WithDefault(byDefault).Stored(stored);
    };
    frameColor("DisabledColor", &Base::GetDisabledColor, &Base::SetDisabledColor, clBtnFace,
               &Base::AreFramePropertiesStored);
    frameColor("FocusColor", &Base::GetFocusColor, &Base::SetFocusColor, clWindow, &Base::IsFocusColorStored);
    frameColor("FrameColor", &Base::GetFrameColor, &Base::SetFrameColor, clBtnShadow, &Base::AreFramePropertiesStored);
    frameColor("FrameHotColor", &Base::GetFrameHotColor, &Base::SetFrameHotColor, clBtnShadow,
               &Base::AreFramePropertiesStored);
    m.Publish("FrameHotTrack", &Base::GetFrameHotTrack, &Base::SetFrameHotTrack)
        .WithDefault(false)
        .Stored(&Base::AreFramePropertiesStored);
    m.Publish("FrameHotStyle", &Base::GetFrameHotStyle, &Base::SetFrameHotStyle)
        .WithNames(FrameStyleNames())
        .WithDefault(fsFlatBold)
        .Stored(&Base::AreFramePropertiesStored);
    m.Publish("FrameSides", &Base::GetFrameSides, &Base::SetFrameSides)
        .AsSet(FrameSideNames())
        .WithDefault(AllSides)
        .Stored(&Base::AreFramePropertiesStored);
    m.Publish("FrameStyle", &Base::GetFrameStyle, &Base::SetFrameStyle)
        .WithNames(FrameStyleNames())
        .WithDefault(fsFlat)
        .Stored(&Base::AreFramePropertiesStored);
    m.Publish("FrameVisible", &Base::GetFrameVisible, &Base::SetFrameVisible)
        .WithDefault(false)
        .Stored(&Base::AreFramePropertiesStored);
    m.Publish("FramingPreference", &Base::GetFramingPreference, &Base::SetFramingPreference)
        .WithNames({"fpCustomFraming", "fpXPThemes"})
        .WithDefault(fpXPThemes);
    m.Publish("FrameController", &Base::GetFrameController, &Base::SetFrameController);
    m.Publish("SelectionPen", &Base::GetSelectionPen, &Base::SetSelectionPen);
    m.Publish("AutoExpand", &Base::GetAutoExpand, &Base::SetAutoExpand).WithDefault(0);
    m.Publish("AutoSelect", &Base::GetAutoSelect, &Base::SetAutoSelect).WithDefault(0);
    m.Publish("OnMouseEnter", &Base::GetOnMouseEnter, &Base::SetOnMouseEnter);
    m.Publish("OnMouseLeave", &Base::GetOnMouseLeave, &Base::SetOnMouseLeave);
    if (!checkTree) {
        m.Publish("Images", &TCustomTreeView::GetImages, &TCustomTreeView::SetImages);
        m.Publish("OnNodeContextMenu", &Base::GetOnNodeContextMenu, &Base::SetOnNodeContextMenu);
    }
}

}  // namespace

VCL_IMPLEMENT_CLASS(TQvCustomTreeView, TCustomTreeView)
VCL_IMPLEMENT_CLASS(TQvTreeView, TQvCustomTreeView, { PublishTreeView(m, false); })
VCL_IMPLEMENT_CLASS(TQvCheckTree, TQvCustomTreeView, {
    PublishTreeView(m, true);
    m.Publish("CascadeChecks", &TQvCheckTree::GetCascadeChecks, &TQvCheckTree::SetCascadeChecks).WithDefault(1);
    m.Publish("HighlightColor", &TQvCheckTree::GetHighlightColor, &TQvCheckTree::SetHighlightColor)
        .WithIdents(ColorIdents())
        .WithDefault(clHighlight);
    m.Publish("Images", &TQvCheckTree::GetImages, &TQvCheckTree::SetImages);
    m.Publish("OnStateChanging", &TQvCheckTree::GetOnStateChanging, &TQvCheckTree::SetOnStateChanging);
    m.Publish("OnStateChange", &TQvCheckTree::GetOnStateChange, &TQvCheckTree::SetOnStateChange);
    m.Publish("OnUpdateChildren", &TQvCheckTree::GetOnUpdateChildren, &TQvCheckTree::SetOnUpdateChildren);
})

// ---------------------------------------------------------------------------------------------------------
// TQvCustomTreeView

TQvCustomTreeView::TQvCustomTreeView(TComponent* AOwner) : TCustomTreeView(AOwner)
{
    FTabStop = true;
    FParentColor = false;
    FCanvas = new TControlCanvas;
    FCanvas->SetControl(this);
    FSelectionPen = new TPen;
    FSelectionPen->SetColor(clBtnShadow);
    FSelectionPen->SetStyle(TPenStyle::psSolid);
    FSelectionPen->OnChange = MakeEvent<TObject*>(this, [this](TObject*) { Invalidate(); });
}

TQvCustomTreeView::~TQvCustomTreeView()
{
    SetFrameController(nullptr);
    delete FCanvas;
    delete FSelectionPen;
}

TTreeNode* TQvCustomTreeView::GetSelected() const
{
    if (!HandleAllocated()) return nullptr;
    return TCustomTreeView::GetSelected();
}

// ---- colours

void TQvCustomTreeView::UpdateColors()
{
    if (IsLoading(this)) return;
    TScopedValue<bool> updating(FUpdatingColor, true);
    if (!GetEnabled())
        SetColor(FDisabledColor);
    else if (Focused())
        SetColor(FFocusColor);
    else
        SetColor(FNormalColor);
}

void TQvCustomTreeView::SetColor(TColor Value)
{
    if (Value == GetColor()) return;
    TCustomTreeView::SetColor(Value);
    if (!FUpdatingColor) {
        if (FFocusColor == FNormalColor) FFocusColor = Value;
        FNormalColor = Value;
    }
    if (FFrameVisible && !UseThemes()) RepaintFrame();
}

void TQvCustomTreeView::SetDisabledColor(TColor Value)
{
    FDisabledColor = Value;
    if (!GetEnabled()) UpdateColors();
}

void TQvCustomTreeView::SetFocusColor(TColor Value)
{
    FFocusColor = Value;
    if (Focused()) UpdateColors();
}

bool TQvCustomTreeView::IsColorStored() const { return !FFrameController && GetEnabled(); }
bool TQvCustomTreeView::IsFocusColorStored() const { return !FFrameController && FFocusColor != GetColor(); }
bool TQvCustomTreeView::AreFramePropertiesStored() const { return !FFrameController; }

void TQvCustomTreeView::CMSysColorChange(TMessage& Message)
{
    TCustomTreeView::Dispatch(Message);
    if (GetColor() < 0) Perform(CM_COLORCHANGED, Message.WParam, Message.LParam);
}

void TQvCustomTreeView::CMEnabledChanged(TMessage& Message)
{
    TCustomTreeView::Dispatch(Message);
    UpdateColors();
}

void TQvCustomTreeView::Loaded()
{
    TCustomTreeView::Loaded();
    UpdateColors();
    UpdateFrame(false, false);
}

// ---- focus and mouse

void TQvCustomTreeView::UpdateFrame(bool ViaMouse, bool Inside)
{
    if (ViaMouse) FMouseOver = Inside;
    if (FFrameHotTrack) RepaintFrame();
    UpdateColors();
}

void TQvCustomTreeView::CMEnter(TMessage& Message)
{
    UpdateFrame(false, true);
    TCustomTreeView::Dispatch(Message);
}

void TQvCustomTreeView::CMExit(TMessage& Message)
{
    TCustomTreeView::Dispatch(Message);
    UpdateFrame(false, false);
}

void TQvCustomTreeView::CMMouseEnter(TMessage& Message)
{
    TCustomTreeView::Dispatch(Message);
    UpdateFrame(true, true);
    MouseEnter();
}

void TQvCustomTreeView::CMMouseLeave(TMessage& Message)
{
    TCustomTreeView::Dispatch(Message);
    UpdateFrame(true, false);
    MouseLeave();
}

void TQvCustomTreeView::MouseEnter() { OnMouseEnter(this); }
void TQvCustomTreeView::MouseLeave() { OnMouseLeave(this); }

// ---- frame

bool TQvCustomTreeView::UseThemes() const
{
    return FFramingPreference == fpXPThemes && ThemeServices()->ThemesEnabled();
}

void TQvCustomTreeView::RepaintFrame()
{
    if (HandleAllocated())
        RedrawWindow(WindowHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

void TQvCustomTreeView::WMNCPaint(TMessage& Message)
{
    TCustomTreeView::Dispatch(Message);
    if (!FFrameVisible || UseThemes()) return;
    {
        TLentDC lent(FCanvas, WindowHandle, GetWindowDC(WindowHandle), true);
        if (FFrameHotTrack && (Focused() || FMouseOver))
            DrawFrame(FCanvas, GetWidth(), GetHeight(), FFrameHotStyle, GetColor(), FFrameHotColor, FFrameSides,
                      false);
        else
            DrawFrame(FCanvas, GetWidth(), GetHeight(), FFrameStyle, GetColor(), FFrameColor, FFrameSides, false);
    }
    Message.Result = 0;
}

void TQvCustomTreeView::WMSize(TMessage& Message)
{
    TCustomTreeView::Dispatch(Message);
    if (FFrameVisible && !UseThemes()) RepaintFrame();
}

template <class T>
void TQvCustomTreeView::ChangeFrame(T& Field, T Value)
{
    if (Field == Value) return;
    Field = Value;
    RepaintFrame();
}

void TQvCustomTreeView::SetFrameColor(TColor Value) { ChangeFrame(FFrameColor, Value); }
void TQvCustomTreeView::SetFrameHotColor(TColor Value) { ChangeFrame(FFrameHotColor, Value); }
void TQvCustomTreeView::SetFrameHotStyle(TFrameStyle Value) { ChangeFrame(FFrameHotStyle, Value); }
void TQvCustomTreeView::SetFrameSides(TSides Value) { ChangeFrame(FFrameSides, Value); }
void TQvCustomTreeView::SetFrameStyle(TFrameStyle Value) { ChangeFrame(FFrameStyle, Value); }

void TQvCustomTreeView::SetFrameHotTrack(bool Value)
{
    if (Value == FFrameHotTrack) return;
    FFrameHotTrack = Value;
    if (Value) {
        FFrameVisible = true;
        if (!IsLoading(this)) FFrameSides = AllSides;
    }
    RepaintFrame();
    Invalidate();
}

void TQvCustomTreeView::SetFrameVisible(bool Value)
{
    if (Value == FFrameVisible) return;
    FFrameVisible = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TQvCustomTreeView::SetFramingPreference(TFramingPreference Value)
{
    if (Value == FFramingPreference) return;
    FFramingPreference = Value;
    if (Value == fpCustomFraming) RepaintFrame();
}

void TQvCustomTreeView::SetFrameController(TQvFrameController* Value)
{
    if (Value == FFrameController) return;
    if (FFrameController) {
        FFrameController->RemoveControl(this);
        FFrameController->RemoveFreeNotification(this);
    }
    FFrameController = Value;
    if (Value) {
        Value->AddControl(this);
        Value->FreeNotification(this);
    }
}

void TQvCustomTreeView::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomTreeView::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFrameController) FFrameController = nullptr;
}

void TQvCustomTreeView::DefineProperties(TFiler* Filer)
{
    TCustomTreeView::DefineProperties(Filer);
    DefineOldFrameProperties(Filer, {[this](bool on) { SetFrameHotTrack(on); },
                                     [this](TFrameStyle style) { SetFrameStyle(style); },
                                     [this](TFrameStyle style) { SetFrameHotStyle(style); }});
}

// ---- selection outline

void TQvCustomTreeView::SetSelectionPen(TPen* Value)
{
    FSelectionPen->Assign(Value);
    Invalidate();
}

void TQvCustomTreeView::WMPaint(TMessage& Message)
{
    const HDC given = HDC(Message.WParam);
    TCustomTreeView::Dispatch(Message);
    if (!GetHideSelection() && !Focused() && HandleAllocated()) DrawSelectionOutline(given);
}

// Shows where the selection is while the tree does not have the focus.
void TQvCustomTreeView::DrawSelectionOutline(HDC DC)
{
    TTreeNode* selected = GetSelected();
    if (!selected) return;
    const RECT label = selected->DisplayRect(true);
    TLentDC lent(FCanvas, WindowHandle, DC ? DC : GetDC(WindowHandle), !DC);
    FCanvas->GetPen()->Assign(FSelectionPen);
    FCanvas->GetBrush()->SetStyle(TBrushStyle::bsClear);
    FCanvas->Rectangle(label.left, label.top, label.right, label.bottom);
    FCanvas->GetPen()->SetWidth(1);
    FCanvas->GetPen()->SetStyle(TPenStyle::psSolid);
}

// ---- wheel

void TQvCustomTreeView::DoMouseWheelDown(TShiftState, POINT, bool& Handled)
{
    WheelScroll(Mouse ? Mouse->GetWheelScrollLines() : 3);
    Handled = true;
}

void TQvCustomTreeView::DoMouseWheelUp(TShiftState, POINT, bool& Handled)
{
    WheelScroll(-(Mouse ? Mouse->GetWheelScrollLines() : 3));
    Handled = true;
}

void TQvCustomTreeView::WheelScroll(int Lines)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    if (!HandleAllocated() || !GetScrollInfo(WindowHandle, SB_VERT, &info)) return;
    // A position above the top scrolls to the top, so that the wheel can always reach the first line.
    info.nPos = Max(info.nPos + Lines, 0);
    Perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, LOWORD(info.nPos)), 0);
    SetScrollInfo(WindowHandle, SB_VERT, &info, TRUE);
}

// ---- expanding and selecting

void TQvCustomTreeView::SetAutoExpand(bool Value)
{
    TCustomTreeView::SetAutoExpand(Value);
    if (Value) FAutoSelect = false;
}

void TQvCustomTreeView::SetAutoSelect(bool Value)
{
    FAutoSelect = Value;
    if (Value) TCustomTreeView::SetAutoExpand(false);
}

void TQvCustomTreeView::Expand(TTreeNode* Node)
{
    TCustomTreeView::Expand(Node);
    if (FAutoSelect) SetSelected(Node);
}

void TQvCustomTreeView::Collapse(TTreeNode* Node)
{
    if (FAutoSelect) SetSelected(Node);
    TCustomTreeView::Collapse(Node);
}

void TQvCustomTreeView::FullExpand()
{
    TScopedValue<bool> noAutoSelect(FAutoSelect, false);
    TCustomTreeView::FullExpand();
}

void TQvCustomTreeView::FullCollapse()
{
    TScopedValue<bool> noAutoSelect(FAutoSelect, false);
    TCustomTreeView::FullCollapse();
}

// ---- context menus

void TQvCustomTreeView::PopupAt(TPopupMenu* Menu, POINT ClientPos)
{
    const POINT screen = ClientToScreen(ClientPos);
    Menu->PopupComponent = this;
    Menu->Popup(screen.x, screen.y);
}

void TQvCustomTreeView::NodeContextMenu(TTreeNode* Node, POINT& Pos, TPopupMenu*& Menu)
{
    OnNodeContextMenu(this, Node, Pos, Menu);
}

void TQvCustomTreeView::DoNodeContextMenu(TTreeNode* Node, POINT Pos)
{
    TPopupMenu* menu = GetPopupMenu();
    NodeContextMenu(Node, Pos, menu);
    if (menu != GetPopupMenu()) FMenuShown = true;
    if (menu) PopupAt(menu, Pos);
}

void TQvCustomTreeView::DoPreNodeContextMenu()
{
    if (TTreeNode* node = GetSelected())
        DoNodeContextMenu(node, Centre(node->DisplayRect(true)));
    else if (TPopupMenu* menu = GetPopupMenu())
        PopupAt(menu, POINT{0, 0});
}

// The menu of the node under the mouse, or of the selected node when the click was beside the nodes.
void TQvCustomTreeView::NodeRightClicked()
{
    // A new right click: whatever an earlier one showed no longer holds back the standard menu.
    FMenuShown = false;
    POINT cursor;
    GetCursorPos(&cursor);
    POINT pos = ScreenToClient(cursor);
    TTreeNode* node = GetNodeAt(pos.x, pos.y);
    if (!node) node = GetSelected();
    if (!node) return;
    {
        struct Reset {
            TTreeNode*& node;
            ~Reset() { node = nullptr; }
        } reset{FRightClickNode};
        FRightClickNode = node;
        TPopupMenu* menu = GetPopupMenu();
        NodeContextMenu(node, pos, menu);
        if (menu) PopupAt(menu, pos);
    }
    FMenuShown = true;
}

void TQvCustomTreeView::CNNotify(TMessage& Message)
{
    const auto* header = reinterpret_cast<const NMHDR*>(Message.LParam);
    if (header->code == UINT(NM_RCLICK) && !IsDesigning(this)) NodeRightClicked();
    TCustomTreeView::Dispatch(Message);
}

void TQvCustomTreeView::WMRButtonUp(TMessage& Message)
{
    TPopupMenu* menu = GetPopupMenu();
    if (FMenuShown && menu) {
        // The node menu was shown: the standard one must not follow it.
        const bool autoPopup = menu->GetAutoPopup();
        menu->SetAutoPopup(false);
        struct Restore {
            TPopupMenu* menu;
            bool autoPopup;
            ~Restore() { menu->SetAutoPopup(autoPopup); }
        } restore{menu, autoPopup};
        TCustomTreeView::Dispatch(Message);
    } else {
        TCustomTreeView::Dispatch(Message);
    }
    FMenuShown = false;
}

void TQvCustomTreeView::WMContextMenu(TMessage& Message)
{
    Message.Result = 1;
    if (IsDesigning(this) || GetSelected() || FMenuShown) return;
    const POINT screen{short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam))};
    if (screen.x == -1 && screen.y == -1) {  // from the keyboard
        DoPreNodeContextMenu();
        return;
    }
    DoNodeContextMenu(nullptr, ScreenToClient(screen));
}

void TQvCustomTreeView::KeyDown(WORD& Key, TShiftState Shift)
{
    if ((Key == VK_APPS && Shift.Empty()) || (Key == VK_F10 && Shift == TShiftState{ssShift})) {
        Key = 0;
        DoPreNodeContextMenu();
    }
    TCustomTreeView::KeyDown(Key, Shift);
}

// ---- paths

AnsiString TQvCustomTreeView::PathFromNode(TTreeNode* Node) const
{
    AnsiString path;
    for (TTreeNode* n = Node; n; n = n->GetParent()) path = n->GetText() + "\\" + path;
    return path;
}

TTreeNode* TQvCustomTreeView::NodeFromPath(const AnsiString& Path) const
{
    // An empty path names no node (there is no last character to look at).
    if (Path.empty()) return nullptr;
    THourGlass busy;
    AnsiString path = Path;
    if (LastChar(path) != '\\') path += '\\';
    path = AnsiUpperCase(path);
    TTreeNode* found = nullptr;
    const int parts = CountChar('\\', path);
    for (int i = 1; i <= parts; ++i) {
        const AnsiString prefix = CopyEx(path, 1, '\\', i);
        TTreeNode* candidate = found ? found->getFirstChild() : GetItems()->GetFirstNode();
        while (candidate && AnsiUpperCase(PathFromNode(candidate)) != prefix) candidate = candidate->getNextSibling();
        if (!candidate) return nullptr;
        found = candidate;
    }
    return found;
}

void TQvCustomTreeView::SelectByPath(const AnsiString& Path)
{
    if (TTreeNode* node = NodeFromPath(Path)) SetSelected(node);
}

void TQvCustomTreeView::InvalidateNode(TTreeNode* Node, bool TextOnly, bool Erase)
{
    if (!Node || !HandleAllocated()) return;
    const RECT r = Node->DisplayRect(TextOnly);
    InvalidateRect(WindowHandle, &r, Erase);
}

void TQvCustomTreeView::UpdateStateIndexDisplay(TTreeNode* Node)
{
    if (!Node) return;
    Node->SetStateIndex(Node->GetStateIndex());
    for (TTreeNode* child = Node->getFirstChild(); child; child = child->getNextSibling())
        UpdateStateIndexDisplay(child);
}

// ---- window

void TQvCustomTreeView::CreateParams(TCreateParams& Params)
{
    TCustomTreeView::CreateParams(Params);
    // Tool tips of common controls before 4.72 misbehave on NT.
    if (IsWinNT() && ComCtlVersion().dwFileVersionMS < 0x40048) Params.Style |= TVS_NOTOOLTIPS;
}

VCL_BEGIN_MESSAGE_MAP(TQvCustomTreeView)
    VCL_MESSAGE(CM_SYSCOLORCHANGE, CMSysColorChange)
    VCL_MESSAGE(CN_NOTIFY, CNNotify)
    VCL_MESSAGE(WM_RBUTTONUP, WMRButtonUp)
    VCL_MESSAGE(WM_CONTEXTMENU, WMContextMenu)
    VCL_MESSAGE(CM_ENABLEDCHANGED, CMEnabledChanged)
    VCL_MESSAGE(WM_PAINT, WMPaint)
    VCL_MESSAGE(WM_NCPAINT, WMNCPaint)
    VCL_MESSAGE(CM_ENTER, CMEnter)
    VCL_MESSAGE(CM_EXIT, CMExit)
    VCL_MESSAGE(CM_MOUSEENTER, CMMouseEnter)
    VCL_MESSAGE(CM_MOUSELEAVE, CMMouseLeave)
    VCL_MESSAGE(WM_SIZE, WMSize)
VCL_END_MESSAGE_MAP(TCustomTreeView)
