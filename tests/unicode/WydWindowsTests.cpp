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

TEST(WydWindows, VersionInformationOnBothPaths) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const WideString file = WideString(system) + L"\\kernel32.dll";
    OnBothPlatforms([&](const char* path) {
        DWORD handle = 0;
        const DWORD size = Wyd_GetFileVersionInfoSizeW(file.c_str(), &handle);
        ASSERT_GT(size, 0u) << path;
        std::vector<char> block(size);
        ASSERT_TRUE(Wyd_GetFileVersionInfoW(file.c_str(), 0, size, block.data())) << path;
        struct Translation {
            WORD language, codePage;
        }* translation = nullptr;
        UINT length = 0;
        ASSERT_TRUE(Wyd_VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                                       reinterpret_cast<void**>(&translation), &length))
            << path;
        wchar_t query[64];
        swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\OriginalFilename", translation->language,
                 translation->codePage);
        wchar_t* value = nullptr;
        ASSERT_TRUE(Wyd_VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &length)) << path;
        EXPECT_EQ(_wcsicmp(value, L"kernel32.dll"), 0) << path;
    });
}

TEST(WydWindows, ShellFileOperationsAndInformationOnBothPaths) {
    testsupport::TempDir dir;
    testsupport::WriteFileBytes(dir.File(L"caf\u00e9.txt"), "data");
    OnBothPlatforms([&](const char* path) {
        const WideString from = dir.File(L"caf\u00e9.txt") + L'\0';
        const WideString to = dir.File(L"copy.txt") + L'\0';
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_COPY;
        op.pFrom = from.c_str();
        op.pTo = to.c_str();
        op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
        EXPECT_EQ(Wyd_SHFileOperationW(&op), 0) << path;
        EXPECT_EQ(testsupport::ReadFileBytes(dir.File(L"copy.txt")), "data") << path;
        Wyd_SHFreeNameMappings(op.hNameMappings);
        DeleteFileW(dir.File(L"copy.txt").c_str());

        SHFILEINFOW info;
        memset(&info, 0xCC, sizeof info);
        EXPECT_NE(Wyd_SHGetFileInfoW(dir.File(L"caf\u00e9.txt").c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME),
                  0u)
            << path;
        EXPECT_EQ(WideString(info.szDisplayName).find(L"caf\u00e9"), 0u) << path;
        EXPECT_EQ(info.szTypeName[0], 0) << path;
    });
}

TEST(WydWindows, ProcessesStartFromAConstantCommandLine) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const WideString program = WideString(system) + L"\\cmd.exe";
    OnBothPlatforms([&](const char* path) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        // The command line is a constant: the wrapper gives the system a writable copy. On the ANSI path an
        // empty folder stands for none.
        const wchar_t* folder = Win32PlatformIsUnicode ? nullptr : L"";
        ASSERT_TRUE(Wyd_CreateProcessW(program.c_str(), const_cast<LPWSTR>(L"cmd.exe /c exit 7"), nullptr, nullptr,
                                       FALSE, 0, nullptr, folder, &startup, &process))
            << path;
        WaitForSingleObject(process.hProcess, 10000);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        EXPECT_EQ(code, 7u) << path;
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    });
}

TEST(WydWindows, MenuItemsAndDrawingThroughTheAnsiPath) {
    HMENU menu = CreatePopupMenu();
    OnBothPlatforms([&](const char* path) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_STRING | MIIM_ID;
        item.wID = 1;
        item.dwTypeData = const_cast<LPWSTR>(L"caf\u00e9");
        EXPECT_TRUE(Wyd_InsertMenuItemW(menu, 0, TRUE, &item)) << path;
        // A separator carries no text: its type data is not read as a string.
        MENUITEMINFOW separator{};
        separator.cbSize = sizeof separator;
        separator.fMask = MIIM_FTYPE | MIIM_DATA;
        separator.fType = MFT_SEPARATOR;
        separator.dwTypeData = reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(0x1234));
        EXPECT_TRUE(Wyd_InsertMenuItemW(menu, 1, TRUE, &separator)) << path;
        wchar_t text[16] = {};
        GetMenuStringW(menu, 0, text, 16, MF_BYPOSITION);
        EXPECT_STREQ(text, L"caf\u00e9") << path;
        DeleteMenu(menu, 0, MF_BYPOSITION);
        DeleteMenu(menu, 0, MF_BYPOSITION);
    });
    DestroyMenu(menu);

    HDC dc = CreateCompatibleDC(nullptr);
    RECT wide{0, 0, 0, 0}, ansi{0, 0, 0, 0};
    Wyd_DrawTextW(dc, L"Pagorin text", 7, &wide, DT_CALCRECT | DT_SINGLELINE);
    {
        AnsiPlatform platform;
        Wyd_DrawTextW(dc, L"Pagorin text", 7, &ansi, DT_CALCRECT | DT_SINGLELINE | DT_MODIFYSTRING);
    }
    EXPECT_GT(wide.right, 0);
    EXPECT_EQ(ansi.right, wide.right);
    DeleteDC(dc);
}

TEST(WydWindows, ShortNamesVolumesAndTemporaryFilesOnBothPaths) {
    testsupport::TempDir dir;
    OnBothPlatforms([&](const char* path) {
        wchar_t name[MAX_PATH];
        ASSERT_NE(Wyd_GetTempFileNameW(dir.Path().c_str(), L"wyd", 0, name), 0u) << path;
        EXPECT_EQ(WideString(name).find(dir.Path()), 0u) << path;
        wchar_t shortName[MAX_PATH];
        const DWORD length = Wyd_GetShortPathNameW(name, shortName, MAX_PATH);
        EXPECT_GT(length, 0u) << path;
        EXPECT_EQ(Wyd_GetShortPathNameW(name, shortName, 2), length + 1) << path;
        wchar_t volume[64], fileSystem[64];
        EXPECT_TRUE(Wyd_GetVolumeInformationW(L"C:\\", volume, 64, nullptr, nullptr, nullptr, fileSystem, 64))
            << path;
        EXPECT_FALSE(Wyd_GetVolumeInformationW(L"C:\\", nullptr, 0, nullptr, nullptr, nullptr, fileSystem, 1))
            << path;
        DWORD sectors = 0, bytes = 0, free = 0, total = 0;
        EXPECT_TRUE(Wyd_GetDiskFreeSpaceW(L"C:\\", &sectors, &bytes, &free, &total)) << path;
        EXPECT_GT(bytes, 0u) << path;
        DeleteFileW(name);
    });
}
