// The ANSI path under another system code page: run by ctest a second time with the Russian locale
// (ANSI code page 1251), where Cyrillic text has an ANSI form. File names stay out of it: without that host
// locale installed, Wine cannot name a Unix file with Cyrillic letters, whatever the Windows side asks.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "SysUtils.h"
#include "WydClasses.h"
#include "WydTestSupport.h"
#include "WydWindows.h"

namespace {

bool RussianCodePage() { return GetACP() == 1251; }

} // namespace

TEST(WydCyrillicCodePage, AnsiPathKeepsCyrillicText) {
    if (!RussianCodePage()) GTEST_SKIP() << "runs with the Russian ANSI code page";
    AnsiPlatform ansi;
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr) << "no window: is the test display running?";
    EXPECT_TRUE(Wyd_SetWindowTextW(window, L"\u0416\u0435\u043d\u0430 \u00e9"));
    EXPECT_EQ(testsupport::WindowText(window), L"\u0416\u0435\u043d\u0430 e");
    DestroyWindow(window);

    wchar_t text[] = L"\u0436\u0435\u043d\u0430";
    Wyd_CharUpperBuffW(text, 4);
    EXPECT_STREQ(text, L"\u0416\u0415\u041d\u0410");
    EXPECT_EQ(Wyd_CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, L"\u0436", -1, L"\u0416", -1), CSTR_EQUAL);

    TWydStringList list;
    vcl::TMemoryStream stream;
    stream.WriteBuffer("\xc6\xe5\xed\xe0\r\n", 6);
    stream.SetPosition(0);
    list.LoadFromStream(&stream);
    EXPECT_EQ(list.GetText(), L"\u0416\u0435\u043d\u0430\r\n");
    EXPECT_EQ(list.GetAnsiStrings()->Get(0), "\xc6\xe5\xed\xe0");
}
