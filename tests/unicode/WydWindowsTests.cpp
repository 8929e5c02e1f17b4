// The wide/ANSI wrappers on both paths: the buffer rule, names through the ANSI code page, comparison, case
// mapping and string tables.
#include <gtest/gtest.h>

#include <cwchar>

#include "TestSupport.h"
#include "WydTestSupport.h"
#include "WydWindows.h"

namespace {

struct BufferRuleCase {
    const char* context;
    const wchar_t* result;
    DWORD size;
    unsigned options;
    DWORD expectedReturn;
    const wchar_t* expectedBuffer;
};

const BufferRuleCase bufferRuleCases[] = {
    {"fits", L"C:\\dir\\file", 12, 0, 11, L"C:\\dir\\file"},
    {"one short, no options", L"C:\\dir\\file", 11, 0, 12, L"untouched"},
    {"one short, clear", L"C:\\dir\\file", 11, broClear, 12, L""},
    {"copy what fits is terminated", L"C:\\dir\\file", 6, broCopyWhatFits, 6, L"C:\\di"},
    {"exact fit counts", L"C:\\dir\\file", 11, broExactFitCounts | broClear, 12, L"C:\\dir\\fil"},
    {"exact fit, too small by two", L"C:\\dir\\file", 10, broExactFitCounts | broClear, 12, L""},
    {"whole folders", L"C:\\dir\\file", 8, broWholeFolders, 12, L"C:\\dir\\"},
    {"whole folders, slash at size-1", L"C:\\dir\\file", 7, broWholeFolders, 12, L"C:\\"},
    {"whole folders, slash beyond", L"C:\\dir\\file", 6, broWholeFolders, 12, L"C:\\"},
    {"whole folders, under four", L"C:\\dir\\file", 3, broWholeFolders, 12, L""},
    {"size zero", L"C:\\dir\\file", 0, broClear | broWholeFolders, 12, L"untouched"},
};

} // namespace

TEST(WydWindows, BufferRuleHandsBackTerminatedResults) {
    for (const auto& c : bufferRuleCases) {
        wchar_t buffer[32];
        wcscpy(buffer, L"untouched");
        EXPECT_EQ(WydHandBackWideResult(c.result, buffer, c.size, c.options), c.expectedReturn) << c.context;
        EXPECT_STREQ(buffer, c.expectedBuffer) << c.context;
    }
}

TEST(WydWindows, PlatformFlagsFollowTheVersion) {
    EXPECT_TRUE(Win32PlatformIsUnicode);
    EXPECT_TRUE(CheckWin32Version(5, 1));
    {
        AnsiPlatform ansi;
        EXPECT_FALSE(Win32PlatformIsUnicode);
        EXPECT_FALSE(Win32PlatformIsXP);
        EXPECT_FALSE(CheckWin32Version(5, 1));
        EXPECT_TRUE(CheckWin32Version(4, 10));
    }
    vcl::OverridePlatformForTest(VER_PLATFORM_WIN32_NT, 5, 2);
    InitializeWydPlatformFlags();
    EXPECT_TRUE(Win32PlatformIsXP && Win32PlatformIs2003 && !Win32PlatformIsVista);
    EXPECT_TRUE(CheckWin32Version(5, 1));
    EXPECT_FALSE(CheckWin32Version(6, 0));
    vcl::InitPlatformGlobals();
    InitializeWydPlatformFlags();
    EXPECT_TRUE(Win32PlatformIsUnicode);
}

TEST(WydWindows, ModuleFileNameInAShortBuffer) {
    wchar_t full[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, full, MAX_PATH);
    OnBothPlatforms([&](const char* path) {
        wchar_t buffer[MAX_PATH];
        EXPECT_EQ(Wyd_GetModuleFileNameW(nullptr, buffer, MAX_PATH), length) << path;
        EXPECT_STREQ(buffer, full) << path;
        wmemset(buffer, L'#', MAX_PATH);
        EXPECT_EQ(Wyd_GetModuleFileNameW(nullptr, buffer, 8), 8u) << path;
        EXPECT_EQ(WideString(buffer, 7), WideString(full, 7)) << path;
    });
    // The ANSI path always terminates what it copies (the wide function of XP and Wine does not).
    AnsiPlatform ansi;
    wchar_t buffer[MAX_PATH];
    wmemset(buffer, L'#', MAX_PATH);
    Wyd_GetModuleFileNameW(nullptr, buffer, 8);
    EXPECT_EQ(buffer[7], 0);
}

TEST(WydWindows, AnsiPathComparesByCodeUnitWithoutFlags) {
    AnsiPlatform ansi;
    EXPECT_EQ(Wyd_CompareStringW(LOCALE_USER_DEFAULT, 0, L"B", -1, L"a", -1), CSTR_LESS_THAN);
    EXPECT_EQ(Wyd_CompareStringW(LOCALE_USER_DEFAULT, 0, L"ab", 1, L"ax", 1), CSTR_EQUAL);
    EXPECT_EQ(Wyd_CompareStringW(LOCALE_USER_DEFAULT, 0, L"\u0416", -1, L"\u0415", -1), CSTR_GREATER_THAN);
    EXPECT_EQ(Wyd_CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, L"ABC", -1, L"abc", -1), CSTR_EQUAL);
    EXPECT_EQ(Wyd_CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, L"abcX", 3, L"ABC", -1), CSTR_EQUAL);
}

TEST(WydWindows, CaseMappingOnBothPaths) {
    OnBothPlatforms([](const char* path) {
        wchar_t text[] = L"abc\u00e9";
        Wyd_CharUpperBuffW(text, 4);
        EXPECT_STREQ(text, L"ABC\u00c9") << path;
        Wyd_CharLowerW(text);
        EXPECT_STREQ(text, L"abc\u00e9") << path;
        EXPECT_EQ(reinterpret_cast<UINT_PTR>(Wyd_CharUpperW(reinterpret_cast<LPWSTR>(L'q'))), UINT_PTR(L'Q')) << path;
    });
    AnsiPlatform ansi;
    // A character without an ANSI form is left as it is.
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(Wyd_CharUpperW(reinterpret_cast<LPWSTR>(L'\u0436'))), UINT_PTR(0x0436));
}

TEST(WydWindows, StringTableOnBothPaths) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    OnBothPlatforms([&](const char* path) {
        wchar_t buffer[64];
        EXPECT_EQ(Wyd_LoadStringW(module, 4015, buffer, 64), 15) << path;
        EXPECT_STREQ(buffer, L"last of block \u00e9") << path;
        EXPECT_EQ(Wyd_LoadStringW(module, 4001, buffer, 5), 4) << path;
        EXPECT_STREQ(buffer, L"\u0393\u03b5\u03b9\u03b1") << path;
        EXPECT_EQ(Wyd_LoadStringW(module, 4000, buffer, 1), 0) << path;
        EXPECT_EQ(Wyd_LoadStringW(module, 5000, buffer, 64), 0) << path;
    });
    AnsiPlatform ansi;
    wchar_t buffer[4] = L"xyz";
    EXPECT_EQ(Wyd_LoadStringW(module, 4000, buffer, 1), 0);
    EXPECT_STREQ(buffer, L"");
    EXPECT_EQ(Wyd_LoadStringW(module, 4015, nullptr, 0), 15);
}

TEST(WydWindows, FilesByNameOnBothPaths) {
    testsupport::TempDir dir;
    OnBothPlatforms([&](const char* path) {
        const WideString name = dir.File(L"caf\u00e9.txt");
        const HANDLE file = Wyd_CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
        CloseHandle(file);
        WIN32_FIND_DATAW data{};
        const HANDLE find = Wyd_FindFirstFileW(dir.File(L"*.txt").c_str(), &data);
        ASSERT_NE(find, INVALID_HANDLE_VALUE) << path;
        EXPECT_STREQ(data.cFileName, L"caf\u00e9.txt") << path;
        EXPECT_FALSE(Wyd_FindNextFileW(find, &data)) << path;
        FindClose(find);
        EXPECT_NE(Wyd_GetFileAttributesW(name.c_str()), INVALID_FILE_ATTRIBUTES) << path;
        EXPECT_TRUE(Wyd_MoveFileW(name.c_str(), dir.File(L"b.txt").c_str())) << path;
        EXPECT_TRUE(Wyd_DeleteFileW(dir.File(L"b.txt").c_str())) << path;
    });
    AnsiPlatform ansi;
    // A character without an ANSI form reaches the system as the code page's replacement character.
    const HANDLE file = Wyd_CreateFileW(dir.File(L"x\u0416.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    EXPECT_EQ(GetFileAttributesW(dir.File(L"x\u0416.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(WydWindows, FullPathNameAndItsFilePartOnBothPaths) {
    OnBothPlatforms([](const char* path) {
        wchar_t buffer[MAX_PATH];
        LPWSTR filePart = nullptr;
        const DWORD length = Wyd_GetFullPathNameW(L"C:\\d\u00e9j\u00e0\\..\\x\\caf\u00e9.txt", MAX_PATH, buffer,
                                                  &filePart);
        EXPECT_EQ(length, 13u) << path;
        EXPECT_STREQ(buffer, L"C:\\x\\caf\u00e9.txt") << path;
        ASSERT_NE(filePart, nullptr) << path;
        EXPECT_STREQ(filePart, L"caf\u00e9.txt") << path;
        EXPECT_EQ(Wyd_GetFullPathNameW(L"C:\\x\\caf\u00e9.txt", 5, buffer, &filePart), 14u) << path;
    });
}

TEST(WydWindows, FoldersAndNamesOfTheSystemOnBothPaths) {
    wchar_t expected[MAX_PATH], actual[MAX_PATH];
    GetWindowsDirectoryW(expected, MAX_PATH);
    OnBothPlatforms([&](const char* path) {
        EXPECT_EQ(Wyd_GetWindowsDirectoryW(actual, MAX_PATH), wcslen(expected)) << path;
        EXPECT_STREQ(actual, expected) << path;
        EXPECT_EQ(Wyd_GetTempPathW(0, nullptr), GetTempPathW(0, nullptr)) << path;
        wchar_t name[64];
        DWORD size = 64;
        EXPECT_TRUE(Wyd_GetComputerNameW(name, &size)) << path;
        EXPECT_EQ(size, wcslen(name)) << path;
        size = 1;
        EXPECT_FALSE(Wyd_GetComputerNameW(name, &size)) << path;
        EXPECT_EQ(size, wcslen(name) + 1) << path;
    });
}

TEST(WydWindows, WindowTextThroughTheAnsiCodePage) {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr) << "no window: is the test display running?";
    EXPECT_TRUE(Wyd_SetWindowTextW(window, L"\u0416a\u00e9"));
    EXPECT_EQ(testsupport::WindowText(window), L"\u0416a\u00e9");
    {
        AnsiPlatform ansi;
        EXPECT_TRUE(Wyd_SetWindowTextW(window, L"\u0416a\u00e9"));
    }
    EXPECT_EQ(testsupport::WindowText(window), L"?a\u00e9");
    DestroyWindow(window);
}
