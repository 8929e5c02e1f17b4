// Helpers of the Unicode layer's tests: running code as on the ANSI family of Windows.
#pragma once

#include "SysUtils.h"
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

// Runs `body` once on the wide path and once on the ANSI path.
template <typename Body> void OnBothPlatforms(Body body) {
    body("wide path");
    AnsiPlatform ansi;
    body("ANSI path");
}
