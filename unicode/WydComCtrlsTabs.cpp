// The wide tab control, the page control whose tabs show the wide captions of its sheets, and the sheets.
#include "WydComCtrls.h"

#include <cstring>

#include "Forms.h"
#include "WydSysUtils.h"

using namespace vcl;

VCL_IMPLEMENT_CLASS(TWydTabStrings, TWydStrings)
VCL_IMPLEMENT_CLASS(TWydCustomTabControl, TCustomTabControl)
VCL_IMPLEMENT_CLASS(TWydTabControl, TWydCustomTabControl, {
    m.PublishReadOnly("Tabs", &TWydTabControl::GetTabs);
    m.Publish("TabIndex", &TWydTabControl::GetTabIndex, &TWydTabControl::SetTabIndex).WithDefault(-1);
    m.Publish("MultiLine", &TWydTabControl::GetMultiLine, &TWydTabControl::SetMultiLine).WithDefault(0);
    m.Publish("Hint", &TWydTabControl::GetHint, &TWydTabControl::SetHint).Stored(&TWydTabControl::IsHintStored);
})
VCL_IMPLEMENT_CLASS(TWydTabSheet, TTabSheet, {
    m.Publish("Caption", &TWydTabSheet::GetCaption, &TWydTabSheet::SetCaption).Stored(&TWydTabSheet::IsCaptionStored);
    m.Publish("Hint", &TWydTabSheet::GetHint, &TWydTabSheet::SetHint).Stored(&TWydTabSheet::IsHintStored);
})
VCL_IMPLEMENT_CLASS(TWydPageControl, TPageControl, {
    m.Publish("Hint", &TWydPageControl::GetHint, &TWydPageControl::SetHint).Stored(&TWydPageControl::IsHintStored);
})

namespace {
bool IsDestroying(const TComponent* c) { return c->GetComponentState().Contains(csDestroying); }

// The text flags of a tab record: right-to-left reading where the control reads so.
UINT TextMask(const TControl* control)
{
    return TCIF_TEXT | (control->UseRightToLeftReading() ? TCIF_RTLREADING : 0);
}
}  // namespace

// =============================================================================================
// Tab strings

TWydTabStrings::~TWydTabStrings()
{
    control_ = nullptr;
    ansi_ = nullptr;
}

TWydTabStrings::TStore TWydTabStrings::Store() const
{
    if (!Win32PlatformIsUnicode)
        return TStore::Ansi;
    return control_->HandleAllocated() ? TStore::Window : TStore::Pending;
}

WideString TWydTabStrings::Get(int index) const
{
    switch (Store()) {
    case TStore::Pending:
        return control_->pendingTabs_->Get(index);
    case TStore::Ansi:
        return AnsiToWide(ansi_->Get(index));
    case TStore::Window:
        break;
    }
    std::vector<wchar_t> buffer(4096);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer.data();
    item.cchTextMax = int(buffer.size());
    if (!control_->Perform(TCM_GETITEMW, WPARAM(index), LPARAM(&item)))
        throw EListError("Failed to retrieve tab at index %d", {index});
    buffer.back() = L'\0';
    return item.pszText ? WideString(item.pszText) : WideString();
}

int TWydTabStrings::GetCount() const
{
    return Store() == TStore::Pending ? control_->pendingTabs_->GetCount() : ansi_->GetCount();
}

TObject* TWydTabStrings::GetObject(int index) const
{
    return Store() == TStore::Pending ? control_->pendingTabs_->GetObject(index) : ansi_->GetObject(index);
}

// Sets (TCM_SETITEMW) or inserts (TCM_INSERTITEMW) a tab's wide text with its image; the layout follows.
void TWydTabStrings::SendItem(UINT msg, int index, const WideString& s)
{
    WideString text = s;
    TCITEMW item{};
    item.mask = TextMask(control_) | TCIF_IMAGE;
    item.pszText = text.data();
    item.iImage = control_->GetImageIndex(index);
    LRESULT result = control_->Perform(msg, WPARAM(index), LPARAM(&item));
    if (msg == TCM_INSERTITEMW ? result < 0 : result == 0)
        throw EListError("Failed to set tab \"%s\" at index %d", {WideToAnsi(s), index});
    control_->Realign();
}

// Puts or inserts a tab's text where the tabs are: the waiting list, the ANSI tabs or the window (msg).
void TWydTabStrings::PlaceText(int index, const WideString& s, UINT msg,
                               void (TWideStrings::*pending)(int, const WideString&),
                               void (TStrings::*ansi)(int, const AnsiString&))
{
    switch (Store()) {
    case TStore::Pending:
        (control_->pendingTabs_->*pending)(index, s);
        break;
    case TStore::Ansi:
        (ansi_->*ansi)(index, WideToAnsi(s));
        break;
    case TStore::Window:
        SendItem(msg, index, s);
        break;
    }
}

void TWydTabStrings::Put(int index, const WideString& s)
{
    PlaceText(index, s, TCM_SETITEMW, &TWideStrings::Put, &TStrings::Put);
}

void TWydTabStrings::Insert(int index, const WideString& s)
{
    PlaceText(index, s, TCM_INSERTITEMW, &TWideStrings::Insert, &TStrings::Insert);
}

void TWydTabStrings::PutObject(int index, TObject* object)
{
    if (Store() == TStore::Pending)
        control_->pendingTabs_->PutObject(index, object);
    else
        ansi_->PutObject(index, object);
}

void TWydTabStrings::Clear()
{
    if (Store() == TStore::Pending)
        control_->pendingTabs_->Clear();
    else
        ansi_->Clear();
}

void TWydTabStrings::Delete(int index)
{
    if (Store() == TStore::Pending)
        control_->pendingTabs_->Delete(index);
    else
        ansi_->Delete(index);
}

void TWydTabStrings::SetUpdateState(bool updating)
{
    if (updating)
        ansi_->BeginUpdate();
    else
        ansi_->EndUpdate();
}

// =============================================================================================
// Tab control

TWydCustomTabControl::TWydCustomTabControl(TComponent* owner)
    : TCustomTabControl(owner), tabs_(new TWydTabStrings(this, TCustomTabControl::GetTabs())),
      pendingTabs_(new TWydStringList)
{
}

TWydCustomTabControl::~TWydCustomTabControl()
{
    Destroying();
    DestroyHandle();
    delete tabs_;
    delete pendingTabs_;
}

void TWydCustomTabControl::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle_ComCtl(this, params, L"SysTabControl32");
}

// The tabs that waited for the window go into it, and the tab that was selected is again.
void TWydCustomTabControl::CreateWnd()
{
    int index = GetTabIndex();
    TCustomTabControl::CreateWnd();
    if (pendingTabs_->GetCount() == 0 || !Win32PlatformIsUnicode)
        return;
    TWydStringList pending;
    pending.Assign(pendingTabs_);
    pendingTabs_->Clear();
    tabs_->Assign(&pending);
    SetTabIndex(index);
}

// The wide tabs wait for the next window; the class library's own keeping (ANSI copies) is passed over.
void TWydCustomTabControl::DestroyWnd()
{
    if (!Win32PlatformIsUnicode || IsDestroying(this)) {
        TCustomTabControl::DestroyWnd();
        return;
    }
    pendingTabs_->Clear();
    for (int i = 0; i < tabs_->GetCount(); ++i)
        pendingTabs_->AddObject(tabs_->Get(i), tabs_->GetObject(i));
    FSavedTabIndex = GetTabIndex();
    TWinControl::DestroyWnd();
}

VCL_BEGIN_MESSAGE_MAP(TWydCustomTabControl)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
VCL_END_MESSAGE_MAP(TCustomTabControl)

void TWydCustomTabControl::CMDialogChar(TMessage& message)
{
    std::vector<WideString> captions;
    for (int i = 0; i < tabs_->GetCount(); ++i)
        captions.push_back(tabs_->Get(i));
    int tab = FindAcceleratorCaption(WORD(message.WParam), captions, [this](int i) { return CanShowTab(i); });
    if (tab < 0) {
        TCustomTabControl::Dispatch(message);
        return;
    }
    message.Result = 1;
    if (CanChange()) {
        SetTabIndex(tab);
        Change();
    }
}

// =============================================================================================
// Tab sheet and page control

void TWydTabSheet::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle(this, params, WideString());
}

void TWydPageControl::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle_ComCtl(this, params, L"SysTabControl32");
}

namespace {
WideString SheetCaption(TTabSheet* sheet)
{
    auto* wide = dynamic_cast<TWydTabSheet*>(sheet);
    return wide ? wide->GetCaption() : AnsiToWide(sheet->GetText());
}
}  // namespace

void TWydPageControl::WndProc(TMessage& message)
{
    const auto* item = reinterpret_cast<const TCITEMA*>(message.LParam);
    if (!Win32PlatformIsUnicode || (message.Msg != TCM_SETITEMA && message.Msg != TCM_INSERTITEMA) || !item ||
        !(item->mask & TCIF_TEXT)) {
        TPageControl::WndProc(message);
        return;
    }
    TTabSheet* sheet = item->mask & TCIF_PARAM ? reinterpret_cast<TTabSheet*>(item->lParam)
                                               : GetPageForTab(int(message.WParam));
    // A copy of the caller's record goes, with the sheet's wide caption, or without a text when there is no sheet.
    static_assert(sizeof(TCITEMA) == sizeof(TCITEMW), "the two forms differ only in the text's type");
    WideString caption = sheet ? SheetCaption(sheet) : WideString();
    TCITEMW wide;
    std::memcpy(&wide, item, sizeof wide);
    if (sheet) {
        wide.mask |= TextMask(this);
        wide.pszText = caption.data();
    } else {
        wide.mask &= ~UINT(TCIF_TEXT);
        wide.pszText = nullptr;
    }
    TMessage sent{message.Msg == TCM_SETITEMA ? UINT(TCM_SETITEMW) : UINT(TCM_INSERTITEMW), message.WParam,
                  LPARAM(&wide), 0};
    TPageControl::WndProc(sent);
    message.Result = sent.Result;
}

VCL_BEGIN_MESSAGE_MAP(TWydPageControl)
    VCL_MESSAGE(CM_DIALOGCHAR, CMDialogChar)
    VCL_MESSAGE(CM_DOCKNOTIFICATION, CMDockNotification)
VCL_END_MESSAGE_MAP(TPageControl)

// The sheet whose wide caption has the typed hot key becomes the active page: it is chosen by its own tab,
// so hidden sheets before it do not shift the choice.
void TWydPageControl::CMDialogChar(TMessage& message)
{
    std::vector<WideString> captions;
    for (int i = 0; i < GetPageCount(); ++i)
        captions.push_back(SheetCaption(GetPage(i)));
    int found = FindAcceleratorCaption(WORD(message.WParam), captions,
                                       [this](int i) { return GetPage(i)->GetTabVisible() && CanFocus(); });
    if (found < 0) {
        TPageControl::Dispatch(message);
        return;
    }
    message.Result = 1;
    if (CanChange()) {
        SetActivePage(GetPage(found));
        Change();
    }
}

TTabSheet* TWydPageControl::NewDockSheet(TControl* client)
{
    auto* sheet = new TWydTabSheet(this);
    if (dynamic_cast<TCustomForm*>(client))
        sheet->SetCaption(FirstLine(WydControl_GetText(client)));
    return sheet;
}

void TWydPageControl::CMDockNotification(TMessage& message)
{
    auto* client = reinterpret_cast<TControl*>(message.WParam);
    const auto* notify = reinterpret_cast<const TDockNotifyRec*>(message.LParam);
    auto* sheet = client && notify && notify->ClientMsg == WM_SETTEXT
                      ? dynamic_cast<TWydTabSheet*>(GetPageFromDockClient(client))
                      : nullptr;
    if (!sheet) {
        TPageControl::Dispatch(message);
        return;
    }
    sheet->SetCaption(DockedCaption(client, notify->MsgLParam));
}
