// The picture of a window on the test display, saved for people to look at.
#pragma once

#include <windows.h>

#include <string>

namespace vcltest {

// Writes the window's picture on the screen as a PNG file (GDI+); false when it could not be written.
bool SaveWindowPng(HWND window, const std::wstring& path);

}  // namespace vcltest
