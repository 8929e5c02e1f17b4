// The extended combo box: items with images and indentation, kept in a collection that outlives the window.
#include "ComCtrls.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TComboExItem, TCollectionItem, {
    m.Publish("Caption", &TComboExItem::GetCaption, &TComboExItem::SetCaption);
    m.Publish("ImageIndex", &TComboExItem::GetImageIndex, &TComboExItem::SetImageIndex).WithDefault(-1);
    m.Publish("SelectedImageIndex", &TComboExItem::GetSelectedImageIndex, &TComboExItem::SetSelectedImageIndex)
        .WithDefault(-1);
    m.Publish("OverlayImageIndex", &TComboExItem::GetOverlayImageIndex, &TComboExItem::SetOverlayImageIndex)
        .WithDefault(-1);
    m.Publish("Indent", &TComboExItem::GetIndent, &TComboExItem::SetIndent).WithDefault(0);
})
VCL_IMPLEMENT_CLASS(TComboExItems, TCollection)
VCL_IMPLEMENT_CLASS(TComboBoxExActionLink, TWinControlActionLink)
VCL_IMPLEMENT_CLASS(TCustomComboBoxEx, TCustomListControl)
VCL_IMPLEMENT_CLASS(TComboBoxEx, TCustomComboBoxEx, {
    m.Publish("Style", &TComboBoxEx::GetStyle, &TComboBoxEx::SetStyle)
        .WithNames({"csExDropDown", "csExSimple", "csExDropDownList"})
        .WithDefault(0);
    m.Publish("Images", &TComboBoxEx::GetImages, &TComboBoxEx::SetImages);
    m.Publish("DropDownCount", &TComboBoxEx::GetDropDownCount, &TComboBoxEx::SetDropDownCount).WithDefault(8);
    m.PublishReadOnly("ItemsEx", &TComboBoxEx::GetItemsEx);
    m.Publish("ItemIndex", &TComboBoxEx::GetItemIndex, &TComboBoxEx::SetItemIndex).WithDefault(-1);
    m.Publish("Text", &TComboBoxEx::GetTextProp, &TComboBoxEx::SetText);
    m.Publish("OnChange", &TComboBoxEx::GetOnChange, &TComboBoxEx::SetOnChange);
    m.Publish("OnSelect", &TComboBoxEx::GetOnSelect, &TComboBoxEx::SetOnSelect);
})

// ---- items -------------------------------------------------------------------------------------

TComboExItem::TComboExItem(TCollection* ACollection) : TCollectionItem(ACollection) {}

void TComboExItem::Assign(TPersistent* Source)
{
    auto* item = dynamic_cast<TComboExItem*>(Source);
    if (!item) {
        TCollectionItem::Assign(Source);
        return;
    }
    FCaption = item->FCaption;
    FImageIndex = item->FImageIndex;
    FSelectedImageIndex = item->FSelectedImageIndex;
    FOverlayImageIndex = item->FOverlayImageIndex;
    FIndent = item->FIndent;
    Data = item->Data;
    Changed(false);
}

void TComboExItem::SetCaption(const AnsiString& Value)
{
    if (FCaption != Value) {
        FCaption = Value;
        Changed(false);
    }
}

void TComboExItem::Set(int& Field, int Value)
{
    if (Field != Value) {
        Field = Value;
        Changed(false);
    }
}

void TComboExItem::SetImageIndex(int Value) { Set(FImageIndex, Value); }
void TComboExItem::SetSelectedImageIndex(int Value) { Set(FSelectedImageIndex, Value); }
void TComboExItem::SetOverlayImageIndex(int Value) { Set(FOverlayImageIndex, Value); }
void TComboExItem::SetIndent(int Value) { Set(FIndent, Value); }

TComboExItems::TComboExItems(TCustomComboBoxEx* AOwner)
    : TCollection(TComboExItem::StaticClass()), FComboBox(AOwner)
{
}

TComboExItem* TComboExItems::AddItem(const AnsiString& Caption, int ImageIndex, int SelectedImageIndex,
                                     int OverlayImageIndex, int Indent, void* Data)
{
    BeginUpdate();
    struct End {
        TComboExItems* items;
        ~End() { items->EndUpdate(); }
    } end{this};
    TComboExItem* item = Add();
    item->SetCaption(Caption);
    item->SetImageIndex(ImageIndex);
    item->SetSelectedImageIndex(SelectedImageIndex);
    item->SetOverlayImageIndex(OverlayImageIndex);
    item->SetIndent(Indent);
    item->Data = Data;
    return item;
}

TPersistent* TComboExItems::GetOwner()
{
    return FComboBox;
}

void TComboExItems::Update(TCollectionItem*)
{
    if (FComboBox)
        FComboBox->UpdateItems();
}

// ---- combo box ---------------------------------------------------------------------------------

TCustomComboBoxEx::TCustomComboBoxEx(TComponent* AOwner)
    : TCustomListControl(AOwner), FItemsEx(new TComboExItems(this))
{
    FWidth = 145;
    FHeight = 22;
    FTabStop = true;
    FColor = clWindow;
    ControlStyle >> csSetCaption;
}

TCustomComboBoxEx::~TCustomComboBoxEx()
{
    delete FItemsEx;
}

void TCustomComboBoxEx::CreateParams(TCreateParams& Params)
{
    static const DWORD styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST};
    TCustomListControl::CreateParams(Params);
    CreateSubClass(Params, WC_COMBOBOXEXA);
    Params.Style |= WS_VSCROLL | styles[int(FStyle)];
    // The drop-down list is part of the window's height.
    if (FStyle != TComboBoxExStyle::csExSimple)
        Params.Height = FHeight + FDropDownCount * 18 + 2;
}

void TCustomComboBoxEx::CreateWnd()
{
    AnsiString text = FText;
    TCustomListControl::CreateWnd();
    if (FImages)
        Perform(CBEM_SETIMAGELIST, 0, LPARAM(FImages->GetHandle()));
    UpdateItems();
    if (FStyle != TComboBoxExStyle::csExDropDownList && FItemIndex < 0)
        SetText(text);
}

void TCustomComboBoxEx::DestroyWnd()
{
    FItemIndex = GetItemIndex();
    TCustomListControl::DestroyWnd();
}

void TCustomComboBoxEx::UpdateItems()
{
    if (!HandleAllocated() || FItemsEx->GetUpdateCount() > 0)
        return;
    int selected = GetItemIndex();
    if (selected < 0)
        selected = FItemIndex;
    Perform(WM_SETREDRAW, FALSE);
    Perform(CB_RESETCONTENT);
    for (int i = 0; i < FItemsEx->GetCount(); ++i) {
        TComboExItem* item = FItemsEx->GetItem(i);
        AnsiString caption = item->GetCaption();
        COMBOBOXEXITEMA entry{};
        entry.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_OVERLAY | CBEIF_INDENT | CBEIF_LPARAM;
        entry.iItem = i;
        entry.pszText = const_cast<char*>(caption.c_str());
        entry.iImage = item->GetImageIndex();
        entry.iSelectedImage = item->GetSelectedImageIndex();
        entry.iOverlay = item->GetOverlayImageIndex();
        entry.iIndent = item->GetIndent();
        entry.lParam = LPARAM(item);
        if (Perform(CBEM_INSERTITEMA, 0, LPARAM(&entry)) < 0)
            throw EOutOfResources("Unable to insert an item");
    }
    Perform(WM_SETREDRAW, TRUE);
    if (selected >= 0 && selected < FItemsEx->GetCount())
        Perform(CB_SETCURSEL, WPARAM(selected));
    Invalidate();
}

void TCustomComboBoxEx::SetImages(TCustomImageList* Value)
{
    SetComponentReference(this, FImages, Value);
    if (HandleAllocated())
        Perform(CBEM_SETIMAGELIST, 0, LPARAM(Value ? Value->GetHandle() : nullptr));
}

void TCustomComboBoxEx::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomListControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) {
        FImages = nullptr;
        if (HandleAllocated() && !GetComponentState().Contains(csDestroying))
            Perform(CBEM_SETIMAGELIST, 0, 0);
    }
}

void TCustomComboBoxEx::SetStyle(TComboBoxExStyle Value)
{
    SetWindowStyleProperty(this, FStyle, Value);
}

void TCustomComboBoxEx::SetDropDownCount(int Value)
{
    if (Value > 0 && FDropDownCount != Value) {
        FDropDownCount = Value;
        RecreateWnd();
    }
}

int TCustomComboBoxEx::GetItemIndex() const
{
    return HandleAllocated() ? int(SendMessageA(WindowHandle, CB_GETCURSEL, 0, 0)) : FItemIndex;
}

void TCustomComboBoxEx::SetItemIndex(int Value)
{
    FItemIndex = Value >= 0 && Value < FItemsEx->GetCount() ? Value : -1;
    if (HandleAllocated())
        Perform(CB_SETCURSEL, WPARAM(FItemIndex));
}

void TCustomComboBoxEx::AddItem(const AnsiString& Item, TObject* AObject)
{
    FItemsEx->AddItem(Item, -1, -1, -1, 0, AObject);
}

void TCustomComboBoxEx::CopySelection(TCustomListControl* Destination)
{
    int index = GetItemIndex();
    if (Destination && index >= 0) {
        TComboExItem* item = FItemsEx->GetItem(index);
        Destination->AddItem(item->GetCaption(), static_cast<TObject*>(item->Data));
    }
}

void TCustomComboBoxEx::Clear()
{
    FItemIndex = -1;
    FItemsEx->Clear();
    SetText("");
}

void TCustomComboBoxEx::Change()
{
    OnChange(this);
}

void TCustomComboBoxEx::Select()
{
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

VCL_BEGIN_MESSAGE_MAP(TCustomComboBoxEx)
    VCL_MESSAGE(CN_COMMAND, CNCommand)
VCL_END_MESSAGE_MAP(TCustomListControl)

void TCustomComboBoxEx::CNCommand(TMessage& Message)
{
    switch (HIWORD(Message.WParam)) {
    case CBN_SELCHANGE:
        FItemIndex = GetItemIndex();
        Click();
        Select();
        break;
    case CBN_EDITCHANGE:
        Change();
        break;
    default:
        break;
    }
}

// ---- registration ------------------------------------------------------------------------------

void RegisterExtendedCommonControls()
{
    RegisterClasses({TTrackBar::StaticClass(), TUpDown::StaticClass(), TPageScroller::StaticClass(),
                     TDateTimePicker::StaticClass(), TMonthCalendar::StaticClass(), TComboBoxEx::StaticClass()});
}

}  // namespace vcl
