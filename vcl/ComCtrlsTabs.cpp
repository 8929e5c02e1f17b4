// Tab control and page control with its tab sheets.
#include "ComCtrls.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "Forms.h"

namespace vcl {

namespace {
bool IsLoading(const TComponent* c) { return c->GetComponentState().Contains(csLoading); }
bool IsDestroying(const TComponent* c) { return c->GetComponentState().Contains(csDestroying); }
}  // namespace

VCL_IMPLEMENT_CLASS(TTabStrings, TStrings)
VCL_IMPLEMENT_CLASS(TCustomTabControl, TWinControl)
VCL_IMPLEMENT_CLASS(TTabControl, TCustomTabControl, {
    m.PublishReadOnly("Tabs", &TTabControl::GetTabs);
    m.Publish("TabIndex", &TTabControl::GetTabIndex, &TTabControl::SetTabIndex).WithDefault(-1);
    m.Publish("MultiLine", &TTabControl::GetMultiLine, &TTabControl::SetMultiLine).WithDefault(0);
})
VCL_IMPLEMENT_CLASS(TTabSheet, TWinControl, {
    m.Publish("Caption", &TTabSheet::GetTextProp, &TTabSheet::SetText);
    m.Publish("TabVisible", &TTabSheet::GetTabVisible, &TTabSheet::SetTabVisible).WithDefault(1);
    m.Publish("ImageIndex", &TTabSheet::GetImageIndex, &TTabSheet::SetImageIndex).WithDefault(-1);
})
VCL_IMPLEMENT_CLASS(TPageControl, TCustomTabControl, {
    m.Publish("ActivePage", &TPageControl::GetActivePage, &TPageControl::SetActivePage);
    m.Publish("MultiLine", &TPageControl::GetMultiLine, &TPageControl::SetMultiLine).WithDefault(0);
})

// =============================================================================================
// TTabStrings: the tabs are on the window; the control keeps them while it has none.

AnsiString TTabStrings::Get(int Index) const
{
    if (!FTabControl->HandleAllocated())
        return FTabControl->FSavedTabs->Get(Index);
    char buffer[4096] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    if (!FTabControl->Perform(TCM_GETITEMA, WPARAM(Index), LPARAM(&item)))
        throw EListError("Failed to retrieve tab at index " + std::to_string(Index));
    return item.pszText ? AnsiString(item.pszText) : AnsiString();
}

int TTabStrings::GetCount() const
{
    if (!FTabControl->HandleAllocated())
        return FTabControl->FSavedTabs->GetCount();
    return int(FTabControl->Perform(TCM_GETITEMCOUNT));
}

TObject* TTabStrings::GetObject(int Index) const
{
    if (!FTabControl->HandleAllocated())
        return FTabControl->FSavedTabs->GetObject(Index);
    TCITEMA item{};
    item.mask = TCIF_PARAM;
    if (!FTabControl->Perform(TCM_GETITEMA, WPARAM(Index), LPARAM(&item)))
        throw EListError("Failed to retrieve tab at index " + std::to_string(Index));
    return reinterpret_cast<TObject*>(item.lParam);
}

void TTabStrings::Put(int Index, const AnsiString& S)
{
    if (!FTabControl->HandleAllocated()) {
        FTabControl->FSavedTabs->Put(Index, S);
        return;
    }
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(S.c_str());
    if (!FTabControl->Perform(TCM_SETITEMA, WPARAM(Index), LPARAM(&item)))
        throw EListError("Failed to set tab \"" + S + "\" at index " + std::to_string(Index));
    FTabControl->Realign();
}

void TTabStrings::PutObject(int Index, TObject* Object)
{
    if (!FTabControl->HandleAllocated()) {
        FTabControl->FSavedTabs->PutObject(Index, Object);
        return;
    }
    TCITEMA item{};
    item.mask = TCIF_PARAM;
    item.lParam = LPARAM(Object);
    if (!FTabControl->Perform(TCM_SETITEMA, WPARAM(Index), LPARAM(&item)))
        throw EListError("Failed to set object at index " + std::to_string(Index));
}

void TTabStrings::Insert(int Index, const AnsiString& S)
{
    if (!FTabControl->HandleAllocated()) {
        FTabControl->FSavedTabs->Insert(Index, S);
        return;
    }
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = const_cast<char*>(S.c_str());
    item.iImage = FTabControl->GetImageIndex(Index);
    if (FTabControl->Perform(TCM_INSERTITEMA, WPARAM(Index), LPARAM(&item)) < 0)
        throw EListError("Failed to set tab \"" + S + "\" at index " + std::to_string(Index));
    FTabControl->Realign();
}

void TTabStrings::Delete(int Index)
{
    if (!FTabControl->HandleAllocated()) {
        FTabControl->FSavedTabs->Delete(Index);
        return;
    }
    if (!FTabControl->Perform(TCM_DELETEITEM, WPARAM(Index), 0))
        throw EListError("Failed to delete tab at index " + std::to_string(Index));
    FTabControl->Realign();
}

void TTabStrings::Clear()
{
    if (!FTabControl->HandleAllocated()) {
        FTabControl->FSavedTabs->Clear();
        return;
    }
    FTabControl->Perform(TCM_DELETEALLITEMS);
    FTabControl->Realign();
}

void TTabStrings::SetUpdateState(bool Updating)
{
    if (FTabControl->HandleAllocated()) {
        FTabControl->Perform(WM_SETREDRAW, !Updating, 0);
        if (!Updating) {
            FTabControl->Invalidate();
            FTabControl->Realign();
        }
    }
}

// =============================================================================================
// TCustomTabControl

TCustomTabControl::TCustomTabControl(TComponent* AOwner)
    : TWinControl(AOwner), FSavedTabs(new TStringList), FTabs(new TTabStrings(this))
{
    ControlStyle << csAcceptsControls << csDoubleClicks;
    FWidth = 289;
    FHeight = 193;
    FTabStop = true;
    FColor = clBtnFace;
}

TCustomTabControl::~TCustomTabControl()
{
    Destroying();
    DestroyHandle();
    delete FTabs;
    delete FSavedTabs;
}

void TCustomTabControl::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, WC_TABCONTROLA);
    Params.Style |= WS_CLIPCHILDREN | (FMultiLine ? TCS_MULTILINE : 0);
    Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTabControl::CreateWnd()
{
    TWinControl::CreateWnd();
    for (int i = 0; i < FSavedTabs->GetCount(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_PARAM | TCIF_IMAGE;
        AnsiString text = FSavedTabs->Get(i);
        item.pszText = text.data();
        item.lParam = LPARAM(FSavedTabs->GetObject(i));
        item.iImage = GetImageIndex(i);
        Perform(TCM_INSERTITEMA, WPARAM(i), LPARAM(&item));
    }
    FSavedTabs->Clear();
    if (FSavedTabIndex >= 0)
        Perform(TCM_SETCURSEL, WPARAM(FSavedTabIndex), 0);
    FSavedTabIndex = -1;
    Realign();
}

void TCustomTabControl::DestroyWnd()
{
    FSavedTabs->Clear();
    int count = int(Perform(TCM_GETITEMCOUNT));
    for (int i = 0; i < count; ++i)
        FSavedTabs->AddObject(FTabs->Get(i), FTabs->GetObject(i));
    FSavedTabIndex = int(Perform(TCM_GETCURSEL));
    TWinControl::DestroyWnd();
}

VCL_BEGIN_MESSAGE_MAP(TCustomTabControl)
    VCL_MESSAGE(CN_NOTIFY, CNNotify)
    VCL_MESSAGE(WM_SIZE, WMSize)
VCL_END_MESSAGE_MAP(TWinControl)

int TCustomTabControl::GetTabIndex() const
{
    return HandleAllocated() ? int(SendMessageA(WindowHandle, TCM_GETCURSEL, 0, 0)) : FSavedTabIndex;
}

void TCustomTabControl::SetTabIndex(int Value)
{
    if (!HandleAllocated()) {
        FSavedTabIndex = Value;
        return;
    }
    Perform(TCM_SETCURSEL, WPARAM(Value), 0);
}

void TCustomTabControl::SetMultiLine(bool Value)
{
    if (FMultiLine != Value) {
        FMultiLine = Value;
        RecreateWnd();
    }
}

RECT TCustomTabControl::GetDisplayRect() const
{
    RECT r = TWinControl::GetClientRect();
    if (HandleAllocated())
        SendMessageA(WindowHandle, TCM_ADJUSTRECT, FALSE, LPARAM(&r));
    else
        InflateRect(&r, -4, -4), r.top += 20;
    return r;
}

RECT TCustomTabControl::GetClientRect() const
{
    return GetDisplayRect();
}

bool TCustomTabControl::CanChange()
{
    bool allow = true;
    OnChanging(this, allow);
    return allow;
}

void TCustomTabControl::Change()
{
    OnChange(this);
}

bool TCustomTabControl::CanShowTab(int) const
{
    return true;
}

int TCustomTabControl::GetImageIndex(int TabIndex)
{
    int index = TabIndex;
    OnGetImageIndex(this, TabIndex, index);
    return index;
}

void TCustomTabControl::CNNotify(TMessage& Message)
{
    auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    switch (header->code) {
    case TCN_SELCHANGING:
        Message.Result = !CanChange();
        break;
    case TCN_SELCHANGE:
        Change();
        break;
    default:
        break;
    }
}

void TCustomTabControl::WMSize(TMessage& Message)
{
    TWinControl::Dispatch(Message);
    Realign();
}

// =============================================================================================
// TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlStyle << csAcceptsControls;
    FAlign = TAlign::alClient;
    FVisible = false;
    FColor = clBtnFace;
}

TTabSheet::~TTabSheet()
{
    Destroying();
    if (FPageControl)
        FPageControl->RemovePage(this);
}

void TTabSheet::CreateParams(TCreateParams& Params)
{
    TWinControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
}

void TTabSheet::SetPageControl(TPageControl* Value)
{
    if (FPageControl == Value)
        return;
    if (FPageControl)
        FPageControl->RemovePage(this);
    SetParent(Value);
    if (Value)
        Value->InsertPage(this);
}

void TTabSheet::SetParentComponent(TComponent* Value)
{
    if (auto* pages = dynamic_cast<TPageControl*>(Value))
        SetPageControl(pages);
    else
        TWinControl::SetParentComponent(Value);
}

int TTabSheet::GetPageIndex() const
{
    if (!FPageControl)
        return -1;
    const auto& pages = FPageControl->FPages;
    return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int Value)
{
    if (!FPageControl)
        return;
    auto& pages = FPageControl->FPages;
    pages.erase(std::find(pages.begin(), pages.end(), this));
    pages.insert(pages.begin() + std::clamp<std::ptrdiff_t>(Value, 0, std::ptrdiff_t(pages.size())), this);
    FPageControl->UpdateTabs();
}

int TTabSheet::GetTabIndex() const
{
    if (!FPageControl || !FTabVisible)
        return -1;
    int index = 0;
    for (TTabSheet* page : FPageControl->FPages) {
        if (page == this)
            return index;
        if (page->FTabVisible)
            ++index;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool Value)
{
    if (FTabVisible != Value) {
        FTabVisible = Value;
        if (FPageControl)
            FPageControl->UpdateTabs();
    }
}

VCL_BEGIN_MESSAGE_MAP(TTabSheet)
    VCL_MESSAGE(CM_TEXTCHANGED, CMTextChanged)
VCL_END_MESSAGE_MAP(TWinControl)

void TTabSheet::CMTextChanged(TMessage&)
{
    if (FPageControl && GetTabIndex() >= 0 && FPageControl->HandleAllocated())
        FPageControl->GetTabs()->Put(GetTabIndex(), GetText());
}

// =============================================================================================
// TPageControl

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl()
{
    Destroying();
    for (TTabSheet* page : FPages)
        page->FPageControl = nullptr;
    FPages.clear();
}

void TPageControl::InsertPage(TTabSheet* Page)
{
    if (std::find(FPages.begin(), FPages.end(), Page) != FPages.end())
        return;
    FPages.push_back(Page);
    Page->FPageControl = this;
    UpdateTabs();
    if (!FActivePage && !IsLoading(this))
        SetActivePage(Page);
}

void TPageControl::RemovePage(TTabSheet* Page)
{
    auto it = std::find(FPages.begin(), FPages.end(), Page);
    if (it == FPages.end())
        return;
    if (FActivePage == Page) {
        TTabSheet* next = FindNextPage(Page, true, true);
        FActivePage = next == Page ? nullptr : next;
    }
    FPages.erase(it);
    Page->FPageControl = nullptr;
    if (!IsDestroying(this)) {
        UpdateTabs();
        ShowActivePage();
    }
}

// The tabs show the visible sheets in page order; each tab holds its sheet.
void TPageControl::UpdateTabs()
{
    if (!HandleAllocated() || IsDestroying(this))
        return;
    GetTabs()->BeginUpdate();
    GetTabs()->Clear();
    for (TTabSheet* page : FPages)
        if (page->FTabVisible)
            GetTabs()->AddObject(page->GetText(), page);
    GetTabs()->EndUpdate();
    if (FActivePage)
        Perform(TCM_SETCURSEL, WPARAM(FActivePage->GetTabIndex()), 0);
}

void TPageControl::CreateWnd()
{
    TCustomTabControl::CreateWnd();
    UpdateTabs();
    ShowActivePage();
}

void TPageControl::Loaded()
{
    TCustomTabControl::Loaded();
    if (!FActivePage && !FPages.empty())
        SetActivePage(FPages.front());
    else
        ShowActivePage();
}

void TPageControl::GetChildren(const TGetChildProc& Proc, TComponent*)
{
    for (TTabSheet* page : FPages)
        Proc(page);
}

void TPageControl::ShowActivePage()
{
    for (TTabSheet* page : FPages) {
        if (page == FActivePage) {
            page->SetVisible(true);
            page->BringToFront();
        } else {
            page->SetVisible(false);
        }
    }
    Realign();
}

void TPageControl::SetActivePage(TTabSheet* Value)
{
    if (Value && Value->FPageControl != this)
        return;
    FActivePage = Value;
    if (HandleAllocated())
        Perform(TCM_SETCURSEL, WPARAM(Value ? Value->GetTabIndex() : -1), 0);
    ShowActivePage();
}

int TPageControl::GetActivePageIndex() const
{
    return FActivePage ? FActivePage->GetPageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int Value)
{
    SetActivePage(Value >= 0 && Value < int(FPages.size()) ? FPages[size_t(Value)] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const
{
    if (FPages.empty())
        return nullptr;
    auto it = std::find(FPages.begin(), FPages.end(), CurPage);
    size_t start = it == FPages.end() ? (GoForward ? FPages.size() - 1 : 0) : size_t(it - FPages.begin());
    size_t n = FPages.size();
    for (size_t step = 1; step <= n; ++step) {
        size_t i = GoForward ? (start + step) % n : (start + n - step) % n;
        if (!CheckTabVisible || FPages[i]->FTabVisible)
            return FPages[i];
    }
    return nullptr;
}

TTabSheet* TPageControl::GetPageForTab(int TabIndex) const
{
    for (TTabSheet* page : FPages)
        if (TabIndex >= 0 && page->GetTabIndex() == TabIndex)
            return page;
    return nullptr;
}

int TPageControl::GetImageIndex(int TabIndex)
{
    TTabSheet* page = GetPageForTab(TabIndex);
    int index = page ? page->GetImageIndex() : -1;
    OnGetImageIndex(this, TabIndex, index);
    return index;
}

void TPageControl::SelectNextPage(bool GoForward)
{
    TTabSheet* page = FindNextPage(FActivePage, GoForward, true);
    if (page && page != FActivePage && CanChange()) {
        SetActivePage(page);
        Change();
    }
}

// The tab the user chose becomes the active page.
void TPageControl::Change()
{
    int tab = GetTabIndex();
    if (tab >= 0) {
        if (auto* page = dynamic_cast<TTabSheet*>(GetTabs()->GetObject(tab)); page && page != FActivePage) {
            FActivePage = page;
            ShowActivePage();
        }
    }
    TCustomTabControl::Change();
}

VCL_BEGIN_MESSAGE_MAP(TPageControl)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
    VCL_MESSAGE(CM_DIALOGKEY, CMDialogKey)
    VCL_MESSAGE(CM_DOCKCLIENT, CMDockClient)
    VCL_MESSAGE(CM_DOCKNOTIFICATION, CMDockNotification)
VCL_END_MESSAGE_MAP(TCustomTabControl)

void TPageControl::CMDialogChar(TMessage& Message)
{
    for (TTabSheet* page : FPages) {
        AnsiString caption = page->GetText();
        size_t amp = caption.find('&');
        if (page->FTabVisible && amp != AnsiString::npos && amp + 1 < caption.size() &&
            CharUpperA(LPSTR(ULONG_PTR(BYTE(caption[amp + 1])))) == CharUpperA(LPSTR(ULONG_PTR(BYTE(Message.WParam)))) &&
            CanChange()) {
            SetActivePage(page);
            Change();
            Message.Result = 1;
            return;
        }
    }
    TCustomTabControl::Dispatch(Message);
}

void TPageControl::CMDialogKey(TMessage& Message)
{
    if (Message.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
        SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
        Message.Result = 1;
        return;
    }
    Message.Result = 0;
}

// ---- docking -------------------------------------------------------------------------------------

TTabSheet* TPageControl::GetPageFromDockClient(TControl* Client) const
{
    for (TTabSheet* page : FPages)
        if (Client->GetParent() == page && Client->GetHostDockSite() == this)
            return page;
    return nullptr;
}

// The new sheet shows while the control does.
void TPageControl::CMDockClient(TMessage& Message)
{
    auto* dock = reinterpret_cast<TDragDockObject*>(Message.WParam);
    Message.Result = 0;
    if (!dock || !dock->GetControl())
        return;
    TControl* client = dock->GetControl();
    std::unique_ptr<TTabSheet> sheet(NewDockSheet(client));
    sheet->SetPageControl(this);
    TScopedValue<TTabSheet*> docking(FNewDockSheet, sheet.get());
    client->Dock(this, dock->DockRect);
    TTabSheet* page = sheet.release();
    page->SetTabVisible(client->GetVisible());
    if (client->GetVisible())
        SetActivePage(page);
    client->SetAlign(TAlign::alClient);
}

TTabSheet* TPageControl::NewDockSheet(TControl* Client)
{
    auto* sheet = new TTabSheet(this);
    if (dynamic_cast<TCustomForm*>(Client))
        sheet->SetText(FirstLine(Client->GetText()));
    return sheet;
}

void TPageControl::DoAddDockClient(TControl* Client, const RECT&)
{
    if (FNewDockSheet)
        Client->SetParent(FNewDockSheet);
}

bool TPageControl::DoUndock(TWinControl* NewTarget, TControl* Client)
{
    FUndockingPage = GetPageFromDockClient(Client);
    if (FUndockingPage)
        Client->SetAlign(TAlign::alNone);
    return TCustomTabControl::DoUndock(NewTarget, Client);
}

void TPageControl::DoRemoveDockClient(TControl* Client)
{
    TCustomTabControl::DoRemoveDockClient(Client);
    if (TTabSheet* page = std::exchange(FUndockingPage, nullptr); page && !IsDestroying(this))
        delete page;
}

// A docked control's caption (to its first line break) and visibility show on its sheet's tab.
void TPageControl::CMDockNotification(TMessage& Message)
{
    auto* client = reinterpret_cast<TControl*>(Message.WParam);
    const auto* notify = reinterpret_cast<const TDockNotifyRec*>(Message.LParam);
    TTabSheet* page = client && notify ? GetPageFromDockClient(client) : nullptr;
    if (!page)
        return;
    if (notify->ClientMsg == WM_SETTEXT)
        page->SetText(WideToAnsi(DockedCaption(client, notify->MsgLParam)));
    else if (notify->ClientMsg == CM_VISIBLECHANGED)
        page->SetTabVisible(notify->MsgWParam != 0);
}

}  // namespace vcl
