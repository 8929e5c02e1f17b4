// Menus: items in a tree that build native ANSI menus, main and pop-up menus, shortcuts and their texts.
#pragma once

#include "ActnList.h"
#include "Controls.h"
#include "Graphics.h"

namespace vcl {

class TMenu;
class TMenuItem;

VCL_EXCEPTION(EMenuError, Exception)

using TShortCut = unsigned short;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
TShortCut ShortCut(WORD Key, TShiftState Shift);
AnsiString ShortCutToText(TShortCut Value);
// 0 when the text is no shortcut.
TShortCut TextToShortCut(const AnsiString& Text);
void ShortCutToKey(TShortCut Value, WORD& Key, TShiftState& Shift);

enum class TFindItemKind { fkCommand, fkHandle, fkShortCut };
enum class TPopupAlignment { paLeft, paRight, paCenter };
enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
                           odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit };
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
TOwnerDrawState OwnerDrawStateOf(UINT ItemState);

using TMenuDrawItemEvent = TEvent<TObject*, TCanvas*, RECT, bool>;
using TAdvancedMenuDrawItemEvent = TEvent<TObject*, TCanvas*, RECT, TOwnerDrawState>;
using TMenuMeasureItemEvent = TEvent<TObject*, TCanvas*, int&, int&>;

class TMenuActionLink : public TActionLink {
    VCL_CLASS(TMenuActionLink, TActionLink)
    void SetClient(TObject* Client) override;
    bool IsCaptionLinked() const override;
    bool IsCheckedLinked() const override;
    bool IsEnabledLinked() const override;
    bool IsHintLinked() const override;
    bool IsVisibleLinked() const override;
    bool IsShortCutLinked() const override;
    void SetCaption(const AnsiString& Value) override;
    void SetChecked(bool Value) override;
    void SetEnabled(bool Value) override;
    void SetHint(const AnsiString& Value) override;
    void SetVisible(bool Value) override;
    void SetShortCut(TShortCut Value) override;
    void SetImageIndex(int Value) override;

protected:
    TMenuItem* FClient = nullptr;
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
    TBasicAction* GetAction() const;
    void SetAction(TBasicAction* Value);
    TMenuActionLink* ActionLink = nullptr;

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
    TObject* GetImages() const { return FImages; }
    void SetImages(TObject* Value);
    TBiDiMode BiDiMode = TBiDiMode::bdLeftToRight;
    bool IsRightToLeft() const { return BiDiMode != TBiDiMode::bdLeftToRight; }
    TMenuItem* FindItem(UINT_PTR Value, TFindItemKind Kind) const;
    // WM_INITMENUPOPUP: the items of the menu about to open update from their actions.
    bool DispatchPopup(HMENU Menu);
    bool DispatchCommand(WORD Command);
    bool IsShortCut(WORD Key, TShiftState Shift);
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    TNotifyEvent OnChange;

protected:
    friend class TMenuItem;
    virtual void DoChange(TMenuItem* Source, bool Rebuild);
    virtual HMENU CreateMenuHandle() = 0;
    void RebuildHandle();
    HMENU FHandle = nullptr;

private:
    TMenuItem* FItems;
    bool FOwnerDraw = false;
    TObject* FImages = nullptr;
};

class TMainMenu : public TMenu {
    VCL_CLASS(TMainMenu, TMenu)
    explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

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
