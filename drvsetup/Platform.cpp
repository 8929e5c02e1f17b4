// The system's version, asked once.
#include "Platform.h"

#include <windows.h>

namespace drvdb {

namespace {

const OSVERSIONINFOA& Version() {
    static const OSVERSIONINFOA version = [] {
        OSVERSIONINFOA info = {};
        info.dwOSVersionInfoSize = sizeof info;
        GetVersionExA(&info);
        return info;
    }();
    return version;
}

}  // namespace

bool IsWinNT() { return Version().dwPlatformId == VER_PLATFORM_WIN32_NT; }
bool IsNT4OrLater() { return IsWinNT() && Version().dwMajorVersion > 3; }
bool IsWin2000OrLater() { return IsWinNT() && Version().dwMajorVersion > 4; }

}  // namespace drvdb
