// Progress bar, status bar and tool bar.
#include "ComCtrls.h"

#include <algorithm>

#include "Forms.h"

namespace vcl {

namespace {
bool IsLoading(const TComponent* c) { return c->GetComponentState().Contains(csLoading); }
}  // namespace

VCL_IMPLEMENT_CLASS(TProgressBar, TWinControl, {
    m.Publish("Min", &TProgressBar::GetMin, &TProgressBar::SetMin).WithDefault(0);
    m.Publish("Max", &TProgressBar::GetMax, &TProgressBar::SetMax).WithDefault(100);
    m.Publish("Position", &TProgressBar::GetPosition, &TProgressBar::SetPosition).WithDefault(0);
    m.Publish("Smooth", &TProgressBar::GetSmooth, &TProgressBar::SetSmooth).WithDefault(0);
    m.Publish("Step", &TProgressBar::GetStep, &TProgressBar::SetStep).WithDefault(10);
})
VCL_IMPLEMENT_CLASS(TStatusPanel, TCollectionItem, {
    m.Publish("Text", &TStatusPanel::GetText, &TStatusPanel::SetText);
    m.Publish("Width", &TStatusPanel::GetWidth, &TStatusPanel::SetWidth);
    m.Publish("Alignment", &TStatusPanel::GetAlignment, &TStatusPanel::SetAlignment)
        .WithNames({"taLeftJustify", "taRightJustify", "taCenter"})
        .WithDefault(0);
    m.Publish("Style", &TStatusPanel::GetStyle, &TStatusPanel::SetStyle)
        .WithNames({"psText", "psOwnerDraw"})
        .WithDefault(0);
})
VCL_IMPLEMENT_CLASS(TStatusPanels, TCollection)
VCL_IMPLEMENT_CLASS(TCustomStatusBar, TWinControl)
VCL_IMPLEMENT_CLASS(TStatusBar, TCustomStatusBar, { PublishStatusBarProperties(m); })
VCL_IMPLEMENT_CLASS(TToolButtonActionLink, TControlActionLink)
VCL_IMPLEMENT_CLASS(TToolButton, TGraphicControl, {
    m.Publish("Caption", &TToolButton::GetTextProp, &TToolButton::SetText);
    m.Publish("ImageIndex", &TToolButton::GetImageIndex, &TToolButton::SetImageIndex).WithDefault(-1);
    m.Publish("Style", &TToolButton::GetStyle, &TToolButton::SetStyle)
        .WithNames({"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"})
        .WithDefault(0);
    m.Publish("Down", &TToolButton::GetDown, &TToolButton::SetDown).WithDefault(0);
    m.Publish("Grouped", &TToolButton::GetGrouped, &TToolButton::SetGrouped).WithDefault(0);
})
VCL_IMPLEMENT_CLASS(TToolBar, TWinControl, {
    m.Publish("Images", &TToolBar::GetImages, &TToolBar::SetImages);
    m.Publish("ShowCaptions", &TToolBar::GetShowCaptions, &TToolBar::SetShowCaptions).WithDefault(0);
    m.Publish("Flat", &TToolBar::GetFlat, &TToolBar::SetFlat).WithDefault(0);
    m.Publish("ButtonWidth", &TToolBar::GetButtonWidth, &TToolBar::SetButtonWidth).WithDefault(23);
    m.Publish("ButtonHeight", &TToolBar::GetButtonHeight, &TToolBar::SetButtonHeight).WithDefault(22);
})

void PublishStatusBarProperties(TMetaClass& m)
{
    m.PublishReadOnly("Panels", &TCustomStatusBar::GetPanels);
    m.Publish("SimpleText", &TCustomStatusBar::GetSimpleText, &TCustomStatusBar::SetSimpleText);
    m.Publish("SimplePanel", &TCustomStatusBar::GetSimplePanel, &TCustomStatusBar::SetSimplePanel).WithDefault(0);
    m.Publish("SizeGrip", &TCustomStatusBar::GetSizeGrip, &TCustomStatusBar::SetSizeGrip).WithDefault(1);
    m.Publish("AutoHint", &TCustomStatusBar::GetAutoHint, &TCustomStatusBar::SetAutoHint).WithDefault(0);
}

// =============================================================================================
// TProgressBar

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner)
{
    FWidth = 150;
    FHeight = 16;
}

void TProgressBar::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, PROGRESS_CLASSA);
    if (FSmooth)
        Params.Style |= PBS_SMOOTH;
}

void TProgressBar::CreateWnd()
{
    TWinControl::CreateWnd();
    Perform(PBM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
    Perform(PBM_SETSTEP, WPARAM(FStep), 0);
    Perform(PBM_SETPOS, WPARAM(FPosition), 0);
}

void TProgressBar::SetMin(int Value)
{
    FMin = Value;
    if (FMax < FMin)
        FMax = FMin;
    FPosition = std::clamp(FPosition, FMin, FMax);
    if (HandleAllocated()) {
        Perform(PBM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
        Perform(PBM_SETPOS, WPARAM(FPosition), 0);
    }
}

void TProgressBar::SetMax(int Value)
{
    FMax = Value;
    if (FMin > FMax)
        FMin = FMax;
    FPosition = std::clamp(FPosition, FMin, FMax);
    if (HandleAllocated()) {
        Perform(PBM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
        Perform(PBM_SETPOS, WPARAM(FPosition), 0);
    }
}

int TProgressBar::GetPosition() const
{
    return HandleAllocated() ? int(SendMessageA(WindowHandle, PBM_GETPOS, 0, 0)) : FPosition;
}

void TProgressBar::SetPosition(int Value)
{
    FPosition = std::clamp(Value, FMin, FMax);
    if (HandleAllocated())
        Perform(PBM_SETPOS, WPARAM(FPosition), 0);
}

void TProgressBar::SetSmooth(bool Value)
{
    if (FSmooth != Value) {
        FSmooth = Value;
        RecreateWnd();
    }
}

void TProgressBar::SetStep(int Value)
{
    FStep = Value;
    if (HandleAllocated())
        Perform(PBM_SETSTEP, WPARAM(Value), 0);
}

void TProgressBar::StepIt()
{
    int next = GetPosition() + FStep;
    SetPosition(next > FMax ? FMin + (next - FMax) % std::max(1, FMax - FMin) : next);
}

// =============================================================================================
// Status bar

TStatusPanel::TStatusPanel(TCollection* ACollection) : TCollectionItem(ACollection) {}

void TStatusPanel::Assign(TPersistent* Source)
{
    if (auto* panel = dynamic_cast<TStatusPanel*>(Source)) {
        FText = panel->FText;
        FWidth = panel->FWidth;
        FAlignment = panel->FAlignment;
        FStyle = panel->FStyle;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(Source);
}

void TStatusPanel::SetText(const AnsiString& Value)
{
    if (FText != Value) {
        FText = Value;
        Changed(false);
    }
}

void TStatusPanel::SetWidth(int Value)
{
    if (FWidth != Value) {
        FWidth = Value;
        Changed(true);
    }
}

void TStatusPanel::SetAlignment(TAlignment Value)
{
    if (FAlignment != Value) {
        FAlignment = Value;
        Changed(false);
    }
}

void TStatusPanel::SetStyle(TStatusPanelStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        Changed(false);
    }
}

TStatusPanels::TStatusPanels(TCustomStatusBar* AOwner, TClass PanelClass) : TCollection(PanelClass), FStatusBar(AOwner)
{
}

TPersistent* TStatusPanels::GetOwner()
{
    return FStatusBar;
}

void TStatusPanels::Update(TCollectionItem* Item)
{
    if (!FStatusBar)
        return;
    if (Item)
        FStatusBar->UpdatePanel(Item->GetIndex());
    else
        FStatusBar->UpdatePanels();
}

TCustomStatusBar::TCustomStatusBar(TComponent* AOwner) : TWinControl(AOwner), FCanvas(new TControlCanvas)
{
    static_cast<TControlCanvas*>(FCanvas)->SetControl(this);
    FAlign = TAlign::alBottom;
    FWidth = 200;
    FHeight = 19;
    FColor = clBtnFace;
    FParentFont = false;
    FFont->SetName("Arial");
    FFont->SetSize(9);
}

TCustomStatusBar::~TCustomStatusBar()
{
    Destroying();
    DestroyHandle();
    delete FPanels;
    delete FCanvas;
}

TStatusPanels* TCustomStatusBar::GetPanels() const
{
    if (!FPanels)
        FPanels = const_cast<TCustomStatusBar*>(this)->CreatePanels();
    return FPanels;
}

TStatusPanels* TCustomStatusBar::CreatePanels()
{
    return new TStatusPanels(this, GetPanelClass());
}

TClass TCustomStatusBar::GetPanelClass() const
{
    return TStatusPanel::StaticClass();
}

void TCustomStatusBar::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, STATUSCLASSNAMEA);
    Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NOMOVEY | (FSizeGrip ? SBARS_SIZEGRIP : 0);
}

void TCustomStatusBar::CreateWnd()
{
    TWinControl::CreateWnd();
    UpdatePanels();
}

VCL_BEGIN_MESSAGE_MAP(TCustomStatusBar)
    VCL_MESSAGE(CN_DRAWITEM, CNDrawItem)
    VCL_MESSAGE(WM_SIZE, WMSize)
    VCL_MESSAGE(CM_FONTCHANGED, CMFontChanged)
VCL_END_MESSAGE_MAP(TWinControl)

// Panel widths are the panels' own; the last one takes what is left.
void TCustomStatusBar::UpdatePanels()
{
    if (!HandleAllocated() || IsLoading(this))
        return;
    if (FSimplePanel) {
        Perform(SB_SIMPLE, TRUE, 0);
        Perform(SB_SETTEXTA, 255, LPARAM(FSimpleText.c_str()));
        return;
    }
    Perform(SB_SIMPLE, FALSE, 0);
    int count = std::min(GetPanels()->GetCount(), 64);
    std::vector<int> edges(size_t(std::max(count, 1)));
    int x = 0;
    for (int i = 0; i < count; ++i) {
        x += GetPanels()->GetItem(i)->GetWidth();
        edges[size_t(i)] = i == count - 1 ? -1 : x;
    }
    if (count == 0)
        edges[0] = -1;
    Perform(SB_SETPARTS, WPARAM(std::max(count, 1)), LPARAM(edges.data()));
    for (int i = 0; i < count; ++i)
        UpdatePanel(i);
}

void TCustomStatusBar::UpdatePanel(int Index)
{
    if (!HandleAllocated() || FSimplePanel || Index < 0 || Index >= GetPanels()->GetCount())
        return;
    TStatusPanel* panel = GetPanels()->GetItem(Index);
    static const char* const prefixes[] = {"", "\t\t", "\t"};
    WPARAM type = WPARAM(Index) | (panel->GetStyle() == TStatusPanelStyle::psOwnerDraw ? SBT_OWNERDRAW : 0);
    if (panel->GetStyle() == TStatusPanelStyle::psOwnerDraw) {
        Perform(SB_SETTEXTA, type, LPARAM(panel));
        return;
    }
    AnsiString text = prefixes[int(panel->GetAlignment())] + panel->GetText();
    Perform(SB_SETTEXTA, type, LPARAM(text.c_str()));
}

void TCustomStatusBar::SetSimpleText(const AnsiString& Value)
{
    FSimpleText = Value;
    if (HandleAllocated() && FSimplePanel)
        Perform(SB_SETTEXTA, 255, LPARAM(Value.c_str()));
}

void TCustomStatusBar::SetSimplePanel(bool Value)
{
    FSimplePanel = Value;
    UpdatePanels();
}

void TCustomStatusBar::SetSizeGrip(bool Value)
{
    if (FSizeGrip != Value) {
        FSizeGrip = Value;
        RecreateWnd();
    }
}

bool TCustomStatusBar::ExecuteAction(TBasicAction* Action)
{
    auto* hint = dynamic_cast<THintAction*>(Action);
    if (!FAutoHint || !hint)
        return false;
    if (FSimplePanel || GetPanels()->GetCount() == 0)
        SetSimpleText(hint->GetHint());
    else
        GetPanels()->GetItem(0)->SetText(hint->GetHint());
    OnHint(this);
    return true;
}

void TCustomStatusBar::DrawPanel(TStatusPanel* Panel, const RECT& Rect)
{
    if (OnDrawPanel)
        OnDrawPanel(this, Panel, Rect);
    else
        FCanvas->FillRect(Rect);
}

void TCustomStatusBar::CNDrawItem(TMessage& Message)
{
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    TLentCanvas lent(FCanvas, draw->hDC);
    FCanvas->GetFont()->Assign(FFont);
    FCanvas->GetBrush()->SetColor(clBtnFace);
    if (int(draw->itemID) >= 0 && int(draw->itemID) < GetPanels()->GetCount())
        DrawPanel(GetPanels()->GetItem(int(draw->itemID)), draw->rcItem);
    Message.Result = 1;
}

void TCustomStatusBar::WMSize(TMessage& Message)
{
    TWinControl::Dispatch(Message);  // the native bar lays out its parts in its default handling
    UpdatePanels();
}

void TCustomStatusBar::CMFontChanged(TMessage& Message)
{
    TWinControl::Dispatch(Message);
    UpdatePanels();
}

// =============================================================================================
// Tool bar

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner)
{
    FWidth = 23;
    FHeight = 22;
    ControlStyle >> csClickEvents;
}

TToolButton::~TToolButton()
{
    if (TToolBar* bar = GetToolBar())
        bar->RemoveButton(this);
}

TToolBar* TToolButton::GetToolBar() const
{
    return dynamic_cast<TToolBar*>(FParent);
}

void TToolButton::SetParent(TWinControl* Value)
{
    if (TToolBar* bar = GetToolBar(); bar && Value != bar)
        bar->RemoveButton(this);
    TGraphicControl::SetParent(Value);
    if (TToolBar* bar = GetToolBar())
        bar->InsertButton(this);
}

int TToolButton::GetIndex() const
{
    TToolBar* bar = GetToolBar();
    if (!bar)
        return -1;
    auto it = std::find(bar->FButtons.begin(), bar->FButtons.end(), this);
    return it == bar->FButtons.end() ? -1 : int(it - bar->FButtons.begin());
}

void TToolButton::UpdateButton()
{
    if (TToolBar* bar = GetToolBar())
        bar->UpdateButton(this);
}

void TToolButton::SetStyle(TToolButtonStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        if (TToolBar* bar = GetToolBar())
            bar->RebuildButtons();
    }
}

void TToolButton::SetImageIndex(int Value)
{
    FImageIndex = Value;
    UpdateButton();
}

void TToolButton::SetDown(bool Value)
{
    FDown = Value;
    UpdateButton();
}

void TToolButton::SetEnabled(bool Value)
{
    TGraphicControl::SetEnabled(Value);
    UpdateButton();
}

void TToolButton::SetMenuItem(TMenuItem* Value)
{
    FMenuItem = Value;
    if (Value) {
        SetCaption(Value->GetCaption());
        Hint = Value->GetHint();
        SetEnabled(Value->GetEnabled());
    }
}

void TToolButton::Click()
{
    if (FMenuItem)
        FMenuItem->Click();
    else
        TGraphicControl::Click();
}

VCL_BEGIN_MESSAGE_MAP(TToolButton)
    VCL_MESSAGE(CM_VISIBLECHANGED, CMVisibleChanged)
    VCL_MESSAGE(CM_TEXTCHANGED, CMTextChanged)
    VCL_MESSAGE(CM_HINTSHOW, CMHintShow)
VCL_END_MESSAGE_MAP(TGraphicControl)

void TToolButton::CMVisibleChanged(TMessage&)
{
    UpdateButton();
}

void TToolButton::CMTextChanged(TMessage&)
{
    if (TToolBar* bar = GetToolBar())
        bar->RebuildButtons();
}

void TToolButton::CMHintShow(TMessage& Message)
{
    Message.Result = 0;
}

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlStyle << csAcceptsControls;
    FAlign = TAlign::alTop;
    FWidth = 150;
    FHeight = 29;
    FColor = clBtnFace;
}

TToolBar::~TToolBar()
{
    Destroying();
    DestroyHandle();
    FButtons.clear();  // the buttons go with the other children
}

void TToolBar::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, TOOLBARCLASSNAMEA);
    Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_TOOLTIPS | (FFlat ? TBSTYLE_FLAT : 0) |
                    (FShowCaptions ? 0 : TBSTYLE_LIST);
}

void TToolBar::CreateWnd()
{
    TWinControl::CreateWnd();
    Perform(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    Perform(TB_SETBITMAPSIZE, 0, MAKELPARAM(FImages ? FImages->GetWidth() : 16, FImages ? FImages->GetHeight() : 15));
    if (FImages)
        Perform(TB_SETIMAGELIST, 0, LPARAM(FImages->GetHandle()));
    RebuildButtons();
}

void TToolBar::Loaded()
{
    TWinControl::Loaded();
    std::stable_sort(FButtons.begin(), FButtons.end(),
                     [](TToolButton* a, TToolButton* b) { return a->GetLeft() < b->GetLeft(); });
    RebuildButtons();
}

VCL_BEGIN_MESSAGE_MAP(TToolBar)
    VCL_MESSAGE(CN_COMMAND, CNCommand)
    VCL_MESSAGE(CN_NOTIFY, CNNotify)
    VCL_MESSAGE(WM_GETTEXT, WMGetText)
    VCL_MESSAGE(WM_SETTEXT, WMSetText)
VCL_END_MESSAGE_MAP(TWinControl)

// The tool bar window keeps no text of its own: its caption lives in the buffer.
void TToolBar::WMGetText(TMessage& Message)
{
    TControl::DefaultHandler(Message);
}

void TToolBar::WMSetText(TMessage& Message)
{
    TControl::DefaultHandler(Message);
}

// Buttons line up by Left. One read from a form stream joins the bar before its Left is read: it goes to
// the end, and the bar orders the row once everything is read (Loaded).
void TToolBar::InsertButton(TToolButton* Button)
{
    if (std::find(FButtons.begin(), FButtons.end(), Button) != FButtons.end())
        return;
    auto at = IsLoading(Button) ? FButtons.end()
                                : std::find_if(FButtons.begin(), FButtons.end(),
                                               [&](TToolButton* b) { return b->GetLeft() > Button->GetLeft(); });
    int index = int(at - FButtons.begin());
    FButtons.insert(at, Button);
    InsertInWindow(Button, index);
}

void TToolBar::RemoveButton(TToolButton* Button)
{
    auto it = std::find(FButtons.begin(), FButtons.end(), Button);
    if (it == FButtons.end())
        return;
    int index = int(it - FButtons.begin());
    FButtons.erase(it);
    if (HandleAllocated())
        Perform(TB_DELETEBUTTON, WPARAM(index), 0);
}

void TToolBar::InsertInWindow(TToolButton* Button, int Index)
{
    if (!HandleAllocated())
        return;
    static const BYTE styles[] = {BTNS_BUTTON, BTNS_CHECK, BTNS_DROPDOWN, BTNS_SEP, BTNS_SEP};
    TBBUTTON tb{};
    tb.iBitmap = Button->FStyle >= TToolButtonStyle::tbsSeparator ? 8 : Button->FImageIndex;
    tb.idCommand = Index;
    tb.fsStyle = BYTE(styles[int(Button->FStyle)] | (Button->FGrouped ? BTNS_GROUP : 0));
    tb.fsState = BYTE((Button->GetEnabled() ? TBSTATE_ENABLED : 0) | (Button->FDown ? TBSTATE_CHECKED : 0) |
                      (Button->GetVisible() ? 0 : TBSTATE_HIDDEN));
    tb.dwData = DWORD_PTR(Button);
    AnsiString caption = Button->GetCaption();
    caption.push_back('\0');  // the string list of the bar is doubly terminated
    tb.iString = FShowCaptions && !caption.empty() ? INT_PTR(caption.c_str()) : -1;
    Perform(TB_INSERTBUTTONA, WPARAM(Index), LPARAM(&tb));
}

// Command ids are the buttons' positions, so every change of the row rebuilds it.
void TToolBar::RebuildButtons()
{
    if (!HandleAllocated())
        return;
    while (Perform(TB_BUTTONCOUNT) > 0)
        Perform(TB_DELETEBUTTON, 0, 0);
    for (size_t i = 0; i < FButtons.size(); ++i)
        InsertInWindow(FButtons[i], int(i));
    Perform(TB_AUTOSIZE);
}

void TToolBar::UpdateButton(TToolButton* Button)
{
    if (!HandleAllocated())
        return;
    int index = Button->GetIndex();
    if (index < 0)
        return;
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_STATE | TBIF_IMAGE;
    info.fsState = BYTE((Button->GetEnabled() ? TBSTATE_ENABLED : 0) | (Button->FDown ? TBSTATE_CHECKED : 0) |
                        (Button->GetVisible() ? 0 : TBSTATE_HIDDEN));
    info.iImage = Button->FImageIndex;
    Perform(TB_SETBUTTONINFOA, WPARAM(index), LPARAM(&info));
}

void TToolBar::SetImages(TCustomImageList* Value)
{
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    if (HandleAllocated())
        RecreateWnd();
}

void TToolBar::SetMenu(TMainMenu* Value)
{
    if (FMenu)
        FMenu->RemoveFreeNotification(this);
    FMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == FImages)
            FImages = nullptr;
        if (AComponent == FMenu)
            FMenu = nullptr;
    }
}

void TToolBar::SetShowCaptions(bool Value)
{
    FShowCaptions = Value;
    RecreateWnd();
}

void TToolBar::SetFlat(bool Value)
{
    FFlat = Value;
    RecreateWnd();
}

void TToolBar::SetButtonWidth(int Value)
{
    FButtonWidth = Value;
    if (HandleAllocated())
        Perform(TB_SETBUTTONSIZE, 0, MAKELPARAM(FButtonWidth, FButtonHeight));
}

void TToolBar::SetButtonHeight(int Value)
{
    FButtonHeight = Value;
    if (HandleAllocated())
        Perform(TB_SETBUTTONSIZE, 0, MAKELPARAM(FButtonWidth, FButtonHeight));
}

void TToolBar::CNCommand(TMessage& Message)
{
    int index = LOWORD(Message.WParam);
    if (index >= 0 && index < int(FButtons.size())) {
        TToolButton* button = FButtons[size_t(index)];
        if (button->FStyle == TToolButtonStyle::tbsCheck)
            button->FDown = Perform(TB_ISBUTTONCHECKED, WPARAM(index), 0) != 0;
        button->Click();
    }
}

void TToolBar::CNNotify(TMessage& Message)
{
    auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    if (header->code == UINT(TTN_GETDISPINFOA)) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        int index = int(header->idFrom);
        if (index >= 0 && index < int(FButtons.size())) {
            static thread_local AnsiString hint;
            hint = TApplication::GetShortHint(FButtons[size_t(index)]->Hint);
            info->lpszText = hint.data();
        }
    }
}

}  // namespace vcl
