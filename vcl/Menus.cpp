// Menus: item tree, native menu building, pop-up menus and shortcut texts.
#include "Menus.h"

#include <algorithm>
#include <set>

#include "Forms.h"

namespace vcl {

TPopupList* PopupList = nullptr;
const TResStringRec SmkcShift{&HInstance, reinterpret_cast<UINT_PTR>("Shift+")};
const TResStringRec SmkcCtrl{&HInstance, reinterpret_cast<UINT_PTR>("Ctrl+")};
const TResStringRec SmkcAlt{&HInstance, reinterpret_cast<UINT_PTR>("Alt+")};

VCL_IMPLEMENT_CLASS(TMenuActionLink, TActionLink)
VCL_IMPLEMENT_CLASS(TMenuItem, TComponent, {
    m.Publish("Caption", &TMenuItem::GetCaption, &TMenuItem::SetCaption);
    m.Publish("Checked", &TMenuItem::GetChecked, &TMenuItem::SetChecked).WithDefault(0);
    m.Publish("Default", &TMenuItem::GetDefault, &TMenuItem::SetDefault).WithDefault(0);
    m.Publish("Enabled", &TMenuItem::GetEnabled, &TMenuItem::SetEnabled).WithDefault(1);
    m.Publish("GroupIndex", &TMenuItem::GetGroupIndex, &TMenuItem::SetGroupIndex).WithDefault(0);
    m.Publish("HelpContext", &TMenuItem::GetHelpContext, &TMenuItem::SetHelpContext).WithDefault(0);
    m.Publish("Hint", &TMenuItem::GetHint, &TMenuItem::SetHint);
    m.Publish("ImageIndex", &TMenuItem::GetImageIndex, &TMenuItem::SetImageIndex).WithDefault(-1);
    m.Publish("RadioItem", &TMenuItem::GetRadioItem, &TMenuItem::SetRadioItem).WithDefault(0);
    m.Publish("ShortCut", &TMenuItem::GetShortCut, &TMenuItem::SetShortCut).WithDefault(0);
    m.Publish("Visible", &TMenuItem::GetVisible, &TMenuItem::SetVisible).WithDefault(1);
    m.Publish("Action", &TMenuItem::GetAction, &TMenuItem::SetAction);
    m.Publish("OnClick", &TMenuItem::GetOnClick, &TMenuItem::SetOnClick);
})
VCL_IMPLEMENT_CLASS(TMenu, TComponent, {
    m.Publish("Images", &TMenu::GetImages, &TMenu::SetImages);
})
VCL_IMPLEMENT_CLASS(TMainMenu, TMenu)
VCL_IMPLEMENT_CLASS(TPopupMenu, TMenu, {
    m.Publish("AutoPopup", &TPopupMenu::GetAutoPopup, &TPopupMenu::SetAutoPopup).WithDefault(1);
})
VCL_IMPLEMENT_CLASS(TPopupList, TList)

namespace {

// Menu command numbers in use; each item holds one for its lifetime.
std::set<UINT>& UsedCommands()
{
    static std::set<UINT> used;
    return used;
}

UINT AllocateCommand()
{
    auto& used = UsedCommands();
    UINT id = 1;
    for (UINT u : used) {
        if (u != id)
            break;
        ++id;
    }
    used.insert(id);
    return id;
}

struct KeyName {
    WORD key;
    const char* name;
};
const KeyName KeyNames[] = {{VK_BACK, "BkSp"},   {VK_TAB, "Tab"},     {VK_ESCAPE, "Esc"},   {VK_RETURN, "Enter"},
                            {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"},  {VK_NEXT, "PgDn"},    {VK_END, "End"},
                            {VK_HOME, "Home"},   {VK_LEFT, "Left"},   {VK_UP, "Up"},        {VK_RIGHT, "Right"},
                            {VK_DOWN, "Down"},   {VK_INSERT, "Ins"},  {VK_DELETE, "Del"}};

AnsiString KeyText(WORD key)
{
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return AnsiString(1, char(key));
    if (key >= VK_F1 && key <= VK_F24)
        return "F" + std::to_string(key - VK_F1 + 1);
    for (const KeyName& k : KeyNames)
        if (k.key == key)
            return k.name;
    UINT scan = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    char name[64] = {};
    if (scan && GetKeyNameTextA(LONG(scan << 16), name, sizeof name) > 0)
        return name;
    return {};
}

}  // namespace

TShortCut ShortCut(WORD Key, TShiftState Shift)
{
    if (Key & 0xFF00)
        return 0;
    TShortCut result = Key;
    if (Shift.Contains(ssShift))
        result |= scShift;
    if (Shift.Contains(ssCtrl))
        result |= scCtrl;
    if (Shift.Contains(ssAlt))
        result |= scAlt;
    return result;
}

void ShortCutToKey(TShortCut Value, WORD& Key, TShiftState& Shift)
{
    Key = Value & 0xFF;
    Shift = TShiftState();
    if (Value & scShift)
        Shift << ssShift;
    if (Value & scCtrl)
        Shift << ssCtrl;
    if (Value & scAlt)
        Shift << ssAlt;
}

AnsiString ShortCutToText(TShortCut Value)
{
    AnsiString name = KeyText(Value & 0xFF);
    if (name.empty())
        return {};
    AnsiString text;
    if (Value & scShift)
        text += LoadResString(&SmkcShift);
    if (Value & scCtrl)
        text += LoadResString(&SmkcCtrl);
    if (Value & scAlt)
        text += LoadResString(&SmkcAlt);
    return text + name;
}

TShortCut TextToShortCut(const AnsiString& Text)
{
    TShortCut shift = 0;
    AnsiString rest = Text;
    auto take = [&](const TResStringRec& prefixRec, TShortCut bit) {
        AnsiString prefix = LoadResString(&prefixRec);
        if (rest.size() > prefix.size() && CompareText(rest.substr(0, prefix.size()), prefix) == 0) {
            shift |= bit;
            rest = rest.substr(prefix.size());
            return true;
        }
        return false;
    };
    while (take(SmkcShift, scShift) || take(SmkcCtrl, scCtrl) || take(SmkcAlt, scAlt)) {
    }
    if (rest.empty())
        return 0;
    for (WORD key = 8; key < 255; ++key)
        if (CompareText(KeyText(key), rest) == 0)
            return TShortCut(key | shift);
    return 0;
}

AnsiString StripHotkey(const AnsiString& Text)
{
    AnsiString result;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] != '&')
            result += Text[i];
        else if (i + 1 < Text.size() && Text[i + 1] == '&')
            result += Text[++i];
    }
    return result;
}

bool AnsiSameCaption(const AnsiString& Text1, const AnsiString& Text2)
{
    return AnsiCompareText(StripHotkey(Text1), StripHotkey(Text2)) == 0;
}

TOwnerDrawState OwnerDrawStateOf(UINT ItemState)
{
    TOwnerDrawState s;
    if (ItemState & ODS_SELECTED)
        s << odSelected;
    if (ItemState & ODS_GRAYED)
        s << odGrayed;
    if (ItemState & ODS_DISABLED)
        s << odDisabled;
    if (ItemState & ODS_CHECKED)
        s << odChecked;
    if (ItemState & ODS_FOCUS)
        s << odFocused;
    if (ItemState & ODS_DEFAULT)
        s << odDefault;
    if (ItemState & ODS_HOTLIGHT)
        s << odHotLight;
    if (ItemState & ODS_INACTIVE)
        s << odInactive;
    if (ItemState & ODS_NOACCEL)
        s << odNoAccel;
    if (ItemState & ODS_NOFOCUSRECT)
        s << odNoFocusRect;
    return s;
}

// ---- TMenuActionLink -------------------------------------------------------------------------

bool TMenuActionLink::IsCaptionLinked() const
{
    auto* action = dynamic_cast<TCustomAction*>(FAction);
    return TActionLink::IsCaptionLinked() && action && FClient &&
           AnsiSameCaption(FClient->GetCaption(), action->GetCaption());
}
bool TMenuActionLink::IsCheckedLinked() const
{
    return Shows(TActionLink::IsCheckedLinked(), &TCustomAction::GetChecked, &TMenuItem::GetChecked);
}
bool TMenuActionLink::IsShortCutLinked() const
{
    return Shows(TActionLink::IsShortCutLinked(), &TCustomAction::GetShortCut, &TMenuItem::GetShortCut);
}
void TMenuActionLink::SetChecked(bool Value)
{
    if (IsCheckedLinked())
        FClient->SetChecked(Value);
}
void TMenuActionLink::SetShortCut(TShortCut Value)
{
    if (IsShortCutLinked())
        FClient->SetShortCut(Value);
}
void TMenuActionLink::SetImageIndex(int Value)
{
    if (Shows(true, &TCustomAction::GetImageIndex, &TMenuItem::GetImageIndex))
        FClient->SetImageIndex(Value);
}

// ---- TMenuItem -------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(AllocateCommand()) {}

TMenuItem::~TMenuItem()
{
    Destroying();
    SetAction(nullptr);
    if (FMergedWith)
        FMergedWith->MergeWith(nullptr);
    if (FMerged)
        FMerged->FMergedWith = nullptr;
    if (FParent)
        FParent->Remove(this);
    while (!FItems.empty())
        delete FItems.back();
    if (FHandle) {
        ClearEntries();  // merged sub-menus belong to their own items
        DestroyMenu(FHandle);
    }
    delete FBitmap;
    UsedCommands().erase(FCommand);
}

void TMenuItem::SetCaption(const AnsiString& Value)
{
    if (FCaption != Value) {
        FCaption = Value;
        MenuChanged(true);
    }
}

void TMenuItem::SetChecked(bool Value)
{
    if (FChecked == Value)
        return;
    FChecked = Value;
    if (Value && FRadioItem && FParent)
        for (TMenuItem* sibling : FParent->FItems)
            if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex)
                sibling->SetChecked(false);
    MenuChanged(true);
}

void TMenuItem::SetEnabled(bool Value)
{
    if (FEnabled != Value) {
        FEnabled = Value;
        MenuChanged(true);
    }
}

void TMenuItem::SetVisible(bool Value)
{
    if (FVisible != Value) {
        FVisible = Value;
        MenuChanged(true);
    }
}

void TMenuItem::SetDefault(bool Value)
{
    if (FDefault != Value) {
        FDefault = Value;
        MenuChanged(true);
    }
}

void TMenuItem::SetRadioItem(bool Value)
{
    if (FRadioItem != Value) {
        FRadioItem = Value;
        MenuChanged(true);
    }
}

void TMenuItem::SetShortCut(TShortCut Value)
{
    if (FShortCut != Value) {
        FShortCut = Value;
        MenuChanged(true);
    }
}

void TMenuItem::SetImageIndex(int Value)
{
    if (FImageIndex != Value) {
        FImageIndex = Value;
        MenuChanged(true);
    }
}

TBitmap* TMenuItem::GetBitmap()
{
    if (!FBitmap)
        FBitmap = new TBitmap;
    return FBitmap;
}

TBasicAction* TMenuItem::GetAction() const
{
    return FAction;
}

void TMenuItem::SetAction(TBasicAction* Value)
{
    if (ReplaceActionLink(this, FAction, ActionLink, Value, GetActionLinkClass()))
        ActionChange(Value, GetComponentState().Contains(csLoading));
}

TClass TMenuItem::GetActionLinkClass() const
{
    return TMenuActionLink::StaticClass();
}

void TMenuItem::ActionChange(TObject* Sender, bool CheckDefaults)
{
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action)
        return;
    if (!CheckDefaults || FCaption.empty())
        SetCaption(action->GetCaption());
    if (!CheckDefaults || !FChecked)
        SetChecked(action->GetChecked());
    if (!CheckDefaults || FEnabled)
        SetEnabled(action->GetEnabled());
    if (!CheckDefaults || FHint.empty())
        SetHint(action->GetHint());
    if (!CheckDefaults || FShortCut == 0)
        SetShortCut(action->GetShortCut());
    if (!CheckDefaults || FVisible)
        SetVisible(action->GetVisible());
    if (!CheckDefaults || !OnClick)
        OnClick = action->GetOnExecute();
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove)
        ActionRemoved(AComponent, FAction, ActionLink);
}

HMENU TMenuItem::GetHandle()
{
    if (!FHandle) {
        FHandle = FMenu ? FMenu->CreateMenuHandle() : CreatePopupMenu();
        AppendEntries();
    }
    return FHandle;
}

std::vector<TMenuItem*> TMenuItem::GetEntryItems() const
{
    if (!FMerged)
        return FItems;
    auto mergedGroup = [&](int group) {
        for (TMenuItem* m : FMerged->FItems)
            if (m->FGroupIndex == group)
                return true;
        return false;
    };
    std::vector<TMenuItem*> entries;
    for (TMenuItem* item : FItems)
        if (!mergedGroup(item->FGroupIndex))
            entries.push_back(item);
    for (TMenuItem* m : FMerged->FItems) {
        auto later = std::find_if(entries.begin(), entries.end(),
                                  [&](TMenuItem* e) { return e->FGroupIndex > m->FGroupIndex; });
        entries.insert(later, m);
    }
    return entries;
}

void TMenuItem::AppendEntries()
{
    TMenu* menu = GetParentMenu();
    bool ownerDraw = menu && menu->IsOwnerDraw();
    for (TMenuItem* item : GetEntryItems())
        item->AppendTo(FHandle, ownerDraw);
}

void TMenuItem::MergeWith(TMenuItem* Menu)
{
    if (FMerged == Menu)
        return;
    if (FMerged)
        FMerged->FMergedWith = nullptr;
    if (Menu && Menu->FMergedWith)
        Menu->FMergedWith->MergeWith(nullptr);
    FMerged = Menu;
    if (Menu)
        Menu->FMergedWith = this;
    RebuildHandle();
    if (TMenu* menu = GetParentMenu(); menu && !GetComponentState().Contains(csDestroying))
        menu->DoChange(this, true);
}

// Builds the native entry of this item in its parent's menu (ANSI).
void TMenuItem::AppendTo(HMENU Menu, bool OwnerDraw)
{
    if (!FVisible)
        return;
    AnsiString text = FCaption;
    if (FShortCut && (!FParent || FParent->FParent || !FParent->FMenu || dynamic_cast<TPopupMenu*>(FParent->FMenu)))
        text += "\t" + ShortCutToText(FShortCut);
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_DATA;
    info.wID = FCommand;
    info.dwItemData = ULONG_PTR(this);
    if (IsLine()) {
        info.fType = MFT_SEPARATOR;
    } else {
        info.fMask |= MIIM_STRING;
        info.dwTypeData = text.data();
        info.cch = UINT(text.size());
        info.fType = (OwnerDraw ? MFT_OWNERDRAW : 0) | (FRadioItem ? MFT_RADIOCHECK : 0);
        info.fState = (FEnabled ? MFS_ENABLED : MFS_DISABLED) | (FChecked ? MFS_CHECKED : 0) |
                      (FDefault ? MFS_DEFAULT : 0);
    }
    if (!FItems.empty()) {
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = GetHandle();
    }
    InsertMenuItemA(Menu, UINT(GetMenuItemCount(Menu)), TRUE, &info);
}

void TMenuItem::RebuildHandle()
{
    if (FMergedWith)
        FMergedWith->RebuildHandle();  // this item's entries are shown there
    if (!FHandle)
        return;
    ClearEntries();
    AppendEntries();
}

void TMenuItem::ClearEntries()
{
    while (GetMenuItemCount(FHandle) > 0)
        RemoveMenu(FHandle, 0, MF_BYPOSITION);  // sub-menus stay owned by their items
}

void TMenuItem::MenuChanged(bool Rebuild)
{
    if (GetComponentState().Contains(csLoading) || GetComponentState().Contains(csDestroying))
        return;
    if (FParent)
        FParent->RebuildHandle();
    if (TMenu* menu = GetParentMenu())
        menu->DoChange(this, Rebuild);
}

int TMenuItem::GetMenuIndex() const
{
    return FParent ? FParent->IndexOf(this) : -1;
}

int TMenuItem::IndexOf(const TMenuItem* Item) const
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TMenuItem::Add(TMenuItem* Item)
{
    Insert(GetCount(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item)
{
    if (Item->FParent)
        throw EMenuError("Menu inserted twice");
    if (Index < 0 || Index > GetCount())
        throw EMenuError("Menu index out of range");
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    RebuildHandle();
    Item->MenuChanged(true);
}

void TMenuItem::Delete(int Index)
{
    if (Index < 0 || Index >= GetCount())
        throw EMenuError("Menu index out of range");
    TMenuItem* item = FItems[size_t(Index)];
    FItems.erase(FItems.begin() + Index);
    item->FParent = nullptr;
    RebuildHandle();
    if (TMenu* menu = GetParentMenu(); menu && !GetComponentState().Contains(csDestroying))
        menu->DoChange(this, true);
}

void TMenuItem::Remove(TMenuItem* Item)
{
    int index = IndexOf(Item);
    if (index < 0)
        throw EMenuError("Sub-menu is not in menu");
    Delete(index);
}

void TMenuItem::Clear()
{
    while (!FItems.empty())
        delete FItems.back();
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* item = this;
    while (item->FParent)
        item = item->FParent;
    return item->FMenu;
}

TComponent* TMenuItem::GetParentComponent() const
{
    if (FParent && FParent->FMenu)
        return FParent->FMenu;
    return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value)
{
    if (FParent)
        FParent->Remove(this);
    if (auto* menu = dynamic_cast<TMenu*>(Value))
        menu->GetItems()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(Value))
        item->Add(this);
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent*)
{
    for (TMenuItem* item : FItems)
        Proc(item);
}

void TMenuItem::DefineProperties(TFiler* Filer)
{
    TComponent::DefineProperties(Filer);
}

void TMenuItem::Loaded()
{
    TComponent::Loaded();
    MenuChanged(true);
}

void TMenuItem::Click()
{
    if (!FEnabled)
        return;
    if (ActionLink && !(OnClick && !(OnClick == FAction->OnExecute)))
        ActionLink->Execute(this);
    else
        OnClick(this);
}

void TMenuItem::InitiateAction()
{
    if (ActionLink)
        ActionLink->Update();
}

void TMenuItem::InitiateActions()
{
    for (TMenuItem* item : FItems) {
        item->InitiateAction();
        item->InitiateActions();
    }
}

void TMenuItem::DoDrawText(TCanvas* ACanvas, const AnsiString& ACaption, RECT& Rect, bool Selected, UINT Flags)
{
    HDC dc = ACanvas->GetHandle();
    ACanvas->GetFont()->SetColor(!FEnabled ? clGrayText : Selected ? clHighlightText : clMenuText);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, ACanvas->GetFont()->GetHandle());
    SetTextColor(dc, ColorToRGB(ACanvas->GetFont()->GetColor()));
    DrawTextA(dc, ACaption.c_str(), int(ACaption.size()), &Rect, Flags);
}

bool TMenuItem::HasValidImage() const
{
    TMenu* menu = GetParentMenu();
    TCustomImageList* images = menu ? menu->GetImages() : nullptr;
    return images && FImageIndex >= 0 && FImageIndex < images->GetCount();
}

namespace {

// The column left of an item's text that holds its image, bitmap or check mark.
int GlyphWidth(const TMenu* menu)
{
    return menu && menu->GetImages() ? std::max(16, menu->GetImages()->GetWidth()) : 16;
}

void DrawCheckMark(TCanvas* canvas, const RECT& glyph, bool radio, TColor color)
{
    HDC dc = canvas->GetHandle();
    int x = (glyph.left + glyph.right) / 2, y = (glyph.top + glyph.bottom) / 2;
    HPEN pen = CreatePen(PS_SOLID, 2, ColorToRGB(color));
    HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    if (radio) {
        Ellipse(dc, x - 3, y - 3, x + 3, y + 3);
    } else {
        POINT mark[] = {{x - 4, y}, {x - 1, y + 3}, {x + 4, y - 3}};
        Polyline(dc, mark, 3);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

}  // namespace

// Background, then the glyph column (image, bitmap or check mark), then caption and shortcut text.
void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, RECT ARect, TOwnerDrawState State, bool TopLevel)
{
    if (OnAdvancedDrawItem) {
        OnAdvancedDrawItem(this, ACanvas, ARect, State);
        return;
    }
    bool selected = State.Contains(odSelected);
    if (OnDrawItem) {
        OnDrawItem(this, ACanvas, ARect, selected);
        return;
    }
    ACanvas->GetBrush()->SetColor(selected ? clHighlight : clMenu);
    ACanvas->FillRect(ARect);
    if (IsLine()) {
        RECT line = ARect;
        line.top += (line.bottom - line.top) / 2;
        DrawEdge(ACanvas->GetHandle(), &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    TMenu* menu = GetParentMenu();
    RECT glyph{ARect.left + 1, ARect.top, ARect.left + 1 + GlyphWidth(menu), ARect.bottom};
    bool drawsGlyph = HasValidImage() || HasBitmap() || (FChecked && !TopLevel);
    if (HasValidImage()) {
        TCustomImageList* images = menu->GetImages();
        int top = glyph.top + (glyph.bottom - glyph.top - images->GetHeight()) / 2;
        images->Draw(ACanvas, glyph.left, top, FImageIndex, FEnabled);
        if (FChecked)
            DrawEdge(ACanvas->GetHandle(), &glyph, BDR_SUNKENOUTER, BF_RECT);
    } else if (HasBitmap()) {
        ACanvas->Draw(glyph.left, glyph.top + (glyph.bottom - glyph.top - FBitmap->GetHeight()) / 2, FBitmap);
    } else if (FChecked && !TopLevel) {
        DrawCheckMark(ACanvas, glyph, FRadioItem, !FEnabled ? clGrayText : selected ? clHighlightText : clMenuText);
    }
    RECT text = ARect;
    text.left = TopLevel && !drawsGlyph ? ARect.left + 6 : glyph.right + 3;
    DoDrawText(ACanvas, FCaption, text, selected, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (FShortCut && !TopLevel) {
        RECT shortcut = ARect;
        shortcut.right -= 10;
        DoDrawText(ACanvas, ShortCutToText(FShortCut), shortcut, selected, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height)
{
    if (IsLine()) {
        Height = 8;
        Width = 10;
    } else {
        TMenu* menu = GetParentMenu();
        SIZE size = ACanvas->TextExtent(FCaption + (FShortCut ? "    " + ShortCutToText(FShortCut) : ""));
        Width = size.cx + GlyphWidth(menu) + 14;
        Height = std::max<int>(size.cy + 6, GetSystemMetrics(SM_CYMENU));
        if (menu && menu->GetImages())
            Height = std::max(Height, menu->GetImages()->GetHeight() + 4);
    }
    OnMeasureItem(this, ACanvas, Width, Height);
}

void TMenuItem::DrawItemStruct(const DRAWITEMSTRUCT& Draw)
{
    TCanvas canvas;
    canvas.SetHandle(Draw.hDC);
    int saved = SaveDC(Draw.hDC);
    struct Restore {
        HDC dc;
        int saved;
        TCanvas& canvas;
        ~Restore()
        {
            canvas.SetHandle(nullptr);
            RestoreDC(dc, saved);
        }
    } restore{Draw.hDC, saved, canvas};
    canvas.GetFont()->SetHandle(HFONT(GetCurrentObject(Draw.hDC, OBJ_FONT)));
    bool topLevel = FParent && FParent->FMenu && dynamic_cast<TMainMenu*>(FParent->FMenu);
    AdvancedDrawItem(&canvas, Draw.rcItem, OwnerDrawStateOf(Draw.itemState), topLevel);
}

void TMenuItem::MeasureItemStruct(MEASUREITEMSTRUCT& Measure)
{
    HDC dc = GetDC(nullptr);
    TCanvas canvas;
    canvas.SetHandle(dc);
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        canvas.GetFont()->SetName(metrics.lfMenuFont.lfFaceName);
        canvas.GetFont()->SetHeight(metrics.lfMenuFont.lfHeight);
    }
    int width = int(Measure.itemWidth), height = int(Measure.itemHeight);
    try {
        MeasureItem(&canvas, width, height);
    } catch (...) {
        canvas.SetHandle(nullptr);
        ReleaseDC(nullptr, dc);
        throw;
    }
    canvas.SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
    Measure.itemWidth = UINT(width);
    Measure.itemHeight = UINT(height);
}

// ---- TMenu -----------------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr))
{
    FItems->FMenu = this;
}

TMenu::~TMenu()
{
    Destroying();
    if (FHandle && FHandle == FItems->FHandle)
        FHandle = nullptr;  // the root item destroys it
    delete FItems;
    if (FHandle)
        DestroyMenu(FHandle);
}

HMENU TMenu::GetHandle()
{
    FHandle = FItems->GetHandle();
    return FHandle;
}

void TMenu::SetOwnerDraw(bool Value)
{
    if (FOwnerDraw != Value) {
        FOwnerDraw = Value;
        RebuildHandle();
    }
}

void TMenu::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    RebuildHandle();
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) {
        FImages = nullptr;
        if (!GetComponentState().Contains(csDestroying))
            RebuildHandle();
    }
}

// Owner drawing and images concern every entry: each native menu of the tree is built again.
void TMenu::RebuildHandle()
{
    std::function<void(TMenuItem*)> rebuild = [&rebuild](TMenuItem* item) {
        item->RebuildHandle();
        for (TMenuItem* child : item->GetEntryItems())
            rebuild(child);
    };
    rebuild(FItems);
    DoChange(nullptr, true);
}

void TMenu::DoChange(TMenuItem* Source, bool)
{
    OnChange(Source ? static_cast<TObject*>(Source) : this);
}

TMenuItem* TMenu::FindItem(UINT_PTR Value, TFindItemKind Kind) const
{
    std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* parent) -> TMenuItem* {
        for (TMenuItem* item : parent->GetEntryItems()) {
            bool match = Kind == TFindItemKind::fkCommand    ? item->GetCommand() == Value
                         : Kind == TFindItemKind::fkHandle   ? item->FHandle && UINT_PTR(item->FHandle) == Value
                                                             : item->GetShortCut() == Value;
            if (match)
                return item;
            if (TMenuItem* inner = find(item))
                return inner;
        }
        return nullptr;
    };
    return find(FItems);
}

bool TMenu::DispatchPopup(HMENU Menu)
{
    TMenuItem* item = FItems->FHandle == Menu ? FItems : FindItem(UINT_PTR(Menu), TFindItemKind::fkHandle);
    if (!item)
        return false;
    item->InitiateActions();
    return true;
}

bool TMenu::DispatchCommand(WORD Command)
{
    if (TMenuItem* item = FindItem(Command, TFindItemKind::fkCommand)) {
        item->Click();
        return true;
    }
    return false;
}

bool TMenu::IsShortCut(WORD Key, TShiftState Shift)
{
    TShortCut wanted = ShortCut(Key, Shift);
    if (!wanted)
        return false;
    TMenuItem* item = FindItem(wanted, TFindItemKind::fkShortCut);
    if (!item || !item->GetEnabled() || !item->GetVisible())
        return false;
    item->InitiateAction();
    item->Click();
    return true;
}

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    FItems->GetChildren(Proc, Root);
}

void TMainMenu::DoChange(TMenuItem* Source, bool Rebuild)
{
    if (WindowHandle)
        DrawMenuBar(WindowHandle);
    if (TMenuItem* host = GetItems()->GetMergedWith())
        if (auto* hostMenu = dynamic_cast<TMainMenu*>(host->GetParentMenu()); hostMenu && hostMenu->WindowHandle)
            DrawMenuBar(hostMenu->WindowHandle);
    TMenu::DoChange(Source, Rebuild);
}

void TMainMenu::Merge(TMainMenu* Menu)
{
    if (Menu)
        GetItems()->MergeWith(Menu->GetItems());
}

void TMainMenu::Unmerge(TMainMenu* Menu)
{
    if (Menu && GetItems()->GetMerged() == Menu->GetItems())
        GetItems()->MergeWith(nullptr);
}

// ---- TPopupMenu ------------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner)
{
    if (PopupList)
        PopupList->Add(this);
}

TPopupMenu::~TPopupMenu()
{
    if (PopupList)
        PopupList->Remove(this);
}

void TPopupMenu::Popup(int X, int Y)
{
    OnPopup(this);
    GetItems()->InitiateActions();
    static const UINT align[] = {TPM_LEFTALIGN, TPM_RIGHTALIGN, TPM_CENTERALIGN};
    HWND window = PopupList ? PopupList->GetWindow() : (Application ? Application->GetHandle() : nullptr);
    SetForegroundWindow(window);
    TrackPopupMenu(GetHandle(), align[int(Alignment)] | TPM_RIGHTBUTTON, X, Y, 0, window, nullptr);
    PostMessageA(window, WM_NULL, 0, 0);
}

// ---- TPopupList ------------------------------------------------------------------------------

TPopupList::TPopupList() = default;

TPopupList::~TPopupList()
{
    if (FWindow)
        DestroyWindow(FWindow);
}

void TPopupList::Add(TPopupMenu* Menu)
{
    TList::Add(Menu);
}

void TPopupList::Remove(TPopupMenu* Menu)
{
    TList::Remove(Menu);
}

HWND TPopupList::GetWindow()
{
    if (!FWindow) {
        static const char className[] = "TPopupList";
        WNDCLASSA cls{};
        if (!GetClassInfoA(HInstance, className, &cls)) {
            cls.lpfnWndProc = &PopupWndProc;
            cls.hInstance = HInstance;
            cls.lpszClassName = className;
            RegisterClassA(&cls);
        }
        FWindow = CreateWindowExA(WS_EX_TOOLWINDOW, className, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  HInstance, nullptr);
        SetWindowLongPtrA(FWindow, GWLP_USERDATA, LONG_PTR(this));
    }
    return FWindow;
}

LRESULT CALLBACK TPopupList::PopupWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto* list = reinterpret_cast<TPopupList*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
    if (!list)
        return DefWindowProcA(Window, Msg, WParam, LParam);
    TMessage message{Msg, WParam, LParam, 0};
    try {
        list->WndProc(message);
    } catch (...) {
        HandleControlException(list);
    }
    return message.Result;
}

void TPopupList::WndProc(TMessage& Message)
{
    auto eachMenu = [&](auto f) {
        for (int i = 0; i < GetCount(); ++i)
            if (f(static_cast<TPopupMenu*>(GetItems(i))))
                return true;
        return false;
    };
    switch (Message.Msg) {
    case WM_COMMAND:
        if (eachMenu([&](TPopupMenu* m) { return m->DispatchCommand(LOWORD(Message.WParam)); }))
            return;
        break;
    case WM_INITMENUPOPUP:
        if (eachMenu([&](TPopupMenu* m) { return m->DispatchPopup(HMENU(Message.WParam)); }))
            return;
        break;
    case WM_MENUSELECT:
        if (HIWORD(Message.WParam) == 0xFFFF && Message.LParam == 0) {  // the menu closed
            if (Application)
                Application->SetHint({});
        } else if (!(HIWORD(Message.WParam) & MF_POPUP)) {
            eachMenu([&](TPopupMenu* m) {
                TMenuItem* item = m->FindItem(LOWORD(Message.WParam), TFindItemKind::fkCommand);
                if (item && Application)
                    Application->SetHint(TApplication::GetLongHint(item->GetHint()));
                return item != nullptr;
            });
        }
        break;
    case WM_DRAWITEM: {
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        if (draw->CtlType == ODT_MENU &&
            eachMenu([&](TPopupMenu* m) {
                TMenuItem* item = m->FindItem(draw->itemID, TFindItemKind::fkCommand);
                if (item)
                    item->DrawItemStruct(*draw);
                return item != nullptr;
            })) {
            Message.Result = 1;
            return;
        }
        break;
    }
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        if (measure->CtlType == ODT_MENU &&
            eachMenu([&](TPopupMenu* m) {
                TMenuItem* item = m->FindItem(measure->itemID, TFindItemKind::fkCommand);
                if (item)
                    item->MeasureItemStruct(*measure);
                return item != nullptr;
            })) {
            Message.Result = 1;
            return;
        }
        break;
    }
    default:
        break;
    }
    Message.Result = DefWindowProcA(FWindow, Message.Msg, Message.WParam, Message.LParam);
}

TMenuItem* NewItem(const AnsiString& Caption, TShortCut Shortcut, bool Checked, bool Enabled, TNotifyEvent OnClick,
                   int HelpContext, const AnsiString& Name)
{
    auto* item = new TMenuItem(nullptr);
    item->SetName(Name);
    item->SetCaption(Caption);
    item->SetShortCut(Shortcut);
    item->SetChecked(Checked);
    item->SetEnabled(Enabled);
    item->OnClick = OnClick;
    item->SetHelpContext(HelpContext);
    return item;
}

TMenuItem* NewLine()
{
    auto* item = new TMenuItem(nullptr);
    item->SetCaption("-");
    return item;
}

}  // namespace vcl
