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
// one value per state of that part (one value for a part without states).
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

enum TThemedClock : int { tcClockDontCare, tcClockRoot, tcTimeNormal };

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
    tebHeaderBackgroundNormal, tebHeaderBackgroundHot, tebHeaderBackgroundPressed,
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

enum TThemedHeader : int {
    thHeaderDontCare, thHeaderRoot,
    thHeaderItemNormal, thHeaderItemHot, thHeaderItemPressed,
    thHeaderItemLeftNormal, thHeaderItemLeftHot, thHeaderItemLeftPressed,
    thHeaderItemRightNormal, thHeaderItemRightHot, thHeaderItemRightPressed,
    thHeaderSortArrowSortedUp, thHeaderSortArrowSortedDown
};

enum TThemedListview : int {
    tlListviewDontCare, tlListviewRoot,
    tlListItemNormal, tlListItemHot, tlListItemSelected, tlListItemDisabled, tlListItemSelectedNotFocus,
    tlListGroup, tlListDetail, tlListSortedDetail, tlEmptyText
};

enum TThemedMenu : int {
    tmMenuDontCare, tmMenuRoot,
    tmMenuItemNormal, tmMenuItemSelected, tmMenuItemDemoted,
    tmMenuDropDown, tmMenuBarItem, tmMenuBarDropDown, tmChevron, tmSeparator
};

enum TThemedPage : int {
    tpPageDontCare, tpPageRoot,
    tpUpNormal, tpUpHot, tpUpPressed, tpUpDisabled,
    tpDownNormal, tpDownHot, tpDownPressed, tpDownDisabled,
    tpUpHorzNormal, tpUpHorzHot, tpUpHorzPressed, tpUpHorzDisabled,
    tpDownHorzNormal, tpDownHorzHot, tpDownHorzPressed, tpDownHorzDisabled
};

enum TThemedProgress : int { tpProgressDontCare, tpProgressRoot, tpBar, tpBarVert, tpChunk, tpChunkVert };

enum TThemedRebar : int {
    trRebarDontCare, trRebarRoot,
    trGripper, trGripperVert, trBand,
    trChevronNormal, trChevronHot, trChevronPressed,
    trChevronVertNormal, trChevronVertHot, trChevronVertPressed,
    trBackground,
    trSplitterNormal, trSplitterHot, trSplitterPressed,
    trSplitterVertNormal, trSplitterVertHot, trSplitterVertPressed
};

enum TThemedScrollBar : int {
    tsbScrollBarDontCare, tsbScrollBarRoot,
    tsbArrowBtnUpNormal, tsbArrowBtnUpHot, tsbArrowBtnUpPressed, tsbArrowBtnUpDisabled,
    tsbArrowBtnDownNormal, tsbArrowBtnDownHot, tsbArrowBtnDownPressed, tsbArrowBtnDownDisabled,
    tsbArrowBtnLeftNormal, tsbArrowBtnLeftHot, tsbArrowBtnLeftPressed, tsbArrowBtnLeftDisabled,
    tsbArrowBtnRightNormal, tsbArrowBtnRightHot, tsbArrowBtnRightPressed, tsbArrowBtnRightDisabled,
    tsbThumbBtnHorzNormal, tsbThumbBtnHorzHot, tsbThumbBtnHorzPressed, tsbThumbBtnHorzDisabled,
    tsbThumbBtnHorzHover,
    tsbThumbBtnVertNormal, tsbThumbBtnVertHot, tsbThumbBtnVertPressed, tsbThumbBtnVertDisabled,
    tsbThumbBtnVertHover,
    tsbLowerTrackHorzNormal, tsbLowerTrackHorzHot, tsbLowerTrackHorzPressed, tsbLowerTrackHorzDisabled,
    tsbLowerTrackHorzHover,
    tsbUpperTrackHorzNormal, tsbUpperTrackHorzHot, tsbUpperTrackHorzPressed, tsbUpperTrackHorzDisabled,
    tsbUpperTrackHorzHover,
    tsbLowerTrackVertNormal, tsbLowerTrackVertHot, tsbLowerTrackVertPressed, tsbLowerTrackVertDisabled,
    tsbLowerTrackVertHover,
    tsbUpperTrackVertNormal, tsbUpperTrackVertHot, tsbUpperTrackVertPressed, tsbUpperTrackVertDisabled,
    tsbUpperTrackVertHover,
    tsbGripperHorz, tsbGripperVert,
    tsbSizeBoxRightAlign, tsbSizeBoxLeftAlign
};

enum TThemedSpin : int {
    tsSpinDontCare, tsSpinRoot,
    tsUpNormal, tsUpHot, tsUpPressed, tsUpDisabled,
    tsDownNormal, tsDownHot, tsDownPressed, tsDownDisabled,
    tsUpHorzNormal, tsUpHorzHot, tsUpHorzPressed, tsUpHorzDisabled,
    tsDownHorzNormal, tsDownHorzHot, tsDownHorzPressed, tsDownHorzDisabled
};

enum TThemedStartPanel : int {
    tspStartPanelDontCare, tspStartPanelRoot,
    tspUserPane, tspMorePrograms,
    tspMoreProgramsArrowNormal, tspMoreProgramsArrowHot, tspMoreProgramsArrowPressed,
    tspProgList, tspProgListSeparator, tspPlacesList, tspPlacesListSeparator, tspLogOff,
    tspLogOffButtonsNormal, tspLogOffButtonsHot, tspLogOffButtonsPressed,
    tspUserPicture, tspPreview
};

enum TThemedStatus : int { tsStatusDontCare, tsStatusRoot, tsPane, tsGripperPane, tsGripper };

enum TThemedTab : int {
    ttTabDontCare, ttTabRoot,
    ttTabItemNormal, ttTabItemHot, ttTabItemSelected, ttTabItemDisabled, ttTabItemFocused,
    ttTabItemLeftEdgeNormal, ttTabItemLeftEdgeHot, ttTabItemLeftEdgeSelected, ttTabItemLeftEdgeDisabled,
    ttTabItemLeftEdgeFocused,
    ttTabItemRightEdgeNormal, ttTabItemRightEdgeHot, ttTabItemRightEdgeSelected, ttTabItemRightEdgeDisabled,
    ttTabItemRightEdgeFocused,
    ttTabItemBothEdgeNormal, ttTabItemBothEdgeHot, ttTabItemBothEdgeSelected, ttTabItemBothEdgeDisabled,
    ttTabItemBothEdgeFocused,
    ttTopTabItemNormal, ttTopTabItemHot, ttTopTabItemSelected, ttTopTabItemDisabled, ttTopTabItemFocused,
    ttTopTabItemLeftEdgeNormal, ttTopTabItemLeftEdgeHot, ttTopTabItemLeftEdgeSelected,
    ttTopTabItemLeftEdgeDisabled, ttTopTabItemLeftEdgeFocused,
    ttTopTabItemRightEdgeNormal, ttTopTabItemRightEdgeHot, ttTopTabItemRightEdgeSelected,
    ttTopTabItemRightEdgeDisabled, ttTopTabItemRightEdgeFocused,
    ttTopTabItemBothEdgeNormal, ttTopTabItemBothEdgeHot, ttTopTabItemBothEdgeSelected,
    ttTopTabItemBothEdgeDisabled, ttTopTabItemBothEdgeFocused,
    ttPane, ttBody
};

enum TThemedTaskBand : int {
    tbdTaskBandDontCare, tbdTaskBandRoot, tbdGroupCount, tbdFlashButton, tbdFlashButtonGroupMenu
};

enum TThemedTaskBar : int { tbrTaskBarDontCare, tbrTaskBarRoot, tbrBackgroundBottom };

enum TThemedToolBar : int {
    ttbToolBarDontCare, ttbToolBarRoot,
    ttbButtonNormal, ttbButtonHot, ttbButtonPressed, ttbButtonDisabled, ttbButtonChecked, ttbButtonCheckedHot,
    ttbDropDownButtonNormal, ttbDropDownButtonHot, ttbDropDownButtonPressed, ttbDropDownButtonDisabled,
    ttbDropDownButtonChecked, ttbDropDownButtonCheckedHot,
    ttbSplitButtonNormal, ttbSplitButtonHot, ttbSplitButtonPressed, ttbSplitButtonDisabled,
    ttbSplitButtonChecked, ttbSplitButtonCheckedHot,
    ttbSplitButtonDropDownNormal, ttbSplitButtonDropDownHot, ttbSplitButtonDropDownPressed,
    ttbSplitButtonDropDownDisabled, ttbSplitButtonDropDownChecked, ttbSplitButtonDropDownCheckedHot,
    ttbSeparatorNormal, ttbSeparatorHot, ttbSeparatorPressed, ttbSeparatorDisabled, ttbSeparatorChecked,
    ttbSeparatorCheckedHot,
    ttbSeparatorVertNormal, ttbSeparatorVertHot, ttbSeparatorVertPressed, ttbSeparatorVertDisabled,
    ttbSeparatorVertChecked, ttbSeparatorVertCheckedHot
};

enum TThemedToolTip : int {
    tttToolTipDontCare, tttToolTipRoot,
    tttStandardNormal, tttStandardLink, tttStandardTitleNormal, tttStandardTitleLink,
    tttBalloonNormal, tttBalloonLink, tttBalloonTitleNormal, tttBalloonTitleLink,
    tttCloseNormal, tttCloseHot, tttClosePressed
};

enum TThemedTrackBar : int {
    ttkTrackBarDontCare, ttkTrackBarRoot,
    ttkTrack, ttkTrackVert,
    ttkThumbNormal, ttkThumbHot, ttkThumbPressed, ttkThumbFocused, ttkThumbDisabled,
    ttkThumbBottomNormal, ttkThumbBottomHot, ttkThumbBottomPressed, ttkThumbBottomFocused, ttkThumbBottomDisabled,
    ttkThumbTopNormal, ttkThumbTopHot, ttkThumbTopPressed, ttkThumbTopFocused, ttkThumbTopDisabled,
    ttkThumbVertNormal, ttkThumbVertHot, ttkThumbVertPressed, ttkThumbVertFocused, ttkThumbVertDisabled,
    ttkThumbLeftNormal, ttkThumbLeftHot, ttkThumbLeftPressed, ttkThumbLeftFocused, ttkThumbLeftDisabled,
    ttkThumbRightNormal, ttkThumbRightHot, ttkThumbRightPressed, ttkThumbRightFocused, ttkThumbRightDisabled,
    ttkTics, ttkTicsVert
};

enum TThemedTrayNotify : int { ttnTrayNotifyDontCare, ttnTrayNotifyRoot, ttnBackground, ttnAnimBackground };

enum TThemedTreeview : int {
    ttTreeviewDontCare, ttTreeviewRoot,
    ttItemNormal, ttItemHot, ttItemSelected, ttItemDisabled, ttItemSelectedNotFocus,
    ttGlyphClosed, ttGlyphOpened,
    ttBranch
};

enum TThemedWindow : int {
    twWindowDontCare, twWindowRoot,
    twCaptionActive, twCaptionInactive, twCaptionDisabled,
    twSmallCaptionActive, twSmallCaptionInactive, twSmallCaptionDisabled,
    twMinCaptionActive, twMinCaptionInactive, twMinCaptionDisabled,
    twSmallMinCaptionActive, twSmallMinCaptionInactive, twSmallMinCaptionDisabled,
    twMaxCaptionActive, twMaxCaptionInactive, twMaxCaptionDisabled,
    twSmallMaxCaptionActive, twSmallMaxCaptionInactive, twSmallMaxCaptionDisabled,
    twFrameLeftActive, twFrameLeftInactive, twFrameRightActive, twFrameRightInactive,
    twFrameBottomActive, twFrameBottomInactive,
    twSmallFrameLeftActive, twSmallFrameLeftInactive, twSmallFrameRightActive, twSmallFrameRightInactive,
    twSmallFrameBottomActive, twSmallFrameBottomInactive,
    twSysButtonNormal, twSysButtonHot, twSysButtonPushed, twSysButtonDisabled,
    twMDISysButtonNormal, twMDISysButtonHot, twMDISysButtonPushed, twMDISysButtonDisabled,
    twMinButtonNormal, twMinButtonHot, twMinButtonPushed, twMinButtonDisabled,
    twMDIMinButtonNormal, twMDIMinButtonHot, twMDIMinButtonPushed, twMDIMinButtonDisabled,
    twMaxButtonNormal, twMaxButtonHot, twMaxButtonPushed, twMaxButtonDisabled,
    twCloseButtonNormal, twCloseButtonHot, twCloseButtonPushed, twCloseButtonDisabled,
    twSmallCloseButtonNormal, twSmallCloseButtonHot, twSmallCloseButtonPushed, twSmallCloseButtonDisabled,
    twMDICloseButtonNormal, twMDICloseButtonHot, twMDICloseButtonPushed, twMDICloseButtonDisabled,
    twRestoreButtonNormal, twRestoreButtonHot, twRestoreButtonPushed, twRestoreButtonDisabled,
    twMDIRestoreButtonNormal, twMDIRestoreButtonHot, twMDIRestoreButtonPushed, twMDIRestoreButtonDisabled,
    twHelpButtonNormal, twHelpButtonHot, twHelpButtonPushed, twHelpButtonDisabled,
    twMDIHelpButtonNormal, twMDIHelpButtonHot, twMDIHelpButtonPushed, twMDIHelpButtonDisabled,
    twHorzScrollNormal, twHorzScrollHot, twHorzScrollPushed, twHorzScrollDisabled,
    twHorzThumbNormal, twHorzThumbHot, twHorzThumbPushed, twHorzThumbDisabled,
    twVertScrollNormal, twVertScrollHot, twVertScrollPushed, twVertScrollDisabled,
    twVertThumbNormal, twVertThumbHot, twVertThumbPushed, twVertThumbDisabled,
    twDialog,
    twCaptionSizingTemplate, twSmallCaptionSizingTemplate, twFrameLeftSizingTemplate,
    twSmallFrameLeftSizingTemplate, twFrameRightSizingTemplate, twSmallFrameRightSizingTemplate,
    twFrameBottomSizingTemplate, twSmallFrameBottomSizingTemplate
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
    static TThemedElementDetails GetElementDetails(TThemedClock Value) { return GetElementDetails(teClock, Value); }
    static TThemedElementDetails GetElementDetails(TThemedComboBox Value) { return GetElementDetails(teComboBox, Value); }
    static TThemedElementDetails GetElementDetails(TThemedEdit Value) { return GetElementDetails(teEdit, Value); }
    static TThemedElementDetails GetElementDetails(TThemedExplorerBar Value) { return GetElementDetails(teExplorerBar, Value); }
    static TThemedElementDetails GetElementDetails(TThemedHeader Value) { return GetElementDetails(teHeader, Value); }
    static TThemedElementDetails GetElementDetails(TThemedListview Value) { return GetElementDetails(teListView, Value); }
    static TThemedElementDetails GetElementDetails(TThemedMenu Value) { return GetElementDetails(teMenu, Value); }
    static TThemedElementDetails GetElementDetails(TThemedPage Value) { return GetElementDetails(tePage, Value); }
    static TThemedElementDetails GetElementDetails(TThemedProgress Value) { return GetElementDetails(teProgress, Value); }
    static TThemedElementDetails GetElementDetails(TThemedRebar Value) { return GetElementDetails(teRebar, Value); }
    static TThemedElementDetails GetElementDetails(TThemedScrollBar Value) { return GetElementDetails(teScrollBar, Value); }
    static TThemedElementDetails GetElementDetails(TThemedSpin Value) { return GetElementDetails(teSpin, Value); }
    static TThemedElementDetails GetElementDetails(TThemedStartPanel Value) { return GetElementDetails(teStartPanel, Value); }
    static TThemedElementDetails GetElementDetails(TThemedStatus Value) { return GetElementDetails(teStatus, Value); }
    static TThemedElementDetails GetElementDetails(TThemedTab Value) { return GetElementDetails(teTab, Value); }
    static TThemedElementDetails GetElementDetails(TThemedTaskBand Value) { return GetElementDetails(teTaskBand, Value); }
    static TThemedElementDetails GetElementDetails(TThemedTaskBar Value) { return GetElementDetails(teTaskBar, Value); }
    static TThemedElementDetails GetElementDetails(TThemedToolBar Value) { return GetElementDetails(teToolBar, Value); }
    static TThemedElementDetails GetElementDetails(TThemedToolTip Value) { return GetElementDetails(teToolTip, Value); }
    static TThemedElementDetails GetElementDetails(TThemedTrackBar Value) { return GetElementDetails(teTrackBar, Value); }
    static TThemedElementDetails GetElementDetails(TThemedTrayNotify Value) { return GetElementDetails(teTrayNotify, Value); }
    static TThemedElementDetails GetElementDetails(TThemedTreeview Value) { return GetElementDetails(teTreeview, Value); }
    static TThemedElementDetails GetElementDetails(TThemedWindow Value) { return GetElementDetails(teWindow, Value); }

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
