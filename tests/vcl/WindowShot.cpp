// Pictures of other programs' windows, each taken by its own process (never copied from the shared screen):
// waits until a visible top-level window of every named class is shown at once, then saves each one's PNG.
//   windowshot <wait-ms> <class>=<png> [<class>=<png> ...]
// A class matches its plain name or its Unicode copy (<class>.UnicodeClass). Exit code 0 when every picture
// was written, 1 otherwise (the reason on stderr).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "WindowPicture.h"

namespace {

struct Shot {
    std::wstring ClassName;
    std::wstring Path;
    HWND Window = nullptr;
};

bool ClassMatches(HWND window, const std::wstring& wanted)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return wanted == name || wanted + L".UnicodeClass" == name;
}

BOOL CALLBACK FindShown(HWND window, LPARAM shots)
{
    if (IsWindowVisible(window)) {
        for (Shot& shot : *reinterpret_cast<std::vector<Shot>*>(shots))
            if (!shot.Window && ClassMatches(window, shot.ClassName))
                shot.Window = window;
    }
    return TRUE;
}

// Whether every class has a shown window now; fills in the windows.
bool AllShown(std::vector<Shot>& shots)
{
    for (Shot& shot : shots)
        shot.Window = nullptr;
    EnumWindows(&FindShown, reinterpret_cast<LPARAM>(&shots));
    for (const Shot& shot : shots)
        if (!shot.Window)
            return false;
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: windowshot <wait-ms> <class>=<png> [<class>=<png> ...]\n");
        return 2;
    }
    DWORD waitMs = wcstoul(argv[1], nullptr, 10);
    std::vector<Shot> shots;
    for (int i = 2; i < argc; ++i) {
        std::wstring pair = argv[i];
        size_t equals = pair.find(L'=');
        if (equals == std::wstring::npos) {
            fprintf(stderr, "windowshot: '%ls' is not <class>=<png>\n", argv[i]);
            return 2;
        }
        shots.push_back({pair.substr(0, equals), pair.substr(equals + 1)});
    }
    ULONGLONG deadline = GetTickCount64() + waitMs;
    bool shown;
    while (!(shown = AllShown(shots)) && GetTickCount64() < deadline)
        Sleep(100);
    if (!shown) {
        for (const Shot& shot : shots)
            if (!shot.Window)
                fprintf(stderr, "windowshot: no window of class %ls was shown within %lu ms\n",
                        shot.ClassName.c_str(), waitMs);
        return 1;
    }
    int failed = 0;
    for (const Shot& shot : shots) {
        if (vcltest::SaveWindowPng(shot.Window, shot.Path)) {
            printf("windowshot: %ls -> %ls\n", shot.ClassName.c_str(), shot.Path.c_str());
        } else {
            fprintf(stderr, "windowshot: the picture of %ls could not be written to %ls\n", shot.ClassName.c_str(),
                    shot.Path.c_str());
            ++failed;
        }
    }
    return failed ? 1 : 0;
}
