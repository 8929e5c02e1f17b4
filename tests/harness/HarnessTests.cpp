// Proves the test harness: logic, the prefix's registry, real windows with wide texts, child programs.
#include <gtest/gtest.h>

#include "TestSupport.h"

using namespace testsupport;

TEST(Harness, Utf8RoundTripKeepsEveryPlane) {
    const std::wstring text = L"Pagorin \u00e9\u0416\u65e5\u672c \U0001F4BF";
    EXPECT_EQ(ToUtf8(text), "Pagorin \xc3\xa9\xd0\x96\xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x92\xbf");
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
}

TEST(Harness, RegistryRoundTripInLocalMachine) {
    const std::wstring key = L"Software\\Tessaro Systems\\HarnessTest-" + std::to_wstring(GetCurrentProcessId());
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                              nullptr),
              ERROR_SUCCESS);
    const std::wstring text = L"\u0394\u03b9\u03c3\u03ba\u03bf\u03c2";
    DWORD number = 0xdeadbeef;
    RegSetValueExW(handle, L"Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegSetValueExW(handle, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(handle);

    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, key, L"Text"), text);
    EXPECT_EQ(ReadRegDword(HKEY_LOCAL_MACHINE, key, L"Number"), number);
    EXPECT_EQ(ReadRegDword(HKEY_LOCAL_MACHINE, key, L"Text"), std::nullopt);
    DeleteRegTree(HKEY_LOCAL_MACHINE, key);
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, key, L"Text"), std::nullopt);
}

TEST(Harness, RealWindowKeepsWideText) {
    const std::wstring caption = L"\u041f\u0430\u0433\u043e\u0440\u0438\u043d \u65e5\u672c \U0001F4BF";
    HWND window = CreateWindowExW(0, L"STATIC", caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 100,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr) << "no window: is the test display running?";
    EXPECT_EQ(WindowText(window), caption);
    EXPECT_EQ(WaitForTopWindow(caption, 2000, GetCurrentProcessId()), window);
    DestroyWindow(window);
}

TEST(Harness, ChildExitCodeIsReadWhole) {
    const std::wstring program = L"\"" + BinDir() + L"exit_with.exe\"";
    EXPECT_EQ(RunProgram(program + L" 0"), 0u);
    EXPECT_EQ(RunProgram(program + L" 1"), 1u);
    // Negative codes arrive as the full 32-bit value, not modulo 256 as a shell would see them.
    EXPECT_EQ(RunProgram(program + L" -3"), static_cast<DWORD>(-3));
}
