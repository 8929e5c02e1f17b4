// windowpicture.dll: loaded by Windows into the process of a window whose picture another process asks for
// (a message hook on the window's thread), so that the window is printed where it lives.
#include "WindowPicture.h"

extern "C" __declspec(dllexport) LRESULT CALLBACK WindowPictureHook(int code, WPARAM removed, LPARAM message)
{
    try {
        return vcltest::AnswerPictureRequest(code, removed, message);
    } catch (...) {
        return CallNextHookEx(nullptr, code, removed, message);
    }
}
