// Menus with wide captions and hints. The class library keeps building the native menus from its ANSI
// captions; a wide item then rewrites its native entry with the wide caption and shortcut text, keeps its
// accelerator mark where the library put it, draws and measures owner-drawn entries with wide text, and pop-up
// menus report wide hints. Off the NT family everything falls back to the library's ANSI behaviour.
#pragma once

#include <windows.h>

#include "Menus.h"
#include "WydClasses.h"
#include "WydSysUtils.h"

class TWydMenuItem : public vcl::TMenuItem {
    VCL_CLASS(TWydMenuItem, vcl::TMenuItem)
    explicit TWydMenuItem(vcl::TComponent* owner) : TMenuItem(owner) {}

    // Wide twins of the library's ANSI caption and hint: a stored wide value counts while its ANSI form is the
    // library's value. When the library moved or added an accelerator mark, the wide caption follows it.
    WideString GetCaption() const;
    void SetCaption(const WideString& value);
    WideString GetHint() const;
    void SetHint(const WideString& value);
    bool IsCaptionStored() const;
    bool IsHintStored() const;
    // The class library's own setters.
    void SetInheritedCaption(const AnsiString& value) { TMenuItem::SetCaption(value); }
    void SetInheritedHint(const AnsiString& value) { TMenuItem::SetHint(value); }

    // Writes the native entry's text (wide caption, a tab and the shortcut text) unless it is a bitmap,
    // separator or owner-drawn entry or already holds that text.
    void UpdateMenuString(vcl::TMenu* parentMenu);
    // DT_LEFT, DT_RIGHT or DT_CENTER after a pop-up menu's alignment.
    UINT GetAlignmentDrawStyle() const;
    // The first child whose caption equals `caption`, ignoring case and accelerator marks.
    vcl::TMenuItem* Find(const WideString& caption) const;
    int MeasureItemTextWidth(vcl::TCanvas* canvas, const WideString& text) const;

    void DefineProperties(vcl::TFiler* filer) override;
    void Loaded() override;
    void AdvancedDrawItem(vcl::TCanvas* canvas, RECT rect, vcl::TOwnerDrawState state, bool topLevel) override;
    void MeasureItem(vcl::TCanvas* canvas, int& width, int& height) override;
    void InitiateAction() override;

protected:
    using TMenuItem::DoDrawText;
    virtual void DoDrawText(vcl::TCanvas* canvas, const WideString& text, RECT& rect, bool selected, UINT flags);
    void MenuChanged(bool rebuild) override;
    vcl::TClass GetActionLinkClass() const override;
    void ActionChange(vcl::TObject* sender, bool checkDefaults) override;

    bool IgnoreMenuChanged = false;     // set around the temporary caption changes of owner drawing
    mutable WideString WideCaption;
    mutable WideString WideHint;
    HKL LastKeyboardLayout = nullptr;  // when the native text was written: key names follow the layout

private:
    bool IsTopLevelOfMainMenu() const;
    bool ParentIsRightToLeft() const;
    void DrawWideText(vcl::TCanvas* canvas, RECT rect, vcl::TOwnerDrawState state, bool topLevel);
};

class TWydMainMenu : public vcl::TMainMenu {
    VCL_CLASS(TWydMainMenu, vcl::TMainMenu)
    explicit TWydMainMenu(vcl::TComponent* owner) : TMainMenu(owner) {}

protected:
    void DoChange(vcl::TMenuItem* source, bool rebuild) override;
};

class TWydPopupMenu : public vcl::TPopupMenu {
    VCL_CLASS(TWydPopupMenu, vcl::TPopupMenu)
    explicit TWydPopupMenu(vcl::TComponent* owner);
    ~TWydPopupMenu() override;
    void Popup(int x, int y) override;

protected:
    void DoChange(vcl::TMenuItem* source, bool rebuild) override;
};

// Stands in for the library's pop-up list while a wide pop-up menu runs, so that menu hints are wide.
class TWydPopupList : public vcl::TPopupList {
    VCL_CLASS(TWydPopupList, vcl::TPopupList)
    explicit TWydPopupList(vcl::TPopupList* libraryList) : libraryList_(libraryList) {}
    vcl::TPopupList* GetLibraryList() const { return libraryList_; }
    void WndProc(vcl::TMessage& message) override;

private:
    bool WMMenuSelect(vcl::TMessage& message);
    vcl::TPopupList* libraryList_;
};

extern TWydPopupList* WydPopupList;
// Unit start (after the class library's forms unit): the wide pop-up list and the classes of form streams.
void InitWydMenus();
void DoneWydMenus();

// ---- Items made in code

TWydMenuItem* WideNewItem(const WideString& caption, vcl::TShortCut shortCut, bool checked, bool enabled,
                          vcl::TNotifyEvent onClick, int helpContext, const AnsiString& name);
TWydMenuItem* WideNewSubMenu(const WideString& caption, int helpContext, const AnsiString& name,
                             std::initializer_list<vcl::TMenuItem*> items, bool enabled);

// ---- Shortcuts, accelerators and captions

// The shortcut of a key message (WM_KEYDOWN and the like): its key and the shift state of its key data.
vcl::TShortCut MessageToShortCut(const vcl::TMessage& message);
// Letters and digits as the keyboard layout types them, other keys by the system's key names; the keys the
// class library names itself (Enter, arrows, F-keys ...) keep the library's names.
WideString WideShortCutToText(vcl::TShortCut shortCut);
// "Shift+", "^" or "Ctrl+", "Alt+" (as written) and a key text; 0 when it names no key.
vcl::TShortCut WideTextToShortCut(const WideString& text);
// The accelerator character of a caption ("&F" gives "F"; "&&" is a literal ampersand), or empty.
WideString WideGetHotkey(const WideString& text);
// The caption without accelerator marks; with the Far-East locale a "(&X)" group goes whole.
WideString WideStripHotkey(const WideString& text);
// Equal once stripped of accelerator marks, ignoring case (user locale).
bool WideSameCaption(const WideString& text1, const WideString& text2);
// Puts accelerator marks into `dest` where the widened ANSI caption `source` has them, when the two agree
// without marks. Raises EWydInternalError when the result's ANSI form is not the source's.
void SyncHotKeyPosition(const WideString& source, WideString& dest);

// The wide caption or hint of any item (a plain library item: its ANSI one, widened).
WideString WideGetMenuItemCaption(vcl::TMenuItem* item);
WideString WideGetMenuItemHint(vcl::TMenuItem* item);

// Top-level owner-drawn entries without draw handlers or images become plain text entries.
void NoOwnerDrawTopLevelItems(vcl::TMainMenu* menu);
// Right-to-left menus under a Middle-East locale: the first visible top-level entry is written again.
void FixMenuBiDiProblem(vcl::TMenu* menu);
bool MenuItemHasBitmap(vcl::TMenuItem* item);
