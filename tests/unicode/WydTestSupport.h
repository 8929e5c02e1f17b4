// Helpers of the Unicode layer's tests: running code as on the ANSI family of Windows.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "SysUtils.h"
#include "WydForms.h"
#include "WydSysUtils.h"

// While alive, the layer believes it runs on Windows 98 (Wine always reports NT), so the wrappers take their
// ANSI paths; the real version is restored afterwards.
class AnsiPlatform {
public:
    AnsiPlatform() {
        vcl::OverridePlatformForTest(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
        InitializeWydPlatformFlags();
    }
    ~AnsiPlatform() {
        vcl::InitPlatformGlobals();
        InitializeWydPlatformFlags();
    }
    AnsiPlatform(const AnsiPlatform&) = delete;
    AnsiPlatform& operator=(const AnsiPlatform&) = delete;
};

// Texts in four scripts that the tests write and read back: Cyrillic, Greek, CJK and a character beyond the
// basic plane (a surrogate pair).
namespace wydtest {
inline const WideString Cyrillic = L"\x0416\x0443\x0440\x043D\x0430\x043B";
inline const WideString Greek = L"\x0395\x03BB\x03BB\x03B7\x03BD\x03B9\x03BA\x03AC";
inline const WideString Cjk = L"\x6F22\x5B57\x304B\x306A";
inline const WideString Emoji = L"smile \xD83D\xDE00";
inline const WideString Scripts[] = {Cyrillic, Greek, Cjk, Emoji};
}  // namespace wydtest

// Runs `body` once on the wide path and once on the ANSI path.
template <typename Body> void OnBothPlatforms(Body body) {
    body("wide path");
    AnsiPlatform ansi;
    body("ANSI path");
}

// A window test suite that runs with the layer's units started, and ends them after its last case.
class WydLayerSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitWydForms(); }
    static void TearDownTestSuite()
    {
        DoneWydForms();
        DoneWydControls();
    }
};

// A window test suite of the layer with a form of its own for each case to put controls on: a plain form, or
// after MakeForm(true) a Unicode container.
class WydFormTest : public WydLayerSuite {
protected:
    void SetUp() override { MakeForm(false); }
    void TearDown() override { form.reset(); }
    void MakeForm(bool unicode)
    {
        form.reset(unicode ? new TWydForm(nullptr, 0) : new vcl::TForm(nullptr, 0));
        form->SetBounds(40, 40, 520, 400);
    }
    std::unique_ptr<vcl::TForm> form;
};
