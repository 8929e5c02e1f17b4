// Pagorin.exe as an operator and a hot-key tool start it: first run without the product key, the hand-over
// of a page path to the running instance, and the main window's texts in the language file's languages.
#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

using namespace testsupport;

namespace {

const wchar_t* const ProductKey = L"Software\\Tessaro Systems\\Pagorin";
const wchar_t* const MainCaption = L"Pagorin 1.2";

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// The forms still use the class library's ANSI controls, which hold a text as the system code page has it
// (a non-Latin script turns into question marks); once the Unicode controls stand in their place, a
// control's text is the language file's text itself and this becomes the identity.
std::wstring AsShownByControls(const std::wstring& text)
{
    char ansi[512] = {};
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi, sizeof(ansi), nullptr, nullptr);
    wchar_t wide[512] = {};
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, 512);
    return wide;
}

void SetRegString(const wchar_t* name, const std::wstring& value)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, ProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD((value.size() + 1) * 2));
    RegCloseKey(key);
}

void SetRegDword(const wchar_t* name, DWORD value)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, ProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
}

// Saves the window as it shows on the screen to a PNG file.
void SaveScreenshot(HWND window, const std::wstring& path)
{
    RECT r;
    GetWindowRect(window, &r);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    {
        Gdiplus::Bitmap image(bitmap, nullptr);
        const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
        image.Save(path.c_str(), &png, nullptr);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

class PagorinRun : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(token_); }

    void SetUp() override { DeleteRegTree(HKEY_LOCAL_MACHINE, ProductKey); }
    void TearDown() override
    {
        for (ChildProcess* p : {&first_, &second_})
            if (p->Started() && !p->Wait(0))
                p->Kill();
        DeleteRegTree(HKEY_LOCAL_MACHINE, ProductKey);
    }

    // The key an installer leaves: the installation folder with the language file, the working path.
    void Install(DWORD language = 0)
    {
        CopyFileW(L"" PAGORIN_LANGUAGE_FILE, install_.File(L"Pagorin.ini").c_str(), FALSE);
        SetRegString(L"InstallDir", install_.Path());
        SetRegString(L"Working Path", work_.Path());
        if (language)
            SetRegDword(L"Language", language);
    }
    ChildProcess Start(const std::wstring& arguments = L"")
    {
        return StartProgram(Quoted(BinDir() + L"Pagorin.exe") + (arguments.empty() ? L"" : L" " + arguments), BinDir());
    }
    HWND StartFirst()
    {
        first_ = Start();
        HWND window = WaitForTopWindow(MainCaption, 60000, first_.Pid());
        EXPECT_NE(window, nullptr) << "the main window did not open";
        return window;
    }
    void CloseFirst(HWND window)
    {
        SendWithTimeout(window, WM_CLOSE, 0, 0, 20000);
        EXPECT_EQ(first_.Wait(30000), 0u) << "Pagorin did not end cleanly";
    }
    std::string DayLog() const
    {
        SYSTEMTIME now;
        GetLocalTime(&now);
        wchar_t name[16];
        swprintf(name, 16, L"PGRN_%02d.log", now.wDay);
        return ReadFileBytes(work_.File(name));
    }
    std::wstring Text(HWND window, const wchar_t* text) { return WindowText(FindChild(window, nullptr, text)); }

    static inline ULONG_PTR token_ = 0;
    TempDir install_, work_;
    ChildProcess first_, second_;
};

TEST_F(PagorinRun, FirstStartWithoutProductKeyDismissesSetupBoxAndOpensWindow)
{
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(FindWindowW(nullptr, L"Disc burning driver setup"), nullptr) << "the setup tool's box stays open";
    CloseFirst(window);
}

TEST_F(PagorinRun, SecondStartHandsItsPageOverAndEnds)
{
    Install();
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    std::wstring page = work_.File(L"Page 001.jpg");
    WriteFileBytes(page, "\xFF\xD8\xFF\xD9");
    EXPECT_EQ(RunProgram(Quoted(BinDir() + L"Pagorin.exe") + L" " + Quoted(page), 30000), 0u);
    EXPECT_EQ(RunProgram(Quoted(BinDir() + L"Pagorin.exe"), 30000), 0u) << "an empty argument is handed over too";
    EXPECT_EQ(RunProgram(Quoted(BinDir() + L"Pagorin.exe") + L" C:\\nowhere\\x.jpg", 30000), 0u);
    CloseFirst(window);

    std::string log = DayLog();
    EXPECT_NE(log.find("Application started."), std::string::npos) << log;
    EXPECT_NE(log.find("Page handed over: " + ToUtf8(page)), std::string::npos) << log;
    EXPECT_NE(log.find("Handed-over page ignored: \"\""), std::string::npos) << log;
    EXPECT_NE(log.find("Handed-over page ignored: \"C:\\nowhere\\x.jpg\""), std::string::npos) << log;
    EXPECT_NE(log.find("Application closed\r\n\r\n"), std::string::npos) << log;
}

// The Part accepts two instances when the second starts before the first has its window.
TEST_F(PagorinRun, StartDuringFirstCreationBecomesSecondInstanceOrHandsOver)
{
    Install();
    first_ = Start();
    second_ = Start();
    HWND window = WaitForTopWindow(MainCaption, 60000, first_.Pid());
    ASSERT_NE(window, nullptr);
    std::optional<DWORD> ended = second_.Wait(5000);
    if (ended) {
        EXPECT_EQ(*ended, 0u);
    } else {
        HWND other = WaitForTopWindow(MainCaption, 60000, second_.Pid());
        ASSERT_NE(other, nullptr) << "the second start neither ended nor opened its window";
        SendWithTimeout(other, WM_CLOSE, 0, 0, 20000);
        EXPECT_EQ(second_.Wait(30000), 0u);
    }
    CloseFirst(window);
}

TEST_F(PagorinRun, WindowTextsFollowTheLanguageFile)
{
    struct Language {
        DWORD Id;
        const wchar_t* ScanSettings;
        const wchar_t* WriteEach;
        const wchar_t* Shot;
    };
    const Language languages[] = {
        {1033, L"Scan Settings", L"Write to Disc for Each Transaction", L"\\pagorin-1033.png"},
        {1031, L"Scan-Einstellungen", L"Jeden Vorgang auf Disc schreiben", L"\\pagorin-1031.png"},
        {1049, L"\x041F\x0430\x0440\x0430\x043C\x0435\x0442\x0440\x044B \x0441\x043A\x0430\x043D\x0438\x0440\x043E\x0432\x0430\x043D\x0438\x044F",
         L"\x0417\x0430\x043F\x0438\x0441\x044B\x0432\x0430\x0442\x044C \x043A\x0430\x0436\x0434\x044B\x0439 \x0441\x0435\x0430\x043D\x0441 \x043D\x0430 \x0434\x0438\x0441\x043A", L"\\pagorin-1049.png"},
    };
    for (const Language& language : languages) {
        SCOPED_TRACE(language.Id);
        DeleteRegTree(HKEY_LOCAL_MACHINE, ProductKey);
        Install(language.Id);
        HWND window = StartFirst();
        ASSERT_NE(window, nullptr);
        Sleep(500);
        EXPECT_NE(FindChild(window, nullptr, AsShownByControls(language.ScanSettings).c_str()), nullptr);
        EXPECT_NE(FindChild(window, nullptr, AsShownByControls(language.WriteEach).c_str()), nullptr);
        if (language.Id != 1033) {
            EXPECT_EQ(FindChild(window, nullptr, L"Scan Settings"), nullptr) << "English left on the window";
        }
        SaveScreenshot(window, std::wstring(L"" PAGORIN_SCREENSHOT_DIR) + language.Shot);
        CloseFirst(window);
    }
}

}  // namespace
