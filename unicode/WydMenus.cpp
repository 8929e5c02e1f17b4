// Menus with wide captions: native entries rewritten wide, accelerators kept in step, wide owner drawing,
// wide pop-up hints, and the wide shortcut and accelerator routines.
#include "WydMenus.h"

#include <utility>
#include <vector>

#include "Forms.h"
#include "WydActnList.h"
#include "WydControls.h"
#include "WydForms.h"
#include "WydWindows.h"

using namespace vcl;

VCL_IMPLEMENT_CLASS(TWydMenuItem, TMenuItem, {
    m.Publish("Caption", &TWydMenuItem::GetCaption, &TWydMenuItem::SetCaption).Stored(&TWydMenuItem::IsCaptionStored);
    m.Publish("Hint", &TWydMenuItem::GetHint, &TWydMenuItem::SetHint).Stored(&TWydMenuItem::IsHintStored);
})
VCL_IMPLEMENT_CLASS(TWydMainMenu, TMainMenu)
VCL_IMPLEMENT_CLASS(TWydPopupMenu, TPopupMenu)
VCL_IMPLEMENT_CLASS(TWydPopupList, TPopupList)

TWydPopupList* WydPopupList = nullptr;

namespace {

// Windows 98, 2000 and later draw menu bars flat.
bool FlatMenuBars() { return CheckWin32Version(4, 1); }

bool IsReadingOrDestroying(const TComponent* c)
{
    TComponentState state = c->GetComponentState();
    return state.Contains(csReading) || state.Contains(csDestroying);
}

bool IsFarEastGroupAt(const WideString& s, size_t open)
{
    return SysLocale.FarEast && open + 3 < s.size() && s[open] == L'(' && s[open + 1] == L'&' &&
           s[open + 3] == L')';
}

// How many characters of a wide text stand for one character of its ANSI form at `i`: a surrogate pair that
// the code page turns into one replacement character counts as one.
size_t AnsiUnitLength(const WideString& s, size_t i)
{
    if (i + 1 < s.size() && IS_HIGH_SURROGATE(s[i]) && IS_LOW_SURROGATE(s[i + 1]) &&
        WideToAnsi(s.substr(i, 2)).size() == 1)
        return 2;
    return 1;
}

void SetApplicationHint(const WideString& hint)
{
    if (WydApplication)
        WydApplication->SetHint(hint);
    else if (Application)
        Application->SetHint(WideToAnsi(hint));
}

// Writes the native entries of an item's sub-tree (last child first) and of the item itself.
void UpdateMenuItems(TMenuItem* item, TMenu* menu)
{
    if (IsReadingOrDestroying(item))
        return;
    std::vector<TMenuItem*> entries = item->GetEntryItems();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        UpdateMenuItems(*it, menu);
    if (auto* wide = dynamic_cast<TWydMenuItem*>(item))
        wide->UpdateMenuString(menu);
}

bool ItemHasValidImage(TMenuItem* item)
{
    if (!item)
        throw EWydInternalError("WYD Internal Error: ItemHasValidImage: item = nil");
    TMenu* menu = item->GetParentMenu();
    TCustomImageList* images = menu ? menu->GetImages() : nullptr;
    return (images && item->GetImageIndex() >= 0 && item->GetImageIndex() < images->GetCount()) ||
           item->HasBitmap();
}

// Writes a native entry as a text entry of the given type (A or W, by the record and setter given).
template <class Info, class String, class Setter>
bool SetEntryText(Setter setter, HMENU menu, UINT item, BOOL byPosition, UINT type, String text)
{
    Info info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_TYPE;
    info.fType = type;
    info.dwTypeData = text.data();
    info.cch = UINT(text.size());
    return setter(menu, item, byPosition, &info);
}

// Restores on every way out what a scope changed for the time of one call.
template <class Restore>
struct TRestorer {
    Restore restore;
    ~TRestorer() { restore(); }
};
template <class Restore>
TRestorer<Restore> Finally(Restore restore)
{
    return TRestorer<Restore>{std::move(restore)};
}

}  // namespace

// =============================================================================================
// Shortcuts, accelerators and captions

TShortCut MessageToShortCut(const TMessage& message)
{
    return ShortCut(WORD(message.WParam), KeyDataToShiftState(message.LParam));
}

namespace {

// The keys whose names the class library gives itself.
bool IsLibraryNamedKey(WORD key)
{
    return key == VK_BACK || key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE ||
           (key >= VK_SPACE && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE ||
           (key >= VK_F1 && key <= VK_F24);
}

WideString WideKeyName(WORD key)
{
    bool digit = key >= '0' && key <= '9';
    if (digit || (key >= 'A' && key <= 'Z') || (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)) {
        auto c = wchar_t(LOWORD(MapVirtualKeyW(key, MAPVK_VK_TO_CHAR)));
        // A layout that types another character on a digit key still names the key by its digit.
        if (digit && c != wchar_t(key) && LOBYTE(VkKeyScanW(wchar_t(key))) == key)
            c = wchar_t(key);
        return c ? WideString(1, c) : WideString();
    }
    wchar_t name[256] = {};
    int length = GetKeyNameTextW(LONG(MapVirtualKeyW(key, MAPVK_VK_TO_VSC) << 16), name, 256);
    return WideString(name, size_t(std::clamp(length, 0, 255)));
}

}  // namespace

WideString WideShortCutToText(TShortCut shortCut)
{
    auto key = WORD(shortCut & 0xFF);
    if (!Win32PlatformIsUnicode || IsLibraryNamedKey(key))
        return AnsiToWide(ShortCutToText(shortCut));
    WideString name = WideKeyName(key);
    if (name.empty())
        return {};
    WideString text;
    if (shortCut & scShift)
        text += WideLoadResString(&SmkcShift);
    if (shortCut & scCtrl)
        text += WideLoadResString(&SmkcCtrl);
    if (shortCut & scAlt)
        text += WideLoadResString(&SmkcAlt);
    return text + name;
}

TShortCut WideTextToShortCut(const WideString& text)
{
    TShortCut shift = 0;
    WideString rest = text;
    auto take = [&rest, &shift](const WideString& prefix, TShortCut bit) {
        if (prefix.empty() || rest.compare(0, prefix.size(), prefix) != 0)
            return false;
        shift |= bit;
        rest.erase(0, prefix.size());
        return true;
    };
    while (take(WideLoadResString(&SmkcShift), scShift) || take(L"^", scCtrl) ||
           take(WideLoadResString(&SmkcCtrl), scCtrl) || take(WideLoadResString(&SmkcAlt), scAlt)) {
    }
    if (rest.empty())
        return 0;
    for (WORD key = 8; key <= 255; ++key)
        if (WideCompareText(WideShortCutToText(key), rest) == 0)
            return TShortCut(key | shift);
    return 0;
}

WideString WideGetHotkey(const WideString& text)
{
    WideString hotkey;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] != L'&')
            hotkey.assign(1, text[i + 1]);
        ++i;  // the marked character, or the second half of a literal ampersand
    }
    return hotkey;
}

WideString WideStripHotkey(const WideString& text)
{
    WideString result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'&') {
            result += text[i];
        } else if (i > 0 && IsFarEastGroupAt(text, i - 1)) {
            result.pop_back();  // the opening parenthesis
            i += 2;             // the character and the closing parenthesis
        } else if (i + 1 < text.size() && text[i + 1] == L'&') {
            result += L'&';
            ++i;
        }
    }
    return result;
}

bool WideSameCaption(const WideString& text1, const WideString& text2)
{
    return WideCompareText(WideStripHotkey(text1), WideStripHotkey(text2)) == 0;
}

void SyncHotKeyPosition(const WideString& source, WideString& dest)
{
    if (WideToAnsi(source) == WideToAnsi(dest))
        return;
    if (WideStripHotkey(AnsiToWide(WideToAnsi(source))) != WideStripHotkey(AnsiToWide(WideToAnsi(dest))))
        return;
    WideString plain = WideStripHotkey(dest);
    WideString result;
    size_t j = 0;  // in plain
    auto takePlain = [&] {
        size_t n = j < plain.size() ? AnsiUnitLength(plain, j) : 0;
        result += plain.substr(j, n);
        j += n;
    };
    for (size_t i = 0; i < source.size();) {
        if (IsFarEastGroupAt(source, i)) {
            result += source.substr(i, 4);
            i += 4;
        } else if (source[i] == L'&') {
            result += L'&';
            if (i + 1 < source.size())
                takePlain();
            i += 2;
        } else {
            takePlain();
            ++i;
        }
    }
    result += plain.substr(std::min(j, plain.size()));
    if (WideToAnsi(result) != WideToAnsi(source))
        throw EWydInternalError("Internal Error: SyncHotKeyPosition Failed (\"%s\" <> \"%s\").",
                                {WideToAnsi(source), WideToAnsi(result)});
    dest = result;
}

WideString WideGetMenuItemCaption(TMenuItem* item)
{
    if (auto* wide = dynamic_cast<TWydMenuItem*>(item))
        return wide->GetCaption();
    return AnsiToWide(item->GetCaption());
}

WideString WideGetMenuItemHint(TMenuItem* item)
{
    if (auto* wide = dynamic_cast<TWydMenuItem*>(item))
        return wide->GetHint();
    return AnsiToWide(item->GetHint());
}

bool MenuItemHasBitmap(TMenuItem* item)
{
    return item->BitmapAllocated();
}

void NoOwnerDrawTopLevelItems(TMainMenu* menu)
{
    if (!FlatMenuBars())
        return;
    HMENU handle = menu->GetHandle();
    for (UINT position = 0;; ++position) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_TYPE;
        if (!GetMenuItemInfoA(handle, position, TRUE, &info))
            break;
        if (!(info.fType & MFT_OWNERDRAW))
            continue;
        TMenuItem* item = menu->FindItem(info.wID, TFindItemKind::fkCommand);
        if (!item || item->OnDrawItem || item->OnAdvancedDrawItem || ItemHasValidImage(item))
            continue;
        UINT type = info.fType & ~UINT(MFT_OWNERDRAW);
        auto* wide = dynamic_cast<TWydMenuItem*>(item);
        if (Win32PlatformIsUnicode && wide)
            SetEntryText<MENUITEMINFOW>(SetMenuItemInfoW, handle, position, TRUE, type, wide->GetCaption());
        else
            SetEntryText<MENUITEMINFOA>(SetMenuItemInfoA, handle, position, TRUE, type, item->GetCaption());
    }
}

void FixMenuBiDiProblem(TMenu* menu)
{
    if (!SysLocale.MiddleEast || !menu || menu->GetItems()->GetCount() == 0)
        return;
    TMenuItem* root = menu->GetItems();
    for (int i = 0; i < root->GetCount(); ++i) {
        if (!root->GetItem(i)->GetVisible())
            continue;
        if (auto* first = dynamic_cast<TWydMenuItem*>(root->GetItem(i)))
            first->UpdateMenuString(menu);
        return;
    }
}

// =============================================================================================
// TWydMenuItem: caption and hint

WideString TWydMenuItem::GetCaption() const
{
    AnsiString ansi = TMenuItem::GetCaption();
    if (WideToAnsi(WideCaption) != ansi) {
        // The library moved or added an accelerator mark: put it into the wide caption too. A caption whose
        // marks cannot be placed shows the library's caption, as any caption changed behind the wide one does.
        try {
            SyncHotKeyPosition(AnsiToWide(ansi), WideCaption);
        } catch (const EWydInternalError&) {
        }
    }
    return GetSyncedWideString(WideCaption, ansi);
}

void TWydMenuItem::SetCaption(const WideString& value)
{
    SetSyncedWideString(value, WideCaption, TMenuItem::GetCaption(),
                        [this](const AnsiString& s) { SetInheritedCaption(s); });
}

WideString TWydMenuItem::GetHint() const
{
    return GetSyncedWideString(WideHint, TMenuItem::GetHint());
}

void TWydMenuItem::SetHint(const WideString& value)
{
    SetSyncedWideString(value, WideHint, TMenuItem::GetHint(), [this](const AnsiString& s) { SetInheritedHint(s); });
}

bool TWydMenuItem::IsCaptionStored() const
{
    return !ActionLink || !ActionLink->IsCaptionLinked();
}

bool TWydMenuItem::IsHintStored() const
{
    return !ActionLink || !ActionLink->IsHintLinked();
}

TMenuItem* TWydMenuItem::Find(const WideString& caption) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (WideSameCaption(WideGetMenuItemCaption(GetItem(i)), caption))
            return GetItem(i);
    return nullptr;
}

// =============================================================================================
// TWydMenuItem: the native entry

bool TWydMenuItem::IsTopLevelOfMainMenu() const
{
    TMenuItem* parent = GetParent();
    return parent && !parent->GetParent() && dynamic_cast<TMainMenu*>(parent->GetParentMenu());
}

void TWydMenuItem::UpdateMenuString(TMenu* parentMenu)
{
    LastKeyboardLayout = GetKeyboardLayout(0);
    TMenuItem* parent = GetParent();
    if (!Win32PlatformIsUnicode || !parent || !parentMenu || IsReadingOrDestroying(this) || !GetVisible())
        return;
    // A merged menu's entries live in the native menu of the item it is merged with.
    TMenuItem* host = parent->GetMergedWith() ? parent->GetMergedWith() : parent;
    HMENU native = host->GetHandle();
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_TYPE;
    if (!GetMenuItemInfoW(native, GetCommand(), FALSE, &info) ||
        (info.fType & (MFT_BITMAP | MFT_OWNERDRAW | MFT_SEPARATOR)))
        return;
    WideString caption = GetCaption();
    if (GetCount() == 0 && GetShortCut() != 0 && !IsTopLevelOfMainMenu())
        caption += L"\t" + WideShortCutToText(GetShortCut());
    int length = std::max(GetMenuStringW(native, GetCommand(), nullptr, 0, MF_BYCOMMAND), 0);
    std::vector<wchar_t> current(size_t(length) + 1);
    int copied = GetMenuStringW(native, GetCommand(), current.data(), length + 1, MF_BYCOMMAND);
    if (WideString(current.data(), size_t(std::clamp(copied, 0, length))) == caption)
        return;
    if (!SetEntryText<MENUITEMINFOW>(SetMenuItemInfoW, native, GetCommand(), FALSE, info.fType, caption))
        RaiseLastOSError();
    // An entry of the bar itself (this menu's or the one it is merged into) shows after the bar is drawn.
    auto* bar = dynamic_cast<TMainMenu*>(host->GetParentMenu());
    if (bar && host == bar->GetItems() && bar->WindowHandle)
        DrawMenuBar(bar->WindowHandle);
}

void TWydMenuItem::Loaded()
{
    TMenuItem::Loaded();
    UpdateMenuString(GetParentMenu());
}

void TWydMenuItem::MenuChanged(bool rebuild)
{
    if (IgnoreMenuChanged)
        return;
    TMenuItem::MenuChanged(rebuild);
    UpdateMenuItems(this, GetParentMenu());
    FixMenuBiDiProblem(GetParentMenu());
}

// Key names follow the keyboard layout: a new layout writes the shortcut texts again.
void TWydMenuItem::InitiateAction()
{
    if (GetKeyboardLayout(0) != LastKeyboardLayout)
        MenuChanged(false);
    TMenuItem::InitiateAction();
}

void TWydMenuItem::DefineProperties(TFiler* filer)
{
    TMenuItem::DefineProperties(filer);
    WydPersistent_AfterInherited_DefineProperties(filer, this);
}

TClass TWydMenuItem::GetActionLinkClass() const
{
    return TWydMenuActionLink::StaticClass();
}

void TWydMenuItem::ActionChange(TObject* sender, bool checkDefaults)
{
    auto* action = dynamic_cast<TCustomAction*>(sender);
    if (action && IsWydAction(action)) {
        if (!checkDefaults || GetCaption().empty())
            SetCaption(WydAction_GetCaption(action));
        if (!checkDefaults || GetHint().empty())
            SetHint(WydAction_GetHint(action));
    }
    TMenuItem::ActionChange(sender, checkDefaults);
}

// =============================================================================================
// TWydMenuItem: owner drawing

UINT TWydMenuItem::GetAlignmentDrawStyle() const
{
    auto* popup = dynamic_cast<TPopupMenu*>(GetParentMenu());
    if (!popup)
        return DT_LEFT;
    switch (popup->Alignment) {
    case TPopupAlignment::paRight:
        return DT_RIGHT;
    case TPopupAlignment::paCenter:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}

bool TWydMenuItem::ParentIsRightToLeft() const
{
    TMenu* menu = GetParentMenu();
    return menu && SysLocale.MiddleEast && menu->IsRightToLeft();
}

void TWydMenuItem::DoDrawText(TCanvas* canvas, const WideString& text, RECT& rect, bool selected, UINT flags)
{
    if (!Win32PlatformIsUnicode || IsLine()) {
        TMenuItem::DoDrawText(canvas, WideToAnsi(text), rect, selected, flags);
        return;
    }
    if (ParentIsRightToLeft())
        flags |= DT_RIGHT | DT_RTLREADING;
    WideString shown = text;
    if ((flags & DT_CALCRECT) && (shown.empty() || shown == L"&"))
        shown += L' ';
    TFont* font = canvas->GetFont();
    TFontStyles style = font->GetStyle();
    if (GetDefault())
        style << fsBold;
    font->SetStyle(style);
    HDC dc = canvas->GetHandle();
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, font->GetHandle());
    auto draw = [&](RECT& r, TColor color) {
        SetTextColor(dc, ColorToRGB(color));
        Wyd_DrawTextW(dc, shown.c_str(), int(shown.size()), &r, flags);
    };
    if (!GetEnabled() && !selected && !(flags & DT_CALCRECT)) {
        RECT embossed = rect;
        OffsetRect(&embossed, 1, 1);
        draw(embossed, clBtnHighlight);
    }
    TColor color = selected ? clHighlightText : clMenuText;
    if (!GetEnabled())
        color = selected && ColorToRGB(clHighlight) == ColorToRGB(clBtnShadow) ? clBtnHighlight : clBtnShadow;
    draw(rect, color);
}

int TWydMenuItem::MeasureItemTextWidth(TCanvas* canvas, const WideString& text) const
{
    RECT r{0, 0, 0, 0};
    const_cast<TWydMenuItem*>(this)->DoDrawText(
        canvas, text, r, false, GetAlignmentDrawStyle() | DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_SINGLELINE);
    return r.right - r.left;
}

void TWydMenuItem::AdvancedDrawItem(TCanvas* canvas, RECT rect, TOwnerDrawState state, bool topLevel)
{
    TMenu* menu = GetParentMenu();
    bool handlerDraws = menu && menu->IsOwnerDraw() && (OnAdvancedDrawItem || OnDrawItem);
    if (!Win32PlatformIsUnicode || IsLine() || handlerDraws) {
        TMenuItem::AdvancedDrawItem(canvas, rect, state, topLevel);
        return;
    }
    // The library paints background and glyph of an item without text; the text is drawn wide afterwards.
    WideString caption = GetCaption();
    TShortCut shortCut = GetShortCut();
    {
        IgnoreMenuChanged = true;
        auto restore = Finally([&] {
            IgnoreMenuChanged = true;
            SetCaption(caption);
            TMenuItem::SetShortCut(shortCut);
            IgnoreMenuChanged = false;
        });
        SetInheritedCaption("");
        TMenuItem::SetShortCut(0);
        IgnoreMenuChanged = false;
        TMenuItem::AdvancedDrawItem(canvas, rect, state, topLevel);
    }
    DrawWideText(canvas, rect, state, topLevel);
}

void TWydMenuItem::DrawWideText(TCanvas* canvas, RECT rect, TOwnerDrawState state, bool topLevel)
{
    TMenu* menu = GetParentMenu();
    TCustomImageList* images = menu ? menu->GetImages() : nullptr;
    bool rightToLeft = ParentIsRightToLeft();
    bool selected = state.Contains(odSelected);
    // The glyph column: the text starts where the library's glyph ends, in every item of the menu alike.
    RECT glyph{rect.left + 1, rect.top, rect.left, rect.bottom};
    bool validImage = images && GetImageIndex() >= 0 && GetImageIndex() < images->GetCount();
    if (images && (validImage || (GetChecked() && !HasBitmap())))
        glyph.right = rect.left + images->GetWidth();
    else if (HasBitmap())
        glyph.right = rect.left + 16;
    else if (!topLevel)
        glyph.right = rect.left + (images ? images->GetWidth() : 16);
    if (GetChecked())
        ++glyph.left;
    if (rightToLeft) {
        int width = glyph.right - glyph.left;
        glyph.right = rect.right - (glyph.left - rect.left);
        glyph.left = glyph.right - width;
    }
    --glyph.left;
    glyph.right += 2;

    RECT text = rect;
    if (rightToLeft)
        text.right = glyph.left - 1;
    else
        text.left = glyph.right + 1;
    text.left += 2;
    text.right -= 1;
    if (topLevel && FlatMenuBars() && !selected)
        OffsetRect(&text, 0, -1);

    UINT flags = GetAlignmentDrawStyle() | DT_EXPANDTABS | DT_SINGLELINE;
    if (Win32Platform == VER_PLATFORM_WIN32_NT && CheckWin32Version(5, 0) && state.Contains(odNoAccel))
        flags |= DT_HIDEPREFIX;
    WideString caption = GetCaption();
    RECT measured = text;
    DoDrawText(canvas, caption, measured, selected, flags | DT_CALCRECT | DT_NOCLIP);
    OffsetRect(&measured, 0, ((text.bottom - text.top) - (measured.bottom - measured.top)) / 2);
    if (topLevel && selected && FlatMenuBars())
        OffsetRect(&measured, 1, 0);
    DoDrawText(canvas, caption, measured, selected, flags);

    if (GetShortCut() == 0 || topLevel)
        return;
    WideString shortCut = WideShortCutToText(GetShortCut());
    RECT keys = measured;
    if (rightToLeft) {
        keys.left = 10;
        keys.right = keys.left + MeasureItemTextWidth(canvas, shortCut);
    } else {
        keys.left = measured.right;
        keys.right = rect.right - 10;
    }
    DoDrawText(canvas, shortCut, keys, selected, DT_RIGHT | DT_EXPANDTABS | DT_SINGLELINE);
}

void TWydMenuItem::MeasureItem(TCanvas* canvas, int& width, int& height)
{
    if (!Win32PlatformIsUnicode || IsLine()) {
        TMenuItem::MeasureItem(canvas, width, height);
        return;
    }
    {
        TMenuMeasureItemEvent handler = OnMeasureItem;
        OnMeasureItem = nullptr;
        auto restore = Finally([&] { OnMeasureItem = handler; });
        TMenuItem::MeasureItem(canvas, width, height);
    }
    width += MeasureItemTextWidth(canvas, GetCaption()) -
             MeasureItemTextWidth(canvas, AnsiToWide(TMenuItem::GetCaption()));
    if (TShortCut shortCut = GetShortCut())
        width += MeasureItemTextWidth(canvas, WideShortCutToText(shortCut)) -
                 MeasureItemTextWidth(canvas, AnsiToWide(ShortCutToText(shortCut)));
    OnMeasureItem(this, canvas, width, height);
}

// =============================================================================================
// Menus

void TWydMainMenu::DoChange(TMenuItem* source, bool rebuild)
{
    TMainMenu::DoChange(source, rebuild);
    UpdateMenuItems(GetItems(), this);
    if (TMenuItem* host = GetItems()->GetMergedWith())
        UpdateMenuItems(host, host->GetParentMenu());
}

TWydPopupMenu::TWydPopupMenu(TComponent* owner) : TPopupMenu(owner)
{
    if (!WydPopupList)
        return;
    if (TPopupList* library = WydPopupList->GetLibraryList())
        library->Remove(this);
    WydPopupList->Add(this);
}

TWydPopupMenu::~TWydPopupMenu()
{
    if (!WydPopupList)
        return;
    WydPopupList->Remove(this);
    if (TPopupList* library = WydPopupList->GetLibraryList())
        library->Add(this);
}

void TWydPopupMenu::DoChange(TMenuItem* source, bool rebuild)
{
    TPopupMenu::DoChange(source, rebuild);
    UpdateMenuItems(GetItems(), this);
}

// The wide list is the library's current pop-up list while the menu runs, so its messages come here.
void TWydPopupMenu::Popup(int x, int y)
{
    if (!WydPopupList) {
        TPopupMenu::Popup(x, y);
        return;
    }
    TPopupList* saved = PopupList;
    auto restore = Finally([saved] { PopupList = saved; });
    PopupList = WydPopupList;
    TPopupMenu::Popup(x, y);
}

void TWydPopupList::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_MENUSELECT:
        if (WMMenuSelect(message))
            return;
        break;
    case WM_ENTERMENULOOP:
        if (libraryList_)
            PopupList = libraryList_;
        for (int i = 0; i < GetCount(); ++i)
            FixMenuBiDiProblem(static_cast<TPopupMenu*>(GetItems(i)));
        break;
    default:
        break;
    }
    TPopupList::WndProc(message);
}

// The long part of the selected item's wide hint becomes the application's hint; true when an item of the
// wide menus was selected (the library has nothing to add then).
bool TWydPopupList::WMMenuSelect(TMessage& message)
{
    bool popup = HIWORD(message.WParam) & MF_POPUP;
    UINT_PTR key = popup ? (message.LParam ? UINT_PTR(GetSubMenu(HMENU(message.LParam), LOWORD(message.WParam)))
                                           : UINT_PTR(-1))
                         : LOWORD(message.WParam);
    for (int i = 0; i < GetCount(); ++i) {
        auto* menu = static_cast<TPopupMenu*>(GetItems(i));
        if (TMenuItem* item = menu->FindItem(key, popup ? TFindItemKind::fkHandle : TFindItemKind::fkCommand)) {
            SetApplicationHint(WideGetLongHint(WideGetMenuItemHint(item)));
            message.Result = 0;
            return true;
        }
    }
    SetApplicationHint(L"");
    return false;
}

// =============================================================================================
// Items made in code, unit start and end

TWydMenuItem* WideNewItem(const WideString& caption, TShortCut shortCut, bool checked, bool enabled,
                          TNotifyEvent onClick, int helpContext, const AnsiString& name)
{
    auto* item = new TWydMenuItem(nullptr);
    item->SetCaption(caption);
    item->SetShortCut(shortCut);
    item->SetChecked(checked);
    item->SetEnabled(enabled);
    item->OnClick = onClick;
    item->SetHelpContext(helpContext);
    item->SetName(name);
    return item;
}

TWydMenuItem* WideNewSubMenu(const WideString& caption, int helpContext, const AnsiString& name,
                             std::initializer_list<TMenuItem*> items, bool enabled)
{
    auto* item = new TWydMenuItem(nullptr);
    for (TMenuItem* child : items)
        item->Add(child);
    item->SetCaption(caption);
    item->SetHelpContext(helpContext);
    item->SetName(name);
    item->SetEnabled(enabled);
    return item;
}

void InitWydMenus()
{
    if (WydPopupList)
        return;
    WydPopupList = new TWydPopupList(PopupList);
    RegisterClasses({TWydMenuItem::StaticClass(), TWydMainMenu::StaticClass(), TWydPopupMenu::StaticClass()});
}

// Menus still in the wide list go back to the library's, so their commands keep arriving.
void DoneWydMenus()
{
    if (!WydPopupList)
        return;
    TWydPopupList* list = WydPopupList;
    WydPopupList = nullptr;
    if (PopupList == list)
        PopupList = list->GetLibraryList();
    if (TPopupList* library = list->GetLibraryList())
        for (int i = 0; i < list->GetCount(); ++i)
            library->Add(static_cast<TPopupMenu*>(list->GetItems(i)));
    delete list;
}
