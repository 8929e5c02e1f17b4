// The list view: columns, items kept as objects (texts given by callback), owner data.
#include "ComCtrls.h"

#include <algorithm>

#include "Forms.h"

namespace vcl {

namespace {
bool Is(UINT code, UINT ansi, UINT wide) { return code == ansi || code == wide; }
}  // namespace

VCL_IMPLEMENT_CLASS(TListColumn, TCollectionItem, {
    m.Publish("Caption", &TListColumn::GetCaption, &TListColumn::SetCaption);
    m.Publish("Width", &TListColumn::GetWidth, &TListColumn::SetWidth).WithDefault(50);
    m.Publish("Alignment", &TListColumn::GetAlignment, &TListColumn::SetAlignment)
        .WithNames({"taLeftJustify", "taRightJustify", "taCenter"})
        .WithDefault(0);
})
VCL_IMPLEMENT_CLASS(TListColumns, TCollection)
VCL_IMPLEMENT_CLASS(TListItem, TPersistent)
VCL_IMPLEMENT_CLASS(TListItems, TPersistent)
VCL_IMPLEMENT_CLASS(TListViewActionLink, TWinControlActionLink)
VCL_IMPLEMENT_CLASS(TCustomListView, TCustomListControl)
VCL_IMPLEMENT_CLASS(TListView, TCustomListView, { PublishListViewProperties(m); })

void PublishListViewProperties(TMetaClass& m)
{
    m.PublishReadOnly("Columns", &TCustomListView::GetColumns);
    m.Publish("ViewStyle", &TCustomListView::GetViewStyle, &TCustomListView::SetViewStyle)
        .WithNames({"vsIcon", "vsSmallIcon", "vsList", "vsReport"})
        .WithDefault(0);
    m.Publish("ShowColumnHeaders", &TCustomListView::GetShowColumnHeaders, &TCustomListView::SetShowColumnHeaders)
        .WithDefault(1);
    m.Publish("ReadOnly", &TCustomListView::GetReadOnly, &TCustomListView::SetReadOnly).WithDefault(0);
    m.Publish("RowSelect", &TCustomListView::GetRowSelect, &TCustomListView::SetRowSelect).WithDefault(0);
    m.Publish("HideSelection", &TCustomListView::GetHideSelection, &TCustomListView::SetHideSelection).WithDefault(1);
    m.Publish("Checkboxes", &TCustomListView::GetCheckboxes, &TCustomListView::SetCheckboxes).WithDefault(0);
    m.Publish("MultiSelect", &TCustomListView::GetMultiSelect, &TCustomListView::SetMultiSelect).WithDefault(0);
    m.Publish("OwnerData", &TCustomListView::GetOwnerData, &TCustomListView::SetOwnerData).WithDefault(0);
    m.Publish("GridLines", &TCustomListView::GetGridLines, &TCustomListView::SetGridLines).WithDefault(0);
    m.Publish("OwnerDraw", &TCustomListView::GetOwnerDraw, &TCustomListView::SetOwnerDraw).WithDefault(0);
    m.Publish("SmallImages", &TCustomListView::GetSmallImages, &TCustomListView::SetSmallImages);
    m.Publish("LargeImages", &TCustomListView::GetLargeImages, &TCustomListView::SetLargeImages);
    m.Publish("StateImages", &TCustomListView::GetStateImages, &TCustomListView::SetStateImages);
}

TListSortCallback ListViewSortCallback = &DefaultListViewSort;

int CALLBACK DefaultListViewSort(LPARAM Item1, LPARAM Item2, LPARAM Data)
{
    auto* view = reinterpret_cast<TCustomListView*>(Data);
    try {
        return view->CompareItems(reinterpret_cast<TListItem*>(Item1), reinterpret_cast<TListItem*>(Item2), 0);
    } catch (...) {
        HandleControlException(view);
        return 0;
    }
}

// =============================================================================================
// Columns

TListColumn::TListColumn(TCollection* ACollection) : TCollectionItem(ACollection) {}

TCustomListView* TListColumn::ListView() const
{
    auto* columns = dynamic_cast<TListColumns*>(GetCollection());
    return columns ? columns->GetListView() : nullptr;
}

void TListColumn::Assign(TPersistent* Source)
{
    if (auto* column = dynamic_cast<TListColumn*>(Source)) {
        FCaption = column->FCaption;
        FWidth = column->FWidth;
        FAlignment = column->FAlignment;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(Source);
}

void TListColumn::Update()
{
    TCustomListView* view = ListView();
    if (!view || !view->HandleAllocated())
        return;
    static const int formats[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER};
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = FCaption.data();
    column.cx = FWidth;
    column.fmt = formats[int(FAlignment)];
    view->Perform(LVM_SETCOLUMNA, WPARAM(GetIndex()), LPARAM(&column));
}

void TListColumn::SetCaption(const AnsiString& Value)
{
    FCaption = Value;
    Update();
}

int TListColumn::GetWidth() const
{
    TCustomListView* view = ListView();
    if (view && view->HandleAllocated() && view->FViewStyle == TViewStyle::vsReport)
        return int(SendMessageA(view->WindowHandle, LVM_GETCOLUMNWIDTH, WPARAM(GetIndex()), 0));
    return FWidth;
}

void TListColumn::SetWidth(int Value)
{
    FWidth = Value;
    Update();
}

void TListColumn::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    Update();
}

TListColumns::TListColumns(TCustomListView* AOwner, TClass ItemClass) : TCollection(ItemClass), FOwner(AOwner) {}

TPersistent* TListColumns::GetOwner()
{
    return FOwner;
}

void TListColumns::Update(TCollectionItem*)
{
    if (FOwner)
        FOwner->UpdateColumns();
}

// =============================================================================================
// Items

TListItem::TListItem(TListItems* AOwner) : FOwner(AOwner), FSubItems(new TStringList)
{
    FSubItems->SetOnChange(TNotifyEvent(this, &TListItem::SubItemsChanged));
}

TListItem::~TListItem()
{
    delete FSubItems;
}

TCustomListView* TListItem::GetListView() const
{
    return FOwner ? FOwner->GetOwner() : nullptr;
}

void TListItem::Assign(TPersistent* Source)
{
    if (auto* item = dynamic_cast<TListItem*>(Source)) {
        SetCaption(item->FCaption);
        Data = item->Data;
        FSubItems->Assign(item->FSubItems);
        SetImageIndex(item->FImageIndex);
        SetStateIndex(item->FStateIndex);
        SetIndent(item->FIndent);
        SetOverlayIndex(item->FOverlayIndex);
        return;
    }
    TPersistent::Assign(Source);
}

int TListItem::GetIndex() const
{
    return FOwner ? FOwner->IndexOf(this) : -1;
}

namespace {
// Re-announces an item's texts and images to the window (it asks back through LVN_GETDISPINFO).
void RefreshItem(const TListItem* Item)
{
    TCustomListView* view = Item->GetListView();
    int index = Item->GetIndex();
    if (view && view->HandleAllocated() && index >= 0)
        view->Perform(LVM_UPDATE, WPARAM(index), 0);
}
}  // namespace

void TListItem::SetCaption(const AnsiString& Value)
{
    FCaption = Value;
    TCustomListView* view = GetListView();
    int index = GetIndex();
    if (view && view->HandleAllocated() && index >= 0) {
        LVITEMA item{};
        item.iSubItem = 0;
        item.pszText = LPSTR_TEXTCALLBACKA;
        view->Perform(LVM_SETITEMTEXTA, WPARAM(index), LPARAM(&item));
    }
    if (view)
        view->Change(this, ctText);
}

void TListItem::SubItemsChanged(TObject*)
{
    RefreshItem(this);
    if (TCustomListView* view = GetListView())
        view->Change(this, ctText);
}

void TListItem::SetImageIndex(int Value)
{
    FImageIndex = Value;
    RefreshItem(this);
}

void TListItem::SetStateIndex(int Value)
{
    FStateIndex = Value;
    TCustomListView* view = GetListView();
    int index = GetIndex();
    if (view && view->HandleAllocated() && index >= 0) {
        LVITEMA item{};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = Value >= 0 ? INDEXTOSTATEIMAGEMASK(Value + 1) : 0;
        view->Perform(LVM_SETITEMSTATE, WPARAM(index), LPARAM(&item));
    }
}

void TListItem::SetIndent(int Value)
{
    FIndent = Value;
    RefreshItem(this);
}

void TListItem::SetOverlayIndex(int Value)
{
    FOverlayIndex = Value;
    RefreshItem(this);
}

bool TListItem::GetChecked() const
{
    TCustomListView* view = GetListView();
    int index = GetIndex();
    if (view && view->HandleAllocated() && index >= 0)
        return (SendMessageA(view->WindowHandle, LVM_GETITEMSTATE, WPARAM(index), LVIS_STATEIMAGEMASK) >> 12) == 2;
    return FChecked;
}

void TListItem::SetChecked(bool Value)
{
    FChecked = Value;
    TCustomListView* view = GetListView();
    int index = GetIndex();
    if (view && view->HandleAllocated() && index >= 0 && view->FCheckboxes) {
        LVITEMA item{};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(Value ? 2 : 1);
        view->Perform(LVM_SETITEMSTATE, WPARAM(index), LPARAM(&item));
    }
}

bool TListItem::GetSelected() const
{
    TCustomListView* view = GetListView();
    int index = GetIndex();
    if (view && view->HandleAllocated() && index >= 0)
        return SendMessageA(view->WindowHandle, LVM_GETITEMSTATE, WPARAM(index), LVIS_SELECTED) != 0;
    return FSelected;
}

void TListItem::SetSelected(bool Value)
{
    FSelected = Value;
    TCustomListView* view = GetListView();
    int index = GetIndex();
    if (view && view->HandleAllocated() && index >= 0) {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED;
        item.state = Value ? LVIS_SELECTED : 0;
        view->Perform(LVM_SETITEMSTATE, WPARAM(index), LPARAM(&item));
    }
}

bool TListItem::GetFocused() const
{
    TCustomListView* view = GetListView();
    int index = GetIndex();
    return view && view->HandleAllocated() && index >= 0 &&
           SendMessageA(view->WindowHandle, LVM_GETITEMSTATE, WPARAM(index), LVIS_FOCUSED) != 0;
}

void TListItem::SetFocused(bool Value)
{
    TCustomListView* view = GetListView();
    int index = GetIndex();
    if (view && view->HandleAllocated() && index >= 0) {
        LVITEMA item{};
        item.stateMask = LVIS_FOCUSED;
        item.state = Value ? LVIS_FOCUSED : 0;
        view->Perform(LVM_SETITEMSTATE, WPARAM(index), LPARAM(&item));
    }
}

void TListItem::Delete()
{
    if (FOwner)
        FOwner->Delete(GetIndex());
}

void TListItem::MakeVisible(bool PartialOK)
{
    TCustomListView* view = GetListView();
    if (view && view->HandleAllocated())
        view->Perform(LVM_ENSUREVISIBLE, WPARAM(GetIndex()), PartialOK);
}

RECT TListItem::DisplayRect(int Code) const
{
    RECT r{Code, 0, 0, 0};
    TCustomListView* view = GetListView();
    if (!view || !view->HandleAllocated() || !view->Perform(LVM_GETITEMRECT, WPARAM(GetIndex()), LPARAM(&r)))
        r = RECT{0, 0, 0, 0};
    return r;
}

TListItems::TListItems(TCustomListView* AOwner) : FOwner(AOwner) {}

TListItems::~TListItems()
{
    for (TListItem* item : FItems)
        delete item;
}

int TListItems::GetCount() const
{
    if (FOwner && FOwner->FOwnerData)
        return FVirtualCount;
    return int(FItems.size());
}

void TListItems::SetCount(int Value)
{
    FVirtualCount = std::max(0, Value);
    if (FOwner && FOwner->HandleAllocated() && FOwner->FOwnerData)
        FOwner->Perform(LVM_SETITEMCOUNT, WPARAM(FVirtualCount), LVSICF_NOINVALIDATEALL);
}

TListItem* TListItems::GetItem(int Index) const
{
    if (FOwner && FOwner->FOwnerData) {
        if (Index < 0 || Index >= FVirtualCount || !FOwner->FOwnerDataItem)
            return nullptr;
        TListItem* item = FOwner->FOwnerDataItem;
        item->FCaption.clear();
        item->FSubItems->Clear();
        item->Data = reinterpret_cast<void*>(INT_PTR(Index));
        FOwner->OwnerDataFetch(item, TItemRequest{int(TItemRequestKind::irText), int(TItemRequestKind::irImage)});
        return item;
    }
    return Index >= 0 && Index < int(FItems.size()) ? FItems[size_t(Index)] : nullptr;
}

int TListItems::IndexOf(const TListItem* Item) const
{
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

TListItem* TListItems::Add()
{
    return Insert(int(FItems.size()));
}

TListItem* TListItems::Insert(int Index)
{
    TListItem* item = FOwner ? FOwner->CreateListItem() : new TListItem(this);
    Index = std::clamp(Index, 0, int(FItems.size()));
    FItems.insert(FItems.begin() + Index, item);
    if (FOwner)
        FOwner->InsertItemInWindow(item, Index);
    return item;
}

void TListItems::Delete(int Index)
{
    if (Index < 0 || Index >= int(FItems.size()))
        return;
    TListItem* item = FItems[size_t(Index)];
    if (FOwner)
        FOwner->OnDeletion(FOwner, item);
    FItems.erase(FItems.begin() + Index);
    if (FOwner && FOwner->HandleAllocated())
        FOwner->Perform(LVM_DELETEITEM, WPARAM(Index), 0);
    delete item;
}

void TListItems::Clear()
{
    BeginUpdate();
    if (FOwner && FOwner->HandleAllocated())
        FOwner->Perform(LVM_DELETEALLITEMS);
    std::vector<TListItem*> items;
    items.swap(FItems);
    for (TListItem* item : items) {
        if (FOwner)
            FOwner->OnDeletion(FOwner, item);
        delete item;
    }
    EndUpdate();
}

void TListItems::BeginUpdate()
{
    BeginViewUpdate(FOwner, FUpdateCount);
}

void TListItems::EndUpdate()
{
    EndViewUpdate(FOwner, FUpdateCount);
}

// =============================================================================================
// TCustomListView

TCustomListView::TCustomListView(TComponent* AOwner) : TCustomListControl(AOwner), FCanvas(new TControlCanvas)
{
    static_cast<TControlCanvas*>(FCanvas)->SetControl(this);
    ControlStyle >> csClickEvents;
    FWidth = 250;
    FHeight = 150;
    FTabStop = true;
    FColor = clWindow;
    FParentColor = false;
    GetBrush()->SetColor(clWindow);
}

TCustomListView::~TCustomListView()
{
    Destroying();
    DestroyHandle();
    delete FOwnerDataItem;
    delete FItems;
    delete FColumns;
    delete FCanvas;
}

TListItems* TCustomListView::GetItems() const
{
    if (!FItems)
        FItems = const_cast<TCustomListView*>(this)->CreateListItems();
    return FItems;
}

TListColumns* TCustomListView::GetColumns() const
{
    if (!FColumns)
        FColumns = const_cast<TCustomListView*>(this)->CreateListColumns();
    return FColumns;
}

TListItem* TCustomListView::NewListItem(TClass ItemClass)
{
    return TListItemClasses::Create(ItemClass, GetItems());
}

TListItem* TCustomListView::CreateListItem()
{
    TClass cls = TListItem::StaticClass();
    OnCreateItemClass(this, cls);
    return NewListItem(cls);
}

TListItems* TCustomListView::CreateListItems()
{
    return new TListItems(this);
}

TListColumns* TCustomListView::CreateListColumns()
{
    return new TListColumns(this);
}

TListColumn* TCustomListView::ColumnFromIndex(int Index) const
{
    TListColumns* columns = GetColumns();
    return Index >= 0 && Index < columns->GetCount() ? columns->GetItem(Index) : nullptr;
}

TListColumn* TCustomListView::GetColumnFromTag(int Tag) const
{
    TListColumns* columns = GetColumns();
    for (int i = 0; i < columns->GetCount(); ++i)
        if (columns->GetItem(i)->GetTag() == Tag)
            return columns->GetItem(i);
    return nullptr;
}

void TCustomListView::CreateParams(TCreateParams& Params)
{
    static const DWORD views[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_LISTVIEWA);
    Params.Style |= views[int(FViewStyle)] | LVS_SHAREIMAGELISTS | (FReadOnly ? 0 : LVS_EDITLABELS) |
                    (FHideSelection ? 0 : LVS_SHOWSELALWAYS) | (FMultiSelect ? 0 : LVS_SINGLESEL) |
                    (FShowColumnHeaders ? 0 : LVS_NOCOLUMNHEADER) | (FOwnerData ? LVS_OWNERDATA : 0) |
                    (FOwnerDraw ? LVS_OWNERDRAWFIXED : 0);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

// Columns and items go into the new window in order, one text message per caption.
void TCustomListView::CreateWnd()
{
    TWinControl::CreateWnd();
    ApplyExtendedStyle();
    ApplyImageLists();
    Perform(LVM_SETBKCOLOR, 0, LPARAM(ColorToRGB(FColor)));
    Perform(LVM_SETTEXTBKCOLOR, 0, LPARAM(ColorToRGB(FColor)));
    UpdateColumns();
    FRebuilding = true;
    if (FOwnerData) {
        if (!FOwnerDataItem)
            FOwnerDataItem = CreateListItem();
        Perform(LVM_SETITEMCOUNT, WPARAM(GetItems()->FVirtualCount), 0);
    } else {
        for (size_t i = 0; i < GetItems()->FItems.size(); ++i)
            InsertItemInWindow(GetItems()->FItems[i], int(i));
    }
    FRebuilding = false;
    if (FSavedIndex >= 0)
        SetItemIndex(FSavedIndex);
    FSavedIndex = -1;
}

void TCustomListView::DestroyWnd()
{
    FSavedIndex = GetItemIndex();
    for (TListItem* item : GetItems()->FItems) {
        item->FChecked = item->GetChecked();
        item->FSelected = item->GetSelected();
    }
    TWinControl::DestroyWnd();
}

void TCustomListView::InsertItemInWindow(TListItem* Item, int Index)
{
    if (!HandleAllocated() || FOwnerData)
        return;
    LVITEMA lv{};
    lv.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_INDENT | LVIF_STATE;
    lv.iItem = Index;
    lv.pszText = LPSTR_TEXTCALLBACKA;
    lv.iImage = I_IMAGECALLBACK;
    lv.lParam = LPARAM(Item);
    lv.iIndent = Item->FIndent;
    lv.stateMask = LVIS_SELECTED | (Item->FStateIndex >= 0 ? LVIS_STATEIMAGEMASK : 0);
    lv.state = (Item->FSelected ? LVIS_SELECTED : 0) |
               (Item->FStateIndex >= 0 ? INDEXTOSTATEIMAGEMASK(Item->FStateIndex + 1) : 0);
    int index = int(Perform(LVM_INSERTITEMA, 0, LPARAM(&lv)));
    if (index < 0)
        throw EOutOfResources("Unable to insert an item");
    for (int sub = 0; sub < Item->FSubItems->GetCount(); ++sub) {
        LVITEMA text{};
        text.iSubItem = sub + 1;
        text.pszText = LPSTR_TEXTCALLBACKA;
        Perform(LVM_SETITEMTEXTA, WPARAM(index), LPARAM(&text));
    }
    if (FCheckboxes && Item->FChecked)
        Item->SetChecked(true);
}

void TCustomListView::InsertColumnInWindow(TListColumn* Column, int Index)
{
    static const int formats[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER};
    LVCOLUMNA lvc{};
    lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    lvc.pszText = Column->FCaption.data();
    lvc.cx = Column->FWidth;
    lvc.fmt = formats[int(Column->FAlignment)];
    lvc.iSubItem = Index;
    Perform(LVM_INSERTCOLUMNA, WPARAM(Index), LPARAM(&lvc));
}

void TCustomListView::UpdateColumns()
{
    if (!HandleAllocated())
        return;
    HWND header = HWND(Perform(LVM_GETHEADER));
    int existing = header ? int(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = existing - 1; i >= 0; --i)
        Perform(LVM_DELETECOLUMN, WPARAM(i), 0);
    for (int i = 0; i < GetColumns()->GetCount(); ++i)
        InsertColumnInWindow(GetColumns()->GetItem(i), i);
}

void TCustomListView::ApplyExtendedStyle()
{
    if (!HandleAllocated())
        return;
    DWORD ex = (FRowSelect ? LVS_EX_FULLROWSELECT : 0) | (FCheckboxes ? LVS_EX_CHECKBOXES : 0) |
               (FGridLines ? LVS_EX_GRIDLINES : 0) | LVS_EX_INFOTIP;
    Perform(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LPARAM(ex));
}

void TCustomListView::ApplyImageLists()
{
    if (!HandleAllocated())
        return;
    Perform(LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(FSmallImages ? FSmallImages->GetHandle() : nullptr));
    Perform(LVM_SETIMAGELIST, LVSIL_NORMAL, LPARAM(FLargeImages ? FLargeImages->GetHandle() : nullptr));
    if (!FCheckboxes)
        Perform(LVM_SETIMAGELIST, LVSIL_STATE, LPARAM(FStateImages ? FStateImages->GetHandle() : nullptr));
}

void TCustomListView::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == FSmallImages)
            FSmallImages = nullptr;
        if (AComponent == FLargeImages)
            FLargeImages = nullptr;
        if (AComponent == FStateImages)
            FStateImages = nullptr;
    }
}

namespace {
void SetImageList(TComponent* self, TCustomImageList*& field, TCustomImageList* value)
{
    if (field)
        field->RemoveFreeNotification(self);
    field = value;
    if (value)
        value->FreeNotification(self);
}
}  // namespace

void TCustomListView::SetSmallImages(TCustomImageList* Value)
{
    SetImageList(this, FSmallImages, Value);
    ApplyImageLists();
}

void TCustomListView::SetLargeImages(TCustomImageList* Value)
{
    SetImageList(this, FLargeImages, Value);
    ApplyImageLists();
}

void TCustomListView::SetStateImages(TCustomImageList* Value)
{
    SetImageList(this, FStateImages, Value);
    ApplyImageLists();
}

void TCustomListView::SetViewStyle(TViewStyle Value)
{
    if (FViewStyle == Value)
        return;
    FViewStyle = Value;
    if (HandleAllocated()) {
        static const DWORD views[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
        LONG_PTR style = GetWindowLongPtrA(WindowHandle, GWL_STYLE);
        SetWindowLongPtrA(WindowHandle, GWL_STYLE, (style & ~LONG_PTR(LVS_TYPEMASK)) | LONG_PTR(views[int(Value)]));
        Invalidate();
    }
}

void TCustomListView::SetShowColumnHeaders(bool Value)
{
    if (FShowColumnHeaders != Value) {
        FShowColumnHeaders = Value;
        RecreateWnd();
    }
}

void TCustomListView::SetReadOnly(bool Value)
{
    if (FReadOnly != Value) {
        FReadOnly = Value;
        RecreateWnd();
    }
}

void TCustomListView::SetRowSelect(bool Value)
{
    FRowSelect = Value;
    ApplyExtendedStyle();
}

void TCustomListView::SetHideSelection(bool Value)
{
    if (FHideSelection != Value) {
        FHideSelection = Value;
        RecreateWnd();
    }
}

void TCustomListView::SetCheckboxes(bool Value)
{
    FCheckboxes = Value;
    ApplyExtendedStyle();
}

void TCustomListView::SetMultiSelect(bool Value)
{
    if (FMultiSelect != Value) {
        FMultiSelect = Value;
        RecreateWnd();
    }
}

void TCustomListView::SetOwnerData(bool Value)
{
    if (FOwnerData != Value) {
        GetItems()->Clear();
        FOwnerData = Value;
        RecreateWnd();
    }
}

void TCustomListView::SetGridLines(bool Value)
{
    FGridLines = Value;
    ApplyExtendedStyle();
}

void TCustomListView::SetOwnerDraw(bool Value)
{
    if (FOwnerDraw != Value) {
        FOwnerDraw = Value;
        RecreateWnd();
    }
}

TListItem* TCustomListView::ItemOfParam(LPARAM Param) const
{
    return reinterpret_cast<TListItem*>(Param);
}

TListItem* TCustomListView::GetSelected() const
{
    return GetItems()->GetItem(GetItemIndex());
}

// Selecting an item in code announces it like a selection by the user (OnChange).
void TCustomListView::SetSelected(TListItem* Value)
{
    if (!Value) {
        for (TListItem* item : GetItems()->FItems)
            item->SetSelected(false);
        return;
    }
    if (!FMultiSelect)
        for (TListItem* item : GetItems()->FItems)
            if (item != Value && item->GetSelected())
                item->SetSelected(false);
    Value->SetSelected(true);
    Value->SetFocused(true);
}

int TCustomListView::GetItemIndex() const
{
    if (!HandleAllocated())
        return FSavedIndex;
    return int(SendMessageA(WindowHandle, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

void TCustomListView::SetItemIndex(int Value)
{
    if (!HandleAllocated()) {
        FSavedIndex = Value;
        return;
    }
    SetSelected(Value >= 0 ? GetItems()->GetItem(Value) : nullptr);
}

TListItem* TCustomListView::GetItemFocused() const
{
    if (!HandleAllocated())
        return nullptr;
    return GetItems()->GetItem(int(SendMessageA(WindowHandle, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED)));
}

void TCustomListView::SetItemFocused(TListItem* Value)
{
    if (Value)
        Value->SetFocused(true);
}

TListItem* TCustomListView::GetDropTarget() const
{
    if (!HandleAllocated())
        return nullptr;
    return GetItems()->GetItem(int(SendMessageA(WindowHandle, LVM_GETNEXTITEM, WPARAM(-1), LVNI_DROPHILITED)));
}

// One item at a time is the drop target.
void TCustomListView::SetDropTarget(TListItem* Value)
{
    if (!HandleAllocated())
        return;
    LVITEMA off{};
    off.stateMask = LVIS_DROPHILITED;
    Perform(LVM_SETITEMSTATE, WPARAM(-1), LPARAM(&off));
    int index = Value ? Value->GetIndex() : -1;
    if (index < 0)
        return;
    LVITEMA on{};
    on.stateMask = LVIS_DROPHILITED;
    on.state = LVIS_DROPHILITED;
    Perform(LVM_SETITEMSTATE, WPARAM(index), LPARAM(&on));
}

TListItem* TCustomListView::GetTopItem() const
{
    if (!HandleAllocated())
        return nullptr;
    return GetItems()->GetItem(int(SendMessageA(WindowHandle, LVM_GETTOPINDEX, 0, 0)));
}

TListItem* TCustomListView::GetItemAt(int X, int Y) const
{
    if (!HandleAllocated())
        return nullptr;
    LVHITTESTINFO hit{};
    hit.pt = {X, Y};
    int index = int(SendMessageA(WindowHandle, LVM_HITTEST, 0, LPARAM(&hit)));
    if (index < 0 && FViewStyle == TViewStyle::vsReport && FRowSelect) {
        hit.pt.x = 2;
        index = int(SendMessageA(WindowHandle, LVM_HITTEST, 0, LPARAM(&hit)));
    }
    return index >= 0 && (hit.flags & LVHT_ONITEM) ? GetItems()->GetItem(index) : nullptr;
}

TListItem* TCustomListView::FindItem(int StartIndex, bool Inclusive, bool Wrap,
                                     const std::function<bool(TListItem*)>& Match) const
{
    int count = GetItems()->GetCount();
    for (int step = Inclusive ? 0 : 1; step <= count; ++step) {
        int i = StartIndex + step;
        if (i >= count) {
            if (!Wrap)
                break;
            i %= count;
        }
        if (TListItem* item = GetItems()->GetItem(i); item && Match(item))
            return item;
    }
    return nullptr;
}

TListItem* TCustomListView::FindCaption(int StartIndex, const AnsiString& Value, bool Partial, bool Inclusive,
                                        bool Wrap) const
{
    return FindItem(StartIndex, Inclusive, Wrap, [&](TListItem* item) {
        const AnsiString& caption = item->GetCaption();
        return Partial ? caption.size() >= Value.size() && CompareText(caption.substr(0, Value.size()), Value) == 0
                       : CompareText(caption, Value) == 0;
    });
}

int TCustomListView::StringWidth(const AnsiString& S) const
{
    return HandleAllocated() ? int(SendMessageA(WindowHandle, LVM_GETSTRINGWIDTHA, 0, LPARAM(S.c_str()))) : 0;
}

AnsiString TCustomListView::GetSearchString() const
{
    return HandleAllocated() ? ReadReportedText<AnsiString>(WindowHandle, LVM_GETISEARCHSTRINGA, &SendMessageA)
                             : AnsiString();
}

void TCustomListView::AddItem(const AnsiString& Item, TObject* AObject)
{
    TListItem* item = GetItems()->Add();
    item->SetCaption(Item);
    item->Data = AObject;
}

void TCustomListView::CopySelection(TCustomListControl* Destination)
{
    for (int i = 0; i < GetItems()->GetCount(); ++i)
        if (TListItem* item = GetItems()->GetItem(i); item && item->GetSelected())
            Destination->AddItem(item->GetCaption(), static_cast<TObject*>(item->Data));
}

void TCustomListView::Clear()
{
    GetItems()->Clear();
}

int TCustomListView::CompareItems(TListItem* Item1, TListItem* Item2, int Data)
{
    int result = 0;
    if (OnCompare)
        OnCompare(this, Item1, Item2, Data, result);
    else
        result = lstrcmpiA(Item1->GetCaption().c_str(), Item2->GetCaption().c_str());
    return result;
}

bool TCustomListView::CustomSort(TListSortCallback SortProc, LPARAM Data)
{
    TListSortCallback compare = SortProc ? SortProc : ListViewSortCallback;
    LPARAM data = SortProc ? Data : LPARAM(this);
    auto& items = GetItems()->FItems;
    std::stable_sort(items.begin(), items.end(),
                     [&](TListItem* a, TListItem* b) { return compare(LPARAM(a), LPARAM(b), data) < 0; });
    if (HandleAllocated())
        Perform(LVM_SORTITEMS, WPARAM(data), LPARAM(compare));
    return true;
}

bool TCustomListView::AlphaSort()
{
    return CustomSort(nullptr, 0);
}

bool TCustomListView::OwnerDataFetch(TListItem* Item, TItemRequest)
{
    if (!OnData)
        return false;
    OnData(this, Item);
    return true;
}

int TCustomListView::OwnerDataFind(int Find, const AnsiString& FindString, POINT FindPosition, void* FindData,
                                   int StartIndex, int Direction, bool Wrap)
{
    if (OnDataFind) {
        int index = -1;
        OnDataFind(this, Find, FindString, FindPosition, FindData, StartIndex, Direction, Wrap, index);
        return index;
    }
    TListItem* item = FindCaption(StartIndex, FindString, true, true, Wrap);
    return item ? int(reinterpret_cast<INT_PTR>(item->Data)) : -1;
}

void TCustomListView::DrawItem(TListItem* Item, RECT Rect, TOwnerDrawState State)
{
    if (OnDrawItem) {
        OnDrawItem(this, Item, Rect, State);
        return;
    }
    FCanvas->FillRect(Rect);
    FCanvas->TextOut(Rect.left + 2, Rect.top, Item->GetCaption());
}

bool TCustomListView::CanEdit(TListItem*)
{
    return !FReadOnly;
}

void TCustomListView::Edit(const LVITEMA& Item)
{
    if (!Item.pszText)
        return;
    TListItem* item = GetItems()->GetItem(Item.iItem);
    if (!item)
        return;
    AnsiString text = Item.pszText;
    OnEdited(this, item, text);
    item->SetCaption(text);
}

void TCustomListView::Change(TListItem* Item, TItemChangeKind Kind)
{
    if (!FRebuilding)
        OnChange(this, Item, Kind);
}

VCL_BEGIN_MESSAGE_MAP(TCustomListView)
    VCL_MESSAGE(CN_NOTIFY, CNNotify)
    VCL_MESSAGE(CN_DRAWITEM, CNDrawItem)
    VCL_MESSAGE(WM_NOTIFY, WMNotify)
VCL_END_MESSAGE_MAP(TCustomListControl)

void TCustomListView::WMNotify(TMessage& Message)
{
    TCustomListControl::Dispatch(Message);
    HWND header = HandleAllocated() ? HWND(SendMessageA(WindowHandle, LVM_GETHEADER, 0, 0)) : nullptr;
    if (header && reinterpret_cast<NMHDR*>(Message.LParam)->hwndFrom == header)
        HeaderNotify(Message);
}

// A column the user sizes keeps that width, also when the window is made again.
void TCustomListView::HeaderNotify(TMessage& Message)
{
    auto* notify = reinterpret_cast<NMHEADERA*>(Message.LParam);  // the same layout as the wide form up to pitem
    UINT code = notify->hdr.code;
    TListColumn* column = ColumnFromIndex(notify->iItem);
    if (!column)
        return;
    if (Is(code, HDN_TRACKA, HDN_TRACKW) || Is(code, HDN_ENDTRACKA, HDN_ENDTRACKW)) {
        if (notify->pitem && (notify->pitem->mask & HDI_WIDTH))
            column->FWidth = notify->pitem->cxy;
    } else if (Is(code, HDN_DIVIDERDBLCLICKA, HDN_DIVIDERDBLCLICKW)) {
        column->FWidth = int(SendMessageA(WindowHandle, LVM_GETCOLUMNWIDTH, WPARAM(notify->iItem), 0));
    }
}

void TCustomListView::CNDrawItem(TMessage& Message)
{
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    TListItem* item = GetItems()->GetItem(int(draw->itemID));
    Message.Result = 1;
    if (!item)
        return;
    TLentCanvas lent(FCanvas, draw->hDC);
    FCanvas->GetFont()->Assign(FFont);
    TOwnerDrawState state = OwnerDrawStateOf(draw->itemState);
    FCanvas->GetBrush()->SetColor(state.Contains(odSelected) ? clHighlight : FColor);
    FCanvas->GetFont()->SetColor(state.Contains(odSelected) ? clHighlightText : FFont->GetColor());
    DrawItem(item, draw->rcItem, state);
}

void TCustomListView::CNNotify(TMessage& Message)
{
    auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    UINT code = header->code;
    Message.Result = 0;
    if (Is(code, LVN_GETDISPINFOA, LVN_GETDISPINFOW)) {
        auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
        TListItem* item = FOwnerData ? GetItems()->GetItem(info->item.iItem) : ItemOfParam(info->item.lParam);
        if (!item)
            return;
        if (info->item.mask & LVIF_TEXT) {
            int sub = info->item.iSubItem;
            AnsiString text = sub == 0 ? item->GetCaption()
                                       : (sub - 1 < item->FSubItems->GetCount() ? item->FSubItems->Get(sub - 1) : "");
            CopyDisplayText(text, info->item.pszText, info->item.cchTextMax, code == UINT(LVN_GETDISPINFOW));
        }
        if (info->item.mask & LVIF_IMAGE)
            info->item.iImage = item->FImageIndex;
        if (info->item.mask & LVIF_INDENT)
            info->item.iIndent = item->FIndent;
        return;
    }
    if (Is(code, LVN_ODFINDITEMA, LVN_ODFINDITEMW)) {
        auto* find = reinterpret_cast<NMLVFINDITEMA*>(header);
        AnsiString text;
        if (find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) {
            if (code == UINT(LVN_ODFINDITEMA))
                text = find->lvfi.psz ? find->lvfi.psz : "";
            else if (auto* w = reinterpret_cast<NMLVFINDITEMW*>(header); w->lvfi.psz)
                text = WideToAnsi(w->lvfi.psz);
        }
        Message.Result = OwnerDataFind(int(find->lvfi.flags), text, find->lvfi.pt,
                                       reinterpret_cast<void*>(find->lvfi.lParam), find->iStart,
                                       int(find->lvfi.vkDirection), (find->lvfi.flags & LVFI_WRAP) != 0);
        return;
    }
    if (Is(code, LVN_GETINFOTIPA, LVN_GETINFOTIPW)) {
        auto* tip = reinterpret_cast<NMLVGETINFOTIPA*>(header);
        TListItem* item = GetItems()->GetItem(tip->iItem);
        if (!item || !OnInfoTip)
            return;
        AnsiString text;
        OnInfoTip(this, item, text);
        CopyDisplayText(text, tip->pszText, tip->cchTextMax, code == UINT(LVN_GETINFOTIPW));
        return;
    }
    if (code == UINT(LVN_ITEMCHANGED)) {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (change->uChanged & LVIF_STATE) {
            TListItem* item = FOwnerData ? GetItems()->GetItem(change->iItem) : ItemOfParam(change->lParam);
            Change(item, ctState);
        }
        return;
    }
    if (code == UINT(LVN_DELETEITEM))
        return;  // the item objects are the library's
    if (code == UINT(LVN_COLUMNCLICK)) {
        OnColumnClick(this, reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
        return;
    }
    if (Is(code, LVN_BEGINLABELEDITA, LVN_BEGINLABELEDITW)) {
        auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
        Message.Result = !CanEdit(GetItems()->GetItem(info->item.iItem));
        return;
    }
    if (code == UINT(LVN_ENDLABELEDITA)) {
        Edit(reinterpret_cast<NMLVDISPINFOA*>(header)->item);
        return;
    }
    if (code == UINT(LVN_ENDLABELEDITW)) {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
        LVITEMA item{};
        item.iItem = info->item.iItem;
        AnsiString text;
        if (info->item.pszText) {
            text = WideToAnsi(info->item.pszText);
            item.pszText = text.data();
        }
        Edit(item);
        return;
    }
    if (code == UINT(NM_CLICK)) {
        Click();
        return;
    }
    if (code == UINT(NM_DBLCLK)) {
        DblClick();
        return;
    }
}

}  // namespace vcl
