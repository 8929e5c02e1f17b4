// Combo box and list box with wide items: the item lists over the wide CB_ and LB_ messages, the items kept
// while there is no window, wide completion and incremental search, wide owner drawing and virtual items.
#include <algorithm>

#include "WydGraphics.h"
#include "WydStdCtrls.h"
#include "WydSysUtils.h"

using namespace vcl;

VCL_IMPLEMENT_CLASS(TWydListControlStrings, TWydStrings)
VCL_IMPLEMENT_CLASS(TWydComboBoxStrings, TWydListControlStrings)
VCL_IMPLEMENT_CLASS(TWydCustomComboBox, TCustomComboBox)
VCL_IMPLEMENT_CLASS(TWydComboBox, TWydCustomComboBox, {
    m.Publish("Text", &TWydComboBox::GetText, &TWydComboBox::SetText);
    m.Publish("Hint", &TWydComboBox::GetHint, &TWydComboBox::SetHint).Stored(&TWydComboBox::IsHintStored);
    m.PublishReadOnly("Items", &TWydComboBox::GetItems);
    PublishComboBoxProperties<TWydComboBox>(m);
})
VCL_IMPLEMENT_CLASS(TWydListBoxStrings, TWydListControlStrings)
VCL_IMPLEMENT_CLASS(TWydCustomListBox, TCustomListBox)
VCL_IMPLEMENT_CLASS(TWydListBox, TWydCustomListBox, {
    m.Publish("Hint", &TWydListBox::GetHint, &TWydListBox::SetHint).Stored(&TWydListBox::IsHintStored);
    m.PublishReadOnly("Items", &TWydListBox::GetItems);
    PublishListBoxProperties<TWydListBox>(m);
})

namespace {

constexpr DWORD SearchResetMs = 1250;

bool HasEdit(TCustomComboBox* combo)
{
    return combo->GetStyle() == TComboBoxStyle::csDropDown || combo->GetStyle() == TComboBoxStyle::csSimple;
}

// Where a sorted list takes a new item while there is no window: after every item not greater than it, as
// the system's sorted lists compare (without regard to case).
int SortedInsertIndex(TWydStringList* list, const WideString& s)
{
    int i = 0;
    while (i < list->GetCount() && WideCompareText(list->Get(i), s) <= 0)
        ++i;
    return i;
}

// The system's answer to an insertion: its index, or EOutOfResources when it refused (CB_ERR, CB_ERRSPACE).
int CheckInserted(LRESULT index)
{
    if (index < 0)
        throw EOutOfResources("Unable to insert a line");
    return int(index);
}

const TWydListControlStrings::Messages ComboMessages{CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_ADDSTRING, CB_INSERTSTRING,
                                                     CB_FINDSTRINGEXACT, CB_ERR};
const TWydListControlStrings::Messages ListMessages{LB_GETTEXTLEN, LB_GETTEXT, LB_ADDSTRING, LB_INSERTSTRING,
                                                    LB_FINDSTRINGEXACT, LB_ERR};

// Puts an inner window of a combo box on the wide procedures: its own procedure is saved in its wide form
// and the class library's procedure goes back on, now receiving wide messages.
void ReinstallWide(HWND inner, WNDPROC& ownProc)
{
    if (!inner || !ownProc)
        return;
    LONG_PTR libraryProc = GetWindowLongPtrA(inner, GWLP_WNDPROC);
    SetWindowLongPtrA(inner, GWLP_WNDPROC, LONG_PTR(ownProc));
    ownProc = WNDPROC(GetWindowLongPtrW(inner, GWLP_WNDPROC));
    SetWindowLongPtrW(inner, GWLP_WNDPROC, libraryProc);
}

TLBGetWideDataEvent WideDataEvent(TCustomListBox* listBox)
{
    auto* wyd = dynamic_cast<TWydCustomListBox*>(listBox);
    return wyd ? wyd->OnData : TLBGetWideDataEvent();
}

}  // namespace

// =============================================================================================
// TWydListControlStrings

TWydListControlStrings::~TWydListControlStrings() { delete kept_; }

bool TWydListControlStrings::UnicodeWindow() const { return IsWindowUnicode(owner_->WindowHandle); }

TStrings* TWydListControlStrings::AnsiItems() const { return owner_->TCustomItemListControl::GetItems(); }

TWydStringList* TWydListControlStrings::Kept() const
{
    if (!kept_)
        kept_ = new TWydStringList;
    return kept_;
}

void TWydListControlStrings::CheckIndex(int index) const
{
    if (index < 0 || index >= GetCount())
        Error(SWydListIndexError, index);
}

WideString TWydListControlStrings::ItemText(int index) const
{
    if (!owner_->HandleAllocated())
        return Kept()->Get(index);
    if (!UnicodeWindow())
        return AnsiToWide(AnsiItems()->Get(index));
    HWND window = owner_->WindowHandle;
    LRESULT length = SendMessageW(window, msgs_.GetTextLen, WPARAM(index), 0);
    if (length == msgs_.Err || length < 0)
        return {};
    std::vector<wchar_t> buffer(size_t(length) + 1, L'\0');
    LRESULT copied = SendMessageW(window, msgs_.GetText, WPARAM(index), LPARAM(buffer.data()));
    if (copied == msgs_.Err || copied < 0)
        return {};
    return WideString(buffer.data());
}

int TWydListControlStrings::GetCount() const
{
    return owner_->HandleAllocated() ? AnsiItems()->GetCount() : Kept()->GetCount();
}

TObject* TWydListControlStrings::GetObject(int index) const
{
    return owner_->HandleAllocated() ? AnsiItems()->GetObject(index) : Kept()->GetObject(index);
}

void TWydListControlStrings::PutObject(int index, TObject* object)
{
    if (owner_->HandleAllocated())
        AnsiItems()->PutObject(index, object);
    else
        Kept()->PutObject(index, object);
}

// The item's object is taken off before the item goes, so that nothing that follows a deletion sees it.
void TWydListControlStrings::Put(int index, const WideString& s)
{
    CheckIndex(index);
    vcl::TUpdateScope<TWideStrings> update(this);
    int selected = owner_->GetItemIndex();
    TObject* object = GetObject(index);
    PutObject(index, nullptr);
    Delete(index);
    InsertObject(index, s, nullptr);
    PutObject(index, object);
    if (owner_->GetItemIndex() != selected)
        owner_->SetItemIndex(selected);
}

int TWydListControlStrings::Add(const WideString& s)
{
    if (!owner_->HandleAllocated()) {
        int index = owner_->GetSorted() ? SortedInsertIndex(Kept(), s) : Kept()->GetCount();
        Kept()->Insert(index, s);
        return index;
    }
    if (!UnicodeWindow())
        return AnsiItems()->Add(WideToAnsi(s));
    return CheckInserted(SendMessageW(owner_->WindowHandle, msgs_.Add, 0, LPARAM(s.c_str())));
}

void TWydListControlStrings::Insert(int index, const WideString& s)
{
    if (!owner_->HandleAllocated())
        Kept()->Insert(index, s);
    else if (!UnicodeWindow())
        AnsiItems()->Insert(index, WideToAnsi(s));
    else
        CheckInserted(SendMessageW(owner_->WindowHandle, msgs_.Insert, WPARAM(index), LPARAM(s.c_str())));
}

void TWydListControlStrings::Delete(int index)
{
    if (owner_->HandleAllocated())
        AnsiItems()->Delete(index);
    else
        Kept()->Delete(index);
}

void TWydListControlStrings::Clear()
{
    if (owner_->HandleAllocated())
        AnsiItems()->Clear();
    else
        Kept()->Clear();
}

int TWydListControlStrings::IndexOf(const WideString& s) const
{
    if (!owner_->HandleAllocated())
        return Kept()->IndexOf(s);
    if (!UnicodeWindow())
        return AnsiItems()->IndexOf(WideToAnsi(s));
    LRESULT index = SendMessageW(owner_->WindowHandle, msgs_.FindExact, WPARAM(-1), LPARAM(s.c_str()));
    return index == msgs_.Err ? -1 : int(index);
}

void TWydListControlStrings::SetUpdateState(bool updating)
{
    if (!owner_->HandleAllocated())
        return;
    if (updating)
        AnsiItems()->BeginUpdate();
    else
        AnsiItems()->EndUpdate();
}

// Called with a Unicode window: the class library keeps no ANSI copy.
void TWydListControlStrings::SaveFromWindow()
{
    TWydStringList* kept = Kept();
    kept->Clear();
    for (int i = 0, n = GetCount(); i < n; ++i)
        kept->AddObject(ItemText(i), GetObject(i));
    AnsiItems()->Clear();
}

void TWydListControlStrings::LoadIntoWindow()
{
    if (!kept_)
        return;
    for (int i = 0; i < kept_->GetCount(); ++i)
        PutObject(Add(kept_->Get(i)), kept_->GetObject(i));
    kept_->Clear();
}

// =============================================================================================
// TWydComboBoxStrings

TWydComboBoxStrings::TWydComboBoxStrings() : TWydListControlStrings(ComboMessages) {}

WideString TWydComboBoxStrings::Get(int index) const
{
    return index >= 0 && index < GetCount() ? ItemText(index) : WideString();
}

void TWydComboBoxStrings::Clear()
{
    if (!GetComboBox()->HandleAllocated()) {
        TWydListControlStrings::Clear();
        return;
    }
    WideString text = WydControl_GetText(GetComboBox());
    SendMessageA(GetComboBox()->WindowHandle, CB_RESETCONTENT, 0, 0);
    WydControl_SetText(GetComboBox(), text);
    GetComboBox()->Update();
}

// =============================================================================================
// Combo box routines

void WydCombo_AfterInherited_CreateWnd(TCustomComboBox* combo, TWydListControlStrings* items, int savedIndex,
                                       const WideString& text)
{
    if (Win32PlatformIsUnicode && IsWindowUnicode(combo->WindowHandle)) {
        ReinstallWide(combo->ListHandle, combo->DefListProc);
        ReinstallWide(combo->EditHandle, combo->DefEditProc);
    }
    items->LoadIntoWindow();
    // The kept index names an item: at most the last one.
    int count = items->GetCount();
    if (savedIndex >= 0 && count > 0)
        SendMessageA(combo->WindowHandle, CB_SETCURSEL, WPARAM(std::min(savedIndex, count - 1)), 0);
    if (HasEdit(combo) && !text.empty() && WydControl_GetText(combo) != text)
        WydControl_SetText(combo, text);
}

void WydCombo_BeforeInherited_DestroyWnd(TCustomComboBox* combo, TWydListControlStrings* items, int& savedIndex,
                                         WideString& text)
{
    savedIndex = combo->GetItemIndex();
    text = WydControl_GetText(combo);
    // An ANSI window's items are kept by the class library itself.
    if (IsWindowUnicode(combo->WindowHandle))
        items->SaveFromWindow();
}

bool WydCombo_ComboWndProc(TCustomComboBox* combo, TMessage& message, HWND comboWnd, WNDPROC comboProc,
                           const std::function<bool(TMessage&)>& doKeyPress, const TWMCharMsgHandler& doEditCharMsg)
{
    bool unicode = IsWindowUnicode(comboWnd);
    auto callOwn = [&] {
        message.Result = unicode ? CallWindowProcW(comboProc, comboWnd, message.Msg, message.WParam, message.LParam)
                                 : CallWindowProcA(comboProc, comboWnd, message.Msg, message.WParam, message.LParam);
    };
    switch (message.Msg) {
    case WM_CHAR: {
        if (unicode)
            MakeWMCharMsgSafeForAnsi(message);
        bool consumed = doKeyPress(message);
        // Only the edit completes; the list of a drop-down list gets the characters the combo box passes on.
        if (!consumed && comboWnd == combo->EditHandle) {
            TMessage copy = message;
            doEditCharMsg(copy);
            consumed = GetWideCharFromWMCharMsg(copy) == 0;
        }
        RestoreWMCharMsg(message);
        if (consumed)
            return true;
        WPARAM c = message.WParam;
        if ((c == VK_RETURN || c == VK_ESCAPE) && combo->GetDroppedDown())
            combo->SetDroppedDown(false);
        else
            callOwn();
        return true;
    }
    default:
        break;
    }
    if (!unicode)
        return false;
    if (IsTextMessage(message.Msg) || message.Msg == EM_REPLACESEL || message.Msg == WM_IME_COMPOSITION) {
        callOwn();
        return true;
    }
    if (message.Msg == WM_IME_CHAR) {
        message.Result = SendMessageW(comboWnd, WM_CHAR, message.WParam, message.LParam);
        return true;
    }
    return false;
}

bool WydCombo_CNCommand(TCustomComboBox* combo, TWydStrings* items, TMessage& message)
{
    if (HIWORD(message.WParam) != CBN_SELCHANGE)
        return false;
    int index = combo->GetItemIndex();
    if (index >= 0)
        WydControl_SetText(combo, items->Get(index));
    combo->Click();
    combo->Select();
    return true;
}

void WydCombo_DropDown_PreserveSelection(TCustomComboBox* combo)
{
    WideString text = WydControl_GetText(combo);
    int start = WydCombo_GetSelStart(combo);
    int length = WydCombo_GetSelLength(combo);
    combo->SetDroppedDown(true);
    WydControl_SetText(combo, text);
    WydCombo_SetSelStart(combo, start);
    WydCombo_SetSelLength(combo, length);
}

void WydComboBox_AddItem(TWydStrings* items, const WideString& item, TObject* object)
{
    items->AddObject(item, object);
}

void WydComboBox_CopySelection(TCustomComboBox* combo, TWydStrings* items, TCustomListControl* destination)
{
    int index = combo->GetItemIndex();
    if (index != -1)
        WideListControl_AddItem(destination, items->Get(index), items->GetObject(index));
}

int FindComboPrefix(TCustomComboBox* combo, int startIndex, const WideString& text)
{
    if (auto* finder = dynamic_cast<IWydComboFindString*>(combo))
        return finder->FindString(text, startIndex);
    HWND window = combo->GetHandle();
    LRESULT index = IsWindowUnicode(window)
                        ? SendMessageW(window, CB_FINDSTRING, WPARAM(startIndex), LPARAM(text.c_str()))
                        : SendMessageA(window, CB_FINDSTRING, WPARAM(startIndex), LPARAM(WideToAnsi(text).c_str()));
    return index == CB_ERR ? -1 : int(index);
}

// Unique when searching on from the first match comes back to it.
int FindUniqueComboPrefix(TCustomComboBox* combo, const WideString& text)
{
    int first = FindComboPrefix(combo, -1, text);
    if (first == -1 || FindComboPrefix(combo, first, text) != first)
        return -1;
    return first;
}

bool SelectComboMatch(TCustomComboBox* combo, TWydStrings* items, const WideString& searchText, bool uniqueMatchOnly,
                      bool preserveDataEntryCase)
{
    int index = uniqueMatchOnly ? FindUniqueComboPrefix(combo, searchText) : FindComboPrefix(combo, -1, searchText);
    if (index == -1)
        return false;
    WideString item = items->Get(index);
    bool changed = combo->GetStyle() == TComboBoxStyle::csDropDown
                       ? WideCompareStr(item, WydControl_GetText(combo)) != 0
                       : index != combo->GetItemIndex();
    combo->SetItemIndex(index);
    if (HasEdit(combo)) {
        WideString text = item;
        if (preserveDataEntryCase)
            text = searchText + item.substr(std::min(searchText.size(), item.size()));
        WydControl_SetText(combo, text);
        WydCombo_SetSelStart(combo, int(searchText.size()));
        WydCombo_SetSelLength(combo, int(text.size()) - int(searchText.size()));
    }
    if (changed) {
        combo->Click();
        combo->Select();
    }
    return true;
}

void WydCombo_AutoSearchKeyPress(TCustomComboBox* combo, TWydStrings* items, TMessage& message, WideString& searchText,
                                 DWORD& lastSearchTick)
{
    wchar_t c = GetWideCharFromWMCharMsg(message);
    switch (c) {
    case VK_BACK:
        if (!searchText.empty())
            searchText.pop_back();
        break;
    case VK_TAB:
        if (combo->GetAutoDropDown() && combo->GetDroppedDown())
            combo->SetDroppedDown(false);
        break;
    case VK_ESCAPE:
        return;
    default: {
        if (combo->GetAutoDropDown() && !combo->GetDroppedDown())
            combo->SetDroppedDown(true);
        DWORD now = GetTickCount();
        if (now - lastSearchTick >= SearchResetMs)  // unsigned: right across the counter's wrap
            searchText.clear();
        lastSearchTick = now;
        if (SelectComboMatch(combo, items, searchText + c, false, true)) {
            searchText += c;
            c = 0;
        }
        break;
    }
    }
    SetWideCharForWMCharMsg(message, c);
}

void WydCombo_AutoCompleteKeyPress(TCustomComboBox* combo, TWydStrings* items, TMessage& message, bool uniqueMatchOnly,
                                   bool preserveDataEntryCase)
{
    if (!HasEdit(combo))
        throw EWydInternalError(
            "Internal Error: WydCombo_AutoCompleteKeyPress is only for csSimple and csDropDown style combo boxes.");
    if (!combo->GetAutoComplete())
        return;
    wchar_t c = GetWideCharFromWMCharMsg(message);
    if (c == VK_TAB) {
        if (combo->GetAutoDropDown() && combo->GetDroppedDown())
            combo->SetDroppedDown(false);
        return;
    }
    // Backspace, Escape and the other control characters (Ctrl+C...) are no text to complete.
    if (c < L' ')
        return;
    if (combo->GetAutoDropDown() && !combo->GetDroppedDown())
        WydCombo_DropDown_PreserveSelection(combo);
    WideString text = WydControl_GetText(combo);
    int start = WydCombo_GetSelStart(combo);
    // Only typing at the end completes: the selection must reach the end of the text.
    if (start + WydCombo_GetSelLength(combo) != int(text.size()))
        return;
    WideString typed = text.substr(0, size_t(std::clamp(start, 0, int(text.size())))) + c;
    if (SelectComboMatch(combo, items, typed, uniqueMatchOnly, preserveDataEntryCase))
        SetWideCharForWMCharMsg(message, 0);
}

bool WydCombo_BeforeKeyPress(TCustomComboBox* combo)
{
    bool autoComplete = combo->GetAutoComplete();
    combo->SetAutoComplete(false);
    return autoComplete;
}

void WydCombo_AfterKeyPress(TCustomComboBox* combo, bool autoComplete) { combo->SetAutoComplete(autoComplete); }

void WydCombo_DefaultDrawItem(TCustomComboBox* combo, TWydStrings* items, int index, const RECT& rect)
{
    WideCanvasItemText(combo->GetCanvas(), rect, index >= 0 ? items->Get(index) : WideString());
}

// =============================================================================================
// TWydCustomComboBox

TWydCustomComboBox::TWydCustomComboBox(TComponent* owner) : TCustomComboBox(owner), items_(new TWydComboBoxStrings)
{
    items_->SetComboBox(this);
}

TWydCustomComboBox::~TWydCustomComboBox()
{
    Destroying();  // the window goes without keeping its items
    DestroyHandle();
    delete items_;
}

VCL_BEGIN_MESSAGE_MAP(TWydCustomComboBox)
    VCL_MESSAGE(CN_COMMAND, CNCommand)
    VCL_MESSAGE(WM_CHAR, WMChar)
VCL_END_MESSAGE_MAP(TCustomComboBox)

void TWydCustomComboBox::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle(this, params, L"COMBOBOX");
}

// Text and selection made before the window (or kept across its re-creation) go into the new one.
void TWydCustomComboBox::CreateWnd()
{
    WideString text = GetText();
    int index = GetItemIndex();
    TCustomComboBox::CreateWnd();
    WydCombo_AfterInherited_CreateWnd(this, items_, index, text);
}

void TWydCustomComboBox::DestroyWnd()
{
    if (ControlState.Contains(csDestroyingHandle))
        return;
    if (GetComponentState().Contains(csDestroying)) {
        TCustomComboBox::DestroyWnd();
        return;
    }
    int index = -1;
    WideString text;
    WydCombo_BeforeInherited_DestroyWnd(this, items_, index, text);
    TCustomComboBox::DestroyWnd();
    WydControl_SetStoredText(this, text);
    SetItemIndex(index);
}

void TWydCustomComboBox::AddItem(const WideString& item, TObject* object) { WydComboBox_AddItem(items_, item, object); }

void TWydCustomComboBox::CopySelection(TCustomListControl* destination)
{
    WydComboBox_CopySelection(this, items_, destination);
}

void TWydCustomComboBox::ComboWndProc(TMessage& message, HWND comboWnd, WNDPROC comboProc)
{
    if (!WydCombo_ComboWndProc(
            this, message, comboWnd, comboProc, [this](TMessage& m) { return DoKeyPress(m); },
            [this](TMessage& m) { DoEditCharMsg(m); }))
        TCustomComboBox::ComboWndProc(message, comboWnd, comboProc);
}

void TWydCustomComboBox::KeyPress(char& key)
{
    bool autoComplete = WydCombo_BeforeKeyPress(this);
    struct Restore {
        TCustomComboBox* combo;
        bool autoComplete;
        ~Restore() { WydCombo_AfterKeyPress(combo, autoComplete); }
    } restore{this, autoComplete};
    TCustomComboBox::KeyPress(key);
}

void TWydCustomComboBox::DoEditCharMsg(TMessage& message)
{
    WydCombo_AutoCompleteKeyPress(this, items_, message, GetAutoComplete_UniqueMatchOnly(),
                                  GetAutoComplete_PreserveDataEntryCase());
}

void TWydCustomComboBox::DrawItemText(int index, const RECT& rect)
{
    WydCombo_DefaultDrawItem(this, items_, index, rect);
}

void TWydCustomComboBox::CNCommand(TMessage& message)
{
    if (!WydCombo_CNCommand(this, items_, message))
        TCustomComboBox::Dispatch(message);
}

// The combo box's own window has the focus in the drop-down-list styles: typing searches the items.
void TWydCustomComboBox::WMChar(TMessage& message)
{
    if (GetStyle() >= TComboBoxStyle::csDropDownList && GetAutoComplete())
        WydCombo_AutoSearchKeyPress(this, items_, message, searchText_, lastSearchTick_);
    if (GetWideCharFromWMCharMsg(message) != 0)
        TCustomComboBox::Dispatch(message);
}

// =============================================================================================
// TWydListBoxStrings

TWydListBoxStrings::TWydListBoxStrings() : TWydListControlStrings(ListMessages) {}

WideString TWydListBoxStrings::Get(int index) const
{
    if (!GetListBox()->IsVirtual()) {
        CheckIndex(index);
        return ItemText(index);
    }
    WideString data;
    if (!GetVirtualListBoxItem(GetListBox(), index, WideDataEvent(GetListBox()), data))
        Error(SWydListIndexError, index);
    return data;
}

int TWydListBoxStrings::GetCount() const
{
    return GetListBox()->IsVirtual() ? GetListBox()->GetCount() : TWydListControlStrings::GetCount();
}

TObject* TWydListBoxStrings::GetObject(int index) const
{
    return GetListBox()->IsVirtual() ? AnsiItems()->GetObject(index) : TWydListControlStrings::GetObject(index);
}

void TWydListBoxStrings::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    vcl::TUpdateScope<TWideStrings> update(this);
    int selected = GetListBox()->GetItemIndex();
    WideString text1 = Get(index1), text2 = Get(index2);
    TObject* object1 = GetObject(index1);
    TObject* object2 = GetObject(index2);
    Put(index1, text2);
    Put(index2, text1);
    PutObject(index1, object2);
    PutObject(index2, object1);
    if (selected == index1)
        GetListBox()->SetItemIndex(index2);
    else if (selected == index2)
        GetListBox()->SetItemIndex(index1);
}

// Both indexes are checked before the item leaves its place, so a refused move loses nothing.
void TWydListBoxStrings::Move(int curIndex, int newIndex)
{
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    if (curIndex == newIndex)
        return;
    vcl::TUpdateScope<TWideStrings> update(this);
    TCustomListBox* listBox = GetListBox();
    listBox->SetMoving(true);
    struct Done {
        TCustomListBox* listBox;
        ~Done() { listBox->SetMoving(false); }
    } done{listBox};
    WideString text = Get(curIndex);
    TObject* object = GetObject(curIndex);
    PutObject(curIndex, nullptr);
    Delete(curIndex);
    Insert(newIndex, text);
    PutObject(newIndex, object);
}

// A virtual list box finds through its ANSI find event.
int TWydListBoxStrings::IndexOf(const WideString& s) const
{
    if (GetListBox()->IsVirtual())
        return AnsiItems()->IndexOf(WideToAnsi(s));
    return TWydListControlStrings::IndexOf(s);
}

// =============================================================================================
// List box routines

void WydListBox_AfterInherited_CreateWnd(TCustomListBox* listBox, TWydListControlStrings* items, int savedTop,
                                         int savedIndex)
{
    if (listBox->IsVirtual())
        return;
    items->LoadIntoWindow();
    int count = items->GetCount();
    if (count == 0)
        return;
    listBox->SetTopIndex(savedTop);
    listBox->SetItemIndex(std::min(savedIndex, count - 1));
}

void WydListBox_BeforeInherited_DestroyWnd(TCustomListBox* listBox, TWydListControlStrings* items,
                                           int& savedTop, int& savedIndex)
{
    savedTop = listBox->GetTopIndex();
    savedIndex = listBox->GetItemIndex();
    if (!listBox->IsVirtual() && items->GetCount() >= 1 && IsWindowUnicode(listBox->WindowHandle))
        items->SaveFromWindow();
}

void WydListBox_DrawItem_Text(TCustomListBox* listBox, TWydStrings* items, int index, const RECT& rect)
{
    TCanvas* canvas = listBox->GetCanvas();
    canvas->FillRect(rect);
    if (index >= items->GetCount())
        return;
    RECT r = rect;
    if (listBox->UseRightToLeftReading())
        r.right -= 2;
    else
        r.left += 2;
    WideCanvasDrawText(canvas, items->Get(index), r,
                       listBox->DrawTextBiDiModeFlags(DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX));
}

void WydListBox_AddItem(TWydStrings* items, const WideString& item, TObject* object) { items->AddObject(item, object); }

void WydListBox_CopySelection(TCustomListBox* listBox, TWydStrings* items, TCustomListControl* destination)
{
    if (listBox->GetMultiSelect()) {
        for (int i = 0; i < items->GetCount(); ++i)
            if (listBox->GetSelected(i))
                WideListControl_AddItem(destination, items->Get(i), items->GetObject(i));
        return;
    }
    int index = listBox->GetItemIndex();
    if (index != -1)
        WideListControl_AddItem(destination, items->Get(index), items->GetObject(index));
}

bool GetVirtualListBoxItem(TCustomListBox* listBox, int index, const TLBGetWideDataEvent& onData, WideString& data)
{
    if (index < 0 || index >= listBox->GetCount())
        return false;
    if (onData) {
        onData(listBox, index, data);
        return true;
    }
    if (listBox->TCustomListBox::OnData) {
        AnsiString ansi;
        listBox->TCustomListBox::OnData(listBox, index, ansi);
        data = AnsiToWide(ansi);
        return true;
    }
    return false;
}

namespace {

// The virtual item's text for LB_GETTEXT or LB_GETTEXTLEN: wide on a Unicode platform, ANSI elsewhere.
bool VirtualItemReply(TCustomListBox* listBox, TMessage& message, const TLBGetWideDataEvent& onData, bool copyText)
{
    if (!listBox->IsVirtual())
        return false;
    WideString data;
    if (!GetVirtualListBoxItem(listBox, int(message.WParam), onData, data)) {
        message.Result = LB_ERR;
        return true;
    }
    if (Win32PlatformIsUnicode) {
        if (copyText && message.LParam)
            std::copy(data.c_str(), data.c_str() + data.size() + 1, reinterpret_cast<wchar_t*>(message.LParam));
        message.Result = LRESULT(data.size());
        return true;
    }
    AnsiString ansi = WideToAnsi(data);
    if (copyText && message.LParam)
        std::copy(ansi.c_str(), ansi.c_str() + ansi.size() + 1, reinterpret_cast<char*>(message.LParam));
    message.Result = LRESULT(ansi.size());
    return true;
}

}  // namespace

bool WydCustomListBox_LBGetText(TCustomListBox* listBox, TMessage& message, const TLBGetWideDataEvent& onData)
{
    return VirtualItemReply(listBox, message, onData, true);
}

bool WydCustomListBox_LBGetTextLen(TCustomListBox* listBox, TMessage& message, const TLBGetWideDataEvent& onData)
{
    return VirtualItemReply(listBox, message, onData, false);
}

// =============================================================================================
// TWydCustomListBox

TWydCustomListBox::TWydCustomListBox(TComponent* owner) : TCustomListBox(owner), items_(new TWydListBoxStrings)
{
    items_->SetListBox(this);
}

TWydCustomListBox::~TWydCustomListBox()
{
    Destroying();  // the window goes without keeping its items
    DestroyHandle();
    delete items_;
}

VCL_BEGIN_MESSAGE_MAP(TWydCustomListBox)
    VCL_MESSAGE(LB_GETTEXT, LBGetText)
    VCL_MESSAGE(LB_GETTEXTLEN, LBGetTextLen)
VCL_END_MESSAGE_MAP(TCustomListBox)

void TWydCustomListBox::CreateWindowHandle(const TCreateParams& params)
{
    CreateUnicodeHandle(this, params, L"LISTBOX");
}

void TWydCustomListBox::CreateWnd()
{
    int index = GetItemIndex();
    TCustomListBox::CreateWnd();
    WydListBox_AfterInherited_CreateWnd(this, items_, savedTop_, index);
}

void TWydCustomListBox::DestroyWnd()
{
    if (GetComponentState().Contains(csDestroying)) {
        TCustomListBox::DestroyWnd();
        return;
    }
    int index = -1;
    WydListBox_BeforeInherited_DestroyWnd(this, items_, savedTop_, index);
    TCustomListBox::DestroyWnd();
    SetItemIndex(index);
}

void TWydCustomListBox::AddItem(const WideString& item, TObject* object) { WydListBox_AddItem(items_, item, object); }

void TWydCustomListBox::CopySelection(TCustomListControl* destination)
{
    WydListBox_CopySelection(this, items_, destination);
}

bool TWydCustomListBox::GetVirtualItem(int index, AnsiString& data)
{
    WideString wide;
    if (!GetVirtualListBoxItem(this, index, OnData, wide))
        return false;
    data = WideToAnsi(wide);
    return true;
}

void TWydCustomListBox::DrawItemText(int index, const RECT& rect)
{
    WydListBox_DrawItem_Text(this, items_, index, rect);
}

void TWydCustomListBox::LBGetText(TMessage& message)
{
    if (!WydCustomListBox_LBGetText(this, message, OnData))
        TCustomListBox::Dispatch(message);
}

void TWydCustomListBox::LBGetTextLen(TMessage& message)
{
    if (!WydCustomListBox_LBGetTextLen(this, message, OnData))
        TCustomListBox::Dispatch(message);
}
