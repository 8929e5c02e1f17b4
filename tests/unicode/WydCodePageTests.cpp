// The ANSI path under another system code page: ctest runs this program with the Russian locale (ANSI code
// page 1251), where Cyrillic text and file names have an ANSI form.
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

TEST(WydCyrillicCodePage, AnsiPathKeepsCyrillicFileNames) {
    if (!RussianCodePage()) GTEST_SKIP() << "runs with the Russian ANSI code page";
    testsupport::TempDir dir;
    const WideString folder = dir.File(L"\u0416\u0443\u0440\u043d\u0430\u043b");
    const WideString page = L"\u0421\u0442\u0440\u0430\u043d\u0438\u0446\u0430 1.txt";
    {
        AnsiPlatform ansi;
        ASSERT_TRUE(WideCreateDir(folder));
        const HANDLE file = WideFileCreate(folder + L"\\" + page);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
        EXPECT_TRUE(WideFileExists(folder + L"\\" + page));
        TSearchRecW found;
        ASSERT_EQ(WideFindFirst(folder + L"\\*.txt", 0, found), 0);
        EXPECT_TRUE(found.Name == page);
        WideFindClose(found);
    }
    // The wide calls find the very names: nothing was lost on the way through code page 1251.
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW((folder + L"\\*.txt").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, page.c_str());
    FindClose(search);
}
