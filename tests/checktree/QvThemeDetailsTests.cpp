// The detail enumerations of the theme services against the schema's part tables: every family's values
// cover exactly its parts and states, so a value maps to the part and state it names.
#include <gtest/gtest.h>

#include <numeric>

#include "QvThemeSrv.h"

namespace {

struct FamilyRow {
    TThemedElement element;
    int lastValue;  // the enumeration's last value
    int expectedCount;
};

int ValuesOfTable(TThemedElement element)
{
    const auto states = ThemePartStates(element);
    return 2 + std::accumulate(states.begin(), states.end(), 0);
}

TEST(QvThemeDetails, EveryEnumerationCoversItsPartTable)
{
    const FamilyRow rows[] = {
        {teButton, tbUserButton, 30},           {teClock, tcTimeNormal, 3},
        {teComboBox, tcDropDownButtonDisabled, 6}, {teEdit, teEditCaret, 10},
        {teExplorerBar, tebSpecialGroupHead, 33}, {teHeader, thHeaderSortArrowSortedDown, 13},
        {teListView, tlEmptyText, 11},          {teMenu, tmSeparator, 10},
        {tePage, tpDownHorzDisabled, 18},       {teProgress, tpChunkVert, 6},
        {teRebar, trSplitterVertPressed, 18},   {teScrollBar, tsbSizeBoxLeftAlign, 52},
        {teSpin, tsDownHorzDisabled, 18},       {teStartPanel, tspPreview, 17},
        {teStatus, tsGripper, 5},               {teTab, ttBody, 44},
        {teTaskBand, tbdFlashButtonGroupMenu, 5}, {teTaskBar, tbrBackgroundBottom, 3},
        {teToolBar, ttbSeparatorVertCheckedHot, 38}, {teToolTip, tttClosePressed, 13},
        {teTrackBar, ttkTicsVert, 36},          {teTrayNotify, ttnAnimBackground, 4},
        {teTreeview, ttBranch, 10},             {teWindow, twSmallFrameBottomSizingTemplate, 105},
    };
    for (const FamilyRow& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.element));
        EXPECT_EQ(row.lastValue + 1, row.expectedCount);
        EXPECT_EQ(ValuesOfTable(row.element), row.expectedCount);
        // The last value is the last state of the last part.
        const auto states = ThemePartStates(row.element);
        const TThemedElementDetails last = TThemeServices::GetElementDetails(row.element, row.lastValue);
        EXPECT_EQ(last.Part, static_cast<int>(states.size()));
        EXPECT_EQ(last.State, states.back());
    }
}

TEST(QvThemeDetails, ExplorerBarHeaderBackgroundHasThreeStates)
{
    const struct {
        TThemedElementDetails details;
        int part, state;
    } rows[] = {
        {TThemeServices::GetElementDetails(tebHeaderBackgroundNormal), 1, 1},
        {TThemeServices::GetElementDetails(tebHeaderBackgroundPressed), 1, 3},
        {TThemeServices::GetElementDetails(tebHeaderCloseNormal), 2, 1},
        {TThemeServices::GetElementDetails(tebHeaderPinSelectedPressed), 3, 6},
        {TThemeServices::GetElementDetails(tebNormalGroupHead), 8, 1},
        {TThemeServices::GetElementDetails(tebSpecialGroupHead), 12, 1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.details.Element, teExplorerBar);
        EXPECT_EQ(row.details.Part, row.part);
        EXPECT_EQ(row.details.State, row.state);
    }
}

TEST(QvThemeDetails, OtherFamiliesMapToTheirSchemaPartsAndStates)
{
    const struct {
        TThemedElementDetails details;
        TThemedElement element;
        int part, state;
    } rows[] = {
        {TThemeServices::GetElementDetails(tmMenuItemDemoted), teMenu, 1, 3},
        {TThemeServices::GetElementDetails(tmChevron), teMenu, 5, 1},
        {TThemeServices::GetElementDetails(thHeaderItemRightHot), teHeader, 3, 2},
        {TThemeServices::GetElementDetails(tsbArrowBtnLeftPressed), teScrollBar, 1, 11},
        {TThemeServices::GetElementDetails(tsbThumbBtnVertHover), teScrollBar, 3, 5},
        {TThemeServices::GetElementDetails(ttTopTabItemSelected), teTab, 5, 3},
        {TThemeServices::GetElementDetails(ttkThumbLeftFocused), teTrackBar, 7, 4},
        {TThemeServices::GetElementDetails(twCloseButtonPushed), teWindow, 18, 3},
        {TThemeServices::GetElementDetails(twDialog), teWindow, 29, 1},
        {TThemeServices::GetElementDetails(tcClockRoot), teClock, 0, 2},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.details.Element, row.element);
        EXPECT_EQ(row.details.Part, row.part);
        EXPECT_EQ(row.details.State, row.state);
    }
}

}  // namespace
