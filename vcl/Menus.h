// Menus: items in a tree that build native ANSI menus, main and pop-up menus, shortcuts and their texts.
#pragma once

#include "ActnList.h"
#include "Controls.h"
#include "Graphics.h"
#include "ImgList.h"

namespace vcl {

class TMenu;
class TMenuItem;

VCL_EXCEPTION(EMenuError, Exception)

using TShortCut = unsigned short;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
// The modifier prefixes of shortcut texts ("Shift+", "Ctrl+", "Alt+").
extern const TResStringRec SmkcShift, SmkcCtrl, SmkcAlt;
TShortCut ShortCut(WORD Key, TShiftState Shift);
AnsiString ShortCutToText(TShortCut Value);
// 0 when the text is no shortcut.
TShortCut TextToShortCut(const AnsiString& Text);
void ShortCutToKey(TShortCut Value, WORD& Key, TShiftState& Shift);
// A caption without its accelerator marks ("&&" stays one ampersand).
AnsiString StripHotkey(const AnsiString& Text);
// Captions that differ only in case and accelerator marks are the same caption.
bool AnsiSameCaption(const AnsiString& Text1, const AnsiString& Text2);

enum class TFindItemKind { fkCommand, fkHandle, fkShortCut };
enum class TPopupAlignment { paLeft, paRight, paCenter };
enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
                           odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit };
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
TOwnerDrawState OwnerDrawStateOf(UINT ItemState);

using TMenuDrawItemEvent = TEvent<TObject*, TCanvas*, RECT, bool>;
using TAdvancedMenuDrawItemEvent = TEvent<TObject*, TCanvas*, RECT, TOwnerDrawState>;
using TMenuMeasureItemEvent = TEvent<TObject*, TCanvas*, int&, int&>;

// A menu item stays linked when the library or a person only added an accelerator mark to its caption.
class TMenuActionLink : public TClientActionLink<TMenuItem> {
    VCL_CLASS(TMenuActionLink, TActionLink)
    bool IsCaptionLinked() const override;
    bool IsCheckedLinked() const override;
    bool IsShortCutLinked() const override;
    void SetChecked(bool Value) override;
    void SetShortCut(TShortCut Value) override;
    void SetImageIndex(int Value) override;
};

class TMenuItem : public TComponent {
    VCL_CLASS(TMenuItem, TComponent)
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    AnsiString GetCaption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    AnsiString GetHint() const { return FHint; }
    void SetHint(const AnsiString& Value) { FHint = Value; }
    bool GetChecked() const { return FChecked; }
    void SetChecked(bool Value);
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);
    bool GetDefault() const { return FDefault; }
    void SetDefault(bool Value);
    bool GetRadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    int GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    TShortCut GetShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int GetHelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    TBitmap* GetBitmap();
    bool HasBitmap() const { return FBitmap && !FBitmap->GetEmpty(); }
    bool BitmapAllocated() const { return FBitmap != nullptr; }
    TBasicAction* GetAction() const;
    void SetAction(TBasicAction* Value);
    TActionLink* ActionLink = nullptr;

    UINT GetCommand() const { return FCommand; }
    // The native pop-up menu of the item's children (made on demand).
    HMENU GetHandle();
    int GetCount() const { return int(FItems.size()); }
    TMenuItem* GetItem(int Index) const { return FItems.at(size_t(Index)); }
    TMenuItem* GetParent() const { return FParent; }
    int GetMenuIndex() const;
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    void Delete(int Index);
    void Remove(TMenuItem* Item);
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    TMenu* GetParentMenu() const;
    bool IsLine() const { return FCaption == "-"; }
    // Merging: the items of another menu's item shown among this item's own (by group index: a merged item
    // takes the place of this item's items of its group). The merged item's entries live in this item's
    // native menu.
    void MergeWith(TMenuItem* Menu);
    TMenuItem* GetMerged() const { return FMerged; }
    TMenuItem* GetMergedWith() const { return FMergedWith; }
    // The items shown in this item's native menu, merged ones included, in their order there.
    std::vector<TMenuItem*> GetEntryItems() const;

    virtual void Click();
    virtual void InitiateAction();
    void InitiateActions();
    virtual void AdvancedDrawItem(TCanvas* ACanvas, RECT ARect, TOwnerDrawState State, bool TopLevel);
    virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
    void DrawItemStruct(const DRAWITEMSTRUCT& Draw);
    void MeasureItemStruct(MEASUREITEMSTRUCT& Measure);

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void DefineProperties(TFiler* Filer) override;
    void Loaded() override;

    TNotifyEvent OnClick;
    TMenuDrawItemEvent OnDrawItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;
    TNotifyEvent GetOnClick() const { return OnClick; }
    void SetOnClick(TNotifyEvent Value) { OnClick = Value; }

protected:
    friend class TMenu;
    virtual void MenuChanged(bool Rebuild);
    virtual TClass GetActionLinkClass() const;
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);
    // Draws the caption (ANSI) with its accelerator and shortcut text.
    virtual void DoDrawText(TCanvas* ACanvas, const AnsiString& ACaption, RECT& Rect, bool Selected, UINT Flags);
    void AppendTo(HMENU Menu, bool OwnerDraw);
    void RebuildHandle();
    void AppendEntries();
    void ClearEntries();
    // The image of ImageIndex in the menu's image list, when there is one.
    bool HasValidImage() const;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    AnsiString FCaption;
    AnsiString FHint;
    bool FChecked = false;
    bool FEnabled = true;
    bool FVisible = true;
    bool FDefault = false;
    bool FRadioItem = false;
    int FGroupIndex = 0;
    TShortCut FShortCut = 0;
    int FImageIndex = -1;
    int FHelpContext = 0;
    TBitmap* FBitmap = nullptr;
    UINT FCommand;
    HMENU FHandle = nullptr;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // set on the root item
    std::vector<TMenuItem*> FItems;
    TMenuItem* FMerged = nullptr;
    TMenuItem* FMergedWith = nullptr;
    TBasicAction* FAction = nullptr;
};

class TMenu : public TComponent {
    VCL_CLASS(TMenu, TComponent)
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    TMenuItem* GetItems() const { return FItems; }
    virtual HMENU GetHandle();
    HWND WindowHandle = nullptr;
    bool GetOwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    // The native entries are drawn by the items when OwnerDraw is on or an image list is given.
    bool IsOwnerDraw() const { return FOwnerDraw || FImages; }
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TBiDiMode BiDiMode = TBiDiMode::bdLeftToRight;
    bool IsRightToLeft() const { return BiDiMode != TBiDiMode::bdLeftToRight; }
    TMenuItem* FindItem(UINT_PTR Value, TFindItemKind Kind) const;
    // WM_INITMENUPOPUP: the items of the menu about to open update from their actions.
    bool DispatchPopup(HMENU Menu);
    bool DispatchCommand(WORD Command);
    // Clicks the enabled, visible item with this shortcut; true when there was one.
    bool IsShortCut(WORD Key, TShiftState Shift);
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    TNotifyEvent OnChange;

protected:
    friend class TMenuItem;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void DoChange(TMenuItem* Source, bool Rebuild);
    virtual HMENU CreateMenuHandle() = 0;
    void RebuildHandle();
    HMENU FHandle = nullptr;

private:
    TMenuItem* FItems;
    bool FOwnerDraw = false;
    TCustomImageList* FImages = nullptr;
};

class TMainMenu : public TMenu {
    VCL_CLASS(TMainMenu, TMenu)
    explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
    // Shows the top-level items of Menu among this menu's (by group index) until Unmerge.
    void Merge(TMainMenu* Menu);
    void Unmerge(TMainMenu* Menu);

protected:
    HMENU CreateMenuHandle() override { return CreateMenu(); }
    void DoChange(TMenuItem* Source, bool Rebuild) override;
};

class TPopupMenu : public TMenu {
    VCL_CLASS(TPopupMenu, TMenu)
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;
    // Shows the menu at a screen position and runs it to its end.
    virtual void Popup(int X, int Y);
    TComponent* PopupComponent = nullptr;
    bool GetAutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    TPopupAlignment Alignment = TPopupAlignment::paLeft;
    TNotifyEvent OnPopup;

protected:
    HMENU CreateMenuHandle() override { return CreatePopupMenu(); }

private:
    bool FAutoPopup = true;
};

// The window pop-up menus report to, and the menus it serves; replaceable by a descendant.
class TPopupList : public TList {
    VCL_CLASS(TPopupList, TList)
    TPopupList();
    ~TPopupList() override;
    void Add(TPopupMenu* Menu);
    void Remove(TPopupMenu* Menu);
    HWND GetWindow();
    virtual void WndProc(TMessage& Message);

private:
    static LRESULT CALLBACK PopupWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    HWND FWindow = nullptr;
};
extern TPopupList* PopupList;

// A menu item made in code: NewItem("&Open", ShortCut('O', {ssCtrl}), false, true, handler, 0, "miOpen").
TMenuItem* NewItem(const AnsiString& Caption, TShortCut Shortcut, bool Checked, bool Enabled, TNotifyEvent OnClick,
                   int HelpContext, const AnsiString& Name);
TMenuItem* NewLine();

}  // namespace vcl
