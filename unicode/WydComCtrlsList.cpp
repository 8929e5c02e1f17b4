// The wide list view. Every item keeps a wide caption and wide sub-items beside the class library's ANSI ones
// (a wide text counts while its ANSI form is what the class library holds); the window asks for texts by
// callback, and on NT the wide notifications are answered with the wide texts.
#include "WydComCtrls.h"

#include <cstring>

#include "WydGraphics.h"
#include "WydSysUtils.h"

using namespace vcl;

VCL_IMPLEMENT_CLASS(TWydListColumn, TListColumn, {
    m.Publish("Caption", &TWydListColumn::GetCaption, &TWydListColumn::SetCaption);
})
VCL_IMPLEMENT_CLASS(TWydListColumns, TListColumns)
VCL_IMPLEMENT_CLASS(TWideSubItems, TWydStringList)
VCL_IMPLEMENT_CLASS(TWydListItem, TListItem)
VCL_IMPLEMENT_CLASS(TWydListItems, TListItems)
VCL_IMPLEMENT_CLASS(TWydCustomListView, TCustomListView)
VCL_IMPLEMENT_CLASS(TWydListView, TWydCustomListView, {
    PublishListViewProperties(m);
    m.Publish("Hint", &TWydListView::GetHint, &TWydListView::SetHint).Stored(&TWydListView::IsHintStored);
})

// =============================================================================================
// Columns

void TWydListColumn::Assign(TPersistent* source)
{
    if (auto* column = dynamic_cast<TWydListColumn*>(source))
        caption_ = column->GetCaption();  // first, so the window gets it with the inherited update
    TListColumn::Assign(source);
}

void TWydListColumn::SetCaption(const WideString& value)
{
    SetSyncedWideString(value, caption_, TListColumn::GetCaption(),
                        [this](const AnsiString& s) { SetInheritedCaption(s); });
}

TWydListColumns::TWydListColumns(TCustomListView* owner) : TListColumns(owner, TWydListColumn::StaticClass()) {}

TWydCustomListView* TWydListColumns::Owner() const
{
    return dynamic_cast<TWydCustomListView*>(GetListView());
}

// =============================================================================================
// Sub-items

void TWideSubItems::Changed()
{
    TWydStringList::Changed();
    if (readingAnsi_ || GetUpdateCount() > 0)
        return;
    TScopedValue<bool> passing(readingAnsi_, true);  // the ANSI list's echo is not read back
    ansi_->BeginUpdate();
    ansi_->Clear();
    for (int i = 0; i < GetCount(); ++i)
        ansi_->AddObject(WideToAnsi(Get(i)), GetObject(i));
    ansi_->EndUpdate();
}

void TWideSubItems::ReadAnsi()
{
    if (readingAnsi_)
        return;
    std::vector<WideString> texts;
    for (int i = 0; i < ansi_->GetCount(); ++i) {
        AnsiString ansi = ansi_->Get(i);
        texts.push_back(i < GetCount() && WideToAnsi(Get(i)) == ansi ? Get(i) : AnsiToWide(ansi));
    }
    TScopedValue<bool> reading(readingAnsi_, true);
    vcl::TUpdateScope<TWideStrings> update(this);
    Clear();
    for (size_t i = 0; i < texts.size(); ++i)
        AddObject(texts[i], ansi_->GetObject(int(i)));
}

// =============================================================================================
// Items

TWydListItem::TWydListItem(TListItems* owner)
    : TListItem(owner), subItems_(new TWideSubItems(this, TListItem::GetSubItems()))
{
}

TWydListItem::~TWydListItem()
{
    delete subItems_;
}

void TWydListItem::Assign(TPersistent* source)
{
    auto* item = dynamic_cast<TWydListItem*>(source);
    if (!item) {
        TListItem::Assign(source);
        return;
    }
    SetCaption(item->GetCaption());
    Data = item->Data;
    SetImageIndex(item->GetImageIndex());
    SetIndent(item->GetIndent());
    SetOverlayIndex(item->GetOverlayIndex());
    SetStateIndex(item->GetStateIndex());
    subItems_->Assign(item->subItems_);
    SetChecked(item->GetChecked());
}

void TWydListItem::SetCaption(const WideString& value)
{
    SetSyncedWideString(value, caption_, TListItem::GetCaption(),
                        [this](const AnsiString& s) { SetInheritedCaption(s); });
}

void TWydListItem::SetSubItems(TWideStrings* value)
{
    if (value)
        subItems_->Assign(value);
}

TWydCustomListView* TWydListItem::GetListView() const
{
    return dynamic_cast<TWydCustomListView*>(TListItem::GetListView());
}

TWydListItems* TWydListItem::GetWydOwner() const
{
    return dynamic_cast<TWydListItems*>(GetOwner());
}

// The sub-items changed on the ANSI side (by the class library, or through the ANSI list): the wide ones follow.
void TWydListItem::SubItemsChanged(TObject* sender)
{
    if (subItems_)
        subItems_->ReadAnsi();
    TListItem::SubItemsChanged(sender);
}

TWydListItem* TWydListItems::AddItem(TWydListItem* item, int index)
{
    TWydListItem* added = index < 0 ? Add() : Insert(index);
    if (item)
        added->Assign(item);
    return added;
}

void TWydListItems::SetItem(int index, TWydListItem* value)
{
    if (TWydListItem* item = GetItem(index))
        item->Assign(value);
}

TWydCustomListView* TWydListItems::Owner() const
{
    return dynamic_cast<TWydCustomListView*>(GetOwner());
}

// =============================================================================================
// The view

TWydCustomListView::TWydCustomListView(TComponent* owner)
    : TCustomListView(owner), editHook_(this, [this](TMessage& m) { return RouteLabelEditKey(this, m); })
{
}

TListItem* TWydCustomListView::CreateListItem()
{
    return NewListItem(ChosenWideClass<TWydListItem, TListItemClasses>(
        this, OnCreateItemClass, "Internal Error: OnCreateItemClass.ItemClass must inherit from TWydListItem."));
}

TListItems* TWydCustomListView::CreateListItems()
{
    return new TWydListItems(this);
}

TListColumns* TWydCustomListView::CreateListColumns()
{
    return new TWydListColumns(this);
}

void TWydCustomListView::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle_ComCtl(this, params, L"SysListView32");
}

void TWydCustomListView::SetItems(TWydListItems* value)
{
    TWydListItems* items = GetItems();
    TUpdateScope<TListItems> update(items);
    items->Clear();
    for (int i = 0; value && i < value->GetCount(); ++i)
        items->AddItem(value->GetItem(i));
}

TWydListColumn* TWydCustomListView::ColumnFromIndex(int index) const
{
    return static_cast<TWydListColumn*>(TCustomListView::ColumnFromIndex(index));
}

TWydListColumn* TWydCustomListView::GetColumnFromTag(int tag) const
{
    return static_cast<TWydListColumn*>(TCustomListView::GetColumnFromTag(tag));
}

TWydListItem* TWydCustomListView::GetItemW(const LVITEMW& item) const
{
    if (item.mask & LVIF_PARAM)
        return Typed(reinterpret_cast<TListItem*>(item.lParam));
    if (item.iItem < 0)
        return GetOwnerData() ? Typed(GetOwnerDataItem()) : nullptr;
    return GetItems()->GetItem(item.iItem);
}

void TWydCustomListView::AddItem(const WideString& item, TObject* object)
{
    TWydListItem* added = GetItems()->Add();
    added->SetCaption(item);
    added->Data = object;
}

void TWydCustomListView::CopySelection(TCustomListControl* destination)
{
    for (int i = 0; i < GetItems()->GetCount(); ++i)
        if (TWydListItem* item = GetItems()->GetItem(i); item && item->GetSelected())
            WideListControl_AddItem(destination, item->GetCaption(), static_cast<TObject*>(item->Data));
}

TWydListItem* TWydCustomListView::FindCaption(int startIndex, const WideString& value, bool partial, bool inclusive,
                                              bool wrap) const
{
    if (!Win32PlatformIsUnicode)
        return Typed(TCustomListView::FindCaption(startIndex, WideToAnsi(value), partial, inclusive, wrap));
    return Typed(FindItem(startIndex, inclusive, wrap, [&](TListItem* item) {
        WideString caption = Typed(item)->GetCaption();
        if (partial)
            caption = caption.substr(0, value.size());
        return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, caption.c_str(), int(caption.size()),
                              value.c_str(), int(value.size())) == CSTR_EQUAL;
    }));
}

int TWydCustomListView::StringWidth(const WideString& s) const
{
    if (!Win32PlatformIsUnicode || !HandleAllocated())
        return TCustomListView::StringWidth(WideToAnsi(s));
    return int(SendMessageW(WindowHandle, LVM_GETSTRINGWIDTHW, 0, LPARAM(s.c_str())));
}

WideString TWydCustomListView::GetSearchString() const
{
    if (!Win32PlatformIsUnicode || !HandleAllocated())
        return AnsiToWide(TCustomListView::GetSearchString());
    return ReadReportedText<WideString>(WindowHandle, LVM_GETISEARCHSTRINGW, &SendMessageW);
}

int TWydCustomListView::OwnerDataFind(int find, const WideString& findString, POINT findPosition, void* findData,
                                      int startIndex, int direction, bool wrap)
{
    if (!OnDataFind)
        return TCustomListView::OwnerDataFind(find, WideToAnsi(findString), findPosition, findData, startIndex,
                                              direction, wrap);
    int index = -1;
    OnDataFind(this, find, findString, findPosition, findData, startIndex, direction, wrap, index);
    return index;
}

int TWydCustomListView::OwnerDataFind(int find, const AnsiString& findString, POINT findPosition, void* findData,
                                      int startIndex, int direction, bool wrap)
{
    return OwnerDataFind(find, AnsiToWide(findString), findPosition, findData, startIndex, direction, wrap);
}

int TWydCustomListView::CompareItems(TListItem* item1, TListItem* item2, int data)
{
    if (TCustomListView::OnCompare || !Win32PlatformIsUnicode)
        return TCustomListView::CompareItems(item1, item2, data);
    return lstrcmpW(Typed(item1)->GetCaption().c_str(), Typed(item2)->GetCaption().c_str());
}

void TWydCustomListView::DrawItem(TListItem* item, RECT rect, TOwnerDrawState state)
{
    if (OnDrawItem) {
        TCustomListView::DrawItem(item, rect, state);
        return;
    }
    WideCanvasItemText(GetCanvas(), rect, Typed(item)->GetCaption());
}

void TWydCustomListView::Edit(const LVITEMA& item)
{
    if (item.pszText)
        if (TWydListItem* target = GetItems()->GetItem(item.iItem))
            EditText(target, SyncedWideText(target->GetCaption(), item.pszText));
}

void TWydCustomListView::EditText(TWydListItem* item, const WideString& text)
{
    item->SetCaption(EditedText(this, item, text, OnEdited, TCustomListView::OnEdited));
}

VCL_BEGIN_MESSAGE_MAP(TWydCustomListView)
    VCL_MESSAGE(CN_NOTIFY, CNNotify)
VCL_END_MESSAGE_MAP(TCustomListView)

// On NT the column captions go to the window wide.
void TWydCustomListView::WndProc(TMessage& message)
{
    // Check boxes come with images and tips in the sub-items too.
    if (message.Msg == LVM_SETEXTENDEDLISTVIEWSTYLE && GetCheckboxes())
        message.LParam |= LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP;
    if (Win32PlatformIsUnicode && (message.Msg == LVM_SETCOLUMNA || message.Msg == LVM_INSERTCOLUMNA) &&
        SetColumnW(message))
        return;
    TCustomListView::WndProc(message);
}

bool TWydCustomListView::SetColumnW(TMessage& message)
{
    const auto* column = reinterpret_cast<const LVCOLUMNA*>(message.LParam);
    if (!column || !(column->mask & LVCF_TEXT) || !column->pszText || column->pszText == LPSTR_TEXTCALLBACKA)
        return false;
    TWydListColumn* own = ColumnFromIndex(int(message.WParam));
    WideString text = own && own->TListColumn::GetCaption() == column->pszText ? own->GetCaption()
                                                                                : AnsiToWide(column->pszText);
    static_assert(sizeof(LVCOLUMNA) == sizeof(LVCOLUMNW), "the two forms differ only in the text's type");
    LVCOLUMNW wide;
    std::memcpy(&wide, column, sizeof wide);
    wide.pszText = text.data();
    TMessage sent{message.Msg == LVM_SETCOLUMNA ? UINT(LVM_SETCOLUMNW) : UINT(LVM_INSERTCOLUMNW), message.WParam,
                  LPARAM(&wide), 0};
    TCustomListView::WndProc(sent);
    message.Result = sent.Result;
    return true;
}

void TWydCustomListView::CNNotify(TMessage& message)
{
    auto* header = reinterpret_cast<NMHDR*>(message.LParam);
    if (Win32PlatformIsUnicode) {
        switch (header->code) {
        case LVN_GETDISPINFOW:
            GetDisplayInfoW(reinterpret_cast<NMLVDISPINFOW*>(header));
            return;
        case LVN_ODFINDITEMW: {
            auto* find = reinterpret_cast<NMLVFINDITEMW*>(header);
            WideString text = (find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) && find->lvfi.psz
                                  ? WideString(find->lvfi.psz)
                                  : WideString();
            message.Result = OwnerDataFind(int(find->lvfi.flags), text, find->lvfi.pt,
                                           reinterpret_cast<void*>(find->lvfi.lParam), find->iStart,
                                           int(find->lvfi.vkDirection), (find->lvfi.flags & LVFI_WRAP) != 0);
            return;
        }
        case LVN_BEGINLABELEDITW: {
            TWydListItem* item = GetItemW(reinterpret_cast<NMLVDISPINFOW*>(header)->item);
            message.Result = !CanEdit(item);
            if (!message.Result)
                editHook_.Attach(HWND(SendMessageW(WindowHandle, LVM_GETEDITCONTROL, 0, 0)));
            return;
        }
        case LVN_ENDLABELEDITW: {
            const LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
            if (item.pszText && item.iItem != -1)
                if (TWydListItem* target = GetItemW(item))
                    EditText(target, item.pszText);
            return;
        }
        default:
            break;
        }
    }
    TCustomListView::Dispatch(message);
}

// Texts, images and indents of an item the window shows: sub-item k is the wide sub-item k-1 (empty past the end).
void TWydCustomListView::GetDisplayInfoW(NMLVDISPINFOW* info)
{
    LVITEMW& record = info->item;
    TWydListItem* item = GetOwnerData() ? GetItems()->GetItem(record.iItem)
                                        : Typed(reinterpret_cast<TListItem*>(record.lParam));
    if (!item)
        return;
    if (record.mask & LVIF_TEXT) {
        int sub = record.iSubItem;
        TWideSubItems* subItems = item->GetSubItems();
        WideString text = sub == 0 ? item->GetCaption() : sub - 1 < subItems->GetCount() ? subItems->Get(sub - 1) : L"";
        CopyDisplayText(text, record.pszText, record.cchTextMax);
    }
    if (record.mask & LVIF_IMAGE)
        record.iImage = item->GetImageIndex();
    if (record.mask & LVIF_INDENT)
        record.iIndent = item->GetIndent();
}
