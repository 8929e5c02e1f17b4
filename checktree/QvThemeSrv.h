// Theme services: whether themed drawing is possible, one theme handle per element family opened on
// demand, element enumerations mapped to part and state numbers, themed drawing, and a watch on the
// application's window so that a switch of the visual style is followed.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "Graphics.h"
#include "QvTmSchema.h"
#include "QvUxTheme.h"

namespace vcl {
class TWinControl;
}

// Each detail enumeration begins with "DontCare" and "Root" and then lists, part by part in schema order,
// one value per state of that part.
enum TThemedButton : int {
    tbButtonDontCare, tbButtonRoot,
    tbPushButtonNormal, tbPushButtonHot, tbPushButtonPressed, tbPushButtonDisabled, tbPushButtonDefaulted,
    tbRadioButtonUncheckedNormal, tbRadioButtonUncheckedHot, tbRadioButtonUncheckedPressed,
    tbRadioButtonUncheckedDisabled, tbRadioButtonCheckedNormal, tbRadioButtonCheckedHot,
    tbRadioButtonCheckedPressed, tbRadioButtonCheckedDisabled,
    tbCheckBoxUncheckedNormal, tbCheckBoxUncheckedHot, tbCheckBoxUncheckedPressed, tbCheckBoxUncheckedDisabled,
    tbCheckBoxCheckedNormal, tbCheckBoxCheckedHot, tbCheckBoxCheckedPressed, tbCheckBoxCheckedDisabled,
    tbCheckBoxMixedNormal, tbCheckBoxMixedHot, tbCheckBoxMixedPressed, tbCheckBoxMixedDisabled,
    tbGroupBoxNormal, tbGroupBoxDisabled,
    tbUserButton
};

enum TThemedComboBox : int {
    tcComboBoxDontCare, tcComboBoxRoot,
    tcDropDownButtonNormal, tcDropDownButtonHot, tcDropDownButtonPressed, tcDropDownButtonDisabled
};

enum TThemedEdit : int {
    teEditDontCare, teEditRoot,
    teEditTextNormal, teEditTextHot, teEditTextSelected, teEditTextDisabled, teEditTextFocused,
    teEditTextReadOnly, teEditTextAssist,
    teEditCaret
};

enum TThemedExplorerBar : int {
    tebExplorerBarDontCare, tebExplorerBarRoot,
    tebHeaderBackgroundNormal,
    tebHeaderCloseNormal, tebHeaderCloseHot, tebHeaderClosePressed,
    tebHeaderPinNormal, tebHeaderPinHot, tebHeaderPinPressed, tebHeaderPinSelectedNormal, tebHeaderPinSelectedHot,
    tebHeaderPinSelectedPressed,
    tebIEBarMenuNormal, tebIEBarMenuHot, tebIEBarMenuPressed,
    tebNormalGroupBackground,
    tebNormalGroupCollapseNormal, tebNormalGroupCollapseHot, tebNormalGroupCollapsePressed,
    tebNormalGroupExpandNormal, tebNormalGroupExpandHot, tebNormalGroupExpandPressed,
    tebNormalGroupHead,
    tebSpecialGroupBackground,
    tebSpecialGroupCollapseNormal, tebSpecialGroupCollapseHot, tebSpecialGroupCollapsePressed,
    tebSpecialGroupExpandNormal, tebSpecialGroupExpandHot, tebSpecialGroupExpandPressed,
    tebSpecialGroupHead
};

enum TThemedProgress : int { tpProgressDontCare, tpProgressRoot, tpBar, tpBarVert, tpChunk, tpChunkVert };

enum TThemedTreeview : int {
    ttTreeviewDontCare, ttTreeviewRoot,
    ttItemNormal, ttItemHot, ttItemSelected, ttItemDisabled, ttItemSelectedNotFocus,
    ttGlyphClosed, ttGlyphOpened,
    ttBranch
};

struct TThemedElementDetails {
    TThemedElement Element;
    int Part;
    int State;
};

// Forces themed drawing on or off for tests, whatever the system says; Automatic follows the system.
enum class TThemeTestMode { Automatic, ForceThemed, ForceUnthemed };

class TThemeServices : public vcl::TObject {
public:
    // Watches Window (when not 0) for theme changes.
    explicit TThemeServices(HWND Window);
    ~TThemeServices() override;
    TThemeServices(const TThemeServices&) = delete;
    TThemeServices& operator=(const TThemeServices&) = delete;

    bool ThemesEnabled() const { return FLibraryLoaded && FThemesAvailable && FControlsThemed; }
    bool GetThemesEnabled() const { return ThemesEnabled(); }
    bool ThemesAvailable() const { return FThemesAvailable; }
    HTHEME GetTheme(TThemedElement Element);
    bool ThemeOpen(TThemedElement Element) const { return FThemes[Element] != nullptr; }

    // Any family's value by its place in the family's enumeration.
    static TThemedElementDetails GetElementDetails(TThemedElement Element, int Value);
    static TThemedElementDetails GetElementDetails(TThemedButton Value) { return GetElementDetails(teButton, Value); }
    static TThemedElementDetails GetElementDetails(TThemedComboBox Value) { return GetElementDetails(teComboBox, Value); }
    static TThemedElementDetails GetElementDetails(TThemedEdit Value) { return GetElementDetails(teEdit, Value); }
    static TThemedElementDetails GetElementDetails(TThemedExplorerBar Value) { return GetElementDetails(teExplorerBar, Value); }
    static TThemedElementDetails GetElementDetails(TThemedProgress Value) { return GetElementDetails(teProgress, Value); }
    static TThemedElementDetails GetElementDetails(TThemedTreeview Value) { return GetElementDetails(teTreeview, Value); }

    void DrawElement(HDC DC, const TThemedElementDetails& Details, const RECT& R, const RECT* ClipRect = nullptr);
    void DrawText(HDC DC, const TThemedElementDetails& Details, const vcl::WideString& S, const RECT& R,
                  DWORD Flags, DWORD Flags2);
    void DrawEdge(HDC DC, const TThemedElementDetails& Details, const RECT& R, UINT Edge, UINT Flags,
                  RECT* ContentRect);
    void DrawIcon(HDC DC, const TThemedElementDetails& Details, const RECT& R, HIMAGELIST ImageList, int Index);
    RECT ContentRect(HDC DC, const TThemedElementDetails& Details, const RECT& BoundingRect);
    bool HasTransparentParts(const TThemedElementDetails& Details);
    // A system colour as the theme draws it; other colours, or no details, come back unchanged.
    vcl::TColor ColorToRGB(vcl::TColor Color, const TThemedElementDetails* Details = nullptr);
    void DrawParentBackground(HWND Window, HDC DC, const TThemedElementDetails* Details, bool OnlyIfTransparent,
                              const RECT* Bounds = nullptr);
    // A themed edit border over a window with the client-edge style.
    void PaintBorder(HWND Control, bool EraseLowerRightCorner);
    void PaintBorder(vcl::TWinControl* Control, bool EraseLowerRightCorner);

    void UpdateThemes();
    void UnloadThemeData();

    vcl::TNotifyEvent OnThemeChange;

    static void SetTestMode(TThemeTestMode Mode) { testMode = Mode; }
    static TThemeTestMode TestMode() { return testMode; }

protected:
    virtual void DoOnThemeChange();

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void Unsubclass();

    inline static TThemeTestMode testMode = TThemeTestMode::Automatic;
    bool FLibraryLoaded = false;
    bool FThemesAvailable = false;
    bool FControlsThemed = false;
    HWND FWindow = nullptr;
    WNDPROC FPreviousProc = nullptr;
    HTHEME FThemes[ThemedElementCount] = {};
};

// The program's theme services, made on first use for the application's window.
TThemeServices* ThemeServices();
// Frees the theme services (the unit end does so too); the next ThemeServices() makes new ones.
void FreeThemeServices();

struct QvThemeSrvUnit {
    QvThemeSrvUnit();
    ~QvThemeSrvUnit();
};
static QvThemeSrvUnit qvThemeSrvUnit;
