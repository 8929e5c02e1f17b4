// Common routines: rectangles, strings, identifiers, component names, versions, fonts, work areas.
#include <gtest/gtest.h>

#include "QvCommon.h"
#include "QvTestSupport.h"

using namespace vcl;

namespace {

TEST(QvCommon, CenterRectRoundsTowardZero)
{
    EXPECT_RECT(CenterRect({0, 0, 10, 10}, 3, 3), 3, 3, 6, 6);
    EXPECT_RECT(CenterRect({10, 20, 21, 31}, 4, 4), 13, 23, 17, 27);
}

TEST(QvCommon, StringRoutines)
{
    EXPECT_EQ(CopyEx("a\\b\\c", 1, '\\', 2), "a\\b\\");
    EXPECT_EQ(CopyEx("a\\b\\c", 1, '\\', 3), "a\\b\\c");
    EXPECT_EQ(CopyEx("ab", 5, '\\', 1), "ab");
    EXPECT_EQ(CountChar('\\', "a\\b\\c"), 2);
    EXPECT_EQ(CountChar('x', ""), 0);
    EXPECT_EQ(LastChar("abc"), 'c');
    EXPECT_EQ(LastChar(""), '\0');
    AnsiString s = "a-b-c";
    EXPECT_TRUE(RemoveChar(s, '-'));
    EXPECT_EQ(s, "ab-c");
    EXPECT_FALSE(RemoveChar(s, 'x'));
    int a = 1, b = 2;
    Swap(a, b);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(Min(3, -1), -1);
    EXPECT_EQ(Max(3, -1), 3);
}

TEST(QvCommon, ValidIdentifiers)
{
    EXPECT_EQ(CreateValidIdent("1abc", "Default"), "abc");
    EXPECT_EQ(CreateValidIdent("", "Default"), "Default");
    EXPECT_EQ(CreateValidIdent("my name-2", "Default"), "myname2");
    EXPECT_EQ(CreateValidIdent("_ok", "Default"), "_ok");
    EXPECT_EQ(CreateValidIdent("123", "Default"), "23");
    EXPECT_EQ(CreateValidIdent("--", "Default"), "Default");
}

TEST(QvCommon, NewComponentNamesSkipTakenOnes)
{
    TComponent owner(nullptr);
    auto* button1 = new TComponent(&owner);
    button1->SetName("Button1");
    EXPECT_EQ(GetNewComponentName(&owner, "Button", false), "Button2");
    EXPECT_EQ(GetNewComponentName(&owner, "Button", true), "Button");
    auto* button = new TComponent(&owner);
    button->SetName("Button");
    EXPECT_EQ(GetNewComponentName(&owner, "Button", true), "Button2");
}

TEST(QvCommon, RunningUnderMatchesOnlyThatVersion)
{
    EXPECT_TRUE(RunningUnder(WinXP, 2, 5, 1));
    EXPECT_FALSE(RunningUnder(WinXP, 2, 6, 1));
    EXPECT_TRUE(RunningUnder(Win98, 1, 4, 10));
    EXPECT_TRUE(RunningUnder(WinNT, 2, 4, 0));
    EXPECT_FALSE(RunningUnder(Win2000, 2, 5, 1));
    EXPECT_FALSE(RunningUnder(WinXP));  // this system is newer
}

TEST(QvCommon, FontMeasures)
{
    TFont font;
    font.SetName("Arial");
    font.SetHeight(-16);
    EXPECT_GT(GetAvgCharWidth(&font), 3);
    EXPECT_GT(GetMinFontHeight(&font), 16);
    HFONT rotated = RotateFont(&font, 90);
    ASSERT_NE(rotated, nullptr);
    LOGFONTA description{};
    GetObjectA(rotated, sizeof(description), &description);
    EXPECT_EQ(description.lfEscapement, 900);
    EXPECT_EQ(description.lfHeight, -16);
    DeleteObject(rotated);
}

TEST(QvCommon, ImageListTakesTheLeftGlyphOrBoth)
{
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 4);
    TBitmap pair;
    pair.SetSize(32, 16);
    int disabled = 0, normal = 0;
    AddImageToImageList(list, &pair, false, disabled, normal);
    EXPECT_EQ(disabled, -1);
    EXPECT_EQ(normal, 0);
    AddImageToImageList(list, &pair, true, disabled, normal);
    EXPECT_EQ(normal, 1);
    EXPECT_EQ(disabled, 2);
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    AddImageToImageList(nullptr, &pair, true, disabled, normal);
    EXPECT_EQ(normal, -1);
    ImageList_Destroy(list);
}

TEST(QvCommon, WorkAreasLieOnTheScreen)
{
    const RECT desktop = GetDesktopClientRect();
    EXPECT_GT(desktop.right - desktop.left, 0);
    const RECT work = GetMonitorWorkArea(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY));
    const RECT bounds = GetMonitorBoundsRect(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY));
    EXPECT_LE(bounds.left, work.left);
    EXPECT_GE(bounds.right, work.right);
}

TEST(QvCommon, CentringOnAWindowKeepsToTheWorkArea)
{
    TForm form(nullptr, 0);
    form.SetBounds(100, 80, 400, 300);
    HWND window = form.GetHandle();
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    TControl child(nullptr);
    child.SetBounds(0, 0, 100, 50);
    int x = 0, y = 0;
    CenterToWindow(&child, &form, x, y);
    EXPECT_EQ(x, client.left + (client.right - client.left - 100) / 2);
    EXPECT_EQ(y, client.top + (client.bottom - client.top - 50) / 2);
    const RECT work = GetActiveWorkArea(&form);
    child.SetBounds(0, 0, 5000, 50);
    CenterToWindow(&child, &form, x, y);
    EXPECT_EQ(x, work.right - 5000);  // clamped to the right edge, even when that is negative
    child.SetBounds(0, 0, 100, 50);
    CenterToForm(&child, &form, x, y);
    EXPECT_EQ(x, 100 + (400 - 100) / 2);
    EXPECT_EQ(y, 80 + (300 - 50) / 2);
    EXPECT_EQ(GetActiveWorkAreaWidth(&form), work.right - work.left);
}

}  // namespace
