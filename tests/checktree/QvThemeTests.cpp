// Theme library and services: the counted binding of uxtheme.dll, element details, theme changes on a
// watched window, and themed drawing in whichever branch Wine offers (the other reached by the test mode).
#include <gtest/gtest.h>

#include "QvTestSupport.h"
#include "QvShellUtils.h"
#include "QvThemeSrv.h"

using namespace vcl;

namespace {

TEST(QvUxTheme, UsersAreCountedAndTheLastOneUnloads)
{
    const int before = ThemeLibraryUsers();
    ASSERT_EQ(before, 0) << "another user holds the library";
    EXPECT_TRUE(InitThemeLibrary());
    EXPECT_TRUE(InitThemeLibrary());
    FreeThemeLibrary();
    EXPECT_TRUE(ThemeLibraryLoaded());
    EXPECT_NE(ThemeEntryPoint("OpenThemeData"), nullptr);
    FreeThemeLibrary();
    EXPECT_FALSE(ThemeLibraryLoaded());
    FreeThemeLibrary();
    EXPECT_EQ(ThemeLibraryUsers(), 0);
    EXPECT_FALSE(ThemeLibraryLoaded());
}

TEST(QvUxTheme, EmptyEntryPointsAnswerAsUnthemed)
{
    ASSERT_FALSE(ThemeLibraryLoaded());
    EXPECT_EQ(ThemeEntryPoint("OpenThemeData"), nullptr);
    EXPECT_EQ(ThemeEntryPoint("NoSuchExport"), nullptr);
    EXPECT_FALSE(UseThemes());
    EXPECT_FALSE(uxtheme::IsThemeActive());
    EXPECT_EQ(uxtheme::OpenThemeData(nullptr, L"button"), nullptr);
    RECT r = {0, 0, 1, 1};
    EXPECT_EQ(uxtheme::DrawThemeBackground(nullptr, nullptr, 1, 1, &r, nullptr), E_NOTIMPL);
    EXPECT_EQ(uxtheme::GetThemeSysColor(nullptr, COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(uxtheme::GetThemeAppProperties(), 0u);
}

TEST(QvThemeServices, ElementDetailsFollowTheSchemaParts)
{
    const struct {
        TThemedElementDetails details;
        TThemedElement element;
        int part, state;
    } rows[] = {
        {TThemeServices::GetElementDetails(tbCheckBoxMixedNormal), teButton, 3, 9},
        {TThemeServices::GetElementDetails(tbCheckBoxCheckedNormal), teButton, 3, 5},
        {TThemeServices::GetElementDetails(tbCheckBoxUncheckedNormal), teButton, 3, 1},
        {TThemeServices::GetElementDetails(tbButtonRoot), teButton, 0, 2},
        {TThemeServices::GetElementDetails(tbUserButton), teButton, 5, 1},
        {TThemeServices::GetElementDetails(teEditCaret), teEdit, 2, 1},
        {TThemeServices::GetElementDetails(teEditTextReadOnly), teEdit, 1, 6},
        {TThemeServices::GetElementDetails(tcDropDownButtonHot), teComboBox, 1, 2},
        {TThemeServices::GetElementDetails(tpChunkVert), teProgress, 4, 1},
        {TThemeServices::GetElementDetails(ttGlyphOpened), teTreeview, 2, 2},
        {TThemeServices::GetElementDetails(tebExplorerBarDontCare), teExplorerBar, 0, 1},
        {TThemeServices::GetElementDetails(teButton, 30), teButton, 0, 31},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.details.Element, row.element);
        EXPECT_EQ(row.details.Part, row.part);
        EXPECT_EQ(row.details.State, row.state);
    }
}

// A hidden top-level window for the services to watch.
class QvThemeWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = CreateWindowExW(WS_EX_CLIENTEDGE, L"STATIC", L"theme", WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL,
                                 0, 0, 120, 80, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        TThemeServices::SetTestMode(TThemeTestMode::Automatic);
        if (IsWindow(window)) DestroyWindow(window);
    }
    HWND window = nullptr;
};

TEST_F(QvThemeWindow, AutomaticBranchFollowsTheSystem)
{
    TThemeServices services(window);
    const bool expected = UseThemes() && ComCtlVersion().dwFileVersionMS >= 0x60000 &&
                          (uxtheme::GetThemeAppProperties() & STAP_ALLOW_CONTROLS);
    EXPECT_EQ(services.ThemesEnabled(), expected);
    std::printf("[ info ] uxtheme active: %d, app themed: %d, comctl32 %u.%u, themes enabled: %d\n",
                uxtheme::IsThemeActive(), uxtheme::IsAppThemed(), HIWORD(ComCtlVersion().dwFileVersionMS),
                LOWORD(ComCtlVersion().dwFileVersionMS), services.ThemesEnabled());
}

TEST_F(QvThemeWindow, ThemeChangeClosesHandlesAndTellsTheOwner)
{
    TThemeServices::SetTestMode(TThemeTestMode::ForceThemed);
    TThemeServices services(window);
    ASSERT_TRUE(services.ThemesEnabled());
    int changes = 0;
    services.OnThemeChange = TNotifyEvent(std::function<void(TObject*)>([&](TObject*) { ++changes; }), &changes);
    HTHEME button = services.GetTheme(teButton);
    EXPECT_NE(button, nullptr) << "Wine's uxtheme opened no button theme";
    EXPECT_EQ(services.ThemeOpen(teButton), button != nullptr);
    TThemeServices::SetTestMode(TThemeTestMode::ForceUnthemed);
    SendMessage(window, WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(services.ThemesEnabled());
    EXPECT_FALSE(services.ThemeOpen(teButton));
    EXPECT_EQ(services.GetTheme(teButton), nullptr);
    TThemeServices::SetTestMode(TThemeTestMode::ForceThemed);
    SendMessage(window, WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(services.ThemesEnabled());
}

// The window's own procedure, which notes at WM_NCDESTROY, the last message, whether it was given back.
WNDPROC staticProcedure = nullptr;
bool procedureGivenBack = false;
LRESULT CALLBACK OwnProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY)
        procedureGivenBack = GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&OwnProcedure);
    return CallWindowProcW(staticProcedure, window, message, wParam, lParam);
}

TEST_F(QvThemeWindow, DestroyingTheWindowEndsTheWatch)
{
    staticProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OwnProcedure)));
    procedureGivenBack = false;
    TThemeServices services(window);
    ASSERT_NE(GetWindowLongPtrW(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&OwnProcedure)) << "not watched";
    DestroyWindow(window);
    EXPECT_TRUE(procedureGivenBack) << "the watch did not give the window its procedure back";
    services.UpdateThemes();  // nothing left to close
}

TEST_F(QvThemeWindow, ThemedDrawingOnlyInTheThemedBranch)
{
    for (TThemeTestMode mode : {TThemeTestMode::ForceThemed, TThemeTestMode::ForceUnthemed}) {
        SCOPED_TRACE(static_cast<int>(mode));
        TThemeServices::SetTestMode(mode);
        TThemeServices services(window);
        QvSurface s(16, 16, clFuchsia);
        services.DrawElement(s.Canvas()->GetHandle(), TThemeServices::GetElementDetails(tbCheckBoxCheckedNormal),
                             {0, 0, 13, 13});
        int painted = 0;
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 13; ++x) painted += s.At(x, y) != clFuchsia;
        if (mode == TThemeTestMode::ForceThemed)
            EXPECT_GT(painted, 20);
        else
            EXPECT_EQ(painted, 0);
        const TThemedElementDetails details = TThemeServices::GetElementDetails(tbPushButtonNormal);
        EXPECT_EQ(services.ColorToRGB(clRed, &details), clRed);
        EXPECT_EQ(services.ColorToRGB(clBtnFace, nullptr), clBtnFace);
        const TColor face = services.ColorToRGB(clBtnFace, &details);
        if (HTHEME theme = services.GetTheme(teButton))
            EXPECT_EQ(face, static_cast<TColor>(uxtheme::GetThemeSysColor(theme, COLOR_BTNFACE)));
        else
            EXPECT_EQ(face, static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
    }
}

}  // namespace
